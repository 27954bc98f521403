// The form with every control the window adapters skin (the test form of
// tests/skin/adapters), skinned against unskinned in one run under Wine: a
// full repaint of the form, and the form resized through 50 sizes with
// each size painted. Each round measures both ways alternately (the skin
// removed and applied again between them); the medians and their ratio are
// printed. Goals: at most 2x for both.
//
//   AdaptersFormBench.exe <packed skin> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/WineTiming.h"
#include "bench/BenchSkin.h"
#include "AllControlsForm.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"
#include "vcl/Streams.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct TCase {
    std::string Name;
    std::function<void()> Run;
    double Goal;
    std::vector<double> Plain, Skinned;
};

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: AdaptersFormBench <packed skin> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    vcl::TMemoryStream packed;
    packed.LoadFromFile(argv[1]);
    skin::InitializeSkinManagerModule();
    skin::InitializeFormsModule();
    skin::InitializeAdaptersModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!bench::ApplyStoredSkin(*manager, packed)) return 1;
    manager->Effects()->AllowAnimation = false;
    {
        skin::test::AllControlsForm form(*manager);
        const HWND window = form.Form().WindowHandle();
        std::vector<TCase> cases;
        cases.push_back({"form repaint", [=] {
                             for (int i = 0; i < 10; ++i)
                                 RedrawWindow(window, nullptr, nullptr,
                                              RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                         },
                         2.0, {}, {}});
        cases.push_back({"resize through 50 sizes", [=] {
                             for (int i = 0; i < 50; ++i) {
                                 SetWindowPos(window, nullptr, 0, 0, 900 + 6 * i, 640 + 3 * i,
                                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                                 UpdateWindow(window);
                             }
                             SetWindowPos(window, nullptr, 0, 0, 1220, 800, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                             UpdateWindow(window);
                         },
                         2.0, {}, {}});
        for (int round = 0; round <= rounds; ++round) {
            for (int pass = 0; pass < 2; ++pass) {
                const bool skinned = pass == 1;
                manager->SetActive(skinned);
                if (skinned)
                    form.AdaptPlainWindows();
                else
                    form.FreePlainWindowAdapters();
                form.Redraw();
                Pump();
                for (TCase &c : cases) {
                    const double t0 = bench::NowMs();
                    c.Run();
                    const double t = bench::NowMs() - t0;
                    if (round > 0) (skinned ? c.Skinned : c.Plain).push_back(t);  // round 0 warms up
                    Pump();
                }
            }
        }
        std::printf("%d rounds, each way alternately, with the skin of %s\n", rounds, argv[1]);
        std::printf("%-26s %12s %12s %8s %6s\n", "case", "plain ms", "skinned ms", "ratio", "goal");
        for (const TCase &c : cases) {
            const double p = bench::Median(c.Plain), s = bench::Median(c.Skinned);
            std::printf("%-26s %12.2f %12.2f %8.2f %6.1f\n", c.Name.c_str(), p, s, s / p, c.Goal);
        }
    }
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
