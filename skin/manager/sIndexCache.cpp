#include "sIndexCache.h"

#include "sSkinQueries.h"
#include "skin/graphics/vlElementNames.h"

namespace skin {

const std::array<std::string_view, 11> TitleIconNames{"BICONCLOSE", "BICLOSEALONE", "BICONMAX",   "BICONNORM",
                                                      "BICONMIN",   "BICONHELP",    "SICONCLOSE", "SICONMAX",
                                                      "SICONNORM",  "SICONMIN",     "SICONHELP"};

TvlCommonElements::TvlCommonElements() {
    TitleIcons.fill(-1);
    RadioGlyphs.fill(-1);
    CheckGlyphs.fill(-1);
    SmallCheckGlyphs.fill(-1);
    StdSectionIndexes.fill(-1);
}

namespace {

// The lookups of one caching run, from one index over the finished tables.
void CacheEntry(const TvlTableIndex &Index, TvlElementEntry &Entry, std::string_view Name1, std::string_view Name2,
                std::string_view Name3) {
    Entry.SectionIndex = -1;
    for (std::string_view name : {Name1, Name2, Name3}) {
        if (name.empty()) continue;
        Entry.SectionName = std::string(name);
        Entry.SectionIndex = Index.FindSectionIndex(name);
        if (Entry.SectionIndex >= 0) break;
    }
    const auto mask = [&](std::string_view property) {
        return Index.GetMaskIndexChecked(Entry.SectionIndex, Entry.SectionName, property);
    };
    Entry.BorderMask = mask("BORDERSMASK");
    Entry.GlyphMask = mask("GLYPHMASK");
    Entry.Texture = mask("PATTERN");
    Entry.HotTexture = mask("HOTPATTERN");
}

void CacheSections(const TvlTableIndex &Index, TsGeneralDataArray &Sections, const TsMaskArray &Masks) {
    for (std::size_t k = 0; k < Sections.size(); ++k) {
        TsGeneralData &s = Sections[k];
        // GLOBALINFO is skipped and keeps the reader's "none" (-1, border
        // kind -2) rather than 0, which would name the first mask of the skin.
        if (s.ClassName == "GLOBALINFO") continue;
        const int index = static_cast<int>(k);
        const auto mask = [&](std::string_view property) { return Index.GetMaskIndex(index, property); };
        s.BorderMask = mask("BORDERSMASK");
        s.OuterMask = mask("OUTERMASK");
        s.ImgTopLeft = mask("IMGTOPLEFT");
        s.ImgTopRight = mask("IMGTOPRIGHT");
        s.ImgBottomLeft = mask("IMGBTMLEFT");
        s.ImgBottomRight = mask("IMGBTMRIGHT");

        const auto texture = [&](std::string_view property) {
            return Index.GetPatternIndexChecked(index, s.ClassName, property);
        };
        s.Props[0].TextureIndex = texture("PATTERN");
        // A section of one state has no hot texture of its own: its other
        // states show the normal one, as they show its normal colours.
        s.Props[1].TextureIndex = s.States > 1 ? texture("HOTPATTERN") : s.Props[0].TextureIndex;
        s.Props[2].TextureIndex = s.States >= 3 && s.UseState2 ? texture("PATTERN2") : s.Props[1].TextureIndex;

        if (s.BorderMask < 0) {
            s.BorderKind = -2;
        } else {
            const TsMaskData &m = Masks[static_cast<std::size_t>(s.BorderMask)];
            const bool thinEdit = (s.ClassName == "EDIT" || s.ClassName == "GLASSEDIT") && m.WL == 1 && m.WT == 1 &&
                                  m.WR == 1 && m.WB == 1;
            s.BorderKind = thinEdit ? -1 : 0;
        }
    }
}

} // namespace

void CacheElementEntry(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, TvlElementEntry &Entry,
                       std::string_view Name1, std::string_view Name2, std::string_view Name3) {
    CacheEntry(TvlTableIndex(Sections, Masks), Entry, Name1, Name2, Name3);
}

void CacheSectionIndices(TsGeneralDataArray &Sections, const TsMaskArray &Masks) {
    // The index reads names and parents only, which the caching leaves alone.
    CacheSections(TvlTableIndex(Sections, Masks), Sections, Masks);
}

int GlobalInfoMaskIndex(const TvlCommonElements &Elements, const TsGeneralDataArray &Sections,
                        const TsMaskArray &Masks, std::string_view Key) {
    return GetMaskIndexChecked(Sections, Masks, Elements.GlobalInfoSection, "GLOBALINFO", Key);
}

void CacheCommonElements(TvlCommonElements &E, TsGeneralDataArray &Sections, const TsMaskArray &Masks) {
    const TvlTableIndex index(Sections, Masks);
    const auto global = [&](std::string_view key) {
        return index.GetMaskIndexChecked(E.GlobalInfoSection, "GLOBALINFO", key);
    };
    const auto entry = [&](TvlElementEntry &e, std::string_view n1, std::string_view n2 = {},
                           std::string_view n3 = {}) { CacheEntry(index, e, n1, n2, n3); };

    E.GlobalInfoSection = index.FindSectionIndex("GLOBALINFO");
    for (std::size_t i = 0; i < CheckBoxNames.size(); ++i) E.CheckGlyphs[i] = global(CheckBoxNames[i]);
    for (std::size_t i = 0; i < SmallCheckNames.size(); ++i) E.SmallCheckGlyphs[i] = global(SmallCheckNames[i]);
    for (std::size_t i = 0; i < RadioNames.size(); ++i) E.RadioGlyphs[i] = global(RadioNames[i]);
    E.ExBorder = global("EXBORDER");
    E.GripImage = global("GRIPIMAGE");
    E.GripHorz = global("GRIPHORZ");
    E.GripVert = global("GRIPVERT");
    entry(E.MenuItem, "MENUITEM");
    entry(E.ComboButton, "COMBOBTN");
    E.ComboButton.GlyphMask = index.FindMaskIndex("COMBOBOX", "GLYPHMASK");
    for (std::size_t row = 0; row < 4; ++row)
        for (std::size_t side = 0; side < 4; ++side) entry(E.Tabs[row][side], TabElementNames[row * 4 + side]);
    for (std::size_t i = 0; i < ScrollSliderNames.size(); ++i) entry(E.ScrollSliders[i], ScrollSliderNames[i]);
    for (std::size_t i = 0; i < 4; ++i) {
        entry(E.ScrollButtons[i], ScrollBtnNames[i]);
        entry(E.ScrollBars[i], ScrollBarNames[i]);
        entry(E.UpDownButtons[i], UpDownBtnNames[i], "UPDOWNBTN", "BUTTON");
    }
    for (std::size_t i = 0; i < TitleIconNames.size(); ++i) E.TitleIcons[i] = global(TitleIconNames[i]);
    for (std::size_t i = 0; i < StdSectionNames.size(); ++i)
        E.StdSectionIndexes[i] = index.FindSectionIndex(StdSectionNames[i]);
    CacheSections(index, Sections, Masks);
}

} // namespace skin
