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

void WriteBytes(const fs::path &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Open descriptors of this process where the system lists them (Linux);
// elsewhere 0, and the rename below catches a file left open. Under Wine
// /proc/self/fd is the emulator's own list, which changes by itself.
std::size_t OpenFileCount() {
#ifdef _WIN32
    return 0;
#endif
    std::error_code error;
    const fs::path list = "/proc/self/fd";
    if (!fs::is_directory(list, error))
        return 0;
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(list), fs::directory_iterator()));
}

// A folder of its own per test, removed afterwards.
class PayloadGeneratorTest : public testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() / zuvotest::UniqueName("zuvo-generator-");
        fs::create_directories(Folder);
        WriteBytes(Folder / "empty.bin", {});
        WriteBytes(Folder / "twenty.bin", {0x00, 0x0A, 0x10, 0x1F, 0x2E, 0x3D, 0x4C, 0x5B, 0x6A, 0x79,
                                           0x88, 0x97, 0xA6, 0xB5, 0xC4, 0xD3, 0xE2, 0xF1, 0xFE, 0xFF});
        WriteBytes(Folder / "newline.bin", {0x0A});
    }
    void TearDown() override { fs::remove_all(Folder); }

    fs::path Folder;
    const TGeneratorSource Empty{"empty.bin", "empty_file", "var_empty_file"};
    const TGeneratorSource Twenty{"twenty.bin", "twenty", "var_max_twenty"};
    const TGeneratorSource Newline{"newline.bin", "newline", "var_max_newline"};
};

// Written out by hand: the module's exact text, CR LF line ends included.
const std::string kHead = "#pragma once\r\n"
                          "#include <cstdint>\r\n"
                          "namespace Unit1 {\r\n";
const std::string kEmptyBlock = " \r\n"
                                "   inline constexpr std::int64_t max_empty_file = 0;\r\n"
                                "inline std::uint8_t var_empty_file[1];\r\n"
                                "inline constexpr char empty_file[1][3] = {\r\n"
                                "\"==\"};\r\n";
const std::string kTwentyBlock =
    " \r\n"
    "   inline constexpr std::int64_t max_twenty = 20;\r\n"
    "inline std::uint8_t var_max_twenty[21];\r\n"
    "inline constexpr char twenty[21][3] = {\r\n"
    "\"00\",\"0A\",\"10\",\"1F\",\"2E\",\"3D\",\"4C\",\"5B\",\"6A\",\"79\","
    "\"88\",\"97\",\"A6\",\"B5\",\"C4\",\"D3\",\"E2\",\"F1\",\"FE\",\"FF\",\r\n"
    "\"==\"};\r\n";
const std::string kNewlineBlock = " \r\n"
                                  "   inline constexpr std::int64_t max_newline = 1;\r\n"
                                  "inline std::uint8_t var_max_newline[2];\r\n"
                                  "inline constexpr char newline[2][3] = {\r\n"
                                  "\"0A\",\"==\"};\r\n";
const std::string kTail = " \r\n"
                          "}\r\n";

TEST_F(PayloadGeneratorTest, WritesTheModuleTextForEmptyTwentyByteAndNewlineFiles) {
    const std::vector<TGeneratorSource> sources = {Empty, Twenty, Newline};
    std::vector<std::int64_t> reported;
    GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "Unit1.h"),
                          [&](std::int64_t size) { reported.push_back(size); });

    EXPECT_EQ(ReadText(Folder / "Unit1.h"), kHead + kEmptyBlock + kTwentyBlock + kNewlineBlock + kTail);
    EXPECT_EQ(reported, (std::vector<std::int64_t>{0, 20, 1}));
}

TEST_F(PayloadGeneratorTest, AcceptsAFolderWithATrailingSeparatorAndOverwritesAnOldModule) {
    WriteBytes(Folder / "Unit1.h", std::vector<unsigned char>(5000, 'x'));
    const std::vector<TGeneratorSource> sources = {Newline};
    GeneratePayloadModule(Utf8(Folder) + "/", sources, Utf8(Folder / "Unit1.h"));
    EXPECT_EQ(ReadText(Folder / "Unit1.h"), kHead + kNewlineBlock + kTail);
}

TEST_F(PayloadGeneratorTest, BreaksLinesAfterEveryTwentiethElementOnly) {
    std::vector<unsigned char> bytes(41);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(0xC0 + i);
    WriteBytes(Folder / "forty-one.bin", bytes);
    const std::vector<TGeneratorSource> sources = {{"forty-one.bin", "f41", "var_f41"}};
    GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "Unit1.h"));

    const std::string text = ReadText(Folder / "Unit1.h");
    const std::string lastLines = "\"E4\",\"E5\",\"E6\",\"E7\",\r\n\"E8\",\"==\"};\r\n \r\n}\r\n";
    ASSERT_GE(text.size(), lastLines.size());
    EXPECT_EQ(text.substr(text.size() - lastLines.size()), lastLines);
    EXPECT_NE(text.find("inline constexpr char f41[42][3] = {\r\n\"C0\",\"C1\","), std::string::npos);
}

TEST_F(PayloadGeneratorTest, NamesFilesInUtf8) {
    WriteBytes(Folder / fs::u8path("Uživatelská příručka.bin"), {0x0A});
    const std::vector<TGeneratorSource> sources = {{"Uživatelská příručka.bin", "newline", "var_max_newline"}};
    GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / fs::u8path("výstup Unit1.h")));
    EXPECT_EQ(ReadText(Folder / fs::u8path("výstup Unit1.h")), kHead + kNewlineBlock + kTail);
}

TEST_F(PayloadGeneratorTest, AMissingSourceRaisesKeepsWhatWasWrittenAndLeavesNoFileOpen) {
    const std::vector<TGeneratorSource> sources = {Twenty, {"missing.bin", "missing", "var_missing"}, Newline};
    const std::size_t openBefore = OpenFileCount();
    EXPECT_THROW(GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "Unit1.h")), vcl::EFOpenError);
    EXPECT_EQ(OpenFileCount(), openBefore);

    EXPECT_EQ(ReadText(Folder / "Unit1.h"), kHead + kTwentyBlock);
    // Files still open would refuse to be renamed or deleted on Windows, and a
    // retry of the generator would fail.
    fs::rename(Folder / "Unit1.h", Folder / "Unit1.old");
    fs::rename(Folder / "twenty.bin", Folder / "twenty.old");
    EXPECT_TRUE(fs::remove(Folder / "Unit1.old"));
    EXPECT_TRUE(fs::remove(Folder / "twenty.old"));
}

TEST_F(PayloadGeneratorTest, AnOutputThatCannotBeCreatedRaises) {
    const std::vector<TGeneratorSource> sources = {Newline};
    EXPECT_THROW(GeneratePayloadModule(Utf8(Folder), sources, Utf8(Folder / "no such folder" / "Unit1.h")),
                 vcl::EFCreateError);
}

TEST(GeneratorSources, NameTheLicenceAsInTheSourceFolderAndKeepTheBufferNames) {
    const std::vector<TGeneratorSource> sources = GeneratorSources();
    ASSERT_EQ(sources.size(), 11u);
    EXPECT_EQ(sources[0].SourceName, "zuvoeet_dll.dll");
    EXPECT_EQ(sources[0].BufferName, "var_zuvoeet_dll_dll");
    EXPECT_EQ(sources[4].SourceName, "Licence MERKANO ZUVO.pdf");
    EXPECT_EQ(sources[4].Identifier, "Licence_MERKZUVO_pdf");
    EXPECT_EQ(sources[4].BufferName, "var_max_Licence_MERKZUVO_pdf");
    EXPECT_EQ(sources[6].SourceName, "Uživatelská příručka Merkano zuvo1-1.pdf");
    EXPECT_EQ(sources[10].BufferName, "var_max_ticket");
}

} // namespace
} // namespace installer
