#pragma once
// The size of the processor's caches, as the system reports it. Internal to
// skin/graphics: the pixel routines choose between ordinary and streaming
// stores by it.
#include <cstddef>

namespace skin::pixel {

// Bytes of the largest cache that the processor has (the last level before
// memory); 0 when the system does not say. Asked once per process.
std::size_t LastLevelCacheBytes();

} // namespace skin::pixel
