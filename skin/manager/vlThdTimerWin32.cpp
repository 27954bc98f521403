#include "vlThdTimer.h"

#include <utility>

#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace skin {

VCL_PUBLISHED(TvlThreadedTimer, p) {
    p.Property("Enabled", &TvlThreadedTimer::Enabled, &TvlThreadedTimer::SetEnabled).Default(true);
    p.Property("Interval", &TvlThreadedTimer::Interval, &TvlThreadedTimer::SetInterval).Default(1000u);
    p.Property("OnTimer", &TvlThreadedTimer::OnTimer, &TvlThreadedTimer::SetOnTimer);
    p.Property("ThreadPriority", &TvlThreadedTimer::ThreadPriority, &TvlThreadedTimer::SetThreadPriority)
        .Default(tpNormal);
}

namespace {

// Clears the tick guard however the tick ends.
class TTickScope {
public:
    TTickScope(bool &Guard, const vcl::TGuarded<TvlThreadedTimer> &Alive) : FGuard(Guard), FAlive(Alive) {
        FGuard = true;
    }
    ~TTickScope() {
        if (FAlive) FGuard = false;
    }
    TTickScope(const TTickScope &) = delete;
    TTickScope &operator=(const TTickScope &) = delete;

private:
    bool &FGuard;
    const vcl::TGuarded<TvlThreadedTimer> &FAlive;
};

} // namespace

TvlThreadedTimer::TvlThreadedTimer(vcl::TComponent *AOwner) : TvlAnimationTimer(AOwner) {
    // A timer made while the program ends would tick into objects that are
    // going: it gets no inner timer and stays disabled.
    if (vcl::Application && vcl::Application->Terminated()) return;
    FEnabled = true;
    FInterval = 1000;
    FTimer = vcl::Create<vcl::TTimer>(this);
    FTimer->SetInterval(FInterval);
    FTimer->OnTimer = vcl::TNotifyEvent::Bind<&TvlThreadedTimer::TimerHandler>(this);
    UpdateInnerTimer();
}

TvlThreadedTimer::TvlThreadedTimer(vcl::TComponent *AOwner, vcl::TControl *OwnerControl, bool UseDefaultHandler)
    : TvlThreadedTimer(AOwner) {
    SetEnabled(false);
    FOwnerControl = OwnerControl;
    if (UseDefaultHandler) SetOnTimer(vcl::TNotifyEvent::Bind<&TvlThreadedTimer::DefaultTick>(this));
}

TvlThreadedTimer::~TvlThreadedTimer() {
    FDestroying = true;
    if (OwnerData && OwnerData->AnimTimer == this) OwnerData->AnimTimer = nullptr;
    OwnerData = nullptr;
    if (vcl::TTimer *inner = std::exchange(FTimer, nullptr)) {
        inner->SetEnabled(false);
        delete inner;
    }
    StartImage.reset();
    TargetImage.reset();
    WorkImage.reset();
}

void TvlThreadedTimer::UpdateInnerTimer() {
    if (!FTimer) return;
    FTimer->SetEnabled(false);
    if (FInterval != 0 && FEnabled && (FOnTimer || FStepCallback)) FTimer->SetEnabled(true);
}

void TvlThreadedTimer::SetEnabled(bool Value) {
    // Without an inner timer nothing would ever tick: it stays disabled, so
    // that nobody waits for its fade.
    if (!FTimer) Value = false;
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateInnerTimer();
}

void TvlThreadedTimer::SetInterval(unsigned Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    if (FTimer) FTimer->SetInterval(Value);
    UpdateInnerTimer();
}

void TvlThreadedTimer::SetOnTimer(vcl::TNotifyEvent Value) {
    FOnTimer = Value;
    UpdateInnerTimer();
}

void TvlThreadedTimer::SetThreadPriority(TThreadPriority Value) {
    if (Value == FThreadPriority) return;
    FThreadPriority = Value;
    UpdateInnerTimer();
}

void TvlThreadedTimer::TimerHandler(vcl::TObject *) {
    if (!FTimer || !FTimer->Enabled() || FInTick) return;
    // A tick may free this timer (a form that goes in what the tick calls
    // takes its timers along): the guard is not cleared in freed memory.
    const vcl::TGuarded<TvlThreadedTimer> alive(this);
    TTickScope tick(FInTick, alive);
    AnimTimerTick();
}

void TvlThreadedTimer::AnimTimerTick() {
    if (!FStepCallback) {
        if (FOnTimer) FOnTimer(this);
        return;
    }
    ++Step;
    if (Step > StepCount)
        SetEnabled(false);
    else
        FStepCallback(OwnerData, Step);
}

void TvlThreadedTimer::DoStep() {
    if (!FEnabled || !FStepCallback) return;
    if (!FStepCallback(OwnerData, Step)) {
        SetEnabled(false);
        Mode = fmIdle;
    }
}

void TvlThreadedTimer::DefaultTick(vcl::TObject *) { DoStep(); }

void TvlThreadedTimer::StopAnimation() {
    SetEnabled(false);
    Mode = fmIdle;
    StartImage.reset();
    TargetImage.reset();
    WorkImage.reset();
}

void StartAnimation(TvlThreadedTimer &Timer, TsCommonData *Data, std::int32_t InitialStep,
                    TvlStepCallback StepCallback, std::int32_t Mode, bool Fast) {
    Timer.SetEnabled(false);
    Timer.OwnerData = Data;
    const bool continuesFromShown =
        Mode == fmSnapshotFadeDown || (Mode == fmFadeUp && Timer.Mode == fmSnapshotFadeDown);
    if (continuesFromShown && Timer.WorkImage)
        ResizeAnimBitmap(Timer.StartImage, *Timer.WorkImage, {0, 0, Timer.WorkImage->Width(), Timer.WorkImage->Height()});
    ArmFade(Timer, Mode, InitialStep, Fast, Timer.WorkImage != nullptr);
    Timer.SetInterval(10);
    Timer.FStepCallback = StepCallback;
    Timer.SetEnabled(true);
}

std::int32_t GetAnimTimer(TsCommonData &Data, vcl::TComponent *Owner, bool KeepValue) {
    if (!Data.AnimTimer) {
        auto *timer = vcl::Create<TvlThreadedTimer>(Owner);
        timer->OwnerData = &Data;
        Data.AnimTimer = timer;
        if (!KeepValue) timer->Value = 255;
        return 0;
    }
    const TvlThreadedTimer *timer = AnimTimerOf(Data);
    return timer ? FadeStepsLeft(*timer) : 0;
}

TvlThreadedTimer *AnimTimerOf(const TsCommonData &Data) { return dynamic_cast<TvlThreadedTimer *>(Data.AnimTimer); }

void ResizeAnimBitmap(std::unique_ptr<vcl::TBitmap> &Bitmap, vcl::TBitmap &Source, const vcl::TRect &R) {
    if (Bitmap)
        Bitmap->SetSize(R.Width(), R.Height());
    else
        Bitmap = NewBitmap32FromRect(R);
    BitBlt(Bitmap->Canvas()->Handle(), 0, 0, R.Width(), R.Height(), Source.Canvas()->Handle(), R.Left, R.Top, SRCCOPY);
}

} // namespace skin
