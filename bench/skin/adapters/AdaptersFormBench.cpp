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
#include <string>
#include <vector>

#include "bench/SkinnedBench.h"
#include "bench/SkinnedCases.h"
#include "AllControlsForm.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "AdaptersFormBench", 5, args)) return 2;
    skin::TsSkinManager *manager = bench::StartSkinnedBench(args);
    if (!manager) return 1;
    {
        skin::test::AllControlsForm form(*manager);
        const HWND window = form.Form().WindowHandle();
        std::vector<bench::TCase> cases;
        cases.push_back(bench::FormRepaintCase(window, 10));
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
        for (int round = 0; round <= args.Rounds; ++round) {
            for (int pass = 0; pass < 2; ++pass) {
                const bool skinned = pass == 1;
                manager->SetActive(skinned);
                if (skinned)
                    form.AdaptPlainWindows();
                else
                    form.FreePlainWindowAdapters();
                form.Redraw();
                bench::Pump();
                for (bench::TCase &c : cases) {
                    bench::TimeCase(c, skinned, round == 0);
                    bench::Pump();
                }
            }
        }
        bench::PrintCases(cases, args.Rounds, args.Skin);
    }
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
