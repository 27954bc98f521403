// Shortcuts in the locations whose folder the registry names (pointed into a
// folder of the test while it runs), in the caller's own folder, and none
// where no folder is known. The desktop is the install's (InstallProcedureTest).
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
    if (!value) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    else RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value->c_str(), static_cast<DWORD>((value->size() + 1) * 2));
}

// Sets one registry value (none: removes it) for the duration of a case.
class TRegistryValue {
public:
    TRegistryValue(const wchar_t *key, const wchar_t *name, const std::optional<std::wstring> &value)
        : FKey(key), FName(name), FSaved(key ? ReadValue(key, name) : std::nullopt) {
        if (key) WriteValue(key, name, value);
    }
    ~TRegistryValue() {
        if (FKey) WriteValue(FKey, FName, FSaved);
    }

private:
    const wchar_t *FKey;
    const wchar_t *FName;
    std::optional<std::wstring> FSaved;
};

TEST(CreateShortcut, GoesIntoTheFolderOfItsLocationAndNowhereWithoutOne) {
    const fs::path root = fs::temp_directory_path() / "zuvo-shortcut-test";
    const fs::path shell = root / "shell folder";
    const fs::path program = root / fs::u8path("Účetnictví") / fs::u8path("Pokladna účtenky.exe");
    const std::string folderName = vcl::WideToUtf8(shell.wstring());
    struct TCase {
        ShortcutLocation Location;
        const wchar_t *Key, *Name;  // the registry value that names the folder (Key null: none)
        bool Named;                 // the value names the shell folder; otherwise it is missing
        std::string SubFolder;
        std::string Link;           // where the shortcut goes inside the shell folder; "": nowhere
    } const cases[] = {
        {QuickLaunchLocation, MapGroups, L"Quick Launch", true, "", "Pokladna účtenky.lnk"},
        {SendToLocation, ShellFolders, L"SendTo", true, "", "Pokladna účtenky.lnk"},
        {StartMenuLocation, ShellFolders, L"Start Menu", true, "Pokladní systém", "Pokladní systém\\Pokladna účtenky.lnk"},
        {SendToLocation, ShellFolders, L"SendTo", true, "Missing", ""},  // a sub-folder must exist
        {QuickLaunchLocation, MapGroups, L"Quick Launch", false, "", ""},
        {OwnFolderLocation, nullptr, nullptr, false, folderName, "Pokladna účtenky.lnk"},
        {OwnFolderLocation, nullptr, nullptr, false, "", ""},
        {5, ShellFolders, L"SendTo", true, "", ""},
        {255, nullptr, nullptr, false, folderName, ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.Location) + " " + c.SubFolder);
        std::error_code ignored;
        fs::remove_all(root, ignored);
        fs::create_directories(program.parent_path());
        WriteBytes(program, "MZ");
        fs::create_directories(shell);
        fs::current_path(root);
        const fs::path link = shell / fs::u8path(c.Link);
        if (!c.Link.empty()) {
            fs::create_directories(link.parent_path());
            WriteBytes(link, "an older shortcut");
        }
        const TRegistryValue value(c.Key, c.Name, c.Named ? std::optional(shell.wstring()) : std::nullopt);

        EXPECT_NO_THROW(CreateShortcut(vcl::WideToUtf8(program.wstring()), c.Location, c.SubFolder));
        // Wine keeps the link's target in the ANSI code page ("č" comes back
        // as "c"); its working folder is kept whole.
        if (!c.Link.empty()) {
            EXPECT_EQ(ReadShortcut(link).WorkingDirectory, vcl::WideToUtf8(program.parent_path().wstring()) + "\\");
        }
        int links = 0;
        for (const auto &entry : fs::recursive_directory_iterator(root)) links += entry.path().extension() == ".lnk";
        EXPECT_EQ(links, c.Link.empty() ? 0 : 1);
        EXPECT_FALSE(fs::exists(fs::path("\\") / program.filename().replace_extension(".lnk")));
        fs::current_path(fs::temp_directory_path());
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

} // namespace
} // namespace installer::test
