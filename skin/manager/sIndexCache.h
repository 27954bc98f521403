#pragma once
// What the manager resolves once after a skin is read, so that painters do
// not search the tables by name on every paint: per section its border and
// outer masks, corner pictures, state textures and border kind; for the
// whole skin the common elements (scroll bars, buttons, tabs, glyphs, title
// icons, grips and the 28 standard sections). Portable.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sSkinData.h"
#include "skin/graphics/sMaskData.h"

namespace skin {

struct TvlElementEntry {
    std::int32_t SectionIndex = -1;
    std::int32_t BorderMask = -1;
    std::int32_t GlyphMask = -1;
    std::int32_t Texture = -1;
    std::int32_t HotTexture = -1;
    std::int32_t Spare = 0;   // not set
    std::string SectionName;  // the name under which the section was found (the last tried)
};

struct TvlCommonElements {
    std::array<TvlElementEntry, 4> ScrollBars;     // SCROLLBAR1H, 1V, 2H, 2V
    std::array<TvlElementEntry, 4> ScrollButtons;  // left, top, right, bottom
    std::array<TvlElementEntry, 4> UpDownButtons;  // left, top, right, bottom
    std::array<TvlElementEntry, 2> ScrollSliders;  // horizontal, vertical
    TvlElementEntry MenuItem;
    TvlElementEntry ComboButton;  // its GlyphMask is the "GLYPHMASK" of "COMBOBOX"
    // BICONCLOSE, BICLOSEALONE, BICONMAX, BICONNORM, BICONMIN, BICONHELP,
    // SICONCLOSE, SICONMAX, SICONNORM, SICONMIN, SICONHELP
    std::array<std::int32_t, 11> TitleIcons;
    std::array<std::int32_t, 2> RadioGlyphs;       // unchecked, checked
    std::array<std::int32_t, 3> CheckGlyphs;       // unchecked, checked, grayed
    std::array<std::int32_t, 3> SmallCheckGlyphs;  // unchecked, checked, grayed
    std::int32_t ExBorder = -1;
    std::int32_t GlobalInfoSection = -1;
    std::int32_t GripImage = -1;
    std::int32_t GripHorz = -1;
    std::int32_t GripVert = -1;
    TvlStdSectionIndexes StdSectionIndexes;
    // Rows: first, last, middle, single tab; columns: left, top, right, bottom.
    std::array<std::array<TvlElementEntry, 4>, 4> Tabs;

    TvlCommonElements();  // every index -1
};

// Title icon slots.
enum TvlTitleIcon {
    tiBigClose, tiBigCloseAlone, tiBigMax, tiBigNorm, tiBigMin, tiBigHelp,
    tiSmallClose, tiSmallMax, tiSmallNorm, tiSmallMin, tiSmallHelp
};
extern const std::array<std::string_view, 11> TitleIconNames;

// Entry := the first of the names (empty ones skipped) that names a section,
// with that section's "BORDERSMASK", "GLYPHMASK", "PATTERN" and "HOTPATTERN".
void CacheElementEntry(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, TvlElementEntry &Entry,
                       std::string_view Name1, std::string_view Name2 = {}, std::string_view Name3 = {});

// The per-section indexes (every section but GLOBALINFO).
void CacheSectionIndices(TsGeneralDataArray &Sections, const TsMaskArray &Masks);

// Fills Elements, then runs CacheSectionIndices. (The manager prepares its
// extended-border images after this.)
void CacheCommonElements(TvlCommonElements &Elements, TsGeneralDataArray &Sections, const TsMaskArray &Masks);

// The mask Key of GLOBALINFO (by the cached section index); -1 when absent.
int GlobalInfoMaskIndex(const TvlCommonElements &Elements, const TsGeneralDataArray &Sections,
                        const TsMaskArray &Masks, std::string_view Key);

} // namespace skin
