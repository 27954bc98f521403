#include <gtest/gtest.h>

#include <vector>

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

// A 16 x 16 master that lies inside a far larger frame of guard pixels: a
// read outside the master lands on a guard pixel instead of outside memory.
class TGuardedSkin : public TTestSkin {
public:
    static constexpr int Guard = 256, Size = 16;
    TGuardedSkin() : TTestSkin(Size, Size), Frame(Size + 2 * Guard, Size + 2 * Guard) {}

    // Every guard pixel becomes Value; the master is copied into the middle.
    void Poison(std::uint32_t Value) {
        for (int y = 0; y < Frame.Height(); ++y)
            for (int x = 0; x < Frame.Width(); ++x) Frame.At(x, y) = Value;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) Frame.At(Guard + x, Guard + y) = Master.At(x, y);
    }
    vcl::TBitmapView MasterImage() const override {
        return SubView(Frame.View(), {Guard, Guard, Guard + Size, Guard + Size});
    }

    mutable vcl::TPixels32 Frame;
};

bool SameImage(const vcl::TPixels32 &a, const vcl::TPixels32 &b) {
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y)) return false;
    return true;
}

TEST(DrawSkinRect, HostileRectsReadOnlyInsideTheImage) {
    TGuardedSkin skin;
    skin.Paint({0, 8, 16, 16}, Px(0, 0, 64, 255));  // mask values where a mask part may lie
    // Rects that reach beyond the master on every side, with wide margins,
    // and a state image beyond its right edge.
    const struct {
        vcl::TRect r;
        int images, state;
    } masks[] = {{{10, 10, 40, 40}, 1, 0}, {{-20, -20, 8, 8}, 1, 0}, {{0, 0, 200, 14}, 1, 0}, {{0, 0, 45, 14}, 3, 1}};
    struct TCase {
        int mask, state;
    };
    std::vector<TCase> cases;
    for (const auto &c : masks)
        for (int maskType : {0, 1})
            for (int mode : {0, dmStretch | dmDrawCenter, int{dmDrawCenter}})
                cases.push_back({skin.AddMask(c.r, c.images, maskType, 6, 6, 6, 6, mode), c.state});
    const auto paint = [&](std::uint32_t poison) {
        skin.Poison(poison);
        std::vector<vcl::TPixels32> out;
        for (const TCase &c : cases) {
            vcl::TPixels32 &dst = out.emplace_back(30, 30, Back);
            const TsMaskData &mask = skin.Masks[c.mask];
            DrawSkinRect(dst.View(), {-5, -5, 40, 40}, EmptyBgPixels(), mask, c.state, true);
            DrawSkinRect32(dst.View(), {2, 2, 28, 28}, EmptyBgPixels(), mask, c.state);
            DrawSkinRectBlended(dst.View(), {2, 2, 28, 28}, EmptyBgPixels(), mask, c.state, {9, 9, 9, 9}, 128);
        }
        return out;
    };
    // What lies outside the image can never change the result.
    const std::vector<vcl::TPixels32> black = paint(Px(0, 0, 0, 0));
    const std::vector<vcl::TPixels32> white = paint(Px(255, 255, 255, 255));
    const std::vector<vcl::TPixels32> keyed = paint(KeyPixel);
    int drawn = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const TsMaskData &m = skin.Masks[cases[i].mask];
        EXPECT_TRUE(SameImage(black[i], white[i]) && SameImage(black[i], keyed[i]))
            << m.R.Left << ", " << m.R.Top << ", " << m.R.Right << ", " << m.R.Bottom << " type " << m.MaskType
            << " mode " << m.DrawMode;
        if (!SameImage(black[i], vcl::TPixels32(30, 30, Back))) ++drawn;
    }
    EXPECT_EQ(drawn, 15);  // every keyed case and the first masked rect draw what lies inside
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

// The copy into a 32-bit image with an opacity: a = (255 - m) * Opacity >> 8
// of the image over the destination; alpha 0 becomes 255 - m, 255 stays,
// others the larger of the two.
std::uint32_t BlendedOver(std::uint32_t d, std::uint32_t s, int m, int opacity) {
    const int a = ((255 - m) * opacity) >> 8;
    const auto mix = [a](int dc, int sc) { return (dc * (255 - a) + sc * a) >> 8; };
    const int da = int(d >> 24);
    const int alpha = da == 0 ? 255 - m : da == 255 ? 255 : std::max(da, 255 - m);
    return Px(mix(int(d & 0xFF), int(s & 0xFF)), mix(int((d >> 8) & 0xFF), int((s >> 8) & 0xFF)),
              mix(int((d >> 16) & 0xFF), int((s >> 16) & 0xFF)), alpha);
}

TEST(DrawSkinRectBlended, CapsThinTheSidesAgainstTheOuterEdgeAndOpacityMixes) {
    TTestSkin skin;
    // A 6 x 6 image over its mask, margins 2: mask 0 in columns 20 .. 22,
    // 64 in columns 23 .. 25.
    const int m = skin.AddMask({20, 0, 26, 12}, 1, 1, 2, 2, 2, 2, dmDrawCenter);
    skin.Paint({20, 6, 23, 12}, Px(0, 0, 0, 255));
    skin.Paint({23, 6, 26, 12}, Px(0, 0, 64, 255));
    const std::uint32_t d = Px(100, 100, 100, 200);
    vcl::TPixels32 dst(10, 10, d);
    DrawSkinRectBlended(dst.View(), {0, 0, 10, 10}, EmptyBgPixels(), skin.Masks[m], 0, {1, 1, 1, 1}, 128);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int sx = TiledSource(x, 10, 6, 2, 2), sy = TiledSource(y, 10, 6, 2, 2);
            const bool cornerX = x < 2 || x >= 8, cornerY = y < 2 || y >= 8;
            // The sides are one pixel thick at the outer edge; no centre.
            const bool drawn =
                (cornerX && cornerY) || (cornerY && (y == 0 || y == 9)) || (cornerX && (x == 0 || x == 9));
            const std::uint32_t want = drawn ? BlendedOver(d, At(20 + sx, sy), sx < 3 ? 0 : 64, 128) : d;
            ASSERT_EQ(dst.At(x, y), want) << x << ", " << y;
        }
    EXPECT_EQ(dst.At(0, 0), Px(59, 50, 113, 255));  // mask 0: a = 127 of the image
    EXPECT_EQ(dst.At(9, 9), Px(71, 64, 110, 200));  // mask 64: a = 95, alpha stays 200 > 191
}

TEST(DrawSkinRectBlended, StretchedSidesCopyOpaquePixelsWholeAndMixTheOthers) {
    TTestSkin skin;
    const int m = skin.AddMask({20, 0, 26, 12}, 1, 1, 2, 2, 2, 2, dmStretch | dmDrawCenter);
    skin.Paint({20, 6, 23, 12}, Px(0, 0, 0, 255));
    skin.Paint({23, 6, 26, 12}, Px(0, 0, 64, 255));
    const std::uint32_t d = Px(100, 100, 100, 200);
    vcl::TPixels32 dst(10, 10, d);
    DrawSkinRectBlended(dst.View(), {0, 0, 10, 10}, EmptyBgPixels(), skin.Masks[m], 0, {1, 1, 1, 1}, 128);
    // The 2-pixel middle of each side over 6 pixels by the nearest rule.
    for (int i = 0; i < 6; ++i) {
        const int src = 2 + i * 2 / 6;
        // Mask 0 copies the image pixel with alpha 255 whatever the opacity.
        EXPECT_EQ(dst.At(0, 2 + i), At(20, src)) << i;
        EXPECT_EQ(dst.At(9, 2 + i), BlendedOver(d, At(25, src), 64, 128)) << i;
        EXPECT_EQ(dst.At(2 + i, 0), src == 2 ? At(22, 0) : BlendedOver(d, At(23, 0), 64, 128)) << i;
        EXPECT_EQ(dst.At(2 + i, 1), d) << i;  // beyond the cap
        EXPECT_EQ(dst.At(2 + i, 5), d) << i;  // no centre
    }
    EXPECT_EQ(dst.At(0, 0), BlendedOver(d, At(20, 0), 0, 128));  // corners are copies, never stretched
}

TEST(StretchMaskPiece32, OpaqueCopiesClearLeavesAndTheRestMixesByTheSmallerOfMaskAndAlpha) {
    TTestSkin skin;
    // A 2 x 2 piece at (40, 0) over its mask two rows below.
    skin.Master.At(40, 2) = Px(0, 0, 0, 255);
    skin.Master.At(41, 2) = Px(0, 0, 255, 255);
    skin.Master.At(40, 3) = Px(0, 0, 128, 255);
    skin.Master.At(41, 3) = Px(0, 0, 64, 255);
    vcl::TPixels32 dst(4, 4, Px(100, 100, 100, 200));
    for (int x = 0; x < 4; ++x) dst.At(x, 2) = Px(100, 100, 100, 30);
    StretchMaskPiece32(dst.View(), {0, 0, 4, 4}, skin.Master.View(), {40, 0, 42, 2}, 2, false);
    EXPECT_EQ(dst.At(1, 1), At(40, 0));                  // mask 0: the image, alpha 255
    EXPECT_EQ(dst.At(3, 0), Px(100, 100, 100, 200));     // mask 255: the destination
    EXPECT_EQ(dst.At(0, 2), Px(46, 12, 124, 127));       // mask 128 over alpha 30: k = 30
    EXPECT_EQ(dst.At(1, 3), Px(69, 50, 113, 200));       // mask 128 over alpha 200: k = 128
    EXPECT_EQ(dst.At(2, 3), Px(55, 25, 120, 200));       // mask 64: k = 64, alpha stays
    EXPECT_EQ(dst.At(3, 2), Px(47, 12, 124, 191));       // mask 64 over alpha 30: k = 30, alpha 191

    // A uniform centre takes the same rule over the whole rect.
    vcl::TPixels32 centre(3, 3, Px(100, 100, 100, 200));
    StretchMaskPiece32(centre.View(), {0, 0, 3, 3}, skin.Master.View(), {40, 1, 41, 2}, 2, true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(centre.At(x, y), Px(69, 50, 113, 200)) << x << ", " << y;
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
