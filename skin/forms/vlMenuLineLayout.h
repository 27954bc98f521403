#pragma once
// The arithmetic of a form's skinned menu line, apart from its windows: the
// places of the line's items, the form's own top items and those of its
// active MDI child's menu merged into them by group index, row after row
// as the system lays out the bar; and the places of a maximized MDI child's
// three buttons at the right end of the line's last row. Portable.
#include <span>
#include <vector>

#include "vcl/Types.h"

namespace skin {

struct TvlLineItem {
    int Group = 0;         // its GroupIndex
    bool Visible = true;   // hidden items take no place
    int Width = 0;
};

// The line in frame coordinates.
struct TvlLineBand {
    int Left = 0;       // where a row starts
    int FirstLeft = 0;  // where the first row's items start (after a child's system menu)
    int Right = 0;      // an item that would pass it starts the next row
    int Top = 0;
    int RowHeight = 0;
};

struct TvlPlacedItem {
    bool Merged = false;  // an item of the merged menu, else the form's own
    int Index = 0;        // among its menu's top items
    vcl::TRect Rect{};
    bool operator==(const TvlPlacedItem &) const = default;
};

// The visible items in the bar's order; the merged menu's items replace the
// form's own items of their group (hidden ones too). An item that does not
// fit starts a new row unless it is the first of its row.
std::vector<TvlPlacedItem> LayoutMenuLine(std::span<const TvlLineItem> Own, std::span<const TvlLineItem> Merged,
                                          const TvlLineBand &Band);

// A maximized MDI child's close, restore and minimize buttons, each Size,
// from Right leftwards one button width and one pixel apart, centred in the
// row at RowTop.
struct TvlChildButtons {
    vcl::TRect Close{}, Restore{}, Minimize{};
};
TvlChildButtons PlaceChildButtons(int Right, int RowTop, int RowHeight, vcl::TSize Size);

} // namespace skin
