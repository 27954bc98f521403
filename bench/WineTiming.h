#pragma once
// The clock, the message pump and the summary of the benchmark programs
// that run under Wine and time whole user-visible operations (not through
// the micro-benchmark library, whose loops cannot wait for a window to
// paint).
#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

// Milliseconds from the performance counter.
inline double NowMs() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// Processes this thread's pending messages (what a timed step left).
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The median of the samples (the upper one of an even count); 0 for none.
inline double Median(std::vector<double> Samples) {
    if (Samples.empty()) return 0;
    std::sort(Samples.begin(), Samples.end());
    return Samples[Samples.size() / 2];
}

} // namespace bench
