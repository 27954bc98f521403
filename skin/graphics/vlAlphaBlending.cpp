#include "vlAlphaBlending.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "PixelMath.h"
#include "PixelRows.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TRect;

namespace {

// A walked area: Cols x Rows pixels from (DstX, DstY) of the destination,
// paired with the pixels from (SrcX, SrcY) of the source.
struct TArea {
    int DstX, DstY, SrcX, SrcY, Cols, Rows;
};

// Rect-to-rect clipping: the area is as large as the smaller rect and both
// images allow; a negative left or top on either side moves both sides
// right or down by the larger overshoot.
std::optional<TArea> ClipRectPair(const TRect &dstRect, const TRect &srcRect, const TBitmapView &dst,
                                  const TBitmapView &src) {
    if (!dst.HasRows() || !src.HasRows()) return std::nullopt;
    const auto extent = [](long long dstSize, long long srcSize, long long dstImage, long long dstStart,
                           long long srcImage, long long srcStart) {
        return std::min({std::max(dstSize, 0LL), std::max(srcSize, 0LL), dstImage - dstStart, srcImage - srcStart});
    };
    const auto size = [](std::int32_t from, std::int32_t to) { return static_cast<long long>(to) - from; };
    long long rows = extent(size(dstRect.Top, dstRect.Bottom), size(srcRect.Top, srcRect.Bottom), dst.Height,
                            dstRect.Top, src.Height, srcRect.Top);
    long long cols = extent(size(dstRect.Left, dstRect.Right), size(srcRect.Left, srcRect.Right), dst.Width,
                            dstRect.Left, src.Width, srcRect.Left);
    if (rows < 1 || cols < 1) return std::nullopt;
    long long dl = dstRect.Left, sl = srcRect.Left, dt = dstRect.Top, st = srcRect.Top;
    const long long overX = std::max({0LL, -dl, -sl});
    const long long overY = std::max({0LL, -dt, -st});
    dl += overX, sl += overX, cols -= overX;
    dt += overY, st += overY, rows -= overY;
    if (rows < 1 || cols < 1) return std::nullopt;
    return TArea{int(dl), int(dt), int(sl), int(st), int(cols), int(rows)};
}

// SrcRect (half-open) of src placed with its top-left corner at (x, y) of
// dst, cut to both images.
std::optional<TArea> ClipPlacement(int x, int y, const TRect &srcRect, const TBitmapView &dst, const TBitmapView &src) {
    if (!dst.HasRows() || !src.HasRows()) return std::nullopt;
    long long sl = srcRect.Left, st = srcRect.Top, dx = x, dy = y;
    if (sl < 0) dx -= sl, sl = 0;
    if (st < 0) dy -= st, st = 0;
    if (dx < 0) sl -= dx, dx = 0;
    if (dy < 0) st -= dy, dy = 0;
    const long long cols = std::min<long long>(std::min<long long>(srcRect.Right, src.Width) - sl, dst.Width - dx);
    const long long rows = std::min<long long>(std::min<long long>(srcRect.Bottom, src.Height) - st, dst.Height - dy);
    if (cols < 1 || rows < 1) return std::nullopt;
    return TArea{int(dx), int(dy), int(sl), int(st), int(cols), int(rows)};
}

// Whether the destination and source pixels of the area share memory.
bool AreasOverlap(const TArea &area, const TBitmapView &dst, const TBitmapView &src) {
    const auto span = [&area](const TBitmapView &img, int x, int y) {
        const auto *first = reinterpret_cast<const std::uint8_t *>(img.Row32(y) + x);
        const auto *last = reinterpret_cast<const std::uint8_t *>(img.Row32(y + area.Rows - 1) + x);
        return std::pair{std::min(first, last), std::max(first, last) + 4 * area.Cols};
    };
    const auto [dstLow, dstHigh] = span(dst, area.DstX, area.DstY);
    const auto [srcLow, srcHigh] = span(src, area.SrcX, area.SrcY);
    return dstLow < srcHigh && srcLow < dstHigh;
}

// The background image's pixel behind destination pixel (x, y), if there is one.
const std::uint32_t *BgPixelAt(const TBgPixels &bg, int x, int y) {
    const long long bx = static_cast<long long>(bg.X) + x;
    const long long by = static_cast<long long>(bg.Y) + y;
    if (!bg.Bmp.HasRows() || bx < 0 || by < 0 || bx >= bg.Bmp.Width || by >= bg.Bmp.Height) return nullptr;
    return &bg.Bmp.At(int(bx), int(by));
}

// d moved toward v by a of 256: the mix of every alpha blend here,
// d := (d * 256 + (v - d) * a) >> 8. Written as d * (256 - a) + v * a, both
// products and their sum stay within 255 * 256 for bytes and a <= 255, so
// 16-bit arithmetic is exact, and the compiler vectorises it as such.
inline int MixByAlpha(int d, int v, int a) {
    const auto kept = static_cast<std::uint16_t>(d * (256 - a));
    const auto added = static_cast<std::uint16_t>(v * a);
    return static_cast<std::uint16_t>(kept + added) >> 8;
}

// What BlendBitmap32 blends of each source pixel: its channels or, with a
// tint, the tint's channels scaled by the pixel's grey value.
class TBlendSource {
public:
    explicit TBlendSource(vcl::TColor tint) : FTinted(tint != vcl::clNone) {
        if (!FTinted) return;
        const auto c = static_cast<std::uint32_t>(tint);
        int channel[3] = {Byte(c, 2), Byte(c, 1), Byte(c, 0)};  // in pixel order: blue, green, red
        // The tint is brightened so that its largest channel is 255.
        const int lift = 255 - std::max({channel[0], channel[1], channel[2]});
        for (int i = 0; i < 3; ++i) {
            const double f = (channel[i] + lift) / 255.0;
            for (int gray = 0; gray < 256; ++gray)
                FTable[i][gray] = static_cast<std::uint8_t>(std::min(static_cast<int>(gray * f), 255));
        }
    }
    bool Tinted() const { return FTinted; }
    void Values(std::uint32_t s, int v[3]) const {
        if (!FTinted) {
            v[0] = Blue(s), v[1] = Green(s), v[2] = Red(s);
            return;
        }
        const int gray = (Blue(s) + Green(s) + Red(s)) / 3;
        for (int c = 0; c < 3; ++c) v[c] = FTable[c][gray];
    }

private:
    bool FTinted;
    std::array<std::array<std::uint8_t, 256>, 3> FTable{};
};

inline std::uint32_t BlendPixel(std::uint32_t d, const int v[3], int a) {
    return Make(MixByAlpha(Blue(d), v[0], a), MixByAlpha(Green(d), v[1], a), MixByAlpha(Red(d), v[2], a), Alpha(d));
}

// The common case of BlendBitmap32, kept free of per-pixel decisions:
// no tint, no transparency, no key test; alpha becomes max(sa, da).
void BlendRowsPlain(const TArea &area, const TBitmapView &dst, const TBitmapView &src) {
    // Rows go in the order memory holds the destination's (a bottom-up
    // image's last row first), which the processor's prefetching follows
    // best; an area blended onto itself keeps the top-down order, on which
    // its result depends.
    const bool lastRowFirst = dst.Stride < 0 && !AreasOverlap(area, dst, src);
    for (int i = 0; i < area.Rows; ++i) {
        const int y = lastRowFirst ? area.Rows - 1 - i : i;
        BlendRowBySourceAlpha(dst.Row32(area.DstY + y) + area.DstX, src.Row32(area.SrcY + y) + area.SrcX, area.Cols);
    }
}

void BlendReflection(const TRect &dstRect, const TRect &srcRect, const TArea &area, const TBitmapView &dst,
                     const TBitmapView &src, const TBlendSource &source, int transparency) {
    const long long below = static_cast<long long>(dst.Height) - dstRect.Bottom - 1;
    const int r = static_cast<int>(std::min<long long>(src.Height / 2 - 1, below));
    if (r < 1) return;
    const int step = source.Tinted() ? 255 / (src.Height / 2) : 255 / src.Height;
    int k = 255;
    for (int i = 1; i <= r; ++i, k -= step) {
        const long long sy = static_cast<long long>(srcRect.Bottom) - i - 1;
        const long long dy = static_cast<long long>(dstRect.Bottom) + i;
        // The mirror reads upward from the source rect's bottom; rows that
        // fall outside either image are left out.
        if (sy < 0 || sy >= src.Height || dy < 0 || dy >= dst.Height) continue;
        const std::uint32_t *s = src.Row32(int(sy)) + area.SrcX;
        std::uint32_t *d = dst.Row32(int(dy)) + area.DstX;
        for (int x = 0; x < area.Cols; ++x) {
            if (s[x] == KeyPixel) continue;
            int a = ((Alpha(s[x]) * (r - i)) / r * k) >> 9;
            if (transparency > 0) a = a * (100 - transparency) / 100;
            int v[3];
            source.Values(s[x], v);
            d[x] = BlendPixel(d[x], v, a);
        }
    }
}

} // namespace

void BlendRect32ByRatio(const TBitmapView &Dst, int X, int Y, const TBitmapView &Src, const TRect &SrcRect,
                        double Ratio, std::uint32_t TransparentValue) {
    const auto area = ClipPlacement(X, Y, SrcRect, Dst, Src);
    if (!area) return;
    const auto mix = [Ratio](int s, int d) { return ClampByte(RoundEven(s - (s - d) * Ratio)); };
    for (int y = 0; y < area->Rows; ++y) {
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(area->DstY + y) + area->DstX;
        for (int x = 0; x < area->Cols; ++x) {
            const std::uint32_t sp = s[x], dp = d[x];
            if (sp == TransparentValue) continue;
            d[x] = Make(mix(Blue(sp), Blue(dp)), mix(Green(sp), Green(dp)), mix(Red(sp), Red(dp)), Alpha(dp));
        }
    }
}

void FadeBitmapToColor(const TBitmapView &Bitmap, vcl::TColor Colour, double Ratio) {
    if (!Bitmap.HasRows()) return;
    const std::uint32_t k = ColorToBGRA(Colour);
    const TChannelTable fade([&](int c, int channel) {
        const int kc = Byte(k, channel);
        return ClampByte(RoundEven((c - kc) * Ratio + kc));
    });
    ForEachPixel(Bitmap, [&](std::uint32_t &p) {
        if (p != KeyPixel) p = fade.Map(p, Alpha(p));
    });
}

void ColorizeByMask32(const TBitmapView &A, const TBitmapView &M, vcl::TColor Colour) {
    if (!A.HasRows() || !M.HasRows() || A.Width != M.Width || A.Height != M.Height) return;
    const std::uint32_t k = ColorToBGRA(Colour);
    const auto colorize = [](int a, int kc, int m) { return (kc * 256 + (a - kc) * m) >> 8; };
    for (int y = 0; y < A.Height; ++y) {
        std::uint32_t *a = A.Row32(y);
        const std::uint32_t *m = M.Row32(y);
        for (int x = 0; x < A.Width; ++x) {
            const std::uint32_t mp = m[x];
            if (mp == 0xFFFFFFFF) continue;
            const std::uint32_t ap = a[x];
            a[x] = Make(colorize(Blue(ap), Blue(k), Blue(mp)), colorize(Green(ap), Green(k), Green(mp)),
                        colorize(Red(ap), Red(k), Red(mp)), Alpha(ap));
        }
    }
}

void BlendRect32ByAlpha(const TBitmapView &Dst, const TBitmapView &Src, std::uint8_t T, const TRect &SrcRect,
                        vcl::TPoint DstPoint) {
    const auto area = ClipPlacement(DstPoint.X, DstPoint.Y, IncludingEdges(SrcRect), Dst, Src);
    if (!area) return;
    const int t = T;
    const auto mix = [t](int d, int s) { return (t * (d - s) + s * 256) >> 8; };
    for (int y = 0; y < area->Rows; ++y) {
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(area->DstY + y) + area->DstX;
        for (int x = 0; x < area->Cols; ++x) {
            const std::uint32_t sp = s[x], dp = d[x];
            d[x] = Make(mix(Blue(dp), Blue(sp)), mix(Green(dp), Green(sp)), mix(Red(dp), Red(sp)),
                        mix(Alpha(dp), Alpha(sp)));
        }
    }
}

void PaintShapeColored32(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBitmapView &Src,
                         const TBgPixels &Bg, bool CopyBg) {
    const auto area = ClipRectPair(DstRect, SrcRect, Dst, Src);
    if (!area) return;
    const bool keyed = Bg.UseBmp;
    for (int y = 0; y < area->Rows; ++y) {
        const int dy = area->DstY + y;
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(dy) + area->DstX;
        for (int x = 0; x < area->Cols; ++x) {
            const std::uint32_t sp = s[x], dp = d[x];
            if (keyed && sp == KeyPixel) {
                if (!CopyBg) continue;
                if (const std::uint32_t *bg = BgPixelAt(Bg, area->DstX + x, dy)) d[x] = WithAlpha(*bg, 255);
                continue;
            }
            const int sa = Alpha(sp);
            const auto mix = [sa](int dc, int sc) { return ((sc - dc) * sa + dc * 256) >> 8; };
            int da = Alpha(dp);
            // The shape adds its coverage to what the destination covers already.
            if (sa > 0) da += ((255 - da) * sa) >> 8;
            d[x] = Make(mix(Blue(dp), Blue(sp)), mix(Green(dp), Green(sp)), mix(Red(dp), Red(sp)), da);
        }
    }
}

void BlendBitmap32(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBitmapView &Src,
                   const TBgPixels &Bg, bool CopyBg, vcl::TColor TintColor, int Transparency, bool Reflection) {
    const auto area = ClipRectPair(DstRect, SrcRect, Dst, Src);
    if (!area) return;
    // Transparencies beyond 0..100 would invert the blend.
    const int transparency = std::clamp(Transparency, 0, 100);
    const TBlendSource source(TintColor);
    const bool keyed = Bg.UseBmp;

    if (!source.Tinted() && transparency == 0 && !keyed) {
        BlendRowsPlain(*area, Dst, Src);
    } else {
        const bool writeAlpha = !source.Tinted() && transparency == 0;
        for (int y = 0; y < area->Rows; ++y) {
            const int dy = area->DstY + y;
            const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
            std::uint32_t *d = Dst.Row32(dy) + area->DstX;
            for (int x = 0; x < area->Cols; ++x) {
                const std::uint32_t sp = s[x];
                if (keyed && sp == KeyPixel) {
                    if (!CopyBg) continue;
                    if (const std::uint32_t *bg = BgPixelAt(Bg, area->DstX + x, dy))
                        d[x] = (*bg & 0x00FFFFFF) | (d[x] & 0xFF000000);
                    continue;
                }
                const int sa = Alpha(sp);
                const int a = transparency == 0 ? sa : sa * (100 - transparency) / 100;
                int v[3];
                source.Values(sp, v);
                std::uint32_t out = BlendPixel(d[x], v, a);
                if (writeAlpha) out = WithAlpha(out, std::max(sa, Alpha(d[x])));
                d[x] = out;
            }
        }
    }
    if (Reflection) BlendReflection(DstRect, SrcRect, *area, Dst, Src, source, transparency);
}

void CopyImageWithMask32(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBitmapView &Src,
                         const TBgPixels &Bg, bool CopyBg, const TsMaskData &Mask) {
    const auto area = ClipRectPair(DstRect, SrcRect, Dst, Src);
    if (!area) return;
    const int half = Mask.R.Height() / 2;
    // The mask never reads past the last row, nor above the first.
    const int maskTop = std::max(0, std::min(area->SrcY + half, Src.Height - area->Rows));
    const std::uint32_t bgColour = SwapRedBlue(static_cast<std::uint32_t>(Bg.Color));
    const auto mix = [](std::uint32_t d, std::uint32_t s, std::uint32_t m) {
        const auto one = [](int dc, int sc, int mc) { return ((dc - sc) * mc + sc * 256) >> 8; };
        return Make(one(Blue(d), Blue(s), Blue(m)), one(Green(d), Green(s), Green(m)), one(Red(d), Red(s), Red(m)),
                    Alpha(d));
    };
    for (int y = 0; y < area->Rows; ++y) {
        const int dy = area->DstY + y;
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        const std::uint32_t *m = Src.Row32(maskTop + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(dy) + area->DstX;
        for (int x = 0; x < area->Cols; ++x) {
            const bool key = s[x] == KeyPixel;
            if (Bg.UseBmp && !CopyBg) {
                d[x] = WithAlpha(mix(d[x], s[x], m[x]), 255);
            } else if (Bg.UseBmp) {
                d[x] = WithAlpha(d[x], 255);
                if (!key)
                    d[x] = mix(d[x], s[x], m[x]);
                else if (const std::uint32_t *bg = BgPixelAt(Bg, area->DstX + x, dy))
                    d[x] = *bg;
            } else if (!key) {
                d[x] = mix(d[x], s[x], m[x]);
            } else if (CopyBg) {
                d[x] = bgColour;
            }
        }
    }
}

void CopyKeyedRect32(const TBitmapView &Dst, const TBitmapView &Src, int X, int Y, vcl::TColor KeyColor) {
    const auto area = ClipPlacement(X, Y, BitmapRect(Src), Dst, Src);
    if (!area) return;
    const std::uint32_t key = SwapRedBlue(static_cast<std::uint32_t>(KeyColor));
    for (int y = 0; y < area->Rows; ++y) {
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(area->DstY + y) + area->DstX;
        for (int x = 0; x < area->Cols; ++x)
            if (s[x] != key) d[x] = WithAlpha(s[x], 255);
    }
}

void CopyKeyedRectWithBg32(const TBitmapView &Dst, const TBitmapView &Src, int X, int Y, const TRect &SrcRect,
                           std::uint32_t KeyValue, const TBgPixels &Bg, bool CopyBg) {
    if (!Src.HasRows()) return;
    // The source rect is cut to Src first; its first remaining pixel goes to (X, Y).
    const TRect cut{std::max(SrcRect.Left, 0), std::max(SrcRect.Top, 0), std::min(SrcRect.Right, Src.Width - 1) + 1,
                    std::min(SrcRect.Bottom, Src.Height - 1) + 1};
    const auto area = ClipPlacement(X, Y, cut, Dst, Src);
    if (!area) return;
    enum { IntoOwnBackground, FromBgImage, KeepKeys, BgColour } mode;
    if (CopyBg && Bg.UseBmp && Bg.Bmp.HasRows())
        mode = Bg.Bmp.First == Dst.First ? IntoOwnBackground : FromBgImage;
    else if (Bg.UseBmp)
        mode = KeepKeys;
    else
        mode = BgColour;
    const std::uint32_t bgColour = ColorToBGRA(Bg.Color) & 0x00FFFFFF;
    for (int y = 0; y < area->Rows; ++y) {
        const int dy = area->DstY + y;
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(dy) + area->DstX;
        for (int x = 0; x < area->Cols; ++x) {
            if (s[x] != KeyValue) {
                d[x] = mode == IntoOwnBackground ? WithAlpha(s[x], 255) : s[x];
            } else if (mode == FromBgImage) {
                if (const std::uint32_t *bg = BgPixelAt(Bg, area->DstX + x, dy)) d[x] = *bg;
            } else if (mode == BgColour) {
                d[x] = bgColour;
            }
        }
    }
}

void CopyKeyedRectAt32(const TBitmapView &Dst, const TBitmapView &Src, int X, int Y, const TRect &SrcRect,
                       vcl::TColor KeyColor) {
    const auto area = ClipPlacement(X, Y, IncludingEdges(SrcRect), Dst, Src);
    if (!area) return;
    const std::uint32_t key = ColorToBGRA(KeyColor) & 0x00FFFFFF;
    for (int y = 0; y < area->Rows; ++y) {
        const std::uint32_t *s = Src.Row32(area->SrcY + y) + area->SrcX;
        std::uint32_t *d = Dst.Row32(area->DstY + y) + area->DstX;
        for (int x = 0; x < area->Cols; ++x)
            if (s[x] != key) d[x] = s[x];
    }
}

void MixBitmaps32(const TBitmapView &Dst, const TBitmapView &A, const TBitmapView &B, const TBitmapView *W,
                  int Weight) {
    if (!Dst.HasRows() || !A.HasRows() || !B.HasRows()) return;
    if (A.Width != B.Width || A.Height != B.Height) return;
    if (Dst.Width < A.Width || Dst.Height < A.Height) return;
    if (W != nullptr && (!W->HasRows() || W->Width < A.Width || W->Height < A.Height)) return;
    const auto mix = [](int a, int b, int w) { return ClampByte(((a - b) * w + b * 256) >> 8); };
    for (int y = 0; y < A.Height; ++y) {
        const std::uint32_t *a = A.Row32(y);
        const std::uint32_t *b = B.Row32(y);
        const std::uint32_t *w = W != nullptr ? W->Row32(y) : nullptr;
        std::uint32_t *d = Dst.Row32(y);
        for (int x = 0; x < A.Width; ++x) {
            const std::uint32_t wp = w != nullptr ? w[x] : 0;
            const int wb = w != nullptr ? Blue(wp) : Weight;
            const int wg = w != nullptr ? Green(wp) : Weight;
            const int wr = w != nullptr ? Red(wp) : Weight;
            d[x] = Make(mix(Blue(a[x]), Blue(b[x]), wb), mix(Green(a[x]), Green(b[x]), wg),
                        mix(Red(a[x]), Red(b[x]), wr), Alpha(d[x]));
        }
    }
}

} // namespace skin
