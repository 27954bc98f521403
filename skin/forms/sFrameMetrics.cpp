#include "sFrameMetrics.h"

#include <cmath>

#include "sFormBorder.h"
#include "sSkinProvider.h"
#include "skin/graphics/sConst.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin {

namespace {

TvlSystemFrameMetrics Metrics;
bool MetricsRead = false;

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
    // The library's one version code: the system reports 6.2 from Windows
    // 8 on to a program without a manifest that says more.
    InitializeConstants();
    Metrics.OSMajor = WindowsVersionCode;
    MetricsRead = true;
}

const TvlSystemFrameMetrics &SystemFrameMetrics() {
    if (!MetricsRead) ReadSystemFrameMetrics();
    return Metrics;
}

namespace {

const TsSkinManager *ManagerOf(const TvlBorderForm *Border) {
    const TsSkinManager *m = Border ? Border->Owner().BorderSkinManager() : nullptr;
    return m && m->SkinData ? m : nullptr;
}

// The window's own answer; one that does not know the command (0) keeps
// the system's width.
int AskedBorderWidth(HWND Window, int Native) {
    const LRESULT answer =
        SendMessageW(Window, SM_SKINCOMMAND, SkinCommand(SC_GET_BORDER_WIDTH, 0), static_cast<LPARAM>(Native));
    return answer > 0 ? static_cast<int>(answer) : Native;
}

} // namespace

int GetBorderWidth(HWND Window, const TvlBorderForm *Border, bool UseSkin) {
    if (UseSkin)
        if (const int skin = GetSkinBorderWidth(Border); skin != 0) return skin;
    const LONG_PTR style = StyleOf(Window);
    const TsSkinManager *m = ManagerOf(Border);
    if (style & WS_THICKFRAME) {
        const int sizing = SystemFrameMetrics().SizingFrame;
        if (m) return AskedBorderWidth(Window, sizing);
        return Border && SystemFrameMetrics().OSMajor >= 8 ? sizing + 4 : sizing;
    }
    if (style & WS_BORDER) {
        const int fixed = SystemFrameMetrics().FixedFrame;
        return m && m->SkinData->BorderMode != 1 ? AskedBorderWidth(Window, fixed) : fixed;
    }
    return 0;
}

int GetNativeBorderWidth(HWND Window, const TvlBorderForm *Border, bool UseSkin) {
    return Border ? 0 : GetBorderWidth(Window, nullptr, UseSkin);
}

int GetSkinTitleHeight(const TvlBorderForm *Border) {
    const TsSkinManager *m = ManagerOf(Border);
    if (!m) return 0;
    const HWND owner = Border->Owner().BorderOwnerWindow();
    const bool maximized = Border->Owner().BorderOwnerForm() && owner && IsZoomed(owner);
    return maximized ? m->SkinData->MaxHeight : m->SkinData->TitleHeight;
}

int GetSkinBorderWidth(const TvlBorderForm *Border) {
    const TsSkinManager *m = ManagerOf(Border);
    return m ? m->SkinData->BorderWidth : 0;
}

int GetSkinTopExcess(const TvlBorderForm *Border) {
    if (!Border) return 0;
    const TvlBorderOwner &owner = Border->Owner();
    return owner.BorderCaptionHeight() - owner.BorderNativeCaptionHeight() -
           GetBorderWidth(owner.BorderOwnerWindow(), Border, false);
}

int GetSkinSideExcess(const TvlBorderForm *Border) {
    if (!Border) return 0;
    const HWND window = Border->Owner().BorderOwnerWindow();
    return GetBorderWidth(window, Border, true) - GetBorderWidth(window, Border, false);
}

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

const TvlBorderForm *TsSkinProvider::BorderObject() const { return BorderForm ? &BorderForm->Border() : nullptr; }

TvlFrameSizes TsSkinProvider::FrameSizes() const {
    TvlFrameSizes f;
    const HWND window = WindowOf(Form);
    if (!window) return f;
    const TvlBorderForm *border = BorderObject();
    f.NativeBorder = GetBorderWidth(window, border, false);
    f.NativeCaption = GetCaptionHeight(false);
    if (border) {
        f.SkinBorder = GetSkinBorderWidth(border);
        // A form without a caption bar keeps none in its image either.
        f.SkinCaption = f.NativeCaption != 0 ? GetSkinTitleHeight(border) : 0;
    }
    f.FormBorder = Form->BorderWidth();
    f.MenuRowHeight = GetMenuLineHeight();
    // The rows are counted once and kept (MenuLineCount).
    f.MenuRows = f.MenuRowHeight != 0 ? const_cast<TsSkinProvider *>(this)->GetMenuLineCount() : 0;
    f.Margins = GetShadowMargins();
    return f;
}

int TsSkinProvider::GetClientOffsetX() const {
    const HWND window = WindowOf(Form);
    if (!window) return 0;
    if (BorderForm) return FrameClientOffset(FrameSizes()).X;
    int bar = 0;
    if (FormScrollAdapter) {
        const TvlScrollBarState vert = FormScrollAdapter->VertScrollBar();
        if (vert.Visible) bar = vert.Width;
    }
    return (WindowWidth(window) - ClientWidth(window) - bar) / 2;
}

int TsSkinProvider::GetClientOffsetY() const {
    const HWND window = WindowOf(Form);
    if (!window) return 0;
    if (BorderForm) return FrameClientOffset(FrameSizes()).Y;
    int bar = 0;
    if (FormScrollAdapter) {
        const TvlScrollBarState horz = FormScrollAdapter->HorzScrollBar();
        if (horz.Visible) bar = horz.Width;
    }
    const int bottomFrame = (StyleOf(window) & WS_BORDER) ? GetBorderWidth(window) + Form->BorderWidth() : 0;
    return WindowHeight(window) - ClientHeight(window) - bottomFrame - bar;
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

void InvalidateCorner(HWND Window, const TsSkinManager &Manager, int MaskIndex, int ClientWidth, int ClientHeight,
                      bool Bottom, bool Erase) {
    if (!Manager.IsValidMaskIndex(MaskIndex)) return;
    const TsMaskData &mask = Manager.Masks[static_cast<std::size_t>(MaskIndex)];
    const int w = GetMaskFrameWidth(mask), h = GetMaskFrameHeight(mask);
    if (w <= 0 || h <= 0) return;
    const RECT r{ClientWidth - w, Bottom ? ClientHeight - h : 0, ClientWidth, Bottom ? ClientHeight : h};
    InvalidateRect(Window, &r, Erase);
}

} // namespace skin
