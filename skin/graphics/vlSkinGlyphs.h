#pragma once
// Small skin images copied whole, and the transparent corners of borders.
//
//   DrawSkinGlyph         one state image of a mask to a point (arrows,
//                         title-bar and scroll glyphs, check and radio boxes)
//   CopyMaskedImage       its worker for images with a mask part
//   CopyMaskPieceWithBg   a masked piece whose key pixels take a background
//   PaintMaskedTexture    an image-plus-mask texture tiled over a rect
//   FillTransparentCorner the background under a corner's key pixels
//   RestoreBorderCorners  the parent's background in the key pixels of the
//                         four corners of a border mask in a control's cache
//                         (PaintBorderCorners asks the parent and calls it)
//
// Portable; every read stays inside its image. Source rects marked
// "inclusive" name their last column and row.
#include <cstdint>

#include "sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"
#include "vlPixelHelpers.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinTables;
class TsCommonDataView;
class TvlAsker;
struct TvlBgInfo;

// Corner hit-test codes of FillTransparentCorner; other codes mean top-left.
inline constexpr int ctTopLeft = 13;
inline constexpr int ctTopRight = 14;
inline constexpr int ctBottomLeft = 16;
inline constexpr int ctBottomRight = 17;

// Corner bits of RestoreBorderCorners and PaintBorderCorners.
inline constexpr int bcTopLeft = 1;
inline constexpr int bcBottomLeft = 2;
inline constexpr int bcTopRight = 4;
inline constexpr int bcBottomRight = 8;
inline constexpr int bcAll = 15;

// Glyph modes: gmNormal as the image is; any other draws it faded.
inline constexpr int gmNormal = 1;
inline constexpr int gmFaded = 2;

void DrawSkinGlyph(const vcl::TBitmapView &Dst, vcl::TPoint P, int State, int Mode, const TsMaskData &Mask,
                   const TBgPixels &Bg);
// DstRect and SrcRect inclusive.
void CopyMaskedImage(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                     const vcl::TBitmapView &Src, int Mode, const TsMaskData &Mask);
// From the mask's own image or the master; key pixels take Bg's image when
// its flag is set and it names no colour, else Bg's colour, else stay.
void CopyMaskPieceWithBg(const vcl::TRect &DstRect, const vcl::TRect &SrcRect, const vcl::TBitmapView &Dst,
                         const TBgPixels &Bg, const TsMaskData &Mask);
// Modes tfTile and tfTileAll of an image-plus-mask texture; R becomes all -1
// (nothing left for the caller). Other modes do nothing.
void PaintMaskedTexture(const vcl::TBitmapView &Dst, vcl::TRect &R, const TBgPixels &Bg, const TsMaskData &Texture,
                        int Mode);

// Src holds the background; SrcPt is where DstRect's corner lies in it.
// MaskIndex -1 fills under Dst's own key pixels.
void FillTransparentCorner(const vcl::TBitmapView &Dst, const vcl::TBitmapView &Src, const vcl::TRect &DstRect,
                           vcl::TPoint SrcPt, int MaskIndex, const TsSkinTables *Manager, int Corner);

// Cache is Width x Height of the control; Bg is the parent's answer (an
// image with the control's offset in it, or a colour).
void RestoreBorderCorners(const vcl::TBitmapView &Cache, const TsMaskData &BorderMask, int State, int Corners,
                          const TBgPixels &Bg);

#ifdef _WIN32
void DrawSkinGlyph(vcl::TBitmap &Dst, vcl::TPoint P, int State, int Mode, const TsMaskData &Mask,
                   const TvlBgInfo &BgInfo);
void PaintMaskedTexture(vcl::TBitmap &Dst, vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Texture,
                        int Mode);
void FillTransparentCorner(vcl::TBitmap &Dst, vcl::TBitmap &Src, const vcl::TRect &DstRect, vcl::TPoint SrcPt,
                           int MaskIndex, const TsSkinTables *Manager, int Corner);
// Asks the control's parent for its background and restores it in the
// corners of the control's border mask in its cache. False, with nothing
// drawn, when the parent's answer freed Asker: the caller stops.
bool PaintBorderCorners(const TsCommonDataView &CommonData, int State, int Corners, const TvlAsker &Asker);
#endif

} // namespace skin
