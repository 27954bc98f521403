#include "sSkinQueries.h"

#include <algorithm>
#include <array>

namespace skin {

namespace {

// The sections a chain has passed through, so that A -> B -> A ends.
class TChainGuard {
public:
    // False when Index was visited already or the chain is too deep.
    bool Enter(int Index) {
        if (FCount >= MaxParentDepth) return false;
        if (std::find(FVisited.begin(), FVisited.begin() + FCount, Index) != FVisited.begin() + FCount) return false;
        FVisited[FCount++] = Index;
        return true;
    }

private:
    std::array<int, MaxParentDepth> FVisited{};
    int FCount = 0;
};

// The shape shared by the four inherited lookups: scan the masks with Match
// for the current section; when nothing matches, go on with the parent
// section unless its name is empty or equals the name being looked up.
// Checked variants carry the section's name from level to level.
template <class TMatch>
int FindInherited(const TsGeneralDataArray &Sections, int SectionIndex, std::string_view SectionName, bool Checked,
                  TMatch Match) {
    TChainGuard guard;
    std::string_view name = SectionName;
    while (SectionIndex >= 0 && guard.Enter(SectionIndex)) {
        if (const int hit = Match(SectionIndex, name); hit >= 0) return hit;
        if (!IsValidSectionIndex(Sections, SectionIndex)) return -1;
        const TsGeneralData &section = Sections[static_cast<std::size_t>(SectionIndex)];
        const std::string_view parent = section.ParentClass;
        const std::string_view own = Checked ? name : std::string_view(section.ClassName);
        if (parent.empty() || parent == own) return -1;
        SectionIndex = FindSectionIndex(Sections, parent);
        name = parent;
    }
    return -1;
}

template <class TPredicate> int FirstMask(const TsMaskArray &Masks, TPredicate Predicate) {
    for (std::size_t i = 0; i < Masks.size(); ++i)
        if (Predicate(Masks[i])) return static_cast<int>(i);
    return -1;
}

constexpr std::uint8_t TextureKind = 1;

} // namespace

int FindSectionIndex(const TsGeneralDataArray &Sections, std::string_view Name) {
    if (Name.empty()) return -1;
    for (std::size_t i = 0; i < Sections.size(); ++i)
        if (Sections[i].ClassName == Name) return static_cast<int>(i);
    return -1;
}

int FindMaskIndex(const TsMaskArray &Masks, std::string_view SectionName, std::string_view PropertyName) {
    if (SectionName.empty()) return -1;
    return FirstMask(Masks, [&](const TsMaskData &m) {
        return m.ClassName == SectionName && m.PropertyName == PropertyName;
    });
}

int GetMaskIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                 std::string_view PropertyName) {
    return FindInherited(Sections, SectionIndex, {}, false, [&](int index, std::string_view) {
        return FirstMask(Masks, [&](const TsMaskData &m) {
            return m.OwnerSection == index && m.PropertyName == PropertyName;
        });
    });
}

int GetMaskIndexChecked(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                        std::string_view SectionName, std::string_view PropertyName) {
    return FindInherited(Sections, SectionIndex, SectionName, true, [&](int index, std::string_view) {
        return FirstMask(Masks, [&](const TsMaskData &m) {
            return m.OwnerSection == index && m.PropertyName == PropertyName;
        });
    });
}

// Only texture images count as patterns: a plain picture file is kind 1
// whatever its draw mode, and the index cache looks textures up this way.
int GetPatternIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                    std::string_view PropertyName) {
    if (Masks.empty()) return -1;
    return FindInherited(Sections, SectionIndex, {}, false, [&](int index, std::string_view) {
        return FirstMask(Masks, [&](const TsMaskData &m) {
            return m.OwnerSection == index && m.ImageKind == TextureKind && m.PropertyName == PropertyName;
        });
    });
}

int GetPatternIndexChecked(const TsGeneralDataArray &Sections, const TsMaskArray &Masks, int SectionIndex,
                           std::string_view SectionName, std::string_view PropertyName) {
    if (Masks.empty() || SectionName.empty()) return -1;
    return FindInherited(Sections, SectionIndex, SectionName, true, [&](int, std::string_view name) {
        return FirstMask(Masks, [&](const TsMaskData &m) {
            return m.ImageKind == TextureKind && m.PropertyName == PropertyName && m.ClassName == name;
        });
    });
}

namespace {

int OwnOrBorder(int Own, int BorderWidth, int Fallback) {
    if (Own >= 1) return Own;
    if (BorderWidth >= 1) return BorderWidth;
    return Fallback;
}

} // namespace

int MaskLeftMargin(const TsMaskData &Mask) {
    if (Mask.WL >= 1 || Mask.BorderWidth >= 1) return OwnOrBorder(Mask.WL, Mask.BorderWidth, 0);
    // A count of 0 reads as one image here (and only here: the right
    // margin keeps the frame width of 0).
    return Mask.ImageCount == 0 ? Mask.R.Width() : GetMaskFrameWidth(Mask);
}

int MaskTopMargin(const TsMaskData &Mask) {
    return OwnOrBorder(Mask.WT, Mask.BorderWidth, GetMaskFrameHeight(Mask));
}

int MaskRightMargin(const TsMaskData &Mask) {
    return OwnOrBorder(Mask.WR, Mask.BorderWidth, GetMaskFrameWidth(Mask));
}

int MaskBottomMargin(const TsMaskData &Mask) {
    return OwnOrBorder(Mask.WB, Mask.BorderWidth, GetMaskFrameHeight(Mask));
}

} // namespace skin
