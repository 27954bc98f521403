#include "MenuMerge.h"

#include <algorithm>
#include <cstddef>

namespace vcl {

std::vector<TMergeSlot> MergeByGroup(std::span<const int> Own, std::span<const int> Merged) {
    const auto replaced = [&](int Group) { return std::find(Merged.begin(), Merged.end(), Group) != Merged.end(); };
    // The merged items in group order; the bar's own keep theirs.
    std::vector<int> merged(Merged.size());
    for (std::size_t k = 0; k < merged.size(); ++k) merged[k] = static_cast<int>(k);
    std::stable_sort(merged.begin(), merged.end(), [&](int A, int B) { return Merged[A] < Merged[B]; });
    std::vector<TMergeSlot> order;
    order.reserve(Own.size() + Merged.size());
    std::size_t i = 0, j = 0;
    while (i < Own.size() || j < merged.size()) {
        if (i < Own.size() && replaced(Own[i])) {
            ++i;
            continue;
        }
        // Equal groups never meet here: the merged menu replaced them.
        const bool own = j >= merged.size() || (i < Own.size() && Own[i] < Merged[merged[j]]);
        order.push_back(own ? TMergeSlot{false, static_cast<int>(i++)} : TMergeSlot{true, merged[j++]});
    }
    return order;
}

} // namespace vcl
