#include "vlBorderImage.h"

#include <algorithm>

namespace skin {

namespace {

// Two opposite slices fitted into Size: shrunk evenly, the far one taking
// the odd pixel, so that they never overlap.
void FitSlices(int Size, int &Near, int &Far) {
    Near = std::max(Near, 0);
    Far = std::max(Far, 0);
    const int over = Near + Far - Size;
    if (over <= 0) return;
    Near -= over / 2;
    Far -= over - over / 2;
    Near = std::max(Near, 0);
    Far = std::max(Far, 0);
}

// Where target coordinate T of a span Size long reads the source Source
// long: the ends (Near, Far on both) as they are, the middle stretched to
// the nearest pixel. -1 in the middle of the target, which stays empty.
int SourceOf(int T, int Size, int Near, int Far, int Source) {
    if (T < Near) return T;
    if (T >= Size - Far) return Source - (Size - T);
    return -1;
}

int StretchedSource(int T, int Size, int Near, int Far, int Source) {
    const int middle = Size - Near - Far, sourceMiddle = Source - Near - Far;
    if (middle <= 0 || sourceMiddle <= 0) return std::clamp(Near, 0, Source - 1);
    return Near + (T - Near) * sourceMiddle / middle;
}

std::uint32_t Over(std::uint32_t Straight, std::uint32_t Under) {
    const std::uint32_t a = Straight >> 24, rest = 255 - a;
    const auto channel = [&](int Shift) {
        const std::uint32_t v = (((Straight >> Shift) & 0xFF) * a + ((Under >> Shift) & 0xFF) * rest) / 255;
        return std::min<std::uint32_t>(v, 255) << Shift;
    };
    const std::uint32_t alpha = std::min<std::uint32_t>(a + (Under >> 24) * rest / 255, 255);
    return (alpha << 24) | channel(16) | channel(8) | channel(0);
}

} // namespace

void PaintBorderMask(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const vcl::TBitmapView &Mask,
                     const vcl::TRect &Slices) {
    if (!Image.HasRows()) return;
    const int w = Image.Width, h = Image.Height;
    const bool hasMask = Mask.HasRows() && Mask.Width > 0;
    // The slices can be no wider than the mask itself, nor overlap in it or in the image.
    int l = Slices.Left, r = Slices.Right, t = Slices.Top, b = Slices.Bottom;
    if (hasMask) {
        FitSlices(Mask.Width, l, r);
        FitSlices(Mask.Height, t, b);
    }
    FitSlices(w, l, r);
    FitSlices(h, t, b);
    for (int y = 0; y < h; ++y) {
        const bool rowInFrame = y >= Frame.Top && y < Frame.Bottom;
        int sy = hasMask ? SourceOf(y, h, t, b, Mask.Height) : -1;
        const bool middleRow = sy < 0;
        if (hasMask && middleRow) sy = StretchedSource(y, h, t, b, Mask.Height);
        for (int x = 0; x < w; ++x) {
            std::uint32_t &pixel = Image.At(x, y);
            const bool inFrame = rowInFrame && x >= Frame.Left && x < Frame.Right;
            const std::uint32_t under = inFrame && (pixel & 0xFFFFFF) != FrameKeyColour ? pixel | 0xFF000000u : 0;
            if (!hasMask) {
                pixel = under;
                continue;
            }
            int sx = SourceOf(x, w, l, r, Mask.Width);
            if (sx < 0) {
                if (middleRow) {  // the middle of the mask is not drawn
                    pixel = under;
                    continue;
                }
                sx = StretchedSource(x, w, l, r, Mask.Width);
            }
            pixel = Over(Mask.At(sx, sy), under);
        }
    }
}

std::vector<std::uint32_t> PixelsOf(const vcl::TBitmapView &Image) {
    std::vector<std::uint32_t> pixels;
    if (!Image.HasRows()) return pixels;
    pixels.reserve(static_cast<std::size_t>(Image.Width) * Image.Height);
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x) pixels.push_back(Image.At(x, y));
    return pixels;
}

void MakeChangedOpaque(const vcl::TBitmapView &Image, const vcl::TRect &Frame, const std::vector<std::uint32_t> &Before) {
    if (!Image.HasRows() || Before.size() != static_cast<std::size_t>(Image.Width) * Image.Height) return;
    const int top = std::max(Frame.Top, 0), bottom = std::min(Frame.Bottom, Image.Height);
    const int left = std::max(Frame.Left, 0), right = std::min(Frame.Right, Image.Width);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            std::uint32_t &pixel = Image.At(x, y);
            if (pixel != Before[static_cast<std::size_t>(y) * Image.Width + x]) pixel |= 0xFF000000u;
        }
}

} // namespace skin
