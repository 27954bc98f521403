#pragma once
// TvlCheckBoxWnd: the adapter of a check box or radio button window (a
// class-library control of the ThirdParty kind "CheckBox", or a dialog's
// "button" child of a check-box or radio type). It paints the section
// "CHECKBOX" in the control's state, the skin's check or radio glyph
// (normal, hot or pressed) beside the caption, the focus outline and the
// disabled look; what the skin lacks of these shows the parent's background
// and the system's glyph. Owner-drawn boxes paint themselves: the adapter only fills
// their background. Clicks, keys and BM_SETCHECK still reach the control;
// every change of its check, state or text repaints it. Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TvlCheckBoxWnd : public TvlMainWnd {
public:
    // Owner drawing read from the style; "CHECKBOX" when no section was given.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    // 0 unchecked, 1 checked, 2 indeterminate.
    int CheckState();
    // 0 normal, 1 hot or focused, 2 pressed.
    int GlyphState();
    // The manager's standard glyph image for the control's type and check; -1 none.
    int CheckGlyphIndex();
    // Where the glyph goes; empty without one.
    vcl::TRect GlyphRect();
    // The room the caption leaves the glyph: the checked glyph's, else 16 x 16.
    vcl::TSize GlyphBox();
    // The control's image in the skin data's cache.
    // False when the parent's answer about the background freed the adapter.
    bool BuildCache();
    // The caption (and the focus outline) into the cache; Rect receives
    // where the text went.
    void DrawCaption(vcl::TRect &Rect);

    bool OwnerDrawn = false;

private:
    bool IsRadio() const;
    void DrawSystemGlyph(vcl::TBitmap &Cache);
    void PaintWindow(HDC DC);
    void EraseOwnerDrawn(HDC DC);
    void Repaint(vcl::TMessage &Message);
    bool BaseRoute(vcl::TMessage &Message);
};

// The window's style makes it a radio button (button types 4, 9 and 12).
bool IsRadioStyle(LONG_PTR Style);

} // namespace skin
