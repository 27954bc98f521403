#pragma once
// The mutable state of the skin manager module, in one place. The module's
// start-up (InitializeSkinManagerModule, sSkinManager.h) gives every value
// its start value and loads the resources; the module's end frees them and
// puts the start values back. Before the start-up the values are the start
// values. Everything here belongs to the UI thread.
//
// Tests change a value for a scope with TvlStateOverride, which puts back
// what it replaced:
//     TvlStateOverride filter(ModuleState().ChildBroadcastFilter, MyFilter);
// Windows only.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vcl {
class TBitmap;
class TControl;
class TCustomForm;
class TIcon;
}

namespace skin {

class TvlAdapterFactory;
class TvlDialogSkinning;
class TvlFormAnimations;
class TvlFormProvider;
class TvlGlowEffect;
class TvlGlowService;
class TvlHookedDialog;
class TvlSkinableMenusFactory;

// An application's filter of the child walk (sMessages.h): true keeps a
// windowed child that is not skinned, and its whole subtree, out of it.
using TvlChildBroadcastFilter = bool (*)(vcl::TControl *Child);

struct TvlModuleState {
    TvlModuleState();
    ~TvlModuleState();
    TvlModuleState(TvlModuleState &&) noexcept;
    TvlModuleState &operator=(TvlModuleState &&) noexcept;

    // Skin loading: a load is under way (broadcasts, caches and animations
    // wait), and a skin editor has pushed a skin (a skin folder then wins
    // over a packed file of the same name).
    bool SkinIsLoading = false;
    bool PreviewMode = false;
    // The platform is of the NT family (set by the start-up).
    bool IsNTPlatform = false;
    // The built-in shadows around forms, from the resources "vlSHDA" and
    // "vlSHDI"; null when the program has none. Loaded by the start-up.
    std::unique_ptr<vcl::TBitmap> ShadowActive;
    std::unique_ptr<vcl::TBitmap> ShadowInactive;
    // The small and the large icon of the program's own file; null when the
    // shell gives none. Loaded by the start-up.
    std::unique_ptr<vcl::TIcon> ProgramSmallIcon;
    std::unique_ptr<vcl::TIcon> ProgramLargeIcon;

    // Broadcasts (sMessages.h): the application's filter of the child walk
    // (null: none), and a form show, hide, blend or skin-change animation
    // runs (skinned windows skip their direct repaints meanwhile).
    TvlChildBroadcastFilter ChildBroadcastFilter = nullptr;
    bool FormAnimationActive = false;
    // The platform asked to end the logon session (the form provider sets
    // it on WM_QUERYENDSESSION): state changes repaint at once, unfaded.
    bool SessionEnding = false;
    // Controls of the hot-colour kinds that only take hot colours while this
    // is on (HotColorOptionKinds, sSkinCommands.h). Off; nothing in the
    // program sets it.
    bool ExtendedHotTracking = false;
    // The provider of the application's MDI parent form; null when none.
    TvlFormProvider *MDIParentProvider = nullptr;  // not owned: the provider sets and clears it

    // Kept by their modules and reached through their functions only: the
    // registry of skinned forms (sMessages.h; not owned: the providers'
    // forms), the caption height the last skin change of a maximized form
    // with a border form saw, and a pushed skin being taken (its receiver
    // is not entered again meanwhile).
    std::vector<vcl::TCustomForm *> SkinnedFormRegistry;
    int RememberedTitleHeight = 0;
    bool TakingPush = false;
    // The live glows (vlGlow.h), an id being GlowIdBase + an index (owned;
    // a glow that went leaves null until the list is cleared, and a clear
    // moves GlowIdBase past the ids given), and a glow window being freed
    // (a clear asked meanwhile does nothing).
    std::vector<std::unique_ptr<TvlGlowEffect>> Glows;
    int GlowIdBase = 0;
    bool ClearingGlows = false;

    // The slots of sSkinServices.h, reached through its functions only: the
    // registered objects of each slot, oldest first (not owned), a count of
    // the menu slot's changes, and the hooked dialogs (owned).
    std::vector<TvlAdapterFactory *> AdapterFactories;
    std::vector<TvlDialogSkinning *> DialogSkinnings;
    std::vector<TvlSkinableMenusFactory *> SkinableMenusFactories;
    std::vector<TvlGlowService *> GlowServices;
    std::vector<TvlFormAnimations *> FormAnimationServices;
    std::uint32_t SkinableMenusChanges = 0;
    std::vector<std::unique_ptr<TvlHookedDialog>> HookedDialogProviders;
};

// The module's state.
TvlModuleState &ModuleState();
// All values back to their start values, the resources freed (the
// module's start-up and end).
void ResetModuleState();

// Replaces one value of the module state for its own lifetime, then puts
// back what it replaced. For tests.
template <class T> class TvlStateOverride {
public:
    TvlStateOverride(T &Value, T Replacement) : FValue(Value), FReplaced(std::exchange(Value, std::move(Replacement))) {}
    ~TvlStateOverride() { FValue = std::move(FReplaced); }
    TvlStateOverride(const TvlStateOverride &) = delete;
    TvlStateOverride &operator=(const TvlStateOverride &) = delete;

private:
    T &FValue;
    T FReplaced;
};
template <class T, class U> TvlStateOverride(T &, U) -> TvlStateOverride<T>;

} // namespace skin
