#include "vlAdapters.h"

#include "skin/manager/sManagerOptions.h"
#include "vlBtnWnd.h"
#include "sSkinMenus.h"
#include "vlDials.h"
#include "vlMnuWnd.h"
#include "vlSBUtils.h"

namespace skin {

namespace {

struct TModule {
    int StartCount = 0;
    TvlAdapterClasses Factory;
};

TModule &Module() {
    static TModule module;
    return module;
}

} // namespace

std::unique_ptr<TvlWindowAdapter> TvlAdapterClasses::CreateAdapter(int Kind, HWND Window, const TvlSkinParams &Params,
                                                                   TsSkinManager *Manager) {
    if (!Window) return nullptr;
    switch (Kind) {
    case tpButton: return NewAdapter<TvlBtnWnd>(Window, nullptr, Manager, Params);
    default: return nullptr;
    }
}

void InitializeAdaptersModule() {
    TModule &module = Module();
    if (module.StartCount++ > 0) return;
    InitializeSBUtils();
    RegisterService(static_cast<TvlAdapterFactory &>(module.Factory));
    InitializeDialsModule();
    RegisterService(static_cast<TvlSkinableMenusFactory &>(SkinableMenusMaker()));
}

void FinalizeAdaptersModule() {
    TModule &module = Module();
    if (module.StartCount == 0 || --module.StartCount > 0) return;
    UnregisterService(static_cast<TvlSkinableMenusFactory &>(SkinableMenusMaker()));
    FreeMenuAdapters(true);
    FinalizeDialsModule();
    UnregisterService(static_cast<TvlAdapterFactory &>(module.Factory));
    FinalizeSBUtils();
}

} // namespace skin
