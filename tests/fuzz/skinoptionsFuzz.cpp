// The options text of a skin goes the whole way of a load that needs no
// pictures: global values, outer effects, picture values, the section table
// (with the same text as the application's common sections), the index
// cache, the skin colours and the colour effects. Only a conversion error
// may stop it, and every index it caches is -1 or a valid one.
#include "skin/manager/sColorEffects.h"
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinImageCodes.h"
#include "skin/manager/sSkinQueries.h"
#include "skin/graphics/vlColorEffects.h"
#include "vcl/SysUtils.h"

namespace {

void CheckIndex(int index, std::size_t count) {
    if (index < -1 || (index >= 0 && static_cast<std::size_t>(index) >= count)) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const skin::TvlOptionsFile ini(text);
    skin::TsSkinData globals;
    skin::ReadSkinVersion(ini);
    skin::ReadGlobalInfo(ini, globals, 4);
    skin::ReadTabsCovering(ini, globals);
    skin::ReadOuterEffects(ini);

    skin::TsMaskArray masks;
    vcl::TPixels32 master(24, 24, 0xFF808080);
    master.At(0, 0) = 0x00FF00FF;
    for (std::size_t s = 0; s < ini.Sections().size(); ++s)
        for (const auto &key : ini.Sections()[s].Keys) {
            try {
                const skin::TvlImageValue v = skin::ParseImageValue(vcl::UpperCase(key.Value));
                if (v.Code == skin::TvlImageCode::None) continue;
                skin::TsMaskData m;
                m.ClassName = ini.Sections()[s].Name;
                m.PropertyName = key.Name;
                m.OwnerSection = static_cast<int>(s);
                m.R = v.R;
                m.ImageCount = v.ImageCount;
                m.MaskType = v.MaskType;
                m.ImageKind = v.ImageKind;
                if (v.DeriveMargins) skin::DeriveMaskMargins(m, v.Code == skin::TvlImageCode::Fixed);
                m.CornerClass = skin::DetectMaskType(m, master.View());
                masks.push_back(m);
            } catch (const vcl::EConvertError &) {
            }
        }

    skin::TsGeneralDataArray sections;
    try {
        sections = skin::ReadSections(ini);
    } catch (const vcl::EConvertError &) {
        return 0;  // a gradient that is no list of numbers
    }
    vcl::TStringList common;
    common.SetText(text);
    try {
        skin::AddCommonSections(common, sections);
    } catch (const vcl::EConvertError &) {
        return 0;
    }
    skin::TvlCommonElements elements;
    skin::CacheCommonElements(elements, sections, masks);
    skin::TvlSkinColors colors = skin::ReadSkinColors(ini, sections);
    skin::AddTransparentSection(sections, colors[skin::scGlobalFontColor]);
    skin::CacheSectionIndices(sections, masks);
    skin::RecolorSections(sections, [](vcl::TColor c) { return skin::ChangeHue(77, c); });
    skin::RecolorSkinColors(colors, [](vcl::TColor c) { return skin::ChangeSaturation(c, -128); });

    for (const skin::TsGeneralData &s : sections) {
        for (int index : {s.BorderMask, s.OuterMask, s.ImgTopLeft, s.ImgTopRight, s.ImgBottomLeft, s.ImgBottomRight,
                          s.Props[0].TextureIndex, s.Props[1].TextureIndex, s.Props[2].TextureIndex})
            CheckIndex(index, masks.size());
        if (s.BorderMask >= 0) skin::MaskLeftMargin(masks[static_cast<std::size_t>(s.BorderMask)]);
    }
    for (int index : elements.StdSectionIndexes) CheckIndex(index, sections.size());
    for (int index : elements.TitleIcons) CheckIndex(index, masks.size());
    return 0;
}
