// Loading a stored skin (unpack, options, images, section table, index
// cache) beside the same work done plainly, in one run under Wine: the
// packed container inflated, each of its PNG pictures decoded by libpng into
// pixels of its own, and each BMP read by the system into a 32-bit bitmap.
// Inflating the container alone is shown too. Beside the whole load, its
// largest steps are timed on their own, on a container unpacked apart:
// reading the options text, the pictures and the tables into a load of
// their own (the manager's tables untouched), and freeing that load's
// pictures again.
//
//   SkinLoadBench.exe <packed skin> [rounds]
#include <windows.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/WineTiming.h"
#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinImages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/Streams.h"

namespace {

// A picture file decoded by libpng into 8-bit RGBA, as an application that
// uses libpng would; false when libpng refuses it.
bool DecodeWithLibpng(vcl::TMemoryStream &File, std::vector<std::uint8_t> &Pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, File.Memory(), static_cast<png_size_t>(File.Size()))) return false;
    image.format = PNG_FORMAT_BGRA;
    Pixels.resize(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, Pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read;
}

struct TBitmapDeleter {
    void operator()(HBITMAP Bitmap) const { DeleteObject(Bitmap); }
};
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>;

// A BMP file read by the system into a new 32-bit bitmap; null when it is
// not one.
TBitmapHandle ReadBmp(vcl::TMemoryStream &File) {
    const auto *bytes = static_cast<const std::uint8_t *>(File.Memory());
    if (File.Size() < static_cast<std::int64_t>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))) return nullptr;
    const auto *head = reinterpret_cast<const BITMAPFILEHEADER *>(bytes);
    const auto *info = reinterpret_cast<const BITMAPINFO *>(bytes + sizeof(BITMAPFILEHEADER));
    if (head->bfType != 0x4D42 || head->bfOffBits >= File.Size()) return nullptr;
    BITMAPINFO target{};
    target.bmiHeader = {sizeof(BITMAPINFOHEADER), info->bmiHeader.biWidth, info->bmiHeader.biHeight, 1, 32, BI_RGB,
                        0, 0, 0, 0, 0};
    void *bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HDC screen = GetDC(nullptr);
    if (bitmap)
        SetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(std::abs(info->bmiHeader.biHeight)),
                  bytes + head->bfOffBits, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The plain work: the container inflated, every picture decoded; false when
// a picture cannot be.
bool PlainLoad(vcl::TMemoryStream &Packed, int &Pictures) {
    skin::TvlSkinConvertor convertor;
    convertor.Source = &Packed;
    if (!skin::UnpackSkinData(convertor)) return false;
    Pictures = 0;
    std::vector<std::uint8_t> pixels;
    for (const skin::TvlImageItem &item : convertor.ImageItems) {
        if (item.IsBitmap) {
            if (!ReadBmp(*item.Stream)) return false;
        } else if (!DecodeWithLibpng(*item.Stream, pixels)) {
            return false;
        }
        ++Pictures;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: SkinLoadBench <packed skin> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    vcl::TMemoryStream packed;
    packed.LoadFromFile(argv[1]);

    skin::InitializeSkinManagerModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    auto *stored = static_cast<skin::TsStoredSkin *>(manager->InternalSkins()->Add());
    stored->Name = "Bench";
    stored->Data().LoadFromStream(packed);

    std::vector<double> inflate, plain, load, read, freeing;
    int pictures = 0;
    for (int round = 0; round < rounds + 1; ++round) {
        // Alternating, so that all see the same machine.
        double t0 = bench::NowMs();
        skin::TvlSkinConvertor convertor;
        convertor.Source = &packed;
        const bool unpacked = skin::UnpackSkinData(convertor);
        double t1 = bench::NowMs();
        manager->SetSkinName("Bench");
        double t2 = bench::NowMs();
        if (!unpacked || !manager->SkinData->Active) {
            std::fprintf(stderr, "the skin does not load\n");
            return 1;
        }
        const double p0 = bench::NowMs();
        if (!PlainLoad(packed, pictures)) {
            std::fprintf(stderr, "libpng or the system cannot read a picture of the skin\n");
            return 1;
        }
        const double p1 = bench::NowMs();
        double t3 = bench::NowMs();
        double t4 = t3;
        {
            vcl::TMemoryStream &text = *convertor.Options;
            const skin::TvlOptionsFile options(std::string_view(reinterpret_cast<const char *>(text.Memory()),
                                                                static_cast<std::size_t>(text.Size())));
            skin::TvlSkinLoad alone(*manager, options, &convertor, std::string());
            alone.Run(GetSystemMetrics(SM_CXFRAME));
            t4 = bench::NowMs();
        }
        const double t5 = bench::NowMs();
        if (round == 0) continue;  // warm-up
        inflate.push_back(t1 - t0);
        load.push_back(t2 - t1);
        plain.push_back(p1 - p0);
        read.push_back(t4 - t3);
        freeing.push_back(t5 - t4);
    }
    const double i = bench::Median(inflate), l = bench::Median(load), p = bench::Median(plain);
    std::printf("%d rounds of %s (%lld bytes, %d pictures, %zu sections, %zu masks)\n", rounds, argv[1],
                static_cast<long long>(packed.Size()), pictures, manager->Sections.size(), manager->Masks.size());
    std::printf("inflate only                 median %8.3f ms   min %8.3f ms\n", i,
                *std::min_element(inflate.begin(), inflate.end()));
    std::printf("inflate, libpng, BMP read    median %8.3f ms   min %8.3f ms\n", p,
                *std::min_element(plain.begin(), plain.end()));
    std::printf("whole load                   median %8.3f ms   min %8.3f ms\n", l,
                *std::min_element(load.begin(), load.end()));
    std::printf("ratio to the plain work      %.2f (goal: at most 1.5)\n", l / p);
    std::printf("ratio to inflating only      %.2f\n", l / i);
    std::printf("of a load:  reading options, pictures, tables  median %8.3f ms\n", bench::Median(read));
    std::printf("            freeing that load's pictures        median %8.3f ms\n", bench::Median(freeing));
    delete manager;
    skin::FinalizeSkinManagerModule();
    return 0;
}
