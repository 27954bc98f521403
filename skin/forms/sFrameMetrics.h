#pragma once
// The measures of a skinned form's frame that the painting, hit-testing,
// region and moving code share: border widths, caption heights, sizes of
// the window and its client area, the caption icon's side. Plain functions
// of a window and the skin; none paints. The provider's own measures
// (client offsets, menu line, grip) are its members (sSkinProvider.h).
//
// The skin's global frame values ("BORDERWIDTH", "TITLEHEIGHT",
// "MAXHEIGHT", "BORDERMODE") apply only through an extended border form:
// without one the skin measures answer 0 and the borders are the system's.
// Windows only.
#include <windows.h>

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinManager;
class TvlBorderForm;

// The system metrics of the frame, read once by the module's start-up and
// kept for the process (the system does not tell of later changes).
struct TvlSystemFrameMetrics {
    int SizingFrame = 0;   // SM_CXSIZEFRAME
    int FixedFrame = 0;    // SM_CXFIXEDFRAME
    int Caption = 0;       // SM_CYCAPTION
    int SmallCaption = 0;  // SM_CYSMCAPTION
    int OSMajor = 0;       // 8 and more from Windows 8 on
};
const TvlSystemFrameMetrics &SystemFrameMetrics();
// Reads them again (the module's start-up).
void ReadSystemFrameMetrics();

// The width of one side of the window's frame. UseSkin with a border form:
// the skin's "BORDERWIDTH" when it gives one. Else the sizing frame for a
// sizeable window, the fixed frame for a bordered one, 0 for none; with a
// border form the window itself says how wide its frame is (skin command
// SC_GET_BORDER_WIDTH), except a fixed frame in "BORDERMODE" 1.
int GetBorderWidth(HWND Window, const TvlBorderForm *Border = nullptr, bool UseSkin = false);
// 0 with a border form (its image holds the whole frame), else GetBorderWidth.
int GetNativeBorderWidth(HWND Window, const TvlBorderForm *Border = nullptr, bool UseSkin = false);
// The skin's caption height seen from a border form ("MAXHEIGHT" for a
// maximized form of a provider, else "TITLEHEIGHT"); 0 without one.
int GetSkinTitleHeight(const TvlBorderForm *Border);
// "BORDERWIDTH"; 0 without a border form or a skin manager.
int GetSkinBorderWidth(const TvlBorderForm *Border);
// How far the skinned top frame (caption included) and side frame reach
// beyond the window's native ones; 0 without a border form.
int GetSkinTopExcess(const TvlBorderForm *Border);
int GetSkinSideExcess(const TvlBorderForm *Border);
// The native caption height: the small one for a tool window that is not
// minimized.
int GetSysCaptionHeight(const vcl::TCustomForm &Form);
bool HasSizingFrame(HWND Window);
// The caption icon's side for a caption height: 1 up to 8, 8 up to 16,
// else 16.
int CaptionIconSize(int CaptionHeight);
int WindowWidth(HWND Window);
int WindowHeight(HWND Window);
int ClientWidth(HWND Window);
int ClientHeight(HWND Window);
// The index is negative or the mask has exactly one state image.
bool MaskHasOneState(int MaskIndex, const TsSkinManager *Manager);
// Invalidates a mask's one-state rectangle in the lower (Bottom) or upper
// right corner of a client area of the given size.
void InvalidateCorner(HWND Window, const TsSkinManager &Manager, int MaskIndex, int ClientWidth, int ClientHeight,
                      bool Bottom, bool Erase);

} // namespace skin
