#include "vlGlyphStrips.h"

#include <algorithm>

#include "PixelMath.h"
#include "sSkinTables.h"
#include "vlAlphaBlending.h"
#include "vlPixelHelpers.h"
#include "vlSkinPieces.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TPoint;
using vcl::TRect;

int GlyphStateFrame(int FrameCount, bool Enabled, int StateKind, int DownShift, bool PlainOrder) {
    const int n = std::max(FrameCount, 1);
    const int kind = n == 1 ? 0 : StateKind;
    if (!Enabled) return 0;
    switch (kind) {
    case 1:
        return PlainOrder ? 0 : 1;
    case 2: {
        const int pressed = std::max(DownShift, 0) + 2;
        if (pressed < n) return pressed;
        return PlainOrder ? 0 : std::min(n - 1, 1);
    }
    case 3:
        return n > 2 ? 2 : 0;
    default:
        return 0;
    }
}

void DrawGlyphState(const TBitmapView &Glyph, const TBitmapView &Dst, const TRect &R, int FrameCount, bool Enabled,
                    int StateKind, int BlendPercent, int DownShift, bool Reflected, bool Glyph4Bit) {
    if (!Glyph.HasRows() || !Dst.HasRows()) return;
    // A strip said to hold no frames is one frame, not a division by zero.
    const int n = std::max(FrameCount, 1);
    TRect r = R;
    if (Reflected) {
        const int up = R.Height() / 8;
        r = {r.Left, r.Top - up, r.Right, r.Bottom - up};
    }
    const int kind = n == 1 ? 0 : StateKind;
    const int blend = kind > 0 ? 0 : std::clamp(BlendPercent, 0, 100);
    const bool plain = Glyph4Bit || !DefaultSkinManager || DefaultSkinManager->StdGlyphsOrder;
    const int frame = GlyphStateFrame(n, Enabled, kind, DownShift, plain);
    const int w = Glyph.Width / n;
    if (w < 1) return;
    // The frame's key: its bottom-left colour, compared with alpha 0.
    const std::uint32_t key = Glyph.At(frame * w, Glyph.Height - 1) & 0x00FFFFFF;
    const auto keyColour = static_cast<vcl::TColor>(SwapRedBlue(key));
    const TRect src{frame * w, 0, (frame + 1) * w - 1, Glyph.Height - 1};
    if (Enabled || blend == 0)
        CopyKeyedRectAt32(Dst, Glyph, r.Left, r.Top, src, keyColour);
    else
        BlendRect32ByRatio(Dst, r.Left, r.Top, Glyph, IncludingEdges(src), blend / 100.0, key);
    if (Reflected) DrawGlyphReflection(Dst, Glyph, {r.Left, r.Top + r.Height()}, src, keyColour, blend);
}

void DrawGlyphReflection(const TBitmapView &Dst, const TBitmapView &Src, TPoint P, const TRect &SrcRect,
                         vcl::TColor KeyColor, int Percent) {
    if (!Dst.HasRows() || !Src.HasRows()) return;
    TRect s = SrcRect;
    int dx = 0, dy = 0;
    if (s.Top < 0) dy = s.Top, s.Top = 0;
    if (s.Left < 0) dx = s.Left, s.Left = 0;
    s.Bottom = std::min(s.Bottom, Src.Height - 1);
    s.Right = std::min(s.Right, Src.Width - 1);
    const int n = std::min((Src.Height / 3) * 2 - 1, Dst.Height - P.Y - 1);
    if (n < 1) return;
    const int step = 255 / n;
    const int keep = 100 - std::clamp(Percent, 0, 100);
    const std::uint32_t key = SwapRedBlue(static_cast<std::uint32_t>(KeyColor)) & 0x00FFFFFF;
    int a = 255;
    for (int i = 0; i <= n; ++i, a -= step) {
        const int y = P.Y + i;
        const int sy = s.Bottom - i - dy;
        // The source is read upward from its bottom; a row that a negative
        // top pushes past it is left out rather than read.
        if (y < 0 || y >= Dst.Height || sy < s.Top || sy > s.Bottom) continue;
        const int t = (((((n - i) * 255) / n) * a >> 9) * keep / 100) & 0xFF;
        const std::uint32_t *srow = Src.Row32(sy);
        std::uint32_t *drow = Dst.Row32(y);
        for (int c = s.Left; c <= s.Right; ++c) {
            const int x = P.X - dx + (c - s.Left);
            if (x < 0 || x >= Dst.Width || srow[c] == key) continue;
            // d = ((s - d) * t + d * 256) >> 8 per colour channel; alpha stays.
            const auto mix = [t](int sc, int dc) { return ((sc - dc) * t + dc * 256) >> 8; };
            const std::uint32_t sp = srow[c], dp = drow[x];
            drow[x] = Make(mix(Blue(sp), Blue(dp)), mix(Green(sp), Green(dp)), mix(Red(sp), Red(dp)), Alpha(dp));
        }
    }
}

std::vector<TPoint> ScrollArrowPixels(const TRect &R, int Direction) {
    std::vector<TPoint> points;
    const int w = R.Width(), h = R.Height();
    if (Direction == adLeft || Direction == adRight) {
        const int x0 = R.Left + (w - 3) / 2, y0 = R.Top + (h - 5) / 2;
        for (int k = 0; k <= 3; ++k) {
            const int x = Direction == adLeft ? x0 + 3 - k : x0 + k;
            for (int y = y0 + k; y <= y0 + 6 - k; ++y) points.push_back({x, y});
        }
    } else if (Direction == adUp || Direction == adDown) {
        const int x0 = R.Left + (w - 5) / 2 - 1, y0 = R.Top + (h - 3) / 2 - 1;
        for (int k = 0; k <= 3; ++k) {
            const int y = Direction == adUp ? y0 + 3 - k : y0 + k;
            for (int x = x0 + k; x <= x0 + 6 - k; ++x) points.push_back({x, y});
        }
    }
    return points;
}

void DrawNinePartImage(const TBitmapView &Dst, const TBitmapView &Src, const TRect &DstRect, const TRect &SrcRect,
                       const TRect &Margins, const TRect &Limits, const std::array<int, 4> &SideModes,
                       bool StretchCenter, bool DrawCenter) {
    // Everything is drawn into the part of Dst that DstRect covers, so that
    // margins wider than the rect cannot paint beside it.
    const TBitmapView out = SubView(Dst, DstRect);
    if (!out.HasRows() || !Src.HasRows()) return;
    const int ox = std::max(DstRect.Left, 0), oy = std::max(DstRect.Top, 0);
    const auto copy = [&](int x, int y, int w, int h, int sx, int sy) {
        if (w > 0 && h > 0) CopyPixels(out, x - ox, y - oy, Src, sx, sy, w, h);
    };
    const auto stretch = [&](const TRect &d, const TRect &s) {
        StretchPixels(out, {d.Left - ox, d.Top - oy, d.Right - ox, d.Bottom - oy}, Src, s);
    };
    const TRect &D = DstRect, &S = SrcRect;
    const TRect M{std::max(Margins.Left, 0), std::max(Margins.Top, 0), std::max(Margins.Right, 0),
                  std::max(Margins.Bottom, 0)};
    const int mL = std::clamp(Limits.Left, 0, M.Left), mT = std::clamp(Limits.Top, 0, M.Top);
    const int mR = std::clamp(Limits.Right, 0, M.Right), mB = std::clamp(Limits.Bottom, 0, M.Bottom);

    // Corners as L-shaped pieces: a band as wide as the margin along the
    // outer edge, and below (above) it only as far inward as the limit.
    copy(D.Left, D.Top, M.Left, mT, S.Left, S.Top);
    copy(D.Left, D.Top + mT, mL, M.Top - mT, S.Left, S.Top + mT);
    copy(D.Left, D.Bottom - mB, M.Left, mB, S.Left, S.Bottom - mB);
    copy(D.Left, D.Bottom - M.Bottom, mL, M.Bottom - mB, S.Left, S.Bottom - M.Bottom);
    copy(D.Right - M.Right, D.Top, M.Right, mT, S.Right - M.Right, S.Top);
    copy(D.Right - mR, D.Top + mT, mR, M.Top - mT, S.Right - mR, S.Top + mT);
    copy(D.Right - M.Right, D.Bottom - mB, M.Right, mB, S.Right - M.Right, S.Bottom - mB);
    copy(D.Right - mR, D.Bottom - M.Bottom, mR, M.Bottom - mB, S.Right - mR, S.Bottom - M.Bottom);

    const int th = std::max(S.Height() - M.Top - M.Bottom, 0);  // tile height of the left and right sides
    const int tw = std::max(S.Width() - M.Left - M.Right, 0);   // tile width of the top and bottom sides
    const int midTop = D.Top + M.Top, midBottom = D.Bottom - M.Bottom;
    const int midLeft = D.Left + M.Left, midRight = D.Right - M.Right;
    const auto vertical = [&](int mode, int x, int w, int sx) {
        const int sy = S.Top + M.Top;
        if (th == 0 || w < 1) return;
        if (mode == npTile)
            TileSpan(midTop, midBottom, th, [&](int y, int h) { copy(x, y, w, h, sx, sy); });
        else if (mode == npStretch)
            stretch({x, midTop, x + w, midBottom}, {sx, sy, sx + w, sy + th});
    };
    const auto horizontal = [&](int mode, int y, int h, int sy) {
        const int sx = S.Left + M.Left;
        if (tw == 0 || h < 1) return;
        if (mode == npTile)
            TileSpan(midLeft, midRight, tw, [&](int x, int w) { copy(x, y, w, h, sx, sy); });
        else if (mode == npStretch)
            stretch({midLeft, y, midRight, y + h}, {sx, sy, sx + tw, sy + h});
    };
    vertical(SideModes[0], D.Left, mL, S.Left);
    horizontal(SideModes[1], D.Top, mT, S.Top);
    vertical(SideModes[2], D.Right - mR, mR, S.Right - mR);
    horizontal(SideModes[3], D.Bottom - mB, mB, S.Bottom - mB);

    if (!DrawCenter) return;
    const TRect centre{S.Left + M.Left, S.Top + M.Top, S.Right - M.Right, S.Bottom - M.Bottom};
    if (StretchCenter) {
        stretch({midLeft, midTop, midRight, midBottom}, centre);
    } else if (tw > 0 && th > 0) {
        TileSpan(midTop, midBottom, th, [&](int y, int h) {
            TileSpan(midLeft, midRight, tw, [&](int x, int w) { copy(x, y, w, h, centre.Left, centre.Top); });
        });
    }
}

void GetMaskCornerRects(TAOR &Rects, int Width, const TsMaskData &Mask, int YOffset, bool Bottom) {
    if (!Mask.Manager) return;
    const TBitmapView image = MaskImage(Mask);
    if (!image.HasRows()) return;
    const int wl = std::max<int>(Mask.WL, 0), wr = std::max<int>(Mask.WR, 0);
    const int band = std::max<int>(Bottom ? Mask.WB : Mask.WT, 0);
    const int frameWidth = GetMaskFrameWidth(Mask);
    const int top = Mask.R.Top + (Bottom ? GetMaskFrameHeight(Mask) - band : 0);
    // A hostile rect may reach past the picture on any side: such a mask
    // gives no runs rather than reading beside its image.
    if (top < 0 || top + band > image.Height || Mask.R.Left < 0 || Mask.R.Right > image.Width) return;
    const auto runs = [&](const std::uint32_t *row, int y, int first, int last, int shift) {
        int start = -1;
        for (int c = first; c <= last + 1; ++c) {
            const bool key = c <= last && c >= 0 && c < frameWidth && row[Mask.R.Left + c] == KeyPixel;
            if (key && start < 0) start = c;
            if (!key && start >= 0) {
                Rects.push_back({start + shift, y, c + shift, y + 1});
                start = -1;
            }
        }
    };
    for (int r = 0; r < band; ++r) {
        const std::uint32_t *row = image.Row32(top + r);
        const int y = r + YOffset;
        runs(row, y, 0, wl - 1, 0);
        runs(row, y, frameWidth - wr, frameWidth - 1, Width - frameWidth);
    }
}

} // namespace skin
