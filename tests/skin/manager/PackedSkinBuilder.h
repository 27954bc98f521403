#pragma once
// Packed skins made by the tests themselves: entries of any name and bytes,
// each deflated with zlib, and ways to damage the result.
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "vcl/LittleEndian.h"
#include "vcl/Streams.h"

namespace skin::test {

using Bytes = std::vector<std::uint8_t>;

struct PackedEntry {
    std::string Name;
    Bytes Data;
};

inline Bytes BytesOf(const std::string &Text) { return Bytes(Text.begin(), Text.end()); }

inline Bytes Deflate(const Bytes &Data, int Level = 9) {
    uLongf size = compressBound(static_cast<uLong>(Data.size()));
    Bytes out(size);
    compress2(out.data(), &size, Data.data(), static_cast<uLong>(Data.size()), Level);
    out.resize(size);
    return out;
}

// Data that barely compresses, so that its member is about as long as itself.
inline Bytes Noise(std::size_t Size, std::uint32_t Seed = 2463534242u) {
    Bytes data(Size);
    for (auto &b : data) {
        Seed ^= Seed << 13;
        Seed ^= Seed >> 17;
        Seed ^= Seed << 5;
        b = static_cast<std::uint8_t>(Seed);
    }
    return data;
}

inline void AppendBytes(Bytes &To, const Bytes &What) { To.insert(To.end(), What.begin(), What.end()); }

// One entry as stored: name length, name, size, member. SizeField and
// Member default to the entry's own.
inline Bytes EntryBytes(const std::string &Name, std::int32_t SizeField, const Bytes &Member) {
    Bytes out;
    vcl::AppendU32(out, static_cast<std::uint32_t>(Name.size()));
    out.insert(out.end(), Name.begin(), Name.end());
    vcl::AppendU32(out, static_cast<std::uint32_t>(SizeField));
    AppendBytes(out, Member);
    return out;
}

inline Bytes Header(std::int32_t Count) {
    Bytes out{'G', 'M', 'z', 'f'};
    vcl::AppendU32(out, static_cast<std::uint32_t>(Count));
    return out;
}

inline Bytes PackSkin(const std::vector<PackedEntry> &Entries, int Level = 9) {
    Bytes out = Header(static_cast<std::int32_t>(Entries.size()));
    for (const PackedEntry &e : Entries)
        AppendBytes(out, EntryBytes(e.Name, static_cast<std::int32_t>(e.Data.size()), Deflate(e.Data, Level)));
    return out;
}

inline void FillStream(vcl::TMemoryStream &Stream, const Bytes &Data) {
    Stream.Clear();
    if (!Data.empty()) Stream.WriteBuffer(Data.data(), Data.size());
    Stream.SetPosition(0);
}

inline Bytes StreamBytes(vcl::TMemoryStream &Stream) {
    return Bytes(Stream.Memory(), Stream.Memory() + Stream.Size());
}

} // namespace skin::test
