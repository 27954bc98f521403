// Reading the options text of a skin: inheritance, bounds, the section
// table, common sections and the skin colours.
#include "skin/manager/sOptionsFile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "skin/graphics/vlImageHelpers.h"

namespace skin {
namespace {

std::unique_ptr<vcl::TStringList> LinesOf(const std::string &Text) {
    auto l = std::make_unique<vcl::TStringList>();
    l->SetText(Text);
    return l;
}

TvlOptionsFile Options(const std::string &Text) { return TvlOptionsFile(*LinesOf(Text)); }

const TsGeneralData &Section(const TsGeneralDataArray &Sections, std::string_view Name) {
    const int i = FindSectionIndex(Sections, Name);
    EXPECT_GE(i, 0) << Name;
    return Sections.at(static_cast<std::size_t>(i < 0 ? 0 : i));
}

// clBtnFace as a skin writes a system colour: the decimal of 0x8000000F.
constexpr const char *BtnFaceCode = "-2147483633";

TEST(OptionsFile, SectionsAndKeysDifferingOnlyInCaseStayApart) {
    const TvlOptionsFile ini = Options("[Button]\nColor=1\ncolor=2\n[BUTTON]\nColor=3\n[Button]\nLate=4\nColor=5\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.ReadInteger("Button", "Color", 0), 1);
    EXPECT_EQ(ini.ReadInteger("Button", "color", 0), 2);
    EXPECT_EQ(ini.ReadInteger("BUTTON", "Color", 0), 3);
    EXPECT_EQ(ini.ReadInteger("button", "Color", -7), -7);
    // A section named twice continues the first; a repeated key keeps its first value.
    EXPECT_EQ(ini.ReadInteger("Button", "Late", 0), 4);
    EXPECT_EQ(ini.SectionIndex("BUTTON"), 1);
}

TEST(OptionsFile, ManyKeysAcrossSectionsNamedAgainKeepTheirFirstValues) {
    // Forty sections, each named three times, with keys that repeat inside
    // and across the sections and differ in case: the model keeps the first.
    std::string text;
    std::map<std::pair<std::string, std::string>, std::string> first;
    std::mt19937 rng(5);
    for (int block = 0; block < 120; ++block) {
        const std::string section = "S" + std::to_string(block % 40);
        text += "[" + section + "]\n";
        for (int k = 0; k < 12; ++k) {
            const std::string key = (rng() % 2 ? "K" : "k") + std::to_string(rng() % 30);
            const std::string value = std::to_string(rng());
            text += key + "=" + value + "\n";
            first.emplace(std::make_pair(section, key), value);
        }
    }
    const TvlOptionsFile ini(text);
    ASSERT_EQ(ini.Sections().size(), 40u);
    std::size_t keys = 0;
    for (const TvlOptionsFile::TSection &section : ini.Sections()) keys += section.Keys.size();
    EXPECT_EQ(keys, first.size());
    for (const auto &[where, value] : first) {
        const std::string *found = ini.Find(where.first, where.second);
        ASSERT_NE(found, nullptr) << where.first << " " << where.second;
        EXPECT_EQ(*found, value) << where.first << " " << where.second;
    }
    EXPECT_EQ(ini.Find("S1", "K30"), nullptr);
    EXPECT_EQ(ini.Find("S40", "K1"), nullptr);
}

TEST(OptionsFile, IntegersAreDecimalOrHexadecimalAndAnythingElseIsTheDefault) {
    const TvlOptionsFile ini = Options("[S]\nA=12\nB=$1F\nC=0x1f\nD=0X10\nE=ten\nF=\nG=0x\n");
    const std::pair<const char *, int> cases[] = {{"A", 12}, {"B", 31}, {"C", 31}, {"D", 16},
                                                  {"E", -9}, {"F", -9}, {"G", -9}, {"H", -9}};
    for (const auto &[key, value] : cases) EXPECT_EQ(ini.ReadInteger("S", key, -9), value) << key;
}

TEST(OptionsFile, OwnValuesAreKeptAndInheritedOnesResolved) {
    const TvlOptionsFile ini = Options(std::string("[BUTTON]\nCOLOR=") + BtnFaceCode + "\nFONTCOLOR=255\n" +
                                       "[MYBUTTON]\nPARENTCLASS=BUTTON\nHOTCOLOR=" + BtnFaceCode + "\n");
    EXPECT_EQ(ReadSectionInt(ini, "MYBUTTON", "COLOR", 7, INT32_MAX), vcl::ColorToRGB(vcl::clBtnFace));
    EXPECT_EQ(ReadSectionInt(ini, "MYBUTTON", "HOTCOLOR", 7, INT32_MAX), vcl::clBtnFace);
    EXPECT_EQ(ReadSectionInt(ini, "MYBUTTON", "FONTCOLOR", 7, INT32_MAX), 255);
    EXPECT_EQ(ReadSectionInt(ini, "MYBUTTON", "GLOW", 7, INT32_MAX), 7);
    EXPECT_EQ(ReadSectionStr(ini, "MYBUTTON", "FONTCOLOR", "-"), "255");
}

TEST(OptionsFile, AbsentMeansMissingQuestionMarkOrMinusOneAndTrueIsTRUEOrOne) {
    const TvlOptionsFile ini =
        Options("[P]\nS=parent\nI=5\n[C]\nPARENTCLASS=P\nS=?\nI=-1\nJ=x\nA=TRUE\nB=1\nT=true\nD=2\nQ=?\n");
    EXPECT_EQ(ReadSectionStr(ini, "C", "S", "d"), "parent");
    EXPECT_EQ(ReadSectionInt(ini, "C", "I", 0, INT32_MAX), 5);
    EXPECT_EQ(ReadSectionInt(ini, "C", "J", 3, INT32_MAX), 3);
    EXPECT_EQ(ReadSectionStr(ini, "C", "K", "d"), "d");
    for (const auto &[key, value] : {std::pair{"A", true}, {"B", true}, {"T", false}, {"D", false}})
        EXPECT_EQ(ReadSectionBool(ini, "C", key, !value), value) << key;
    EXPECT_TRUE(ReadSectionBool(ini, "C", "Q", true));  // "?" is absent: the default
}

TEST(OptionsFile, ParentChainsThatLoopOrRunTooDeepEnd) {
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += "[D" + std::to_string(i) + "]\nPARENTCLASS=D" + std::to_string(i + 1) + "\n";
    deep += "[D40]\nCOLOR=9\n";
    const TvlOptionsFile ini =
        Options("[A]\nPARENTCLASS=B\n[B]\nPARENTCLASS=A\n[SELF]\nPARENTCLASS=SELF\n[N]\nPARENTCLASS=NONE\n" + deep);
    for (const char *s : {"A", "B", "SELF", "N", "D0"}) {
        EXPECT_EQ(ReadSectionInt(ini, s, "COLOR", 4, INT32_MAX), 4) << s;
        EXPECT_EQ(ReadSectionStr(ini, s, "COLOR", "d"), "d") << s;
    }
    EXPECT_EQ(ReadSectionInt(ini, "D10", "COLOR", 4, INT32_MAX), 9);
}

TEST(OptionsFile, SectionTableBoundsStatesAndDefaults) {
    const TvlOptionsFile ini = Options(
        "[GLOBALINFO]\nVERSION=10\n"
        "[BIG]\nSTATES=300\nGLOW=1000\nGLOWMARGIN=-4\nOUTOPACITY=999\nOUTERMODE=7\n"
        "[ONE]\nSTATES=1\nCOLOR=17\nHOTCOLOR=18\nCOLOR2=19\nGRADIENTDATA=255;0;100;0;0\n"
        "[TWO]\nUSESTATE2=2\nCOLOR=1\nHOTCOLOR=2\nCOLOR2=3\nGRADIENTPERCENT=40\nGRADIENTDATA=ab\n"
        "[THREE]\nUSESTATE2=1\nCOLOR=1\nHOTCOLOR=2\nCOLOR2=3\nHOTFONTCOLOR=4\nHGCOL=5\nHGSIZE=6\n");
    const TsGeneralDataArray t = ReadSections(ini);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].ClassName, "GLOBALINFO");
    const TsGeneralData &big = Section(t, "BIG");
    EXPECT_EQ(big.States, 255);
    EXPECT_EQ(big.Glow, 255);
    EXPECT_EQ(big.GlowMargin, -4);
    EXPECT_EQ(big.OutOpacity, 255);
    EXPECT_EQ(big.OuterMode, 7);
    // Missing hot keys do not fall back to the normal state.
    EXPECT_EQ(big.Props[1].Color, 0xFFFFFF);
    EXPECT_EQ(big.Props[1].FontColor, 0);

    const TsGeneralData &one = Section(t, "ONE");
    for (int s = 1; s < 3; ++s) {
        EXPECT_EQ(one.Props[s].Color, 17) << s;
        ASSERT_EQ(one.Props[s].Gradient.size(), 1u) << s;
        EXPECT_EQ(one.Props[s].Gradient[0].Percent, 100) << s;
    }
    const TsGeneralData &two = Section(t, "TWO");
    EXPECT_FALSE(two.UseState2);
    EXPECT_EQ(two.Props[1].Color, 2);
    EXPECT_EQ(two.Props[2].Color, 2);
    EXPECT_EQ(two.Props[0].GradientPercent, 0);  // a gradient text of two characters is none
    const TsGeneralData &three = Section(t, "THREE");
    EXPECT_TRUE(three.UseState2);
    EXPECT_EQ(three.Props[2].Color, 3);
    EXPECT_EQ(three.Props[1].FontColor, 4);
    EXPECT_EQ(three.Props[1].GCol, 5);
    EXPECT_EQ(three.Props[1].GSize, 6);
    for (const TsGeneralData &s : t)
        for (const TsGenState &st : s.Props) EXPECT_EQ(st.TextureIndex, -1) << s.ClassName;
}

TEST(OptionsFile, GradientThatIsNotNumbersRaisesConversionError) {
    EXPECT_THROW(ReadSections(Options("[S]\nGRADIENTDATA=1;2;x;0;0\n")), vcl::EConvertError);
}

TEST(OptionsFile, ReservedBooleanInLowerCaseDiffersBetweenSkinAndCommonSections) {
    TsGeneralDataArray t = ReadSections(Options("[S]\nRESERVEDBOOLEAN=true\n"));
    EXPECT_FALSE(Section(t, "S").ReservedBoolean);
    AddCommonSections(*LinesOf("[C]\nRESERVEDBOOLEAN=true\n"), t);
    EXPECT_TRUE(Section(t, "C").ReservedBoolean);
}

TEST(OptionsFile, CommonSectionsAddOnlyWhatTheSkinLacks) {
    TsGeneralDataArray t = ReadSections(Options("[BUTTON]\nCOLOR=100\nHOTCOLOR=101\nCOLOR2=102\nGLOW=5\nUSESTATE2=1\n"));
    const TsGeneralDataArray before = t;
    AddCommonSections(*LinesOf("; a comment\n\n[BUTTON]\nCOLOR=1\n[MYBTN]\nPARENTCLASS=button\nHOTCOLOR=7\nSTATES=2\n"
                            "[PLAIN]\nCOLOR=0x10\nGLOW=-1\nSTATES=1\n"),
                      t);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Props[0].Color, before[0].Props[0].Color);
    const TsGeneralData &mine = Section(t, "MYBTN");
    EXPECT_EQ(mine.ParentClass, "BUTTON");
    EXPECT_EQ(mine.States, 2);
    EXPECT_EQ(mine.Props[0].Color, 100);  // from its base
    EXPECT_EQ(mine.Props[1].Color, 7);
    EXPECT_EQ(mine.Props[2].Color, 102);  // not read: the base's
    EXPECT_EQ(mine.Glow, 5);
    const TsGeneralData &plain = Section(t, "PLAIN");
    EXPECT_EQ(plain.ParentClass, "-1");
    EXPECT_EQ(plain.Props[0].Color, 16);
    EXPECT_EQ(plain.Props[1].Color, 16);
    EXPECT_EQ(plain.Glow, 0);
}

TEST(OptionsFile, VersionIsAFloatingPointNumberWithAPointOnly) {
    const std::pair<const char *, double> cases[] = {{"10", 10}, {"7.45", 7.45}, {"11.0", 11}, {"10,5", 0},
                                                     {"x", 0},   {"1e3", 1000},     {"", 0}};
    for (const auto &[text, version] : cases)
        EXPECT_DOUBLE_EQ(ReadSkinVersion(Options(std::string("[GLOBALINFO]\nVERSION=") + text + "\n")), version)
            << text;
    EXPECT_EQ(ReadSkinVersion(Options("[GLOBALINFO]\n")), 0);
}

TEST(OptionsFile, GlobalInfoDefaultsAndDerivedValues) {
    TsSkinData d;
    ReadGlobalInfo(Options("[GLOBALINFO]\nTITLEHEIGHT=0\nALIGNOFFSET=3\nALIGNOFFSETT=1\nAEROBLUR=2\nAUTHOR=Me\n"), d, 6);
    EXPECT_EQ(d.TitleHeight, 30);
    EXPECT_EQ(d.MaxHeight, 30);
    EXPECT_EQ(d.FormOffset, 6);
    EXPECT_EQ(d.AlignOffsetR, 3);
    EXPECT_EQ(d.AlignOffsetT, 1);
    EXPECT_TRUE(d.AeroBlur);
    ReadGlobalInfo(Options("[GLOBALINFO]\nTITLEHEIGHT=24\n"), d, 6);
    EXPECT_EQ(d.MaxHeight, 24);
}

TEST(OptionsFile, SkinColoursFromGlobalInfoAndSections) {
    const TvlOptionsFile ini = Options(
        "[GLOBALINFO]\nCOLOR=0x102030\nBORDERCOLOR=5\nEDITTEXT_ALERT=77\n"
        "[EDIT]\nCOLOR=0xFFFFFF\nFONTCOLOR=0\n[SELECTION]\nSTATES=2\nCOLOR=1\nFONTCOLOR=2\nHOTCOLOR=3\nHOTFONTCOLOR=4\n");
    const TsGeneralDataArray t = ReadSections(ini);
    const TvlSkinColors c = ReadSkinColors(ini, t);
    EXPECT_EQ(c[scGlobalColor], 0x102030);
    EXPECT_EQ(c[scBorderColor], 5);
    EXPECT_EQ(c[scSelectionColor], 1);
    EXPECT_EQ(c[scSelectionFontColor], 2);
    EXPECT_EQ(c[scFocusedSelectionColor], 3);
    EXPECT_EQ(c[scFocusedSelectionFontColor], 4);
    // One key gives all three alert colours.
    EXPECT_EQ(c[scEditTextAlert], 77);
    EXPECT_EQ(c[scEditTextAlert2], 77);
    EXPECT_EQ(c[scEditTextAlert3], 77);
    EXPECT_EQ(c[scEditBgAlert2], 0x8597D9);
    EXPECT_EQ(c[scEditTextInv], 0xFFFFFF);
    EXPECT_EQ(c[scEditBgInv], 0);
    EXPECT_EQ(c[scEditBgEven], MixColors(0, 0xFFFFFF, 0.05));
}

TEST(OptionsFile, SelectionFallsBackToTheMenuItemThenToTheSystem) {
    {
        const TvlOptionsFile ini = Options("[GLOBALINFO]\n");
        const TvlSkinColors c = ReadSkinColors(ini, ReadSections(ini));
        EXPECT_EQ(c[scSelectionColor], vcl::ColorToRGB(vcl::clHighlight));
        EXPECT_EQ(c[scFocusedSelectionFontColor], vcl::ColorToRGB(vcl::clHighlightText));
        EXPECT_EQ(c[scEditColor], vcl::ColorToRGB(vcl::clWindow));
    }
    {
        const TvlOptionsFile ini = Options("[MENUITEM]\nHOTCOLOR=0x00AA00\nHOTFONTCOLOR=0xFF00FF\n");
        const TvlSkinColors c = ReadSkinColors(ini, ReadSections(ini));
        EXPECT_EQ(c[scSelectionColor], 0x00AA00);
        EXPECT_EQ(c[scFocusedSelectionColor], 0x00AA00);
        // An RGB value, never the system colour's code.
        EXPECT_EQ(c[scSelectionFontColor], vcl::ColorToRGB(vcl::clHighlightText));
        EXPECT_GE(c[scSelectionFontColor], 0);
    }
    {
        const TvlOptionsFile ini = Options("[SELECTION]\nFONTCOLOR=0xFF00FF\n[MENUITEM]\nHOTFONTCOLOR=0x0000AA\n");
        const TvlSkinColors c = ReadSkinColors(ini, ReadSections(ini));
        EXPECT_EQ(c[scSelectionFontColor], 0x0000AA);
    }
}

TEST(OptionsFile, TransparentSectionIsAddedOnce) {
    TsGeneralDataArray t = ReadSections(Options("[A]\n"));
    AddTransparentSection(t, 0x123456);
    AddTransparentSection(t, 0);
    ASSERT_EQ(t.size(), 2u);
    const TsGeneralData &tr = Section(t, "TRANSPARENT");
    EXPECT_EQ(tr.States, 1);
    EXPECT_TRUE(tr.ParentClass.empty());
    for (const TsGenState &s : tr.Props) {
        EXPECT_EQ(s.Transparency, 100);
        EXPECT_EQ(s.Color, 0xFFFFFF);
        EXPECT_EQ(s.FontColor, 0x123456);
        EXPECT_EQ(s.TCLeft, -1);
        EXPECT_EQ(s.TextureIndex, -1);
    }
}

} // namespace
} // namespace skin
