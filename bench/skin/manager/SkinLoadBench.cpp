// Loading a stored skin (unpack, options, images, section table, index
// cache) beside only inflating the same packed container, in one run under
// Wine. The goal is a load of at most twice the inflating. Beside the whole
// load, its largest steps are timed on their own, on a container unpacked
// apart: reading the options text, the pictures and the tables into a load
// of their own (the manager's tables untouched), and freeing that load's
// pictures again.
//
//   SkinLoadBench.exe <packed skin> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/WineTiming.h"
#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinImages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlSkinConvertor.h"
#include "vcl/Streams.h"

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

    std::vector<double> inflate, load, read, freeing;
    for (int round = 0; round < rounds + 1; ++round) {
        // Alternating, so that both see the same machine.
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
        read.push_back(t4 - t3);
        freeing.push_back(t5 - t4);
    }
    const double i = bench::Median(inflate), l = bench::Median(load);
    std::printf("%d rounds of %s (%lld bytes, %zu sections, %zu masks)\n", rounds, argv[1],
                static_cast<long long>(packed.Size()), manager->Sections.size(), manager->Masks.size());
    std::printf("inflate only   median %8.3f ms   min %8.3f ms\n", i, *std::min_element(inflate.begin(), inflate.end()));
    std::printf("whole load     median %8.3f ms   min %8.3f ms\n", l, *std::min_element(load.begin(), load.end()));
    std::printf("ratio          %.2f (goal: at most 2)\n", l / i);
    std::printf("of a load:  reading options, pictures, tables  median %8.3f ms\n", bench::Median(read));
    std::printf("            freeing that load's pictures        median %8.3f ms\n", bench::Median(freeing));
    delete manager;
    skin::FinalizeSkinManagerModule();
    return 0;
}
