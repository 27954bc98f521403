#include "vlSkinPieces.h"

#include <algorithm>
#include <cstring>

#include "PixelMath.h"

namespace skin {

using vcl::TBitmapView;
using vcl::TRect;

TBitmapView SubView(const TBitmapView &Image, const TRect &R) {
    if (!Image.HasRows()) return {};
    const TRect c = pixel::ClipToBitmap(R, Image);
    if (c.IsEmpty()) return {};
    return {Image.Line(c.Top) + static_cast<std::ptrdiff_t>(c.Left) * 4, Image.Stride, c.Width(), c.Height()};
}

void CopyPixels(const TBitmapView &Dst, int DstX, int DstY, const TBitmapView &Src, int SrcX, int SrcY, int SrcW,
                int SrcH) {
    if (!Dst.HasRows() || !Src.HasRows() || SrcW < 1 || SrcH < 1) return;
    long long sx = SrcX, sy = SrcY, dx = DstX, dy = DstY, w = SrcW, h = SrcH;
    // Whatever lies left of or above either image moves both sides alike.
    const long long overX = std::max({0LL, -sx, -dx});
    const long long overY = std::max({0LL, -sy, -dy});
    sx += overX, dx += overX, w -= overX;
    sy += overY, dy += overY, h -= overY;
    w = std::min({w, Src.Width - sx, Dst.Width - dx});
    h = std::min({h, Src.Height - sy, Dst.Height - dy});
    if (w < 1 || h < 1) return;
    for (long long y = 0; y < h; ++y)
        std::memcpy(Dst.Row32(int(dy + y)) + dx, Src.Row32(int(sy + y)) + sx, static_cast<std::size_t>(w) * 4);
}

void StretchPixels(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src, const TRect &SrcRect) {
    if (!Dst.HasRows() || !Src.HasRows()) return;
    const TRect src = pixel::ClipToBitmap(SrcRect, Src);
    const TRect area = pixel::ClipToBitmap(DstRect, Dst);
    if (src.IsEmpty() || area.IsEmpty() || DstRect.IsEmpty()) return;
    const long long sw = src.Width(), sh = src.Height();
    const long long dw = DstRect.Width(), dh = DstRect.Height();
    for (int y = area.Top; y < area.Bottom; ++y) {
        const std::uint32_t *s = Src.Row32(int(src.Top + (y - DstRect.Top) * sh / dh)) + src.Left;
        std::uint32_t *d = Dst.Row32(y);
        for (int x = area.Left; x < area.Right; ++x) d[x] = s[(x - DstRect.Left) * sw / dw];
    }
}

const std::uint32_t *BgPixelAt(const TBgPixels &Bg, int X, int Y) {
    const long long bx = static_cast<long long>(Bg.X) + X;
    const long long by = static_cast<long long>(Bg.Y) + Y;
    if (!Bg.Bmp.HasRows() || bx < 0 || by < 0 || bx >= Bg.Bmp.Width || by >= Bg.Bmp.Height) return nullptr;
    return &Bg.Bmp.At(int(bx), int(by));
}

bool ClipPiecePair(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBitmapView &Src,
                   TPieceArea &Area) {
    if (!Dst.HasRows() || !Src.HasRows()) return false;
    long long dl = DstRect.Left, dt = DstRect.Top, sl = SrcRect.Left, st = SrcRect.Top;
    long long cols = std::min<long long>(static_cast<long long>(DstRect.Right) - dl, static_cast<long long>(SrcRect.Right) - sl);
    long long rows = std::min<long long>(static_cast<long long>(DstRect.Bottom) - dt, static_cast<long long>(SrcRect.Bottom) - st);
    const long long overX = std::max({0LL, -dl, -sl});
    const long long overY = std::max({0LL, -dt, -st});
    dl += overX, sl += overX, cols -= overX;
    dt += overY, st += overY, rows -= overY;
    cols = std::min({cols, Dst.Width - dl, Src.Width - sl});
    rows = std::min({rows, Dst.Height - dt, Src.Height - st});
    if (cols < 1 || rows < 1) return false;
    Area = {int(dl), int(dt), int(sl), int(st), int(cols), int(rows)};
    return true;
}

TBgPixels EmptyBgPixels() { return {{}, -99, -99, vcl::clFuchsia, false, {}}; }

} // namespace skin
