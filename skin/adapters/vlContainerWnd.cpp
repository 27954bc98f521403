#include "vlContainerWnd.h"

#include <algorithm>
#include <cwctype>

#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinGlyphs.h"
#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlSBPaint.h"
#include "vlScrollBars.h"
#include "vlStaticWnd.h"

namespace skin {

namespace {

constexpr UINT FrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;  // 0x227

bool Visible(HWND Window) { return IsWindowVisible(Window) != FALSE; }

void DefaultSection(TsCommonData *Data, const char *Name) {
    if (Data && Data->SkinSection().empty()) Data->SetSkinSection(Name);
}

vcl::TRect ClientOf(HWND Window) {
    RECT r{};
    GetClientRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

vcl::TMessage SkinCommandMessage(unsigned Sub, const TsSkinManager *Manager) {
    return {SM_SKINCOMMAND, static_cast<WPARAM>(Sub) << 16, reinterpret_cast<LPARAM>(Manager), 0};
}

// The window's class is Name, in any case.
bool ClassIs(HWND Window, const wchar_t *Name) {
    wchar_t buffer[64]{};
    GetClassNameW(Window, buffer, 64);
    return lstrcmpiW(buffer, Name) == 0;
}

} // namespace

void ReportHover(HWND Window) {
    TsSkinManager *m = DefaultManager();
    if (!m || m->ComponentState().Contains(vcl::csDesigning) || !IsWindowEnabled(Window)) return;
    if (m->ActiveWindow != Window) m->SetActiveControl(Window);
}

// ------------------------------------------------------------ the sizer

void TvlSizerWnd::SetDefaultSection() {
    DefaultSection(SkinData, "CHECKBOX");
    TvlMainWnd::SetDefaultSection();
}

// The parent's background always, the grip over it when the skin has one:
// the erase is swallowed, so a grip left unpainted would show garbage.
void TvlSizerWnd::Paint() {
    RefreshGeometry(*this);
    PAINTSTRUCT ps{};
    // BeginPaint sends the frame and erase messages on, to the application too.
    const HWND window = Handle;
    const vcl::TGuarded alive(this);
    BeginPaint(window, &ps);
    if (!alive) {
        EndPaint(window, &ps);
        return;
    }
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    if (dc.Get() && WndSize.cx > 0 && WndSize.cy > 0) {
        const auto bmp = NewBitmap32(WndSize.cx, WndSize.cy);
        TvlBgQuery query;
        query.X = PosInParent.X;
        query.Y = PosInParent.Y;
        query.Rect = {0, 0, WndSize.cx, WndSize.cy};
        query.DC = bmp->Canvas()->Handle();
        if (!QueryParentBackgroundWnd(query, ParentHandle, true, TvlAsker(this))) {
            EndPaint(window, &ps);
            return;
        }
        const TsSkinManager *m = SkinData->GetSkinManager();
        if (m && m->IsValidMaskIndex(m->CommonElements.GripImage)) {
            const TsMaskData &grip = m->Masks[static_cast<std::size_t>(m->CommonElements.GripImage)];
            TvlBgInfo bg;
            InitBgInfo(bmp.get(), 0, 0, bg);
            const vcl::TPoint at{std::max(0, WndSize.cx - GetMaskFrameWidth(grip)),
                                 std::max(0, WndSize.cy - GetMaskFrameHeight(grip))};
            DrawSkinGlyph(*bmp, at, 0, 1, grip, bg);
        }
        BitBlt(dc.Get(), 0, 0, WndSize.cx, WndSize.cy, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    EndPaint(Handle, &ps);
}

bool TvlSizerWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT: Paint(); Message.Result = 0; return true;
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 1; return true;
    case WM_NCHITTEST: {
        const vcl::TGuarded alive(this);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!alive) return true;
        if (IsWindowEnabled(Handle))
            if (TsSkinManager *m = DefaultManager()) m->SetActiveControl(nullptr);
        Message.Result = HTBOTTOMRIGHT;
        return true;
    }
    default: return TvlMainWnd::OwnMessage(Message);
    }
}

// -------------------------------------------------------- the dialog pane

void TvlTransPanelWnd::SetDefaultSection() {
    DefaultSection(SkinData, "CHECKBOX");
    TvlMainWnd::SetDefaultSection();
}

void TvlTransPanelWnd::PaintPane(HDC DC) {
    RefreshGeometry(*this);
    SkinData->BGChanged = true;
    if (!PaintSkinnedControl(*SkinData, Handle, false, TvlAsker(this))) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    const HDC target = DC ? DC : own.Get();
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (target && cache)
        BitBlt(target, 0, 0, WndSize.cx, WndSize.cy, cache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

bool TvlTransPanelWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        const HWND window = Handle;
        const vcl::TGuarded alive(this);
        BeginPaint(window, &ps);
        if (alive) PaintPane(reinterpret_cast<HDC>(Message.WParam));
        EndPaint(window, &ps);
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        PaintPane(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return true;
    case WM_NCPAINT: Message.Result = 0; return true;
    default: return TvlMainWnd::OwnMessage(Message);
    }
}

// ---------------------------------------------------------- the container

void TvlContainerWnd::SetDefaultSection() {
    DefaultSection(SkinData, "CHECKBOX");
    TvlMainWnd::SetDefaultSection();
}

bool TvlContainerWnd::PaintsOwnClient() const { return ClassIs(Handle, L"msctls_progress32"); }

bool TvlContainerWnd::Prepare() {
    RefreshGeometry(*this);
    if (!SkinData->BGChanged) return true;
    ClientRectangle = ClientOf(Handle);
    // A build put off keeps the old cache for now.
    if (const TvlAsker self(this); !PaintSkinnedControl(*SkinData, Handle, false, self)) return !self.Gone();
    if (!PaintMaskBorder(*SkinData, 0, *this)) return false;
    FrameWidth = std::max(0, (WndSize.cy - ClientRectangle.Height()) / 2);
    SkinData->BGChanged = false;
    return true;
}

void TvlContainerWnd::PaintClient(HDC DC) {
    if (!DC) return;
    SkinData->BGChanged = true;
    if (!Prepare()) return;
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (!cache || cache->Empty()) return;
    const int f = FrameWidth;
    const int w = std::min(ClientRectangle.Width(), cache->Width() - f);
    const int h = std::min(ClientRectangle.Height(), cache->Height() - f);
    for (int y = f; y < f + h; ++y) {
        auto *row = static_cast<std::uint8_t *>(cache->ScanLine(y));
        for (int x = f; x < f + w; ++x) row[x * 4 + 3] = 255;
    }
    BitBlt(DC, 0, 0, w, h, cache->Canvas()->Handle(), f, f, SRCCOPY);
}

void TvlContainerWnd::NcPaint(vcl::TMessage &Message) {
    Message.Result = 0;
    if (FrameWidthOf(Handle) <= 0 || SkinData->PaintLocked || !Prepare()) return;
    const int b = std::max(0, (WndSize.cx - ClientRectangle.Width()) / 2);
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    CopyCacheBorder(*SkinData, dc.Get(), WndSize.cx, WndSize.cy, b);
}

bool TvlContainerWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const bool visible = Visible(Handle);
    const bool ownClient = PaintsOwnClient();
    switch (Message.Msg) {
    case WM_NCPAINT:
        if (!visible) break;
        NcPaint(Message);
        return true;
    case WM_PAINT: {
        if (!visible) break;
        if (ownClient) {
            PassOn(Message);
            return true;
        }
        PAINTSTRUCT ps{};
        const HWND window = Handle;
        const vcl::TGuarded alive(this);
        const HDC dc = BeginPaint(window, &ps);
        if (alive && !SkinData->PaintLocked) PaintClient(dc);
        EndPaint(window, &ps);
        Message.Result = 0;
        return true;
    }
    case WM_PRINT: {
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        if (ownClient) {
            // The bar's own client part, then the skinned frame over it.
            const vcl::TGuarded alive(this);
            Message.LParam &= ~static_cast<LPARAM>(PRF_NONCLIENT);
            PassOn(Message);
            if (!alive) return true;
            SkinData->BGChanged = true;
            if (!Prepare()) return true;
            const int b = std::max(0, (WndSize.cx - ClientRectangle.Width()) / 2);
            CopyCacheBorder(*SkinData, dc, WndSize.cx, WndSize.cy, b);
            return true;
        }
        PaintClient(dc);
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        if (ownClient) break;
        Message.Result = 1;
        return true;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: SkinData->BGChanged = true; break;
    default: break;
    }
    const UINT msg = Message.Msg;
    if (msg == SM_SKINCOMMAND) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!alive || Destroyed() || !IsWindow(Handle)) return true;
    switch (msg) {
    case WM_SIZE: SkinData->BGChanged = true; break;
    case WM_WINDOWPOSCHANGED: SendMessageW(Handle, WM_NCPAINT, 0, 0); break;
    case WM_MOUSEMOVE: ReportHover(Handle); break;
    default: break;
    }
    return true;
}

// --------------------------------------------------------- the search box

void TvlSearchWnd::SetDefaultSection() {
    DefaultSection(SkinData, "CHECKBOX");
    TvlMainWnd::SetDefaultSection();
}

void TvlSearchWnd::PaintFrame() {
    if (SkinData->PaintLocked) return;
    RefreshGeometry(*this);
    if (SkinData->BGChanged) {
        ClientRectangle = ClientOf(Handle);
        if (!PaintSkinnedControl(*SkinData, Handle, false, TvlAsker(this))) return;
        if (!PaintMaskBorder(*SkinData, 0, *this)) return;
        SkinData->BGChanged = false;
    }
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    CopyCacheBorder(*SkinData, dc.Get(), WndSize.cx, WndSize.cy, 3);
}

bool TvlSearchWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    const auto gone = [&] { return !alive || Destroyed() || !IsWindow(Handle); };
    switch (Message.Msg) {
    case WM_PAINT:
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!gone()) PaintFrame();
        return true;
    case WM_NCPAINT:
        PaintFrame();
        Message.Result = 0;
        return true;
    case WM_ERASEBKGND: Message.Result = 1; return true;
    default: break;
    }
    const UINT msg = Message.Msg;
    if (msg == SM_SKINCOMMAND) return TvlMainWnd::OwnMessage(Message);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (gone()) return true;
    if (msg == WM_SIZE) {
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else if (msg == WM_MOUSEMOVE) {
        ReportHover(Handle);
    }
    return true;
}

// --------------------------------------------------------- the scroll box

TvlScrollBoxWnd::~TvlScrollBoxWnd() { ReleaseScrollWindow(); }

void TvlScrollBoxWnd::SetDefaultSection() {
    DefaultSection(SkinData, "PANEL_LOW");
    TvlScrollWnd::SetDefaultSection();
}

bool TvlScrollBoxWnd::ServesContainer() const {
    const vcl::TControl *control = SkinData ? SkinData->OwnerControl() : nullptr;
    return control && control->ControlStyle().Contains(vcl::csAcceptsControls) && Skinned();
}

bool TvlScrollBoxWnd::RebuildCache() {
    RefreshGeometry(*this);
    SkinData->BGChanged = true;
    return PaintSkinnedControl(*SkinData, Handle, false, TvlAsker(this));
}

bool TvlScrollBoxWnd::FramePaintable() {
    if (!Visible(Handle) || InCalcSize) return false;
    skin::RefreshScrollBars(*this, false);
    // Deferred while the parent is in the middle of an update as well.
    if (ModuleState().FormAnimationActive || SkinData->UpdatePaintLock(false)) return false;
    const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
    return dc.Get() && (dc.Get() == SkinData->PrintDC || !EmptyClip(dc.Get()));
}

vcl::TPoint TvlScrollBoxWnd::ClientOrigin() { return {std::max(FrameLeft, 0), std::max(FrameTop, 0)}; }

void TvlScrollBoxWnd::PaintFrame(HDC DC) {
    if (!DC && !FramePaintable()) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    const HDC target = DC ? DC : own.Get();
    if (!target) return;
    if (SkinData->BGChanged || DC) {
        if (!ColorsApplied) ApplySkinColors();
        if (!RebuildCache()) return;
    }
    // The strips first: where the skin's section takes the system's frame
    // away, the bars reach the window's edge and the strips would cover them.
    // A print takes the screen's 2 px too: half the width difference would
    // take in half a bar.
    CopyCacheBorder(*SkinData, target, WndSize.cx, WndSize.cy, 2);
    PaintNcScrollBars(*this, -1, target);
}

void TvlScrollBoxWnd::PaintClient(HDC DC) {
    PaintContainerClient(*this, DC, 2, [this] { return RebuildCache(); });
}

bool TvlScrollBoxWnd::ScrollRoute(vcl::TMessage &Message) {
    if (Message.Msg != WM_WINDOWPOSCHANGING) return ScrollHandler(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(ScrollHandler(Message), Message);
    if (alive && !Destroyed() && IsWindow(Handle)) SendMessageW(Handle, WM_NCPAINT, 0, 0);
    return true;
}

bool TvlScrollBoxWnd::AfterCommonAnswer(vcl::TMessage &Message) {
    if (!TakeLeftCommand(Message)) return TvlScrollWnd::AfterCommonAnswer(Message);
    vcl::TControl *control = SkinData->OwnerControl();
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_REMOVED:
        // The common removal leaves the section index of a foreign manager's
        // removal alone: the box lets go of the skin all the same.
        SkinData->SetSkinIndex(-1);
        if (control) control->SetControlStyle(control->ControlStyle() - vcl::TControlStyle{vcl::csOpaque});
        if (IsWindow(Handle)) SetWindowPos(Handle, nullptr, 0, 0, 0, 0, FrameChanged);
        return true;
    case SC_SKIN_REFRESH: {
        // The scrolling handler tells the children of an applied skin, not of
        // a refresh.
        const vcl::TGuarded alive(this);
        PassToChildren(control, Handle, Message);
        if (alive && IsWindow(Handle)) SetWindowPos(Handle, nullptr, 0, 0, 0, 0, FrameChanged);
        return true;
    }
    default: return true;  // SC_SKIN_APPLIED: its children were told
    }
}

bool TvlScrollBoxWnd::ScrollBoxCommand(vcl::TMessage &Message) {
    const vcl::TGuarded alive(this);
    switch (SubCommandOf(Message.WParam)) {
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_BUILD_CACHE: return true;
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    case SC_SKIN_REMOVED: return LeaveToAfterCommon(Message);
    case SC_SKIN_APPLIED:
    case SC_SKIN_REFRESH:
        // The scrolling handler first; the common answer and the box's own
        // steps after it.
        ScrollHandler(Message);
        if (!alive || !IsWindow(Handle)) return true;
        return LeaveToAfterCommon(Message);
    default: return false;
    }
}

bool TvlScrollBoxWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || Destroyed()) {
        return TvlScrollWnd::OwnMessage(Message);
    }
    if (Message.Msg == SM_SKINCOMMAND)
        return ScrollBoxCommand(Message) || (!IsLeftToAfterCommon(Message) && ScrollHandler(Message));
    if (!ServesContainer() || !Serving()) {
        return TvlScrollWnd::OwnMessage(Message);
    }
    vcl::TControl *control = SkinData->OwnerControl();
    const vcl::TGuarded alive(this);
    const auto gone = [&] { return !alive || Destroyed() || !IsWindow(Handle); };
    TvlErasePainters painters{vcl::TMethod<void(HDC)>::Bind<&TvlScrollBoxWnd::PaintClient>(this),
                              vcl::TMethod<void(HDC)>::Bind<&TvlScrollBoxWnd::PaintFrame>(this)};
    painters.ClientOrigin = vcl::TMethod<vcl::TPoint()>::Bind<&TvlScrollBoxWnd::ClientOrigin>(this);
    if (RouteErasePaint(Message, *this, painters)) return true;
    switch (Message.Msg) {
    case WM_SIZE:
    case vcl::CM_TEXTCHANGED: SkinData->BGChanged = true; break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (SectionSeesThrough(*SkinData)) SkinData->BGChanged = true;
        break;
    case WM_SETTEXT:
        if (!Visible(Handle)) break;
        SetWindowRedraw(Handle, false);
        PassOnUnless(ScrollHandler(Message), Message);
        if (gone()) return true;
        SetWindowRedraw(Handle, true);
        SkinData->BGChanged = true;
        SendMessageW(Handle, WM_PAINT, 0, 0);
        return true;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) != WM_CREATE && LOWORD(Message.WParam) != WM_DESTROY) break;
        PassOnUnless(ScrollHandler(Message), Message);
        if (!gone() && LOWORD(Message.WParam) == WM_CREATE) NotifyFormOfControl(control);
        return true;
    case vcl::CM_SHOWINGCHANGED:
        if (control->Visible()) {
            // The form's repaint and the children's answers run the
            // application's code, which may free this adapter.
            NotifyFormOfControl(control);
            for (const unsigned sub : {SC_SKIN_APPLIED, SC_SKIN_REFRESH}) {
                if (gone()) return true;
                PassToChildren(control, Handle, SkinCommandMessage(sub, SkinManager));
            }
            if (gone()) return true;
        }
        break;
    case WM_UPDATEUISTATE: Message.Result = 1; return true;
    default: break;
    }
    return ScrollRoute(Message);
}

// ---------------------------------------------------------- native paint

void TvlNativePaint::SetDefaultSection() {
    DefaultSection(SkinData, "TRANSPARENT");
    TvlScrollBoxWnd::SetDefaultSection();
}

bool TvlNativePaint::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || Destroyed()) {
        return TvlScrollBoxWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND: PassOn(Message); return true;
    case WM_PRINT: {
        // The scroll box's picture, then the content over its client area
        // as it paints itself on the screen.
        const vcl::TGuarded alive(this);
        TvlScrollBoxWnd::OwnMessage(Message);
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        if (!alive || Destroyed() || !dc) return true;
        RECT client{};
        GetClientRect(Handle, &client);
        if (client.right <= 0 || client.bottom <= 0) return true;
        // Native controls clip their painting to their client rectangle as
        // the DC's origin makes it: the content paints into a picture of
        // its own at the origin, which goes to its place.
        const auto content = NewBitmap32(client.right, client.bottom);
        const HDC own = content->Canvas()->Handle();
        BitBlt(own, 0, 0, client.right, client.bottom, dc, ClientOrigin().X, ClientOrigin().Y, SRCCOPY);
        for (const UINT msg : {UINT{WM_ERASEBKGND}, UINT{WM_PAINT}}) {
            vcl::TMessage paint{msg, reinterpret_cast<WPARAM>(own), 0, 0};
            PassOn(paint);
            if (!alive || Destroyed()) return true;
        }
        BitBlt(dc, ClientOrigin().X, ClientOrigin().Y, client.right, client.bottom, own, 0, 0, SRCCOPY);
        Message.Result = 0;
        return true;
    }
    case SM_SKINCOMMAND:
        if (SubCommandOf(Message.WParam) != SC_BUILD_CACHE) break;
        {
            const vcl::TGuarded alive(this);
            PassOn(Message);
            if (!alive || !SkinData->BGChanged) return true;
            RefreshGeometry(*this);
            if (RebuildCache()) PaintMaskBorder(*SkinData, 0, *this);
        }
        return true;
    default: break;
    }
    return TvlScrollBoxWnd::OwnMessage(Message);
}

} // namespace skin
