#include "sMaskTableReader.h"

#include <algorithm>

#include "sOptionsFile.h"
#include "sSkinMeasures.h"
#include "vcl/SysUtils.h"

namespace skin {

namespace {

// A margin reaches across one frame at most: beyond it (the fields allow
// 9999, the '!' words 32767) it would size the pieces that painters and
// layouts cut from the frame; below 0 it means nothing (0 is "derived").
void KeepMarginsInFrame(TsMaskData &Mask) {
    const std::int16_t width = static_cast<std::int16_t>(std::clamp(GetMaskFrameWidth(Mask), 0, INT16_MAX));
    const std::int16_t height = static_cast<std::int16_t>(std::clamp(GetMaskFrameHeight(Mask), 0, INT16_MAX));
    for (std::int16_t *margin : {&Mask.WL, &Mask.WR}) *margin = std::clamp<std::int16_t>(*margin, 0, width);
    for (std::int16_t *margin : {&Mask.WT, &Mask.WB}) *margin = std::clamp<std::int16_t>(*margin, 0, height);
}

} // namespace

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
                                     const TvlImageValue &V, const vcl::TRect &R, const vcl::TBitmapView &Image) {
    // A rect that runs out of its picture (the fields allow 9999 x 9999
    // whatever the picture's size) or is turned over would carry its size
    // into every caption button, arrow, tab, glyph strip and picture made of
    // its frames, and into the loops over them. As a missing picture adds no
    // item, such a rect adds none either.
    if (!RectLiesIn(R, Image)) return -1;
    const int index = AddMaskItem(SectionIndex, Key, Section, V.ImageKind, R, V.ImageCount, V.DrawMode, V.MaskType);
    TsMaskData &m = Masks[static_cast<std::size_t>(index)];
    m.WL = V.WL;
    m.WT = V.WT;
    m.WR = V.WR;
    m.WB = V.WB;
    m.BorderWidth = V.BorderWidth;
    KeepMarginsInFrame(m);
    return index;
}

void TvlMaskTableReader::AddImageItem(int SectionIndex, const std::string &Section, const std::string &Key,
                                      const TvlImageValue &V) {
    const auto add = [&](const vcl::TRect &r, const vcl::TBitmapView &image) -> TsMaskData * {
        const int index = AddValueItem(SectionIndex, Section, Key, V, r, image);
        return index < 0 ? nullptr : &Masks[static_cast<std::size_t>(index)];
    };
    vcl::TBitmapView picture;
    switch (V.Code) {
    case TvlImageCode::None: return;
    case TvlImageCode::Inline: add(V.R, MasterPixels()); return;
    case TvlImageCode::Texture: {
        // The rect is one of the texture's own picture when it has one.
        const bool own = !V.FileName.empty() && FindPicture(V.FileName, picture);
        if (TsMaskData *m = add(V.R, own ? picture : MasterPixels()); m && own) SharePicture(*m, V.FileName);
        return;
    }
    case TvlImageCode::Fixed: {
        TsMaskData *m = add(V.R, MasterPixels());
        if (!m) return;
        if (V.DeriveMargins) {
            DeriveMaskMargins(*m, true);
            KeepMarginsInFrame(*m);  // a border width wider than a small frame
        }
        m->CornerClass = DetectMaskType(*m, MasterPixels());
        return;
    }
    case TvlImageCode::File:
    case TvlImageCode::PlainFile: {
        if (!FindPicture(V.FileName, picture) || picture.Width <= 0) return;  // a missing picture adds nothing
        TsMaskData &m = *add({0, 0, picture.Width, picture.Height}, picture);
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

int TvlMaskTableReader::AddOuterEffectItem(const std::string &Key) {
    const std::string value = vcl::UpperCase(FOptions.ReadString("GLOBALINFO", Key, ""));
    if (value.empty()) return -1;
    TvlImageValue v = ParseImageValue("^" + value.substr(1));
    v.ImageKind = 0;
    return AddValueItem(FOptions.SectionIndex("GLOBALINFO"), "GLOBALINFO", Key, v, v.R, MasterPixels());
}

} // namespace skin
