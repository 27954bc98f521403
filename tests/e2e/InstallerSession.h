#pragma once
// Runs the real ZuvoSetup.exe as a user would and watches it from outside:
// its process, its windows, its message boxes and its progress bars.
// Windows (under Wine) only.
#include <windows.h>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "InstalledProduct.h"
#include "UiDriver.h"

namespace e2e {

// What an install leaves on the machine, looked at as the in-process tests do.
using namespace installer::test;

inline constexpr const char *Title = "Setup MERKANO ZUVO DEMO EET 2020";

// One started ZuvoSetup.exe. The destructor ends it when a test left it running.
class TSetupProcess {
public:
    // Arguments follow the program's name on its command line.
    explicit TSetupProcess(const std::wstring &Arguments = {});

    DWORD Id() const { return FProcess.Id(); }
    // A visible top-level window of the class, waited for; 0 if none comes.
    HWND WaitFor(const char *className, std::chrono::milliseconds timeout = 20s) const {
        return uitest::WaitForTopLevelWindow(className, timeout, Id());
    }
    // Waits for the end; answers the exit code, or -1 when it is still running.
    long WaitForExit(std::chrono::milliseconds timeout = 20s) const { return FProcess.WaitForExit(timeout); }

private:
    TChildProcess FProcess;
};

// Whether a message box shows exactly this text under the installer's
// title. Its text is painted, not held by a window, so the box is compared
// with one that the class library makes here for the expected text: the
// same size, and the same pixels where the text is. Its picture is kept
// under Picture when one is given.
::testing::AssertionResult ShowsMessage(HWND box, const std::string &text, const char *Picture = nullptr);

// Presses the message box's OK button with the mouse and waits until it is gone.
bool AnswerOk(HWND box);
// Clicks "Instaluj" with the mouse; true once the install has begun.
bool ClickInstall(HWND main, HWND button);

} // namespace e2e
