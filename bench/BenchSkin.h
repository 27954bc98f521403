#pragma once
// The command line and the skin of the benchmark programs that run under
// Wine: "<program> <packed skin> [rounds]"; the packed skin is stored in
// the manager and applied.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/manager/sSkinManager.h"
#include "skin/manager/sStoredSkins.h"
#include "vcl/Streams.h"

namespace bench {

struct TBenchArgs {
    std::string Skin;  // the packed skin's file
    int Rounds = 0;
};

// Rounds: the second argument, at least MinRounds, else DefaultRounds. False,
// with the usage on stderr, when the skin is not given.
inline bool ReadBenchArgs(int argc, char **argv, const char *Program, int DefaultRounds, TBenchArgs &Args,
                          int MinRounds = 1) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <packed skin> [rounds]\n", Program);
        return false;
    }
    Args.Skin = argv[1];
    Args.Rounds = argc > 2 ? std::max(MinRounds, std::atoi(argv[2])) : DefaultRounds;
    return true;
}

// The packed skin in the file Path becomes Manager's stored skin "Bench" and
// is applied; false, told on stderr, when it does not load.
inline bool ApplyStoredSkin(skin::TsSkinManager &Manager, const std::string &Path) {
    vcl::TMemoryStream packed;
    packed.LoadFromFile(Path);
    auto *stored = static_cast<skin::TsStoredSkin *>(Manager.InternalSkins()->Add());
    stored->Name = "Bench";
    stored->Data().LoadFromStream(packed);
    Manager.SetSkinName("Bench");
    if (Manager.SkinData->Active) return true;
    std::fprintf(stderr, "the skin does not load\n");
    return false;
}

} // namespace bench
