#include "vlColorEffects.h"

#include <algorithm>
#include <cmath>

#include "PixelMath.h"
#include "vlPixelHelpers.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;

namespace {

// Converts a value of the hue model to a channel byte.
int ToChannel(double v) { return static_cast<int>(std::trunc(v)); }

double ClampHsv(double v) {
    if (v >= 255) return 255;
    if (v <= 0) return 0;
    return v;
}

std::uint32_t GrayPixel(std::uint32_t p) {
    const int g = (Red(p) + Green(p) + Blue(p)) / 3;
    return Make(g, g, g, Alpha(p));
}

} // namespace

void ForEachPixel32(const TBitmapView &Bmp, TPixelProc Proc, std::int32_t Arg, vcl::TColor KeyColor) {
    if (Proc == nullptr) return;
    if (KeyColor == vcl::clNone) {
        ForEachPixel(Bmp, [&](std::uint32_t &p) { Proc(&p, Arg); });
        return;
    }
    const std::uint32_t key = ColorToBGRA(KeyColor);
    ForEachPixel(Bmp, [&](std::uint32_t &p) {
        if (p != key) Proc(&p, Arg);
    });
}

void PixelBrightnessProc(std::uint32_t *Pixel, std::int32_t Amount) { *Pixel = BrightenPixel(*Pixel, Amount); }
void PixelSaturationProc(std::uint32_t *Pixel, std::int32_t Amount) { *Pixel = DesaturatePixel(Amount, *Pixel); }
void PixelHueProc(std::uint32_t *Pixel, std::int32_t Degrees) { *Pixel = RotateHuePixel(Degrees, *Pixel); }
void PixelTintProc(std::uint32_t *Pixel, std::int32_t Color) { *Pixel = TintPixel(*Pixel, Color); }

std::uint32_t BrightenPixel(std::uint32_t Pixel, std::int32_t Amount) {
    if (Amount == 0) return Pixel;
    const auto add = [Amount](int c) { return ClampByte(static_cast<long long>(c) + Amount); };
    return Make(add(Blue(Pixel)), add(Green(Pixel)), add(Red(Pixel)), Alpha(Pixel));
}

std::uint32_t DesaturatePixel(std::int32_t Amount, std::uint32_t Pixel) {
    if (Amount == 0) return Pixel;
    const int mean = (Red(Pixel) + Green(Pixel) + Blue(Pixel)) / 3;
    // Signed division truncating toward zero, as C++ divides.
    const auto move = [&](int c) { return ClampByte(c - static_cast<long long>(mean - c) * Amount / 255); };
    return Make(move(Blue(Pixel)), move(Green(Pixel)), move(Red(Pixel)), Alpha(Pixel));
}

vcl::TColor ChangeSaturation(vcl::TColor Color, std::int32_t Amount) {
    if (Amount == 0) return Color;
    return static_cast<vcl::TColor>(DesaturatePixel(Amount, static_cast<std::uint32_t>(Color)));
}

std::uint32_t RotateHuePixel(std::int32_t Degrees, std::uint32_t Pixel) {
    const int r = Red(Pixel), g = Green(Pixel), b = Blue(Pixel);
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    const double d = mx - mn;
    const double v = mx;
    const double s = mx == 0 ? 0 : d / mx;
    if (s == 0) return Pixel;

    const double k = 60 / d;
    double h;
    if (r == mx)
        h = (g - b) * k;
    else if (g == mx)
        h = 120 + (b - r) * k;
    else
        h = 240 + (r - g) * k;
    if (h < 0) h += 360;

    // A negative sum wraps around the circle: red turned by -120 is blue.
    long long turned = static_cast<long long>(std::trunc(Degrees + h)) % 360;
    if (turned < 0) turned += 360;

    const double hh = turned / 60.0;
    const int i = static_cast<int>(std::trunc(hh));
    const double f = hh - i;
    const double P = ClampHsv((1 - s) * v);
    const double Q = ClampHsv((1 - s * f) * v);
    const double T = ClampHsv((1 - (1 - f) * s) * v);
    double nr, ng, nb;
    switch (i) {
    case 0: nr = v; ng = T; nb = P; break;
    case 1: nr = Q; ng = v; nb = P; break;
    case 2: nr = P; ng = v; nb = T; break;
    case 3: nr = P; ng = Q; nb = v; break;
    case 4: nr = T; ng = P; nb = v; break;
    default: nr = v; ng = P; nb = Q; break;
    }
    return Make(ToChannel(nb), ToChannel(ng), ToChannel(nr), Alpha(Pixel));
}

vcl::TColor ChangeHue(std::int32_t Degrees, vcl::TColor Color) {
    if (Degrees == 0) return Color;
    const std::uint32_t pixel = SwapRedBlue(static_cast<std::uint32_t>(Color));
    return static_cast<vcl::TColor>(SwapRedBlue(RotateHuePixel(Degrees, pixel)));
}

std::uint32_t TintPixel(std::uint32_t Pixel, vcl::TColor Color) {
    const int m = std::max({Red(Pixel), Green(Pixel), Blue(Pixel)});
    const auto c = static_cast<std::uint32_t>(Color);
    // The colour value has red in its low byte.
    const int cr = Byte(c, 0), cg = Byte(c, 1), cb = Byte(c, 2);
    return Make(m * cb >> 8, m * cg >> 8, m * cr >> 8, Alpha(Pixel));
}

std::uint32_t TintColor(std::uint32_t Pixel, vcl::TColor Color) { return TintPixel(Pixel, Color); }

void GrayscaleBitmap32(const TBitmapView &Bmp) {
    ForEachPixel(Bmp, [](std::uint32_t &p) { p = GrayPixel(p); });
}

void GrayscaleBitmapKeyed32(const TBitmapView &Bmp, std::uint32_t Key) {
    ForEachPixel(Bmp, [Key](std::uint32_t &p) {
        if (p != Key) p = GrayPixel(p);
    });
}

} // namespace skin
