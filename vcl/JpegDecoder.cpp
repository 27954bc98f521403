#include "JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "System.h"

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace vcl {
namespace {

// Larger images than this are refused before their pixels are allocated:
// 192 MB at 24 bits is as much as a 32-bit program can spare for one image.
constexpr std::uint64_t MaxPixels = std::uint64_t(1) << 26;
// libjpeg's own buffers (the whole-image coefficients of a progressive file)
// beyond this make it fail instead of allocating.
constexpr long MaxDecoderMemory = 512L << 20;
// Each scan of a progressive file walks all blocks of its components: a
// few bytes per scan could otherwise buy work without end. Encoders write
// about ten.
constexpr int MaxScans = 500;

struct TErrorManager {
    jpeg_error_mgr Public;  // first: libjpeg sees only this part
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool EndedEarly;
};

// libjpeg cannot unwind C++ frames: its errors jump back to the phase that
// called it, which turns them into an exception.
void ErrorExit(j_common_ptr info) {
    auto *error = reinterpret_cast<TErrorManager *>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Warnings go nowhere, except that data ending early ends the decoding:
// libjpeg would go on filling the rest of the image with grey, however
// large the header says it is, and call that a success.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        auto *error = reinterpret_cast<TErrorManager *>(info->err);
        error->EndedEarly = true;
        std::longjmp(error->Jump, 1);
    }
}

void OutputMessage(j_common_ptr) {}

void MonitorProgress(j_common_ptr info) {
    const auto *d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number <= MaxScans)
        return;
    auto *error = reinterpret_cast<TErrorManager *>(info->err);
    std::snprintf(error->Message, sizeof error->Message, "the file has more than %d scans", MaxScans);
    std::longjmp(error->Jump, 1);
}

struct TDecoder {
    jpeg_decompress_struct Info{};
    TErrorManager Error{};
    jpeg_progress_mgr Progress{};
    bool Created = false;

    TDecoder() {
        Progress.progress_monitor = MonitorProgress;
        Info.err = jpeg_std_error(&Error.Public);
        Error.Public.error_exit = ErrorExit;
        Error.Public.emit_message = EmitMessage;
        Error.Public.output_message = OutputMessage;
    }
    ~TDecoder() {
        if (Created)
            jpeg_destroy_decompress(&Info);
    }
    [[noreturn]] void Fail() const {
        if (Error.EndedEarly)
            throw EInvalidGraphic("Cannot load JPEG image: the data ends before the image does.");
        throw EInvalidGraphic(std::string("Cannot load JPEG image: ") + Error.Message + ".");
    }
};

// The phases below keep nothing but plain data in their frames, so that a
// jump out of libjpeg skips no destructor.
bool ReadHeader(TDecoder &d, const std::uint8_t *data, std::size_t size) {
    if (setjmp(d.Error.Jump))
        return false;
    jpeg_create_decompress(&d.Info);
    d.Created = true;
    d.Info.mem->max_memory_to_use = MaxDecoderMemory;
    d.Info.progress = &d.Progress;  // after jpeg_create_decompress, which clears it
    jpeg_mem_src(&d.Info, const_cast<unsigned char *>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&d.Info, TRUE);
    // Colour images come as RGB; grey and CMYK as they are, widened below.
    const J_COLOR_SPACE space = d.Info.jpeg_color_space;
    d.Info.out_color_space = space == JCS_GRAYSCALE ? JCS_GRAYSCALE
                             : space == JCS_CMYK || space == JCS_YCCK ? JCS_CMYK
                                                                      : JCS_RGB;
    jpeg_calc_output_dimensions(&d.Info);
    return true;
}

// Every 8 x 8 block of every component costs at least one bit of coded
// data (a Huffman code is never shorter), so a file can hold no more blocks
// than eight times its size: a larger header is a lie that would cost
// memory and time out of all proportion to the file. Arithmetic coding can
// do with less on flat images; such files are refused by the same rule, as
// the system's own decoders refuse arithmetic coding altogether.
bool BlocksFit(const TDecoder &d, std::size_t size) {
    std::uint64_t blocks = 0;
    for (int c = 0; c < d.Info.num_components; ++c)
        blocks += std::uint64_t(d.Info.comp_info[c].width_in_blocks) * d.Info.comp_info[c].height_in_blocks;
    return blocks <= 8 * std::uint64_t(size);
}

// One decoded row (grey, RGB or CMYK samples) as B, G, R.
void ConvertRow(const TDecoder &d, const JSAMPLE *from, std::uint8_t *to) {
    const int components = d.Info.out_color_components;
    // Adobe writes CMYK inverted: 255 means no ink.
    const bool inverted = d.Info.saw_Adobe_marker;
    for (JDIMENSION x = 0; x < d.Info.output_width; ++x, from += components, to += 3) {
        if (components == 1) {
            to[0] = to[1] = to[2] = from[0];
        } else if (components == 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        } else {
            // Each channel: the light its ink lets through times what black lets through.
            const int keyLight = inverted ? from[3] : 255 - from[3];
            for (int c = 0; c < 3; ++c) {
                const int light = inverted ? from[c] : 255 - from[c];
                to[2 - c] = static_cast<std::uint8_t>((light * keyLight + 127) / 255);
            }
        }
    }
}

bool Decompress(TDecoder &d, JSAMPLE *row, std::uint8_t *bits, std::ptrdiff_t stride) {
    if (setjmp(d.Error.Jump))
        return false;
    jpeg_start_decompress(&d.Info);
    // Bottom-up: image line y lies at memory row height - 1 - y.
    std::uint8_t *line = bits + static_cast<std::ptrdiff_t>(d.Info.output_height - 1) * stride;
    while (d.Info.output_scanline < d.Info.output_height) {
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&d.Info, rows, 1) != 1)
            break;
        ConvertRow(d, row, line);
        line -= stride;
    }
    jpeg_finish_decompress(&d.Info);
    return true;
}

} // namespace

TSize JpegImageSize(std::span<const std::uint8_t> data) {
    TDecoder decoder;
    if (!ReadHeader(decoder, data.data(), data.size()))
        return {};
    return {static_cast<int>(decoder.Info.output_width), static_cast<int>(decoder.Info.output_height)};
}

TDibImage DecodeJpeg(std::span<const std::uint8_t> data) {
    TDecoder decoder;
    if (!ReadHeader(decoder, data.data(), data.size()))
        decoder.Fail();
    const std::uint64_t width = decoder.Info.output_width, height = decoder.Info.output_height;
    if (width == 0 || height == 0 || width * height > MaxPixels)
        throw EInvalidGraphic("Cannot load JPEG image: the image is too large (" + std::to_string(width) + " x " +
                              std::to_string(height) + ").");
    if (!BlocksFit(decoder, data.size()))
        throw EInvalidGraphic("Cannot load JPEG image: the data is too short for an image of " +
                              std::to_string(width) + " x " + std::to_string(height) + ".");
    TDibImage image;
    image.Width = static_cast<int>(width);
    image.Height = static_cast<int>(height);
    image.PixelFormat = pf24bit;
    const std::ptrdiff_t stride = BytesPerScanLine(image.Width, 24);
    std::vector<JSAMPLE> row;
    try {
        image.Bits.assign(static_cast<std::size_t>(stride) * image.Height, 0);
        row.resize(static_cast<std::size_t>(width) * decoder.Info.out_color_components);
    } catch (const std::bad_alloc &) {
        throw EInvalidGraphic("Cannot load JPEG image: there is not enough memory for an image of " +
                              std::to_string(width) + " x " + std::to_string(height) + ".");
    }
    if (!Decompress(decoder, row.data(), image.Bits.data(), stride))
        decoder.Fail();
    return image;
}

} // namespace vcl
