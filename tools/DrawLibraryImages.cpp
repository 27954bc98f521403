// Draws the skinning library's own pictures:
//   BLUR5.bmp   the square mask of the outer effects: a box blurred over five
//               pixels, black (opaque) inside, white (transparent) at the edge;
//               the library halves its width for the nine-slice margins.
//   vlSHDA.png  the shadow around an active window with extended borders,
//   vlSHDI.png  and around an inactive one: 19 x 19 pixels, nine-sliced at 9,
//               so the 9-pixel margins are the shadow and the centre pixel,
//               where the window lies, is empty.
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
    } catch (const std::exception &e) {
        std::cerr << "zuvo_draw_library_images: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
