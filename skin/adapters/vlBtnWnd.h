#pragma once
// TvlBtnWnd: the adapter of a push button (a class-library button named in
// the ThirdParty list "Button", or a plain "button" child of a dialog). It
// paints the whole button from the section "BUTTON": the face and frame of
// its state, the caption, the focus rectangle and the disabled look, with
// the state fade of its skin data; every click and key still reaches the
// button's own procedure, so its own click handler runs.
//
// States: 0 normal, 1 hot or focused, 2 pressed, 3 a dialog's default
// button (only in a section of four or more states; else 1). Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace skin {

class TvlBtnWnd : public TvlMainWnd {
public:
    // "BUTTON" when no section was given, then the base's.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // The five operations of button adapters, after the base's seven.
    // The state to paint, before the section's state count clamps it.
    virtual int CurrentState();
    // The glyph into the cache (none in this class).
    virtual void PaintGlyph();
    // The glyph's size ((0, 0) in this class).
    virtual vcl::TSize GlyphSize();
    // Where the caption goes inside the button (moved by (1, 1) while
    // pressed when the manager shifts pressed content).
    virtual vcl::TRect CaptionRect();
    // The width the caption may take: 0 for none.
    virtual int MaxTextWidth();

    // The state painted: CurrentState clamped to the section.
    int PaintedState();
    // What every push button's state starts from: pressed (2), disabled
    // (0) or focused/hot (1); -1 when none of these holds and the default
    // look decides.
    int PressedOrHotState();
    // The button's image in the skin data's cache.
    // False when the parent's answer about the background freed the adapter.
    bool BuildCache();
    // The output of WM_PAINT and WM_PRINT: into DC, or the window's own DC
    // when DC is null.
    void PaintWindow(HDC DC);
    // Caption and focus rectangle into the cache for State.
    void DrawCaption(int State);

private:
    // The click or release passed on: false when it freed the adapter or
    // its window (the form may have gone).
    bool PassOnChecked(vcl::TMessage &Message);
    void RedrawNow();
    bool MouseLeft();
    void LButtonUp(vcl::TMessage &Message);
    void MouseMove(vcl::TMessage &Message);
    bool ButtonCommand(vcl::TMessage &Message);
    // The previous procedure with the window's own painting held off.
    void WithoutRedraw(vcl::TMessage &Message, bool Previous);
};

// The hot state of a button-like adapter (push button, check box), with
// its state fade. The mouse came in: hot, unless it is already, the
// manager's tracker follows another window or the manager lets nothing
// hover (false: not handled). The mouse left: normal again (false: it was
// not hot).
bool EnterHotState(TvlMainWnd &Adapter);
bool LeaveHotState(TvlMainWnd &Adapter);

// BM_GETSTATE answers BST_PUSHED.
bool IsButtonPressed(HWND Button);
// The caption's size as DrawText measures it in MaxTextWidth + 2, with the
// prefix rule the caption is drawn with ("&Yes" measures as "Yes").
vcl::TSize MeasureButtonCaption(TvlBtnWnd &Adapter);

} // namespace skin
