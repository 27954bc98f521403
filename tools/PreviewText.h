#pragma once
// Text for the preview pictures, rendered with FreeType from a TrueType
// font file (the Wine fonts that the test machines carry), grey-scale
// anti-aliased, UTF-8 in.
#include <memory>
#include <string>

#include "SkinComposer.h"

namespace skintools {

class TextPainter {
public:
    explicit TextPainter(const std::string &FontFile);
    ~TextPainter();
    TextPainter(const TextPainter &) = delete;
    TextPainter &operator=(const TextPainter &) = delete;

    // Width in pixels of Text at the pixel size.
    int Measure(const std::string &Text, int PixelSize) const;
    // Draws with the top of the line at Y (the line is Height(PixelSize) high).
    void Draw(Image &Target, int X, int Y, const std::string &Text, int PixelSize, RGB Colour) const;
    int Height(int PixelSize) const;
    int Ascent(int PixelSize) const;

private:
    struct Library;
    std::unique_ptr<Library> FLibrary;
};

} // namespace skintools
