// zlib and libjpeg link and work on both presets.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

TEST(Dependencies, ZlibRoundTripsData) {
    std::vector<unsigned char> data(10000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 % 251);
    uLongf packedSize = compressBound(data.size());
    std::vector<unsigned char> packed(packedSize);
    ASSERT_EQ(compress(packed.data(), &packedSize, data.data(), data.size()), Z_OK);
    std::vector<unsigned char> back(data.size());
    uLongf backSize = back.size();
    ASSERT_EQ(uncompress(back.data(), &backSize, packed.data(), packedSize), Z_OK);
    EXPECT_EQ(back, data);
}

TEST(Dependencies, LibjpegEncodesAndDecodesAGreyImage) {
    constexpr int w = 16, h = 8;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    {
        jpeg_compress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_mem_dest(&c, &buffer, &size);
        c.image_width = w;
        c.image_height = h;
        c.input_components = 1;
        c.in_color_space = JCS_GRAYSCALE;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 100, TRUE);
        jpeg_start_compress(&c, TRUE);
        unsigned char row[w];
        for (int x = 0; x < w; ++x) row[x] = 128;
        while (c.next_scanline < c.image_height) {
            JSAMPROW rows[1] = {row};
            jpeg_write_scanlines(&c, rows, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
    }
    ASSERT_GT(size, 0u);
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, buffer, size);
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    jpeg_start_decompress(&d);
    EXPECT_EQ(static_cast<int>(d.output_width), w);
    EXPECT_EQ(static_cast<int>(d.output_height), h);
    unsigned char row[w];
    JSAMPROW rows[1] = {row};
    while (d.output_scanline < d.output_height) {
        jpeg_read_scanlines(&d, rows, 1);
        EXPECT_NEAR(row[0], 128, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::free(buffer);
}
