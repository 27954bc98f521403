// The region, icon, printing and clipping routines of a skinned system
// dialog.
#include "vlDialogRoutines.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/sMaskData.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "skin/manager/vlAnimFrames.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/WideText.h"

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
    // The class library's application never reads right to left: no
    // mirrored layout to leave unclipped.
    TExclude e{Window, DC, X, Y};
    EnumChildWindows(Window, ExcludeChild, reinterpret_cast<LPARAM>(&e));
}

// ------------------------------------------------------- blended move

TvlDialogMoveTimer::TvlDialogMoveTimer(HWND AWindow, int ATargetAlpha, double AStep)
    : TvlThreadedTimer(nullptr), Window(AWindow), TargetAlpha(ATargetAlpha), Step(AStep) {
    SetEnabled(false);
    SetInterval(10);
    SetOnTimer(vcl::TNotifyEvent::Bind<&TvlDialogMoveTimer::Tick>(this));
}

void TvlDialogMoveTimer::Tick(vcl::TObject *) {
    if (!Enabled() || !Window) return;
    const auto alpha = static_cast<std::uint8_t>(std::clamp(RoundEven(CurrentAlpha), 0, 255));
    if (Border) {
        if (Image && IsWindow(Border)) ShowLayeredBitmap(Border, Image, alpha);
    } else if (const auto set = LayeredWindowFunctions().SetLayeredWindowAttributes) {
        set(Window, 0, alpha, LWA_ALPHA);
    }
    // Never below the target, whatever the step's rounding.
    if (TargetAlpha < CurrentAlpha) CurrentAlpha = std::max(CurrentAlpha - Step, static_cast<double>(TargetAlpha));
}

} // namespace skin
