#pragma once
// Gradients on a class-library bitmap: the bands of the portable painter,
// and the triangle mesh through the system's GradientFill (msimg32, bound by
// name on first use; without it the triangle mode paints nothing). Windows only.
#include "vcl/Bitmap.h"
#include "vcl/Types.h"
#include "vlGradients.h"

namespace skin {

// True when msimg32's GradientFill was found.
bool GradientFillAvailable();

// Fills R (clipped to the bitmap) of a 32-bit bitmap with the gradient at
// alpha 255, in the mode of the first stop; Offset as in the portable painter.
void PaintGradient(vcl::TBitmap &Bitmap, const vcl::TRect &R, const TsGradArray &Stops, int Offset = 0);

} // namespace skin
