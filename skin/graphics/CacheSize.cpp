#include "CacheSize.h"

#include <algorithm>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace skin::pixel {

namespace {

std::size_t AskLastLevelCacheBytes() {
#ifdef _WIN32
    DWORD bytes = 0;
    GetLogicalProcessorInformation(nullptr, &bytes);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return 0;
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> info(bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION) + 1);
    bytes = static_cast<DWORD>(info.size() * sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    if (!GetLogicalProcessorInformation(info.data(), &bytes)) return 0;
    info.resize(bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    // The cache of the highest level that holds data.
    int level = 0;
    std::size_t size = 0;
    for (const SYSTEM_LOGICAL_PROCESSOR_INFORMATION &entry : info) {
        if (entry.Relationship != RelationCache || entry.Cache.Type == CacheInstruction) continue;
        if (entry.Cache.Level > level || (entry.Cache.Level == level && entry.Cache.Size > size)) {
            level = entry.Cache.Level;
            size = entry.Cache.Size;
        }
    }
    return size;
#else
    // The C library reads the processor's own description of its caches.
    long size = 0;
#ifdef _SC_LEVEL3_CACHE_SIZE
    size = sysconf(_SC_LEVEL3_CACHE_SIZE);
#endif
#ifdef _SC_LEVEL2_CACHE_SIZE
    if (size <= 0) size = sysconf(_SC_LEVEL2_CACHE_SIZE);
#endif
    return size > 0 ? static_cast<std::size_t>(size) : 0;
#endif
}

} // namespace

std::size_t LastLevelCacheBytes() {
    static const std::size_t bytes = AskLastLevelCacheBytes();
    return bytes;
}

} // namespace skin::pixel
