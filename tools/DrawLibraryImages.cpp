// Draws the skinning library's own pictures:
//   BLUR5.bmp   the square mask of the outer effects: a box blurred over five
//               pixels, black (opaque) inside, white (transparent) at the edge;
//               the library halves its width for the nine-slice margins.
//   vlSHDA.png  the shadow around an active window with extended borders,
//   vlSHDI.png  and around an inactive one: 19 x 19 pixels, nine-sliced at 9,
//               so the 9-pixel margins are the shadow and the centre pixel,
//               where the window lies, is empty.
//   MENUBTN.bmp the picture of a title-bar menu button without a skin
//               section: three 20 x 20 frames side by side (normal, hot,
//               pressed), nine-sliced at 4, rounded corners in the key
//               colour 0xFF00FF. Its alpha is stored inverted (0 opaque),
//               as the library expects of it.
//
//   zuvo_draw_library_images <output folder>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "SkinImage.h"

namespace fs = std::filesystem;
using namespace skintools;

namespace {

// Share of a pixel's centre span covered by a gaussian-blurred edge that
// lies at Edge (inside towards larger values).
double EdgeCoverage(double Centre, double Edge, double Sigma) { return 0.5 * std::erfc((Edge - Centre) / (Sigma * std::sqrt(2.0))); }

Image Blur5() {
    constexpr int Size = 21;
    constexpr double Inset = 5, Sigma = 1.8;
    Image out(Size, Size);
    auto axis = [&](int v) {
        const double c = v + 0.5;
        return EdgeCoverage(c, Inset, Sigma) * EdgeCoverage(-c, -(Size - Inset), Sigma);
    };
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const auto grey = static_cast<std::uint8_t>(std::lround(255.0 * (1.0 - axis(x) * axis(y))));
            out.At(x, y) = Pixel{grey, grey, grey, 0xFF};
        }
    return out;
}

// The window covers the centre pixel (9, 9); its shadow falls DropY pixels
// lower than it and fades over Sigma.
Image Shadow(double Sigma, double Strength, double DropY) {
    constexpr int Size = 19, Edge = 9;
    Image out(Size, Size);
    auto axis = [&](int v, double drop) {
        const double c = v + 0.5;
        if (v < Edge) return EdgeCoverage(c, Edge + drop, Sigma);
        if (v > Edge) return EdgeCoverage(-c, -(Edge + 1 + drop), Sigma);
        return 1.0;
    };
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            if (x == Edge && y == Edge) continue;  // under the window
            const double a = Strength * axis(x, 0) * axis(y, DropY);
            out.At(x, y) = Pixel{0x10, 0x18, 0x24, static_cast<std::uint8_t>(std::lround(255.0 * a))};
        }
    return out;
}

Image MenuButton() {
    constexpr int Size = 20, Radius = 3;
    struct Face {
        Pixel Top, Bottom, Edge;
    };
    const Face faces[3] = {{{0x3B, 0x7C, 0xC2, 0}, {0x2B, 0x6C, 0xB0, 0}, {0x1E, 0x4F, 0x86, 0}},
                           {{0x52, 0x92, 0xD6, 0}, {0x3B, 0x7C, 0xC2, 0}, {0x24, 0x5D, 0x99, 0}},
                           {{0x24, 0x5D, 0x99, 0}, {0x2B, 0x6C, 0xB0, 0}, {0x17, 0x40, 0x6E, 0}}};
    const Pixel key{0xFF, 0x00, 0xFF, 0xFF};
    Image out(3 * Size, Size);
    // How far a pixel's centre lies beyond the rounded outline, in pixels
    // (negative inside); the corner circles stand Radius in from each edge.
    auto beyond = [&](int x, int y) {
        const auto centre = [](int v) {
            const double c = v + 0.5;
            return c < Radius ? double(Radius) : c > Size - Radius ? double(Size - Radius) : c;
        };
        return std::hypot(x + 0.5 - centre(x), y + 0.5 - centre(y)) - Radius;
    };
    for (int f = 0; f < 3; ++f)
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                const double d = beyond(x, y);
                Pixel &p = out.At(f * Size + x, y);
                if (d > 0) {
                    p = key;
                    continue;
                }
                const bool edge = d > -0.5 || x == 0 || y == 0 || x == Size - 1 || y == Size - 1;
                const double t = y / double(Size - 1);
                const auto mix = [t](std::uint8_t a, std::uint8_t b) {
                    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
                };
                const Face &c = faces[f];
                p = edge ? c.Edge : Pixel{mix(c.Top.R, c.Bottom.R), mix(c.Top.G, c.Bottom.G), mix(c.Top.B, c.Bottom.B), 0};
            }
    return out;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::cerr << "usage: zuvo_draw_library_images <output folder>\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        fs::create_directories(out);
        WriteFileBytes((out / "BLUR5.bmp").string(), EncodeBmp24(Blur5()));
        WriteFileBytes((out / "vlSHDA.png").string(), EncodePng(Shadow(3.0, 0.34, 1.5)));
        WriteFileBytes((out / "vlSHDI.png").string(), EncodePng(Shadow(2.2, 0.18, 1.0)));
        WriteFileBytes((out / "MENUBTN.bmp").string(), EncodeBmp32(MenuButton()));
    } catch (const std::exception &e) {
        std::cerr << "zuvo_draw_library_images: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
