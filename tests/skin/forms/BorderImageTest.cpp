// The skin's border image laid over a frame image: corners exactly where
// and as they are, sides stretched, the middle left to the frame, the
// frame opaque under it but for its key colour, nothing outside the frame;
// slices too wide for the image or the mask fitted without reading or
// writing beside them; and only what was painted afterwards made opaque.
#include <gtest/gtest.h>

#include "skin/forms/vlBorderImage.h"

namespace skin {
namespace {

constexpr std::uint32_t Opaque(std::uint32_t Rgb) { return 0xFF000000u | Rgb; }

// A 7 x 7 mask: its 2-pixel corners in four colours, the sides in a fifth,
// the 3 x 3 middle in a sixth, all opaque.
vcl::TPixels32 CornerMask() {
    vcl::TPixels32 mask(7, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool left = x < 2, right = x >= 5, top = y < 2, bottom = y >= 5;
            std::uint32_t c = 0x0000EE;  // sides
            if (top && left) c = 0x110000;
            else if (top && right) c = 0x220000;
            else if (bottom && left) c = 0x330000;
            else if (bottom && right) c = 0x440000;
            else if (!left && !right && !top && !bottom) c = 0x00DD00;  // middle
            mask.At(x, y) = Opaque(c);
        }
    return mask;
}

TEST(BorderImage, CornersSidesAndMiddleLieWhereTheSlicesCutTheImage) {
    vcl::TPixels32 mask = CornerMask();
    // A 20 x 16 image, its frame 3 pixels in; the frame grey with a key
    // pixel in the middle and one under a corner of the mask.
    vcl::TPixels32 image(20, 16, 0x12345678);
    const vcl::TRect frame{3, 3, 17, 13};
    for (int y = frame.Top; y < frame.Bottom; ++y)
        for (int x = frame.Left; x < frame.Right; ++x) image.At(x, y) = 0x808080;
    image.At(10, 8) = FrameKeyColour;
    PaintBorderMask(image.View(), frame, mask.View(), {2, 2, 2, 2});

    EXPECT_EQ(image.At(0, 0), Opaque(0x110000));
    EXPECT_EQ(image.At(1, 1), Opaque(0x110000));
    EXPECT_EQ(image.At(18, 0), Opaque(0x220000));
    EXPECT_EQ(image.At(19, 1), Opaque(0x220000));
    EXPECT_EQ(image.At(0, 15), Opaque(0x330000));
    EXPECT_EQ(image.At(19, 14), Opaque(0x440000));
    // Sides stretched along the whole edge, right next to the corners.
    for (const vcl::TPoint p : {vcl::TPoint{2, 0}, {17, 1}, {0, 2}, {1, 13}, {19, 7}, {10, 15}})
        EXPECT_EQ(image.At(p.X, p.Y), Opaque(0x0000EE)) << p.X << "," << p.Y;
    // The middle is the frame's own: opaque grey, the key transparent, and
    // outside the frame (between the slices and the frame) nothing.
    EXPECT_EQ(image.At(3, 3), Opaque(0x808080));
    EXPECT_EQ(image.At(16, 12), Opaque(0x808080));
    EXPECT_EQ(image.At(10, 8), 0u);
    EXPECT_EQ(image.At(2, 5), 0u);
    EXPECT_EQ(image.At(17, 12), 0u);
    // The mask's middle colour is never drawn.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) EXPECT_NE(image.At(x, y) & 0xFFFFFF, 0x00DD00u) << x << "," << y;
}

TEST(BorderImage, SlicesWiderThanTheImageOrTheMaskAreFittedInside) {
    vcl::TPixels32 mask = CornerMask();
    // Slices of 9 in a 7-pixel mask and a 6 x 4 image: each side keeps its
    // own half and nothing beyond the image is touched (the sanitizers
    // watch the reads).
    vcl::TPixels32 image(6, 4, 0);
    PaintBorderMask(image.View(), {0, 0, 6, 4}, mask.View(), {9, 9, 9, 9});
    EXPECT_EQ(image.At(0, 0), Opaque(0x110000));
    EXPECT_EQ(image.At(5, 0), Opaque(0x220000));
    EXPECT_EQ(image.At(0, 3), Opaque(0x330000));
    EXPECT_EQ(image.At(5, 3), Opaque(0x440000));
    // A 1 x 1 image and an empty one draw without fault.
    vcl::TPixels32 tiny(1, 1, 0x808080);
    PaintBorderMask(tiny.View(), {0, 0, 1, 1}, mask.View(), {2, 2, 2, 2});
    EXPECT_EQ(tiny.At(0, 0) >> 24, 0xFFu);
    PaintBorderMask(vcl::TBitmapView{}, {0, 0, 1, 1}, mask.View(), {2, 2, 2, 2});

    // Without a mask the frame alone: opaque, its key and the margins clear.
    vcl::TPixels32 bare(4, 4, 0x00ABCDEF);
    bare.At(2, 2) = FrameKeyColour;
    PaintBorderMask(bare.View(), {1, 1, 3, 3}, vcl::TBitmapView{}, {2, 2, 2, 2});
    EXPECT_EQ(bare.At(1, 1), Opaque(0xABCDEF));
    EXPECT_EQ(bare.At(2, 2), 0u);
    EXPECT_EQ(bare.At(0, 0), 0u);
    EXPECT_EQ(bare.At(3, 3), 0u);
}

TEST(BorderImage, OnlyWhatWasPaintedAfterwardsInsideTheFrameBecomesOpaque) {
    vcl::TPixels32 image(6, 6, 0x40101010);
    const std::vector<std::uint32_t> before = PixelsOf(image.View());
    ASSERT_EQ(before.size(), 36u);
    image.At(2, 2) = 0x00FFFFFF;  // text drawn by the system: alpha 0
    image.At(0, 0) = 0x00FFFFFF;  // outside the frame
    image.At(4, 1) = 0x40101010;  // painted, but the same value
    MakeChangedOpaque(image.View(), {1, 1, 5, 5}, before);
    EXPECT_EQ(image.At(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(image.At(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(image.At(4, 1), 0x40101010u);
    EXPECT_EQ(image.At(3, 3), 0x40101010u);
    // A record of another image changes nothing.
    image.At(3, 3) = 0x00000001;
    MakeChangedOpaque(image.View(), {1, 1, 5, 5}, std::vector<std::uint32_t>(35));
    EXPECT_EQ(image.At(3, 3), 0x00000001u);
}

} // namespace
} // namespace skin
