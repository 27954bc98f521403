#include "vlBitBtnWnd.h"

#include <algorithm>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlItemGlyphs.h"
#include "vcl/Buttons.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

vcl::TRect Moved(const vcl::TRect &R, int D) { return {R.Left + D, R.Top + D, R.Right + D, R.Bottom + D}; }

} // namespace

vcl::TBitBtn *TvlBitBtnWnd::BitBtn() const {
    return SkinData ? dynamic_cast<vcl::TBitBtn *>(SkinData->OwnerControl()) : nullptr;
}

bool TvlBitBtnWnd::ShiftsContent() {
    const TsSkinManager *m = SkinManager;
    return !(SkinData->IsSkinned(false) && (!m || !m->ButtonsOptions()->ShiftContentOnClick));
}

int TvlBitBtnWnd::CurrentState() {
    if (const int state = PressedOrHotState(); state >= 0) return state;
    const vcl::TBitBtn *button = BitBtn();
    if (!button || !button->Default()) return 0;
    // The default look only while no other push button has the focus.
    const HWND focused = GetFocus();
    if (!focused) return 3;
    return (GetWindowLongPtrW(focused, GWL_STYLE) & 8) ? 0 : 3;
}

vcl::TSize TvlBitBtnWnd::GlyphSize() {
    if (const vcl::TBitBtn *button = BitBtn()) {
        const vcl::TBitmap *glyph = button->Glyph();
        if (!glyph || glyph->Empty()) return {0, 0};
        const int frames = std::max(1, button->NumGlyphs() & 0x7F);
        return {glyph->Width() / frames, glyph->Height()};
    }
    if (SkinData && SkinData->OwnerControl()) return {0, 0};
    const auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(Handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
    SIZE size{};
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP || !GetBitmapDimensionEx(bitmap, &size)) return {0, 0};
    return {size.cx, size.cy};
}

int TvlBitBtnWnd::MaxTextWidth() {
    const vcl::TBitBtn *button = BitBtn();
    if (!button) return TvlBtnWnd::MaxTextWidth();
    if (button->Caption().empty()) return 0;
    const vcl::TSize g = GlyphSize();
    int width = WndSize.cx - 2 * button->Margin();
    if (g.cx != 0 && (button->Layout() == vcl::blGlyphLeft || button->Layout() == vcl::blGlyphRight))
        width -= g.cx + button->Spacing();
    return width;
}

vcl::TRect TvlBitBtnWnd::GlyphRect() {
    const vcl::TSize g = GlyphSize();
    const int w = WndSize.cx, h = WndSize.cy;
    const bool pressed = IsButtonPressed(Handle);
    const vcl::TBitBtn *button = BitBtn();
    if (!button) {
        if (g.cx == 0) return {};
        const int right = CaptionRect().Left - 2;
        const int top = (h - g.cy) / 2 + (pressed ? 1 : 0);
        return {right - g.cx, top, right, top + g.cy};
    }
    const vcl::TSize t = MeasureButtonCaption(*this);
    const int s = g.cx > 0 && !button->Caption().empty() ? button->Spacing() : 0;
    const int x0 = (w - g.cx - t.cx - s) / 2, y0 = (h - g.cy - t.cy - s) / 2;
    vcl::TPoint p;
    switch (button->Layout()) {
    case vcl::blGlyphLeft: p = {x0, (h - g.cy) / 2}; break;
    case vcl::blGlyphRight: p = {(w - g.cx + s + t.cx) / 2, (h - g.cy) / 2}; break;
    case vcl::blGlyphTop: p = {(w - g.cx) / 2 + 1, y0}; break;
    default: p = {(w - g.cx) / 2 + 1, h - y0 - g.cy}; break;
    }
    vcl::TRect r{p.X, p.Y, p.X + g.cx, p.Y + g.cy};
    return pressed && ShiftsContent() ? Moved(r, 1) : r;
}

vcl::TRect TvlBitBtnWnd::CaptionRect() {
    const vcl::TBitBtn *button = BitBtn();
    if (!button) {
        vcl::TRect r = TvlBtnWnd::CaptionRect();
        const vcl::TSize g = GlyphSize();
        if (g.cx == 0) return r;
        const int d = g.cx / 2 + 1;
        return {r.Left + d, r.Top, r.Right + d, r.Bottom};
    }
    const vcl::TSize t = MeasureButtonCaption(*this);
    vcl::TPoint glyphAt;
    vcl::TRect text;
    CalcGlyphTextLayout({0, 0, WndSize.cx, WndSize.cy}, GlyphSize(), t, static_cast<int>(button->Layout()), haCenter,
                        button->Margin(), button->Spacing(), glyphAt, text, 0, vaCenter);
    return IsButtonPressed(Handle) && ShiftsContent() ? Moved(text, 1) : text;
}

void TvlBitBtnWnd::PaintGlyph() {
    vcl::TBitBtn *button = BitBtn();
    if (!button || button->Glyph()->Empty()) return;
    vcl::TBitmap *glyph = button->Glyph();
    // A device-format glyph carries no alpha: as 32 bits it would come out
    // wholly transparent, so it goes over as an opaque 24-bit picture.
    if (glyph->PixelFormat() == vcl::pfDevice) glyph->SetPixelFormat(vcl::pf24bit);
    TvlGlyphPaintData data;
    data.Glyph = glyph;
    data.SkinIndex = SkinData->SkinIndex();
    data.SkinManager = SkinData->GetSkinManager();
    data.Bitmap = SkinData->CacheBmp();
    data.ImgRect = GlyphRect();
    data.NumGlyphs = std::max(1, button->NumGlyphs() & 0x7F);
    data.Enabled = button->Enabled();
    data.Down = IsButtonPressed(Handle);
    // The manager's glyph-blend option asks the grey look, as for menus and tool buttons.
    const TsSkinManager *m = SkinData->GetSkinManager();
    data.Grayed = SkinData->IsSkinned(false) && m && m->Effects()->DiscoloredGlyphs();
    data.State = CurrentState();
    PaintItemGlyph(data);
}

} // namespace skin
