#pragma once
// A jump from a function's first bytes to another function for the
// object's life; the bytes it replaced come back afterwards. Tests put
// their own recorders in place of system functions that Wine only stubs
// (the desktop compositor's), so that the calls can be watched. Pass the
// entry a call really reaches (ResolveApiEntry follows import thunks).
// Windows only.
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace zuvotest {

class TApiRedirect {
public:
    TApiRedirect(void *Function, void *Target) : FEntry(static_cast<std::uint8_t *>(Function)) {
        if (!FEntry) return;
        std::memcpy(FSaved, FEntry, sizeof FSaved);
        std::uint8_t jump[5] = {0xE9};
        const auto displacement = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(Target) -
                                                            reinterpret_cast<std::intptr_t>(FEntry + 5));
        std::memcpy(jump + 1, &displacement, 4);
        Write(jump);
    }
    ~TApiRedirect() {
        if (FEntry) Write(FSaved);
    }
    TApiRedirect(const TApiRedirect &) = delete;
    TApiRedirect &operator=(const TApiRedirect &) = delete;

private:
    void Write(const std::uint8_t (&Bytes)[5]) {
        DWORD old = 0;
        VirtualProtect(FEntry, 5, PAGE_EXECUTE_READWRITE, &old);
        std::memcpy(FEntry, Bytes, 5);
        VirtualProtect(FEntry, 5, old, &old);
        FlushInstructionCache(GetCurrentProcess(), FEntry, 5);
    }
    std::uint8_t *FEntry;
    std::uint8_t FSaved[5]{};
};

} // namespace zuvotest
