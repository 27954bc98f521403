#include <gtest/gtest.h>

#include <string>

#include "PixelTestSupport.h"
#include "skin/graphics/vlPixelHelpers.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::Px;

constexpr std::uint32_t Untouched = Px(1, 2, 3, 4);

// '#' where the pixel differs from Untouched, '.' where it does not.
std::string Map(const vcl::TPixels32 &img) {
    std::string s;
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) s += img.At(x, y) == Untouched ? '.' : '#';
        s += '\n';
    }
    return s;
}

TEST(PixelHelpers, ByteOrderHelpers) {
    // Colour bytes 0x99, 0x66, 0x33, 0x00 become pixel bytes 0x33, 0x66, 0x99, 0x00.
    EXPECT_EQ(ColorToBGRA(0x00336699), Px(0x33, 0x66, 0x99, 0x00));
    EXPECT_EQ(SwapRedBlue(0xAA112233u), 0xAA332211u);
    EXPECT_EQ(SwapRedBlue(SwapRedBlue(0x12345678u)), 0x12345678u);
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);

    std::uint32_t values[3] = {0x11223344u, 0xA0B0C0D0u, 7};
    SwapBytes32Array(values, 0);
    SwapBytes32Array(values, -3);
    EXPECT_EQ(values[0], 0x11223344u);
    SwapBytes32Array(values, 2);
    EXPECT_EQ(values[0], 0x44332211u);
    EXPECT_EQ(values[1], 0xD0C0B0A0u);
    EXPECT_EQ(values[2], 7u);
}

TEST(PixelHelpers, PixelAccessStaysInsideTheImage) {
    vcl::TPixels32 img(3, 2, Untouched);
    SetPixel32(img.View(), 2, 1, 0xDEADBEEF);
    EXPECT_EQ(GetPixel32(img.View(), 2, 1), 0xDEADBEEFu);
    EXPECT_EQ(img.At(2, 1), 0xDEADBEEFu);
    SetPixel32(img.View(), 3, 0, 5);
    SetPixel32(img.View(), -1, 0, 5);
    SetPixel32(img.View(), 0, 2, 5);
    EXPECT_EQ(GetPixel32(img.View(), 3, 0), 0u);
    EXPECT_EQ(GetPixel32(img.View(), 0, -1), 0u);
    EXPECT_EQ(GetPixel32(vcl::TBitmapView{}, 0, 0), 0u);
}

TEST(PixelHelpers, EmptyWhiteBecomesZero) {
    vcl::TPixels32 img(3, 1);
    img.At(0, 0) = 0x00FFFFFF;
    img.At(1, 0) = 0x01FFFFFF;
    img.At(2, 0) = 0xFFFFFFFF;
    ClearEmptyWhitePixels(img.View());
    EXPECT_EQ(img.At(0, 0), 0u);
    EXPECT_EQ(img.At(1, 0), 0x01FFFFFFu);
    EXPECT_EQ(img.At(2, 0), 0xFFFFFFFFu);
}

struct PremultiplyCase {
    std::uint32_t In;
    std::uint32_t Out;
};

class Premultiply : public testing::TestWithParam<PremultiplyCase> {};

TEST_P(Premultiply, ScalesChannelsByAlphaShiftedBy8) {
    vcl::TPixels32 img(1, 1, GetParam().In);
    PremultiplyBitmap(img.View());
    EXPECT_EQ(Hex(img.At(0, 0)), Hex(GetParam().Out));
}

INSTANTIATE_TEST_SUITE_P(Table, Premultiply, testing::Values(
    PremultiplyCase{Px(64, 128, 255, 128), Px(32, 64, 127, 128)},
    PremultiplyCase{0x00FFFFFF, 0},
    PremultiplyCase{Px(255, 255, 255, 255), Px(254, 254, 254, 255)},
    PremultiplyCase{Px(200, 100, 50, 0), Px(0, 0, 0, 0)},
    PremultiplyCase{Px(255, 0, 255, 1), Px(0, 0, 0, 1)}));

TEST(PixelHelpers, PremultiplyRectTouchesOnlyTheClippedRect) {
    vcl::TPixels32 img(3, 3, Px(100, 100, 100, 128));
    PremultiplyRect(img.View(), {-5, 1, 2, 9});
    EXPECT_EQ(img.At(0, 0), Px(100, 100, 100, 128));
    EXPECT_EQ(img.At(1, 2), Px(50, 50, 50, 128));
    EXPECT_EQ(img.At(2, 1), Px(100, 100, 100, 128));
}

TEST(PixelHelpers, FillRectAlphaFillsOnlyTheInsidePart) {
    vcl::TPixels32 img(4, 3, Untouched);
    FillRectAlpha(img.View(), {2, -1, 9, 2}, 0x336699, 0x80);
    EXPECT_EQ(Map(img), "..##\n..##\n....\n");
    EXPECT_EQ(Hex(img.At(3, 0)), Hex(0x80996633));
    FillRectAlpha(img.View(), {1, 0, 1, 3}, 0, 0);
    FillRectAlpha(img.View(), {0, 2, 4, 2}, 0, 0);
    EXPECT_EQ(Map(img), "..##\n..##\n....\n");
}

TEST(PixelHelpers, SetRectAlphaLeavesTheKeptValueAlone) {
    vcl::TPixels32 img(3, 1);
    img.At(0, 0) = 0x00FF00FF;
    img.At(1, 0) = 0x10FF00FF;
    img.At(2, 0) = Px(1, 2, 3, 4);
    SetRectAlpha(img.View(), {0, 0, 3, 1}, 200, 0xFF00FF);
    EXPECT_EQ(img.At(0, 0), 0x00FF00FFu);
    EXPECT_EQ(img.At(1, 0), 0xC8FF00FFu);
    EXPECT_EQ(img.At(2, 0), Px(1, 2, 3, 200));
    SetRectAlpha(img.View(), {-1, -1, 1, 5}, 7);
    EXPECT_EQ(img.At(0, 0), 0x07FF00FFu);
    EXPECT_EQ(img.At(1, 0), 0xC8FF00FFu);
}

TEST(PixelHelpers, FrameRectAlphaPaintsFourStrips) {
    vcl::TPixels32 img(6, 5, Untouched);
    FrameRectAlpha(img.View(), {0, 0, 6, 5}, 1, 2, 1, 1, 0x0000FF);
    EXPECT_EQ(Map(img), "######\n######\n#....#\n#....#\n######\n");
    EXPECT_EQ(img.At(5, 3), Px(0, 0, 255, 255));

    vcl::TPixels32 none(4, 4, Untouched);
    FrameRectAlpha(none.View(), {0, 0, 4, 4}, 0, 0, 0, 0, 0);
    EXPECT_EQ(Map(none), "....\n....\n....\n....\n");
}

struct ColorBlendCase {
    int Channel;
    int Percent;
    int Colour;
    int Expected;
};

class BlendWithColor : public testing::TestWithParam<ColorBlendCase> {};

TEST_P(BlendWithColor, KeepsPercentOfThePixelRoundedHalfToEven) {
    const ColorBlendCase &c = GetParam();
    vcl::TPixels32 img(1, 1, Px(c.Channel, c.Channel, c.Channel, 33));
    BlendRectWithColor(img.View(), {0, 0, 0, 0}, static_cast<std::uint8_t>(c.Percent), c.Colour * 0x010101);
    EXPECT_EQ(img.At(0, 0), Px(c.Expected, c.Expected, c.Expected, 33));
}

INSTANTIATE_TEST_SUITE_P(Table, BlendWithColor, testing::Values(
    ColorBlendCase{200, 100, 0, 200},  // 100 % leaves the pixel
    ColorBlendCase{200, 0, 17, 17},    // 0 % paints the colour
    ColorBlendCase{200, 40, 100, 140},
    ColorBlendCase{1, 50, 0, 0},       // 0.5 rounds to 0
    ColorBlendCase{3, 50, 0, 2},       // 1.5 rounds to 2
    ColorBlendCase{255, 255, 0, 255})); // percents above 100 stay within a byte

TEST(PixelHelpers, BlendRectWithColorIncludesRightAndBottom) {
    vcl::TPixels32 img(20, 20, Untouched);
    BlendRectWithColor(img.View(), {0, 0, 10, 10}, 0, 0);
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (img.At(x, y) != Untouched) {
                ++changed;
                EXPECT_TRUE(x <= 10 && y <= 10) << x << "," << y;
            }
    EXPECT_EQ(changed, 11 * 11);

    vcl::TPixels32 small(2, 2, Untouched);
    BlendRectWithColor(small.View(), {-3, -3, 40, 40}, 0, 0);
    EXPECT_EQ(small.At(1, 1), Px(0, 0, 0, 4));
}

TEST(PixelHelpers, BlendRectWithColorResolvesSystemColours) {
    vcl::TPixels32 img(1, 1, Untouched);
    BlendRectWithColor(img.View(), {0, 0, 0, 0}, 0, vcl::clBtnFace);
    EXPECT_EQ(img.At(0, 0) & 0xFFFFFF, ColorToBGRA(vcl::ColorToRGB(vcl::clBtnFace)));
}

TEST(PixelHelpers, TintRectAlphaTruncatesTowardZero) {
    vcl::TPixels32 img(2, 1);
    img.At(0, 0) = Px(10, 10, 10, 0);
    img.At(1, 0) = Px(200, 200, 200, 0);
    TintRectAlpha(img.View(), {0, 0, 1, 1}, 0xFFFFFF, 50, 9);
    // 10 - (-245 * 50) div 100 = 10 + 122, not 10 + 123.
    EXPECT_EQ(img.At(0, 0), Px(132, 132, 132, 9));
    TintRectAlpha(img.View(), {1, 0, 5, 1}, 0x0000FF, 33, 255);
    // Toward red: blue and green lose a third, red gains 33 % of the distance.
    EXPECT_EQ(img.At(1, 0), Px(134, 134, 218, 255));
}

TEST(DisabledLook, GreyingMovesChannelsTowardTheirMeanAndSkipsKeys) {
    vcl::TPixels32 img(3, 1);
    img.At(0, 0) = Px(0, 0, 255, 255);
    img.At(1, 0) = 0x00FF00FF;
    img.At(2, 0) = 0xFFFF00FF;
    PaintDisabledLook(img.View(), dlGrayed, 0, nullptr, {});
    // Amount round(-90 * 2.55) = -230: red 255 - 153, green 0 + 76.
    EXPECT_EQ(img.At(0, 0), Px(76, 76, 102, 255));
    EXPECT_EQ(img.At(1, 0), 0x00FF00FFu);
    EXPECT_NE(img.At(2, 0), 0xFFFF00FFu);
}

TEST(DisabledLook, BlendingTakesSixtyPercentOfTheBackgroundImage) {
    vcl::TPixels32 bg = Image(5, 5, [](int x, int y) { return x == 2 && y == 3 ? Px(100, 0, 50, 9) : Px(7, 7, 7, 7); });
    vcl::TPixels32 img(1, 1, Px(200, 10, 50, 77));
    TBgPixels info{bg.View(), 1, 1, vcl::clFuchsia, true};
    PaintDisabledLook(img.View(), dlBlended, 0, &info, {1, 2});
    // d = round(s - (s - d) * 0.4) with s the background.
    EXPECT_EQ(img.At(0, 0), Px(140, 4, 50, 77));
}

TEST(DisabledLook, BlendingWithoutImageUsesRecordColourThenControlColour) {
    vcl::TPixels32 img(1, 1, Px(200, 200, 200, 5));
    TBgPixels info;
    info.Color = 0x646464;
    PaintDisabledLook(img.View(), dlBlended, 0, &info, {});
    EXPECT_EQ(img.At(0, 0), Px(140, 140, 140, 5));

    img.At(0, 0) = Px(200, 200, 200, 5);
    info.Color = vcl::clFuchsia;
    PaintDisabledLook(img.View(), dlBlended, 0x000000, &info, {});
    EXPECT_EQ(img.At(0, 0), Px(80, 80, 80, 5));

    img.At(0, 0) = Px(200, 200, 200, 5);
    PaintDisabledLook(img.View(), dlBlended, 0x646464, nullptr, {});
    EXPECT_EQ(img.At(0, 0), Px(140, 140, 140, 5));
}

TEST(DisabledLook, BothKindsGreyFirstThenBlend) {
    vcl::TPixels32 img(1, 1, Px(0, 0, 255, 255));
    TBgPixels info;
    info.Color = 0xC80000;  // blue 200
    PaintDisabledLook(img.View(), dlGrayed | dlBlended, 0, &info, {});
    // Grey (76, 76, 102), then 40 % of it over the colour.
    EXPECT_EQ(img.At(0, 0), Px(150, 30, 41, 255));
}

TEST(TextImage, OpaqueModeMixesEachChannelByTheTextChannel) {
    vcl::TPixels32 dst(4, 1, Px(10, 20, 30, 0));
    vcl::TPixels32 text(4, 1);
    text.At(0, 0) = Px(0, 0, 0, 0);
    text.At(1, 0) = Px(128, 128, 128, 0);
    text.At(2, 0) = 0x00FFFFFF;
    text.At(3, 0) = 0xFFFFFFFF;
    BlendTextImage32(dst.View(), {0, 0, 4, 1}, text.View(), 0x0000FF, 0);
    EXPECT_EQ(dst.At(0, 0), Px(0, 0, 255, 255));
    EXPECT_EQ(dst.At(1, 0), Px(5, 10, 142, 255));
    EXPECT_EQ(dst.At(2, 0), Px(10, 20, 30, 0));
    EXPECT_EQ(dst.At(3, 0), Px(10, 20, 30, 0));
}

TEST(TextImage, TransparentModeGivesPremultipliedCoverage) {
    vcl::TPixels32 dst(1, 1, Px(10, 20, 30, 0));
    vcl::TPixels32 text(1, 1, Px(128, 128, 128, 0));
    BlendTextImage32(dst.View(), {0, 0, 1, 1}, text.View(), 0x0000FF, 1);
    EXPECT_EQ(dst.At(0, 0), Px(2, 4, 70, 127));

    vcl::TPixels32 opaque(1, 1, Px(10, 20, 30, 200));
    BlendTextImage32(opaque.View(), {0, 0, 1, 1}, text.View(), 0x0000FF, 1);
    EXPECT_EQ(Hex(opaque.At(0, 0) >> 24), Hex(200));
}

TEST(TextImage, PartsOutsideTheDestinationAreSkipped) {
    const std::uint32_t grey = Px(200, 200, 200, 0);
    vcl::TPixels32 text = Image(3, 3, [](int x, int y) { return Px(64 * x, 64 * y, 255, 0); });
    // Black text: each channel becomes d * t >> 8.
    vcl::TPixels32 dst(2, 2, grey);
    BlendTextImage32(dst.View(), {-1, -1, 2, 2}, text.View(), 0, 0);
    EXPECT_EQ(dst.At(0, 0), Px(50, 50, 199, 255));   // text pixel (1, 1)
    EXPECT_EQ(dst.At(1, 0), Px(100, 50, 199, 255));  // text pixel (2, 1)
    EXPECT_EQ(dst.At(1, 1), Px(100, 100, 199, 255)); // text pixel (2, 2)

    vcl::TPixels32 edge(2, 2, grey);
    BlendTextImage32(edge.View(), {1, 1, 4, 4}, text.View(), 0, 0);
    EXPECT_EQ(edge.At(0, 0), grey);
    EXPECT_EQ(edge.At(1, 0), grey);
    EXPECT_EQ(edge.At(1, 1), Px(0, 0, 199, 255));
}

} // namespace
} // namespace skin
