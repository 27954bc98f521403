// The arithmetic of the spin and track-bar adapters: the halves of an
// up-down control, the tick positions and rows of a track bar, and the
// turning over of the thumb's image.
#include <gtest/gtest.h>

#include "skin/adapters/vlTrackGeometry.h"

namespace skin {
namespace {

TEST(SpinButtons, OddSizesGiveTheFirstButtonTheExtraPixel) {
    auto v = SpinButtonRects(17, 41, 0, false);
    EXPECT_EQ(v[0], (vcl::TRect{0, 0, 17, 21}));
    EXPECT_EQ(v[1], (vcl::TRect{0, 20, 17, 41}));
    v = SpinButtonRects(17, 40, 2, false);
    EXPECT_EQ(v[0], (vcl::TRect{2, 0, 17, 20}));
    EXPECT_EQ(v[1], (vcl::TRect{2, 20, 17, 40}));
    const auto h = SpinButtonRects(31, 16, 2, true);  // the offset is the copy's, not the layout's
    EXPECT_EQ(h[0], (vcl::TRect{0, 0, 16, 16}));
    EXPECT_EQ(h[1], (vcl::TRect{15, 0, 31, 16}));
}

TEST(TrackTicks, EvenlySpacedInsideTheThumbsHalvesAndNoneBelowTwo) {
    EXPECT_TRUE(TrackTickPositions(8, 184, 11, 0).empty());
    EXPECT_TRUE(TrackTickPositions(8, 184, 11, 1).empty());
    EXPECT_EQ(TrackTickPositions(8, 184, 11, 2), (std::vector<int>{13, 186}));
    // Step 173 / 10 = 17.3: positions round to the nearest pixel.
    const std::vector<int> ticks = TrackTickPositions(8, 184, 11, 11);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks[1], 30);   // 17.3 + 13
    EXPECT_EQ(ticks[3], 65);   // 51.9 + 13 = 64.9
    EXPECT_EQ(ticks[10], 186);
    // A thumb longer than the channel walks backwards rather than failing.
    EXPECT_EQ(TrackTickPositions(0, 10, 20, 2), (std::vector<int>{10, 0}));
}

TEST(TrackTicks, RowsStandBeforeAfterOrOnBothSidesOfTheChannel) {
    // Channel 9..13 across, thumb 21 thick: offset (21 - 4) / 2 + 2 = 10.
    EXPECT_EQ(TrackTickRows(0, 9, 13, 21, 4), (std::vector<int>{23}));
    EXPECT_EQ(TrackTickRows(1, 9, 13, 21, 4), (std::vector<int>{-5}));
    EXPECT_EQ(TrackTickRows(2, 9, 13, 21, 4), (std::vector<int>{-5, 23}));
}

TEST(ThumbImage, TurnsOverByRowsOrByColumnsAndBackAgain) {
    vcl::TPixels32 image(3, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) image.At(x, y) = static_cast<std::uint32_t>(y * 10 + x);
    MirrorImage(image.View(), true);
    EXPECT_EQ(image.At(0, 0), 30u);
    EXPECT_EQ(image.At(2, 3), 2u);
    EXPECT_EQ(image.At(1, 1), 21u);
    MirrorImage(image.View(), true);
    MirrorImage(image.View(), false);
    EXPECT_EQ(image.At(0, 0), 2u);
    EXPECT_EQ(image.At(1, 2), 21u);
    EXPECT_EQ(image.At(2, 3), 30u);
    MirrorImage(vcl::TBitmapView{}, true);  // no rows: nothing happens
}

} // namespace
} // namespace skin
