#pragma once
// A packed skin as the preview tool paints it. The skinning library reads it
// (the container, the options text, the picture values, the BMP, JPEG and
// PNG pictures) into the tables that its painters read, and those painters
// draw it: sections over what lies behind them, glyphs through their masks,
// so that a preview shows what the program will. Where the program's
// manager keeps the class library's bitmaps, which do not exist on the
// build machine, the book keeps its pictures as pixel memory and hands them
// out to the painters.
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "SkinImage.h"
#include "skin/graphics/sSkinTables.h"
#include "skin/manager/sSkinData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {
class TvlOptionsFile;
}

namespace skintools {

using Rect = vcl::TRect;

struct RGB {
    int R = 0, G = 0, B = 0;
};

RGB ColourOf(vcl::TColor Colour);  // system colours resolved
Pixel PixelOf(RGB C);

class SkinBook : public skin::TsSkinTables {
public:
    // Damaged data, a skin without options text or without its master
    // bitmap raise (ImageError, or the library's errors).
    explicit SkinBook(const Bytes &Packed);
    ~SkinBook() override;

    // The GLOBALINFO values and the skin colours, as the manager reads them.
    const skin::TsSkinData &Data() const { return FData; }
    const skin::TvlSkinColors &Colors() const { return FColors; }
    // The master bitmap as it was read (alpha dropped).
    Image MasterPicture() const;

    // The section of that name; raises when the skin has none.
    int Section(const std::string &Name) const;
    // The section's mask of that key, else its parents'; raises when none.
    const skin::TsMaskData &Mask(const std::string &Section, const std::string &Key) const;
    // The record of a state that the painters take for State.
    const skin::TsGenState &Look(const std::string &Section, int State) const;

    // The section in the state over R of Target: what Target holds under R
    // is what lies behind, as a control's parent background is.
    void PaintSection(Image &Target, const Rect &R, const std::string &Section, int State) const;
    // One state of a glyph with its top-left corner at (X, Y); Faded draws
    // it as an inactive window does.
    void DrawGlyph(Image &Target, int X, int Y, const skin::TsMaskData &Glyph, int State, bool Faded = false) const;

    vcl::TBitmapView MasterImage() const override;
    vcl::TBitmapView MaskPixels(const skin::TsMaskData &Mask) const override;

private:
    class PictureReader;

    std::unique_ptr<skin::TvlOptionsFile> FOptions;
    skin::TsSkinData FData;
    skin::TvlSkinColors FColors{};
    mutable vcl::TPixels32 FMaster;
    // The picture files by name, and which file each item is cut from
    // (by its section and key).
    std::map<std::string, std::unique_ptr<vcl::TPixels32>> FPictures;
    std::map<std::pair<std::string, std::string>, vcl::TPixels32 *> FItemPictures;
};

} // namespace skintools
