#pragma once
// The sub-commands of SM_SKINCOMMAND (sSkinCommand.h) that the manager
// sends or receives. Portable.
namespace skin {

inline constexpr unsigned SC_SKIN_APPLIED = 1;        // the manager in LParam applied its skin
inline constexpr unsigned SC_SKIN_REMOVED = 2;        // skinning by the manager in LParam ends
inline constexpr unsigned SC_SKIN_REFRESH = 3;        // the manager's skin data changed
inline constexpr unsigned SC_REPAINT = 18;            // invalidate the cache and redraw
inline constexpr unsigned SC_STOP_ANIMATION = 16;     // stop a running state animation
inline constexpr unsigned SC_MOUSE_ENTERED = 29;      // the mouse came into the window
inline constexpr unsigned SC_MOUSE_LEFT = 30;         // the mouse left the window or control
inline constexpr unsigned SC_FRAME_METRICS_CHANGED = 53;
inline constexpr unsigned SC_APPLY_PUSHED_SKIN = 71;  // posted after an editor pushed a skin

} // namespace skin
