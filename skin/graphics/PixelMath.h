#pragma once
// Arithmetic shared by the pixel modules of this folder: channel access,
// byte clamping, rounding and clipping. Internal to skin/graphics.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin::pixel {

// Channels of a pixel value 0xAARRGGBB (bytes B, G, R, A in memory).
inline int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
inline int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Red(std::uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Alpha(std::uint32_t p) { return static_cast<int>(p >> 24); }
inline int Byte(std::uint32_t p, int index) { return static_cast<int>((p >> (8 * index)) & 0xFF); }
inline std::uint32_t Make(int b, int g, int r, int a) {
    return static_cast<std::uint32_t>(b) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(r) << 16 |
           static_cast<std::uint32_t>(a) << 24;
}
inline std::uint32_t WithAlpha(std::uint32_t p, int a) {
    return (p & 0x00FFFFFF) | static_cast<std::uint32_t>(a) << 24;
}
inline int ClampByte(long long v) { return static_cast<int>(std::clamp<long long>(v, 0, 255)); }

// A per-channel mapping of colour bytes (blue, green, red) that depends only
// on the byte's value: computed once for all 256 values, looked up per pixel.
class TChannelTable {
public:
    // f(value, channel) with channel 0 blue, 1 green, 2 red.
    template <class F> explicit TChannelTable(F f) {
        for (int c = 0; c < 3; ++c)
            for (int v = 0; v < 256; ++v) FTable[c][v] = static_cast<std::uint8_t>(f(v, c));
    }
    // The pixel with its colour bytes mapped and its alpha byte replaced.
    std::uint32_t Map(std::uint32_t p, int alpha) const {
        return FTable[0][p & 0xFF] | std::uint32_t{FTable[1][(p >> 8) & 0xFF]} << 8 |
               std::uint32_t{FTable[2][(p >> 16) & 0xFF]} << 16 | static_cast<std::uint32_t>(alpha) << 24;
    }

private:
    std::uint8_t FTable[3][256];
};

// Round to nearest, ties to even (the default rounding mode).
inline long long RoundEven(double v) { return std::llrint(v); }

// R (half-open) cut to the image.
inline vcl::TRect ClipToBitmap(const vcl::TRect &r, const vcl::TBitmapView &bmp) {
    return {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, bmp.Width), std::min(r.Bottom, bmp.Height)};
}

// The whole image as a rect.
inline vcl::TRect BitmapRect(const vcl::TBitmapView &bmp) { return {0, 0, bmp.Width, bmp.Height}; }

// The half-open rect of a rect that includes its right and bottom edges.
inline vcl::TRect IncludingEdges(const vcl::TRect &r) { return {r.Left, r.Top, r.Right + 1, r.Bottom + 1}; }

// Calls f(first pixel*, count) for every row of R (half-open, clipped to the
// image). The rows come in the order memory holds them (a bottom-up image's
// last row first), which the processor's prefetching follows best.
template <class F> void ForEachRowInRect(const vcl::TBitmapView &bmp, const vcl::TRect &r, F f) {
    if (!bmp.HasRows()) return;
    const vcl::TRect c = ClipToBitmap(r, bmp);
    if (c.Right <= c.Left || c.Bottom <= c.Top) return;
    const int count = c.Right - c.Left;
    if (bmp.Stride < 0)
        for (int y = c.Bottom - 1; y >= c.Top; --y) f(bmp.Row32(y) + c.Left, count);
    else
        for (int y = c.Top; y < c.Bottom; ++y) f(bmp.Row32(y) + c.Left, count);
}

// Calls f(pixel&) for every pixel of R (half-open, clipped to the image).
template <class F> void ForEachPixelInRect(const vcl::TBitmapView &bmp, const vcl::TRect &r, F f) {
    ForEachRowInRect(bmp, r, [&f](std::uint32_t *row, int count) {
        for (int x = 0; x < count; ++x) f(row[x]);
    });
}

template <class F> void ForEachPixel(const vcl::TBitmapView &bmp, F f) { ForEachPixelInRect(bmp, BitmapRect(bmp), f); }

inline bool Contains(const vcl::TBitmapView &bmp, int x, int y) {
    return bmp.HasRows() && x >= 0 && y >= 0 && x < bmp.Width && y < bmp.Height;
}

} // namespace skin::pixel
