#include <gtest/gtest.h>

#include <vector>

#include "PixelTestSupport.h"
#include "skin/graphics/vlGradients.h"
#include "vcl/System.h"

namespace skin {
namespace {

using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);

// The red channel of the pixels along column X (Vertical) or row X, -1
// where a pixel is untouched; painted pixels must be opaque.
std::vector<int> Reds(const vcl::TPixels32 &img, int x, bool vertical = true) {
    std::vector<int> v;
    for (int i = 0; i < (vertical ? img.Height() : img.Width()); ++i) {
        const std::uint32_t p = vertical ? img.At(x, i) : img.At(i, x);
        v.push_back(p == Untouched ? -1 : (p >> 24 != 255 ? -2 : static_cast<int>((p >> 16) & 0xFF)));
    }
    return v;
}

TsGradArray Band(vcl::TColor from, vcl::TColor to, int percent, int mode = gmVertical) {
    return {{from, to, static_cast<std::uint8_t>(percent), mode}};
}

TsGradArray operator+(TsGradArray a, const TsGradArray &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ParseGradient, GroupsOfFiveFieldsGiveStops) {
    const struct {
        const char *Text;
        std::vector<std::array<int, 4>> Stops;  // colour 1, colour 2, percent, mode
    } cases[] = {
        {"255;16711680;50;0;0;65280;255;50;0;0", {{0xFF, 0xFF0000, 50, 0}, {0xFF00, 0xFF, 50, 0}}},
        {"1;2;150;1;0;3;4;-5;0;0", {{1, 2, 100, 1}, {3, 4, 0, 0}}},  // percents clamped to 0..100
        {"1;2;3;0;0;5;6;7;0", {{1, 2, 3, 0}}},                       // an incomplete last group is ignored
        {"1;2;3;0", {}},
        {";;1;;2;3;;;0;0;;", {{1, 2, 3, 0}}},                        // empty fields do not count
        {"", {}},
        {"$FF; 16;$64;0;0", {{0xFF, 0x10, 100, 0}}},
        {"1;2;3;0;junk", {{1, 2, 3, 0}}},                            // the fifth field is read by nobody
    };
    for (const auto &c : cases) {
        TsGradArray stops(3);
        ParseGradient(c.Text, stops);
        std::vector<std::array<int, 4>> got;
        for (const TsGradientStop &s : stops) got.push_back({s.Color1, s.Color2, s.Percent, s.Mode});
        EXPECT_EQ(got, c.Stops) << c.Text;
    }
    TsGradArray stops;
    ParseGradient(std::to_string(vcl::clBtnFace) + ";-16777201;10;0;0", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color1, vcl::ColorToRGB(vcl::clBtnFace));
    EXPECT_EQ(stops[0].Color2, vcl::ColorToRGB(vcl::clBtnFace));
}

TEST(ParseGradient, BadFieldRaisesWithEarlierStopsFilled) {
    TsGradArray stops;
    EXPECT_THROW(ParseGradient("7;8;9;0;0;12;x3;9;0;0", stops), vcl::EConvertError);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[1].Color1, 12);
    for (const char *bad : {"1;2;3; ;0", "1;2;3;4x;0", "1;2;$;0;0", "1;2;4294967296;0;0", "1;2;2147483648;0;0"})
        EXPECT_THROW(ParseGradient(bad, stops), vcl::EConvertError) << bad;
}

struct PaintCase {
    const char *Name;
    vcl::TSize Size;
    vcl::TRect R;
    TsGradArray Stops;
    int Offset;
    int Line;                // the column (vertical bands) or row checked
    std::vector<int> Expect;  // Reds along it
};

void PrintTo(const PaintCase &c, std::ostream *os) { *os << c.Name; }

class PaintGradientBands : public testing::TestWithParam<PaintCase> {};

TEST_P(PaintGradientBands, PaintsRoundedBands) {
    const PaintCase &c = GetParam();
    vcl::TPixels32 img(c.Size.cx, c.Size.cy, Untouched);
    PaintGradient(img.View(), c.R, c.Stops, c.Offset);
    const bool vertical = c.Stops.empty() || c.Stops[0].Mode != gmHorizontal;
    EXPECT_EQ(Reds(img, c.Line, vertical), c.Expect);
    // Every other column (row) of the rect is the same.
    for (int i = std::max(0, c.R.Left); vertical && i < std::min(c.Size.cx, c.R.Right); ++i)
        EXPECT_EQ(Reds(img, i), c.Expect) << "column " << i;
}

INSTANTIATE_TEST_SUITE_P(Table, PaintGradientBands, testing::Values(
    // 255 / 4 per row, half to even: 127.5 -> 128; a short single stop still runs to the bottom.
    PaintCase{"ShortStopRunsToTheBottom", {2, 5}, {0, 0, 2, 5}, Band(0, 0xFF, 30), 0, 0, {0, 64, 128, 191, 255}},
    PaintCase{"HalfToEven", {1, 3}, {0, 0, 1, 3}, Band(0, 5, 100), 0, 0, {0, 2, 5}},
    // The second band paints over the row the first one ends on.
    PaintCase{"NextBandOverTheSharedRow", {3, 10}, {0, 0, 3, 10}, Band(0, 0xFA, 50) + Band(0xFF00, 0xFF00, 50), 0,
              2, {0, 50, 100, 150, 200, 0, 0, 0, 0, 0}},
    PaintCase{"OneRowPaintsNothing", {4, 3}, {0, 1, 4, 2}, Band(0, 0xFFFFFF, 100), 0, 0, {-1, -1, -1}},
    // Clipped first, then measured on the clipped rect.
    PaintCase{"Clipped", {4, 4}, {-2, -2, 3, 3}, Band(0, 0xC8, 100), 0, 0, {0, 100, 200, -1}},
    // From row 3 - 6 to 7 in steps of 25.5: 153, 178.5 -> 178, 204, 229.5 -> 230.
    PaintCase{"NegativeOffsetStaysInTheRect", {2, 8}, {0, 3, 2, 8}, Band(0, 0xFF, 100), -6, 0,
              {-1, -1, -1, 153, 178, 204, 230, 255}},
    PaintCase{"AbsurdOffsetIsCut", {2, 4}, {0, 1, 2, 4}, Band(0, 0xFF, 100), -2000000000, 0, {-1, 255, 255, 255}},
    PaintCase{"NoStops", {3, 3}, {0, 0, 3, 3}, {}, 0, 0, {-1, -1, -1}},
    PaintCase{"UnknownMode", {3, 3}, {0, 0, 3, 3}, Band(0, 0xFFFFFF, 100, 7), 0, 0, {-1, -1, -1}},
    // The triangle mesh needs the system's gradient fill.
    PaintCase{"Triangles", {3, 3}, {0, 0, 3, 3}, Band(0, 0xFFFFFF, 100, gmTriangles), 0, 0, {-1, -1, -1}},
    // Horizontal bands: the top row is filled and copied down.
    PaintCase{"Horizontal", {5, 3}, {0, 0, 5, 3}, Band(0, 0xC8, 100, gmHorizontal), 0, 2, {0, 50, 100, 150, 200}},
    // 50 % of 5 columns is 2.5, rounded to 2: the first band ends in column 2.
    PaintCase{"HorizontalBandEndsHalfToEven", {5, 1}, {0, 0, 5, 1},
              Band(0, 0x64, 50, gmHorizontal) + Band(0xC8, 0xFA, 50), 0, 0, {0, 50, 200, 225, 250}},
    PaintCase{"OneColumnPaintsNothing", {3, 3}, {1, 0, 2, 3}, Band(0, 0xFFFFFF, 100, gmHorizontal), 0, 0,
              {-1, -1, -1}}));

TEST(PaintGradient, NothingWithoutRowsOrOnAnEmptyRect) {
    vcl::TPixels32 img(3, 3, Untouched);
    PaintGradient(img.View(), {2, 0, 2, 3}, Band(0, 0xFFFFFF, 100));
    PaintGradient(vcl::TBitmapView{}, {0, 0, 3, 3}, Band(0, 0xFFFFFF, 100));
    EXPECT_EQ(Reds(img, 2), (std::vector<int>{-1, -1, -1}));
}

TEST(GradientMesh, MissingStopsRepeatTheColourBefore) {
    const auto v = GradientMeshVertices({10, 20, 31, 61}, Band(0x11, 0, 0, gmTriangles) + Band(0x22, 0, 0) +
                                                              Band(0x33, 0, 0));
    std::vector<std::array<int, 3>> got;
    for (const TGradientVertex &x : v) got.push_back({x.X, x.Y, x.Color});
    EXPECT_EQ(got, (std::vector<std::array<int, 3>>{
                       {10, 20, 0x11}, {20, 40, 0x22}, {31, 20, 0x33}, {31, 61, 0x33}, {10, 61, 0x33}}));
}

TEST(PaintGradientBlended, MixesTheTiledTextureIntoEachBand) {
    // One-row texture over every row of horizontal bands: ((t - g) * 128 + g * 256) >> 8, g = red 100.
    vcl::TPixels32 img(4, 6, Untouched);
    vcl::TPixels32 tex(1, 1, Px(200, 0, 50, 0));
    PaintGradientBlended(img.View(), {0, 0, 4, 6}, Band(0x64, 0x64, 100, gmHorizontal), tex.View(), {}, 128, 77);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(img.At(3, y), Px(100, 0, 75, 77)) << y;

    // Horizontal mode repeats the texture every texture height: (255 * t) >> 8 over black.
    vcl::TPixels32 rows(2, 8, Untouched);
    vcl::TPixels32 three = Image(2, 3, [](int, int y) { return Px(100 * y, 100 * y, 100 * y, 0); });
    PaintGradientBlended(rows.View(), {0, 1, 2, 8}, Band(0, 0, 100, gmHorizontal), three.View(), {}, 255, 255);
    EXPECT_EQ(Reds(rows, 1), (std::vector<int>{-1, 99, 199, 0, 99, 199, 0, 99}));

    // Vertical mode: rows of red 0, 100, 200; black texture at weight 64 keeps 192/256.
    vcl::TPixels32 vertical(3, 3, Untouched);
    vcl::TPixels32 black(1, 1, Px(0, 0, 0, 0));
    PaintGradientBlended(vertical.View(), {0, 0, 3, 3}, Band(0, 0xC8, 100), black.View(), {}, 64, 255);
    EXPECT_EQ(Reds(vertical, 2), (std::vector<int>{0, 75, 150}));

    // Tiled from the image's origin, not the rect's: column 1 takes texture column 1.
    vcl::TPixels32 tall(4, 2, Untouched);
    vcl::TPixels32 ramp = Image(3, 1, [](int x, int) { return Px(0, 0, 100 * x, 0); });
    PaintGradientBlended(tall.View(), {1, 0, 4, 2}, Band(0, 0, 100), ramp.View(), {}, 255, 255);
    EXPECT_EQ(Reds(tall, 0, false), (std::vector<int>{-1, 99, 199, 0}));
}

TEST(PaintGradientBlended, TextureRectOutsideTheTextureReadsOnlyInside) {
    vcl::TPixels32 img(4, 4, Untouched);
    vcl::TPixels32 tex = Image(3, 3, [](int x, int y) { return Px(0, 0, 40 * y + 10 * x, 0); });
    // Left of and above the texture it starts at its corner; too wide and
    // too high it is cut to the texture less one pixel: 2 x 2 of the 3 x 3
    // repeat, each (255 * t) >> 8 over black.
    PaintGradientBlended(img.View(), {0, 0, 4, 4}, Band(0, 0, 100, gmHorizontal), tex.View(), {-3, -3, 5, 5}, 255,
                         255);
    EXPECT_EQ(Reds(img, 0), (std::vector<int>{0, 39, 0, 39}));
    EXPECT_EQ(Reds(img, 3), (std::vector<int>{9, 49, 9, 49}));
    vcl::TPixels32 tex2(2, 2, Px(10, 10, 10, 10));
    // Nothing of the texture left, no stops, no texture or the triangle mode: nothing painted.
    vcl::TPixels32 none(2, 2, Untouched);
    PaintGradientBlended(none.View(), {0, 0, 2, 2}, Band(0, 0, 100), tex2.View(), {1, 1, 9, 9}, 255, 255);
    PaintGradientBlended(none.View(), {0, 0, 2, 2}, Band(0, 0, 100), tex2.View(), {5, 5, 9, 9}, 255, 255);
    PaintGradientBlended(none.View(), {0, 0, 2, 2}, {}, tex2.View(), {}, 255, 255);
    PaintGradientBlended(none.View(), {0, 0, 2, 2}, Band(0, 0, 100), vcl::TBitmapView{}, {}, 255, 255);
    PaintGradientBlended(none.View(), {0, 0, 2, 2}, Band(0, 0, 100, gmTriangles), tex2.View(), {}, 255, 255);
    EXPECT_EQ(Reds(none, 1), (std::vector<int>{-1, -1}));
}

TEST(FillDwords, StoresNothingForCountsBelowOne) {
    std::uint32_t v[3] = {1, 2, 3};
    FillDwords(v, 0, 9);
    FillDwords(v, -4, 9);
    EXPECT_EQ(v[0], 1u);
    FillDwords(v, 2, 9);
    EXPECT_EQ((std::vector<std::uint32_t>(v, v + 3)), (std::vector<std::uint32_t>{9, 9, 3}));
}

} // namespace
} // namespace skin
