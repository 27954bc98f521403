#include "SkinPack.h"

#include <zlib.h>

#include <cstdint>
#include <limits>

#include "skin/manager/vlSkinConvertor.h"
#include "vcl/LittleEndian.h"

namespace skintools {

Bytes PackSkin(const std::vector<PackedMember> &Members) {
    if (Members.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw ImageError("too many members");
    const skin::TvlUnpackLimits limits;
    Bytes out;
    out.reserve(8);
    out.insert(out.end(), std::begin(skin::PackedSkinSignature), std::end(skin::PackedSkinSignature));
    vcl::AppendU32(out, static_cast<std::uint32_t>(Members.size()));
    std::int64_t total = 0;
    for (const PackedMember &member : Members) {
        total += static_cast<std::int64_t>(member.Data.size());
        if (member.Name.empty() || static_cast<std::int64_t>(member.Name.size()) > limits.MaxNameLength ||
            static_cast<std::int64_t>(member.Data.size()) > limits.MaxMemberSize || total > limits.MaxTotalSize)
            throw ImageError("member " + member.Name + ": no name, or a name or data too large for the reader");
        vcl::AppendU32(out, static_cast<std::uint32_t>(member.Name.size()));
        out.insert(out.end(), member.Name.begin(), member.Name.end());
        vcl::AppendU32(out, static_cast<std::uint32_t>(member.Data.size()));
        uLongf packedSize = compressBound(static_cast<uLong>(member.Data.size()));
        Bytes packed(packedSize);
        if (compress2(packed.data(), &packedSize, member.Data.data(), static_cast<uLong>(member.Data.size()), 9) != Z_OK)
            throw ImageError("member " + member.Name + ": compression failed");
        out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    }
    return out;
}

} // namespace skintools
