// JPEG files are decoded or refused with EInvalidGraphic, within the time
// and memory that their size allows.
#include "vcl/JpegDecoder.h"
#include "vcl/System.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    try {
        vcl::DecodeJpeg({data, size});
    } catch (const vcl::EInvalidGraphic &) {
    }
    return 0;
}
