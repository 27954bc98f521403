#pragma once
// The routines with which window adapters build their pictures: a
// control's skinned image in its skin data's cache, the border from the
// section's border mask, the system's fonts, the geometry of a window in
// its parent, published properties by name, and the messages
// passed to children. None keeps state. Windows only.
#include <windows.h>

#include <cstdint>
#include <string>

#include "vcl/GdiObjects.h"
#include "vcl/Messages.h"
#include "vcl/Types.h"
#include "skin/graphics/vlParentBackground.h"

namespace vcl {
class TBitmap;
class TCanvas;
class TControl;
class TObject;
}

namespace skin {

class TsCommonData;
struct TvlBgInfo;

// A new font of the system's non-client metrics: kind 1 the caption font,
// 2 the small caption font, 3 the menu font, 4 the status font, any other
// the message font; empty when the system does not tell.
vcl::TFontHandle CreateSystemFont(int Kind);
// The canvas's font becomes that font (a copy of its description).
void SelectSystemFont(vcl::TCanvas &Canvas, int Kind);

// The parent window, the window's rectangle (screen), its top-left in the
// parent's client area, its size and the parent's window rectangle.
void ParentClientRect(HWND Handle, HWND &Parent, vcl::TRect &WindowRect, vcl::TPoint &TopLeft, vcl::TSize &Size,
                      vcl::TRect &ParentRect);

// Published properties by name; an object without the property is left
// alone and reads 0. A colour property reads as RGB.
void SetIntProp(vcl::TObject *Object, const std::string &Name, std::int64_t Value);
std::int64_t GetIntProp(const vcl::TObject *Object, const std::string &Name);
vcl::TColor GetColorProp(const vcl::TObject *Object, const std::string &Name);

// The message to every child control of Control (BroadcastToChildControls),
// or without a windowed control to every direct child window of Handle.
void PassToChildren(vcl::TControl *Control, HWND Handle, const vcl::TMessage &Message);
// SC_REFRESH_GRAPHIC_CONTROL with LParam 0 to the top-level ancestor.
void NotifyTopWindowGraphic(HWND Handle);
// The control has a look of its own for hover (ForHover) or for states at
// all: its border mask has more than one state image, or its section more
// than one state.
bool HasStateImages(const TsCommonData *SkinData, bool ForHover);
// The state a control's skinned picture shows: 1 while it has the focus,
// or the mouse is over it and its skin has a hover look; else 0.
int SkinnedControlState(const TsCommonData &SkinData);

// The whole cache shows what lies behind the window at Pos in its parent:
// the parent's image, or its colour (the button face when it has none).
// Painted first where the skin may lack the window's section or image, so
// that the window shows its parent through instead of an empty bitmap.
void FillWithBackground(vcl::TBitmap &Cache, const TvlBgInfo &Bg, vcl::TPoint Pos);

// The disabled look of a control's picture: Cache (the control at Pos in
// its parent) blended toward what lies behind by the shared ratio, or
// toward the background colour when there is no image behind.
void PaintDisabledBlend(vcl::TBitmap &Cache, const TvlBgInfo &Bg, vcl::TPoint Pos);

// Builds the skin data's cache for the window when BGChanged asks for it:
// the section in the control's state over what lies behind (ParentColorOnly
// with a real main colour: a plain frame filled with it), the grey text of
// a disabled edit, the disabled look. False when the parent's background
// is not ready: PaintLocked is then set and the cache left as it was. False
// too when the parent's answer freed the asker (Asker gone): nothing of it
// is touched then, and the caller stops.
bool PaintSkinnedControl(TsCommonData &SkinData, HWND Handle, bool ParentColorOnly, const TvlAsker &Asker);

// The number of characters of a UTF-8 text (bytes that start one).
std::size_t Utf8Length(const std::string &Text);

} // namespace skin
