// The UI driver's pictures: a window taken from its DC and from its X window,
// what counts as drawn, and the PNG file that a reader takes back pixel for pixel.
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
    TImage32 image{5, 3, {}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.Pixels.push_back(0xFF000000u | std::uint32_t(x * 40) << 16 | std::uint32_t(y * 90) << 8 | 7);
    WritePng("uidriver-test.png", image);
    std::ifstream in("uidriver-test.png", std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::remove("uidriver-test.png");
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 8), "\x89PNG\r\n\x1A\n");
    // Every chunk with its CRC; the header and the image data gathered.
    std::vector<unsigned char> header, idat, expected;
    for (std::size_t pos = 8; pos + 12 <= file.size();) {
        const std::uint32_t length = BigEndian(&file[pos]);
        ASSERT_LE(pos + 12 + length, file.size());
        EXPECT_EQ(crc32(0, &file[pos + 4], 4 + length), BigEndian(&file[pos + 8 + length]));
        std::vector<unsigned char> &to = file[pos + 4] == 'I' && file[pos + 5] == 'H' ? header : idat;
        to.insert(to.end(), &file[pos + 8], &file[pos + 8] + length);
        pos += 12 + length;
    }
    EXPECT_EQ(header, (std::vector<unsigned char>{0, 0, 0, 5, 0, 0, 0, 3, 8, 2, 0, 0, 0}));  // 5 x 3, 8-bit RGB
    // Rows of a filter byte (none) and red, green, blue.
    for (int y = 0; y < 3; ++y) {
        expected.push_back(0);
        for (int x = 0; x < 5; ++x) expected.insert(expected.end(), {static_cast<unsigned char>(x * 40), static_cast<unsigned char>(y * 90), 7});
    }
    std::vector<unsigned char> raw(expected.size());
    uLongf rawSize = static_cast<uLongf>(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    EXPECT_EQ(raw, expected);
}

// Paints forty columns from red to orange.
LRESULT CALLBACK GradientProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m != WM_PAINT) return DefWindowProcW(w, m, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    for (int i = 0; i < 40; ++i) {
        const RECT r{i, 0, i + 1, 30};
        HBRUSH brush = CreateSolidBrush(RGB(255, i * 6, 0));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    EndPaint(w, &ps);
    return 0;
}

TEST(UiDriver, CapturesTakeTheWindowAsTheScreenShowsIt) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = GradientProc;
    wc.lpszClassName = L"ZuvoGradientTest";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 50, 60, 40, 30, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    UpdateWindow(w);
    TImage32 fromDc = CaptureWindow(w);
    // The X server has the picture once Wine has handed it over, when the thread looks at its messages.
    TImage32 fromX;
    PumpUntil([&] { return IsDrawn(fromX = CaptureXWindow(w)); }, 5s);
    DestroyWindow(w);
    for (TImage32 *image : {&fromDc, &fromX}) {
        ASSERT_EQ(image->Width, 40);
        ASSERT_EQ(image->Height, 30);
        EXPECT_EQ(image->At(20, 15) & 0xFFFFFF, 0xFF7800u);
        EXPECT_TRUE(IsDrawn(*image));
    }
    // One colour, or mostly black, is not a drawn window.
    EXPECT_FALSE(IsDrawn(TImage32{2, 1, {0xFFFF0000u, 0xFFFF0000u}}));
    TImage32 black{20, 1, std::vector<std::uint32_t>(12, 0xFF000000u)};
    for (std::uint32_t c = 1; c <= 8; ++c) black.Pixels.push_back(0xFF000000u | c << 16);
    EXPECT_FALSE(IsDrawn(black));
}

} // namespace
} // namespace uitest
