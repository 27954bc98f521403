#pragma once
// One load of a skin, built aside from the manager's tables: the master
// bitmap, the mask table and the pictures loaded from files (from the skin's
// folder or its unpacked container), then the section table, the skin
// colours and the index cache. The manager takes the results over only when
// the whole load succeeded, so a skin that fails half-way leaves the one
// before it whole. Windows only.
#include <memory>
#include <string>

#include "sIndexCache.h"
#include "sMaskTableReader.h"
#include "sSkinData.h"
#include "skin/graphics/sMaskData.h"
#include "vcl/Streams.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TStrings;
}

namespace skin {

class TsSkinManager;
class TvlOptionsFile;
class TvlSkinConvertor;

// The largest picture or options file that a folder skin may hold.
inline constexpr std::int64_t MaxSkinFileSize = 64 * 1024 * 1024;

class TvlSkinLoad : public TvlMaskTableReader {
public:
    // Convertor is the unpacked skin of a packed or stored skin, null for a
    // folder; SkinPath the folder (with its trailing backslash).
    TvlSkinLoad(TsSkinManager &Manager, const TvlOptionsFile &Options, TvlSkinConvertor *Convertor,
                std::string SkinPath);

    // Images, sections, colours and effects, the index cache. Raises on a
    // damaged value or picture; the manager's tables are not touched.
    void Run(int FrameWidth);

    // The results (and Masks).
    std::shared_ptr<vcl::TBitmap> Master;
    TvlExtArray ExtImages;
    TsGeneralDataArray Sections;
    TsSkinData Data;
    TvlSkinColors Colors{};
    TvlOutEffArray OutEffects;
    TvlCommonElements Elements;

    // A picture loaded before under exactly that name; null when none.
    vcl::TBitmap *FindExternalImage(const std::string &FileName) const;

protected:
    vcl::TBitmapView MasterPixels() const override;
    bool FindPicture(const std::string &FileName, vcl::TBitmapView &Pixels) override;
    void SharePicture(TsMaskData &Mask, const std::string &FileName) override;

private:
    void LoadSkinImages();
    void LoadMasterBitmap();
    void LoadCommonSectionPictures();
    // The picture of that (upper-cased) name, loaded once per load; null when
    // the skin does not have it.
    vcl::TBitmap *FindPictureBitmap(const std::string &FileName);
    vcl::TBitmap *LoadImageFile(const std::string &FileName, vcl::TStream *Stream);
    void ReadSectionTable(int FrameWidth);
    void LoadOuterEffectMask(TvlOutEffect &Effect, const std::string &Key);

    TsSkinManager &FManager;
    TvlSkinConvertor *FConvertor;  // not owned; null for a folder skin
    std::string FSkinPath;
};

// Reads a picture file of the skin into Bitmap by the extension its name
// carries (".BMP", ".JPG"/".JPEG", ".PNG"; other names leave it empty).
// PNG pictures are premultiplied when Premultiply is set. Then the bitmap is
// made 32-bit with opaque pixels except the key colour.
void LoadSkinPicture(vcl::TBitmap &Bitmap, const std::string &FileName, vcl::TStream &Stream, bool Premultiply);
// A BMP file from the stream's position into a 32-bit bitmap (Opaque: see
// CopyToSkinPixels).
void LoadSkinBitmap(vcl::TBitmap &Bitmap, vcl::TStream &Stream, bool Opaque, const std::string &Name);
// Opaque 32 bits: pixels equal to 0xFF00FF get alpha 0, all others 255.
void MakeOpaque32(vcl::TBitmap &Bitmap);
// A file of a folder skin read whole into memory; raises EReadError for a
// file above MaxSkinFileSize.
std::unique_ptr<vcl::TMemoryStream> ReadSkinFile(const std::string &FileName);

// 8-bit text of the system's code page, as an options text and an editor's
// push hold names and folders, in the UTF-8 that paths are built from.
std::string CodePageToUtf8(const std::string &Text);

} // namespace skin
