#pragma once
// Small images that are not skin sections.
//
//   DrawGlyphState        one frame of a button glyph strip (frames side by
//                         side), chosen by the control's state, with the
//                         frame's bottom-left colour as its key and an
//                         optional fading mirror below it
//   DrawGlyphReflection   that mirror
//   DrawScrollArrowGlyph  the small triangle of scroll and combo buttons
//   DrawNinePartImage     an image laid into a rect in nine parts (dialog and
//                         form frames)
//   GetMaskCornerRects    the key-colour runs in the corners of a border
//                         mask, as one-pixel-high rects for window regions
//
// Portable on pixel views: copies are exact and stretches take the nearest
// pixel (vlSkinPieces); every read stays inside its image.
#include <array>
#include <vector>

#include "sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vcl {
class TBitmap;
class TCanvas;
}

namespace skin {

// A list of pieces of a window region.
using TAOR = std::vector<vcl::TRect>;

// Directions of DrawScrollArrowGlyph.
inline constexpr int adLeft = 0;
inline constexpr int adUp = 1;
inline constexpr int adRight = 2;
inline constexpr int adDown = 3;

// Side modes of DrawNinePartImage; any other value leaves the side out.
inline constexpr int npTile = 0;
inline constexpr int npStretch = 1;

// The frame of a strip of FrameCount frames (below 1 counts as 1) that
// DrawGlyphState shows for a state kind: 0 normal, 1 hot, 2 pressed (moved
// on by DownShift, never below 0), 3 the third frame (held down). PlainOrder:
// the strip has no hot frame (a 4-bit glyph, no default manager, or the
// manager's StdGlyphsOrder).
int GlyphStateFrame(int FrameCount, bool Enabled, int StateKind, int DownShift, bool PlainOrder);

// Glyph: the strip as a 32-bit image. An enabled frame (or one with
// BlendPercent 0) is copied without its key pixels to R's top-left; a
// disabled one is mixed in, keeping BlendPercent (0..100) of the destination.
// Reflected moves the glyph up by an eighth of R's height and mirrors it
// below. Glyph4Bit: the strip came from a 4-bit bitmap.
void DrawGlyphState(const vcl::TBitmapView &Glyph, const vcl::TBitmapView &Dst, const vcl::TRect &R, int FrameCount,
                    bool Enabled, int StateKind, int BlendPercent, int DownShift, bool Reflected,
                    bool Glyph4Bit = false);
// SrcRect includes its right and bottom edges; the mirror starts at P at
// about half opacity (less Percent) and fades over two thirds of Src's height.
void DrawGlyphReflection(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, vcl::TPoint P,
                         const vcl::TRect &SrcRect, vcl::TColor KeyColor, int Percent);

// The pixels of the arrow in R, 7 across its base and 4 deep; none for an
// unknown direction.
std::vector<vcl::TPoint> ScrollArrowPixels(const vcl::TRect &R, int Direction);

// Margins and Limits: four widths (Left, Top, Right, Bottom); a corner
// reaches inward only as far as the limits. SideModes: left, top, right,
// bottom. Nothing is painted outside DstRect.
void DrawNinePartImage(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, const vcl::TRect &DstRect,
                       const vcl::TRect &SrcRect, const vcl::TRect &Margins, const vcl::TRect &Limits,
                       const std::array<int, 4> &SideModes, bool StretchCenter, bool DrawCenter);

// Appends the runs of key pixels in the top (or, with Bottom, the bottom)
// margin rows of the mask's first image: the left corner's at their own x,
// the right corner's moved to the right end of a Width-wide window; y is the
// row in the band plus YOffset. Nothing for a mask without pixels or one
// whose band or rect does not lie inside its image.
void GetMaskCornerRects(TAOR &Rects, int Width, const TsMaskData &Mask, int YOffset, bool Bottom);

#ifdef _WIN32
// On the class library's bitmaps: the glyph is copied to 32 bits first.
void DrawGlyphState(vcl::TBitmap &Glyph, vcl::TBitmap &Dst, const vcl::TRect &R, int FrameCount, bool Enabled,
                    int StateKind, int BlendPercent, int DownShift, bool Reflected);
void DrawGlyphReflection(vcl::TBitmap &Dst, vcl::TBitmap &Src, vcl::TPoint P, const vcl::TRect &SrcRect,
                         vcl::TColor KeyColor, int Percent);
void DrawScrollArrowGlyph(vcl::TCanvas &Canvas, vcl::TColor Color, const vcl::TRect &R, int Direction);
// Dst must be 32-bit; a source of another format is copied to 32 bits first.
void DrawNinePartImage(vcl::TBitmap &Dst, vcl::TBitmap &Src, const vcl::TRect &DstRect, const vcl::TRect &SrcRect,
                       const vcl::TRect &Margins, const vcl::TRect &Limits, const std::array<int, 4> &SideModes,
                       bool StretchCenter, bool DrawCenter);
#endif

} // namespace skin
