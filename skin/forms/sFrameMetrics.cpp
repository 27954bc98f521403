#include "sFrameMetrics.h"

#include <cmath>

#include "sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

TvlSystemFrameMetrics Metrics;
bool MetricsRead = false;

int OSMajorVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&version) ? static_cast<int>(version.dwMajorVersion) : 0;
#pragma GCC diagnostic pop
}

LONG_PTR StyleOf(HWND Window) { return Window ? GetWindowLongPtrW(Window, GWL_STYLE) : 0; }

// The form's window when it has one.
HWND WindowOf(const vcl::TCustomForm *Form) {
    return Form && Form->HandleAllocated() ? Form->WindowHandle() : nullptr;
}

} // namespace

void ReadSystemFrameMetrics() {
    Metrics.SizingFrame = GetSystemMetrics(SM_CXSIZEFRAME);
    Metrics.FixedFrame = GetSystemMetrics(SM_CXFIXEDFRAME);
    Metrics.Caption = GetSystemMetrics(SM_CYCAPTION);
    Metrics.SmallCaption = GetSystemMetrics(SM_CYSMCAPTION);
    Metrics.OSMajor = OSMajorVersion();
    MetricsRead = true;
}

const TvlSystemFrameMetrics &SystemFrameMetrics() {
    if (!MetricsRead) ReadSystemFrameMetrics();
    return Metrics;
}

int GetBorderWidth(HWND Window) {
    const LONG_PTR style = StyleOf(Window);
    if (style & WS_THICKFRAME) return SystemFrameMetrics().SizingFrame;
    if (style & WS_BORDER) return SystemFrameMetrics().FixedFrame;
    return 0;
}

int GetNativeBorderWidth(HWND Window) { return GetBorderWidth(Window); }

int GetSysCaptionHeight(const vcl::TCustomForm &Form) {
    const bool tool = Form.BorderStyle() == vcl::bsToolWindow || Form.BorderStyle() == vcl::bsSizeToolWin;
    const HWND window = WindowOf(&Form);
    if (tool && !(window && IsIconic(window))) return SystemFrameMetrics().SmallCaption;
    return SystemFrameMetrics().Caption;
}

bool HasSizingFrame(HWND Window) { return (StyleOf(Window) & WS_THICKFRAME) != 0; }

int CaptionIconSize(int CaptionHeight) {
    if (CaptionHeight >= -100 && CaptionHeight <= 8) return 1;
    if (CaptionHeight >= 9 && CaptionHeight <= 16) return 8;
    return 16;
}

int WindowWidth(HWND Window) {
    RECT r{};
    return Window && GetWindowRect(Window, &r) ? r.right - r.left : 0;
}

int WindowHeight(HWND Window) {
    RECT r{};
    return Window && GetWindowRect(Window, &r) ? r.bottom - r.top : 0;
}

int ClientWidth(HWND Window) {
    RECT r{};
    return Window && GetClientRect(Window, &r) ? r.right - r.left : 0;
}

int ClientHeight(HWND Window) {
    RECT r{};
    return Window && GetClientRect(Window, &r) ? r.bottom - r.top : 0;
}

bool MaskHasOneState(int MaskIndex, const TsSkinManager *Manager) {
    if (MaskIndex < 0) return true;
    return Manager && Manager->IsValidMaskIndex(MaskIndex) &&
           Manager->Masks[static_cast<std::size_t>(MaskIndex)].ImageCount == 1;
}

// ----------------------------------------------- the provider's measures

bool TsSkinProvider::HasFrame() const {
    if (!Form) return false;
    return Form->BorderStyle() != vcl::bsNone || (StyleOf(WindowOf(Form)) & WS_CHILD) != 0;
}

bool TsSkinProvider::GripVisible() const {
    const HWND window = WindowOf(Form);
    return FGripMode == gmRightBottom && window && !IsZoomed(window) && HasSizingFrame(window);
}

// The menu line's measures (HasMenuLine, MenuHasVisibleItems,
// GetMenuLineCount) are in sMenuLine.cpp.

int TsSkinProvider::GetClientOffsetX() const {
    const HWND window = WindowOf(Form);
    if (!window) return 0;
    int bar = 0;
    if (FormScrollAdapter) {
        const TvlScrollBarState vert = FormScrollAdapter->VertScrollBar();
        if (vert.Visible) bar = vert.Width;
    }
    // A border form's image starts the shadow margin further out.
    return (WindowWidth(window) - ClientWidth(window) - bar) / 2 + GetShadowMargins().Left;
}

int TsSkinProvider::GetClientOffsetY() const {
    const HWND window = WindowOf(Form);
    if (!window) return 0;
    int bar = 0;
    if (FormScrollAdapter) {
        const TvlScrollBarState horz = FormScrollAdapter->HorzScrollBar();
        if (horz.Visible) bar = horz.Width;
    }
    const int bottomFrame = (StyleOf(window) & WS_BORDER) ? GetBorderWidth(window) + Form->BorderWidth() : 0;
    return WindowHeight(window) - ClientHeight(window) - bottomFrame - bar + GetShadowMargins().Top;
}

int TsSkinProvider::TitleIconWidth() const {
    if (!ShowsIcon()) return 0;
    if (FTitleIcon->Width() != 0) return FTitleIcon->Width();
    const int caption = GetCaptionHeight(true);
    int size = CaptionIconSize(caption);
    const vcl::TBitmap *glyph = FTitleIcon->Glyph();
    if (glyph && glyph->Width() > 0 && caption > 0)
        // Rounded half to even.
        size = static_cast<int>(std::lrint(static_cast<double>(glyph->Width()) * size / caption));
    return size;
}

int TsSkinProvider::TitleIconHeight() const {
    if (!ShowsIcon()) return 0;
    if (FTitleIcon->Height() != 0) return FTitleIcon->Height();
    return CaptionIconSize(GetCaptionHeight(true));
}

} // namespace skin
