#pragma once
// How every pixel routine reaches a 32-bit image: the address of scan line 0
// and a signed stride (negative for bottom-up bitmaps). Portable: the Windows
// TBitmap hands out views of its DIB section, and TPixels32 owns memory laid
// out the same way for code and tests that run without Windows.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcl {

// Pixel bytes in memory order: blue, green, red, alpha.
struct TBGRA {
    std::uint8_t B = 0;
    std::uint8_t G = 0;
    std::uint8_t R = 0;
    std::uint8_t A = 0;
    friend bool operator==(const TBGRA &, const TBGRA &) = default;
};
static_assert(sizeof(TBGRA) == 4);

struct TBitmapView {
    std::uint8_t *First = nullptr;  // scan line 0
    std::ptrdiff_t Stride = 0;      // address of line 1 minus that of line 0
    int Width = 0;
    int Height = 0;

    // False for an image without rows: pixel routines then do nothing.
    bool HasRows() const { return First != nullptr && Height >= 1 && Width >= 0; }
    std::uint8_t *Line(int y) const { return First + y * Stride; }
    std::uint32_t *Row32(int y) const { return reinterpret_cast<std::uint32_t *>(Line(y)); }
    TBGRA *RowBGRA(int y) const { return reinterpret_cast<TBGRA *>(Line(y)); }
    std::uint32_t &At(int x, int y) const { return Row32(y)[x]; }
};

// An owned 32-bit image in memory, bottom-up like a DIB section so that the
// negative stride is exercised wherever it runs.
class TPixels32 {
public:
    TPixels32() = default;
    TPixels32(int width, int height, std::uint32_t fill = 0);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetSize(int width, int height, std::uint32_t fill = 0);
    TBitmapView View();
    std::uint32_t &At(int x, int y) { return View().At(x, y); }
    std::uint32_t At(int x, int y) const;

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<std::uint32_t> FData;
};

} // namespace vcl
