#include "sSkinServices.h"

#include <algorithm>
#include <cassert>
#include <type_traits>

#include "sSkinCommands.h"
#include "vcl/AppContext.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

TvlFormProvider::TvlFormProvider() = default;
TvlFormProvider::~TvlFormProvider() = default;
std::unique_ptr<vcl::TForm> TvlFormProvider::TakeSnapshotForm() { return nullptr; }

bool ProviderServes(const vcl::TGuarded<TvlFormProvider> &Provider, HWND Window) {
    // A live provider may have let the window go (or another serve it): the
    // window answers with the address of the one that serves it.
    if (!Provider || !Window || !IsWindow(Window)) return false;
    const LRESULT answer = SendMessageW(Window, SM_SKINCOMMAND, SkinCommand(SC_QUERY_FORM_PROVIDER), 0);
    return answer != 0 && reinterpret_cast<TvlFormProvider *>(answer) == Provider.Get();
}

std::unique_ptr<vcl::TForm> TvlFormProvider::TakeBorderWindow() { return nullptr; }

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
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override {}
};

class TNullFormAnimations final : public TvlFormAnimations {
public:
    void AnimHideForm(TvlFormProvider &) override {}
    bool SetLayeredAlpha(HWND, bool, std::uint8_t) override { return false; }
    void ShowLayeredBitmap(HWND, vcl::TBitmap *, std::uint8_t) override {}
    void AnimateSkinChangeOfForm(TvlFormProvider &, int, std::uint8_t, bool) override {}
};

class TNullSkinableMenusFactory final : public TvlSkinableMenusFactory {
public:
    std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &) override {
        return std::make_unique<TNullSkinableMenus>();
    }
};

TNullAdapterFactory NullAdapterFactory;
TNullDialogSkinning NullDialogSkinning;
TNullSkinableMenusFactory NullSkinableMenusFactory;
TNullGlowService NullGlowService;
TNullFormAnimations NullFormAnimations;

// The slots and the hooked-dialog list are the UI thread's (vcl::IsUIThread
// also holds while no thread owns the user interface yet).
void AssertUIThread() { assert(vcl::IsUIThread() && "the skin services belong to the UI thread"); }

template <class T> T &Serving(const std::vector<T *> &Slot, std::type_identity_t<T> &Null) {
    AssertUIThread();
    return Slot.empty() ? Null : *Slot.back();
}

template <class T> void Register(std::vector<T *> &Slot, T &Service) {
    AssertUIThread();
    const bool listed = std::find(Slot.begin(), Slot.end(), &Service) != Slot.end();
    assert(!listed && "a service is registered once");
    if (!listed) Slot.push_back(&Service);
}

template <class T> bool Unregister(std::vector<T *> &Slot, T &Service) {
    AssertUIThread();
    const auto it = std::find(Slot.begin(), Slot.end(), &Service);
    assert(it != Slot.end() && "only a registered service is taken out");
    if (it == Slot.end()) return false;
    Slot.erase(it);
    return true;
}

auto FindHookedDialog(const TvlHookedDialog *Dialog) {
    auto &list = ModuleState().HookedDialogProviders;
    return std::find_if(list.begin(), list.end(), [&](const auto &entry) { return entry.get() == Dialog; });
}

} // namespace

TvlAdapterFactory &AdapterFactory() { return Serving(ModuleState().AdapterFactories, NullAdapterFactory); }
void RegisterService(TvlAdapterFactory &Service) { Register(ModuleState().AdapterFactories, Service); }
void UnregisterService(TvlAdapterFactory &Service) { Unregister(ModuleState().AdapterFactories, Service); }

TvlDialogSkinning &DialogSkinning() { return Serving(ModuleState().DialogSkinnings, NullDialogSkinning); }
void RegisterService(TvlDialogSkinning &Service) { Register(ModuleState().DialogSkinnings, Service); }
void UnregisterService(TvlDialogSkinning &Service) { Unregister(ModuleState().DialogSkinnings, Service); }

void RegisterService(TvlSkinableMenusFactory &Service) {
    Register(ModuleState().SkinableMenusFactories, Service);
    ++ModuleState().SkinableMenusChanges;
}
void UnregisterService(TvlSkinableMenusFactory &Service) {
    if (Unregister(ModuleState().SkinableMenusFactories, Service)) ++ModuleState().SkinableMenusChanges;
}

TvlSkinableMenus &TvlSkinableMenusBinding::Painter(TsSkinManager &Manager) {
    const std::uint32_t changes = ModuleState().SkinableMenusChanges;
    if (!FPainter || FMadeAt != changes) {
        // The painter of a factory that no longer serves goes first.
        FPainter.reset();
        FPainter = Serving(ModuleState().SkinableMenusFactories, NullSkinableMenusFactory).CreateSkinableMenus(Manager);
        if (!FPainter) FPainter = std::make_unique<TNullSkinableMenus>();
        FMadeAt = changes;
    }
    return *FPainter;
}

TvlGlowService &GlowService() { return Serving(ModuleState().GlowServices, NullGlowService); }
void RegisterService(TvlGlowService &Service) { Register(ModuleState().GlowServices, Service); }
void UnregisterService(TvlGlowService &Service) { Unregister(ModuleState().GlowServices, Service); }

TvlFormAnimations &FormAnimations() { return Serving(ModuleState().FormAnimationServices, NullFormAnimations); }
void RegisterService(TvlFormAnimations &Service) { Register(ModuleState().FormAnimationServices, Service); }
void UnregisterService(TvlFormAnimations &Service) { Unregister(ModuleState().FormAnimationServices, Service); }

// Hooked dialogs

void AddHookedDialog(std::unique_ptr<TvlHookedDialog> Dialog) {
    AssertUIThread();
    if (!Dialog) return;
    const bool listed = FindHookedDialog(Dialog.get()) != ModuleState().HookedDialogProviders.end();
    assert(!listed && "a hooked dialog is added once");
    if (listed)
        (void)Dialog.release();  // the list owns it already
    else
        ModuleState().HookedDialogProviders.push_back(std::move(Dialog));
}

std::unique_ptr<TvlHookedDialog> RemoveHookedDialog(const TvlHookedDialog *Dialog) {
    AssertUIThread();
    auto &list = ModuleState().HookedDialogProviders;
    const auto it = FindHookedDialog(Dialog);
    if (!Dialog || it == list.end()) return nullptr;
    std::unique_ptr<TvlHookedDialog> taken = std::move(*it);
    list.erase(it);
    return taken;
}

void ClearHookedDialogs() {
    AssertUIThread();
    // An entry's end may ask the list: it is empty by then.
    const auto gone = std::exchange(ModuleState().HookedDialogProviders, {});
}

std::size_t HookedDialogCount() { return ModuleState().HookedDialogProviders.size(); }

void ForEachHookedDialog(const std::function<void(TvlHookedDialog &Dialog)> &Proc) {
    AssertUIThread();
    std::vector<const TvlHookedDialog *> walk;
    for (const auto &entry : ModuleState().HookedDialogProviders) walk.push_back(entry.get());
    for (const TvlHookedDialog *dialog : walk)
        if (const auto it = FindHookedDialog(dialog); it != ModuleState().HookedDialogProviders.end()) Proc(**it);
}

} // namespace skin
