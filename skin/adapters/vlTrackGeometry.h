#pragma once
// The arithmetic of the spin and track-bar adapters, apart from any window:
// the two halves of an up-down control, the tick positions of a track bar
// and the rows its ticks stand in. Portable.
#include <array>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// The first (upper or left) and second button of a W x H up-down control;
// the first takes the odd pixel. Offset moves a vertical pair right.
std::array<vcl::TRect, 2> SpinButtonRects(int Width, int Height, int Offset, bool Horizontal);

// Ticks evenly spaced over a channel, the thumb's half length kept free at
// both ends: position i = round(i x step + ChannelStart + ThumbLength / 2)
// with step = (ChannelLength - ThumbLength) / (Count - 1). Fewer than two
// ticks give none (there is no step between them).
std::vector<int> TrackTickPositions(int ChannelStart, int ChannelLength, int ThumbLength, int Count);

// Where tick rows stand across the bar: Placement 1 before the channel,
// 0 after it, 2 both. ChannelNear and ChannelFar are the channel's edges
// across the bar (top and bottom, or left and right); the offset from them
// is (thumb thickness - channel thickness) / 2 + 2, and a row before the
// channel ends TickLength before that.
std::vector<int> TrackTickRows(int Placement, int ChannelNear, int ChannelFar, int ThumbThickness, int TickLength);

// The image turned over in place: its rows exchanged top to bottom (Rows),
// or its columns left to right.
void MirrorImage(const vcl::TBitmapView &Image, bool Rows);

} // namespace skin
