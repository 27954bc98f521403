#include "sModuleState.h"

#include "sSkinServices.h"
#include "vlGlow.h"
#include "vcl/Bitmap.h"
#include "vcl/Icon.h"

namespace skin {

TvlModuleState::TvlModuleState() = default;
TvlModuleState::~TvlModuleState() = default;
TvlModuleState::TvlModuleState(TvlModuleState &&) noexcept = default;
TvlModuleState &TvlModuleState::operator=(TvlModuleState &&) noexcept = default;

TvlModuleState &ModuleState() {
    static TvlModuleState state;
    return state;
}

void ResetModuleState() {
    TvlModuleState &state = ModuleState();
    // What goes is freed once the state is whole again: a hooked dialog's
    // end may still ask for it.
    TvlModuleState gone = std::move(state);
    state = TvlModuleState();
    // The menu slot's count only grows: a manager's painter from before
    // never looks like one of the new state's.
    state.SkinableMenusChanges = gone.SkinableMenusChanges + 1;
}

} // namespace skin
