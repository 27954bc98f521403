// The UI driver's picture file: a PNG that a reader takes back pixel for pixel.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "UiDriver.h"

namespace uitest {
namespace {

std::uint32_t BigEndian(const unsigned char *p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

TEST(UiDriver, WritePngStoresEveryPixel) {
    TImage32 image;
    image.Width = 5;
    image.Height = 3;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.Pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(x * 40) << 16 | static_cast<std::uint32_t>(y * 90) << 8 | 7);
    const std::string path = "uidriver-test.png";
    WritePng(path, image);

    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::remove(path.c_str());
    ASSERT_GT(file.size(), 8u + 25u);
    EXPECT_EQ(std::vector<unsigned char>(file.begin(), file.begin() + 8),
              (std::vector<unsigned char>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    // Walk the chunks, checking each CRC, and gather the image data.
    std::size_t pos = 8;
    std::vector<unsigned char> idat;
    std::uint32_t width = 0, height = 0;
    bool ended = false;
    while (pos + 12 <= file.size()) {
        const std::uint32_t length = BigEndian(&file[pos]);
        const std::string type(reinterpret_cast<const char *>(&file[pos + 4]), 4);
        ASSERT_LE(pos + 12 + length, file.size());
        const uLong crc = crc32(0, &file[pos + 4], 4 + length);
        EXPECT_EQ(crc, BigEndian(&file[pos + 8 + length])) << type;
        const unsigned char *data = &file[pos + 8];
        if (type == "IHDR") {
            width = BigEndian(data);
            height = BigEndian(data + 4);
            EXPECT_EQ(data[8], 8);  // bits per sample
            EXPECT_EQ(data[9], 2);  // RGB
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        pos += 12 + length;
    }
    EXPECT_TRUE(ended);
    ASSERT_EQ(width, 5u);
    ASSERT_EQ(height, 3u);
    std::vector<unsigned char> raw(3 * (1 + 5 * 3));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(raw[y * 16], 0);
        for (int x = 0; x < 5; ++x) {
            const unsigned char *p = &raw[y * 16 + 1 + x * 3];
            EXPECT_EQ(p[0], x * 40);
            EXPECT_EQ(p[1], y * 90);
            EXPECT_EQ(p[2], 7);
        }
    }
}

TEST(UiDriver, CaptureTakesTheWindowAsTheScreenShowsIt) {
    HWND w = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 60, 40, 30, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(w);
    HDC dc = GetDC(w);
    RECT r{0, 0, 40, 30};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &r, red);
    DeleteObject(red);
    ReleaseDC(w, dc);
    GdiFlush();
    const TImage32 image = CaptureWindow(w);
    DestroyWindow(w);
    ASSERT_EQ(image.Width, 40);
    ASSERT_EQ(image.Height, 30);
    EXPECT_EQ(image.At(20, 15) & 0xFFFFFF, 0xFF0000u);
}

} // namespace
} // namespace uitest
