#pragma once
// libpng as the reference decoder of tests and benchmarks: a whole file in
// memory to raw samples (Adam7 combined, samples below 8 bits one a byte
// and unscaled, no gamma). Host only.
#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace pngtest {

// libpng's view of a file: raw samples, 16-bit ones as big-endian words.
struct TLibpngImage {
    int Channels = 0;
    int Depth = 0;
    std::vector<std::uint8_t> Bytes;
    std::vector<png_bytep> Rows;

    unsigned Sample(int x, int y, int c) const {
        const int i = x * Channels + c;
        return Depth == 16 ? unsigned(Rows[y][2 * i]) << 8 | Rows[y][2 * i + 1] : Rows[y][i];
    }
};

struct TLibpngReadState {
    const std::vector<std::uint8_t> *Data;
    std::size_t Position;
};

inline void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto *state = static_cast<TLibpngReadState *>(png_get_io_ptr(png));
    if (state->Position + count > state->Data->size()) png_error(png, "read past the end");
    std::memcpy(out, state->Data->data() + state->Position, count);
    state->Position += count;
}

// False when libpng finds the file damaged. Only trivially destructible
// objects live in this function after setjmp.
inline bool DecodeWithLibpng(const std::vector<std::uint8_t> &File, TLibpngImage &Raw) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TLibpngReadState state{&File, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    Raw.Depth = png_get_bit_depth(png, info);
    Raw.Channels = png_get_channels(png, info);
    if (Raw.Depth < 8) png_set_packing(png);  // one byte a sample, values unscaled
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    Raw.Bytes.assign(rowBytes * height, 0);
    Raw.Rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) Raw.Rows[y] = Raw.Bytes.data() + y * rowBytes;
    png_read_image(png, Raw.Rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace pngtest
