#include "vlDials.h"

#include <memory>
#include <utility>
#include <vector>

#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlStateAnimation.h"
#include "vlMenuAdapters.h"
#include "vcl/Forms.h"
#include "vlDialogWnd.h"

namespace skin {

VCL_CLASS_INFO(TvlProvider)

// The hooked-dialog list's entry of one provider.
class TvlHookedProvider final : public TvlHookedDialog {
public:
    explicit TvlHookedProvider(TvlProvider &Provider) : FProvider(&Provider) {}
    ~TvlHookedProvider() override {
        TvlProvider *provider = std::exchange(FProvider, nullptr);
        if (!provider) return;
        provider->FEntry = nullptr;
        // Dropped by the list (the hooks went): the provider has no more
        // use. One whose form is being destroyed goes with the form.
        if (!provider->ComponentState().Contains(vcl::csDestroying)) delete provider;
    }
    TvlHookedProvider(const TvlHookedProvider &) = delete;
    TvlHookedProvider &operator=(const TvlHookedProvider &) = delete;

    // A form has no dialog adapter: its broadcasts reach it through the
    // registry of skinned forms.
    // A dialog's: its window while its adapter serves it.
    HWND DialogWindow() const override {
        return FProvider && FProvider->DialogAdapter() ? FProvider->Window() : nullptr;
    }
    TvlProvider *Provider() const { return FProvider; }
    // The provider is going by itself and takes this entry out.
    void Release() { FProvider = nullptr; }

private:
    TvlProvider *FProvider;  // not owned: its form owns it
};

namespace {

// The class atom of system dialogs.
constexpr ATOM DialogClassAtom = 0x8002;
// The class atom of the system's popup-menu windows.
constexpr ATOM PopupMenuClassAtom = 0x8000;

bool ApplicationGoing() { return !vcl::Application || vcl::Application->ComponentState().Contains(vcl::csDestroying); }

void AttachProviderTo(vcl::TCustomForm &Form) {
    auto *provider = vcl::Create<TvlProvider>(&Form);
    try {
        ListHookedProvider(*provider);
        provider->AttachToForm(&Form);
    } catch (...) {
        delete provider;  // takes its entry out
        throw;
    }
}

void AttachToFoundForm(const TsSkinManager &Manager, vcl::TCustomForm &Form, const std::string &ClassName) {
    if (Form.Tag() & UnskinnedFormTag) return;
    if (Form.ComponentState().Contains(vcl::csLoading) && Form.FormStyle() != vcl::fsMDIChild) return;
    if (IsUnskinnedPopupClass(ClassName)) return;
    const TvlSkinningRule rule = ClassName == MessageFormClass ? srStdDialogs : srStdForms;
    if (!Manager.SkinningRules().Contains(rule)) return;
    AttachProviderTo(Form);
    if (Form.FormStyle() != vcl::fsMDIForm) return;
    // Its children made before it was skinned come along. Their windows
    // are listed first: what an attach runs may make or free a child.
    std::vector<HWND> children;
    for (int i = 0; i < Form.MDIChildCount(); ++i) children.push_back(Form.MDIChildren(i)->Handle());
    for (HWND window : children) {
        auto *child = dynamic_cast<vcl::TCustomForm *>(vcl::FindControl(window));
        if (child && child->FormStyle() == vcl::fsMDIChild && !SendSkinQuery(window, SC_IS_HANDLED))
            AttachProviderTo(*child);
    }
}

void WindowCreated(HWND Window, const CREATESTRUCTW &Create) {
    if (IS_INTRESOURCE(Create.lpszClass)) {
        // Of the classes given as atoms only the system dialogs and the
        // popup-menu windows are candidates here.
        const ATOM atom = LOWORD(reinterpret_cast<ULONG_PTR>(Create.lpszClass));
        if (atom == PopupMenuClassAtom) AdaptNewMenuWindow(Window);
        if (atom == DialogClassAtom) AttachSkinToWindow(Window);
        return;
    }
    if (GetWindowClassName(Window) == "TPUtilWindow" || Create.dwExStyle == 0 || Create.style == 0) return;
    // The main form is served by its own provider; until its window exists
    // nothing that is created can be told apart from it.
    const vcl::TCustomForm *main = vcl::Application->MainForm();
    if (main && (!main->HandleAllocated() || main->WindowHandle() == Window)) return;
    if (GetParent(Window)) return;
    AttachSkinToWindow(Window);
}

// The dialog skinning slot's implementation.
class TvlDials final : public TvlDialogSkinning {
public:
    void CbtEvent(int Code, WPARAM WParam, LPARAM LParam) override {
        if (ApplicationGoing()) return;
        const auto window = reinterpret_cast<HWND>(WParam);
        if (Code == HCBT_ACTIVATE) {
            AttachSkinToWindow(window);
        } else if (Code == HCBT_CREATEWND && window) {
            const auto *record = reinterpret_cast<const CBT_CREATEWNDW *>(LParam);
            if (record && record->lpcs) WindowCreated(window, *record->lpcs);
        }
    }
    void FreeMenuAdapters() override { skin::FreeMenuAdapters(true); }
    void AttachSkinToWindow(HWND Window) override { skin::AttachSkinToWindow(Window); }
};

TvlDials &Dials() {
    static TvlDials dials;
    return dials;
}

int StartupCount = 0;

} // namespace

// ------------------------------------------------------------ TvlProvider

TvlProvider::TvlProvider(vcl::TComponent *AOwner) : vcl::TComponent(AOwner) {}

TvlProvider::~TvlProvider() {
    // Whatever it served and whoever serves it now, no entry outlives it.
    if (TvlHookedProvider *entry = std::exchange(FEntry, nullptr)) {
        entry->Release();
        RemoveHookedDialog(entry);
    }
}

HWND TvlProvider::Window() const {
    if (FForm) return FForm->HandleAllocated() ? FForm->WindowHandle() : nullptr;
    if (FDialogAdapter && FDialogAdapter->Destroyed()) return nullptr;
    return FWindow;
}

void TvlProvider::AttachToForm(vcl::TCustomForm *Form) {
    if (!Form) return;
    FForm = Form;
    FreeNotification(Form);
    FFormProvider = vcl::Create<TsSkinProvider>(Form, TsSkinProvider::TDialogMade{});
    FreeNotification(FFormProvider);
    try {
        FFormProvider->SetUseGlobalColor(false);
        FWindow = Form->Handle();
    } catch (...) {
        delete std::exchange(FFormProvider, nullptr);
        throw;
    }
    if (DwmCompositionActive()) {
        if (FFormProvider && !FFormProvider->ControlAdapter) FFormProvider->Loaded();
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SendMessageW(FWindow, WM_NCPAINT, 0, 0);
    } else if (!DebuggerAttached()) {
        // Under a debugger the immediate repaint is left out.
        UpdateWindow(FWindow);
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }
    // What the repaint ran may have replaced the provider meanwhile.
    if (FFormProvider) FFormProvider->SetMakeSkinMenu(false);
}

void TvlProvider::Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != vcl::opRemove || !AComponent) return;
    if (AComponent == FFormProvider) FFormProvider = nullptr;
    if (AComponent == FForm) FForm = nullptr;
}

void ListHookedProvider(TvlProvider &Provider) {
    if (Provider.FEntry) return;
    auto entry = std::make_unique<TvlHookedProvider>(Provider);
    Provider.FEntry = entry.get();
    AddHookedDialog(std::move(entry));
}

// ------------------------------------------------------------ lookups

TvlProvider *FindDialogProvider(HWND Window) {
    if (!Window || !vcl::Application || vcl::Application->Terminated()) return nullptr;
    TvlProvider *found = nullptr;
    ForEachHookedDialog([&](TvlHookedDialog &Dialog) {
        const auto *entry = dynamic_cast<const TvlHookedProvider *>(&Dialog);
        if (!found && entry && entry->Provider() && entry->Provider()->Window() == Window) found = entry->Provider();
    });
    return found;
}

vcl::TCustomForm *FindFormOfWindow(HWND Window) {
    if (!Window || !vcl::Screen) return nullptr;
    for (int i = vcl::Screen->FormCount() - 1; i >= 0; --i) {
        vcl::TCustomForm *form = vcl::Screen->Forms(i);
        if (!form || form->ComponentState().Contains(vcl::csDestroying) || !form->HandleAllocated()) continue;
        if (form->WindowHandle() == Window) return form;
    }
    return nullptr;
}

void ForEachHookedProvider(const std::function<void(TvlProvider &Provider)> &Proc) {
    ForEachHookedDialog([&](TvlHookedDialog &Dialog) {
        if (const auto *entry = dynamic_cast<const TvlHookedProvider *>(&Dialog); entry && entry->Provider())
            Proc(*entry->Provider());
    });
}

// ------------------------------------------------------------ attaching

void AttachSkinToWindow(HWND Window) {
    const TsSkinManager *manager = DefaultManager();
    if (!Window || !manager || ApplicationGoing() || SendSkinQuery(Window, SC_IS_HANDLED)) return;
    const std::string className = GetWindowClassName(Window);
    const LONG_PTR style = GetWindowLongPtrW(Window, GWL_STYLE);
    if ((style & WS_POPUP) && !(style & WS_BORDER)) return;
    if (FindDialogProvider(Window)) return;
    if (vcl::TCustomForm *form = FindFormOfWindow(Window))
        AttachToFoundForm(*manager, *form, className);
    else
        AttachSystemDialog(Window, className);
}

// ------------------------------------------------------------ module

void InitializeDialsModule() {
    if (StartupCount++ > 0) return;
    RegisterService(Dials());
}

void FinalizeDialsModule() {
    if (StartupCount == 0 || --StartupCount > 0) return;
    Dials().FreeMenuAdapters();
    ClearHookedDialogs();
    FreeDialogReleaseWindow();
    UnregisterService(Dials());
}

} // namespace skin
