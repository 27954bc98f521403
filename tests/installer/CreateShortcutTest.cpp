// Shortcuts in the five locations, each folder read from the registry; the
// registry values point into a folder of the test while it runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "InstallerTestSupport.h"
#include "installer/CreateShortcut.h"
#include "vcl/WideText.h"

namespace installer::test {
namespace {

const wchar_t *const ShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const wchar_t *const MapGroups = L"Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups";

std::optional<std::wstring> ReadValue(const wchar_t *key, const wchar_t *name) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

void WriteValue(const wchar_t *key, const wchar_t *name, const std::optional<std::wstring> &value) {
    if (!value) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
        return;
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value->c_str(),
                    static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
}

// Points one registry value at a folder for the duration of a test.
class TRedirectedValue {
public:
    TRedirectedValue(const wchar_t *key, const wchar_t *name, const fs::path &folder)
        : FKey(key), FName(name), FSaved(ReadValue(key, name)) {
        fs::create_directories(folder);
        WriteValue(key, name, folder.wstring());
    }
    ~TRedirectedValue() { WriteValue(FKey, FName, FSaved); }

private:
    const wchar_t *FKey;
    const wchar_t *FName;
    std::optional<std::wstring> FSaved;
};

struct Shortcut : ::testing::Test {
    void SetUp() override {
        Root = fs::temp_directory_path() / "zuvo-shortcut-test";
        std::error_code ignored;
        fs::remove_all(Root, ignored);
        fs::create_directories(Root);
        Program = Root / "Program files" / "merkzuvo.exe";
        fs::create_directories(Program.parent_path());
        WriteBytes(Program, "MZ");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(Root, ignored);
    }
    std::string ProgramName() const { return vcl::WideToUtf8(Program.wstring()); }
    std::string ProgramFolder() const { return vcl::WideToUtf8(Program.parent_path().wstring()) + "\\"; }
    fs::path Root;
    fs::path Program;
};

TEST_F(Shortcut, GoesToTheFolderEachLocationNamesInTheRegistry) {
    // The desktop as it is: the shell itself rewrites that value whenever
    // it resolves the desktop, which making a link does.
    CreateShortcut(ProgramName(), DesktopLocation, "");
    const fs::path onDesktop = DesktopFolder() / "merkzuvo.lnk";
    TShortcut link = ReadShortcut(onDesktop);
    EXPECT_EQ(link.Path, ProgramName());
    EXPECT_EQ(link.WorkingDirectory, ProgramFolder());
    fs::remove(onDesktop);

    struct {
        ShortcutLocation Location;
        const wchar_t *Key;
        const wchar_t *Name;
    } const cases[] = {
        {QuickLaunchLocation, MapGroups, L"Quick Launch"},
        {SendToLocation, ShellFolders, L"SendTo"},
        {StartMenuLocation, ShellFolders, L"Start Menu"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.Location));
        const fs::path folder = Root / ("location " + std::to_string(c.Location));
        TRedirectedValue redirect(c.Key, c.Name, folder);
        CreateShortcut(ProgramName(), c.Location, "");
        link = ReadShortcut(folder / "merkzuvo.lnk");
        EXPECT_EQ(link.Path, ProgramName());
        EXPECT_EQ(link.WorkingDirectory, ProgramFolder());
    }
}

TEST_F(Shortcut, GoesIntoAnExistingSubFolderAndOverwritesAnOlderOne) {
    const fs::path sendTo = Root / "send to";
    TRedirectedValue redirect(ShellFolders, L"SendTo", sendTo);
    fs::create_directories(sendTo / "Merkano");
    WriteBytes(sendTo / "Merkano" / "merkzuvo.lnk", "not a link yet");
    CreateShortcut(ProgramName(), SendToLocation, "Merkano");
    EXPECT_EQ(ReadShortcut(sendTo / "Merkano" / "merkzuvo.lnk").Path, ProgramName());

    // A sub-folder that does not exist: nothing, and no complaint.
    EXPECT_NO_THROW(CreateShortcut(ProgramName(), SendToLocation, "Missing"));
    EXPECT_FALSE(fs::exists(sendTo / "Missing"));
}

TEST_F(Shortcut, InTheCallersOwnFolderNeedsThatFolder) {
    const fs::path own = Root / "own";
    fs::create_directories(own);
    CreateShortcut(ProgramName(), OwnFolderLocation, vcl::WideToUtf8(own.wstring()));
    EXPECT_EQ(ReadShortcut(own / "merkzuvo.lnk").Path, ProgramName());

    // Without a folder, and for an unknown location, nothing is saved anywhere.
    fs::current_path(Root);
    CreateShortcut(ProgramName(), OwnFolderLocation, "");
    CreateShortcut(ProgramName(), 5, "");
    CreateShortcut(ProgramName(), 255, vcl::WideToUtf8(own.wstring()));
    EXPECT_FALSE(fs::exists(DesktopFolder() / "merkzuvo.lnk"));
    EXPECT_FALSE(fs::exists(Root / "merkzuvo.lnk"));
    EXPECT_FALSE(fs::exists(fs::path("\\") / "merkzuvo.lnk"));
    fs::current_path(fs::temp_directory_path());
}

TEST_F(Shortcut, KeepsCzechNamesOfTheProgramAndTheFolders) {
    const fs::path program = Root / fs::u8path("Účetnictví") / fs::u8path("Pokladna účtenky.exe");
    fs::create_directories(program.parent_path());
    WriteBytes(program, "MZ");
    const fs::path startMenu = Root / fs::u8path("Nabídka Start");
    TRedirectedValue redirect(ShellFolders, L"Start Menu", startMenu);
    fs::create_directories(startMenu / fs::u8path("Pokladní systém"));
    CreateShortcut(vcl::WideToUtf8(program.wstring()), StartMenuLocation, "Pokladní systém");
    const fs::path link = startMenu / fs::u8path("Pokladní systém") / fs::u8path("Pokladna účtenky.lnk");
    ASSERT_TRUE(fs::exists(link));
    EXPECT_EQ(ReadShortcut(link).WorkingDirectory, vcl::WideToUtf8(program.parent_path().wstring()) + "\\");
}

TEST_F(Shortcut, WithoutTheRegistryValueSavesNothing) {
    const std::optional<std::wstring> saved = ReadValue(MapGroups, L"Quick Launch");
    WriteValue(MapGroups, L"Quick Launch", std::nullopt);
    fs::current_path(Root);
    EXPECT_NO_THROW(CreateShortcut(ProgramName(), QuickLaunchLocation, ""));
    EXPECT_FALSE(fs::exists(Root / "merkzuvo.lnk"));
    EXPECT_FALSE(fs::exists(fs::path("\\") / "merkzuvo.lnk"));
    WriteValue(MapGroups, L"Quick Launch", saved);
    fs::current_path(fs::temp_directory_path());
}

} // namespace
} // namespace installer::test
