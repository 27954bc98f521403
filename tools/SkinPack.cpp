#include "SkinPack.h"

#include <zlib.h>

#include <cstdint>
#include <limits>

namespace skintools {

namespace {

void PutInt(Bytes &Out, std::int32_t Value) {
    const auto v = static_cast<std::uint32_t>(Value);
    for (int shift = 0; shift < 32; shift += 8) Out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::int32_t GetInt(const Bytes &In, std::size_t &At) {
    if (In.size() - At < 4) throw ImageError("packed skin truncated");
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | In[At + static_cast<std::size_t>(i)];
    At += 4;
    return static_cast<std::int32_t>(v);
}

// Members of a skin are pictures and a text: far below this.
constexpr std::int32_t MaxMemberSize = 64 * 1024 * 1024;

} // namespace

Bytes PackSkin(const std::vector<PackedMember> &Members) {
    if (Members.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ImageError("too many members");
    Bytes out{'G', 'M', 'z', 'f'};
    PutInt(out, static_cast<std::int32_t>(Members.size()));
    for (const PackedMember &member : Members) {
        if (member.Name.empty() || member.Data.size() > static_cast<std::size_t>(MaxMemberSize))
            throw ImageError("member " + member.Name + ": no name or too large");
        PutInt(out, static_cast<std::int32_t>(member.Name.size()));
        out.insert(out.end(), member.Name.begin(), member.Name.end());
        PutInt(out, static_cast<std::int32_t>(member.Data.size()));
        uLongf packedSize = compressBound(static_cast<uLong>(member.Data.size()));
        Bytes packed(packedSize);
        if (compress2(packed.data(), &packedSize, member.Data.data(), static_cast<uLong>(member.Data.size()), 9) != Z_OK)
            throw ImageError("member " + member.Name + ": compression failed");
        out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    }
    return out;
}

std::vector<PackedMember> UnpackSkin(const Bytes &Packed) {
    if (Packed.size() < 8 || Packed[0] != 'G' || Packed[1] != 'M' || Packed[2] != 'z' || Packed[3] != 'f')
        throw ImageError("not a packed skin");
    std::size_t at = 4;
    const std::int32_t count = GetInt(Packed, at);
    // Each entry takes at least 4 + 1 + 4 + 8 bytes (the smallest zlib stream).
    if (count < 0 || static_cast<std::size_t>(count) > (Packed.size() - at) / 17)
        throw ImageError("packed skin: entry count does not fit the data");
    std::vector<PackedMember> members;
    for (std::int32_t i = 0; i < count; ++i) {
        PackedMember member;
        const std::int32_t nameLength = GetInt(Packed, at);
        if (nameLength <= 0 || nameLength > 255 || static_cast<std::size_t>(nameLength) > Packed.size() - at)
            throw ImageError("packed skin: bad name length");
        member.Name.assign(reinterpret_cast<const char *>(Packed.data() + at), static_cast<std::size_t>(nameLength));
        at += static_cast<std::size_t>(nameLength);
        const std::int32_t size = GetInt(Packed, at);
        if (size < 0 || size > MaxMemberSize) throw ImageError("packed skin: bad size of " + member.Name);
        // Room for one byte more than the size: a member that fills it is
        // larger than it says.
        member.Data.resize(static_cast<std::size_t>(size) + 1);

        z_stream stream{};
        if (inflateInit(&stream) != Z_OK) throw ImageError("zlib start failed");
        stream.next_in = const_cast<Bytef *>(Packed.data() + at);
        stream.avail_in = static_cast<uInt>(Packed.size() - at);
        stream.next_out = member.Data.data();
        stream.avail_out = static_cast<uInt>(member.Data.size());
        const int result = inflate(&stream, Z_FINISH);
        const std::size_t consumed = Packed.size() - at - stream.avail_in;
        const bool whole = result == Z_STREAM_END && stream.total_out == static_cast<uLong>(size);
        inflateEnd(&stream);
        if (!whole) throw ImageError("packed skin: member " + member.Name + " does not inflate to its size");
        member.Data.resize(static_cast<std::size_t>(size));
        at += consumed;
        members.push_back(std::move(member));
    }
    return members;
}

} // namespace skintools
