#pragma once
// Filtered resizing of 32-bit images in two separable passes (rows into a
// work image of the new width, then columns into the destination). All four
// channels, alpha included, are filtered alike.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vcl/BitmapView.h"

namespace vcl {
class TBitmap;
}

namespace skin {

// Reconstruction filters.
enum TResampleFilter : int {
    rfBox = 0,
    rfTriangle = 1,
    rfHermite = 2,
    rfBell = 3,
    rfBSpline = 4,
    rfWindowedSine = 5,
    rfMitchell = 6,  // the painters' filter for images
};
inline constexpr int ResampleFilterCount = 7;

// One source pixel's share in a destination pixel.
struct TResampleContributor {
    std::ptrdiff_t Offset = 0;  // source index times the pass's pixel step, in bytes
    std::int32_t Weight = 0;  // 16.16 fixed point
};

// The contributors of every destination position of one pass.
struct TResampleContributors {
    std::vector<std::int32_t> First;  // per position: index of its first contributor
    std::vector<std::int32_t> Count;  // per position: how many it has
    std::vector<TResampleContributor> Items;
};

// The support radius of a filter; 0 for an unknown number.
float ResampleFilterRadius(int Filter);
// The weight at signed scaled distance X (the box filter tells +0.5 from -0.5).
float ResampleFilterWeight(int Filter, float X);

// Contributors for resizing a line of SourceSize pixels to DestSize. Every
// source index stays inside the line.
TResampleContributors BuildResampleContributors(int DestSize, int SourceSize, int Filter, std::ptrdiff_t PixelStep);

// Produces Count destination pixels along one line: position i reads the
// source through its contributors' byte offsets from Source and is written
// at Dest + i * DestStep.
void ApplyResampleContributors(std::ptrdiff_t DestStep, std::uint8_t *Dest, const std::uint8_t *Source,
                               const TResampleContributors &List, int Count);

// Resizes Src into Dst's size. Nothing happens for an empty destination or a
// source narrower or lower than 2 pixels; the same size copies Src.
void ResampleBitmap32(const vcl::TBitmapView &Src, const vcl::TBitmapView &Dst, int Filter);

#ifdef _WIN32
// The same on the class library's bitmaps: Dst becomes a 32-bit bitmap of
// NewWidth x NewHeight (Src and Dst may be one bitmap) and Src is made
// 32-bit. At Src's own size Dst is assigned Src as it is. Nothing happens
// when either size is below 1 or Src is narrower or lower than 2 pixels.
void ResampleBitmap32(vcl::TBitmap &Src, vcl::TBitmap &Dst, int NewWidth, int NewHeight, int Filter);
#endif

} // namespace skin
