// Gradients on class-library bitmaps: the band modes as the portable painter
// paints them, the triangle mode through the system's GradientFill.
#include "skin/graphics/vlGradientFill.h"

#include <gtest/gtest.h>

#include "BitmapTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"

using namespace skin;
using skin::test::Hex;
using skin::test::Px;

namespace {

constexpr std::uint32_t Back = 0x12345678;

std::unique_ptr<vcl::TBitmap> Canvas10() { return skin::test::Plain32(10, 10, Back); }

TsGradArray Stops(std::initializer_list<vcl::TColor> colours, int mode) {
    TsGradArray stops;
    for (vcl::TColor c : colours) stops.push_back({c, c, 20, mode, 0});
    return stops;
}

} // namespace

TEST(GradientFill, BandModesPaintAsThePortablePainter) {
    for (int mode : {gmVertical, gmHorizontal}) {
        TsGradArray stops;
        ParseGradient("255;16711680;50;" + std::to_string(mode) + ";0;65280;255;50;0;0", stops);
        auto bmp = Canvas10();
        vcl::TPixels32 expected(10, 10, Back);
        PaintGradient(expected.View(), {1, 2, 9, 9}, stops);
        PaintGradient(*bmp, {1, 2, 9, 9}, stops);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ASSERT_EQ(bmp->View().At(x, y), expected.At(x, y)) << "mode " << mode << " at " << x << "," << y;
    }
}

TEST(GradientFill, TrianglesTakeTheStopColoursAtTheVertices) {
    ASSERT_TRUE(GradientFillAvailable());
    auto bmp = Canvas10();
    // Three stops: the bottom-right and bottom-left vertices repeat the third.
    // The rect reaches outside the bitmap and is clipped first.
    PaintGradient(*bmp, {-4, -4, 8, 8}, Stops({vcl::clRed, vcl::clLime, vcl::clBlue}, gmTriangles));
    const vcl::TBitmapView v = bmp->View();
    EXPECT_EQ(v.At(0, 0), Px(0, 0, 255, 255)) << Hex(v.At(0, 0));  // V0: stop 0
    EXPECT_EQ(v.At(4, 4), Px(0, 255, 0, 255)) << Hex(v.At(4, 4));  // V1, the centre: stop 1
    const vcl::TBGRA corner = v.RowBGRA(7)[7];                     // between V1 and V3 (stop 2)
    EXPECT_EQ(corner.R, 0);
    EXPECT_GT(corner.B, corner.G);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if (x < 8 && y < 8)
                EXPECT_EQ(v.RowBGRA(y)[x].A, 255) << x << "," << y;
            else
                EXPECT_EQ(v.At(x, y), Back) << x << "," << y;
        }
}

TEST(GradientFill, UnknownModesEmptyRectsAndNoStopsPaintNothing) {
    auto bmp = Canvas10();
    PaintGradient(*bmp, {0, 0, 10, 10}, Stops({vcl::clRed}, 3));
    PaintGradient(*bmp, {5, 5, 5, 9}, Stops({vcl::clRed}, gmTriangles));
    PaintGradient(*bmp, {20, 20, 30, 30}, Stops({vcl::clRed}, gmTriangles));
    PaintGradient(*bmp, {0, 0, 10, 10}, TsGradArray{});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(bmp->View().At(x, y), Back);
}
