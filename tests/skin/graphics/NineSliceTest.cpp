#include <gtest/gtest.h>

#include "TestSkin.h"
#include "skin/graphics/vlNineSlice.h"
#include "skin/graphics/vlSkinPieces.h"

namespace skin {
namespace {

using test::At;
using test::Px;
using test::TTestSkin;

constexpr std::uint32_t Back = Px(1, 2, 3, 255);

struct MarginCase {
    int wl, wr, width, left, right;
};

class MarginFit : public testing::TestWithParam<MarginCase> {};

TEST_P(MarginFit, OppositeMarginsNeverExceedTheRect) {
    const MarginCase &c = GetParam();
    TsMaskData m;
    m.WL = static_cast<std::int16_t>(c.wl), m.WR = static_cast<std::int16_t>(c.wr);
    m.WT = static_cast<std::int16_t>(c.wl), m.WB = static_cast<std::int16_t>(c.wr);
    const TSkinMargins fit = FitSkinMargins(m, c.width, c.width);
    EXPECT_EQ(fit.Left, c.left);
    EXPECT_EQ(fit.Right, c.right);
    EXPECT_EQ(fit.Top, c.left);
    EXPECT_EQ(fit.Bottom, c.right);
}

INSTANTIATE_TEST_SUITE_P(Table, MarginFit, testing::Values(
    MarginCase{8, 7, 10, 6, 4},    // d = 5: the right side takes the odd pixel
    MarginCase{3, 3, 10, 3, 3},    // fits: unchanged
    MarginCase{0, 30, 10, 0, 10},  // even shrinking left right = 20: cut to the rect
    MarginCase{30, 0, 10, 10, 0},
    MarginCase{-4, 5, 10, 0, 5}));  // a hostile negative margin counts as 0

// Where the pixel of a W-wide rect at offset x comes from in a state image
// w wide with margins l and r, tiled: a column of the state image.
int TiledSource(int x, int W, int w, int l, int r) {
    if (x < l) return x;
    if (x >= W - r) return w - (W - x);
    return l + (x - l) % (w - l - r);
}

TEST(DrawSkinRect, KeyedImageTilesSidesAndCentreAndCutsTheLastTile) {
    TTestSkin skin;
    // Three 6 x 6 states with margins of 2: a 2 x 2 middle.
    const int m = skin.AddMask({0, 0, 18, 6}, 3, 0, 2, 2, 2, 2, dmDrawCenter);
    for (const auto &[w, h] : {std::pair{11, 7}, std::pair{6, 6}, std::pair{4, 9}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        vcl::TPixels32 dst(w + 2, h + 2, Back);
        DrawSkinRect(dst.View(), {1, 1, w + 1, h + 1}, EmptyBgPixels(), skin.Masks[m], 1, false);
        for (int y = 0; y < h + 2; ++y)
            for (int x = 0; x < w + 2; ++x) {
                const bool inside = x >= 1 && y >= 1 && x <= w && y <= h;
                const std::uint32_t want =
                    inside ? At(6 + TiledSource(x - 1, w, 6, 2, 2), TiledSource(y - 1, h, 6, 2, 2)) : Back;
                ASSERT_EQ(dst.At(x, y), want) << x << ", " << y;
            }
    }
}

TEST(DrawSkinRect, SideTilesAtZeroTenAndACutTileAtTwenty) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 14, 4}, 1, 0, 2, 2, 2, 2);  // a 10-pixel middle
    vcl::TPixels32 dst(29, 4, Back);
    DrawSkinRect(dst.View(), {0, 0, 29, 4}, EmptyBgPixels(), skin.Masks[m], 0, false);
    // The top side spans x 2 .. 27 (25 pixels): tiles at 2, 12 and a cut one at 22.
    for (int x = 2; x < 27; ++x) EXPECT_EQ(dst.At(x, 0), At(2 + (x - 2) % 10, 0)) << x;
    EXPECT_EQ(dst.At(26, 1), At(6, 1));
    EXPECT_EQ(dst.At(27, 0), At(12, 0));  // the right corner
}

TEST(DrawSkinRect, StretchedPiecesTakeTheNearestPixel) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 6, 6}, 1, 0, 2, 2, 2, 2, dmStretch | dmDrawCenter);
    vcl::TPixels32 dst(10, 10, Back);
    DrawSkinRect(dst.View(), {0, 0, 10, 10}, EmptyBgPixels(), skin.Masks[m], 0, false);
    // The 2-pixel middle over 6 pixels: source column 2 + i * 2 / 6.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(dst.At(2 + i, 0), At(2 + i * 2 / 6, 0));
        EXPECT_EQ(dst.At(2 + i, 2 + i), At(2 + i * 2 / 6, 2 + i * 2 / 6));
    }
}

TEST(DrawSkinRect, DrawsNothingWhenItCannot) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 18, 6}, 3, 0, 2, 2, 2, 2, dmNoState0);
    TsMaskData orphan = skin.Masks[m];
    orphan.Manager = nullptr;
    TsMaskData narrow = skin.Masks[m];
    narrow.WL = 5;  // margins wider than the state image
    const struct {
        const TsMaskData *mask;
        int state;
        vcl::TRect r;
    } cases[] = {
        {&skin.Masks[m], 0, {0, 0, 8, 8}},  // nothing for state 0
        {&skin.Masks[m], 1, {0, 0, 8, 1}},  // a rect 1 high
        {&orphan, 1, {0, 0, 8, 8}},
        {&narrow, 1, {0, 0, 8, 8}},
    };
    for (const auto &c : cases) {
        vcl::TPixels32 dst(8, 8, Back);
        DrawSkinRect(dst.View(), c.r, EmptyBgPixels(), *c.mask, c.state, false);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.At(x, y), Back);
    }
}

TEST(DrawSkinRect, StatesAreClampedToTheImages) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 18, 6}, 3, 0, 2, 2, 2, 2);
    for (const auto &[state, drawn] : {std::pair{5, 2}, std::pair{-3, 0}, std::pair{1, 1}}) {
        vcl::TPixels32 dst(6, 6, Back);
        DrawSkinRect(dst.View(), {0, 0, 6, 6}, EmptyBgPixels(), skin.Masks[m], state, false);
        EXPECT_EQ(dst.At(0, 0), At(6 * drawn, 0)) << state;
    }
}

TEST(DrawSkinRect, KeyedCornersTakeTheBackgroundOnlyWhenAsked) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 6, 6}, 1, 0, 2, 2, 2, 2);
    skin.Paint({0, 0, 1, 1}, KeyPixel);
    skin.Masks[m].CornerClass = 1;
    vcl::TPixels32 behind(20, 20, Px(9, 9, 9, 255));
    behind.At(3, 4) = Px(7, 7, 7, 255);
    const TBgPixels image{behind.View(), 3, 4, vcl::clFuchsia, true, {}};
    const TBgPixels colour{{}, 0, 0, 0x0000FF, false, {}};
    const struct {
        TBgPixels bg;
        bool fromBg;
        std::uint32_t corner;
    } cases[] = {
        {image, true, Px(7, 7, 7, 255)},  // the image behind at (X, Y)
        {image, false, Back},             // an image flag without the corner flag keeps the pixel
        {colour, false, Px(0, 0, 255, 0)},  // a colour answer paints the colour
    };
    for (const auto &c : cases) {
        vcl::TPixels32 dst(6, 6, Back);
        DrawSkinRect(dst.View(), {0, 0, 6, 6}, c.bg, skin.Masks[m], 0, c.fromBg);
        EXPECT_EQ(dst.At(0, 0), c.corner);
        EXPECT_EQ(dst.At(1, 0), At(1, 0));
    }
}

// A 6 x 12 image over its mask with margins 2: mask value 0 in the left
// half (image), 255 in the right half (destination), 64 in the middle row.
int MaskedButton(TTestSkin &skin, int drawMode) {
    const int m = skin.AddMask({20, 0, 26, 12}, 1, 1, 2, 2, 2, 2, drawMode);
    skin.Paint({20, 6, 23, 12}, Px(0, 0, 0, 255));
    skin.Paint({23, 6, 26, 12}, Px(255, 255, 255, 255));
    return m;
}

TEST(DrawSkinRect, MaskedImageMixesByItsMask) {
    TTestSkin skin;
    const int m = MaskedButton(skin, dmDrawCenter);
    vcl::TPixels32 dst(6, 6, Px(200, 100, 50, 7));
    DrawSkinRect(dst.View(), {0, 0, 6, 6}, EmptyBgPixels(), skin.Masks[m], 0, false);
    // d = ((d - s) * m + s * 256) >> 8 per channel; the destination keeps its alpha.
    EXPECT_EQ(dst.At(0, 0), (At(20, 0) & 0xFFFFFF) | 0x07000000u);  // mask 0: the image
    EXPECT_EQ(dst.At(5, 5), Px(199, 99, 50, 7));                     // mask 255: (d * 255 + s) >> 8
}

TEST(DrawSkinRect, UniformStretchedCentreFillsOrLeavesTheDestination) {
    for (const auto &[maskValue, expected] : {std::pair{0, At(31, 1)}, std::pair{255, Back}}) {
        TTestSkin skin;
        // 3 x 3 states over their masks: a 1 x 1 centre.
        const int m = skin.AddMask({30, 0, 33, 6}, 1, 1, 1, 1, 1, 1, dmStretch | dmDrawCenter);
        skin.Paint({30, 3, 33, 6}, Px(maskValue, maskValue, maskValue, 255));
        vcl::TPixels32 dst(8, 8, Back);
        DrawSkinRect(dst.View(), {0, 0, 8, 8}, EmptyBgPixels(), skin.Masks[m], 0, false);
        for (int y = 1; y < 7; ++y)
            for (int x = 1; x < 7; ++x) ASSERT_EQ(dst.At(x, y), expected) << maskValue;
    }
}

TEST(DrawSkinRect, HostileRectsReadOnlyInsideTheImage) {
    TTestSkin skin(16, 16);
    // Rects that reach beyond the master on every side, with wide margins.
    for (const vcl::TRect r : {vcl::TRect{10, 10, 40, 40}, vcl::TRect{-20, -20, 8, 8}, vcl::TRect{0, 0, 200, 4}})
        for (int maskType : {0, 1})
            for (int mode : {0, dmStretch | dmDrawCenter, int{dmDrawCenter}}) {
                const int m = skin.AddMask(r, 1, maskType, 6, 6, 6, 6, mode);
                vcl::TPixels32 dst(30, 30, Back);
                DrawSkinRect(dst.View(), {-5, -5, 40, 40}, EmptyBgPixels(), skin.Masks[m], 0, true);
                DrawSkinRect32(dst.View(), {2, 2, 28, 28}, EmptyBgPixels(), skin.Masks[m], 0);
                DrawSkinRectBlended(dst.View(), {2, 2, 28, 28}, EmptyBgPixels(), skin.Masks[m], 0, {9, 9, 9, 9}, 128);
            }
}

TEST(DrawSkinRectBlended, ZeroCapsDrawOnlyTheCorners) {
    TTestSkin skin;
    const int m = MaskedButton(skin, dmDrawCenter);
    vcl::TPixels32 dst(10, 10, 0);
    DrawSkinRectBlended(dst.View(), {0, 0, 10, 10}, EmptyBgPixels(), skin.Masks[m], 0, {0, 0, 0, 0}, 255);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool corner = (x < 2 || x >= 8) && (y < 2 || y >= 8);
            if (!corner) {
                ASSERT_EQ(dst.At(x, y), 0u) << x << ", " << y;
            }
        }
    // Mask 0 at opacity 255: a = 254 of the image over an empty pixel, alpha 255.
    EXPECT_EQ(dst.At(0, 0), Px(19, 0, 127, 255));
}

struct AlphaCase {
    int mask;
    std::uint32_t dst;
    std::uint32_t expected;
};

class MaskPiece32 : public testing::TestWithParam<AlphaCase> {};

// The corner copy into 32-bit images: d.c = (d.c * m + s.c * (255 - m)) >> 8,
// alpha 0 becomes 255 - m, 255 stays, others the larger of the two.
TEST_P(MaskPiece32, MixesColourAndRaisesAlpha) {
    const AlphaCase &c = GetParam();
    TTestSkin skin;
    const int m = skin.AddMask({40, 0, 44, 8}, 1, 1, 2, 2, 2, 2);
    skin.Paint({40, 0, 44, 4}, Px(200, 100, 0, 255));
    skin.Paint({40, 4, 44, 8}, Px(0, 0, c.mask, 255));
    vcl::TPixels32 dst(4, 4, c.dst);
    DrawSkinRect32(dst.View(), {0, 0, 4, 4}, EmptyBgPixels(), skin.Masks[m], 0);
    EXPECT_EQ(dst.At(0, 0), c.expected) << test::Hex(dst.At(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Table, MaskPiece32, testing::Values(
    AlphaCase{0, Px(0, 0, 0, 0), Px(199, 99, 0, 255)},
    AlphaCase{255, Px(10, 20, 30, 0), Px(9, 19, 29, 0)},
    AlphaCase{128, Px(0, 0, 0, 0), Px(99, 49, 0, 127)},
    AlphaCase{128, Px(100, 100, 100, 200), Px(149, 99, 50, 200)},
    AlphaCase{128, Px(100, 100, 100, 255), Px(149, 99, 50, 255)}));

} // namespace
} // namespace skin
