#include "vcl/IniFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TempFolder.h"

using namespace vcl;
using vcl::test::TempFolder;

namespace {

const char *const Options =
    "; a skin's options\r\n"
    "stray=before any section\r\n"
    "[GLOBALINFO]\r\n"
    "VERSION=10.21\r\n"
    "COLOR = 0xFF00FF \r\n"
    "FONTCOLOR=$10\r\n"
    "\r\n"
    "[Button]\r\n"
    "States=3\r\n"
    "PARENTCLASS=GLOBALINFO\r\n"
    "Gradient=0;1;2=x\r\n"
    "   [Edit]   \r\n"
    "TRANSPARENCY=abc\r\n"
    "[BUTTON]\r\n"
    "GLOW=1\r\n";

std::unique_ptr<TMemIniFile> FromText(const std::string &text) {
    TStringList lines;
    lines.SetText(text);
    auto ini = std::make_unique<TMemIniFile>();
    ini->SetStrings(lines);
    return ini;
}

std::string Join(const TStrings &list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) out += (i ? "|" : "") + list[i];
    return out;
}

std::string Sections(const TMemIniFile &ini) {
    TStringList list;
    ini.ReadSections(list);
    return Join(list);
}

} // namespace

TEST(MemIniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    auto ini = FromText(Options);
    EXPECT_EQ(ini->ReadString("globalinfo", "version", "?"), "10.21");
    EXPECT_EQ(ini->ReadString("GLOBALINFO", "COLOR", "?"), "0xFF00FF");  // blanks around '=' removed
    EXPECT_EQ(ini->ReadString("Button", "Gradient", "?"), "0;1;2=x");
    EXPECT_EQ(ini->ReadString("Button", "Missing", "default"), "default");
    EXPECT_EQ(ini->ReadString("Nowhere", "VERSION", "default"), "default");
    EXPECT_EQ(ini->ReadString("Button", "GLOW", "?"), "1");  // the repeated section continues the first
    EXPECT_TRUE(ini->ValueExists("EDIT", "transparency"));
    EXPECT_FALSE(ini->ValueExists("EDIT", "stray"));
    EXPECT_FALSE(ini->SectionExists(""));
    EXPECT_EQ(Sections(*ini), "GLOBALINFO|Button|Edit");
    TStringList list;
    ini->ReadSection("button", list);
    EXPECT_EQ(Join(list), "States|PARENTCLASS|Gradient|GLOW");
    ini->ReadSectionValues("GLOBALINFO", list);
    EXPECT_EQ(Join(list), "VERSION=10.21|COLOR=0xFF00FF|FONTCOLOR=$10");
    ini->ReadSection("missing", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(MemIniFile, ACaseSensitiveFileKeepsNamesThatDifferInCaseApartFromTheStart) {
    TempFolder temp;
    const std::string name = temp / "Nastavení.ini";
    std::ofstream(TempFolder::Native(name), std::ios::binary) << Options;
    TMemIniFile ini(name, true);
    EXPECT_TRUE(ini.CaseSensitive());
    EXPECT_EQ(ini.ReadString("GLOBALINFO", "VERSION", "?"), "10.21");
    EXPECT_EQ(ini.ReadString("globalinfo", "VERSION", "?"), "?");
    EXPECT_EQ(ini.ReadString("GLOBALINFO", "Version", "?"), "?");
    EXPECT_EQ(ini.ReadString("BUTTON", "GLOW", "?"), "1");  // a section of its own
    EXPECT_EQ(ini.ReadString("Button", "GLOW", "?"), "?");
    EXPECT_EQ(Sections(ini), "GLOBALINFO|Button|Edit|BUTTON");

    // Becoming case-insensitive reads the content again: the two merge.
    ini.SetCaseSensitive(false);
    EXPECT_EQ(Sections(ini), "GLOBALINFO|Button|Edit");
    EXPECT_EQ(ini.ReadString("button", "GLOW", "?"), "1");
    EXPECT_EQ(ini.ReadString("button", "states", "?"), "3");
}

TEST(MemIniFile, ManySectionsAreFoundInFileOrderAfterErasesAndClears) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "[S" + std::to_string(i) + "]\nV=" + std::to_string(i) + "\n";
    auto ini = FromText(text + "[s7]\nW=again\n");
    for (int i : {0, 7, 1500, 2999}) EXPECT_EQ(ini->ReadInteger("s" + std::to_string(i), "V", -1), i);
    EXPECT_EQ(ini->ReadString("S7", "W", "?"), "again");
    ini->EraseSection("S1");
    EXPECT_FALSE(ini->SectionExists("S1"));
    EXPECT_EQ(ini->ReadInteger("S2999", "V", -1), 2999);
    ini->WriteInteger("S1", "V", 11);  // back, at the end
    TStringList list;
    ini->ReadSections(list);
    ASSERT_EQ(list.Count(), 3000);
    EXPECT_EQ(list[1] + list[2999], "S2S1");
    ini->Clear();
    ini->GetStrings(list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(MemIniFile, NumbersReadAsTheyAreWrittenOrGiveTheDefault) {
    auto ini = FromText("[S]\nA=0xFF00FF\nB=$10\nC=0x\nD=abc\nE=12\nF=-1\nG=\nH=0X1f\nI=1.5\nJ=10,21\n");
    struct Case {
        const char *ident;
        int value;
    } cases[] = {{"A", 16711935}, {"B", 16}, {"C", -7}, {"D", -7}, {"E", 12}, {"F", -1}, {"G", -7}, {"H", 31}, {"I", -7}, {"Z", -7}};
    for (const Case &c : cases) EXPECT_EQ(ini->ReadInteger("S", c.ident, -7), c.value) << c.ident;
    EXPECT_TRUE(ini->ReadBool("S", "E", false));
    EXPECT_FALSE(ini->ReadBool("S", "Z", false));
    EXPECT_TRUE(ini->ReadBool("S", "D", true));
    // '.' is the decimal separator whatever the locale says.
    EXPECT_DOUBLE_EQ(ini->ReadFloat("S", "I", 0), 1.5);
    EXPECT_EQ(ini->ReadFloat("S", "J", 0), 0);
    EXPECT_EQ(ini->ReadFloat("S", "G", 7.5), 7.5);
}

TEST(MemIniFile, WritesEditsAndUpdatesItsFileOnlyWhenAsked) {
    TempFolder temp;
    const std::string name = temp / "Nastavení.ini";
    std::ofstream(TempFolder::Native(name), std::ios::binary) << Options;
    TMemIniFile ini(name);
    EXPECT_EQ(ini.FileName(), name);
    ini.WriteString("Main", "Caption", "Setup");
    ini.WriteBool("Main", "Visible", true);
    ini.WriteString("main", "caption", "Again");  // the same key
    ini.WriteInteger("Edit", "TRANSPARENCY", 50);
    ini.DeleteKey("Button", "States");
    ini.EraseSection("GLOBALINFO");
    std::ifstream before(TempFolder::Native(name), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), Options);  // untouched until UpdateFile
    ini.UpdateFile();

    TMemIniFile again(name);
    EXPECT_EQ(Sections(again), "Button|Edit|Main");
    EXPECT_EQ(again.ReadString("Main", "Caption", ""), "Again");
    EXPECT_TRUE(again.ReadBool("Main", "Visible", false));
    EXPECT_EQ(again.ReadInteger("Edit", "TRANSPARENCY", 0), 50);
    EXPECT_FALSE(again.ValueExists("Button", "States"));
    EXPECT_EQ(again.ReadString("Button", "Gradient", ""), "0;1;2=x");
    EXPECT_FALSE(TMemIniFile(temp / "missing.ini").SectionExists("Button"));
}
