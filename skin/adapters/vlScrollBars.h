#pragma once
// The skinned scroll-bar engine: the bars of a scrolling window's
// non-client area laid out, painted from the skin and worked with the
// mouse in place of the system's. A scrolling adapter (TvlScrollWnd,
// vlScrollWnd.h, through its TvlNcBarsWnd part below) hides the bars from
// the system and routes its non-client, timer and mouse messages here; the
// engine sends the window the WM_HSCROLL / WM_VSCROLL the system's bar
// would send.
//
// One press and one hover are tracked at a time for the whole thread
// (TvlScrollEngine); TrackedWindow names the window they belong to. A press
// ends at the button's release, or when the window loses the capture or
// goes (its timers killed, the state reset). Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "vcl/Messages.h"
#include "vcl/Types.h"
#include "vlSBUtils.h"
#include "vlScrollGeometry.h"
#include "vlAdaptersState.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TsSkinManager;
class TvlNcBarsWnd;
struct TvlBgInfo;
struct TvlElementEntry;

// What a composed bar picture shows: the same key, the same picture.
struct TvlBarPictureKey {
    int Width = 0, Height = 0, Left = 0, Top = 0;  // the bar in the window
    int ThumbPos = -1, ThumbSize = 0, ThumbState = 0;
    int FirstArrow = 0, SecondArrow = 0, PressedPart = -1;
    bool Active = false;
    unsigned Generation = 0;  // the adapter's picture generation
    friend bool operator==(const TvlBarPictureKey &, const TvlBarPictureKey &) = default;
};

// One bar of a window (or a scroll-bar control).
struct TvlScrollBar {
    std::uint16_t State = 0;     // sbsPresent when the window's style has the bar
    std::uint16_t Kind = 0;      // 0 horizontal, 1 vertical, 2 a scroll-bar control
    int ScrollWidth = -1;        // its own width; -1 from the skin data or the manager
    int ButtonsSize = -1;        // its own arrow size; -1 likewise
    int EndCut = 0;              // pixels cut off its end when CutEnd
    int StartCut = 0;            // pixels cut off its start when CutStart
    int MinThumb = 0;            // 16 for non-client bars
    bool CutStart = false;
    bool CutEnd = false;
    TvlNcBarsWnd *Adapter = nullptr;  // not owned
    bool Shown = false;          // takes space in the current frame
    SCROLLINFO Info{};           // the window's scroll information, last read
    // The last composed picture and its background, kept while they serve:
    // scrolling repaints the bar after every step the system draws over.
    std::shared_ptr<vcl::TBitmap> Picture, Back;
    TvlBarPictureKey PictureKey;
};
inline constexpr std::uint16_t sbsPresent = 8;

// The part of a window adapter the engine works on: the window's two bars,
// its frame as the last WM_NCCALCSIZE measured it, and the adapter's
// answers the engine asks for. TvlScrollWnd is the one descendant.
class TvlNcBarsWnd : public TvlMainWnd {
public:
    // Both bars made, each knowing this adapter, a thumb of 16 pixels at least.
    TvlNcBarsWnd();
    ~TvlNcBarsWnd() override;

    // The message on to the procedure the adapter replaced.
    using TvlMainWnd::PassOn;

    // The combo box's list keeps the capture while it tracks the mouse.
    virtual bool KeepsCapture() const { return false; }
    // A release that ended a press goes on to the window.
    virtual bool PassesRelease() const { return true; }

    bool ThumbDragging = false;
    bool LeftScrollBar = false;
    bool FrameCalculated = false;
    bool InCalcSize = false;
    std::unique_ptr<TvlScrollBar> HorzBar;
    std::unique_ptr<TvlScrollBar> VertBar;
    int FrameLeft = -1, FrameRight = 0, FrameTop = 0, FrameBottom = 0;
    // Changes whenever what lies behind the bars may have changed (skin
    // commands, a new size, focus, enabling): composed bar pictures of an
    // older generation are composed again.
    unsigned PictureGeneration = 0;
};

// Timer ids of the engine.
inline constexpr UINT_PTR HoverTimerId = 65522;
inline constexpr UINT_PTR FirstRepeatTimerId = 65533;
inline constexpr UINT_PTR RepeatTimerId = 65534;
inline constexpr UINT FirstRepeatDelay = 300;
inline constexpr UINT RepeatDelay = 55;
inline constexpr UINT HoverDelay = 20;

// The engine's state (vlAdaptersState.h); one for the thread.
TvlScrollEngine &ScrollEngine();

// The bar's width (WantWidth) or arrow size: its own, the skin data's, the
// manager's, else the system's.
int ScrollBarMetric(const TvlScrollBar &Bar, bool WantWidth);
// Screen rectangles of the adapter's bars; false for a kind other than 0, 1.
vcl::TRect HorzScrollBarRect(const TvlNcBarsWnd &Adapter);
vcl::TRect VertScrollBarRect(const TvlNcBarsWnd &Adapter);
bool ScrollBarRect(const TvlNcBarsWnd &Adapter, int Kind, vcl::TRect &Rect);
// The bar's range and position as the geometry reads them.
TvlScrollRange RangeOf(const TvlScrollBar &Bar);
// The system says the bar can scroll (or, without GetScrollBarInfo, the
// style has it).
bool IsScrollBarActive(const TvlScrollBar &Bar, HWND Handle);
// The part of the bar at a screen point.
int ScrollBarPartAt(const TvlScrollBar &Bar, const vcl::TRect &BarRect, int X, int Y);

// Both bars and the corner square on DC (null: the window DC, and nothing
// while the window is hidden; a DC given gets them whatever the window's
// visibility). PartOverride -1 paints the pressed part as the engine knows it.
// False when the parent's answer about what lies behind freed the adapter:
// the caller stops.
bool PaintNcScrollBars(TvlNcBarsWnd &Adapter, int PartOverride, HDC DC);
// One bar at Rect (screen) on DC; ThumbAt, when not -1, is the dragged
// thumb's start along the bar (screen). False as PaintNcScrollBars.
bool PaintScrollBar(TvlScrollBar &Bar, HWND Handle, HDC DC, int PressedPart, const vcl::TRect &Rect,
                    int ThumbAt = -1);
// An arrow button of an element in a state into Bitmap at R over Bg: the
// element's section, then its arrow glyph from the skin, else a triangle
// drawn in Direction (DrawScrollArrowGlyph) in the section's font colour.
void PaintScrollArrow(vcl::TBitmap &Bitmap, const TvlBgInfo &Bg, vcl::TRect R, int State,
                      const TvlElementEntry &Element, int Direction, TsSkinManager &M);
// A thumb of an element in a state into Bitmap at R over Bg.
void PaintScrollThumb(vcl::TBitmap &Bitmap, const TvlBgInfo &Bg, const vcl::TRect &R, int State,
                      const TvlElementEntry &Element, TsSkinManager &M);

// The handlers TvlScrollWnd routes messages to; each answers in Message.
void ScrollBarsNcCalcSize(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarsNcHitTest(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarNcMouseMove(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarMouseDown(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarMouseMove(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarMouseUp(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
void ScrollBarTimer(TvlNcBarsWnd &Adapter, vcl::TMessage &Message);
// The press of Window ends without a release: timers killed, the thumb
// drag ended with SB_ENDSCROLL, the state reset. Nothing when the engine
// tracks another window. False when the window's adapter went while the
// application took the SB_ENDSCROLL.
bool CancelScrollTracking(HWND Window);

// The scroll message of a bar part, framed by SC_SCROLL_BEGIN and
// SC_SCROLL_END. A window whose adapter answers 1 to SC_SCROLL_BEGIN gets
// the full position in LParam; the others get it written into their
// scroll information first (thumb tracking). The high word holds the
// position's low 16 bits, at most 65535.
void SendScrollMessage(HWND Handle, UINT Msg, int Code, int Pos);

} // namespace skin
