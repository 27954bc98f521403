#pragma once
// TsCommonDataView: what the painters read of one control's skin data. The
// per-control skin data TsCommonData (skin/manager) implements it; the
// painters of this layer take it instead, so they need nothing above them.
//
//   GetSkinManager       the manager that serves the control (own or default)
//   SkinIndex ...        section, border-mask and texture indexes (-1 none)
//   CacheBmp             the control's cached image (null before PrepareCache)
//   OwnerControl         the control itself (null for a form-less owner)
//   BGFlags              bit 0: the background comes from the parent
//   HueOffset, Saturation, ColorTone   the control's colour effects
//   CustomColor, CustomFont            the control keeps its own colours
//   OwnerColor           the colour of the control (or, for a form's skin
//                        data, of the form): a CustomColor control's fill;
//                        clFuchsia when there is no owner control
#include <cstdint>

#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TControl;
}

namespace skin {

class TsSkinTables;

// Bit of TsCommonDataView::BGFlags: the background comes from the parent.
inline constexpr std::uint16_t bgfParentBackground = 1;

class TsCommonDataView {
public:
    virtual ~TsCommonDataView() = default;

    TsSkinTables *GetSkinManager() const { return ServingTables(); }
    virtual int SkinIndex() const = 0;
    virtual int BorderIndex() const = 0;
    virtual int PatternIndex() const = 0;
    virtual int HotPatternIndex() const = 0;

    virtual vcl::TBitmap *CacheBmp() const = 0;
    // Creates the cache when missing (32-bit) and sizes it to the control.
    virtual void PrepareCache() = 0;
    virtual vcl::TControl *OwnerControl() const = 0;
    virtual std::uint16_t BGFlags() const = 0;

    virtual std::int32_t HueOffset() const = 0;
    virtual std::int32_t Saturation() const = 0;
    virtual vcl::TColor ColorTone() const = 0;  // clNone: no tint
    virtual bool CustomColor() const = 0;
    virtual bool CustomFont() const = 0;

    // A manager serves the control and its section is valid; with NeedActive
    // the manager's skin must also be applied.
    virtual bool IsSkinned(bool NeedActive) const = 0;
    // The colour behind the control's contents in State (0 normal, 1 hot).
    virtual vcl::TColor GetBackColor(int State) const = 0;
    virtual vcl::TColor OwnerColor() const = 0;
    // The section that lies under the control when it looks through to its
    // parent; Index when the parent does not say.
    virtual int QuerySectionIndexAt(int Index) const = 0;

protected:
    // GetSkinManager's answer. Not a covariant GetSkinManager: the skin data
    // answers its manager's full type without its header having to be seen
    // wherever the skin data is.
    virtual TsSkinTables *ServingTables() const = 0;
};

} // namespace skin
