// The window-creation hook's branch for system dialogs ("#32770"): which
// dialogs are skinned, the dialog provider that owns the dialog's adapter
// and the adapters of its children, and the provider's release once the
// dialog's window is gone.
#include <algorithm>
#include <cctype>
#include <memory>

#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/ObjectInstance.h"
#include "vlAdaptersState.h"
#include "vlDialogWnd.h"
#include "vlDials.h"

namespace skin {

namespace {

// Posted to the release window with the dialog's window handle.
constexpr UINT DialogReleaseMessage = WM_APP + 0x3A1;

std::string LowerCase(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return Text;
}

void ReleaseClosedDialog(HWND Window) {
    TvlProvider *found = nullptr;
    ForEachHookedProvider([&](TvlProvider &Provider) {
        if (!found && Provider.ServedClosedDialog(Window)) found = &Provider;
    });
    // Its entry leaves the list with it.
    delete found;
}

} // namespace

// The window that takes the posted releases: one of this module's, so that
// a modal loop of the dialog's owner still dispatches them.
class TvlDialogReleaseWindow {
public:
    TvlDialogReleaseWindow() : FWindow(vcl::TWndMethod::Bind<&TvlDialogReleaseWindow::Handle>(this)) {}
    HWND Window() const { return FWindow.Handle(); }

private:
    void Handle(vcl::TMessage &Message) {
        if (Message.Msg == DialogReleaseMessage) {
            ReleaseClosedDialog(reinterpret_cast<HWND>(Message.WParam));
            Message.Result = 0;
            return;
        }
        Message.Result = DefWindowProcW(FWindow.Handle(), Message.Msg, Message.WParam, Message.LParam);
    }
    vcl::TUtilWindow FWindow;
};

// ------------------------------------------------------------ the branch

void AttachSystemDialog(HWND Window, const std::string &ClassName) {
    TsSkinManager *manager = DefaultManager();
    if (!manager || ClassName != "#32770") return;
    // A dialog inside another window is not one of its own: an owned dialog
    // is top-level all the same.
    if (GetWindowLongPtrW(Window, GWL_STYLE) & WS_CHILD) return;
    if (!manager->SkinningRules().Contains(srStdDialogs)) return;
    if (CountVisibleHookedDialogs() > MaxHookedDialogs - 1 && !HasDescendantOfClass(Window, "toolbarwindow32")) return;
    if (manager->OnSysDlgInit) {
        bool allow = true;
        manager->OnSysDlgInit(Window, allow);
        if (!allow) return;
    }
    std::unique_ptr<TvlProvider> provider(vcl::Create<TvlProvider>(nullptr));
    if (!provider->AttachToDialog(Window)) return;
    ListHookedProvider(*provider.release());
}

int CountVisibleHookedDialogs() {
    int count = 0;
    ForEachHookedProvider([&](TvlProvider &Provider) {
        if (Provider.Form()) return;
        const HWND window = Provider.DialogAdapter() ? Provider.DialogAdapter()->Handle : Provider.Window();
        if (window && IsWindowVisible(window)) ++count;
    });
    return count;
}

bool HasDescendantOfClass(HWND Window, const std::string &LowerCaseName) {
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (LowerCase(GetWindowClassName(child)) == LowerCaseName || HasDescendantOfClass(child, LowerCaseName))
            return true;
    return false;
}

void PostDialogRelease(HWND Window) {
    TvlKept<TvlDialogReleaseWindow> &release = AdaptersState().DialogReleaseWindow;
    if (!release) release = Keep(std::make_unique<TvlDialogReleaseWindow>());
    PostMessageW(release->Window(), DialogReleaseMessage, reinterpret_cast<WPARAM>(Window), 0);
}

void FreeDialogReleaseWindow() { AdaptersState().DialogReleaseWindow.reset(); }

// ------------------------------------------------------- the provider

bool TvlProvider::AttachToDialog(HWND Window) {
    FWindow = Window;
    FChildAdapters.clear();
    TsSkinManager *manager = DefaultManager();
    if (FDialogAdapter || !manager || !manager->Active()) return true;
    if (const auto init = ScrollBarApi().InitializeFlatSB) init(Window);
    TvlSkinParams params;
    params.SkinSection = "DIALOG";
    FDialogAdapter = NewAdapter<TvlDialogWnd>(Window, nullptr, manager, params, false);
    FDialogAdapter->Provider = this;
    if (CreateChildAdaptersRecursive(*this, Window)) {
        FDialogAdapter->AnalyseWindow();
        SendMessageW(Window, SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(manager));
        return true;
    }
    return false;
}

void TvlProvider::AdaptChildren() {
    if (FWindow && IsWindow(FWindow)) CreateChildAdaptersRecursive(*this, FWindow);
}

bool TvlProvider::ServedClosedDialog(HWND Window) const {
    return FWindow == Window && FDialogAdapter && FDialogAdapter->Destroyed();
}

void TvlProvider::AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) {
    if (Adapter) FChildAdapters.push_back(std::move(Adapter));
}

TsSkinManager *TvlProvider::ChildSkinManager() const {
    if (FDialogAdapter && FDialogAdapter->SkinData) return FDialogAdapter->SkinData->GetSkinManager();
    return DefaultManager();
}

bool TvlProvider::DialogCacheEmpty() const {
    const vcl::TBitmap *cache =
        FDialogAdapter && FDialogAdapter->SkinData ? FDialogAdapter->SkinData->CacheBmp() : nullptr;
    return !cache || cache->Empty();
}

void TvlProvider::ClearSuppressPaint() {
    if (FDialogAdapter) FDialogAdapter->SuppressPaint = false;
}

} // namespace skin
