// The animation timer: when its inner window timer runs, what a tick does
// (ticked by hand through the inner timer's event, so that nothing depends
// on how fast the clock moves), the window timer driving a whole fade, and
// the skin data's timer, its images and its handles.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "../../support/UiDriver.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/vlThdTimer.h"
#include "vcl/ExtCtrls.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace std::chrono_literals;
using TSteps = std::vector<std::int32_t>;

// What the step callback saw (the callbacks are plain functions).
TSteps Steps;
bool Answer = true;
TvlThreadedTimer *Nested = nullptr;  // ticked again from inside a step

bool RecordStep(TsCommonData *, std::int32_t Step) {
    Steps.push_back(Step);
    if (Nested) Nested->TimerHandler(nullptr);
    return Answer;
}

bool InnerRuns(const TvlThreadedTimer &T) { return T.InnerTimer() && T.InnerTimer()->Enabled(); }
void Tick(TvlThreadedTimer &T, int Times) {
    for (int i = 0; i < Times; ++i) T.TimerHandler(nullptr);
}

class ThdTimer : public testing::Test {
protected:
    void SetUp() override { Steps.clear(), Answer = true, Nested = nullptr; }
    TsCommonData Data{nullptr, false};
    std::unique_ptr<TvlThreadedTimer> T{vcl::Create<TvlThreadedTimer>(nullptr)};
};

TEST_F(ThdTimer, InnerTimerRunsOnlyWithACallbackAnIntervalAndEnabled) {
    EXPECT_TRUE(T->Enabled());
    EXPECT_EQ(T->Interval(), 1000u);
    EXPECT_FALSE(InnerRuns(*T));
    T->SetOnTimer(vcl::TNotifyEvent::Bind<&TvlThreadedTimer::DefaultTick>(T.get()));
    EXPECT_TRUE(InnerRuns(*T));
    T->SetInterval(0);
    EXPECT_FALSE(InnerRuns(*T));
    T->SetInterval(40);
    EXPECT_EQ(T->InnerTimer()->Interval(), 40u);
    EXPECT_TRUE(InnerRuns(*T));
    T->SetEnabled(false);
    EXPECT_FALSE(InnerRuns(*T));
}

TEST_F(ThdTimer, AFadeStepsToItsCountAndTheTickAfterOnlyStopsIt) {
    StartAnimation(*T, &Data, 0, RecordStep, fmFadeUp, false);
    EXPECT_EQ(T->Interval(), 10u);
    EXPECT_TRUE(InnerRuns(*T));
    Nested = T.get();  // a step that pumps messages gets no nested tick
    Tick(*T, 10);
    EXPECT_EQ(Steps, (TSteps{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_TRUE(T->Enabled());
    Tick(*T, 1);
    EXPECT_EQ(Steps.size(), 10u);
    EXPECT_FALSE(T->Enabled());
    EXPECT_FALSE(InnerRuns(*T));

    // A tick ignores the callback's answer; DoStep repeats the step and obeys it.
    Steps.clear();
    Nested = nullptr;
    Answer = false;
    StartAnimation(*T, &Data, 0, RecordStep, fmFadeDown, false);
    Tick(*T, 2);
    T->DoStep();
    EXPECT_EQ(Steps, (TSteps{1, 2, 2}));
    EXPECT_FALSE(T->Enabled());
    EXPECT_EQ(T->Mode, fmIdle);
}

TEST_F(ThdTimer, TheWindowTimerRunsAWholeFade) {
    StartAnimation(*T, &Data, 0, RecordStep, fmFadeUp, true);
    ASSERT_TRUE(uitest::PumpUntil([&] { return !T->Enabled(); }, 10s));
    uitest::PumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(Steps, (TSteps{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(ThdTimer, SkinDataHasOneTimerThatStopsAndLeavesNothingBehind) {
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 50; ++i) {
        auto data = std::make_unique<TsCommonData>(nullptr, false);
        ASSERT_EQ(GetAnimTimer(*data, nullptr, false), 0);
        TvlThreadedTimer *t = AnimTimerOf(*data);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->Value, 255);
        t->WorkImage = NewBitmap32(6, 5);
        // From a snapshot: the picture shown last becomes the start image.
        StartAnimation(*t, data.get(), 7, RecordStep, fmSnapshotFadeDown, false);
        ASSERT_TRUE(t->StartImage);
        EXPECT_EQ(t->StartImage->Width(), 6);
        EXPECT_EQ(t->Step, 0);
        t->Mode = fmFadeDown;
        EXPECT_EQ(GetAnimTimer(*data, nullptr, false), 20);
        EXPECT_TRUE(data->IsAnimating());
        data->StopAnimation();
        EXPECT_FALSE(data->IsAnimating() || InnerRuns(*t));
        EXPECT_EQ(t->Mode, fmIdle);
        EXPECT_FALSE(t->WorkImage || t->StartImage);
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
