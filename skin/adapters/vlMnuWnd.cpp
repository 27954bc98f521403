#include "vlMnuWnd.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "sSkinMenus.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

std::vector<std::unique_ptr<TvlMnuWnd>> &Adapters() {
    static std::vector<std::unique_ptr<TvlMnuWnd>> adapters;
    return adapters;
}

// Frees what the last window left, once its handler has returned.
void CALLBACK FreeGoneTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    FreeMenuAdapters(false);
}

TsSkinableMenus *PainterOf(TsSkinManager *Manager) {
    return Manager ? dynamic_cast<TsSkinableMenus *>(&Manager->SkinableMenus()) : nullptr;
}

} // namespace

TvlMnuWnd::~TvlMnuWnd() { ReleaseWindow(); }

void TvlMnuWnd::SetDefaultSection() {
    FramePaintedOnce = false;
    Busy = false;
    ShownFlag = 0;
    TvlMainWnd::SetDefaultSection();
}

void TvlMnuWnd::HandleMessage(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        TvlMainWnd::HandleMessage(Message);
        ShownFlag = 0;
        if (TsSkinableMenus *painter = PainterOf(SkinManager)) painter->ClearMenuBackgrounds();
        bool others = false;
        for (const auto &a : Adapters())
            if (a.get() != this && !a->Destroyed()) {
                others = true;
                RedrawWindow(a->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            }
        MenuPopupShown() = false;
        // Freed after this message, never inside its own handler.
        if (!others && Destroyed()) SetTimer(nullptr, 0, 0, &FreeGoneTick);
        return;
    }
    case SM_SKINCOMMAND:
        switch (HIWORD(Message.WParam)) {
        case SC_IS_HANDLED: Message.Result = 1; return;
        case 8: Message.Result = ShownFlag; return;
        case SC_MENU_SHOWN:
            if (IsWindowVisible(Handle)) ShownFlag = 1;
            Message.Result = 0;
            return;
        case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return;
        default: Message.Result = 0; return;
        }
    default: break;
    }
    TsSkinableMenus *painter = PainterOf(SkinManager);
    TvlMenuBackground bg;
    const bool cached = painter && painter->GetMenuBackground(nullptr, bg, Handle, nullptr) && bg.Bitmap;
    if (!MenuPopupShown() || !painter) {
        TvlMainWnd::HandleMessage(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: {
        if (!cached) break;
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const bool own = !dc;
        if (own) dc = GetDC(Handle);
        // The background is in window coordinates: the client area starts at
        // its origin inside the window.
        RECT client{};
        GetClientRect(Handle, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, bg.Bitmap->Canvas()->Handle(), bg.ClientOrigin.X,
               bg.ClientOrigin.Y, SRCCOPY);
        if (own) ReleaseDC(Handle, dc);
        ShownFlag = 0;
        Message.Result = 1;
        return;
    }
    case WM_WINDOWPOSCHANGING: {
        TvlMainWnd::HandleMessage(Message);
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
        if (!Busy && pos && (pos->flags & SWP_SHOWWINDOW) && !(pos->flags & SWP_NOREDRAW) &&
            !IsWindowVisible(Handle)) {
            Busy = true;
            // Unseen until its frame is painted.
            SetWindowLongW(Handle, GWL_EXSTYLE, GetWindowLongW(Handle, GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayeredWindowAttributes(Handle, 0, 0, LWA_ALPHA);
            Busy = false;
        }
        return;
    }
    case WM_NCPAINT: {
        TvlMainWnd::HandleMessage(Message);
        if (cached)
            if (const HDC dc = GetWindowDC(Handle)) {
                CopyBorderStrips(dc, 0, 0, bg.Bitmap->Width(), bg.Bitmap->Height(), bg.Bitmap->Canvas()->Handle(), 0,
                                 0, 3);
                ReleaseDC(Handle, dc);
            }
        const std::uint8_t alpha = SkinManager->MenuSupport() ? SkinManager->MenuSupport()->AlphaBlend : 255;
        const LONG ex = GetWindowLongW(Handle, GWL_EXSTYLE);
        if (alpha == 255) {
            if (ex & WS_EX_LAYERED) SetWindowLongW(Handle, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        } else {
            if (!(ex & WS_EX_LAYERED)) SetWindowLongW(Handle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
            SetLayeredWindowAttributes(Handle, 0, alpha, LWA_ALPHA);
        }
        FramePaintedOnce = true;
        return;
    }
    default: break;
    }
    TvlMainWnd::HandleMessage(Message);
}

TvlMnuWnd *AttachMenuAdapter(HWND Window, TsSkinManager &Manager) {
    if (!Window || !IsWindow(Window) || !Manager.SkinnedPopups()) return nullptr;
    for (const auto &a : Adapters())
        if (a->Handle == Window && !a->Destroyed()) return a.get();
    TvlSkinParams params;
    params.SkinSection = "MAINMENU";
    TvlKeepThemeScope keep;
    Adapters().push_back(NewAdapter<TvlMnuWnd>(Window, nullptr, &Manager, params));
    TvlMnuWnd *adapter = Adapters().back().get();
    // The window is on screen already: its frame and opacity now (its items
    // are being drawn, so the client area needs nothing more).
    SendMessageW(Window, WM_NCPAINT, 1, 0);
    return adapter;
}

std::size_t LiveMenuAdapterCount() {
    return static_cast<std::size_t>(
        std::count_if(Adapters().begin(), Adapters().end(), [](const auto &a) { return !a->Destroyed(); }));
}

std::size_t MenuAdapterCount() { return Adapters().size(); }

void FreeMenuAdapters(bool All) {
    auto &list = Adapters();
    if (All) {
        // Taken out first: a window given back may send what reaches the list.
        std::vector<std::unique_ptr<TvlMnuWnd>> gone;
        gone.swap(list);
        return;
    }
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto &a) { return a->Destroyed(); }), list.end());
}

} // namespace skin
