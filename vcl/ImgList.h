#pragma once
// TCustomImageList: images of one size kept in the system's image list
// (comctl32), each with its mask, drawn transparently where the mask is set.
// As much of the list as the glyph painters use: its handle, sizes and
// count, adding images with a mask bitmap or a mask colour, and drawing one.
// Windows only.
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "Component.h"
#include "GdiObjects.h"
#include "Types.h"

namespace vcl {

class TBitmap;
class TCanvas;
class TCustomImageList;

// Tells its holder that the images of a list changed. The holder owns the
// link and registers it with the list; the list and the link forget each
// other whichever goes first.
class TChangeLink {
public:
    TChangeLink() = default;
    TChangeLink(const TChangeLink &) = delete;
    TChangeLink &operator=(const TChangeLink &) = delete;
    // Leaves the list it is registered with.
    ~TChangeLink();

    TCustomImageList *Sender() const { return FSender; }
    // Called by the list (the link's OnChange with the list as Sender).
    void Change();
    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList *FSender = nullptr;  // not owned
};

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

    // The links hear every change of the images (size, added images).
    // A link is registered with one list at a time.
    void RegisterChanges(TChangeLink *Link);
    void UnRegisterChanges(TChangeLink *Link);
    ~TCustomImageList() override;

protected:
    void Change();

private:
    void CreateList();

    std::vector<TChangeLink *> FLinks;  // not owned: their holders own them
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
