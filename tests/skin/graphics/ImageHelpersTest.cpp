#include <gtest/gtest.h>

#include <string>

#include "PixelTestSupport.h"
#include "skin/graphics/vlImageHelpers.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);

// ---- MixColors

TEST(MixColors, MixesTheThreeLowBytesAndKeepsTheFirstHighByte) {
    EXPECT_EQ(Hex(MixColors(0x0000FF, 0xFF0000, 0.4)), Hex(0x990066));
    EXPECT_EQ(Hex(MixColors(0x12000000, 0x34FFFFFF, 0.0)), Hex(0x12FFFFFF));
    EXPECT_EQ(Hex(MixColors(0x000301, 0x000000, 0.5)), Hex(0x000200));  // 1.5 -> 2, 0.5 -> 0
    EXPECT_EQ(Hex(MixColors(0x202020, 0x101010, 0.05)), Hex(0x111111));
    EXPECT_EQ(Hex(MixColors(0xFFFFFF, 0, 2.0)), Hex(0xFFFFFF));
}

// ---- CalcGlyphTextLayout

struct LayoutCase {
    const char *Name;
    vcl::TSize Glyph;
    int Layout;
    int HAlign;
    int Margin;
    int Spacing;
    unsigned BiDi;
    int VAlign;
    vcl::TPoint GlyphPos;
    vcl::TRect TextBounds;
};

void PrintTo(const LayoutCase &c, std::ostream *os) { *os << c.Name; }

class GlyphTextLayout : public testing::TestWithParam<LayoutCase> {};

// Client (10, 20, 110, 60): 100 x 40; caption 30 x 10.
TEST_P(GlyphTextLayout, PlacesGlyphAndCaption) {
    const LayoutCase &c = GetParam();
    vcl::TPoint glyph{-99, -99};
    vcl::TRect text{-99, -99, -99, -99};
    CalcGlyphTextLayout({10, 20, 110, 60}, c.Glyph, {30, 10}, c.Layout, c.HAlign, c.Margin, c.Spacing, glyph, text,
                        c.BiDi, c.VAlign);
    EXPECT_EQ(glyph, c.GlyphPos) << glyph.X << "," << glyph.Y;
    EXPECT_EQ(text, c.TextBounds) << text.Left << "," << text.Top << "," << text.Right << "," << text.Bottom;
}

INSTANTIATE_TEST_SUITE_P(Table, GlyphTextLayout, testing::Values(
    LayoutCase{"LeftCentredAutomatic", {16, 16}, glGlyphLeft, haCenter, -1, -1, 0, vaCenter, {28, 32}, {62, 35, 92, 45}},
    // The caption's rect reaches to the margin before the right edge.
    LayoutCase{"LeftAlignedLeft", {16, 16}, glGlyphLeft, haLeft, 4, 2, 0, vaCenter, {14, 32}, {32, 35, 106, 45}},
    LayoutCase{"LeftAlignedRight", {16, 16}, glGlyphLeft, haRight, 4, 2, 0, vaCenter, {58, 32}, {76, 35, 106, 45}},
    LayoutCase{"RightToLeftSwaps", {16, 16}, glGlyphLeft, haLeft, 4, 2, bdRightToLeft, vaCenter, {46, 32}, {14, 35, 44, 45}},
    // The caption's rect runs from the client's left to the glyph.
    LayoutCase{"RightAlignedRight", {16, 16}, glGlyphRight, haRight, 4, 2, 0, vaCenter, {90, 32}, {10, 35, 88, 45}},
    LayoutCase{"RightCentred", {16, 16}, glGlyphRight, haCenter, 4, 2, 0, vaCenter, {68, 32}, {36, 35, 66, 45}},
    LayoutCase{"AboveAutomatic", {16, 16}, glGlyphTop, haCenter, -1, -1, 0, vaCenter, {52, 25}, {45, 45, 75, 55}},
    LayoutCase{"BelowAutomatic", {16, 16}, glGlyphBottom, haCenter, -1, -1, 0, vaCenter, {52, 39}, {45, 25, 75, 35}},
    LayoutCase{"TopAligned", {16, 16}, glGlyphLeft, haLeft, 4, 2, 0, vaTop, {14, 24}, {32, 27, 106, 37}},
    LayoutCase{"BottomAligned", {16, 16}, glGlyphLeft, haLeft, 4, 2, 0, vaBottom, {14, 40}, {32, 43, 106, 53}},
    LayoutCase{"MarginFromSpacingCentred", {16, 16}, glGlyphLeft, haCenter, -1, 2, 0, vaCenter, {36, 32}, {54, 35, 84, 45}},
    LayoutCase{"MarginFromSpacingTop", {16, 16}, glGlyphLeft, haLeft, -1, 2, 0, vaTop, {12, 22}, {30, 25, 108, 35}},
    LayoutCase{"SpacingFromMargin", {16, 16}, glGlyphLeft, haLeft, 4, -1, 0, vaCenter, {14, 32}, {55, 35, 106, 45}},
    // Without a glyph there is no spacing.
    LayoutCase{"NoGlyph", {0, 0}, glGlyphLeft, haLeft, 4, 5, 0, vaCenter, {14, 40}, {14, 35, 106, 45}},
    // Halving truncates toward zero: (40 - 50 + 1) / 2 = -4.
    LayoutCase{"GlyphTallerThanClient", {8, 50}, glGlyphLeft, haLeft, 4, 2, 0, vaCenter, {14, 16}, {24, 35, 106, 45}}));

// ---- Texture painting

// Texture pixel (x, y) of a w x h texture.
std::uint32_t Tex(int x, int y) { return Px(10 * x, 10 * y, 200, 255); }

// Expects R of img tiled with the texture from (ox, oy) and everything else untouched.
void ExpectTiled(const vcl::TPixels32 &img, const vcl::TRect &r, int ox, int oy, int w, int h) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) {
            const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            const std::uint32_t expected = inside ? Tex(((x - ox) % w + w) % w, ((y - oy) % h + h) % h) : Untouched;
            ASSERT_EQ(Hex(img.At(x, y)), Hex(expected)) << "pixel " << x << "," << y;
        }
}

struct TileCase {
    int Mode;
    vcl::TRect R;
};

class TiledTexture : public testing::TestWithParam<TileCase> {};

TEST_P(TiledTexture, LeavesNoUnpaintedStrip) {
    const TileCase &c = GetParam();
    vcl::TPixels32 tex = Image(4, 3, Tex);
    vcl::TPixels32 img(16, 14, Untouched);
    vcl::TRect r = c.R;
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 4, 3}, c.Mode);
    EXPECT_EQ(r, (vcl::TRect{-1, -1, -1, -1}));
    ExpectTiled(img, c.R, c.R.Left, c.R.Top, 4, 3);
}

INSTANTIATE_TEST_SUITE_P(Table, TiledTexture, testing::Values(
    TileCase{tfTile, {1, 2, 9, 8}},    // the last tiles fit exactly
    TileCase{tfTile, {1, 2, 10, 9}},   // the last tiles are cut
    TileCase{tfTile, {2, 2, 5, 4}},    // smaller than one tile
    TileCase{tfTileAll, {1, 2, 9, 8}},
    TileCase{tfTileAll, {0, 0, 15, 13}}));

struct BandCase {
    int Mode;
    vcl::TRect Left;     // what the painter leaves the caller of {1, 1, 11, 9}
    vcl::TRect Painted;  // the band, tiled from its own top-left corner
};

class TiledBand : public testing::TestWithParam<BandCase> {};

TEST_P(TiledBand, PaintsTheBandAndLeavesTheRestOfTheRect) {
    const BandCase &c = GetParam();
    vcl::TPixels32 tex = Image(4, 3, Tex);
    vcl::TPixels32 img(12, 10, Untouched);
    vcl::TRect r{1, 1, 11, 9};
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 4, 3}, c.Mode);
    EXPECT_EQ(r, c.Left);
    ExpectTiled(img, c.Painted, c.Painted.Left, c.Painted.Top, 4, 3);
}

INSTANTIATE_TEST_SUITE_P(Table, TiledBand, testing::Values(
    BandCase{tfTileTop, {1, 4, 11, 9}, {1, 1, 11, 4}},
    BandCase{tfTileLeft, {5, 1, 11, 9}, {1, 1, 5, 9}},
    BandCase{tfTileBottom, {1, 1, 11, 6}, {1, 6, 11, 9}},
    BandCase{tfTileRight, {1, 1, 7, 9}, {7, 1, 11, 9}},
    BandCase{8, {1, 1, 7, 9}, {7, 1, 11, 9}},  // modes 8 and 9 paint like the right band
    BandCase{9, {1, 1, 7, 9}, {7, 1, 11, 9}}));

TEST(PaintTexture32, ABottomBandTallerThanTheRectShowsItsBottomRows) {
    vcl::TPixels32 tex = Image(4, 3, Tex);
    vcl::TPixels32 low(12, 10, Untouched);
    vcl::TRect flat{1, 5, 11, 7};
    PaintTexture32(low.View(), flat, tex.View(), {0, 0, 4, 3}, tfTileBottom);
    ExpectTiled(low, {1, 5, 11, 7}, 1, 4, 4, 3);
}

TEST(PaintTexture32, StretchPicksTheNearestTexturePixel) {
    vcl::TPixels32 tex = Image(2, 2, Tex);
    vcl::TPixels32 img(6, 6, Untouched);
    vcl::TRect r{1, 1, 5, 5};
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 2, 2}, tfStretch);
    EXPECT_EQ(r, (vcl::TRect{-1, -1, -1, -1}));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 5 && y >= 1 && y < 5;
            ASSERT_EQ(img.At(x, y), inside ? Tex((x - 1) / 2, (y - 1) / 2) : Untouched) << x << "," << y;
        }
}

TEST(PaintTexture32, StretchedBandsAcrossTopAndDownTheLeft) {
    vcl::TPixels32 tex = Image(2, 2, Tex);
    vcl::TPixels32 img(8, 6, Untouched);
    vcl::TRect top{0, 0, 8, 6};
    PaintTexture32(img.View(), top, tex.View(), {0, 0, 2, 2}, tfStretchTop);
    EXPECT_EQ(top, (vcl::TRect{0, 2, 8, 6}));
    EXPECT_EQ(img.At(3, 1), Tex(0, 1));
    EXPECT_EQ(img.At(4, 0), Tex(1, 0));
    EXPECT_EQ(img.At(4, 2), Untouched);

    vcl::TPixels32 img2(8, 6, Untouched);
    vcl::TRect left{0, 0, 8, 6};
    PaintTexture32(img2.View(), left, tex.View(), {0, 0, 2, 2}, tfStretchLeft);
    EXPECT_EQ(left, (vcl::TRect{2, 0, 8, 6}));
    EXPECT_EQ(img2.At(1, 2), Tex(1, 0));
    EXPECT_EQ(img2.At(0, 3), Tex(0, 1));
    EXPECT_EQ(img2.At(2, 3), Untouched);
}

TEST(PaintTexture32, StretchedRowsAndColumnsStopAtTheRect) {
    vcl::TPixels32 tex = Image(2, 2, Tex);
    vcl::TPixels32 img(6, 8, Untouched);
    vcl::TRect rows{1, 1, 5, 6};
    PaintTexture32(img.View(), rows, tex.View(), {0, 0, 2, 2}, tfStretchRows);
    EXPECT_EQ(rows, (vcl::TRect{-1, -1, -1, -1}));
    // Rows of 2 stretched to width 4; the third band is cut at the rect's bottom.
    EXPECT_EQ(img.At(2, 1), Tex(0, 0));
    EXPECT_EQ(img.At(3, 4), Tex(1, 1));
    EXPECT_EQ(img.At(4, 5), Tex(1, 0));
    EXPECT_EQ(img.At(4, 6), Untouched);

    vcl::TPixels32 img2(8, 6, Untouched);
    vcl::TRect columns{1, 1, 6, 5};
    PaintTexture32(img2.View(), columns, tex.View(), {0, 0, 2, 2}, tfStretchColumns);
    EXPECT_EQ(img2.At(1, 3), Tex(0, 1));
    EXPECT_EQ(img2.At(5, 4), Tex(0, 1));
    EXPECT_EQ(img2.At(6, 4), Untouched);
}

TEST(PaintTexture32, UsesTheTextureRectOfALargerImage) {
    vcl::TPixels32 tex = Image(6, 6, Tex);
    vcl::TPixels32 img(4, 4, Untouched);
    vcl::TRect r{0, 0, 4, 4};
    PaintTexture32(img.View(), r, tex.View(), {2, 3, 4, 5}, tfTile);
    EXPECT_EQ(img.At(0, 0), Tex(2, 3));
    EXPECT_EQ(img.At(3, 1), Tex(3, 4));
    EXPECT_EQ(img.At(2, 2), Tex(2, 3));
}

TEST(PaintTexture32, UnknownModeOrEmptyTexturePaintsNothing) {
    vcl::TPixels32 tex = Image(2, 2, Tex);
    vcl::TPixels32 img(4, 4, Untouched);
    vcl::TRect r{0, 0, 4, 4};
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 2, 2}, 13);
    EXPECT_EQ(r, (vcl::TRect{0, 0, 4, 4}));
    PaintTexture32(img.View(), r, tex.View(), {1, 1, 1, 2}, tfTile);
    PaintTexture32(img.View(), r, vcl::TBitmapView{}, {0, 0, 2, 2}, tfTile);
    EXPECT_EQ(r, (vcl::TRect{0, 0, 4, 4}));
    EXPECT_EQ(img.At(0, 0), Untouched);
    EXPECT_TRUE(CalcTextureBlocks(r, 0, 3, tfTile, {0, 0, 4, 4}).empty());
}

TEST(CalcTextureBlocks, HugeRectsListOnlyTheVisibleTiles) {
    vcl::TRect r{-1000001, -2000000, 2000000000, 2000000000};
    const auto blocks = CalcTextureBlocks(r, 4, 3, tfTile, {0, 0, 8, 6});
    // On the grid from (-1000001, -2000000): columns -1, 3, 7 and rows -2, 1, 4.
    ASSERT_EQ(blocks.size(), 3u * 3u);
    EXPECT_EQ(blocks.front(), (vcl::TRect{-1, -2, 3, 1}));
    EXPECT_EQ(blocks.back(), (vcl::TRect{7, 4, 11, 7}));

    vcl::TRect rows{0, -1000000, 10, 1000000};
    const auto bands = CalcTextureBlocks(rows, 4, 3, tfStretchRows, {0, 0, 10, 5});
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands.front(), (vcl::TRect{0, -1, 10, 2}));
    EXPECT_EQ(bands.back(), (vcl::TRect{0, 2, 10, 5}));
}

TEST(PaintTexture32, RectBeyondTheImageIsCut) {
    vcl::TPixels32 tex = Image(3, 3, Tex);
    vcl::TPixels32 img(4, 4, Untouched);
    vcl::TRect r{-2, -2, 9, 9};
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 3, 3}, tfTile);
    ExpectTiled(img, {0, 0, 4, 4}, -2, -2, 3, 3);
}

} // namespace
} // namespace skin
