// The shared helpers that speak to Windows, under Wine.
#include "skin/graphics/vlCommonUtils.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <gtest/gtest.h>


#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/ControlCanvas.h"
#include "vcl/SysUtils.h"

using namespace skin;

namespace {

// A key of our own under HKEY_CURRENT_USER, removed again by the test.
constexpr wchar_t TestKey[] = L"Software\\ZuvoSkinTests\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, TestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD dpi = 144;
        RegSetValueExW(key, L"AppliedDPI", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&dpi), sizeof dpi);
        const wchar_t text[] = L"96";
        RegSetValueExW(key, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), sizeof text);
        const DWORD negative = 0xFFFFFFFE;
        RegSetValueExW(key, L"Negative", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&negative), sizeof negative);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ZuvoSkinTests"); }
};

} // namespace

TEST_F(RegistryTest, ReadsIntegerValues) {
    EXPECT_EQ(ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\ZuvoSkinTests\\Registry", "AppliedDPI"), 144);
    EXPECT_EQ(ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\ZuvoSkinTests\\Registry", "Negative"), -2);
}

TEST_F(RegistryTest, MissingValueMissingKeyAndTextAllRaise) {
    EXPECT_THROW(ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\ZuvoSkinTests\\Registry", "Nothing"),
                 vcl::ERegistryException);
    EXPECT_THROW(ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\ZuvoSkinTests\\NoSuchKey", "AppliedDPI"),
                 vcl::ERegistryException);
    EXPECT_THROW(ReadRegistryInteger(HKEY_CURRENT_USER, "Software\\ZuvoSkinTests\\Registry", "Text"),
                 vcl::ERegistryException);
}

TEST(SystemSettings, CaptionFontMatchesItsReportedHeight) {
    const int height = CaptionFontHeight();
    EXPECT_NE(height, 0);
    const vcl::TFontHandle font = CreateCaptionFont();
    ASSERT_TRUE(font);
    LOGFONTW description{};
    ASSERT_EQ(GetObjectW(font.Get(), sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lfHeight, height);
}

TEST(ProcessProbes, Wow64AgreesWithTheSystemsOwnFolders) {
    // Only 64-bit Windows has a WOW64 system folder; a 64-bit build never runs under WOW64.
    wchar_t folder[MAX_PATH];
    const bool wow64Folder = GetSystemWow64DirectoryW(folder, MAX_PATH) != 0;
    EXPECT_EQ(RunningUnderWow64(), sizeof(void *) == 4 && wow64Folder);
    EXPECT_EQ(Wow64WithoutComposition(), RunningUnderWow64() && !DwmCompositionActive());
}

TEST(Files, FileIconOfAnExistingFileOnly) {
    CoInitialize(nullptr);
    const auto icon = GetFileIcon(AppFolder() + "CommonUtilsWinTest.exe", SHGFI_SMALLICON);
    ASSERT_TRUE(icon);
    EXPECT_TRUE(icon->Handle());
    EXPECT_GT(icon->Width(), 0);
    EXPECT_FALSE(GetFileIcon(AppFolder() + "no such file.exe", SHGFI_SMALLICON));
    CoUninitialize();
}

namespace {

using uitest::AnswerMessageForm;
using uitest::TSeenBox;

int TimerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++TimerTicks; }

} // namespace

TEST(MessageBoxes, WarningAndErrorHaveOneOkButton) {
    auto answer = AnswerMessageForm("OK");
    ShowWarning("Skin nebyl nalezen");
    TSeenBox seen = answer.get();
    EXPECT_TRUE(seen.Clicked);
    EXPECT_EQ(seen.Caption, "Warning");
    EXPECT_EQ(seen.Buttons, std::vector<std::string>{"OK"});

    answer = AnswerMessageForm("OK");
    ShowError("Chyba");
    seen = answer.get();
    EXPECT_TRUE(seen.Clicked);
    EXPECT_EQ(seen.Caption, "Error");
    EXPECT_EQ(seen.Buttons, std::vector<std::string>{"OK"});
}

TEST(Waiting, MessagesFlowWhileWaiting) {
    TimerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
    const DWORD start = GetTickCount();
    WaitWithMessages(200);
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(nullptr, timer);
    EXPECT_GE(elapsed, 200u);
    EXPECT_GE(TimerTicks, 2);
}
