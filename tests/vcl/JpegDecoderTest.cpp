#include "vcl/JpegDecoder.h"
#include "vcl/System.h"

#include <gtest/gtest.h>

#include "JpegTestSupport.h"

using namespace vcl;
using vcl::test::EncodeJpeg;
using vcl::test::QuadrantJpeg;
using vcl::test::TJpegRecipe;
using Bytes = std::vector<std::uint8_t>;

namespace {

// True when every channel of the pixel is within 4 of the expected B, G, R.
::testing::AssertionResult Near(const TBGRA &pixel, int b, int g, int r) {
    if (std::abs(pixel.B - b) <= 4 && std::abs(pixel.G - g) <= 4 && std::abs(pixel.R - r) <= 4)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel B,G,R " << int(pixel.B) << "," << int(pixel.G) << ","
                                         << int(pixel.R) << " expected " << b << "," << g << "," << r;
}

std::string ErrorOf(const Bytes &file) {
    try {
        DecodeJpeg(file);
    } catch (const EInvalidGraphic &e) {
        return e.Message();
    }
    return "no error";
}

// A grey image's header that declares width x height, and its scan header
// with one byte of data after it.
Bytes EmptyGreyJpeg(int width, int height) {
    Bytes file = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    file.insert(file.end(), 64, 1);
    file.insert(file.end(), {0xFF, 0xC0, 0x00, 0x0B, 0x08, std::uint8_t(height >> 8), std::uint8_t(height),
                             std::uint8_t(width >> 8), std::uint8_t(width), 0x01, 0x01, 0x11, 0x00});
    for (std::uint8_t table : {0x00, 0x10}) {  // one DC and one AC table with a single one-bit code
        file.insert(file.end(), {0xFF, 0xC4, 0x00, 0x14, table, 0x01});
        file.insert(file.end(), 16, 0);
    }
    file.insert(file.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x00});
    return file;
}

} // namespace

TEST(JpegDecoder, ColourAndProgressiveImagesBecomeTwentyFourBitsTopLineFirst) {
    for (bool progressive : {false, true}) {
        TDibImage image = DecodeJpeg(QuadrantJpeg(progressive));
        ASSERT_EQ(image.PixelFormat, pf24bit);
        ASSERT_EQ(image.Width, 16);
        ASSERT_EQ(image.Height, 16);
        const TDibLayout layout = image.Layout();
        EXPECT_TRUE(Near(ReadDibPixel(layout, 3, 3), 0, 0, 255));  // scan line 3 is near the top
        EXPECT_TRUE(Near(ReadDibPixel(layout, 12, 3), 0, 255, 0));
        EXPECT_TRUE(Near(ReadDibPixel(layout, 3, 12), 255, 0, 0));
        EXPECT_TRUE(Near(ReadDibPixel(layout, 12, 12), 255, 255, 255));
    }
}

TEST(JpegDecoder, GreyAndCmykImagesAreWidenedToColour) {
    TJpegRecipe grey;
    grey.Components = 1;
    grey.Pixel = [](int x, int, std::uint8_t *s) { s[0] = x < 8 ? 40 : 200; };
    TDibImage image = DecodeJpeg(EncodeJpeg(grey));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 2, 5), 40, 40, 40));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 13, 5), 200, 200, 200));

    // Stored inverted: 255 is no ink. Magenta and yellow ink make red.
    TJpegRecipe cmyk;
    cmyk.Components = 4;
    cmyk.Pixel = [](int, int, std::uint8_t *s) {
        s[0] = s[3] = 255;
        s[1] = s[2] = 0;
    };
    image = DecodeJpeg(EncodeJpeg(cmyk));
    EXPECT_TRUE(Near(ReadDibPixel(image.Layout(), 8, 8), 0, 0, 255));
}

TEST(JpegDecoder, AFlatImageCompressedAsFarAsItGoesStillFitsItsFile) {
    // Each block of a flat image costs next to nothing: the bound on the
    // blocks a file can hold must leave such images alone.
    TJpegRecipe flat;
    flat.Width = flat.Height = 512;
    flat.Progressive = true;
    flat.Pixel = [](int, int, std::uint8_t *s) { s[0] = s[1] = s[2] = 90; };
    EXPECT_EQ(DecodeJpeg(EncodeJpeg(flat)).Width, 512);
}

TEST(JpegDecoderDamage, WhatIsNoJpegOrEndsEarlyIsReported) {
    EXPECT_EQ(ErrorOf({}).rfind("Cannot load JPEG image: ", 0), 0u);
    const std::string text = ErrorOf({'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(text.rfind("Cannot load JPEG image: ", 0), 0u) << text;
    EXPECT_GT(text.size(), 30u) << "libjpeg's description follows";
    Bytes cut = QuadrantJpeg();
    cut.resize(cut.size() - 20);
    EXPECT_EQ(ErrorOf(cut), "Cannot load JPEG image: the data ends before the image does.");
}

TEST(JpegDecoderDamage, HeadersThatPromiseMoreThanTheFileCanHoldAreRefusedBeforeDecoding) {
    // 139 bytes that declare 8192 x 8192 pixels: 192 MB of image.
    EXPECT_EQ(ErrorOf(EmptyGreyJpeg(8192, 8192)),
              "Cannot load JPEG image: the data is too short for an image of 8192 x 8192.");
    // 34 x 34 blocks: just more than the 8 x 139 bits can code.
    EXPECT_EQ(ErrorOf(EmptyGreyJpeg(272, 272)), "Cannot load JPEG image: the data is too short for an image of 272 x 272.");
    // Enough bytes for the blocks, but more pixels than a 32-bit program
    // can spare the memory for (16384 x 16384: 768 MB).
    for (const auto &[w, h] : {std::pair{8192, 8193}, std::pair{16384, 16384}}) {
        Bytes padded = EmptyGreyJpeg(w, h);
        padded.resize(600000, 0);
        EXPECT_EQ(ErrorOf(padded), "Cannot load JPEG image: the image is too large (" + std::to_string(w) + " x " +
                                       std::to_string(h) + ").");
    }
}

TEST(JpegDecoderDamage, AFileOfEndlessScansIsRefused) {
    // The last scan of a progressive file, repeated: each repetition walks
    // the whole image again.
    const Bytes file = QuadrantJpeg(true);
    std::size_t lastScan = 0;
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) lastScan = i;
    Bytes endless(file.begin(), file.begin() + lastScan);
    for (int i = 0; i < 501; ++i) endless.insert(endless.end(), file.begin() + lastScan, file.end() - 2);
    endless.insert(endless.end(), {0xFF, 0xD9});
    EXPECT_EQ(ErrorOf(endless), "Cannot load JPEG image: the file has more than 500 scans.");
}
