#include "sSkinMeasures.h"

#include <algorithm>

#include "sSkinData.h"
#include "sSkinQueries.h"

namespace skin {

namespace {

int Reach(int Margin) { return std::clamp(Margin, 0, MaxSkinMeasure); }

} // namespace

vcl::TRect GlowWindowRect(const vcl::TRect &R, const vcl::TRect &Margins, int GlowMargin) {
    const int left = Reach(Margins.Left), top = Reach(Margins.Top);
    const int right = Reach(Margins.Right), bottom = Reach(Margins.Bottom);
    const int inset = std::clamp(GlowMargin, -MaxSkinMeasure, MaxSkinMeasure);
    const int width = std::max(R.Width() + left + right - 2 * inset, 0);
    const int height = std::max(R.Height() + top + bottom - 2 * inset, 0);
    const int x = R.Left - left + inset, y = R.Top - top + inset;
    return {x, y, x + width, y + height};
}

vcl::TRect ExtBorderMarginsOf(const TsMaskData &ExBorder, int FormOffset, int BorderMode) {
    const int offset = Reach(FormOffset);
    if (BorderMode != 0) return {offset, offset, offset, offset};
    return {Reach(MaskLeftMargin(ExBorder) - offset), Reach(MaskTopMargin(ExBorder) - offset),
            Reach(MaskRightMargin(ExBorder) - offset), Reach(MaskBottomMargin(ExBorder) - offset)};
}

bool MaskFitsImage(const TsMaskData &Mask, const vcl::TBitmapView &Image) {
    const vcl::TRect &r = Mask.R;
    return Image.HasRows() && r.Left >= 0 && r.Top >= 0 && r.Left < r.Right && r.Top < r.Bottom &&
           r.Right <= Image.Width && r.Bottom <= Image.Height;
}

} // namespace skin
