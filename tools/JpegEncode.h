#pragma once
// Compresses an RGB picture (rows from the top, three bytes a pixel) into a
// baseline JPEG in memory, for the build-time programs that make pictures.
// Comments, when given, go into COM segments right after the JFIF header.
#include <cstdint>
#include <vector>

namespace tools {

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t> &Rgb, int Width, int Height, int Quality,
                                     const std::vector<std::vector<std::uint8_t>> &Comments = {});

} // namespace tools
