// A fade timer made while the application terminates has no inner timer;
// its setters leave that alone and it never runs. Alone in its process:
// the application does not come back from its end.
#include <gtest/gtest.h>

#include "skin/manager/vlThdTimer.h"
#include "vcl/Forms.h"

namespace skin {
namespace {

int Calls = 0;
bool Count(TsCommonData *, std::int32_t) { return ++Calls > 0; }

TEST(ThdTimerTerminating, TimerMadeAfterTheEndNeverTicks) {
    vcl::Application->Terminate();
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(vcl::Application->Terminated());

    TsCommonData data(nullptr, false);
    GetAnimTimer(data, nullptr, false);
    TvlThreadedTimer *t = AnimTimerOf(data);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->InnerTimer(), nullptr);
    t->SetInterval(25);
    t->SetThreadPriority(tpLowest);
    t->SetOnTimer(vcl::TNotifyEvent::Bind<&TvlThreadedTimer::DefaultTick>(t));
    t->SetEnabled(true);
    EXPECT_EQ(t->Interval(), 25u);
    EXPECT_FALSE(t->Enabled());

    StartAnimation(*t, &data, 0, Count, fmFadeUp, false);
    t->DoStep();
    t->TimerHandler(nullptr);
    EXPECT_FALSE(data.IsAnimating());
    EXPECT_EQ(Calls, 0);
}

} // namespace
} // namespace skin
