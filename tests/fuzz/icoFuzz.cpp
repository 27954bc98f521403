// Icon files go through the checks TIcon makes before the system sees an
// image: each is read or refused with EInvalidGraphic.
#include "vcl/IcoFile.h"
#include "vcl/System.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const std::vector<vcl::TIconDirEntry> entries = vcl::ReadIconDirectory(bytes);
        if (vcl::ImagesEnd(entries) > size) return 0;
        for (int wanted : {16, 32, 256}) {
            const vcl::TIconDirEntry &entry = entries[vcl::ChooseIconImage(entries, wanted, wanted)];
            vcl::CheckIconImage(bytes.subspan(entry.Offset, entry.Size));
        }
    } catch (const vcl::EInvalidGraphic &) {
    }
    return 0;
}
