#pragma once
// Small helpers shared by the Windows graphics tests.
#include <windows.h>

#include <cstdint>
#include <string>

#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"

namespace vcl::test {

// A 32-bit DIB section selected into a memory DC of its own, with a plain
// canvas on that DC and pixels the test can read back.
class TDibSurface {
public:
    TDibSurface(int width, int height, COLORREF fill = RGB(255, 255, 255)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row y at Bits + y * width
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        FBits = static_cast<std::uint32_t *>(bits);
        FWidth = width;
        FOriginal = SelectObject(FDC.Get(), FBitmap.Get());
        TBrushHandle brush(CreateSolidBrush(fill));
        RECT r{0, 0, width, height};
        FillRect(FDC.Get(), &r, brush.Get());
    }
    ~TDibSurface() {
        FCanvas.SetHandle(nullptr);
        SelectObject(FDC.Get(), FOriginal);
    }

    HDC DC() const { return FDC.Get(); }
    // A canvas drawing on DC().
    TCanvas &Canvas() {
        FCanvas.SetHandle(FDC.Get());
        return FCanvas;
    }
    // The pixel as a colour value (red in the low byte).
    COLORREF Pixel(int x, int y) const {
        GdiFlush();
        const std::uint32_t v = FBits[y * FWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

private:
    TMemoryDC FDC;
    TBitmapHandle FBitmap;
    HGDIOBJ FOriginal = nullptr;
    std::uint32_t *FBits = nullptr;
    int FWidth = 0;
    TCanvas FCanvas;
};

// The 32-bit pixel at (x, y) of a pf32bit bitmap, as stored (B, G, R, A from the low byte).
inline std::uint32_t Pixel32(TBitmap &bitmap, int x, int y) {
    return static_cast<std::uint32_t *>(bitmap.ScanLine(y))[x];
}

} // namespace vcl::test
