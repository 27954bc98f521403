// A system message box and an Open dialog from the call to their first
// paint, skinned beside unskinned in one run under Wine; and the 1,000th
// skinned box beside the first ones. A thread timer ends each dialog:
// timers come after painting, so its first tick marks the dialog painted.
//
//   DialogBench.exe <packed skin> [rounds]    (bench/skin/adapters/dialog-bench.sh)
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/WineTiming.h"
#include "bench/BenchSkin.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/vlDials.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"

namespace {

double Painted = 0;

void CALLBACK EndDialogTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (process != GetCurrentProcessId() || lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(w)) continue;
        if (Painted == 0) Painted = bench::NowMs();
        KillTimer(nullptr, Timer);
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        return;
    }
}

template <class F> double Timed(F Show) {
    Painted = 0;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &EndDialogTick);
    const double t0 = bench::NowMs();
    Show();
    return Painted - t0;
}

double Box() {
    return Timed([] { MessageBoxW(nullptr, L"Hotovo.", L"Zprava", MB_OK | MB_ICONINFORMATION); });
}

double Open() {
    static wchar_t file[MAX_PATH];
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.lpstrFile = file;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_EXPLORER;
    return Timed([&] { GetOpenFileNameW(&open); });
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "DialogBench", 30, args, 3)) return 2;
    const int rounds = args.Rounds;
    vcl::Application->Initialize();
    skin::InitializeAdaptersModule();
    skin::InitializeDialsModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!bench::ApplyStoredSkin(*manager, args.Skin)) return 1;
    manager->Effects()->AllowAnimation = false;
    std::vector<double> plainBox, skinnedBox, plainOpen, skinnedOpen;
    // Each first: what the system loads once is not timed.
    manager->SetActive(false);
    Box(), Open();
    manager->SetActive(true);
    const double firstBox = Box();
    Open();
    for (int round = 0; round < rounds; ++round) {
        manager->SetActive(false);
        plainBox.push_back(Box());
        plainOpen.push_back(Open());
        manager->SetActive(true);
        skinnedBox.push_back(Box());
        skinnedOpen.push_back(Open());
    }
    std::vector<double> many;
    for (int i = 0; i < 1000; ++i) many.push_back(Box());
    const double early = bench::Median({many.begin(), many.begin() + 20}), late = bench::Median({many.end() - 20, many.end()});
    std::printf("message box unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n", bench::Median(plainBox),
                bench::Median(skinnedBox), bench::Median(skinnedBox) / bench::Median(plainBox));
    std::printf("Open dialog unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n", bench::Median(plainOpen),
                bench::Median(skinnedOpen), bench::Median(skinnedOpen) / bench::Median(plainOpen));
    std::printf("skinned boxes 1000 on %.2f ms against the first ones %.2f ms: %.2fx (goal <= 1.1x; first alone %.2f ms)\n",
                late, early, late / early, firstBox);
    delete manager;
    skin::FinalizeDialsModule();
    skin::FinalizeAdaptersModule();
    return 0;
}
