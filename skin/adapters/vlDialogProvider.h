#pragma once
// The window-creation hook's branch for system dialogs ("#32770"): which
// of them get a provider (vlProvider.h). Windows only.
#include <windows.h>

#include <string>

namespace skin {

// The hook's branch for a window of no form: a top-level system dialog gets
// its provider when the rules, the count of visible dialogs and the
// manager's OnSysDlgInit allow it.
void AttachSystemDialog(HWND Window, const std::string &ClassName);
// Window has a descendant whose lower-case class name is Name.
bool HasDescendantOfClass(HWND Window, const std::string &LowerCaseName);

} // namespace skin
