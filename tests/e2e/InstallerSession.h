#pragma once
// Runs the real ZuvoSetup.exe as a user would and watches it from outside:
// its process, its windows, its message boxes, the install folder and the
// desktop shortcut. Windows (under Wine) only.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "UiDriver.h"

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A folder of the build machine (a Unix path) as this Windows program sees it.
fs::path HostPath(const std::string &unixPath);
fs::path SetupProgram();
fs::path PayloadFolder();
fs::path ArtifactsFolder();

inline const fs::path InstallFolder = "c:\\merkano_zuvo";
inline constexpr const char *Title = "Setup MERKANO ZUVO DEMO EET 2020";
fs::path DesktopFolder();
// Removes the install folder and the desktop shortcut.
void CleanInstall();

std::string ReadBytes(const fs::path &path);
void WriteBytes(const fs::path &path, const std::string &bytes);

// One started ZuvoSetup.exe. The destructor ends it when a test left it running.
class TSetupProcess {
public:
    TSetupProcess();
    ~TSetupProcess();
    TSetupProcess(const TSetupProcess &) = delete;
    TSetupProcess &operator=(const TSetupProcess &) = delete;

    DWORD Id() const { return FInfo.dwProcessId; }
    HANDLE Handle() const { return FInfo.hProcess; }
    // The visible main window (class TSDIAppForm), waited for; 0 if none comes.
    HWND WaitForMainWindow(std::chrono::milliseconds timeout = 20s) const;
    // A visible message box of this process, waited for; 0 if none comes.
    HWND WaitForMessageBox(std::chrono::milliseconds timeout = 20s) const;
    bool HasWindow(const char *className) const;
    // Waits for the end; answers the exit code, or -1 when it is still running.
    long WaitForExit(std::chrono::milliseconds timeout = 20s) const;

private:
    PROCESS_INFORMATION FInfo{};
};

// Whether a message box shows exactly this text under the installer's
// title. Its text is painted, not held by a window, so the box is compared
// with one that the class library makes here for the expected text: the
// same size, and the same pixels where the text is.
::testing::AssertionResult ShowsMessage(HWND box, const std::string &text);

// Presses the message box's OK button with the mouse and waits until it is gone.
bool AnswerOk(HWND box);
// Clicks "Instaluj" with the mouse; true once the install has begun.
bool ClickInstall(HWND main, HWND button);

// The installer's child windows of a class ordered by their top edge.
std::vector<HWND> ChildrenByTop(HWND parent, const char *className);

// A progress bar window's range maximum and position, asked across
// processes; {-1, -1} when the window does not answer.
struct TBarState {
    int Max = -1;
    int Position = -1;
    friend bool operator==(const TBarState &, const TBarState &) = default;
};
TBarState BarState(HWND bar);

// Ends the stand-in product once it has started; answers what it recorded.
std::string WaitForStartedProduct();

// What a shortcut file points at, read back through the shell's link object.
struct TShortcut {
    std::string Path;
    std::string WorkingDirectory;
};
TShortcut ReadShortcut(const fs::path &file);

} // namespace e2e
