// Output from the cache: the frame's four strips into a window DC (and
// nothing of the client area), a stale cache rendered first, the client
// background with the form's graphic controls and the size grip, and when
// extended borders are allowed.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

struct FrameOutput : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = PieceSkinManager();
};

constexpr vcl::TColor Untouched = 0x123456;

TEST_F(FrameOutput, TheFrameComesFromTheCacheAndTheClientAreaIsLeftAlone) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(true));
    auto dc = Canvas32(400, 300, Untouched);
    f.Provider->PaintCachedFrame(dc->Canvas()->Handle());
    const int left = f.Provider->GetClientOffsetX(), top = f.Provider->GetClientOffsetY();
    const int right = left + ClientWidth(f.Window()), bottom = top + ClientHeight(f.Window());
    int wrong = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool client = x >= left && x < right && y >= top && y < bottom;
            const vcl::TColor want = client ? Untouched : PixelAt(f.Cache(), x, y);
            if (PixelAt(*dc, x, y) != want && ++wrong < 5) ADD_FAILURE() << "at " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(FrameOutput, AStaleCacheIsRenderedBeforeItIsCopied) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(false));
    f.Provider->FormActive = 1;
    f.Provider->SkinData()->BGChanged = true;
    auto dc = Canvas32(400, 300, Untouched);
    f.Provider->PaintCachedFrame(dc->Canvas()->Handle());
    EXPECT_FALSE(f.Provider->SkinData()->BGChanged);
    EXPECT_EQ(PixelAt(*dc, 200, 2), BandActive);
    EXPECT_EQ(PixelAt(*dc, 1, 200), BorderActive);
    // So is one of another size.
    f.Form.Form->SetBounds(100, 100, 450, 320);
    auto wider = Canvas32(450, 320, Untouched);
    f.Provider->PaintCachedFrame(wider->Canvas()->Handle());
    EXPECT_EQ(PixelAt(*wider, 448, 200), BorderActive);
    EXPECT_EQ(PixelAt(*wider, 300, 319), BorderActive);
}

TEST_F(FrameOutput, TheClientBackgroundIsTheCachesWithTheGraphicControlsAndTheGrip) {
    PreparedForm f(vcl::bsSizeable, "");
    f.Provider->SetGripMode(gmRightBottom);
    auto *label = f.Form.Add(vcl::Create<vcl::TLabel>(f.Form.Form), 30, 30);
    label->SetCaption("WWWWWWWW");
    label->Font()->SetColor(0x00FF00);
    ASSERT_TRUE(f.Render(false));
    const int w = ClientWidth(f.Window()), h = ClientHeight(f.Window());
    const vcl::TRect labelArea{30, 30, 150, 70};

    auto background = Canvas32(w, h, Untouched);
    f.Provider->PaintClientBackground(background->Canvas()->Handle(), false);
    EXPECT_EQ(PixelAt(*background, 10, 10), Face);
    EXPECT_EQ(PixelAt(*background, w - 1, h - 1), Grip);  // the cache holds the grip
    EXPECT_GT(CountColour(*background, 0x00FF00, labelArea).Count, 10);

    // The form's background: the same, with the grip painted at its place.
    f.Provider->SetGripMode(gmNone);
    ASSERT_TRUE(f.Render(false));
    f.Provider->SetGripMode(gmRightBottom);
    auto form = Canvas32(w, h, Untouched);
    f.Provider->PaintFormBackground(form->Canvas()->Handle());
    EXPECT_EQ(CountColour(*form, Grip).Bounds, (vcl::TRect{w - 6, h - 6, w, h}));
    EXPECT_EQ(PixelAt(*form, 10, 10), Face);
    EXPECT_EQ(CountColour(*form, 0x00FF00, labelArea).Count, CountColour(*background, 0x00FF00, labelArea).Count);
    EXPECT_FALSE(f.Provider->SkinData()->PaintLocked);
}

TEST_F(FrameOutput, ExtendedBordersAreAllowedByTheManagerAndTheProvider) {
    PreparedForm f;
    Manager->SetExtendedBorders(false);
    EXPECT_FALSE(f.Provider->ExtBordersAllowed());
    Manager->SetExtendedBorders(true);
    ASSERT_TRUE(Manager->GetExtendedBorders());  // layered windows exist here
    EXPECT_TRUE(f.Provider->ExtBordersAllowed());
    f.Provider->SetAllowExtBorders(false);
    EXPECT_FALSE(f.Provider->ExtBordersAllowed());
    f.Provider->SetAllowExtBorders(true);
    Manager->Options()->SetFlag(ofNativeBordersMaximized, true);
    EXPECT_TRUE(f.Provider->ExtBordersAllowed());
    ShowWindow(f.Window(), SW_MAXIMIZE);
    EXPECT_FALSE(f.Provider->ExtBordersAllowed());
    ShowWindow(f.Window(), SW_RESTORE);
}

} // namespace
} // namespace skin
