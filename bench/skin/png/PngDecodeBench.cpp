// PNG decoding beside libpng (linked with the same zlib) on 1920 x 1080
// photo-like images: RGBA, RGB, 8-bit palette and RGBA with Adam7, each
// written by libpng with its default filters and compression. Figures are
// megabytes of decoded pixels (as libpng delivers them: 4, 3 or 1 byte a
// pixel) per second; the rows at the end (bench/BenchRows.h) give the pairs
// that scripts/bench.sh puts in its table. Both sides make a new image per
// decode.
#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "LibpngReader.h"
#include "bench/BenchRows.h"
#include "skin/graphics/vlPNG.h"
#include "vcl/Streams.h"

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

using TBytes = std::vector<std::uint8_t>;

// Smooth colour fields with a little grain, so that the filters and the
// compression meet what photographs give them.
std::uint8_t PhotoSample(int x, int y, int c, std::uint32_t &seed) {
    seed = seed * 1664525u + 1013904223u;
    const double field = 128 + 60 * std::sin(x * 0.011 + c * 1.3) * std::cos(y * 0.017 - c * 0.7) +
                         40 * std::sin((x + y) * 0.004 + c) + 20 * std::cos(x * 0.05) * std::sin(y * 0.031);
    return static_cast<std::uint8_t>(std::clamp(field + static_cast<int>(seed >> 29) - 4, 0.0, 255.0));
}

struct TWriteBuffer {
    TBytes Bytes;
};

void WriteToMemory(png_structp png, png_bytep data, png_size_t size) {
    auto *out = static_cast<TWriteBuffer *>(png_get_io_ptr(png));
    out->Bytes.insert(out->Bytes.end(), data, data + size);
}

// A whole file written by libpng from top-down rows of raw samples.
TBytes EncodeWithLibpng(int ColorType, bool Interlaced, const TBytes &Pixels, const TBytes &Palette) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    TWriteBuffer out;
    const std::size_t rowBytes = Pixels.size() / Height;
    std::vector<png_bytep> rows(Height);
    for (int y = 0; y < Height; ++y) rows[y] = const_cast<png_bytep>(Pixels.data() + y * rowBytes);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the image");
    }
    png_set_write_fn(png, &out, WriteToMemory, nullptr);
    png_set_IHDR(png, info, Width, Height, 8, ColorType, Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!Palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(Palette.data()), static_cast<int>(Palette.size() / 3));
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out.Bytes;
}

struct TCase {
    TBytes File;
    double MegabytesOut;
};

TCase MakeCase(int ColorType, bool Interlaced) {
    const int channels = ColorType == PNG_COLOR_TYPE_RGBA ? 4 : ColorType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    TBytes pixels(std::size_t(Width) * Height * channels), palette;
    std::uint32_t seed = 12345;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            std::uint8_t *p = &pixels[(std::size_t(y) * Width + x) * channels];
            if (ColorType == PNG_COLOR_TYPE_PALETTE) {
                // The photograph reduced to 3-3-2 bits of red, green and blue.
                const int r = PhotoSample(x, y, 0, seed), g = PhotoSample(x, y, 1, seed), b = PhotoSample(x, y, 2, seed);
                p[0] = static_cast<std::uint8_t>((r >> 5) << 5 | (g >> 5) << 2 | b >> 6);
                continue;
            }
            for (int c = 0; c < channels; ++c) p[c] = PhotoSample(x, y, c, seed);
        }
    if (ColorType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < 256; ++i)
            palette.insert(palette.end(), {std::uint8_t((i >> 5) * 255 / 7), std::uint8_t((i >> 2 & 7) * 255 / 7),
                                           std::uint8_t((i & 3) * 85)});
    return {EncodeWithLibpng(ColorType, Interlaced, pixels, palette), pixels.size() / 1e6};
}

const TCase &Case(const std::string &name) {
    static std::map<std::string, TCase> cases = {
        {"RGBA", MakeCase(PNG_COLOR_TYPE_RGBA, false)},
        {"RGB", MakeCase(PNG_COLOR_TYPE_RGB, false)},
        {"palette", MakeCase(PNG_COLOR_TYPE_PALETTE, false)},
        {"RGBA Adam7", MakeCase(PNG_COLOR_TYPE_RGBA, true)},
    };
    return cases.at(name);
}

void CountOutput(benchmark::State &state, const TCase &c) {
    state.counters["MB/s"] = benchmark::Counter(c.MegabytesOut, benchmark::Counter::kIsIterationInvariantRate);
}

void Ours(benchmark::State &state, const std::string &name) {
    const TCase &c = Case(name);
    vcl::TMemoryStream stream;
    stream.WriteBuffer(c.File.data(), c.File.size());
    for (auto _ : state) {
        stream.SetPosition(0);
        skin::TPngImage image = skin::ReadPngImage(stream);
        benchmark::DoNotOptimize(image.Dib.Bits.data());
    }
    CountOutput(state, c);
}

void Libpng(benchmark::State &state, const std::string &name) {
    const TCase &c = Case(name);
    for (auto _ : state) {
        pngtest::TLibpngImage image;
        if (!pngtest::DecodeWithLibpng(c.File, image)) {
            state.SkipWithError("libpng failed");
            break;
        }
        benchmark::DoNotOptimize(image.Bytes.data());
    }
    CountOutput(state, c);
}

} // namespace

int main(int argc, char **argv) {
    bench::TRowReporter reporter;
    for (const char *name : {"RGBA", "RGB", "palette", "RGBA Adam7"}) {
        const std::string ours = std::string("ReadPngImage/") + name, peer = std::string("libpng/") + name;
        bench::Timed(benchmark::RegisterBenchmark(ours.c_str(), Ours, std::string(name)));
        bench::Timed(benchmark::RegisterBenchmark(peer.c_str(), Libpng, std::string(name)));
        reporter.AddRow(ours, peer);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
