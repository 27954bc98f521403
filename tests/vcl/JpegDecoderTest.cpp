#include "vcl/JpegDecoder.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

#include <random>

#include "JpegTestSupport.h"

using namespace vcl;
using vcl::test::EncodeJpeg;
using vcl::test::QuadrantJpeg;
using vcl::test::TJpegRecipe;

namespace {

// True when every channel of the pixel is within 4 of the expected B, G, R.
::testing::AssertionResult Near(const TBGRA &pixel, int b, int g, int r) {
    if (std::abs(pixel.B - b) <= 4 && std::abs(pixel.G - g) <= 4 && std::abs(pixel.R - r) <= 4)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel B,G,R " << int(pixel.B) << "," << int(pixel.G) << ","
                                         << int(pixel.R) << " expected " << b << "," << g << "," << r;
}

void ExpectQuadrants(TDibImage &image) {
    ASSERT_EQ(image.PixelFormat, pf24bit);
    ASSERT_EQ(image.Width, 16);
    ASSERT_EQ(image.Height, 16);
    const TDibLayout layout = image.Layout();
    EXPECT_TRUE(Near(ReadDibPixel(layout, 3, 3), 0, 0, 255));  // scan line 3 is near the top
    EXPECT_TRUE(Near(ReadDibPixel(layout, 12, 3), 0, 255, 0));
    EXPECT_TRUE(Near(ReadDibPixel(layout, 3, 12), 255, 0, 0));
    EXPECT_TRUE(Near(ReadDibPixel(layout, 12, 12), 255, 255, 255));
}

} // namespace

TEST(JpegDecoder, ColourImagesBecomeTwentyFourBitsTopLineFirst) {
    TDibImage image = DecodeJpeg(QuadrantJpeg());
    ExpectQuadrants(image);
}

TEST(JpegDecoder, ProgressiveImagesDecodeAlike) {
    TDibImage image = DecodeJpeg(QuadrantJpeg(true));
    ExpectQuadrants(image);
}

TEST(JpegDecoder, GreyImagesAreWidenedToColour) {
    TJpegRecipe recipe;
    recipe.Components = 1;
    recipe.Pixel = [](int x, int, std::uint8_t *s) { s[0] = x < 8 ? 40 : 200; };
    TDibImage image = DecodeJpeg(EncodeJpeg(recipe));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 2, 5), 40, 40, 40));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 13, 5), 200, 200, 200));
}

TEST(JpegDecoder, CmykImagesAreMixedToColour) {
    // Stored inverted: 255 is no ink. Magenta and yellow ink make red.
    TJpegRecipe recipe;
    recipe.Components = 4;
    recipe.Pixel = [](int, int, std::uint8_t *s) {
        s[0] = 255;
        s[1] = 0;
        s[2] = 0;
        s[3] = 255;
    };
    TDibImage image = DecodeJpeg(EncodeJpeg(recipe));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 8, 8), 0, 0, 255));
}

TEST(JpegDecoderDamage, WhatIsNoJpegIsReported) {
    const std::vector<std::uint8_t> empty, text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_THROW(DecodeJpeg(empty), EInvalidGraphic);
    try {
        DecodeJpeg(text);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.Message().rfind("Cannot load JPEG image: ", 0), 0u) << e.Message();
        EXPECT_GT(e.Message().size(), 30u) << "libjpeg's description follows";
    }
}

TEST(JpegDecoderDamage, TruncatedDataIsReportedAtEveryLength) {
    const std::vector<std::uint8_t> file = QuadrantJpeg();
    for (std::size_t n = 0; n + 2 < file.size(); n += 7) {  // the last two bytes are the end marker
        const std::vector<std::uint8_t> cut(file.begin(), file.begin() + n);  // no bytes beyond for the sanitizers
        EXPECT_THROW(DecodeJpeg(cut), EInvalidGraphic) << n;
    }
}

TEST(JpegDecoderDamage, RandomCorruptionNeverReadsOutOfBounds) {
    // Under the host build's sanitizers a stray access fails the test.
    std::mt19937 random(7);
    const std::vector<std::uint8_t> good = QuadrantJpeg(true);
    for (int round = 0; round < 500; ++round) {
        std::vector<std::uint8_t> bad = good;
        for (int i = 0; i < 1 + round % 5; ++i)
            bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
        try {
            DecodeJpeg(bad);
        } catch (const EInvalidGraphic &) {
        }
    }
}
