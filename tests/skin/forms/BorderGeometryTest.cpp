// The border form's arithmetic at every boundary: the sizing zones (both
// ends of each range included, corners diagonal, a "BORDERWIDTH" below 6
// counting as 6), the outer shadow one pixel beyond them, both again in
// "BORDERMODE" 1 with the align offsets, and a maximized owner's rectangle;
// the frame drawn with the skin's own border and caption around a window
// of other native measures: wherever the numbers lie, the skin frame's
// inner edges meet the window's client area.
#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/vlBorderGeometry.h"

namespace skin {
namespace {

constexpr int W = 300, H = 200;
const vcl::TRect M{10, 12, 14, 16};

struct Case {
    vcl::TPoint P;
    int Code;
    bool Shadow;
};

void Check(const TvlBorderSkin &Skin, int N, const std::vector<Case> &Cases) {
    for (const Case &c : Cases) {
        EXPECT_EQ(BorderSizingCode(c.P, W, H, M, Skin, N), c.Code) << c.P.X << "," << c.P.Y;
        EXPECT_EQ(InOuterShadow(c.P, W, H, M, Skin), c.Shadow) << c.P.X << "," << c.P.Y;
    }
}

TEST(BorderGeometry, SizingZonesReachSixPixelsOutAndTheShadowBeginsBeyond) {
    TvlBorderSkin skin;
    skin.BorderWidth = 4;  // counts as 6
    EXPECT_EQ(SizingZoneWidth(skin), 6);
    EXPECT_EQ(OuterShadowLimit(W, H, M, skin), (vcl::TRect{4, 6, 292, 190}));
    Check(skin, 3,
          {
              {{150, 6}, 12, false}, {{150, 5}, 0, true}, {{150, 12}, 12, false}, {{150, 13}, 0, false},
              {{150, 190}, 15, false}, {{150, 191}, 0, true}, {{150, 184}, 15, false}, {{150, 183}, 0, false},
              {{4, 100}, 10, false}, {{3, 100}, 0, true}, {{10, 100}, 10, false}, {{11, 100}, 0, false},
              {{292, 100}, 11, false}, {{293, 100}, 0, true}, {{286, 100}, 11, false}, {{285, 100}, 0, false},
              // corners: one diagonal code
              {{4, 6}, 13, false}, {{10, 12}, 13, false}, {{292, 6}, 14, false}, {{286, 12}, 14, false},
              {{4, 190}, 16, false}, {{10, 184}, 16, false}, {{292, 190}, 17, false}, {{286, 184}, 17, false},
              {{11, 12}, 12, false}, {{10, 13}, 10, false},
              // the zones run on into the shadow, where the window lets the mouse through first
              {{3, 6}, 12, true}, {{4, 5}, 10, true},
          });

    skin.BorderWidth = 8;
    EXPECT_EQ(SizingZoneWidth(skin), 8);
    Check(skin, 3, {{{150, 4}, 12, false}, {{150, 3}, 0, true}, {{2, 100}, 10, false}, {{1, 100}, 0, true},
                    {{294, 100}, 11, false}, {{295, 100}, 0, true}, {{150, 192}, 15, false}, {{150, 193}, 0, true}});
}

TEST(BorderGeometry, BorderModeOneTakesTheAlignOffsetsAndTheOwnersBorder) {
    TvlBorderSkin skin;
    skin.BorderMode = 1;
    skin.BorderWidth = 20;  // plays no part here
    skin.AlignLeft = 3;
    skin.AlignTop = 5;
    skin.AlignRight = 7;
    skin.AlignBottom = 9;
    const int n = 4;
    EXPECT_EQ(OuterShadowLimit(W, H, M, skin), (vcl::TRect{7, 7, 293, 193}));
    Check(skin, n,
          {
              {{150, 7}, 12, false}, {{150, 11}, 12, false}, {{150, 12}, 0, false}, {{150, 6}, 0, true},
              {{150, 189}, 15, false}, {{150, 188}, 0, false}, {{150, 193}, 15, false}, {{150, 194}, 0, true},
              {{7, 100}, 10, false}, {{11, 100}, 10, false}, {{12, 100}, 0, false}, {{6, 100}, 0, true},
              {{289, 100}, 11, false}, {{293, 100}, 11, false}, {{288, 100}, 0, false}, {{294, 100}, 0, true},
              {{7, 7}, 13, false}, {{293, 7}, 14, false}, {{7, 193}, 16, false}, {{293, 193}, 17, false},
              {{6, 6}, 0, true},
          });
}

TEST(BorderGeometry, AMaximizedOwnerKeepsTheRectangleInsideItsBorder) {
    EXPECT_EQ(MaximizedBorderRect(W, H, M, 4, 2), (vcl::TRect{16, 16, 280, 178}));
    EXPECT_EQ(MaximizedBorderRect(W, H, {}, 0, 0), (vcl::TRect{0, 4, W, H}));
}

TEST(FrameSizes, ASkinCaptionThatIsTallerIsAtLeastFourPixelsTaller) {
    EXPECT_EQ(SkinCaptionHeight(30, 19), 30);
    EXPECT_EQ(SkinCaptionHeight(21, 19), 23);
    EXPECT_EQ(SkinCaptionHeight(19, 19), 19);
    EXPECT_EQ(SkinCaptionHeight(15, 19), 15) << "a lower one is the skin's own";
    EXPECT_EQ(SkinCaptionHeight(0, 19), 19) << "none given: the native one";
}

TEST(FrameSizes, TheSkinFramesInnerEdgesMeetTheWindowsClientArea) {
    struct Case {
        const char *What;
        TvlFrameSizes F;
        int SideExcess, TopExcess;
    };
    const vcl::TRect m{9, 9, 9, 9};
    const std::vector<Case> cases{
        {"sizeable", {4, 19, 4, 30, 0, 0, 0, m}, 0, 7},
        {"dialog", {3, 19, 4, 30, 0, 0, 0, m}, 1, 8},
        {"tool window", {3, 15, 4, 30, 0, 0, 0, m}, 1, 12},
        {"skin narrower than the window", {8, 19, 2, 15, 0, 0, 0, {5, 6, 7, 8}}, -6, -12},
        {"no skin border", {4, 19, 0, 30, 0, 0, 0, m}, 0, 7},
        {"a form border and two menu rows", {4, 19, 4, 30, 3, 2, 18, {10, 12, 14, 16}}, 0, 7},
        {"no margins", {4, 19, 6, 26, 0, 1, 18, {}}, 2, 3},
    };
    const int W = 420, H = 300;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        const TvlFrameSizes &f = c.F;
        EXPECT_EQ(FrameSideExcess(f), c.SideExcess);
        EXPECT_EQ(FrameTopExcess(f), c.TopExcess);
        const int skinBorder = f.SkinBorder != 0 ? f.SkinBorder : f.NativeBorder;
        const int caption = SkinCaptionHeight(f.SkinCaption, f.NativeCaption);
        // The window lies in the image by the margins and the excesses.
        const vcl::TPoint window = FrameWindowOffset(f);
        EXPECT_EQ(window, (vcl::TPoint{f.Margins.Left + c.SideExcess, f.Margins.Top + c.TopExcess}));
        // Its client area (below its native frame, caption and menu bar,
        // whose rows are one pixel higher than the line's) is where the
        // skin frame leaves room for it.
        const int nativeMenu = f.MenuRows * f.MenuRowHeight + (f.MenuRowHeight != 0 ? 1 : 0);
        const vcl::TPoint client = FrameClientOffset(f);
        EXPECT_EQ(client.X, window.X + f.NativeBorder + f.FormBorder);
        EXPECT_EQ(client.Y, window.Y + f.NativeBorder + f.NativeCaption + nativeMenu + f.FormBorder);
        EXPECT_EQ(client.X - f.Margins.Left, skinBorder + f.FormBorder);
        EXPECT_EQ(client.Y - f.Margins.Top, caption + nativeMenu + f.FormBorder);
        // The image: the client area's right and bottom edges, then the
        // skin's border, then the margins.
        const vcl::TSize image = FrameImageSize(f, W, H);
        const int clientRight = window.X + W - f.NativeBorder, clientBottom = window.Y + H - f.NativeBorder;
        EXPECT_EQ(image.cx, clientRight + skinBorder + f.Margins.Right);
        EXPECT_EQ(image.cy, clientBottom + skinBorder + f.Margins.Bottom);
    }
}

TEST(BorderUpdate, TheOwnersStateDecidesWhetherTheBorderUpdatesStaysOrGoes) {
    const auto with = [](auto Change) {
        TvlBorderUpdateState s;
        Change(s);
        return BorderUpdateAction(s);
    };
    EXPECT_EQ(with([](auto &) {}), buUpdate);
    EXPECT_EQ(with([](auto &s) { s.AtFormLeft = false; }), buSkip);
    EXPECT_EQ(with([](auto &s) { s.AtFormLeft = false, s.Minimized = true; }), buUpdate);
    EXPECT_EQ(with([](auto &s) { s.PaintLockTaken = true; }), buSkip);
    EXPECT_EQ(with([](auto &s) { s.InShowAnimation = true; }), buSkip);
    EXPECT_EQ(with([](auto &s) { s.PaintLocked = true; }), buSkip);
    EXPECT_EQ(with([](auto &s) { s.DrawNonClientArea = false; }), buSkip);
    EXPECT_EQ(with([](auto &s) { s.Destroying = true; }), buRemoveBorders);
    EXPECT_EQ(with([](auto &s) { s.Visible = false; }), buFreeWindow);
    EXPECT_EQ(with([](auto &s) { s.Visible = false, s.StateFlags = 0x8000; }), buFreeWindow);
    EXPECT_EQ(with([](auto &s) { s.Visible = false, s.StateFlags = 0x200; }), buUpdate);  // hide animation
}

TEST(BorderUpdate, TheZOrderFollowsTheOwnersRankAndItsSizeChange) {
    const auto anchor = [](bool Top, bool Topmost, bool Minimized, std::uint32_t Flags) {
        return BorderZOrder(Top, Topmost, Minimized, Flags).Anchor;
    };
    EXPECT_EQ(anchor(false, false, false, 0), baOwner);
    EXPECT_EQ(anchor(true, true, false, 0), baTop);  // an active stay-on-top form
    EXPECT_EQ(anchor(false, true, false, 0), baTopmost);
    EXPECT_EQ(anchor(false, false, true, 0), baAboveOwner);
    EXPECT_EQ(anchor(false, false, false, 0x1), baAboveOwner);
    EXPECT_TRUE(BorderZOrder(false, false, false, 0x1).NoZOrder);
    EXPECT_FALSE(BorderZOrder(false, false, false, 0x8000).NoZOrder);
}

TEST(BlurBehind, TheFrameOnePixelLargerLessTheBlackOfItsEdgeStrips) {
    vcl::TPixels32 image(10, 8, 0xFFFFFFFF);
    image.At(1, 3) = 0xFF000000;  // black in the left strip: cut
    image.At(5, 1) = 0x00000000;  // in the top strip: cut
    image.At(4, 4) = 0xFF000000;  // black inside the strips: kept
    image.At(8, 6) = 0xFF000001;  // not black: kept
    const std::vector<vcl::TRect> rects = BlurBehindRects(image.View(), {2, 2, 2, 2}, 1);
    const auto covered = [&](int X, int Y) {
        int n = 0;
        for (const vcl::TRect &r : rects) n += X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom;
        EXPECT_LE(n, 1) << X << "," << Y;
        return n == 1;
    };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 1 && x < 9 && y >= 1 && y < 7;
            const bool cut = (x == 1 && y == 3) || (x == 5 && y == 1);
            EXPECT_EQ(covered(x, y), inside && !cut) << x << "," << y;
        }
    // Rows alike share one rectangle: the top row's two runs, two single
    // rows, then one band down to the bottom.
    EXPECT_EQ(rects.size(), 5u);
    EXPECT_TRUE(BlurBehindRects(vcl::TBitmapView{}, {2, 2, 2, 2}, 1).empty());
}

TEST(DragBlend, AMaximizedCaptionsDragBlendsOnlyWhereTheBlendShows) {
    struct Case {
        TvlDragBlend B;
        bool Press, FromMaximized;
    };
    const std::vector<Case> cases{
        {{false, 170, true, false}, false, false},  // the option off
        {{true, 170, true, false}, true, true},
        {{true, 255, true, false}, true, false},    // a blend to 255 shows nothing
        {{true, 170, false, false}, true, false},   // the form does not allow it
        {{true, 170, true, true}, true, true},
        {{true, 255, true, true}, false, false},    // composition: the press too
        {{true, 170, false, true}, false, false},
    };
    for (const Case &c : cases) {
        const std::string what = std::to_string(c.B.Active) + " " + std::to_string(c.B.BlendValue) + " " +
                                 std::to_string(c.B.FormAllows) + " " + std::to_string(c.B.Composition);
        EXPECT_EQ(CaptionPressBlends(c.B), c.Press) << what;
        EXPECT_EQ(MaximizedDragBlends(c.B), c.FromMaximized) << what;
    }
}

TEST(EdgeMaximize, EachEdgeTogglesItsDirectionAndTheSecondDoubleClickRestores) {
    const vcl::TRect work{0, 20, 1024, 740};
    TvlEdgeMaximize saved;
    struct Step {
        int Code;
        vcl::TRect Before, After;
    };
    // Each step starts where the window lies: the window moves in between.
    const std::vector<Step> steps{
        {12, {300, 200, 720, 500}, {300, 20, 720, 740}},  // top: the work area's height
        {15, {300, 20, 720, 740}, {300, 200, 720, 500}},  // bottom: back
        {11, {300, 200, 720, 500}, {0, 200, 1024, 500}},  // right: the width
        {15, {0, 200, 1024, 500}, {0, 20, 1024, 740}},    // then the height too
        {10, {0, 20, 1024, 740}, {300, 20, 720, 740}},    // left: the width back, the height kept
        {12, {310, 20, 730, 740}, {310, 200, 730, 500}},  // moved meanwhile: its left stays
        {2, {310, 200, 730, 500}, {310, 200, 730, 500}},  // the caption: nothing here
        {13, {310, 200, 730, 500}, {310, 200, 730, 500}}, // a corner: nothing
    };
    for (const Step &s : steps) {
        const vcl::TRect r = ToggleEdgeMaximize(s.Before, work, s.Code, saved);
        EXPECT_EQ(r, s.After) << "code " << s.Code << " from " << s.Before.Left << "," << s.Before.Top;
    }
    EXPECT_FALSE(saved.Vertical || saved.Horizontal);
}

// A stretched form placed anew by other means: the record as corrected
// (Y, Height) and the stretch forgotten; an unstretched one's record stays.
TEST(EdgeMaximize, APlacementOfAStretchedFormEndsTheStretch) {
    struct Case {
        bool Vertical, Horizontal;
        int Y, Height;        // the placement asked for
        bool Corrected;
        int NewY, NewHeight;  // as it goes on
    };
    // Saved before the stretch: top 200, height 300; the form's top now 20.
    const std::vector<Case> cases{
        {true, false, 60, 720, true, 60, 300},   // a new top: the saved height
        {true, false, 20, 500, true, 200, 320},  // the same top: the saved top, the bottom kept
        {false, true, 60, 720, true, 60, 720},   // across only: forgotten, the record as it is
        {true, true, 60, 720, true, 60, 300},
        {false, false, 60, 720, false, 60, 720}, // nothing stretched
    };
    for (const Case &c : cases) {
        TvlEdgeMaximize saved{c.Vertical, c.Horizontal, 200, 300, 40, 500};
        int y = c.Y, height = c.Height;
        EXPECT_EQ(EndEdgeStretch(20, y, height, saved), c.Corrected) << c.Y << " " << c.Vertical << c.Horizontal;
        EXPECT_EQ(y, c.NewY);
        EXPECT_EQ(height, c.NewHeight);
        EXPECT_FALSE(saved.Vertical || saved.Horizontal);
    }
}

} // namespace
} // namespace skin
