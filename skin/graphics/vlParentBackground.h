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
#include <memory>
#include <vector>

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

// Who asks: what the parent's answer may free, as it runs the application's
// drawing (the asker's adapter, its record, its control). Null ones are left
// out; an asker names at least one, so that none asks unawares.
class TvlAsker {
public:
    template <class First, class... T> explicit TvlAsker(const First *Object, const T *...Objects) {
        Mark(Object);
        (Mark(Objects), ...);
    }
    bool Gone() const {
        for (const auto &mark : FMarks)
            if (mark.expired()) return true;
        return false;
    }

private:
    template <class T> void Mark(const T *Object) {
        if (Object) FMarks.push_back(Object->LifeMark().Token());
    }
    std::vector<std::weak_ptr<const void>> FMarks;
};

#ifdef _WIN32
// Both ask; false when the asker went while the parent answered: the caller
// stops there, touching nothing of its own. The result says whether the
// caller may go on, not whether the window answered: every caller needs the
// first, none the second (an unanswered question still gets a colour).
// Asks Parent (by SendMessage when it has a window, else by Perform). With
// PaintIntoDC the caller has set X, Y, Rect and DC.
bool QueryParentBackground(TvlBgQuery &Query, vcl::TControl *Parent, bool PaintIntoDC, const TvlAsker &Asker);
// Asks a window by its handle.
bool QueryParentBackgroundWnd(TvlBgQuery &Query, HWND Wnd, bool PaintIntoDC, const TvlAsker &Asker);

// The colour behind a control's contents: a skinned control's answer to
// SC_GET_BG_COLOR, else its own colour (RGB); clFuchsia for null.
vcl::TColor GetControlColor(vcl::TControl *Control);

// The disabled look of a control's image: as PaintDisabledLook of
// vlPixelHelpers, the colour behind being Control's.
void PaintDisabledLook(vcl::TBitmap &Bitmap, int Kind, vcl::TControl *Control, const TvlBgInfo *BgInfo,
                       vcl::TPoint Offset);
#endif

} // namespace skin
