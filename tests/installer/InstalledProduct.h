#pragma once
// What an install leaves on the machine, as the installer's tests and
// benchmarks look at it from inside Wine: the install folder and the payload
// folder its files come from, the desktop shortcut and the started product;
// and owners of the handles and processes that such checks hold, so that a
// check which stops half-way leaves no file locked and no program running
// for the next one. Windows only.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace installer::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct THandleCloser {
    void operator()(HANDLE Handle) const { CloseHandle(Handle); }
};
// Owns one kernel handle (file, mutex, event, process) and closes it.
// INVALID_HANDLE_VALUE, what a failed CreateFile answers, is kept as none.
class TOwnedHandle : public std::unique_ptr<void, THandleCloser> {
public:
    explicit TOwnedHandle(HANDLE Handle = nullptr) : unique_ptr(Handle == INVALID_HANDLE_VALUE ? nullptr : Handle) {}
    HANDLE Get() const { return get(); }
};

// A process started from a command line, in Folder (empty: the current
// folder). One still running when this goes is ended.
class TChildProcess {
public:
    explicit TChildProcess(std::wstring CommandLine, const fs::path &Folder = {});
    ~TChildProcess();
    TChildProcess(const TChildProcess &) = delete;
    TChildProcess &operator=(const TChildProcess &) = delete;

    bool Started() const { return static_cast<bool>(FProcess); }
    DWORD Id() const { return FId; }
    HANDLE Handle() const { return FProcess.Get(); }
    // True once the process has ended, waiting at most Timeout.
    bool Wait(std::chrono::milliseconds Timeout) const;
    // The exit code once the process has ended, waiting at most Timeout; -1
    // while it still runs.
    long WaitForExit(std::chrono::milliseconds Timeout = 20s) const;

private:
    TOwnedHandle FProcess;
    DWORD FId = 0;
};

// A folder of the build machine (a Unix path) as a Windows program sees it.
fs::path HostFolder(const std::string &UnixPath);
// The folder whose eleven files the installer embeds.
fs::path PayloadFolder();
// c:\merkano_zuvo.
const fs::path &InstallFolderPath();
// File k (from 0, in install order): where the install writes it, and where
// the payload folder holds it.
fs::path TargetPath(std::size_t k);
fs::path PayloadPath(std::size_t k);
// The desktop folder that the current user's registry names; empty when none.
fs::path DesktopFolder();
// Ends a stand-in product still running, removes the install folder and the
// desktop shortcut, and goes back to the folder this program started in (an
// install changes into its folder).
void CleanInstall();

// A whole file, "" when it cannot be read.
std::string ReadBytes(const fs::path &File);
// Raises std::runtime_error when the file cannot be written.
void WriteBytes(const fs::path &File, const std::string &Bytes);
// Opens an existing file as another program holds it: others may only do
// what Share allows (0: nothing, as a reader that locks it).
TOwnedHandle HoldFile(const fs::path &File, DWORD Share);

// Waits for the stand-in product that an install started, closes it and
// answers the line it recorded about its start ("" when it never came).
std::string WaitForStartedProduct();

// The build's artefacts folder (pictures of the windows).
fs::path ArtifactsFolder();
// Takes the window as the X server holds it, waiting (and handling this
// thread's messages) until it is drawn and no longer changes, and keeps it
// as <Name>.png in the artefacts folder; true when it was drawn.
bool KeepPicture(HWND Window, const std::string &Name);

// A shortcut file read back through the shell's link object; empty fields
// when it cannot be read.
struct TShortcut {
    std::string Path;
    std::string WorkingDirectory;
};
TShortcut ReadShortcut(const fs::path &File);

} // namespace installer::test
