#pragma once
// The pixel moves that every skin painter makes with pieces of a skin image:
// plain and stretched copies, sub-images, and the background pixel behind a
// destination pixel. Every read stays inside its image and every write
// inside the destination, whatever rects a (possibly hostile) skin names.
//
// Stretching takes the nearest pixel by one fixed rule: destination column i
// of a piece DW wide shows source column i * SW / DW (rounded down), rows
// alike, so results are exact and the same on every system.
#include <cstdint>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"
#include "vlPixelHelpers.h"

namespace skin {

// The part R of Image (cut to the image) as an image of its own; empty when
// nothing of R lies inside.
vcl::TBitmapView SubView(const vcl::TBitmapView &Image, const vcl::TRect &R);

// Copies SrcW x SrcH pixels from (SrcX, SrcY) of Src to (DstX, DstY) of Dst
// as they are, alpha included; cut to both images.
void CopyPixels(const vcl::TBitmapView &Dst, int DstX, int DstY, const vcl::TBitmapView &Src, int SrcX, int SrcY,
                int SrcW, int SrcH);

// Stretches SrcRect of Src over DstRect of Dst by the nearest-pixel rule
// (pixels copied whole). SrcRect is cut to Src first; only the part of
// DstRect inside Dst is written.
void StretchPixels(const vcl::TBitmapView &Dst, const vcl::TRect &DstRect, const vcl::TBitmapView &Src,
                   const vcl::TRect &SrcRect);

// Whole pieces of size Piece from Start while they fit before End, then one
// piece cut at End (Draw(position, size); the cut piece is the beginning of
// a piece). A piece size below 1 gives one piece over the whole span.
template <class F> void TileSpan(int Start, int End, int Piece, F Draw) {
    int pos = Start;
    if (Piece > 0)
        for (; pos < End - Piece; pos += Piece) Draw(pos, Piece);
    if (pos < End) Draw(pos, End - pos);
}

// The background pixel behind destination pixel (X, Y): Bg's image at
// (Bg.X + X, Bg.Y + Y); null when it has no image or that lies outside it.
const std::uint32_t *BgPixelAt(const TBgPixels &Bg, int X, int Y);

// A pair of equal-sized areas: Cols x Rows pixels from (DstX, DstY) of a
// destination and from (SrcX, SrcY) of a source.
struct TPieceArea {
    int DstX = 0, DstY = 0, SrcX = 0, SrcY = 0, Cols = 0, Rows = 0;
};
// DstRect and SrcRect (half-open) paired: as large as the smaller of the two
// and as both images allow; what lies left of or above either image moves
// both alike. False when nothing remains.
bool ClipPiecePair(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                   const vcl::TBitmapView &Src, TPieceArea &Area);

// The background record that says nothing is behind (EmptyBgInfo).
TBgPixels EmptyBgPixels();

} // namespace skin
