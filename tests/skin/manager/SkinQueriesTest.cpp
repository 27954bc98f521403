// Lookups in the skin tables and the index cache built from them.
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sSkinQueries.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

namespace skin {
namespace {

// Tables written as "NAME<PARENT" sections and "SECTION.PROPERTY" masks.
struct Tables {
    TsGeneralDataArray Sections;
    TsMaskArray Masks;

    int Section(const std::string &Name, const std::string &Parent = {}, int States = 3) {
        TsGeneralData s;
        s.ClassName = Name;
        s.ParentClass = Parent;
        s.States = States;
        Sections.push_back(s);
        return static_cast<int>(Sections.size() - 1);
    }
    int Mask(const std::string &SectionName, const std::string &Property, int ImageKind = 0) {
        TsMaskData m;
        m.ClassName = SectionName;
        m.PropertyName = Property;
        m.OwnerSection = FindSectionIndex(Sections, SectionName);
        m.ImageKind = static_cast<std::uint8_t>(ImageKind);
        m.ImageCount = 1;
        Masks.push_back(m);
        return static_cast<int>(Masks.size() - 1);
    }
};

TEST(SkinQueries, SectionsAreFoundByExactName) {
    Tables t;
    t.Section("BUTTON");
    t.Section("BUTTON");
    EXPECT_EQ(FindSectionIndex(t.Sections, "BUTTON"), 0);
    EXPECT_EQ(FindSectionIndex(t.Sections, "button"), -1);
    EXPECT_EQ(FindSectionIndex(t.Sections, ""), -1);
    EXPECT_TRUE(IsValidSectionIndex(t.Sections, 1));
    EXPECT_FALSE(IsValidSectionIndex(t.Sections, 2));
    EXPECT_FALSE(IsValidSectionIndex(t.Sections, -1));
}

TEST(SkinQueries, MasksAreInheritedAlongTheParentChain) {
    Tables t;
    const int grand = t.Section("GRAND");
    const int parent = t.Section("PARENT", "GRAND");
    const int child = t.Section("CHILD", "PARENT");
    const int self = t.Section("SELF", "SELF");
    const int lost = t.Section("LOST", "NOWHERE");
    const int grandBorder = t.Mask("GRAND", "BORDERSMASK");
    const int parentGlyph = t.Mask("PARENT", "GLYPHMASK");
    t.Mask("PARENT", "GLYPHMASK");  // a second one of the same name: the first wins
    const int selfMask = t.Mask("SELF", "X");

    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, child, "BORDERSMASK"), grandBorder);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, child, "GLYPHMASK"), parentGlyph);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, parent, "BORDERSMASK"), grandBorder);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, grand, "GLYPHMASK"), -1);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, self, "X"), selfMask);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, self, "Y"), -1);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, lost, "BORDERSMASK"), -1);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, -1, "BORDERSMASK"), -1);
    EXPECT_EQ(GetMaskIndexChecked(t.Sections, t.Masks, child, "CHILD", "BORDERSMASK"), grandBorder);
    // The checked variant stops where the parent bears the name looked up.
    EXPECT_EQ(GetMaskIndexChecked(t.Sections, t.Masks, parent, "GRAND", "BORDERSMASK"), -1);
    EXPECT_EQ(FindMaskIndex(t.Masks, "PARENT", "GLYPHMASK"), parentGlyph);
    EXPECT_EQ(FindMaskIndex(t.Masks, "", "GLYPHMASK"), -1);
}

TEST(SkinQueries, ParentCyclesEndWithoutAnAnswer) {
    Tables t;
    const int a = t.Section("A", "B");
    t.Section("B", "C");
    t.Section("C", "A");
    t.Mask("A", "ONLY_A");
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, a, "NOTHING"), -1);
    EXPECT_EQ(GetMaskIndexChecked(t.Sections, t.Masks, a, "A", "NOTHING"), -1);
    EXPECT_EQ(GetPatternIndex(t.Sections, t.Masks, a, "NOTHING"), -1);
    EXPECT_EQ(GetPatternIndexChecked(t.Sections, t.Masks, a, "A", "NOTHING"), -1);
    EXPECT_EQ(GetMaskIndex(t.Sections, t.Masks, 1, "ONLY_A"), 0);  // B -> C -> A finds it
}

TEST(SkinQueries, PatternsAreTextureImagesOnly) {
    Tables t;
    const int base = t.Section("BASE");
    const int derived = t.Section("DERIVED", "BASE");
    t.Mask("BASE", "PATTERN", 0);
    const int texture = t.Mask("BASE", "PATTERN", 1);
    EXPECT_EQ(GetPatternIndex(t.Sections, t.Masks, base, "PATTERN"), texture);
    EXPECT_EQ(GetPatternIndex(t.Sections, t.Masks, derived, "PATTERN"), texture);
    EXPECT_EQ(GetPatternIndexChecked(t.Sections, t.Masks, derived, "DERIVED", "PATTERN"), texture);
    EXPECT_EQ(GetPatternIndexChecked(t.Sections, t.Masks, derived, "", "PATTERN"), -1);
    EXPECT_EQ(GetPatternIndex(t.Sections, TsMaskArray{}, base, "PATTERN"), -1);
}

TEST(SkinQueries, MarginsFallBackToBorderWidthThenToAThirdOfNothingButTheFrame) {
    TsMaskData m;
    m.R = {0, 0, 90, 40};
    m.ImageCount = 3;
    m.MaskType = 1;
    m.WL = 5;
    m.BorderWidth = 3;
    EXPECT_EQ(MaskLeftMargin(m), 5);
    EXPECT_EQ(MaskTopMargin(m), 3);
    m.BorderWidth = 0;
    EXPECT_EQ(MaskRightMargin(m), 30);
    EXPECT_EQ(MaskBottomMargin(m), 20);
    m.WL = 0;
    m.ImageCount = 0;
    EXPECT_EQ(MaskLeftMargin(m), 90);  // a count of 0 reads as one image here...
    EXPECT_EQ(MaskRightMargin(m), 0);  // ...and as no frame here
    EXPECT_EQ(m.ImageCount, 0);        // and the record is not changed
}

TEST(IndexCache, UpDownButtonsFallBackToUpDownThenButton) {
    Tables t;
    t.Section("GLOBALINFO");
    t.Section("UPDOWNBTN_TOP");
    t.Section("UPDOWNBTN");
    t.Section("BUTTON");
    t.Mask("UPDOWNBTN", "BORDERSMASK");
    TvlCommonElements e;
    CacheCommonElements(e, t.Sections, t.Masks);
    EXPECT_EQ(e.UpDownButtons[0].SectionName, "UPDOWNBTN");
    EXPECT_EQ(e.UpDownButtons[0].SectionIndex, 2);
    EXPECT_EQ(e.UpDownButtons[0].BorderMask, 0);
    EXPECT_EQ(e.UpDownButtons[1].SectionName, "UPDOWNBTN_TOP");
    EXPECT_EQ(e.UpDownButtons[1].BorderMask, -1);

    Tables none;
    none.Section("GLOBALINFO");
    TvlCommonElements f;
    CacheCommonElements(f, none.Sections, none.Masks);
    for (const TvlElementEntry &u : f.UpDownButtons) {
        EXPECT_EQ(u.SectionName, "BUTTON");
        EXPECT_EQ(u.SectionIndex, -1);
        EXPECT_EQ(u.BorderMask, -1);
        EXPECT_EQ(u.HotTexture, -1);
    }
    EXPECT_EQ(f.GlobalInfoSection, 0);
    EXPECT_EQ(f.StdSectionIndexes[9], -1);
}

TEST(IndexCache, GlyphsStandardSectionsAndTheComboGlyph) {
    Tables t;
    t.Section("GLOBALINFO");
    t.Section("BUTTON");
    t.Section("COMBOBTN");
    t.Section("COMBOBOX");
    const int checked = t.Mask("GLOBALINFO", "BOXCHECKED");
    const int close = t.Mask("GLOBALINFO", "BICONCLOSE");
    const int comboGlyph = t.Mask("COMBOBOX", "GLYPHMASK");
    t.Mask("COMBOBTN", "GLYPHMASK");
    TvlCommonElements e;
    CacheCommonElements(e, t.Sections, t.Masks);
    EXPECT_EQ(e.CheckGlyphs[1], checked);
    EXPECT_EQ(e.CheckGlyphs[0], -1);
    EXPECT_EQ(e.TitleIcons[tiBigClose], close);
    EXPECT_EQ(e.ComboButton.SectionIndex, 2);
    EXPECT_EQ(e.ComboButton.GlyphMask, comboGlyph);
    EXPECT_EQ(e.StdSectionIndexes[9], 1);  // "BUTTON"
    EXPECT_EQ(e.StdSectionIndexes[27], 3); // "COMBOBOX"
    EXPECT_EQ(GlobalInfoMaskIndex(e, t.Sections, t.Masks, "BOXCHECKED"), checked);
}

TEST(IndexCache, SectionTexturesFollowStatesAndUseState2) {
    Tables t;
    t.Section("GLOBALINFO");
    const int two = t.Section("TWO", "", 2);
    const int one = t.Section("ONE", "", 1);
    const int three = t.Section("THREE");
    t.Sections[static_cast<std::size_t>(two)].UseState2 = true;
    t.Sections[static_cast<std::size_t>(three)].UseState2 = true;
    t.Mask("GLOBALINFO", "PATTERN", 1);  // index 0: must never be taken for another section
    const int p2 = t.Mask("TWO", "PATTERN", 1);
    const int h2 = t.Mask("TWO", "HOTPATTERN", 1);
    t.Mask("TWO", "PATTERN2", 1);
    const int p1 = t.Mask("ONE", "PATTERN", 1);
    const int pressed3 = t.Mask("THREE", "PATTERN2", 1);
    CacheSectionIndices(t.Sections, t.Masks);
    const auto &s2 = t.Sections[static_cast<std::size_t>(two)].Props;
    EXPECT_EQ(s2[0].TextureIndex, p2);
    EXPECT_EQ(s2[1].TextureIndex, h2);
    EXPECT_EQ(s2[2].TextureIndex, h2);  // "PATTERN2" needs three states
    for (const TsGenState &s : t.Sections[static_cast<std::size_t>(one)].Props) EXPECT_EQ(s.TextureIndex, p1);
    const auto &s3 = t.Sections[static_cast<std::size_t>(three)].Props;
    EXPECT_EQ(s3[0].TextureIndex, -1);
    EXPECT_EQ(s3[2].TextureIndex, pressed3);
    // GLOBALINFO is skipped and keeps its "none" values.
    EXPECT_EQ(t.Sections[0].Props[0].TextureIndex, -1);
    EXPECT_EQ(t.Sections[0].BorderMask, -1);
    EXPECT_EQ(t.Sections[0].BorderKind, -2);
}

TEST(IndexCache, BorderKindOfEditBorders) {
    struct Case {
        const char *Section;
        std::int16_t Margins[4];
        bool HasBorder;
        int Kind;
    };
    const Case cases[] = {{"EDIT", {1, 1, 1, 1}, true, -1},      {"GLASSEDIT", {1, 1, 1, 1}, true, -1},
                          {"EDIT", {2, 1, 1, 1}, true, 0},       {"PANEL", {1, 1, 1, 1}, true, 0},
                          {"EDIT", {1, 1, 1, 1}, false, -2}};
    for (const Case &c : cases) {
        Tables t;
        t.Section(c.Section);
        if (c.HasBorder) {
            const int m = t.Mask(c.Section, "BORDERSMASK");
            TsMaskData &mask = t.Masks[static_cast<std::size_t>(m)];
            mask.WL = c.Margins[0];
            mask.WT = c.Margins[1];
            mask.WR = c.Margins[2];
            mask.WB = c.Margins[3];
        }
        CacheSectionIndices(t.Sections, t.Masks);
        EXPECT_EQ(t.Sections[0].BorderKind, c.Kind) << c.Section << " " << c.Margins[0];
    }
}

TEST(SkinQueries, TheIndexAnswersAsTheScansOnRandomTables) {
    // Few names, so that duplicates, cycles, self-parents, names differing
    // in case only, empty names and owners that disagree with the class name
    // all come up; every query is asked of both.
    const std::string names[] = {"A", "B", "a", "", "C", "NONE"};
    const std::string properties[] = {"P", "Q", "p", ""};
    std::mt19937 rng(11);
    const auto pick = [&](const auto &from) { return from[rng() % std::size(from)]; };
    for (int round = 0; round < 300; ++round) {
        TsGeneralDataArray sections(rng() % 7);
        for (TsGeneralData &s : sections) {
            s.ClassName = pick(names);
            s.ParentClass = pick(names);
        }
        TsMaskArray masks(rng() % 12);
        for (TsMaskData &m : masks) {
            m.ClassName = pick(names);
            m.PropertyName = pick(properties);
            m.OwnerSection = static_cast<int>(rng() % (sections.size() + 2)) - 1;
            m.ImageKind = static_cast<std::uint8_t>(rng() % 3);
        }
        const TvlTableIndex index(sections, masks);
        for (const std::string &name : names) {
            ASSERT_EQ(index.FindSectionIndex(name), FindSectionIndex(sections, name)) << round;
            for (const std::string &property : properties) {
                ASSERT_EQ(index.FindMaskIndex(name, property), FindMaskIndex(masks, name, property)) << round;
                for (int section = -1; section <= static_cast<int>(sections.size()); ++section) {
                    ASSERT_EQ(index.GetMaskIndex(section, property), GetMaskIndex(sections, masks, section, property))
                        << round;
                    ASSERT_EQ(index.GetPatternIndex(section, property),
                              GetPatternIndex(sections, masks, section, property))
                        << round;
                    ASSERT_EQ(index.GetMaskIndexChecked(section, name, property),
                              GetMaskIndexChecked(sections, masks, section, name, property))
                        << round;
                    ASSERT_EQ(index.GetPatternIndexChecked(section, name, property),
                              GetPatternIndexChecked(sections, masks, section, name, property))
                        << round;
                }
            }
        }
    }
}

} // namespace
} // namespace skin
