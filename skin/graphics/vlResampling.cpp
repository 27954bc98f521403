#include "vlResampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "PixelMath.h"

namespace skin {

using vcl::TBitmapView;

namespace {

// Radii are single-precision values; the kernels are evaluated in extended
// precision on a single-precision distance and rounded back to single, so
// that every build computes the same weights.
constexpr float FilterRadius[ResampleFilterCount] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};

using Extended = long double;
constexpr Extended Pi = 3.14159265358979323846264338327950288L;

// A contributor's 16.16 value from an accumulated channel sum.
inline std::uint8_t StoreSum(std::int32_t sum) {
    if (sum < 0) return 0;
    if (sum > 0xFF0000) return 255;
    return static_cast<std::uint8_t>(sum >> 16);
}

// The source index mirrored at the ends of the line, and kept inside it
// where a line shorter than the support would mirror past its other end.
int MirrorIndex(int j, int size) {
    if (j < 0)
        j = -j;
    else if (j >= size)
        j = 2 * size - j - 1;
    return std::clamp(j, 0, size - 1);
}

} // namespace

float ResampleFilterRadius(int Filter) {
    return Filter >= 0 && Filter < ResampleFilterCount ? FilterRadius[Filter] : 0.0f;
}

float ResampleFilterWeight(int Filter, float X) {
    const Extended x = std::fabs(static_cast<Extended>(X));
    Extended w = 0;
    switch (Filter) {
    case rfBox:
        // Exactly half way, the pixel on one side belongs to the box and the one on the other does not.
        w = X > -0.5f && X <= 0.5f ? 1 : 0;
        break;
    case rfTriangle:
        w = x < 1 ? 1 - x : 0;
        break;
    case rfHermite:
        w = x < 1 ? (2 * x - 3) * x * x + 1 : 0;
        break;
    case rfBell:
        if (x < 0.5L)
            w = 0.75L - x * x;
        else if (x < 1.5L)
            w = 0.5L * (x - 1.5L) * (x - 1.5L);
        break;
    case rfBSpline:
        if (x < 1)
            w = x * x * (x / 2 - 1) + 2.0L / 3.0L;
        else if (x < 2)
            w = (2 - x) * (2 - x) * (2 - x) / 6.0L;
        break;
    case rfWindowedSine:
        if (x == 0)
            w = 1;
        else if (x < 3)
            w = std::sin(Pi * x) * std::sin(x) / (Pi * x * x);
        break;
    case rfMitchell:
        if (x < 1)
            w = x * x * (7.0L / 6.0L * x - 2) + 8.0L / 9.0L;
        else if (x < 2)
            w = x * x * (-7.0L / 18.0L * x + 2) - 10.0L / 3.0L * x + 16.0L / 9.0L;
        break;
    default:
        break;
    }
    return static_cast<float>(w);
}

TResampleContributors BuildResampleContributors(int DestSize, int SourceSize, int Filter, std::ptrdiff_t PixelStep) {
    TResampleContributors list;
    if (DestSize < 1 || SourceSize < 1) return list;
    list.First.assign(DestSize, 0);
    list.Count.assign(DestSize, 0);
    const float radius = ResampleFilterRadius(Filter);
    if (radius <= 0) return list;
    // Reductions widen the filter over the source; enlargements keep it.
    const float scale = DestSize < SourceSize ? static_cast<float>(static_cast<double>(DestSize) / SourceSize) : 1.0f;
    const float support = radius / scale;
    list.Items.reserve(static_cast<std::size_t>(DestSize) * static_cast<std::size_t>(std::lround(2 * support + 1)));
    for (int d = DestSize - 1; d >= 0; --d) {
        const auto centre = static_cast<float>(static_cast<double>(d) * SourceSize / DestSize);
        const auto high = static_cast<int>(std::ceil(centre + support));
        const auto low = static_cast<int>(std::floor(centre - support));
        list.First[d] = static_cast<std::int32_t>(list.Items.size());
        for (int j = high; j >= low; --j) {
            const float signedX = (centre - static_cast<float>(j)) * scale;
            if (std::fabs(signedX) >= radius) continue;
            const float w = ResampleFilterWeight(Filter, signedX);
            if (w == 0) continue;
            const auto weight = static_cast<std::int32_t>(pixel::RoundEven(static_cast<double>(w) * scale * 65536.0));
            list.Items.push_back({static_cast<std::ptrdiff_t>(MirrorIndex(j, SourceSize)) * PixelStep, weight});
        }
        list.Count[d] = static_cast<std::int32_t>(list.Items.size()) - list.First[d];
    }
    return list;
}

void ApplyResampleContributors(std::ptrdiff_t DestStep, std::uint8_t *Dest, const std::uint8_t *Source,
                               const TResampleContributors &List, int Count) {
    Count = std::min(Count, static_cast<int>(List.Count.size()));
    for (int i = 0; i < Count; ++i, Dest += DestStep) {
        std::int32_t sum[4] = {0, 0, 0, 0};
        const TResampleContributor *c = List.Items.data() + List.First[i];
        for (int k = 0; k < List.Count[i]; ++k) {
            const std::int32_t w = c[k].Weight;
            if (w == 0) continue;
            const std::uint8_t *s = Source + c[k].Offset;
            for (int ch = 0; ch < 4; ++ch) sum[ch] += s[ch] * w;
        }
        for (int ch = 0; ch < 4; ++ch) Dest[ch] = StoreSum(sum[ch]);
    }
}

void ResampleBitmap32(const TBitmapView &Src, const TBitmapView &Dst, int Filter) {
    if (!Dst.HasRows() || Dst.Width < 1 || !Src.HasRows() || Src.Width < 2 || Src.Height < 2) return;
    const std::size_t rowBytes = static_cast<std::size_t>(Dst.Width) * 4;
    if (Dst.Width == Src.Width && Dst.Height == Src.Height) {
        if (Dst.First == Src.First) return;
        for (int y = 0; y < Src.Height; ++y) std::memmove(Dst.Line(y), Src.Line(y), rowBytes);
        return;
    }

    // Rows first: a work image of the new width and the source's height.
    vcl::TPixels32 work(Dst.Width, Src.Height);
    const TBitmapView w = work.View();
    const TResampleContributors across = BuildResampleContributors(Dst.Width, Src.Width, Filter, 4);
    for (int y = 0; y < Src.Height; ++y) ApplyResampleContributors(4, w.Line(y), Src.Line(y), across, Dst.Width);

    // Then columns. The contributors address rows of the work image by its
    // signed stride, so bottom-up and top-down images both work. Whole rows
    // are accumulated at once, which adds the same products as a walk down
    // each column but reads memory in order.
    const TResampleContributors down =
        BuildResampleContributors(Dst.Height, Src.Height, Filter, w.Stride);
    std::vector<std::int32_t> sums(rowBytes);
    for (int y = 0; y < Dst.Height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const TResampleContributor *c = down.Items.data() + down.First[y];
        for (int k = 0; k < down.Count[y]; ++k) {
            const std::int32_t weight = c[k].Weight;
            if (weight == 0) continue;
            const std::uint8_t *s = w.First + c[k].Offset;
            for (std::size_t i = 0; i < rowBytes; ++i) sums[i] += s[i] * weight;
        }
        std::uint8_t *d = Dst.Line(y);
        for (std::size_t i = 0; i < rowBytes; ++i) d[i] = StoreSum(sums[i]);
    }
}

} // namespace skin
