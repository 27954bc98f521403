#include "vlSpinWnd.h"

#include <commctrl.h>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlSBPaint.h"
#include "vlTrackGeometry.h"

namespace skin {

namespace {

// Indexes of the manager's scroll-button elements.
constexpr int ebLeft = 0, ebTop = 1, ebRight = 2, ebBottom = 3;

bool Designing(const vcl::TComponent *C) { return C && C->ComponentState().Contains(vcl::csDesigning); }

bool CursorInWindow(HWND Window, POINT &P) {
    RECT r{};
    GetWindowRect(Window, &r);
    GetCursorPos(&P);
    return PtInRect(&r, P) != FALSE;
}

} // namespace

void TvlSpinWnd::SetDefaultSection() {
    Offset = 0;
    FirstState = SecondState = 0;
    MouseDown = false;
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("SPEEDBUTTON_SMALL");
    TvlMainWnd::SetDefaultSection();
}

bool TvlSpinWnd::Horizontal() const { return (GetWindowLongPtrW(Handle, GWL_STYLE) & UDS_HORZ) != 0; }

std::array<vcl::TRect, 2> TvlSpinWnd::ButtonRects() const {
    RECT r{};
    GetWindowRect(Handle, &r);
    return SpinButtonRects(r.right - r.left, r.bottom - r.top, Offset, Horizontal());
}

void TvlSpinWnd::UpdateStates() {
    RECT r{};
    GetWindowRect(Handle, &r);
    POINT p{};
    if (!CursorInWindow(Handle, p)) {
        FirstState = SecondState = 0;
        return;
    }
    // The first half: the window less the second half's share.
    const bool first = Horizontal() ? p.x < r.right - (r.right - r.left) / 2 : p.y < r.bottom - (r.bottom - r.top) / 2;
    const int hot = MouseDown ? 2 : 1;
    FirstState = first ? hot : 0;
    SecondState = first ? 0 : hot;
}

void TvlSpinWnd::PaintButton(const vcl::TRect &R, int State, int Direction, const TvlBgInfo &Bg) {
    TsSkinManager *m = SkinData->GetSkinManager();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    const TvlElementEntry &element = m->CommonElements.ScrollButtons[static_cast<std::size_t>(Direction)];
    if (m->IsValidSectionIndex(element.SectionIndex)) {
        TvlBgInfo bg = Bg;
        PaintSectionWithMask(element.SectionIndex, element.BorderMask, element.Texture, bg, State, R,
                             {PosInParent.X + R.Left, PosInParent.Y + R.Top}, cache, m);
    }
    const bool shift = State == 2 && m->ButtonsOptions()->ShiftContentOnClick;
    if (m->IsValidMaskIndex(element.GlyphMask)) {
        const TsMaskData &glyph = m->Masks[static_cast<std::size_t>(element.GlyphMask)];
        const vcl::TSize g = GetMaskFrameSize(glyph);
        TvlBgInfo own;
        InitBgInfo(&cache, 0, 0, own);
        const int d = shift ? 1 : 0;
        DrawSkinGlyph(cache, {R.Left + (R.Width() - g.cx) / 2 + d, R.Top + (R.Height() - g.cy) / 2 + d}, State,
                      gmNormal, glyph, own);
        return;
    }
    // No arrow in the skin: a small one in the font colour of the section
    // that lies under the button.
    const int section = SkinData->QuerySectionIndexAt(-1);
    vcl::TColor colour = 0;
    if (m->IsValidSectionIndex(section)) {
        const TsGeneralData &s = m->Sections[static_cast<std::size_t>(section)];
        colour = s.Props[static_cast<std::size_t>(State > 0 && s.States > 1 ? 1 : 0)].FontColor;
    }
    static constexpr int arrows[4] = {adLeft, adUp, adRight, adDown};
    const vcl::TRect at = shift ? vcl::TRect{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1} : R;
    DrawScrollArrowGlyph(*cache.Canvas(), colour, at, arrows[Direction]);
}

bool TvlSpinWnd::BuildCache() {
    RefreshGeometry(*this);
    TvlBgQuery query;
    // The parent's answer may run the application's drawing (an owner-drawn
    // tab control's tabs), which may free the parent and this adapter with it.
    if (!QueryParentBackgroundWnd(query, ParentHandle, false, TvlAsker(this))) return false;
    TvlBgInfo bg;
    BgQueryToBgInfo(query, bg);
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    // What lies behind first: the buttons' sections may let it show.
    FillWithBackground(cache, bg, PosInParent);
    if (!SkinData->GetSkinManager()) return true;
    const auto rects = ButtonRects();
    const bool horz = Horizontal();
    PaintButton(rects[0], FirstState, horz ? ebLeft : ebTop, bg);
    PaintButton(rects[1], SecondState, horz ? ebRight : ebBottom, bg);
    SkinData->BGChanged = false;
    return true;
}

void TvlSpinWnd::PaintWindow(HDC DC) {
    vcl::TPaintDC paint(Handle, DC);
    if (SkinData->UpdatePaintLock(false)) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    HDC target = DC ? DC : own.Get();
    if (!target) return;
    UpdateStates();
    SkinData->BGChanged = true;
    if (!BuildCache()) return;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    const int from = Horizontal() ? Offset : 0;
    BitBlt(target, from, 0, cache.Width() - from, cache.Height(), cache.Canvas()->Handle(), from, 0, SRCCOPY);
}

void TvlSpinWnd::Redraw() { RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME); }

void TvlSpinWnd::MouseMove(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive) return;
    TsSkinManager *m = DefaultManager();
    if (!m || Designing(m) || !IsWindowEnabled(Handle)) return;
    POINT p{};
    if (CursorInWindow(Handle, p)) {
        if (m->ActiveWindow != Handle)
            m->SetActiveControl(Handle);
        else
            Redraw();  // the half under the cursor may have changed
    } else if (m->ActiveWindow == Handle) {
        m->SetActiveControl(nullptr);
    }
}

bool TvlSpinWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_PAINT:
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 1; return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        MouseDown = Message.Msg == WM_LBUTTONDOWN;
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (alive && IsWindow(Handle)) Redraw();
        return true;
    case WM_LBUTTONDBLCLK:
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!alive || !IsWindow(Handle)) return true;
        MouseDown = true;
        Redraw();
        MouseDown = false;
        return true;
    case WM_MOUSELEAVE:
        InvalidateRect(Handle, nullptr, FALSE);
        break;
    case WM_MOUSEMOVE: MouseMove(Message); return true;
    case SM_SKINCOMMAND:
        if (SubCommandOf(Message.WParam) == SC_MOUSE_LEFT) Redraw();
        if (!alive) return true;
        break;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

} // namespace skin
