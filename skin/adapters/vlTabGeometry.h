#pragma once
// The arithmetic of a skinned tab control: where its tabs stand, the page
// frame and the tab strip beside it, each tab's rectangle as the skin draws
// it, the row a tab is in, the section of the page frame, and the face of
// the rotated captions of vertical tabs. Portable.
#include <string>
#include <string_view>

#include "vcl/Types.h"

namespace skin {

// Tab positions and kinds, from the window style.
enum TvlTabPosition { tpTop = 0, tpBottom = 1, tpLeft = 2, tpRight = 3 };
enum TvlTabKind { tkTabs = 0, tkButtons = 1, tkFlatButtons = 2 };

// The system's style bits that choose them (the tab control's TCS_ values).
TvlTabPosition TabPositionOfStyle(unsigned Style);
TvlTabKind TabKindOfStyle(unsigned Style);

// The page frame: the window's rectangle with the side toward the tabs moved
// to the display area (none moved without tabs).
vcl::TRect TabFrameRect(const vcl::TRect &Window, const vcl::TRect &Display, TvlTabPosition Position, bool HasTabs);
// The tab strip: the window's rectangle with the opposite side moved to the
// display area.
vcl::TRect TabStripRect(const vcl::TRect &Window, const vcl::TRect &Display, TvlTabPosition Position);
// A tab's rectangle as the skin draws it, from the system's item rectangle:
// the foot and sides adjusted by kind, state and position, then widened and
// moved along the strip by a positive skin tab offset.
vcl::TRect SkinTabRect(vcl::TRect Item, TvlTabPosition Position, TvlTabKind Kind, bool Active, int TabOffset);
// The content rectangle of a tab: inset by 3, then narrowed along the strip
// by twice a positive skin tab offset.
vcl::TRect TabContentRect(const vcl::TRect &Tab, TvlTabPosition Position, int TabOffset);
// The row of a tab, counted from the display area outward (1 nearest); 1
// with fewer than two rows.
int TabRowOf(const vcl::TRect &Item, const vcl::TRect &Display, TvlTabPosition Position, int RowCount);
// The section of the page frame: "PAGECONTROL" takes a suffix by position
// ("", "BOTTOM", "LEFT", "RIGHT"); any other name stays.
std::string PageFrameSection(std::string_view Section, TvlTabPosition Position);
// The face of a rotated caption: "MS Sans Serif" (a face that cannot turn)
// becomes "Arial"; any other stays.
std::string RotatedCaptionFace(std::string_view Face);
// Escapement of the rotated caption, tenths of a degree.
int RotatedCaptionEscapement(TvlTabPosition Position);

} // namespace skin
