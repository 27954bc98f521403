// A PNG stream is decoded or refused with the reader's own errors (an
// invalid image, a zlib failure, a stream that ends early); a decoded image
// has the size its header announced and pixel memory to match. The input's
// chunk CRCs and the adler32 of its image data are made right first, so
// that mutations reach past them.
#include "Checksums.h"
#include "skin/graphics/vlPNG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    zuvofuzz::TBytes bytes(data, data + size);
    zuvofuzz::FixPngChecksums(bytes);
    vcl::TMemoryStream stream;
    if (size > 0) stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    skin::TPngImage image;
    try {
        image = skin::ReadPngImage(stream);
    } catch (const vcl::EInvalidGraphic &) {
        return 0;
    } catch (const vcl::EReadError &) {
        return 0;
    } catch (const skin::EGraphicCompression &) {
        return 0;
    }
    const std::size_t line = static_cast<std::size_t>(vcl::BytesPerScanLine(image.Dib.Width, vcl::PixelFormatBits(image.Dib.PixelFormat)));
    if (image.Dib.Width < 1 || image.Dib.Height < 1 || image.Dib.Bits.size() != line * image.Dib.Height) __builtin_trap();
    if (image.ImageProperties.Width != static_cast<std::uint32_t>(image.Dib.Width)) __builtin_trap();
    return 0;
}
