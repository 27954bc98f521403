// A hide while the application terminates: no message loop is left to run
// the hide's timer, so every frame is shown before the hide returns and its
// window goes with it. Alone in its process: the application does not come
// back from its end.
#include <gtest/gtest.h>

#include "../manager/LayeredRecorder.h"
#include "FrameOutputTestSupport.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"

namespace skin {
namespace {

using namespace skin::test;

struct Heard {
    int Hiding = 0;
    void On(TvlAnimEvent E) { Hiding += E == aeHiding; }
};

using FormHideTerminating = FrameFixture;

TEST_F(FormHideTerminating, AllFramesRunBeforeTheHideReturns) {
    Heard heard;
    P->OnAfterAnimation = TvlAfterAnimation::Bind<&Heard::On>(&heard);
    ShowFilled();
    Manager->AnimEffects()->FormHide->Time = 100;
    Manager->AnimEffects()->FormHide->Mode = atFading;
    vcl::Application->Terminate();
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(vcl::Application->Terminated());

    LayeredRecorder recorder;
    F()->Hide();
    std::vector<HWND> windows = LayeredRecorder::Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), W()), windows.end());
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(LayeredRecorder::AlphasOf(windows[0]),
              (std::vector<int>{255, 255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0}));
    EXPECT_FALSE(IsWindow(windows[0]));
    EXPECT_TRUE(!HideTimer() || !HideTimer()->Window());
    EXPECT_EQ(heard.Hiding, 1);
    EXPECT_FALSE(ModuleState().FormAnimationActive);
}

} // namespace
} // namespace skin
