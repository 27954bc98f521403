#pragma once
// The cases of a Wine benchmark program that times an operation on skinned
// and on unskinned windows in one run, each round both ways alternately,
// and prints the medians with their ratio beside the ratio aimed at.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/WineTiming.h"

namespace bench {

struct TCase {
    std::string Name;
    std::function<void()> Run;
    double Goal;  // skinned / unskinned at the most
    std::vector<double> Plain, Skinned;
};

// "form repaint": Times full repaints of Window, its frame and children
// included.
inline TCase FormRepaintCase(HWND Window, int Times) {
    return {"form repaint",
            [=] {
                for (int i = 0; i < Times; ++i)
                    RedrawWindow(Window, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            },
            2.0,
            {},
            {}};
}

// Runs the case once; its time is kept (among the skinned or the unskinned
// ones) unless the round only warms up.
inline void TimeCase(TCase &Case, bool Skinned, bool WarmUp) {
    const double t0 = NowMs();
    Case.Run();
    const double t = NowMs() - t0;
    if (!WarmUp) (Skinned ? Case.Skinned : Case.Plain).push_back(t);
}

inline void PrintCases(const std::vector<TCase> &Cases, int Rounds, const std::string &Skin) {
    std::printf("%d rounds, each way alternately, with the skin of %s\n", Rounds, Skin.c_str());
    std::printf("%-26s %12s %12s %8s %6s\n", "case", "plain ms", "skinned ms", "ratio", "goal");
    for (const TCase &c : Cases) {
        const double p = Median(c.Plain), s = Median(c.Skinned);
        std::printf("%-26s %12.2f %12.2f %8.2f %6.1f\n", c.Name.c_str(), p, s, s / p, c.Goal);
    }
}

} // namespace bench
