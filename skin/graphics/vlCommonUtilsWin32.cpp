// The shared helpers that speak to Windows.
#include "vlCommonUtils.h"

#include <cstddef>
#include <vector>

#include "vcl/WideText.h"

namespace skin {

namespace {

// A registry key opened for reading and closed with this object.
class TRegistryKey {
public:
    TRegistryKey(HKEY Root, const std::wstring &Path) {
        if (RegOpenKeyExW(Root, Path.c_str(), 0, KEY_READ, &FKey) != ERROR_SUCCESS) FKey = nullptr;
    }
    TRegistryKey(const TRegistryKey &) = delete;
    TRegistryKey &operator=(const TRegistryKey &) = delete;
    ~TRegistryKey() { if (FKey) RegCloseKey(FKey); }

    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

// The size of the record without the padded border width: every Windows
// version accepts it, the older ones refuse the longer record.
constexpr UINT NonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);

bool GetNonClientMetrics(NONCLIENTMETRICSW &Metrics) {
    Metrics = {};
    Metrics.cbSize = NonClientMetricsSize;
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &Metrics, 0) != FALSE;
}

int SystemMajorVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return 0;
#pragma GCC diagnostic pop
    return static_cast<int>(version.dwMajorVersion);
}

// kernel32 is in every process: looking it up is enough, and it stays loaded.
template <class F> F *Kernel32Proc(const char *Name) {
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    return kernel32 ? reinterpret_cast<F *>(reinterpret_cast<void *>(GetProcAddress(kernel32, Name))) : nullptr;
}

} // namespace

TSystemLibrary::TSystemLibrary(const wchar_t *Name, DWORD Flags) {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    const std::wstring path = std::wstring(folder, n) + L"\\" + Name;
    FModule = LoadLibraryExW(path.c_str(), nullptr, Flags);
}

TSystemLibrary::~TSystemLibrary() {
    if (FModule) FreeLibrary(FModule);
}

int CaptionFontHeight() {
    NONCLIENTMETRICSW metrics;
    return GetNonClientMetrics(metrics) ? metrics.lfCaptionFont.lfHeight : 0;
}

vcl::TFontHandle CreateCaptionFont() {
    NONCLIENTMETRICSW metrics;
    if (!GetNonClientMetrics(metrics)) return {};
    return vcl::TFontHandle(CreateFontIndirectW(&metrics.lfCaptionFont));
}

bool GetMinAnimation() {
    ANIMATIONINFO info{sizeof(ANIMATIONINFO), 0};
    if (!SystemParametersInfoW(SPI_GETANIMATION, sizeof info, &info, 0)) return false;
    return info.iMinAnimate != 0;
}

bool SetMinAnimation(bool On) {
    ANIMATIONINFO info{sizeof(ANIMATIONINFO), On ? -1 : 0};
    return SystemParametersInfoW(SPI_SETANIMATION, sizeof info, &info, 0) != FALSE;
}

int ReadRegistryInteger(HKEY Root, const std::string &Key, const std::string &Name) {
    // A key that does not open reads as a missing value: the caller's guard
    // for the missing value covers both.
    const TRegistryKey key(Root, vcl::Utf8ToWide(Key));
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status = key.Get() ? RegQueryValueExW(key.Get(), vcl::Utf8ToWide(Name).c_str(), nullptr, &type,
                                                        reinterpret_cast<BYTE *>(&value), &size)
                                     : ERROR_FILE_NOT_FOUND;
    if (status == ERROR_FILE_NOT_FOUND) throw vcl::ERegistryException("Registry value \"" + Name + "\" not found");
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        throw vcl::ERegistryException("Registry value \"" + Name + "\" is not an integer");
    return static_cast<int>(value);
}

bool DebuggerAttached() {
    using TIsDebuggerPresent = BOOL WINAPI();
    static TIsDebuggerPresent *const isDebuggerPresent = Kernel32Proc<TIsDebuggerPresent>("IsDebuggerPresent");
    return isDebuggerPresent ? isDebuggerPresent() != FALSE : true;
}

bool RunningUnderWow64() {
    using TIsWow64Process = BOOL WINAPI(HANDLE, PBOOL);
    static TIsWow64Process *const isWow64Process = Kernel32Proc<TIsWow64Process>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool DwmCompositionActive() {
    using TDwmIsCompositionEnabled = HRESULT WINAPI(BOOL *);
    static const TSystemLibrary dwmapi(L"dwmapi.dll");
    static TDwmIsCompositionEnabled *const isCompositionEnabled = reinterpret_cast<TDwmIsCompositionEnabled *>(
        reinterpret_cast<void *>(dwmapi.Proc("DwmIsCompositionEnabled")));
    static const int major = SystemMajorVersion();
    BOOL enabled = FALSE;
    return major >= 6 && isCompositionEnabled && SUCCEEDED(isCompositionEnabled(&enabled)) && enabled;
}

bool Wow64WithoutComposition() {
    static const bool value = RunningUnderWow64() && !DwmCompositionActive();
    return value;
}

std::string AppFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return vcl::ExtractFilePath(vcl::WideToUtf8(std::wstring_view(path.data(), n)));
        path.resize(path.size() * 2);  // a long path was cut: ask again with room
    }
}

} // namespace skin
