#pragma once
// The skin-wide colour effects: the manager's HueOffset, Saturation and
// Brightness recolour a skin once, right after it is read (hue, then
// saturation, then brightness). These are the pieces that only compute:
// the section colours, the skin colours and the master bitmap's pixels.
// The key colour 0xFF00FF is never recoloured. Portable.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "sSkinData.h"
#include "skin/graphics/sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

using TColorOp = std::function<vcl::TColor(vcl::TColor)>;

// Saturation percent to the pixel routines' amount: percent * 2.55,
// rounded, within -255 .. 255.
std::int32_t SaturationAmount(std::int32_t Percent);

// Op on the recoloured values of every state of every section: COLOR, GCOL,
// FONTCOLOR, the four contour colours and both colours of every gradient
// stop. Values that are not RGB (-1 for none, system colour codes) are left
// as they are.
void RecolorSections(TsGeneralDataArray &Sections, const TColorOp &Op);
// Op on the skin colour slots selected by RecoloredSkinColors.
void RecolorSkinColors(TvlSkinColors &Colors, const TColorOp &Op);

// The masks of GLOBALINFO whose pictures keep their colours under a hue
// rotation when the skin's BIKEEPHUE is KeepHue (above 0): the close glyphs,
// with 1 also the other title glyphs, and the glow picture of each. Only
// items cut from the master bitmap count (an own bitmap is not in it).
std::vector<vcl::TRect> HueKeptRects(const TsMaskArray &Masks, std::int32_t KeepHue);

// Rotates the hue of every pixel of the master bitmap outside Kept.
void RotateMasterHue(const vcl::TBitmapView &Master, std::int32_t Degrees, const std::vector<vcl::TRect> &Kept);
// Brightens every pixel, then puts back the pixels of Restored: the mask
// halves, which must stay black and white.
void BrightenMaster(const vcl::TBitmapView &Master, std::int32_t Amount, const std::vector<vcl::TRect> &Restored);
// The mask halves of the items cut from the master bitmap with mask type 1.
std::vector<vcl::TRect> MaskHalves(const TsMaskArray &Masks);

} // namespace skin
