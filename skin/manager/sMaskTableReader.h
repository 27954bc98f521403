#pragma once
// The mask table of a skin load, read from the picture keys of its options
// text: every key of every section in the file's order ("MASTERBITMAP" of
// GLOBALINFO aside) dispatched by its value code, each picture value an item
// cut from the master bitmap or from a picture file of its own, with its
// margins and its corner class. Portable: how the master bitmap and the
// picture files are found, decoded and held is the business of the loader
// that derives from the reader (the manager's load on Windows, the build
// tools' reading of a packed skin on the host).
#include <cstdint>
#include <functional>
#include <string>

#include "sSkinImageCodes.h"
#include "skin/graphics/sMaskData.h"
#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

class TsSkinTables;
class TvlOptionsFile;

// Visit(SectionIndex, Section, Key, Value) for each picture value of the
// options text, in the file's order; values that are no picture (numbers,
// colours, names) are passed over. A value that cannot be read, and a
// vcl::EConvertError out of Visit, raise vcl::EConvertError that names the
// section, the key and the value.
using TvlImageKeyVisitor = std::function<void(int SectionIndex, const std::string &Section, const std::string &Key,
                                              const TvlImageValue &Value)>;
void ForEachImageKey(const TvlOptionsFile &Options, const TvlImageKeyVisitor &Visit);

class TvlMaskTableReader {
public:
    // The items get Tables as their manager.
    TvlMaskTableReader(TsSkinTables &Tables, const TvlOptionsFile &Options);
    virtual ~TvlMaskTableReader() = default;
    TvlMaskTableReader(const TvlMaskTableReader &) = delete;
    TvlMaskTableReader &operator=(const TvlMaskTableReader &) = delete;

    TsMaskArray Masks;

    // Appends a zero-filled mask item; answers its index.
    int AddMaskItem(int SectionIndex, const std::string &PropertyName, const std::string &SectionName,
                    std::uint8_t ImageKind, const vcl::TRect &R, int ImageCount, int DrawMode, int MaskType);
    // The item a picture value describes, the rect R of Image (the master
    // bitmap or the item's own picture), with the value's margins brought
    // within one frame (0 to its width or height). A rect that does not lie
    // in Image, or whose sides are turned over, adds no item (-1).
    int AddValueItem(int SectionIndex, const std::string &Section, const std::string &Key, const TvlImageValue &V,
                     const vcl::TRect &R, const vcl::TBitmapView &Image);
    // Every picture key of the options text into Masks. A picture file that
    // the skin lacks, or one without pixels, adds no item; nor does a value
    // whose rect runs out of its picture.
    void ReadImageKeys();
    // The picture of an outer effect taken from the skin's image: the value
    // of GLOBALINFO's Key read in the columns of a '^' item whatever its
    // first character, cut from the master bitmap, as an item of image kind
    // 0. Its index, or -1 when the key is empty or its rect is no rect of
    // the master.
    int AddOuterEffectItem(const std::string &Key);

protected:
    // The master bitmap's pixels, which the corner scan of '^' items reads.
    virtual vcl::TBitmapView MasterPixels() const = 0;
    // The picture file of that name (as the upper-cased value writes it),
    // loaded at most once per load: false when the skin lacks it, else
    // Pixels shows it (empty for a picture without pixels).
    virtual bool FindPicture(const std::string &FileName, vcl::TBitmapView &Pixels) = 0;
    // Mask is cut from the picture FileName that FindPicture found: the item
    // holds on to that picture.
    virtual void SharePicture(TsMaskData &Mask, const std::string &FileName) = 0;

    TsSkinTables &FTables;
    const TvlOptionsFile &FOptions;

private:
    void AddImageItem(int SectionIndex, const std::string &Section, const std::string &Key, const TvlImageValue &V);
};

} // namespace skin
