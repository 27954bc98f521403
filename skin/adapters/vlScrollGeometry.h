#pragma once
// The arithmetic of a skinned scroll bar, apart from any window: where the
// thumb lies, which part is under a point, which position a dragged thumb
// stands for, and where the two bars of a scrolling window go inside its
// frame. Bars are measured along their axis: Start and Length are the
// bar's first pixel and its length, the button size that of one arrow.
// Portable.
#include <cstdint>

#include "vcl/Types.h"

namespace skin {

// Part codes; they equal the scroll codes the bar sends for them.
inline constexpr int spNone = -1;
inline constexpr int spFirstArrow = 0;   // SB_LINEUP
inline constexpr int spSecondArrow = 1;  // SB_LINEDOWN
inline constexpr int spTrackBefore = 2;  // SB_PAGEUP
inline constexpr int spTrackAfter = 3;   // SB_PAGEDOWN
inline constexpr int spThumb = 5;        // SB_THUMBTRACK

// The scroll information a bar shows.
struct TvlScrollRange {
    std::int32_t Min = 0;
    std::int32_t Max = 0;
    std::uint32_t Page = 0;
    std::int32_t Pos = 0;
};

struct TvlThumb {
    int Pos = 0;   // first pixel, in the bar's coordinates (Start included)
    int Size = 0;  // length
};

// A * B / C rounded half away from zero; -1 when C is 0 (the system's rule).
int MulDivRound(int A, int B, int C);

// The last position the range can scroll to: Max less the page but one.
int LastScrollPos(const TvlScrollRange &Range);

// The thumb of a bar: its length from the page (never below MinThumb; 19
// when the bar has no buttons), its place from the position.
TvlThumb ThumbOf(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int MinThumb);

// The thumb is drawn: the track is at least 2 px and the page's share of
// it does not exceed it.
bool ThumbShown(const TvlScrollRange &Range, int Length, int ButtonSize);

// The part at coordinate Along (the cursor along the bar); Across must lie
// in [AcrossStart, AcrossEnd). A bar shorter than its two buttons is two
// half-length buttons.
int ScrollPartAt(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int MinThumb, int Along,
                 int Across, int AcrossStart, int AcrossEnd);

// The position a thumb dragged to ThumbStart stands for: from Range.Min to
// LastScrollPos, never outside.
int ThumbDragPos(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int ThumbSize, int ThumbStart);

// The thumb's start clamped to the track.
int ClampThumbStart(int Start, int Length, int ButtonSize, int ThumbSize, int ThumbStart);

// The layout of a window's two bars.
struct TvlBarFrame {
    vcl::TRect Window;  // the window's rectangle
    int FrameLeft = 0, FrameTop = 0, FrameRight = 0, FrameBottom = 0;  // its frame around the client area
    bool HorzShown = false, VertShown = false;
    int HorzWidth = 0, VertWidth = 0;  // each bar's thickness
    bool LeftScrollBar = false;        // the vertical bar stands at the left
};
vcl::TRect HorzBarRect(const TvlBarFrame &Frame);
vcl::TRect VertBarRect(const TvlBarFrame &Frame);
// The square between both bars; empty unless both are shown.
vcl::TRect CornerRect(const TvlBarFrame &Frame);

// The client rectangle less the bars that fit: a bar whose thickness
// exceeds the client's extent across it is not shown and takes nothing.
struct TvlBarPlacement {
    vcl::TRect Client;
    bool HorzShown = false, VertShown = false;
};
TvlBarPlacement PlaceScrollBars(vcl::TRect Client, bool HasHorz, int HorzWidth, bool HasVert, int VertWidth,
                                bool LeftScrollBar);

} // namespace skin
