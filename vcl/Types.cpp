#include "Types.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vcl {

#ifndef _WIN32
namespace {

constexpr TColor RGBValue(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// Indexed as the system's colour numbers (COLOR_SCROLLBAR = 0 ...).
constexpr TColor StockSystemColors[] = {
    RGBValue(200, 200, 200), RGBValue(0, 0, 0),       RGBValue(153, 180, 209), RGBValue(191, 205, 219),
    RGBValue(240, 240, 240), RGBValue(255, 255, 255), RGBValue(100, 100, 100), RGBValue(0, 0, 0),
    RGBValue(0, 0, 0),       RGBValue(0, 0, 0),       RGBValue(180, 180, 180), RGBValue(244, 247, 252),
    RGBValue(171, 171, 171), RGBValue(51, 153, 255),  RGBValue(255, 255, 255), RGBValue(240, 240, 240),
    RGBValue(160, 160, 160), RGBValue(109, 109, 109), RGBValue(0, 0, 0),       RGBValue(67, 78, 84),
    RGBValue(255, 255, 255), RGBValue(105, 105, 105), RGBValue(227, 227, 227), RGBValue(0, 0, 0),
    RGBValue(255, 255, 225), RGBValue(0, 0, 0),       RGBValue(0, 102, 204),   RGBValue(185, 209, 234),
    RGBValue(215, 228, 242), RGBValue(51, 153, 255),  RGBValue(240, 240, 240),
};

} // namespace
#endif

TColor ColorToRGB(TColor Color) {
    if (Color >= 0) return Color;
    const int index = Color & 0xFF;
#ifdef _WIN32
    return static_cast<TColor>(GetSysColor(index));
#else
    constexpr int count = sizeof(StockSystemColors) / sizeof(StockSystemColors[0]);
    return index < count ? StockSystemColors[index] : 0;
#endif
}

} // namespace vcl
