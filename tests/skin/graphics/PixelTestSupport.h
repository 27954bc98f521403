#pragma once
// Building blocks of the pixel tests: pixel values from channels, images
// filled by a rule or from a list, and pixels as hex text, so that a failing
// comparison shows them readably.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>

#include "vcl/BitmapView.h"

namespace skin::test {

// A pixel value from its channels (bytes B, G, R, A in memory).
constexpr std::uint32_t Px(int b, int g, int r, int a) {
    return static_cast<std::uint32_t>(b) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(r) << 16 |
           static_cast<std::uint32_t>(a) << 24;
}

inline vcl::TPixels32 Image(int w, int h, const std::function<std::uint32_t(int x, int y)> &rule) {
    vcl::TPixels32 img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.At(x, y) = rule(x, y);
    return img;
}

// A one-row image of these pixels.
inline vcl::TPixels32 Row(std::initializer_list<std::uint32_t> pixels) {
    vcl::TPixels32 img(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (std::uint32_t p : pixels) img.At(x++, 0) = p;
    return img;
}

inline std::string Hex(std::uint32_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

inline std::string Hex(std::initializer_list<std::uint32_t> pixels) {
    std::string s;
    for (std::uint32_t p : pixels) s += (s.empty() ? "" : " ") + Hex(p);
    return s;
}

// Row Y of the image as hex text.
inline std::string HexRow(const vcl::TPixels32 &img, int y = 0) {
    std::string s;
    for (int x = 0; x < img.Width(); ++x) s += (x ? " " : "") + Hex(img.At(x, y));
    return s;
}

// The whole image as hex text, rows separated by " / ".
inline std::string HexImage(const vcl::TPixels32 &img) {
    std::string s;
    for (int y = 0; y < img.Height(); ++y) s += (y ? " / " : "") + HexRow(img, y);
    return s;
}

} // namespace skin::test
