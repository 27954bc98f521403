#pragma once
// Gradient backgrounds of skin sections: the stops parsed from a section's
// gradient text and the painters that fill rects of 32-bit images with them,
// plain or mixed with a tiled texture.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// Modes, read from the first stop.
inline constexpr std::int32_t gmVertical = 0;    // bands from top to bottom
inline constexpr std::int32_t gmHorizontal = 1;  // bands from left to right
inline constexpr std::int32_t gmTriangles = 2;   // a mesh of four triangles

struct TsGradientStop {
    vcl::TColor Color1 = 0;     // red in the low byte, system colours resolved
    vcl::TColor Color2 = 0;
    std::uint8_t Percent = 0;   // 0..100: this band's share of the rect
    std::int32_t Mode = 0;      // meaningful in the first stop only
    std::int32_t Reserved = 0;  // not written by the parser, not read
};
using TsGradArray = std::vector<TsGradientStop>;

// One corner of the triangle mesh, for a painter that has the system's
// triangle gradient fill.
struct TGradientVertex {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    vcl::TColor Color = 0;
};

// Every group of five ';'-separated fields gives one stop (colour 1,
// colour 2, percent, mode, an unused field); a field that is not an integer
// raises vcl::EConvertError, the stops before it being filled already.
void ParseGradient(std::string_view Text, TsGradArray &Stops);

// Fills R (clipped) with the gradient at alpha 255. Offset moves the first
// band and enlarges the height on which bands are measured; callers pass 0.
// The triangle mode needs the system's gradient fill and paints nothing here.
void PaintGradient(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops, int Offset = 0);

// Fills R with the gradient mixed with the texture TexRect of TexBitmap
// (empty: all of it), tiled from the image's origin; TexWeight 0..255 is how
// much of the texture shows, Alpha goes into every painted pixel.
void PaintGradientBlended(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops,
                          const vcl::TBitmapView &TexBitmap, const vcl::TRect &TexRect, std::uint8_t TexWeight,
                          std::uint8_t Alpha);

// The five vertices of the triangle mode for R: top-left, centre, top-right,
// bottom-right, bottom-left, coloured by colour 1 of stops 0..4 (a missing
// stop repeats the colour before it). Empty stops give black vertices.
std::array<TGradientVertex, 5> GradientMeshVertices(const vcl::TRect &R, const TsGradArray &Stops);
// The four triangles of the mesh as vertex indexes.
inline constexpr std::array<std::array<int, 3>, 4> GradientMeshTriangles{{{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}}};

// Stores Value N times from Dest; N <= 0 stores nothing.
void FillDwords(std::uint32_t *Dest, int N, std::uint32_t Value);

} // namespace skin
