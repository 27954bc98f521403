#pragma once
// TvlMnuWnd: the adapter of a popup-menu window (system class "#32768") that
// the menu painter reaches while it draws the window's items. It paints the
// window's background and frame from the painter's cached background of
// that popup, applies the manager's menu opacity, and, when the window
// goes, empties the background cache and repaints the menu windows still
// open. One adapter per menu window; none while popups are not skinned.
//
// The adapters are freed once their windows are gone, after the window's
// last message has been handled (never inside it), so that a menu opened
// meanwhile keeps its adapter. Windows only.
#include <windows.h>

#include <cstddef>

#include "vlSBUtils.h"

namespace skin {

class TsSkinManager;

class TvlMnuWnd : public TvlMainWnd {
public:
    ~TvlMnuWnd() override;
    void SetDefaultSection() override;
    void HandleMessage(vcl::TMessage &Message) override;

    bool FramePaintedOnce = false;
    bool Busy = false;
    int ShownFlag = 0;  // set by SC_MENU_SHOWN, cleared by every erase
};

// The adapter of Window, made when it has none (null: popups not skinned,
// or no menu window).
TvlMnuWnd *AttachMenuAdapter(HWND Window, TsSkinManager &Manager);
// The living adapters (whose windows are not yet gone) and all adapters kept.
std::size_t LiveMenuAdapterCount();
std::size_t MenuAdapterCount();
// Frees the adapters whose windows are gone; with All, every adapter (the
// windows given back first).
void FreeMenuAdapters(bool All);

} // namespace skin
