#include "vlBitmapHelpers.h"

#include <algorithm>

namespace skin {

using vcl::TBitmapView;
using vcl::TRect;

std::array<TRect, 4> FrameBandRects(const TRect &R, int Left, int Top, int Right, int Bottom) {
    return {{
        {R.Left, R.Top, R.Right, R.Top + Top},
        {R.Left, R.Top + Top, R.Left + Left, R.Bottom},
        {R.Left + Left, R.Bottom - Bottom, R.Right, R.Bottom},
        {R.Right - Right, R.Top + Top, R.Right, R.Bottom - Bottom},
    }};
}

void CopyBitmapChannel(const TBitmapView &Bmp32, const TBitmapView &Bmp8, int Channel, bool ToBmp8) {
    if (!Bmp32.HasRows() || !Bmp8.HasRows() || Channel < 0 || Channel > 3) return;
    const int w = std::min(Bmp32.Width, Bmp8.Width);
    const int h = std::min(Bmp32.Height, Bmp8.Height);
    for (int y = 0; y < h; ++y) {
        std::uint8_t *p32 = Bmp32.Line(y) + Channel;
        std::uint8_t *p8 = Bmp8.Line(y);
        for (int x = 0; x < w; ++x) {
            if (ToBmp8)
                p8[x] = p32[4 * x];
            else
                p32[4 * x] = p8[x];
        }
    }
}

namespace {

// Length of the text without its last UTF-8 code point.
std::size_t WithoutLastCharacter(const std::string &s) {
    std::size_t n = s.size();
    if (n == 0) return 0;
    --n;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return n;
}

} // namespace

std::string ShortenTextToWidth(const TTextWidthFunc &TextWidth, const std::string &Text, int MaxWidth) {
    if (MaxWidth < 1) return {};
    std::string result = Text;
    if (result.empty() || TextWidth(result) <= MaxWidth) return result;
    do {
        if (TextWidth(result + "...") <= MaxWidth) break;
        result.resize(WithoutLastCharacter(result));
    } while (!result.empty());
    if (!result.empty()) result += "...";
    return result;
}

} // namespace skin
