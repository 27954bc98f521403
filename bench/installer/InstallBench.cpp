// Times whole installs of the embedded product as a user runs them, beside
// NSIS installing the same eleven files with its own window, both under the
// same Wine in one run, alternately.
//
//   InstallBench.exe <runs> <NSIS peer.exe> [ZuvoSetup.exe]
//                                 (bench/installer/install-bench.sh builds both)
//
// ZuvoSetup.exe: "Instaluj" clicked with the mouse, "Hotovo" answered, the
// program's end awaited (it starts the product and puts its shortcut first).
// The peer: "Install" clicked with the mouse, "Completed" awaited, "Close"
// clicked, its end awaited. Per program: the start to its window, the install
// from the click to its last word, the last word to the end (the answer and
// what the program does after it), the whole run from the start to the end,
// and the peak working set. Medians over the runs (min and max beside them),
// then the ratios.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "InstalledProduct.h"
#include "UiDriver.h"

namespace {

using namespace installer::test;
using Clock = std::chrono::steady_clock;

const fs::path PeerFolder = L"c:\\merkano_zuvo_nsis";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct TRun {
    double Shown = 0;    // process start to its window
    double Install = 0;  // click to the last word
    double After = 0;    // the last word to process end (the answer and what follows it)
    double Whole = 0;    // process start to process end
    double PeakMB = 0;   // peak working set
};

// The peak working set of a running process, as the system keeps it.
double PeakMB(const TChildProcess &process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process.Handle(), &counters, sizeof(counters))) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// Polls until probe answers a window, with short pauses: asking without
// pause keeps the window server busy, which the installer shares. The
// process's peak working set is read on the way (it is gone once the
// process is).
HWND Await(const TChildProcess &process, double &peak, std::chrono::milliseconds timeout,
           const std::function<HWND()> &probe) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        peak = std::max(peak, PeakMB(process));
        if (HWND w = probe()) return w;
        if (Clock::now() >= end) return nullptr;
        std::this_thread::sleep_for(1ms);
    }
}

// Clicks a button with the mouse until it is disabled (the sign that the
// click arrived; a click that comes while the window is being activated can
// be lost); answers the time of the click that arrived.
Clock::time_point ClickUntilDisabled(HWND window, HWND button) {
    auto click = Clock::now();
    for (int attempt = 0; attempt < 5 && IsWindowEnabled(button); ++attempt) {
        SetForegroundWindow(window);
        click = Clock::now();
        uitest::ClickWithMouse(button);
        uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? nullptr : button; }, 2s);
    }
    return click;
}

// Clicks a button with the mouse until the process ends; true when it did.
bool ClickUntilEnded(const TChildProcess &process, double &peak, HWND window, HWND button) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(window);
        uitest::ClickWithMouse(button);
        const auto end = Clock::now() + 4s;
        while (Clock::now() < end) {
            peak = std::max(peak, PeakMB(process));
            if (process.Wait(1ms)) return true;
        }
    }
    return false;
}

bool Fail(const char *what) {
    std::fprintf(stderr, "%s\n", what);
    return false;
}

bool RunZuvoSetup(const fs::path &program, TRun &run) {
    CleanInstall();
    const auto start = Clock::now();
    const TChildProcess setup(L"\"" + program.wstring() + L"\"");
    const DWORD pid = setup.Id();
    HWND main = Await(setup, run.PeakMB, 20s, [&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("TSDIAppForm", pid))
            if (IsWindowVisible(w)) return w;
        return nullptr;
    });
    run.Shown = Ms(Clock::now() - start);
    HWND button = main ? uitest::FindChild(main, "TButton", "Instaluj") : nullptr;
    if (!button) return Fail("ZuvoSetup: no main window with its button");
    const auto click = ClickUntilDisabled(main, button);
    HWND done = Await(setup, run.PeakMB, 60s, [&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", pid))
            if (IsWindowVisible(w)) return w;
        return nullptr;
    });
    const auto hotovo = Clock::now();
    HWND ok = done ? uitest::WaitForWindow([&] { return uitest::FindChild(done, "TButton", "OK"); }, 10s) : nullptr;
    if (!ok) return Fail("ZuvoSetup: no Hotovo with its button");
    if (!ClickUntilEnded(setup, run.PeakMB, done, ok)) return Fail("ZuvoSetup did not end");
    const auto end = Clock::now();
    run.Install = Ms(hotovo - click);
    run.After = Ms(end - hotovo);
    run.Whole = Ms(end - start);
    WaitForStartedProduct();
    return true;
}

// The peer's window: the outer dialog, whose button 1 is "Install" and then
// "Close", and the page inside it whose status line (1006) ends "Completed".
bool RunPeer(const fs::path &peer, TRun &run) {
    std::error_code ignored;
    fs::remove_all(PeerFolder, ignored);
    const auto start = Clock::now();
    const TChildProcess setup(L"\"" + peer.wstring() + L"\"");
    const DWORD pid = setup.Id();
    HWND main = Await(setup, run.PeakMB, 20s, [&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("#32770", pid))
            if (IsWindowVisible(w) && GetDlgItem(w, 1)) return w;
        return nullptr;
    });
    run.Shown = Ms(Clock::now() - start);
    HWND button = main ? GetDlgItem(main, 1) : nullptr;
    if (!button) return Fail("peer: no window with its Install button");
    const auto click = ClickUntilDisabled(main, button);
    // GetWindowText of another process's window reads the text the system
    // keeps and sends the peer nothing.
    HWND status = Await(setup, run.PeakMB, 60s, [&]() -> HWND {
        for (HWND page : uitest::ChildWindows(main, "#32770")) {
            wchar_t text[32] = {};
            HWND line = GetDlgItem(page, 1006);
            if (line && GetWindowTextW(line, text, 32) && std::wstring(text) == L"Completed") return line;
        }
        return nullptr;
    });
    const auto completed = Clock::now();
    if (!status) return Fail("peer: no Completed");
    if (!uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? button : nullptr; }, 10s))
        return Fail("peer: Close stays disabled");
    if (!ClickUntilEnded(setup, run.PeakMB, main, button)) return Fail("peer did not end");
    const auto end = Clock::now();
    run.Install = Ms(completed - click);
    run.After = Ms(end - completed);
    run.Whole = Ms(end - start);
    fs::remove_all(PeerFolder, ignored);
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

void Print(const char *label, const char *unit, const TFigures &ours, const TFigures &peer) {
    std::printf("%-30s %8.1f %-3s (%.1f-%.1f)  %8.1f %-3s (%.1f-%.1f)  %5.2fx\n", label, ours.Median(), unit,
                ours.Min(), ours.Max(), peer.Median(), unit, peer.Min(), peer.Max(), ours.Median() / peer.Median());
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: InstallBench <runs> <NSIS peer.exe> [ZuvoSetup.exe]\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    const fs::path peer = argv[2];
    // Another build of the installer may be named, to compare two builds beside the same peer.
    const fs::path program = argc > 3 ? fs::path(argv[3]) : HostFolder(ZUVO_SETUP_PROGRAM);

    TFigures shown[2], install[2], after[2], whole[2], memory[2];
    for (int i = 0; i < runs + 1; ++i) {  // the first round warms the caches and is not counted
        TRun ours, theirs;
        // Alternately first, so that neither always runs on a machine the other has just warmed.
        const bool oursFirst = i % 2 == 0;
        if (oursFirst && !RunZuvoSetup(program, ours)) return 1;
        if (!RunPeer(peer, theirs)) return 1;
        if (!oursFirst && !RunZuvoSetup(program, ours)) return 1;
        if (i == 0) continue;
        const TRun *both[2] = {&ours, &theirs};
        for (int k = 0; k < 2; ++k) {
            shown[k].Values.push_back(both[k]->Shown);
            install[k].Values.push_back(both[k]->Install);
            after[k].Values.push_back(both[k]->After);
            whole[k].Values.push_back(both[k]->Whole);
            memory[k].Values.push_back(both[k]->PeakMB);
        }
    }
    CleanInstall();

    std::printf("%d runs each, medians (min-max)   %-24s  %-24s  ratio\n", runs, "ZuvoSetup.exe", "NSIS peer");
    Print("start to the window", "ms", shown[0], shown[1]);
    Print("click to Hotovo / Completed", "ms", install[0], install[1]);
    Print("Hotovo / Completed to end", "ms", after[0], after[1]);
    Print("whole run, start to end", "ms", whole[0], whole[1]);
    Print("peak working set", "MB", memory[0], memory[1]);
    return 0;
}
