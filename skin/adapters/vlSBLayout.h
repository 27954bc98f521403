#pragma once
// The arithmetic of a stand-alone scroll-bar control's face, apart from any
// window: how long its arrows and thumb are, where the thumb stands for a
// position, and which position a point along the control stands for. Its
// own rules, not those of the bars of scrolling windows (vlScrollGeometry):
// a thumb of at least 16 pixels whose centre splits the track in two. An
// application may hand the control any 32-bit range, so nothing here
// overflows for the widest. Portable.
#include <cstdint>

namespace skin {

// The control's copies of its scroll information.
struct TvlSBRange {
    std::int32_t Min = 0;
    std::int32_t Max = 0;   // not below Min
    std::int32_t Page = 0;  // 0 .. the range's size
    std::int32_t Pos = 0;   // Min .. the last position
};

// Page cut to the range's size (and to the largest signed 32-bit number),
// Pos to Min .. the last position (Max less the page but one). Max below
// Min is the caller's to settle first.
TvlSBRange FitSBRange(std::int32_t Min, std::int32_t Max, std::uint32_t Page, std::int32_t Pos);
// The last position: Max less the page but one, never below Min.
std::int32_t SBLastPos(const TvlSBRange &Range);

// The parts along a control Length pixels long (0 at the first arrow's
// outer end).
struct TvlSBFace {
    int Arrow = 0;       // one arrow's length: ArrowSize, at most half the control
    int Track = 0;       // the length between the arrows
    int ThumbSize = 0;   // 16 without a page, else the page's share of the track, at least 16
    int Centre = 0;      // where the two track halves meet
    int ThumbStart = 0;  // the thumb's first pixel: centred on Centre, against an arrow at either end
    bool ThumbShown = false;  // the track is long enough for the thumb
};
// Position is the one drawn (it may lag behind Range.Pos while the thumb is
// dragged); one outside the range is drawn at its nearer end.
TvlSBFace SBFaceOf(const TvlSBRange &Range, std::int32_t Position, int Length, int ArrowSize);

// The position the point Along stands for, counted from the first arrow's
// inner end (a drag takes the difference of two); 0 when the thumb fills the
// track.
std::int64_t SBPositionAt(const TvlSBRange &Range, int Length, int ArrowSize, int Along);

} // namespace skin
