#include "vlPanelWnd.h"

#include <algorithm>

#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlParentBackground.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlSkinText.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sManagerOptions.h"
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
#include "vlStaticWnd.h"

namespace skin {

namespace {


vcl::TMessage SkinCommandMessage(unsigned Sub, const TsSkinManager *Manager) {
    return {SM_SKINCOMMAND, static_cast<WPARAM>(Sub) << 16, reinterpret_cast<LPARAM>(Manager), 0};
}

int Prop(const vcl::TObject *Object, const char *Name) { return static_cast<int>(GetIntProp(Object, Name)); }

} // namespace

// ---------------------------------------------------------- the group box

void TvlGroupBoxWnd::SetDefaultSection() {
    if (SkinData && SkinData->SkinSection().empty()) SkinData->SetSkinSection("GROUPBOX");
    TvlMainWnd::SetDefaultSection();
}

vcl::TRect TvlGroupBoxWnd::CaptionRect() {
    RefreshGeometry(*this);
    SkinData->PrepareCache();
    SelectAdapterFont(*this);
    vcl::TSize text{};
    if (!WindowText.empty()) {
        vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
        canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
        vcl::TRect r{};
        DrawTextStr(canvas.Handle(), WindowText, r, DT_CALCRECT | DT_CENTER);
        text = {r.Width(), r.Height()};
    }
    const bool rtl = (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
    return GroupBoxCaptionRect(WndSize.cx, text.cx, text.cy, rtl);
}

bool TvlGroupBoxWnd::FillFromParent(const vcl::TRect &Rect) {
    TvlBgQuery query;
    if (!QueryParentBackgroundWnd(query, ParentHandle, false, TvlAsker(this))) return false;
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    if (query.Kind == bqImage && query.Image) {
        BitBlt(canvas.Handle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), query.Image->Canvas()->Handle(),
               PosInParent.X + query.X + Rect.Left, PosInParent.Y + query.Y + Rect.Top, SRCCOPY);
    } else {
        FillRectSolid(canvas.Handle(), Rect, query.Color == vcl::clFuchsia ? vcl::clBtnFace : query.Color);
    }
    return true;
}

bool TvlGroupBoxWnd::DrawCaption(const vcl::TRect &Rect) {
    if (!FillFromParent(Rect)) return false;
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    canvas.Brush()->SetStyle(vcl::bsClear);
    UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    WriteTextForControl(canvas, WindowText, IsWindowEnabled(Handle) != FALSE, Rect, flags, *SkinData, 0);
    return true;
}

bool TvlGroupBoxWnd::BuildCache() {
    RefreshGeometry(*this);
    TsCommonData &data = *SkinData;
    data.PrepareCache();
    vcl::TBitmap &cache = *data.CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    const vcl::TRect caption = CaptionRect();
    TvlBgQuery query;
    if (!QueryParentBackgroundWnd(query, ParentHandle, false, TvlAsker(this))) return false;
    if (!FillFromParent({0, 0, WndSize.cx, caption.Bottom})) return false;
    const int half = caption.Height() / 2;
    TvlBgInfo bg;
    BgQueryToBgInfo(query, bg);
    PaintControlSkin(data, bg, 0, {0, half, WndSize.cx, WndSize.cy}, {PosInParent.X, PosInParent.Y + half}, cache,
                     true);
    if (!WindowText.empty() && !DrawCaption(caption)) return false;
    data.BGChanged = false;
    return true;
}

void TvlGroupBoxWnd::PaintWindow(HDC DC) {
    RefreshGeometry(*this);
    if (SkinData->UpdatePaintLock(false)) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    const HDC target = DC ? DC : own.Get();
    if (!target || !BuildCache()) return;
    const int saved = SaveDC(target);
    if (KeepTheme) {
        const TsSkinManager *m = DefaultManager();
        const int mask = SkinData->BorderIndex();
        // A section without a border mask has no margins (and no mask to ask).
        const bool masked = m && mask >= 0;
        const int left = masked ? m->MaskLeftMargin(mask) : 0, right = masked ? m->MaskRightMargin(mask) : 0;
        const int bottom = masked ? m->MaskBottomMargin(mask) : 0;
        ExcludeClipRect(target, left, CaptionRect().Height(), WndSize.cx - right, WndSize.cy - bottom);
    }
    const vcl::TRect whole{0, 0, WndSize.cx, WndSize.cy};
    const HWND window = Handle;
    if (auto *control = dynamic_cast<vcl::TWinControl *>(SkinData->OwnerControl())) {
        CopyCacheToDC(control, *SkinData, {0, 0}, whole, target, false, 0, 0);
        // The children's paints are the application's: they may free the
        // adapter.
        PaintChildControls(target, control, true, {0, 0});
    } else {
        CopyCacheToWindowDC(Handle, *SkinData, {0, 0}, whole, target, false, 0, 0);
    }
    RestoreDC(target, saved);
    PassUpdateDoneToChildWindows(window);
}

bool TvlGroupBoxWnd::OwnMessage(vcl::TMessage &Message) {
    if (SkinData && Message.Msg == SM_SKINCOMMAND && SubCommandOf(Message.WParam) == SC_SKIN_REMOVED) {
        if (vcl::TControl *control = SkinData->OwnerControl())
            control->SetControlStyle(control->ControlStyle() - vcl::TControlStyle{vcl::csOpaque});
        if (IsOwnRemoval(Message)) return BaseRemoval(Message);
    }
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    const auto gone = [&] { return !alive || Destroyed() || !IsWindow(Handle); };
    vcl::TControl *control = SkinData->OwnerControl();
    switch (Message.Msg) {
    case WM_PRINT:
        SkinData->BGChanged = true;
        SkinData->PaintLocked = false;
        Message.LParam = 1;
        PaintWindow(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        SetWindowRedraw(Handle, false);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (gone()) return true;
        SetWindowRedraw(Handle, true);
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return true;
    case WM_SETTEXT:
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (gone()) return true;
        WindowText = ReadWindowText(Handle);
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return true;
    case WM_PAINT: {
        if (KeepTheme) break;
        // A DC given is a picture's (the class library's PaintTo, a print):
        // the box goes into it, and the window's own update region is left
        // for its paint on the screen.
        if (const auto dc = reinterpret_cast<HDC>(Message.WParam)) {
            PaintWindow(dc);
        } else {
            // BeginPaint sends the frame and erase messages on, to the
            // application too.
            PAINTSTRUCT ps{};
            const HWND window = Handle;
            BeginPaint(window, &ps);
            if (alive) PaintWindow(nullptr);
            EndPaint(window, &ps);
        }
        Message.Result = 0;
        return true;
    }
    case WM_ERASEBKGND: {
        if (KeepTheme) break;
        const auto dc = reinterpret_cast<HDC>(Message.WParam);
        // The class library's own erase request (the DC in both parameters)
        // paints, and so does a control that paints a copy of itself; any
        // other erase leaves the picture to WM_PAINT.
        if (control && Message.WParam != static_cast<WPARAM>(Message.LParam) &&
            !control->ControlState().Contains(vcl::csPaintCopy)) {
            Message.Result = 1;
            return true;
        }
        if (dc) {
            Message.Result = 1;
            if (SkinData->BGChanged && !BuildCache()) return true;
            vcl::TBitmap *cache = SkinData->CacheBmp();
            if (cache && SkinData->CanUseCache())
                BitBlt(dc, 0, 0, cache->Width(), cache->Height(), cache->Canvas()->Handle(), 0, 0, SRCCOPY);
            else
                FillRectSolid(dc, {0, 0, WndSize.cx, WndSize.cy},
                              static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW)));
        }
        Message.Result = 1;
        return true;
    }
    case WM_NCPAINT:
        if (!KeepTheme) break;
        PaintWindow(nullptr);
        Message.Result = 1;
        return true;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) != WM_CREATE && LOWORD(Message.WParam) != WM_DESTROY) break;
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!gone() && LOWORD(Message.WParam) == WM_CREATE && control) NotifyFormOfControl(control);
        return true;
    case SM_SKINCOMMAND:
        if (SubCommandOf(Message.WParam) == SC_GET_CAPTION_HEIGHT) {
            RefreshGeometry(*this);
            Message.Result = CaptionRect().Height();
            return true;
        }
        break;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

// -------------------------------------------------------------- the panel

TvlPanelWnd::~TvlPanelWnd() { ReleaseWindow(); }

void TvlPanelWnd::SetDefaultSection() {
    Panel = vcl::TGuarded(SkinData ? dynamic_cast<vcl::TWinControl *>(SkinData->OwnerControl()) : nullptr);
    if (Panel) {
        const bool hot = SkinData->PaintLocked;
        SkinData->PaintLocked = true;
        if (SkinData->SkinSection().empty())
            SkinData->SetSkinSection(
                PanelSection(Prop(Panel.Get(), "BevelOuter"), Prop(Panel.Get(), "BevelInner"), Prop(Panel.Get(), "BorderStyle")));
        SkinData->PaintLocked = hot;
        BroadcastToChildControls(Panel.Get(), SkinCommandMessage(SC_SKIN_APPLIED, SkinManager));
    }
    TvlMainWnd::SetDefaultSection();
}

void TvlPanelWnd::DrawCaption() {
    if (Panel && Panel->Tag() == 999) return;
    vcl::TCanvas &canvas = *SkinData->CacheBmp()->Canvas();
    if (Panel)
        canvas.SetFont(Panel->Font());
    else
        SelectAdapterFont(*this);
    canvas.Brush()->SetStyle(vcl::bsClear);
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    const int textHeight = DCTextExtent(canvas.Handle(), "Wg").cy;
    // The client area lies inside the frame band of the cache.
    const int b = FrameWidthOf(Handle);
    RECT c{};
    GetClientRect(Handle, &c);
    const vcl::TRect client{b, b, b + c.right, b + c.bottom};
    vcl::TRect r = client;
    UINT flags = DT_CENTER | DT_VCENTER;
    bool enabled = true;
    if (Panel) {
        r = PanelCaptionRect(client, Prop(Panel.Get(), "BevelWidth"), Prop(Panel.Get(), "BevelOuter"), Prop(Panel.Get(), "BevelInner"),
                             Prop(Panel.Get(), "BorderWidth"), textHeight);
        const auto align = static_cast<vcl::TAlignment>(std::clamp(Prop(Panel.Get(), "Alignment"), 0, 2));
        flags = DT_VCENTER | DrawTextAlignFlags(*Panel.Get(), align) | DT_WORDBREAK;
        enabled = Panel->Enabled();
    } else {
        r = PanelCaptionRect(client, 0, bcNone, bcNone, 0, textHeight);
    }
    WriteTextForControl(canvas, WindowText, enabled, r, flags, *SkinData, 0);
}

bool TvlPanelWnd::BuildCache() {
    RefreshGeometry(*this);
    TsCommonData &data = *SkinData;
    data.PrepareCache();
    TvlBgInfo bg;
    if (!(Panel ? data.FillBackgroundInfo(bg, TvlAsker(this)) : WindowBackgroundInfo(Handle, bg, TvlAsker(this))))
        return false;
    if (!bg.UseBmp && bg.Color == vcl::clFuchsia) {
        data.PaintLocked = true;
        return false;
    }
    vcl::TBitmap &cache = *data.CacheBmp();
    cache.SetSize(WndSize.cx, WndSize.cy);
    PaintControlSkin(data, bg, 0, {0, 0, WndSize.cx, WndSize.cy}, PosInParent, cache, true);
    DrawCaption();
    data.BGChanged = false;
    return true;
}

void TvlPanelWnd::PaintWindow(HDC DC) {
    if (SkinData->IsPaintLocked()) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle);
    const HDC target = DC ? DC : own.Get();
    if (!target) return;
    const int saved = SaveDC(target);
    PaintContainerClient(*this, target, FrameWidthOf(Handle), [this] { return BuildCache(); }, true);
    RestoreDC(target, saved);
}

void TvlPanelWnd::PaintBorder(HDC DC) {
    if (SkinData->IsPaintLocked()) return;
    if (!BuildCache()) return;
    const int b = FrameWidthOf(Handle);
    if (b <= 0) return;
    const vcl::TWindowDC own(DC ? nullptr : Handle, DC ? nullptr : GetWindowDC(Handle));
    CopyCacheBorder(*SkinData, DC ? DC : own.Get(), WndSize.cx, WndSize.cy, b);
}

bool TvlPanelWnd::BaseRoute(vcl::TMessage &Message) {
    if (Message.Msg != WM_WINDOWPOSCHANGING) return TvlMainWnd::OwnMessage(Message);
    const vcl::TGuarded alive(this);
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    if (alive && !Destroyed() && IsWindow(Handle)) SendMessageW(Handle, WM_NCPAINT, 0, 0);
    return true;
}

bool TvlPanelWnd::PanelCommand(vcl::TMessage &Message) {
    switch (SubCommandOf(Message.WParam)) {
    case SC_SKIN_REMOVED:
        SkinData->SetSkinIndex(-1);
        Panel->SetControlStyle(Panel->ControlStyle() - vcl::TControlStyle{vcl::csOpaque});
        // The base's removal follows: the own manager's runs here, as the
        // manager is off already (IsOwnRemoval).
        if (IsOwnRemoval(Message)) BaseRemoval(Message);
        return false;
    case SC_PARENT_UPDATE_DONE: {
        // The redraw runs the children's paint, which may free this adapter:
        // the panel is held apart from it.
        const vcl::TGuarded<vcl::TWinControl> panel = Panel;
        if (SkinData->PaintLocked) {
            SkinData->PaintLocked = false;
            RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        PassUpdateDoneToChildren(panel.Get());
        return true;
    }
    case SC_IS_HANDLED: Message.Result = 1; return true;
    case SC_BUILD_CACHE: Message.Result = BuildCache() ? 1 : 0; return true;
    case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
    default: return false;  // SC_SKIN_APPLIED, SC_SKIN_REFRESH and the rest: the base route
    }
}

bool TvlPanelWnd::OwnMessage(vcl::TMessage &Message) {
    const bool commands = Panel && Panel->ControlStyle().Contains(vcl::csAcceptsControls);
    if (SkinData && commands && IsOwnRemoval(Message)) {
        PanelCommand(Message);
        return false;  // the common removal and the previous procedure
    }
    if (!SkinData || !Serving()) {
        return TvlMainWnd::OwnMessage(Message);
    }
    if (Message.Msg == SM_SKINCOMMAND) {
        if (commands && PanelCommand(Message)) return true;
        return BaseRoute(Message);
    }
    if (!SkinData->IsSkinned(false)) {
        return TvlMainWnd::OwnMessage(Message);
    }
    const vcl::TGuarded alive(this);
    const auto gone = [&] { return !alive || Destroyed() || !IsWindow(Handle); };
    if (RouteErasePaint(Message, *this,
                        {vcl::TMethod<void(HDC)>::Bind<&TvlPanelWnd::PaintWindow>(this),
                         vcl::TMethod<void(HDC)>::Bind<&TvlPanelWnd::PaintBorder>(this)}))
        return true;
    switch (Message.Msg) {
    case WM_SETTEXT:
        if (!IsWindowVisible(Handle)) break;
        SetWindowRedraw(Handle, false);
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (gone()) return true;
        WindowText = ReadWindowText(Handle);
        SetWindowRedraw(Handle, true);
        SkinData->BGChanged = true;
        SendMessageW(Handle, WM_PAINT, 0, 0);
        return true;
    case WM_UPDATEUISTATE: Message.Result = 1; return true;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        if (SectionSeesThrough(*SkinData)) SkinData->BGChanged = true;
        break;
    case WM_PARENTNOTIFY:
        if (LOWORD(Message.WParam) != WM_CREATE && LOWORD(Message.WParam) != WM_DESTROY) break;
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!gone() && LOWORD(Message.WParam) == WM_CREATE && Panel) NotifyFormOfControl(Panel.Get());
        return true;
    case vcl::CM_VISIBLECHANGED:
        SkinData->BGChanged = true;
        SkinData->PaintLocked = false;
        if (Message.WParam == 1) {
            if (const TvlAsker self(this); !BuildCache() && self.Gone()) return true;
            PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
            if (!gone() && Panel) PassUpdateDoneToChildren(Panel.Get());
            return true;
        }
        return TvlMainWnd::OwnMessage(Message);
    case vcl::CM_TEXTCHANGED: SkinData->BGChanged = true; break;
    case vcl::CM_SHOWINGCHANGED:
        if (Panel && Panel->Visible()) {
            const TsSkinManager *m = SkinData->GetSkinManager();
            if (m && m->Options()->OptimizingPriority == opMemory) SkinData->PaintLocked = false;
            // The form's repaint and the children's answers run the
            // application's code, which may free this adapter.
            NotifyFormOfControl(Panel.Get());
            for (const unsigned sub : {SC_SKIN_APPLIED, SC_SKIN_REFRESH}) {
                if (gone()) return true;
                PassToChildren(Panel.Get(), Handle, SkinCommandMessage(sub, SkinManager));
            }
            if (gone()) return true;
        }
        break;
    default: break;
    }
    return BaseRoute(Message);
}

} // namespace skin
