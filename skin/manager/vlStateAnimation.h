#pragma once
// A skinned control's cross-fade between two states. When the mouse enters
// or leaves a control, or a button is pressed, its cache is painted for the
// new state and the change is shown as a short fade from the old image to
// the new one (the glow following the same curve), driven by the control's
// animation timer (vlThdTimer.h) every 10 ms. Callers: the window adapters
// (mouse enter and leave of buttons and check boxes) and the glow's fade.
//
// The module also keeps the class names of foreign popup windows that the
// dialog skinning leaves alone. Windows only.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "vlThdTimer.h"

namespace skin {

class TsCommonData;

// A state change of Data to Mode (0 fade down to the normal look, 1 fade up
// to the hot look, 2 fade down from a snapshot; 100 and above: no glow is
// shown). Faded with the step routine Callback when Allow is set, no skin
// loads, the session does not end, the control has a cache that is up to
// date and its manager allows animation; otherwise repainted at once. With
// WithGlow the glow is shown for the fade (or, unfaded, while the mouse is
// inside); a control the mouse left loses its glow at once when unfaded.
// Nothing for a control that is not skinned.
void AnimateStateChange(TsCommonData &Data, std::int32_t Mode, TvlStepCallback Callback, bool Allow, bool Fast,
                        bool WithGlow);

// Starts the cross-fade of Data from its cache as it is to the cache
// rebuilt for the new state (when BGChanged asks for it), continuing a fade
// that runs in another mode from where it stands; a fade that runs in Mode
// already is left alone. The first step is shown at once. Answers the
// timer's mode afterwards: Mode while the fade runs, -1 when it ended at
// once.
std::int32_t StartStateAnimation(TsCommonData &Data, std::int32_t Mode, TvlStepCallback Callback, bool Fast);

// The step routine of state fades: step Step of Data's fade shown on the
// control's window (the target image mixed into the start image by the
// fade's value) and the glow's alpha set to the value; true while the fade
// goes on. A fade down always ends at value 0 and then stops.
bool StateAnimationStep(TsCommonData *Data, std::int32_t Step);

// The step routine of a glow fading without an image change: the glow's
// alpha follows the value; after the last step a glow that was not fading
// up is hidden.
bool GlowFadeStep(TsCommonData *Data, std::int32_t Step);

// The foreign popup window classes that stay unskinned, sorted by their
// bytes.
std::span<const std::string_view> UnskinnedPopupClasses();
// ClassName is one of them (the whole name, case counts).
bool IsUnskinnedPopupClass(std::string_view ClassName);

} // namespace skin
