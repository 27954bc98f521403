#include "vlNineSlice.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "PixelMath.h"
#include "sSkinTables.h"
#include "vlAlphaBlending.h"
#include "vlResampling.h"
#include "vlSkinPieces.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TPixels32;
using vcl::TRect;

namespace {

enum class TPiece { Corner, Side, Centre };

// One call's cut of the state image: margins, state size, middle size, the
// state's origin in the source, and the thickness of each side as drawn.
struct TSlices {
    TRect R;
    TSkinMargins M;
    int W = 0, H = 0, CW = 0, CH = 0, SX = 0, SY = 0;
    int ThickL = 0, ThickT = 0, ThickR = 0, ThickB = 0;
    bool Stretch = false;
    bool Centre = false;
};

std::optional<TSlices> Slice(const TRect &R, const TsMaskData &Mask, int State) {
    if (State == 0 && (Mask.DrawMode & dmNoState0)) return std::nullopt;
    if (R.Width() < 2 || R.Height() < 2 || !Mask.Manager) return std::nullopt;
    TSlices s;
    s.R = R;
    s.M = FitSkinMargins(Mask, R.Width(), R.Height());
    // A state beyond the images draws the last; a negative one the first.
    const int state = std::max(State < Mask.ImageCount ? State : Mask.ImageCount - 1, 0);
    s.W = GetMaskFrameWidth(Mask);
    s.H = GetMaskFrameHeight(Mask);
    s.CW = s.W - s.M.Left - s.M.Right;
    s.CH = s.H - s.M.Top - s.M.Bottom;
    if (s.CW < 0 || s.CH < 0) return std::nullopt;
    s.SX = Mask.R.Left + s.W * state;
    s.SY = Mask.R.Top;
    s.ThickL = s.M.Left, s.ThickT = s.M.Top, s.ThickR = s.M.Right, s.ThickB = s.M.Bottom;
    s.Stretch = (Mask.DrawMode & dmStretch) != 0;
    s.Centre = (Mask.DrawMode & dmDrawCenter) != 0;
    return s;
}

// Draw(kind, stretched, destination, source piece): a tile's destination
// may be smaller than the piece (the last, cut one); a keyed copy then
// copies the destination's size from the piece's start, a masked one the
// common size.
using TPieceDraw = std::function<void(TPiece, bool, const TRect &, const TRect &)>;

void DrawPieces(const TSlices &s, const TPieceDraw &Draw) {
    const TRect &R = s.R;
    const TSkinMargins &m = s.M;
    const int midTop = R.Top + m.Top, midBottom = R.Bottom - m.Bottom;
    const int midLeft = R.Left + m.Left, midRight = R.Right - m.Right;
    const int srcRight = s.SX + s.W, srcBottom = s.SY + s.H;
    const auto corner = [&](int x, int y, int w, int h, int sx, int sy) {
        if (w > 0 && h > 0) Draw(TPiece::Corner, false, {x, y, x + w, y + h}, {sx, sy, sx + w, sy + h});
    };
    const auto vertical = [&](int x, int w, int sx) {
        if (w < 1) return;
        const TRect src{sx, s.SY + m.Top, sx + w, s.SY + m.Top + s.CH};
        if (s.Stretch)
            Draw(TPiece::Side, true, {x, midTop, x + w, midBottom}, src);
        else
            TileSpan(midTop, midBottom, s.CH, [&](int y, int h) { Draw(TPiece::Side, false, {x, y, x + w, y + h}, src); });
    };
    const auto horizontal = [&](int y, int h, int sy) {
        if (h < 1) return;
        const TRect src{s.SX + m.Left, sy, s.SX + m.Left + s.CW, sy + h};
        if (s.Stretch)
            Draw(TPiece::Side, true, {midLeft, y, midRight, y + h}, src);
        else
            TileSpan(midLeft, midRight, s.CW, [&](int x, int w) { Draw(TPiece::Side, false, {x, y, x + w, y + h}, src); });
    };

    corner(R.Left, R.Top, m.Left, m.Top, s.SX, s.SY);
    vertical(R.Left, s.ThickL, s.SX);
    horizontal(R.Top, s.ThickT, s.SY);
    corner(R.Left, R.Bottom - m.Bottom, m.Left, m.Bottom, s.SX, srcBottom - m.Bottom);
    horizontal(R.Bottom - s.ThickB, s.ThickB, srcBottom - s.ThickB);
    corner(R.Right - m.Right, R.Bottom - m.Bottom, m.Right, m.Bottom, srcRight - m.Right, srcBottom - m.Bottom);
    corner(R.Right - m.Right, R.Top, m.Right, m.Top, srcRight - m.Right, s.SY);
    vertical(R.Right - s.ThickR, s.ThickR, srcRight - s.ThickR);

    if (!s.Centre) return;
    const TRect src{s.SX + m.Left, s.SY + m.Top, s.SX + m.Left + s.CW, s.SY + m.Top + s.CH};
    if (s.Stretch) {
        Draw(TPiece::Centre, true, {midLeft, midTop, midRight, midBottom}, src);
        return;
    }
    TileSpan(midTop, midBottom, s.CH, [&](int y, int h) {
        TileSpan(midLeft, midRight, s.CW,
                 [&](int x, int w) { Draw(TPiece::Centre, false, {x, y, x + w, y + h}, src); });
    });
}

// A keyed image's unstretched side or centre tile: the destination's size
// copied from the piece's start.
void CopyTile(const TBitmapView &Dst, const TRect &dst, const TBitmapView &Src, const TRect &src) {
    CopyPixels(Dst, dst.Left, dst.Top, Src, src.Left, src.Top, dst.Width(), dst.Height());
}

void CopyKeyedCorner(const TBitmapView &Dst, const TRect &dst, const TBitmapView &Src, const TRect &src,
                     const TBgPixels &Bg, bool FromBg) {
    const TRect inclusive{src.Left, src.Top, src.Left + dst.Width() - 1, src.Top + dst.Height() - 1};
    CopyKeyedRectWithBg32(Dst, Src, dst.Left, dst.Top, inclusive, KeyPixel, Bg, FromBg);
}

// The pieces of a keyed image (MaskType 0): shared by the three routines.
void DrawKeyed(const TBitmapView &Dst, const TSlices &s, const TBitmapView &Src, const TBgPixels &Bg, bool FromBg) {
    DrawPieces(s, [&](TPiece kind, bool stretched, const TRect &dst, const TRect &src) {
        if (kind == TPiece::Corner)
            CopyKeyedCorner(Dst, dst, Src, src, Bg, FromBg);
        else if (stretched)
            StretchPixels(Dst, dst, Src, src);
        else
            CopyTile(Dst, dst, Src, src);
    });
}

// The rule of the copies into 32-bit images: an image pixel s over d with
// mask value m (its red channel). Opacity < 0 is CopyMaskPiece32's rule.
void CopyMaskPieceAlpha(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src, const TRect &SrcRect,
                        const TBgPixels &Bg, const TsMaskData &Mask, int Opacity) {
    TPieceArea a;
    if (!ClipPiecePair(DstRect, SrcRect, Dst, Src, a)) return;
    const int half = Mask.R.Height() / 2;
    const int maskTop = std::clamp(a.SrcY + half, 0, Src.Height - a.Rows);
    const bool bgImage = Bg.UseBmp && Bg.Bmp.HasRows();
    for (int y = 0; y < a.Rows; ++y) {
        const int dy = a.DstY + y;
        const std::uint32_t *s = Src.Row32(a.SrcY + y) + a.SrcX;
        const std::uint32_t *mrow = Src.Row32(maskTop + y) + a.SrcX;
        std::uint32_t *d = Dst.Row32(dy) + a.DstX;
        for (int x = 0; x < a.Cols; ++x) {
            if (s[x] == KeyPixel) {
                const std::uint32_t *bg = bgImage ? BgPixelAt(Bg, a.DstX + x, dy) : nullptr;
                d[x] = bg ? *bg : WithAlpha(d[x], 0);
                continue;
            }
            const int m = Red(mrow[x]);
            const int k = Opacity < 0 ? 255 - m : ((255 - m) * Opacity) >> 8;
            const auto mix = [k](int dc, int sc) { return (dc * (255 - k) + sc * k) >> 8; };
            int da = Alpha(d[x]);
            da = da == 0 ? 255 - m : da == 255 ? 255 : std::max(da, 255 - m);
            d[x] = Make(mix(Blue(d[x]), Blue(s[x])), mix(Green(d[x]), Green(s[x])), mix(Red(d[x]), Red(s[x])), da);
        }
    }
}

// How a stretched piece is mixed into the destination, pixel by pixel.
enum class TStretchRule { Plain, Alpha32, Blended };

std::uint32_t MixStretched(std::uint32_t d, std::uint32_t s, std::uint32_t mp, TStretchRule Rule, int Opacity) {
    if (Rule == TStretchRule::Plain) {
        const auto one = [](int dc, int sc, int mc) { return ((dc - sc) * mc + sc * 256) >> 8; };
        return Make(one(Blue(d), Blue(s), Blue(mp)), one(Green(d), Green(s), Green(mp)),
                    one(Red(d), Red(s), Red(mp)), 255);
    }
    const int m = Red(mp);
    if (m == 0) return WithAlpha(s, 255);
    if (m == 255) return d;
    int da = Alpha(d);
    int k;  // share of the image
    if (Rule == TStretchRule::Alpha32) {
        k = 255 - std::min(m, da);
        da = std::max(da, 255 - m);
    } else {
        k = ((255 - m) * Opacity) >> 8;
        da = da == 0 ? 255 - m : da == 255 ? 255 : std::max(da, 255 - m);
    }
    const auto mix = [k](int dc, int sc) { return (dc * (255 - k) + sc * k) >> 8; };
    return Make(mix(Blue(d), Blue(s)), mix(Green(d), Green(s)), mix(Red(d), Red(s)), da);
}

// Piece brought to Width x Height: filtered, or by the nearest pixel.
TPixels32 ScalePiece(const TBitmapView &Piece, int Width, int Height, int Filter) {
    TPixels32 out(Width, Height);
    if (Filter < 0) {
        StretchPixels(out.View(), {0, 0, Width, Height}, Piece, {0, 0, Piece.Width, Piece.Height});
        return out;
    }
    // The resampler needs two pixels each way: a single column or row is doubled.
    TPixels32 doubled(std::max(Piece.Width, 2), std::max(Piece.Height, 2));
    StretchPixels(doubled.View(), {0, 0, doubled.Width(), doubled.Height()}, Piece, {0, 0, Piece.Width, Piece.Height});
    ResampleBitmap32(doubled.View(), out.View(), Filter);
    return out;
}

void StretchMasked(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src, const TRect &SrcRect,
                   int MaskOffset, bool IsCentre, TStretchRule Rule, int Opacity) {
    const int dw = DstRect.Width(), dh = DstRect.Height();
    if (DstRect.Left < 0 || DstRect.Top < 0 || dw < 1 || dh < 1) return;
    if (!Dst.HasRows() || Dst.Width < 2 || Dst.Height < 2 || !Src.HasRows()) return;
    if (MaskOffset == 0) {
        StretchPixels(Dst, DstRect, Src, SrcRect);
        return;
    }
    const int sw = SrcRect.Width(), sh = SrcRect.Height();
    // The image and its mask part must both lie inside the source.
    if (SrcRect.Left < 0 || SrcRect.Top < 0 || sw < 1 || sh < 1 || Src.Width < SrcRect.Right ||
        Src.Height < SrcRect.Bottom + MaskOffset || MaskOffset < 0)
        return;
    const TRect maskRect{SrcRect.Left, SrcRect.Top + MaskOffset, SrcRect.Right, SrcRect.Bottom + MaskOffset};
    const TRect area = ClipToBitmap(DstRect, Dst);

    if (IsCentre && sw == 1 && sh == 1) {
        const std::uint32_t c = Src.At(SrcRect.Left, SrcRect.Top);
        const std::uint32_t mp = Src.At(maskRect.Left, maskRect.Top);
        if (Rule == TStretchRule::Plain) {
            // A uniform centre is judged by its red mask channel alone.
            const int m = Red(mp);
            if (m == 255) return;
            if (m == 0) {
                FillRectAlpha(Dst, area, static_cast<vcl::TColor>(SwapRedBlue(c) & 0xFFFFFF), 255);
                return;
            }
            const auto one = [m](int dc, int sc) { return ((dc - sc) * m + sc * 256) >> 8; };
            ForEachPixelInRect(Dst, area, [&](std::uint32_t &d) {
                d = Make(one(Blue(d), Blue(c)), one(Green(d), Green(c)), one(Red(d), Red(c)), Alpha(d));
            });
            return;
        }
        ForEachPixelInRect(Dst, area, [&](std::uint32_t &d) { d = MixStretched(d, c, mp, Rule, Opacity); });
        return;
    }

    const bool shrinkOneAxis = (dw < sw && dh == sh) || (dh < sh && dw == sw);
    const bool filtered = (shrinkOneAxis || IsCentre) && dw >= 2 && dh >= 2;
    const TPixels32 image = ScalePiece(SubView(Src, SrcRect), dw, dh, filtered ? rfMitchell : -1);
    const int maskFilter = Rule == TStretchRule::Plain ? rfMitchell : rfHermite;
    const TPixels32 mask = ScalePiece(SubView(Src, maskRect), dw, dh, filtered ? maskFilter : -1);
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::uint32_t *d = Dst.Row32(y);
        const int py = y - DstRect.Top;
        for (int x = area.Left; x < area.Right; ++x) {
            const int px = x - DstRect.Left;
            d[x] = MixStretched(d[x], image.At(px, py), mask.At(px, py), Rule, Opacity);
        }
    }
}

} // namespace

TSkinMargins FitSkinMargins(const TsMaskData &Mask, int Width, int Height) {
    const auto fit = [](int a, int b, int size, int &outA, int &outB) {
        a = std::max(a, 0), b = std::max(b, 0);
        const int d = a + b - size;
        if (d > 0) {
            a -= d / 2;
            b -= d / 2 + (d % 2);
        }
        // Even shrinking can leave one margin larger than the rect when the
        // other was small: the corner would lie outside the rect.
        outA = std::clamp(a, 0, std::max(size, 0));
        outB = std::clamp(b, 0, std::max(size - outA, 0));
    };
    TSkinMargins m;
    fit(Mask.WL, Mask.WR, Width, m.Left, m.Right);
    fit(Mask.WT, Mask.WB, Height, m.Top, m.Bottom);
    return m;
}

void StretchMaskPiece(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src, const TRect &SrcRect,
                      int MaskOffset, bool IsCentre) {
    StretchMasked(Dst, DstRect, Src, SrcRect, MaskOffset, IsCentre, TStretchRule::Plain, 255);
}

void StretchMaskPiece32(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src, const TRect &SrcRect,
                        int MaskOffset, bool IsCentre) {
    StretchMasked(Dst, DstRect, Src, SrcRect, MaskOffset, IsCentre, TStretchRule::Alpha32, 255);
}

void StretchMaskPieceBlended(const TBitmapView &Dst, const TRect &DstRect, const TBitmapView &Src,
                             const TRect &SrcRect, int MaskOffset, int Opacity, bool IsCentre) {
    StretchMasked(Dst, DstRect, Src, SrcRect, MaskOffset, IsCentre, TStretchRule::Blended, Opacity);
}

void DrawSkinRect(const TBitmapView &Dst, const TRect &R, const TBgPixels &Bg, const TsMaskData &Mask, int State,
                  bool CornersFromBg) {
    const auto s = Slice(R, Mask, State);
    const TBitmapView src = MaskImage(Mask);
    if (!s || !Dst.HasRows() || !src.HasRows()) return;
    const bool fromBg = CornersFromBg && Mask.CornerClass > 0;
    if (Mask.MaskType == 0) {
        DrawKeyed(Dst, *s, src, Bg, fromBg);
        return;
    }
    const int maskOffset = s->H;
    const TBgPixels empty = EmptyBgPixels();
    DrawPieces(*s, [&](TPiece kind, bool stretched, const TRect &dst, const TRect &piece) {
        if (stretched)
            StretchMaskPiece(Dst, dst, src, piece, maskOffset, kind == TPiece::Centre);
        else if (kind == TPiece::Corner)
            CopyImageWithMask32(dst, piece, Dst, src, Bg, fromBg, Mask);
        else
            CopyImageWithMask32(dst, piece, Dst, src, empty, false, Mask);
    });
}

void DrawSkinRect32(const TBitmapView &Dst, const TRect &R, const TBgPixels &Bg, const TsMaskData &Mask, int State) {
    const auto s = Slice(R, Mask, State);
    const TBitmapView src = MaskImage(Mask);
    if (!s || !Dst.HasRows() || !src.HasRows()) return;
    if (Mask.MaskType == 0) {
        DrawKeyed(Dst, *s, src, Bg, true);
        return;
    }
    const int maskOffset = s->H;
    const TBgPixels empty = EmptyBgPixels();
    DrawPieces(*s, [&](TPiece kind, bool stretched, const TRect &dst, const TRect &piece) {
        if (kind == TPiece::Centre) {
            // The centre is drawn as the plain nine-slice drawing draws it.
            if (stretched)
                StretchMaskPiece(Dst, dst, src, piece, maskOffset, true);
            else
                CopyImageWithMask32(dst, piece, Dst, src, empty, false, Mask);
        } else if (stretched) {
            StretchMaskPiece32(Dst, dst, src, piece, maskOffset, false);
        } else {
            CopyMaskPieceAlpha(Dst, dst, src, piece, kind == TPiece::Corner ? Bg : empty, Mask, -1);
        }
    });
}

void DrawSkinRectBlended(const TBitmapView &Dst, const TRect &R, const TBgPixels &Bg, const TsMaskData &Mask,
                         int State, const TRect &Caps, int Opacity) {
    auto s = Slice(R, Mask, State);
    const TBitmapView src = MaskImage(Mask);
    if (!s || !Dst.HasRows() || !src.HasRows()) return;
    if (Mask.MaskType == 0) {
        DrawKeyed(Dst, *s, src, Bg, true);
        return;
    }
    const auto cap = [](int margin, int limit) { return std::max(std::min(margin, limit), 0); };
    s->ThickL = cap(s->M.Left, Caps.Left);
    s->ThickT = cap(s->M.Top, Caps.Top);
    s->ThickR = cap(s->M.Right, Caps.Right);
    s->ThickB = cap(s->M.Bottom, Caps.Bottom);
    s->Centre = false;
    const int opacity = std::clamp(Opacity, 0, 255);
    const int maskOffset = s->H;
    const TBgPixels empty = EmptyBgPixels();
    DrawPieces(*s, [&](TPiece kind, bool stretched, const TRect &dst, const TRect &piece) {
        if (stretched)
            StretchMaskPieceBlended(Dst, dst, src, piece, maskOffset, opacity, false);
        else
            CopyMaskPieceAlpha(Dst, dst, src, piece, kind == TPiece::Corner ? Bg : empty, Mask, opacity);
    });
}

} // namespace skin
