#include "vlCheckBoxWnd.h"

#include <algorithm>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlStateAnimation.h"
#include "skin/manager/vlThdTimer.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlBitBtnWnd.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

constexpr int CheckBoxKind = 32;

LONG_PTR StyleOf(HWND Window) { return GetWindowLongPtrW(Window, GWL_STYLE); }

} // namespace

bool IsRadioStyle(LONG_PTR Style) {
    const LONG_PTR s = Style & 0xF;
    return ((s & 4) == 4 || (s & 9) == 9) && (s & 3) != 3 && (s & 2) != 2 && (s & 5) != 5;
}

bool TvlCheckBoxWnd::IsRadio() const { return IsRadioStyle(StyleOf(Handle)); }

void TvlCheckBoxWnd::SetDefaultSection() {
    OwnerDrawn = (StyleOf(Handle) & 11) == 11;
    if (SkinData) {
        SkinData->ControlKind = CheckBoxKind;
        if (SkinData->SkinSection().empty()) SkinData->SetSkinSection("CHECKBOX");
    }
    TvlMainWnd::SetDefaultSection();
}

// ------------------------------------------------------------ the glyph

int TvlCheckBoxWnd::CheckState() {
    const LRESULT state = SendMessageW(Handle, BM_GETSTATE, 0, 0);
    if (state & BST_INDETERMINATE) return 2;
    return (state & BST_CHECKED) ? 1 : 0;
}

int TvlCheckBoxWnd::GlyphState() {
    const LRESULT state = SendMessageW(Handle, BM_GETSTATE, 0, 0);
    if (state & BST_PUSHED) return 2;
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (m && m->Options()->GetFlag(ofNoMouseHover)) return 0;
    const TsSkinManager *tracker = DefaultManager();
    return (state & BST_FOCUS) || (tracker && tracker->ActiveWindow == Handle) ? 1 : 0;
}

int TvlCheckBoxWnd::CheckGlyphIndex() {
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return -1;
    const int check = CheckState();
    if (IsRadio()) return m->CommonElements.RadioGlyphs[check == 1 ? 1 : 0];
    return m->CommonElements.CheckGlyphs[static_cast<std::size_t>(check)];
}

vcl::TRect TvlCheckBoxWnd::GlyphRect() {
    const int index = CheckGlyphIndex();
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (index < 0 || !m || !m->IsValidMaskIndex(index)) return {};
    const vcl::TSize g = GetMaskFrameSize(m->Masks[static_cast<std::size_t>(index)]);
    const int y = (WndSize.cy - g.cy) / 2;
    if (StyleOf(Handle) & BS_LEFTTEXT) return {WndSize.cx - g.cx, y, WndSize.cx, y + g.cy};
    return {0, y, g.cx, y + g.cy};
}

vcl::TSize TvlCheckBoxWnd::GlyphBox() {
    const TsSkinManager *m = SkinData->GetSkinManager();
    const int checked = !m ? -1 : IsRadio() ? m->CommonElements.RadioGlyphs[1] : m->CommonElements.CheckGlyphs[1];
    if (m && m->IsValidMaskIndex(checked)) return GetMaskFrameSize(m->Masks[static_cast<std::size_t>(checked)]);
    return {16, 16};
}

// ---------------------------------------------------------- the picture

bool TvlCheckBoxWnd::BuildCache() {
    SkinData->PrepareCache();
    if (OwnerDrawn) return true;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return false;
    const bool active = SkinData->IsControlActive();
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) FillWithBackground(cache, bg, PosInParent);
    PaintControlSkin(*SkinData, bg, active ? 1 : 0, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, false);
    vcl::TRect text;
    DrawCaption(text);
    const int index = CheckGlyphIndex();
    if (m && m->IsValidMaskIndex(index)) {
        TvlBgInfo own;
        InitBgInfo(&cache, 0, 0, own);
        const vcl::TRect g = GlyphRect();
        DrawSkinGlyph(cache, {g.Left, g.Top}, GlyphState(), gmNormal, m->Masks[static_cast<std::size_t>(index)], own);
    } else {
        DrawSystemGlyph(cache);
    }
    if (!IsWindowEnabled(Handle)) PaintDisabledBlend(cache, bg, PosInParent);
    SkinData->BGChanged = false;
    return true;
}

// A skin without check or radio images still shows the state: the
// system's own glyph stands in the glyph box.
void TvlCheckBoxWnd::DrawSystemGlyph(vcl::TBitmap &Cache) {
    constexpr int Side = 13;
    const vcl::TSize box = GlyphBox();
    const int left = (StyleOf(Handle) & BS_LEFTTEXT) ? WndSize.cx - box.cx : 0;
    RECT r{left + (box.cx - Side) / 2, (WndSize.cy - Side) / 2, 0, 0};
    r.right = r.left + Side;
    r.bottom = r.top + Side;
    const int check = CheckState();
    UINT state = IsRadio() ? DFCS_BUTTONRADIO : check == 2 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
    if (check != 0) state |= DFCS_CHECKED;
    if (GlyphState() == 2) state |= DFCS_PUSHED;
    if (!IsWindowEnabled(Handle)) state |= DFCS_INACTIVE;
    DrawFrameControl(Cache.Canvas()->Handle(), &r, DFC_BUTTON, state);
}

void TvlCheckBoxWnd::DrawCaption(vcl::TRect &Rect) {
    Rect = {};
    if (WindowText.empty()) return;
    SelectAdapterFont(*this);
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    const LONG_PTR style = StyleOf(Handle);
    const bool multi = (style & BS_MULTILINE) != 0;
    const vcl::TSize box = GlyphBox();
    const int aw = WndSize.cx - (box.cx + 2);
    vcl::TRect r{0, 0, aw, 0};
    DrawTextStr(canvas.Handle(), WindowText, r, DT_CALCRECT | (multi ? DT_WORDBREAK : DT_SINGLELINE));
    const int tw = r.Width(), th = r.Height();
    const int top = (WndSize.cy - th) / 2 >= 1 ? (WndSize.cy - th) / 2 : 0;
    const int bottom = WndSize.cy - top;
    UINT flags = 0;
    if ((style & BS_LEFTTEXT) && (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING)) {
        const int right = WndSize.cx - box.cx - 6;
        Rect = {right - tw, top, right, bottom};
        flags = DT_RTLREADING | (multi ? 0 : DT_RIGHT);
    } else if (style & BS_LEFTTEXT) {
        Rect = {2, top, tw + 2, bottom};
    } else {
        const int left = WndSize.cx - aw + 2;
        Rect = {left, top - 1, left + tw, bottom - 1};
        if (multi) Rect = {Rect.Left - 1, Rect.Top, Rect.Right - 1, Rect.Bottom};
    }
    flags |= multi ? DT_WORDBREAK : DT_SINGLELINE;
    const bool active = SkinData->IsControlActive();
    WriteTextForControl(canvas, WindowText, IsWindowEnabled(Handle) != FALSE, Rect, flags, *SkinData, active ? 1 : 0);
    canvas.Pen()->SetStyle(vcl::psClear);
    canvas.Brush()->SetStyle(vcl::bsSolid);
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!(SendMessageW(Handle, BM_GETSTATE, 0, 0) & BST_FOCUS) || !m || !m->IsValidSectionIndex(SkinData->SkinIndex()))
        return;
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    DrawCheckeredFrame(canvas, {Rect.Left - 2, Rect.Top, Rect.Right + 2, Rect.Bottom},
                       section.Props[static_cast<std::size_t>(std::min(section.States, 1))].FontColor, vcl::clNone);
}

void TvlCheckBoxWnd::PaintWindow(HDC DC) {
    vcl::TPaintDC paint(Handle, DC);
    if (SkinData->IsAnimating()) {
        if (const TvlThreadedTimer *timer = AnimTimerOf(*SkinData); timer && timer->WorkImage) {
            const vcl::TWindowDC own(DC ? nullptr : Handle);
            vcl::TBitmap &image = *timer->WorkImage;
            BitBlt(DC ? DC : own.Get(), 0, 0, image.Width(), image.Height(), image.Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        return;
    }
    if (SkinData->UpdatePaintLock(false) || OwnerDrawn || (!DC && !IsWindowVisible(Handle))) return;
    RefreshGeometry(*this);
    if (!BuildCache()) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    HDC target = DC ? DC : own.Get();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    if (target) BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TvlCheckBoxWnd::EraseOwnerDrawn(HDC DC) {
    if (!DC) return;
    RefreshGeometry(*this);
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return;
    if (bg.UseBmp && bg.Bmp) {
        BitBlt(DC, 0, 0, WndSize.cx, WndSize.cy, bg.Bmp->Canvas()->Handle(), PosInParent.X + bg.X,
               PosInParent.Y + bg.Y, SRCCOPY);
    } else {
        const vcl::TBrushHandle brush(CreateSolidBrush(vcl::ColorToRGB(bg.Color)));
        const RECT r{0, 0, WndSize.cx, WndSize.cy};
        FillRect(DC, &r, brush.Get());
    }
}

// ------------------------------------------------------------- messages

bool TvlCheckBoxWnd::BaseRoute(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || !IsWindow(Handle) || !Serving()) return true;
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: SendMessageW(Handle, WM_PAINT, 0, 0); break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (Message.WParam == VK_SPACE) SendMessageW(Handle, WM_PAINT, 0, 0);
        break;
    case WM_NCHITTEST:
        if (TsSkinManager *m = DefaultManager(); m && IsWindowEnabled(Handle) && m->ActiveWindow != Handle)
            m->SetActiveControl(Handle);
        break;
    default: break;
    }
    return true;
}

void TvlCheckBoxWnd::Repaint(vcl::TMessage &Message) {
    if (!IsWindowVisible(Handle)) {
        BaseRoute(Message);
        return;
    }
    const vcl::TGuarded alive(this);
    SetWindowRedraw(Handle, false);
    SkinData->StopAnimation();
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || !IsWindow(Handle)) return;
    SetWindowRedraw(Handle, true);
    SendMessageW(Handle, WM_PAINT, 0, 0);
}

bool TvlCheckBoxWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_ENABLE:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case vcl::CM_TEXTCHANGED: Repaint(Message); return true;
    case WM_PAINT:
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND:
        if (OwnerDrawn) EraseOwnerDrawn(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return true;
    case WM_NCPAINT: Message.Result = 0; return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: SkinData->StopAnimation(); break;
    case SM_SKINCOMMAND:
        switch (SubCommandOf(Message.WParam)) {
        case SC_BUILD_CACHE: BuildCache(); return true;
        case SC_MOUSE_ENTERED:
            if (EnterHotState(*this)) return true;
            break;
        case SC_MOUSE_LEFT:
            // Without a glow of its own: the glow shown on entering fades with
            // the state, and one made here would flash up where the glows were
            // cleared meanwhile (a form's activation or move clears them).
            if (LeaveHotState(*this)) return true;
            break;
        default: break;
        }
        break;
    default: break;
    }
    return BaseRoute(Message);
}

} // namespace skin
