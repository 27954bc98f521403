// A block pushed by a skin editor: taken only whole and with its magic, its
// fields never read past their ends, and its options text reads as an ini.
#include <cstring>

#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sPushedSkin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // The fuzzer's buffer is exactly `size` long: a read beyond it is caught.
    if (!skin::IsPushedSkinBlock(data, size)) return 0;
    skin::TvlPushedSkinBlock block;
    std::memcpy(block.data(), data, block.size());
    const auto pushed = skin::ReadPushedSkin(block);
    if (!pushed || pushed->SkinName.size() > skin::PushedNameSize ||
        pushed->SkinDirectory.size() > skin::PushedDirectorySize || pushed->Options.size() > skin::PushedOptionsSize)
        __builtin_trap();
    const skin::TvlOptionsFile ini(pushed->Options);
    skin::ReadSkinVersion(ini);
    return 0;
}
