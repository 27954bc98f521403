// One picture value of a skin: read, or refused with a conversion error;
// what reads gives margins and a corner class without reading outside the
// picture, whatever its rect.
#include "skin/manager/sSkinImageCodes.h"
#include "skin/manager/sSkinQueries.h"
#include "vcl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string value = vcl::UpperCase(std::string_view(reinterpret_cast<const char *>(data), size));
    skin::TvlImageValue v;
    try {
        v = skin::ParseImageValue(value);
    } catch (const vcl::EConvertError &) {
        return 0;
    }
    if (v.Code == skin::TvlImageCode::None) return 0;
    if (v.ImageCount < 1 || v.ImageKind > 4 || v.MaskType < -1) __builtin_trap();
    skin::TsMaskData m;
    m.R = v.R;
    m.ImageCount = v.ImageCount;
    m.MaskType = v.MaskType;
    m.BorderWidth = v.BorderWidth;
    m.WL = v.WL;
    m.WT = v.WT;
    m.WR = v.WR;
    m.WB = v.WB;
    if (v.DeriveMargins) skin::DeriveMaskMargins(m, v.Code == skin::TvlImageCode::Fixed);
    vcl::TPixels32 picture(37, 29, 0xFF102030);
    picture.At(36, 28) = 0x00FF00FF;
    const int corner = skin::DetectMaskType(m, picture.View());
    if (corner < 0 || corner > 1) __builtin_trap();
    skin::MaskLeftMargin(m);
    skin::MaskTopMargin(m);
    skin::MaskRightMargin(m);
    skin::MaskBottomMargin(m);
    return 0;
}
