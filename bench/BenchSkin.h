#pragma once
// The skin of the benchmark programs that run under Wine: a packed skin
// given on the command line, stored in the manager and applied.
#include <cstdio>

#include "skin/manager/sSkinManager.h"
#include "skin/manager/sStoredSkins.h"
#include "vcl/Streams.h"

namespace bench {

// Packed becomes Manager's stored skin "Bench" and is applied; false, told
// on stderr, when it does not load.
inline bool ApplyStoredSkin(skin::TsSkinManager &Manager, vcl::TMemoryStream &Packed) {
    auto *stored = static_cast<skin::TsStoredSkin *>(Manager.InternalSkins()->Add());
    stored->Name = "Bench";
    stored->Data().LoadFromStream(Packed);
    Manager.SetSkinName("Bench");
    if (Manager.SkinData->Active) return true;
    std::fprintf(stderr, "the skin does not load\n");
    return false;
}

} // namespace bench
