#pragma once
// The two tool-bar adapters.
//
// TvlToolBarWnd takes over a bare tool-bar window (a dialog's
// "toolbarwindow32"): it paints the frame, the background and every button
// itself: the face of the skin's tool button in its state, the image, the
// caption (broken into two lines when it is wide), the drop-down arrow, the
// separators from the skin's divider and the disabled look.
//
// TvlToolBarVCLWnd takes over the class library's TToolBar (kind
// "ToolBar"): it skins the bar through the bar's own custom-draw events,
// tracks the hot button, and answers the background queries of what lies on
// the bar. The bar's own event handlers are kept while the adapter's serve
// and given back when the skin goes or the adapter does. Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vcl/ToolBar.h"
#include "vlSBUtils.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TvlToolBarWnd : public TvlMainWnd {
public:
    bool OwnMessage(vcl::TMessage &Message) override;

    // The frame around the client from the cache into the window's DC;
    // false while painting is locked (nothing painted).
    bool PaintFrame();
    // Every button over the bar's image into DC (the window's own when null).
    void PaintClient(HDC DC);
    // The whole window's picture into DC from its origin: the frame, and the
    // client at its place inside it.
    void Print(HDC DC);
    // The bar's image rebuilt when it is stale; the client rectangle and
    // its place in the window with it.
    // False when the parent's answer about the background freed the adapter.
    bool RefreshImage();

    vcl::TRect ClientR{};   // the client rectangle, client coordinates
    vcl::TPoint ClientAt{};  // the client's origin in the window
    vcl::TRect ClientInWindow() const;

private:
    // Button Index at R (the bar's image coordinates) into Target.
    void PaintButton(int Index, const vcl::TRect &R, vcl::TBitmap &Target);
};

class TvlToolBarVCLWnd : public TvlMainWnd {
public:
    ~TvlToolBarVCLWnd() override;
    // The bar's events taken over ("TOOLBAR" when no section was given).
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The bar's custom-draw handlers while the adapter serves.
    void DrawBar(vcl::TToolBar *Sender, const vcl::TRect &ARect, vcl::TCustomDrawStage Stage, bool &DefaultDraw);
    void DrawButton(vcl::TToolBar *Sender, vcl::TToolButton *Button, vcl::TCustomDrawState State,
                    vcl::TCustomDrawStage Stage, bool &DefaultDraw);
    // The bar's own handlers back (when the adapter's still serve).
    void GiveEventsBack();
    // The adapter's handlers in place, the bar's own kept first.
    void TakeEvents();

    // Not owned: the application may free the bar before the adapter.
    vcl::TGuarded<vcl::TToolBar> ToolBar;  // null when the owner is no tool bar
    int HotIndex = -1;                     // the button under the cursor
    // The command of the button whose drop-down is open (0: none). Not the
    // button: the application's drop-down code may free or rebuild it while
    // the drop-down runs, and the bar never gives a command out twice.
    int DroppedDownCommand = 0;

private:
    // A child's background query: the common answer moved into the client area.
    bool AfterCommonAnswer(vcl::TMessage &Message) override;
    void RepaintButton(int Index);
    int ButtonAt(vcl::TPoint P) const;
    void MouseMoved();
    vcl::TTBCustomDrawEvent FSavedDraw;
    vcl::TTBCustomDrawBtnEvent FSavedDrawButton;
    bool FEventsTaken = false;
};

} // namespace skin
