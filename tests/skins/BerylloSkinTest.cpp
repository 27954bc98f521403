// Our stored skin "Beryllo (internal)" as the build made it: the packed
// container, the stored Data, the folder form, and the rules its options
// text and pictures must keep for the skin reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "SkinRules.h"
#include "vcl/StringList.h"
#include "vcl/SysUtils.h"

namespace fs = std::filesystem;
using namespace skinrules;

namespace {

Bytes ReadFile(const fs::path &Path) {
    std::ifstream in(Path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Joined(const Problems &P) {
    std::string out;
    for (const std::string &p : P) out += "\n  " + p;
    return out;
}

class BerylloSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Packed = ReadFile(ZUVO_BERYLLO_GMZ);
        Problems found;
        Members = Unpack(Packed, found);
        ASSERT_TRUE(found.empty()) << Joined(found);
        ASSERT_FALSE(Members.empty());
        for (const Member &m : Members) ByName[m.Name] = &m;
        ASSERT_TRUE(ByName.count("Options.dat"));
        const Bytes &text = ByName["Options.dat"]->Data;
        Ini = ReadOptions(std::string(text.begin(), text.end())).release();
        Items = Pictures(*Ini, found);
        ASSERT_TRUE(found.empty()) << Joined(found);
        const std::string master = Ini->ReadString("GLOBALINFO", "MASTERBITMAP", "");
        ASSERT_TRUE(ByName.count(master)) << master;
        Master = new Bitmap(ReadBmp(ByName[master]->Data).value());
    }
    static void TearDownTestSuite() {
        delete Ini;
        delete Master;
    }

    static std::string Own(const std::string &Section, const std::string &Key) { return Ini->ReadString(Section, Key, ""); }
    static const Picture *Item(const std::string &Section, const std::string &Key) {
        for (const Picture &p : Items)
            if (p.Section == Section && p.Key == Key) return &p;
        return nullptr;
    }

    static inline Bytes Packed;
    static inline std::vector<Member> Members;
    static inline std::map<std::string, const Member *> ByName;
    static inline vcl::TMemIniFile *Ini = nullptr;
    static inline std::vector<Picture> Items;
    static inline Bitmap *Master = nullptr;
};

TEST_F(BerylloSkin, PackHoldsTheOptionsFirstAndExactlyThePicturesTheyName) {
    EXPECT_EQ(Members.front().Name, "Options.dat");
    std::set<std::string> named{Own("GLOBALINFO", "MASTERBITMAP")};
    for (const Picture &p : Items)
        if (!p.File.empty()) named.insert(p.File);
    std::set<std::string> packed;
    for (const Member &m : Members) {
        if (m.Name != "Options.dat") {
            EXPECT_TRUE(packed.insert(m.Name).second) << "twice: " << m.Name;
        }
    }
    EXPECT_EQ(packed, named);
}

TEST_F(BerylloSkin, StoredDataAndFolderHoldTheSameSkin) {
    EXPECT_EQ(ReadFile(ZUVO_BERYLLO_DATA), Packed);
    std::set<std::string> files;
    for (const auto &entry : fs::directory_iterator(ZUVO_BERYLLO_FOLDER)) files.insert(entry.path().filename().string());
    std::set<std::string> members;
    for (const Member &m : Members) {
        members.insert(m.Name);
        EXPECT_EQ(ReadFile(fs::path(ZUVO_BERYLLO_FOLDER) / m.Name), m.Data) << m.Name;
    }
    EXPECT_EQ(files, members);
}

TEST_F(BerylloSkin, GlobalInfoReadsAsVersionTenWithExplicitMetricsAndColours) {
    EXPECT_EQ(Own("GLOBALINFO", "VERSION"), "10");
    EXPECT_DOUBLE_EQ(Ini->ReadFloat("GLOBALINFO", "VERSION", 0), 10.0);
    for (const char *key : {"AUTHOR", "DESCRIPTION"}) {
        const std::string value = Own("GLOBALINFO", key);
        ASSERT_FALSE(value.empty()) << key;
        // The reader takes a first character @ ^ ~ ! as a value code and a
        // .BMP or .JPG in a value as a picture file.
        EXPECT_EQ(std::string("@^~!").find(value[0]), std::string::npos) << key;
        EXPECT_EQ(vcl::UpperCase(value).find(".BMP"), std::string::npos) << key;
        EXPECT_EQ(vcl::UpperCase(value).find(".JPG"), std::string::npos) << key;
    }
    for (const char *key : {"BORDERWIDTH", "TITLEHEIGHT", "MAXHEIGHT", "FORMOFFSET", "COLOR", "FONTCOLOR", "TCTOP",
                            "TCBOTTOM", "BORDERCOLOR", "BIKEEPHUE"})
        EXPECT_NE(Ini->ReadInteger("GLOBALINFO", key, -12345), -12345) << key << " is not an explicit number";
    const std::string master = Own("GLOBALINFO", "MASTERBITMAP");
    EXPECT_EQ(master, vcl::UpperCase(master));
}

TEST_F(BerylloSkin, EveryTitleAndCheckGlyphIsAPictureOfTheGlobalSection) {
    for (const char *key : {"BICONCLOSE", "BICLOSEALONE", "BICONMAX", "BICONNORM", "BICONMIN", "BICONHELP", "SICONCLOSE",
                            "SICONMAX", "SICONNORM", "SICONMIN", "SICONHELP", "BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED",
                            "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED", "RADIOUNCHECKED", "RADIOCHECKED",
                            "GRIPIMAGE", "TITLEBUTTON"}) {
        const Picture *p = Item("GLOBALINFO", key);
        ASSERT_NE(p, nullptr) << key;
        EXPECT_GE(p->Count, 1) << key;
    }
    // Check boxes and radio buttons are PNG glyphs with alpha; the title
    // glyphs lie in the master bitmap, where a hue change can leave them out.
    EXPECT_EQ(Item("GLOBALINFO", "BOXCHECKED")->Code, '!');
    EXPECT_EQ(Item("GLOBALINFO", "BICONCLOSE")->Code, '^');
}

TEST_F(BerylloSkin, HasTheStandardFrameAndCachedSections) {
    const char *names[] = {
        // the 28 standard sections
        "MENUITEM", "CHECKBOX", "SPEEDBUTTON", "SPEEDBUTTON_SMALL", "TOOLBUTTON", "TRANSPARENT", "GROUPBOX", "DIVIDER",
        "WEBBUTTON", "BUTTON", "TOOLBAR", "EDIT", "GAUGE", "SELECTION", "STATUSBAR", "PANEL", "PANEL_LOW", "TRACKBAR",
        "COLHEADER", "PROGRESSV", "DRAGBAR", "GRIPH", "GRIPV", "PROGRESSH", "TABSHEET", "MENUBTN", "UPDOWNBTN", "COMBOBOX",
        // the frame
        "FORM", "FORMTITLE", "CAPTION", "DIALOG", "DIALOGTITLE", "MAINMENU", "ICOLINE",
        // scroll bars, combo box and tabs as the element cache looks them up
        "SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V", "SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT",
        "SCROLLBTNBOTTOM", "SCROLLSLIDERH", "SCROLLSLIDERV", "COMBOBTN", "TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT",
        "TABTOPFIRST", "TABTOPMIDDLE", "TABTOPLAST", "TABBOTTOMFIRST", "TABBOTTOMMIDDLE", "TABBOTTOMLAST",
        "TABLEFTFIRST", "TABLEFTMIDDLE", "TABLEFTLAST", "TABRIGHTFIRST", "TABRIGHTMIDDLE", "TABRIGHTLAST"};
    for (const char *name : names) EXPECT_TRUE(Ini->SectionExists(name)) << name;
    EXPECT_TRUE(Resolve(*Ini, "COMBOBOX", "GLYPHMASK")) << "the combo button's glyph";
}

TEST_F(BerylloSkin, NamesAreUpperCaseSectionsUniqueAndParentsKnown) {
    // Lookups compare exactly and callers pass upper case; a section written
    // twice would merge and shift the indexes of the ones after it.
    const Bytes &text = ByName["Options.dat"]->Data;
    vcl::TStringList lines;
    lines.SetText(std::string(text.begin(), text.end()));
    std::set<std::string> sections;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string line = vcl::Trim(lines[i]);
        if (line.empty() || line[0] == ';') continue;
        const std::string name = line[0] == '[' ? line.substr(1, line.size() - 2) : line.substr(0, line.find('='));
        EXPECT_EQ(name, vcl::UpperCase(name)) << line;
        if (line[0] == '[') {
            EXPECT_TRUE(sections.insert(name).second) << "written twice: " << name;
        }
    }
    for (const std::string &section : sections) {
        const std::string parent = Own(section, "PARENTCLASS");
        if (parent.empty()) continue;
        EXPECT_TRUE(Ini->SectionExists(parent)) << section << " names " << parent;
        std::set<std::string> chain{section};
        for (std::string p = parent; !p.empty(); p = Own(p, "PARENTCLASS")) ASSERT_TRUE(chain.insert(p).second) << "cycle at " << section;
    }
}

TEST_F(BerylloSkin, EverySectionWithMoreThanOneStateWritesItsStateKeys) {
    const Problems found = CheckStateKeys(*Ini);
    EXPECT_TRUE(found.empty()) << Joined(found);
}

TEST_F(BerylloSkin, NumbersGradientsAndStatesReadAsTheReaderReadsThem) {
    vcl::TStringList sections;
    Ini->ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
        vcl::TStringList keys;
        Ini->ReadSection(sections[i], keys);
        for (int k = 0; k < keys.Count(); ++k) {
            const std::string key = keys[k], value = Own(sections[i], key);
            const std::string where = "[" + sections[i] + "] " + key;
            if (key.find("GRADIENTDATA") != std::string::npos) {
                // Five fields a stop, each an integer for the class library.
                std::vector<std::string> fields;
                std::string f;
                for (char c : value + ";") {
                    if (c != ';')
                        f += c;
                    else if (!f.empty())
                        fields.push_back(f), f.clear();
                }
                EXPECT_TRUE(!fields.empty() && fields.size() % 5 == 0) << where;
                for (const std::string &field : fields) EXPECT_NO_THROW(vcl::StrToInt(field)) << where << ": " << field;
                int percent = 0;
                for (std::size_t s = 2; s < fields.size(); s += 5) percent += vcl::StrToInt(fields[s]);
                EXPECT_EQ(percent, 100) << where;
            } else if (key.find("COLOR") != std::string::npos || key == "STATES" || key.find("PERCENT") != std::string::npos ||
                       key.find("TRANSPARENCY") != std::string::npos) {
                EXPECT_NE(Ini->ReadInteger(sections[i], key, -12345), -12345) << where << " = " << value;
            }
        }
        const int states = Ini->ReadInteger(sections[i], "STATES", 3);
        EXPECT_TRUE(states >= 1 && states <= 255) << sections[i];
    }
}

TEST_F(BerylloSkin, MasterBitmapKeepsItsKeyColourAndTheItemsFit) {
    EXPECT_EQ(ByName[Own("GLOBALINFO", "MASTERBITMAP")]->Name.substr(0, 7), "BERYLLO");
    const Problems found = CheckMaster(*Master, Items);
    EXPECT_TRUE(found.empty()) << Joined(found);
}

TEST_F(BerylloSkin, GlyphPicturesAreAlphaPngsWithTheirMaskBelow) {
    int glyphs = 0;
    for (const Picture &p : Items) {
        if (p.Code != '!') continue;
        ++glyphs;
        const auto png = ReadPng(ByName.at(p.File)->Data);
        ASSERT_TRUE(png) << p.File << " is not a PNG that libpng reads";
        const Problems found = CheckGlyphPng(*png, p);
        EXPECT_TRUE(found.empty()) << Joined(found);
    }
    EXPECT_EQ(glyphs, 8);
}

TEST_F(BerylloSkin, FormBorderHasKeyColourCornersThatShapeTheWindow) {
    for (const char *section : {"FORM", "FORMTITLE", "MAINMENU"}) {
        const Picture *mask = Item(section, "BORDERSMASK");
        ASSERT_NE(mask, nullptr) << section;
        const Corners c = ScanCorners(*Master, *mask);
        EXPECT_TRUE(c.HasKey) << section;
        EXPECT_TRUE(c.KeyTouchesEdge) << section << ": key colour inside a corner would cut a hole in the window";
    }
}

TEST_F(BerylloSkin, UsesEachFeatureOfTheFormatOnce) {
    vcl::TStringList sections;
    Ini->ReadSections(sections);
    bool chain = false, states1 = false, states3 = false, gradient = false, texture = false;
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string s = sections[i];
        const std::string parent = Own(s, "PARENTCLASS"), grandparent = parent.empty() ? "" : Own(parent, "PARENTCLASS");
        // Two levels of parents, no keys of its own, a border taken from above.
        if (!grandparent.empty() && !Ini->ValueExists(s, "COLOR") && !Ini->ValueExists(s, "BORDERSMASK") &&
            Resolve(*Ini, s, "BORDERSMASK") && Resolve(*Ini, s, "HOTCOLOR"))
            chain = true;
        const std::string states = Resolve(*Ini, s, "STATES").value_or("3");
        states1 = states1 || states == "1";
        states3 = states3 || (states == "3" && Resolve(*Ini, s, "USESTATE2") == "1");
        const std::string stops = Own(s, "GRADIENTDATA");
        if (Ini->ReadInteger(s, "GRADIENTPERCENT", 0) > 0 && std::count(stops.begin(), stops.end(), ';') >= 9) gradient = true;
        if (Ini->ReadInteger(s, "IMAGEPERCENT", 0) > 0) {
            const Picture *pattern = Item(s, "PATTERN");
            texture = texture || (pattern && pattern->Code == 0 && ByName.count(pattern->File) &&
                                  ReadBmp(ByName.at(pattern->File)->Data).value_or(Bitmap{}).Bits == 24);
        }
    }
    EXPECT_TRUE(chain) << "a two-level PARENTCLASS chain with omitted keys and an inherited mask";
    EXPECT_TRUE(states1) << "a section with STATES=1";
    EXPECT_TRUE(states3) << "a section with STATES=3 and USESTATE2=1";
    EXPECT_TRUE(gradient) << "a gradient of two stops with its percentage";
    EXPECT_TRUE(texture) << "an image percentage with a plain texture";
    EXPECT_TRUE(std::any_of(Items.begin(), Items.end(), [](const Picture &p) { return p.Code == '@'; }));
    EXPECT_TRUE(std::any_of(Items.begin(), Items.end(), [](const Picture &p) { return p.Code == '^'; }));
}

// The build draws and packs the skin; doing it again gives the same bytes.
TEST_F(BerylloSkin, DrawingAndPackingAgainGiveTheSameBytes) {
    const fs::path work = fs::temp_directory_path() / ("beryllo-again-" + std::to_string(::getpid()));
    fs::remove_all(work);
    const std::string draw = std::string(ZUVO_DRAW_SKIN) + " " + ZUVO_BERYLLO_OPTIONS + " " + (work / "Beryllo").string();
    const std::string pack = std::string(ZUVO_PACK_SKIN) + " " + (work / "Beryllo").string() + " " + (work / "Beryllo.gmz").string();
    ASSERT_EQ(std::system(draw.c_str()), 0) << draw;
    ASSERT_EQ(std::system(pack.c_str()), 0) << pack;
    EXPECT_EQ(ReadFile(work / "Beryllo.gmz"), Packed);
    fs::remove_all(work);
}

// The library's window shadow lies around the window, never over it.
TEST(LibraryImages, ShadowIsEmptyUnderTheWindowAndDarkestBesideIt) {
    for (const char *name : {"vlSHDA.png", "vlSHDI.png"}) {
        const auto png = ReadPng(ReadFile(fs::path(ZUVO_LIBRARY_IMAGES) / name));
        ASSERT_TRUE(png) << name;
        ASSERT_EQ(png->Width, 19);
        ASSERT_EQ(png->Height, 19);
        EXPECT_EQ(png->At(9, 9)[3], 0) << name;
        EXPECT_GT(png->At(8, 9)[3], png->At(0, 9)[3]) << name;
        EXPECT_GT(png->At(9, 10)[3], png->At(9, 8)[3]) << name << ": the shadow falls below the window";
        EXPECT_LT(png->At(0, 0)[3], 8) << name;
    }
}

// The checks above say no to skins that break the rules.
TEST(SkinRules, ReportBrokenSkins) {
    const auto ini = ReadOptions("[A]\nSTATES=2\nCOLOR=1\nHOTCOLOR=2\n"
                                 "[B]\nSTATES=3\nUSESTATE2=1\nCOLOR=1\nHOTCOLOR=2\nFONTCOLOR=0\nHOTFONTCOLOR=0\nTRANSPARENCY=50\nHOTTRANSPARENCY=50\n"
                                 "[C]\nPARENTCLASS=A\n"
                                 "[D]\nSTATES=1\nCOLOR=5\n");
    const Problems found = CheckStateKeys(*ini);
    const std::set<std::string> expected = {
        "[A] has 2 states but no HOTFONTCOLOR", "[B] uses a second state but has no COLOR2",
        "[B] uses a second state but has no FONTCOLOR2", "[B] uses a second state but has no TRANSPARENCY2",
        "[C] has 2 states but no HOTFONTCOLOR"};
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), expected);

    // A container whose member claims one byte fewer than it holds, and one cut short.
    Bytes packed = ReadFile(ZUVO_BERYLLO_GMZ);
    Problems damaged;
    Bytes smaller = packed;
    smaller[8 + 4 + 11] -= 1;  // size of "Options.dat"
    Unpack(smaller, damaged);
    EXPECT_FALSE(damaged.empty());
    damaged.clear();
    Unpack(Bytes(packed.begin(), packed.begin() + packed.size() / 2), damaged);
    EXPECT_FALSE(damaged.empty());
    damaged.clear();
    Bytes longer = packed;
    longer.push_back(0);
    Unpack(longer, damaged);
    EXPECT_EQ(damaged, Problems{"1 bytes after the last entry"});

    // A glyph whose image is half transparent where its mask is white.
    RgbaPicture png{1, 2, {10, 20, 30, 128, 255, 255, 255, 255}};
    Picture glyph;
    glyph.Code = '!';
    glyph.File = "X.PNG";
    glyph.Count = 1;
    glyph.MaskType = 1;
    EXPECT_EQ(CheckGlyphPng(png, glyph).size(), 1u);
}

} // namespace
