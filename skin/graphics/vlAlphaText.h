#pragma once
// Text with proper alpha in a 32-bit bitmap: GDI draws it black on white
// into a temporary, whose pixels then colour the destination (the pixel
// half is BlendTextImage32 of vlPixelHelpers). Windows only.
#include <windows.h>

#include <string>

#include "vcl/Bitmap.h"
#include "vcl/Types.h"

namespace skin {

// Draws Text in the bitmap canvas's font and in Colour into R of the 32-bit
// Bitmap with DrawText's Flags. Mode 0 is opaque (alpha 255 where the text
// is); any other mode is transparent and leaves premultiplied pixels.
// Nothing for an empty text or R, or a bitmap that is not 32-bit.
void DrawAlphaText(vcl::TBitmap &Bitmap, const std::string &Text, int Mode, const vcl::TRect &R, UINT Flags,
                   vcl::TColor Colour);

} // namespace skin
