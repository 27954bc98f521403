#include "vlItemGlyphs.h"

#include <algorithm>
#include <utility>

#include "sCommonData.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlColorEffects.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlSkinPieces.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ImgList.h"

namespace skin {

namespace {

constexpr std::uint32_t FuchsiaPixel = 0x00FF00FF;

// The state as a frame of the class library's strips (normal, disabled,
// clicked, down): a disabled normal item takes the disabled frame, a hot one
// the normal frame, a pressed one the normal frame unless the strip has a
// clicked frame.
std::int32_t StdOrderState(const TvlGlyphPaintData &D) {
    if (D.State == 0) return D.Enabled ? 0 : 1;
    if (D.State == 1) return 0;
    return D.NumGlyphs < 3 ? 0 : D.State;
}

void PaintImageListGlyph(const TvlGlyphPaintData &D) {
    const int x = D.ImgRect.Left, y = D.ImgRect.Top;
    if (!D.Bitmap) {
        if (D.Canvas) D.Images->Draw(*D.Canvas, x, y, D.ImageIndex, D.Enabled);
        return;
    }
    std::uint32_t key = 0;
    const auto frame = CopyImageListFrame(*D.Images, D.ImageIndex, key);
    const vcl::TRect whole{0, 0, frame->Width(), frame->Height()};
    const bool normal = D.State == 0;
    // A gray look comes with the item disabled, or with it in its normal state.
    if (D.Grayed && (!D.Enabled || normal)) GrayscaleBitmapKeyed32(*frame, key);
    // Ratio: the share of the target that shows through.
    if (!D.Enabled && (D.Options & goBlendDisabled))
        BlendRect32ByRatio(*D.Bitmap, x, y, *frame, whole, 0.5, FuchsiaPixel);
    else if (D.Enabled && normal && D.BlendValue > 0)
        BlendRect32ByRatio(*D.Bitmap, x, y, *frame, whole, std::min(D.BlendValue, 100) / 100.0, FuchsiaPixel);
    else
        CopyKeyedRect32(*D.Bitmap, *frame, x, y, static_cast<vcl::TColor>(SwapRedBlue(key)));
}

bool AllAlphaZero(vcl::TBitmap &Bitmap) {
    const vcl::TBitmapView view = Bitmap.View();
    for (int y = 0; y < view.Height; ++y) {
        const std::uint32_t *row = view.Row32(y);
        for (int x = 0; x < view.Width; ++x)
            if (row[x] >> 24) return false;
    }
    return true;
}

// Holds a graphic's change event back while it lives.
class TChangeHold {
public:
    explicit TChangeHold(vcl::TBitmap &Bitmap) : FBitmap(Bitmap), FSaved(std::exchange(Bitmap.OnChange, {})) {}
    ~TChangeHold() { FBitmap.OnChange = FSaved; }
    TChangeHold(const TChangeHold &) = delete;
    TChangeHold &operator=(const TChangeHold &) = delete;

private:
    vcl::TBitmap &FBitmap;
    vcl::TNotifyEvent FSaved;
};

// One frame of a 32-bit strip, drawn by its alpha.
void PaintAlphaFrame(const TvlGlyphPaintData &D, vcl::TColor Tint) {
    vcl::TBitmap &glyph = *D.Glyph;
    const int n = std::max(D.NumGlyphs, 1);
    const int frame = std::clamp(D.State, 0, n - 1);
    const int w = D.ImgRect.Width(), h = glyph.Height();
    if (w <= 0) return;
    const vcl::TRect target{D.ImgRect.Left, D.ImgRect.Top, D.ImgRect.Left + w, D.ImgRect.Top + h};
    if (D.Bitmap) {
        BlendBitmap32(target, {frame * w, 0, frame * w + w, h}, *D.Bitmap, glyph, EmptyBgInfo, false, Tint);
        return;
    }
    if (!D.Canvas) return;
    auto cut = NewBitmap32(w, h);
    CopyPixels(cut->View(), 0, 0, glyph.View(), frame * w, 0, w, h);
    int percent = D.BlendValue;
    if (!D.Enabled && (D.Options & goBlendDisabled)) percent = std::max(percent, 50);
    percent = std::min(percent, 100);
    if (D.State == 0 && percent > 0) {
        // The percent of the glyph's alpha that stays.
        const vcl::TBitmapView view = cut->View();
        for (int y = 0; y < view.Height; ++y) {
            std::uint32_t *row = view.Row32(y);
            for (int x = 0; x < view.Width; ++x)
                row[x] = (row[x] & 0x00FFFFFF) | ((row[x] >> 24) * static_cast<std::uint32_t>(percent) / 100) << 24;
        }
    }
    if ((!D.Enabled && (D.Options & goGrayDisabled)) || (D.Grayed && D.State == 0)) GrayscaleBitmap32(cut->View());
    DrawBitmapAlpha(*D.Canvas, *cut, target, false);
}

void PaintStripGlyph(const TvlGlyphPaintData &D, vcl::TColor Tint, const TsSkinManager *Default) {
    vcl::TBitmap &glyph = *D.Glyph;
    // A 32-bit strip without any alpha was made opaque: it draws as one.
    const bool check = !D.Enabled || !Default || Default->Options()->GetFlag(ofCheckEmptyAlpha);
    if (check && glyph.PixelFormat() == vcl::pf32bit && AllAlphaZero(glyph)) {
        TChangeHold hold(glyph);
        glyph.SetPixelFormat(vcl::pf24bit);
    }
    if (glyph.PixelFormat() == vcl::pf32bit) {
        PaintAlphaFrame(D, Tint);
        return;
    }
    int blend = D.BlendValue;
    if (!D.Enabled && (D.Options & goBlendDisabled)) blend = std::max(blend, 50);
    const int down = D.Down ? 1 : 0;
    if (D.Bitmap) {
        DrawGlyphState(glyph, *D.Bitmap, D.ImgRect, D.NumGlyphs, D.Enabled, D.State, blend, down, D.Reflected);
        return;
    }
    if (!D.Canvas) return;
    const int w = D.ImgRect.Width(), h = D.ImgRect.Height();
    if (w <= 0 || h <= 0) return;
    // Over a copy of what the canvas holds there.
    auto temp = NewBitmap32(w, h);
    HDC dc = D.Canvas->Handle();
    BitBlt(temp->Canvas()->Handle(), 0, 0, w, h, dc, D.ImgRect.Left, D.ImgRect.Top, SRCCOPY);
    DrawGlyphState(glyph, *temp, {0, 0, w, h}, D.NumGlyphs, D.Enabled, D.State, blend, down, D.Reflected);
    BitBlt(dc, D.ImgRect.Left, D.ImgRect.Top, w, h, temp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace

void PaintItemGlyph(const TvlGlyphPaintData &Data) {
    TvlGlyphPaintData d = Data;
    const vcl::TColor tint = d.Grayed ? d.DisabledColor : vcl::clNone;
    const TsSkinManager *def = DefaultManager();
    if (def && def->Options()->GetFlag(ofStdGlyphsOrder)) d.State = StdOrderState(d);
    if (d.Images && d.ImageIndex >= 0 && d.ImageIndex < ImageListCount(d.Images))
        PaintImageListGlyph(d);
    else if (d.Glyph && !d.Glyph->Empty())
        PaintStripGlyph(d, tint, def);
}

std::unique_ptr<vcl::TBitmap> CopyImageListFrame(vcl::TCustomImageList &Images, int Index, std::uint32_t &Background) {
    const COLORREF bk = Images.HandleAllocated() ? ImageList_GetBkColor(Images.Handle()) : CLR_NONE;
    Background = bk == CLR_NONE ? FuchsiaPixel : ColorToBGRA(static_cast<vcl::TColor>(bk & 0xFFFFFF));
    auto frame = NewBitmap32(Images.Width(), Images.Height());
    const vcl::TBitmapView view = frame->View();
    for (int y = 0; y < view.Height; ++y) std::fill_n(view.Row32(y), view.Width, Background);
    Images.Draw(*frame->Canvas(), 0, 0, Index);
    return frame;
}

int ImageListCount(const vcl::TCustomImageList *Images) { return Images ? Images->Count() : 0; }

vcl::TRect ToolButtonGlyphRect(const TvlToolBarView &Bar, const TvlToolButtonInfo &Button) {
    const vcl::TCustomImageList *list = Bar.Images();
    const int w = list ? list->Width() : 0, h = list ? list->Height() : 0;
    int left = 5, top = (Button.Height - h) / 2;
    if (!Bar.ListStyle()) {
        left = (Button.Width - w) / 2 + 1 - (Button.DropDown ? 8 : 0);
        const int caption = Bar.ShowCaptions() ? Bar.Canvas().TextHeight("A") + 3 : 0;
        top = (Button.Height - h - caption) / 2;
    }
    return {left, top, left + w, top + h};
}

void PaintToolButtonGlyph(const TvlToolBarView &Bar, const TvlToolButtonInfo &Button, std::uint32_t DrawState,
                          vcl::TBitmap *Bitmap) {
    const std::int32_t state = DrawState & cdsSelected ? 2 : DrawState & cdsHot ? 1 : DrawState & cdsChecked ? 2 : 0;
    auto *data = reinterpret_cast<TsCommonData *>(SendSkinCommand(Bar.ToolBarWindow(), SC_GET_SKIN_DATA, 0));
    TsSkinManager *m = data ? data->GetSkinManager() : DefaultManager();

    TvlGlyphPaintData g;
    g.State = state;
    g.Grayed = state == 0 && m && m->Effects()->DiscoloredGlyphs();
    g.SkinIndex = data ? data->SkinIndex() : -1;
    // A see-through bar's buttons lie on the section under the bar.
    if (state == 0 && data && Bar.HasParentControl() && m && m->IsValidSectionIndex(g.SkinIndex) &&
        m->Sections[static_cast<std::size_t>(g.SkinIndex)].Props[0].Transparency == 100)
        g.SkinIndex = data->QuerySectionIndexAt(g.SkinIndex);
    if ((DrawState & cdsDisabled) && Bar.DisabledImages())
        g.Images = Bar.DisabledImages();
    else if (state == 1 && Bar.HotImages())
        g.Images = Bar.HotImages();
    else
        g.Images = Bar.Images();
    g.ImageIndex = Button.ImageIndex;
    g.ImgRect = ToolButtonGlyphRect(Bar, Button);
    if (state == 2 && !(m && !m->ButtonsOptions()->ShiftContentOnClick))
        g.ImgRect = vcl::Bounds(g.ImgRect.Left + 1, g.ImgRect.Top + 1, g.ImgRect.Width(), g.ImgRect.Height());
    g.NumGlyphs = 1;
    g.Enabled = Bar.ToolBarEnabled();
    g.Down = state == 2;
    g.SkinManager = m;
    g.Bitmap = Bitmap;
    g.Canvas = Bitmap ? nullptr : &Bar.Canvas();
    PaintItemGlyph(g);
}

} // namespace skin
