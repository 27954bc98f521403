#pragma once
// The order of a menu bar that shows a second menu merged into its own (an
// MDI parent's bar with its active child's menu): the merged menu's top
// items take the place of the bar's own items of the same group index and
// stand in group order among them; the bar's own items keep their order,
// and items of one group keep their menu's order. Portable.
#include <span>
#include <vector>

namespace vcl {

struct TMergeSlot {
    bool Merged = false;  // an item of the merged menu, else the bar's own
    int Index = 0;        // its index among its menu's top items
    bool operator==(const TMergeSlot &) const = default;
};

// Own and Merged: the group indexes of the two menus' top items, in order.
std::vector<TMergeSlot> MergeByGroup(std::span<const int> Own, std::span<const int> Merged);

} // namespace vcl
