// The generated module as the installer compiles it, against the folder it
// was generated from; for the sample product also its names and sizes, and
// that its programs still run once padded.
#include "installer/PayloadFiles.h"

#include "vcl/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "InstalledProduct.h"
#include "UniqueName.h"

namespace installer::test {
namespace {

TEST(PayloadFiles, HoldEveryByteOfThePayloadFolderAsTwoUpperCaseDigitsThenTheSentinel) {
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        const PayloadFile &file = PayloadFiles()[k];
        const std::string bytes = ReadBytes(PayloadPath(k));
        ASSERT_EQ(file.Size, static_cast<std::int64_t>(bytes.size())) << file.InstalledName;
        std::string expected;
        for (unsigned char byte : bytes) expected += {"0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 15]};
        // One comparison per file, not one report per byte.
        EXPECT_TRUE(std::string_view(file.Elements, bytes.size() * 2 + 2) == expected + "==") << file.InstalledName;
    }
}

TEST(PayloadFiles, ShareOnlyTheBufferOfEetZWithEetzuvoAndWriteTheLicenceAndCertificateByteByByte) {
    const auto &files = PayloadFiles();
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        EXPECT_EQ(files[k].Buffer == nullptr, k == 4 || k == 5) << k;
        for (std::size_t other = 0; other < k; ++other)
            EXPECT_EQ(files[k].Buffer && files[other].Buffer == files[k].Buffer, k == 2 && other == 1) << k;
    }
}

#ifdef ZUVO_SAMPLE_PRODUCT

TEST(SampleProduct, HasTheProductsNamesAndSizes) {
    const std::int64_t sizes[] = {32208, 725440, 33224, 2583496, 46052, 4015, 899632, 586184, 98776, 37312, 92788};
    for (std::size_t k = 0; k < PayloadFileCount; ++k) {
        EXPECT_EQ(PayloadFiles()[k].InstalledName, PayloadFileInfos()[k].InstalledName);
        EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(PayloadPath(k))), sizes[k]) << k;
    }
}

TEST(SampleProduct, ProgramsRunAndLibrariesLoadAndNameThemselves) {
    const fs::path folder = fs::temp_directory_path() / zuvotest::UniqueName("zuvo-stand-in-");
    fs::create_directories(folder);
    for (const char *name : {"eet_z.exe", "eetzuvo.exe", "pdfconv.exe"}) {
        fs::copy_file(PayloadFolder() / name, folder / name);
        EXPECT_EQ(TChildProcess(L"\"" + (folder / name).wstring() + L"\"", folder).WaitForExit(10s), 0) << name;
    }
    for (const char *name : {"zuvoeet_dll.dll", "PdfQuill.dll", "PdfQuill.Charting.dll"}) {
        fs::copy_file(PayloadFolder() / name, folder / name);
        HMODULE library = LoadLibraryW((folder / name).wstring().c_str());
        ASSERT_NE(library, nullptr) << name;
        // Through void (*)(): the one cast of a procedure address that needs no excuse.
        auto standInName = reinterpret_cast<const char *(*)()>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "ZuvoStandInName")));
        EXPECT_STREQ(standInName ? standInName() : "", name);
        FreeLibrary(library);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

#endif

} // namespace
} // namespace installer::test
