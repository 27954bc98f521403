#pragma once
// Per-pixel routines that combine two 32-bit images: the general clipped
// blend with tint, transparency, background and reflection, the copies of
// skin images with a key colour or a mask half, and the constant-ratio and
// constant-alpha mixes of fades and animations. Each reads and writes inside
// its images only; an image without rows makes the call do nothing.
//
// Rects are half-open unless a routine says that its source rect includes
// its right and bottom edges.
#include <cstdint>

#include "sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"
#include "vlPixelHelpers.h"

namespace vcl {
class TBitmap;
}

namespace skin {

struct TvlBgInfo;

// Copies SrcRect of Src to (X, Y) of Dst mixing each colour channel by
// d = round(s - (s - d) * Ratio); source pixels equal to TransparentValue
// (whole value) are skipped; alpha is kept.
void BlendRect32ByRatio(const vcl::TBitmapView &Dst, int X, int Y, const vcl::TBitmapView &Src,
                        const vcl::TRect &SrcRect, double Ratio, std::uint32_t TransparentValue);

// Moves every pixel other than KeyPixel toward Colour: c = round((c - k) * Ratio + k).
void FadeBitmapToColor(const vcl::TBitmapView &Bitmap, vcl::TColor Colour, double Ratio);

// Where the mask M is dark, A moves toward Colour; M's white pixels
// (0xFFFFFFFF) leave A alone. Only for images of the same size.
void ColorizeByMask32(const vcl::TBitmapView &A, const vcl::TBitmapView &M, vcl::TColor Colour);

// Mixes SrcRect (right and bottom included) of Src into Dst at DstPoint, all
// four channels: d = (T * (d - s) + s * 256) >> 8 (T 0 gives the source).
void BlendRect32ByAlpha(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, std::uint8_t T,
                        const vcl::TRect &SrcRect, vcl::TPoint DstPoint);

// Paints Src over Dst by the source alpha and raises the destination alpha.
// With Bg.UseBmp key pixels are not painted; with CopyBg they take the
// background image's pixel at alpha 255.
void PaintShapeColored32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                         const vcl::TBitmapView &Src, const TBgPixels &Bg, bool CopyBg);

// The general blend of SrcRect of Src into DstRect of Dst by the source
// alpha, reduced by Transparency percent, optionally tinted (TintColor other
// than clNone), with key pixels handled as in PaintShapeColored32 (but alpha
// kept) and, with Reflection, a fading mirror of the source below DstRect.
void BlendBitmap32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                   const vcl::TBitmapView &Src, const TBgPixels &Bg, bool CopyBg, vcl::TColor TintColor = vcl::clNone,
                   int Transparency = 0, bool Reflection = false);

// Copies an image whose mask half lies (Mask.R's height / 2) rows below it:
// d = ((d - s) * m + s * 256) >> 8 per channel, black mask = image.
void CopyImageWithMask32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                         const vcl::TBitmapView &Src, const TBgPixels &Bg, bool CopyBg, const TsMaskData &Mask);

// Places the whole of Src at (X, Y): pixels other than the key colour are
// copied with alpha 255.
void CopyKeyedRect32(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, int X, int Y, vcl::TColor KeyColor);

// Copies SrcRect (right and bottom included, cut to Src) to (X, Y); pixels
// equal to KeyValue take the background.
void CopyKeyedRectWithBg32(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, int X, int Y,
                           const vcl::TRect &SrcRect, std::uint32_t KeyValue, const TBgPixels &Bg, bool CopyBg);

// Copies SrcRect (right and bottom included) to (X, Y), skipping the key
// colour; the other pixels are copied whole.
void CopyKeyedRectAt32(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, int X, int Y,
                       const vcl::TRect &SrcRect, vcl::TColor KeyColor);

// Dst = A and B mixed per colour channel: d = ((a - b) * w + b * 256) >> 8,
// w = Weight or, when W is given, the same channel of W's pixel (256 gives
// A). A, B (and W) must have the same size and Dst at least that size.
void MixBitmaps32(const vcl::TBitmapView &Dst, const vcl::TBitmapView &A, const vcl::TBitmapView &B,
                  const vcl::TBitmapView *W, int Weight);

#ifdef _WIN32
// The same routines on the class library's bitmaps, as the painters of the
// skin manager, the forms and the adapters hold them. A bitmap that is not
// 32-bit has no pixels to these routines and makes the call do nothing,
// except where a routine says that it converts one. Backgrounds are read
// through BgPixels (vlPixelHelpers).
void BlendRect32ByRatio(vcl::TBitmap &Dst, int X, int Y, vcl::TBitmap &Src, const vcl::TRect &SrcRect, double Ratio,
                        std::uint32_t TransparentValue);
void FadeBitmapToColor(vcl::TBitmap &Bitmap, vcl::TColor Colour, double Ratio);
void BlendRect32ByAlpha(vcl::TBitmap &Dst, vcl::TBitmap &Src, std::uint8_t T, const vcl::TRect &SrcRect,
                        vcl::TPoint DstPoint);
void PaintShapeColored32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, vcl::TBitmap &Dst, vcl::TBitmap &Src,
                         const TvlBgInfo &Bg, bool CopyBg);
// Src is made 32-bit first.
void BlendBitmap32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, vcl::TBitmap &Dst, vcl::TBitmap &Src,
                   const TvlBgInfo &Bg, bool CopyBg, vcl::TColor TintColor = vcl::clNone, int Transparency = 0,
                   bool Reflection = false);
void CopyKeyedRect32(vcl::TBitmap &Dst, vcl::TBitmap &Src, int X, int Y, vcl::TColor KeyColor);
void MixBitmaps32(vcl::TBitmap &Dst, vcl::TBitmap &A, vcl::TBitmap &B, vcl::TBitmap *W, int Weight);

// A soft shadow of Levels graded rounded rects (corner size Radius, both
// limited by half R's smaller side) over R of Bitmap: its pixels move toward
// Colour, most in the middle, where Transparency percent of them stays
// (255 * Transparency / 100 of 256). Works on a bitmap of any format.
void PaintRoundShadow(vcl::TBitmap &Bitmap, const vcl::TRect &R, int Transparency, vcl::TColor Colour, int Levels,
                      int Radius);
#endif

} // namespace skin
