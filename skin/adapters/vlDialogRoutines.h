#pragma once
// Routines of a skinned system dialog that need no adapter: printing its
// child windows into a DC, reading a window's text, clipping its children
// out of a DC. The adapter's own region, icon and corner routines are its
// members (vlDialogWnd.h, implemented in vlDialogRoutines.cpp). Windows only.
#include <windows.h>

#include <string>

#include "skin/manager/vlThdTimer.h"

namespace vcl {
class TBitmap;
}

namespace skin {

// The alpha of a dialog being dragged: every 10 ms the dialog is shown at
// the current alpha, which then falls by Step toward the target.
class TvlDialogMoveTimer : public TvlThreadedTimer {
public:
    TvlDialogMoveTimer(HWND Window, int TargetAlpha, double Step);
    void Tick(vcl::TObject *Sender = nullptr);

    HWND Window;
    int TargetAlpha;
    double Step;
    double CurrentAlpha = 255;
    // A dialog with an extended border is dragged as its border window,
    // which shows Image (the frame image) at the alpha; else the dialog's
    // own alpha falls.
    HWND Border = nullptr;
    vcl::TBitmap *Image = nullptr;  // not owned
};

// Every child window (in z-order) printed into DC at its place in the
// window's client area; hidden children are not printed, their own
// children are still visited.
void PrintChildWindows(HWND Window, HDC DC);
// The window's text as UTF-8.
std::string GetWindowTextOf(HWND Window);
// The visible direct children of Window, moved by (X, Y) from its client
// area, clipped out of DC; group boxes and tab-stop statics stay.
void ExcludeChildWindows(HDC DC, HWND Window, int X, int Y);

// The probe a window answers to keep a region of its own.
inline constexpr UINT WM_REGION_PROBE = 0xBC4D;
inline constexpr WPARAM RegionProbeKey = 0x41A2;

} // namespace skin
