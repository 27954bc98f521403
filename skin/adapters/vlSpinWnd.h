#pragma once
// TvlSpinWnd: the adapter of an up-down control ("msctls_updown32"; the
// ThirdParty kind "UpDownBtn"). Its two arrow buttons are painted from the
// skin's scroll-button elements over what lies behind the control, each in
// its own state: hot under the cursor, pressed while the mouse holds it.
// The control's own procedure still gets every click and key, so the
// position steps as it would unskinned. Windows only.
#include <windows.h>

#include <array>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace skin {

struct TvlBgInfo;

class TvlSpinWnd : public TvlMainWnd {
public:
    // The states and the offset cleared; "SPEEDBUTTON_SMALL" when no
    // section was given.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // Arrows side by side (UDS_HORZ) rather than one above the other.
    bool Horizontal() const;
    // The first (upper or left) and second button in the control.
    std::array<vcl::TRect, 2> ButtonRects() const;
    // The two states from the cursor: the half under it hot (pressed while
    // the mouse is down), the other normal; both normal outside.
    void UpdateStates();
    // Both buttons into the skin data's cache; false when the parent's
    // answer to the background query freed this adapter.
    bool BuildCache();

    int Offset = 0;         // where a vertical pair starts; a dialog's spins start at 2
    int FirstState = 0;     // 0 normal, 1 hot, 2 pressed
    int SecondState = 0;
    bool MouseDown = false;

private:
    void PaintButton(const vcl::TRect &R, int State, int Direction, const TvlBgInfo &Bg);
    void PaintWindow(HDC DC);
    void Redraw();
    void MouseMove(vcl::TMessage &Message);
};

} // namespace skin
