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

TMemIniFile *FromText(const std::string &text, bool caseSensitive = false) {
    TStringList lines;
    lines.SetText(text);
    auto *ini = new TMemIniFile();
    ini->SetCaseSensitive(caseSensitive);
    ini->SetStrings(lines);
    return ini;
}

std::string Join(const TStrings &list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) out += (i ? "|" : "") + list[i];
    return out;
}

} // namespace

TEST(MemIniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
    std::unique_ptr<TMemIniFile> ini(FromText(Options));
    EXPECT_EQ(ini->ReadString("globalinfo", "version", "?"), "10.21");
    EXPECT_EQ(ini->ReadString("GLOBALINFO", "COLOR", "?"), "0xFF00FF");  // blanks around '=' removed
    EXPECT_EQ(ini->ReadString("Button", "Gradient", "?"), "0;1;2=x");
    EXPECT_EQ(ini->ReadString("Button", "Missing", "default"), "default");
    EXPECT_EQ(ini->ReadString("Nowhere", "VERSION", "default"), "default");
    EXPECT_EQ(ini->ReadString("Button", "GLOW", "?"), "1");  // the repeated section continues the first
    EXPECT_TRUE(ini->SectionExists("edit"));
    EXPECT_TRUE(ini->ValueExists("EDIT", "transparency"));
    EXPECT_FALSE(ini->ValueExists("EDIT", "stray"));
    EXPECT_FALSE(ini->SectionExists(""));
}

TEST(MemIniFile, CaseSensitiveNamesMustMatchExactly) {
    std::unique_ptr<TMemIniFile> ini(FromText(Options, true));
    EXPECT_EQ(ini->ReadString("GLOBALINFO", "VERSION", "?"), "10.21");
    EXPECT_EQ(ini->ReadString("globalinfo", "VERSION", "?"), "?");
    EXPECT_EQ(ini->ReadString("GLOBALINFO", "Version", "?"), "?");
    EXPECT_EQ(ini->ReadString("BUTTON", "GLOW", "?"), "1");  // a section of its own now
    EXPECT_EQ(ini->ReadString("Button", "GLOW", "?"), "?");
    TStringList sections;
    ini->ReadSections(sections);
    EXPECT_EQ(Join(sections), "GLOBALINFO|Button|Edit|BUTTON");
}

TEST(MemIniFile, IntegersAreDecimalDollarOrZeroXHexadecimal) {
    std::unique_ptr<TMemIniFile> ini(FromText("[S]\nA=0xFF00FF\nB=$10\nC=0x\nD=abc\nE=12\nF=-1\nG=\nH=0X1f\nI=1.5\n"));
    struct Case {
        const char *ident;
        int value;
    } cases[] = {{"A", 16711935}, {"B", 16}, {"C", -7}, {"D", -7}, {"E", 12}, {"F", -1}, {"G", -7}, {"H", 31}, {"I", -7}, {"Z", -7}};
    for (const Case &c : cases) EXPECT_EQ(ini->ReadInteger("S", c.ident, -7), c.value) << c.ident;
    EXPECT_TRUE(ini->ReadBool("S", "E", false));
    EXPECT_FALSE(ini->ReadBool("S", "Z", false));
    EXPECT_TRUE(ini->ReadBool("S", "D", true));
}

TEST(MemIniFile, FloatsUseAPointWhateverTheLocale) {
    std::unique_ptr<TMemIniFile> ini(FromText("[GLOBALINFO]\nVERSION=10.21\nOLD=10,21\nNONE=\n"));
    EXPECT_DOUBLE_EQ(ini->ReadFloat("GLOBALINFO", "VERSION", 0), 10.21);
    EXPECT_EQ(ini->ReadFloat("GLOBALINFO", "OLD", 0), 0);
    EXPECT_EQ(ini->ReadFloat("GLOBALINFO", "NONE", 7.5), 7.5);
}

TEST(MemIniFile, ListsSectionsIdentsAndValuesInFileOrder) {
    std::unique_ptr<TMemIniFile> ini(FromText(Options));
    TStringList list;
    ini->ReadSections(list);
    EXPECT_EQ(Join(list), "GLOBALINFO|Button|Edit");
    ini->ReadSection("button", list);
    EXPECT_EQ(Join(list), "States|PARENTCLASS|Gradient|GLOW");
    ini->ReadSectionValues("GLOBALINFO", list);
    EXPECT_EQ(Join(list), "VERSION=10.21|COLOR=0xFF00FF|FONTCOLOR=$10");
    ini->ReadSection("missing", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(MemIniFile, WritesAndErases) {
    TMemIniFile ini;
    ini.WriteString("Main", "Caption", "Setup");
    ini.WriteInteger("Main", "Width", 774);
    ini.WriteBool("Main", "Visible", true);
    ini.WriteString("main", "caption", "Again");  // the same key
    EXPECT_EQ(ini.ReadString("Main", "Caption", ""), "Again");
    EXPECT_EQ(ini.ReadInteger("Main", "Width", 0), 774);
    ini.DeleteKey("Main", "Width");
    EXPECT_FALSE(ini.ValueExists("Main", "Width"));
    ini.WriteString("Other", "x", "1");
    ini.EraseSection("MAIN");
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(Join(sections), "Other");
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists("Other"));
}

TEST(MemIniFile, LoadsAndUpdatesItsFile) {
    TempFolder temp;
    const std::string name = temp / "Nastavení.ini";
    std::ofstream(TempFolder::Native(name), std::ios::binary) << Options;
    TMemIniFile ini(name);
    EXPECT_EQ(ini.FileName(), name);
    EXPECT_EQ(ini.ReadInteger("GLOBALINFO", "COLOR", 0), 0xFF00FF);
    ini.WriteString("Edit", "TRANSPARENCY", "50");
    std::ifstream before(TempFolder::Native(name), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), Options);  // untouched until UpdateFile
    ini.UpdateFile();

    TMemIniFile again(name);
    EXPECT_EQ(again.ReadInteger("Edit", "TRANSPARENCY", 0), 50);
    EXPECT_EQ(again.ReadString("Button", "Gradient", ""), "0;1;2=x");
    TStringList written;
    again.GetStrings(written);
    EXPECT_EQ(written[0], "[GLOBALINFO]");

    TMemIniFile missing(temp / "missing.ini");
    EXPECT_FALSE(missing.SectionExists("GLOBALINFO"));
}
