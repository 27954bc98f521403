#include "vlMenuLineLayout.h"

#include "vcl/MenuMerge.h"

namespace skin {

std::vector<TvlPlacedItem> LayoutMenuLine(std::span<const TvlLineItem> Own, std::span<const TvlLineItem> Merged,
                                          const TvlLineBand &Band) {
    const auto groups = [](std::span<const TvlLineItem> Items) {
        std::vector<int> g;
        for (const TvlLineItem &i : Items) g.push_back(i.Group);
        return g;
    };
    std::vector<TvlPlacedItem> placed;
    int x = Band.FirstLeft, y = Band.Top;
    bool rowEmpty = true;
    const auto place = [&](int Width) {
        // The system's rule: what passes the right end goes to the next row,
        // unless the row holds nothing yet.
        if (x + Width > Band.Right && !rowEmpty) {
            x = Band.Left;
            y += Band.RowHeight;
        }
        const vcl::TRect r{x, y, x + Width, y + Band.RowHeight};
        x += Width;
        rowEmpty = false;
        return r;
    };
    for (const vcl::TMergeSlot &slot : vcl::MergeByGroup(groups(Own), groups(Merged))) {
        const TvlLineItem &item = (slot.Merged ? Merged : Own)[static_cast<std::size_t>(slot.Index)];
        if (item.Visible) placed.push_back({slot.Merged, slot.Index, place(item.Width)});
    }
    return placed;
}

TvlChildButtons PlaceChildButtons(int Right, int RowTop, int RowHeight, vcl::TSize Size) {
    const int top = RowTop + (RowHeight - Size.cy) / 2;
    const auto at = [&](int Step) {
        const int left = Right - Step * (Size.cx + 1);
        return vcl::TRect{left, top, left + Size.cx, top + Size.cy};
    };
    return {at(1), at(2), at(3)};
}

} // namespace skin
