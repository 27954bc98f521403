#pragma once
// Reading and writing the little-endian integers of Windows file formats
// (BMP, ICO). Portable.
#include <cstdint>
#include <vector>

namespace vcl {

inline std::uint16_t ReadU16(const std::uint8_t *p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t ReadU32(const std::uint8_t *p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
inline std::int32_t ReadI32(const std::uint8_t *p) { return static_cast<std::int32_t>(ReadU32(p)); }

inline void AppendU16(std::vector<std::uint8_t> &out, unsigned v) {
    out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
}
inline void AppendU32(std::vector<std::uint8_t> &out, std::uint32_t v) {
    out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
}

} // namespace vcl
