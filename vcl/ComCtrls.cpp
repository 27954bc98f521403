#include "ComCtrls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace vcl {

VCL_PUBLISHED(TProgressBar, p) {
    p.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
    p.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
    p.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
    p.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

namespace {
const bool ComCtrlsRegistered = (RegisterClasses({&TProgressBar::StaticClassInfo()}), true);
} // namespace

TProgressBar::TProgressBar(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents, csCaptureMouse});
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    CreateSubClass(Params, PROGRESS_CLASSW);
}

void TProgressBar::InitializeWnd() {
    Perform(PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    Perform(PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
    Perform(PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
    FShownMin = FMin;
    FShownMax = FMax;
    FShownStep = FStep;
    FShownPosition = FPosition;
    FWindowBehind = false;
    FGate.Mark(TickMs());
}

void TProgressBar::SetRange(int AMin, int AMax) {
    if (AMax < AMin) throw EInvalidOperation("Progress bar range " + std::to_string(AMin) + ".." + std::to_string(AMax) + " is empty");
    if (AMin == FMin && AMax == FMax) return;
    FMin = AMin;
    FMax = AMax;
    FPosition = std::clamp(FPosition, FMin, FMax);
    Changed();
}

void TProgressBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition) return;
    FPosition = Value;
    Changed();
}

void TProgressBar::SetStep(int Value) {
    if (Value == FStep) return;
    FStep = Value;
    Changed();
}

void TProgressBar::StepIt() {
    if (FMax == FMin) return;
    // 64 bits: Position + Step may leave the 32-bit range.
    const std::int64_t span = static_cast<std::int64_t>(FMax) - FMin;
    std::int64_t p = static_cast<std::int64_t>(FPosition) + FStep;
    if (p > FMax) p = FMin + (p - FMin) % span;
    else if (p < FMin) p = FMax - (FMax - p) % span;
    FPosition = static_cast<int>(p);
    Changed();
}

void TProgressBar::Changed() {
    if (FWindowBehind || !HandleAllocated()) return;
    FWindowBehind = true;
    DeferWindowUpdate();
}

void TProgressBar::FlushWindowUpdate() {
    if (!HandleAllocated()) return;
    // A pump comes every few milliseconds; redrawing the bar at each would
    // cost more than the work it shows. Not due yet: asked again next time.
    if (!FGate.Pass(TickMs())) {
        DeferWindowUpdate();
        return;
    }
    FWindowBehind = false;
    SyncWindow();
}

void TProgressBar::ShowNow() {
    if (!HandleAllocated()) return;
    FGate.Mark(TickMs());
    SyncWindow();
}

void TProgressBar::SyncWindow() {
    if (FShownMin != FMin || FShownMax != FMax) {
        Perform(PBM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
        FShownMin = FMin;
        FShownMax = FMax;
    }
    if (FShownStep != FStep) {
        Perform(PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
        FShownStep = FStep;
    }
    if (FShownPosition != FPosition) {
        Perform(PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
        FShownPosition = FPosition;
    }
}

} // namespace vcl
