#pragma once
// What lies behind a transparent control, asked of its parent: the child
// sends SM_SKINCOMMAND SC_GET_BG_INFO with a TvlBgQuery, and the parent
// answers with its image (and where the child sits in it), a colour, or
// paints its background into a device context. Unanswered questions fall
// back to the parent painting itself, or to a colour.
//
// The askers clear the record first (no image, no colour, no margins, no
// answer). Answer kinds: bqColor, bqImage, and bqNoImage, which counts as
// nothing behind unless the parent still set a colour.
#include "sSkinCommand.h"
#include "vlCommonUtils.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vcl {
class TBitmap;
class TControl;
}

namespace skin {

// The answer as the painters take it: an image answer as InitBgInfo gives
// it; any other keeps the query's image, offsets and margins (a parent lends
// its cache that way) with the colour (system colours resolved) to be used.
void BgQueryToBgInfo(const TvlBgQuery &Query, TvlBgInfo &Info);

#ifdef _WIN32
// Asks Parent (by SendMessage when it has a window, else by Perform). With
// PaintIntoDC the caller has set X, Y, Rect and DC. Always true.
bool QueryParentBackground(TvlBgQuery &Query, vcl::TControl *Parent, bool PaintIntoDC);
// Asks a window by its handle; true when it answered.
bool QueryParentBackgroundWnd(TvlBgQuery &Query, HWND Wnd, bool PaintIntoDC);

// The colour behind a control's contents: a skinned control's answer to
// SC_GET_BG_COLOR, else its own colour (RGB); clFuchsia for null.
vcl::TColor GetControlColor(vcl::TControl *Control);

// The disabled look of a control's image: as PaintDisabledLook of
// vlPixelHelpers, the colour behind being Control's.
void PaintDisabledLook(vcl::TBitmap &Bitmap, int Kind, vcl::TControl *Control, const TvlBgInfo *BgInfo,
                       vcl::TPoint Offset);
#endif

} // namespace skin
