#pragma once
// JPEG images decoded with libjpeg into DIB memory. Portable. Damaged or
// truncated data raises EInvalidGraphic with libjpeg's own description of
// what is wrong; libjpeg's memory comes from the process allocator.
#include <cstdint>
#include <span>

#include "BmpFile.h"
#include "Types.h"

namespace vcl {

// A 24-bit bottom-up image (B, G, R) of any baseline or progressive JPEG:
// colour, grey and CMYK images alike.
TDibImage DecodeJpeg(std::span<const std::uint8_t> data);

// The width and height of the image DecodeJpeg would make, read from the
// file's header alone (nothing is decoded); 0 x 0 when the header cannot be
// read.
TSize JpegImageSize(std::span<const std::uint8_t> data);

} // namespace vcl
