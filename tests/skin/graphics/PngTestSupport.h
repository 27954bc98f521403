#pragma once
// Decoding PNG bytes in tests, and reading what the decoder made.
#include <string>

#include "PngWriter.h"
#include "skin/graphics/vlPNG.h"
#include "vcl/Streams.h"

namespace pngtest {

// Stream holds Bytes, positioned at their start.
inline void Fill(vcl::TMemoryStream &Stream, const TBytes &Bytes) {
    Stream.Clear();
    Stream.WriteBuffer(Bytes.data(), Bytes.size());
    Stream.SetPosition(0);
}

inline skin::TPngImage Decode(const TBytes &Bytes) {
    vcl::TMemoryStream stream;
    Fill(stream, Bytes);
    return skin::ReadPngImage(stream);
}

// The message of the error that decoding raises; "" when it succeeds.
inline std::string ErrorOf(const TBytes &Bytes) {
    try {
        Decode(Bytes);
        return "";
    } catch (const vcl::Exception &e) {
        return e.Message();
    }
}

// The value a pixel holds: the index of an indexed format, else B | G << 8 | R << 16 | A << 24.
inline unsigned PixelValue(vcl::TDibImage &Dib, int x, int y) {
    const vcl::TDibLayout layout = Dib.Layout();
    const std::uint8_t *line = layout.Line(y);
    switch (layout.PixelFormat) {
    case vcl::pf1bit: return (line[x / 8] >> (7 - x % 8)) & 1;
    case vcl::pf4bit: return (line[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case vcl::pf8bit: return line[x];
    case vcl::pf24bit: return line[3 * x] | line[3 * x + 1] << 8 | line[3 * x + 2] << 16;
    default: return line[4 * x] | line[4 * x + 1] << 8 | line[4 * x + 2] << 16 | unsigned(line[4 * x + 3]) << 24;
    }
}

inline constexpr const char *InvalidFormat = "Cannot load image. Invalid or unexpected PNG image format.";
inline constexpr const char *CrcError = "Cannot load image. CRC error found in PNG file.";
inline constexpr const char *CompressionError = "Cannot load image. Compression error found in PNG file.";
inline constexpr const char *ExtraData = "Cannot load image. Extra compressed data found in PNG file.";
inline constexpr const char *CriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
inline constexpr const char *PaletteInvalid = "Cannot load image. Palette in PNG file is invalid.";
inline constexpr const char *ColorFormat = "Invalid color format in PNG file.";
inline constexpr const char *CompressionScheme =
    "Cannot load image. The compression scheme is not supported for PNG files.";
inline constexpr const char *StreamReadError = "Stream read error";

} // namespace pngtest
