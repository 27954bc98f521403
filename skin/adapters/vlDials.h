#pragma once
// Skinning of windows that the application does not skin itself, from the
// thread's window-creation hook (WH_CBT) that the default skin manager puts
// in while its skin is on. The manager hands every event of the hook to the
// dialog skinning slot (sSkinServices.h), which this module's start-up
// fills. A form that carries no provider of its own, above all a message
// form of ShowMessage and MessageDlg (class TMessageForm), gets a
// TvlProvider and, through it, a form provider of the dialog variant that
// skins it like any form; a provider that the form makes for itself later
// takes over from that one.
//
// A system dialog ("#32770") gets a TvlProvider of its own (owned by no
// component) with a TvlDialogWnd for its window and one adapter per child
// window that has one (vlDialogChildren.h); it is freed once the dialog's
// window is gone, from a message posted to a window of this module, never
// inside the dialog's own procedure. The system's popup-menu windows get
// their adapters from the hook (vlMenuAdapters.h). An MDI parent that gets
// its provider here brings along those of its MDI children that the
// library does not serve yet, each getting a provider of its own.
//
// Lifetimes: a form's TvlProvider and its form provider are components of
// the form and go with it. The manager's hooked-dialog list holds one entry
// per TvlProvider; the provider takes its entry out when it goes, and an
// entry that the list drops (the hooks removed, the module's end) takes its
// provider with it unless the form is already taking it. So the list never
// keeps an entry of a provider that is gone.
// Windows only; everything here belongs to the UI thread.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/Component.h"
#include "vlDialogChildren.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;
class TvlHookedProvider;
class TvlDialogWnd;
class TvlMainWnd;

// The record of one window that the window-creation hook skinned.
class TvlProvider : public vcl::TComponent, public TvlDialogChildHost {
    VCL_CLASS(TvlProvider, vcl::TComponent)
public:
    // A form's provider is owned by that form.
    explicit TvlProvider(vcl::TComponent *AOwner);
    ~TvlProvider() override;

    // Gives Form a form provider of the dialog variant (owned by the form),
    // which does not take the skin's main colour and makes no skinned menu,
    // and has the form drawn anew with it.
    void AttachToForm(vcl::TCustomForm *Form);

    // Gives a system dialog its adapter and its children theirs, and tells
    // it the skin is applied: false when that failed (the provider is then
    // listed nowhere). True without an adapter when no skin is active.
    bool AttachToDialog(HWND Window);
    // The dialog's child windows that have no adapter yet get theirs.
    void AdaptChildren();
    TvlDialogWnd *DialogAdapter() const { return FDialogAdapter.get(); }
    std::size_t ChildAdapterCount() const { return FChildAdapters.size(); }
    // The provider served the dialog whose window was Window, and that
    // window is destroyed.
    bool ServedClosedDialog(HWND Window) const;

    // TvlDialogChildHost.
    void AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) override;
    TsSkinManager *ChildSkinManager() const override;
    bool DialogCacheEmpty() const override;
    void ClearSuppressPaint() override;

    // The skinned window: the served form's window while it has one, the
    // dialog's until its window is destroyed.
    HWND Window() const;
    // The served form; null for a provider that serves none.
    vcl::TCustomForm *Form() const { return FForm; }
    // The dialog variant made for the form; null once the form's own
    // provider has replaced it (or it went otherwise).
    TsSkinProvider *FormProvider() const { return FFormProvider; }

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;

private:
    friend class TvlHookedProvider;
    friend void ListHookedProvider(TvlProvider &Provider);

    HWND FWindow = nullptr;
    vcl::TCustomForm *FForm = nullptr;           // not owned: the form owns this record
    TsSkinProvider *FFormProvider = nullptr;     // not owned: the form owns it
    TvlHookedProvider *FEntry = nullptr;         // not owned: the hooked-dialog list owns it
    // A dialog's (freed in this order: the children first).
    std::unique_ptr<TvlDialogWnd> FDialogAdapter;
    std::vector<std::unique_ptr<TvlMainWnd>> FChildAdapters;
};

// Enters the provider in the manager's hooked-dialog list (once).
void ListHookedProvider(TvlProvider &Provider);

// Decides whether the window gets skinned here and, if so, skins it. Silent
// when it does not.
void AttachSkinToWindow(HWND Window);

// The listed provider of the window; null when none, or while the
// application is terminating.
TvlProvider *FindDialogProvider(HWND Window);
// The form whose window is Window, among the screen's forms that have a
// window and are not being destroyed, the newest first; null when none.
vcl::TCustomForm *FindFormOfWindow(HWND Window);

// How many skinned system dialogs may be visible at once before another
// one is skinned only when it holds a tool bar.
inline constexpr int MaxHookedDialogs = 2;
// The visible system dialogs that the hook skinned.
int CountVisibleHookedDialogs();
// Window has a descendant whose lower-case class name is Name.
bool HasDescendantOfClass(HWND Window, const std::string &LowerCaseName);
// Frees the provider of the dialog whose window was Window once the
// message reaches a window of this module; nothing when it is gone
// meanwhile (the hooks removed).
void PostDialogRelease(HWND Window);
// The hook's branch for a window of no form: a top-level system dialog gets
// its provider when the rules, the count of visible dialogs and the
// manager's OnSysDlgInit allow it.
void AttachSystemDialog(HWND Window, const std::string &ClassName);
// Proc for each listed provider, in the list's order.
void ForEachHookedProvider(const std::function<void(TvlProvider &Provider)> &Proc);
// The window that takes the posted releases goes (the module's end).
void FreeDialogReleaseWindow();

// The class of the class library's message forms.
inline constexpr const char *MessageFormClass = "TMessageForm";
// Forms whose Tag has this bit are the library's own helpers: never skinned.
inline constexpr std::intptr_t UnskinnedFormTag = 0x100;

// The module's start-up: puts this module's dialog skinning into the
// manager's slot. After the skin manager module's start-up; calls nest.
void InitializeDialsModule();
// The last call frees what the hook skinned and empties the slot again;
// before the skin manager module's end.
void FinalizeDialsModule();

} // namespace skin
