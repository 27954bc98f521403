#pragma once
// The .ico file format: its directory, the choice of the image that fits a
// wanted size, the check of an image before the system reads it, and the
// writing of one image as a file. Portable.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "BitmapView.h"

namespace vcl {

struct TIconDirEntry {
    int Width = 0;   // 1 .. 256
    int Height = 0;
    int BitCount = 0;  // as the directory says; 0 when it does not
    std::size_t Offset = 0;
    std::size_t Size = 0;
};

inline constexpr std::size_t IconDirHeaderSize = 6;
inline constexpr std::size_t IconDirEntrySize = 16;

// The number of images an icon file's first six bytes announce; raises
// EInvalidGraphic when they do not begin an icon file.
std::size_t IconImageCount(std::span<const std::uint8_t> header);
// The directory of an icon file, given at least its header and entries.
// Every image must lie after the directory; whether the data reaches that
// far is for the caller to check against ImagesEnd.
std::vector<TIconDirEntry> ReadIconDirectory(std::span<const std::uint8_t> data);
// Where the last image ends: the length of the file.
std::size_t ImagesEnd(const std::vector<TIconDirEntry> &entries);
// The entry to use for a wanted size: the exact size with the most colours,
// else the nearest size (a larger one on a tie), again with the most colours.
std::size_t ChooseIconImage(const std::vector<TIconDirEntry> &entries, int width, int height);
// Raises EInvalidGraphic unless the image is a PNG or a DIB whose pixels
// and mask fit in its bytes.
void CheckIconImage(std::span<const std::uint8_t> image);

// One image of an icon: colours (BitCount 1, 4, 8, 24 or 32 with a colour
// table for the indexed ones) and the AND mask, both bottom-up with rows on
// 32-bit boundaries.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 32;
    std::vector<TBGRA> ColorTable;
    std::vector<std::uint8_t> XorBits;
    std::vector<std::uint8_t> AndBits;
};

std::vector<std::uint8_t> WriteIconFile(const TIconImage &image);

} // namespace vcl
