#pragma once
// What the skin manager and the per-control skin data call in the layers
// above them, declared here so that nothing includes upward: the form
// provider (skin/forms), the window adapters, the dialog skinning of the
// thread's window-creation hook and the popup-menu painter (skin/adapters),
// and, in this layer, the glows and the layered form animations that join
// later. Tests register their own services to watch the calls (Xvfb shows
// no layered blending). Windows only.
//
// Rules of every slot (adapter factory, dialog skinning, menu-painter
// factory, glow service, form animations):
// - A layer puts its object in a slot with RegisterService and takes it out
//   with UnregisterService; TvlServiceRegistration does both for a scope.
//   The slot borrows the object: the registering layer owns it and keeps it
//   alive until it has taken it out. Registrations stack: the newest serves,
//   and taking one out (wherever it sits) lets the one before serve again.
//   An empty slot serves a null implementation that does nothing and
//   answers "none".
// - A slot is asked each time its service is used, never remembered: what a
//   layer registers serves from its next use on, also for managers made
//   before it (a manager's menu painter is made again on its first use
//   after the menu slot changed).
// - Slots belong to the UI thread. Debug builds assert that, and that an
//   object is registered once and taken out only while it is registered.
// - The module's start-up and end empty every slot (sModuleState.h).
// The hooked-dialog list follows the same thread rule; it owns its entries.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sModuleState.h"
#include "vcl/Component.h"
#include "vcl/LifeMark.h"
#include "vcl/System.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TControl;
class TCustomForm;
class TForm;
class TMenu;
}

namespace skin {

class TsCommonData;
class TsSkinManager;

// ------------------------------------------------------------ form provider

// Bits of TvlFormProvider::StateFlags that this layer sets and reads.
inline constexpr std::uint32_t pfBorderFormKept = 0x100;          // the border form stays
inline constexpr std::uint32_t pfHiddenByAnimation = 0x200;       // hidden by the hide animation
inline constexpr std::uint32_t pfSkinChangeSnapshot = 0x1000;     // a snapshot for the skin-change fade exists
inline constexpr std::uint32_t pfSkinChangeRedrawLocked = 0x10000; // redraw off for a skin change

// The animation that ended, as a provider's OnAfterAnimation hears it.
enum TvlAnimEvent { aeShowing, aeHiding, aeSkinChanging };
using TvlAfterAnimation = vcl::TMethod<void(TvlAnimEvent Event)>;

// The form skinning component (TsSkinProvider) as this layer sees it. A
// form's window answers SC_QUERY_FORM_PROVIDER with a TvlFormProvider *
// (0 without one); the provider's skin data has it as its owner object.
class TvlFormProvider {
public:
    TvlFormProvider();
    TvlFormProvider(const TvlFormProvider &) = delete;
    TvlFormProvider &operator=(const TvlFormProvider &) = delete;
    virtual ~TvlFormProvider();

    // For a vcl::TGuarded kept across the form's own painting and messages:
    // the application's code there may free the provider, alone or with its
    // form (ProviderServes below asks both).
    virtual const vcl::TLifeMark &LifeMark() const = 0;
    // The served form; null on a provider that serves none.
    virtual vcl::TCustomForm *ProviderForm() const = 0;
    virtual TsCommonData *ProviderSkinData() const = 0;
    // The provider draws the frame and caption (published DrawNonClientArea).
    virtual bool DrawsNonClientArea() const = 0;
    // The provider's form-kind byte: 2 for a form whose background never
    // comes from its parent.
    virtual int FormKind() const { return 0; }
    // The caption is drawn over the client area: the form's background is
    // then its own.
    virtual bool CaptionOverClient() const { return false; }

    // A new copy of the form's cache with its child controls painted in.
    virtual std::unique_ptr<vcl::TBitmap> GetFormImage() = 0;
    // The skin's caption height for the form (the maximized one when maximized).
    virtual int GetTitleHeight() = 0;
    virtual void CollectFrameMasks() = 0;
    virtual void UpdateFormRegion() = 0;
    // Renders the whole frame into the skin data's cache (made when
    // missing); false when the parent's background is not ready yet.
    virtual bool RenderFrame() { return false; }
    // The window's region from the skin with its top-left at (X, Y): the
    // form's rectangle less FrameMasks. The caller owns it (and hands it to
    // SetWindowRgn); null when there is none.
    virtual HRGN BuildFrameRegion(int X, int Y) { return (void)X, (void)Y, nullptr; }
    // Distances from the window's left and top edges to its client area.
    virtual int GetClientOffsetX() const { return 0; }
    virtual int GetClientOffsetY() const { return 0; }
    // The caption's height; Real: as the skin draws it.
    virtual int GetCaptionHeight(bool Real) const { return (void)Real, 0; }
    // The extended border's margins around the form; empty without one.
    virtual vcl::TRect GetShadowMargins() const { return {}; }
    // The window's top-left corner in the frame image: the shadow margins
    // and, where the skin's frame is wider than the window's, its excess.
    virtual vcl::TPoint GetFrameOffset() const {
        const vcl::TRect m = GetShadowMargins();
        return {m.Left, m.Top};
    }
    // True when the iconify animation started (composition only).
    virtual bool StartMinimizeAnimation() = 0;
    // True when a running iconify animation was reversed.
    virtual bool StartRestoreAnimation() = 0;
    virtual void PopupSystemMenu(vcl::TPoint ScreenPoint) = 0;

    // The extended border form: its window (null without one), its region
    // (null or a region the caller hands to the window), a refresh of its
    // shadow at an alpha, and its window freed.
    virtual HWND BorderWindow() const { return nullptr; }
    virtual HRGN BorderRegion() { return nullptr; }
    virtual void UpdateBorder(bool Rerender, std::uint8_t Alpha) { (void)Rerender, (void)Alpha; }
    virtual void FreeBorderWindow() {}
    // The border form's window, made when missing; null without a border form.
    virtual HWND MakeBorderWindow() { return nullptr; }
    // The border form's lock: while set, the border leaves its window as it is.
    virtual void LockBorder(bool On) { (void)On; }
    // The border form's window handed over (made when missing), its saved
    // owner and window procedure back; the border form keeps no reference
    // to it. Null without a border form.
    virtual std::unique_ptr<vcl::TForm> TakeBorderWindow();
    // The border form itself freed (its window handed over before, if any).
    virtual void FreeBorderForm() {}
    // The auxiliary form shown during the restore animation; null when none.
    virtual HWND AuxiliaryWindow() const { return nullptr; }
    // A hidden layered topmost form showing the form's window as it is now,
    // at its place: the one prepared for a hide (taken over) when there is
    // one, else a new one; null when none can be made.
    virtual std::unique_ptr<vcl::TForm> TakeSnapshotForm();

    // The provider paints the form.
    bool IsSkinned = false;
    // Set before a hide or iconify animation.
    bool Animating = false;
    std::uint32_t StateFlags = 0;
    // The form's image before a skin change, for the fade (owned).
    std::unique_ptr<vcl::TBitmap> SavedFormImage;
    bool FormNeedsRepaint = false;
    // The transparent runs of the frame's masks, in the frame image's
    // coordinates (CollectFrameMasks).
    std::vector<vcl::TRect> FrameMasks;
    // Published: called when a form animation ends.
    TvlAfterAnimation OnAfterAnimation;
};

// Provider (guarded before a call-out) is alive and still serves Window: the
// window answers SC_QUERY_FORM_PROVIDER with it. What the caller checks
// after a message it sent, or a paint it asked for, that may have freed the
// provider or its form.
bool ProviderServes(const vcl::TGuarded<TvlFormProvider> &Provider, HWND Window);

// The provider of the application's MDI parent form is
// ModuleState().MDIParentProvider.

// ---------------------------------------------------------- window adapters

// A window adapter (TvlMainWnd): a window answers SC_QUERY_ADAPTER with a
// TvlWindowAdapter * (0 without one).
class TvlWindowAdapter {
public:
    virtual ~TvlWindowAdapter() = default;
    virtual HWND AdapterWindow() const = 0;
    // The adapter gave its window's procedure back (the window went): its
    // owner frees it.
    virtual bool Destroyed() const { return false; }
};

// One skinned scroll bar of a scrolling adapter.
struct TvlScrollBarState {
    bool Visible = false;
    int Width = 0;
};

// A scrolling window adapter (TvlScrollWnd): the hover area of its window
// includes its visible scroll bars.
class TvlScrollAdapter : public TvlWindowAdapter {
public:
    virtual TvlScrollBarState HorzScrollBar() const = 0;
    virtual TvlScrollBarState VertScrollBar() const = 0;
    // The left frame width it paints; -1 when it does not know one.
    virtual int LeftFrameWidth() const { return -1; }
    // Reads the window's scroll bars again and repaints them.
    virtual void RefreshScrollBars() {}
};

// The record handed to every adapter constructor.
struct TvlSkinParams {
    vcl::TControl *Control = nullptr;  // not owned: the control of the window, or none
    std::string SkinSection;           // empty: the adapter's default
    bool OwnColor = true;              // its negation is the skin data's CustomColor
    bool OwnFont = true;               // its negation is the skin data's CustomFont
    int VertScrollWidth = -1;          // -1: from the skin
    int HorzScrollWidth = -1;
    int VertButtonsSize = -1;
    int HorzButtonsSize = -1;
};

// A handler that skins a control without a window (a speed button) by
// taking over its WindowProc; freed by the form's control adapter.
class TvlGraphicHandler {
public:
    virtual ~TvlGraphicHandler() = default;
    // The control served; null once it is gone or was given back.
    virtual vcl::TControl *HandledControl() const = 0;
    // What the control's own procedure runs may free the handler (an
    // OnMouseEnter that turns the skin off): hold a guard across it.
    const vcl::TLifeMark &LifeMark() const { return FLife; }

private:
    vcl::TLifeMark FLife;
};

// Makes the window adapter of a control kind (the index of the ThirdParty
// list that named the window's class) for a window.
class TvlAdapterFactory {
public:
    virtual ~TvlAdapterFactory() = default;
    // Null when there is no adapter for the kind.
    virtual std::unique_ptr<TvlWindowAdapter> CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                            TsSkinManager *Manager) = 0;
    // The skinned scroll bars of a form's own window, sharing the form's
    // skin data; null when there are none.
    virtual std::unique_ptr<TvlScrollAdapter> CreateScrollAdapter(HWND Window, const TvlSkinParams &Params,
                                                                  TsSkinManager *Manager, TsCommonData *SkinData) {
        return (void)Window, (void)Params, (void)Manager, (void)SkinData, nullptr;
    }
    // The adapter of a skinned MDI parent's client window, serving the
    // provider's form; null when there is none.
    virtual std::unique_ptr<TvlWindowAdapter> CreateMDIClientAdapter(HWND Window, const TvlSkinParams &Params,
                                                                     TsSkinManager *Manager,
                                                                     TvlFormProvider *Provider) {
        return (void)Window, (void)Params, (void)Manager, (void)Provider, nullptr;
    }
    // The handler of a control kind for a control without a window; null
    // when the kind has none.
    virtual std::unique_ptr<TvlGraphicHandler> CreateGraphicHandler(int Kind, vcl::TControl *Control,
                                                                    const TvlSkinParams &Params,
                                                                    TsSkinManager *Manager) {
        return (void)Kind, (void)Control, (void)Params, (void)Manager, nullptr;
    }
};
TvlAdapterFactory &AdapterFactory();
void RegisterService(TvlAdapterFactory &Service);
void UnregisterService(TvlAdapterFactory &Service);

// ---------------------------------------------------------- hooked dialogs

// A window that the thread's window-creation hook skinned (TvlProvider):
// the window of its dialog adapter, null without one.
class TvlHookedDialog {
public:
    virtual ~TvlHookedDialog() = default;
    virtual HWND DialogWindow() const = 0;
};

// The windows the hook skinned, in the order they were added. The list owns
// its entries: the dialog skinning adds the one it makes for a window and
// removes it when that window goes, so that no dead dialog stays listed;
// RemoveSkinHooks frees what is left, as does the module's end. Null adds
// nothing; an entry is added once.
void AddHookedDialog(std::unique_ptr<TvlHookedDialog> Dialog);
// Takes Dialog out of the list and hands it to the caller, who frees it (at
// once, or once its window's last message is through); null when it is not
// listed.
std::unique_ptr<TvlHookedDialog> RemoveHookedDialog(const TvlHookedDialog *Dialog);
void ClearHookedDialogs();
std::size_t HookedDialogCount();
// Proc for each listed entry, in order; an entry removed meanwhile (by Proc
// or by what it sends) is left out.
void ForEachHookedDialog(const std::function<void(TvlHookedDialog &Dialog)> &Proc);

// The dialog skinning of the window-creation hook.
class TvlDialogSkinning {
public:
    virtual ~TvlDialogSkinning() = default;
    // One event of the thread's WH_CBT hook (code, WParam, LParam as the
    // hook gets them), before it is passed on to the next hook.
    virtual void CbtEvent(int Code, WPARAM WParam, LPARAM LParam) = 0;
    // Frees every popup-menu adapter (before the hook goes).
    virtual void FreeMenuAdapters() = 0;
    // Skins the window as the hook would when it has a window of no
    // provider (the forms of an MDI application that a provider finds
    // unserved). Nothing by default.
    virtual void AttachSkinToWindow(HWND Window) { (void)Window; }
};
TvlDialogSkinning &DialogSkinning();
void RegisterService(TvlDialogSkinning &Service);
void UnregisterService(TvlDialogSkinning &Service);

// -------------------------------------------------------------- popup menus

// The background the painter keeps for a popup-menu window.
struct TvlPopupBackground {
    std::shared_ptr<vcl::TBitmap> Bitmap;  // the whole popup in window coordinates; null when none
    vcl::TPoint ClientOrigin{};            // the client area's origin inside the window
};

// The manager's popup-menu painter (TsSkinableMenus).
class TvlSkinableMenus {
public:
    virtual ~TvlSkinableMenus() = default;
    // Popup skinning on or off in the menus of every component of the application.
    virtual void SetActive(bool Value) = 0;
    // Re-hooks the popup menus of all forms for skinned drawing.
    virtual void ApplyToAllForms() = 0;
    // Forgets the cached section index (a new skin).
    virtual void ResetSectionCache() = 0;
    // Owner drawing of the control's popup menu (when it has one) := On.
    virtual void SetControlMenuOwnerDraw(vcl::TControl *Control, bool On) = 0;
    // The posted request 0xBCB3: ItemKey is what the painter posted (a key
    // it can check, never a pointer that may have outlived its item).
    virtual void ApplyItemRegion(LPARAM ItemKey) = 0;
    // The request 0xBCB4 for a popup-menu window.
    virtual void ApplyPopupRegion(HWND Popup) = 0;
    // The menu drawn by the painter (On) or by the system, its items hooked
    // or unhooked. Nothing by default.
    virtual void SetMenuOwnerDraw(vcl::TMenu *Menu, bool On) { (void)Menu, (void)On; }
    // Frees the cached popup-menu backgrounds. Nothing by default.
    virtual void ClearMenuBackgrounds() {}
    // A popup is about to show (WM_INITMENUPOPUP): its menu windows are
    // painted from the skin. Nothing by default.
    virtual void PopupInitialised() {}
    // For the adapters of popup-menu windows: the painter draws the popups
    // (false by default); the background of a shown popup window, built
    // before its first item is drawn when the painter draws its items (none
    // by default); a popup window not shown yet gets the region of a
    // background of its size (nothing by default).
    virtual bool PaintsPopups() const { return false; }
    virtual TvlPopupBackground PopupBackground(HWND Window) { return (void)Window, TvlPopupBackground{}; }
    virtual void ShapeMenuWindow(HWND Window, int Width, int Height) { (void)Window, (void)Width, (void)Height; }
};
// Makes the popup-menu painter of a manager.
class TvlSkinableMenusFactory {
public:
    virtual ~TvlSkinableMenusFactory() = default;
    // Null: the manager uses the null painter.
    virtual std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &Manager) = 0;
};
void RegisterService(TvlSkinableMenusFactory &Service);
void UnregisterService(TvlSkinableMenusFactory &Service);

// A manager's painter, bound on use: made by the factory that serves when
// it is first asked for, made again when the menu slot has changed since.
class TvlSkinableMenusBinding {
public:
    TvlSkinableMenus &Painter(TsSkinManager &Manager);

private:
    std::unique_ptr<TvlSkinableMenus> FPainter;
    std::uint32_t FMadeAt = 0;  // the menu slot's change count when FPainter was made
};

// ------------------------------------------------------- glows (this layer)

// The module's start-up registers the glows of vlGlow.h here.

class TvlGlowService {
public:
    virtual ~TvlGlowService() = default;
    // Shows the glow image BaseName + "0" of Section over a screen rectangle;
    // the glow id, -1 when none.
    virtual int ShowGlow(const vcl::TRect &ScreenRect, const std::string &Section, const std::string &BaseName,
                         TsCommonData &Data, HWND Parent, std::uint8_t Alpha, int Margin) = 0;
    // Removes the glow GlowID names (faded when asked); GlowID becomes -1
    // once it is gone.
    virtual void HideGlow(int &GlowID, bool Fade) = 0;
    // Shows the glow GlowID names again at another constant alpha; an id
    // that names no glow is ignored.
    virtual void SetGlowAlpha(int GlowID, std::uint8_t Alpha) = 0;
    virtual void ClearGlows(bool CloseWindows) = 0;
};
TvlGlowService &GlowService();
void RegisterService(TvlGlowService &Service);
void UnregisterService(TvlGlowService &Service);

// ---------------------------------------- layered form animations (this layer)

class TvlFormAnimations {
public:
    virtual ~TvlFormAnimations() = default;
    // Plays the show animation of a form about to be shown (Mode: the
    // manager's TvlAnimType). Nothing by default.
    virtual void AnimShowForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, int Mode) {
        (void)Provider, (void)Time, (void)Alpha, (void)Mode;
    }
    // Plays the hide animation of a form that was just hidden.
    virtual void AnimHideForm(TvlFormProvider &Provider) = 0;
    // The window's layered alpha; true when the layered style was added.
    virtual bool SetLayeredAlpha(HWND Window, bool On, std::uint8_t Alpha) = 0;
    // Shows a 32-bit image in a layered window at its place.
    virtual void ShowLayeredBitmap(HWND Window, vcl::TBitmap *Bitmap, std::uint8_t Alpha) = 0;
    // Fades a form from its saved image to its new look.
    virtual void AnimateSkinChangeOfForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, bool Aero) = 0;
};
TvlFormAnimations &FormAnimations();
void RegisterService(TvlFormAnimations &Service);
void UnregisterService(TvlFormAnimations &Service);

// ------------------------------------------------------ scoped registration

// Registers Service for the registration's own lifetime.
template <class TService> class TvlServiceRegistration {
public:
    explicit TvlServiceRegistration(TService &Service) : FService(Service) { RegisterService(Service); }
    ~TvlServiceRegistration() { UnregisterService(FService); }
    TvlServiceRegistration(const TvlServiceRegistration &) = delete;
    TvlServiceRegistration &operator=(const TvlServiceRegistration &) = delete;

private:
    TService &FService;
};

} // namespace skin
