#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

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
    vcl::TRect R, Left;         // the rect painted into and what the painter leaves the caller
    vcl::TRect Painted;          // tiled with a 4 x 3 texture
    vcl::TPoint Origin;          // of the tiling
};

class TiledTexture : public testing::TestWithParam<TileCase> {};

TEST_P(TiledTexture, PaintsTheTilesAndLeavesTheRest) {
    const TileCase &c = GetParam();
    vcl::TPixels32 tex = Image(4, 3, Tex);
    vcl::TPixels32 img(16, 14, Untouched);
    vcl::TRect r = c.R;
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 4, 3}, c.Mode);
    EXPECT_EQ(r, c.Left);
    ExpectTiled(img, c.Painted, c.Origin.X, c.Origin.Y, 4, 3);
}

constexpr vcl::TRect All{-1, -1, -1, -1};

INSTANTIATE_TEST_SUITE_P(Table, TiledTexture, testing::Values(
    TileCase{tfTile, {1, 2, 9, 8}, All, {1, 2, 9, 8}, {1, 2}},        // the last tiles fit exactly
    TileCase{tfTile, {1, 2, 10, 9}, All, {1, 2, 10, 9}, {1, 2}},      // the last tiles are cut
    TileCase{tfTile, {2, 2, 5, 4}, All, {2, 2, 5, 4}, {2, 2}},        // smaller than one tile
    TileCase{tfTile, {-2, -2, 20, 20}, All, {0, 0, 16, 14}, {-2, -2}},  // beyond the image
    TileCase{tfTileAll, {0, 0, 15, 13}, All, {0, 0, 15, 13}, {0, 0}},
    TileCase{tfTileTop, {1, 1, 11, 9}, {1, 4, 11, 9}, {1, 1, 11, 4}, {1, 1}},
    TileCase{tfTileLeft, {1, 1, 11, 9}, {5, 1, 11, 9}, {1, 1, 5, 9}, {1, 1}},
    TileCase{tfTileBottom, {1, 1, 11, 9}, {1, 1, 11, 6}, {1, 6, 11, 9}, {1, 6}},
    // A bottom band taller than the rect shows the texture's bottom rows.
    TileCase{tfTileBottom, {1, 5, 11, 7}, {1, 5, 11, 4}, {1, 5, 11, 7}, {1, 4}},
    TileCase{tfTileRight, {1, 1, 11, 9}, {1, 1, 7, 9}, {7, 1, 11, 9}, {7, 1}},
    TileCase{8, {1, 1, 11, 9}, {1, 1, 7, 9}, {7, 1, 11, 9}, {7, 1}},  // modes 8 and 9 paint like the right band
    TileCase{9, {1, 1, 11, 9}, {1, 1, 7, 9}, {7, 1, 11, 9}, {7, 1}}));

struct StretchCase {
    int Mode;
    vcl::TRect R, Left;
    // Pixels checked: x, y and the texture pixel expected there (-1: untouched).
    std::vector<std::array<int, 4>> Pixels;
};

class StretchedTexture : public testing::TestWithParam<StretchCase> {};

TEST_P(StretchedTexture, PicksTheNearestTexturePixel) {
    const StretchCase &c = GetParam();
    vcl::TPixels32 tex = Image(2, 2, Tex);
    vcl::TPixels32 img(8, 8, Untouched);
    vcl::TRect r = c.R;
    PaintTexture32(img.View(), r, tex.View(), {0, 0, 2, 2}, c.Mode);
    EXPECT_EQ(r, c.Left);
    for (const auto &p : c.Pixels)
        EXPECT_EQ(Hex(img.At(p[0], p[1])), Hex(p[2] < 0 ? Untouched : Tex(p[2], p[3]))) << p[0] << "," << p[1];
}

INSTANTIATE_TEST_SUITE_P(Table, StretchedTexture, testing::Values(
    StretchCase{tfStretch, {1, 1, 5, 5}, All, {{1, 1, 0, 0}, {2, 2, 0, 0}, {3, 2, 1, 0}, {4, 4, 1, 1}, {5, 4, -1, 0}}},
    StretchCase{tfStretchTop, {0, 0, 8, 6}, {0, 2, 8, 6}, {{3, 1, 0, 1}, {4, 0, 1, 0}, {4, 2, -1, 0}}},
    StretchCase{tfStretchLeft, {0, 0, 8, 6}, {2, 0, 8, 6}, {{1, 2, 1, 0}, {0, 3, 0, 1}, {2, 3, -1, 0}}},
    // Rows of 2 stretched to width 4; the third band is cut at the rect's bottom.
    StretchCase{tfStretchRows, {1, 1, 5, 6}, All, {{2, 1, 0, 0}, {3, 4, 1, 1}, {4, 5, 1, 0}, {4, 6, -1, 0}}},
    StretchCase{tfStretchColumns, {1, 1, 6, 5}, All, {{1, 3, 0, 1}, {5, 4, 0, 1}, {6, 4, -1, 0}}}));

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

} // namespace
} // namespace skin
