#include "HandleCounts.h"

#include <atomic>
#include <ostream>

namespace vcl {
namespace {

// Atomic: bitmaps and fonts may be made on any thread.
std::atomic<long> Counts[3];

} // namespace

THandleCounts LiveHandles() {
    return {Counts[0].load(), Counts[1].load(), Counts[2].load()};
}

void CountHandle(THandleKind Kind, int Delta) { Counts[static_cast<int>(Kind)] += Delta; }

std::ostream &operator<<(std::ostream &Out, const THandleCounts &Counts) {
    return Out << Counts.GdiObjects << " GDI objects, " << Counts.DCs << " DCs, " << Counts.Windows << " windows";
}

} // namespace vcl
