#pragma once
// Bitmap and layout helpers that only compute: the bands of a frame, channel
// copies between a 32-bit and an 8-bit image, and text shortening.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// The four bands of a frame inside R with the given widths, in painting
// order: top, left, bottom, right (each half-open; a width of 0 gives an
// empty band).
std::array<vcl::TRect, 4> FrameBandRects(const vcl::TRect &R, int Left, int Top, int Right, int Bottom);

// Copies one byte channel (0 blue .. 3 alpha) of every pixel of Bmp32 into
// the 8-bit image Bmp8 (ToBmp8) or back. Bmp8 is a view of one byte per
// pixel: Bmp8.Line(y)[x]. Only the area both images cover is copied.
void CopyBitmapChannel(const vcl::TBitmapView &Bmp32, const vcl::TBitmapView &Bmp8, int Channel, bool ToBmp8);

// Measures the width of a text in the font it will be drawn in.
using TTextWidthFunc = std::function<int(std::string_view Text)>;

// Text cut at its end with "..." appended so that it fits MaxWidth; empty
// when MaxWidth < 1 or when not even one character fits with the "...".
// Characters are UTF-8 code points: a cut never splits one.
std::string ShortenTextToWidth(const TTextWidthFunc &TextWidth, const std::string &Text, int MaxWidth);

} // namespace skin
