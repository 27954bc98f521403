// The face of a stand-alone scroll-bar control: the thumb's length and
// place over ordinary and the widest 32-bit ranges, the range fitted as the
// control receives it, and the positions a point stands for.
#include <gtest/gtest.h>

#include <climits>

#include "skin/adapters/vlSBLayout.h"

namespace skin {
namespace {

constexpr int Length = 240, Arrow = 18;  // a track of 204

TEST(SBLayout, ThumbLengthAndPlaceOverOrdinaryAndTheWidestRanges) {
    const TvlSBRange full{INT_MIN, INT_MAX, 0, 0}, halfPage{INT_MIN, INT_MAX, INT_MAX, 0};
    const struct {
        TvlSBRange range;
        std::int32_t position;
        int thumbSize, centre, thumbStart;
    } cases[] = {
        {{0, 99, 50, 0}, 25, 102, 120, 69},    // the page's share; 102 / 50 x 25 past the start
        {{0, 99, 50, 0}, 49, 102, 169, 118},   // a step before the last position: short of the arrow
        {{0, 99, 50, 0}, 50, 102, 171, 120},   // the last position (99 - 50 + 1): against it
        {{0, 7, 3, 0}, 0, 76, 56, 18},         // 204 x 3 / 8 = 76.5, ties to even
        {{10, 50, 0, 10}, 10, 16, 26, 18},     // no page: 16, against the first arrow
        {{10, 50, 41, 10}, 10, 204, 120, 18},  // the page is the range: centred, nothing to move
        {{5, 5, 0, 5}, 5, 16, 120, 18},        // one position: against the first arrow
        {full, INT_MIN, 16, 26, 18},
        {full, 0, 16, 120, 112},               // 188 x 2^31 / (2^32 - 1), the middle
        {full, INT_MAX, 16, 214, 206},         // against the second arrow
        {halfPage, INT_MIN, 102, 69, 18},      // 204 x (2^31 - 1) / 2^32
        {halfPage, 1, 102, 171, 120},          // the last position
        {{INT_MIN, INT_MIN, 0, INT_MIN}, INT_MIN, 16, 120, 18},
        // A position left behind by a smaller range is drawn at the end.
        {{0, 100, 0, 100}, 1000, 16, 214, 206},
        {{0, 100, 0, 0}, -1000, 16, 26, 18},
    };
    for (const auto &c : cases) {
        const TvlSBFace f = SBFaceOf(c.range, c.position, Length, Arrow);
        const std::string at = std::to_string(c.range.Min) + ".." + std::to_string(c.range.Max) + " page " +
                               std::to_string(c.range.Page) + " at " + std::to_string(c.position);
        EXPECT_EQ(f.Arrow, Arrow) << at;
        EXPECT_EQ(f.Track, 204) << at;
        EXPECT_EQ(f.ThumbSize, c.thumbSize) << at;
        EXPECT_EQ(f.Centre, c.centre) << at;
        EXPECT_EQ(f.ThumbStart, c.thumbStart) << at;
        EXPECT_TRUE(f.ThumbShown) << at;
    }
    // Arrows take at most half a short control each; the thumb then has no room.
    const TvlSBFace s = SBFaceOf({0, 10, 0, 0}, 0, 30, Arrow);
    EXPECT_EQ(s.Arrow, 15);
    EXPECT_EQ(s.Track, 0);
    EXPECT_FALSE(s.ThumbShown);
}

TEST(SBLayout, TheRangeIsFittedWithoutOverflow) {
    const struct {
        std::int32_t min, max;
        std::uint32_t page;
        std::int32_t pos;
        TvlSBRange fitted;
    } cases[] = {
        {INT_MIN, INT_MAX, 0xFFFFFFFF, 5, {INT_MIN, INT_MAX, INT_MAX, 1}},  // last: INT_MAX - (2^31 - 2)
        {INT_MIN, INT_MAX, 10, INT_MIN, {INT_MIN, INT_MAX, 10, INT_MIN}},
        {INT_MIN, INT_MAX, 0, INT_MAX, {INT_MIN, INT_MAX, 0, INT_MAX}},
        {0, 9, 100, 50, {0, 9, 10, 0}},
        {INT_MIN, INT_MIN, 5, 7, {INT_MIN, INT_MIN, 1, INT_MIN}},
        {INT_MAX, INT_MAX, 0, INT_MIN, {INT_MAX, INT_MAX, 0, INT_MAX}},
    };
    for (const auto &c : cases) {
        const TvlSBRange r = FitSBRange(c.min, c.max, c.page, c.pos);
        EXPECT_EQ(r.Page, c.fitted.Page) << c.min << ".." << c.max << " page " << c.page;
        EXPECT_EQ(r.Pos, c.fitted.Pos) << c.min << ".." << c.max << " page " << c.page;
    }
}

TEST(SBLayout, PointsStandForPositionsOverTheWholeRange) {
    const TvlSBRange full{INT_MIN, INT_MAX, 0, 0};
    // The thumb's travel, 188 pixels, stands for 2^32 - 1 steps.
    EXPECT_EQ(SBPositionAt(full, Length, Arrow, Arrow), 0);
    EXPECT_EQ(SBPositionAt(full, Length, Arrow, Arrow + 188), 4294967295LL);
    EXPECT_EQ(SBPositionAt(full, Length, Arrow, Arrow + 94), 2147483648LL);  // 2^31 - 0.5, ties to even
    EXPECT_EQ(SBPositionAt(full, Length, Arrow, 0), -411220273LL);           // left of the track
    EXPECT_EQ(SBPositionAt({0, 99, 50, 0}, Length, Arrow, Arrow + 51), 25);   // 51 x 50 / 102
    EXPECT_EQ(SBPositionAt({0, 0, 1, 0}, 16 + 2 * 94, 94, 100), 0);           // the thumb fills the track
}

} // namespace
} // namespace skin
