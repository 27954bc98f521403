// The nine-slice drawing on the class library's bitmaps: each hands the
// bitmap's 32-bit view and the background's pixels to the portable routine.
#include "vcl/Bitmap.h"
#include "vlCommonUtils.h"
#include "vlNineSlice.h"

namespace skin {

void DrawSkinRect(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask, int State,
                  bool CornersFromBg) {
    DrawSkinRect(Dst.View(), R, BgPixels(BgInfo), Mask, State, CornersFromBg);
}

void DrawSkinRect32(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask,
                    int State) {
    DrawSkinRect32(Dst.View(), R, BgPixels(BgInfo), Mask, State);
}

void DrawSkinRectBlended(vcl::TBitmap &Dst, const vcl::TRect &R, const TvlBgInfo &BgInfo, const TsMaskData &Mask,
                         int State, const vcl::TRect &Caps, int Opacity) {
    DrawSkinRectBlended(Dst.View(), R, BgPixels(BgInfo), Mask, State, Caps, Opacity);
}

} // namespace skin
