#include "vcl/Icon.h"

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "vcl/Canvas.h"
#include "vcl/IcoFile.h"

using namespace vcl;
using vcl::test::TDibSurface;

namespace {

// An opaque icon of one colour (a pixel value 0x00RRGGBB), with a transparent
// top-left pixel.
TIconImage IconImage(int size, std::uint32_t rgb) {
    TIconImage image;
    image.Width = image.Height = size;
    image.BitCount = 32;
    for (int i = 0; i < size * size; ++i)
        for (int b = 0; b < 4; ++b)
            image.XorBits.push_back(std::uint8_t((0xFF000000u | rgb) >> (8 * b)));
    // Bottom-up: the last row is the top one; its first pixel is transparent.
    const std::size_t topRow = static_cast<std::size_t>(size - 1) * size * 4;
    image.XorBits[topRow + 3] = 0;
    image.AndBits.assign(BytesPerScanLine(size, 1) * size, 0);
    image.AndBits[BytesPerScanLine(size, 1) * (size - 1)] = 0x80;
    return image;
}

std::vector<std::uint8_t> TwoImageFile(std::uint32_t small, std::uint32_t large) {
    // A file with a 16 x 16 and a 32 x 32 image.
    const std::vector<std::uint8_t> a = WriteIconFile(IconImage(16, small));
    const std::vector<std::uint8_t> b = WriteIconFile(IconImage(32, large));
    std::vector<std::uint8_t> file = {0, 0, 1, 0, 2, 0};
    const std::size_t first = 6 + 32, sizeA = a.size() - 22;
    auto entry = [&](const std::vector<std::uint8_t> &one, std::size_t offset) {
        file.insert(file.end(), one.begin() + 6, one.begin() + 18);
        for (int i = 0; i < 4; ++i)
            file.push_back(std::uint8_t(offset >> (8 * i)));
    };
    entry(a, first);
    entry(b, first + sizeA);
    file.insert(file.end(), a.begin() + 22, a.end());
    file.insert(file.end(), b.begin() + 22, b.end());
    return file;
}

void Load(TIcon &icon, const std::vector<std::uint8_t> &file) {
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), file.size());
    stream.SetPosition(0);
    icon.LoadFromStream(stream);
}

} // namespace

TEST(Icon, LoadsIcoDataAndDrawsWithItsTransparencyAtTheWantedSize) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    Load(icon, WriteIconFile(IconImage(32, 0xFF0000)));
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_TRUE(icon.Transparent());
    TDibSurface surface(32, 32);
    surface.Canvas().Draw(0, 0, &icon);
    EXPECT_EQ(surface.Pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 255, 255));

    const std::vector<std::uint8_t> file = TwoImageFile(0x00FF00, 0xFF0000);
    TIcon standard, small;
    Load(standard, file);
    EXPECT_EQ(standard.Width(), GetSystemMetrics(SM_CXICON) <= 24 ? 16 : 32);
    small.SetWidth(16);
    small.SetHeight(16);
    Load(small, file);
    EXPECT_EQ(small.Width(), 16);
    EXPECT_THROW(small.SetWidth(48), EInvalidGraphic);
}

TEST(Icon, SavingGivesBackTheDataLoadedOrAFileMadeFromTheHandle) {
    const std::vector<std::uint8_t> file = TwoImageFile(0x00FF00, 0xFF0000);
    TIcon loaded;
    Load(loaded, file);
    TMemoryStream saved;
    loaded.SaveToStream(saved);
    EXPECT_EQ(std::vector<std::uint8_t>(saved.Memory(), saved.Memory() + saved.Size()), file);

    Load(loaded, WriteIconFile(IconImage(32, 0x00FF00)));
    TIcon icon;
    icon.SetHandle(CopyIcon(loaded.Handle()));
    TMemoryStream made;
    icon.SaveToStream(made);
    made.SetPosition(0);
    TIcon again;
    again.LoadFromStream(made);
    TDibSurface surface(32, 32);
    surface.Canvas().Draw(0, 0, &again);
    EXPECT_EQ(surface.Pixel(9, 9), RGB(0, 255, 0));
    EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 255, 255));
}

TEST(Icon, DamagedDataRaisesAndKeepsTheIcon) {
    TIcon icon;
    Load(icon, WriteIconFile(IconImage(32, 0x0000FF)));
    const HICON handle = icon.Handle();
    const std::vector<std::uint8_t> good = WriteIconFile(IconImage(16, 0xFF0000));
    for (std::size_t n : {std::size_t(0), std::size_t(5), std::size_t(21), std::size_t(60), good.size() - 1}) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(Load(icon, cut), EInvalidGraphic) << n;
        EXPECT_EQ(icon.Handle(), handle);
    }
    std::vector<std::uint8_t> bad = good;
    bad[22 + 14] = 7;  // bits per pixel of the image
    EXPECT_THROW(Load(icon, bad), EInvalidGraphic);
    EXPECT_EQ(icon.Width(), 32);
}

TEST(Icon, AnotherIconCopiesItAndABitmapTakesItByDrawingIt) {
    TIcon icon, copy;
    Load(icon, WriteIconFile(IconImage(32, 0xFF0000)));
    copy.Assign(&icon);
    EXPECT_NE(copy.Handle(), icon.Handle());
    EXPECT_EQ(copy.Width(), 32);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.Assign(&icon);
    EXPECT_EQ(bitmap.Width(), 32);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Canvas()->Pixels(5, 5), clRed);
    EXPECT_EQ(bitmap.Canvas()->Pixels(0, 0), clWhite);  // the transparent corner shows the brush
}
