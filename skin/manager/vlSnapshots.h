#pragma once
// Off-screen pictures of controls. PaintChildControls paints the graphic
// (window-less) children of a windowed control into a DC: each child is
// drawn over its own background in one off-screen copy first, so that a
// transparent child that draws only its text never leaves what was in the
// DC (or nothing) behind it. Windows only.
#include <windows.h>

#include "vcl/Types.h"

namespace vcl {
class TWinControl;
}

namespace skin {

// Offset: where Control's client origin lies in DC. OnlyWhenVisible: an
// invisible Control paints nothing. A DC whose clip box is empty paints
// nothing and tells Control that it was left out (SC_SET_NOT_PAINTED). A
// call made while another runs (a child painting its parent) does nothing.
void PaintChildControls(HDC DC, vcl::TWinControl *Control, bool OnlyWhenVisible, vcl::TPoint Offset);

} // namespace skin
