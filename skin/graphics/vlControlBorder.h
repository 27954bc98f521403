#pragma once
// The border of a skinned control: the border mask of its section painted
// into its cache over what its parent shows, an optional flat frame inside
// it in the control's background colour, and the client rect that remains.
// Windows only.
#include <windows.h>

#include <cstdint>

#include "vcl/Types.h"

namespace vcl {
class TWinControl;
}

namespace skin {

class TsCommonDataView;
class TvlAsker;

// R: the control's rect in its cache. FrameWidth 0 draws no frame. Inner
// receives the client rect: R less the mask's margins, or less FrameWidth
// on every side when there is a frame or no border mask. The frame's strips
// reach DC too when DC is not the cache's own. False, with nothing drawn,
// when the parent's answer about what lies behind freed Asker.
bool PaintControlBorder(HDC DC, const vcl::TRect &R, int FrameWidth, TsCommonDataView &CommonData, int State,
                        vcl::TRect &Inner, const TvlAsker &Asker);

// Stores Value in Stored, a one-byte setting of Control, when they differ,
// and then has Control make its window anew (when it has one).
void SetByteAndRecreateWnd(vcl::TWinControl &Control, std::uint8_t &Stored, std::uint8_t Value);

} // namespace skin
