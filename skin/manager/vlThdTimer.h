#pragma once
// The skinning library's animation timer. In spite of its name it starts no
// thread: TvlThreadedTimer wraps a window timer of the GUI thread and
// carries the numbers and pictures of one fade (a control's state or glow
// fading up or down). A control's skin data keeps at most one in its
// AnimTimer; the form animations derive their own timers from it.
//
// The first half only computes (both builds): how a fade is armed and how
// many steps it has left. The timer itself is Windows only.
//
// Modes: -1 idle, 0 fade down, 1 fade up, 2 fade down from a snapshot. The
// value runs from 0 to 255; a step callback moves it by the increment (up
// in mode 1, down otherwise) and paints the frame.
#include <cstdint>

#ifdef _WIN32
#include <memory>

#include "sCommonData.h"
#include "vcl/TypInfo.h"

namespace vcl {
class TTimer;
}
#endif

namespace skin {

inline constexpr std::int32_t fmIdle = -1;
inline constexpr std::int32_t fmFadeDown = 0;
inline constexpr std::int32_t fmFadeUp = 1;
inline constexpr std::int32_t fmSnapshotFadeDown = 2;

// The numbers of one fade.
struct TvlFadeState {
    double Value = 0;            // 0..255
    double Increment = 0;        // per step
    double SecondValue = 0;      // a second channel that always runs from 0 to 255
    double SecondIncrement = 0;
    std::int32_t Mode = fmIdle;
    std::int32_t PreviousMode = fmIdle;  // the mode before the last start
    std::int32_t Step = 0;               // steps done
    std::int32_t StepCount = 10;
};

// Arms State for a fade in NewMode from where the running one stands, so
// that a reversed fade does not jump: the value is clamped to 0..255, the
// step count is 10 (5 when Fast; twice that for a fade down, while a fade
// up takes as many of 10 steps as its distance to 255 needs, at least 1),
// the increments cover the distance in that many steps, and the first step
// continues the running fade's position. A fade that starts afresh begins
// at step 0 when the timer has a work image, else at InitialStep. Rounding
// is to the nearest, ties to even. Mode and PreviousMode follow.
void ArmFade(TvlFadeState &State, std::int32_t NewMode, std::int32_t InitialStep, bool Fast, bool HasWorkImage);

// The steps a fade still has to run: of 20 in mode 0, of 10 in the others;
// never below 0.
std::int32_t FadeStepsLeft(const TvlFadeState &State);

#ifdef _WIN32

// The class library's thread priorities; the timer only stores one.
VCL_ENUM(TThreadPriority, tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical)

class TvlThreadedTimer;

// A fade's step routine: paints step Step of Data's fade; false ends it.
using TvlStepCallback = bool (*)(TsCommonData *Data, std::int32_t Step);

class TvlThreadedTimer : public TvlAnimationTimer, public TvlFadeState {
    VCL_CLASS(TvlThreadedTimer, TvlAnimationTimer)
public:
    // Enabled with an interval of 1000 ms and an inner window timer, which
    // runs only while there is something to call (OnTimer or a step
    // callback). A timer made while the application terminates is disabled
    // and has no inner timer: it never ticks.
    explicit TvlThreadedTimer(vcl::TComponent *AOwner);
    // Disabled, for OwnerControl; UseDefaultHandler makes OnTimer run DoStep.
    TvlThreadedTimer(vcl::TComponent *AOwner, vcl::TControl *OwnerControl, bool UseDefaultHandler);
    ~TvlThreadedTimer() override;

    // Published. Each setter decides again whether the inner timer runs:
    // only with Enabled, an Interval above 0, and OnTimer or a step callback.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    vcl::TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(vcl::TNotifyEvent Value);
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value);

    // The fade's step routine; set by StartAnimation.
    TvlStepCallback StepCallback() const { return FStepCallback; }
    // The skin data whose fade this is (the skin data field).
    TsCommonData *SkinData() const { return OwnerData; }
    vcl::TControl *OwnerControl() const { return FOwnerControl; }
    // The inner timer; null for a timer made while the application terminated.
    const vcl::TTimer *InnerTimer() const { return FTimer; }
    bool Destroying() const { return FDestroying; }

    // The inner timer's event: one tick, unless the inner timer is off or a
    // tick runs already (a step that pumps messages gets no nested tick).
    void TimerHandler(vcl::TObject *Sender);
    // One tick: OnTimer without a step callback; with one, the next step, or
    // the timer disabled once the last step is past.
    void AnimTimerTick();
    // The current step once more (not advanced), when enabled; a false
    // answer of the callback disables the timer and makes it idle.
    virtual void DoStep();
    // An OnTimer handler that runs DoStep.
    void DefaultTick(vcl::TObject *Sender);

    // The skin data's face.
    bool Running() const override { return FEnabled; }
    // Disabled, idle, the three images freed.
    void StopAnimation() override;

    // An animation state number that the caller keeps here.
    std::int32_t State = 0;
    // The images the fade goes from, to, and shows now (owned).
    std::unique_ptr<vcl::TBitmap> StartImage;
    std::unique_ptr<vcl::TBitmap> TargetImage;
    std::unique_ptr<vcl::TBitmap> WorkImage;

private:
    friend void StartAnimation(TvlThreadedTimer &Timer, TsCommonData *Data, std::int32_t InitialStep,
                               TvlStepCallback StepCallback, std::int32_t Mode, bool Fast);
    void UpdateInnerTimer();

    bool FEnabled = false;
    unsigned FInterval = 1000;
    vcl::TNotifyEvent FOnTimer;
    vcl::TTimer *FTimer = nullptr;  // owned as a component of this timer; null while terminating
    TThreadPriority FThreadPriority = tpNormal;
    bool FInTick = false;
    vcl::TControl *FOwnerControl = nullptr;  // not owned
    bool FDestroying = false;
    TvlStepCallback FStepCallback = nullptr;
};

// Arms Timer for a fade of Data (see ArmFade) and lets it run every 10 ms.
// A fade down from a snapshot, or a fade up that reverses one, starts from
// the picture shown last (the work image becomes the start image).
void StartAnimation(TvlThreadedTimer &Timer, TsCommonData *Data, std::int32_t InitialStep,
                    TvlStepCallback StepCallback, std::int32_t Mode, bool Fast);

// Data's fade timer: made (owned by Data, and by Owner as a component when
// given) at value 255, or 0 with KeepValue, when Data has none, which
// answers 0; else the steps its fade still has (FadeStepsLeft).
std::int32_t GetAnimTimer(TsCommonData &Data, vcl::TComponent *Owner, bool KeepValue);
// The timer of Data's fades; null when none.
TvlThreadedTimer *AnimTimerOf(const TsCommonData &Data);

// Bitmap := R of Source at its top-left, Bitmap made 32-bit when missing
// and sized to R.
void ResizeAnimBitmap(std::unique_ptr<vcl::TBitmap> &Bitmap, vcl::TBitmap &Source, const vcl::TRect &R);

#endif

} // namespace skin
