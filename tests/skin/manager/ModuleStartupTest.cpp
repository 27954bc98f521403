// The module's start-up and end: the window shadows come from the program's
// resources, once however often the start-up is called, and go with the
// last end. A program without them, or with a damaged one, starts all the
// same and has no shadows: shown by a copy of this program whose shadow
// resources were taken out or spoilt, which runs one test of its own.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "ManagerTestSupport.h"
#include "vcl/ResourceStream.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;
using vcl::test::TempFolder;

// Set in the copy's environment: "missing" or "damaged".
constexpr const wchar_t *CopyVariable = L"ZUVO_SHADOWLESS_COPY";
constexpr const char *CopyTest = "ModuleStartup.CopyWithoutItsShadowsStartsWithoutThem";

std::string CopyMode() {
    const char *mode = std::getenv("ZUVO_SHADOWLESS_COPY");
    return mode ? mode : "";
}

// The size a PNG resource of this program announces in its header.
std::pair<int, int> PngResourceSize(const char *Name) {
    vcl::TResourceStream s(Name);
    const auto *b = reinterpret_cast<const std::uint8_t *>(s.Memory());
    const auto be32 = [&](int at) { return b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]; };
    return {be32(16), be32(20)};
}

TEST(ModuleStartup, ShadowsAreLoadedOnceAndFreedWithTheLastEnd) {
    if (!CopyMode().empty()) GTEST_SKIP() << "the copy runs only " << CopyTest;
    TvlModuleState &state = ModuleState();
    ASSERT_EQ(state.ShadowActive, nullptr);  // nothing before the start-up
    InitializeSkinManagerModule();
    ASSERT_NE(state.ShadowActive, nullptr);
    ASSERT_NE(state.ShadowInactive, nullptr);
    for (const auto &[name, shadow] : {std::pair{"vlSHDA", state.ShadowActive.get()},
                                       std::pair{"vlSHDI", state.ShadowInactive.get()}}) {
        SCOPED_TRACE(name);
        const auto [w, h] = PngResourceSize(name);
        EXPECT_EQ(shadow->Width(), w);
        EXPECT_EQ(shadow->Height(), h);
        ASSERT_EQ(shadow->PixelFormat(), vcl::pf32bit);
        // Empty where the window stands, a shadow at the edge of that.
        EXPECT_EQ(shadow->View().At(w / 2, h / 2) >> 24, 0u);
        EXPECT_GT(shadow->View().At(w / 2 - 1, h / 2) >> 24, 0u);
        EXPECT_GT(shadow->View().At(w / 2, h / 2 + 1) >> 24, 0u);
    }

    const vcl::TBitmap *first = state.ShadowActive.get();
    InitializeSkinManagerModule();
    EXPECT_EQ(state.ShadowActive.get(), first);
    FinalizeSkinManagerModule();
    EXPECT_EQ(state.ShadowActive.get(), first);
    FinalizeSkinManagerModule();
    EXPECT_EQ(state.ShadowActive, nullptr);
    EXPECT_EQ(state.ShadowInactive, nullptr);
}

TEST(ModuleStartup, CopyWithoutItsShadowsStartsWithoutThem) {
    const std::string mode = CopyMode();
    if (mode.empty()) GTEST_SKIP() << "run in a copy of this program by ProgramsWithoutGoodShadowsStartWithoutShadows";
    EXPECT_FALSE(vcl::TResourceStream::Exists("vlSHDI"));
    EXPECT_EQ(vcl::TResourceStream::Exists("vlSHDA"), mode == "damaged");
    InitializeSkinManagerModule();
    EXPECT_EQ(ModuleState().ShadowActive, nullptr);
    EXPECT_EQ(ModuleState().ShadowInactive, nullptr);
    // Extended borders then have nothing to draw for a skin without its own.
    {
        ManagerPtr m = NewManager();
        TestSkin skin;
        AddStoredSkin(*m, "S", skin.Packed());
        m->SetSkinName("S");
        m->SetExtendedBorders(true);
        EXPECT_TRUE(m->SkinData->Active);
        EXPECT_EQ(m->ExtBorderImages[0], nullptr);
        EXPECT_EQ(m->ExtBorderMargins, (vcl::TRect{}));
    }
    FinalizeSkinManagerModule();
}

// One resource of this program: its type, name and language, each a name or
// a number.
struct TResourceId {
    std::wstring TypeName, Name;
    LPCWSTR TypeId = nullptr, NameId = nullptr;
    WORD Language = 0;
    LPCWSTR Type() const { return TypeName.empty() ? TypeId : TypeName.c_str(); }
    LPCWSTR Id() const { return Name.empty() ? NameId : Name.c_str(); }
};
using TResourceIds = std::vector<TResourceId>;

// Either a copy of a named resource string or the number it stands for.
void TakeId(LPCWSTR From, std::wstring &Text, LPCWSTR &Number) {
    if (IS_INTRESOURCE(From))
        Number = From;
    else
        Text = From;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR Type, LPCWSTR Name, WORD Language, LONG_PTR Ids) {
    TResourceId id;
    TakeId(Type, id.TypeName, id.TypeId);
    TakeId(Name, id.Name, id.NameId);
    id.Language = Language;
    reinterpret_cast<TResourceIds *>(Ids)->push_back(std::move(id));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE Module, LPCWSTR Type, LPWSTR Name, LONG_PTR Ids) {
    EnumResourceLanguagesW(Module, Type, Name, &AddLanguage, Ids);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE Module, LPWSTR Type, LONG_PTR Ids) {
    EnumResourceNamesW(Module, Type, &AddName, Ids);
    return TRUE;
}

// This program copied to Path with its resources written anew, without the
// shadows, or with vlSHDA spoilt and without vlSHDI.
void WriteShadowlessCopy(const std::wstring &Path, bool Damaged) {
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileW(self, Path.c_str(), FALSE));
    TResourceIds ids;
    EnumResourceTypesW(nullptr, &AddType, reinterpret_cast<LONG_PTR>(&ids));
    HANDLE update = BeginUpdateResourceW(Path.c_str(), TRUE);  // every resource goes first
    ASSERT_NE(update, nullptr);
    static char spoilt[] = "this is no PNG picture";
    int left = 0;
    for (const TResourceId &id : ids) {
        const bool active = !id.Name.empty() && _wcsicmp(id.Name.c_str(), L"vlSHDA") == 0;
        const bool inactive = !id.Name.empty() && _wcsicmp(id.Name.c_str(), L"vlSHDI") == 0;
        if (inactive || (active && !Damaged)) {
            ++left;
            continue;
        }
        HRSRC found = FindResourceExW(nullptr, id.Type(), id.Id(), id.Language);
        ASSERT_NE(found, nullptr);
        void *data = active ? spoilt : LockResource(LoadResource(nullptr, found));
        const DWORD size = active ? sizeof spoilt : SizeofResource(nullptr, found);
        ASSERT_TRUE(UpdateResourceW(update, id.Type(), id.Id(), id.Language, data, size));
    }
    ASSERT_EQ(left, Damaged ? 1 : 2);
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
}

// Runs Program with the arguments and the copy's mode; its exit code and output.
std::pair<DWORD, std::string> RunProgram(const std::wstring &Program, const std::wstring &Arguments, const std::string &Mode,
                                  const std::wstring &OutputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(OutputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE) return {~0u, "no output file"};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + Program + L"\" " + Arguments;
    SetEnvironmentVariableW(CopyVariable, vcl::Utf8ToWide(Mode).c_str());
    const BOOL started = CreateProcessW(Program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(CopyVariable, nullptr);
    CloseHandle(output);
    if (!started) return {~0u, "not started"};
    DWORD code = ~0u;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::stringstream text;
    text << std::ifstream(std::filesystem::path(OutputFile), std::ios::binary).rdbuf();
    return {code, text.str()};
}

TEST(ModuleStartup, ProgramsWithoutGoodShadowsStartWithoutShadows) {
    if (!CopyMode().empty()) GTEST_SKIP() << "the copy runs only " << CopyTest;
    TempFolder dir;
    for (const std::string mode : {"missing", "damaged"}) {
        SCOPED_TRACE(mode);
        const std::wstring copy = vcl::Utf8ToWide(dir / ("Shadowless-" + mode + ".exe"));
        WriteShadowlessCopy(copy, mode == "damaged");
        const auto [code, output] = RunProgram(copy, L"--gtest_color=no --gtest_filter=" + vcl::Utf8ToWide(CopyTest), mode,
                                        vcl::Utf8ToWide(dir / (mode + ".txt")));
        EXPECT_EQ(code, 0u) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
        EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
    }
}

} // namespace
} // namespace skin
