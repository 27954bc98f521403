#include "PreviewText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace skintools {

struct TextPainter::Library {
    FT_Library Lib = nullptr;
    FT_Face Face = nullptr;
    ~Library() {
        if (Face) FT_Done_Face(Face);
        if (Lib) FT_Done_FreeType(Lib);
    }
};

namespace {

std::vector<char32_t> Decode(const std::string &Text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < Text.size();) {
        const auto c = static_cast<unsigned char>(Text[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < Text.size(); ++k) cp = cp << 6 | (Text[i + k] & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

} // namespace

TextPainter::TextPainter(const std::string &FontFile) : FLibrary(std::make_unique<Library>()) {
    if (FT_Init_FreeType(&FLibrary->Lib) != 0) throw std::runtime_error("FreeType does not start");
    if (FT_New_Face(FLibrary->Lib, FontFile.c_str(), 0, &FLibrary->Face) != 0)
        throw std::runtime_error("cannot open the font " + FontFile);
}

TextPainter::~TextPainter() = default;

int TextPainter::Height(int PixelSize) const {
    FT_Set_Pixel_Sizes(FLibrary->Face, 0, static_cast<FT_UInt>(PixelSize));
    const FT_Size_Metrics &m = FLibrary->Face->size->metrics;
    return static_cast<int>((m.ascender - m.descender) >> 6);
}

int TextPainter::Ascent(int PixelSize) const {
    FT_Set_Pixel_Sizes(FLibrary->Face, 0, static_cast<FT_UInt>(PixelSize));
    return static_cast<int>(FLibrary->Face->size->metrics.ascender >> 6);
}

int TextPainter::Measure(const std::string &Text, int PixelSize) const {
    FT_Set_Pixel_Sizes(FLibrary->Face, 0, static_cast<FT_UInt>(PixelSize));
    long width = 0;
    for (char32_t cp : Decode(Text))
        if (FT_Load_Char(FLibrary->Face, cp, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) == 0) width += FLibrary->Face->glyph->advance.x;
    return static_cast<int>(width >> 6);
}

void TextPainter::Draw(Image &Target, int X, int Y, const std::string &Text, int PixelSize, RGB Colour) const {
    const int baseline = Y + Ascent(PixelSize);
    long pen = static_cast<long>(X) << 6;
    for (char32_t cp : Decode(Text)) {
        if (FT_Load_Char(FLibrary->Face, cp, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) continue;
        const FT_GlyphSlot g = FLibrary->Face->glyph;
        const int gx = static_cast<int>(pen >> 6) + g->bitmap_left, gy = baseline - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                const int x = gx + static_cast<int>(col), y = gy + static_cast<int>(row);
                if (!Target.Contains(x, y)) continue;
                // A light gamma so grey-scale edges keep their weight on light faces.
                const float a = std::pow(g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f, 0.8f);
                Pixel &d = Target.At(x, y);
                auto mix = [&](int dv, int cv) { return static_cast<std::uint8_t>(std::lround(dv + (cv - dv) * a)); };
                d = {mix(d.R, Colour.R), mix(d.G, Colour.G), mix(d.B, Colour.B), d.A};
            }
        pen += g->advance.x;
    }
}

} // namespace skintools
