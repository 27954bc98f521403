// The minimize and restore animation. With desktop composition (this file
// built as MinimizeAnimationAeroTest, which the test session runs as
// Windows 10) a form flies into the taskbar's edge and back, watched
// through the recording seam, and ends opaque; without it (Windows 7) no
// animation runs and a restore that has nothing to reverse says so, so
// that a form minimized otherwise is restored by its caller.
#include <gtest/gtest.h>

#include "../manager/LayeredRecorder.h"
#include "FrameOutputTestSupport.h"
#include "skin/forms/vlMinimizeAnimation.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/HandleCounts.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct Restored {
    int Count = 0;
    void On(vcl::TObject *) { ++Count; }
};

using MinimizeAnimation = FrameFixture;

bool Settled(TsSkinProvider *P) {
    return uitest::PumpUntil([P] { return !(P->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation)); }, 3s);
}

#if ZUVO_COMPOSITION

TEST_F(MinimizeAnimation, AFormFliesIntoTheTaskbarEdgeAndBackEndingOpaque) {
    ASSERT_TRUE(DwmCompositionActive());
    Restored restored;
    vcl::Application->OnRestore = vcl::TNotifyEvent::Bind<&Restored::On>(&restored);
    ShowFilled();
    LayeredRecorder recorder;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(P->MinTimer);
    EXPECT_EQ(P->MinTimer->TargetAlpha, 63);  // a quarter under the compositor
    EXPECT_EQ(P->MinTimer->Flight.Steps, 12);
    ASSERT_TRUE(Settled(P));
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(P->MinTimer->Restoring);  // it holds the minimized image
    const HWND snapshot = P->MinTimer->SnapshotForm->WindowHandle();
    EXPECT_FALSE(IsWindowVisible(snapshot));
    const std::vector<LayeredCall> flight = LayeredRecorder::Of(snapshot);
    ASSERT_GE(flight.size(), 11u);
    // Falling alphas, the window heading for Wine's hidden taskbar: the left
    // edge at the form's centre height.
    for (std::size_t i = 2; i + 1 < flight.size(); ++i) EXPECT_LE(flight[i].Alpha, flight[i - 1].Alpha) << i;
    EXPECT_LT(flight[flight.size() - 2].Place.x, flight[1].Place.x);

    LayeredRecorder back;
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(P));
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);  // opaque again
    EXPECT_FALSE(P->ShowAnimating);
    EXPECT_FALSE(IsWindow(snapshot));
    const std::vector<int> rising = LayeredRecorder::AlphasOf(snapshot);
    ASSERT_GE(rising.size(), 10u);
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end()));
    EXPECT_EQ(rising.back(), 63);
    EXPECT_EQ(restored.Count, 1);
    vcl::Application->OnRestore = {};
}

TEST_F(MinimizeAnimation, LiveCountsStayFlatOverAHundredMinimizeCycles) {
    ShowFilled();
    Manager->AnimEffects()->Minimizing->Time = 20;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(P));
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(Settled(P));
        SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(Settled(P));
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

#else

TEST_F(MinimizeAnimation, WithoutCompositionNothingAnimatesAndARestoreReversesNothing) {
    ASSERT_FALSE(DwmCompositionActive());
    ShowFilled();
    // Minimized another way (as WindowState does): nothing to reverse, and
    // the caller restores the form itself.
    ShowWindow(W(), SW_MINIMIZE);
    EXPECT_FALSE(P->StartRestoreAnimation());
    EXPECT_FALSE(P->StartMinimizeAnimation());
    EXPECT_FALSE(P->MinTimer);
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(W()));

    LayeredRecorder recorder;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_TRUE(LayeredRecorder::Calls.empty());
    EXPECT_FALSE(P->StateFlags & pfMinimizeAnimation);
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(W()));
}

TEST(TaskbarButton, WithoutTheShellsTaskListTheSearchGivesNothing) {
    // Wine's taskbar has no task list: the animation heads for the edge.
    EXPECT_TRUE(FindTaskbarButtonRect().IsEmpty());
}

#endif

} // namespace
} // namespace skin
