#include "vlSkinConvertor.h"

#include <cstring>

#include "skin/graphics/vlZLibEx.h"
#include "vcl/LittleEndian.h"
#include "vcl/SysUtils.h"

namespace skin {

VCL_CLASS_INFO(TvlSkinConvertor)

namespace {

// The smallest entry: name length, size and the shortest zlib stream (two
// header bytes, an empty final block of two, the four-byte checksum).
constexpr std::int64_t MinEntrySize = 4 + 4 + 8;
// Deflate's best case is 258 bytes from about two bits; with the zlib
// wrapper and a little slack, no member inflates beyond this many times its
// compressed bytes.
constexpr std::int64_t MaxInflateRatio = 1032;

std::int64_t Remaining(vcl::TStream &S) { return S.Size() - S.Position(); }

std::int32_t ReadInt32(vcl::TStream &S, const char *What) {
    std::uint8_t b[4];
    if (S.Read(b, 4) != 4) throw ESkinFormatError(std::string("Packed skin ends inside ") + What);
    return vcl::ReadI32(b);
}

std::string Quoted(const std::string &Name) { return "\"" + Name + "\""; }

// Inflates one member of Size bytes from the source's position and checks
// that its zlib stream ends right there; afterwards the source stands right
// after the stream.
std::unique_ptr<vcl::TMemoryStream> InflateMember(vcl::TStream &Source, std::int64_t Size, const std::string &Name) {
    auto out = std::make_unique<vcl::TMemoryStream>();
    out->SetSize(Size);
    TZDecompressionStream z(Source);
    std::int64_t done = 0;
    while (done < Size) {
        const std::size_t got = z.Read(out->Memory() + done, static_cast<std::size_t>(Size - done));
        if (got == 0)
            throw ESkinFormatError("Packed skin member " + Quoted(Name) + " holds fewer than its " +
                                   vcl::IntToStr(Size) + " bytes");
        done += static_cast<std::int64_t>(got);
    }
    // One read more: a byte means the member is larger than it says; none
    // means its zlib stream ended, and only then has the stream given back
    // what it read ahead, leaving the source at the next entry.
    std::uint8_t extra;
    if (z.Read(&extra, 1) != 0)
        throw ESkinFormatError("Packed skin member " + Quoted(Name) + " is larger than its " + vcl::IntToStr(Size) +
                               " bytes");
    if (!z.EndOfStream()) throw ESkinFormatError("Packed skin member " + Quoted(Name) + " is cut short");
    return out;
}

bool IsOptionsName(const std::string &Name) { return vcl::UpperCase(Name) == "OPTIONS.DAT"; }

} // namespace

TvlSkinConvertor::~TvlSkinConvertor() { Clear(); }

void TvlSkinConvertor::Clear() {
    while (!ImageItems.empty()) ImageItems.pop_back();
    FileCount = 0;
    Options.reset();
    Source = nullptr;
    OwnedSource.reset();
}

TvlImageItem *TvlSkinConvertor::FindImage(std::string_view UpperName) {
    for (TvlImageItem &item : ImageItems)
        if (vcl::UpperCase(item.Name) == UpperName) return &item;
    return nullptr;
}

bool HasPackedSkinSignature(vcl::TStream &Data) {
    char head[4];
    Data.SetPosition(0);
    return Data.Read(head, 4) == 4 && std::memcmp(head, PackedSkinSignature, 4) == 0;
}

bool UnpackSkinData(TvlSkinConvertor &Convertor, const TvlUnpackLimits &Limits) {
    if (!Convertor.Source) return false;
    vcl::TStream &source = *Convertor.Source;
    if (!HasPackedSkinSignature(source)) return false;

    const std::int32_t count = ReadInt32(source, "its entry count");
    if (count < 0 || count > Remaining(source) / MinEntrySize)
        throw ESkinFormatError("Packed skin names " + vcl::IntToStr(count) + " entries, which its " +
                               vcl::IntToStr(source.Size()) + " bytes cannot hold");

    std::unique_ptr<vcl::TMemoryStream> options;
    TvlImageItems images;
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t nameLength = ReadInt32(source, "an entry's name length");
        if (nameLength < 0 || nameLength > Limits.MaxNameLength || nameLength > Remaining(source) - 4)
            throw ESkinFormatError("Packed skin entry " + vcl::IntToStr(i + 1) + " has a name length of " +
                                   vcl::IntToStr(nameLength) + " bytes");
        std::string name(static_cast<std::size_t>(nameLength), '\0');
        source.ReadBuffer(name.data(), name.size());

        const std::int32_t size = ReadInt32(source, "an entry's size");
        const std::int64_t packedLeft = Remaining(source);
        if (size < 0 || size > Limits.MaxMemberSize || size > packedLeft * MaxInflateRatio)
            throw ESkinFormatError("Packed skin member " + Quoted(name) + " claims an impossible size of " +
                                   vcl::IntToStr(size) + " bytes");
        total += size;
        if (total > Limits.MaxTotalSize)
            throw ESkinFormatError("Packed skin unpacks to more than " + vcl::IntToStr(Limits.MaxTotalSize) +
                                   " bytes");

        auto data = InflateMember(source, size, name);
        if (IsOptionsName(name)) {
            options = std::move(data);  // a later options entry replaces an earlier one
        } else {
            TvlImageItem item;
            item.IsBitmap = vcl::UpperCase(vcl::ExtractFileExt(name)) == ".BMP";
            item.Name = std::move(name);
            item.Stream = std::move(data);
            images.push_back(std::move(item));
        }
    }

    // Only a whole skin replaces what the convertor held.
    while (!Convertor.ImageItems.empty()) Convertor.ImageItems.pop_back();
    Convertor.ImageItems = std::move(images);
    Convertor.FileCount = static_cast<int>(Convertor.ImageItems.size());
    Convertor.Options = std::move(options);
    return true;
}

} // namespace skin
