#pragma once
// Colour operations on 32-bit images: brightness, saturation, hue rotation,
// tint and greyscale. Every operation keeps the alpha byte.
#include <cstdint>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
}

namespace skin {

// A per-pixel operation with one integer argument.
using TPixelProc = void (*)(std::uint32_t *Pixel, std::int32_t Arg);

// Applies Proc to every pixel except those equal to ColorToBGRA(KeyColor)
// (alpha included); KeyColor clNone passes every pixel.
void ForEachPixel32(const vcl::TBitmapView &Bmp, TPixelProc Proc, std::int32_t Arg, vcl::TColor KeyColor);

void PixelBrightnessProc(std::uint32_t *Pixel, std::int32_t Amount);
void PixelSaturationProc(std::uint32_t *Pixel, std::int32_t Amount);
void PixelHueProc(std::uint32_t *Pixel, std::int32_t Degrees);
void PixelTintProc(std::uint32_t *Pixel, std::int32_t Color);

std::uint32_t BrightenPixel(std::uint32_t Pixel, std::int32_t Amount);
// Amount > 0 pushes the channels away from their mean, < 0 toward it (-255: grey).
std::uint32_t DesaturatePixel(std::int32_t Amount, std::uint32_t Pixel);
vcl::TColor ChangeSaturation(vcl::TColor Color, std::int32_t Amount);
std::uint32_t RotateHuePixel(std::int32_t Degrees, std::uint32_t Pixel);
vcl::TColor ChangeHue(std::int32_t Degrees, vcl::TColor Color);
// The pixel takes the hue of Color and keeps its brightness structure.
std::uint32_t TintPixel(std::uint32_t Pixel, vcl::TColor Color);
std::uint32_t TintColor(std::uint32_t Pixel, vcl::TColor Color);

void GrayscaleBitmap32(const vcl::TBitmapView &Bmp);
// Pixels equal to Key (a pixel value, compared as given) are left alone.
void GrayscaleBitmapKeyed32(const vcl::TBitmapView &Bmp, std::uint32_t Key);

#ifdef _WIN32
// On the class library's bitmaps; one that is not 32-bit is left alone.
void ForEachPixel32(vcl::TBitmap &Bmp, TPixelProc Proc, std::int32_t Arg, vcl::TColor KeyColor);
void GrayscaleBitmapKeyed32(vcl::TBitmap &Bmp, std::uint32_t Key);
#endif

} // namespace skin
