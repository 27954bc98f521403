#pragma once
// Makes JPEG files for the tests with libjpeg's encoder.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace vcl::test {

struct TJpegRecipe {
    int Width = 16;
    int Height = 16;
    int Components = 3;  // 1 grey, 3 RGB, 4 CMYK (stored inverted, as Adobe does)
    bool Progressive = false;
    // The samples of pixel (x, y), Components of them.
    std::function<void(int x, int y, std::uint8_t *samples)> Pixel;
};

inline std::vector<std::uint8_t> EncodeJpeg(const TJpegRecipe &recipe) {
    jpeg_compress_struct c{};
    jpeg_error_mgr error{};
    c.err = jpeg_std_error(&error);
    jpeg_create_compress(&c);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(recipe.Width);
    c.image_height = static_cast<JDIMENSION>(recipe.Height);
    c.input_components = recipe.Components;
    c.in_color_space = recipe.Components == 1 ? JCS_GRAYSCALE : recipe.Components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    if (recipe.Progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(recipe.Width) * recipe.Components);
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < recipe.Width; ++x)
            recipe.Pixel(x, static_cast<int>(c.next_scanline), &row[static_cast<std::size_t>(x) * recipe.Components]);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

// Four 8 x 8 quadrants: red, green (top), blue, white (bottom).
inline std::vector<std::uint8_t> QuadrantJpeg(bool progressive = false) {
    TJpegRecipe recipe;
    recipe.Progressive = progressive;
    recipe.Pixel = [](int x, int y, std::uint8_t *s) {
        static const std::uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        const std::uint8_t *c = colours[(y / 8) * 2 + x / 8];
        s[0] = c[0];
        s[1] = c[1];
        s[2] = c[2];
    };
    return EncodeJpeg(recipe);
}

} // namespace vcl::test
