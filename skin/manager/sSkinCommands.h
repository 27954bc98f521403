#pragma once
// The sub-commands of SM_SKINCOMMAND (skin/graphics/sSkinCommand.h, which
// holds the few that the painters send), the control-kind sets that the
// common handlers test, the bits of a skin data's BGFlags and the record of
// the section queries. Portable.
//
// The message: WParam = sub-command << 16 | flag (0 or 1), LParam = the
// argument (most often the sending manager), Result = the answer; 0 where a
// receiver does not know the sub-command. Codes 24, 35, 39, 41-50, 54-59, 67
// and 69 are unused.
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "skin/graphics/sSkinCommand.h"
#include "vcl/Types.h"

namespace skin {

class TsSkinTables;

inline constexpr unsigned SC_SKIN_APPLIED = 1;             // the manager in LParam applied its skin
inline constexpr unsigned SC_SKIN_REMOVED = 2;             // skinning by the manager in LParam ends
inline constexpr unsigned SC_SKIN_REFRESH = 3;             // the manager's skin data changed; flag 1 from the section setter
inline constexpr unsigned SC_QUERY_FORM_PROVIDER = 4;      // answers the form's provider (a TvlFormProvider *)
inline constexpr unsigned SC_NOTIFY_PARENT_PAINT = 5;      // an adapter tells its parent that it paints
inline constexpr unsigned SC_PARENT_UPDATE_DONE = 6;       // the parent ended a paint lock
// SC_IS_HANDLED = 7: sSkinCommand.h
inline constexpr unsigned SC_SET_UPDATING = 8;             // the paint lock := the flag
inline constexpr unsigned SC_QUERY_SECTION_INDEX = 9;      // the control's own section index + 1, 0 none
inline constexpr unsigned SC_IS_UPDATING = 10;             // 1: the control or a parent defers painting
inline constexpr unsigned SC_WAS_NOT_PAINTED = 11;         // answers PartialPaint
inline constexpr unsigned SC_QUERY_ADAPTER = 12;           // answers the window adapter (a TvlWindowAdapter *)
inline constexpr unsigned SC_SECTION_REPAINT = 13;         // controls of the section named at LParam repaint
inline constexpr unsigned SC_MENU_SHOWN = 14;              // popup-menu adapters: a popup was shown
inline constexpr unsigned SC_SET_SECTION = 15;             // SkinSection := the string at LParam
inline constexpr unsigned SC_STOP_ANIMATION = 16;          // stop a running state animation
inline constexpr unsigned SC_INVALIDATE_CACHE = 17;        // BGChanged := True
inline constexpr unsigned SC_REPAINT = 18;                 // invalidate the cache and redraw
inline constexpr unsigned SC_QUERY_PARENT_REDRAW = 19;     // must a transparent child follow the parent?
inline constexpr unsigned SC_PARENT_BG_CHANGED = 20;       // the parent's background changed; flag 1 redraws
// SC_GET_BG_COLOR = 21: sSkinCommand.h
inline constexpr unsigned SC_SET_NOT_PAINTED = 22;         // left out of the current paint pass
inline constexpr unsigned SC_BUILD_CACHE = 23;             // paint the cache now
inline constexpr unsigned SC_REFRESH_GRAPHIC_CONTROL = 25; // a provider repaints the graphic control at LParam
inline constexpr unsigned SC_GET_SECTION_INDEX = 26;       // TvlSectionQuery::SectionIndex := the section index
inline constexpr unsigned SC_GET_SKIN_MANAGER = 27;        // the tab-control adapter answers its manager
inline constexpr unsigned SC_ADAPT_CHILD_CONTROLS = 28;    // a dialog adapter adapts its children again
inline constexpr unsigned SC_MOUSE_ENTERED = 29;           // the manager (LParam) tells the window under the mouse
inline constexpr unsigned SC_MOUSE_LEFT = 30;              // ... and the one the mouse left
inline constexpr unsigned SC_UPDATE_BEGUN = 31;            // a control's paint lock was taken
inline constexpr unsigned SC_UPDATE_ENDED = 32;            // its last paint lock was released
inline constexpr unsigned SC_DROP_CACHE = 33;              // drop cache bitmaps, the children's too
// SC_GET_BG_INFO = 34: sSkinCommand.h
inline constexpr unsigned SC_QUERY_BG_FLAGS = 36;          // LParam 1 recomputes and tells the children
inline constexpr unsigned SC_GET_SKIN_DATA = 37;           // answers the TsCommonData *
inline constexpr unsigned SC_SET_PAINT_TARGET = 38;        // painting into the DC at LParam (0: off)
inline constexpr unsigned SC_PAINT_OUTER_EFFECT = 40;      // paint the outer effect into the TvlBgQuery at LParam
inline constexpr unsigned SC_SCROLL_BEGIN = 51;
inline constexpr unsigned SC_SCROLL_END = 52;
inline constexpr unsigned SC_FRAME_METRICS_CHANGED = 53;   // frame recalculation, then the children
inline constexpr unsigned SC_GET_APPLICATION = 60;         // answers the application object
inline constexpr unsigned SC_GET_CLIENT_OFFSET = 61;       // x low word, y high word
inline constexpr unsigned SC_CAPTION_CHANGED = 62;
inline constexpr unsigned SC_SET_GLUED_MOVE = 63;
inline constexpr unsigned SC_IS_GLUED_MOVE = 64;
inline constexpr unsigned SC_SET_FORM_ALPHA = 65;          // LParam = alpha; 255 removes the layered style
inline constexpr unsigned SC_GET_BG_SECTION = 66;          // which section shows behind the TvlSectionQuery's area
inline constexpr unsigned SC_GET_BORDER_WIDTH = 68;
inline constexpr unsigned SC_GET_BOUNDS = 70;              // the TRect at LParam := the control's bounds
inline constexpr unsigned SC_APPLY_PUSHED_SKIN = 71;       // posted after an editor pushed a skin

// The highest code the common handler may know.
inline constexpr unsigned SC_LAST_COMMON = 70;

// The sub-command of a WParam.
constexpr unsigned SubCommandOf(std::uintptr_t WParam) { return static_cast<unsigned>(WParam >> 16 & 0xFFFF); }

// The record of SC_GET_BG_SECTION and SC_GET_SECTION_INDEX. The asker fills
// Bounds (the asking control's rectangle in the receiver's client area, for
// the background-section question), the manager and the state; a receiver
// that knows writes SectionIndex (the record's second field).
struct TvlSectionQuery {
    TsSkinTables *Manager = nullptr;  // not owned
    std::int32_t SectionIndex = -1;
    std::int32_t State = 0;
    vcl::TRect Bounds;
};

// Bits of a skin data's BGFlags (the value 2 alone: not computed yet).
inline constexpr std::uint16_t bgfUndetermined = 2;
inline constexpr std::uint16_t bgfPaintTarget = 0x200;     // painting into PrintDC
inline constexpr std::uint16_t bgfMenuChangePending = 0x400; // tell the form of a menu change when the update ends
inline constexpr std::uint16_t bgfPaintLockTaken = 0x800;  // LockPaint was called from outside
inline constexpr std::uint16_t bgfWritingFontColor = 0x2000;

// A fixed set of control kinds (ControlKind of the skin data); a kind of
// 256 or more is in no set.
class TvlKindSet {
public:
    // Single kinds and closed ranges {first, last}.
    constexpr TvlKindSet(std::initializer_list<std::pair<int, int>> Ranges) {
        for (const auto &[first, last] : Ranges)
            for (int k = first; k <= last; ++k) FBits[static_cast<std::size_t>(k) / 64] |= std::uint64_t{1} << (k % 64);
    }
    constexpr bool Contains(int Kind) const {
        return Kind >= 0 && Kind < 256 && (FBits[static_cast<std::size_t>(Kind) / 64] >> (Kind % 64) & 1) != 0;
    }

private:
    std::uint64_t FBits[4] = {};
};

// Mouse enter and leave do not set or clear MouseInside.
inline constexpr TvlKindSet NoMouseTrackKinds{{19, 19}, {51, 74}, {110, 110}, {141, 161}};
// No glow on hover, and never active by the mouse.
inline constexpr TvlKindSet NoGlowKinds{{51, 51}, {54, 54},   {56, 59},   {74, 74},   {110, 110}, {141, 141},
                                        {143, 143}, {151, 151}, {161, 161}, {226, 226}};
// Take the hot state's colours on hover.
inline constexpr TvlKindSet HotColorKinds{{2, 18}, {76, 84}, {132, 140}, {231, 231}};
// Of those, only while ExtendedHotTracking is on.
inline constexpr TvlKindSet HotColorOptionKinds{{2, 18}, {76, 85}, {132, 140}, {231, 231}};
// Recalculate the window frame on SC_SKIN_REFRESH.
inline constexpr TvlKindSet FrameChangeKinds{{7, 8}, {10, 10}, {14, 14}, {78, 78}, {83, 83}, {85, 85}, {231, 231}};
// Kinds whose glow and hot colours the mouse-hover steps leave out.
inline constexpr TvlKindSet NoHoverGlowKinds{{92, 94}};

// The control kinds the library gives its data: a form's provider, an
// adapter's own data, a list view, the check-box adapter.
inline constexpr int ckFormProvider = 224;
inline constexpr int ckAdapter = 231;

} // namespace skin
