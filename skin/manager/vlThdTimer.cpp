#include "vlThdTimer.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

// To the nearest integer, ties to even (the default rounding mode).
std::int32_t RoundEven(double X) { return static_cast<std::int32_t>(std::nearbyint(X)); }

} // namespace

void ArmFade(TvlFadeState &State, std::int32_t NewMode, std::int32_t InitialStep, bool Fast, bool HasWorkImage) {
    const std::int32_t running = State.Mode;
    State.SecondValue = 0;
    State.Value = std::clamp(State.Value, 0.0, 255.0);
    State.StepCount = Fast ? 5 : 10;
    switch (NewMode) {
    case fmFadeDown:
        State.StepCount *= 2;
        State.Increment = State.Value / State.StepCount;
        break;
    case fmSnapshotFadeDown: State.Increment = State.Value / State.StepCount; break;
    default:
        // A fade up takes the share of ten steps that its distance to 255
        // needs when it reverses a fade down (or starts idle); Fast has no
        // say here.
        State.StepCount = running < fmFadeUp ? std::max(RoundEven((255 - State.Value) * 10 / 255), 1) : 10;
        State.Increment = (255 - State.Value) / State.StepCount;
        break;
    }
    State.SecondIncrement = (255 - State.SecondValue) / State.StepCount;

    if (NewMode == fmFadeUp && running < fmFadeUp)
        State.Step = RoundEven(10 * State.Value / 255);
    else if (NewMode == fmFadeDown && running == fmFadeUp)
        State.Step = State.Value == 0 ? 0 : RoundEven((255 - State.Value) * State.StepCount / 255);
    else
        State.Step = HasWorkImage ? 0 : InitialStep;

    State.PreviousMode = running;
    State.Mode = NewMode;
}

std::int32_t FadeStepsLeft(const TvlFadeState &State) {
    return std::max((State.Mode == fmFadeDown ? 20 : 10) - State.Step, 0);
}

} // namespace skin
