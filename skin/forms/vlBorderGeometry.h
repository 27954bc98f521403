#pragma once
// The arithmetic of the extended border form's window: which points lie in
// the outer shadow (where the mouse falls through to the windows below),
// which sizing code a point of the extended border answers, and the
// rectangle a maximized owner's border keeps. Coordinates are the border
// window's: its size W x H, the shadow margins M (left, top, right, bottom)
// around the owner. Portable.
#include "vcl/Types.h"

namespace skin {

// The skin's values of "GLOBALINFO" that the border form reads.
struct TvlBorderSkin {
    int BorderWidth = 4;  // "BORDERWIDTH"
    int BorderMode = 0;   // "BORDERMODE"
    // "ALIGNOFFSET", "ALIGNOFFSETT", "ALIGNOFFSETR", "ALIGNOFFSETB"
    int AlignLeft = 0, AlignTop = 0, AlignRight = 0, AlignBottom = 0;
};

// The width of the sizing zones: "BORDERWIDTH", at least 6.
int SizingZoneWidth(const TvlBorderSkin &Skin);

// The rectangle outside which the shadow lets the mouse through. Its four
// edges belong to it, as the sizing zones' ends do.
vcl::TRect OuterShadowLimit(int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin);
bool InOuterShadow(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin);

// HTTOP .. HTBOTTOMRIGHT (10 to 17) for a point of the sizing zones, 0 for
// any other; corners answer the diagonal codes. N is the owner's border
// width ("BORDERMODE" 1 only). Every range includes both ends.
int BorderSizingCode(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin, int N);

// What a maximized owner's border window keeps: B the owner's border width,
// E the skin's side excess.
vcl::TRect MaximizedBorderRect(int W, int H, const vcl::TRect &M, int B, int E);

} // namespace skin
