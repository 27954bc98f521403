#include "vlBtnWnd.h"

#include <algorithm>

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlStateAnimation.h"
#include "skin/manager/vlThdTimer.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

bool Designing(const vcl::TComponent *C) { return C && C->ComponentState().Contains(vcl::csDesigning); }
bool Destroying(const vcl::TComponent *C) { return C && C->ComponentState().Contains(vcl::csDestroying); }

// What the caption is drawn and measured with: the same prefix rule both
// ways, so that "&Yes" is centred as the "Yes" it shows.
UINT CaptionFlags(HWND Button) {
    UINT flags = DT_CENTER | DT_EXPANDTABS;
    if (GetWindowLongPtrW(Button, GWL_STYLE) & BS_MULTILINE) flags |= DT_WORDBREAK;
    return flags;
}

bool CursorInWindow(HWND Window) {
    RECT r{};
    POINT p{};
    GetWindowRect(Window, &r);
    GetCursorPos(&p);
    return PtInRect(&r, p) != FALSE;
}

} // namespace

bool IsButtonPressed(HWND Button) { return (SendMessageW(Button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

vcl::TSize MeasureButtonCaption(TvlBtnWnd &Adapter) {
    if (!Adapter.SkinData) return {};
    Adapter.SkinData->PrepareCache();
    SelectAdapterFont(Adapter);
    vcl::TCanvas &canvas = *Adapter.SkinData->CacheBmp()->Canvas();
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    vcl::TRect r{0, 0, Adapter.MaxTextWidth() + 2, 0};
    DrawTextStr(canvas.Handle(), Adapter.WindowText, r, CaptionFlags(Adapter.Handle) | DT_CALCRECT);
    return {r.Width(), r.Height()};
}

// ------------------------------------------------------------- the layout

void TvlBtnWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("BUTTON");
    TvlMainWnd::SetDefaultSection();
}

vcl::TSize TvlBtnWnd::GlyphSize() { return {0, 0}; }

void TvlBtnWnd::PaintGlyph() {}

int TvlBtnWnd::MaxTextWidth() {
    if (WindowText.empty()) return 0;
    const vcl::TSize glyph = GlyphSize();
    return glyph.cx != 0 ? std::max(0, WndSize.cx - glyph.cx) : WndSize.cx + 1;
}

vcl::TRect TvlBtnWnd::CaptionRect() {
    const vcl::TSize text = MeasureButtonCaption(*this);
    const int w = WndSize.cx, h = WndSize.cy;
    const int x = (w - text.cx) / 2, y = (h - text.cy) / 2;
    vcl::TRect r{x - 1, y, w - x + 2, h - y};
    if (IsButtonPressed(Handle)) {
        const TsSkinManager *m = SkinManager;
        const bool keep = SkinData->IsSkinned(false) && (!m || !m->ButtonsOptions()->ShiftContentOnClick);
        if (!keep) r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    }
    return r;
}

// -------------------------------------------------------------- the state

int TvlBtnWnd::CurrentState() {
    if (const int state = PressedOrHotState(); state >= 0) return state;
    const bool isDefault = (GetWindowLongPtrW(Handle, GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
    if (SkinData->OwnerControl()) return isDefault ? 1 : 0;
    return isDefault ? 3 : 0;
}

int TvlBtnWnd::PressedOrHotState() {
    if (IsButtonPressed(Handle)) {
        SkinData->HideGlowNow();
        return 2;
    }
    if (!IsWindowEnabled(Handle)) return 0;
    const vcl::TControl *control = SkinData->OwnerControl();
    if (!control) {
        const TsSkinManager *tracker = DefaultManager();
        if (GetFocus() == Handle || (tracker && tracker->ActiveWindow == Handle) || SkinData->Focused) return 1;
    } else if (!Designing(control) && (SkinData->IsControlActive() || SkinData->MouseInside)) {
        // Adapter-owned data is of a kind that counts as hovered only with
        // the extended hot tracking, which nothing sets: the adapter's own
        // MouseInside (set only as its hover rules allow) counts here.
        return 1;
    }
    return -1;
}

int TvlBtnWnd::PaintedState() {
    const int state = CurrentState();
    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!m || !m->IsValidSectionIndex(SkinData->SkinIndex())) return std::min(state, 2);
    const int states = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())].States;
    if (state == 3 && states < 4) return 1;
    return std::max(0, std::min(state, states - 1));
}

// --------------------------------------------------------------- painting

bool TvlBtnWnd::BuildCache() {
    RefreshGeometry(*this);
    TvlBgInfo bg;
    if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return false;
    SkinData->PrepareCache();
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    const int state = PaintedState();
    // Our class library reads left to right: the offset is never mirrored.
    const bool pressed = IsButtonPressed(Handle);
    PaintControlSkin(*SkinData, bg, state, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, pressed);
    DrawCaption(state);
    PaintGlyph();
    if (!IsWindowEnabled(Handle)) PaintDisabledBlend(cache, bg, PosInParent);
    SkinData->BGChanged = false;
    return true;
}

void TvlBtnWnd::DrawCaption(int State) {
    SelectAdapterFont(*this);
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    vcl::TRect r = CaptionRect();
    UINT flags = CaptionFlags(Handle);
    if (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    const bool enabled = IsWindowEnabled(Handle) != FALSE;
    WriteTextForControl(canvas, WindowText, enabled, r, flags, *SkinData, State != 0 ? 1 : 0);

    const TsSkinManager *m = SkinData->GetSkinManager();
    if (!enabled || !m || !m->ButtonsOptions()->ShowFocusRect || WindowText.empty() ||
        !(SendMessageW(Handle, BM_GETSTATE, 0, 0) & BST_FOCUS) || !m->IsValidSectionIndex(SkinData->SkinIndex()))
        return;
    r = {r.Left - 2, std::max(r.Top - 1, 3), r.Right + 2, std::min(r.Bottom + 1, WndSize.cy - 3)};
    const TsGeneralData &section = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
    DrawCheckeredFrame(canvas, r, section.Props[static_cast<std::size_t>(std::min(section.States, 1))].FontColor,
                       vcl::clNone);
}

void TvlBtnWnd::PaintWindow(HDC DC) {
    vcl::TPaintDC paint(Handle, DC);
    if (SkinData->IsAnimating()) {
        if (const TvlThreadedTimer *timer = AnimTimerOf(*SkinData); timer && timer->WorkImage) {
            const vcl::TWindowDC own(DC ? nullptr : Handle);
            vcl::TBitmap &image = *timer->WorkImage;
            BitBlt(DC ? DC : own.Get(), 0, 0, image.Width(), image.Height(), image.Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        return;
    }
    RefreshGeometry(*this);
    const bool animating = ModuleState().FormAnimationActive;
    if (animating && !SkinData->PrintDC) return;
    SkinData->PaintLocked = false;
    SkinData->PaintLocked = !animating && SkinData->IsPaintLocked();
    if (SkinData->PaintLocked) return;
    // Drawn into the window's own DC, not the paint DC: a WM_PAINT that is
    // sent (a skin refresh) has nothing invalid to paint into.
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    HDC target = DC ? DC : own.Get();
    if (!target) return;
    if (GetLayoutIfAvailable(target) & LAYOUT_RTL) SetLayoutIfAvailable(target, 0);
    SkinData->BGChanged = true;
    if (!BuildCache()) return;
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ------------------------------------------------------------- messages

bool TvlBtnWnd::PassOnChecked(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed() || !IsWindow(Handle)) return false;
    const vcl::TControl *control = SkinData->OwnerControl();
    return !control || (!Destroying(control) && !Destroying(vcl::GetParentForm(control)));
}

void TvlBtnWnd::RedrawNow() {
    SkinData->BGChanged = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TvlBtnWnd::WithoutRedraw(vcl::TMessage &Message, bool Previous) {
    // The system's button paints at once on these; our picture follows.
    SetWindowRedraw(Handle, false);
    const vcl::TGuarded alive(this);
    if (Previous)
        PassOn(Message);
    else
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (alive && IsWindow(Handle)) SetWindowRedraw(Handle, true);
}

bool TvlBtnWnd::OwnMessage(vcl::TMessage &Message) {
    // Without a serving skin the button is the system's own.
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_MOVE: {
        const TsSkinManager *m = SkinData->GetSkinManager();
        if (m && m->IsValidSectionIndex(SkinData->SkinIndex())) {
            const TsGeneralData &s = m->Sections[static_cast<std::size_t>(SkinData->SkinIndex())];
            if (s.Props[0].Transparency > 0 || (s.Props[1].Transparency >= 1 && SkinData->IsControlActive())) RedrawNow();
        }
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const bool gained = Message.Msg == WM_SETFOCUS;
        if (!IsWindowEnabled(Handle) || (!gained && Destroying(SkinData->OwnerControl()))) break;
        WithoutRedraw(Message, false);
        if (!alive || !IsWindow(Handle)) return true;
        SkinData->Focused = gained;
        SkinData->BGChanged = true;
        if (gained) SkinData->StopAnimation();
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return true;
    }
    case WM_ENABLE:
    case WM_SETTEXT:
        if (!IsWindowVisible(Handle)) break;
        WithoutRedraw(Message, false);
        if (alive && IsWindow(Handle)) RedrawNow();
        return true;
    case WM_PAINT:
        if (!IsWindowVisible(Handle) && !(SkinData->BGFlags() & bgfPaintTarget)) break;
        if (!ColorsApplied) ApplySkinColors();
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_NCPAINT:
    case WM_UPDATEUISTATE: Message.Result = 0; return true;
    case BM_SETSTATE:
        if (!IsWindowVisible(Handle)) break;
        WithoutRedraw(Message, true);
        if (!alive || !IsWindow(Handle)) return true;
        SkinData->StopAnimation();
        RedrawNow();
        return true;
    case WM_LBUTTONUP: LButtonUp(Message); return true;
    case WM_MOUSEHOVER:
        SendSkinCommand(Handle, SC_MOUSE_ENTERED, 0);
        if (!alive) return true;
        break;
    case WM_MOUSELEAVE:
        if (TsSkinManager *m = DefaultManager(); m && m->ActiveWindow == Handle) m->SetActiveControl(nullptr);
        if (!alive) return true;
        break;
    case WM_PRINT:
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_MOUSEMOVE: MouseMove(Message); return true;
    case SM_SKINCOMMAND:
        if (ButtonCommand(Message)) return true;
        break;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

void TvlBtnWnd::LButtonUp(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    if (!data.MouseInside) {
        if (!PassOnChecked(Message)) return;
        data.StopAnimation();
        data.BGChanged = false;
        AnimateStateChange(data, 0, StateAnimationStep, true, true, true);
        return;
    }
    data.StopAnimation();
    data.MouseInside = false;
    // The click reaches the button here; its handler may free the form.
    if (!PassOnChecked(Message)) return;
    if (IsWindowVisible(Handle)) SendSkinCommand(Handle, SC_MOUSE_ENTERED, 0);
}

void TvlBtnWnd::MouseMove(vcl::TMessage &Message) {
    if (!PassOnChecked(Message)) return;
    TsSkinManager *m = DefaultManager();
    if (!m || Designing(m) || !IsWindowEnabled(Handle) || m->Options()->GetFlag(ofNoMouseHover)) return;
    if (CursorInWindow(Handle)) {
        if (m->ActiveWindow != Handle) m->SetActiveControl(Handle);
    } else if (m->ActiveWindow == Handle) {
        m->SetActiveControl(nullptr);
    }
}

bool TvlBtnWnd::ButtonCommand(vcl::TMessage &Message) {
    switch (SubCommandOf(Message.WParam)) {
    case SC_PARENT_UPDATE_DONE:
        if (!SkinData->PaintLocked) return false;
        if (!SkinData->UpdatePaintLock(true))
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return true;
    case SC_BUILD_CACHE: BuildCache(); return true;
    case SC_MOUSE_ENTERED: return EnterHotState(*this);
    case SC_MOUSE_LEFT: return MouseLeft();
    default: return false;
    }
}

bool EnterHotState(TvlMainWnd &Adapter) {
    TsCommonData &data = *Adapter.SkinData;
    const TsSkinManager *tracker = DefaultManager();
    const TsSkinManager *m = data.GetSkinManager();
    if (data.MouseInside || (tracker && tracker->ActiveWindow && tracker->ActiveWindow != Adapter.Handle) ||
        (m && m->Options()->GetFlag(ofNoMouseHover)))
        return false;
    if (!CursorInWindow(Adapter.Handle)) return true;
    data.BGChanged = false;
    data.PaintLocked = false;
    data.MouseInside = true;
    AnimateStateChange(data, 1, StateAnimationStep, true, false, true);
    return true;
}

bool LeaveHotState(TvlMainWnd &Adapter) {
    TsCommonData &data = *Adapter.SkinData;
    if (!data.MouseInside) return false;
    data.PaintLocked = false;
    data.BGChanged = false;
    data.MouseInside = false;
    AnimateStateChange(data, 0, StateAnimationStep, true, false, false);
    return true;
}

bool TvlBtnWnd::MouseLeft() {
    const TsCommonData &data = *SkinData;
    // The cursor still over the control keeps it hot.
    if (data.MouseInside)
        if (const vcl::TControl *control = data.OwnerControl(); control && IsCursorOverControl(*control)) return true;
    return LeaveHotState(*this);
}

} // namespace skin
