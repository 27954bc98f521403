// Times whole installs of the embedded product as a user runs them, against
// copying the same eleven files, all under the same Wine in one run.
//
//   InstallBench.exe [runs]          (bench/installer/install-bench.sh builds and runs it)
//
// Per run: ZuvoSetup.exe is started, "Instaluj" is clicked with the mouse,
// "Hotovo" is answered and the program's end awaited; the product it starts
// is closed again. Reported: the install from the click to "Hotovo", the
// whole program from its start to its end, and for comparison the eleven
// files copied in this process and by a process of their own (this program
// started again with --copy). Medians over the runs, then min and max.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "UiDriver.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const wchar_t *const Names[] = {L"zuvoeet_dll.dll", L"eet_z.exe", L"eetzuvo.exe", L"merkzuvo.exe",
                                L"Licence_MERKZUVO.pdf", L"fiscal_test_cert.p12",
                                L"U\u017Eivatelsk\u00E1 p\u0159\u00EDru\u010Dka Merkano zuvo1-1.pdf",
                                L"PdfQuill.dll", L"PdfQuill.Charting.dll", L"pdfconv.exe", L"ticket.jpg"};
const fs::path InstallFolder = L"c:\\merkano_zuvo";
const fs::path CopyFolder = L"c:\\merkano_zuvo_copy";

fs::path HostPath(const char *unixPath) {
    std::wstring path = L"Z:";
    for (const char *p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return path;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Clean(const fs::path &folder) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void RemoveDesktopShortcut() {
    wchar_t desktop[MAX_PATH] = {};
    DWORD size = sizeof(desktop);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     L"Desktop", RRF_RT_REG_SZ, nullptr, desktop, &size) == ERROR_SUCCESS) {
        std::error_code ignored;
        fs::remove(fs::path(desktop) / L"merkzuvo.lnk", ignored);
    }
}

// The eleven files copied one by one with the system's copy.
bool CopyProduct() {
    fs::create_directory(CopyFolder);
    const fs::path source = HostPath(ZUVO_PAYLOAD_FOLDER);
    for (const wchar_t *name : Names)
        if (!CopyFileW((source / name).c_str(), (CopyFolder / name).c_str(), FALSE)) return false;
    return true;
}

struct TProcess {
    PROCESS_INFORMATION Info{};
    explicit TProcess(std::wstring command) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &Info))
            std::fprintf(stderr, "cannot start %ls\n", command.c_str());
        if (Info.hThread) CloseHandle(Info.hThread);
    }
    ~TProcess() {
        if (!Info.hProcess) return;
        if (WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(Info.hProcess, 1);
        CloseHandle(Info.hProcess);
    }
    bool Wait(DWORD ms) const { return Info.hProcess && WaitForSingleObject(Info.hProcess, ms) == WAIT_OBJECT_0; }
};

void CloseStartedProduct() {
    HWND product = uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 10s);
    if (!product) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(product, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(product, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

struct TInstallRun {
    double Install = 0;  // click to "Hotovo"
    double Whole = 0;    // process start to process end
};

bool RunInstall(TInstallRun &run) {
    Clean(InstallFolder);
    RemoveDesktopShortcut();
    const auto start = Clock::now();
    TProcess setup(L"\"" + HostPath(ZUVO_SETUP_PROGRAM).wstring() + L"\"");
    const DWORD pid = setup.Info.dwProcessId;
    HWND main = uitest::WaitForTopLevelWindow("TSDIAppForm", 20s, pid);
    HWND button = main ? uitest::FindChild(main, "TButton", "Instaluj") : nullptr;
    if (!button) {
        std::fprintf(stderr, "no main window with its button\n");
        return false;
    }
    // Clicked again when a click was lost (the button is disabled once it arrived).
    auto click = Clock::now();
    for (int attempt = 0; attempt < 5 && IsWindowEnabled(button); ++attempt) {
        SetForegroundWindow(main);
        click = Clock::now();
        uitest::ClickWithMouse(button);
        uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? nullptr : button; }, 2s);
    }
    HWND done = nullptr;
    while (!done && Clock::now() - click < 60s) {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", pid))
            if (IsWindowVisible(w)) done = w;
    }
    const auto hotovo = Clock::now();
    HWND ok = done ? uitest::WaitForWindow([&] { return uitest::FindChild(done, "TButton", "OK"); }, 10s) : nullptr;
    if (!ok) {
        std::fprintf(stderr, "no Hotovo with its button (%s)\n", done ? "a box without OK" : "no box");
        return false;
    }
    for (int attempt = 0; attempt < 5 && !setup.Wait(0); ++attempt) {
        SetForegroundWindow(done);
        uitest::ClickWithMouse(ok);
        setup.Wait(2000);
    }
    if (!setup.Wait(20000)) {
        std::fprintf(stderr, "the installer did not end\n");
        return false;
    }
    const auto end = Clock::now();
    run.Install = Ms(hotovo - click);
    // With the driver's own clicks, which it gives at once.
    run.Whole = Ms(end - start);
    CloseStartedProduct();
    return true;
}

struct TFigures {
    std::vector<double> Values;
    double Median() const {
        std::vector<double> v = Values;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    double Min() const { return Values.empty() ? 0 : *std::min_element(Values.begin(), Values.end()); }
    double Max() const { return Values.empty() ? 0 : *std::max_element(Values.begin(), Values.end()); }
};

void Print(const char *label, const TFigures &f) {
    std::printf("%-44s %9.1f ms  (min %.1f, max %.1f)\n", label, f.Median(), f.Min(), f.Max());
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--copy") return CopyProduct() ? 0 : 1;
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;

    TFigures install, whole, copy, copyProcess;
    for (int i = 0; i < runs + 1; ++i) {  // the first run warms the caches and is not counted
        TInstallRun run;
        if (!RunInstall(run)) {
            std::fprintf(stderr, "install run %d failed\n", i);
            return 1;
        }
        Clean(CopyFolder);
        const auto copyStart = Clock::now();
        if (!CopyProduct()) {
            std::fprintf(stderr, "copy failed\n");
            return 1;
        }
        const double copied = Ms(Clock::now() - copyStart);
        Clean(CopyFolder);
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const auto processStart = Clock::now();
        {
            TProcess copier(L"\"" + std::wstring(self) + L"\" --copy");
            copier.Wait(20000);
        }
        const double copiedByProcess = Ms(Clock::now() - processStart);
        if (i == 0) continue;
        install.Values.push_back(run.Install);
        whole.Values.push_back(run.Whole);
        copy.Values.push_back(copied);
        copyProcess.Values.push_back(copiedByProcess);
    }
    Clean(InstallFolder);
    Clean(CopyFolder);
    RemoveDesktopShortcut();

    std::uintmax_t bytes = 0;
    for (const wchar_t *name : Names) bytes += fs::file_size(HostPath(ZUVO_PAYLOAD_FOLDER) / name);
    std::printf("eleven files, %ju bytes; %d runs, medians\n", bytes, runs);
    Print("install: click on Instaluj to Hotovo", install);
    Print("copy of the eleven files (in process)", copy);
    std::printf("%-44s %9.1f\n", "ratio install / copy", install.Median() / copy.Median());
    Print("whole installer: start to end", whole);
    Print("copy by a process of its own: start to end", copyProcess);
    std::printf("%-44s %9.1f\n", "ratio whole installer / copy process", whole.Median() / copyProcess.Median());
    return 0;
}
