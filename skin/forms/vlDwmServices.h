#pragma once
// The desktop window manager's services that the form provider uses when
// the system offers them (bound by name from dwmapi.dll on first use, so
// the program runs where it is missing), and two window helpers: the
// snapshot form that covers a window during a change, and the taskbar's
// window. Composition itself is asked with DwmCompositionActive
// (skin/graphics/vlCommonUtils.h). Windows only.
#include <windows.h>

#include <memory>

namespace vcl {
class TForm;
}

namespace skin {

// The non-client rendering policies (DWMNCRENDERINGPOLICY).
inline constexpr int ncrpUseWindowStyle = 0;
inline constexpr int ncrpDisabled = 1;

// DwmSetWindowAttribute; E_NOTIMPL (0x80004001) when the library or the
// function is missing.
HRESULT SetDwmWindowAttribute(HWND Window, DWORD Attribute, const void *Value, DWORD Size);
// While composition is on: the window's non-client rendering policy
// (DWMWA_NCRENDERING_POLICY, attribute 2) := Policy; nothing otherwise.
void SetNcRenderingPolicy(HWND Window, int Policy);
// The compositor drops the window's iconic pictures (version 6 and later).
void InvalidateIconicBitmaps(HWND Window);
// Blur behind the window on or off, within Region when given; the region
// is freed in every case.
void EnableBlurBehind(HWND Window, bool Enable, HRGN Region);
// A hidden, borderless, layered, topmost form (Tag 256) that shows the
// window's current image at its place, without the class's drop shadow,
// shown without being activated. Owned by the caller.
std::unique_ptr<vcl::TForm> CreateSnapshotForm(HWND Window);
// The taskbar's window ("Shell_TrayWnd"); null when none.
HWND FindTaskbarWindow();

} // namespace skin
