#pragma once
// Sizes made from a skin's values where the values alone do not bound them:
// the glow window around a control and the extended border around a form,
// both grown by the margins of a picture of the skin (fixed fields of up to
// four digits), and pictures made of a mask's frames. The windows reach at
// most MaxSkinMeasure pixels beyond what they surround, the pictures no
// further than the skin's images, so that nothing made from them grows
// beyond what a 32-bit process can hold. Portable.
#include "skin/graphics/sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// The glow window of a control whose rectangle is R: R grown by the margins
// of the glow's picture (Margins: left, top, right, bottom; 0 without a
// picture) and brought in on every side by the section's glow margin (a
// negative one grows it). A size below 0 is 0.
vcl::TRect GlowWindowRect(const vcl::TRect &R, const vcl::TRect &Margins, int GlowMargin);

// How far the extended border's picture reaches beyond a form on each side:
// with a border mode the form's own border width (FORMOFFSET) all round,
// else the margins of the "EXBORDER" picture less that border (the form's
// border lies inside the picture). Never below 0, since a border window
// smaller than its form would leave the form's edges uncovered, and never
// beyond MaxSkinMeasure.
vcl::TRect ExtBorderMarginsOf(const TsMaskData &ExBorder, int FormOffset, int BorderMode);

// R is a rect of Image (the master bitmap or a mask's own picture): its
// sides are not turned over and it lies inside the image; an empty one
// does, where it lies inside. The load takes a mask's rect only then, so
// that whatever is made of its frames (a caption button, the extended
// border's picture, a glow) is no larger than the skin's pictures.
bool RectLiesIn(const vcl::TRect &R, const vcl::TBitmapView &Image);

} // namespace skin
