#pragma once
// TvlMnuWnd: the adapter of a popup-menu window (system class "#32768") that
// the menu painter reaches while it draws the window's items. It paints the
// window's background and frame from the painter's cached background of
// that popup, applies the manager's menu opacity, and, when the window
// goes, empties the background cache and repaints the menu windows still
// open. One adapter per menu window; none while popups are not skinned.
//
// The adapters live in TvlMnuArray (vlMenuAdapters.h). Windows only.
#include <windows.h>

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

} // namespace skin
