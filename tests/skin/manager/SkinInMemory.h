#pragma once
// A skin read from an options text and a master picture held in memory, the
// way the manager reads a skin folder: the library's portable readers fill
// the tables, the global values and the outer effects, so that every
// painter and size helper can take it. Every picture file the options name
// is one small picture of this reader's. Portable.
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "skin/graphics/sSkinTables.h"
#include "skin/manager/sIndexCache.h"
#include "skin/manager/sSkinData.h"
#include "vcl/BitmapView.h"

namespace vcl {
class TStrings;
}

namespace skin::test {

class TSkinInMemory : public TsSkinTables {
public:
    // Raises vcl::EConvertError for a value the load cannot read, as the
    // manager's load does. Common: the application's common sections.
    TSkinInMemory(std::string_view Options, vcl::TPixels32 Master, const vcl::TStrings *Common = nullptr);

    vcl::TBitmapView MasterImage() const override { return FMaster.View(); }
    vcl::TBitmapView MaskPixels(const TsMaskData &Mask) const override;

    TsSkinData Data;
    TvlOutEffArray OutEffects;
    TvlCommonElements Elements;
    TvlSkinColors Colors{};

    // The master picture of the tests: W x H opaque grey with a key pixel
    // in every corner, so that corner scans find some.
    static vcl::TPixels32 Master(int W = 64, int H = 48);

private:
    class TReader;
    mutable vcl::TPixels32 FMaster;
    mutable vcl::TPixels32 FPicture;                    // the picture of every file name
    std::set<std::pair<std::string, std::string>> FOwn;  // masks cut from it: section, key
};

// Every section of the skin in every state, and every mask in every state,
// painted by the portable painters into small images over a background
// picture, with rects that start inside and outside the images.
void PaintEverySectionAndMask(TSkinInMemory &Skin);

} // namespace skin::test
