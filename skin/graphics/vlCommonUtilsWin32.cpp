// The shared helpers that speak to Windows.
#include "vlCommonUtils.h"

#include <cstddef>
#include <vector>

#include <shellapi.h>

#include "vcl/Controls.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Graphic.h"
#include "vcl/Registry.h"
#include "vcl/WideText.h"

namespace skin {

namespace {

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

namespace {
TMinAnimationOverride *MinAnimationOverride = nullptr;  // the one in use; not owned
}

TMinAnimationOverride::TMinAnimationOverride() : FReplaced(MinAnimationOverride) { MinAnimationOverride = this; }

TMinAnimationOverride::~TMinAnimationOverride() { MinAnimationOverride = FReplaced; }

bool GetMinAnimation() {
    if (MinAnimationOverride) return MinAnimationOverride->On;
    ANIMATIONINFO info{sizeof(ANIMATIONINFO), 0};
    if (!SystemParametersInfoW(SPI_GETANIMATION, sizeof info, &info, 0)) return false;
    return info.iMinAnimate != 0;
}

bool SetMinAnimation(bool On) {
    if (MinAnimationOverride) return MinAnimationOverride->On = On, true;
    ANIMATIONINFO info{sizeof(ANIMATIONINFO), On ? -1 : 0};
    return SystemParametersInfoW(SPI_SETANIMATION, sizeof info, &info, 0) != FALSE;
}

int ReadRegistryInteger(HKEY Root, const std::string &Key, const std::string &Name) {
    vcl::TRegistry registry(KEY_READ);
    registry.SetRootKey(Root);
    // A key that does not open leaves none open, and the read then raises as
    // for a missing value, which the caller guards against anyway.
    registry.OpenKeyReadOnly(Key);
    return registry.ReadInteger(Name);
}

vcl::TRect GraphicRect(const vcl::TGraphic &Graphic) { return {0, 0, Graphic.Width(), Graphic.Height()}; }
vcl::TSize GraphicSize(const vcl::TGraphic &Graphic) { return {Graphic.Width(), Graphic.Height()}; }
vcl::TRect ControlRect(const vcl::TControl &Control) { return {0, 0, Control.Width(), Control.Height()}; }
vcl::TPoint ControlPos(const vcl::TControl &Control) { return {Control.Left(), Control.Top()}; }

void ShowWarning(const std::string &Text) { vcl::MessageDlg(Text, vcl::mtWarning, {vcl::mbOK}, 0); }
void ShowError(const std::string &Text) { vcl::MessageDlg(Text, vcl::mtError, {vcl::mbOK}, 0); }

void WaitWithMessages(unsigned Milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (vcl::Application) vcl::Application->ProcessMessages();
        const DWORD elapsed = GetTickCount() - start;  // unsigned: right across the wrap
        if (elapsed >= Milliseconds) return;
        // Sleep until a message comes or the time is up rather than spin.
        MsgWaitForMultipleObjectsEx(0, nullptr, Milliseconds - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
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

std::unique_ptr<vcl::TIcon> GetFileIcon(const std::string &FileName, UINT Flags) {
    if (!vcl::FileExists(FileName)) return nullptr;
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(vcl::Utf8ToWide(FileName).c_str(), 0, &info, sizeof info, Flags | SHGFI_ICON) || !info.hIcon)
        return nullptr;
    auto icon = std::make_unique<vcl::TIcon>();
    icon->SetHandle(info.hIcon);
    return icon;
}

} // namespace skin
