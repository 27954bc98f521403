#include <gtest/gtest.h>

#include <vector>

#include "PixelTestSupport.h"
#include "skin/graphics/vlGradients.h"
#include "vcl/System.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);

TsGradArray Stops(std::vector<TsGradientStop> stops) { return stops; }

// The red channel of column x in every row, or of every row in column x.
std::vector<int> RedColumn(const vcl::TPixels32 &img, int x) {
    std::vector<int> v;
    for (int y = 0; y < img.Height(); ++y) v.push_back(static_cast<int>((img.At(x, y) >> 16) & 0xFF));
    return v;
}
std::vector<int> RedRow(const vcl::TPixels32 &img, int y) {
    std::vector<int> v;
    for (int x = 0; x < img.Width(); ++x) v.push_back(static_cast<int>((img.At(x, y) >> 16) & 0xFF));
    return v;
}

// ---- ParseGradient

TEST(ParseGradient, TenFieldsGiveTwoStops) {
    TsGradArray stops;
    ParseGradient("255;16711680;50;0;0;65280;255;50;0;0", stops);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0].Color1, 0x0000FF);
    EXPECT_EQ(stops[0].Color2, 0xFF0000);
    EXPECT_EQ(stops[0].Percent, 50);
    EXPECT_EQ(stops[0].Mode, 0);
    EXPECT_EQ(stops[1].Color1, 0x00FF00);
    EXPECT_EQ(stops[1].Color2, 0x0000FF);
    EXPECT_EQ(stops[1].Percent, 50);
}

TEST(ParseGradient, PercentIsClampedToZeroToHundred) {
    TsGradArray stops;
    ParseGradient("1;2;150;1;0;3;4;-5;0;0", stops);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0].Percent, 100);
    EXPECT_EQ(stops[0].Mode, 1);
    EXPECT_EQ(stops[1].Percent, 0);
}

TEST(ParseGradient, FieldsAfterTheLastWholeGroupAreIgnored) {
    TsGradArray stops;
    ParseGradient("1;2;3;0;0;5;6;7;0", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color1, 1);
    ParseGradient("1;2;3;0", stops);
    EXPECT_TRUE(stops.empty());
}

TEST(ParseGradient, EmptyFieldsDoNotCount) {
    TsGradArray stops;
    ParseGradient(";;1;;2;3;;;0;0;;", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color2, 2);
    EXPECT_EQ(stops[0].Percent, 3);
    ParseGradient("", stops);
    EXPECT_TRUE(stops.empty());
}

TEST(ParseGradient, ReadsHexadecimalAndResolvesSystemColours) {
    TsGradArray stops;
    ParseGradient("$FF; 16;$64;0;0", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color1, 0xFF);
    EXPECT_EQ(stops[0].Color2, 0x10);
    EXPECT_EQ(stops[0].Percent, 100);

    ParseGradient(std::to_string(vcl::clBtnFace) + ";-16777201;10;0;0", stops);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].Color1, vcl::ColorToRGB(vcl::clBtnFace));
    EXPECT_EQ(stops[0].Color2, vcl::ColorToRGB(vcl::clBtnFace));
    EXPECT_GE(stops[0].Color1, 0);
}

TEST(ParseGradient, BadFieldRaisesWithEarlierStopsFilled) {
    TsGradArray stops;
    EXPECT_THROW(ParseGradient("7;8;9;0;0;12;x3;9;0;0", stops), vcl::EConvertError);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0].Color1, 7);
    EXPECT_EQ(stops[1].Color1, 12);

    for (const char *bad : {"1;2;3; ;0", "1;2;3;4x;0", "1;2;$;0;0", "1;2;4294967296;0;0", "1;2;2147483648;0;0"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseGradient(bad, stops), vcl::EConvertError);
    }
    // The fifth field of a group is read by nobody.
    EXPECT_NO_THROW(ParseGradient("1;2;3;0;junk", stops));
    ParseGradient("-2147483648;$FFFFFFFF;1;0;0", stops);
    EXPECT_EQ(stops[0].Color1, vcl::ColorToRGB(INT32_MIN));
}

// ---- PaintGradient, vertical bands

TEST(PaintGradient, SingleShortStopStillRunsToTheBottom) {
    vcl::TPixels32 img(2, 5, Untouched);
    PaintGradient(img.View(), {0, 0, 2, 5}, Stops({{0x000000, 0x0000FF, 30, gmVertical}}));
    // 255 / 4 per row, rounded half to even: 127.5 -> 128.
    EXPECT_EQ(RedColumn(img, 0), (std::vector<int>{0, 64, 128, 191, 255}));
    EXPECT_EQ(RedColumn(img, 1), RedColumn(img, 0));
    EXPECT_EQ(img.At(0, 4), Px(0, 0, 255, 255));
}

TEST(PaintGradient, RoundsRowColoursHalfToEven) {
    vcl::TPixels32 img(1, 3, Untouched);
    PaintGradient(img.View(), {0, 0, 1, 3}, Stops({{0x000000, 0x000005, 100, gmVertical}}));
    EXPECT_EQ(RedColumn(img, 0), (std::vector<int>{0, 2, 5}));
}

TEST(PaintGradient, NextBandPaintsOverTheSharedBoundaryRow) {
    vcl::TPixels32 img(3, 10, Untouched);
    PaintGradient(img.View(), {0, 0, 3, 10},
                  Stops({{0x000000, 0x0000FA, 50, gmVertical}, {0x00FF00, 0x00FF00, 50, gmVertical}}));
    EXPECT_EQ(RedColumn(img, 2), (std::vector<int>{0, 50, 100, 150, 200, 0, 0, 0, 0, 0}));
    for (int y = 5; y < 10; ++y) EXPECT_EQ(img.At(1, y), Px(0, 255, 0, 255)) << y;
}

TEST(PaintGradient, OnePixelHighRectPaintsNothing) {
    vcl::TPixels32 img(4, 3, Untouched);
    PaintGradient(img.View(), {0, 1, 4, 2}, Stops({{0, 0xFFFFFF, 100, gmVertical}}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(img.At(x, y), Untouched);
}

TEST(PaintGradient, ClipsToTheBitmapAndMeasuresTheClippedRect) {
    vcl::TPixels32 img(4, 4, Untouched);
    PaintGradient(img.View(), {-2, -2, 3, 3}, Stops({{0x000000, 0x0000C8, 100, gmVertical}}));
    EXPECT_EQ(RedColumn(img, 0), (std::vector<int>{0, 100, 200, 3}));
    EXPECT_EQ(img.At(3, 0), Untouched);
    EXPECT_EQ(img.At(2, 3), Untouched);
}

TEST(PaintGradient, NegativeOffsetNeverPaintsAboveTheRect) {
    vcl::TPixels32 img(2, 8, Untouched);
    PaintGradient(img.View(), {0, 3, 2, 8}, Stops({{0x000000, 0x0000FF, 100, gmVertical}}), -6);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(img.At(0, y), Untouched) << y;
    EXPECT_EQ(img.At(0, 7), Px(0, 0, 255, 255));

    // An absurd offset is cut to the rect at once.
    vcl::TPixels32 far(2, 4, Untouched);
    PaintGradient(far.View(), {0, 1, 2, 4}, Stops({{0x000000, 0x0000FF, 100, gmVertical}}), -2000000000);
    EXPECT_EQ(far.At(1, 0), Untouched);
    EXPECT_EQ(far.At(1, 3), Px(0, 0, 255, 255));
}

TEST(PaintGradient, NothingForEmptyStopsEmptyRectOrUnknownMode) {
    vcl::TPixels32 img(3, 3, Untouched);
    PaintGradient(img.View(), {0, 0, 3, 3}, {});
    PaintGradient(img.View(), {2, 0, 2, 3}, Stops({{0, 0xFFFFFF, 100, gmVertical}}));
    PaintGradient(img.View(), {0, 0, 3, 3}, Stops({{0, 0xFFFFFF, 100, 7}}));
    PaintGradient(vcl::TBitmapView{}, {0, 0, 3, 3}, Stops({{0, 0xFFFFFF, 100, gmVertical}}));
    // The triangle mesh needs the system's gradient fill.
    PaintGradient(img.View(), {0, 0, 3, 3}, Stops({{0, 0xFFFFFF, 100, gmTriangles}}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(img.At(x, y), Untouched);
}

// ---- PaintGradient, horizontal bands

TEST(PaintGradient, HorizontalBandsFillTheTopRowAndCopyItDown) {
    vcl::TPixels32 img(5, 3, Untouched);
    PaintGradient(img.View(), {0, 0, 5, 3}, Stops({{0x000000, 0x0000C8, 100, gmHorizontal}}));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(RedRow(img, y), (std::vector<int>{0, 50, 100, 150, 200})) << y;
    EXPECT_EQ(img.At(4, 2), Px(0, 0, 200, 255));
}

TEST(PaintGradient, HorizontalBandEndsRoundHalfToEven) {
    // 50 % of 5 columns is 2.5, which rounds to 2: the first band ends in column 2.
    vcl::TPixels32 img(5, 1, Untouched);
    PaintGradient(img.View(), {0, 0, 5, 1},
                  Stops({{0x000000, 0x000064, 50, gmHorizontal}, {0x0000C8, 0x0000FA, 50, gmHorizontal}}));
    EXPECT_EQ(RedRow(img, 0), (std::vector<int>{0, 50, 200, 225, 250}));
}

TEST(PaintGradient, OnePixelWideHorizontalRectPaintsNothing) {
    vcl::TPixels32 img(3, 3, Untouched);
    img.At(1, 0) = Px(9, 9, 9, 9);
    PaintGradient(img.View(), {1, 0, 2, 3}, Stops({{0, 0xFFFFFF, 100, gmHorizontal}}));
    EXPECT_EQ(img.At(1, 0), Px(9, 9, 9, 9));
    EXPECT_EQ(img.At(1, 1), Untouched);
    EXPECT_EQ(img.At(1, 2), Untouched);
}

// ---- The triangle mesh

TEST(GradientMesh, MissingStopsRepeatTheColourBefore) {
    const auto v = GradientMeshVertices({10, 20, 31, 61},
                                        Stops({{0x11, 0, 0, gmTriangles}, {0x22, 0, 0, 0}, {0x33, 0, 0, 0}}));
    EXPECT_EQ(v[0].X, 10);
    EXPECT_EQ(v[0].Y, 20);
    EXPECT_EQ(v[1].X, 20);
    EXPECT_EQ(v[1].Y, 40);
    EXPECT_EQ(v[2].X, 31);
    EXPECT_EQ(v[3].Y, 61);
    EXPECT_EQ(v[4].X, 10);
    EXPECT_EQ(v[0].Color, 0x11);
    EXPECT_EQ(v[1].Color, 0x22);
    EXPECT_EQ(v[2].Color, 0x33);
    EXPECT_EQ(v[3].Color, 0x33);
    EXPECT_EQ(v[4].Color, 0x33);
}

// ---- PaintGradientBlended

TEST(PaintGradientBlended, OneRowTextureFillsEveryRowWithoutLooping) {
    vcl::TPixels32 img(4, 6, Untouched);
    vcl::TPixels32 tex(1, 1, Px(200, 0, 50, 0));
    PaintGradientBlended(img.View(), {0, 0, 4, 6}, Stops({{0x000064, 0x000064, 100, gmHorizontal}}), tex.View(), {},
                         128, 77);
    // ((t - g) * 128 + g * 256) >> 8 per channel; g = red 100.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(img.At(x, y), Px(100, 0, 75, 77)) << x << "," << y;
}

TEST(PaintGradientBlended, HorizontalModeRepeatsTheTextureEveryTextureHeight) {
    vcl::TPixels32 img(2, 8, Untouched);
    // Texture rows 0, 100, 200 in every channel; with weight 255 over black
    // the result is (255 * t) >> 8.
    vcl::TPixels32 tex = Image(2, 3, [](int, int y) { return Px(100 * y, 100 * y, 100 * y, 0); });
    PaintGradientBlended(img.View(), {0, 1, 2, 8}, Stops({{0, 0, 100, gmHorizontal}}), tex.View(), {}, 255, 255);
    const int expected[3] = {0, 99, 199};
    EXPECT_EQ(img.At(0, 0), Untouched);
    for (int y = 1; y < 8; ++y) {
        const int v = expected[y % 3];
        EXPECT_EQ(img.At(1, y), Px(v, v, v, 255)) << "row " << y;
    }
}

TEST(PaintGradientBlended, VerticalModeMixesEachRowWithItsBandColour) {
    vcl::TPixels32 img(3, 3, Untouched);
    vcl::TPixels32 tex(1, 1, Px(0, 0, 0, 0));
    PaintGradientBlended(img.View(), {0, 0, 3, 3}, Stops({{0x000000, 0x0000C8, 100, gmVertical}}), tex.View(), {},
                         64, 255);
    // Rows get red 0, 100, 200; a black texture at weight 64 keeps 192/256 of it.
    EXPECT_EQ(RedColumn(img, 2), (std::vector<int>{0, 75, 150}));
}

TEST(PaintGradientBlended, TextureIsTiledFromTheBitmapOrigin) {
    vcl::TPixels32 img(4, 1, Untouched);
    vcl::TPixels32 tex = Image(3, 1, [](int x, int) { return Px(0, 0, 100 * x, 0); });
    PaintGradientBlended(img.View(), {1, 0, 4, 1}, Stops({{0, 0, 100, gmVertical}, {0, 0, 100, gmVertical}}),
                         tex.View(), {}, 255, 255);
    // A 1-row rect has no vertical band: nothing painted.
    EXPECT_EQ(img.At(1, 0), Untouched);

    vcl::TPixels32 tall(4, 2, Untouched);
    PaintGradientBlended(tall.View(), {1, 0, 4, 2}, Stops({{0, 0, 100, gmVertical}}), tex.View(), {}, 255, 255);
    EXPECT_EQ(RedRow(tall, 0), (std::vector<int>{3, 99, 199, 0}));
}

TEST(PaintGradientBlended, TextureRectOutsideTheTextureReadsOnlyInside) {
    vcl::TPixels32 img(4, 4, Untouched);
    vcl::TPixels32 tex(2, 2, Px(10, 10, 10, 10));
    // Starting left of and above the texture it starts at its corner; too
    // wide and too high it is cut to the texture less one pixel.
    PaintGradientBlended(img.View(), {0, 0, 4, 4}, Stops({{0, 0, 100, gmHorizontal}}), tex.View(), {-3, -3, 5, 5},
                         255, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(img.At(x, y), Px(9, 9, 9, 255)) << x << "," << y;
    // Nothing of the texture is left: nothing is painted.
    img.At(0, 0) = Untouched;
    PaintGradientBlended(img.View(), {0, 0, 4, 4}, Stops({{0, 0, 100, gmVertical}}), tex.View(), {1, 1, 9, 9}, 255,
                         255);
    PaintGradientBlended(img.View(), {0, 0, 4, 4}, Stops({{0, 0, 100, gmVertical}}), tex.View(), {5, 5, 9, 9}, 255,
                         255);
    EXPECT_EQ(img.At(0, 0), Untouched);
}

TEST(PaintGradientBlended, NothingWithoutStopsOrTexture) {
    vcl::TPixels32 img(2, 2, Untouched);
    vcl::TPixels32 tex(2, 2, 0);
    PaintGradientBlended(img.View(), {0, 0, 2, 2}, {}, tex.View(), {}, 255, 255);
    PaintGradientBlended(img.View(), {0, 0, 2, 2}, Stops({{0, 0, 100, gmVertical}}), vcl::TBitmapView{}, {}, 255,
                         255);
    PaintGradientBlended(img.View(), {0, 0, 2, 2}, Stops({{0, 0, 100, gmTriangles}}), tex.View(), {}, 255, 255);
    EXPECT_EQ(img.At(0, 0), Untouched);
    EXPECT_EQ(img.At(1, 1), Untouched);
}

TEST(FillDwords, StoresNothingForCountsBelowOne) {
    std::uint32_t v[3] = {1, 2, 3};
    FillDwords(v, 0, 9);
    FillDwords(v, -4, 9);
    EXPECT_EQ(v[0], 1u);
    FillDwords(v, 2, 9);
    EXPECT_EQ(v[0], 9u);
    EXPECT_EQ(v[1], 9u);
    EXPECT_EQ(v[2], 3u);
}

} // namespace
} // namespace skin
