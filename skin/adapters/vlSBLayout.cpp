#include "vlSBLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace skin {

namespace {

// Rounded to the nearest, ties to even.
double RoundEven(double V) { return std::nearbyint(V); }

std::int64_t PageButOne(const TvlSBRange &R) { return std::max<std::int64_t>(std::int64_t{R.Page} - 1, 0); }

// Steps the thumb moves over: the range less the page but one. The range
// may hold 2^32 positions.
std::int64_t Steps(const TvlSBRange &R) { return std::int64_t{R.Max} - R.Min - PageButOne(R); }

} // namespace

std::int32_t SBLastPos(const TvlSBRange &Range) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(Range.Min, std::int64_t{Range.Max} - PageButOne(Range)));
}

TvlSBRange FitSBRange(std::int32_t Min, std::int32_t Max, std::uint32_t Page, std::int32_t Pos) {
    const std::int64_t size = std::max<std::int64_t>(std::int64_t{Max} - Min + 1, 0);
    TvlSBRange r{Min, Max, 0, 0};
    r.Page = static_cast<std::int32_t>(std::min<std::int64_t>({std::int64_t{Page}, size, INT32_MAX}));
    r.Pos = std::clamp(Pos, Min, SBLastPos(r));
    return r;
}

TvlSBFace SBFaceOf(const TvlSBRange &Range, std::int32_t Position, int Length, int ArrowSize) {
    TvlSBFace f;
    f.Arrow = std::min(ArrowSize, Length / 2);
    f.Track = Length - 2 * f.Arrow;
    const double size = std::max<double>(static_cast<double>(Range.Max) - Range.Min + 1, 1);
    f.ThumbSize = Range.Page == 0 ? 16 : std::max(16, static_cast<int>(RoundEven(f.Track * static_cast<double>(Range.Page) / size)));
    const std::int64_t steps = Steps(Range);
    const std::int32_t last = SBLastPos(Range);
    const std::int32_t position = std::clamp(Position, Range.Min, last);
    if (steps <= 0)
        f.Centre = Length / 2;
    else
        f.Centre = f.Arrow + f.ThumbSize / 2 +
                   static_cast<int>(RoundEven(static_cast<double>(f.Track - f.ThumbSize) / static_cast<double>(steps) *
                                              static_cast<double>(std::int64_t{position} - Range.Min)));
    f.ThumbStart = f.Centre - f.ThumbSize / 2;
    // Against the second arrow at the last position the range allows
    // (Max - Page + 1 with a page): put there one step earlier, at Max -
    // Page, the thumb would show the end while a step is still left.
    if (steps > 0 && position >= last) f.ThumbStart = Length - f.Arrow - f.ThumbSize;
    if (Range.Max == Range.Min) f.ThumbStart = f.Arrow;
    f.ThumbShown = f.Track >= f.ThumbSize;
    return f;
}

std::int64_t SBPositionAt(const TvlSBRange &Range, int Length, int ArrowSize, int Along) {
    const TvlSBFace f = SBFaceOf(Range, Range.Pos, Length, ArrowSize);
    const int free = f.Track - f.ThumbSize;
    if (free == 0) return 0;
    // Far outside the control a point would stand for more than 64 bits hold;
    // any drag there ends at the range's end anyway.
    constexpr double Far = 0x1p40;
    const double at = static_cast<double>(std::int64_t{Along} - f.Arrow) * static_cast<double>(Steps(Range)) / free;
    return static_cast<std::int64_t>(RoundEven(std::clamp(at, -Far, Far)));
}

} // namespace skin
