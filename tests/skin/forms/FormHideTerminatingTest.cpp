// A hide while the application terminates: no message loop is left to run
// the hide's timer, so every frame is shown before the hide returns and its
// window goes with it; a bordered form's border form goes with the hide.
// Alone in its process: the application does not come back from its end.
#include <gtest/gtest.h>

#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "FrameOutputTestSupport.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/HandleCounts.h"

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

struct BorderHideTerminating : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = BorderedManager();
};

TEST_F(BorderHideTerminating, TheBorderFormGoesWithTheHide) {
    Manager->AnimEffects()->FormHide->Time = 100;
    BorderedForm f;
    ASSERT_TRUE(f.P->BorderForm && f.Border());
    const vcl::THandleCounts before = vcl::LiveHandles();
    vcl::Application->Terminate();
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(vcl::Application->Terminated());
    LayeredRecorder recorder;
    f.Form.Form->Hide();
    EXPECT_FALSE(f.P->BorderForm);
    EXPECT_FALSE(IsWindowVisible(f.Wnd()));
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    ASSERT_FALSE(LayeredRecorder::Windows().empty());
    EXPECT_EQ(LayeredRecorder::AlphasOf(LayeredRecorder::Windows().back()).back(), 0);  // every frame ran
    // The border window went with the hide, and nothing else is left over.
    const vcl::THandleCounts after = vcl::LiveHandles();
    EXPECT_EQ(after.Windows, before.Windows - 1);
    EXPECT_EQ(after.DCs, before.DCs);
    EXPECT_LE(after.GdiObjects, before.GdiObjects);
}

} // namespace
} // namespace skin
