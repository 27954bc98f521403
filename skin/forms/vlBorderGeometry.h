#pragma once
// The arithmetic of the extended border form's window: which points lie in
// the outer shadow (where the mouse falls through to the windows below),
// which sizing code a point of the extended border answers, and the
// rectangle a maximized owner's border keeps. Coordinates are the border
// window's: its size W x H, the shadow margins M (left, top, right, bottom)
// around the owner. Portable.
#include <cstdint>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

struct TsMaskData;

// The skin's values of "GLOBALINFO" that the border form reads.
struct TvlBorderSkin {
    int BorderWidth = 4;  // "BORDERWIDTH"
    int BorderMode = 0;   // "BORDERMODE"
    // "ALIGNOFFSET", "ALIGNOFFSETT", "ALIGNOFFSETR", "ALIGNOFFSETB"
    int AlignLeft = 0, AlignTop = 0, AlignRight = 0, AlignBottom = 0;
};

// The width of the sizing zones: "BORDERWIDTH", at least 6.
int SizingZoneWidth(const TvlBorderSkin &Skin);

// The rectangle outside which the shadow lets the mouse through. Its four
// edges belong to it, as the sizing zones' ends do.
vcl::TRect OuterShadowLimit(int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin);
bool InOuterShadow(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin);

// HTTOP .. HTBOTTOMRIGHT (10 to 17) for a point of the sizing zones, 0 for
// any other; corners answer the diagonal codes. N is the owner's border
// width ("BORDERMODE" 1 only). Every range includes both ends.
int BorderSizingCode(vcl::TPoint P, int W, int H, const vcl::TRect &M, const TvlBorderSkin &Skin, int N);

// What a maximized owner's border window keeps: B the owner's border width,
// E the skin's side excess.
vcl::TRect MaximizedBorderRect(int W, int H, const vcl::TRect &M, int B, int E);

// A double click on a sizing edge of a sizeable form: the top or bottom edge
// stretches the window over the work area's height, the left or right edge
// over its width; the same double click again puts back what was saved.
// The two directions toggle apart. Hit codes HTLEFT (10), HTRIGHT (11),
// HTTOP (12), HTBOTTOM (15); any other leaves the window as it is.
struct TvlEdgeMaximize {
    bool Vertical = false;    // stretched over the height: Top, Height saved
    bool Horizontal = false;  // over the width: Left, Width saved
    int Top = 0, Height = 0, Left = 0, Width = 0;
};
vcl::TRect ToggleEdgeMaximize(const vcl::TRect &Window, const vcl::TRect &WorkArea, int HitCode,
                              TvlEdgeMaximize &Saved);
// The stretched form (Saved) is placed anew by other means: at Y with the
// height Height, its top now FormTop. The stretch ends, both directions
// forgotten. Over the height: a placement that moves the top gives the
// form its saved height back; one that keeps the top puts it back at the
// saved top, the bottom staying where the placement puts it. False when
// nothing was stretched (the placement is left alone).
bool EndEdgeStretch(int FormTop, int &Y, int &Height, TvlEdgeMaximize &Saved);

// A frame drawn inside an extended border with the skin's own measures:
// the skin's side border and caption (which holds the top border) in place
// of the window's native ones. The window keeps its native frame; the
// frame image covers it and reaches beyond it by the excesses.
struct TvlFrameSizes {
    int NativeBorder = 0;   // one side of the window's own frame
    int NativeCaption = 0;  // the window's own caption
    int SkinBorder = 0;     // "BORDERWIDTH"; 0: the native one
    int SkinCaption = 0;    // "TITLEHEIGHT" or "MAXHEIGHT"; 0: the native one
    int FormBorder = 0;     // the form's BorderWidth inside the frame
    int MenuRows = 0;
    int MenuRowHeight = 0;  // 0: no menu line
    vcl::TRect Margins{};   // the shadow margins around the frame
};
// The caption as the skin draws it: a taller one at least 4 pixels taller
// than the native one; none given, the native one.
int SkinCaptionHeight(int SkinCaption, int NativeCaption);
// A caption button: one state of its picture, or DefaultCaptionButton
// square without one. Every button of a caption stands as high as its close
// button.
inline constexpr int DefaultCaptionButton = 21;
vcl::TSize CaptionButtonSize(const TsMaskData *Picture);
// How far the skinned side frame and top frame (with the caption) reach
// beyond the window's native ones; negative when they are narrower.
int FrameSideExcess(const TvlFrameSizes &F);
int FrameTopExcess(const TvlFrameSizes &F);
// The window's top-left corner in the frame image.
vcl::TPoint FrameWindowOffset(const TvlFrameSizes &F);
// The client area's top-left corner in the frame image.
vcl::TPoint FrameClientOffset(const TvlFrameSizes &F);
// The frame image of a window W x H: the window, the excesses on its
// sides and bottom and on its top, and the margins.
vcl::TSize FrameImageSize(const TvlFrameSizes &F, int W, int H);

// ---------------------------------------------------- the border's update

// The owner's state as the border's update reads it; a dialog owner fills
// only the window's part.
struct TvlBorderUpdateState {
    bool Visible = true;
    bool Minimized = false;
    std::uint32_t StateFlags = 0;
    bool AtFormLeft = true;        // the window rectangle starts at the form's Left
    bool PaintLockTaken = false;   // the paint lock came from outside
    bool InShowAnimation = false;  // the show animation holds the frame back
    bool PaintLocked = false;
    bool DrawNonClientArea = true;
    bool Destroying = false;       // the provider or its form
};
enum TvlBorderUpdate { buUpdate, buSkip, buRemoveBorders, buFreeWindow };
TvlBorderUpdate BorderUpdateAction(const TvlBorderUpdateState &S);

// Where the border window goes in the z-order: HWND_TOP, HWND_TOPMOST,
// right above the owner (as its owned window) or above the window that lies
// above the owner; and whether the z-order is left alone.
enum TvlBorderAnchor { baTop, baTopmost, baOwner, baAboveOwner };
struct TvlBorderZOrder {
    TvlBorderAnchor Anchor = baOwner;
    bool NoZOrder = false;
};
TvlBorderZOrder BorderZOrder(bool StayOnTopActive, bool OwnerTopmost, bool OwnerMinimized, std::uint32_t StateFlags);

// The border window's blur-behind area: the frame inside the margins M, one
// pixel larger at each side, less the pixels of its four edge strips
// FormOffset wide that are black (red, green and blue 0: where the frame
// lets the shadow show). Image coordinates, as bands of rectangles.
std::vector<vcl::TRect> BlurBehindRects(const vcl::TBitmapView &Image, const vcl::TRect &M, int FormOffset);

// ------------------------------------------------ a blended caption drag

// The manager's blend on moving as a form's caption drag meets it.
struct TvlDragBlend {
    bool Active = false;       // the manager's option
    int BlendValue = 170;      // the alpha the drag falls to
    bool FormAllows = true;    // the form's own AllowBlendOnMoving
    bool Composition = false;  // desktop composition is on
};
// A press on the caption blends whenever the option is on; under
// composition a blend that would change nothing is left to the system.
bool CaptionPressBlends(const TvlDragBlend &B);
// The drag that restores a maximized form blends only where the blend
// shows; else the restored window takes the system's move.
bool MaximizedDragBlends(const TvlDragBlend &B);

} // namespace skin
