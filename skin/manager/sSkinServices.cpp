#include "sSkinServices.h"

#include "vcl/Bitmap.h"

namespace skin {

TvlFormProvider *MDIParentProvider = nullptr;
std::unique_ptr<TvlHookedDialogList> HookedDialogProviders;

TvlFormProvider::TvlFormProvider() = default;
TvlFormProvider::~TvlFormProvider() = default;

namespace {

// The null implementations: nothing is skinned above this layer yet.

class TNullAdapterFactory final : public TvlAdapterFactory {
public:
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int, HWND, const TvlSkinParams &, TsSkinManager *) override {
        return nullptr;
    }
};

class TNullDialogSkinning final : public TvlDialogSkinning {
public:
    void CbtEvent(int, WPARAM, LPARAM) override {}
    void FreeMenuAdapters() override {}
};

class TNullSkinableMenus final : public TvlSkinableMenus {
public:
    void SetActive(bool) override {}
    void ApplyToAllForms() override {}
    void ResetSectionCache() override {}
    void SetControlMenuOwnerDraw(vcl::TControl *, bool) override {}
    void ApplyItemRegion(LPARAM) override {}
    void ApplyPopupRegion(HWND) override {}
};

class TNullGlowService final : public TvlGlowService {
public:
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t,
                 int) override {
        return -1;
    }
    void HideGlow(int &GlowID, bool) override { GlowID = -1; }
    void ClearGlows(bool) override {}
};

class TNullFormAnimations final : public TvlFormAnimations {
public:
    void AnimHideForm(TvlFormProvider &) override {}
    bool SetLayeredAlpha(HWND, bool, std::uint8_t) override { return false; }
    void ShowLayeredBitmap(HWND, vcl::TBitmap *, std::uint8_t) override {}
    void AnimateSkinChangeOfForm(TvlFormProvider &, int, std::uint8_t, bool) override {}
};

TNullAdapterFactory NullAdapterFactory;
TNullDialogSkinning NullDialogSkinning;
TNullGlowService NullGlowService;
TNullFormAnimations NullFormAnimations;

TvlAdapterFactory *CurrentAdapterFactory = &NullAdapterFactory;
TvlDialogSkinning *CurrentDialogSkinning = &NullDialogSkinning;
TvlSkinableMenusFactory CurrentMenusFactory = nullptr;
TvlGlowService *CurrentGlowService = &NullGlowService;
TvlFormAnimations *CurrentFormAnimations = &NullFormAnimations;

} // namespace

TvlAdapterFactory &AdapterFactory() { return *CurrentAdapterFactory; }
void SetAdapterFactory(TvlAdapterFactory *Factory) {
    CurrentAdapterFactory = Factory ? Factory : &NullAdapterFactory;
}

TvlDialogSkinning &DialogSkinning() { return *CurrentDialogSkinning; }
void SetDialogSkinning(TvlDialogSkinning *Skinning) {
    CurrentDialogSkinning = Skinning ? Skinning : &NullDialogSkinning;
}

std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &Manager) {
    if (CurrentMenusFactory)
        if (auto menus = CurrentMenusFactory(Manager)) return menus;
    return std::make_unique<TNullSkinableMenus>();
}
void SetSkinableMenusFactory(TvlSkinableMenusFactory Factory) { CurrentMenusFactory = Factory; }

TvlGlowService &GlowService() { return *CurrentGlowService; }
void SetGlowService(TvlGlowService *Service) { CurrentGlowService = Service ? Service : &NullGlowService; }

TvlFormAnimations &FormAnimations() { return *CurrentFormAnimations; }
void SetFormAnimations(TvlFormAnimations *Animations) {
    CurrentFormAnimations = Animations ? Animations : &NullFormAnimations;
}

} // namespace skin
