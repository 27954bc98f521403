#include "MenuMerge.h"

#include <algorithm>
#include <cstddef>

namespace vcl {

std::vector<TMergeSlot> MergeByGroup(std::span<const int> Own, std::span<const int> Merged) {
    const auto replaced = [&](int Group) { return std::find(Merged.begin(), Merged.end(), Group) != Merged.end(); };
    std::vector<TMergeSlot> order;
    order.reserve(Own.size() + Merged.size());
    std::size_t i = 0, j = 0;
    while (i < Own.size() || j < Merged.size()) {
        if (i < Own.size() && replaced(Own[i])) {
            ++i;
            continue;
        }
        // Equal groups never meet here: the merged menu replaced them.
        const bool own = j >= Merged.size() || (i < Own.size() && Own[i] < Merged[j]);
        order.push_back(own ? TMergeSlot{false, static_cast<int>(i++)} : TMergeSlot{true, static_cast<int>(j++)});
    }
    return order;
}

} // namespace vcl
