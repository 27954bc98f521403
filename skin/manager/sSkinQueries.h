#pragma once
// The lookups every skinned part makes in the skin tables: a section by
// name, a mask or texture of a section (inherited along the sections'
// "PARENTCLASS" chain), the margins of a mask and index checks. They never
// raise and answer -1 for anything absent. Names compare exactly, case
// included. Portable; the manager's methods of the same names call these on
// its own tables.
#include <cstddef>
#include <string_view>
#include <vector>

#include "skin/graphics/sMaskData.h"

namespace skin {

// Index of the first section of that name; -1 for an empty or absent name.
int FindSectionIndex(const TsGeneralDataArray &Sections, std::string_view Name);
// Index of the first mask of that section and property name; -1 when the
// section name is empty or none matches.
int FindMaskIndex(const TsMaskArray &Masks, std::string_view SectionName, std::string_view PropertyName);

// The mask PropertyName of the section, else of its parent, grandparent...
// A chain that names a section visited before, or that runs deeper than
// MaxParentDepth, ends with -1.
int GetMaskIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                 std::string_view PropertyName);
// The same, with the section's name carried along: the chain stops where a
// parent bears the name being looked up.
int GetMaskIndexChecked(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                        std::string_view SectionName, std::string_view PropertyName);
// Texture images (image kind 1) of the section or inherited.
int GetPatternIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                    std::string_view PropertyName);
// The same, matching masks by their section name.
int GetPatternIndexChecked(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                           std::string_view SectionName, std::string_view PropertyName);

// The same lookups answered from hash tables over the sections and masks
// instead of scans: for the many lookups that follow the reading of a skin.
// Built when both tables are complete, valid while neither changes; every
// answer is the scan's (the first match, names compared exactly).
class TvlTableIndex {
public:
    TvlTableIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks);

    int FindSectionIndex(std::string_view Name) const;
    int FindMaskIndex(std::string_view SectionName, std::string_view PropertyName) const;
    int GetMaskIndex(int SectionIndex, std::string_view PropertyName) const;
    int GetMaskIndexChecked(int SectionIndex, std::string_view SectionName, std::string_view PropertyName) const;
    int GetPatternIndex(int SectionIndex, std::string_view PropertyName) const;
    int GetPatternIndexChecked(int SectionIndex, std::string_view SectionName, std::string_view PropertyName) const;

private:
    // Positions of the first record of every key, in open addressing.
    class TFirstOfKey {
    public:
        // Records 0..Count-1 for which Take(i) holds, by Hash(i); of records
        // that Same(i, j) calls equal the first is kept.
        template <class THash, class TSame, class TTake> void Build(int Count, THash Hash, TSame Same, TTake Take);
        // The kept record of that hash for which Is(i) holds; -1 when none.
        template <class TIs> int Find(std::size_t Hash, TIs Is) const;

    private:
        struct TSlot {
            std::size_t Hash = 0;
            int Record = -1;
        };
        std::vector<TSlot> FSlots;
    };

    // The first mask of the section and property in one of the owner tables.
    int FindOwned(const TFirstOfKey &Table, int Owner, std::string_view PropertyName, std::size_t PropertyHash) const;

    const TsGeneralDataArray &FSections;
    const TsMaskArray &FMasks;
    TFirstOfKey FSectionsByName;
    TFirstOfKey FMasksByOwner;     // owner section and property name
    TFirstOfKey FTexturesByOwner;  // the same, textures only
    TFirstOfKey FMasksByClass;     // section name and property name
    TFirstOfKey FTexturesByClass;  // the same, textures only
    std::vector<int> FParents;     // per section, the section its parent name finds
};

// A mask's margin on one side: its own when at least 1, else its single
// border width when at least 1, else the width (left, right) or height
// (top, bottom) of one state image. Read only: the table is not changed.
int MaskLeftMargin(const TsMaskData &Mask);
int MaskTopMargin(const TsMaskData &Mask);
int MaskRightMargin(const TsMaskData &Mask);
int MaskBottomMargin(const TsMaskData &Mask);

inline bool IsValidMaskIndex(const TsMaskArray &Masks, int Index) {
    return Index >= 0 && static_cast<std::size_t>(Index) < Masks.size();
}
inline bool IsValidSectionIndex(const TsGeneralDataArray &Sections, int Index) {
    return Index >= 0 && static_cast<std::size_t>(Index) < Sections.size();
}

// Inheritance limit: a "PARENTCLASS" chain is followed at most this deep.
inline constexpr int MaxParentDepth = 32;

} // namespace skin
