#pragma once
// Building blocks of the pixel tests: pixel values from channels, images
// filled by a rule, and a readable dump of an image for failure messages.
#include <cstdint>
#include <functional>
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

inline std::string Hex(std::uint32_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

} // namespace skin::test
