#include "vlTrackGeometry.h"

#include <algorithm>
#include <cmath>

namespace skin {

std::array<vcl::TRect, 2> SpinButtonRects(int Width, int Height, int Offset, bool Horizontal) {
    if (Horizontal)
        return {vcl::TRect{0, 0, Width / 2 + Width % 2, Height}, vcl::TRect{Width / 2, 0, Width, Height}};
    return {vcl::TRect{Offset, 0, Width, Height / 2 + Height % 2}, vcl::TRect{Offset, Height / 2, Width, Height}};
}

std::vector<int> TrackTickPositions(int ChannelStart, int ChannelLength, int ThumbLength, int Count) {
    std::vector<int> ticks;
    if (Count < 2) return ticks;
    const double step = static_cast<double>(ChannelLength - ThumbLength) / (Count - 1);
    ticks.reserve(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i)
        ticks.push_back(static_cast<int>(std::lround(i * step + ChannelStart + ThumbLength / 2)));
    return ticks;
}

std::vector<int> TrackTickRows(int Placement, int ChannelNear, int ChannelFar, int ThumbThickness, int TickLength) {
    const int offset = (ThumbThickness - (ChannelFar - ChannelNear)) / 2 + 2;
    std::vector<int> rows;
    if (Placement == 1 || Placement == 2) rows.push_back(ChannelNear - offset - TickLength);
    if (Placement == 0 || Placement == 2) rows.push_back(ChannelFar + offset);
    return rows;
}

void MirrorImage(const vcl::TBitmapView &Image, bool Rows) {
    if (!Image.HasRows()) return;
    if (Rows) {
        for (int top = 0, bottom = Image.Height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(Image.Row32(top), Image.Row32(top) + Image.Width, Image.Row32(bottom));
        return;
    }
    for (int y = 0; y < Image.Height; ++y) std::reverse(Image.Row32(y), Image.Row32(y) + Image.Width);
}

} // namespace skin
