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
#include "vlAdaptersState.h"
#include "vlDialogProvider.h"

namespace skin {

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

} // namespace

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
    TvlAdaptersState &state = AdaptersState();
    if (state.DialsStartCount++ > 0) return;
    state.Dials = Keep(std::make_unique<TvlDials>());
    RegisterService(*state.Dials);
}

void FinalizeDialsModule() {
    TvlAdaptersState &state = AdaptersState();
    if (state.DialsStartCount == 0 || --state.DialsStartCount > 0) return;
    state.Dials->FreeMenuAdapters();
    ClearHookedDialogs();
    FreeDialogReleaseWindow();
    UnregisterService(*state.Dials);
    state.Dials.reset();
    ResetAdaptersStateWhenStopped();
}

} // namespace skin
