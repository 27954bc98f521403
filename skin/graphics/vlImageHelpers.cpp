#include "vlImageHelpers.h"

#include <algorithm>
#include <cstring>

#include "PixelMath.h"

namespace skin {

using namespace pixel;
using vcl::TBitmapView;
using vcl::TPoint;
using vcl::TRect;

vcl::TColor MixColors(vcl::TColor Colour1, vcl::TColor Colour2, double Ratio) {
    const auto c1 = static_cast<std::uint32_t>(Colour1);
    const auto c2 = static_cast<std::uint32_t>(Colour2);
    std::uint32_t mixed = c1 & 0xFF000000;
    for (int i = 0; i < 3; ++i) {
        const int v = ClampByte(RoundEven(Byte(c1, i) * Ratio + Byte(c2, i) * (1 - Ratio)));
        mixed |= static_cast<std::uint32_t>(v) << (8 * i);
    }
    return static_cast<vcl::TColor>(mixed);
}

void CalcGlyphTextLayout(const TRect &Client, const vcl::TSize &GlyphSize, const vcl::TSize &TextSize, int Layout,
                         int HAlign, int Margin, int Spacing, TPoint &GlyphPos, TRect &TextBounds,
                         unsigned BiDiFlags, int VAlign) {
    if (BiDiFlags & bdRightToLeft) {
        if (Layout == glGlyphLeft)
            Layout = glGlyphRight;
        else if (Layout == glGlyphRight)
            Layout = glGlyphLeft;
    }
    const int W = Client.Width();
    const int H = Client.Height();
    const int gw = GlyphSize.cx, gh = GlyphSize.cy, tw = TextSize.cx, th = TextSize.cy;
    const bool sideBySide = Layout == glGlyphLeft || Layout == glGlyphRight;

    // Across the main axis both are centred; halving truncates toward zero.
    TPoint glyph, text;
    if (sideBySide) {
        glyph.Y = (H - gh + 1) / 2;
        text.Y = (H - th + 1) / 2;
    } else {
        glyph.X = (W - gw + 1) / 2;
        text.X = (W - tw + 1) / 2;
    }

    if (gw == 0 || tw == 0) Spacing = 0;
    const int length = sideBySide ? W : H;
    const int glyphLength = sideBySide ? gw : gh;
    const int textLength = sideBySide ? tw : th;
    if (Margin == -1 && Spacing == -1) {
        Margin = Spacing = (length - (glyphLength + textLength)) / 3;
    } else if (Margin == -1) {
        if (VAlign == vaCenter && HAlign == haCenter)
            Margin = (length - (glyphLength + Spacing + textLength) + 1) / 2;
        else
            Margin = 2;
    } else if (Spacing == -1) {
        Spacing = (length - (Margin + glyphLength) - textLength) / 2;
    }

    // Along the main axis. Some placements stretch the caption's rect to an
    // edge instead of its own width.
    int textLeft = -1, textRight = -1;
    const int total = glyphLength + Spacing + textLength;
    switch (Layout) {
    case glGlyphLeft:
        if (HAlign == haLeft) {
            glyph.X = Margin;
            text.X = Margin + gw + Spacing;
            textRight = W - Margin;
        } else if (HAlign == haRight) {
            text.X = W - Margin - tw;
            glyph.X = text.X - Spacing - gw;
        } else {
            glyph.X = std::max((W - total) / 2, Margin);
            text.X = glyph.X + gw + Spacing;
        }
        break;
    case glGlyphRight:
        if (HAlign == haLeft) {
            text.X = Margin;
            glyph.X = Margin + tw + Spacing;
        } else if (HAlign == haRight) {
            glyph.X = W - Margin - gw;
            textLeft = 0;
            textRight = glyph.X - Spacing;
        } else {
            text.X = (W - total) / 2;
            glyph.X = text.X + tw + Spacing;
        }
        break;
    case glGlyphTop: {
        const int d = (H - gh - Spacing - th) / 2 - Margin;
        glyph.Y = Margin + d;
        text.Y = glyph.Y + gh + Spacing;
        break;
    }
    default: {
        const int d = (H - gh - Spacing - th) / 2 - Margin;
        glyph.Y = H - Margin - gh - d;
        text.Y = glyph.Y - Spacing - th;
        break;
    }
    }

    GlyphPos = {Client.Left + glyph.X, Client.Top + glyph.Y};
    TextBounds = {Client.Left + (textLeft >= 0 ? textLeft : text.X), Client.Top + text.Y,
                  Client.Left + (textRight >= 0 ? textRight : text.X + tw), Client.Top + text.Y + th};

    int shift = 0;
    if (VAlign == vaTop)
        shift = Client.Top + std::max(Margin, 0) - std::min(GlyphPos.Y, TextBounds.Top);
    else if (VAlign == vaBottom)
        shift = Client.Bottom - std::max(Margin, 0) - std::max(GlyphPos.Y + gh, TextBounds.Bottom);
    GlyphPos.Y += shift;
    TextBounds.Top += shift;
    TextBounds.Bottom += shift;
}

namespace {

// Whole tiles on a grid that starts at the region's top-left corner; only
// those that reach into the visible part of the region are listed, so that a
// huge rect costs no more than the image it is painted into.
void AddTiles(std::vector<TRect> &blocks, long long left, long long top, long long right, long long bottom, int w,
              int h, const TRect &visible) {
    const long long l = std::max<long long>(left, visible.Left), t = std::max<long long>(top, visible.Top);
    const long long r = std::min<long long>(right, visible.Right), b = std::min<long long>(bottom, visible.Bottom);
    if (l >= r || t >= b) return;
    const long long x0 = left + (l - left) / w * w;
    const long long y0 = top + (t - top) / h * h;
    for (long long x = x0; x < r; x += w)
        for (long long y = y0; y < b; y += h) blocks.push_back(vcl::Bounds(int(x), int(y), w, h));
}

void CopyBlock(const TBitmapView &dst, const TRect &block, const TRect &clip, const TBitmapView &tex,
               const TRect &texRect) {
    const TRect area{std::max(block.Left, clip.Left), std::max(block.Top, clip.Top), std::min(block.Right, clip.Right),
                     std::min(block.Bottom, clip.Bottom)};
    if (area.IsEmpty()) return;
    const int tw = texRect.Width(), th = texRect.Height();
    const int bw = block.Width(), bh = block.Height();
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int ty = texRect.Top + static_cast<int>(static_cast<long long>(y - block.Top) * th / bh);
        const std::uint32_t *src = tex.Row32(ty) + texRect.Left;
        std::uint32_t *out = dst.Row32(y);
        if (bw == tw) {
            std::memcpy(out + area.Left, src + (area.Left - block.Left), static_cast<std::size_t>(area.Width()) * 4);
            continue;
        }
        for (int x = area.Left; x < area.Right; ++x)
            out[x] = src[static_cast<long long>(x - block.Left) * tw / bw];
    }
}

} // namespace

std::vector<TRect> CalcTextureBlocks(TRect &R, int W, int H, int Mode, const TRect &Visible) {
    std::vector<TRect> blocks;
    if (R.IsEmpty() || W < 1 || H < 1) return blocks;
    const TRect r = R;
    const long long left = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
    const TRect none{-1, -1, -1, -1};
    // Every tiled mode tiles a region of R from the region's top-left
    // corner, cut tiles included, so that no strip of R stays unpainted.
    switch (Mode) {
    case tfTile:
    case tfTileAll:
        AddTiles(blocks, left, top, right, bottom, W, H, Visible);
        R = none;
        break;
    case tfStretch:
        blocks.push_back(r);
        R = none;
        break;
    case tfTileTop:
        AddTiles(blocks, left, top, right, top + H, W, H, Visible);
        R.Top = r.Top + H;
        break;
    case tfTileLeft:
        AddTiles(blocks, left, top, left + W, bottom, W, H, Visible);
        R.Left = r.Left + W;
        break;
    case tfStretchTop:
        blocks.push_back({r.Left, r.Top, r.Right, r.Top + H});
        R.Top = r.Top + H;
        break;
    case tfStretchLeft:
        blocks.push_back({r.Left, r.Top, r.Left + W, r.Bottom});
        R.Left = r.Left + W;
        break;
    case tfTileBottom:
        AddTiles(blocks, left, bottom - H, right, bottom, W, H, Visible);
        R.Bottom = r.Bottom - H;
        break;
    case tfTileRight:
    case 8:
    case 9:
        AddTiles(blocks, right - W, top, right, bottom, W, H, Visible);
        R.Right = r.Right - W;
        break;
    case tfStretchRows: {
        // Bands of the texture's height, each stretched across the rect.
        std::vector<TRect> rows;
        AddTiles(rows, left, top, left + 1, bottom, 1, H, {r.Left, Visible.Top, r.Left + 1, Visible.Bottom});
        for (const TRect &row : rows) blocks.push_back({r.Left, row.Top, r.Right, row.Bottom});
        R = none;
        break;
    }
    case tfStretchColumns: {
        std::vector<TRect> columns;
        AddTiles(columns, left, top, right, top + 1, W, 1, {Visible.Left, r.Top, Visible.Right, r.Top + 1});
        for (const TRect &column : columns) blocks.push_back({column.Left, r.Top, column.Right, r.Bottom});
        R = none;
        break;
    }
    default:
        break;
    }
    return blocks;
}

void PaintTexture32(const TBitmapView &Dst, TRect &R, const TBitmapView &Tex, const TRect &TexRect, int Mode) {
    if (!Dst.HasRows() || !Tex.HasRows()) return;
    const TRect tex = ClipToBitmap(TexRect, Tex);
    if (tex.IsEmpty()) return;
    const TRect clip = ClipToBitmap(R, Dst);
    for (const TRect &block : CalcTextureBlocks(R, tex.Width(), tex.Height(), Mode, clip))
        CopyBlock(Dst, block, clip, Tex, tex);
}

} // namespace skin
