#pragma once
// Small routines that the form skinning, the window adapters and the rest
// of the manager layer share: a hint window shown at a point, the work
// area of a monitor, the platform's window-theme function, and helpers for
// colours, the cursor, trees of controls and window geometry. The command
// senders are in sMessages.h; the colour behind a control (GetControlColor)
// is the painters' (vlParentBackground.h). Windows only.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "vcl/ControlTypes.h"
#include "vcl/HintWindow.h"
#include "vcl/Types.h"

namespace vcl {
class TComponent;
class TControl;
class TCustomForm;
class TWinControl;
}

namespace skin {

// ---------------------------------------------------------------- hints

// Shows Text in a new hint window below and right of Point (screen), kept
// inside the work area there on its right and bottom sides, and faded in
// when HintFadesIn says so; null for an empty text. The caller owns the
// window and hides it by freeing it.
std::unique_ptr<vcl::THintWindow> ShowHintAt(const std::string &Text, vcl::TPoint Point);
// Where a hint of HintRect's size shown for Point goes: 8 pixels right of
// and 16 below the point, moved left and up by what it juts out of
// WorkArea on the right and at the bottom.
vcl::TRect HintRectAt(const vcl::TRect &HintRect, vcl::TPoint Point, const vcl::TRect &WorkArea);
// A hint of this text fades in: shorter than 100 characters, and the
// system's tooltip animation and its fade both on.
bool HintFadesIn(const std::string &Text);

// ----------------------------------------------------------- work areas

// The work area of the monitor that holds most of the form (the nearest
// one when none does).
vcl::TRect FormWorkArea(const vcl::TCustomForm &Form);
// The work area of the first monitor whose work area holds Point; for a
// point in none of them (on no monitor, or on a taskbar), the work area of
// the monitor nearest to it.
vcl::TRect WorkAreaAtPoint(vcl::TPoint Point);

// --------------------------------------------------------------- themes

// The platform draws windows with visual themes.
bool ThemesActive();
// The platform's SetWindowTheme, of uxtheme from the system folder, bound
// on first use; null when the library or the function is missing.
using TSetWindowTheme = HRESULT(WINAPI *)(HWND Window, LPCWSTR SubAppName, LPCWSTR SubIdList);
TSetWindowTheme SetWindowThemeProc();

// -------------------------------------------------------- cursor, colours

vcl::TPoint GetCursorPoint();
// The cursor lies in the control's client rectangle.
bool IsCursorOverControl(const vcl::TControl &Control);
// The colour a window paints behind its children, as RGB: its answer to
// SC_GET_BG_COLOR (asked with 0xFF00FF as the default); 0xFF00FF for no window.
vcl::TColor GetWindowColor(HWND Window);

// ---------------------------------------------------------------- controls

// Proc(child, Argument) for every descendant of Parent, depth first: each
// child in index order before the children of a windowed one. Proc may
// free the child it gets: the walk neither enters it nor reads past the end
// of the shortened list (the child that moved into its place is skipped).
using TvlChildControlProc = void (*)(vcl::TControl *Control, std::intptr_t Argument);
void ForEachChildControl(vcl::TWinControl *Parent, std::intptr_t Argument, TvlChildControlProc Proc);
// The control is whole and placed: it exists, has a parent and (when
// windowed) its window, and is not being created, read, loaded or destroyed.
bool CanPaintControl(const vcl::TControl *Control);
// The first form along the owner chain, starting with Component; null when none.
vcl::TCustomForm *FindOwnerForm(vcl::TComponent *Component);
// DrawText flags of an alignment, centred vertically, tabs expanded. Our
// controls read left to right, so the control changes nothing in them.
UINT DrawTextAlignFlags(const vcl::TControl &Control, vcl::TAlignment Alignment);
// The sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of
// Parent's visible children of that alignment; 0 for other alignments.
// Graphic children count only with IncludeGraphic.
int SumAlignedControlSizes(const vcl::TWinControl &Parent, vcl::TAlign Align, bool IncludeGraphic);

// ------------------------------------------------------------------ windows

// WM_SETREDRAW.
void SetWindowRedraw(HWND Window, bool Redraw);
// The client rectangle in the coordinates of the whole window.
vcl::TRect ClientRectInWindow(HWND Window);
// The window's class name (UTF-8); empty when it cannot be read.
std::string GetWindowClassName(HWND Window);
// The last window along the chain of parents (and owners) of Window.
HWND TopLevelWindow(HWND Window);
// Places Helper, a window of the screen laid over Window's top-level one,
// right above Anchor (that top-level window, or a window lying right above
// it) in the band of that top-level window: what lies over the form stays
// over the helper too, and a stay-on-top form keeps its helper over it.
// Answers the window (or band) it was placed after.
HWND PlaceRightAbove(HWND Helper, HWND Window, HWND Anchor, const vcl::TRect &Bounds, UINT Flags);

} // namespace skin
