#pragma once
// TsSkinTables: what every painter reads of a loaded skin, as a plain base
// class. The skin manager (skin/manager) derives from it, fills the tables
// when it loads a skin and points DefaultSkinManager at itself; the painters
// of this layer see the manager only through this class, so they come before
// it and never include upward.
//
//   Masks, Sections        the mask and section tables (sMaskData.h)
//   MasterBitmap           the skin's master picture, from which a mask
//                          without an image of its own is cut
//   StdSectionIndexes      the indexes of the 28 standard sections
//   SkinActive             a skin is applied (the manager's SkinData.Active)
//   MainColor              the skin's main colour (GetMainColor)
//   StdGlyphsOrder         glyph strips keep the standard button-glyph order
//
// Index -1 means none; IsValidMaskIndex / IsValidSectionIndex guard every
// access to the tables.
#include <array>
#include <memory>

#include "sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
}

namespace skin {

// Positions in StdSectionIndexes, in the order of the standard section names.
inline constexpr int StdSectionCount = 28;
inline constexpr int ssMenuItem = 0;
inline constexpr int ssCheckBox = 1;
inline constexpr int ssGroupBox = 6;
inline constexpr int ssWebButton = 8;
// The first nine standard sections are the ones a caption may look through
// to the section under its control.
inline constexpr int StdTransparentSectionCount = 9;

class TsSkinTables {
public:
    TsSkinTables();
    TsSkinTables(const TsSkinTables &) = delete;
    TsSkinTables &operator=(const TsSkinTables &) = delete;
    virtual ~TsSkinTables();

    bool IsValidMaskIndex(int Index) const;
    bool IsValidSectionIndex(int Index) const;
    vcl::TColor GetMainColor() const { return MainColor; }

    // The pixels of the master bitmap: an empty view without one or for one
    // that is not 32-bit. Skins that tests build in memory, where the class
    // library's bitmaps do not exist, hand out their own picture here.
    virtual vcl::TBitmapView MasterImage() const;
    // The pixels one of these tables' masks is cut from: its own bitmap,
    // else the master image. Tables filled where the class library's
    // bitmaps do not exist (the build tools) hold the pictures of their
    // masks themselves and hand them out here.
    virtual vcl::TBitmapView MaskPixels(const TsMaskData &Mask) const;

    TsMaskArray Masks;
    TsGeneralDataArray Sections;
    std::shared_ptr<vcl::TBitmap> MasterBitmap;
    std::array<int, StdSectionCount> StdSectionIndexes;
    bool SkinActive = false;
    vcl::TColor MainColor = vcl::clBtnFace;
    bool StdGlyphsOrder = false;
};

// The first manager created, which serves every skinned part that names
// none of its own; null while there is none. Set and cleared by the manager.
extern TsSkinTables *DefaultSkinManager;

// Manager itself, or the default manager when Manager is null.
TsSkinTables *ManagerOrDefault(TsSkinTables *Manager);

// The pixels a mask is cut from, as its manager hands them out (MaskPixels);
// without a manager its own bitmap, else an empty view.
vcl::TBitmapView MaskImage(const TsMaskData &Mask);

// The pixels of a bitmap of the class library: empty for null, for a bitmap
// that is not 32-bit, and wherever the class library's bitmaps do not exist.
vcl::TBitmapView BitmapPixels(vcl::TBitmap *Bitmap);

} // namespace skin
