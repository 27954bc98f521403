// The section painters on the class library's bitmaps and device contexts,
// with triangle gradients drawn by the system.
#include "sSkinTables.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/GdiObjects.h"
#include "vlCommonUtils.h"
#include "vlGradientFill.h"
#include "vlGraphUtils.h"
#include "vlSkinPieces.h"
#include "vlSkinSections.h"

namespace skin {

void PaintGradientWithMesh(const vcl::TBitmapView &Bitmap, const vcl::TRect &R, const TsGradArray &Stops) {
    if (Stops.empty() || Stops.front().Mode != gmTriangles) {
        PaintGradient(Bitmap, R, Stops);
        return;
    }
    auto temp = NewBitmap32(R.Width(), R.Height());
    PaintGradient(*temp, {0, 0, R.Width(), R.Height()}, Stops);
    CopyPixels(Bitmap, R.Left, R.Top, temp->View(), 0, 0, R.Width(), R.Height());
}

void PaintSectionBackground(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R,
                            vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager, int PatternIndex,
                            int HotPatternIndex, vcl::TColor Color) {
    PaintSectionBackground(SectionIndex, BgPixels(BgInfo), State, R, Pt, Bmp.View(), Manager, PatternIndex,
                           HotPatternIndex, Color, PaintGradientWithMesh);
}

void PaintMaskedSectionBackground(int SectionIndex, int TextureIndex, const TvlBgInfo &BgInfo, int State,
                                  const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager) {
    PaintMaskedSectionBackground(SectionIndex, TextureIndex, BgPixels(BgInfo), State, R, Pt, Bmp.View(), Manager,
                                 PaintGradientWithMesh);
}

void PaintSkinSection(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R, vcl::TPoint Pt,
                      vcl::TBitmap &Bmp, TsSkinTables *Manager, int PatternIndex, int HotPatternIndex) {
    PaintSkinSection(SectionIndex, BgPixels(BgInfo), State, R, Pt, Bmp.View(), Manager, PatternIndex,
                     HotPatternIndex, PaintGradientWithMesh);
}

void PaintSectionWithMask(int SectionIndex, int MaskIndex, int TextureIndex, const TvlBgInfo &BgInfo, int State,
                          const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp, TsSkinTables *Manager) {
    PaintSectionWithMask(SectionIndex, MaskIndex, TextureIndex, BgPixels(BgInfo), State, R, Pt, Bmp.View(), Manager,
                         PaintGradientWithMesh);
}

void PaintControlSectionBackground(const TsCommonDataView &CommonData, const TvlBgInfo &BgInfo, int State,
                                   const vcl::TRect &R, vcl::TPoint Pt, vcl::TBitmap &Bmp) {
    PaintControlSectionBackground(CommonData, BgPixels(BgInfo), State, R, Pt, Bmp.View(), PaintGradientWithMesh);
}

void PaintControlSkin(const TsCommonDataView &CommonData, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R,
                      vcl::TPoint Pt, vcl::TBitmap &Bmp, bool CornersFromBg) {
    PaintControlSkin(CommonData, BgPixels(BgInfo), State, R, Pt, Bmp.View(), CornersFromBg, PaintGradientWithMesh);
}

void PaintSkinSection32(int SectionIndex, int State, const vcl::TRect &R, vcl::TBitmap &Bitmap,
                        TsSkinTables *Manager) {
    PaintSkinSection32(SectionIndex, State, R, Bitmap.View(), Manager, PaintGradientWithMesh);
}

void PaintSectionBg32(int SectionIndex, int State, const vcl::TRect &R, vcl::TBitmap &Bitmap, TsSkinTables *Manager,
                      vcl::TColor Colour) {
    PaintSectionBg32(SectionIndex, State, R, Bitmap.View(), Manager, Colour, PaintGradientWithMesh);
}

void PaintSkinSectionToDC(int SectionIndex, const TvlBgInfo &BgInfo, int State, const vcl::TRect &R, vcl::TPoint Pt,
                          HDC DC, TsSkinTables *Manager) {
    TsSkinTables *manager = ManagerOrDefault(Manager);
    if (!manager || !manager->IsValidSectionIndex(SectionIndex)) return;
    if (R.Left < 0 || R.Top < 0 || R.Width() < 1 || R.Height() < 1) return;
    const vcl::TSavedDC saved(DC);
    auto temp = NewBitmap32(R.Width(), R.Height());
    PaintSkinSection(SectionIndex, BgInfo, State, {0, 0, R.Width(), R.Height()}, Pt, *temp, manager, -1, -1);
    BitBlt(DC, R.Left, R.Top, R.Width(), R.Height(), temp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

int PaintSkinSectionOverDC(vcl::TBitmap &Bmp, int Index, int FallbackIndex, int State, TsSkinTables *Manager,
                           vcl::TPoint SrcPt, vcl::TColor BgColor, HDC SrcDC) {
    const int index = Index >= 0 ? Index : FallbackIndex;
    if (index < 0) return index;
    TvlBgInfo bg{nullptr, 0, 0, BgColor, {}, false};
    if (SrcDC) {
        BitBlt(Bmp.Canvas()->Handle(), 0, 0, Bmp.Width(), Bmp.Height(), SrcDC, SrcPt.X, SrcPt.Y, SRCCOPY);
        bg = {&Bmp, 0, 0, BgColor, {}, true};
    }
    PaintSkinSection(index, bg, State, {0, 0, Bmp.Width(), Bmp.Height()}, {0, 0}, Bmp, Manager, -1, -1);
    return index;
}

} // namespace skin
