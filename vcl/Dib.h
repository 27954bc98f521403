#pragma once
// Device-independent pixel memory: the pixel formats a bitmap can have, the
// layout of their scan lines and the conversion between them. Portable: the
// Windows TBitmap keeps its pixels in a DIB section laid out this way, and the
// BMP reader and writer work on the same layout.
#include "BitmapView.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vcl {

// pfDevice is the screen's own format (a device-dependent bitmap); pfCustom
// names a layout that no bitmap takes.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

// Bits per pixel of a DIB format; 0 for pfDevice and pfCustom.
int PixelFormatBits(TPixelFormat format);
bool IsIndexedFormat(TPixelFormat format);
// Entries of an indexed format's colour table (2, 16, 256); 0 for the others.
int ColorTableSize(TPixelFormat format);
// Bytes of one scan line: rows start on 32-bit boundaries.
std::ptrdiff_t BytesPerScanLine(int width, int bitsPerPixel);

// The colour table an indexed bitmap gets when nobody gives it one: black and
// white; the sixteen basic colours; 256 grey levels (8-bit bitmaps serve as
// alpha and intensity planes, so index i reads as grey i).
std::vector<TBGRA> DefaultColorTable(TPixelFormat format);

// Where a DIB's pixels lie. Colour-table entries are B, G, R and a reserved
// byte, as in the file and in GDI.
struct TDibLayout {
    std::uint8_t *First = nullptr;  // scan line 0, the top line
    std::ptrdiff_t Stride = 0;      // address of line 1 minus that of line 0
    int Width = 0;
    int Height = 0;
    TPixelFormat PixelFormat = pf32bit;
    const TBGRA *ColorTable = nullptr;
    int ColorCount = 0;

    std::uint8_t *Line(int y) const { return First + y * Stride; }
};

// Copies the area both images share, aligned at the top-left corner. Equal
// formats copy the bits unchanged (indices stay indices); otherwise each
// pixel is converted: indexed targets take the nearest colour of their table,
// alpha survives only from 32 to 32 bits and is 0 where it did not exist.
void CopyDibPixels(const TDibLayout &source, const TDibLayout &target);

// Decodes one pixel to B, G, R, A (A is 0 unless the format carries it).
TBGRA ReadDibPixel(const TDibLayout &image, int x, int y);

} // namespace vcl
