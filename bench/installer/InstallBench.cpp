// Times whole installs of the embedded product as a user sees them, beside
// NSIS installing the same eleven files with its own window, and beside the
// same installer built with its skin off, all under the same Wine in one run,
// in turn.
//
//   InstallBench.exe <runs> <NSIS peer.exe> [ZuvoSetup.exe [unskinned ZuvoSetup.exe]]
//                                 (bench/installer/install-bench.sh builds them)
//
// ZuvoSetup.exe: "Instaluj" clicked with the mouse, "Hotovo" answered, the
// program's end awaited (it starts the product and puts its shortcut first).
// The peer: "Install" clicked with the mouse, "Completed" awaited, "Close"
// clicked, its end awaited; it too starts the product and puts a shortcut on
// the desktop once it was closed. Per program: the start to its main window
// painted, the click to "Hotovo" / "Completed" painted, the answer to the
// end, their sum (the whole run without the driver's waits between them) and
// the peak working set. "Painted" is read back from the screen: the first
// time the window's place showed the picture it then keeps, whether the
// window counted as visible by then or not (a window that reports itself
// visible may not show its picture yet, and a show animation may show the
// picture before the window itself does). Medians over the runs (min and max
// beside them), then the ratios.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "InstalledProduct.h"
#include "UiDriver.h"

namespace {

using namespace installer::test;
using Clock = std::chrono::steady_clock;

const fs::path PeerFolder = L"c:\\merkano_zuvo_nsis";
const wchar_t *const PeerShortcut = L"merkzuvo_nsis.lnk";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct TRun {
    double Painted = 0;  // process start to its window painted
    double Install = 0;  // click to the last word painted
    double After = 0;    // the answer to process end (what the program does after it)
    double PeakMB = 0;   // peak working set
    double Whole() const { return Painted + Install + After; }
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

// The screen's pixels in a rectangle, read back from the screen's DC (what
// the X server shows under Wine, every window's picture composed).
class TScreenReader {
public:
    TScreenReader() : FScreen(GetDC(nullptr)), FMemory(CreateCompatibleDC(FScreen)) {}
    ~TScreenReader() {
        if (FBitmap) DeleteObject(SelectObject(FMemory, FOld));
        DeleteDC(FMemory);
        ReleaseDC(nullptr, FScreen);
    }
    TScreenReader(const TScreenReader &) = delete;
    TScreenReader &operator=(const TScreenReader &) = delete;

    struct TPicture {
        RECT Place{};
        std::vector<std::uint32_t> Pixels;
    };

    TPicture Read(const RECT &r) {
        const int w = std::max<LONG>(0, r.right - r.left), h = std::max<LONG>(0, r.bottom - r.top);
        if (w != FWidth || h != FHeight) Resize(w, h);
        TPicture picture{r, {}};
        if (!FBits || !BitBlt(FMemory, 0, 0, w, h, FScreen, r.left, r.top, SRCCOPY)) return picture;
        GdiFlush();
        picture.Pixels.assign(FBits, FBits + static_cast<std::size_t>(w) * h);
        return picture;
    }

private:
    void Resize(int w, int h) {
        if (FBitmap) DeleteObject(SelectObject(FMemory, FOld));
        FBitmap = nullptr;
        FBits = nullptr;
        FWidth = w;
        FHeight = h;
        if (w == 0 || h == 0) return;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        FBitmap = CreateDIBSection(FMemory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!FBitmap) return;
        FBits = static_cast<const std::uint32_t *>(bits);
        FOld = SelectObject(FMemory, FBitmap);
    }

    HDC FScreen;
    HDC FMemory;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    const std::uint32_t *FBits = nullptr;
    int FWidth = 0, FHeight = 0;
};

// Two readings show the same picture: same place, and at most a caret's
// worth of pixels differ.
bool SamePicture(const TScreenReader::TPicture &a, const TScreenReader::TPicture &b) {
    if (!EqualRect(&a.Place, &b.Place) || a.Pixels.size() != b.Pixels.size()) return false;
    constexpr int CaretPixels = 64;
    int different = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        if (((a.Pixels[i] ^ b.Pixels[i]) & 0xFFFFFF) && ++different > CaretPixels) return false;
    return true;
}

// Reads Window's rectangle from the screen, from before the window shows,
// until the window is visible and its place has kept its picture for a
// while; answers when the screen first showed that picture (which may be
// before the window counts as visible: a show animation shows the finished
// picture in a window of its own first).
Clock::time_point AwaitPainted(const TChildProcess &process, double &peak, HWND window) {
    constexpr std::chrono::milliseconds Settled = 300ms, Limit = 10s;
    TScreenReader screen;
    const auto read = [&] {
        RECT r{};
        GetWindowRect(window, &r);
        return screen.Read(r);
    };
    TScreenReader::TPicture shown = read();
    auto since = Clock::now();
    const auto end = since + Limit;
    while ((!IsWindowVisible(window) || Clock::now() - since < Settled) && Clock::now() < end) {
        std::this_thread::sleep_for(1ms);
        peak = std::max(peak, PeakMB(process));
        TScreenReader::TPicture now = read();
        if (!SamePicture(now, shown)) {
            shown = std::move(now);
            since = Clock::now();
        }
    }
    return since;
}

// Clicks a button with the mouse until it is disabled (the sign that the
// click arrived; a click that comes while the window is being activated can
// be lost); answers the time of the click that arrived. The pointer then
// leaves for a corner, so that nothing it hovers changes the pictures read.
Clock::time_point ClickUntilDisabled(HWND window, HWND button) {
    auto click = Clock::now();
    for (int attempt = 0; attempt < 5 && IsWindowEnabled(button); ++attempt) {
        SetForegroundWindow(window);
        click = Clock::now();
        uitest::ClickWithMouse(button);
        uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? nullptr : button; }, 2s);
    }
    SetCursorPos(0, 0);
    return click;
}

// Clicks a button with the mouse until the process ends; answers the time
// of the click that ended it, or nothing when none did.
std::optional<Clock::time_point> ClickUntilEnded(const TChildProcess &process, double &peak, HWND window,
                                                 HWND button) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetForegroundWindow(window);
        const auto click = Clock::now();
        uitest::ClickWithMouse(button);
        const auto end = Clock::now() + 4s;
        while (Clock::now() < end) {
            peak = std::max(peak, PeakMB(process));
            if (process.Wait(1ms)) return click;
        }
    }
    return std::nullopt;
}

bool Fail(const char *what) {
    std::fprintf(stderr, "%s\n", what);
    return false;
}

bool RunZuvoSetup(const fs::path &program, TRun &run) {
    CleanInstall();
    SetCursorPos(0, 0);
    const auto start = Clock::now();
    const TChildProcess setup(L"\"" + program.wstring() + L"\"");
    const DWORD pid = setup.Id();
    // Watched from when it exists: its picture may come before it counts as visible.
    HWND main = Await(setup, run.PeakMB, 20s, [&]() -> HWND {
        const std::vector<HWND> windows = uitest::TopLevelWindows("TSDIAppForm", pid);
        return windows.empty() ? nullptr : windows[0];
    });
    if (!main) return Fail("ZuvoSetup: no main window");
    run.Painted = Ms(AwaitPainted(setup, run.PeakMB, main) - start);
    HWND button = uitest::FindChild(main, "TButton", "Instaluj");
    if (!button) return Fail("ZuvoSetup: no button on the main window");
    const auto click = ClickUntilDisabled(main, button);
    HWND done = Await(setup, run.PeakMB, 60s, [&]() -> HWND {
        const std::vector<HWND> windows = uitest::TopLevelWindows("TMessageForm", pid);
        return windows.empty() ? nullptr : windows[0];
    });
    if (!done) return Fail("ZuvoSetup: no Hotovo");
    run.Install = Ms(AwaitPainted(setup, run.PeakMB, done) - click);
    HWND ok = uitest::WaitForWindow([&] { return uitest::FindChild(done, "TButton", "OK"); }, 10s);
    if (!ok) return Fail("ZuvoSetup: no button on Hotovo");
    const auto answer = ClickUntilEnded(setup, run.PeakMB, done, ok);
    if (!answer) return Fail("ZuvoSetup did not end");
    run.After = Ms(Clock::now() - *answer);
    if (WaitForStartedProduct().empty()) return Fail("ZuvoSetup: the product did not start");
    return true;
}

// The peer's window: the outer dialog, whose button 1 is "Install" and then
// "Close", and the page inside it whose status line (1006) ends "Completed".
bool RunPeer(const fs::path &peer, TRun &run) {
    std::error_code ignored;
    const auto clean = [&] {
        fs::remove_all(PeerFolder, ignored);
        if (const fs::path desktop = DesktopFolder(); !desktop.empty()) fs::remove(desktop / PeerShortcut, ignored);
    };
    clean();
    SetCursorPos(0, 0);
    const auto start = Clock::now();
    const TChildProcess setup(L"\"" + peer.wstring() + L"\"");
    const DWORD pid = setup.Id();
    HWND main = Await(setup, run.PeakMB, 20s, [&]() -> HWND {
        for (HWND w : uitest::TopLevelWindows("#32770", pid))
            if (GetDlgItem(w, 1)) return w;
        return nullptr;
    });
    HWND button = main ? GetDlgItem(main, 1) : nullptr;
    if (!button) return Fail("peer: no window with its Install button");
    run.Painted = Ms(AwaitPainted(setup, run.PeakMB, main) - start);
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
    if (!status) return Fail("peer: no Completed");
    if (!uitest::WaitForWindow([&] { return IsWindowEnabled(button) ? button : nullptr; }, 10s))
        return Fail("peer: Close stays disabled");
    run.Install = Ms(AwaitPainted(setup, run.PeakMB, main) - click);
    const auto answer = ClickUntilEnded(setup, run.PeakMB, main, button);
    if (!answer) return Fail("peer did not end");
    run.After = Ms(Clock::now() - *answer);
    // The product it started records its start in its own folder.
    if (HWND product = uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 20s))
        PostMessageW(product, WM_CLOSE, 0, 0);
    else
        return Fail("peer: the product did not start");
    const bool shortcut = fs::exists(DesktopFolder() / PeerShortcut);
    uitest::WaitForWindow([&] { return uitest::TopLevelWindows("MerkanoZuvoStandIn").empty() ? HWND(1) : nullptr; }, 10s);
    clean();
    return shortcut || Fail("peer: no shortcut");
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

void PrintFigure(const char *unit, const TFigures &f) {
    std::printf("  %8.1f %-2s (%.1f-%.1f)", f.Median(), unit, f.Min(), f.Max());
}

// One row: ours, then each other program with the ratio of ours to it.
void Print(const char *label, const char *unit, const std::vector<TFigures> &all) {
    std::printf("%-30s", label);
    PrintFigure(unit, all[0]);
    for (std::size_t k = 1; k < all.size(); ++k) {
        PrintFigure(unit, all[k]);
        std::printf(" %5.2fx", all[0].Median() / all[k].Median());
    }
    std::printf("\n");
}

} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: InstallBench <runs> <NSIS peer.exe> [ZuvoSetup.exe [unskinned ZuvoSetup.exe]]\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    const fs::path peer = argv[2];
    // Another build of the installer may be named, to compare two builds beside the same peer.
    const fs::path program = argc > 3 ? fs::path(argv[3]) : HostFolder(ZUVO_SETUP_PROGRAM);
    const fs::path unskinned = argc > 4 ? fs::path(argv[4]) : HostFolder(ZUVO_SETUP_UNSKINNED_PROGRAM);
    const std::function<bool(TRun &)> programs[] = {
        [&](TRun &run) { return RunZuvoSetup(program, run); },
        [&](TRun &run) { return RunPeer(peer, run); },
        [&](TRun &run) { return RunZuvoSetup(unskinned, run); },
    };
    constexpr std::size_t Count = std::size(programs);

    std::vector<TFigures> painted(Count), install(Count), after(Count), whole(Count), memory(Count);
    for (int i = 0; i < runs + 1; ++i) {  // the first round warms the caches and is not counted
        // Each first in turn, so that none always runs on a machine another has just warmed.
        TRun run[Count];
        for (std::size_t k = 0; k < Count; ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(i)) % Count;
            if (!programs[which](run[which])) return 1;
        }
        if (i == 0) continue;
        for (std::size_t k = 0; k < Count; ++k) {
            painted[k].Values.push_back(run[k].Painted);
            install[k].Values.push_back(run[k].Install);
            after[k].Values.push_back(run[k].After);
            whole[k].Values.push_back(run[k].Whole());
            memory[k].Values.push_back(run[k].PeakMB);
        }
    }
    CleanInstall();

    std::printf("%d runs each, medians (min-max)  %-24s %-31s %-31s\n", runs, "ZuvoSetup.exe", "NSIS peer, ratio",
                "ZuvoSetup unskinned, ratio");
    Print("start to the window painted", "ms", painted);
    Print("click to Hotovo painted", "ms", install);
    Print("answer to the end", "ms", after);
    Print("whole run (the three above)", "ms", whole);
    Print("peak working set", "MB", memory);
    return 0;
}
