#pragma once
// TvlMnuWnd: the adapter of a popup-menu window (system class "#32768") that
// the menu painter reaches while it draws the window's items. It paints the
// window's background and frame from the painter's cached background of
// that popup, applies the manager's menu opacity, and, when the window
// goes, empties the background cache and repaints the menu windows still
// open. One adapter per menu window; none while popups are not skinned.
//
// The adapters live in TvlMnuArray (vlMenuAdapters.h). Windows only.
#include <windows.h>

#include <memory>
#include <vector>

#include "vcl/Bitmap.h"
#include "vlSBUtils.h"

namespace skin {

class TsSkinManager;

class TvlMnuWnd : public TvlMainWnd {
public:
    ~TvlMnuWnd() override;
    void SetDefaultSection() override;
    void HandleMessage(vcl::TMessage &Message) override;

    // A piece of an item (client coordinates) the system draws over after
    // the item was drawn, put back once the system is done with it; a later
    // piece of the same place replaces the earlier.
    void CoverAfterSystem(const vcl::TRect &Area, std::unique_ptr<vcl::TBitmap> Piece);

    bool FramePaintedOnce = false;
    bool Busy = false;
    int ShownFlag = 0;  // set by SC_MENU_SHOWN, cleared by every erase

private:
    struct TPiece {
        vcl::TRect Area;
        std::unique_ptr<vcl::TBitmap> Bitmap;
    };
    std::vector<TPiece> FPieces;
    bool FPiecesPosted = false;
    void PutPiecesBack();
};

} // namespace skin
