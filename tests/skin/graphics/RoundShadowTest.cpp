// The rounded shadow under Wine: GDI draws the graded levels, the pixel core
// colours the image by them. The straight middle of each side is checked
// pixel for pixel; the rounded corners are GDI's.
#include "skin/graphics/vlAlphaBlending.h"

#include <gtest/gtest.h>

#include <array>

#include "BitmapTestSupport.h"

using namespace skin;
using skin::test::ExpectPixels;
using skin::test::Hex;
using skin::test::Plain32;
using skin::test::Px;

namespace {

constexpr std::uint32_t Back = Px(200, 100, 50, 255);
constexpr vcl::TColor Shadow = 0x000080;  // red 128

// Back moved toward the shadow by a mask grey g: (k * 256 + (c - k) * g) >> 8.
std::uint32_t Shaded(int g) {
    if (g == 255) return Back;  // white keeps the pixel
    const auto mix = [g](int c, int k) { return (k * 256 + (c - k) * g) >> 8; };
    return Px(mix(200, 0), mix(100, 0), mix(50, 128), 255);
}

} // namespace

TEST(PaintRoundShadow, LevelsDarkenTowardTheMiddle) {
    auto bmp = Plain32(50, 40, Back);
    // Transparency 20 %: a = 51, step (255 - 51) / 6 = 34. The outermost
    // level is white; each next level is 34 darker; the middle is a.
    PaintRoundShadow(*bmp, {5, 5, 45, 35}, 20, Shadow, 5, 8);
    const std::array<int, 6> greys{255, 221, 187, 153, 119, 51};
    const auto grey = [&](int distance) { return greys[std::min(distance, 5)]; };
    const vcl::TBitmapView v = bmp->View();
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(Hex(v.At(5 + x, 20)), Hex(Shaded(grey(std::min(x, 39 - x))))) << "middle row, x " << x;
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(Hex(v.At(25, 5 + y)), Hex(Shaded(grey(std::min(y, 29 - y))))) << "middle column, y " << y;
    // Outside the rounded corners the mask stays white.
    EXPECT_EQ(Hex(v.At(5, 5)), Hex(Back));
    EXPECT_EQ(Hex(v.At(44, 34)), Hex(Back));
}

TEST(PaintRoundShadow, OnlyTheRectChanges) {
    auto bmp = Plain32(30, 20, Back);
    const vcl::TRect r{-4, 3, 21, 17};
    PaintRoundShadow(*bmp, r, 0, Shadow, 3, 4);
    ExpectPixels(*bmp, [&](int x, int y) {
        const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
        return inside ? bmp->View().At(x, y) : Back;
    });
    EXPECT_NE(Hex(bmp->View().At(10, 10)), Hex(Back));
}

TEST(PaintRoundShadow, WithoutLevelsTheWholeRectTakesOneGrey) {
    auto bmp = Plain32(12, 10, Back);
    // Transparency 0: the colour replaces every pixel, corners included.
    PaintRoundShadow(*bmp, {2, 2, 10, 8}, 0, Shadow, 0, 3);
    ExpectPixels(*bmp, [](int x, int y) {
        const bool inside = x >= 2 && x < 10 && y >= 2 && y < 8;
        return inside ? Px(0, 0, 128, 255) : Back;
    });
}

TEST(PaintRoundShadow, FullTransparencyOrNoAreaChangesNothing) {
    auto bmp = Plain32(12, 10, Back);
    PaintRoundShadow(*bmp, {0, 0, 12, 10}, 100, Shadow, 4, 3);
    PaintRoundShadow(*bmp, {5, 5, 5, 9}, 0, Shadow, 4, 3);
    PaintRoundShadow(*bmp, {0, 0, 12, 10}, 0, Shadow, -1, 3);
    ExpectPixels(*bmp, [](int, int) { return Back; });
}

TEST(PaintRoundShadow, LevelsAndCornerAreLimitedByHalfTheRect) {
    // A rect 9 high has room for four levels and a corner of four.
    auto asked = Plain32(20, 9, Back);
    auto limited = Plain32(20, 9, Back);
    PaintRoundShadow(*asked, {0, 0, 20, 9}, 10, Shadow, 10, 50);
    PaintRoundShadow(*limited, {0, 0, 20, 9}, 10, Shadow, 4, 4);
    ExpectPixels(*asked, [&](int x, int y) { return limited->View().At(x, y); });
    // a = 25, step 230 / 5 = 46: the second level of the middle row.
    EXPECT_EQ(Hex(asked->View().At(1, 4)), Hex(Shaded(25 + 4 * 46)));
}

TEST(PaintRoundShadow, OtherPixelFormatsAreShadedToo) {
    vcl::TBitmap rgb;
    rgb.SetPixelFormat(vcl::pf24bit);
    rgb.SetSize(8, 6);
    rgb.Canvas()->Brush()->SetColor(0x3264C8);  // Back's colour
    rgb.Canvas()->FillRect({0, 0, 8, 6});
    PaintRoundShadow(rgb, {0, 0, 8, 6}, 0, Shadow, 0, 0);
    EXPECT_EQ(rgb.PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(rgb.Canvas()->Pixels(3, 3), Shadow);
}
