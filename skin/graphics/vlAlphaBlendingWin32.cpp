// The blends on the class library's bitmaps, and the rounded shadow, whose
// graded levels GDI draws.
#include <windows.h>

#include <algorithm>

#include "PixelMath.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlAlphaBlending.h"
#include "vlCommonUtils.h"
#include "vlGraphUtils.h"

namespace skin {

void BlendRect32ByRatio(vcl::TBitmap &Dst, int X, int Y, vcl::TBitmap &Src, const vcl::TRect &SrcRect, double Ratio,
                        std::uint32_t TransparentValue) {
    BlendRect32ByRatio(Dst.View(), X, Y, Src.View(), SrcRect, Ratio, TransparentValue);
}

void FadeBitmapToColor(vcl::TBitmap &Bitmap, vcl::TColor Colour, double Ratio) {
    FadeBitmapToColor(Bitmap.View(), Colour, Ratio);
}

void BlendRect32ByAlpha(vcl::TBitmap &Dst, vcl::TBitmap &Src, std::uint8_t T, const vcl::TRect &SrcRect,
                        vcl::TPoint DstPoint) {
    BlendRect32ByAlpha(Dst.View(), Src.View(), T, SrcRect, DstPoint);
}

void PaintShapeColored32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, vcl::TBitmap &Dst, vcl::TBitmap &Src,
                         const TvlBgInfo &Bg, bool CopyBg) {
    PaintShapeColored32(DstRect, SrcRect, Dst.View(), Src.View(), BgPixels(Bg), CopyBg);
}

void BlendBitmap32(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, vcl::TBitmap &Dst, vcl::TBitmap &Src,
                   const TvlBgInfo &Bg, bool CopyBg, vcl::TColor TintColor, int Transparency, bool Reflection) {
    SetPixelFormat32(Src);
    BlendBitmap32(DstRect, SrcRect, Dst.View(), Src.View(), BgPixels(Bg), CopyBg, TintColor, Transparency,
                  Reflection);
}

void CopyKeyedRect32(vcl::TBitmap &Dst, vcl::TBitmap &Src, int X, int Y, vcl::TColor KeyColor) {
    CopyKeyedRect32(Dst.View(), Src.View(), X, Y, KeyColor);
}

void MixBitmaps32(vcl::TBitmap &Dst, vcl::TBitmap &A, vcl::TBitmap &B, vcl::TBitmap *W, int Weight) {
    const vcl::TBitmapView weights = W ? W->View() : vcl::TBitmapView{};
    MixBitmaps32(Dst.View(), A.View(), B.View(), W ? &weights : nullptr, Weight);
}

namespace {

// Fills the half-open R with a rounded rect whose corners are ellipses of
// Corner x Corner, in a grey of level Grey. The outline is drawn in the same
// grey: without a pen, systems differ in whether the last column and row
// are filled.
void FillRoundedRect(HDC DC, const vcl::TRect &R, int Corner, int Grey) {
    const COLORREF colour = RGB(Grey, Grey, Grey);
    const vcl::TBrushHandle brush(CreateSolidBrush(colour));
    const vcl::TPenHandle pen(CreatePen(PS_SOLID, 1, colour));
    const vcl::TSelectObject selectedBrush(DC, brush.Get());
    const vcl::TSelectObject selectedPen(DC, pen.Get());
    RoundRect(DC, R.Left, R.Top, R.Right, R.Bottom, Corner, Corner);
}

} // namespace

void PaintRoundShadow(vcl::TBitmap &Bitmap, const vcl::TRect &R, int Transparency, vcl::TColor Colour, int Levels,
                      int Radius) {
    const int w = R.Width();
    const int h = R.Height();
    if (w < 1 || h < 1) return;
    const int s = std::min({w / 2, h / 2, Levels});
    if (s < 0) return;
    const int corner = std::clamp(Radius, 0, std::min(w / 2, h / 2));
    const int a = std::clamp(Transparency, 0, 100) * 255 / 100;
    const double step = (255 - a) / (s + 1.0);

    auto image = NewBitmap32(w, h);
    BitBlt(image->Canvas()->Handle(), 0, 0, w, h, Bitmap.Canvas()->Handle(), R.Left, R.Top, SRCCOPY);

    // The mask: white keeps the image's pixel, darker greys move it toward
    // the colour. White is the opaque pixel value 0xFFFFFFFF, which the
    // colouring skips; GDI writes alpha 0, so the alpha is set after the
    // levels are drawn. The mask starts white, so that the corners outside
    // the outermost rounded rect keep their pixels as that level does.
    auto mask = NewBitmap32(w, h);
    {
        HDC dc = mask->Canvas()->Handle();
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        int grey = 255;
        for (int i = 0; i <= s; ++i) {
            FillRoundedRect(dc, {i, i, w - i, h - i}, corner, grey);
            grey = (static_cast<int>(pixel::RoundEven((s - i) * step)) + a) % 256;
        }
        FillRoundedRect(dc, {s, s, w - s, h - s}, s, grey);
        GdiFlush();
    }
    const vcl::TBitmapView maskView = mask->View();
    SetRectAlpha(maskView, {0, 0, w, h}, 255);

    ColorizeByMask32(image->View(), maskView, Colour);
    BitBlt(Bitmap.Canvas()->Handle(), R.Left, R.Top, w, h, image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace skin
