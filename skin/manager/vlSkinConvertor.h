#pragma once
// The packed skin: the options text "Options.dat" and the skin's image
// files, each a zlib member, behind the signature "GMzf" and an entry count.
// A packed file (".gmz") and the "Data" of a stored skin hold the same
// bytes. TvlSkinConvertor is the unpacked skin that the loader reads the
// options text and the images from. Portable.
//
// Layout (little-endian):  "GMzf"  n:int32  n x { L:int32  name[L]  S:int32  zlib member }
// A member has no stored compressed length: the next entry starts right
// after the end of its zlib stream.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/Persistent.h"
#include "vcl/Streams.h"
#include "vcl/System.h"

namespace skin {

// A packed skin whose contents are damaged: counts, lengths or sizes that
// cannot be right, or a member that is longer or shorter than it says.
// The member data itself failing to inflate is EZDecompressionError.
class ESkinFormatError : public vcl::EReadError {
    using vcl::EReadError::EReadError;
};

// What a packed skin may claim before it is believed. Deflate expands at
// most about 1032:1, and a skin is a few hundred kilobytes; these bounds
// keep a damaged or hostile file from asking for gigabytes.
struct TvlUnpackLimits {
    std::int64_t MaxNameLength = 1024;
    std::int64_t MaxMemberSize = 64 * 1024 * 1024;
    std::int64_t MaxTotalSize = 256 * 1024 * 1024;
};

// One image file of the skin.
struct TvlImageItem {
    std::string Name;  // as stored
    bool IsBitmap = false;  // the name's extension is ".BMP" in any case
    std::unique_ptr<vcl::TMemoryStream> Stream;  // the inflated file, owned
};
using TvlImageItems = std::vector<TvlImageItem>;

class TvlSkinConvertor : public vcl::TPersistent {
    VCL_CLASS(TvlSkinConvertor, vcl::TPersistent)
public:
    TvlSkinConvertor() = default;
    ~TvlSkinConvertor() override;

    // The inflated options text; null until an "Options.dat" entry was read.
    std::unique_ptr<vcl::TMemoryStream> Options;
    // The packed data being read: a stored skin's stream (borrowed) or a
    // packed file read into memory (then held by OwnedSource as well).
    vcl::TStream *Source = nullptr;
    std::unique_ptr<vcl::TStream> OwnedSource;
    // The number of image items. (Counting entries less one would hide the
    // last image of a skin that has no options entry.)
    int FileCount = 0;
    TvlImageItems ImageItems;

    // Frees the image streams from the last to the first, then the options
    // and an owned source; a borrowed source is only let go.
    void Clear();
    // The first image item whose name, upper-cased, equals UpperName; null
    // when there is none.
    TvlImageItem *FindImage(std::string_view UpperName);
};

// The signature of a packed skin.
inline constexpr char PackedSkinSignature[4] = {'G', 'M', 'z', 'f'};

// True when Data starts with the signature.
bool HasPackedSkinSignature(vcl::TStream &Data);

// Unpacks Convertor.Source from its start. Answers false, and leaves the
// convertor as it was, when the data does not begin with the signature.
// Damaged contents raise ESkinFormatError or EZDecompressionError and also
// leave the convertor as it was; on success the options and image items
// are replaced by the unpacked ones. The source stays where the last member
// ended.
bool UnpackSkinData(TvlSkinConvertor &Convertor, const TvlUnpackLimits &Limits = {});

} // namespace skin
