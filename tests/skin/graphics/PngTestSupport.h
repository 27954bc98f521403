#pragma once
// Decoding PNG bytes in tests, and reading what the decoder made.
#include <string>

#include "PngWriter.h"
#include "skin/graphics/vlPNG.h"
#include "vcl/Streams.h"

namespace pngtest {

inline skin::TPngImage Decode(const TBytes &Bytes) {
    vcl::TMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), Bytes.size());
    stream.SetPosition(0);
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

// A progress report as text: "ending 0% (0,4,5,5) ", " redraw" after the percent when asked.
inline std::string ProgressText(vcl::TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow, const vcl::TRect &R,
                                const std::string &Msg) {
    const char *const stages[] = {"starting", "running", "ending"};
    return std::string(stages[Stage]) + " " + std::to_string(PercentDone) + "%" + (RedrawNow ? " redraw" : "") + " (" +
           std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom) + ") " + Msg;
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

} // namespace pngtest
