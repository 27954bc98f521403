#pragma once
// TvlStatusBarWnd: the adapter of a status bar (a bare status window or the
// class library's TStatusBar, kind "StatusBar"). It paints the bar from the
// section "STATUSBAR": the background, one frame per panel from the
// section's image "STATUSPANELMASK" or, without it, the skin's dividers
// between panels, the panel texts, the owner-drawn panels through the
// control's OnDrawPanel, and the skin's size grip.
//
// The panel texts, owner drawing and the size grip come from the class
// library's bar; a bare status window shows its parts' rectangles without
// texts, or its window text as a simple bar. Windows only.
#include <windows.h>

#include <string>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace vcl {
class TStatusBar;
}

namespace skin {

struct TvlBgInfo;

class TvlStatusBarWnd : public TvlMainWnd {
public:
    // "STATUSBAR" when no section was given; the class library's bar, when
    // the owner is one, is the adapter's control.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The text shown in panel Index (-1: the simple panel).
    std::string PanelText(int Index);
    // The bar's image in the skin data's cache.
    void BuildImage();
    // The client's picture into DC (the window's own DC when null).
    void PaintClient(HDC DC);
    // The border strips of the control's border width, from the cache,
    // into DC (null: the window's own, unless a form animation runs).
    void PaintFrame(HDC DC);

    vcl::TStatusBar *StatusBar = nullptr;  // not owned; null for a bare window

private:
    void PaintPanel(int Index, vcl::TRect R, bool Last, bool Simple, TvlBgInfo &Bg);
    // Where the skin's size grip goes in the bar's image; empty when none shows.
    vcl::TRect GripRect();
    void PaintGrip();
};

} // namespace skin
