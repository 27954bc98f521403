#pragma once
// The start of the benchmark programs of skinned windows under Wine: the
// library's three modules started, as the installer starts them, and a
// manager with the packed skin applied and its animations off (a fade's
// timer is no part of what they time).
#include "BenchSkin.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/System.h"

namespace bench {

// The manager (freed with the program), or null, told on stderr, when the
// skin does not load.
inline skin::TsSkinManager *StartSkinnedBench(const TBenchArgs &Args) {
    skin::InitializeSkinManagerModule();
    skin::InitializeFormsModule();
    skin::InitializeAdaptersModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!ApplyStoredSkin(*manager, Args.Skin)) return nullptr;
    manager->Effects()->AllowAnimation = false;
    return manager;
}

} // namespace bench
