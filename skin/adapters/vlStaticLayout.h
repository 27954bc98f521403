#pragma once
// The arithmetic of the adapters of static texts, links, group boxes and
// panels, apart from any window: which section a bevel asks for, a link's
// text without its tags, where a group box's caption goes and where a
// panel writes its caption. Bevel cuts are given as numbers: 0 none,
// 1 lowered, 2 raised, 3 space. Portable.
#include <string>
#include <string_view>

#include "vcl/Types.h"

namespace skin {

inline constexpr int bcNone = 0, bcLowered = 1, bcRaised = 2, bcSpace = 3;

// A static text's section: "GROUPBOX", "PANEL_LOW", "PANEL" for a lowered or
// raised outer bevel (by the inner one) when it has a bevel at all
// (BevelKind not 0), else "CHECKBOX".
std::string StaticTextSection(int BevelKind, int Outer, int Inner);
// A panel's section: as a static text's for lowered and raised outer
// bevels; "CHECKBOX" without a border (BorderStyle 0), else "PANEL_LOW".
std::string PanelSection(int Outer, int Inner, int BorderStyle);

// Text with every link tag taken out: "<a>", "<A href=...>", "</a >"...,
// in any case and with any attributes. A "<" that opens no such tag (also
// one never closed) stays as it is.
std::string StripLinkTags(std::string_view Text);

// The caption band of a group box Width wide whose caption measures
// TextWidth x TextHeight ((0, 0) for none): from 6 px in (or TextWidth +
// 14 px from the right edge in right-to-left reading), 8 px wider than the
// text, at least 6 px high, cut to one pixel inside the right edge when it passes it.
vcl::TRect GroupBoxCaptionRect(int Width, int TextWidth, int TextHeight, bool RightToLeft);

// Where a panel writes its caption: Client shrunk on every side by the
// bevels and the border band, then a band TextHeight high centred
// vertically in it.
vcl::TRect PanelCaptionRect(const vcl::TRect &Client, int BevelWidth, int Outer, int Inner, int BorderWidth,
                            int TextHeight);

} // namespace skin
