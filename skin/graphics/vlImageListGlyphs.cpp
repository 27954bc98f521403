#include "vlImageListGlyphs.h"

#include <algorithm>

#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ImgList.h"
#include "vlGraphUtils.h"
#include "vlSkinPieces.h"

namespace skin {

vcl::TSize DrawImageListGlyph(vcl::TCustomImageList &ImageList, vcl::TBitmap &Dst, int X, int Y, int Index,
                              int Frame, int FrameCount) {
    if (Dst.Width() <= 0 || !ImageList.HandleAllocated() || Index < 0) return {};
    const int n = std::max(FrameCount, 1);
    const int w = ImageList.Width() / n, h = ImageList.Height();
    // A negative frame would take its columns left of the image.
    const int left = w * std::clamp(Frame, 0, n - 1);
    // The frame's place in a temporary of the whole image holds what lies
    // behind it, so that the list's transparent pixels show the destination.
    auto temp = NewBitmap32(ImageList.Width(), h);
    CopyPixels(temp->View(), left, 0, Dst.View(), X, Y, w, h);
    ImageList.Draw(*temp->Canvas(), 0, 0, Index);
    CopyPixels(Dst.View(), X, Y, temp->View(), left, 0, w, h);
    return {w, h};
}

void DrawImageListGlyphOnCanvas(vcl::TCustomImageList &ImageList, HDC DC, int X, int Y, int Index, int Frame,
                                int FrameCount) {
    if (!DC || !ImageList.HandleAllocated()) return;
    const int w = ImageList.Width(), h = ImageList.Height();
    auto temp = NewBitmap32(w, h);
    BitBlt(temp->Canvas()->Handle(), 0, 0, w, h, DC, X, Y, SRCCOPY);
    DrawImageListGlyph(ImageList, *temp, 0, 0, Index, Frame, FrameCount);
    BitBlt(DC, X, Y, w, h, temp->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace skin
