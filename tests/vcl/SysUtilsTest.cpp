#include "vcl/SysUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "TempFolder.h"

using namespace vcl;
using vcl::test::TempFolder;

TEST(IntToHex, WritesUpperCaseDigitsPaddedToWidthAndNegativesInTheWidthOfTheirType) {
    struct Case {
        std::int64_t value;
        int digits;
        const char *text;
    } cases[] = {{0, 2, "00"}, {10, 2, "0A"}, {255, 2, "FF"}, {0x1234, 2, "1234"}, {7, 0, "7"}, {0xABC, 8, "00000ABC"}};
    for (const Case &c : cases) EXPECT_EQ(IntToHex(c.value, c.digits), c.text) << c.value;
    EXPECT_EQ(IntToHex(std::int32_t{-1}, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{-2}, 2), "FFFFFFFFFFFFFFFE");
    EXPECT_EQ(IntToHex(std::uint8_t{200}, 2), "C8");
}

TEST(StrToInt, ReadsDecimalAndDollarHexadecimalInTheirRange) {
    struct Case {
        const char *text;
        std::int32_t value;
    } cases[] = {{"12", 12},      {"-12", -12},        {"+7", 7},           {"$FF", 255},
                 {"$ff", 255},    {"-$10", -16},       {"  5", 5},          {"$0000000000FF", 255},
                 {"$FFFFFFFF", -1}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}};
    for (const Case &c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(StrToInt64Def("x", 3), 3);
}

TEST(StrToInt, RejectsTextThatIsNotAnIntegerNamingIt) {
    for (const char *bad : {"", " ", "abc", "12 ", "$", "0x10", "2147483648", "-2147483649", "$100000000", "1.5", "==", "- 1", "$G0"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError &e) {
            EXPECT_NE(e.Message().find(std::string("'") + bad + "'"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(StrToIntDef(bad, -7), -7) << bad;
    }
}

TEST(TextHelpers, CaseFoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("příliš"), "PříLIš");
    EXPECT_EQ(LowerCase("/VLVER"), "/vlver");
    EXPECT_TRUE(SameText("TButton", "tbutton"));
    EXPECT_FALSE(SameText("TButton", "TButton1"));
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("abcd", "ABC"), 0);
    EXPECT_LT(CompareStr("B", "a"), 0);
    EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
}

TEST(FileNames, SplitWindowsAndPosixPathsAlike) {
    EXPECT_EQ(ExtractFilePath("c:\\merkano_zuvo\\merkzuvo.exe"), "c:\\merkano_zuvo\\");
    EXPECT_EQ(ChangeFileExt(ExtractFileName("c:\\merkano_zuvo\\merkzuvo.exe"), ".lnk"), "merkzuvo.lnk");
    EXPECT_EQ(ExtractFilePath("/tmp/skins/a.gmz"), "/tmp/skins/");
    EXPECT_EQ(ExtractFilePath("name.txt"), "");
    EXPECT_EQ(ExtractFileName("c:x.txt"), "x.txt");
    EXPECT_EQ(ExtractFileExt("PdfQuill.Charting.dll"), ".dll");
    EXPECT_EQ(ExtractFileExt("c:\\dir.d\\noext"), "");
    EXPECT_EQ(ChangeFileExt("c:\\dir.d\\noext", ".lnk"), "c:\\dir.d\\noext.lnk");
    EXPECT_EQ(ChangeFileExt("Beryllo.gmz", ""), "Beryllo");
    EXPECT_EQ(IncludeTrailingPathDelimiter("c:\\x\\"), "c:\\x\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("a/"), "a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("a"), std::string("a") + PathDelim);
    EXPECT_EQ(ExcludeTrailingPathDelimiter("a\\"), "a");
}

TEST(FileSystem, CreatesFindsAndDeletesFoldersAndFilesAndChangesTheCurrentFolder) {
    TempFolder temp;
    const std::string dir = temp / "složka";
    EXPECT_FALSE(CreateDir(dir + PathDelim + "deeper"));  // one level only
    ASSERT_TRUE(CreateDir(dir));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(CreateDir(dir));  // exists already

    const std::string before = GetCurrentDir();
    ChDir(dir);
    std::ofstream("here.txt") << "x";
    EXPECT_TRUE(FileExists(dir + PathDelim + "here.txt"));
    EXPECT_EQ(ExtractFileName(GetCurrentDir()), "složka");
    ASSERT_TRUE(SetCurrentDir(before));
    EXPECT_EQ(GetCurrentDir(), before);
    try {
        ChDir(temp / "missing");
        FAIL() << "ChDir to a missing folder did not raise";
    } catch (const EInOutError &e) {
        EXPECT_NE(e.Message().find("missing"), std::string::npos) << e.Message();
        EXPECT_NE(e.ErrorCode, 0);
    }
    EXPECT_EQ(GetCurrentDir(), before);

    const std::string file = dir + PathDelim + "Uživatelská příručka.pdf";
    std::ofstream(TempFolder::Native(file)) << "x";
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_FALSE(RemoveDir(dir));  // not empty
    EXPECT_FALSE(DeleteFile(dir));
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_TRUE(DeleteFile(dir + PathDelim + "here.txt"));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_TRUE(RemoveDir(dir));
    EXPECT_FALSE(DirectoryExists(dir));
}

namespace {

std::set<std::string> FindAll(const std::string &pattern, int attr) {
    std::set<std::string> names;
    TSearchRec rec;
    for (int r = FindFirst(pattern, attr, rec); r == 0; r = FindNext(rec)) names.insert(rec.Name);
    FindClose(rec);
    return names;
}

} // namespace

TEST(FileSystem, FindFirstFiltersByPatternAndFolderAttribute) {
    TempFolder temp;
    std::ofstream(TempFolder::Native(temp / "Beryllo.gmz")) << "12345";
    std::ofstream(TempFolder::Native(temp / "readme.txt")) << "x";
    std::ofstream(TempFolder::Native(temp / "noext")) << "";
    ASSERT_TRUE(CreateDir(temp / "Skin1"));

    std::set<std::string> all = FindAll(temp / "*.*", faAnyFile);
    all.erase(".");
    all.erase("..");
    EXPECT_EQ(all, (std::set<std::string>{"Beryllo.gmz", "readme.txt", "noext", "Skin1"}));
    EXPECT_EQ(FindAll(temp / "*.*", 0).count("Skin1"), 0u);
    EXPECT_EQ(FindAll(temp / "*.GMZ", faAnyFile), std::set<std::string>{"Beryllo.gmz"});
    EXPECT_EQ(FindAll(temp / "?eadme.txt", 0), std::set<std::string>{"readme.txt"});

    TSearchRec rec;
    ASSERT_EQ(FindFirst(temp / "Beryllo.gmz", faAnyFile, rec), 0);
    EXPECT_EQ(rec.Size, 5);
    EXPECT_EQ(rec.Attr & faDirectory, 0);
    EXPECT_NE(FindNext(rec), 0);
    FindClose(rec);

    EXPECT_NE(FindFirst(temp / "missing" + PathDelim + "*.*", faAnyFile, rec), 0);
    EXPECT_NE(FindFirst(temp / "*.none", faAnyFile, rec), 0);
}
