#include "vcl/Jpeg.h"

#include <gtest/gtest.h>

#include <fstream>

#include "GraphicsTestSupport.h"
#include "TempFolder.h"
#include "JpegTestSupport.h"
#include "vcl/Picture.h"

using namespace vcl;
using vcl::test::QuadrantJpeg;
using vcl::test::TDibSurface;
using vcl::test::TempFolder;

namespace {

void Load(TJPEGImage &image, const std::vector<std::uint8_t> &file) {
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), file.size());
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

bool NearColour(TColor c, int r, int g, int b) {
    return std::abs((c & 0xFF) - r) <= 4 && std::abs(((c >> 8) & 0xFF) - g) <= 4 && std::abs(((c >> 16) & 0xFF) - b) <= 4;
}

} // namespace

TEST(JpegImage, LoadsDrawsAndSavesTheBytesItLoaded) {
    TJPEGImage image;
    EXPECT_TRUE(image.Empty());
    const std::vector<std::uint8_t> file = QuadrantJpeg(true);
    Load(image, file);
    EXPECT_EQ(image.Width(), 16);
    EXPECT_EQ(image.Bitmap()->PixelFormat(), pf24bit);
    TDibSurface surface(16, 16);
    surface.Canvas().Draw(0, 0, &image);
    EXPECT_TRUE(NearColour(static_cast<TColor>(surface.Pixel(2, 2)), 255, 0, 0));
    EXPECT_TRUE(NearColour(static_cast<TColor>(surface.Pixel(13, 13)), 255, 255, 255));
    TMemoryStream saved;
    image.SaveToStream(saved);
    EXPECT_EQ(std::vector<std::uint8_t>(saved.Memory(), saved.Memory() + saved.Size()), file);

    std::vector<std::uint8_t> cut = QuadrantJpeg();
    cut.resize(cut.size() / 2);
    EXPECT_THROW(Load(image, cut), EInvalidGraphic);
    EXPECT_EQ(image.Width(), 16);  // kept
    EXPECT_THROW(image.SetWidth(20), EInvalidGraphic);
}

TEST(JpegImage, APictureLoadsJpegFilesByExtensionAndABitmapTakesTheirPixels) {
    const TempFolder temp;
    const std::string file = temp / "product.JPG";
    const std::vector<std::uint8_t> bytes = QuadrantJpeg();
    std::ofstream(TempFolder::Native(file), std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    TPicture picture;
    picture.LoadFromFile(file);
    ASSERT_NE(dynamic_cast<TJPEGImage *>(picture.Graphic()), nullptr);
    TBitmap bitmap;
    bitmap.Assign(picture.Graphic());
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_TRUE(NearColour(bitmap.Canvas()->Pixels(12, 3), 0, 255, 0));
}
