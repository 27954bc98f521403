#include "vlMnuWnd.h"

#include <algorithm>

#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlSkinSections.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vlSBPaint.h"

namespace skin {

namespace {

TvlSkinableMenus *PainterOf(TsSkinManager *Manager) {
    TvlSkinableMenus *painter = Manager ? &Manager->SkinableMenus() : nullptr;
    return painter && painter->PaintsPopups() ? painter : nullptr;
}

// The layered-window call bound at start-up; null when the system has none.
decltype(TLayeredWindowFunctions::SetLayeredWindowAttributes) LayeredAlphaCall() {
    return LayeredWindowsAvailable() ? LayeredWindowFunctions().SetLayeredWindowAttributes : nullptr;
}
// The colour key is not used with LWA_ALPHA alone.
constexpr COLORREF NoColourKey = 0x1FFFFFFF;

// Posted to the menu window: the system has finished drawing by the time it comes.
UINT PiecesBackMessage() {
    static const UINT message = RegisterWindowMessageW(L"vlMenuPiecesBack");
    return message;
}

} // namespace

bool &MenuPopupShown() { return AdaptersState().MenuPopupShown; }

vcl::TPoint MenuClientOrigin(HWND Window) {
    RECT w{};
    POINT p{0, 0};
    if (!Window || !GetWindowRect(Window, &w) || !ClientToScreen(Window, &p)) return {};
    return {p.x - w.left, p.y - w.top};
}

TvlMnuWnd::~TvlMnuWnd() {
    // The library frees an adapter only once its window's last message is
    // handled; freed inside its own handling it was the application's code
    // (a skin turned off): counted where the module's state keeps it.
    if (FHandlingDepth > 0) ++AdaptersState().MenuAdaptersFreedInUse;
    ReleaseWindow();
}

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
    const THandling handling(*this);
    switch (Message.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY: {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        if (!handling.Alive) return true;
        ShownFlag = 0;
        FPieces.clear();
        if (TvlSkinableMenus *painter = PainterOf(SkinManager)) painter->ClearMenuBackgrounds();
        bool others = false;
        // The other windows' items are drawn by the application's handlers.
        TvlMnuArray::Instance().ForEachLive(this, [&](TvlMnuWnd &Other) {
            others = true;
            RedrawWindow(Other.Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        });
        MenuPopupShown() = false;
        // Freed after this message, never inside its own handler.
        if (handling.Alive && !others && Destroyed()) TvlMnuArray::Instance().FreeGoneLater();
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
    if (!MenuPopupShown() || !PainterOf(SkinManager)) return TvlMainWnd::OwnMessage(Message);
    switch (Message.Msg) {
    case WM_ERASEBKGND: PaintMenuBackground(Message); return true;
    case WM_WINDOWPOSCHANGING: HideUntilFramed(Message); return true;
    case WM_NCPAINT: PaintMenuFrame(Message); return true;
    default: break;
    }
    return TvlMainWnd::OwnMessage(Message);
}

// --------------------------------------------------------- frame and background

bool TvlMnuWnd::SwitchesVisualStylesOff(const TsCommonData *, const TvlSkinParams &, bool) const { return false; }

std::uint8_t TvlMnuWnd::Opacity() const {
    return SkinManager && SkinManager->MenuSupport() ? SkinManager->MenuSupport()->AlphaBlend : 255;
}

vcl::TBitmap *TvlMnuWnd::RefreshCache() {
    RefreshGeometry(*this);
    if (!SkinData) return nullptr;
    vcl::TBitmap *cache = SkinData->CacheBmp();
    if (SkinData->BGChanged || !cache || cache->Width() != WndSize.cx || cache->Height() != WndSize.cy) {
        SkinData->PrepareCache();
        cache = SkinData->CacheBmp();
        if (!cache || WndSize.cx <= 0 || WndSize.cy <= 0) return nullptr;
        cache->SetSize(WndSize.cx, WndSize.cy);
        TvlBgInfo none{};
        none.Color = SkinManager ? SkinManager->SkinColors[scGlobalColor] : vcl::clMenu;
        PaintControlSkin(*SkinData, none, 0, vcl::Rect(0, 0, WndSize.cx, WndSize.cy), {}, *cache, false);
        if (!PaintMaskBorder(*SkinData, 0, *this)) return nullptr;
        SkinData->BGChanged = false;
    }
    return cache;
}

void TvlMnuWnd::PaintMenuBackground(vcl::TMessage &Message) {
    // The painter's popup background before this adapter's plain cache: the items are drawn on it (icon column,
    // extra line), so what the erase leaves between them must be the same picture. Building it asks the
    // application for its extra line; the answer may turn the skin off, which frees this adapter.
    const vcl::TGuarded alive(this);
    const TvlPopupBackground bg = PainterOf(SkinManager)->PopupBackground(Handle);
    if (!alive) return;
    const bool cached = bg.Bitmap != nullptr;
    vcl::TBitmap *source = cached ? bg.Bitmap.get() : RefreshCache();
    if (!source) {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        return;
    }
    const vcl::TPoint origin = cached ? bg.ClientOrigin : MenuClientOrigin(Handle);
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    const vcl::TWindowDC own(dc ? nullptr : Handle, dc ? nullptr : GetDC(Handle));
    if (!dc) dc = own.Get();
    // Both images are in window coordinates: the client area starts at its
    // origin inside the window.
    RECT client{};
    GetClientRect(Handle, &client);
    if (dc)
        BitBlt(dc, 0, 0, client.right, client.bottom, source->Canvas()->Handle(), origin.X, origin.Y, SRCCOPY);
    ShownFlag = 0;
    Message.Result = 1;
}

void TvlMnuWnd::HideUntilFramed(vcl::TMessage &Message) {
    PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
    const auto *pos = reinterpret_cast<const WINDOWPOS *>(Message.LParam);
    if (Busy || !pos || !(pos->flags & SWP_SHOWWINDOW) || IsWindowVisible(Handle)) return;
    // Shaped while hidden: a shown window's new region costs a repaint.
    Busy = true;
    RECT r{};
    GetWindowRect(Handle, &r);
    const bool sized = !(pos->flags & SWP_NOSIZE);
    PainterOf(SkinManager)->ShapeMenuWindow(Handle, sized ? pos->cx : r.right - r.left, sized ? pos->cy : r.bottom - r.top);
    Busy = false;
    const auto setAlpha = LayeredAlphaCall();
    if ((pos->flags & SWP_NOREDRAW) || !setAlpha) return;
    Busy = true;
    // Unseen until its frame is painted.
    SetWindowLongW(Handle, GWL_EXSTYLE, GetWindowLongW(Handle, GWL_EXSTYLE) | WS_EX_LAYERED);
    setAlpha(Handle, NoColourKey, 0, LWA_ALPHA);
    Busy = false;
}

void TvlMnuWnd::PaintMenuFrame(vcl::TMessage &Message) {
    if (!ModuleState().IsNTPlatform) {
        PassOnUnless(TvlMainWnd::OwnMessage(Message), Message);
        FramePaintedOnce = true;
        return;
    }
    RECT window{};
    GetWindowRect(Handle, &window);
    // The application's code runs in building the background (the extra
    // line) and in the repaint below (the items): it may free this adapter.
    const vcl::TGuarded alive(this);
    const TvlPopupBackground bg = PainterOf(SkinManager)->PopupBackground(Handle);
    if (!alive) return;
    // The background kept for this window is built at the window's whole
    // size (its frame strips are copied from its edges), so it fits when
    // both sizes equal the window's.
    const bool fits = bg.Bitmap && bg.Bitmap->Width() == window.right - window.left &&
                      bg.Bitmap->Height() == window.bottom - window.top;
    vcl::TBitmap *source = fits ? bg.Bitmap.get() : RefreshCache();
    if (source) {
        const vcl::TWindowDC dc(Handle, GetWindowDC(Handle));
        if (dc.Get())
            CopyBorderStrips(dc.Get(), 0, 0, source->Width(), source->Height(), source->Canvas()->Handle(), 0, 0, 3);
    }
    const bool first = !FramePaintedOnce;
    FramePaintedOnce = true;
    // Under composition the first frame may reach the screen before the
    // client: the whole window once more.
    if (first && DwmCompositionActive()) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (!alive) return;
    ApplyOpacity();
    Message.Result = 0;
}

void TvlMnuWnd::ApplyOpacity() {
    const std::uint8_t alpha = Opacity();
    const LONG ex = GetWindowLongW(Handle, GWL_EXSTYLE);
    const auto setAlpha = LayeredAlphaCall();
    // Without the system's layered windows the menu stays opaque: the style
    // alone would hide it.
    if (alpha == 255 || !setAlpha) {
        if (ex & WS_EX_LAYERED) SetWindowLongW(Handle, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    if (!(ex & WS_EX_LAYERED)) SetWindowLongW(Handle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    setAlpha(Handle, NoColourKey, alpha, LWA_ALPHA);
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
    // A visit may open or close menus, or free adapters (the application's
    // code in a repaint): walk a copy of the living ones, each while it lives.
    std::vector<vcl::TGuarded<TvlMnuWnd>> live;
    for (const auto &a : FAdapters)
        if (a.get() != Except && !a->Destroyed()) live.emplace_back(a.get());
    for (const vcl::TGuarded<TvlMnuWnd> &a : live)
        if (a) Visit(*a);
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
