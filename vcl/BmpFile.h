#pragma once
// The BMP file format: reading any common BMP (or the packed DIB of a bitmap
// resource) into DIB memory, and writing DIB memory as a BMP file. Portable.
// Readers check every length against the data before they use it and raise
// EInvalidGraphic with a message that names what is wrong.
#include "Dib.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vcl {

// An owned image in DIB memory, bottom-up as GDI keeps it.
struct TDibImage {
    int Width = 0;
    int Height = 0;
    TPixelFormat PixelFormat = pf24bit;
    std::vector<TBGRA> ColorTable;   // indexed formats: all 2, 16 or 256 entries
    std::vector<std::uint8_t> Bits;  // Height rows of BytesPerScanLine, the bottom row first

    TDibLayout Layout();
};

inline constexpr std::size_t BmpFileHeaderSize = 14;

// A whole file: "BM", the file header, then a packed DIB at the offsets the
// header gives.
TDibImage ReadBmpFile(std::span<const std::uint8_t> data);
// The image of a whole BMP file, checked as ReadBmpFile checks it, without
// copying its pixels where the file stores them as a bitmap of their format
// keeps them: the layout then points into data, and its pixels must only be
// read. Pixels that need converting are decoded into holder, which also
// keeps the colour table; the layout is valid as long as data and holder are.
TDibLayout ViewBmpFile(std::span<const std::uint8_t> data, TDibImage &holder);
// The same for a packed DIB (as ReadPackedDib reads it).
TDibLayout ViewPackedDib(std::span<const std::uint8_t> data, TDibImage &holder);
// An info header, colour masks and table, then the pixels (the layout of a
// bitmap resource and of a DIB on the clipboard).
TDibImage ReadPackedDib(std::span<const std::uint8_t> data);
// The file size a BMP file header announces, or 0 when `header` (at least
// BmpFileHeaderSize bytes) is not one.
std::uint32_t BmpFileSize(std::span<const std::uint8_t> header);

// A BMP file of the image: a 40-byte info header, masks for pf16bit, the full
// colour table of indexed formats, bottom-up rows with zeroed padding. 32-bit
// pixels keep their fourth byte. pfDevice and pfCustom raise EInvalidGraphic.
std::vector<std::uint8_t> WriteBmpFile(const TDibLayout &image);

} // namespace vcl
