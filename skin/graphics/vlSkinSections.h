#pragma once
// Skin sections turned into pixels: a section (TsGeneralData) in a state
// over a rect, from the innermost layer out.
//
//   PaintSectionBackground         colour, gradient and texture of a state,
//                                  its transparency over what lies behind,
//                                  and the overlay texture
//   PaintMaskedSectionBackground   the same for callers that name the texture
//   PaintSkinSection               background, corner images, border mask
//   PaintSectionWithMask           background and one given mask
//   PaintControlSectionBackground  the background of a control's section
//   PaintControlSkin               a control's whole image with its colour effects
//   PaintSkinSection32, PaintSectionBg32
//                                  into 32-bit images whose alpha matters
//                                  (layered windows): premultiplied when the
//                                  rect is the whole image
//
// Portable on pixel views; a manager of null means the default manager, and
// without one, with an invalid section, an empty rect or one outside the
// image nothing is painted. Gradients in the triangle mode need the system:
// the portable painters take the gradient routine as an argument, and the
// routines on the class library's bitmaps pass the one that draws triangles.
#include <cstdint>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"
#include "vlGradients.h"
#include "vlPixelHelpers.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinTables;
class TsCommonDataView;
struct TvlBgInfo;

using TGradientPainter = void (*)(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops);
// The portable band painter (triangles paint nothing with it).
void PaintGradientBands(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops);

// The blend weight of a transparency in percent: Tr * 2.55 rounded to the
// nearest, ties to even (50 gives 128).
int TransparencyWeight(int Transparency);

// Color clFuchsia: colour, transparency, texture and gradient from the skin;
// any other colour paints it opaque. Pt: the piece's offset in Bg's image.
void PaintSectionBackground(int SectionIndex, const TBgPixels &Bg, int State, const vcl::TRect &R, vcl::TPoint Pt,
                            const vcl::TBitmapView &Bmp, TsSkinTables *Manager, int PatternIndex,
                            int HotPatternIndex, vcl::TColor Color, TGradientPainter Gradient = PaintGradientBands);
void PaintMaskedSectionBackground(int SectionIndex, int TextureIndex, const TBgPixels &Bg, int State,
                                  const vcl::TRect &R, vcl::TPoint Pt, const vcl::TBitmapView &Bmp,
                                  TsSkinTables *Manager, TGradientPainter Gradient = PaintGradientBands);
void PaintSkinSection(int SectionIndex, const TBgPixels &Bg, int State, const vcl::TRect &R, vcl::TPoint Pt,
                      const vcl::TBitmapView &Bmp, TsSkinTables *Manager, int PatternIndex, int HotPatternIndex,
                      TGradientPainter Gradient = PaintGradientBands);
void PaintSectionWithMask(int SectionIndex, int MaskIndex, int TextureIndex, const TBgPixels &Bg, int State,
                          const vcl::TRect &R, vcl::TPoint Pt, const vcl::TBitmapView &Bmp, TsSkinTables *Manager,
                          TGradientPainter Gradient = PaintGradientBands);
void PaintControlSectionBackground(const TsCommonDataView &CommonData, const TBgPixels &Bg, int State,
                                   const vcl::TRect &R, vcl::TPoint Pt, const vcl::TBitmapView &Bmp,
                                   TGradientPainter Gradient = PaintGradientBands);
// The colour effects go over R only.
void PaintControlSkin(const TsCommonDataView &CommonData, const TBgPixels &Bg, int State, const vcl::TRect &R,
                      vcl::TPoint Pt, const vcl::TBitmapView &Bmp, bool CornersFromBg,
                      TGradientPainter Gradient = PaintGradientBands);
void PaintSkinSection32(int SectionIndex, int State, const vcl::TRect &R, const vcl::TBitmapView &Bitmap,
                        TsSkinTables *Manager, TGradientPainter Gradient = PaintGradientBands);
void PaintSectionBg32(int SectionIndex, int State, const vcl::TRect &R, const vcl::TBitmapView &Bitmap,
                      TsSkinTables *Manager, vcl::TColor Colour, TGradientPainter Gradient = PaintGradientBands);

#ifdef _WIN32
// Bands as above, triangles through the system's GradientFill.
void PaintGradientWithMesh(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops);

void PaintSectionBackground(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R,
                            vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager, int PatternIndex,
                            int HotPatternIndex, vcl::TColor Color);
void PaintMaskedSectionBackground(int SectionIndex, int TextureIndex, const TvlBgInfo &BgInfo, int State,
                                  const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager);
void PaintSkinSection(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R, vcl::TPoint Pt,
                      vcl::TBitmap &Bmp, TsSkinTables *Manager, int PatternIndex = -1, int HotPatternIndex = -1);
void PaintSectionWithMask(int SectionIndex, int MaskIndex, int TextureIndex, const TvlBgInfo &BgInfo, int State,
                          const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager);
void PaintControlSectionBackground(const TsCommonDataView &CommonData, const TvlBgInfo &BgInfo, int State,
                                   const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp);
void PaintControlSkin(const TsCommonDataView &CommonData, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R,
                      vcl::TPoint Pt, vcl::TBitmap &Bmp, bool CornersFromBg);
void PaintSkinSection32(int SectionIndex, int State, const vcl::TRect &R, vcl::TBitmap &Bitmap,
                        TsSkinTables *Manager);
void PaintSectionBg32(int SectionIndex, int State, const vcl::TRect &R, vcl::TBitmap &Bitmap, TsSkinTables *Manager,
                      vcl::TColor Colour);
// Through a temporary 32-bit bitmap into R of a device context.
void PaintSkinSectionToDC(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R, vcl::TPoint Pt,
                          HDC DC, TsSkinTables *Manager);
// SrcDC's picture at SrcPt (when given) as the background, the section over
// the whole of Bmp; answers the section used (Index, else FallbackIndex;
// negative: nothing painted).
int PaintSkinSectionOverDC(vcl::TBitmap &Bmp, int Index, int FallbackIndex, int State, TsSkinTables *Manager,
                           vcl::TPoint SrcPt, vcl::TColor BgColor, HDC SrcDC);
#endif

} // namespace skin
