#pragma once
// The arithmetic of a skinned system dialog's caption that needs no window:
// the frame kind its style gives, which title buttons it shows and what a
// point over each of them answers, where the buttons stand, and the band
// of caption rows they occupy. Portable, so that it is tested on the host.
#include <cstdint>
#include <vector>

#include "vcl/Types.h"

namespace skin {

// Style bits read here (the platform's values).
inline constexpr std::uint32_t dgThickFrame = 0x00040000;
inline constexpr std::uint32_t dgCaption = 0x00C00000;  // border and dialog frame: a full caption
inline constexpr std::uint32_t dgPopup = 0x80000000;
inline constexpr std::uint32_t dgModalFrame = 0x80;      // DS_MODALFRAME
inline constexpr std::uint32_t dgSysMenu = 0x00080000;
inline constexpr std::uint32_t dgMaxBox = 0x00010000;
inline constexpr std::uint32_t dgMinBox = 0x00020000;
inline constexpr std::uint32_t dgContextHelp = 0x400;    // extended style

// Hit codes the caption answers.
inline constexpr int dhCaption = 2, dhSysMenu = 3, dhMinButton = 8, dhMaxButton = 9, dhClose = 20, dhHelp = 21;

// 3 for a sizeable window (and by default), 2 for a popup without a full
// caption, 0 for a modal frame that does not size.
int DialogFrameKind(std::uint32_t Style);

// What the dialog's style and state allow of its title buttons.
struct TvlDialogButtonRules {
    bool SysMenu = false, MaxBox = false, MinBox = false, Help = false;
    bool Minimized = false, Maximized = false;
    bool CloseEnabled = false;  // a system menu and a window class that allows closing
    int FrameKind = 3;

    bool CanMaximize() const { return MaxBox && !Maximized && (FrameKind == 1 || FrameKind == 3 || FrameKind == 5); }
    bool CanMinimize() const { return MinBox && !Minimized; }
    bool CanRestore() const { return MaxBox && (Minimized || Maximized); }
};
TvlDialogButtonRules DialogButtonRules(std::uint32_t Style, std::uint32_t ExStyle, bool Minimized, bool Maximized,
                                       bool ClassAllowsClose, int FrameKind);

// The title buttons shown, in their order from the right: close, maximize,
// minimize, help (hit codes); none without a system menu.
std::vector<int> ShownDialogButtons(const TvlDialogButtonRules &Rules);

// What a point over the N-th shown button (1: close) answers: its hit
// code, the caption when it cannot act, 0 over a close that is not
// allowed (the window's own procedure then answers).
int DialogButtonHitCode(int N, const TvlDialogButtonRules &Rules);

// One button to place: its size (the mask's, or 21 x 21 without one).
struct TvlButtonSize {
    int Width = 21, Height = 21;
};
// Places the shown buttons right to left from Right, each Space left of the
// one before it, with its top at Top; the rectangles in the order given.
std::vector<vcl::TRect> PlaceDialogButtons(const std::vector<TvlButtonSize> &Sizes, int Right, int Top, int Space);

// The first row of the band of caption rows the buttons occupy, for a
// caption height, the close button's height and the native border width.
int DialogButtonBandTop(int CaptionHeight, int CloseHeight, int BorderWidth);

} // namespace skin
