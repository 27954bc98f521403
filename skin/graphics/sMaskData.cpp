#include "sMaskData.h"

#include <algorithm>

namespace skin {

int GetMaskFrameWidth(const TsMaskData &Mask) {
    const int width = Mask.R.Width();
    // Counts below 1 are never produced by the loader; they give no frame.
    if (Mask.ImageCount < 1) return 0;
    if (Mask.ImageCount == 1) return width;
    return width / Mask.ImageCount;
}

int GetMaskFrameHeight(const TsMaskData &Mask) {
    const int height = Mask.R.Height();
    if (Mask.MaskType < 0) return 0;
    if (Mask.MaskType == 0) return height;
    return height / (Mask.MaskType + 1);
}

vcl::TSize GetMaskFrameSize(const TsMaskData &Mask) { return {GetMaskFrameWidth(Mask), GetMaskFrameHeight(Mask)}; }

int ClampStateIndex(int State, int Count) { return std::clamp(State, 0, std::max(Count - 1, 0)); }

} // namespace skin
