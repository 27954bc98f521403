// The region, icon, printing and clipping routines of a skinned system
// dialog, and the dialog adapter's members that use them.
#include "vlDialogRoutines.h"

#include <algorithm>
#include <cctype>

#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/GdiObjects.h"
#include "vcl/WideText.h"
#include "vlDialogWnd.h"

namespace skin {

namespace {

std::string LowerClassName(HWND Window) {
    std::string name = GetWindowClassName(Window);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return name;
}

struct TExclude {
    HWND Parent;
    HDC DC;
    int X, Y;
};

BOOL CALLBACK ExcludeChild(HWND Child, LPARAM Data) {
    const auto &e = *reinterpret_cast<const TExclude *>(Data);
    if (GetParent(Child) != e.Parent || !IsWindowVisible(Child)) return TRUE;
    const LONG_PTR style = GetWindowLongPtrW(Child, GWL_STYLE);
    const std::string name = LowerClassName(Child);
    if (name == "static" && (style & WS_TABSTOP)) return TRUE;
    // A group box is drawn over the dialog's face: what lies inside it is the dialog's.
    if (name == "button" && (style & 0x0F) == BS_GROUPBOX) return TRUE;
    RECT r{};
    GetWindowRect(Child, &r);
    MapWindowPoints(nullptr, e.Parent, reinterpret_cast<POINT *>(&r), 2);
    ExcludeClipRect(e.DC, r.left + e.X, r.top + e.Y, r.right + e.X, r.bottom + e.Y);
    return TRUE;
}

} // namespace

void PrintChildWindows(HWND Window, HDC DC) {
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const vcl::TSavedDC saved(DC);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, Window, reinterpret_cast<POINT *>(&r), 2);
        POINT origin{};
        GetViewportOrgEx(DC, &origin);
        SetViewportOrgEx(DC, origin.x + r.left, origin.y + r.top, nullptr);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & WS_CHILD) && (style & WS_VISIBLE)) {
            const LPARAM dc = reinterpret_cast<LPARAM>(DC);
            SendSkinCommand(child, SC_SET_PAINT_TARGET, dc);
            // With no flags a native control prints nothing.
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
            SendSkinCommand(child, SC_SET_PAINT_TARGET, 0);
        }
        PrintChildWindows(child, DC);
    }
}

std::string GetWindowTextOf(HWND Window) {
    const int length = GetWindowTextLengthW(Window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(Window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(0, got)));
    return vcl::WideToUtf8(text);
}

void ExcludeChildWindows(HDC DC, HWND Window, int X, int Y) {
    TExclude e{Window, DC, X, Y};
    EnumChildWindows(Window, ExcludeChild, reinterpret_cast<LPARAM>(&e));
}

// ------------------------------------------------------- the adapter's own

void TvlDialogWnd::PaintIcon() {
    vcl::TBitmap *cache = SkinData ? SkinData->CacheBmp() : nullptr;
    if (!cache || !Icon || CaptionHeight() == 0) return;
    const vcl::TRect r = IconRect();
    const HDC dc = cache->Canvas()->Handle();
    const vcl::TIconHandle copy(static_cast<HICON>(
        CopyImage(Icon, IMAGE_ICON, r.Width(), r.Height(), LR_COPYFROMRESOURCE)));
    const HICON icon = copy ? copy.Get() : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    DrawIconEx(dc, r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TvlDialogWnd::BuildCornerRects() {
    CornerRects.clear();
    const TsSkinManager *m = SkinData ? SkinData->GetSkinManager() : nullptr;
    if (!m) return;
    RECT wr{};
    GetWindowRect(Handle, &wr);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    const int border = SkinData->BorderIndex();
    if (m->IsValidMaskIndex(border)) {
        const TsMaskData &mask = m->Masks[static_cast<std::size_t>(border)];
        GetMaskCornerRects(CornerRects, width, mask, 0, false);
        GetMaskCornerRects(CornerRects, width, mask, height - m->MaskBottomMargin(border), true);
    }
    if (m->IsValidSectionIndex(TitleSection)) {
        const int title = m->GetMaskIndexChecked(TitleSection, TitleSectionName, "BORDERSMASK");
        if (m->IsValidMaskIndex(title))
            GetMaskCornerRects(CornerRects, width, m->Masks[static_cast<std::size_t>(title)], 0, false);
    }
}

HRGN TvlDialogWnd::CreateCornerRegion(int X, int Y) const {
    RECT wr{};
    GetWindowRect(Handle, &wr);
    HRGN region = CreateRectRgn(X, Y, X + wr.right - wr.left, Y + wr.bottom - wr.top);
    for (const vcl::TRect &c : CornerRects) {
        const vcl::TRegionHandle corner(CreateRectRgn(c.Left + X, c.Top + Y, c.Right + X, c.Bottom + Y));
        CombineRgn(region, region, corner.Get(), RGN_DIFF);
    }
    return region;
}

void TvlDialogWnd::UpdateRegion(bool Redraw) {
    if (!IsIconic(Handle) && FrameKind == 2) return;
    if (SendMessageW(Handle, WM_REGION_PROBE, RegionProbeKey, 0) == static_cast<LRESULT>(RegionProbeKey)) return;
    BuildCornerRects();
    vcl::TRegionHandle region(CreateCornerRegion(0, 0));
    // The window takes the region it accepted.
    if (SetWindowRgn(Handle, region.Get(), Redraw)) region.Release();
    NeedRegion = false;
}

} // namespace skin
