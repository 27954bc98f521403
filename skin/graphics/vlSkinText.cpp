#include "vlSkinText.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "PixelMath.h"
#include "sCommonDataView.h"
#include "vlColorEffects.h"
#include "vlPixelHelpers.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;

TBlurKernel BuildBlurKernel(int Radius) {
    TBlurKernel k;
    k.Weights[16] = 1;
    if (Radius < 1) return k;  // no blur, and no division by zero
    float sum = 0;
    for (int j = -16; j <= 16; ++j) {
        const double x = static_cast<double>(j) / Radius;
        k.Weights[j + 16] = static_cast<float>(std::nearbyint(std::exp(-x * x / 2)));
        sum += k.Weights[j + 16];
    }
    for (float &w : k.Weights) w /= sum;
    // The trim runs down to the centre: a pair whose tail is still below
    // 1/510 goes, the first pair above it goes with it (so each radius drops
    // its outermost pair, radius 1 as well).
    int size = 16;
    float tail = 0;
    while (tail < 1.0f / 510 && size >= 1) {
        tail += 2 * k.Weight(size);
        --size;
    }
    k.Size = size;
    sum = 0;
    for (int j = -size; j <= size; ++j) sum += k.Weight(j);
    for (int j = -16; j <= 16; ++j) k.Weights[j + 16] = std::abs(j) <= size ? k.Weight(j) / sum : 0;
    return k;
}

namespace {

// One line of N bytes Step apart convolved with the kernel; the edges repeat
// the first and last byte, never one past the line.
void BlurRow8(std::uint8_t *Line, std::ptrdiff_t Step, int N, const TBlurKernel &K, std::vector<std::uint8_t> &Work) {
    Work.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i) {
        float v = 0;
        for (int j = -K.Size; j <= K.Size; ++j) v += K.Weight(j) * Line[std::clamp(i - j, 0, N - 1) * Step];
        Work[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(ClampByte(std::lrint(v)));
    }
    for (int i = 0; i < N; ++i) Line[i * Step] = Work[static_cast<std::size_t>(i)];
}

// Pixel i of a line from taps i + 1, i, i - 1: opaque taps add a third of
// their channels; a transparent or missing tap borrows the last opaque one.
// The borrowed colour counts only where the borrowed alpha does not round
// away: a nearly transparent neighbour must not tint a pixel it gives no
// coverage to.
void BlurRow32(std::uint32_t *Line, std::ptrdiff_t Step, int N, std::vector<std::uint32_t> &Work) {
    Work.resize(static_cast<std::size_t>(N));
    for (int i = 0; i < N; ++i) {
        int sum[4] = {0, 0, 0, 0};
        int borrowed[4] = {0, 0, 0, 0};
        bool remembered = false;
        std::uint32_t last = 0;
        int missing = 0;
        for (int t : {i + 1, i, i - 1}) {
            const bool inside = t >= 0 && t < N;
            const std::uint32_t p = inside ? Line[t * Step] : 0;
            if (inside && Alpha(p) > 0) {
                for (int c = 0; c < 3; ++c) sum[c] += Byte(p, c) / 3;
                sum[3] += Alpha(p) / 3 + 1;
                last = p, remembered = true;
            } else if (remembered) {
                for (int c = 0; c < 4; ++c) borrowed[c] += Byte(last, c) / 3;
            } else {
                ++missing;
            }
        }
        if (missing > 0 && remembered)
            for (int c = 0; c < 4; ++c) borrowed[c] += Byte(last, c) / (3 * missing);
        sum[3] += borrowed[3];
        if (borrowed[3] != 0)
            for (int c = 0; c < 3; ++c) sum[c] += borrowed[c];
        Work[static_cast<std::size_t>(i)] =
            sum[3] > 0 ? Make(std::min(sum[0], 255), std::min(sum[1], 255), std::min(sum[2], 255), std::min(sum[3], 255))
                       : 0;
    }
    for (int i = 0; i < N; ++i) Line[i * Step] = Work[static_cast<std::size_t>(i)];
}

} // namespace

void BlurBitmap8(const TBitmapView &Gray, int Radius) {
    if (!Gray.HasRows() || Gray.Width < 1 || Radius < 1) return;
    const TBlurKernel k = BuildBlurKernel(Radius);
    if (k.Size == 0) return;
    std::vector<std::uint8_t> work;
    for (int y = 0; y < Gray.Height; ++y) BlurRow8(Gray.Line(y), 1, Gray.Width, k, work);
    for (int x = 0; x < Gray.Width; ++x) BlurRow8(Gray.Line(0) + x, Gray.Stride, Gray.Height, k, work);
}

vcl::TSize TextGlowImageSize(const vcl::TRect &R, int Radius) {
    const int border = std::clamp(Radius, 0, MaxTextGlowRadius) + 4;
    return {R.Width() + 2 * border, R.Height() + 2 * border};
}

void BlurBitmap32(const TBitmapView &Bitmap) {
    if (!Bitmap.HasRows() || Bitmap.Width < 1) return;
    std::vector<std::uint32_t> work;
    for (int y = 0; y < Bitmap.Height; ++y) BlurRow32(Bitmap.Row32(y), 1, Bitmap.Width, work);
    for (int x = 0; x < Bitmap.Width; ++x) BlurRow32(Bitmap.Row32(0) + x, Bitmap.Stride / 4, Bitmap.Height, work);
}

void LayGlowMask(const TBitmapView &Target, const TBitmapView &Mask, int X, int Y, vcl::TColor Colour) {
    if (!Target.HasRows() || !Mask.HasRows()) return;
    const std::uint32_t c = static_cast<std::uint32_t>(Colour);
    const int col[3] = {Byte(c, 2), Byte(c, 1), Byte(c, 0)};  // blue, green, red
    for (int y = 0; y < Mask.Height; ++y) {
        const int ty = Y + y;
        if (ty < 0 || ty >= Target.Height) continue;
        const std::uint8_t *m = Mask.Line(y);
        std::uint32_t *d = Target.Row32(ty);
        for (int x = 0; x < Mask.Width; ++x) {
            const int tx = X + x;
            if (m[x] == 255 || tx < 0 || tx >= Target.Width) continue;
            const int ink = 255 - m[x];
            const int a = Alpha(d[tx]);
            const auto one = [&](int ch, int cc) { return (ink * cc + ch * m[x]) >> 8; };
            d[tx] = Make(one(Blue(d[tx]), col[0]), one(Green(d[tx]), col[1]), one(Red(d[tx]), col[2]),
                         a + (((255 - a) * ink) >> 8));
        }
    }
}

vcl::TColor ApplyColorEffectsToColor(vcl::TColor Colour, const TsCommonDataView &CommonData) {
    vcl::TColor c = vcl::ColorToRGB(Colour);
    if (CommonData.ColorTone() != vcl::clNone)
        c = static_cast<vcl::TColor>(SwapRedBlue(TintColor(ColorToBGRA(c), CommonData.ColorTone())) & 0xFFFFFF);
    c = ChangeHue(CommonData.HueOffset(), c);
    c = ChangeSaturation(c, static_cast<std::int32_t>(std::nearbyint(CommonData.Saturation() * 2.55)));
    return vcl::ColorToRGB(c);
}

} // namespace skin
