#pragma once
// The checksums of formats that carry them, written into a fuzzer's input
// before it is read: a mutation would otherwise almost always end at the
// checksum test, and nothing behind it would be reached. Each routine
// rewrites the checksums where the input's own structure puts them and
// leaves every other byte as it is.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuvofuzz {

using TBytes = std::vector<std::uint8_t>;

inline std::uint32_t BigEndian32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

inline void PutBigEndian32(std::uint8_t *p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// The zlib stream that starts at Bytes[Start] is inflated (its check value
// not tested, at most Limit bytes of it made) and the adler32 of what it
// holds is written into its last four bytes. Answers the offset after the
// stream, or 0 when it does not end inside Bytes.
inline std::size_t FixZlibAdler(TBytes &Bytes, std::size_t Start, std::size_t Limit = std::size_t(64) << 20) {
    if (Start >= Bytes.size()) return 0;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return 0;
    inflateValidate(&z, 0);
    z.next_in = Bytes.data() + Start;
    z.avail_in = static_cast<uInt>(Bytes.size() - Start);
    std::uint8_t out[16384];
    uLong adler = adler32(0, nullptr, 0);
    std::size_t made = 0;
    int result = Z_OK;
    while (result == Z_OK && made <= Limit) {
        z.next_out = out;
        z.avail_out = sizeof out;
        result = inflate(&z, Z_NO_FLUSH);
        const std::size_t n = sizeof out - z.avail_out;
        adler = adler32(adler, out, static_cast<uInt>(n));
        made += n;
        if (result == Z_BUF_ERROR && n == 0) break;
        if (result == Z_BUF_ERROR) result = Z_OK;
    }
    const std::size_t end = Start + z.total_in;
    inflateEnd(&z);
    if (result != Z_STREAM_END || end < Start + 6) return 0;
    PutBigEndian32(Bytes.data() + end - 4, static_cast<std::uint32_t>(adler));
    return end;
}

// A PNG file: the adler32 of the zlib stream that its first run of IDAT
// chunks holds, then every chunk's CRC over its type and data.
inline void FixPngChecksums(TBytes &Bytes) {
    struct TChunk {
        std::size_t Data, Length;
        std::uint32_t Type;
    };
    std::vector<TChunk> chunks;
    for (std::size_t at = 8; at + 12 <= Bytes.size();) {
        const std::uint32_t length = BigEndian32(Bytes.data() + at);
        if (length > Bytes.size() - at - 12) break;
        chunks.push_back({at + 8, length, BigEndian32(Bytes.data() + at + 4) & 0xDFDFDFDFu});
        at += 12 + length;
    }
    // The image data as one stream, its adler written back where its bytes lie.
    TBytes stream;
    std::vector<std::size_t> where;
    bool started = false;
    for (const TChunk &c : chunks) {
        if (c.Type != 0x49444154u /* IDAT */) {
            if (started) break;
            continue;
        }
        started = true;
        for (std::size_t i = 0; i < c.Length; ++i) {
            stream.push_back(Bytes[c.Data + i]);
            where.push_back(c.Data + i);
        }
    }
    if (const std::size_t end = FixZlibAdler(stream, 0))
        for (std::size_t i = end - 4; i < end; ++i) Bytes[where[i]] = stream[i];
    for (const TChunk &c : chunks) {
        const uLong crc = crc32(crc32(0, Bytes.data() + c.Data - 4, 4), Bytes.data() + c.Data, static_cast<uInt>(c.Length));
        PutBigEndian32(Bytes.data() + c.Data + c.Length, static_cast<std::uint32_t>(crc));
    }
}

} // namespace zuvofuzz
