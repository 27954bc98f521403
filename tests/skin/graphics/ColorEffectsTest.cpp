#include <gtest/gtest.h>

#include "PixelTestSupport.h"
#include "skin/graphics/vlColorEffects.h"

namespace skin {
namespace {

using test::Hex;
using test::HexRow;
using test::Px;
using test::Row;

struct PixelCase {
    const char *Name;
    std::uint32_t (*Op)(std::uint32_t);
    std::uint32_t In;
    std::uint32_t Out;
};

void PrintTo(const PixelCase &c, std::ostream *os) { *os << c.Name; }

class PixelOperation : public testing::TestWithParam<PixelCase> {};

TEST_P(PixelOperation, GivesTheExactPixel) {
    EXPECT_EQ(Hex(GetParam().Op(GetParam().In)), Hex(GetParam().Out));
}

constexpr std::uint32_t Red = Px(0, 0, 255, 0xFF);
constexpr std::uint32_t Green = Px(0, 255, 0, 0xFF);
constexpr std::uint32_t Blue = Px(255, 0, 0, 0xFF);

INSTANTIATE_TEST_SUITE_P(Brighten, PixelOperation, testing::Values(
    PixelCase{"Zero", [](std::uint32_t p) { return BrightenPixel(p, 0); }, Px(250, 10, 100, 7), Px(250, 10, 100, 7)},
    PixelCase{"Up", [](std::uint32_t p) { return BrightenPixel(p, 50); }, Px(250, 10, 100, 7), Px(255, 60, 150, 7)},
    PixelCase{"Down", [](std::uint32_t p) { return BrightenPixel(p, -20); }, Px(250, 10, 100, 7), Px(230, 0, 80, 7)},
    PixelCase{"Huge", [](std::uint32_t p) { return BrightenPixel(p, INT32_MAX); }, Px(1, 2, 3, 4), Px(255, 255, 255, 4)}));

INSTANTIATE_TEST_SUITE_P(Desaturate, PixelOperation, testing::Values(
    PixelCase{"Zero", [](std::uint32_t p) { return DesaturatePixel(0, p); }, Px(1, 50, 200, 9), Px(1, 50, 200, 9)},
    PixelCase{"FullGrey", [](std::uint32_t p) { return DesaturatePixel(-255, p); }, Px(1, 50, 201, 9), Px(84, 84, 84, 9)},
    // Mean 85: red 255 + 66 clamped, green and blue 0 - 33 clamped.
    PixelCase{"PushRed", [](std::uint32_t p) { return DesaturatePixel(100, p); }, Red, Red},
    // Red 100 - (-5000 div 255) = 100 + 19: the division truncates toward zero.
    PixelCase{"Truncates", [](std::uint32_t p) { return DesaturatePixel(100, p); }, Px(0, 50, 100, 1), Px(0, 50, 119, 1)},
    PixelCase{"Disabled", [](std::uint32_t p) { return DesaturatePixel(-230, p); }, Red, Px(76, 76, 102, 0xFF)}));

INSTANTIATE_TEST_SUITE_P(Hue, PixelOperation, testing::Values(
    PixelCase{"RedTo120IsGreen", [](std::uint32_t p) { return RotateHuePixel(120, p); }, Red, Green},
    PixelCase{"RedTo240IsBlue", [](std::uint32_t p) { return RotateHuePixel(240, p); }, Red, Blue},
    // A negative hue wraps by 360: red turned by -120 is blue, not magenta.
    PixelCase{"RedToMinus120IsBlue", [](std::uint32_t p) { return RotateHuePixel(-120, p); }, Red, Blue},
    PixelCase{"RedToMinus480IsBlue", [](std::uint32_t p) { return RotateHuePixel(-480, p); }, Red, Blue},
    PixelCase{"GreenTo480IsBlue", [](std::uint32_t p) { return RotateHuePixel(480, p); }, Green, Blue},
    PixelCase{"BlueToMinus240IsRed", [](std::uint32_t p) { return RotateHuePixel(-240, p); }, Blue, Red},
    PixelCase{"KeepsAlpha", [](std::uint32_t p) { return RotateHuePixel(120, p); }, Px(0, 0, 255, 0x80), Px(0, 255, 0, 0x80)},
    PixelCase{"GreyIsUnchanged", [](std::uint32_t p) { return RotateHuePixel(77, p); }, Px(90, 90, 90, 3), Px(90, 90, 90, 3)},
    PixelCase{"BlackIsUnchanged", [](std::uint32_t p) { return RotateHuePixel(77, p); }, Px(0, 0, 0, 3), Px(0, 0, 0, 3)},
    // Channels are recomputed and truncated: green 128 comes back as 127.
    PixelCase{"ZeroRecomputes", [](std::uint32_t p) { return RotateHuePixel(0, p); }, Px(0, 128, 255, 0), Px(0, 127, 255, 0)},
    // Hue 20 + 100 = 120: the colour becomes green-dominant.
    PixelCase{"Orange", [](std::uint32_t p) { return RotateHuePixel(100, p); }, Px(50, 100, 200, 0), Px(50, 200, 50, 0)}));

INSTANTIATE_TEST_SUITE_P(Tint, PixelOperation, testing::Values(
    PixelCase{"BlackStaysBlack", [](std::uint32_t p) { return TintPixel(p, 0x123456); }, Px(0, 0, 0, 5), Px(0, 0, 0, 5)},
    PixelCase{"WhiteByRed", [](std::uint32_t p) { return TintPixel(p, 0x0000FF); }, Px(255, 255, 255, 5), Px(0, 0, 254, 5)},
    // Brightest channel 200 times the colour's channels (red 128, green 64, blue 255) >> 8.
    PixelCase{"Mixed", [](std::uint32_t p) { return TintColor(p, 0xFF4080); }, Px(50, 200, 100, 1), Px(199, 50, 100, 1)}));

TEST(ColorEffects, ColourVariantsWorkInColourOrder) {
    EXPECT_EQ(ChangeHue(120, vcl::clRed), vcl::clLime);
    EXPECT_EQ(ChangeHue(120, vcl::clBlue), vcl::clRed);
    EXPECT_EQ(ChangeHue(0, 0x123456), 0x123456);
    // Red 100, green 50, blue 0 pushed apart: red 119.
    EXPECT_EQ(Hex(ChangeSaturation(0x003264, 100)), Hex(0x003277));
    EXPECT_EQ(ChangeSaturation(0x123456, 0), 0x123456);
}

TEST(ColorEffects, ForEachPixelSkipsOnlyTheKeyColourInPixelOrder) {
    vcl::TPixels32 img = Row({0x00FF00FF, 0xFFFF00FF, Px(10, 20, 30, 40)});
    ForEachPixel32(img.View(), PixelBrightnessProc, -5, vcl::clFuchsia);
    EXPECT_EQ(HexRow(img), Hex({0x00FF00FF, Px(250, 0, 250, 0xFF), Px(5, 15, 25, 40)}));
    ForEachPixel32(img.View(), PixelBrightnessProc, 5, vcl::clNone);
    EXPECT_EQ(img.At(0, 0), Px(255, 5, 255, 0));
    ForEachPixel32(vcl::TBitmapView{}, PixelBrightnessProc, 5, vcl::clNone);

    // The colour 0x030201 is the pixel (3, 2, 1); tinting white keeps the brightest channel.
    vcl::TPixels32 tint = Row({Px(3, 2, 1, 0), Px(1, 2, 3, 0)});
    ForEachPixel32(tint.View(), PixelTintProc, 0xFFFFFF, 0x030201);
    EXPECT_EQ(HexRow(tint), Hex({Px(3, 2, 1, 0), Px(2, 2, 2, 0)}));
    vcl::TPixels32 red(2, 2, Red);
    ForEachPixel32(red.View(), PixelHueProc, 120, vcl::clNone);
    EXPECT_EQ(red.At(1, 1), Green);
    ForEachPixel32(red.View(), PixelSaturationProc, -255, vcl::clNone);
    EXPECT_EQ(red.At(0, 1), Px(85, 85, 85, 0xFF));
}

TEST(ColorEffects, GrayscaleUsesTheTruncatedMeanAndKeepsAlpha) {
    // 256 div 3 = 85; 2 div 3 = 0, not rounded up.
    vcl::TPixels32 img = Row({Px(1, 0, 255, 7), Px(0, 1, 1, 8)});
    GrayscaleBitmap32(img.View());
    EXPECT_EQ(HexRow(img), Hex({Px(85, 85, 85, 7), Px(0, 0, 0, 8)}));
    // The keyed variant compares the key as given, as a pixel value: (30 + 2 + 1) div 3 = 11.
    vcl::TPixels32 keyed = Row({Px(1, 2, 30, 0), Px(30, 2, 1, 0)});
    GrayscaleBitmapKeyed32(keyed.View(), Px(1, 2, 30, 0));
    EXPECT_EQ(HexRow(keyed), Hex({Px(1, 2, 30, 0), Px(11, 11, 11, 0)}));
}

} // namespace
} // namespace skin
