#pragma once
// TCustomImageList: images of one size kept in the system's image list
// (comctl32), each with its mask, drawn transparently where the mask is set.
// As much of the list as the glyph painters use: its handle, sizes and
// count, adding images with a mask bitmap or a mask colour, and drawing one.
// Windows only.
#include <windows.h>

#include <commctrl.h>

#include "Component.h"
#include "GdiObjects.h"
#include "Types.h"

namespace vcl {

class TBitmap;
class TCanvas;

class TCustomImageList : public TComponent {
    VCL_CLASS(TCustomImageList, TComponent)
public:
    // An empty list of 16 x 16 images.
    explicit TCustomImageList(TComponent *AOwner);

    // The system's list, owned by this object; null when it could not be made.
    HIMAGELIST Handle() const { return FHandle.Get(); }
    bool HandleAllocated() const { return static_cast<bool>(FHandle); }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list: the system's list holds one size only.
    void SetSize(int AWidth, int AHeight);
    int Count() const;

    // Adds Image, cut into Width-wide images, with the mask of the same size
    // (white: transparent; null: opaque). The index of the first image
    // added, -1 when none was. Image and Mask stay as they are.
    int Add(TBitmap *Image, TBitmap *Mask);
    // The same with every pixel of MaskColor transparent.
    int AddMasked(TBitmap *Image, TColor MaskColor);
    // Image Index with its top-left at (X, Y) of the canvas; a disabled
    // image is drawn embossed in the system's disabled look.
    void Draw(TCanvas &Canvas, int X, int Y, int Index, bool Enabled = true);

private:
    void CreateList();

    TOwnedHandle<HIMAGELIST, ImageList_Destroy> FHandle;
    int FWidth = 16;
    int FHeight = 16;
};

// The image list as forms and menus hold it.
class TImageList : public TCustomImageList {
    VCL_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};

} // namespace vcl
