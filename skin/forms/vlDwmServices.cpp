#include "vlDwmServices.h"

#include <dwmapi.h>

#include "sFrameMetrics.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"

namespace skin {

namespace {

// The compositor's library and the entry points in use, bound on first use
// and kept for the process; all null where the system has none.
struct TDwmApi {
    using TSetWindowAttribute = HRESULT WINAPI(HWND, DWORD, LPCVOID, DWORD);
    using TInvalidateIconicBitmaps = HRESULT WINAPI(HWND);
    using TEnableBlurBehindWindow = HRESULT WINAPI(HWND, const DWM_BLURBEHIND *);

    TSystemLibrary Library{L"dwmapi.dll"};
    TSetWindowAttribute *SetWindowAttribute = Bind<TSetWindowAttribute>("DwmSetWindowAttribute");
    TInvalidateIconicBitmaps *InvalidateIconicBitmaps = Bind<TInvalidateIconicBitmaps>("DwmInvalidateIconicBitmaps");
    TEnableBlurBehindWindow *EnableBlurBehindWindow = Bind<TEnableBlurBehindWindow>("DwmEnableBlurBehindWindow");

private:
    template <class F> F *Bind(const char *Name) const {
        return reinterpret_cast<F *>(reinterpret_cast<void *>(Library.Proc(Name)));
    }
};

const TDwmApi &Dwm() {
    static const TDwmApi api;
    return api;
}

bool Version6OrLater() { return SystemFrameMetrics().OSMajor >= 6; }

// The snapshot: a borderless layered window that stays on top and casts no
// shadow of its class.
class TvlSnapshotForm : public vcl::TForm {
    VCL_CLASS(TvlSnapshotForm, vcl::TForm)
public:
    explicit TvlSnapshotForm(vcl::TComponent *AOwner) : vcl::TForm(AOwner, vcl::CreateNew) {}

protected:
    void CreateParams(vcl::TCreateParams &Params) override {
        inherited::CreateParams(Params);
        Params.ExStyle |= WS_EX_LAYERED | WS_EX_TOPMOST;
        Params.WindowClass.style &= ~static_cast<UINT>(CS_DROPSHADOW);
    }
};

VCL_CLASS_INFO(TvlSnapshotForm)

} // namespace

HRESULT SetDwmWindowAttribute(HWND Window, DWORD Attribute, const void *Value, DWORD Size) {
    if (!Dwm().SetWindowAttribute) return static_cast<HRESULT>(0x80004001);  // E_NOTIMPL
    return Dwm().SetWindowAttribute(Window, Attribute, Value, Size);
}

void SetNcRenderingPolicy(HWND Window, int Policy) {
    if (!Window || !DwmCompositionActive()) return;
    const DWORD value = static_cast<DWORD>(Policy);
    SetDwmWindowAttribute(Window, DWMWA_NCRENDERING_POLICY, &value, sizeof value);
}

void InvalidateIconicBitmaps(HWND Window) {
    if (Version6OrLater() && Dwm().InvalidateIconicBitmaps) Dwm().InvalidateIconicBitmaps(Window);
}

void EnableBlurBehind(HWND Window, bool Enable, HRGN Region) {
    // Ours from here on, whatever happens below.
    const vcl::TRegionHandle region(Region);
    if (!Dwm().Library.Handle() || !Dwm().EnableBlurBehindWindow) return;
    DWM_BLURBEHIND blur{};
    blur.dwFlags = DWM_BB_ENABLE | (Region ? DWM_BB_BLURREGION : 0);
    blur.fEnable = Enable ? -1 : 0;
    blur.hRgnBlur = Region;
    blur.fTransitionOnMaximized = 0;
    Dwm().EnableBlurBehindWindow(Window, &blur);
}

std::unique_ptr<vcl::TForm> CreateSnapshotForm(HWND Window) {
    RECT bounds{};
    if (!Window || !GetWindowRect(Window, &bounds)) return nullptr;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    std::unique_ptr<vcl::TForm> form(vcl::Create<TvlSnapshotForm>(nullptr));
    form->SetBorderStyle(vcl::bsNone);
    form->SetTag(256);
    form->SetBounds(bounds.left, bounds.top, width, height);

    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf32bit);
    image.SetSize(width, height);
    {
        const vcl::TWindowDC source(Window, GetWindowDC(Window));
        BitBlt(image.Canvas()->Handle(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
    }
    SetRectAlpha(image, {0, 0, width, height}, 255);
    const HWND snapshot = form->Handle();
    FormAnimations().ShowLayeredBitmap(snapshot, &image, 255);
    SetWindowPos(snapshot, HWND_TOPMOST, bounds.left, bounds.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    return form;
}

HWND FindTaskbarWindow() { return FindWindowW(L"Shell_TrayWnd", nullptr); }

} // namespace skin
