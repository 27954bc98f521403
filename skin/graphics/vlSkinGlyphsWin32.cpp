// Glyphs and corners on the class library's bitmaps, and the corners of a
// control's border restored from what its parent shows.
#include "sCommonDataView.h"
#include "sSkinTables.h"
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"
#include "vlParentBackground.h"
#include "vlSkinGlyphs.h"

namespace skin {

void DrawSkinGlyph(vcl::TBitmap &Dst, vcl::TPoint P, int State, int Mode, const TsMaskData &Mask,
                   const TvlBgInfo &BgInfo) {
    DrawSkinGlyph(Dst.View(), P, State, Mode, Mask, BgPixels(BgInfo));
}

void PaintMaskedTexture(vcl::TBitmap &Dst, vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Texture,
                        int Mode) {
    PaintMaskedTexture(Dst.View(), R, BgPixels(BgInfo), Texture, Mode);
}

void FillTransparentCorner(vcl::TBitmap &Dst, vcl::TBitmap &Src, const vcl::TRect &DstRect, vcl::TPoint SrcPt,
                           int MaskIndex, const TsSkinTables *Manager, int Corner) {
    FillTransparentCorner(Dst.View(), Src.View(), DstRect, SrcPt, MaskIndex, Manager, Corner);
}

void PaintBorderCorners(const TsCommonDataView &CommonData, int State, int Corners) {
    TsSkinTables *manager = CommonData.GetSkinManager();
    vcl::TBitmap *cache = CommonData.CacheBmp();
    vcl::TControl *owner = CommonData.OwnerControl();
    if (!manager || !manager->IsValidMaskIndex(CommonData.BorderIndex()) || !cache || !owner) return;
    const TsMaskData &mask = manager->Masks[CommonData.BorderIndex()];
    if (!mask.Manager) return;
    TvlBgQuery query;
    if (owner->Parent()) {
        QueryParentBackground(query, owner->Parent(), false);
    } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(owner); windowed && windowed->HandleAllocated()) {
        QueryParentBackgroundWnd(query, GetParent(windowed->Handle()), false);
    } else {
        return;
    }
    const bool image = query.Kind == bqImage;
    if (image) query.X += owner->Left(), query.Y += owner->Top();
    const TBgPixels bg{image ? BitmapPixels(query.Image) : vcl::TBitmapView{}, query.X, query.Y,
                       vcl::ColorToRGB(query.Color), image};
    RestoreBorderCorners(cache->View(), mask, State, Corners, bg);
}

} // namespace skin
