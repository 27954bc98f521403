#include "installer/PayloadGenerator.h"

#include "vcl/System.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "UniqueName.h"

namespace installer {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path &path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string ReadText(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of its own per test with an empty file, one of exactly twenty
// bytes (the byte 10 among them) and one of the single byte 10.
class PayloadGenerator : public testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() / zuvotest::UniqueName("zuvo-generator-");
        fs::create_directories(Folder);
        WriteBytes(Folder / "empty.bin", "");
        WriteBytes(Folder / "twenty.bin", std::string("\x00\x0A\x10\x1F\x2E\x3D\x4C\x5B\x6A\x79"
                                                      "\x88\x97\xA6\xB5\xC4\xD3\xE2\xF1\xFE\xFF", 20));
        WriteBytes(Folder / "newline.bin", "\n");
    }
    void TearDown() override { fs::remove_all(Folder); }

    fs::path Folder;
    const TGeneratorSource Empty{"empty.bin", "empty_file"};
    const TGeneratorSource Twenty{"twenty.bin", "twenty"};
    const TGeneratorSource Newline{"newline.bin", "newline"};
};

// The module's exact text, CR LF line ends included.
const std::string kHead = "#pragma once\r\n#include <cstdint>\r\nnamespace Unit1 {\r\n";
const std::string kEmptyBlock = " \r\n"
                                "   inline constexpr std::int64_t max_empty_file = 0;\r\n"
                                "inline constexpr char empty_file[] =\r\n"
                                "\"==\";\r\n";
const std::string kTwentyBlock = " \r\n"
                                 "   inline constexpr std::int64_t max_twenty = 20;\r\n"
                                 "inline constexpr char twenty[] =\r\n"
                                 "\"00\" \"0A\" \"10\" \"1F\" \"2E\" \"3D\" \"4C\" \"5B\" \"6A\" \"79\" "
                                 "\"88\" \"97\" \"A6\" \"B5\" \"C4\" \"D3\" \"E2\" \"F1\" \"FE\" \"FF\" \r\n"
                                 "\"==\";\r\n";
const std::string kNewlineBlock = " \r\n"
                                  "   inline constexpr std::int64_t max_newline = 1;\r\n"
                                  "inline constexpr char newline[] =\r\n"
                                  "\"0A\" \"==\";\r\n";
const std::string kTail = " \r\n}\r\n";

TEST_F(PayloadGenerator, WritesTheModuleTextOverAnOldOne) {
    WriteBytes(Folder / "Unit1.h", std::string(5000, 'x'));
    const std::vector<TGeneratorSource> sources = {Empty, Twenty, Newline};
    std::vector<std::int64_t> reported;
    // The folder with a trailing separator as well.
    GeneratePayloadModule(Utf8(Folder) + "/", sources, Utf8(Folder / "Unit1.h"),
                          [&](std::int64_t size) { reported.push_back(size); });
    EXPECT_EQ(ReadText(Folder / "Unit1.h"), kHead + kEmptyBlock + kTwentyBlock + kNewlineBlock + kTail);
    EXPECT_EQ(reported, (std::vector<std::int64_t>{0, 20, 1}));
}

TEST_F(PayloadGenerator, AMissingSourceRaisesKeepsWhatWasWrittenAndLeavesNoFileOpen) {
    const std::vector<TGeneratorSource> sources = {Twenty, {"missing.bin", "missing"}, Newline};
    EXPECT_THROW(GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "Unit1.h")), vcl::EFOpenError);
    EXPECT_EQ(ReadText(Folder / "Unit1.h"), kHead + kTwentyBlock);
    // A file still open could not be renamed on Windows, nor the generator run again.
    fs::rename(Folder / "Unit1.h", Folder / "Unit1.old");
    fs::rename(Folder / "twenty.bin", Folder / "twenty.old");

    EXPECT_THROW(GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "no such folder" / "Unit1.h")),
                 vcl::EFCreateError);
}

TEST(GeneratorSources, NameTheLicenceAsInTheSourceFolder) {
    const std::vector<TGeneratorSource> sources = GeneratorSources();
    ASSERT_EQ(sources.size(), 11u);
    EXPECT_EQ(sources[4].SourceName, "Licence MERKANO ZUVO.pdf");
    EXPECT_EQ(sources[4].Identifier, "Licence_MERKZUVO_pdf");
    EXPECT_EQ(sources[6].SourceName, "Uživatelská příručka Merkano zuvo1-1.pdf");
}

} // namespace
} // namespace installer
