#include "vlScrollGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace skin {

int MulDivRound(int A, int B, int C) {
    if (C == 0) return -1;
    const long long n = static_cast<long long>(A) * B;
    const long long half = std::llabs(static_cast<long long>(C)) / 2;
    const bool negative = (n < 0) != (C < 0);
    const long long q = (std::llabs(n) + half) / std::llabs(static_cast<long long>(C));
    return static_cast<int>(negative ? -q : q);
}

int LastScrollPos(const TvlScrollRange &Range) {
    const long long page = Range.Page > 0 ? static_cast<long long>(Range.Page) - 1 : 0;
    return static_cast<int>(std::max<long long>(Range.Min, Range.Max - page));
}

TvlThumb ThumbOf(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int MinThumb) {
    const long long range = static_cast<long long>(Range.Max) - Range.Min + 1;
    const int track = Length - 2 * ButtonSize;
    int size = 0;
    if (Range.Page == 0)
        size = std::max(MinThumb, ButtonSize);
    else if (range > 0)
        size = MulDivRound(static_cast<int>(std::min<std::uint32_t>(Range.Page, 0x7FFFFFFF)), track,
                           static_cast<int>(std::min<long long>(range, 0x7FFFFFFF)));
    if (ButtonSize == 0 && size < 19)
        size = 19;
    else
        size = std::max(size, MinThumb);
    int offset = 0;
    if (range > 0) {
        const int free = track - size;
        const long long steps = range - std::max<long long>(Range.Page, 1);
        const long long moved = static_cast<long long>(Range.Pos) - Range.Min;
        if (steps > 0 && free > 0)
            offset = static_cast<int>(std::clamp<long long>((moved * free * 2 + steps) / (2 * steps), 0, free));
    }
    return {Start + ButtonSize + offset, size};
}

bool ThumbShown(const TvlScrollRange &Range, int Length, int ButtonSize) {
    const int track = Length - 2 * ButtonSize;
    if (track < 2) return false;
    const int share = MulDivRound(static_cast<int>(std::min<std::uint32_t>(Range.Page, 0x7FFFFFFF)), track,
                                  Range.Max - Range.Min);
    return share <= track;
}

int ScrollPartAt(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int MinThumb, int Along,
                 int Across, int AcrossStart, int AcrossEnd) {
    if (Across < AcrossStart || Across >= AcrossEnd) return spNone;
    const TvlThumb thumb = ThumbOf(Range, Start, Length, ButtonSize, MinThumb);
    int b = ButtonSize;
    if (2 * b >= Length) b = Length / 2;
    const int end = Start + Length;
    if (Along >= Start && Along < Start + b) return spFirstArrow;
    if (Along >= end - b && Along < end) return spSecondArrow;
    const int track = Length - 2 * b;
    if (thumb.Size < track) {
        if (Along >= thumb.Pos && Along < thumb.Pos + thumb.Size) return spThumb;
        if (Along >= Start + b && Along < thumb.Pos) return spTrackBefore;
        if (Along >= thumb.Pos + thumb.Size && Along < end - b) return spTrackAfter;
    }
    return spNone;
}

int ClampThumbStart(int Start, int Length, int ButtonSize, int ThumbSize, int ThumbStart) {
    const int low = Start + ButtonSize;
    const int high = std::max(low, Start + Length - ButtonSize - ThumbSize);
    return std::clamp(ThumbStart, low, high);
}

// The thumb's place mapped onto the range from its first to its last
// position. Counted from 0 without the range's start, and over one step more
// than the range holds when it has no page, the position would leave the
// range (a bar from -50 to 50 would send 0 to 100, one of no page its end + 1).
int ThumbDragPos(const TvlScrollRange &Range, int Start, int Length, int ButtonSize, int ThumbSize, int ThumbStart) {
    const int free = Length - 2 * ButtonSize - ThumbSize;
    const int last = LastScrollPos(Range);
    const int moved = ClampThumbStart(Start, Length, ButtonSize, ThumbSize, ThumbStart) - (Start + ButtonSize);
    if (free <= 0) return Range.Min;
    const long long steps = static_cast<long long>(last) - Range.Min;
    const long long pos = Range.Min + (moved * steps * 2 + free) / (2LL * free);
    return static_cast<int>(std::clamp<long long>(pos, Range.Min, last));
}

vcl::TRect HorzBarRect(const TvlBarFrame &F) {
    vcl::TRect r{F.Window.Left + F.FrameLeft, 0, F.Window.Right - F.FrameRight, F.Window.Bottom - F.FrameBottom};
    if (F.VertShown) (F.LeftScrollBar ? r.Left : r.Right) += F.LeftScrollBar ? F.VertWidth : -F.VertWidth;
    r.Top = r.Bottom - (F.HorzShown ? F.HorzWidth : 0);
    return r;
}

vcl::TRect VertBarRect(const TvlBarFrame &F) {
    vcl::TRect r{0, F.Window.Top + F.FrameTop, 0, F.Window.Bottom - F.FrameBottom};
    if (F.HorzShown) r.Bottom -= F.HorzWidth;
    const int width = F.VertShown ? F.VertWidth : 0;
    if (F.LeftScrollBar) {
        r.Left = F.Window.Left + F.FrameLeft;
        r.Right = r.Left + width;
    } else {
        r.Right = F.Window.Right - F.FrameRight;
        r.Left = r.Right - width;
    }
    return r;
}

vcl::TRect CornerRect(const TvlBarFrame &F) {
    if (!F.HorzShown || !F.VertShown) return {};
    const vcl::TRect h = HorzBarRect(F), v = VertBarRect(F);
    return {v.Left, h.Top, v.Right, h.Bottom};
}

TvlBarPlacement PlaceScrollBars(vcl::TRect Client, bool HasHorz, int HorzWidth, bool HasVert, int VertWidth,
                                bool LeftScrollBar) {
    TvlBarPlacement p;
    if (HasHorz && HorzWidth <= Client.Bottom - Client.Top) {
        Client.Bottom -= HorzWidth;
        p.HorzShown = true;
    }
    if (HasVert && VertWidth <= Client.Right - Client.Left) {
        (LeftScrollBar ? Client.Left : Client.Right) += LeftScrollBar ? VertWidth : -VertWidth;
        p.VertShown = true;
    }
    p.Client = Client;
    return p;
}

} // namespace skin
