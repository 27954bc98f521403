#include "sPushedSkin.h"

#include <algorithm>

#include "vcl/LittleEndian.h"

namespace skin {

namespace {

constexpr std::size_t NameOffset = 4;
constexpr std::size_t DirectoryOffset = NameOffset + PushedNameSize;
constexpr std::size_t OptionsOffset = DirectoryOffset + PushedDirectorySize;
static_assert(OptionsOffset + PushedOptionsSize == PushedSkinBlockSize);

std::string Field(const TvlPushedSkinBlock &Block, std::size_t Offset, std::size_t Size) {
    const auto first = Block.begin() + static_cast<std::ptrdiff_t>(Offset);
    const auto last = first + static_cast<std::ptrdiff_t>(Size);
    return std::string(first, std::find(first, last, std::uint8_t{0}));
}

} // namespace

bool IsPushedSkinBlock(const void *Data, std::size_t Size) {
    return Data != nullptr && Size >= PushedSkinBlockSize &&
           vcl::ReadU32(static_cast<const std::uint8_t *>(Data)) == PushedSkinMagic;
}

std::optional<TvlPushedSkin> ReadPushedSkin(const TvlPushedSkinBlock &Block) {
    if (vcl::ReadU32(Block.data()) != PushedSkinMagic) return std::nullopt;
    return TvlPushedSkin{Field(Block, NameOffset, PushedNameSize), Field(Block, DirectoryOffset, PushedDirectorySize),
                         Field(Block, OptionsOffset, PushedOptionsSize)};
}

} // namespace skin
