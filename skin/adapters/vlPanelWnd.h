#pragma once
// The adapters of a group box (TvlGroupBoxWnd: a class-library group box or
// a dialog's group-box button) and of a panel (TvlPanelWnd: a class-library
// panel or a panel window a dialog holds). Both paint their section over
// what lies behind them, their caption over that, and keep their child
// controls painted over the skinned background. Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace vcl {
class TWinControl;
}

namespace skin {

// The group box's answer to this sub-command: its caption band's height.
inline constexpr unsigned SC_GET_CAPTION_HEIGHT = 27;

class TvlGroupBoxWnd : public TvlMainWnd {
public:
    // "GROUPBOX" when no section was given, then the base's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The caption band in the cache (the adapter's font measures the text).
    vcl::TRect CaptionRect();
    // The section below the caption band's middle, the parent's background
    // above it and behind the caption, the caption. False when the parent's
    // answer about what lies behind freed the adapter: the caller stops.
    bool BuildCache();
    // The picture into DC (null: the window's DC).
    void PaintWindow(HDC DC);

private:
    // Rect of the cache filled with what the parent shows there.
    bool FillFromParent(const vcl::TRect &Rect);
    bool DrawCaption(const vcl::TRect &Rect);
};

class TvlPanelWnd : public TvlMainWnd {
public:
    ~TvlPanelWnd() override;
    // With a panel control its section chosen by its bevels and border
    // when none was given, and its children told to apply the skin.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The section and the caption; false (and the paint lock set) while
    // the parent offers nothing to paint against, and false when the
    // parent's answer freed the adapter.
    bool BuildCache();
    // The client part into DC, with the graphic children over it.
    void PaintWindow(HDC DC);
    // The frame strips into DC (null: the window's DC).
    void PaintBorder(HDC DC);

    // Not owned: the panel control, or none; the application may free it first.
    vcl::TGuarded<vcl::TWinControl> Panel;

private:
    bool PanelCommand(vcl::TMessage &Message);
    // The base handler; a WM_WINDOWPOSCHANGING is followed by WM_NCPAINT.
    bool BaseRoute(vcl::TMessage &Message);
    void DrawCaption();
};

} // namespace skin
