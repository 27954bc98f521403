// A packed skin is unpacked or refused with one of the library's errors,
// never with more memory than its limits allow; what unpacks, packed again,
// unpacks to the same options and images.
#include <cstring>
#include <vector>

#include <zlib.h>

#include "Checksums.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/LittleEndian.h"

namespace {

void AppendEntry(std::vector<std::uint8_t> &out, const std::string &name, vcl::TMemoryStream &data) {
    vcl::AppendU32(out, static_cast<std::uint32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    vcl::AppendU32(out, static_cast<std::uint32_t>(data.Size()));
    uLongf size = compressBound(static_cast<uLong>(data.Size()));
    std::vector<std::uint8_t> packed(size);
    compress2(packed.data(), &size, data.Memory(), static_cast<uLong>(data.Size()), 1);
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
}

std::vector<std::uint8_t> Bytes(vcl::TMemoryStream &s) { return {s.Memory(), s.Memory() + s.Size()}; }

// The adler32 of every member made right, so that mutations reach past them:
// "GMzf", the entry count, then per entry its name's length, the name, the
// unpacked size and a zlib member.
void FixMemberChecksums(zuvofuzz::TBytes &b) {
    if (b.size() < 8 || std::memcmp(b.data(), "GMzf", 4) != 0) return;
    for (std::size_t at = 8; at + 4 <= b.size();) {
        const std::uint32_t nameLength = vcl::ReadU32(b.data() + at);
        if (nameLength > b.size() - at - 4 || b.size() - at - 4 - nameLength < 4) return;
        at = zuvofuzz::FixZlibAdler(b, at + 4 + nameLength + 4, std::size_t(1) << 20);
        if (at == 0) return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    skin::TvlUnpackLimits limits;
    limits.MaxMemberSize = 1 << 20;
    limits.MaxTotalSize = 4 << 20;
    zuvofuzz::TBytes bytes(data, data + size);
    FixMemberChecksums(bytes);
    vcl::TMemoryStream source;
    if (size > 0) source.WriteBuffer(bytes.data(), size);
    skin::TvlSkinConvertor first;
    first.Source = &source;
    try {
        if (!skin::UnpackSkinData(first, limits)) return 0;
    } catch (const vcl::Exception &) {
        return 0;
    }
    if (first.FileCount != static_cast<int>(first.ImageItems.size())) __builtin_trap();

    std::vector<std::uint8_t> again{'G', 'M', 'z', 'f'};
    vcl::AppendU32(again, static_cast<std::uint32_t>(first.ImageItems.size() + (first.Options ? 1 : 0)));
    if (first.Options) AppendEntry(again, "Options.dat", *first.Options);
    for (skin::TvlImageItem &item : first.ImageItems) AppendEntry(again, item.Name, *item.Stream);
    vcl::TMemoryStream repacked;
    repacked.WriteBuffer(again.data(), again.size());
    skin::TvlSkinConvertor second;
    second.Source = &repacked;
    if (!skin::UnpackSkinData(second, limits)) __builtin_trap();
    if (!first.Options != !second.Options || (first.Options && Bytes(*first.Options) != Bytes(*second.Options)))
        __builtin_trap();
    if (second.ImageItems.size() != first.ImageItems.size()) __builtin_trap();
    for (std::size_t i = 0; i < first.ImageItems.size(); ++i)
        if (second.ImageItems[i].Name != first.ImageItems[i].Name ||
            Bytes(*second.ImageItems[i].Stream) != Bytes(*first.ImageItems[i].Stream))
            __builtin_trap();
    return 0;
}
