#pragma once
// TvlMnuWnd: the adapter of a popup-menu window (system class "#32768") that
// the menu painter reaches while it draws the window's items. It paints the
// window's background and frame from the painter's cached background of
// that popup, applies the manager's menu opacity, and, when the window
// goes, empties the background cache and repaints the menu windows still
// open. One adapter per menu window; none while popups are not skinned.
//
// The adapters live in TvlMnuArray, below. Windows only.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vcl/Bitmap.h"
#include "vlSBUtils.h"

namespace skin {

class TsSkinManager;

// Set by measuring (a popup is about to show), cleared when the last menu
// window goes.
bool &MenuPopupShown();

// The client area's origin inside the window rectangle of Window.
vcl::TPoint MenuClientOrigin(HWND Window);

// Not a scrolling adapter: a menu window never has WS_HSCROLL or
// WS_VSCROLL (a menu taller than the screen scrolls with arrows that the
// system draws in its client area), so the scroll-bar base would have no
// bar to serve, while its frame handling would still act on the menu: it
// makes the system calculate the frame again at the first frame paint of a
// window being shown, and moves the client edges, in which the system has
// laid out the items, by a negative border width of "MAINMENU".
class TvlMnuWnd : public TvlMainWnd {
public:
    ~TvlMnuWnd() override;
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // A piece of an item (client coordinates) the system draws over after
    // the item was drawn, put back once the system is done with it; a later
    // piece of the same place replaces the earlier.
    void CoverAfterSystem(const vcl::TRect &Area, std::unique_ptr<vcl::TBitmap> Piece);

    bool FramePaintedOnce = false;
    bool Busy = false;
    int ShownFlag = 0;  // set by SC_MENU_SHOWN, cleared by every erase

protected:
    // Never: a menu window keeps its visual style, the painter draws over it.
    bool SwitchesVisualStylesOff(const TsCommonData *Shared, const TvlSkinParams &Params, bool Repaint) const override;

private:
    // The skin's frame and background: from the painter's background of
    // this window when it has one of the window's size, otherwise from the
    // adapter's own cache of the "MAINMENU" section.
    void PaintMenuFrame(vcl::TMessage &Message);
    void PaintMenuBackground(vcl::TMessage &Message);
    void HideUntilFramed(vcl::TMessage &Message);
    void ApplyOpacity();
    vcl::TBitmap *RefreshCache();
    // The menu's opacity (255: opaque).
    std::uint8_t Opacity() const;
    // While it runs, the adapter is inside its own message handling (see
    // ~TvlMnuWnd); the application's code that runs there may free it.
    struct THandling {
        explicit THandling(TvlMnuWnd &A) : Adapter(A), Alive(&A) { ++Adapter.FHandlingDepth; }
        ~THandling() {
            if (Alive) --Adapter.FHandlingDepth;
        }
        TvlMnuWnd &Adapter;
        const vcl::TGuarded<TvlMnuWnd> Alive;
    };
    int FHandlingDepth = 0;

    struct TPiece {
        vcl::TRect Area;
        std::unique_ptr<vcl::TBitmap> Bitmap;
    };
    std::vector<TPiece> FPieces;
    bool FPiecesPosted = false;
    void PutPiecesBack();
};

// The adapters of the popup-menu windows, kept in one list.
class TvlMnuArray {
public:
    // The list of the process (unit state of the menu adapters).
    static TvlMnuArray &Instance();

    // A new adapter of Window for Manager's skin ("MAINMENU" section).
    TvlMnuWnd *Add(HWND Window, TsSkinManager &Manager);
    // The living adapter of Window; null when none.
    TvlMnuWnd *Find(HWND Window) const;
    // Calls Visit for every adapter but Except whose window is not gone.
    void ForEachLive(const TvlMnuWnd *Except, const std::function<void(TvlMnuWnd &)> &Visit) const;
    std::size_t Count() const;
    std::size_t LiveCount() const;
    // Frees the adapters whose windows are gone; with All, every adapter
    // (their windows given back first).
    void Free(bool All);
    // Frees the gone ones once the message being handled has returned.
    void FreeGoneLater();

private:
    TvlMnuArray() = default;
    std::vector<std::unique_ptr<TvlMnuWnd>> FAdapters;
    bool FFreePending = false;
};

} // namespace skin
