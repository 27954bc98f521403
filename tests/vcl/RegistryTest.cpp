#include "vcl/Registry.h"

#include <gtest/gtest.h>

#include "vcl/WideText.h"
#include "UniqueName.h"

using namespace vcl;

namespace {

// A key of its own under HKEY_CURRENT_USER, filled through the Win32 API and
// removed afterwards.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        Path = zuvotest::UniqueName("Software\\ZuvoTest\\Run");
        SetString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop",
                  "C:\\users\\Uživatel\\Plocha");
        SetString("", "Caption", "Instaluj");
        SetDword("Control Panel\\Desktop\\WindowMetrics", "AppliedDPI", 120);
        SetString("Control Panel\\Desktop\\WindowMetrics", "Text", "96");
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Utf8ToWide(Path).c_str()); }

    HKEY Create(const std::string &sub) {
        HKEY key = nullptr;
        const std::string full = sub.empty() ? Path : Path + "\\" + sub;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(full).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    void SetString(const std::string &sub, const char *name, const std::string &value) {
        HKEY key = Create(sub);
        const std::wstring v = Utf8ToWide(value);
        RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(v.c_str()),
                       static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    void SetDword(const std::string &sub, const char *name, DWORD value) {
        HKEY key = Create(sub);
        RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value);
        RegCloseKey(key);
    }

    std::string Path;
};

} // namespace

TEST_F(RegistryTest, ReadsValuesOfAnOpenedKeyAndRaisesForMissingOrMistypedOnes) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(Path + "\\Control Panel\\Desktop\\WindowMetrics"));
    EXPECT_EQ(reg.ReadInteger("AppliedDPI"), 120);
    EXPECT_EQ(reg.ReadString("Text"), "96");
    EXPECT_TRUE(reg.ValueExists("appliedDPI"));
    EXPECT_EQ(reg.ReadString("Missing"), "");
    try {
        reg.ReadInteger("Missing");
        FAIL();
    } catch (const ERegistryException &e) {
        EXPECT_NE(e.Message().find("Missing"), std::string::npos);
    }
    EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
    EXPECT_THROW(reg.ReadString("AppliedDPI"), ERegistryException);
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    EXPECT_FALSE(reg.OpenKey(Path + "\\No\\Such\\Key", false));
    EXPECT_THROW(reg.ReadInteger("AppliedDPI"), ERegistryException);  // the open's result unchecked
}

TEST_F(RegistryTest, OpensRelativeToTheCurrentKeyAndCreatesOnlyWhenAsked) {
    TRegistry reg;
    EXPECT_TRUE(reg.KeyExists(Path + "\\Control Panel"));
    EXPECT_FALSE(reg.KeyExists(Path + "\\Nothing"));
    ASSERT_TRUE(reg.OpenKey(Path, false));
    EXPECT_EQ(reg.ReadString("Caption"), "Instaluj");
    ASSERT_TRUE(reg.OpenKey("Control Panel\\Desktop", false));  // relative
    EXPECT_EQ(reg.CurrentPath(), Path + "\\Control Panel\\Desktop");
    EXPECT_TRUE(reg.KeyExists("WindowMetrics"));
    ASSERT_TRUE(reg.OpenKey("\\" + Path + "\\Control Panel", false));  // from the root again
    EXPECT_EQ(reg.CurrentPath(), Path + "\\Control Panel");

    EXPECT_FALSE(reg.OpenKey("\\" + Path + "\\Created", false));
    EXPECT_FALSE(reg.KeyExists("\\" + Path + "\\Created"));
    EXPECT_TRUE(reg.OpenKey("\\" + Path + "\\Created", true));
    EXPECT_TRUE(reg.KeyExists("\\" + Path + "\\Created"));
}

TEST_F(RegistryTest, IniFileReadsValuesOfSubKeysWithDefaults) {
    TRegIniFile ini(Path + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
    EXPECT_EQ(ini.ReadString("Shell Folders", "Desktop", ""), "C:\\users\\Uživatel\\Plocha");
    EXPECT_EQ(ini.ReadString("Shell Folders", "SendTo", ""), "");
    EXPECT_EQ(ini.ReadString("MapGroups", "Quick Launch", "none"), "none");

    TRegIniFile metrics(Path + "\\Control Panel\\Desktop");
    EXPECT_EQ(metrics.ReadInteger("WindowMetrics", "AppliedDPI", 0), 120);
    EXPECT_EQ(metrics.ReadInteger("WindowMetrics", "Text", 0), 96);
    EXPECT_EQ(metrics.ReadString("WindowMetrics", "AppliedDPI", "?"), "?");

    // A missing key is read as empty, and reading it does not create it.
    TRegIniFile missing(Path + "\\Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv");
    EXPECT_EQ(missing.ReadString("MapGroups", "Quick Launch", ""), "");
    TRegistry probe;
    EXPECT_FALSE(probe.KeyExists(Path + "\\Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv"));
}
