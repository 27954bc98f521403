#include "vlPixelHelpers.h"

#include <algorithm>
#include <climits>

#include "CacheSize.h"
#include "PixelMath.h"
#include "PixelRows.h"
#include "vlAlphaBlending.h"
#include "vlBitmapHelpers.h"
#include "vlColorEffects.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TRect;

std::uint32_t GetPixel32(const TBitmapView &Bitmap, int X, int Y) {
    return Contains(Bitmap, X, Y) ? Bitmap.At(X, Y) : 0;
}

void SetPixel32(const TBitmapView &Bitmap, int X, int Y, std::uint32_t Value) {
    if (Contains(Bitmap, X, Y)) Bitmap.At(X, Y) = Value;
}

std::uint32_t SwapBytes32(std::uint32_t Value) {
    return (Value >> 24) | ((Value >> 8) & 0xFF00) | ((Value << 8) & 0xFF0000) | (Value << 24);
}

void SwapBytes32Array(std::uint32_t *Values, int N) {
    for (int i = 0; i < N; ++i) Values[i] = SwapBytes32(Values[i]);
}

std::uint32_t SwapRedBlue(std::uint32_t Value) {
    return (Value & 0xFF00FF00) | ((Value & 0xFF) << 16) | ((Value >> 16) & 0xFF);
}

void ClearEmptyWhitePixels(const TBitmapView &Bitmap) {
    ForEachPixel(Bitmap, [](std::uint32_t &p) {
        if (p == EmptyWhitePixel) p = 0;
    });
}

void PremultiplyRect(const TBitmapView &Bitmap, const TRect &R) {
    ForEachPixelInRect(Bitmap, R, [](std::uint32_t &p) {
        if (p == EmptyWhitePixel) {
            p = 0;
            return;
        }
        const int a = Alpha(p);
        p = Make(Blue(p) * a >> 8, Green(p) * a >> 8, Red(p) * a >> 8, a);
    });
}

void PremultiplyBitmap(const TBitmapView &Bitmap) {
    PremultiplyRect(Bitmap, BitmapRect(Bitmap));
}

void FillRectAlpha(const TBitmapView &Bitmap, const TRect &R, vcl::TColor Colour, std::uint8_t Alpha) {
    // A fill that the cache cannot hold leaves it before anyone reads it
    // again: it goes to memory directly.
    const TRect c = ClipToBitmap(R, Bitmap);
    const long long pixels = static_cast<long long>(std::max(0, c.Width())) * std::max(0, c.Height());
    const bool streaming = FillBypassesCache(4 * pixels, LastLevelCacheBytes());
    const std::uint32_t value = WithAlpha(ColorToBGRA(Colour), Alpha);
    const bool gapless = Bitmap.Stride == 4LL * Bitmap.Width || Bitmap.Stride == -4LL * Bitmap.Width;
    if (Bitmap.HasRows() && pixels > 0 && pixels <= INT_MAX && c.Width() == Bitmap.Width && gapless) {
        // Whole rows without gaps between them: one run from the lowest address.
        FillRow32(Bitmap.Row32(Bitmap.Stride < 0 ? c.Bottom - 1 : c.Top), static_cast<int>(pixels), value, streaming);
    } else {
        ForEachRowInRect(Bitmap, R, [value, streaming](std::uint32_t *row, int count) {
            FillRow32(row, count, value, streaming);
        });
    }
    if (streaming) EndStreamingStores();
}

void SetRectAlpha(const TBitmapView &Bitmap, const TRect &R, std::uint8_t Alpha, vcl::TColor Keep) {
    if (Keep == vcl::clNone) {
        ForEachPixelInRect(Bitmap, R, [Alpha](std::uint32_t &p) { p = WithAlpha(p, Alpha); });
        return;
    }
    const auto keep = static_cast<std::uint32_t>(Keep);
    ForEachPixelInRect(Bitmap, R, [Alpha, keep](std::uint32_t &p) { p = p != keep ? WithAlpha(p, Alpha) : p; });
}

void FrameRectAlpha(const TBitmapView &Bitmap, const TRect &R, int LeftW, int TopW, int RightW, int BottomW,
                    vcl::TColor Colour) {
    for (const TRect &band : FrameBandRects(R, LeftW, TopW, RightW, BottomW)) FillRectAlpha(Bitmap, band, Colour, 255);
}

void BlendRectWithColor(const TBitmapView &Bitmap, const TRect &R, std::uint8_t Percent, vcl::TColor Colour) {
    const std::uint32_t col = ColorToBGRA(vcl::ColorToRGB(Colour));
    const double p = Percent / 100.0;
    const TChannelTable mix([&](int c, int channel) {
        return ClampByte(RoundEven(c * p + Byte(col, channel) * (1 - p)));
    });
    // R includes its right and bottom edges here.
    ForEachPixelInRect(Bitmap, IncludingEdges(R), [&](std::uint32_t &px) { px = mix.Map(px, Alpha(px)); });
}

void TintRectAlpha(const TBitmapView &Bitmap, const TRect &R, vcl::TColor Colour, std::uint8_t Percent,
                   std::uint8_t Alpha) {
    ForEachRowInRect(Bitmap, R, [&, colour = ColorToBGRA(Colour)](std::uint32_t *row, int count) {
        TintRow32(row, count, colour, Percent, Alpha);
    });
}

void PaintDisabledLook(const TBitmapView &Bitmap, int Kind, vcl::TColor ControlColor, const TBgPixels *BgInfo,
                       vcl::TPoint Offset) {
    if (!Bitmap.HasRows()) return;
    if (Kind & dlGrayed) {
        if (DisabledSaturation == -100) {
            GrayscaleBitmap32(Bitmap);
        } else {
            const auto amount = static_cast<std::int32_t>(RoundEven(DisabledSaturation * 255 / 100.0));
            ForEachPixel32(Bitmap, PixelSaturationProc, amount, vcl::clFuchsia);
        }
    }
    if (Kind & dlBlended) {
        if (BgInfo != nullptr && BgInfo->UseBmp) {
            const int x = BgInfo->X + Offset.X;
            const int y = BgInfo->Y + Offset.Y;
            BlendRect32ByRatio(Bitmap, 0, 0, BgInfo->Bmp, vcl::Bounds(x, y, Bitmap.Width, Bitmap.Height),
                               DisabledBlendRatio, KeyPixel);
        } else {
            vcl::TColor colour = BgInfo != nullptr ? BgInfo->Color : vcl::clFuchsia;
            if (colour == vcl::clFuchsia) colour = ControlColor;
            const auto keep = static_cast<std::uint8_t>(RoundEven(DisabledBlendRatio * 100));
            BlendRectWithColor(Bitmap, BitmapRect(Bitmap), keep, colour);
        }
    }
}

void BlendTextImage32(const TBitmapView &Dst, const TRect &R, const TBitmapView &Text, vcl::TColor Colour, int Mode) {
    if (!Dst.HasRows() || !Text.HasRows()) return;
    // Temporary columns and rows left of or above the destination are skipped.
    const int skipX = std::max(0, -R.Left);
    const int skipY = std::max(0, -R.Top);
    const int w = std::min({R.Width(), Text.Width, Dst.Width - R.Left});
    const int h = std::min({R.Height(), Text.Height, Dst.Height - R.Top});
    if (w <= skipX || h <= skipY) return;
    const std::uint32_t col = ColorToBGRA(vcl::ColorToRGB(Colour));
    for (int ty = skipY; ty < h; ++ty) {
        const std::uint32_t *src = Text.Row32(ty);
        std::uint32_t *dst = Dst.Row32(R.Top + ty) + R.Left;
        for (int tx = skipX; tx < w; ++tx) {
            const std::uint32_t t = src[tx];
            if (t == 0x00FFFFFF || t == 0xFFFFFFFF) continue;  // background of the text image
            const std::uint32_t d = dst[tx];
            int out[3];
            int alpha;
            if (Mode == 0) {
                // Each channel by the same channel of the text image, so that
                // sub-pixel text keeps its coloured fringes.
                alpha = 255;
                for (int c = 0; c < 3; ++c)
                    out[c] = ((Byte(d, c) - Byte(col, c)) * Byte(t, c) + Byte(col, c) * 256) >> 8;
            } else {
                const int k = (Red(t) + Green(t) + Blue(t)) / 3;
                alpha = std::max(255 - k, Alpha(d));
                for (int c = 0; c < 3; ++c)
                    out[c] = (((Byte(d, c) - Byte(col, c)) * k + Byte(col, c) * 256) * alpha) >> 16;
            }
            dst[tx] = Make(out[0], out[1], out[2], alpha);
        }
    }
}

} // namespace skin
