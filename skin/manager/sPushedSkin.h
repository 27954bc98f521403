#pragma once
// The block with which an external skin editor pushes a skin into the
// running program (WM_COPYDATA, dwData 7): a magic number and three 8-bit
// text fields of fixed size, each ending at its first zero byte or at the
// field's end. Portable.
//
//   offset 0    4      magic 0xA400 (little-endian)
//   offset 4    128    skin name
//   offset 132  512    skin directory
//   offset 644  30001  the whole options text
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace skin {

inline constexpr std::uint32_t PushedSkinMagic = 0xA400;
inline constexpr std::size_t PushedSkinBlockSize = 30645;
inline constexpr std::size_t PushedNameSize = 128;
inline constexpr std::size_t PushedDirectorySize = 512;
inline constexpr std::size_t PushedOptionsSize = 30001;

// The raw block as the manager keeps the last one received.
using TvlPushedSkinBlock = std::array<std::uint8_t, PushedSkinBlockSize>;

struct TvlPushedSkin {
    std::string SkinName;
    std::string SkinDirectory;
    std::string Options;
};

// True when Data holds a whole block (at least PushedSkinBlockSize bytes)
// that starts with the magic. A shorter block is never read beyond its size.
bool IsPushedSkinBlock(const void *Data, std::size_t Size);
// The fields of a block, byte for byte as the editor wrote them (8-bit
// text in its ANSI code page; the options text, like a file's, is UTF-8
// when it starts with the byte order mark); nothing when its magic is wrong.
std::optional<TvlPushedSkin> ReadPushedSkin(const TvlPushedSkinBlock &Block);

} // namespace skin
