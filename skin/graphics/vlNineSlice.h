#pragma once
// Nine-slice drawing of skin images: one state image of a mask (TsMaskData)
// cut by its four margins into corners, sides and centre, and laid over a
// rect of any size with the sides and centre tiled or stretched.
//
//   DrawSkinRect          the main road: section painting, control borders,
//                         glows, form frames and adapters
//   DrawSkinRect32        into 32-bit images whose alpha matters
//   DrawSkinRectBlended   with an opacity and sides only Caps thick, for
//                         outer effects around a control
//
// The pixel work is portable and exact: tiles are copied, stretched pieces
// take the nearest pixel (vlSkinPieces) or, where the image's mask must stay
// smooth, the resampler. A mask without a manager, a rect under 2 x 2, a
// state image narrower or lower than its margins, or no pixels draws nothing.
#include "sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"
#include "vlPixelHelpers.h"

namespace vcl {
class TBitmap;
}

namespace skin {

struct TvlBgInfo;

// The margins a mask is drawn with in a Width x Height rect: shrunk evenly
// (the right and bottom ones take the odd pixel) so that opposite margins
// never exceed the rect; never negative.
struct TSkinMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
TSkinMargins FitSkinMargins(const TsMaskData &Mask, int Width, int Height);

// Bg tells what lies behind Dst; the corners take it under their key pixels
// with CornersFromBg when the mask's CornerClass says they have such pixels.
void DrawSkinRect(const vcl::TBitmapView &Dst, const vcl::TRect &R, const TBgPixels &Bg, const TsMaskData &Mask,
                  int State, bool CornersFromBg);
void DrawSkinRect32(const vcl::TBitmapView &Dst, const vcl::TRect &R, const TBgPixels &Bg, const TsMaskData &Mask,
                    int State);
// Caps: per-side limits of the side thickness; Opacity 0..255.
void DrawSkinRectBlended(const vcl::TBitmapView &Dst, const vcl::TRect &R, const TBgPixels &Bg,
                         const TsMaskData &Mask, int State, const vcl::TRect &Caps, int Opacity);

// The stretched-piece workers, for pieces with a mask part MaskOffset rows
// below the image (MaskOffset 0: an image only, stretched as it is).
void StretchMaskPiece(const vcl::TBitmapView &Dst, const vcl::TRect &DstRect, const vcl::TBitmapView &Src,
                      const vcl::TRect &SrcRect, int MaskOffset, bool IsCentre);
void StretchMaskPiece32(const vcl::TBitmapView &Dst, const vcl::TRect &DstRect, const vcl::TBitmapView &Src,
                        const vcl::TRect &SrcRect, int MaskOffset, bool IsCentre);
void StretchMaskPieceBlended(const vcl::TBitmapView &Dst, const vcl::TRect &DstRect, const vcl::TBitmapView &Src,
                             const vcl::TRect &SrcRect, int MaskOffset, int Opacity, bool IsCentre);

#ifdef _WIN32
// The same on the class library's bitmaps (32-bit; any other draws nothing).
void DrawSkinRect(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask, int State,
                  bool CornersFromBg);
void DrawSkinRect32(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask,
                    int State);
void DrawSkinRectBlended(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask,
                         int State, const vcl::TRect &Caps, int Opacity);
#endif

} // namespace skin
