// A zlib member is inflated or refused with EZDecompressionError; whatever
// the size of the reads, the stream hands out the same bytes, as many as
// Size() announced.
#include "Checksums.h"
#include "skin/graphics/vlZLibEx.h"

#include <vector>

namespace {

std::vector<std::uint8_t> Inflated(vcl::TStream &source, std::size_t piece) {
    source.SetPosition(0);
    skin::TZDecompressionStream z(source);
    std::vector<std::uint8_t> out;
    for (std::size_t got = piece; got != 0;) {
        out.resize(out.size() + piece);
        got = z.Read(out.data() + out.size() - piece, piece);
        out.resize(out.size() - piece + got);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // The member's adler32 made right, so that mutations reach past it.
    zuvofuzz::TBytes bytes(data, data + size);
    zuvofuzz::FixZlibAdler(bytes, 0);
    data = bytes.data();
    vcl::TMemoryStream source;
    if (size > 0) source.WriteBuffer(data, size);
    std::vector<std::uint8_t> whole;
    try {
        whole = Inflated(source, 1 << 20);
    } catch (const skin::EZDecompressionError &) {
        return 0;
    }
    // The first byte picks a small read size, so that reads end anywhere.
    if (Inflated(source, 1 + (size ? data[0] % 97 : 0)) != whole) __builtin_trap();
    source.SetPosition(0);
    skin::TZDecompressionStream z(source);
    if (z.Size() != static_cast<std::int64_t>(whole.size())) __builtin_trap();
    return 0;
}
