#pragma once
// The graphics utility routines that need GDI and the class library's
// TBitmap and TCanvas: new 32-bit bitmaps, copies and alpha drawing of
// bitmaps, solid fills and frames on device contexts, textures painted with
// block transfers, clip exclusion of window-less controls, and the optional
// system functions for right-to-left layout and layered windows, bound by
// name on first use. Windows only; the pixel arithmetic behind them is in the
// portable modules (vlBitmapHelpers, vlImageHelpers, vlAlphaBlending).
#include <windows.h>

#include <memory>
#include <string>

#include "sMaskData.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Types.h"

namespace vcl {
class TWinControl;
}

namespace skin {

// New bitmaps; the caller owns them.
// The same size and pixel format as Bitmap.
std::unique_ptr<vcl::TBitmap> NewBitmapLike(const vcl::TBitmap &Bitmap);
// 32 bits per pixel, a DIB section, of that size (negative sizes give 0).
std::unique_ptr<vcl::TBitmap> NewBitmap32(int Width, int Height);
std::unique_ptr<vcl::TBitmap> NewBitmap32FromRect(const vcl::TRect &R);
std::unique_ptr<vcl::TBitmap> NewBitmap32FromSize(const vcl::TSize &Size);
std::unique_ptr<vcl::TBitmap> NewBitmap32FromBitmap(const vcl::TBitmap &Bitmap);

// Dst takes Src's pixel format (as a DIB section) and size, then its pixels.
void DuplicateBitmapInto(vcl::TBitmap &Dst, vcl::TBitmap &Src);
void SetPixelFormat32(vcl::TBitmap &Bmp);
// Copies byte Channel (0 blue .. 3 alpha) of every pixel of the 32-bit Bmp32
// into the 8-bit Bmp8 (ToBmp8) or back; nothing unless both have pixels.
void CopyBitmapChannel(vcl::TBitmap &Bmp32, vcl::TBitmap &Bmp8, int Channel, bool ToBmp8);

// Draws Bmp into R of Canvas: a 32-bit bitmap is blended by its alpha over
// what the canvas holds (stretched to R first when its size differs, colours
// and alpha each by pixel replication), with a fading reflection below R when
// asked (then R's height and a half are written); any other bitmap is
// simply drawn stretched.
void DrawBitmapAlpha(vcl::TCanvas &Canvas, vcl::TBitmap &Bmp, const vcl::TRect &R, bool WithReflection);

// Fills R (half-open) with a solid colour (system colours resolved).
void FillRectSolid(HDC DC, const vcl::TRect &R, vcl::TColor Color);
// Fills the four bands of those widths inside R: top, left, bottom, right.
void FillFrame(HDC DC, const vcl::TRect &R, int Left, int Top, int Right, int Bottom, vcl::TColor Color);
// Copies the four strips of width B of a Width x Height frame from (SrcX,
// SrcY) of SrcDC to (X, Y) of DstDC; the inside stays as it is.
void CopyBorderStrips(HDC DstDC, int X, int Y, int Width, int Height, HDC SrcDC, int SrcX, int SrcY, int B);
// Keeps painting off the visible window-less children of Control: their
// bounds, moved by (X, Y), leave the DC's clip region.
void ExcludeGraphicControlsFromClip(HDC DC, const vcl::TWinControl &Control, int X, int Y);
// Text cut at its end and followed by "..." so that it fits MaxWidth in the
// canvas's font; empty when MaxWidth < 1 or nothing fits.
std::string ShortenTextToWidth(vcl::TCanvas &Canvas, const std::string &Text, int MaxWidth);

// Width nested one-pixel frames from R inwards: the left and top edges in
// TopLeft, the right and bottom edges in BottomRight (which also takes the
// top-right and bottom-left corners). R ends shrunk by Width on every side
// and Width ends at 0.
void DrawDottedFrame(HDC DC, vcl::TRect &R, vcl::TColor TopLeft, vcl::TColor BottomRight, int &Width);
// R's outline (half-open R: its outermost rows and columns) in single
// pixels: along each edge, offsets 2k - 1 from the edge's start take
// Color1 and offsets 2k take Color2, for k from 1 to half the edge's length
// (offsets past the edge are left out, as is offset 0). clNone leaves that
// colour out.
void DrawCheckeredFrame(vcl::TCanvas &Canvas, const vcl::TRect &R, vcl::TColor Color1, vcl::TColor Color2);

// Paints the texture into R of Canvas in a fill mode of vlImageHelpers
// (tfTile ... tfStretchColumns) with block transfers, stretching colour on
// colour; nothing is painted outside R. R becomes the part left for the
// caller (all -1 when none). The texture is Texture.R of its own bitmap, or
// of its manager's master bitmap; a texture with neither paints nothing and
// leaves R.
void PaintTexture(vcl::TCanvas &Canvas, vcl::TRect &R, const TsMaskData &Texture, int Mode);

// gdi32's SetLayout and GetLayout when the system has them.
void SetLayoutIfAvailable(HDC DC, DWORD Layout);
DWORD GetLayoutIfAvailable(HDC DC);

// user32's layered-window calls, bound by name; null when missing.
struct TLayeredWindowFunctions {
    BOOL(WINAPI *UpdateLayeredWindow)(HWND, HDC, POINT *, SIZE *, HDC, POINT *, COLORREF, BLENDFUNCTION *, DWORD);
    BOOL(WINAPI *SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD);
};
// The calls in use: the bound ones, or those of the innermost override.
const TLayeredWindowFunctions &LayeredWindowFunctions();
// True when UpdateLayeredWindow was found: callers test it before any layered step.
bool LayeredWindowsAvailable();

// Puts other layered-window calls in use for its own lifetime, then those
// before it again. For tests: Xvfb shows no blending, so what reaches these
// calls is what a test can see (a replacement may forward to the bound
// ones, which stay in BoundLayeredWindowFunctions). UI thread only.
class TLayeredWindowFunctionsOverride {
public:
    explicit TLayeredWindowFunctionsOverride(const TLayeredWindowFunctions &Replacement);
    ~TLayeredWindowFunctionsOverride();
    TLayeredWindowFunctionsOverride(const TLayeredWindowFunctionsOverride &) = delete;
    TLayeredWindowFunctionsOverride &operator=(const TLayeredWindowFunctionsOverride &) = delete;

private:
    TLayeredWindowFunctions FReplaced;
};
// user32's own, whatever override is in use.
const TLayeredWindowFunctions &BoundLayeredWindowFunctions();

} // namespace skin
