#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelTestSupport.h"
#include "skin/graphics/vlPixelHelpers.h"

namespace skin {
namespace {

using test::Hex;
using test::Image;
using test::HexRow;
using test::Px;
using test::Row;

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

TEST(PixelHelpers, ByteOrderAndPixelAccess) {
    // Colour bytes 0x99, 0x66, 0x33, 0x00 become pixel bytes 0x33, 0x66, 0x99, 0x00.
    EXPECT_EQ(ColorToBGRA(0x00336699), Px(0x33, 0x66, 0x99, 0x00));
    EXPECT_EQ(SwapRedBlue(0xAA112233u), 0xAA332211u);
    std::uint32_t values[3] = {0x11223344u, 0xA0B0C0D0u, 7};
    SwapBytes32Array(values, -3);
    EXPECT_EQ(values[0], 0x11223344u);
    SwapBytes32Array(values, 2);
    EXPECT_EQ(values[0], 0x44332211u);
    EXPECT_EQ(values[1], 0xD0C0B0A0u);
    EXPECT_EQ(values[2], 7u);

    vcl::TPixels32 img(3, 2, Untouched);
    SetPixel32(img.View(), 2, 1, 0xDEADBEEF);
    EXPECT_EQ(img.At(2, 1), 0xDEADBEEFu);
    for (const vcl::TPoint p : {vcl::TPoint{3, 0}, vcl::TPoint{-1, 0}, vcl::TPoint{0, 2}, vcl::TPoint{0, -1}}) {
        SetPixel32(img.View(), p.X, p.Y, 5);
        EXPECT_EQ(GetPixel32(img.View(), p.X, p.Y), 0u);
    }
    EXPECT_EQ(Map(img), "...\n..#\n");
}

TEST(PixelHelpers, PremultiplyShiftsBy8AndClearsEmptyWhite) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {Px(64, 128, 255, 128), Px(32, 64, 127, 128)},
        {0x00FFFFFF, 0},
        {Px(255, 255, 255, 255), Px(254, 254, 254, 255)},  // / 255 would keep 255
        {Px(255, 0, 255, 1), Px(0, 0, 0, 1)},
    };
    for (auto [in, out] : cases) {
        vcl::TPixels32 img(1, 1, in);
        PremultiplyBitmap(img.View());
        EXPECT_EQ(Hex(img.At(0, 0)), Hex(out)) << Hex(in);
    }
    vcl::TPixels32 img(3, 3, Px(100, 100, 100, 128));
    PremultiplyRect(img.View(), {-5, 1, 2, 9});
    EXPECT_EQ(img.At(0, 0), Px(100, 100, 100, 128));
    EXPECT_EQ(img.At(1, 2), Px(50, 50, 50, 128));
    EXPECT_EQ(img.At(2, 1), Px(100, 100, 100, 128));

    vcl::TPixels32 white(2, 1, 0x00FFFFFF);
    white.At(1, 0) = 0x01FFFFFF;
    ClearEmptyWhitePixels(white.View());
    EXPECT_EQ(white.At(0, 0), 0u);
    EXPECT_EQ(white.At(1, 0), 0x01FFFFFFu);
}

TEST(PixelHelpers, FillsStayInsideTheClippedRect) {
    vcl::TPixels32 img(4, 3, Untouched);
    FillRectAlpha(img.View(), {2, -1, 9, 2}, 0x336699, 0x80);
    EXPECT_EQ(Map(img), "..##\n..##\n....\n");
    EXPECT_EQ(Hex(img.At(3, 0)), Hex(0x80996633));
    FillRectAlpha(img.View(), {1, 0, 1, 3}, 0, 0);
    FillRectAlpha(img.View(), {0, 2, 4, 2}, 0, 0);
    EXPECT_EQ(Map(img), "..##\n..##\n....\n");

    vcl::TPixels32 frame(6, 5, Untouched);
    FrameRectAlpha(frame.View(), {0, 0, 6, 5}, 1, 2, 1, 1, 0x0000FF);
    EXPECT_EQ(Map(frame), "######\n######\n#....#\n#....#\n######\n");
    EXPECT_EQ(frame.At(5, 3), Px(0, 0, 255, 255));
}

TEST(PixelHelpers, FillsOfWholeRowsStayInsideTheirRowsInEitherRowOrder) {
    // Rows 1 and 2 of four, full width, bottom-up and top-down over the same
    // memory; and a view whose rows have gaps between them, which stay untouched.
    for (const int direction : {-1, 1}) {
        std::vector<std::uint32_t> memory(5 * 4, Untouched);
        vcl::TBitmapView view;
        view.Width = 5;
        view.Height = 4;
        view.Stride = direction * 20;
        view.First = reinterpret_cast<std::uint8_t *>(memory.data() + (direction < 0 ? 15 : 0));
        FillRectAlpha(view, {-2, 1, 7, 3}, 0x336699, 0x80);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Hex(view.At(x, y)), Hex(y == 1 || y == 2 ? 0x80996633 : Untouched)) << x << ", " << y;
    }
    std::vector<std::uint32_t> memory(6 * 3, Untouched);
    vcl::TBitmapView gaps;
    gaps.Width = 5;
    gaps.Height = 3;
    gaps.Stride = 24;
    gaps.First = reinterpret_cast<std::uint8_t *>(memory.data());
    FillRectAlpha(gaps, {0, 0, 5, 3}, 0, 0);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(memory[i], i % 6 == 5 ? Untouched : 0u) << i;
}

TEST(PixelHelpers, SetRectAlphaLeavesTheKeptValueAlone) {
    vcl::TPixels32 img = Row({0x00FF00FF, 0x10FF00FF, Px(1, 2, 3, 4)});
    SetRectAlpha(img.View(), {0, 0, 3, 1}, 200, 0xFF00FF);
    EXPECT_EQ(HexRow(img), Hex({0x00FF00FF, 0xC8FF00FF, Px(1, 2, 3, 200)}));
    SetRectAlpha(img.View(), {-1, -1, 1, 5}, 7);
    EXPECT_EQ(HexRow(img), Hex({0x07FF00FF, 0xC8FF00FF, Px(1, 2, 3, 200)}));
}

TEST(PixelHelpers, BlendRectWithColorKeepsPercentRoundedHalfToEven) {
    // Channel, percent, colour channel, result.
    const int cases[][4] = {{200, 100, 0, 200}, {200, 0, 17, 17}, {200, 40, 100, 140},
                            {1, 50, 0, 0},      {3, 50, 0, 2},    {255, 255, 0, 255}};
    for (const auto &c : cases) {
        vcl::TPixels32 img(1, 1, Px(c[0], c[0], c[0], 33));
        BlendRectWithColor(img.View(), {0, 0, 0, 0}, static_cast<std::uint8_t>(c[1]), c[2] * 0x010101);
        EXPECT_EQ(img.At(0, 0), Px(c[3], c[3], c[3], 33)) << c[0] << " at " << c[1] << " %";
    }
    // Right and bottom included: 11 x 11 pixels.
    vcl::TPixels32 img(13, 13, Untouched);
    BlendRectWithColor(img.View(), {-3, -3, 10, 10}, 0, 0);
    EXPECT_EQ(Map(img).substr(0, 14), "###########..\n");
    EXPECT_EQ(Map(img).substr(14 * 11, 14), ".............\n");
    vcl::TPixels32 face(1, 1, Untouched);
    BlendRectWithColor(face.View(), {0, 0, 0, 0}, 0, vcl::clBtnFace);
    EXPECT_EQ(face.At(0, 0) & 0xFFFFFF, ColorToBGRA(vcl::ColorToRGB(vcl::clBtnFace)));
}

TEST(PixelHelpers, TintRectAlphaTruncatesTowardZero) {
    vcl::TPixels32 img(3, 1, Px(10, 10, 200, 0));
    TintRectAlpha(img.View(), {0, 0, 1, 1}, 0xFFFFFF, 50, 9);
    // 10 - (-245 * 50) div 100 = 10 + 122 (not 123); 200 - (-55 * 50) div 100 = 227.
    EXPECT_EQ(img.At(0, 0), Px(132, 132, 227, 9));
    // Percents above 100 overshoot and are cut to a byte: blue 10 - 10 * 200 div 100 = -10,
    // red 200 + 55 * 200 div 100 = 310.
    TintRectAlpha(img.View(), {1, 0, 9, 1}, 0x0000FF, 200, 255);
    EXPECT_EQ(img.At(1, 0), Px(0, 0, 255, 255));
}

TEST(DisabledLook, GreyingMovesChannelsTowardTheirMeanAndSkipsKeys) {
    vcl::TPixels32 img = Row({Px(0, 0, 255, 255), KeyPixel, 0xFFFF00FF});
    PaintDisabledLook(img.View(), dlGrayed, 0, nullptr, {});
    // Amount round(-90 * 2.55) = -230: c + (mean - c) * 230 div 255. Mean 85: red 255 - 153,
    // green 0 + 76. Opaque magenta is no key: mean 170, 255 - 76 and 0 + 153.
    EXPECT_EQ(HexRow(img), Hex({Px(76, 76, 102, 255), KeyPixel, Px(179, 153, 179, 255)}));
}

TEST(DisabledLook, BlendsWithTheBackgroundImageOrColourGreyingFirst) {
    vcl::TPixels32 bg = Image(5, 5, [](int x, int y) { return x == 2 && y == 3 ? Px(100, 0, 50, 9) : Px(7, 7, 7, 7); });
    vcl::TPixels32 img(1, 1, Px(200, 10, 50, 77));
    TBgPixels info{bg.View(), 1, 1, vcl::clFuchsia, true};
    PaintDisabledLook(img.View(), dlBlended, 0, &info, {1, 2});
    // d = round(s - (s - d) * 0.4) with s the background at (1 + 1, 1 + 2).
    EXPECT_EQ(img.At(0, 0), Px(140, 4, 50, 77));

    const auto blended = [](std::uint32_t pixel, int kind, vcl::TColor record, vcl::TColor control, bool withRecord) {
        vcl::TPixels32 one(1, 1, pixel);
        TBgPixels colour;
        colour.Color = record;
        PaintDisabledLook(one.View(), kind, control, withRecord ? &colour : nullptr, {});
        return one.At(0, 0);
    };
    // 40 % of 200 over 100: 140; over the control's black: 80.
    EXPECT_EQ(blended(Px(200, 200, 200, 5), dlBlended, 0x646464, 0, true), Px(140, 140, 140, 5));
    EXPECT_EQ(blended(Px(200, 200, 200, 5), dlBlended, vcl::clFuchsia, 0, true), Px(80, 80, 80, 5));
    EXPECT_EQ(blended(Px(200, 200, 200, 5), dlBlended, 0, 0x646464, false), Px(140, 140, 140, 5));
    // Grey (76, 76, 102) first, then 40 % of it over blue 200.
    EXPECT_EQ(blended(Px(0, 0, 255, 255), dlGrayed | dlBlended, 0xC80000, 0, true), Px(150, 30, 41, 255));
}

TEST(TextImage, OpaqueAndTransparentModes) {
    vcl::TPixels32 dst(4, 1, Px(10, 20, 30, 0));
    vcl::TPixels32 text = Row({Px(0, 0, 0, 0), Px(128, 128, 128, 0), 0x00FFFFFF, 0xFFFFFFFF});
    BlendTextImage32(dst.View(), {0, 0, 4, 1}, text.View(), 0x0000FF, 0);
    // ((d - col) * t + col * 256) >> 8 per channel: red (30 - 255) * 128 >> 8 + 255 = 142; white is no text.
    EXPECT_EQ(HexRow(dst), Hex({Px(0, 0, 255, 255), Px(5, 10, 142, 255), Px(10, 20, 30, 0), Px(10, 20, 30, 0)}));

    // k = 128, alpha = max(255 - 128, da): premultiplied (((d - col) * k + col * 256) * alpha) >> 16,
    // e.g. red ((30 - 255) * 128 + 255 * 256) * 200 >> 16 = 111.
    vcl::TPixels32 two = Row({Px(10, 20, 30, 0), Px(10, 20, 30, 200)});
    vcl::TPixels32 grey(2, 1, Px(128, 128, 128, 0));
    BlendTextImage32(two.View(), {0, 0, 2, 1}, grey.View(), 0x0000FF, 1);
    EXPECT_EQ(HexRow(two), Hex({Px(2, 4, 70, 127), Px(3, 7, 111, 200)}));
}

TEST(TextImage, PartsOutsideTheDestinationAreSkipped) {
    const std::uint32_t grey = Px(200, 200, 200, 0);
    vcl::TPixels32 text = Image(3, 3, [](int x, int y) { return Px(64 * x, 64 * y, 255, 0); });
    // Black text: each channel becomes d * t >> 8.
    vcl::TPixels32 dst(2, 2, grey);
    BlendTextImage32(dst.View(), {-1, -1, 2, 2}, text.View(), 0, 0);
    EXPECT_EQ(dst.At(0, 0), Px(50, 50, 199, 255));    // text pixel (1, 1)
    EXPECT_EQ(dst.At(1, 1), Px(100, 100, 199, 255));  // text pixel (2, 2)
    vcl::TPixels32 edge(2, 2, grey);
    BlendTextImage32(edge.View(), {1, 1, 4, 4}, text.View(), 0, 0);
    EXPECT_EQ(edge.At(1, 0), grey);
    EXPECT_EQ(edge.At(1, 1), Px(0, 0, 199, 255));
}

} // namespace
} // namespace skin
