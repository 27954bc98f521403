#include "vlMDIClientWnd.h"

#include <algorithm>

#include "skin/forms/sFormBorder.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlDials.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

constexpr int EdgeWidth = 2;

bool ClientEdge(HWND Handle) { return (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

void Fill(HDC DC, const RECT &R, vcl::TColor Color) {
    const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(Color))));
    FillRect(DC, &R, brush.Get());
}

HWND FormWindow(const vcl::TCustomForm *Form) { return Form ? Form->WindowHandle() : nullptr; }

} // namespace

TvlMDIWnd::~TvlMDIWnd() {
    Provider = nullptr;
    FormData = nullptr;
    Form = nullptr;
}

vcl::TRect TvlMDIWnd::ClientRectangle() const {
    RECT w{};
    GetWindowRect(Handle, &w);
    return {0, 0, w.right - w.left, w.bottom - w.top};
}

vcl::TPoint TvlMDIWnd::OffsetInCache() const {
    RECT client{}, form{};
    GetWindowRect(Handle, &client);
    GetWindowRect(FormWindow(Form), &form);
    vcl::TPoint p{client.left - form.left, client.top - form.top};
    if (Provider && Provider->BorderForm) {
        // The image starts the shadow margin and the skin frame's excess further out.
        const vcl::TPoint offset = Provider->GetFrameOffset();
        p.X += offset.X;
        p.Y += offset.Y;
    }
    return p;
}

bool TvlMDIWnd::ChildMaximized() const {
    BOOL maximized = FALSE;
    const auto active = reinterpret_cast<HWND>(SendMessageW(Handle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return active && maximized;
}

bool TvlMDIWnd::FallBackToFormColor() const {
    const TsSkinManager *m = FormData->GetSkinManager();
    const int area = m ? m->FindSectionIndex("MDIAREA") : -1;
    return !FormData->CanUseCache() && area < 0;
}

bool TvlMDIWnd::PaintMDIBackground(HDC DC, bool NoEdge) {
    if (!Provider || !FormData || (Provider->StateFlags & pfHiddenByAnimation)) return true;
    const vcl::TRect r = ClientRectangle();
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    if (FallBackToFormColor()) {
        Fill(DC, rect, Provider->GetFormColor());
        return true;
    }
    if (!FormData->CacheBmp() || FormData->BGChanged) {
        // The render runs the form's own painting, which may free the
        // provider and this adapter with it.
        const vcl::TGuarded alive(this);
        Provider->RenderFrame();
        if (!alive) return false;
    }
    vcl::TBitmap *cache = FormData->CacheBmp();
    if (!cache) {
        Fill(DC, rect, Provider->GetFormColor());
        return true;
    }
    vcl::TPoint at = OffsetInCache();
    if (!NoEdge && ClientEdge(Handle)) at.X += EdgeWidth, at.Y += EdgeWidth;
    BitBlt(DC, 0, 0, r.Width(), r.Height(), cache->Canvas()->Handle(), at.X, at.Y, SRCCOPY);
    return true;
}

void TvlMDIWnd::PaintMDIEdge(HDC DC) {
    if (!Provider || !FormData || !FormData->CacheBmp()) return;
    const vcl::TRect r = ClientRectangle();
    const int w = ClientEdge(Handle) ? EdgeWidth : 0;
    if (FallBackToFormColor()) {
        if (w == 0) return;
        const vcl::TRegionHandle outer(CreateRectRgn(0, 0, r.Width(), r.Height()));
        const vcl::TRegionHandle inner(CreateRectRgn(w, w, r.Width() - w, r.Height() - w));
        CombineRgn(outer.Get(), outer.Get(), inner.Get(), RGN_DIFF);
        const vcl::TBrushHandle brush(CreateSolidBrush(static_cast<COLORREF>(vcl::ColorToRGB(Provider->GetFormColor()))));
        FillRgn(DC, outer.Get(), brush.Get());
        return;
    }
    const HDC src = FormData->CacheBmp()->Canvas()->Handle();
    const vcl::TPoint at = OffsetInCache();
    const int width = r.Width(), height = r.Height();
    BitBlt(DC, 0, 0, width, EdgeWidth, src, at.X, at.Y, SRCCOPY);
    BitBlt(DC, 0, height - EdgeWidth, width, EdgeWidth, src, at.X, at.Y + height - EdgeWidth, SRCCOPY);
    BitBlt(DC, 0, EdgeWidth, EdgeWidth, height - 2 * EdgeWidth, src, at.X, at.Y + EdgeWidth, SRCCOPY);
    BitBlt(DC, width - EdgeWidth, EdgeWidth, EdgeWidth, height - 2 * EdgeWidth, src, at.X + width - EdgeWidth,
           at.Y + EdgeWidth, SRCCOPY);
}

bool TvlMDIWnd::ClientSkinCommand(vcl::TMessage &Message) {
    switch (SubCommandOf(Message.WParam)) {
    case SC_NOTIFY_PARENT_PAINT:
        Message.Result = Form ? PerformSkinCommand(Form, SC_NOTIFY_PARENT_PAINT, Message.LParam) : 0;
        return true;
    case SC_GET_BG_INFO:
        Message.Result = FormWindow(Form) ? SendMessageW(FormWindow(Form), SM_SKINCOMMAND, Message.WParam, Message.LParam) : 0;
        return true;
    case SC_SCROLL_BEGIN: {
        const int code = LOWORD(Message.LParam);
        // The position comes whole; the client's scroll information is left as it is.
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
            EngineScroll = true;
            Message.Result = 1;
        }
        return true;
    }
    case SC_SCROLL_END:
        EngineScroll = false;
        // The engine sends this inside its scroll message (InScrollMessage
        // set), so not through RepaintBars: after a press that a capture
        // change cancelled, this is the only repaint the bar gets. A thumb
        // drag still paints itself (the bar's painter leaves it alone).
        if (!Destroyed()) skin::RefreshScrollBars(*this, true);
        return true;
    default: return false;
    }
}

void TvlMDIWnd::ThumbScroll(vcl::TMessage &Message) {
    const bool vertical = Message.Msg == WM_VSCROLL;
    const int bar = vertical ? SB_VERT : SB_HORZ;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(Handle, bar, &info);
    // The client's positions are pixels. Done here rather than by the
    // client: what a client reads of a thumb message differs between
    // systems, the distance it moves its children does not.
    const int target = std::clamp(static_cast<int>(Message.LParam), info.nMin, std::max(info.nMin, info.nMax));
    const int delta = info.nPos - target;
    SetScrollPos(Handle, bar, target, FALSE);
    if (delta != 0)
        ScrollWindowEx(Handle, vertical ? 0 : delta, vertical ? delta : 0, nullptr, nullptr, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
    Message.Result = 0;
}

void TvlMDIWnd::Arranged() {
    FormData->BGChanged = true;
    Provider->SetHotButton(0, false);
    BOOL maximized = FALSE;
    const auto active = reinterpret_cast<HWND>(SendMessageW(Handle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    if (active && maximized) {
        // The style's change runs the child's procedure, which may free the
        // parent's provider and this adapter with it.
        const vcl::TGuarded alive(this);
        SetWindowLongPtrW(active, GWL_STYLE, GetWindowLongPtrW(active, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_SYSMENU));
        if (!alive) return;
    }
    if (Provider->MDIHelper) Provider->MDIHelper->RefreshFrame();
    InvalidateRect(Handle, nullptr, TRUE);
    RedrawWindow(FormWindow(Form), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    if (Provider->SystemMenu) Provider->SystemMenu->UpdateItems(false);
}

bool TvlMDIWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg == SM_SKINCOMMAND && !Destroyed() && ClientSkinCommand(Message)) return true;
    if (Destroyed() || !Provider || !FormData || !Provider->Skinned()) {
        return TvlBaseWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    const bool animating = ModuleState().FormAnimationActive;
    switch (Message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
        // The children move once, when the thumb is let go.
        if (LOWORD(Message.WParam) == SB_THUMBTRACK) {
            Message.Result = 0;
            return true;
        }
        if (LOWORD(Message.WParam) == SB_THUMBPOSITION && EngineScroll) {
            ThumbScroll(Message);
            return true;
        }
        // Only thumb codes carry a position. A client that reads the whole
        // word as the code (Wine's) takes an end of scroll with the engine's
        // position in it for an unknown code and scrolls back to the top.
        if (LOWORD(Message.WParam) != SB_THUMBPOSITION) Message.WParam = LOWORD(Message.WParam);
        break;
    case WM_MDICREATE:
        PassOn(Message);
        if (Message.Result) AttachSkinToWindow(reinterpret_cast<HWND>(Message.Result));
        return true;
    case WM_MDITILE:
    case WM_MDICASCADE:
        PassOn(Message);
        if (alive) Arranged();
        return true;
    case WM_MDISETMENU:
        // Setting the frame's menu moves and sizes the form: its procedure
        // may free the provider, and this adapter with it.
        PassOn(Message);
        if (!alive) return true;
        FormData->BGChanged = true;
        Provider->MenuLineCount = -1;
        Provider->SetHotButton(0, false);
        return true;
    case WM_PRINT: {
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        if (!dc) break;
        Message.Result = 0;
        if (Provider->BorderForm || ChildMaximized()) return true;
        const vcl::TSavedDC saved(dc);
        if (PaintMDIBackground(dc, true)) PaintNcScrollBars(*this, -1, dc);
        return true;
    }
    case WM_NCPAINT: {
        Message.Result = 0;
        if (animating) return true;
        const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
        PaintMDIEdge(dc.Get());
        PaintNcScrollBars(*this, -1, dc.Get());
        return true;
    }
    case WM_ERASEBKGND:
        if (!Message.WParam) break;
        Message.Result = 1;
        if (!animating && !ChildMaximized()) PaintMDIBackground(reinterpret_cast<HDC>(Message.WParam), false);
        return true;
    case WM_PAINT:
        if (animating) {
            // Left for the end of the animation; validated so that it does not come back at once.
            ValidateRect(Handle, nullptr);
            Message.Result = 0;
            return true;
        }
        break;
    case WM_WINDOWPOSCHANGING: FormData->BGChanged = true; break;
    default: break;
    }
    if (Message.Msg == SM_SKINCOMMAND) return TvlBaseWnd::OwnMessage(Message);
    PassOnUnless(TvlBaseWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed()) return true;
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: RedrawWindow(FormWindow(Form), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME); break;
    case 0x3F:
    case WM_PARENTNOTIFY: {
        const LONG_PTR style = GetWindowLongPtrW(Handle, GWL_STYLE);
        HorzBar->State = (style & WS_HSCROLL) ? sbsPresent : 0;
        VertBar->State = (style & WS_VSCROLL) ? sbsPresent : 0;
        RepaintBars();
        break;
    }
    case WM_MDIREFRESHMENU: Provider->RepaintFrameNow(); break;
    default: break;
    }
    return true;
}

} // namespace skin
