#include "vlDwmServices.h"

#include "vcl/Forms.h"

namespace skin {

HRESULT SetDwmWindowAttribute(HWND Window, DWORD Attribute, const void *Value, DWORD Size) {
    // PENDING: vlDwmServices
    (void)Window, (void)Attribute, (void)Value, (void)Size;
    return static_cast<HRESULT>(0x80004001);  // E_NOTIMPL
}

void SetNcRenderingPolicy(HWND Window, int Policy) {
    // PENDING: vlDwmServices
    (void)Window, (void)Policy;
}

void InvalidateIconicBitmaps(HWND Window) {
    // PENDING: vlDwmServices
    (void)Window;
}

void EnableBlurBehind(HWND Window, bool Enable, HRGN Region) {
    // PENDING: vlDwmServices
    (void)Window, (void)Enable;
    if (Region) DeleteObject(Region);
}

std::unique_ptr<vcl::TForm> CreateSnapshotForm(HWND Window) {
    // PENDING: vlDwmServices
    (void)Window;
    return nullptr;
}

HWND FindTaskbarWindow() { return FindWindowW(L"Shell_TrayWnd", nullptr); }

} // namespace skin
