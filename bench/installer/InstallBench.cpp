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

#include "InstalledProduct.h"
#include "UiDriver.h"
#include "installer/PayloadStore.h"

namespace {

using namespace installer::test;
using Clock = std::chrono::steady_clock;

const fs::path CopyFolder = L"c:\\merkano_zuvo_copy";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void RemoveCopy() {
    std::error_code ignored;
    fs::remove_all(CopyFolder, ignored);
}

// The eleven files copied one by one with the system's copy.
bool CopyProduct() {
    fs::create_directory(CopyFolder);
    for (std::size_t k = 0; k < installer::PayloadFileCount; ++k)
        if (!CopyFileW(PayloadPath(k).c_str(), (CopyFolder / PayloadPath(k).filename()).c_str(), FALSE)) return false;
    return true;
}

struct TInstallRun {
    double Install = 0;  // click to "Hotovo"
    double Whole = 0;    // process start to process end
};

bool RunInstall(TInstallRun &run) {
    CleanInstall();
    const auto start = Clock::now();
    const TChildProcess setup(L"\"" + HostFolder(ZUVO_SETUP_PROGRAM).wstring() + L"\"");
    const DWORD pid = setup.Id();
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
    // Polled with short pauses: a loop that asks for windows without pause
    // keeps the window server busy, which the installer shares.
    HWND done = nullptr;
    while (!done && Clock::now() - click < 60s) {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", pid))
            if (IsWindowVisible(w)) done = w;
        if (!done) std::this_thread::sleep_for(1ms);
    }
    const auto hotovo = Clock::now();
    HWND ok = done ? uitest::WaitForWindow([&] { return uitest::FindChild(done, "TButton", "OK"); }, 10s) : nullptr;
    if (!ok) {
        std::fprintf(stderr, "no Hotovo with its button (%s)\n", done ? "a box without OK" : "no box");
        return false;
    }
    for (int attempt = 0; attempt < 5 && !setup.Wait(0ms); ++attempt) {
        SetForegroundWindow(done);
        uitest::ClickWithMouse(ok);
        setup.Wait(2s);
    }
    if (!setup.Wait(20s)) {
        std::fprintf(stderr, "the installer did not end\n");
        return false;
    }
    const auto end = Clock::now();
    run.Install = Ms(hotovo - click);
    // With the driver's own clicks, which it gives at once.
    run.Whole = Ms(end - start);
    WaitForStartedProduct();
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
        RemoveCopy();
        const auto copyStart = Clock::now();
        if (!CopyProduct()) {
            std::fprintf(stderr, "copy failed\n");
            return 1;
        }
        const double copied = Ms(Clock::now() - copyStart);
        RemoveCopy();
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const auto processStart = Clock::now();
        {
            const TChildProcess copier(L"\"" + std::wstring(self) + L"\" --copy");
            copier.Wait(20s);
        }
        const double copiedByProcess = Ms(Clock::now() - processStart);
        if (i == 0) continue;
        install.Values.push_back(run.Install);
        whole.Values.push_back(run.Whole);
        copy.Values.push_back(copied);
        copyProcess.Values.push_back(copiedByProcess);
    }
    CleanInstall();
    RemoveCopy();

    std::uintmax_t bytes = 0;
    for (std::size_t k = 0; k < installer::PayloadFileCount; ++k) bytes += fs::file_size(PayloadPath(k));
    std::printf("eleven files, %ju bytes; %d runs, medians\n", bytes, runs);
    Print("install: click on Instaluj to Hotovo", install);
    Print("copy of the eleven files (in process)", copy);
    std::printf("%-44s %9.1f\n", "ratio install / copy", install.Median() / copy.Median());
    Print("whole installer: start to end", whole);
    Print("copy by a process of its own: start to end", copyProcess);
    std::printf("%-44s %9.1f\n", "ratio whole installer / copy process", whole.Median() / copyProcess.Median());
    return 0;
}
