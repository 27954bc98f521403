// Resampling of the class library's bitmaps: the sizes and formats are set
// here, the pixels computed by the portable passes.
#include "vcl/Bitmap.h"
#include "vlResampling.h"

namespace skin {

void ResampleBitmap32(vcl::TBitmap &Src, vcl::TBitmap &Dst, int NewWidth, int NewHeight, int Filter) {
    if (NewWidth < 1 || NewHeight < 1 || Src.Width() < 2 || Src.Height() < 2) return;
    if (Src.Width() == NewWidth && Src.Height() == NewHeight) {
        if (&Src != &Dst) Dst.Assign(&Src);
        return;
    }
    Src.SetPixelFormat(vcl::pf32bit);
    // Giving Dst its new size replaces its pixels: resized in place, the
    // source is read from a copy.
    vcl::TBitmap copy;
    if (&Src == &Dst) copy.Assign(&Src);
    vcl::TBitmap &source = &Src == &Dst ? copy : Src;
    Dst.SetPixelFormat(vcl::pf32bit);
    Dst.SetSize(NewWidth, NewHeight);
    ResampleBitmap32(source.View(), Dst.View(), Filter);
}

} // namespace skin
