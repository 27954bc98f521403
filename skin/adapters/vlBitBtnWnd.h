#pragma once
// TvlBitBtnWnd: the push-button adapter for buttons that carry a glyph: a
// class-library TBitBtn (the ThirdParty kind "BitBtn") or a plain button
// window with a bitmap (BM_GETIMAGE). Everything but the five layout and
// state operations is TvlBtnWnd's.
//
// A TBitBtn's glyph strip is laid out with its caption by Layout, Spacing
// and Margin and painted in the button's state. A plain window's bitmap
// only makes room: its size is the dimension recorded in the bitmap, and
// the glyph itself is never painted. Windows only.
#include <windows.h>

#include "vlBtnWnd.h"

namespace vcl {
class TBitBtn;
}

namespace vcl {
class TBitmap;
}

namespace skin {

struct TvlBgInfo;

class TvlBitBtnWnd : public TvlBtnWnd {
public:
    int CurrentState() override;
    void PaintGlyph() override;
    vcl::TSize GlyphSize() override;
    vcl::TRect CaptionRect() override;
    int MaxTextWidth() override;

    // Where the glyph goes inside the button; empty without one.
    vcl::TRect GlyphRect();

private:
    // The owner control as a TBitBtn; null for a plain window.
    vcl::TBitBtn *BitBtn() const;
    // Pressed content moves by (1, 1) unless the manager keeps it still.
    bool ShiftsContent();
};

} // namespace skin
