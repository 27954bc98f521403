#pragma once
// Paces work that is requested far more often than it is worth doing: a
// progress bar stepped after every byte is redrawn once per display frame,
// and a long loop pumps messages once every few milliseconds. Portable; the
// clock is a millisecond tick count that wraps around (GetTickCount).
#include <chrono>
#include <cstdint>

namespace vcl {

class TRefreshGate {
public:
    explicit TRefreshGate(std::uint32_t intervalMs) : FInterval(intervalMs) {}

    // True when at least one interval has passed since the gate last opened
    // (or it has never opened); the gate then stays shut for an interval.
    bool Pass(std::uint32_t nowMs) {
        if (!Due(nowMs)) return false;
        Mark(nowMs);
        return true;
    }

    // Unsigned difference: correct across the wrap of the tick count.
    bool Due(std::uint32_t nowMs) const { return !FOpened || nowMs - FLast >= FInterval; }
    void Mark(std::uint32_t nowMs) { FLast = nowMs; FOpened = true; }
    void Reset() { FOpened = false; }
    std::uint32_t Interval() const { return FInterval; }

private:
    std::uint32_t FInterval;
    std::uint32_t FLast = 0;
    bool FOpened = false;
};

// A millisecond clock for the gates: steady and finer than the system tick
// count, whose steps of about 16 ms would stretch every interval.
inline std::uint32_t TickMs() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// About one display frame: the longest a progress bar's window lags its value.
inline constexpr std::uint32_t kDisplayFrameMs = 16;
// The least time between two message pumps of a long loop.
inline constexpr std::uint32_t kPumpIntervalMs = 10;

} // namespace vcl
