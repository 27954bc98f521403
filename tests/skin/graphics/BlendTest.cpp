#include <gtest/gtest.h>

#include "PixelTestSupport.h"
#include "skin/graphics/vlAlphaBlending.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);
const TBgPixels NoBackground{};

// One source pixel blended over one destination pixel.
std::uint32_t Blend1(std::uint32_t d, std::uint32_t s, vcl::TColor tint = vcl::clNone, int transparency = 0) {
    vcl::TPixels32 dst(1, 1, d), src(1, 1, s);
    BlendBitmap32({0, 0, 1, 1}, {0, 0, 1, 1}, dst.View(), src.View(), NoBackground, false, tint, transparency);
    return dst.At(0, 0);
}

// ---- BlendBitmap32

struct BlendCase {
    const char *Name;
    std::uint32_t Dst;
    std::uint32_t Src;
    vcl::TColor Tint;
    int Transparency;
    std::uint32_t Out;
};

void PrintTo(const BlendCase &c, std::ostream *os) { *os << c.Name; }

class BlendBitmap : public testing::TestWithParam<BlendCase> {};

TEST_P(BlendBitmap, MixesBySourceAlphaShiftedBy8) {
    const BlendCase &c = GetParam();
    EXPECT_EQ(Hex(Blend1(c.Dst, c.Src, c.Tint, c.Transparency)), Hex(c.Out));
}

INSTANTIATE_TEST_SUITE_P(Table, BlendBitmap, testing::Values(
    // Over a transparent destination the alpha becomes the source's.
    BlendCase{"OverTransparent", Px(100, 100, 100, 0), Px(200, 0, 50, 128), vcl::clNone, 0, Px(150, 50, 75, 128)},
    BlendCase{"OverOpaque", Px(100, 100, 100, 255), Px(200, 0, 50, 128), vcl::clNone, 0, Px(150, 50, 75, 255)},
    BlendCase{"OpaqueSourceIsAlmostCopied", Px(0, 0, 0, 0), Px(200, 1, 255, 255), vcl::clNone, 0, Px(199, 0, 254, 255)},
    // With transparency the alpha is scaled (128 * 50 div 100 = 64) and the destination alpha kept.
    BlendCase{"HalfTransparent", Px(100, 100, 100, 0), Px(200, 0, 50, 128), vcl::clNone, 50, Px(125, 75, 87, 0)},
    BlendCase{"FullyTransparent", Px(100, 100, 100, 9), Px(200, 0, 50, 255), vcl::clNone, 100, Px(100, 100, 100, 9)},
    // A pure red tint turns grey into shades of red.
    BlendCase{"RedTint", Px(0, 0, 0, 255), Px(90, 90, 90, 255), vcl::clRed, 0, Px(0, 0, 89, 255)},
    // Red 128 is brightened to red 255, green 127, blue 127: 200 * 127 / 255 = 99.6 -> 99.
    BlendCase{"DarkTintIsBrightened", Px(0, 0, 0, 0), Px(200, 200, 200, 255), 0x000080, 0, Px(98, 98, 199, 0)},
    BlendCase{"TintAndTransparency", Px(0, 0, 0, 0), Px(30, 60, 90, 200), 0xFFFFFF, 50, Px(23, 23, 23, 0)},
    // Without a background image the key pixel is blended like any other (alpha 0: no change).
    BlendCase{"KeyWithoutBackground", Px(10, 20, 30, 40), 0x00FF00FF, vcl::clNone, 0, Px(10, 20, 30, 40)}));

TEST(BlendBitmap32, KeyPixelsTakeTheBackgroundImageOnlyWhenAsked) {
    vcl::TPixels32 bg = Image(6, 6, [](int x, int y) { return Px(x, y, 99, 0xEE); });
    vcl::TPixels32 src(2, 1, 0x00FF00FF);
    src.At(1, 0) = Px(0, 0, 0, 255);

    vcl::TPixels32 dst(4, 3, Px(7, 7, 7, 0x44));
    BlendBitmap32({1, 2, 3, 3}, {0, 0, 2, 1}, dst.View(), src.View(), {bg.View(), 3, 1, vcl::clFuchsia, true}, true);
    // Colour of the background at (3 + 1, 1 + 2), the destination alpha kept.
    EXPECT_EQ(Hex(dst.At(1, 2)), Hex(Px(4, 3, 99, 0x44)));
    EXPECT_EQ(dst.At(2, 2), Px(0, 0, 0, 255));

    vcl::TPixels32 kept(4, 3, Px(7, 7, 7, 0x44));
    BlendBitmap32({1, 2, 3, 3}, {0, 0, 2, 1}, kept.View(), src.View(), {bg.View(), 3, 1, vcl::clFuchsia, true}, false);
    EXPECT_EQ(kept.At(1, 2), Px(7, 7, 7, 0x44));

    // A background position outside the background image leaves the pixel.
    vcl::TPixels32 outside(4, 3, Px(7, 7, 7, 0x44));
    BlendBitmap32({1, 2, 3, 3}, {0, 0, 2, 1}, outside.View(), src.View(), {bg.View(), 5, 1, vcl::clFuchsia, true}, true);
    EXPECT_EQ(outside.At(1, 2), Px(7, 7, 7, 0x44));

    // Without the image flag the key is not tested: copying the background does nothing.
    vcl::TPixels32 plain(4, 3, Px(7, 7, 7, 0x44));
    BlendBitmap32({1, 2, 3, 3}, {0, 0, 2, 1}, plain.View(), src.View(), {bg.View(), 3, 1, vcl::clFuchsia, false}, true);
    EXPECT_EQ(plain.At(1, 2), Px(7, 7, 7, 0x44));
}

TEST(BlendBitmap32, NegativeDestinationStartSkipsSourceColumnsAndRows) {
    vcl::TPixels32 src = Image(10, 10, [](int x, int y) { return Px(10 * x + 1, 10 * y + 1, 0, 255); });
    vcl::TPixels32 dst(6, 6, 0);
    BlendBitmap32({-5, -3, 5, 7}, {0, 0, 10, 10}, dst.View(), src.View(), NoBackground, false);
    // (255 * s) >> 8 over black: s - 1.
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(Px(50, 30, 0, 255)));
    EXPECT_EQ(Hex(dst.At(4, 6 - 1)), Hex(Px(90, 80, 0, 255)));
    EXPECT_EQ(dst.At(5, 0), 0u);
}

TEST(BlendBitmap32, NegativeSourceStartMovesBothSides) {
    vcl::TPixels32 src = Image(3, 1, [](int x, int) { return Px(100 * x + 1, 0, 0, 255); });
    vcl::TPixels32 dst(5, 1, 0);
    BlendBitmap32({0, 0, 5, 1}, {-2, 0, 3, 1}, dst.View(), src.View(), NoBackground, false);
    EXPECT_EQ(dst.At(0, 0), 0u);
    EXPECT_EQ(dst.At(1, 0), 0u);
    EXPECT_EQ(dst.At(2, 0), Px(0, 0, 0, 255));
    EXPECT_EQ(dst.At(4, 0), Px(200, 0, 0, 255));
}

TEST(BlendBitmap32, ClipsToBothImages) {
    vcl::TPixels32 src(3, 3, Px(255, 255, 255, 255));
    vcl::TPixels32 dst(4, 4, 0);
    BlendBitmap32({2, 2, 40, 40}, {1, 1, 50, 50}, dst.View(), src.View(), NoBackground, false);
    EXPECT_EQ(dst.At(1, 1), 0u);
    EXPECT_EQ(dst.At(2, 2), Px(254, 254, 254, 255));
    EXPECT_EQ(dst.At(3, 3), Px(254, 254, 254, 255));
    BlendBitmap32({5, 0, 9, 9}, {0, 0, 3, 3}, dst.View(), src.View(), NoBackground, false);
    BlendBitmap32({0, 0, 3, 3}, {3, 0, 9, 9}, dst.View(), src.View(), NoBackground, false);
    BlendBitmap32({0, 0, 3, 3}, {0, 0, 3, 3}, dst.View(), vcl::TBitmapView{}, NoBackground, false);
    EXPECT_EQ(dst.At(0, 0), 0u);
}

// ---- Reflection

vcl::TPixels32 ReflectionSource(int height) {
    return Image(4, height, [](int, int y) { return Px(0, 20 * y, 255, 255); });
}

TEST(BlendBitmap32, ReflectionOfTenRowsFadesOverThreeVisibleRows) {
    vcl::TPixels32 src = ReflectionSource(10);
    vcl::TPixels32 dst(4, 20, 0);
    BlendBitmap32({0, 0, 4, 10}, {0, 0, 4, 10}, dst.View(), src.View(), NoBackground, false, vcl::clNone, 0, true);
    // r = 4 rows from two rows below the last row; k drops by 255 div 10;
    // the fourth row has weight 0. Row 11 mirrors source row 8.
    EXPECT_EQ(dst.At(0, 10), 0u);
    EXPECT_EQ(Hex(dst.At(0, 11)), Hex(Px(0, 59, 94, 0)));
    EXPECT_EQ(Hex(dst.At(1, 12)), Hex(Px(0, 31, 56, 0)));
    EXPECT_EQ(Hex(dst.At(2, 13)), Hex(Px(0, 11, 24, 0)));
    EXPECT_EQ(dst.At(3, 14), 0u);
}

TEST(BlendBitmap32, ReflectionOfThreeRowsDrawsNothing) {
    vcl::TPixels32 src = ReflectionSource(3);
    vcl::TPixels32 dst(4, 12, 0);
    BlendBitmap32({0, 0, 4, 3}, {0, 0, 4, 3}, dst.View(), src.View(), NoBackground, false, vcl::clNone, 0, true);
    for (int y = 3; y < 12; ++y) EXPECT_EQ(dst.At(0, y), 0u) << y;
}

TEST(BlendBitmap32, ReflectionSkipsKeysAndSourceRowsOutsideTheImage) {
    vcl::TPixels32 src = ReflectionSource(10);
    src.At(1, 9) = 0x00FF00FF;
    vcl::TPixels32 dst(4, 20, 0);
    // The source rect reaches two rows below the image: its first mirrored
    // row (source row 10) does not exist and is left out.
    BlendBitmap32({0, 0, 4, 10}, {0, 0, 4, 12}, dst.View(), src.View(), NoBackground, false, vcl::clNone, 0, true);
    EXPECT_EQ(dst.At(0, 11), 0u);
    EXPECT_EQ(Hex(dst.At(0, 12)), Hex(Px(0, 40, 56, 0)));
    EXPECT_EQ(dst.At(1, 12), 0u);
}

TEST(BlendBitmap32, ReflectionStopsAtTheDestinationBottom) {
    vcl::TPixels32 src = ReflectionSource(10);
    vcl::TPixels32 dst(4, 12, 0);
    BlendBitmap32({0, 0, 4, 10}, {0, 0, 4, 10}, dst.View(), src.View(), NoBackground, false, vcl::clNone, 0, true);
    // r = min(4, 12 - 10 - 1) = 1: one row, of weight 0.
    EXPECT_EQ(dst.At(0, 11), 0u);
}

// ---- PaintShapeColored32

TEST(PaintShapeColored32, ComposesAndRaisesAlpha) {
    vcl::TPixels32 dst(2, 1, Px(100, 100, 100, 100));
    vcl::TPixels32 src(2, 1, Px(200, 0, 50, 128));
    src.At(1, 0) = Px(9, 9, 9, 0);
    PaintShapeColored32({0, 0, 2, 1}, {0, 0, 2, 1}, dst.View(), src.View(), NoBackground, false);
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(Px(150, 50, 75, 177)));
    EXPECT_EQ(dst.At(1, 0), Px(100, 100, 100, 100));
}

TEST(PaintShapeColored32, KeyPixelsCopyTheBackgroundAtFullAlpha) {
    vcl::TPixels32 bg = Image(4, 4, [](int x, int y) { return Px(x, y, 77, 5); });
    vcl::TPixels32 src(1, 1, 0x00FF00FF);
    vcl::TPixels32 dst(3, 3, Untouched);
    PaintShapeColored32({2, 1, 3, 2}, {0, 0, 1, 1}, dst.View(), src.View(), {bg.View(), 1, 2, vcl::clFuchsia, true},
                        true);
    EXPECT_EQ(Hex(dst.At(2, 1)), Hex(Px(3, 3, 77, 255)));

    vcl::TPixels32 kept(3, 3, Untouched);
    PaintShapeColored32({2, 1, 3, 2}, {0, 0, 1, 1}, kept.View(), src.View(), {bg.View(), 1, 2, vcl::clFuchsia, true},
                        false);
    EXPECT_EQ(kept.At(2, 1), Untouched);
    PaintShapeColored32({2, 1, 3, 2}, {0, 0, 1, 1}, kept.View(), src.View(), {bg.View(), 9, 2, vcl::clFuchsia, true},
                        true);
    EXPECT_EQ(kept.At(2, 1), Untouched);
}

// ---- CopyImageWithMask32

struct MaskedCopyCase {
    const char *Name;
    bool UseBmp;
    bool CopyBg;
    std::uint32_t Plain;  // result for the ordinary pixel
    std::uint32_t Key;    // result for the key pixel
};

void PrintTo(const MaskedCopyCase &c, std::ostream *os) { *os << c.Name; }

class CopyWithMask : public testing::TestWithParam<MaskedCopyCase> {};

TEST_P(CopyWithMask, MixesByTheMaskHalf) {
    const MaskedCopyCase &c = GetParam();
    // Image row 0, mask row 1 (the mask rect is 2 rows high).
    vcl::TPixels32 src(2, 2);
    src.At(0, 0) = Px(200, 0, 50, 9);
    src.At(1, 0) = 0x00FF00FF;
    src.At(0, 1) = Px(0, 128, 255, 0);
    src.At(1, 1) = Px(0, 0, 0, 0);
    vcl::TPixels32 bg(4, 4, Px(11, 22, 33, 44));
    vcl::TPixels32 dst(2, 1, Px(100, 100, 100, 50));
    TsMaskData mask;
    mask.R = {0, 0, 2, 2};
    mask.MaskType = 1;
    CopyImageWithMask32({0, 0, 2, 1}, {0, 0, 2, 1}, dst.View(), src.View(), {bg.View(), 0, 0, 0x00336699, c.UseBmp},
                        c.CopyBg, mask);
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(c.Plain));
    EXPECT_EQ(Hex(dst.At(1, 0)), Hex(c.Key));
}

// ((d - s) * m + s * 256) >> 8: blue 200, green 50, red 99.
INSTANTIATE_TEST_SUITE_P(Table, CopyWithMask, testing::Values(
    MaskedCopyCase{"ImageNoCopy", true, false, Px(200, 50, 99, 255), Px(255, 0, 255, 255)},
    MaskedCopyCase{"ImageCopy", true, true, Px(200, 50, 99, 255), Px(11, 22, 33, 44)},
    MaskedCopyCase{"ColourNoCopy", false, false, Px(200, 50, 99, 50), Px(100, 100, 100, 50)},
    MaskedCopyCase{"ColourCopy", false, true, Px(200, 50, 99, 50), 0x00996633}));

TEST(CopyImageWithMask32, MaskNeverReadsPastTheLastRow) {
    // A mask rect claiming 10 rows in a 3-row image: the mask rows move up.
    vcl::TPixels32 src = Image(1, 3, [](int, int y) { return y == 2 ? Px(0, 0, 0, 0) : Px(90, 90, 90, 0); });
    vcl::TPixels32 dst(1, 1, Px(10, 10, 10, 10));
    TsMaskData mask;
    mask.R = {0, 0, 1, 10};
    CopyImageWithMask32({0, 0, 1, 1}, {0, 0, 1, 1}, dst.View(), src.View(), NoBackground, false, mask);
    EXPECT_EQ(dst.At(0, 0), Px(90, 90, 90, 10));
}

// ---- Keyed copies

TEST(CopyKeyedRect32, SkipsTheKeyColourAndMakesCopiesOpaque) {
    vcl::TPixels32 src(3, 1);
    src.At(0, 0) = Px(3, 2, 1, 0);  // the colour 0x030201 as a pixel
    src.At(1, 0) = Px(1, 2, 3, 0);
    src.At(2, 0) = Px(9, 9, 9, 9);
    vcl::TPixels32 dst(4, 2, Untouched);
    CopyKeyedRect32(dst.View(), src.View(), 1, 1, 0x030201);
    EXPECT_EQ(dst.At(1, 1), Untouched);
    EXPECT_EQ(dst.At(2, 1), Px(1, 2, 3, 255));
    EXPECT_EQ(dst.At(3, 1), Px(9, 9, 9, 255));
    EXPECT_EQ(dst.At(1, 0), Untouched);

    vcl::TPixels32 clipped(2, 2, Untouched);
    CopyKeyedRect32(clipped.View(), src.View(), -2, -0, vcl::clFuchsia);
    EXPECT_EQ(clipped.At(0, 0), Px(9, 9, 9, 255));
    EXPECT_EQ(clipped.At(1, 0), Untouched);
}

TEST(CopyKeyedRectAt32, CopiesWholePixelsOfAnInclusiveRect) {
    vcl::TPixels32 src = Image(4, 2, [](int x, int y) { return Px(x, y, 50, 60); });
    src.At(2, 1) = 0x00FF00FF;
    src.At(1, 1) = 0x55FF00FF;
    vcl::TPixels32 dst(3, 3, Untouched);
    CopyKeyedRectAt32(dst.View(), src.View(), 1, 1, {1, 0, 3, 1}, vcl::clFuchsia);
    EXPECT_EQ(dst.At(1, 1), Px(1, 0, 50, 60));
    EXPECT_EQ(dst.At(2, 1), Px(2, 0, 50, 60));
    EXPECT_EQ(dst.At(1, 2), 0x55FF00FFu);  // not the key: its alpha differs
    EXPECT_EQ(dst.At(2, 2), Untouched);     // the key
    EXPECT_EQ(dst.At(0, 0), Untouched);
    // Destinations outside are skipped; source rects outside the image are cut.
    vcl::TPixels32 edge(3, 2, Untouched);
    CopyKeyedRectAt32(edge.View(), src.View(), 0, -1, {-1, -1, 9, 9}, vcl::clFuchsia);
    EXPECT_EQ(edge.At(0, 0), Untouched);
    EXPECT_EQ(edge.At(1, 0), Px(0, 0, 50, 60));
    EXPECT_EQ(edge.At(2, 0), Px(1, 0, 50, 60));
    EXPECT_EQ(edge.At(1, 1), Px(0, 1, 50, 60));
}

struct KeyedBgCase {
    const char *Name;
    bool CopyBg;
    bool UseBmp;
    bool IntoBackground;  // the background image is the destination itself
    std::uint32_t Plain;
    std::uint32_t Key;
};

void PrintTo(const KeyedBgCase &c, std::ostream *os) { *os << c.Name; }

class KeyedWithBg : public testing::TestWithParam<KeyedBgCase> {};

TEST_P(KeyedWithBg, KeyPixelsTakeTheBackground) {
    const KeyedBgCase &c = GetParam();
    vcl::TPixels32 src(2, 1);
    src.At(0, 0) = Px(5, 6, 7, 8);
    src.At(1, 0) = 0x00FF00FF;
    vcl::TPixels32 bg = Image(4, 4, [](int x, int y) { return Px(x, y, 40, 41); });
    vcl::TPixels32 dst(3, 2, Untouched);
    const TBgPixels info{c.IntoBackground ? dst.View() : bg.View(), 1, 1, 0x336699, c.UseBmp};
    CopyKeyedRectWithBg32(dst.View(), src.View(), 1, 1, {0, 0, 1, 0}, KeyPixel, info, c.CopyBg);
    EXPECT_EQ(Hex(dst.At(1, 1)), Hex(c.Plain));
    EXPECT_EQ(Hex(dst.At(2, 1)), Hex(c.Key));
}

INSTANTIATE_TEST_SUITE_P(Table, KeyedWithBg, testing::Values(
    KeyedBgCase{"IntoOwnBackground", true, true, true, Px(5, 6, 7, 255), Untouched},
    KeyedBgCase{"FromBackgroundImage", true, true, false, Px(5, 6, 7, 8), Px(3, 2, 40, 41)},
    KeyedBgCase{"KeepKeys", false, true, false, Px(5, 6, 7, 8), Untouched},
    KeyedBgCase{"BackgroundColour", true, false, false, Px(5, 6, 7, 8), Px(0x33, 0x66, 0x99, 0)},
    KeyedBgCase{"ColourWithoutCopyFlag", false, false, false, Px(5, 6, 7, 8), Px(0x33, 0x66, 0x99, 0)}));

TEST(CopyKeyedRectWithBg32, CutsTheSourceRectAndSkipsOutsideDestinations) {
    vcl::TPixels32 src = Image(3, 3, [](int x, int y) { return Px(x, y, 1, 1); });
    vcl::TPixels32 dst(2, 2, Untouched);
    // Cut to (0, 0, 2, 2) inclusive; its first pixel goes to (-1, 0).
    CopyKeyedRectWithBg32(dst.View(), src.View(), -1, 0, {-4, -4, 9, 9}, KeyPixel, NoBackground, false);
    EXPECT_EQ(dst.At(0, 0), Px(1, 0, 1, 1));
    EXPECT_EQ(dst.At(1, 1), Px(2, 1, 1, 1));
}

// ---- Ratio and alpha mixes

struct RatioCase {
    int S;
    int D;
    double Ratio;
    int Out;
};

class ByRatio : public testing::TestWithParam<RatioCase> {};

TEST_P(ByRatio, RoundsHalfToEven) {
    const RatioCase &c = GetParam();
    vcl::TPixels32 dst(1, 1, Px(c.D, c.D, c.D, 33));
    vcl::TPixels32 src(1, 1, Px(c.S, c.S, c.S, 99));
    BlendRect32ByRatio(dst.View(), 0, 0, src.View(), {0, 0, 1, 1}, c.Ratio, KeyPixel);
    EXPECT_EQ(dst.At(0, 0), Px(c.Out, c.Out, c.Out, 33));
}

INSTANTIATE_TEST_SUITE_P(Table, ByRatio, testing::Values(
    RatioCase{0, 5, 0.5, 2}, RatioCase{0, 7, 0.5, 4}, RatioCase{100, 200, 0.4, 140}, RatioCase{100, 200, 0, 100},
    RatioCase{100, 200, 1, 200}, RatioCase{0, 255, 2.0, 255}));

TEST(BlendRect32ByRatio, SkipsTheTransparentValueAndClips) {
    vcl::TPixels32 src = Image(3, 3, [](int x, int y) { return Px(100, 100, 100, x + y); });
    src.At(1, 1) = 0x00FF00FF;
    vcl::TPixels32 dst(2, 2, Px(0, 0, 0, 7));
    BlendRect32ByRatio(dst.View(), -1, -1, src.View(), {0, 0, 3, 3}, 0.5, KeyPixel);
    EXPECT_EQ(dst.At(0, 0), Px(0, 0, 0, 7));
    EXPECT_EQ(dst.At(1, 0), Px(50, 50, 50, 7));
    EXPECT_EQ(dst.At(1, 1), Px(50, 50, 50, 7));
}

TEST(BlendRect32ByAlpha, MixesAllFourChannelsOfAnInclusiveRect) {
    vcl::TPixels32 src = Image(3, 2, [](int x, int y) { return Px(200, 100, 10 * x, 50 + y); });
    vcl::TPixels32 dst(3, 3, Px(0, 0, 0, 0));
    BlendRect32ByAlpha(dst.View(), src.View(), 0, {1, 0, 2, 1}, {0, 1});
    // t = 0 copies the source, alpha included.
    EXPECT_EQ(dst.At(0, 1), Px(200, 100, 10, 50));
    EXPECT_EQ(dst.At(1, 2), Px(200, 100, 20, 51));
    EXPECT_EQ(dst.At(2, 1), Px(0, 0, 0, 0));
    EXPECT_EQ(dst.At(0, 0), Px(0, 0, 0, 0));

    vcl::TPixels32 keep(1, 1, Px(100, 100, 100, 100));
    BlendRect32ByAlpha(keep.View(), src.View(), 255, {0, 0, 0, 0}, {0, 0});
    // (255 * d + s) >> 8.
    EXPECT_EQ(keep.At(0, 0), Px(100, 100, 99, 99));
    BlendRect32ByAlpha(keep.View(), src.View(), 128, {2, 1, 2, 1}, {0, 0});
    EXPECT_EQ(keep.At(0, 0), Px(150, 100, 59, 75));
}

TEST(FadeBitmapToColor, MovesPixelsTowardTheColourExceptKeys) {
    vcl::TPixels32 img(3, 1);
    img.At(0, 0) = Px(5, 100, 0, 9);
    img.At(1, 0) = 0x00FF00FF;
    img.At(2, 0) = 0xFFFF00FF;
    FadeBitmapToColor(img.View(), 0x0000C8, 0.5);
    // Blue (5 - 0) * 0.5 = 2.5 -> 2; red 0 toward 200: 100.
    EXPECT_EQ(img.At(0, 0), Px(2, 50, 100, 9));
    EXPECT_EQ(img.At(1, 0), 0x00FF00FFu);
    EXPECT_EQ(img.At(2, 0), Px(128, 0, 228, 0xFF));
}

TEST(ColorizeByMask32, DarkMaskPullsTowardTheColour) {
    vcl::TPixels32 a(3, 1, Px(200, 200, 200, 77));
    vcl::TPixels32 m(3, 1);
    m.At(0, 0) = 0xFFFFFFFF;
    m.At(1, 0) = Px(0, 0, 0, 0);
    m.At(2, 0) = Px(128, 255, 64, 0);
    ColorizeByMask32(a.View(), m.View(), 0x000064);
    EXPECT_EQ(a.At(0, 0), Px(200, 200, 200, 77));
    EXPECT_EQ(a.At(1, 0), Px(0, 0, 100, 77));
    EXPECT_EQ(a.At(2, 0), Px(100, 199, 125, 77));

    vcl::TPixels32 other(2, 1, 0);
    ColorizeByMask32(a.View(), other.View(), 0);
    EXPECT_EQ(a.At(1, 0), Px(0, 0, 100, 77));
}

TEST(MixBitmaps32, WeightRunsFromBToA) {
    vcl::TPixels32 a(2, 1, Px(200, 100, 0, 1));
    vcl::TPixels32 b(2, 1, Px(0, 100, 200, 2));
    vcl::TPixels32 dst(3, 2, Px(9, 9, 9, 99));
    MixBitmaps32(dst.View(), a.View(), b.View(), nullptr, 0);
    EXPECT_EQ(dst.At(0, 0), Px(0, 100, 200, 99));
    MixBitmaps32(dst.View(), a.View(), b.View(), nullptr, 256);
    EXPECT_EQ(dst.At(1, 0), Px(200, 100, 0, 99));
    MixBitmaps32(dst.View(), a.View(), b.View(), nullptr, 64);
    EXPECT_EQ(dst.At(0, 0), Px(50, 100, 150, 99));
    EXPECT_EQ(dst.At(2, 0), Px(9, 9, 9, 99));

    vcl::TPixels32 w(2, 1, Px(0, 0, 128, 0));
    const vcl::TBitmapView weights = w.View();
    MixBitmaps32(dst.View(), a.View(), b.View(), &weights, 256);
    EXPECT_EQ(dst.At(1, 0), Px(0, 100, 100, 99));
}

TEST(MixBitmaps32, NothingForUnequalSizesOrSmallDestination) {
    vcl::TPixels32 a(2, 2, Px(200, 200, 200, 0));
    vcl::TPixels32 b(2, 1, Px(0, 0, 0, 0));
    vcl::TPixels32 b2(2, 2, Px(0, 0, 0, 0));
    vcl::TPixels32 small(1, 2, Untouched);
    vcl::TPixels32 dst(2, 2, Untouched);
    MixBitmaps32(dst.View(), a.View(), b.View(), nullptr, 256);
    MixBitmaps32(small.View(), a.View(), b2.View(), nullptr, 256);
    vcl::TPixels32 w(1, 1, 0);
    const vcl::TBitmapView wv = w.View();
    MixBitmaps32(dst.View(), a.View(), b2.View(), &wv, 256);
    EXPECT_EQ(dst.At(1, 1), Untouched);
    EXPECT_EQ(small.At(0, 1), Untouched);
}

} // namespace
} // namespace skin
