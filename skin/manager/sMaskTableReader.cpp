#include "sMaskTableReader.h"

#include "sOptionsFile.h"
#include "vcl/SysUtils.h"

namespace skin {

void ForEachImageKey(const TvlOptionsFile &Options, const TvlImageKeyVisitor &Visit) {
    const auto &sections = Options.Sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const TvlOptionsFile::TSection &s = sections[i];
        for (const TvlOptionsFile::TKey &key : s.Keys) {
            if (key.Value.empty() || (s.Name == "GLOBALINFO" && key.Name == "MASTERBITMAP")) continue;
            try {
                const TvlImageValue value = ParseImageValue(vcl::UpperCase(key.Value));
                if (value.Code != TvlImageCode::None) Visit(static_cast<int>(i), s.Name, key.Name, value);
            } catch (const vcl::EConvertError &e) {
                // Said with the key that holds the value, so that the skin can be mended.
                throw vcl::EConvertError("[" + s.Name + "] " + key.Name + "=" + key.Value + ": " + e.Message());
            }
        }
    }
}

TvlMaskTableReader::TvlMaskTableReader(TsSkinTables &Tables, const TvlOptionsFile &Options)
    : FTables(Tables), FOptions(Options) {}

int TvlMaskTableReader::AddMaskItem(int SectionIndex, const std::string &PropertyName, const std::string &SectionName,
                                    std::uint8_t ImageKind, const vcl::TRect &R, int ImageCount, int DrawMode,
                                    int MaskType) {
    TsMaskData m;
    m.ClassName = SectionName;
    m.PropertyName = PropertyName;
    m.OwnerSection = SectionIndex;
    m.DrawMode = static_cast<std::uint16_t>(DrawMode);
    m.MaskType = static_cast<std::int16_t>(MaskType);
    m.ImageKind = ImageKind;
    m.ImageCount = static_cast<std::int16_t>(ImageCount);
    m.Manager = &FTables;
    m.R = R;
    Masks.push_back(std::move(m));
    return static_cast<int>(Masks.size() - 1);
}

int TvlMaskTableReader::AddValueItem(int SectionIndex, const std::string &Section, const std::string &Key,
                                     const TvlImageValue &V, const vcl::TRect &R) {
    const int index = AddMaskItem(SectionIndex, Key, Section, V.ImageKind, R, V.ImageCount, V.DrawMode, V.MaskType);
    TsMaskData &m = Masks[static_cast<std::size_t>(index)];
    m.WL = V.WL;
    m.WT = V.WT;
    m.WR = V.WR;
    m.WB = V.WB;
    m.BorderWidth = V.BorderWidth;
    return index;
}

void TvlMaskTableReader::AddImageItem(int SectionIndex, const std::string &Section, const std::string &Key,
                                      const TvlImageValue &V) {
    const auto add = [&](const vcl::TRect &r) -> TsMaskData & {
        return Masks[static_cast<std::size_t>(AddValueItem(SectionIndex, Section, Key, V, r))];
    };
    vcl::TBitmapView picture;
    switch (V.Code) {
    case TvlImageCode::None: return;
    case TvlImageCode::Inline: add(V.R); return;
    case TvlImageCode::Texture: {
        TsMaskData &m = add(V.R);
        if (!V.FileName.empty() && FindPicture(V.FileName, picture)) SharePicture(m, V.FileName);
        return;
    }
    case TvlImageCode::Fixed: {
        TsMaskData &m = add(V.R);
        if (V.DeriveMargins) DeriveMaskMargins(m, true);
        m.CornerClass = DetectMaskType(m, MasterPixels());
        return;
    }
    case TvlImageCode::File:
    case TvlImageCode::PlainFile: {
        if (!FindPicture(V.FileName, picture) || picture.Width <= 0) return;  // a missing picture adds nothing
        TsMaskData &m = add({0, 0, picture.Width, picture.Height});
        SharePicture(m, V.FileName);
        if (V.DeriveMargins) DeriveMaskMargins(m, false);
        if (V.DetectCorners) m.CornerClass = DetectMaskType(m, picture);
        return;
    }
    }
}

void TvlMaskTableReader::ReadImageKeys() {
    ForEachImageKey(FOptions, [this](int SectionIndex, const std::string &Section, const std::string &Key,
                                     const TvlImageValue &Value) { AddImageItem(SectionIndex, Section, Key, Value); });
}

} // namespace skin
