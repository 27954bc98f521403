// Throughput of the pixel core on a 1920 x 1080 32-bit image, beside a
// memcpy of the same bytes (the memory-bandwidth limit) and beside pixman's
// nearest compositing operation. Every figure is megapixels of that image
// per second; the rows at the end (bench/BenchRows.h) give the pairs that
// scripts/bench.sh sets side by side.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <vector>

#include "bench/BenchRows.h"

#include "skin/graphics/vlAlphaBlending.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/graphics/vlResampling.h"

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr double ImageMegapixels = Width * Height / 1e6;

// A deterministic image with every alpha value and varied colours.
std::uint32_t PatternPixel(int x, int y) {
    const std::uint32_t v = static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u);
    return (v & 0x00FFFFFF) | ((x + 3 * y) & 0xFF) << 24;
}

vcl::TPixels32 PatternImage(int w, int h) {
    vcl::TPixels32 img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.At(x, y) = PatternPixel(x, y);
    return img;
}

// The same pattern premultiplied, top-down, for pixman.
std::vector<std::uint32_t> PremultipliedPattern(int w, int h) {
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = PatternPixel(x, y);
            const std::uint32_t a = p >> 24;
            const auto mul = [a](std::uint32_t c) { return c * a / 255; };
            bits[static_cast<std::size_t>(y) * w + x] =
                a << 24 | mul(p >> 16 & 0xFF) << 16 | mul(p >> 8 & 0xFF) << 8 | mul(p & 0xFF);
        }
    return bits;
}

void CountImage(benchmark::State &state) {
    state.counters["MP/s"] = benchmark::Counter(ImageMegapixels, benchmark::Counter::kIsIterationInvariantRate);
}

pixman_image_t *PixmanImage(std::vector<std::uint32_t> &bits, int w, int h) {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, bits.data(), w * 4);
}

// ---- The memory-bandwidth limit

void Memcpy(benchmark::State &state) {
    std::vector<std::uint32_t> src(Width * Height, 0x80402010), dst(Width * Height);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size() * 4);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

// ---- Blending

void BlendBitmap32(benchmark::State &state) {
    vcl::TPixels32 src = PatternImage(Width, Height);
    vcl::TPixels32 dst(Width, Height, 0xFF808080);
    const vcl::TRect all{0, 0, Width, Height};
    for (auto _ : state) {
        skin::BlendBitmap32(all, all, dst.View(), src.View(), skin::TBgPixels{}, false);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

void PixmanOver(benchmark::State &state) {
    std::vector<std::uint32_t> srcBits = PremultipliedPattern(Width, Height);
    std::vector<std::uint32_t> dstBits(Width * Height, 0xFF808080);
    pixman_image_t *src = PixmanImage(srcBits, Width, Height);
    pixman_image_t *dst = PixmanImage(dstBits, Width, Height);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, Width, Height);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    CountImage(state);
}

// ---- Alpha fills

void FillRectAlpha(benchmark::State &state) {
    vcl::TPixels32 dst(Width, Height);
    for (auto _ : state) {
        skin::FillRectAlpha(dst.View(), {0, 0, Width, Height}, 0x336699, 200);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

void PixmanFill(benchmark::State &state) {
    std::vector<std::uint32_t> bits(Width * Height);
    for (auto _ : state) {
        pixman_fill(bits.data(), Width, 32, 0, 0, Width, Height, 0xC8996633);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

void SetRectAlpha(benchmark::State &state) {
    vcl::TPixels32 dst = PatternImage(Width, Height);
    for (auto _ : state) {
        skin::SetRectAlpha(dst.View(), {0, 0, Width, Height}, 255, vcl::clFuchsia);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

void TintRectAlpha(benchmark::State &state) {
    vcl::TPixels32 dst = PatternImage(Width, Height);
    for (auto _ : state) {
        skin::TintRectAlpha(dst.View(), {0, 0, Width, Height}, 0x336699, 40, 255);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

// A solid colour at 40 % over the image: the same mix of each colour channel.
void PixmanOverSolid(benchmark::State &state) {
    std::vector<std::uint32_t> bits = PremultipliedPattern(Width, Height);
    pixman_image_t *dst = PixmanImage(bits, Width, Height);
    const pixman_color_t colour{0x3D3D, 0x2929, 0x1414, 0x6666};  // 0x336699 at 40 %, premultiplied
    pixman_image_t *solid = pixman_image_create_solid_fill(&colour);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, solid, nullptr, dst, 0, 0, 0, 0, 0, 0, Width, Height);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(solid);
    pixman_image_unref(dst);
    CountImage(state);
}

// ---- Resampling with the painters' filter for images

void Resample(benchmark::State &state, int newWidth, int newHeight) {
    vcl::TPixels32 src = PatternImage(Width, Height);
    vcl::TPixels32 dst(newWidth, newHeight);
    for (auto _ : state) {
        skin::ResampleBitmap32(src.View(), dst.View(), skin::rfMitchell);
        benchmark::ClobberMemory();
    }
    CountImage(state);
}

// pixman's separable convolution with its cubic (Mitchell) kernel: as the
// reconstruction filter when enlarging, as the sampling filter when reducing.
void PixmanResample(benchmark::State &state, int newWidth, int newHeight) {
    std::vector<std::uint32_t> srcBits = PremultipliedPattern(Width, Height);
    std::vector<std::uint32_t> dstBits(static_cast<std::size_t>(newWidth) * newHeight);
    pixman_image_t *src = PixmanImage(srcBits, Width, Height);
    pixman_image_t *dst = PixmanImage(dstBits, newWidth, newHeight);
    const double sx = double(Width) / newWidth, sy = double(Height) / newHeight;
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy));
    pixman_image_set_transform(src, &transform);
    const bool reducing = sx > 1;
    const pixman_kernel_t reconstruct = reducing ? PIXMAN_KERNEL_IMPULSE : PIXMAN_KERNEL_CUBIC;
    const pixman_kernel_t sample = reducing ? PIXMAN_KERNEL_CUBIC : PIXMAN_KERNEL_IMPULSE;
    int count = 0;
    pixman_fixed_t *params = pixman_filter_create_separable_convolution(
        &count, pixman_double_to_fixed(reducing ? sx : 1), pixman_double_to_fixed(reducing ? sy : 1), reconstruct,
        reconstruct, sample, sample, 4, 4);
    pixman_image_set_filter(src, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
    free(params);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, newWidth, newHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    CountImage(state);
}

} // namespace

int main(int argc, char **argv) {
    bench::Timed(benchmark::RegisterBenchmark("memcpy", Memcpy));
    bench::Timed(benchmark::RegisterBenchmark("BlendBitmap32", BlendBitmap32));
    bench::Timed(benchmark::RegisterBenchmark("pixman OVER", PixmanOver));
    bench::Timed(benchmark::RegisterBenchmark("FillRectAlpha", FillRectAlpha));
    bench::Timed(benchmark::RegisterBenchmark("pixman_fill", PixmanFill));
    bench::Timed(benchmark::RegisterBenchmark("SetRectAlpha", SetRectAlpha));
    bench::Timed(benchmark::RegisterBenchmark("TintRectAlpha", TintRectAlpha));
    bench::Timed(benchmark::RegisterBenchmark("pixman OVER solid", PixmanOverSolid));
    // Down to 960 x 540 and up to 2880 x 1620.
    bench::Timed(benchmark::RegisterBenchmark("ResampleBitmap32/down", Resample, Width / 2, Height / 2));
    bench::Timed(benchmark::RegisterBenchmark("pixman cubic/down", PixmanResample, Width / 2, Height / 2));
    bench::Timed(benchmark::RegisterBenchmark("ResampleBitmap32/up", Resample, Width * 3 / 2, Height * 3 / 2));
    bench::Timed(benchmark::RegisterBenchmark("pixman cubic/up", PixmanResample, Width * 3 / 2, Height * 3 / 2));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::TRowReporter reporter;
    reporter.AddRow("memcpy");
    reporter.AddRow("BlendBitmap32", "pixman OVER");
    reporter.AddRow("FillRectAlpha", "pixman_fill");
    reporter.AddRow("SetRectAlpha");
    reporter.AddRow("TintRectAlpha", "pixman OVER solid");
    reporter.AddRow("ResampleBitmap32/down", "pixman cubic/down");
    reporter.AddRow("ResampleBitmap32/up", "pixman cubic/up");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
