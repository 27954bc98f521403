#include "installer/ProgramMain.h"

#include <windows.h>

#include <string>

#include "installer/ABOUT.h"
#include "installer/SDIMAIN.h"
#include "vcl/Dialogs.h"
#include "vcl/WideText.h"

namespace installer {

namespace {

// How long the announcement waits for each window that is slow to answer;
// a hung window is skipped at once.
constexpr UINT BroadcastTimeoutMs = 1000;

// Whether another process holds the mutex named after the title. The
// handle of our own mutex is never closed: the mutex is the mark of this
// running copy and lives as long as the process.
bool AnotherCopyRuns(const std::wstring &Title) {
    CreateMutexW(nullptr, FALSE, Title.c_str());
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

// Tells every top-level window that a second copy was started. No window
// may keep the second copy from ending: each gets a bounded time to answer.
void AnnounceSecondCopy(const std::wstring &Title) {
    const UINT message = RegisterWindowMessageW(Title.c_str());
    if (message == 0) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, BroadcastTimeoutMs, &result);
}

} // namespace

int ProgramMain() {
    vcl::Application->Initialize();
    vcl::Application->SetTitle(ApplicationTitle);
    const std::wstring title = vcl::Utf8ToWide(ApplicationTitle);
    if (AnotherCopyRuns(title)) {
        vcl::ShowMessage(AlreadyRunningMessage);
        AnnounceSecondCopy(title);
        return 0;
    }
    try {
        vcl::Application->CreateForm(SDIAppForm);
        vcl::Application->CreateForm(AboutBox);
    } catch (...) {
        vcl::Application->HandleException(vcl::Application);
        return 1;
    }
    vcl::Application->Run();
    return 0;
}

} // namespace installer
