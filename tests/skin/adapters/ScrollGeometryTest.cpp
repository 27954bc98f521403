// The skinned scroll bar's arithmetic: thumb sizes and places, the part
// under a point, the positions a dragged thumb sends, and the layout of a
// window's two bars.
#include <gtest/gtest.h>

#include <climits>

#include "skin/adapters/vlScrollGeometry.h"

namespace skin {
namespace {

TvlScrollRange Range(int Min, int Max, unsigned Page, int Pos) { return {Min, Max, Page, Pos}; }

TEST(ScrollGeometry, ThumbLengthFromPageAndButtons) {
    // No page: the button size, at least the minimum; 19 without buttons.
    EXPECT_EQ(ThumbOf(Range(0, 100, 0, 0), 0, 200, 0, 16).Size, 19);
    EXPECT_EQ(ThumbOf(Range(0, 100, 0, 0), 0, 200, 16, 16).Size, 16);
    EXPECT_EQ(ThumbOf(Range(0, 100, 0, 0), 0, 200, 20, 16).Size, 20);
    // A page takes its share of the track (200 - 32 = 168).
    EXPECT_EQ(ThumbOf(Range(0, 99, 50, 0), 0, 200, 16, 16).Size, 84);
    // A tiny page never makes the thumb smaller than the minimum.
    EXPECT_EQ(ThumbOf(Range(0, 9999, 10, 0), 0, 200, 16, 16).Size, 16);
}

TEST(ScrollGeometry, ThumbPlaceRunsFromTrackStartToTrackEndIncludingAMinimumOtherThanZero) {
    // 10 .. 109, page 10: positions 10 .. 100.
    const TvlScrollRange first = Range(10, 109, 10, 10), last = Range(10, 109, 10, 100);
    const TvlThumb a = ThumbOf(first, 40, 200, 16, 16), b = ThumbOf(last, 40, 200, 16, 16);
    EXPECT_EQ(a.Pos, 56);
    EXPECT_EQ(b.Pos + b.Size, 40 + 200 - 16);
    // Out of range positions stay on the track.
    EXPECT_EQ(ThumbOf(Range(10, 109, 10, -500), 40, 200, 16, 16).Pos, 56);
    EXPECT_EQ(ThumbOf(Range(10, 109, 10, 5000), 40, 200, 16, 16).Pos, b.Pos);
    // A range that fits in the page leaves the thumb at the start.
    EXPECT_EQ(ThumbOf(Range(0, 9, 20, 3), 0, 200, 16, 16).Pos, 16);
}

TEST(ScrollGeometry, PositionsAboveSixteenBitsPlaceTheThumb) {
    const TvlScrollRange r = Range(0, 200000, 1, 100000);
    const TvlThumb t = ThumbOf(r, 0, 216, 16, 16);
    // The free track is 184 - 16 = 168: the middle is at 84.
    EXPECT_EQ(t.Pos, 16 + 84);
    EXPECT_EQ(ThumbDragPos(r, 0, 216, 16, t.Size, t.Pos), 100000);
}

TEST(ScrollGeometry, PartsAlongTheBar) {
    const TvlScrollRange r = Range(0, 99, 50, 0);  // thumb 16 .. 100 on a 200 px bar
    auto at = [&](int X) { return ScrollPartAt(r, 0, 200, 16, 16, X, 5, 0, 16); };
    EXPECT_EQ(at(0), spFirstArrow);
    EXPECT_EQ(at(15), spFirstArrow);
    EXPECT_EQ(at(16), spThumb);
    EXPECT_EQ(at(99), spThumb);
    EXPECT_EQ(at(100), spTrackAfter);
    EXPECT_EQ(at(183), spTrackAfter);
    EXPECT_EQ(at(184), spSecondArrow);
    EXPECT_EQ(at(199), spSecondArrow);
    EXPECT_EQ(at(200), spNone);
    EXPECT_EQ(ScrollPartAt(r, 0, 200, 16, 16, 50, 16, 0, 16), spNone);  // across, past the bar
    const TvlScrollRange end = Range(0, 99, 50, 50);
    EXPECT_EQ(ScrollPartAt(end, 0, 200, 16, 16, 20, 0, 0, 16), spTrackBefore);
}

TEST(ScrollGeometry, BarShorterThanTwoButtonsIsTwoHalfButtonsWithoutThumb) {
    const TvlScrollRange r = Range(0, 99, 10, 0);
    EXPECT_EQ(ScrollPartAt(r, 0, 24, 16, 16, 0, 0, 0, 16), spFirstArrow);
    EXPECT_EQ(ScrollPartAt(r, 0, 24, 16, 16, 11, 0, 0, 16), spFirstArrow);
    EXPECT_EQ(ScrollPartAt(r, 0, 24, 16, 16, 12, 0, 0, 16), spSecondArrow);
    EXPECT_EQ(ScrollPartAt(r, 0, 24, 16, 16, 23, 0, 0, 16), spSecondArrow);
    EXPECT_FALSE(ThumbShown(r, 24, 16));
    EXPECT_TRUE(ThumbShown(r, 200, 16));
    EXPECT_FALSE(ThumbShown(Range(0, 9, 20, 0), 200, 16));  // the page is larger than the range
}

TEST(ScrollGeometry, DraggedThumbSendsMinimumToLastPositionAndNoFurther) {
    for (unsigned page : {0u, 1u, 10u}) {
        const TvlScrollRange r = Range(10, 109, page, 10);
        const TvlThumb t = ThumbOf(r, 0, 200, 16, 16);
        EXPECT_EQ(ThumbDragPos(r, 0, 200, 16, t.Size, -1000), 10) << page;
        EXPECT_EQ(ThumbDragPos(r, 0, 200, 16, t.Size, 1000), LastScrollPos(r)) << page;
        // The place of a position gives that position back.
        for (int pos = 10; pos <= LastScrollPos(r); pos += 7) {
            const TvlScrollRange p = Range(10, 109, page, pos);
            EXPECT_EQ(ThumbDragPos(p, 0, 200, 16, t.Size, ThumbOf(p, 0, 200, 16, 16).Pos), pos) << page;
        }
    }
    EXPECT_EQ(LastScrollPos(Range(10, 109, 0, 0)), 109);
    EXPECT_EQ(LastScrollPos(Range(10, 109, 1, 0)), 109);
    EXPECT_EQ(LastScrollPos(Range(10, 109, 10, 0)), 100);
    EXPECT_EQ(LastScrollPos(Range(10, 19, 50, 0)), 10);
    // No free track: the minimum.
    EXPECT_EQ(ThumbDragPos(Range(10, 109, 0, 0), 0, 40, 16, 16, 16), 10);
    EXPECT_EQ(ClampThumbStart(0, 200, 16, 30, 500), 154);
    EXPECT_EQ(ClampThumbStart(0, 200, 16, 30, -5), 16);
}

TEST(ScrollGeometry, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(1, 3, 2), 2);
    EXPECT_EQ(MulDivRound(-1, 3, 2), -2);
    EXPECT_EQ(MulDivRound(INT_MAX, 2, 2), INT_MAX);
    EXPECT_EQ(MulDivRound(5, 5, 0), -1);
}

TEST(ScrollGeometry, BarsInsideTheFrameOnEitherSide) {
    TvlBarFrame f;
    f.Window = {100, 50, 300, 250};
    f.FrameLeft = f.FrameTop = f.FrameRight = f.FrameBottom = 2;
    f.HorzShown = f.VertShown = true;
    f.HorzWidth = 17;
    f.VertWidth = 16;
    EXPECT_EQ(VertBarRect(f), (vcl::TRect{282, 52, 298, 231}));
    EXPECT_EQ(HorzBarRect(f), (vcl::TRect{102, 231, 282, 248}));
    EXPECT_EQ(CornerRect(f), (vcl::TRect{282, 231, 298, 248}));
    f.LeftScrollBar = true;
    EXPECT_EQ(VertBarRect(f), (vcl::TRect{102, 52, 118, 231}));
    EXPECT_EQ(HorzBarRect(f), (vcl::TRect{118, 231, 298, 248}));
    f.HorzShown = false;
    EXPECT_EQ(VertBarRect(f).Bottom, 248);
    EXPECT_TRUE(CornerRect(f).IsEmpty());
}

TEST(ScrollGeometry, BarsThatDoNotFitTakeNoSpace) {
    const TvlBarPlacement none = PlaceScrollBars({0, 0, 100, 80}, false, 16, false, 16, false);
    EXPECT_EQ(none.Client, (vcl::TRect{0, 0, 100, 80}));
    const TvlBarPlacement both = PlaceScrollBars({0, 0, 100, 80}, true, 16, true, 16, false);
    EXPECT_EQ(both.Client, (vcl::TRect{0, 0, 84, 64}));
    const TvlBarPlacement left = PlaceScrollBars({0, 0, 100, 80}, false, 16, true, 16, true);
    EXPECT_EQ(left.Client, (vcl::TRect{16, 0, 100, 80}));
    const TvlBarPlacement narrow = PlaceScrollBars({0, 0, 10, 80}, true, 16, true, 16, false);
    EXPECT_FALSE(narrow.VertShown);
    EXPECT_TRUE(narrow.HorzShown);
    EXPECT_EQ(narrow.Client, (vcl::TRect{0, 0, 10, 64}));
}

} // namespace
} // namespace skin
