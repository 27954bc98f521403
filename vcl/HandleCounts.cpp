#include "HandleCounts.h"

#include <atomic>

namespace vcl {
namespace {

// Atomic: bitmaps and fonts may be made on any thread.
std::atomic<long> Counts[3];

} // namespace

THandleCounts LiveHandles() {
    return {Counts[0].load(), Counts[1].load(), Counts[2].load()};
}

void CountHandle(THandleKind Kind, int Delta) { Counts[static_cast<int>(Kind)] += Delta; }

} // namespace vcl
