#include "vlMnuWnd.h"

#include <algorithm>

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

TvlSkinableMenus *PainterOf(TsSkinManager *Manager) {
    TvlSkinableMenus *painter = Manager ? &Manager->SkinableMenus() : nullptr;
    return painter && painter->PaintsPopups() ? painter : nullptr;
}

// Posted to the menu window: the system has finished drawing by the time it comes.
UINT PiecesBackMessage() {
    static const UINT message = RegisterWindowMessageW(L"vlMenuPiecesBack");
    return message;
}

} // namespace

bool &MenuPopupShown() { return AdaptersState().MenuPopupShown; }

TvlMnuWnd::~TvlMnuWnd() { ReleaseWindow(); }

void TvlMnuWnd::CoverAfterSystem(const vcl::TRect &Area, std::unique_ptr<vcl::TBitmap> Piece) {
    if (!Piece) return;
    const auto same = std::find_if(FPieces.begin(), FPieces.end(), [&](const TPiece &p) { return p.Area == Area; });
    if (same != FPieces.end()) same->Bitmap = std::move(Piece);
    else FPieces.push_back({Area, std::move(Piece)});
    if (!FPiecesPosted) FPiecesPosted = PostMessageW(Handle, PiecesBackMessage(), 0, 0) != 0;
}

void TvlMnuWnd::PutPiecesBack() {
    FPiecesPosted = false;
    std::vector<TPiece> pieces;
    pieces.swap(FPieces);
    if (pieces.empty() || !IsWindowVisible(Handle)) return;
    if (const HDC dc = GetDC(Handle)) {
        for (const TPiece &p : pieces)
            BitBlt(dc, p.Area.Left, p.Area.Top, p.Area.Width(), p.Area.Height(), p.Bitmap->Canvas()->Handle(), 0, 0,
                   SRCCOPY);
        ReleaseDC(Handle, dc);
    }
}

void TvlMnuWnd::SetDefaultSection() {
    FramePaintedOnce = false;
    Busy = false;
    ShownFlag = 0;
    TvlMainWnd::SetDefaultSection();
}

bool TvlMnuWnd::OwnMessage(vcl::TMessage &Message) {
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        ShownFlag = 0;
        FPieces.clear();
        if (TvlSkinableMenus *painter = PainterOf(SkinManager)) painter->ClearMenuBackgrounds();
        bool others = false;
        TvlMnuArray::Instance().ForEachLive(this, [&](TvlMnuWnd &Other) {
            others = true;
            RedrawWindow(Other.Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        });
        MenuPopupShown() = false;
        // Freed after this message, never inside its own handler.
        if (!others && Destroyed()) TvlMnuArray::Instance().FreeGoneLater();
        return true;
    }
    case SM_SKINCOMMAND:
        switch (HIWORD(Message.WParam)) {
        case SC_IS_HANDLED: Message.Result = 1; return true;
        case 8: Message.Result = ShownFlag; return true;
        case SC_MENU_SHOWN:
            if (IsWindowVisible(Handle)) ShownFlag = 1;
            Message.Result = 0;
            return true;
        case SC_GET_APPLICATION: Message.Result = reinterpret_cast<LRESULT>(vcl::Application); return true;
        default: Message.Result = 0; return true;
        }
    default: break;
    }
    if (Message.Msg == PiecesBackMessage()) {
        PutPiecesBack();
        Message.Result = 0;
        return true;
    }
    TvlSkinableMenus *painter = PainterOf(SkinManager);
    const TvlPopupBackground bg = painter ? painter->PopupBackground(Handle) : TvlPopupBackground{};
    const bool cached = bg.Bitmap != nullptr;
    if (!MenuPopupShown() || !painter) {
        return TvlMainWnd::OwnMessage(Message);
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
        return true;
    }
    case WM_WINDOWPOSCHANGING: {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
        if (!Busy && pos && (pos->flags & SWP_SHOWWINDOW) && !(pos->flags & SWP_NOREDRAW) &&
            !IsWindowVisible(Handle)) {
            Busy = true;
            // Unseen until its frame is painted.
            SetWindowLongW(Handle, GWL_EXSTYLE, GetWindowLongW(Handle, GWL_EXSTYLE) | WS_EX_LAYERED);
            SetLayeredWindowAttributes(Handle, 0, 0, LWA_ALPHA);
            Busy = false;
        }
        return true;
    }
    case WM_NCPAINT: {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
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
        return true;
    }
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

// ------------------------------------------------------------ the list

namespace {

// Frees what the last window left, once its handler has returned.
void CALLBACK FreeGoneTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    TvlMnuArray::Instance().Free(false);
}

} // namespace

TvlMnuArray &TvlMnuArray::Instance() {
    TvlKept<TvlMnuArray> &list = AdaptersState().MenuAdapters;
    if (!list) list = Keep(std::unique_ptr<TvlMnuArray>(new TvlMnuArray()));
    return *list;
}

TvlMnuWnd *TvlMnuArray::Add(HWND Window, TsSkinManager &Manager) {
    TvlSkinParams params;
    params.SkinSection = "MAINMENU";
    TvlKeepThemeScope keep;
    auto adapter = NewAdapter<TvlMnuWnd>(Window, nullptr, &Manager, params);
    FAdapters.push_back(std::move(adapter));
    return FAdapters.back().get();
}

TvlMnuWnd *TvlMnuArray::Find(HWND Window) const {
    for (const auto &a : FAdapters)
        if (a->Handle == Window && !a->Destroyed()) return a.get();
    return nullptr;
}

void TvlMnuArray::ForEachLive(const TvlMnuWnd *Except, const std::function<void(TvlMnuWnd &)> &Visit) const {
    // A visit may open or close menus: walk a copy of the living ones.
    std::vector<TvlMnuWnd *> live;
    for (const auto &a : FAdapters)
        if (a.get() != Except && !a->Destroyed()) live.push_back(a.get());
    for (TvlMnuWnd *a : live) Visit(*a);
}

std::size_t TvlMnuArray::Count() const { return FAdapters.size(); }

std::size_t TvlMnuArray::LiveCount() const {
    return static_cast<std::size_t>(std::count_if(FAdapters.begin(), FAdapters.end(),
                                                  [](const auto &a) { return !a->Destroyed(); }));
}

void TvlMnuArray::Free(bool All) {
    auto &list = FAdapters;
    FFreePending = false;
    if (All) {
        // Taken out first: a window given back may send what reaches the list.
        std::vector<std::unique_ptr<TvlMnuWnd>> gone;
        gone.swap(list);
        return;
    }
    std::vector<std::unique_ptr<TvlMnuWnd>> gone;
    for (auto &a : list)
        if (a->Destroyed()) gone.push_back(std::move(a));
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

void TvlMnuArray::FreeGoneLater() {
    if (FFreePending) return;
    FFreePending = SetTimer(nullptr, 0, 0, &FreeGoneTick) != 0;
}

} // namespace skin
