// Glyph strips, arrows and nine-part images on the class library's bitmaps
// and canvases.
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vlGlyphStrips.h"

namespace skin {

namespace {

// The bitmap as 32-bit pixels: itself when it is 32-bit, else a copy.
vcl::TBitmap &As32(vcl::TBitmap &Bitmap, vcl::TBitmap &Copy) {
    if (Bitmap.PixelFormat() == vcl::pf32bit) return Bitmap;
    Copy.Assign(&Bitmap);
    Copy.SetPixelFormat(vcl::pf32bit);
    return Copy;
}

} // namespace

void DrawGlyphState(vcl::TBitmap &Glyph, vcl::TBitmap &Dst, const vcl::TRect &R, int FrameCount, bool Enabled,
                    int StateKind, int BlendPercent, int DownShift, bool Reflected) {
    vcl::TBitmap copy;
    vcl::TBitmap &glyph = As32(Glyph, copy);
    DrawGlyphState(glyph.View(), Dst.View(), R, FrameCount, Enabled, StateKind, BlendPercent, DownShift, Reflected,
                   Glyph.PixelFormat() == vcl::pf4bit);
}

void DrawGlyphReflection(vcl::TBitmap &Dst, vcl::TBitmap &Src, vcl::TPoint P, const vcl::TRect &SrcRect,
                         vcl::TColor KeyColor, int Percent) {
    DrawGlyphReflection(Dst.View(), Src.View(), P, SrcRect, KeyColor, Percent);
}

void DrawScrollArrowGlyph(vcl::TCanvas &Canvas, vcl::TColor Color, const vcl::TRect &R, int Direction) {
    for (const vcl::TPoint &p : ScrollArrowPixels(R, Direction)) Canvas.SetPixels(p.X, p.Y, Color);
}

void DrawNinePartImage(vcl::TBitmap &Dst, vcl::TBitmap &Src, const vcl::TRect &DstRect, const vcl::TRect &SrcRect,
                       const vcl::TRect &Margins, const vcl::TRect &Limits, const std::array<int, 4> &SideModes,
                       bool StretchCenter, bool DrawCenter) {
    vcl::TBitmap copy;
    vcl::TBitmap &src = As32(Src, copy);
    DrawNinePartImage(Dst.View(), src.View(), DstRect, SrcRect, Margins, Limits, SideModes, StretchCenter,
                      DrawCenter);
}

} // namespace skin
