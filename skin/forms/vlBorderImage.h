#pragma once
// The pixel work of an extended border drawn by the skin's own border image
// (the skin's "BORDERMODE" 1): that image laid over the frame image of a
// form as a nine-part image, and what the caption painters then draw over
// it made opaque. Images are 32-bit; the results are premultiplied, as a
// layered window takes them. Portable.
#include <cstdint>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// The colour of the frame's transparent pixels.
inline constexpr std::uint32_t FrameKeyColour = 0xFF00FF;

// Mask (straight alpha) laid over the whole of Image in nine parts: its
// corners as they are, cut at Slices (left, top, right, bottom widths,
// shrunk evenly where two would overlap in Image), its sides stretched,
// its middle left out. Under it the pixels of Image inside Frame count as
// opaque except the key colour; outside Frame nothing lies under it.
void PaintBorderMask(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const vcl::TBitmapView &Mask,
                     const vcl::TRect &Slices);

// The pixels of Image, row by row.
std::vector<std::uint32_t> PixelsOf(const vcl::TBitmapView &Image);

// Every pixel of Image inside Frame that differs from Before (PixelsOf the
// same image earlier) becomes opaque: painters of the caption leave the
// alpha of what they draw at 0. Before of another size changes nothing.
void MakeChangedOpaque(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const std::vector<std::uint32_t> &Before);

} // namespace skin
