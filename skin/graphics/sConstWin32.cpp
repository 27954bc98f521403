// The values of sConst that come from Windows: the version, the metrics and
// the captions taken from string resources of system libraries.
#include "sConst.h"

#include <windows.h>

#include "vcl/WideText.h"
#include "vlCommonUtils.h"

namespace skin {

namespace {

// A string resource of a module, or empty. With a buffer size of 0,
// LoadStringW hands out the resource's own read-only text, whatever its length.
std::string ModuleString(HMODULE Module, unsigned Id) {
    const wchar_t *text = nullptr;
    const int length = LoadStringW(Module, Id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return vcl::WideToUtf8(std::wstring_view(text, static_cast<std::size_t>(length)));
}

struct TCaptionSource {
    std::string *Caption;
    unsigned Id;
    const char *Suffix;
    unsigned FallbackId;
    const char *FallbackText;  // when set, the fallback instead of FallbackId
};

void LoadCaptions(const wchar_t *Library, std::initializer_list<TCaptionSource> Captions) {
    // Only the resources are wanted: no code of the library runs here.
    const TSystemLibrary library(Library, LOAD_LIBRARY_AS_DATAFILE);
    for (const TCaptionSource &c : Captions) {
        if (c.FallbackText)
            LoadDllStringDef(*c.Caption, library.Handle(), c.Id, c.Suffix, c.FallbackText);
        else
            LoadDllString(*c.Caption, library.Handle(), c.Id, c.Suffix, c.FallbackId);
    }
}

void LoadCaptionsOnce() {
    LoadCaptions(L"user32.dll", {{&LocOK, 800, "", 58992, nullptr},
                                 {&LocCancel, 801, "", 58991, nullptr},
                                 {&LocHelp, 808, "", 58990, nullptr},
                                 {&LocClose, 905, "", 58976, nullptr}});
    LoadCaptions(L"colorui.dll", {{&LocAddToCustomColors, 1810, "", 58960, nullptr}});
    const std::string root = LoadOwnString(sidRoot);
    LoadCaptions(L"shell32.dll", {{&LocDefineColors, 4151, "", 58959, nullptr},
                                  {&LocAdditionalColors, 31153, ":", 58957, nullptr},
                                  {&LocDecimal, 16514, " - ", 58952, nullptr},
                                  {&LocRoot, 33015, ":", 0, root.c_str()},
                                  {&LocCreate, 4151, "", 58910, nullptr}});
    LoadCaptions(L"comctl32.dll", {{&LocRestore, 33056, "", 58981, nullptr},
                                   {&LocSize, 32768, "", 58979, nullptr},
                                   {&LocMove, 32784, "", 58980, nullptr},
                                   {&LocMaximize, 32816, "", 58977, nullptr},
                                   {&LocMinimize, 32800, "", 58978, nullptr}});
    LocCalculator = "Calculator";
    LoadCaptions(L"comdlg32.dll", {{&LocFileOpen, 436, "", 58970, nullptr},
                                   {&LocSelectDirectory, 439, "", 58911, nullptr},
                                   {&LocRed, 1049, ":", 58955, nullptr},
                                   {&LocGreen, 1042, ":", 58954, nullptr},
                                   {&LocBlue, 1052, ":", 58953, nullptr}});
    LoadCaptions(L"compstui.dll", {{&LocColor, 64744, "", 58956, nullptr}});
    LocHex = LoadOwnString(58951);
    LoadCaptions(L"inetres.dll", {{&LocFont, 1175, "", 58934, nullptr},
                                  {&LocFontColor, 5273, ":", 0, "Font color:"}});

    LocInvalidDate = LoadOwnString(58923);
    if (LocInvalidDate.empty()) LocInvalidDate = "Invalid date";
    LocAvailableStyles = LoadOwnString(58964);
    LocInternal = LoadOwnString(58963);
    LocDirectoryWithSkins = LoadOwnString(sidDirectoryWithSkins);
    LocSelectSkin = LoadOwnString(sidSelectSkin);
    LocSkinPreview = LoadOwnString(sidSkinPreview);
    LocFrameAdapterError = LoadOwnString(58950);
}

} // namespace

std::string LoadOwnString(unsigned Id) { return ModuleString(GetModuleHandleW(nullptr), Id); }

void LoadDllString(std::string &Caption, void *Library, unsigned Id, std::string_view Suffix, unsigned FallbackId) {
    if (!Library) return;
    Caption = ModuleString(static_cast<HMODULE>(Library), Id);
    if (!Caption.empty())
        Caption += Suffix;
    else if (FallbackId != 0)
        Caption = LoadOwnString(FallbackId);
}

void LoadDllStringDef(std::string &Caption, void *Library, unsigned Id, std::string_view Suffix,
                      std::string_view Fallback) {
    if (!Library) return;
    Caption = ModuleString(static_cast<HMODULE>(Library), Id);
    if (!Caption.empty())
        Caption += Suffix;
    else
        Caption = Fallback;
}

void InitializeConstants() {
    static bool done = false;
    if (done) return;
    done = true;

    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The version as the system reports it to this program, as the library
    // has always read it (6.2 from Windows 8 on, without a manifest saying more).
    if (GetVersionExW(&version))
        WindowsVersionCode = WindowsVersionCodeOf(static_cast<int>(version.dwMajorVersion),
                                                  static_cast<int>(version.dwMinorVersion));
#pragma GCC diagnostic pop

    CachedHScrollArrowWidth = GetSystemMetrics(SM_CXHSCROLL);
    CachedSizeFrameWidth = GetSystemMetrics(SM_CXSIZEFRAME);
    CachedFixedFrameWidth = GetSystemMetrics(SM_CXFIXEDFRAME);
    CachedCaptionHeight = GetSystemMetrics(SM_CYCAPTION);
    CachedSmallCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);

    LoadCaptionsOnce();
}

} // namespace skin
