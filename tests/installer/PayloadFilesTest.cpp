// The generated module as the installer compiles it, against the folder it
// was generated from; for the sample product also the stand-ins' behaviour.
#include "installer/PayloadFiles.h"

#include "vcl/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "InstalledProduct.h"
#include "UiDriver.h"
#include "UniqueName.h"

namespace installer::test {
namespace {

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

TEST(PayloadFiles, GiveBackEveryByteOfThePayloadFolder) {
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        const PayloadFile &file = PayloadFiles()[k];
        SCOPED_TRACE(std::string(file.InstalledName));
        const std::string bytes = ReadBytes(PayloadPath(k));
        ASSERT_EQ(file.Size, static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(file.Element(file.Size), PayloadSentinel);
        for (std::int64_t i = 0; i < file.Size; ++i) {
            const std::string_view element = file.Element(i);
            const auto expected = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
            // One report per file, not one per byte.
            if (!IsUpperHexDigit(element[0]) || !IsUpperHexDigit(element[1]) || HexPairToByte(element) != expected) {
                ADD_FAILURE() << "element " << i << " is \"" << element << "\", byte is " << int(expected);
                break;
            }
        }
    }
}

TEST(PayloadFiles, CollectEetzuvoInTheBufferOfEetZAndWriteTheLicenceAndCertificateByteByByte) {
    const auto &files = PayloadFiles();
    EXPECT_EQ(files[2].Buffer, files[1].Buffer);
    EXPECT_EQ(files[4].Buffer, nullptr);
    EXPECT_EQ(files[5].Buffer, nullptr);
    for (std::size_t k : {0u, 1u, 3u, 6u, 7u, 8u, 9u, 10u}) {
        EXPECT_NE(files[k].Buffer, nullptr) << files[k].InstalledName;
        // Each buffer is distinct: two files filling the same memory would
        // only be right for file 3.
        for (std::size_t other = 0; other < k; ++other)
            EXPECT_TRUE(files[other].Buffer != files[k].Buffer || other == 1 || k == 2);
    }
    EXPECT_EQ(files[0].StepKind, TStepKind::ByteSteps);
    EXPECT_EQ(files[6].CreateFailedMessage, "Nelze vytvořit Merkano zuvo1-1.pdf !");
}

#ifdef ZUVO_SAMPLE_PRODUCT

TEST(SampleProduct, HasTheProductsNamesAndSizes) {
    const std::pair<const char *, std::int64_t> expected[] = {
        {"zuvoeet_dll.dll", 32208}, {"eet_z.exe", 725440}, {"eetzuvo.exe", 33224},
        {"merkzuvo.exe", 2583496}, {"Licence_MERKZUVO.pdf", 46052}, {"fiscal_test_cert.p12", 4015},
        {"Uživatelská příručka Merkano zuvo1-1.pdf", 899632}, {"PdfQuill.dll", 586184},
        {"PdfQuill.Charting.dll", 98776}, {"pdfconv.exe", 37312}, {"ticket.jpg", 92788}};
    std::int64_t total = 0;
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        EXPECT_EQ(PayloadFiles()[k].InstalledName, expected[k].first);
        EXPECT_EQ(PayloadFiles()[k].Size, expected[k].second);
        EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(PayloadFolder() / vcl::Utf8ToWide(expected[k].first))),
                  expected[k].second);
        total += expected[k].second;
    }
    EXPECT_EQ(total, 5139127);
}

TEST(SampleProduct, DocumentsHaveTheirFormatsFrame) {
    for (const char *name : {"Licence_MERKZUVO.pdf", "Uživatelská příručka Merkano zuvo1-1.pdf"}) {
        const std::string pdf = ReadBytes(PayloadFolder() / vcl::Utf8ToWide(name));
        EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4") << name;
        EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n") << name;
    }
    const std::string jpeg = ReadBytes(PayloadFolder() / "ticket.jpg");
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    const std::string der = ReadBytes(PayloadFolder() / "fiscal_test_cert.p12");
    EXPECT_EQ(der.substr(0, 4), std::string("\x30\x82\x0F\xAB", 4)); // SEQUENCE of 4011 bytes
}

// A scratch folder per test, removed afterwards.
class StandIn : public testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() / zuvotest::UniqueName("zuvo-stand-in-");
        fs::create_directories(Folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
    }

    // Runs a copy of a payload program from Folder, with Folder as its
    // current directory.
    std::unique_ptr<TChildProcess> Start(const char *name) {
        fs::copy_file(PayloadFolder() / name, Folder / name);
        auto process = std::make_unique<TChildProcess>(L"\"" + (Folder / name).wstring() + L"\"", Folder);
        EXPECT_TRUE(process->Started()) << name;
        return process;
    }

    fs::path Folder;
};

TEST_F(StandIn, MerkzuvoShowsItsWindowAndRecordsWhereItStarted) {
    const auto process = Start("merkzuvo.exe");
    HWND window = uitest::WaitForTopLevelWindow("MerkanoZuvoStandIn", 10s, process->Id());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(uitest::TextOf(window), "MERKANO ZUVO");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process->WaitForExit(10s), 0);

    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(GetFullPathNameW(Folder.wstring().c_str(), MAX_PATH, folder, nullptr));
    const std::string expected = vcl::WideToUtf8(folder) + "\t" + vcl::WideToUtf8(folder) + "\\merkzuvo.exe\r\n";
    EXPECT_EQ(ReadBytes(Folder / "merkzuvo-started.txt"), expected);
}

TEST_F(StandIn, HelperProgramsRunAndEndWithZero) {
    for (const char *name : {"eet_z.exe", "eetzuvo.exe", "pdfconv.exe"}) {
        EXPECT_EQ(Start(name)->WaitForExit(10s), 0) << name;
    }
}

TEST_F(StandIn, LibrariesLoadAndNameThemselves) {
    for (const char *name : {"zuvoeet_dll.dll", "PdfQuill.dll", "PdfQuill.Charting.dll"}) {
        fs::copy_file(PayloadFolder() / name, Folder / name);
        HMODULE library = LoadLibraryW((Folder / name).wstring().c_str());
        ASSERT_NE(library, nullptr) << name;
        using NameFunction = const char *(*)();
        // Through void (*)(): the one cast of a procedure address that needs no excuse.
        auto standInName = reinterpret_cast<NameFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "ZuvoStandInName")));
        ASSERT_NE(standInName, nullptr) << name;
        EXPECT_STREQ(standInName(), name);
        FreeLibrary(library);
    }
}

#endif

} // namespace
} // namespace installer::test
