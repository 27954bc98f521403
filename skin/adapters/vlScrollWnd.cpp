#include "vlScrollWnd.h"

#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sCommandTable.h"
#include "vcl/ComboBox.h"
#include "vcl/Controls.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

// The reflected notification the class library sends its controls.
constexpr UINT ReflectedBase = 0x2100;

bool Visible(HWND Handle) { return IsWindowVisible(Handle) != FALSE; }

void ReadInfo(TvlScrollBar &Bar, HWND Handle) {
    Bar.Info = {};
    Bar.Info.cbSize = sizeof(SCROLLINFO);
    Bar.Info.fMask = SIF_ALL;
    GetScrollInfo(Handle, Bar.Kind == 1 ? SB_VERT : SB_HORZ, &Bar.Info);
}

} // namespace

TvlScrollWnd::TvlScrollWnd() = default;

TvlScrollWnd::~TvlScrollWnd() {
    ReleaseScrollWindow();
    HorzBar->Adapter = VertBar->Adapter = nullptr;
}

void TvlScrollWnd::ReleaseScrollWindow() {
    TvlScrollEngine &e = ScrollEngine();
    // A press that runs ends once the window is given back: the
    // application's SB_ENDSCROLL handler then meets no adapter half gone.
    UINT endMsg = 0;
    int endPos = 0;
    if (Handle && e.TrackedWindow == Handle) {
        if (e.PressedPart != -1) endMsg = e.ScrollMsg;
        endPos = ThumbDragging ? e.TrackPos : 0;
        ThumbDragging = false;
        if (IsWindow(Handle)) {
            KillTimer(Handle, FirstRepeatTimerId);
            KillTimer(Handle, RepeatTimerId);
            KillTimer(Handle, HoverTimerId);
        }
        e.TrackedWindow = nullptr;
        e.PressedPart = e.CurrentPart = e.PressedKind = -1;
        e.RepeatTimer = 0;
        e.ScrollMsg = 0;
        e.HotKind = e.HotPart = e.LastHotPart = -1;
        e.HoverTimer = 0;
    }
    const bool wasHooked = !Destroyed();
    ReleaseWindow();
    // The system lays out and draws its own bars again.
    if (wasHooked && Handle && IsWindow(Handle) && Visible(Handle)) RefreshFrame(Handle, true);
    if (endMsg && IsWindow(Handle)) SendScrollMessage(Handle, endMsg, SB_ENDSCROLL, endPos);
}

std::unique_ptr<TsCommonData> TvlScrollWnd::CreateOwnSkinData(vcl::TObject *Owner) {
    auto data = std::make_unique<TsScrollWndData>(Owner, false);
    data->ControlKind = ckAdapter;
    data->Updating = true;
    FrameLeft = -1;
    FrameCalculated = false;
    return data;
}

void TvlScrollWnd::Create(HWND AHandle, TsCommonData *Shared, TsSkinManager *Manager, const TvlSkinParams &Params,
                          bool Repaint) {
    TvlMainWnd::Create(AHandle, Shared, Manager, Params, Repaint);
    // The class library's enter and leave notices and the manager's hover
    // news (MouseCommand) run the skin data's own hover steps.
    SkinData->HoverByHotWindow = false;
    if (auto *data = dynamic_cast<TsScrollWndData *>(SkinData); data && OwnsSkinData) {
        if (Params.HorzScrollWidth >= 0) data->HorzScrollData()->SetScrollWidth(Params.HorzScrollWidth);
        if (Params.VertScrollWidth >= 0) data->VertScrollData()->SetScrollWidth(Params.VertScrollWidth);
        if (Params.HorzButtonsSize >= 0) data->HorzScrollData()->SetButtonsSize(Params.HorzButtonsSize);
        if (Params.VertButtonsSize >= 0) data->VertScrollData()->SetButtonsSize(Params.VertButtonsSize);
    }
    InstallScrollBars(*this, AHandle, Repaint);
}

TvlScrollBarState TvlScrollWnd::HorzScrollBar() const {
    return {HorzBar->Shown, HorzBar->Shown ? ScrollBarMetric(*HorzBar, true) : 0};
}

TvlScrollBarState TvlScrollWnd::VertScrollBar() const {
    return {VertBar->Shown, VertBar->Shown ? ScrollBarMetric(*VertBar, true) : 0};
}

void TvlScrollWnd::RefreshScrollBars() { skin::RefreshScrollBars(*this, true); }

bool TvlScrollWnd::Skinned() const { return SkinData && SkinData->IsSkinned(false); }

void TvlScrollWnd::RepaintBars() {
    if (!Destroyed() && !InScrollMessage && !ThumbDragging) skin::RefreshScrollBars(*this, true);
}

bool TvlScrollWnd::OwnMessage(vcl::TMessage &Message) { return ScrollHandler(Message); }

bool TvlScrollWnd::ScrollHandler(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case SM_SKINCOMMAND: case WM_SIZE: case WM_ENABLE: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_STYLECHANGED:
    case WM_NCCALCSIZE: case WM_SETTEXT: case vcl::CM_ENABLEDCHANGED: case vcl::CM_MOUSEENTER: case vcl::CM_MOUSELEAVE:
        ++PictureGeneration;
        break;
    default: break;
    }
    switch (Message.Msg) {
    case WM_UPDATEUISTATE: Message.Result = 0; return true;
    case vcl::CM_RECREATEWND:
        if (!IsHiddenUnnamedCombo()) break;
        Message.Result = 0;
        return true;
    case WM_DESTROY:
    case WM_NCDESTROY: {
        TvlScrollEngine &e = ScrollEngine();
        if (e.TrackedWindow == Handle) {
            // The application's SB_ENDSCROLL handler may free the adapter.
            const HWND window = Handle;
            if (!CancelScrollTracking(window)) return true;
            KillTimer(window, HoverTimerId);
            e.TrackedWindow = nullptr;
            e.HotKind = e.HotPart = e.LastHotPart = -1;
        }
        return TvlMainWnd::OwnMessage(Message);
    }
    case WM_CAPTURECHANGED:
        // Whoever takes the capture ends the press: no repeat goes on
        // behind a box, no later release elsewhere ends it.
        if (!ScrollEngine().Releasing && reinterpret_cast<HWND>(Message.LParam) != Handle &&
            !CancelScrollTracking(Handle))
            return true;
        break;
    case WM_CANCELMODE:
        if (!CancelScrollTracking(Handle)) return true;
        break;
    case SM_SKINCOMMAND:
        // The manager is off already while it tells its windows that the
        // skin goes: the control's own colours come back all the same.
        if (SubCommandOf(Message.WParam) == SC_SKIN_REMOVED && !Destroyed() && SkinManager &&
            reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager) {
            const vcl::TGuarded alive(this);
            RestoreControlColors();
            if (!alive) return true;
        }
        break;
    default: break;
    }
    if (Destroyed()) return true;
    if (!Skinned()) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    switch (Message.Msg) {
    case WM_NCHITTEST: ScrollBarsNcHitTest(*this, Message); return true;
    case WM_NCCALCSIZE: ScrollBarsNcCalcSize(*this, Message); return true;
    case WM_NCPAINT:
        if (!FrameCalculated) {
            SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            if (!alive) return true;
        }
        // The previous procedure first: the system would draw its own bar
        // over ours.
        PassOn(Message);
        if (alive && Visible(Handle) && !InScrollMessage && !SkinData->UpdatePaintLock(false))
            PaintNcScrollBars(*this, -1, nullptr);
        return true;
    case WM_NCMOUSEMOVE: ScrollBarNcMouseMove(*this, Message); return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            ScrollBarMouseDown(*this, Message);
        else
            PassOn(Message);
        return true;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        if (Message.WParam == HTHSCROLL || Message.WParam == HTVSCROLL)
            Message.Result = 0;
        else
            PassOn(Message);
        return true;
    case WM_SYSCOMMAND:
        if (Message.WParam == (SC_VSCROLL | HTVSCROLL)) {
            Message.Result = 0;
            return true;
        }
        break;
    case WM_TIMER:
        ScrollBarTimer(*this, Message);
        if (alive) RepaintBars();
        return true;
    case WM_MOUSEMOVE: ScrollBarMouseMove(*this, Message); return true;
    case WM_LBUTTONUP: ScrollBarMouseUp(*this, Message); return true;
    case WM_STYLECHANGED:
        if (InCalcSize) {
            Message.Result = 0;
            return true;
        }
        if (Message.WParam == static_cast<WPARAM>(GWL_EXSTYLE) && Message.LParam)
            LeftScrollBar = (reinterpret_cast<const STYLESTRUCT *>(Message.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
        PassOn(Message);
        return true;
    case WM_NOTIFY: PassOn(Message); return true;
    case SM_SKINCOMMAND:
        if (SkinCommand(Message)) return true;
        return TvlMainWnd::OwnMessage(Message);
    default: break;
    }
    if (SkinData->OwnerProvider()) {
        // A form's own procedure (its provider's) does the rest.
        PassOn(Message);
    } else {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    }
    if (!alive) return true;
    switch (Message.Msg) {
    case WM_MOUSEWHEEL:
    case vcl::CM_MOUSEWHEEL:
        if (!InScrollMessage) skin::RefreshScrollBars(*this, true);
        break;
    // A focus change made inside the application's scroll handler draws the
    // system's bar too.
    case vcl::CM_FOCUSCHANGED: skin::RefreshScrollBars(*this, true); break;
    case WM_NCMOUSELEAVE:
    case WM_PAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: RepaintBars(); break;
    default: break;
    }
    return true;
}

bool TvlScrollWnd::SkinCommand(vcl::TMessage &Message) {
    TsCommonData &data = *SkinData;
    const bool own = reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager;
    const unsigned code = SubCommandOf(Message.WParam);
    if (code == SC_QUERY_ADAPTER) {
        Message.Result = reinterpret_cast<LRESULT>(static_cast<TvlWindowAdapter *>(static_cast<TvlMainWnd *>(this)));
        return true;
    }
    if (data.OwnerProvider()) {
        // The form's provider answers for the form.
        PassOn(Message);
        return true;
    }
    switch (code) {
    case SC_SKIN_APPLIED: {
        if (!own) return false;
        // The window's own procedure first, then its children.
        data.UpdateIndexes(true);
        data.BGChanged = true;
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (alive) PassToChildren(data.OwnerControl(), Handle, Message);
        return true;
    }
    case SC_SKIN_REFRESH:
        if (!own) return false;
        data.UpdateIndexes(true);
        data.BGChanged = true;
        PassOn(Message);
        return true;
    case SC_SET_UPDATING:
        data.PaintLocked = LOWORD(Message.WParam) == 1;
        PassOn(Message);
        return true;
    case SC_QUERY_PARENT_REDRAW: Message.Result = 1; return true;
    case SC_MOUSE_ENTERED:
    case SC_MOUSE_LEFT: MouseCommand(Message); return true;
    case SC_PARENT_UPDATE_DONE: ParentUpdateDone(); return true;
    case SC_GET_BG_INFO: BackgroundInfo(Message); return true;
    case SC_BUILD_CACHE:
        PassOn(Message);
        if (data.BGChanged && !data.PaintLocked) {
            RefreshGeometry(*this);
            if (const TvlAsker self(this); !PaintSkinnedControl(data, Handle, KeepTheme, self) && self.Gone()) return true;
            PaintMaskBorder(data, SkinnedControlState(data), *this);
        }
        return true;
    default: return false;
    }
}

void TvlScrollWnd::MouseCommand(const vcl::TMessage &Message) {
    const bool entered = SubCommandOf(Message.WParam) == SC_MOUSE_ENTERED;
    vcl::TControl *control = SkinData->OwnerControl();
    vcl::TMessage notice{entered ? vcl::CM_MOUSEENTER : vcl::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control), 0};
    PreprocessSkinnedMessage(notice, SkinData);
}

void TvlScrollWnd::ParentUpdateDone() {
    RedrawAfterParentUpdate(*SkinData, Handle,
                            RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TvlScrollWnd::BackgroundInfo(vcl::TMessage &Message) {
    PassOn(Message);
    auto *query = CommandRecord<TvlBgQuery>(Message);
    if (!query || query->Kind != bqNone) return;
    if (SkinData->CopyParentBackground(*query, 0)) Message.Result = 1;
}

bool TvlScrollWnd::IsHiddenUnnamedCombo() const {
    const auto *combo = dynamic_cast<const vcl::TComboBox *>(SkinData ? SkinData->OwnerControl() : nullptr);
    return combo && !combo->Visible() && combo->Name().empty();
}

bool TvlBaseWnd::OwnMessage(vcl::TMessage &Message) {
    if (Destroyed() || !Skinned()) return ScrollHandler(Message);
    switch (Message.Msg) {
    case ReflectedBase: Message.Result = 0; return true;
    case WM_SETCURSOR: PassOn(Message); return true;
    case WM_SIZE:
    case WM_EXITSIZEMOVE: SkinData->BGChanged = true; break;
    case SM_SKINCOMMAND:
        if (SubCommandOf(Message.WParam) == SC_SKIN_REFRESH &&
            reinterpret_cast<TsSkinManager *>(Message.LParam) == SkinManager) {
            const vcl::TGuarded alive(this);
            const bool handled = ScrollHandler(Message);
            if (alive && Visible(Handle)) SendMessageW(Handle, WM_NCPAINT, 1, 0);
            return handled;
        }
        if (SubCommandOf(Message.WParam) == SC_BUILD_CACHE) {
            const TvlAsker self(this);
            if (!PaintSkinnedControl(*SkinData, Handle, false, self) && self.Gone()) return true;
        }
        break;
    default: break;
    }
    if (Message.Msg == SM_SKINCOMMAND) return ScrollHandler(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (!alive) return true;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (!InScrollMessage) skin::RefreshScrollBars(*this, true);
        break;
    case WM_ENABLE:
    case vcl::CM_ENABLEDCHANGED:
        if (Visible(Handle)) SendMessageW(Handle, WM_NCPAINT, 1, 0);
        break;
    default: break;
    }
    return true;
}

void InstallScrollBars(TvlScrollWnd &Adapter, HWND Handle, bool Repaint) {
    Adapter.InScrollMessage = false;
    Adapter.Handle = Handle;
    for (TvlScrollBar *bar : {Adapter.HorzBar.get(), Adapter.VertBar.get()}) {
        bar->Adapter = &Adapter;
        bar->ScrollWidth = bar->ButtonsSize = -1;
        bar->MinThumb = 16;
        ReadInfo(*bar, Handle);
    }
    Adapter.LeftScrollBar = (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
    Adapter.HorzBar->State = (style & WS_HSCROLL) ? sbsPresent : 0;
    Adapter.VertBar->State = (style & WS_VSCROLL) ? sbsPresent : 0;
    Adapter.InCalcSize = false;
    if (Repaint) RefreshFrame(Handle, true);
}

void RefreshScrollBars(TvlScrollWnd &Adapter, bool Repaint) {
    if (!Adapter.SkinData || !Visible(Adapter.Handle) || Adapter.SkinData->UpdatePaintLock(false)) return;
    if (Repaint && !ModuleState().FormAnimationActive) {
        PaintNcScrollBars(Adapter, -1, nullptr);  // reads the scroll information of what it paints
        return;
    }
    ReadInfo(*Adapter.HorzBar, Adapter.Handle);
    ReadInfo(*Adapter.VertBar, Adapter.Handle);
}

} // namespace skin
