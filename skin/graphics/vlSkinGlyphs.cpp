#include "vlSkinGlyphs.h"

#include <algorithm>

#include "PixelMath.h"
#include "sSkinTables.h"
#include "vlAlphaBlending.h"
#include "vlImageHelpers.h"
#include "vlSkinPieces.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TRect;

namespace {

constexpr std::uint32_t Key24 = 0x00FF00FF;

bool IsKey24(std::uint32_t p) { return (p & 0x00FFFFFF) == Key24; }

// Under every key pixel of Image's SrcRect (half-open, cut to Image) the
// cache pixel at the same offset from (X, Y) takes the background: the
// image behind at the cache pixel's place, or the answer's colour. The
// corners of a masked border end a row at a background column outside its
// image; those of a keyed border skip it, and take no answer of the key
// colour (it names none).
void RestoreUnderKeys(const TBitmapView &Cache, int X, int Y, const TBitmapView &Image, const TRect &SrcRect,
                      const TBgPixels &Bg, bool Masked) {
    TPieceArea a;
    const TRect dst{X, Y, X + SrcRect.Width(), Y + SrcRect.Height()};
    if (!ClipPiecePair(dst, SrcRect, Cache, Image, a)) return;
    const bool fromImage = Bg.UseBmp;
    if (!fromImage && !Masked && Bg.Color == vcl::clFuchsia) return;
    const std::uint32_t colour = ColorToBGRA(Bg.Color) & 0x00FFFFFF;
    for (int y = 0; y < a.Rows; ++y) {
        const std::uint32_t *s = Image.Row32(a.SrcY + y) + a.SrcX;
        std::uint32_t *d = Cache.Row32(a.DstY + y) + a.DstX;
        for (int x = 0; x < a.Cols; ++x) {
            if (s[x] != KeyPixel) continue;
            if (!fromImage) {
                d[x] = colour;
                continue;
            }
            const std::uint32_t *bg = BgPixelAt(Bg, a.DstX + x, a.DstY + y);
            if (bg)
                d[x] = *bg;
            else if (Masked && static_cast<long long>(Bg.X) + a.DstX + x >= Bg.Bmp.Width)
                break;
        }
    }
}

} // namespace

void DrawSkinGlyph(const TBitmapView &Dst, vcl::TPoint P, int State, int Mode, const TsMaskData &Mask,
                   const TBgPixels &Bg) {
    const int w = GetMaskFrameWidth(Mask), h = GetMaskFrameHeight(Mask);
    const int state = std::max(std::min(State, Mask.ImageCount - 1), 0);
    const int offX = P.X < 0 ? -P.X : 0, offY = P.Y < 0 ? -P.Y : 0;
    // A negative offset cuts the glyph's left (top) part away: the piece
    // ends where the state image ends, never in the next state's columns.
    const int left = Mask.R.Left + state * w;
    const TRect src{left + offX, Mask.R.Top + offY, left + w - 1, Mask.R.Top + h - 1};
    const TRect dst{P.X + offX, P.Y + offY, P.X + w - 1, P.Y + h - 1};
    if (src.Right < src.Left || src.Bottom < src.Top) return;
    const TBitmapView image = MaskImage(Mask);
    if (Mask.Bmp) {
        if (image.Width >= Mask.R.Right && image.Height >= Mask.R.Bottom)
            CopyMaskedImage(dst, src, Dst, image, Mode, Mask);
        return;
    }
    if (!Mask.Manager || Mask.ImageCount < 1) return;
    if (Mask.MaskType >= 1)
        CopyMaskedImage(dst, src, Dst, image, Mode, Mask);
    else if (Mask.MaskType == 0 && Mode == gmNormal)
        CopyKeyedRectWithBg32(Dst, image, dst.Left, dst.Top, src, KeyPixel, Bg, true);
    else if (Mask.MaskType == 0)
        BlendRect32ByRatio(Dst, dst.Left, dst.Top, image, IncludingEdges(src), 0.5, KeyPixel);
}

void CopyMaskedImage(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBitmapView &Src,
                     int Mode, const TsMaskData &Mask) {
    if (Mask.MaskType < 0 || !Dst.HasRows() || !Src.HasRows()) return;
    const int offset = Mask.R.Height() / (Mask.MaskType + 1);
    if (Mask.MaskType == 0) {
        // Key pixels stay: nothing is known behind the glyph here.
        CopyKeyedRectAt32(Dst, Src, DstRect.Left, DstRect.Top, SrcRect, vcl::clFuchsia);
        return;
    }
    TPieceArea a;
    TRect src{SrcRect.Left, SrcRect.Top, SrcRect.Right + 1, SrcRect.Bottom + 1};
    // The image rows must have their mask rows inside the source too; a mask
    // without images ends at the mask part.
    src.Bottom = std::min<int>(src.Bottom, Src.Height - offset);
    if (Mask.ImageCount < 1) src.Bottom = std::min(src.Bottom, offset);
    if (!ClipPiecePair({DstRect.Left, DstRect.Top, DstRect.Right + 1, DstRect.Bottom + 1}, src, Dst, Src, a)) return;
    if (a.SrcY + offset < 0) return;
    for (int y = 0; y < a.Rows; ++y) {
        const std::uint32_t *s = Src.Row32(a.SrcY + y) + a.SrcX;
        const std::uint32_t *m = Src.Row32(a.SrcY + offset + y) + a.SrcX;
        std::uint32_t *d = Dst.Row32(a.DstY + y) + a.DstX;
        for (int x = 0; x < a.Cols; ++x) {
            if (s[x] == KeyPixel || Red(m[x]) == 255) continue;
            // A faded glyph lets 100 more of 255 of the destination through.
            const auto k = [&](int mc) { return Mode == gmNormal ? mc : std::min(mc + 100, 255); };
            const auto one = [](int dc, int sc, int kc) { return ((dc - sc) * kc + sc * 256) >> 8; };
            const int da = Alpha(d[x]);
            d[x] = Make(one(Blue(d[x]), Blue(s[x]), k(Blue(m[x]))), one(Green(d[x]), Green(s[x]), k(Green(m[x]))),
                        one(Red(d[x]), Red(s[x]), k(Red(m[x]))), da + (((255 - da) * (255 - Red(m[x]))) >> 8));
        }
    }
}

void CopyMaskPieceWithBg(const TRect &DstRect, const TRect &SrcRect, const TBitmapView &Dst, const TBgPixels &Bg,
                         const TsMaskData &Mask) {
    const TBitmapView src = MaskImage(Mask);
    const int half = Mask.R.Height() / 2;
    TPieceArea a;
    TRect imageRect = SrcRect;
    imageRect.Bottom = std::min<int>(imageRect.Bottom, src.Height - half);
    if (half < 0 || !ClipPiecePair(DstRect, imageRect, Dst, src, a)) return;
    const bool fromImage = Bg.UseBmp && Bg.Color == vcl::clFuchsia && Bg.Bmp.HasRows();
    const std::uint32_t colour = ColorToBGRA(Bg.Color);
    for (int y = 0; y < a.Rows; ++y) {
        const int dy = a.DstY + y;
        const std::uint32_t *s = src.Row32(a.SrcY + y) + a.SrcX;
        const std::uint32_t *m = src.Row32(a.SrcY + half + y) + a.SrcX;
        std::uint32_t *d = Dst.Row32(dy) + a.DstX;
        const long long bgRow = static_cast<long long>(Bg.Y) + dy;
        for (int x = 0; x < a.Cols; ++x) {
            if (s[x] != KeyPixel) {
                const auto one = [](int dc, int sc, int mc) { return ((dc - sc) * mc + sc * 256) >> 8; };
                d[x] = Make(one(Blue(d[x]), Blue(s[x]), Blue(m[x])), one(Green(d[x]), Green(s[x]), Green(m[x])),
                            one(Red(d[x]), Red(s[x]), Red(m[x])), Alpha(d[x]));
            } else if (fromImage) {
                if (bgRow < 0 || bgRow >= Bg.Bmp.Height) continue;
                const long long bx = static_cast<long long>(Bg.X) + a.DstX + x;
                if (bx >= Bg.Bmp.Width) break;
                if (bx >= 0) d[x] = Bg.Bmp.At(int(bx), int(bgRow));
            } else if (Bg.Color != vcl::clFuchsia) {
                d[x] = colour;
            }
        }
    }
}

void PaintMaskedTexture(const TBitmapView &Dst, TRect &R, const TBgPixels &Bg, const TsMaskData &Texture, int Mode) {
    if (Mode != tfTile && Mode != tfTileAll) return;
    if (!Texture.Bmp && !Texture.Manager) return;
    const int w = GetMaskFrameWidth(Texture), h = Texture.R.Height() / 2;
    const TRect area = R;
    R = {-1, -1, -1, -1};
    if (w < 1 || h < 1 || area.IsEmpty() || !Dst.HasRows()) return;
    const TRect piece{Texture.R.Left, Texture.R.Top, Texture.R.Left + w, Texture.R.Top + h};
    // Whole tiles wherever they fit, an exactly fitting last one included.
    for (int y = area.Top; y <= area.Bottom - h; y += h)
        for (int x = area.Left; x <= area.Right - w; x += w) CopyMaskPieceWithBg({x, y, x + w, y + h}, piece, Dst, Bg, Texture);
    const int coveredRight = area.Left + (area.Width() / w) * w;
    const int coveredBottom = area.Top + (area.Height() / h) * h;
    const TRect strips[2] = {{coveredRight, area.Top, area.Right, area.Bottom},
                             {area.Left, coveredBottom, coveredRight, area.Bottom}};
    if (Mode == tfTile) {
        // The cut tiles of the right and bottom strips: their top-left parts.
        for (const TRect &strip : strips)
            for (int ty = strip.Top; ty < strip.Bottom; ty += h)
                for (int tx = strip.Left; tx < strip.Right; tx += w)
                    CopyMaskPieceWithBg({tx, ty, std::min(tx + w, strip.Right), std::min(ty + h, strip.Bottom)}, piece,
                                        Dst, Bg, Texture);
        return;
    }
    for (const TRect &strip : strips) {
        if (strip.IsEmpty()) continue;
        if (Bg.UseBmp && Bg.Bmp.HasRows())
            CopyPixels(Dst, strip.Left, strip.Top, Bg.Bmp, Bg.X + strip.Left, Bg.Y + strip.Top, strip.Width(),
                       strip.Height());
        else if (Bg.Color != vcl::clFuchsia)  // 0xFF00FF names no colour: painting it would show magenta strips
            FillRectAlpha(Dst, strip, Bg.Color, 255);
    }
}

void FillTransparentCorner(const TBitmapView &Dst, const TBitmapView &Src, const TRect &DstRect, vcl::TPoint SrcPt,
                           int MaskIndex, const TsSkinTables *Manager, int Corner) {
    TPieceArea a;
    const TRect src{SrcPt.X, SrcPt.Y, SrcPt.X + DstRect.Width(), SrcPt.Y + DstRect.Height()};
    if (!ClipPiecePair(DstRect, src, Dst, Src, a)) return;
    if (MaskIndex == -1) {
        for (int y = 0; y < a.Rows; ++y) {
            const std::uint32_t *s = Src.Row32(a.SrcY + y) + a.SrcX;
            std::uint32_t *d = Dst.Row32(a.DstY + y) + a.DstX;
            for (int x = 0; x < a.Cols; ++x)
                if (IsKey24(d[x])) d[x] = s[x];
        }
        return;
    }
    if (!Manager || !Manager->IsValidMaskIndex(MaskIndex)) return;
    const TsMaskData &mask = Manager->Masks[MaskIndex];
    const TBitmapView image = MaskImage(mask);
    const int w = GetMaskFrameWidth(mask), h = GetMaskFrameHeight(mask);
    const bool right = Corner == ctTopRight || Corner == ctBottomRight;
    const bool bottom = Corner == ctBottomLeft || Corner == ctBottomRight;
    const int ox = mask.R.Left + (right ? w - mask.WR : 0) + (a.DstX - DstRect.Left);
    const int oy = mask.R.Top + (bottom ? h - mask.WB : 0) + (a.DstY - DstRect.Top);
    for (int y = 0; y < a.Rows; ++y) {
        if (oy + y < 0 || oy + y >= image.Height) continue;
        const std::uint32_t *c = image.Row32(oy + y);
        const std::uint32_t *s = Src.Row32(a.SrcY + y) + a.SrcX;
        std::uint32_t *d = Dst.Row32(a.DstY + y) + a.DstX;
        for (int x = 0; x < a.Cols; ++x)
            if (ox + x >= 0 && ox + x < image.Width && IsKey24(c[ox + x])) d[x] = s[x];
    }
}

void RestoreBorderCorners(const TBitmapView &Cache, const TsMaskData &BorderMask, int State, int Corners,
                          const TBgPixels &Bg) {
    if (!Cache.HasRows() || !BorderMask.Manager) return;
    // The table's record stays as it is: a picture without a state count is
    // read as three states over their mask.
    TsMaskData mask = BorderMask;
    const TBitmapView image = MaskImage(mask);
    if (mask.ImageCount == 0 && mask.Bmp) {
        mask.MaskType = 1;
        mask.ImageCount = 3;
        mask.R = {0, 0, image.Width, image.Height};
    }
    const int w = GetMaskFrameWidth(mask), h = GetMaskFrameHeight(mask);
    const int state = std::max(State >= mask.ImageCount ? mask.ImageCount - 1 : State, 0);
    const int wl = std::max<int>(mask.WL, 0), wt = std::max<int>(mask.WT, 0);
    const int wr = std::max<int>(mask.WR, 0), wb = std::max<int>(mask.WB, 0);
    const int sx = mask.R.Left + w * state, cw = w - wl - wr;
    const int top = mask.R.Top, bottom = mask.R.Top + h - wb;
    const int width = Cache.Width, height = Cache.Height;
    const bool masked = mask.MaskType != 0;
    const struct {
        int bit, sx, sy, w, h, x, y;
    } corners[] = {
        {bcTopLeft, sx, top, wl, wt, 0, 0},
        {bcBottomLeft, sx, bottom, wl, wb, 0, height - wb},
        {bcBottomRight, sx + wl + cw, bottom, wr, wb, width - wr, height - wb},
        {bcTopRight, sx + wl + cw, top, wr, wt, width - wr, 0},
    };
    for (const auto &c : corners)
        if (Corners & c.bit)
            RestoreUnderKeys(Cache, c.x, c.y, image, {c.sx, c.sy, c.sx + c.w, c.sy + c.h}, Bg, masked);
}

} // namespace skin
