#include <gtest/gtest.h>

#include <vector>

#include "TestSkin.h"
#include "skin/graphics/vlSkinText.h"

namespace skin {
namespace {

using test::Px;

// An 8-bit image in memory as the blur takes it.
struct Gray {
    int W, H;
    std::vector<std::uint8_t> Bytes;
    Gray(int w, int h, std::uint8_t v) : W(w), H(h), Bytes(static_cast<std::size_t>(w * h), v) {}
    vcl::TBitmapView View() { return {Bytes.data(), W, W, H}; }
    std::uint8_t &At(int x, int y) { return Bytes[static_cast<std::size_t>(y * W + x)]; }
};

TEST(BlurKernel, EachRadiusDropsItsOutermostPair) {
    const struct {
        int radius, size;
    } cases[] = {{0, 0}, {-3, 0}, {1, 0}, {2, 1}, {3, 2}, {16, 15}};
    for (const auto &c : cases) {
        const TBlurKernel k = BuildBlurKernel(c.radius);
        EXPECT_EQ(k.Size, c.size) << c.radius;
        float sum = 0;
        for (int j = -16; j <= 16; ++j) sum += k.Weight(j);
        EXPECT_NEAR(sum, 1.0f, 1e-5f);
        for (int j = -k.Size; j <= k.Size; ++j) EXPECT_NEAR(k.Weight(j), 1.0f / (2 * k.Size + 1), 1e-6f);
    }
}

TEST(BlurBitmap8, RadiusOneAndBelowLeaveTheImageAndTwoAveragesThreeTaps) {
    for (int radius : {-1, 0, 1}) {
        Gray g(5, 1, 255);
        g.At(2, 0) = 0;
        BlurBitmap8(g.View(), radius);
        EXPECT_EQ(g.At(2, 0), 0) << radius;
        EXPECT_EQ(g.At(1, 0), 255);
    }
    Gray three(5, 1, 255);
    three.At(2, 0) = 0;
    BlurBitmap8(three.View(), 2);
    EXPECT_EQ(three.At(1, 0), 170);
    EXPECT_EQ(three.At(2, 0), 170);
    EXPECT_EQ(three.At(0, 0), 255);
    Gray five(7, 1, 255);
    five.At(3, 0) = 0;
    BlurBitmap8(five.View(), 3);
    EXPECT_EQ(five.At(1, 0), 204);
    EXPECT_EQ(five.At(0, 0), 255);
}

TEST(BlurBitmap8, EdgesRepeatTheLastPixelAndNeverReadPastTheLine) {
    // A line exactly as long as its allocation: a read past it trips the sanitizer.
    std::vector<std::uint8_t> line{0, 90, 90};
    BlurBitmap8({line.data(), 3, 3, 1}, 2);
    EXPECT_EQ(line[2], 90);  // (90 + 90 + 90) / 3 with the last pixel repeated
    EXPECT_EQ(line[0], 30);  // (0 + 0 + 90) / 3
}

TEST(LayGlowMask, InkRaisesAlphaAndColoursTowardTheGlow) {
    vcl::TPixels32 target(3, 1, Px(100, 100, 100, 0));
    std::vector<std::uint8_t> mask{255, 0, 128};
    LayGlowMask(target.View(), {mask.data(), 3, 3, 1}, 0, 0, 0x0000FF);  // red glow
    EXPECT_EQ(target.At(0, 0), Px(100, 100, 100, 0));  // paper: untouched
    // Full ink: alpha 0 + 255 * 255 >> 8; channels (255 * glow + c * 0) >> 8.
    EXPECT_EQ(target.At(1, 0), Px(0, 0, 254, 254));
    // m = 128: (127 * glow + c * 128) >> 8, alpha 127 * 255 >> 8.
    EXPECT_EQ(target.At(2, 0), Px(50, 50, 176, 126));
}

TEST(BlurBitmap32, TransparentPixelsDoNotDarkenTheirNeighbours) {
    vcl::TPixels32 img(3, 3, 0);
    for (int y = 0; y < 3; ++y) img.At(0, y) = img.At(1, y) = Px(90, 90, 90, 255);
    BlurBitmap32(img.View());
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(img.At(0, y) & 0xFFFFFF, Px(90, 90, 90, 0)) << y;
        EXPECT_EQ(img.At(1, y) & 0xFFFFFF, Px(90, 90, 90, 0)) << y;
    }
}

// One line of two pixels, the row pass then the column pass (of one pixel
// each). A tap that is transparent or outside borrows the last opaque one:
// a third of it per tap, a share per tap counted before one was found; the
// borrowed colour counts only when the borrowed alpha does not round to 0.
TEST(BlurBitmap32, BorrowedColourCountsOnlyWithBorrowedAlpha) {
    const struct {
        int Alpha;
        std::uint32_t First, Second;
    } cases[] = {
        // Row: pixel 0 keeps 30 of its own (alpha 0 + 1), borrows 30 + 30 at
        // alpha 0: 30; pixel 1 gets 30 and borrows 15 at alpha 0: 30.
        // Column: each 10 of its own, 10 + 10 borrowed at alpha 0: 10.
        {2, Px(10, 10, 10, 1), Px(10, 10, 10, 1)},
        // Alpha 3: pixel 0 borrows alpha 1 + 1 (colour 90, alpha 4); pixel 1
        // borrows 15 at alpha 0 (colour 30, alpha 2), which the column pass
        // takes to 10 the same way.
        {3, Px(90, 90, 90, 4), Px(10, 10, 10, 1)},
        // Opaque: every borrowed share carries alpha.
        {255, Px(90, 90, 90, 255), Px(45, 45, 45, 127)},
    };
    for (const auto &c : cases) {
        vcl::TPixels32 line(2, 1, 0);
        line.At(0, 0) = Px(90, 90, 90, c.Alpha);
        BlurBitmap32(line.View());
        EXPECT_EQ(line.At(0, 0), c.First) << c.Alpha;
        EXPECT_EQ(line.At(1, 0), c.Second) << c.Alpha;
    }
}

TEST(ApplyColorEffectsToColor, TintThenHueThenSaturationInPercent) {
    test::TFakeControlData data;
    const struct {
        vcl::TColor tone;
        int hue, saturation;
        vcl::TColor colour, expected;
    } cases[] = {
        {vcl::clNone, 0, 0, 0x123456, 0x123456},    // no effects
        {0xFF0000, 0, 0, 0x000080, 0x7F0000},       // blue tint keeps the brightest channel: 128 * 255 >> 8
        {vcl::clNone, 120, 0, 0x0000FF, 0x00FF00},  // red turned by 120 degrees is green
        {vcl::clNone, 0, -100, 0x0000FF, 0x555555}, // -100 percent: each channel to the mean
        {vcl::clNone, 0, -40, 0x0000FF, 0x2222BB},  // -40 percent is -102 of 255
        {0xFF0000, 120, 0, 0x000080, 0x00007F},     // tinted blue first, then turned to red
    };
    for (const auto &c : cases) {
        data.Tone = c.tone, data.Hue = c.hue, data.Sat = c.saturation;
        EXPECT_EQ(ApplyColorEffectsToColor(c.colour, data), c.expected)
            << test::Hex(static_cast<std::uint32_t>(c.colour)) << " " << c.hue << " " << c.saturation;
    }
    data.Tone = vcl::clNone, data.Hue = 0, data.Sat = 0;
    EXPECT_EQ(ApplyColorEffectsToColor(vcl::clBtnFace, data), vcl::ColorToRGB(vcl::clBtnFace));  // resolved
    EXPECT_GE(ApplyColorEffectsToColor(vcl::clBtnFace, data), 0);
}

} // namespace
} // namespace skin
