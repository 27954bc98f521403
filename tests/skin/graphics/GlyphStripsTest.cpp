#include <gtest/gtest.h>

#include <set>

#include "TestSkin.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlPixelHelpers.h"

namespace skin {
namespace {

using test::At;
using test::Px;
using test::TTestSkin;

constexpr std::uint32_t Back = Px(1, 2, 3, 255);

TEST(GlyphStateFrame, ChoosesTheFrameOfEachState) {
    const struct {
        int count;
        bool enabled;
        int kind, shift;
        bool plain;
        int frame;
    } cases[] = {
        {4, true, 0, 0, false, 0}, {4, false, 2, 0, false, 0}, {4, true, 1, 0, false, 1},
        {4, true, 1, 0, true, 0},   // a 4-bit glyph, no manager or the standard order: no hot frame
        {4, true, 2, 1, false, 3},  // pressed, moved on by DownShift
        {2, true, 2, 0, false, 1}, {2, true, 2, 0, true, 0}, {4, true, 2, -5, false, 2},
        {3, true, 3, 0, false, 2}, {2, true, 3, 0, false, 0}, {1, true, 2, 0, false, 0},
        {0, true, 1, 0, false, 0},  // no frames counts as one
    };
    for (const auto &c : cases)
        EXPECT_EQ(GlyphStateFrame(c.count, c.enabled, c.kind, c.shift, c.plain), c.frame)
            << c.count << " frames, kind " << c.kind << ", shift " << c.shift << ", plain " << c.plain;
}

TEST(DrawGlyphState, ADisabledFrameBlendsAroundItsOwnKeyColour) {
    // Two 2 x 2 frames; frame 0's bottom row is its key (green), its top
    // right pixel magenta, which this frame does not treat as a hole.
    vcl::TPixels32 glyph(4, 2, Px(9, 9, 9, 0));
    glyph.At(0, 0) = Px(100, 100, 100, 0);
    glyph.At(1, 0) = KeyPixel;
    glyph.At(0, 1) = glyph.At(1, 1) = Px(0, 255, 0, 0);
    vcl::TPixels32 dst(2, 2, Px(200, 200, 200, 255));
    DrawGlyphState(glyph.View(), dst.View(), {0, 0, 2, 2}, 2, false, 0, 40, 0, false);
    // d = round(s - (s - d) * 0.4): 40 percent of the destination stays.
    EXPECT_EQ(dst.At(0, 0), Px(140, 140, 140, 255));
    EXPECT_EQ(dst.At(1, 0), Px(233, 80, 233, 255));
    EXPECT_EQ(dst.At(0, 1), Px(200, 200, 200, 255));
    vcl::TPixels32 whole(4, 2, Back);
    DrawGlyphState(glyph.View(), whole.View(), {0, 0, 4, 2}, 0, true, 2, 0, 0, false);  // 0 frames: one
    EXPECT_EQ(whole.At(3, 0), Px(9, 9, 9, 0));
}

TEST(DrawGlyphReflection, FadesDownwardAndSkipsRowsOutsideTheSource) {
    // A 1 x 6 source, its row 4 the key; n = 3 rows below the first, t = 127, 56, 14, 0.
    vcl::TPixels32 src(1, 6, Px(200, 0, 0, 255));
    src.At(0, 4) = Px(0, 255, 0, 0);
    const struct {
        vcl::TRect rect;
        int percent;
        int blue[5];
    } cases[] = {
        {{0, 0, 0, 5}, 0, {99, 0, 10, 0, 0}},   // rows 5, 4 (key), 3, 2 of the source
        {{0, 0, 0, 5}, 50, {49, 0, 5, 0, 0}},
        {{0, -2, 0, 5}, 0, {0, 0, 10, 0, 0}},   // rows 7 and 6 do not exist: left out
    };
    for (const auto &c : cases) {
        vcl::TPixels32 dst(1, 10, Px(0, 0, 0, 77));
        DrawGlyphReflection(dst.View(), src.View(), {0, 0}, c.rect, 0x00FF00, c.percent);
        for (int y = 0; y < 5; ++y) EXPECT_EQ(dst.At(0, y), Px(c.blue[y], 0, 0, 77)) << c.rect.Top << " " << y;
    }
}

// The arrow in an 11 x 11 rect as a picture of columns 1..9 and rows 2..9.
std::string Arrow(int direction) {
    std::string out(8 * 10, '.');
    for (int y = 0; y < 8; ++y) out[static_cast<std::size_t>(y * 10 + 9)] = '\n';
    for (const vcl::TPoint &p : ScrollArrowPixels({0, 0, 11, 11}, direction))
        out.at(static_cast<std::size_t>((p.Y - 2) * 10 + p.X - 1)) = '#';
    return out;
}

// The arrow's pixels, mirrored when asked: x to 11 - x, y to 9 - y.
std::set<std::pair<int, int>> Points(int direction, bool flipX = false, bool flipY = false) {
    std::set<std::pair<int, int>> points;
    for (const vcl::TPoint &p : ScrollArrowPixels({0, 0, 11, 11}, direction))
        points.insert({flipX ? 11 - p.X : p.X, flipY ? 9 - p.Y : p.Y});
    return points;
}

TEST(DrawScrollArrowGlyph, ElevenByElevenArrowsStandWhereTheyShould) {
    // Up: the base row at y 6 from x 2 to 8, the tip at (5, 3).
    EXPECT_EQ(Arrow(adUp), ".........\n....#....\n...###...\n..#####..\n.#######.\n.........\n.........\n.........\n");
    EXPECT_EQ(Arrow(adLeft), ".........\n......#..\n.....##..\n....###..\n...####..\n....###..\n.....##..\n......#..\n");
    EXPECT_EQ(Points(adDown, false, true), Points(adUp));
    EXPECT_EQ(Points(adRight, true, false), Points(adLeft));
    EXPECT_TRUE(ScrollArrowPixels({0, 0, 11, 11}, 4).empty());
}

TEST(DrawNinePartImage, CornersStopAtTheLimitsAndSidesTileOrStretch) {
    TTestSkin skin;  // the source: a 10 x 10 image at the master's origin, margins 3
    const struct {
        vcl::TRect dst, limits;
        std::array<int, 4> modes;
        bool centre;
        std::vector<std::tuple<int, int, std::uint32_t>> pixels;
    } cases[] = {
        {{0, 0, 14, 12}, {1, 1, 1, 1}, {npTile, npStretch, npTile, 9}, false,
         {{2, 0, At(2, 0)}, {0, 2, At(0, 2)}, {1, 1, Back},  // an L-shaped corner
          {0, 7, At(0, 3)}, {0, 8, At(0, 4)}, {1, 5, Back},   // the left side tiled, a limit thick
          {4, 0, At(3, 0)}, {5, 0, At(4, 0)}, {10, 0, At(6, 0)},  // the top stretched 4 to 8
          {13, 7, At(9, 3)}, {5, 11, Back},                   // right tiled, bottom left out
          {0, 9, At(0, 7)}, {2, 11, At(2, 9)}, {11, 11, At(7, 9)}, {12, 1, Back}, {6, 6, Back}}},
        {{0, 0, 14, 12}, {5, 5, 5, 5}, {npTile, npTile, npTile, npTile}, true,
         {{1, 1, At(1, 1)}, {6, 6, At(6, 6)}, {8, 8, At(4, 4)}, {12, 10, At(8, 8)}}},
        {{2, 2, 4, 4}, {5, 5, 5, 5}, {npTile, npTile, npTile, npTile}, true,
         {{2, 2, At(8, 8)}, {3, 3, At(9, 9)}, {4, 2, Back}, {2, 4, Back}}},  // margins wider than the rect
    };
    for (const auto &c : cases) {
        vcl::TPixels32 dst(16, 14, Back);
        DrawNinePartImage(dst.View(), skin.Master.View(), c.dst, {0, 0, 10, 10}, {3, 3, 3, 3}, c.limits, c.modes,
                          false, c.centre);
        for (const auto &[x, y, want] : c.pixels) EXPECT_EQ(dst.At(x, y), want) << x << ", " << y;
    }
}

TEST(GetMaskCornerRects, FindsTheKeyRunsOfTheFirstImageOnly) {
    TTestSkin skin;
    // Two 6 x 4 images over their masks (rows 4..7); margins 2.
    const int m = skin.AddMask({0, 0, 12, 8}, 2, 1, 2, 2, 2, 2);
    for (const auto &[x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{5, 0}, std::pair{0, 1}, std::pair{0, 3},
                              std::pair{6, 0}, std::pair{7, 0}})
        skin.Master.At(x, y) = KeyPixel;
    TAOR top, bottom;
    GetMaskCornerRects(top, 20, skin.Masks[m], 10, false);
    GetMaskCornerRects(bottom, 20, skin.Masks[m], 30, true);
    EXPECT_EQ(top, (TAOR{{0, 10, 2, 11}, {19, 10, 20, 11}, {0, 11, 1, 12}}));
    EXPECT_EQ(bottom, (TAOR{{0, 31, 1, 32}}));
    // A rect reaching past the picture's width, or a band past its height, gives nothing.
    skin.Masks[m].ImageCount = 1;
    for (const vcl::TRect r : {vcl::TRect{90, 0, 102, 8}, vcl::TRect{-2, 0, 10, 8}, vcl::TRect{0, 63, 12, 71}}) {
        skin.Masks[m].R = r;
        TAOR rects;
        GetMaskCornerRects(rects, 20, skin.Masks[m], 0, false);
        EXPECT_TRUE(rects.empty()) << r.Left << ", " << r.Top;
    }
}

} // namespace
} // namespace skin
