// BMP files and packed DIBs are read or refused with EInvalidGraphic; what
// is read writes back to a file that reads again.
#include "vcl/BmpFile.h"
#include "vcl/System.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    vcl::BmpFileSize(bytes);
    for (auto read : {&vcl::ReadBmpFile, &vcl::ReadPackedDib}) {
        try {
            vcl::TDibImage image = read(bytes);
            const vcl::TDibImage again = vcl::ReadBmpFile(vcl::WriteBmpFile(image.Layout()));
            if (!image.Bits.empty() && (again.Width != image.Width || again.Height != image.Height ||
                                        again.PixelFormat != image.PixelFormat))
                __builtin_trap();
        } catch (const vcl::EInvalidGraphic &) {
        }
    }
    return 0;
}
