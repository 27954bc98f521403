#include "sSkinQueries.h"

#include <algorithm>
#include <array>
#include <functional>

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
    std::array<int, MaxParentDepth> FVisited;  // the first FCount are set
    int FCount = 0;
};

// The shape shared by the four inherited lookups: scan the masks with Match
// for the current section; when nothing matches, go on with the parent
// section (FindSection(section, its parent's name)) unless that name is
// empty or equals the name being looked up. Checked variants carry the section's name from
// level to level.
template <class TMatch, class TFindSection>
int FindInherited(const TsGeneralDataArray &Sections, int SectionIndex, std::string_view SectionName, bool Checked,
                  TMatch Match, TFindSection FindSection) {
    TChainGuard guard;
    std::string_view name = SectionName;
    while (SectionIndex >= 0 && guard.Enter(SectionIndex)) {
        if (const int hit = Match(SectionIndex, name); hit >= 0) return hit;
        if (!IsValidSectionIndex(Sections, SectionIndex)) return -1;
        const TsGeneralData &section = Sections[static_cast<std::size_t>(SectionIndex)];
        const std::string_view parent = section.ParentClass;
        const std::string_view own = Checked ? name : std::string_view(section.ClassName);
        if (parent.empty() || parent == own) return -1;
        SectionIndex = FindSection(SectionIndex, parent);
        name = parent;
    }
    return -1;
}

template <class TMatch>
int FindInherited(const TsGeneralDataArray &Sections, int SectionIndex, std::string_view SectionName, bool Checked,
                  TMatch Match) {
    return FindInherited(Sections, SectionIndex, SectionName, Checked, Match,
                         [&](int, std::string_view parent) { return FindSectionIndex(Sections, parent); });
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

// TvlTableIndex

template <class THash, class TSame, class TTake>
void TvlTableIndex::TFirstOfKey::Build(int Count, THash Hash, TSame Same, TTake Take) {
    std::size_t size = 8;
    while (size < 2 * static_cast<std::size_t>(std::max(Count, 0))) size *= 2;
    FSlots.assign(size, TSlot{});
    for (int i = 0; i < Count; ++i) {
        if (!Take(i)) continue;
        const std::size_t hash = Hash(i);
        std::size_t at = hash & (size - 1);
        while (FSlots[at].Record >= 0 && !(FSlots[at].Hash == hash && Same(FSlots[at].Record, i)))
            at = (at + 1) & (size - 1);
        if (FSlots[at].Record < 0) FSlots[at] = TSlot{hash, i};
    }
}

template <class TIs> int TvlTableIndex::TFirstOfKey::Find(std::size_t Hash, TIs Is) const {
    if (FSlots.empty()) return -1;
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t at = Hash & mask; FSlots[at].Record >= 0; at = (at + 1) & mask)
        if (FSlots[at].Hash == Hash && Is(FSlots[at].Record)) return FSlots[at].Record;
    return -1;
}

namespace {

// FNV-1a: the names are short.
std::size_t HashOf(std::string_view Text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : Text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}
std::size_t HashOf(std::size_t First, std::size_t Second) {
    return First ^ (Second + 0x9E3779B9u + (First << 6) + (First >> 2));
}
std::size_t OwnerHash(int Owner, std::size_t PropertyHash) {
    return HashOf(static_cast<std::size_t>(static_cast<unsigned>(Owner)), PropertyHash);
}
std::size_t HashOf(std::string_view Class, std::string_view Property) {
    return HashOf(HashOf(Class), HashOf(Property));
}

} // namespace

TvlTableIndex::TvlTableIndex(const TsGeneralDataArray &Sections, const TsMaskArray &Masks)
    : FSections(Sections), FMasks(Masks) {
    const auto section = [&](int i) -> const TsGeneralData & { return Sections[static_cast<std::size_t>(i)]; };
    const auto mask = [&](int i) -> const TsMaskData & { return Masks[static_cast<std::size_t>(i)]; };
    const int sections = static_cast<int>(Sections.size()), masks = static_cast<int>(Masks.size());
    // Empty names are never found.
    FSectionsByName.Build(
        sections, [&](int i) { return HashOf(section(i).ClassName); },
        [&](int a, int b) { return section(a).ClassName == section(b).ClassName; },
        [&](int i) { return !section(i).ClassName.empty(); });
    const auto byOwner = [&](int i) { return OwnerHash(mask(i).OwnerSection, HashOf(mask(i).PropertyName)); };
    const auto sameOwner = [&](int a, int b) {
        return mask(a).OwnerSection == mask(b).OwnerSection && mask(a).PropertyName == mask(b).PropertyName;
    };
    const auto byClass = [&](int i) { return HashOf(mask(i).ClassName, mask(i).PropertyName); };
    const auto sameClass = [&](int a, int b) {
        return mask(a).ClassName == mask(b).ClassName && mask(a).PropertyName == mask(b).PropertyName;
    };
    const auto every = [](int) { return true; };
    const auto texture = [&](int i) { return mask(i).ImageKind == TextureKind; };
    FMasksByOwner.Build(masks, byOwner, sameOwner, every);
    FTexturesByOwner.Build(masks, byOwner, sameOwner, texture);
    FMasksByClass.Build(masks, byClass, sameClass, every);
    FTexturesByClass.Build(masks, byClass, sameClass, texture);
    // Every chain step asks for a section's parent by name: answered once here.
    FParents.resize(Sections.size());
    for (std::size_t i = 0; i < Sections.size(); ++i) FParents[i] = FindSectionIndex(Sections[i].ParentClass);
}

int TvlTableIndex::FindSectionIndex(std::string_view Name) const {
    if (Name.empty()) return -1;
    return FSectionsByName.Find(HashOf(Name),
                                [&](int i) { return FSections[static_cast<std::size_t>(i)].ClassName == Name; });
}

int TvlTableIndex::FindMaskIndex(std::string_view SectionName, std::string_view PropertyName) const {
    if (SectionName.empty()) return -1;
    return FMasksByClass.Find(HashOf(SectionName, PropertyName), [&](int i) {
        const TsMaskData &m = FMasks[static_cast<std::size_t>(i)];
        return m.ClassName == SectionName && m.PropertyName == PropertyName;
    });
}

int TvlTableIndex::FindOwned(const TFirstOfKey &Table, int Owner, std::string_view PropertyName,
                             std::size_t PropertyHash) const {
    return Table.Find(OwnerHash(Owner, PropertyHash), [&](int i) {
        const TsMaskData &m = FMasks[static_cast<std::size_t>(i)];
        return m.OwnerSection == Owner && m.PropertyName == PropertyName;
    });
}

int TvlTableIndex::GetMaskIndex(int SectionIndex, std::string_view PropertyName) const {
    const std::size_t hash = HashOf(PropertyName);
    return FindInherited(
        FSections, SectionIndex, {}, false,
        [&](int index, std::string_view) { return FindOwned(FMasksByOwner, index, PropertyName, hash); },
        [&](int index, std::string_view) { return FParents[static_cast<std::size_t>(index)]; });
}

int TvlTableIndex::GetMaskIndexChecked(int SectionIndex, std::string_view SectionName,
                                       std::string_view PropertyName) const {
    const std::size_t hash = HashOf(PropertyName);
    return FindInherited(
        FSections, SectionIndex, SectionName, true,
        [&](int index, std::string_view) { return FindOwned(FMasksByOwner, index, PropertyName, hash); },
        [&](int index, std::string_view) { return FParents[static_cast<std::size_t>(index)]; });
}

int TvlTableIndex::GetPatternIndex(int SectionIndex, std::string_view PropertyName) const {
    if (FMasks.empty()) return -1;
    const std::size_t hash = HashOf(PropertyName);
    return FindInherited(
        FSections, SectionIndex, {}, false,
        [&](int index, std::string_view) { return FindOwned(FTexturesByOwner, index, PropertyName, hash); },
        [&](int index, std::string_view) { return FParents[static_cast<std::size_t>(index)]; });
}

int TvlTableIndex::GetPatternIndexChecked(int SectionIndex, std::string_view SectionName,
                                          std::string_view PropertyName) const {
    if (FMasks.empty() || SectionName.empty()) return -1;
    const std::size_t hash = HashOf(PropertyName);
    return FindInherited(
        FSections, SectionIndex, SectionName, true,
        [&](int, std::string_view name) {
            return FTexturesByClass.Find(HashOf(HashOf(name), hash), [&](int i) {
                const TsMaskData &m = FMasks[static_cast<std::size_t>(i)];
                return m.ClassName == name && m.PropertyName == PropertyName;
            });
        },
        [&](int index, std::string_view) { return FParents[static_cast<std::size_t>(index)]; });
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
