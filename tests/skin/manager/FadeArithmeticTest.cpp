// How a fade is armed from where the running one stands (step counts,
// increments, the first step, rounding ties to even) and how many steps it
// has left.
#include <gtest/gtest.h>

#include <tuple>

#include "skin/manager/vlThdTimer.h"

namespace skin {
namespace {

struct ArmCase {
    const char *Name;
    double Value;
    std::int32_t Running;
    std::int32_t NewMode;
    bool Fast;
    bool HasWorkImage;
    std::int32_t InitialStep;
    // Expected.
    double ClampedValue;
    std::int32_t StepCount;
    double Increment;
    std::int32_t Step;
};

TEST(FadeArithmetic, ArmingContinuesFromTheRunningFade) {
    const ArmCase cases[] = {
        {"up from idle at 0", 0, fmIdle, fmFadeUp, false, false, 7, 0, 10, 25.5, 0},
        {"up from idle at 0, fast changes nothing", 0, fmIdle, fmFadeUp, true, false, 7, 0, 10, 25.5, 0},
        {"down at 255, fast", 255, fmIdle, fmFadeDown, true, false, 3, 255, 10, 25.5, 3},
        {"down above 255", 300, fmIdle, fmFadeDown, false, true, 3, 255, 20, 12.75, 0},
        {"up from idle at 255 takes one step", 255, fmIdle, fmFadeUp, false, false, 0, 255, 1, 0, 10},
        {"down at 0", 0, fmIdle, fmFadeDown, false, false, 0, 0, 20, 0, 0},
        {"snapshot fade down", 200, fmIdle, fmSnapshotFadeDown, false, false, 4, 200, 10, 20, 4},
        // A fade up that reverses a fade down covers the rest in its share of ten steps.
        {"up reversing down", 102, fmFadeDown, fmFadeUp, false, true, 9, 102, 6, 25.5, 4},
        {"down reversing up", 127.5, fmFadeUp, fmFadeDown, false, false, 9, 127.5, 20, 6.375, 10},
        {"down reversing up at 0", 0, fmFadeUp, fmFadeDown, false, false, 9, 0, 20, 0, 0},
        // Running up already: ten steps, the step starts afresh.
        {"up while up", 51, fmFadeUp, fmFadeUp, false, false, 2, 51, 10, 20.4, 2},
        {"up while snapshot", 51, fmSnapshotFadeDown, fmFadeUp, false, true, 2, 51, 10, 20.4, 0},
        // Other modes fade up.
        {"unknown mode", 0, fmIdle, 5, true, false, 1, 0, 10, 25.5, 1},
        {"value below 0 is clamped", -5, fmIdle, fmFadeUp, false, false, 0, 0, 10, 25.5, 0},
        // (255 - 191.25) * 10 / 255 = 2.5 and 10 * 191.25 / 255 = 7.5: both ties go to the even neighbour.
        {"ties to even", 191.25, fmIdle, fmFadeUp, false, false, 0, 191.25, 2, 31.875, 8},
    };
    for (const ArmCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TvlFadeState s;
        s.Value = c.Value;
        s.Mode = c.Running;
        s.SecondValue = 99;
        s.Step = 13;
        ArmFade(s, c.NewMode, c.InitialStep, c.Fast, c.HasWorkImage);
        EXPECT_EQ(s.Value, c.ClampedValue);
        EXPECT_EQ(s.StepCount, c.StepCount);
        EXPECT_DOUBLE_EQ(s.Increment, c.Increment);
        EXPECT_EQ(s.Step, c.Step);
        EXPECT_EQ(s.SecondValue, 0);
        EXPECT_DOUBLE_EQ(s.SecondIncrement, 255.0 / c.StepCount);
        EXPECT_EQ(s.PreviousMode, c.Running);
        EXPECT_EQ(s.Mode, c.NewMode);
    }
}

TEST(FadeArithmetic, StepsLeftCountFromTwentyDownAndTenOtherwise) {
    for (auto [mode, step, left] : {std::tuple{fmFadeDown, 5, 15}, {fmFadeDown, 25, 0}, {fmFadeUp, 3, 7}, {fmIdle, 0, 10}}) {
        TvlFadeState s;
        s.Mode = mode;
        s.Step = step;
        EXPECT_EQ(FadeStepsLeft(s), left) << mode << " " << step;
    }
}

} // namespace
} // namespace skin
