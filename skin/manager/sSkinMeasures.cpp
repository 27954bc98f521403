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

bool RectLiesIn(const vcl::TRect &R, const vcl::TBitmapView &Image) {
    const int width = Image.HasRows() ? Image.Width : 0, height = Image.HasRows() ? Image.Height : 0;
    return R.Left >= 0 && R.Top >= 0 && R.Left <= R.Right && R.Top <= R.Bottom && R.Right <= width &&
           R.Bottom <= height;
}


} // namespace skin
