#pragma once
// Image helpers that only compute: colour mixing, the placement of a glyph
// and a caption in a button, and the painting of a skin texture into a rect
// in tiled or stretched bands.
#include <cstdint>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

#ifdef _WIN32
#include <string>

namespace vcl {
class TBitmap;
class TStream;
}
#endif

namespace skin {

// Texture fill modes (a mask's DrawMode used as fill mode).
inline constexpr int tfTile = 0;            // tile the whole rect
inline constexpr int tfStretch = 1;         // stretch over the whole rect
inline constexpr int tfTileTop = 2;         // a band of tiles along the top
inline constexpr int tfTileLeft = 3;        // a band of tiles along the left side
inline constexpr int tfStretchTop = 4;      // one band of the texture's height across the top
inline constexpr int tfStretchLeft = 5;     // one band of the texture's width down the left side
inline constexpr int tfTileBottom = 6;      // a band of tiles along the bottom
inline constexpr int tfTileRight = 7;       // a band of tiles along the right side
inline constexpr int tfTileAll = 10;        // tile the whole rect
inline constexpr int tfStretchRows = 11;    // rows of the texture's height stretched to the full width
inline constexpr int tfStretchColumns = 12; // columns of the texture's width stretched to the full height

// Layouts of CalcGlyphTextLayout: where the glyph stands beside the caption.
inline constexpr int glGlyphLeft = 0;
inline constexpr int glGlyphRight = 1;
inline constexpr int glGlyphTop = 2;
inline constexpr int glGlyphBottom = 3;
// Horizontal alignments.
inline constexpr int haLeft = 0;
inline constexpr int haRight = 1;
inline constexpr int haCenter = 2;
// Vertical alignments.
inline constexpr int vaTop = 0;
inline constexpr int vaBottom = 1;
inline constexpr int vaCenter = 2;
// The BiDi flag that mirrors glyph-left and glyph-right layouts (DT_RIGHT).
inline constexpr unsigned bdRightToLeft = 2;

// Each of the three low bytes: round(c1 * Ratio + c2 * (1 - Ratio)); the high byte is Colour1's.
vcl::TColor MixColors(vcl::TColor Colour1, vcl::TColor Colour2, double Ratio);

// Places a glyph and a caption inside a button's client rect. Margin and
// Spacing -1 are computed. GlyphPos receives the glyph's top-left and
// TextBounds the caption's rect, both in the client rect's coordinates.
void CalcGlyphTextLayout(const vcl::TRect &Client, const vcl::TSize &GlyphSize, const vcl::TSize &TextSize,
                         int Layout, int HAlign, int Margin, int Spacing, vcl::TPoint &GlyphPos,
                         vcl::TRect &TextBounds, unsigned BiDiFlags, int VAlign);

// Where a W x H texture goes in R for a fill mode: each rect receives the
// whole texture, copied when it is W x H and stretched otherwise. Rects may
// reach beyond R; painters cut every block to R. Tiles that do not reach
// into Visible (the bounds of the image painted into) are left out. R
// becomes what is left for the caller to fill: all -1 when the texture
// covers it all. Modes 8 and 9 act as mode 7; unknown modes, an empty R or
// an empty texture give nothing and leave R as it is.
std::vector<vcl::TRect> CalcTextureBlocks(vcl::TRect &R, int W, int H, int Mode, const vcl::TRect &Visible);

// Paints TexRect of Tex into R of Dst by the blocks of CalcTextureBlocks,
// stretching colour on colour (nearest pixel); R changes as there.
void PaintTexture32(const vcl::TBitmapView &Dst, vcl::TRect &R, const vcl::TBitmapView &Tex,
                    const vcl::TRect &TexRect, int Mode);

#ifdef _WIN32
// Bitmap takes the image of a PNG file or stream (through a TPNGGraphic
// made for the call). A damaged PNG raises the reader's error and leaves
// Bitmap as it was.
void LoadPngFileToBitmap(vcl::TBitmap &Bitmap, const std::string &FileName);
void LoadPngStreamToBitmap(vcl::TBitmap &Bitmap, vcl::TStream &Stream);
#endif

} // namespace skin
