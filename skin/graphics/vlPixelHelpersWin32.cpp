// The pixel helpers on the class library's bitmaps: each hands the bitmap's
// 32-bit view to the portable routine of the same name.
#include "vcl/Bitmap.h"
#include "vlCommonUtils.h"
#include "vlPixelHelpers.h"

namespace skin {

TBgPixels BgPixels(const TvlBgInfo &Info) {
    return {Info.Bmp ? Info.Bmp->View() : vcl::TBitmapView{}, Info.X, Info.Y, Info.Color, Info.UseBmp, Info.R};
}

std::uint32_t GetPixel32(vcl::TBitmap &Bitmap, int X, int Y) { return GetPixel32(Bitmap.View(), X, Y); }

void ClearEmptyWhitePixels(vcl::TBitmap &Bitmap) { ClearEmptyWhitePixels(Bitmap.View()); }

void PremultiplyRect(vcl::TBitmap &Bitmap, const vcl::TRect &R) { PremultiplyRect(Bitmap.View(), R); }

void PremultiplyBitmap(vcl::TBitmap &Bitmap) { PremultiplyBitmap(Bitmap.View()); }

void FillRectAlpha(vcl::TBitmap &Bitmap, const vcl::TRect &R, vcl::TColor Colour, std::uint8_t Alpha) {
    FillRectAlpha(Bitmap.View(), R, Colour, Alpha);
}

void SetRectAlpha(vcl::TBitmap &Bitmap, const vcl::TRect &R, std::uint8_t Alpha, vcl::TColor Keep) {
    SetRectAlpha(Bitmap.View(), R, Alpha, Keep);
}

void PaintDisabledLook(vcl::TBitmap &Bitmap, int Kind, vcl::TColor ControlColor, const TvlBgInfo *BgInfo,
                       vcl::TPoint Offset) {
    const TBgPixels bg = BgInfo ? BgPixels(*BgInfo) : TBgPixels{};
    PaintDisabledLook(Bitmap.View(), Kind, ControlColor, BgInfo ? &bg : nullptr, Offset);
}

} // namespace skin
