#include "ImgList.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "GdiObjects.h"

#include <algorithm>

namespace vcl {

namespace {

// The bitmap object, out of its canvas's DC: the image list selects it into
// a DC of its own, and a bitmap can be selected into one DC at a time.
HBITMAP Detached(TBitmap *Bitmap) {
    if (!Bitmap || Bitmap->Empty()) return nullptr;
    Bitmap->Canvas()->FreeHandle();
    return Bitmap->Handle();
}

} // namespace

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(FSender);
}

TCustomImageList::TCustomImageList(TComponent *AOwner) : TComponent(AOwner) { CreateList(); }

TCustomImageList::~TCustomImageList() {
    for (TChangeLink *link : FLinks) link->FSender = nullptr;
}

void TCustomImageList::RegisterChanges(TChangeLink *Link) {
    if (!Link || Link->FSender == this) return;
    if (Link->FSender) Link->FSender->UnRegisterChanges(Link);
    Link->FSender = this;
    FLinks.push_back(Link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink *Link) {
    if (!Link || Link->FSender != this) return;
    std::erase(FLinks, Link);
    Link->FSender = nullptr;
}

void TCustomImageList::Change() {
    // A handler may register or leave: it walks a copy.
    const std::vector<TChangeLink *> links = FLinks;
    for (TChangeLink *link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->Change();
}

void TCustomImageList::CreateList() {
    FHandle.Reset(ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 0, 4));
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    CreateList();
    Change();
}

int TCustomImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle.Get()) : 0; }

int TCustomImageList::Add(TBitmap *Image, TBitmap *Mask) {
    HBITMAP image = Detached(Image);
    if (!FHandle || !image) return -1;
    const int index = ImageList_Add(FHandle.Get(), image, Detached(Mask));
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap *Image, TColor MaskColor) {
    if (!FHandle || !Image || Image->Empty()) return -1;
    // The system blackens the masked pixels of the bitmap it is given.
    TBitmap copy;
    copy.Assign(Image);
    const int index =
        ImageList_AddMasked(FHandle.Get(), Detached(&copy), static_cast<COLORREF>(ColorToRGB(MaskColor) & 0xFFFFFF));
    if (index >= 0) Change();
    return index;
}

void TCustomImageList::Draw(TCanvas &Canvas, int X, int Y, int Index, bool Enabled) {
    if (!FHandle) return;
    if (Enabled) {
        ImageList_Draw(FHandle.Get(), Index, Canvas.Handle(), X, Y, ILD_TRANSPARENT);
        return;
    }
    const TIconHandle icon(ImageList_GetIcon(FHandle.Get(), Index, ILD_TRANSPARENT));
    if (icon)
        DrawStateW(Canvas.Handle(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, X, Y, FWidth, FHeight,
                   DST_ICON | DSS_DISABLED);
}

VCL_CLASS_INFO(TCustomImageList)
VCL_CLASS_INFO(TImageList)

} // namespace vcl
