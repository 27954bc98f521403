#include "vlStaticWnd.h"

#include <algorithm>
#include <cstdint>

#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlSBPaint.h"
#include "vlStaticLayout.h"

namespace skin {

namespace {

constexpr UINT RedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;  // 0x105
constexpr UINT StaticTextFlags =
    DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP | DT_NOCLIP | DT_EXTERNALLEADING | DT_NOPREFIX;  // 0xBD0

bool Visible(HWND Window) { return IsWindowVisible(Window) != FALSE; }

LONG_PTR StyleOf(HWND Window) { return GetWindowLongPtrW(Window, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND Window) { return GetWindowLongPtrW(Window, GWL_EXSTYLE); }

// The section's font colour in the normal state; the system's text colour
// without a section.
vcl::TColor SectionFontColor(const TsCommonData &Data) {
    const TsSkinManager *m = Data.GetSkinManager();
    if (!m || !m->IsValidSectionIndex(Data.SkinIndex())) return static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOWTEXT));
    return m->Sections[static_cast<std::size_t>(Data.SkinIndex())].Props[0].FontColor;
}

bool Destroying(const vcl::TComponent *C) { return C && C->ComponentState().Contains(vcl::csDestroying); }
bool ParentCreating(const vcl::TControl *C) {
    return C && C->Parent() && C->Parent()->ControlState().Contains(vcl::csCreating);
}

// Some pixel of a 32-bit image has alpha: a bitmap made compatible with a
// true-colour screen has none at all and is meant to be opaque.
bool HasAlpha(vcl::TBitmap &Image) {
    for (int y = 0; y < Image.Height(); ++y) {
        const auto *row = static_cast<const std::uint8_t *>(Image.ScanLine(y));
        for (int x = 0; x < Image.Width(); ++x)
            if (row[x * 4 + 3] != 0) return true;
    }
    return false;
}

} // namespace

// ------------------------------------------------------ shared painting

void PaintThroughErase(HWND Window) {
    InvalidateRect(Window, nullptr, TRUE);
    PAINTSTRUCT ps{};
    BeginPaint(Window, &ps);
    EndPaint(Window, &ps);
}

bool RouteErasePaint(vcl::TMessage &Message, TvlMainWnd &Adapter, const TvlErasePainters &Paint) {
    const auto dc = reinterpret_cast<HDC>(Message.WParam);
    // The client's picture holds the children's paints, the application's:
    // they may free the adapter.
    const vcl::TGuarded alive(&Adapter);
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        Paint.Client(dc);
        Message.Result = 1;
        return true;
    case WM_PAINT: PaintThroughErase(Adapter.Handle); break;
    case WM_NCPAINT: Paint.Frame(nullptr); break;
    case WM_PRINT:
        if (!Paint.PrintsFrame) {
            Paint.Client(dc);
            break;
        }
        {
            Adapter.SkinData->BGChanged = true;
            const int b = Paint.ClientOrigin ? 0 : FrameWidthOf(Adapter.Handle);
            const vcl::TPoint origin = Paint.ClientOrigin ? Paint.ClientOrigin() : vcl::TPoint{b, b};
            const int saved = SaveDC(dc);
            // Moved from where the DC's origin stands: a form's picture
            // prints its controls at their places in it.
            OffsetViewportOrgEx(dc, origin.X, origin.Y, nullptr);
            Paint.Client(dc);
            RestoreDC(dc, saved);
        }
        if (alive) Paint.Frame(dc);
        break;
    default: return false;
    }
    Message.Result = 0;
    return true;
}

int FrameWidthOf(HWND Window) {
    RECT w{}, c{};
    GetWindowRect(Window, &w);
    GetClientRect(Window, &c);
    return std::max(0, static_cast<int>((w.right - w.left) - c.right) / 2);
}

void CopyCacheBorder(TsCommonData &Data, HDC DC, int Width, int Height, int B) {
    vcl::TBitmap *cache = Data.CacheBmp();
    if (!cache || !DC || B <= 0) return;
    CopyBorderStrips(DC, 0, 0, std::min(Width, cache->Width()), std::min(Height, cache->Height()),
                     cache->Canvas()->Handle(), 0, 0, B);
}

bool SectionSeesThrough(const TsCommonData &Data) {
    const TsSkinManager *m = Data.GetSkinManager();
    return m && m->IsValidSectionIndex(Data.SkinIndex()) &&
           m->Sections[static_cast<std::size_t>(Data.SkinIndex())].Props[0].Transparency != 0;
}

bool EmptyClip(HDC DC) {
    RECT r{};
    return GetClipBox(DC, &r) == NULLREGION;
}

void PaintContainerClient(TvlMainWnd &Adapter, HDC DC, int Frame, const std::function<bool()> &Rebuild,
                          bool ByLastPass) {
    TsCommonData &data = *Adapter.SkinData;
    auto *control = dynamic_cast<vcl::TWinControl *>(data.OwnerControl());
    // A parent in the middle of an update has no background ready: the
    // lock taken here has its update-done paint this one again.
    if (Destroying(control) || ParentCreating(control) || !DC || data.UpdatePaintLock(false)) return;
    RefreshGeometry(Adapter);
    RECT clip{};
    GetClipBox(DC, &clip);
    RECT client{};
    GetClientRect(Adapter.Handle, &client);
    const bool leftOut = data.PartialPaint;
    data.PartialPaint = data.UsesParentBackground() &&
                        (clip.right - clip.left != client.right || clip.bottom - clip.top != client.bottom);
    const bool rebuild = data.BGChanged || (ByLastPass ? leftOut : data.PartialPaint);
    if (rebuild && !Rebuild()) return;
    const vcl::TRect r{0, 0, client.right, client.bottom};
    if (control) {
        CopyCacheToDC(control, data, {Frame, Frame}, r, DC, false, 0, 0);
        // The children's paints are the application's: they may free the
        // control or the adapter.
        const vcl::TGuarded owner(control);
        PaintChildControls(DC, control, !ByLastPass || rebuild, {0, 0});
        if (owner) PassUpdateDoneToChildren(control);
    } else {
        // The client part as for a control: the whole picture at the DC's
        // origin would put the frame band into the client area. Child
        // windows wait for this picture as a control's children do.
        CopyCacheToWindowDC(Adapter.Handle, data, {Frame, Frame}, r, DC, false, 0, 0);
        PassUpdateDoneToChildWindows(Adapter.Handle);
    }
}

// ------------------------------------------------------------ the static

void TvlStaticWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("TRANSPARENT");
    TvlMainWnd::SetDefaultSection();
}

bool TvlStaticWnd::BuildStaticCache() {
    SkinData->BGChanged = true;
    SkinData->PrepareCache();
    SkinData->CacheBmp()->SetSize(WndSize.cx, WndSize.cy);
    if (!PaintSkinnedControl(*SkinData, Handle, false, TvlAsker(this))) return false;
    // A static with nothing to show (an icon static without an icon) still
    // shows what lies behind it: the erase was swallowed.
    DrawContent();
    return true;
}

void TvlStaticWnd::PaintStatic(HDC DC) {
    RefreshGeometry(*this);
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    const HDC target = DC ? DC : own.Get();
    if (!target) return;
    const int saved = SaveDC(target);
    // Our class library reads left to right: a mirrored DC is put straight.
    if (GetLayout(target) & LAYOUT_RTL) SetLayout(target, 0);
    if (BuildStaticCache()) {
        vcl::TBitmap &cache = *SkinData->CacheBmp();
        BitBlt(target, 0, 0, cache.Width(), cache.Height(), cache.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    RestoreDC(target, saved);
}

bool TvlStaticWnd::DrawContent() {
    if (WindowText.empty()) return true;
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    canvas.Brush()->SetStyle(vcl::bsClear);
    SelectAdapterFont(*this);
    canvas.Font()->SetColor(SectionFontColor(*SkinData));
    UINT flags = StaticTextFlags;
    if (ExStyleOf(Handle) & WS_EX_RIGHT) flags |= DT_RIGHT;
    // The class library keeps no application-wide reading order: the
    // window's own style says it reads right to left.
    if (ExStyleOf(Handle) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    DrawTextOnCanvas(canvas, WindowText, {0, 0, WndSize.cx, WndSize.cy}, flags);
    return true;
}

void TvlStaticWnd::PassOnAndRedraw(vcl::TMessage &Message) {
    SkinData->BGChanged = true;
    const vcl::TGuarded alive(this);
    PassOn(Message);
    if (!alive || !IsWindow(Handle)) return;
    RedrawWindow(Handle, nullptr, nullptr, RedrawNow);
}

bool TvlStaticWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving() || (StyleOf(Handle) & WS_TABSTOP) || (ExStyleOf(Handle) & WS_EX_STATICEDGE)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        const HWND window = Handle;
        const vcl::TGuarded alive(this);
        BeginPaint(window, &ps);
        if (alive && Visible(window)) PaintStatic(nullptr);
        EndPaint(window, &ps);
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        if (!Visible(Handle)) break;
        Message.Result = 1;
        return true;
    case WM_NCPAINT: Message.Result = 0; return true;
    case WM_PRINT:
        PaintStatic(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_MOVE:
    case WM_ENABLE:
        if (!Visible(Handle)) break;
        PassOnAndRedraw(Message);
        return true;
    case WM_SETTEXT: {
        if (!Visible(Handle)) break;
        const vcl::TGuarded alive(this);
        SetWindowRedraw(Handle, false);
        PassOn(Message);
        if (!alive || !IsWindow(Handle)) return true;
        WindowText = ReadWindowText(Handle);
        SkinData->BGChanged = true;
        SetWindowRedraw(Handle, true);
        RedrawWindow(Handle, nullptr, nullptr, RedrawNow);
        return true;
    }
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

// -------------------------------------------------------------- the edge

bool TvlEdgeWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving() || (StyleOf(Handle) & WS_TABSTOP) || (ExStyleOf(Handle) & WS_EX_STATICEDGE)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_PAINT: {
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (!alive || !IsWindow(Handle)) return true;
        PaintStatic(nullptr);
        return true;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT: Message.Result = 1; return true;
    default: return TvlStaticWnd::OwnMessage(Message);
    }
}

void TvlEdgeWnd::PaintStatic(HDC DC) {
    RefreshGeometry(*this);
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    const HDC target = DC ? DC : own.Get();
    if (!target) return;
    SkinData->BGChanged = true;
    SkinData->PrepareCache();
    SkinData->CacheBmp()->SetSize(WndSize.cx, WndSize.cy);
    if (!PaintSkinnedControl(*SkinData, Handle, false, TvlAsker(this))) return;
    DrawContent();
    CopyCacheBorder(*SkinData, target, WndSize.cx, WndSize.cy, 2);
}

// -------------------------------------------------------------- the icon

TvlIconWnd::~TvlIconWnd() { ReleaseWindow(); }

void TvlIconWnd::SetDefaultSection() {
    IsBitmap = (StyleOf(Handle) & 3) != SS_ICON;
    Image.reset();
    TvlStaticWnd::SetDefaultSection();
}

bool TvlIconWnd::OwnMessage(vcl::TMessage &Message) {
    if (Message.Msg == STM_SETIMAGE && SkinData) {
        // A new picture: the copy of the old one must not show any more.
        Image.reset();
        PassOnAndRedraw(Message);
        return true;
    }
    return TvlStaticWnd::OwnMessage(Message);
}

bool TvlIconWnd::DrawContent() {
    vcl::TBitmap &cache = *SkinData->CacheBmp();
    if (!IsBitmap) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(Handle, STM_GETICON, 0, 0));
        if (!icon) return false;
        DrawIconEx(cache.Canvas()->Handle(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        return true;
    }
    if (!Image) {
        const auto source = reinterpret_cast<HBITMAP>(SendMessageW(Handle, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (!source) return false;
        // The application keeps its bitmap: the adapter draws (and frees) a copy.
        const auto copy = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!copy) return false;
        Image = std::make_unique<vcl::TBitmap>();
        Image->SetHandle(copy);
    }
    if (Image->Empty()) return false;
    if (Image->PixelFormat() == vcl::pf32bit && HasAlpha(*Image)) {
        DrawBitmapAlpha(*cache.Canvas(), *Image, {0, 0, Image->Width(), Image->Height()}, false);
    } else {
        BitBlt(cache.Canvas()->Handle(), 0, 0, std::min(Image->Width(), WndSize.cx),
               std::min(Image->Height(), WndSize.cy), Image->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    return true;
}

// -------------------------------------------------------------- the link

bool TvlLinkWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData || !Serving() || (ExStyleOf(Handle) & WS_EX_STATICEDGE)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (!Visible(Handle)) return TvlStaticWnd::OwnMessage(Message);
        PaintStatic(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 1;
        return true;
    case WM_PAINT: {
        // The picture comes with WM_ERASEBKGND.
        PAINTSTRUCT ps{};
        const HWND window = Handle;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        Message.Result = 0;
        return true;
    }
    case WM_MOVE: PassOnAndRedraw(Message); return true;
    case WM_SETTEXT: {
        const vcl::TGuarded alive(this);
        PassOn(Message);
        if (!alive || !IsWindow(Handle)) return true;
        WindowText = ReadWindowText(Handle);
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RedrawNow);
        return true;
    }
    case WM_NCPAINT: Message.Result = 0; return true;
    default: return TvlStaticWnd::OwnMessage(Message);
    }
}

bool TvlLinkWnd::DrawContent() {
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    canvas.Brush()->SetStyle(vcl::bsClear);
    SelectAdapterFont(*this);
    canvas.Font()->SetStyle(canvas.Font()->Style() + vcl::TFontStyles{vcl::fsUnderline});
    canvas.Font()->SetColor(SectionFontColor(*SkinData));
    DrawTextOnCanvas(canvas, StripLinkTags(WindowText), {0, 0, WndSize.cx + 4, WndSize.cy},
                     DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
    return true;
}

// ------------------------------------------------------- the static text

TvlStaticTextWnd::~TvlStaticTextWnd() { ReleaseWindow(); }

void TvlStaticTextWnd::SetDefaultSection() {
    vcl::TControl *control = SkinData ? SkinData->OwnerControl() : nullptr;
    StaticText = vcl::TGuarded<vcl::TWinControl>(dynamic_cast<vcl::TWinControl *>(control));
    if (control) {
        const bool hot = SkinData->PaintLocked;
        SkinData->PaintLocked = true;
        if (SkinData->SkinSection().empty())
            SkinData->SetSkinSection(StaticTextSection(static_cast<int>(GetIntProp(control, "BevelKind")),
                                                       static_cast<int>(GetIntProp(control, "BevelOuter")),
                                                       static_cast<int>(GetIntProp(control, "BevelInner"))));
        SkinData->PaintLocked = hot;
    }
    TvlMainWnd::SetDefaultSection();
}

bool TvlStaticTextWnd::BuildCache() {
    RefreshGeometry(*this);
    TsCommonData &data = *SkinData;
    data.PrepareCache();
    TvlBgInfo bg;
    if (!data.FillBackgroundInfo(bg, TvlAsker(this))) return false;
    if (!bg.UseBmp && bg.Color == vcl::clFuchsia) {
        data.PaintLocked = true;
        return false;
    }
    vcl::TBitmap &cache = *data.CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    vcl::TCanvas &canvas = *cache.Canvas();
    const vcl::TRect whole{0, 0, WndSize.cx, WndSize.cy};
    if (data.CustomColor() && StaticText) {
        canvas.Brush()->SetStyle(vcl::bsSolid);
        canvas.Brush()->SetColor(StaticText->Color());
        canvas.FillRect(whole);
    } else {
        PaintControlSkin(data, bg, 0, whole, PosInParent, cache, true);
    }
    UINT flags = DT_CENTER | DT_VCENTER;
    if (StaticText) {
        canvas.SetFont(StaticText->Font());
        static constexpr UINT Aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        const auto align = static_cast<std::size_t>(std::clamp<std::int64_t>(GetIntProp(StaticText.Get(), "Alignment"), 0, 2));
        // No bidirectional adjustment: the class library's controls keep no
        // reading order of their own.
        flags = Aligns[align] | DT_VCENTER | DT_EXPANDTABS | DT_WORDBREAK;
    } else {
        SelectAdapterFont(*this);
    }
    canvas.Brush()->SetStyle(vcl::bsClear);
    // The text goes into the client area, which the frame surrounds.
    const int b = FrameWidthOf(Handle);
    RECT client{};
    GetClientRect(Handle, &client);
    const vcl::TRect r{b, b, b + client.right, b + client.bottom};
    const bool enabled = StaticText ? StaticText->Enabled() : IsWindowEnabled(Handle) != FALSE;
    WriteTextForControl(canvas, WindowText, enabled, r, flags, data, 0);
    data.BGChanged = false;
    return true;
}

void TvlStaticTextWnd::PaintFrame(HDC DC) {
    // A build put off has set the paint lock already.
    if (SkinData->UpdatePaintLock(false) || !BuildCache()) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    CopyCacheBorder(*SkinData, DC ? DC : own.Get(), WndSize.cx, WndSize.cy, FrameWidthOf(Handle));
}

void TvlStaticTextWnd::PaintClient(HDC DC) {
    PaintContainerClient(*this, DC, FrameWidthOf(Handle), [this] { return BuildCache(); });
}

bool TvlStaticTextWnd::SkinCommand(vcl::TMessage &Message) {
    switch (SubCommandOf(Message.WParam)) {
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_BUILD_CACHE:
        // Gone with the parent's answer: nothing of it follows.
        if (const TvlAsker self(this); !BuildCache() && self.Gone()) return true;
        return false;  // the base's answer follows
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    case SC_SKIN_REMOVED:
        SkinData->SetSkinIndex(-1);
        if (StaticText) StaticText->SetControlStyle(StaticText->ControlStyle() - vcl::TControlStyle{vcl::csOpaque});
        return false;  // the base's removal follows
    default: return false;  // SC_SKIN_APPLIED and SC_SKIN_REFRESH: the base tells the children
    }
}

bool TvlStaticTextWnd::OwnMessage(vcl::TMessage &Message) {
    if (!SkinData) {
        return TvlMainWnd::OwnMessage(Message);
    }
    if (Message.Msg == SM_SKINCOMMAND && StaticText && SkinCommand(Message)) return true;
    // The base's removal, the common one and the previous procedure follow
    // the own step: the manager is off already while it tells its windows.
    if (IsOwnRemoval(Message)) return BaseRemoval(Message);
    if (!SkinData->IsSkinned(false) || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    if (RouteErasePaint(Message, *this,
                        {vcl::TMethod<void(HDC)>::Bind<&TvlStaticTextWnd::PaintClient>(this),
                         vcl::TMethod<void(HDC)>::Bind<&TvlStaticTextWnd::PaintFrame>(this)}))
        return true;
    const vcl::TGuarded alive(this);
    const auto gone = [&] { return !alive || Destroyed() || !IsWindow(Handle); };
    switch (Message.Msg) {
    case vcl::CM_ENABLEDCHANGED:
        SetWindowRedraw(Handle, false);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (gone()) return true;
        SetWindowRedraw(Handle, true);
        SkinData->BGChanged = true;
        InvalidateRect(Handle, nullptr, TRUE);
        return true;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) != WM_CREATE && LOWORD(Message.WParam) != WM_DESTROY) break;
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!gone() && LOWORD(Message.WParam) == WM_CREATE && StaticText) NotifyFormOfControl(StaticText.Get());
        return true;
    case vcl::CM_TEXTCHANGED: SkinData->BGChanged = true; break;
    case vcl::CM_SHOWINGCHANGED:
        if (StaticText && StaticText->Visible()) {
            // The form's repaint and the children's answers run the
            // application's code, which may free this adapter.
            NotifyFormOfControl(StaticText.Get());
            for (const unsigned sub : {SC_SKIN_APPLIED, SC_SKIN_REFRESH}) {
                if (gone()) return true;
                PassToChildren(StaticText.Get(), Handle,
                               {SM_SKINCOMMAND, static_cast<WPARAM>(sub) << 16, reinterpret_cast<LPARAM>(SkinManager), 0});
            }
            if (gone()) return true;
        }
        break;
    case WM_UPDATEUISTATE: Message.Result = 1; return true;
    case WM_SETTEXT:
        SetWindowRedraw(Handle, false);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (gone()) return true;
        WindowText = ReadWindowText(Handle);
        SetWindowRedraw(Handle, true);
        SkinData->BGChanged = true;
        SendMessageW(Handle, WM_PAINT, 0, 0);
        return true;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (SectionSeesThrough(*SkinData)) SkinData->BGChanged = true;
        break;
    default: break;
    }
    if (Message.Msg != WM_WINDOWPOSCHANGING) return TvlMainWnd::OwnMessage(Message);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (!gone()) SendMessageW(Handle, WM_NCPAINT, 0, 0);
    return true;
}

} // namespace skin
