// The portable shared helpers: ini-style text, words, strings, geometry.
#include "skin/graphics/vlCommonUtils.h"

#include "vcl/TypInfo.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

using namespace skin;

namespace {

std::unique_ptr<vcl::TStringList> LinesOf(std::initializer_list<const char *> lines) {
    auto list = std::make_unique<vcl::TStringList>();
    for (const char *l : lines) list->Add(l);
    return list;
}

// The sections as text: "[name] line line [name] ...".
std::string Dump(const vcl::TStringList &sections) {
    std::string s;
    for (int i = 0; i < sections.Count(); ++i) {
        s += (i ? " [" : "[") + sections[i] + "]";
        const auto &lines = *dynamic_cast<const vcl::TStringList *>(sections.Objects(i));
        for (int j = 0; j < lines.Count(); ++j) s += " " + lines[j];
    }
    return s;
}

} // namespace

TEST(IniText, SplitSkipsCommentsAndEmptyLinesAndDropsLinesBeforeTheFirstHeader) {
    vcl::TStringList sections;
    SplitIniSections(*LinesOf({"orphan=1", "[A]", "x=1", ";c", "", "[B]", "y=2", " [C]", "[D"}), sections);
    // A header needs '[' first and ']' last: untrimmed lines stay lines.
    EXPECT_EQ(Dump(sections), "[A] x=1 [B] y=2  [C] [D");
    // What the target held goes.
    SplitIniSections(*LinesOf({"[]", "b=2"}), sections);
    EXPECT_EQ(Dump(sections), "[] b=2");
}

TEST(IniText, SectionThatTheTargetRefusesLosesItsLinesOnly) {
    vcl::TStringList sections;
    sections.SetSorted(true);
    sections.SetDuplicates(vcl::dupError);
    SplitIniSections(*LinesOf({"[A]", "x=1", "[A]", "x=2", "[B]", "y=3"}), sections);
    EXPECT_EQ(Dump(sections), "[A] x=1 [B] y=3");
}

TEST(IniText, ReadStringFindsSectionAndKeyWithoutRegardToCase) {
    vcl::TStringList sections;
    SplitIniSections(*LinesOf({"[Button]", "color=123", "COLOR2 = 5", "Empty=", "Eq=a=b"}), sections);
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
        {"BUTTON", "COLOR", "123"}, {"button", "color", "123"}, {"Button", "COLOR2", "?"},
        {"Button", "COLOR2 ", " 5"}, {"Button", "Empty", ""},   {"Button", "Eq", "a=b"},
        {"Missing", "color", "?"},  {"Button", "nokey", "?"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadIniString(sections, c.section, c.key, "?"), c.expected) << c.section << "/" << c.key;
}

TEST(IniText, ReadIntegerTakesDecimalDollarAndZeroXHexadecimal) {
    vcl::TStringList sections;
    SplitIniSections(*LinesOf({"[S]", "a=0xFF00FF", "b=12", "c=abc", "d=", "e=0x10", "f=0x", "g=$10", "h=0X1f",
                              "i=-7", "j=0x-1"}),
                     sections);
    const std::pair<const char *, int> cases[] = {{"a", 16711935}, {"b", 12}, {"c", -1}, {"d", -1},
                                                  {"e", 16},       {"f", -1}, {"g", 16}, {"h", 31},
                                                  {"i", -7},       {"j", -1}, {"zz", -1}};
    for (auto [key, expected] : cases) EXPECT_EQ(ReadIniInteger(sections, "s", key, -1), expected) << key;
}

TEST(Words, PositionsCountsAndExtraction) {
    const TCharSet blank(" ");
    EXPECT_EQ(NthWordPos(1, "  ab  cd ", blank), 3);
    EXPECT_EQ(NthWordPos(2, "  ab  cd ", blank), 7);
    for (int n : {3, 0, -1}) EXPECT_EQ(NthWordPos(n, "  ab  cd ", blank), 0) << n;
    const struct {
        const char *text, *separators;
        int count;
        const char *second;
    } cases[] = {
        {"  ab  cd ", " ", 2, "cd"}, {"", ";,", 0, ""},         {";;;", ";,", 0, ""},        {"a", ";,", 1, ""},
        {"a;b", ";,", 2, "b"},       {";;a;;,b,", ";,", 2, "b"}, {"255;0;50", ";,", 3, "0"}, {"x,,y;z", ";,", 3, "y"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CountWords(c.text, TCharSet(c.separators)), c.count) << c.text;
        EXPECT_EQ(ExtractNthWord(2, c.text, TCharSet(c.separators)), c.second) << c.text;
    }
    EXPECT_EQ(ExtractNthWord(1, "  ab  cd ", blank), "ab");
}

TEST(Words, SetsHoldEveryByteValue) {
    TCharSet set;
    set.Include('\0').Include('\xFF').Include('A');
    EXPECT_TRUE(IsCharInSet('\0', set));
    EXPECT_TRUE(IsCharInSet('\xFF', set));
    EXPECT_TRUE(IsCharInSet('A', set));
    EXPECT_FALSE(IsCharInSet('a', set));
    EXPECT_FALSE(IsCharInSet('\xFE', set));
    // UTF-8 bytes are ordinary members: "é" is C3 A9.
    EXPECT_EQ(CountWords("a\xC3\xA9" "b", TCharSet("\xC3")), 2);
}

TEST(Strings, DeleteAndReplace) {
    EXPECT_EQ(DeleteChars("a&&b&", '&'), "ab");
    EXPECT_EQ(DeleteChars("", '&'), "");
    const struct {
        const char *s, *old, *now, *expected;
    } cases[] = {
        {"a&&b", "&", "", "ab"},     {"aaa", "aa", "b", "ba"},       {"abc", "", "x", "abc"},
        {"abab", "ab", "abab", "abababab"}, {"xyz", "q", "r", "xyz"}, {"Aa", "a", "b", "Ab"},
        {"", "a", "b", ""},          {"a", "a", "", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(ReplaceAll(c.s, c.old, c.now), c.expected) << c.s << "/" << c.old;
}

TEST(Numbers, BetweenAndLimit) {
    // Value, bounds, swap allowed, expected.
    const int between[][5] = {{5, 0, 10, 0, 1}, {0, 0, 10, 0, 1}, {10, 0, 10, 0, 1}, {5, 10, 0, 0, 0},
                              {5, 10, 0, 1, 1}, {3, 3, 3, 1, 1},  {11, 10, 0, 1, 0}};
    for (const auto &c : between) EXPECT_EQ(IsBetween(c[0], c[1], c[2], c[3] != 0), c[4] != 0) << c[0];
    EXPECT_EQ(LimitTo(5, 10, 0), 10);  // Min is tested first
    EXPECT_EQ(LimitTo(-5, 0, 10), 0);
    EXPECT_EQ(LimitTo(50, 0, 10), 10);
    EXPECT_EQ(LimitTo(7, 0, 10), 7);
}

TEST(Geometry, IntersectionTests) {
    const vcl::TRect r1{0, 0, 10, 10};
    const struct {
        vcl::TRect r2;
        bool expected;
    } cases[] = {
        {{5, 5, 15, 15}, true},    {{10, 0, 20, 10}, false}, {{0, 10, 10, 20}, false},
        {{-5, -5, 0, 5}, false},   {{-5, -5, 1, 1}, true},   {{2, 2, 2, 8}, false},  // empty R2
        {{9, 9, 5, 20}, false},    {{-100, -100, 100, 100}, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RectsIntersect(r1, c.r2), c.expected) << c.r2.Left << "," << c.r2.Top << "," << c.r2.Right;
    vcl::TRect r;
    IntersectRects(r1, {5, -5, 20, 8}, r);
    EXPECT_EQ(r, vcl::Rect(5, 0, 10, 8));
    IntersectRects(r1, {20, 20, 30, 30}, r);
    EXPECT_EQ(r, vcl::Rect(20, 20, 10, 10));  // no test for an empty result
}

TEST(Folders, NormalizeDir) {
    const std::pair<const char *, const char *> cases[] = {
        {"", ""},           {"c", "c:\\"},       {"c:/skins/", "c:/skins\\"},
        {"c:\\x\\", "c:\\x\\"}, {"skins", "skins\\"}, {"/", "\\"},
        {"c:", "c:\\"},
    };
    for (auto [in, out] : cases) EXPECT_EQ(NormalizeDir(in), out) << in;
}

// A control of another library, known to the skin only by its published properties.
namespace {

VCL_ENUM(TGridOption, goFixed, goFixed3D, goOwnerDraw, goVisible, goVisibleRows)
using TGridOptions = vcl::TSet<TGridOption>;

class TForeignGrid : public vcl::TPersistent {
    VCL_CLASS(TForeignGrid, vcl::TPersistent)
public:
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value) { FOptions = Value; }
    vcl::TColor Color() const { return FColor; }
    void SetColor(vcl::TColor Value) { FColor = Value; }
    TForeignGrid *Header() const { return FHeader; }
    const std::string &Caption() const { return FCaption; }
    int Rows() const { return 12; }

    TGridOptions FOptions;
    vcl::TColor FColor = vcl::clWindow;
    TForeignGrid *FHeader = nullptr;
    std::string FCaption = "grid";
};

} // namespace

VCL_PUBLISHED(TForeignGrid, p) {
    p.Property("Options", &TForeignGrid::Options, &TForeignGrid::SetOptions);
    p.Property("Color", &TForeignGrid::Color, &TForeignGrid::SetColor);
    p.Property("Header", &TForeignGrid::Header);
    p.Property("Caption", &TForeignGrid::Caption);
    p.Property("Rows", &TForeignGrid::Rows);
}

TEST(Properties, FoundByNameOrSilentlyAbsent) {
    TForeignGrid grid, header;
    grid.FHeader = &header;
    EXPECT_TRUE(HasProperty(&grid, "options"));
    EXPECT_FALSE(HasProperty(&grid, "Font"));
    EXPECT_FALSE(HasProperty(nullptr, "Options"));
    EXPECT_EQ(GetObjectProperty(&grid, "Header"), &header);
    EXPECT_EQ(GetObjectProperty(&grid, "Caption"), nullptr);  // not an object
    EXPECT_EQ(GetObjectProperty(&grid, "Nothing"), nullptr);
    EXPECT_EQ(GetOrdProperty(&grid, "Color"), vcl::clWindow);
    EXPECT_EQ(GetOrdProperty(&grid, "Caption"), -1);
    EXPECT_EQ(GetOrdProperty(&grid, "Nothing"), -1);
    EXPECT_EQ(GetOrdProperty(nullptr, "Color"), -1);
    SetOrdProperty(&grid, "Color", 0x123456);
    EXPECT_EQ(grid.Color(), 0x123456);
    SetOrdProperty(&grid, "Nothing", 1);
    SetOrdProperty(&grid, "Rows", 3);  // read-only: nothing happens
    EXPECT_EQ(grid.Rows(), 12);
}

TEST(Properties, SetElementsMatchWholeNames) {
    TForeignGrid grid;
    grid.SetOptions({goFixed3D, goVisibleRows});
    EXPECT_TRUE(SetPropertyHas(&grid, "Options", "goFixed3D"));
    EXPECT_FALSE(SetPropertyHas(&grid, "Options", "goFixed"));    // a prefix of a member
    EXPECT_FALSE(SetPropertyHas(&grid, "Options", "gofixed3d"));  // names compare with case
    EXPECT_FALSE(SetPropertyHas(&grid, "Options", "goVisible"));
    EXPECT_FALSE(SetPropertyHas(&grid, "Color", "goFixed3D"));
    EXPECT_FALSE(SetPropertyHas(&grid, "Nothing", "goFixed3D"));

    // Removing "goVisible" must not cut it out of "goVisibleRows", nor
    // "goFixed" out of "goFixed3D".
    ChangeSetProperty(&grid, "Options", "goVisible", false);
    ChangeSetProperty(&grid, "Options", "goFixed", false);
    EXPECT_EQ(grid.Options(), (TGridOptions{goFixed3D, goVisibleRows}));
    // Adding one whose name is part of a member's name still adds it.
    ChangeSetProperty(&grid, "Options", "goFixed", true);
    EXPECT_EQ(grid.Options(), (TGridOptions{goFixed, goFixed3D, goVisibleRows}));
    ChangeSetProperty(&grid, "Options", "goFixed3D", false);
    EXPECT_EQ(grid.Options(), (TGridOptions{goFixed, goVisibleRows}));
    ChangeSetProperty(&grid, "Options", "goNothing", true);
    EXPECT_EQ(grid.Options(), (TGridOptions{goFixed, goVisibleRows}));

    TForeignGrid empty;
    ChangeSetProperty(&empty, "Options", "goOwnerDraw", true);
    EXPECT_EQ(empty.Options(), TGridOptions{goOwnerDraw});
    ChangeSetProperty(&empty, "Options", "goOwnerDraw", false);
    EXPECT_TRUE(empty.Options().Empty());
    ChangeSetProperty(nullptr, "Options", "goOwnerDraw", true);
}
