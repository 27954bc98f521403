// The window-creation hook's branch for system dialogs ("#32770"): which
// dialogs are skinned.
#include "vlDialogProvider.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/ObjectInstance.h"
#include "vlProvider.h"

namespace skin {

namespace {

std::string LowerCase(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return Text;
}

} // namespace

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

bool HasDescendantOfClass(HWND Window, const std::string &LowerCaseName) {
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (LowerCase(GetWindowClassName(child)) == LowerCaseName || HasDescendantOfClass(child, LowerCaseName))
            return true;
    return false;
}

} // namespace skin
