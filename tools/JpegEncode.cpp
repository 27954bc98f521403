#include "JpegEncode.h"

#include <cstdio>
#include <cstdlib>

// jpeglib.h uses size_t and FILE without declaring them.
#include <jpeglib.h>

namespace tools {

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t> &Rgb, int Width, int Height, int Quality,
                                     const std::vector<std::vector<std::uint8_t>> &Comments) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = static_cast<JDIMENSION>(Width);
    info.image_height = static_cast<JDIMENSION>(Height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (const std::vector<std::uint8_t> &text : Comments)
        jpeg_write_marker(&info, JPEG_COM, text.data(), static_cast<unsigned>(text.size()));
    while (info.next_scanline < info.image_height) {
        // libjpeg reads the rows without changing them.
        JSAMPROW row = const_cast<std::uint8_t *>(&Rgb[static_cast<std::size_t>(info.next_scanline) * Width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> jpeg(buffer, buffer + length);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return jpeg;
}

} // namespace tools
