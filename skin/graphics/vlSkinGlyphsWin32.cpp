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

bool PaintBorderCorners(const TsCommonDataView &CommonData, int State, int Corners, const TvlAsker &Asker) {
    TsSkinTables *manager = CommonData.GetSkinManager();
    vcl::TBitmap *cache = CommonData.CacheBmp();
    vcl::TControl *owner = CommonData.OwnerControl();
    if (!manager || !manager->IsValidMaskIndex(CommonData.BorderIndex()) || !cache || !owner) return true;
    const TsMaskData &mask = manager->Masks[CommonData.BorderIndex()];
    if (!mask.Manager) return true;
    TvlBgQuery query;
    if (owner->Parent()) {
        if (!QueryParentBackground(query, owner->Parent(), false, Asker)) return false;
    } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(owner); windowed && windowed->HandleAllocated()) {
        if (!QueryParentBackgroundWnd(query, GetParent(windowed->Handle()), false, Asker)) return false;
    } else {
        return true;
    }
    const bool image = query.Kind == bqImage;
    if (image) query.X += owner->Left(), query.Y += owner->Top();
    const TBgPixels bg{image ? BitmapPixels(query.Image) : vcl::TBitmapView{}, query.X, query.Y,
                       vcl::ColorToRGB(query.Color), image};
    RestoreBorderCorners(cache->View(), mask, State, Corners, bg);
    return true;
}

} // namespace skin
