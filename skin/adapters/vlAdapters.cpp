#include "vlAdapters.h"

#include "skin/manager/sManagerOptions.h"
#include "vlBtnWnd.h"
#include "vlDials.h"
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

std::unique_ptr<TvlWindowAdapter> TvlAdapterClasses::CreateMDIClientAdapter(HWND Window, const TvlSkinParams &Params,
                                                                           TsSkinManager *Manager,
                                                                           TvlFormProvider *Provider) {
    (void)Provider;
    if (!Window) return nullptr;
    return NewAdapter<TvlMainWnd>(Window, nullptr, Manager, Params);
}

void InitializeAdaptersModule() {
    TModule &module = Module();
    if (module.StartCount++ > 0) return;
    InitializeSBUtils();
    RegisterService(static_cast<TvlAdapterFactory &>(module.Factory));
    InitializeDialsModule();
}

void FinalizeAdaptersModule() {
    TModule &module = Module();
    if (module.StartCount == 0 || --module.StartCount > 0) return;
    FinalizeDialsModule();
    UnregisterService(static_cast<TvlAdapterFactory &>(module.Factory));
    FinalizeSBUtils();
}

} // namespace skin
