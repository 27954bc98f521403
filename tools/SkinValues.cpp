#include "SkinValues.h"

#include "skin/manager/sMaskTableReader.h"

namespace skintools {

namespace {

skin::TsMaskData AsMask(const skin::TvlImageValue &Value) {
    skin::TsMaskData mask;
    mask.R = Value.R;
    mask.ImageCount = Value.ImageCount;
    mask.MaskType = Value.MaskType;
    return mask;
}

} // namespace

bool PictureItem::FromMaster() const {
    return Value.Code == skin::TvlImageCode::Inline || Value.Code == skin::TvlImageCode::Fixed;
}

int PictureItem::FrameWidth() const { return skin::GetMaskFrameWidth(AsMask(Value)); }
int PictureItem::PartHeight() const { return skin::GetMaskFrameHeight(AsMask(Value)); }

std::vector<PictureItem> PictureValues(const skin::TvlOptionsFile &Options) {
    std::vector<PictureItem> items;
    skin::ForEachImageKey(Options, [&](int, const std::string &Section, const std::string &Key,
                                       const skin::TvlImageValue &Value) { items.push_back({Section, Key, Value}); });
    return items;
}

} // namespace skintools
