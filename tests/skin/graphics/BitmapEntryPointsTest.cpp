// The pixel routines called with the class library's bitmaps and background
// records: formats other than 32-bit, and what reaches the pixel core of a
// background record.
#include <gtest/gtest.h>

#include <array>

#include "BitmapTestSupport.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlColorEffects.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlResampling.h"

using namespace skin;
using skin::test::Bitmap32;
using skin::test::ExpectPixels;
using skin::test::Hex;
using skin::test::Plain32;
using skin::test::Px;

namespace {

// A 24-bit bitmap whose pixel (x, y) has the colour bytes of rule(x, y).
std::unique_ptr<vcl::TBitmap> Bitmap24(int w, int h, const skin::test::TRule &rule) {
    auto bmp = std::make_unique<vcl::TBitmap>();
    bmp->SetPixelFormat(vcl::pf24bit);
    bmp->SetSize(w, h);
    const vcl::TDibLayout layout = bmp->Layout();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = rule(x, y);
            std::uint8_t *px = layout.Line(y) + 3 * x;
            px[0] = p & 0xFF, px[1] = (p >> 8) & 0xFF, px[2] = (p >> 16) & 0xFF;
        }
    return bmp;
}

std::uint32_t Colours24(vcl::TBitmap &bmp, int x, int y) {
    const std::uint8_t *px = bmp.Layout().Line(y) + 3 * x;
    return Px(px[0], px[1], px[2], 0);
}

std::uint32_t Pattern(int x, int y) { return Px(10 * x, 20 * y, 30 + x + y, 200); }

} // namespace

TEST(BgPixels, OfferOnlyThirtyTwoBitImages) {
    auto image = Bitmap32(6, 4, Pattern);
    TvlBgInfo info;
    InitBgInfo(image.get(), -2, 3, info);
    info.Color = 0x123456;
    const TBgPixels bg = BgPixels(info);
    EXPECT_EQ(bg.Bmp.First, image->View().First);
    EXPECT_EQ((std::array<int, 3>{bg.X, bg.Y, bg.Color}), (std::array<int, 3>{-2, 3, 0x123456}));
    EXPECT_TRUE(bg.UseBmp);
    info.Bmp = nullptr;
    EXPECT_FALSE(BgPixels(info).Bmp.HasRows());
    auto rgb = Bitmap24(2, 2, Pattern);
    info.Bmp = rgb.get();
    EXPECT_FALSE(BgPixels(info).Bmp.HasRows());
    EXPECT_EQ(rgb->PixelFormat(), vcl::pf24bit);
}

TEST(BlendBitmap32, SourceOfAnotherFormatIsMadeThirtyTwoBit) {
    // Converted, a 24-bit magenta pixel is the key value 0x00FF00FF, which
    // takes the background at the record's offset; the other pixel has alpha
    // 0 and leaves the destination.
    auto src = Bitmap24(2, 1, [](int x, int) { return x == 0 ? Px(255, 0, 255, 0) : Px(9, 9, 9, 0); });
    auto back = Bitmap32(8, 5, Pattern);
    auto dst = Plain32(4, 3, Px(1, 2, 3, 44));
    TvlBgInfo info;
    InitBgInfo(back.get(), 3, 1, info);
    BlendBitmap32({1, 1, 3, 2}, {0, 0, 2, 1}, *dst, *src, info, true);
    EXPECT_EQ(src->PixelFormat(), vcl::pf32bit);
    ExpectPixels(*dst, [](int x, int y) {
        if (x == 1 && y == 1) return (Pattern(4, 2) & 0x00FFFFFF) | Px(0, 0, 0, 44);
        return Px(1, 2, 3, 44);
    });
}

TEST(PaintDisabledLook, BlendsWithTheRecordsImageAtItsOffset) {
    auto back = Plain32(10, 10, Px(200, 50, 0, 9));
    back->View().At(5, 6) = Px(0, 250, 200, 9);
    TvlBgInfo info;
    InitBgInfo(back.get(), 3, 4, info);
    // 60 % background, 40 % image: d = round(s - (s - d) * 0.4); pixel (0, 0)
    // lies over the background's (3 + 2, 4 + 2).
    auto bmp = Plain32(2, 2, Px(100, 0, 100, 255));
    PaintDisabledLook(*bmp, dlBlended, vcl::clRed, &info, {2, 2});
    EXPECT_EQ(Hex(bmp->View().At(0, 0)), Hex(Px(40, 150, 160, 255)));
    EXPECT_EQ(Hex(bmp->View().At(1, 1)), Hex(Px(160, 30, 40, 255)));
}

TEST(BitmapsOfOtherFormats, AreLeftAloneWhereNothingConvertsThem) {
    auto rgb = Bitmap24(3, 2, Pattern);
    const TvlBgInfo none;
    auto src = Plain32(3, 2, Px(1, 1, 1, 255));
    FillRectAlpha(*rgb, {0, 0, 3, 2}, vcl::clWhite, 255);
    SetRectAlpha(*rgb, {0, 0, 3, 2}, 255);
    PremultiplyBitmap(*rgb);
    ForEachPixel32(*rgb, PixelBrightnessProc, 50, vcl::clNone);
    BlendRect32ByAlpha(*rgb, *src, 0, {0, 0, 2, 1}, {0, 0});
    PaintShapeColored32({0, 0, 3, 2}, {0, 0, 3, 2}, *rgb, *src, none, false);
    PaintDisabledLook(*rgb, dlBlended | dlGrayed, vcl::clRed, nullptr, {});
    EXPECT_EQ(GetPixel32(*rgb, 1, 1), 0u);
    EXPECT_EQ(rgb->PixelFormat(), vcl::pf24bit);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Hex(Colours24(*rgb, x, y)), Hex(Pattern(x, y) & 0x00FFFFFF));
}

TEST(ResampleBitmap32, GivesTheTargetTheNewSizeInThirtyTwoBits) {
    auto src = Bitmap24(3, 2, Pattern);
    vcl::TBitmap dst;
    ResampleBitmap32(*src, dst, 6, 4, rfBox);
    EXPECT_EQ(src->PixelFormat(), vcl::pf32bit);
    EXPECT_EQ(dst.PixelFormat(), vcl::pf32bit);
    ASSERT_EQ(dst.Width(), 6);
    ASSERT_EQ(dst.Height(), 4);
    ExpectPixels(dst, [](int x, int y) { return Pattern(x / 2, y / 2) & 0x00FFFFFF; });

    // In place: the bitmap is its own source.
    ResampleBitmap32(dst, dst, 12, 8, rfBox);
    ASSERT_EQ(dst.Width(), 12);
    ASSERT_EQ(dst.Height(), 8);
    ExpectPixels(dst, [](int x, int y) { return Pattern(x / 4, y / 4) & 0x00FFFFFF; });
}

TEST(ResampleBitmap32, SameSizeAssignsTheSourceAsItIs) {
    auto src = Bitmap24(3, 2, Pattern);
    vcl::TBitmap dst;
    ResampleBitmap32(*src, dst, 3, 2, rfMitchell);
    EXPECT_EQ(src->PixelFormat(), vcl::pf24bit);
    EXPECT_EQ(dst.PixelFormat(), vcl::pf24bit);
    ASSERT_EQ(dst.Width(), 3);
    EXPECT_EQ(Hex(Colours24(dst, 2, 1)), Hex(Pattern(2, 1) & 0x00FFFFFF));
}

TEST(ResampleBitmap32, NonPositiveSizesAndThinSourcesLeaveTheTarget) {
    auto src = Plain32(4, 4, Px(9, 9, 9, 9));
    auto thin = Plain32(1, 4, Px(9, 9, 9, 9));
    auto dst = Plain32(2, 2, Px(1, 2, 3, 4));
    for (const vcl::TSize size : {vcl::TSize{0, 3}, vcl::TSize{3, 0}, vcl::TSize{-3, 3}, vcl::TSize{3, -3}})
        ResampleBitmap32(*src, *dst, size.cx, size.cy, rfTriangle);
    ResampleBitmap32(*thin, *dst, 4, 4, rfTriangle);
    ASSERT_EQ(dst->Width(), 2);
    ASSERT_EQ(dst->Height(), 2);
    ExpectPixels(*dst, [](int, int) { return Px(1, 2, 3, 4); });
}
