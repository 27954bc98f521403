// The blends of two images. Expected values are worked out in the comments
// with the rule of each routine; where a division by 255 would give another
// value than the shift by 8, the comment says so.
#include <gtest/gtest.h>

#include "PixelTestSupport.h"
#include "skin/graphics/vlAlphaBlending.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::HexRow;
using test::Px;
using test::Row;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);
const TBgPixels NoBackground{};

struct BlendCase {
    const char *Name;
    std::uint32_t Dst, Src;
    vcl::TColor Tint;
    int Transparency;
    std::uint32_t Out;
};

void PrintTo(const BlendCase &c, std::ostream *os) { *os << c.Name; }

class BlendBitmap : public testing::TestWithParam<BlendCase> {};

// d := (d * 256 + (v - d) * a) >> 8 per channel.
TEST_P(BlendBitmap, OnePixel) {
    const BlendCase &c = GetParam();
    vcl::TPixels32 dst(1, 1, c.Dst), src(1, 1, c.Src);
    BlendBitmap32({0, 0, 1, 1}, {0, 0, 1, 1}, dst.View(), src.View(), NoBackground, false, c.Tint, c.Transparency);
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(c.Out));
}

INSTANTIATE_TEST_SUITE_P(Table, BlendBitmap, testing::Values(
    // 200 * 255 >> 8 = 199 (/ 255 would copy 200); alpha max(255, 0).
    BlendCase{"OpaqueSourceLosesOneStep", Px(0, 0, 0, 0), Px(200, 1, 255, 255), vcl::clNone, 0, Px(199, 0, 254, 255)},
    // (255 * 256 - 255 * 128) >> 8 = 127; alpha max(128, 200).
    BlendCase{"AlphaIsTheLarger", Px(255, 255, 255, 200), Px(0, 0, 0, 128), vcl::clNone, 0, Px(127, 127, 127, 200)},
    // a = 128 * 50 div 100 = 64: (200 * 256 - 200 * 64) >> 8 = 150 (/ 255: 149); alpha kept.
    BlendCase{"Transparency", Px(200, 200, 200, 9), Px(0, 0, 0, 128), vcl::clNone, 50, Px(150, 150, 150, 9)},
    BlendCase{"FullyTransparent", Px(100, 100, 100, 9), Px(200, 0, 50, 255), vcl::clNone, 100, Px(100, 100, 100, 9)},
    // Red factor 1, the others 0: grey 90 * 255 >> 8 = 89 in red; alpha kept.
    BlendCase{"RedTint", Px(0, 0, 0, 7), Px(90, 90, 90, 255), vcl::clRed, 0, Px(0, 0, 89, 7)},
    // Red 128 lifted to 255, green and blue 0 to 127: trunc(200 * 127 / 255) = 99, then * 255 >> 8 = 98.
    BlendCase{"DarkTintIsBrightened", Px(0, 0, 0, 0), Px(200, 200, 200, 255), 0x000080, 0, Px(98, 98, 199, 0)},
    // Grey (30 + 60 + 90) div 3 = 60, a = 100: 60 * 100 >> 8 = 23.
    BlendCase{"TintAndTransparency", Px(0, 0, 0, 0), Px(30, 60, 90, 200), 0xFFFFFF, 50, Px(23, 23, 23, 0)},
    // Without a background image the key is an ordinary pixel of alpha 0.
    BlendCase{"KeyWithoutBackground", Px(10, 20, 30, 40), KeyPixel, vcl::clNone, 0, Px(10, 20, 30, 40)}));

TEST(BlendBitmap32, KeyPixelsTakeTheBackgroundImageOnlyWhenAsked) {
    vcl::TPixels32 bg = Image(6, 6, [](int x, int y) { return Px(x, y, 99, 0xEE); });
    vcl::TPixels32 src(2, 1, KeyPixel);
    src.At(1, 0) = Px(0, 0, 0, 0x20);
    const auto blend = [&](int bgX, bool useBmp, bool copy) {
        vcl::TPixels32 dst(4, 3, Px(7, 7, 7, 0x44));
        BlendBitmap32({1, 2, 3, 3}, {0, 0, 2, 1}, dst.View(), src.View(), {bg.View(), bgX, 1, vcl::clFuchsia, useBmp},
                      copy);
        return std::pair{dst.At(1, 2), dst.At(2, 2)};
    };
    // The background's colour at (3 + 1, 1 + 2), the destination alpha kept;
    // the other pixel (7 * 256 - 7 * 32) >> 8 = 6 with alpha max(0x20, 0x44).
    EXPECT_EQ(blend(3, true, true), std::pair(Px(4, 3, 99, 0x44), Px(6, 6, 6, 0x44)));
    EXPECT_EQ(blend(3, true, false).first, Px(7, 7, 7, 0x44));
    EXPECT_EQ(blend(5, true, true).first, Px(7, 7, 7, 0x44));   // outside the background image
    EXPECT_EQ(blend(3, false, true).first, Px(7, 7, 7, 0x44));  // no key test without the image flag
}

TEST(BlendBitmap32, NegativeStartsMoveBothSidesAndTheImagesClip) {
    vcl::TPixels32 src = Image(10, 10, [](int x, int y) { return Px(10 * x + 1, 10 * y + 1, 0, 255); });
    vcl::TPixels32 dst(6, 6, 0);
    BlendBitmap32({-5, -3, 5, 7}, {0, 0, 10, 10}, dst.View(), src.View(), NoBackground, false);
    // Source column 5, row 3 lands at (0, 0); (255 * s) >> 8 over black is s - 1.
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(Px(50, 30, 0, 255)));
    EXPECT_EQ(Hex(dst.At(4, 5)), Hex(Px(90, 80, 0, 255)));
    EXPECT_EQ(dst.At(5, 0), 0u);

    vcl::TPixels32 row(5, 1, 0);
    BlendBitmap32({0, 0, 5, 1}, {-2, 0, 3, 1}, row.View(), src.View(), NoBackground, false);
    EXPECT_EQ(row.At(1, 0), 0u);
    EXPECT_EQ(row.At(2, 0), Px(0, 0, 0, 255));
    EXPECT_EQ(row.At(4, 0), Px(20, 0, 0, 255));

    vcl::TPixels32 small(4, 4, 0);
    BlendBitmap32({2, 2, 40, 40}, {8, 8, 50, 50}, small.View(), src.View(), NoBackground, false);
    EXPECT_EQ(small.At(1, 1), 0u);
    EXPECT_EQ(small.At(3, 3), Px(90, 90, 0, 255));
    BlendBitmap32({0, 0, 3, 3}, {0, 0, 3, 3}, small.View(), vcl::TBitmapView{}, NoBackground, false);
    EXPECT_EQ(small.At(0, 0), 0u);
}

TEST(BlendBitmap32, AnImageBlendedOntoItselfGoesTopDown) {
    // Row 1 takes row 0, then row 2 the new row 1: 200 * 255 >> 8 = 199, then 198.
    vcl::TPixels32 img = Image(1, 3, [](int, int y) { return y == 0 ? Px(200, 200, 200, 255) : Px(0, 0, 0, 255); });
    BlendBitmap32({0, 1, 1, 3}, {0, 0, 1, 2}, img.View(), img.View(), NoBackground, false);
    EXPECT_EQ(Hex(img.At(0, 2)), Hex(Px(198, 198, 198, 255)));
}

// Source rows (0, 20y, 255, 255), 10 rows. r = min(10 div 2 - 1, destination
// rows below - 1); row i mirrors source row 10 - i - 1 two rows below the
// rect with a = ((255 * (r - i)) div r * k) >> 9, k = 255 - (i - 1) * 25.
TEST(BlendBitmap32, ReflectionFadesBelowTheRect) {
    vcl::TPixels32 src = Image(4, 10, [](int, int y) { return Px(0, 20 * y, 255, 255); });
    src.At(1, 8) = KeyPixel;
    const auto reflect = [&](int dstHeight, int srcBottom, int transparency) {
        vcl::TPixels32 dst(4, dstHeight, 0);
        BlendBitmap32({0, 0, 4, 10}, {0, 0, 4, srcBottom}, dst.View(), src.View(), NoBackground, false, vcl::clNone,
                      transparency, true);
        return dst;
    };
    const vcl::TPixels32 full = reflect(20, 10, 0);
    EXPECT_EQ(full.At(0, 10), 0u);
    // i = 1: a = (191 * 255) >> 9 = 95: green 160 * 95 >> 8 = 59, red 94.
    EXPECT_EQ(Hex(full.At(0, 11)), Hex(Px(0, 59, 94, 0)));
    EXPECT_EQ(full.At(1, 11), 0u);  // the key is skipped
    // i = 2: a = (127 * 230) >> 9 = 57; i = 3: a = (63 * 205) >> 9 = 25; i = 4: a = 0.
    EXPECT_EQ(Hex(full.At(0, 12)), Hex(Px(0, 31, 56, 0)));
    EXPECT_EQ(Hex(full.At(0, 13)), Hex(Px(0, 11, 24, 0)));
    EXPECT_EQ(full.At(0, 14), 0u);
    // Transparency 50: a = 95 * 50 div 100 = 47: green 29, red 46.
    EXPECT_EQ(Hex(reflect(20, 10, 50).At(0, 11)), Hex(Px(0, 29, 46, 0)));
    // One row below: r = 1, of weight 0; a source rect reaching two rows past
    // the image leaves out the row that does not exist.
    EXPECT_EQ(reflect(12, 10, 0).At(0, 11), 0u);
    const vcl::TPixels32 past = reflect(20, 12, 0);
    EXPECT_EQ(past.At(0, 11), 0u);
    EXPECT_EQ(Hex(past.At(0, 12)), Hex(Px(0, 40, 56, 0)));
    // Three source rows: nothing.
    vcl::TPixels32 three = Image(4, 3, [](int, int) { return Px(0, 0, 255, 255); }), dst(4, 12, 0);
    BlendBitmap32({0, 0, 4, 3}, {0, 0, 4, 3}, dst.View(), three.View(), NoBackground, false, vcl::clNone, 0, true);
    for (int y = 3; y < 12; ++y) EXPECT_EQ(dst.At(0, y), 0u) << y;
}

TEST(PaintShapeColored32, ComposesAndAddsCoverage) {
    vcl::TPixels32 dst(2, 1, Px(100, 100, 100, 0));
    vcl::TPixels32 src(2, 1, Px(200, 0, 50, 255));
    src.At(1, 0) = Px(9, 9, 9, 0);
    PaintShapeColored32({0, 0, 2, 1}, {0, 0, 2, 1}, dst.View(), src.View(), NoBackground, false);
    // ((s - d) * 255 + d * 256) >> 8: 199, 0, 50; alpha 0 + (255 * 255) >> 8 = 254 (/ 255: 255).
    EXPECT_EQ(Hex(dst.At(0, 0)), Hex(Px(199, 0, 50, 254)));
    EXPECT_EQ(dst.At(1, 0), Px(100, 100, 100, 0));

    vcl::TPixels32 bg = Image(4, 4, [](int x, int y) { return Px(x, y, 77, 5); });
    vcl::TPixels32 key(1, 1, KeyPixel);
    const auto paint = [&](int bgX, bool copy) {
        vcl::TPixels32 out(3, 3, Untouched);
        PaintShapeColored32({2, 1, 3, 2}, {0, 0, 1, 1}, out.View(), key.View(),
                            {bg.View(), bgX, 2, vcl::clFuchsia, true}, copy);
        return out.At(2, 1);
    };
    EXPECT_EQ(Hex(paint(1, true)), Hex(Px(3, 3, 77, 255)));  // background (1 + 2, 2 + 1) at alpha 255
    EXPECT_EQ(paint(1, false), Untouched);
    EXPECT_EQ(paint(9, true), Untouched);
}

TEST(CopyImageWithMask32, MixesByTheMaskHalf) {
    // Image row 0, mask row 1 (the mask rect is 2 rows high).
    vcl::TPixels32 src = Image(2, 2, [](int x, int y) {
        const std::uint32_t pixels[2][2] = {{Px(200, 0, 50, 9), KeyPixel}, {Px(0, 128, 255, 0), 0}};
        return pixels[y][x];
    });
    vcl::TPixels32 bg(4, 4, Px(11, 22, 33, 44));
    TsMaskData mask;
    mask.R = {0, 0, 2, 2};
    // ((d - s) * m + s * 256) >> 8: blue 200, green (100 * 128) >> 8 = 50, red (50 * 255 + 50 * 256) >> 8 = 99.
    const struct {
        bool UseBmp, CopyBg;
        std::uint32_t Plain, Key;
    } cases[] = {{true, false, Px(200, 50, 99, 255), Px(255, 0, 255, 255)},
                 {true, true, Px(200, 50, 99, 255), Px(11, 22, 33, 44)},
                 {false, false, Px(200, 50, 99, 50), Px(100, 100, 100, 50)},
                 {false, true, Px(200, 50, 99, 50), 0x00996633}};
    for (const auto &c : cases) {
        vcl::TPixels32 dst(2, 1, Px(100, 100, 100, 50));
        CopyImageWithMask32({0, 0, 2, 1}, {0, 0, 2, 1}, dst.View(), src.View(),
                            {bg.View(), 0, 0, 0x00336699, c.UseBmp}, c.CopyBg, mask);
        EXPECT_EQ(HexRow(dst), Hex({c.Plain, c.Key})) << c.UseBmp << c.CopyBg;
    }
    // A mask rect claiming 10 rows of a 4-row image: the two mask rows move up
    // to rows 2 and 3 (black: the image shows).
    vcl::TPixels32 tall = Image(1, 4, [](int, int y) { return y < 2 ? Px(90, 90, 90, 0) : 0u; });
    vcl::TPixels32 dst(1, 2, Px(10, 10, 10, 10));
    mask.R = {0, 0, 1, 10};
    CopyImageWithMask32({0, 0, 1, 2}, {0, 0, 1, 2}, dst.View(), tall.View(), NoBackground, false, mask);
    EXPECT_EQ(HexRow(dst, 0) + " " + HexRow(dst, 1), Hex({Px(90, 90, 90, 10), Px(90, 90, 90, 10)}));
}

TEST(KeyedCopies, SkipTheKeyAndClip) {
    // The colour 0x030201 as a pixel is the key.
    vcl::TPixels32 src = Row({Px(3, 2, 1, 0), Px(1, 2, 3, 0), Px(9, 9, 9, 9)});
    vcl::TPixels32 dst(4, 1, Untouched), clipped(2, 1, Untouched);
    CopyKeyedRect32(dst.View(), src.View(), 1, 0, 0x030201);
    EXPECT_EQ(HexRow(dst), Hex({Untouched, Untouched, Px(1, 2, 3, 255), Px(9, 9, 9, 255)}));
    CopyKeyedRect32(clipped.View(), src.View(), -2, 0, vcl::clFuchsia);
    EXPECT_EQ(HexRow(clipped), Hex({Px(9, 9, 9, 255), Untouched}));

    // CopyKeyedRectAt32: whole pixels of an inclusive rect; a key with another alpha is no key.
    vcl::TPixels32 img = Image(4, 2, [](int x, int y) { return Px(x, y, 50, 60); });
    img.At(2, 1) = KeyPixel;
    img.At(1, 1) = 0x55FF00FF;
    vcl::TPixels32 at(3, 3, Untouched);
    CopyKeyedRectAt32(at.View(), img.View(), 1, 1, {1, 0, 3, 1}, vcl::clFuchsia);
    EXPECT_EQ(HexRow(at, 1) + " / " + HexRow(at, 2),
              Hex({Untouched, Px(1, 0, 50, 60), Px(2, 0, 50, 60)}) + " / " + Hex({Untouched, 0x55FF00FF, Untouched}));
    vcl::TPixels32 edge(3, 2, Untouched);
    CopyKeyedRectAt32(edge.View(), img.View(), 0, -1, {-1, -1, 9, 9}, vcl::clFuchsia);
    EXPECT_EQ(HexRow(edge), Hex({Untouched, Px(0, 0, 50, 60), Px(1, 0, 50, 60)}));
}

TEST(CopyKeyedRectWithBg32, KeyPixelsTakeTheBackground) {
    vcl::TPixels32 src = Row({Px(5, 6, 7, 8), KeyPixel});
    vcl::TPixels32 bg = Image(4, 4, [](int x, int y) { return Px(x, y, 40, 41); });
    const struct {
        bool CopyBg, UseBmp, IntoBackground;  // the background image is the destination itself
        std::uint32_t Plain, Key;
    } cases[] = {{true, true, true, Px(5, 6, 7, 255), Untouched},
                 {true, true, false, Px(5, 6, 7, 8), Px(3, 2, 40, 41)},  // background at (1 + 2, 1 + 1)
                 {false, true, false, Px(5, 6, 7, 8), Untouched},
                 {true, false, false, Px(5, 6, 7, 8), Px(0x33, 0x66, 0x99, 0)},
                 {false, false, false, Px(5, 6, 7, 8), Px(0x33, 0x66, 0x99, 0)}};
    for (const auto &c : cases) {
        vcl::TPixels32 dst(3, 2, Untouched);
        const TBgPixels info{c.IntoBackground ? dst.View() : bg.View(), 1, 1, 0x336699, c.UseBmp};
        CopyKeyedRectWithBg32(dst.View(), src.View(), 1, 1, {0, 0, 1, 0}, KeyPixel, info, c.CopyBg);
        EXPECT_EQ(HexRow(dst, 1), Hex({Untouched, c.Plain, c.Key})) << c.CopyBg << c.UseBmp << c.IntoBackground;
    }
    // The source rect is cut to (0, 0, 2, 2) inclusive; its first pixel goes to (-1, 0).
    vcl::TPixels32 grid = Image(3, 3, [](int x, int y) { return Px(x, y, 1, 1); });
    vcl::TPixels32 dst(2, 2, Untouched);
    CopyKeyedRectWithBg32(dst.View(), grid.View(), -1, 0, {-4, -4, 9, 9}, KeyPixel, NoBackground, false);
    EXPECT_EQ(HexRow(dst, 1), Hex({Px(1, 1, 1, 1), Px(2, 1, 1, 1)}));
}

TEST(BlendRect32ByRatio, RoundsHalfToEvenSkipsTheTransparentValueAndClips) {
    // d = round(s - (s - d) * t), ties to even; alpha kept.
    const struct {
        int S, D;
        double Ratio;
        int Out;
    } cases[] = {{0, 5, 0.5, 2}, {0, 7, 0.5, 4}, {100, 200, 0.4, 140}, {100, 200, 0, 100}, {0, 255, 2.0, 255}};
    for (const auto &c : cases) {
        vcl::TPixels32 dst(1, 1, Px(c.D, c.D, c.D, 33)), src(1, 1, Px(c.S, c.S, c.S, 99));
        BlendRect32ByRatio(dst.View(), 0, 0, src.View(), {0, 0, 1, 1}, c.Ratio, KeyPixel);
        EXPECT_EQ(dst.At(0, 0), Px(c.Out, c.Out, c.Out, 33)) << c.S << " " << c.D << " " << c.Ratio;
    }
    // Placed at (-1, -1): the key at source (1, 1) lands on (0, 0) and is skipped.
    vcl::TPixels32 src = Image(3, 3, [](int x, int y) { return x == 1 && y == 1 ? KeyPixel : Px(100, 100, 100, 5); });
    vcl::TPixels32 dst(2, 2, Px(0, 0, 0, 7));
    BlendRect32ByRatio(dst.View(), -1, -1, src.View(), {0, 0, 3, 3}, 0.5, KeyPixel);
    EXPECT_EQ(HexRow(dst, 0) + " " + HexRow(dst, 1),
              Hex({Px(0, 0, 0, 7), Px(50, 50, 50, 7), Px(50, 50, 50, 7), Px(50, 50, 50, 7)}));
}

TEST(BlendRect32ByAlpha, MixesAllFourChannelsOfAnInclusiveRect) {
    vcl::TPixels32 src = Image(3, 2, [](int x, int y) { return Px(200, 100, 10 * x, 50 + y); });
    vcl::TPixels32 dst(3, 2, 0);
    // t = 0 copies the source, alpha included, to (0, 0).
    BlendRect32ByAlpha(dst.View(), src.View(), 0, {1, 0, 2, 1}, {0, 0});
    EXPECT_EQ(HexRow(dst, 1), Hex({Px(200, 100, 10, 51), Px(200, 100, 20, 51), 0}));
    // (t * (d - s) + s * 256) >> 8 with t = 255: 100 stays 100 over 200 and 100 but drops to 99 over 0.
    vcl::TPixels32 keep(1, 1, Px(100, 100, 100, 100));
    BlendRect32ByAlpha(keep.View(), src.View(), 255, {0, 0, 0, 0}, {0, 0});
    EXPECT_EQ(keep.At(0, 0), Px(100, 100, 99, 99));
}

TEST(FadeAndColorize, MoveTowardTheColour) {
    // round((c - k) * 0.5 + k): blue 2.5 -> 2, red 0 toward 200: 100; the key stays.
    vcl::TPixels32 img = Row({Px(5, 100, 0, 9), KeyPixel, 0xFFFF00FF});
    FadeBitmapToColor(img.View(), 0x0000C8, 0.5);
    EXPECT_EQ(HexRow(img), Hex({Px(2, 50, 100, 9), KeyPixel, Px(128, 0, 228, 0xFF)}));

    // (k * 256 + (a - k) * m) >> 8 by the mask's channel: green 200 * 255 >> 8 = 199; white skips.
    vcl::TPixels32 a(3, 1, Px(200, 200, 200, 77));
    vcl::TPixels32 m = Row({0xFFFFFFFF, Px(0, 0, 0, 0), Px(128, 255, 64, 0)});
    ColorizeByMask32(a.View(), m.View(), 0x000064);
    const std::string coloured = Hex({Px(200, 200, 200, 77), Px(0, 0, 100, 77), Px(100, 199, 125, 77)});
    EXPECT_EQ(HexRow(a), coloured);
    vcl::TPixels32 other(2, 1, 0);
    ColorizeByMask32(a.View(), other.View(), 0);
    EXPECT_EQ(HexRow(a), coloured);
}

TEST(MixBitmaps32, WeightRunsFromBToAOnlyForFittingSizes) {
    vcl::TPixels32 a(2, 1, Px(200, 100, 0, 1)), b(2, 1, Px(0, 100, 200, 2));
    const auto mix = [&](int weight, const vcl::TBitmapView *w = nullptr) {
        vcl::TPixels32 dst(3, 1, Px(9, 9, 9, 99));
        MixBitmaps32(dst.View(), a.View(), b.View(), w, weight);
        return HexRow(dst);
    };
    EXPECT_EQ(mix(0), Hex({Px(0, 100, 200, 99), Px(0, 100, 200, 99), Px(9, 9, 9, 99)}));
    EXPECT_EQ(mix(256), Hex({Px(200, 100, 0, 99), Px(200, 100, 0, 99), Px(9, 9, 9, 99)}));
    // ((a - b) * 255 + b * 256) >> 8: 199, 100, 0 (/ 255: 200).
    EXPECT_EQ(mix(255), Hex({Px(199, 100, 0, 99), Px(199, 100, 0, 99), Px(9, 9, 9, 99)}));
    // Per channel from W: blue and green 0 give b, red 128 gives (200 * 128) >> 8 = 100.
    vcl::TPixels32 w(2, 1, Px(0, 0, 128, 0)), tiny(1, 1, 0);
    const vcl::TBitmapView weights = w.View(), tinyWeights = tiny.View();
    EXPECT_EQ(mix(256, &weights), Hex({Px(0, 100, 100, 99), Px(0, 100, 100, 99), Px(9, 9, 9, 99)}));
    EXPECT_EQ(mix(256, &tinyWeights), Hex({Px(9, 9, 9, 99), Px(9, 9, 9, 99), Px(9, 9, 9, 99)}));
    vcl::TPixels32 tall(2, 2, 0), small(1, 1, Untouched);
    MixBitmaps32(small.View(), a.View(), b.View(), nullptr, 256);
    MixBitmaps32(small.View(), tall.View(), b.View(), nullptr, 256);
    EXPECT_EQ(small.At(0, 0), Untouched);
}

} // namespace
} // namespace skin
