#include "vlAdaptersState.h"

namespace skin {

TvlAdaptersState::TvlAdaptersState() = default;
TvlAdaptersState::~TvlAdaptersState() = default;
TvlAdaptersState::TvlAdaptersState(TvlAdaptersState &&) noexcept = default;
TvlAdaptersState &TvlAdaptersState::operator=(TvlAdaptersState &&) noexcept = default;

TvlAdaptersState &AdaptersState() {
    static TvlAdaptersState state;
    return state;
}

void ResetAdaptersState() {
    TvlAdaptersState &state = AdaptersState();
    // What goes is freed once the state is whole again: an adapter's end
    // may still ask for it.
    TvlAdaptersState gone = std::move(state);
    state = TvlAdaptersState();
}

void ResetAdaptersStateWhenStopped() {
    const TvlAdaptersState &state = AdaptersState();
    if (state.AdaptersStartCount == 0 && state.BaseStartCount == 0 && state.DialsStartCount == 0)
        ResetAdaptersState();
}

} // namespace skin
