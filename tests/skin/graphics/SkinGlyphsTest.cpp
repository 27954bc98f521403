#include <gtest/gtest.h>

#include "TestSkin.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinPieces.h"

namespace skin {
namespace {

using test::At;
using test::Px;
using test::TTestSkin;

constexpr std::uint32_t Back = Px(1, 2, 3, 255);

void ExpectImage(vcl::TPixels32 &img, const std::function<std::uint32_t(int, int)> &want) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) ASSERT_EQ(img.At(x, y), want(x, y)) << x << ", " << y;
}

TEST(DrawSkinGlyph, ANegativeOffsetCutsTheGlyphAndNeverShowsTheNextState) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 18, 4}, 3, 0, 0, 0, 0, 0);  // three 6 x 4 states
    vcl::TPixels32 dst(8, 5, Back);
    DrawSkinGlyph(dst.View(), {-3, 1}, 0, gmNormal, skin.Masks[m], EmptyBgPixels());
    ExpectImage(dst, [](int x, int y) { return x < 3 && y >= 1 ? At(x + 3, y - 1) : Back; });
}

TEST(DrawSkinGlyph, AFadedKeyedGlyphIsHalfMixedAndKeepsItsHoles) {
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 2, 1}, 1, 0, 0, 0, 0, 0);
    skin.Master.At(0, 0) = Px(100, 200, 50, 255);
    skin.Master.At(1, 0) = KeyPixel;
    vcl::TPixels32 dst(2, 1, Px(0, 0, 0, 9));
    DrawSkinGlyph(dst.View(), {0, 0}, 0, gmFaded, skin.Masks[m], EmptyBgPixels());
    EXPECT_EQ(dst.At(0, 0), Px(50, 100, 25, 9));
    EXPECT_EQ(dst.At(1, 0), Px(0, 0, 0, 9));
}

struct FactorCase {
    int mask;
    int mode;
    std::uint32_t expected;
};

class MaskedGlyph : public testing::TestWithParam<FactorCase> {};

// d = ((d - s) * k + s * 256) >> 8 with k the mask value, or in faded mode
// the mask value + 100 (at most 255); alpha grows by what the mask lets through.
TEST_P(MaskedGlyph, MixesByTheMaskFactor) {
    const FactorCase &c = GetParam();
    TTestSkin skin;
    const int m = skin.AddMask({0, 0, 1, 2}, 1, 1, 0, 0, 0, 0);
    skin.Master.At(0, 0) = Px(0, 0, 0, 255);
    skin.Master.At(0, 1) = Px(c.mask, c.mask, c.mask, 255);
    vcl::TPixels32 dst(1, 1, Px(200, 200, 200, 0));
    DrawSkinGlyph(dst.View(), {0, 0}, 0, c.mode, skin.Masks[m], EmptyBgPixels());
    EXPECT_EQ(dst.At(0, 0), c.expected) << test::Hex(dst.At(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Table, MaskedGlyph, testing::Values(
    FactorCase{0, gmNormal, Px(0, 0, 0, 254)},
    FactorCase{0, gmFaded, Px(78, 78, 78, 254)},     // factor 100
    FactorCase{155, gmFaded, Px(199, 199, 199, 99)},  // factor 255 from 155 on
    FactorCase{254, gmFaded, Px(199, 199, 199, 0)},
    FactorCase{255, gmNormal, Px(200, 200, 200, 0)},   // skipped in both modes
    FactorCase{255, gmFaded, Px(200, 200, 200, 0)}));

// A 2 x 2 texture over its mask: image pixels named by place, mask 0.
int Texture(TTestSkin &skin) {
    const int m = skin.AddMask({50, 0, 52, 4}, 1, 1, 0, 0, 0, 0);
    skin.Paint({50, 2, 52, 4}, Px(0, 0, 0, 255));
    return m;
}

TEST(PaintMaskedTexture, TilesLeaveNoStripAndFitTheLastTileExactly) {
    for (const auto &[w, h] : {std::pair{4, 4}, std::pair{5, 3}}) {
        TTestSkin skin;
        const int m = Texture(skin);
        vcl::TPixels32 dst(w + 1, h + 1, Back);
        vcl::TRect r{0, 0, w, h};
        PaintMaskedTexture(dst.View(), r, EmptyBgPixels(), skin.Masks[m], tfTile);
        EXPECT_EQ(r, vcl::Rect(-1, -1, -1, -1));
        ExpectImage(dst, [&](int x, int y) {
            return x < w && y < h ? (At(50 + x % 2, y % 2) & 0xFFFFFF) | 0xFF000000 : Back;
        });
    }
}

TEST(PaintMaskedTexture, ModeTenFillsTheStripsFromTheBackground) {
    TTestSkin skin;
    const int m = Texture(skin);
    vcl::TPixels32 behind(10, 10, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) behind.At(x, y) = Px(x, y, 200, 255);
    vcl::TPixels32 dst(5, 3, Back);
    vcl::TRect r{0, 0, 5, 3};
    PaintMaskedTexture(dst.View(), r, {behind.View(), 2, 1, vcl::clFuchsia, true, {}}, skin.Masks[m], tfTileAll);
    ExpectImage(dst, [&](int x, int y) { return x < 4 && y < 2 ? At(50 + x % 2, y % 2) : Px(x + 2, y + 1, 200, 255); });

    vcl::TPixels32 plain(5, 3, Back);
    r = {0, 0, 5, 3};
    PaintMaskedTexture(plain.View(), r, {{}, 0, 0, 0x0000FF, false, {}}, skin.Masks[m], tfTileAll);
    ExpectImage(plain, [&](int x, int y) { return x < 4 && y < 2 ? At(50 + x % 2, y % 2) : Px(0, 0, 255, 255); });

    // Neither an image nor a colour behind: the strips keep what they held.
    vcl::TPixels32 nothing(5, 3, Back);
    r = {0, 0, 5, 3};
    PaintMaskedTexture(nothing.View(), r, {{}, 0, 0, vcl::clFuchsia, false, {}}, skin.Masks[m], tfTileAll);
    EXPECT_EQ(r, vcl::Rect(-1, -1, -1, -1));
    ExpectImage(nothing, [&](int x, int y) { return x < 4 && y < 2 ? At(50 + x % 2, y % 2) : Back; });
}

TEST(FillTransparentCorner, CopiesTheBackgroundUnderKeyPixels) {
    TTestSkin skin;
    // A 4 x 4 border image with margins 2; its bottom-right pixel is a key.
    const int m = skin.AddMask({60, 0, 64, 4}, 1, 0, 2, 2, 2, 2);
    skin.Master.At(60, 0) = KeyPixel;
    skin.Master.At(63, 3) = KeyPixel;
    vcl::TPixels32 behind(4, 4, Px(7, 7, 7, 255));
    for (const auto &[code, keyAt] : {std::pair{ctTopLeft, 0}, std::pair{15, 0}, std::pair{ctBottomRight, 3}}) {
        vcl::TPixels32 dst(2, 2, Back);
        FillTransparentCorner(dst.View(), behind.View(), {0, 0, 2, 2}, {1, 1}, m, &skin, code);
        const int k = keyAt == 0 ? 0 : 1;  // the key's place in the 2 x 2 corner
        ExpectImage(dst, [&](int x, int y) { return x == k && y == k ? Px(7, 7, 7, 255) : Back; });
    }
    vcl::TPixels32 keyed(2, 1, KeyPixel);
    keyed.At(1, 0) = Back;
    FillTransparentCorner(keyed.View(), behind.View(), {0, 0, 2, 1}, {0, 0}, -1, nullptr, ctTopLeft);
    EXPECT_EQ(keyed.At(0, 0), Px(7, 7, 7, 255));
    EXPECT_EQ(keyed.At(1, 0), Back);
}

TEST(RestoreBorderCorners, KeyCornersShowTheParentsImageOrColour) {
    TTestSkin skin;
    const int m = skin.AddMask({70, 0, 76, 6}, 1, 0, 2, 2, 2, 2);
    skin.Master.At(70, 0) = KeyPixel;  // top-left
    skin.Master.At(75, 5) = KeyPixel;  // bottom-right
    vcl::TPixels32 parent(40, 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) parent.At(x, y) = Px(x, y, 9, 255);
    const TBgPixels image{parent.View(), 10, 20, vcl::clFuchsia, true, {}};
    const TBgPixels colour{{}, 0, 0, 0x00FF00, false, {}};
    struct Case {
        TBgPixels bg;
        int corners;
        std::uint32_t topLeft, bottomRight;
    } cases[] = {
        {image, bcAll, Px(10, 20, 9, 255), Px(10 + 7, 20 + 9, 9, 255)},
        {image, bcTopLeft, Px(10, 20, 9, 255), Back},
        {colour, bcAll, Px(0, 255, 0, 0), Px(0, 255, 0, 0)},
        {image, 0, Back, Back},
    };
    for (const Case &c : cases) {
        vcl::TPixels32 cache(8, 10, Back);
        RestoreBorderCorners(cache.View(), skin.Masks[m], 0, c.corners, c.bg);
        EXPECT_EQ(cache.At(0, 0), c.topLeft);
        EXPECT_EQ(cache.At(7, 9), c.bottomRight);
        EXPECT_EQ(cache.At(1, 0), Back);
    }
}


TEST(RestoreBorderCorners, AnAnswerOfTheKeyColourIsSkippedByKeyedCornersOnly) {
    TTestSkin skin;
    const int keyed = skin.AddMask({70, 0, 76, 6}, 1, 0, 2, 2, 2, 2);
    const int masked = skin.AddMask({80, 0, 86, 12}, 1, 1, 2, 2, 2, 2);  // the mask part below
    skin.Master.At(70, 0) = KeyPixel;
    skin.Master.At(80, 0) = KeyPixel;
    const TBgPixels fuchsia{{}, 0, 0, vcl::clFuchsia, false, {}};
    for (const auto &[m, corner] : {std::pair{keyed, Back}, std::pair{masked, KeyPixel}}) {
        vcl::TPixels32 cache(8, 10, Back);
        RestoreBorderCorners(cache.View(), skin.Masks[m], 0, bcAll, fuchsia);
        EXPECT_EQ(cache.At(0, 0), corner) << m;
        EXPECT_EQ(cache.At(1, 0), Back) << m;
    }
}

} // namespace
} // namespace skin
