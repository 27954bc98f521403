// The colour walkers on the class library's bitmaps.
#include "vcl/Bitmap.h"
#include "vlColorEffects.h"

namespace skin {

void ForEachPixel32(vcl::TBitmap &Bmp, TPixelProc Proc, std::int32_t Arg, vcl::TColor KeyColor) {
    ForEachPixel32(Bmp.View(), Proc, Arg, KeyColor);
}

void GrayscaleBitmapKeyed32(vcl::TBitmap &Bmp, std::uint32_t Key) { GrayscaleBitmapKeyed32(Bmp.View(), Key); }

} // namespace skin
