#include "vlSBWnd.h"

#include <algorithm>

#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/ScrollBar.h"
#include "vlSBLayout.h"
#include "vlScrollBars.h"

namespace skin {

namespace {

vcl::TPoint ClientPoint(HWND Handle, LPARAM L, bool Screen) {
    POINT p{static_cast<short>(LOWORD(L)), static_cast<short>(HIWORD(L))};
    if (Screen) ScreenToClient(Handle, &p);
    return {p.x, p.y};
}

vcl::TPoint CursorIn(HWND Handle) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Handle, &p);
    return {p.x, p.y};
}

bool In(const vcl::TRect &R, vcl::TPoint P) {
    return !R.IsEmpty() && P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

} // namespace

TvlSBWnd::~TvlSBWnd() {
    if (FTabStopTaken && ScrollBar && !ScrollBar->ComponentState().Contains(vcl::csDestroying))
        ScrollBar->SetTabStop(FSavedTabStop);
    ReleaseWindow();
}

void TvlSBWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("CHECKBOX");
    ScrollBar = vcl::TGuarded(SkinData ? dynamic_cast<vcl::TScrollBar *>(SkinData->OwnerControl()) : nullptr);
    if (ScrollBar) {
        FSavedTabStop = ScrollBar->TabStop();
        FTabStopTaken = true;
        ScrollBar->SetTabStop(false);
    }
    IgnoreRedraw = false;
    DragOffset = 0;
    PendingCode = 0;
    ReadScrollInfo();
    Position = Pos;
    if (GetFocus() == Handle) HideCaret(Handle);
    TvlMainWnd::SetDefaultSection();
}

void TvlSBWnd::ReadScrollInfo() {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Handle, SB_CTL, &info)) return;
    const TvlSBRange r = FitSBRange(info.nMin, std::max(info.nMax, info.nMin), info.nPage, info.nPos);
    Min = r.Min;
    Max = r.Max;
    Page = r.Page;
    Pos = r.Pos;
}

bool TvlSBWnd::Vertical() const {
    if (ScrollBar) return ScrollBar->Kind() == vcl::sbVertical;
    return (GetWindowLongPtrW(Handle, GWL_STYLE) & SBS_VERT) != 0;
}

TvlSBWnd::TLayout TvlSBWnd::Layout() const {
    RECT c{};
    GetClientRect(Handle, &c);
    const bool vert = Vertical();
    const int length = vert ? c.bottom : c.right, across = vert ? c.right : c.bottom;
    const TvlSBFace f = SBFaceOf({Min, Max, Page, Pos}, Position, length, ArrowSize());
    TLayout l;
    l.Arrow = f.Arrow;
    l.Track = f.Track;
    l.ThumbSize = f.ThumbSize;
    l.Centre = f.Centre;
    const int start = f.ThumbStart;
    const auto piece = [&](int From, int To) {
        return vert ? vcl::TRect{0, From, across, To} : vcl::TRect{From, 0, To, across};
    };
    l.FirstArrow = piece(0, l.Arrow);
    l.SecondArrow = piece(length - l.Arrow, length);
    l.TrackBefore = piece(0, l.Centre);
    l.TrackAfter = piece(l.Centre, length);
    l.Thumb = f.ThumbShown ? piece(start, start + l.ThumbSize) : vcl::TRect{};
    return l;
}

int TvlSBWnd::ArrowSize() const { return ScrollBarWidth(SkinData ? SkinData->GetSkinManager() : nullptr); }

std::int64_t TvlSBWnd::PositionAt(int Along) const {
    if (!IsWindowEnabled(Handle)) return 0;
    RECT c{};
    GetClientRect(Handle, &c);
    return SBPositionAt({Min, Max, Page, Pos}, Vertical() ? c.bottom : c.right, ArrowSize(), Along);
}

TvlSBWnd::TPart TvlSBWnd::PartAt(vcl::TPoint P) const {
    const TLayout l = Layout();
    if (In(l.FirstArrow, P)) return ptFirst;
    if (In(l.SecondArrow, P)) return ptSecond;
    if (In(l.Thumb, P)) return ptThumb;
    if (In(l.TrackBefore, P)) return ptBefore;
    if (In(l.TrackAfter, P)) return ptAfter;
    return ptNone;
}

void TvlSBWnd::SetPartState(TPart Part, int State) {
    switch (Part) {
    case ptFirst:
    case ptSecond:
        (Part == ptFirst ? FirstArrowState : SecondArrowState) = State;
        (Part == ptFirst ? SecondArrowState : FirstArrowState) = 0;
        ThumbState = 0;
        TrackBeforeState = TrackAfterState = 1;
        break;
    case ptBefore:
    case ptAfter:
        (Part == ptBefore ? TrackBeforeState : TrackAfterState) = State;
        (Part == ptBefore ? TrackAfterState : TrackBeforeState) = 1;
        FirstArrowState = SecondArrowState = ThumbState = 0;
        break;
    case ptThumb:
        ThumbState = State;
        FirstArrowState = SecondArrowState = 0;
        TrackBeforeState = TrackAfterState = 1;
        break;
    default: break;
    }
}

bool TvlSBWnd::HotControl() const {
    const TsSkinManager *m = DefaultManager();
    return (m && m->ActiveWindow == Handle) || (SkinData && SkinData->MouseInside);
}

void TvlSBWnd::Repaint() { RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void TvlSBWnd::Press(vcl::TMessage &Message) {
    if (!IsWindowEnabled(Handle)) {
        PassOn(Message);
        return;
    }
    const vcl::TPoint p = ClientPoint(Handle, Message.LParam, Message.Msg == WM_NCLBUTTONDOWN);
    DragOffset = 0;
    const TPart part = PartAt(p);
    switch (part) {
    case ptFirst: PendingCode = SB_LINEUP; break;
    case ptSecond: PendingCode = SB_LINEDOWN; break;
    case ptThumb:
        PendingCode = SB_THUMBTRACK;
        DragOffset = PositionAt(Vertical() ? p.Y : p.X) - (ScrollBar ? ScrollBar->Position() : Pos);
        break;
    case ptBefore: PendingCode = SB_PAGEUP; break;
    default: PendingCode = SB_PAGEDOWN; break;
    }
    SetPartState(part == ptNone ? ptAfter : part, 2);
    // The redraw switch, the style change and the pressed face's paint reach
    // the procedure below, whose code may free this adapter: the press is
    // then the control's own.
    const vcl::TGuarded alive(this);
    const HWND handle = Handle;
    // WM_SETREDRAW(False) clears WS_VISIBLE: a control the application only
    // holds from drawing is shown all the same.
    const bool shown = ScrollBar ? ScrollBar->Visible() : (IsWindowVisible(handle) || RedrawOffCount > 0);
    if (shown) {
        while (alive && RedrawOffCount > 0) {
            --RedrawOffCount;
            IgnoreRedraw = true;
            SendMessageW(handle, WM_SETREDRAW, TRUE, 0);
            if (alive) IgnoreRedraw = false;
        }
        if (alive) SetWindowLongPtrW(handle, GWL_STYLE, GetWindowLongPtrW(handle, GWL_STYLE) | WS_VISIBLE);
        // The pressed face is drawn before the message goes on: the system
        // tracks the press in a loop of its own until the release, after
        // which Release draws the face again.
        if (alive) RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
    if (!alive) {
        if (IsWindow(handle)) Message.Result = SendMessageW(handle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    PassOn(Message);
    if (!alive || Destroyed()) return;
    Release(CursorIn(Handle));
}

void TvlSBWnd::Release(vcl::TPoint P) {
    if (!IsWindowEnabled(Handle) || PendingCode == SB_ENDSCROLL) return;
    const TPart part = PartAt(P);
    const int hot = HotControl() ? 1 : 0;
    if (part == ptThumb || ThumbState == 2) {
        PendingCode = SB_THUMBPOSITION;
        TrackBeforeState = TrackAfterState = hot;
        if (ThumbState == 2) ThumbState = part == ptThumb ? 1 : 0;
    } else if (FirstArrowState == 2 && part == ptFirst) {
        FirstArrowState = 1;
    } else if (SecondArrowState == 2 && part == ptSecond) {
        SecondArrowState = 1;
    } else if (TrackBeforeState == 2) {
        TrackBeforeState = hot;
    } else if (TrackAfterState == 2) {
        TrackAfterState = hot;
    }
    if (part == ptNone) FirstArrowState = SecondArrowState = 0;
    ReadScrollInfo();
    Position = Pos;
    PendingCode = SB_ENDSCROLL;
    Repaint();
}

void TvlSBWnd::Hover(vcl::TMessage &Message) {
    PassOn(Message);
    if (!IsWindowEnabled(Handle)) return;
    const vcl::TPoint p = ClientPoint(Handle, Message.LParam, true);
    if (ThumbState == 2 && PendingCode == SB_THUMBTRACK && ScrollBar) {
        const std::int64_t wanted = PositionAt(Vertical() ? p.Y : p.X) - DragOffset;
        const auto pos = static_cast<int>(std::clamp<std::int64_t>(wanted, Min, SBLastPos({Min, Max, Page, Pos})));
        if (pos != ScrollBar->Position()) ScrollBar->SetPosition(pos);
        return;
    }
    const TPart part = PartAt(p);
    const int before[] = {FirstArrowState, SecondArrowState, ThumbState, TrackBeforeState, TrackAfterState};
    if (part == ptNone) {
        FirstArrowState = SecondArrowState = ThumbState = 0;
    } else if (!((part == ptFirst && FirstArrowState == 2) || (part == ptSecond && SecondArrowState == 2))) {
        if (FirstArrowState != 2 && SecondArrowState != 2) SetPartState(part, 1);
    }
    const int after[] = {FirstArrowState, SecondArrowState, ThumbState, TrackBeforeState, TrackAfterState};
    if (!std::equal(std::begin(before), std::end(before), std::begin(after))) Repaint();
}

void TvlSBWnd::SetScrollInfoWrapped(vcl::TMessage &Message) {
    RECT c{};
    GetClientRect(Handle, &c);
    if (const auto *info = reinterpret_cast<const SCROLLINFO *>(Message.LParam); info && c.right != c.bottom) {
        if (info->fMask & SIF_RANGE) {
            Min = info->nMin;
            Max = info->nMax;
            if (Max < Min) Min = Max = 0;
        }
        const TvlSBRange r = FitSBRange(Min, Max, (info->fMask & SIF_PAGE) ? info->nPage : static_cast<UINT>(Page),
                                        (info->fMask & SIF_POS) ? info->nPos : Pos);
        Page = r.Page;
        Pos = r.Pos;
        if (PendingCode != SB_THUMBTRACK) Position = Pos;
        const vcl::TGuarded alive(this);
        if (info->fMask & SIF_POS) ControlFollowsCopies();
        if (!alive) return;
    }
    PassOnRedrawHeld(Message);
}

void TvlSBWnd::ControlFollowsCopies() {
    // The control's own settings send the scroll information again: those
    // come back here and find the control in line already.
    if (!ScrollBar || FSyncingControl) return;
    // Each setting may run the bar's OnChange, the application's, which
    // may free the bar or this adapter: nothing of either is touched then.
    const vcl::TGuarded alive(this);
    const vcl::TGuarded<vcl::TScrollBar> bar = ScrollBar;
    FSyncingControl = true;
    struct TClear {
        bool &Flag;
        const vcl::TGuarded<TvlSBWnd> &Alive;
        ~TClear() {
            if (Alive) Flag = false;
        }
    } clear{FSyncingControl, alive};
    // Each setting changes the copies on its way: the values are taken first.
    const int min = Min, max = Max, page = Page, pos = Pos;
    if (bar->Min() != min || bar->Max() != max) bar->SetParams(pos, min, max);
    if (alive && bar && bar->PageSize() != page) bar->SetPageSize(page);
    // Its next step starts where the bar stands.
    if (alive && bar && bar->Position() != pos) bar->SetPosition(pos);
    if (alive) Min = min, Max = max, Page = page, Pos = pos;
}

void TvlSBWnd::PassOnRedrawHeld(vcl::TMessage &Message) {
    if (!IsWindowVisible(Handle)) {
        PassOn(Message);
        return;
    }
    // The system would draw the bar at once: its drawing is held off.
    const vcl::TGuarded alive(this);
    const int outstanding = RedrawOffCount;
    IgnoreRedraw = true;
    SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
    Message.WParam = FALSE;
    PassOn(Message);
    if (!alive) return;
    SendMessageW(Handle, WM_SETREDRAW, TRUE, 0);
    IgnoreRedraw = false;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    // A WM_SETREDRAW(False) the control had before stays in force.
    if (outstanding > 0) {
        IgnoreRedraw = true;
        SendMessageW(Handle, WM_SETREDRAW, FALSE, 0);
        IgnoreRedraw = false;
    }
    RedrawOffCount = outstanding;
}

bool TvlSBWnd::Paint(HDC DC, bool Picture) {
    // A picture (a print, a snapshot of a form not shown yet or no longer)
    // takes the face whether the control shows or not: it would keep the
    // control's place black.
    if ((!Picture && !IsWindowVisible(Handle)) || Destroyed()) return true;
    if (const vcl::TControl *c = SkinData->OwnerControl(); c && c->ComponentState().Contains(vcl::csLoading)) return true;
    RECT cr{};
    GetClientRect(Handle, &cr);
    const int w = cr.right, h = cr.bottom;
    if (w <= 0 || h <= 0) return true;
    TsSkinManager *m = SkinData->GetSkinManager();
    if (!m) return true;
    const TvlCommonElements &el = m->CommonElements;
    const auto bmp = NewBitmap32(w, h);
    if (w == h) {
        // The corner square of a pair of bars.
        vcl::TColor colour = m->GetMainColor();
        if (el.ScrollBars[0].SectionIndex >= -1 && m->IsValidSectionIndex(el.ScrollBars[0].SectionIndex))
            colour = m->Sections[static_cast<std::size_t>(el.ScrollBars[0].SectionIndex)].Props[0].Color;
        bmp->Canvas()->Brush()->SetColor(colour);
        bmp->Canvas()->FillRect({0, 0, w, h});
    } else {
        TvlBgInfo bg;
        if (!WindowBackgroundInfo(Handle, bg, TvlAsker(this))) return false;
        const auto back = NewBitmap32(w, h);
        if (bg.UseBmp && bg.Bmp)
            BitBlt(back->Canvas()->Handle(), 0, 0, w, h, bg.Bmp->Canvas()->Handle(), bg.X, bg.Y, SRCCOPY);
        else {
            back->Canvas()->Brush()->SetColor(bg.Color == vcl::clFuchsia ? m->GetMainColor() : bg.Color);
            back->Canvas()->FillRect({0, 0, w, h});
        }
        BitBlt(bmp->Canvas()->Handle(), 0, 0, w, h, back->Canvas()->Handle(), 0, 0, SRCCOPY);
        TvlBgInfo local;
        InitBgInfo(back.get(), 0, 0, local);
        const bool vert = Vertical(), enabled = IsWindowEnabled(Handle) != FALSE;
        const int hot = HotControl() ? 1 : 0;
        const auto trackState = [&](int S) { return enabled ? std::max(S, hot) : 0; };
        const TLayout l = Layout();
        const auto track = [&](const TvlElementEntry &E, int S, const vcl::TRect &R) {
            if (!R.IsEmpty() && m->IsValidSectionIndex(E.SectionIndex))
                PaintSectionWithMask(E.SectionIndex, E.BorderMask, E.Texture, local, S, R, {R.Left, R.Top}, *bmp, m);
        };
        track(el.ScrollBars[vert ? 1 : 0], trackState(TrackBeforeState), l.TrackBefore);
        track(el.ScrollBars[vert ? 3 : 2], trackState(TrackAfterState), l.TrackAfter);
        PaintScrollArrow(*bmp, local, l.FirstArrow, enabled ? FirstArrowState : 0, el.ScrollButtons[vert ? 1 : 0],
                         vert ? adUp : adLeft, *m);
        PaintScrollArrow(*bmp, local, l.SecondArrow, enabled ? SecondArrowState : 0, el.ScrollButtons[vert ? 3 : 2],
                         vert ? adDown : adRight, *m);
        if (!l.Thumb.IsEmpty())
            PaintScrollThumb(*bmp, local, l.Thumb, enabled ? ThumbState : 0, el.ScrollSliders[vert ? 1 : 0], *m);
        if (!enabled) PaintDisabledLook(*bmp, dlBlended, SkinData->OwnerControl(), &local, {0, 0});
    }
    BitBlt(DC, 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    return true;
}

bool TvlSBWnd::SkinCommand(vcl::TMessage &Message) {
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    switch (SubCommandOf(Message.WParam)) {
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_REPAINT:
        SkinData->BGChanged = true;
        Repaint();
        return true;
    case SC_SKIN_REFRESH:
        if (own) SkinData->BGChanged = true;
        return false;
    case SC_PARENT_UPDATE_DONE: ParentUpdateDone(); return true;
    default: return false;
    }
}

void TvlSBWnd::ParentUpdateDone() {
    // The face is the client area's: no frame, and no children of its own.
    RedrawAfterParentUpdate(*SkinData, Handle, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool TvlSBWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !SkinData || !SkinData->IsSkinned(false)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDBLCLK: Press(Message); return true;
    case WM_NCHITTEST: Hover(Message); return true;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: {
        const vcl::TPoint p = ClientPoint(Handle, Message.LParam, Message.Msg == WM_NCLBUTTONUP);
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) Release(p);
        return true;
    }
    case WM_CAPTURECHANGED: {
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) Release(CursorIn(Handle));
        return true;
    }
    case SBM_SETSCROLLINFO: SetScrollInfoWrapped(Message); return true;
    case vcl::CM_CHANGED: PassOnRedrawHeld(Message); return true;
    case WM_SETFOCUS: {
        // The system marks a focused bar with a blinking caret over its
        // thumb: the skinned face has none.
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) HideCaret(Handle);
        return true;
    }
    case WM_SETREDRAW:
        if (!IgnoreRedraw) RedrawOffCount = std::max(0, RedrawOffCount + (Message.WParam ? -1 : 1));
        PassOn(Message);
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        if (dc) {
            Paint(dc, true);
        } else {
            // The paint may free this adapter (the parent's answer about what
            // lies behind): the paint ends on the window all the same.
            const HWND window = Handle;
            dc = BeginPaint(window, &ps);
            Paint(dc);
            EndPaint(window, &ps);
        }
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND: Message.Result = 1; return true;
    case WM_NCPAINT: Message.Result = 0; return true;
    case vcl::CN_CTLCOLORSCROLLBAR: {
        RECT c{};
        GetClientRect(Handle, &c);
        ExcludeClipRect(reinterpret_cast<HDC>(Message.WParam), c.left, c.top, c.right, c.bottom);
        Message.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    }
    case WM_PRINT:
        if (Serving()) Paint(reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 0;
        return true;
    case vcl::CM_MOUSEENTER:
    case vcl::CM_MOUSELEAVE: {
        const vcl::TGuarded alive(this);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!alive) return true;
        if (Message.Msg == vcl::CM_MOUSEENTER) {
            TrackBeforeState = std::max(TrackBeforeState, 1);
            TrackAfterState = std::max(TrackAfterState, 1);
        } else {
            FirstArrowState = SecondArrowState = 0;
            if (ThumbState != 2) ThumbState = TrackBeforeState = TrackAfterState = 0;
        }
        Repaint();
        return true;
    }
    case vcl::CM_ENABLEDCHANGED: {
        const vcl::TGuarded alive(this);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (alive) Repaint();
        return true;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_TIMER:
    case 0x118: {  // the system's own timer message
        // The system draws its bar's hover and repeat states itself.
        const vcl::TGuarded alive(this);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (alive && IsWindowVisible(Handle)) {
            const vcl::TWindowDC dc(Handle);
            Paint(dc.Get());
        }
        return true;
    }
    case SM_SKINCOMMAND:
        if (SkinCommand(Message)) return true;
        break;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

} // namespace skin
