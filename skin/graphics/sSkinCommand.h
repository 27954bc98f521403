#pragma once
// The library's command message as far as the painters send it, and the
// record with which a transparent child asks its parent what lies behind it.
//
//   SM_SKINCOMMAND     the private window message (0xA100): the sub-command
//                      in the high word of WParam, a 0/1 flag in the low word,
//                      the argument in LParam, the answer in the result
//   SC_IS_HANDLED      answers 1 wherever the library serves a window
//   SC_GET_BG_COLOR    answers the colour to paint behind a child
//   SC_GET_BG_INFO     fills the TvlBgQuery at LParam
//   TvlBgQuery         that record; the asker owns it for the send
//   EmptyBgInfo        "nothing known behind": no image, offsets -99, no colour
//   TvlRecordInFlight  marks a record as this thread's own while it is sent
//
// The handlers, and the rest of the sub-command table, live with the skin
// manager and the layers above it.
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

#include "vcl/Types.h"
#include "vlCommonUtils.h"

namespace vcl {
class TBitmap;
}

namespace skin {

#ifdef _WIN32
using TvlDCHandle = HDC;
#else
using TvlDCHandle = void *;  // no device contexts without Windows
#endif

inline constexpr unsigned SM_SKINCOMMAND = 0xA100;

inline constexpr unsigned SC_IS_HANDLED = 7;
inline constexpr unsigned SC_GET_BG_COLOR = 21;
inline constexpr unsigned SC_GET_BG_INFO = 34;

// The WParam of a sub-command: SkinCommand(SC_GET_BG_INFO) is 0x220000.
constexpr std::uintptr_t SkinCommand(unsigned Code, unsigned Flag = 0) {
    return static_cast<std::uintptr_t>(Code) << 16 | (Flag & 0xFFFF);
}

// Answer kinds of TvlBgQuery.
inline constexpr std::uint8_t bqNone = 0;     // no answer
inline constexpr std::uint8_t bqColor = 1;    // Color
inline constexpr std::uint8_t bqImage = 2;    // Image at X, Y (or painted into DC)
inline constexpr std::uint8_t bqNoImage = 3;  // the parent has no image to give

struct TvlBgQuery {
    vcl::TBitmap *Image = nullptr;  // not owned: the parent's image
    vcl::TColor Color = vcl::clFuchsia;
    std::int32_t X = 0;  // the child's piece in Image (or where to read it from)
    std::int32_t Y = 0;
    vcl::TRect Rect;     // destination in DC, and the clip of the painting fallback
    vcl::TRect Margins;  // widths of Image's borders that hold real image
    std::uint8_t Kind = bqNone;
    bool PaintIntoDC = false;
    TvlDCHandle DC = nullptr;
};

inline const TvlBgInfo EmptyBgInfo{nullptr, -99, -99, vcl::clFuchsia, {}, false};

#ifdef _WIN32
// The command message lies in the application range: another program can
// send it to our windows with any LParam. A receiver tells a command of this
// thread's own code by InSendMessageEx, which cannot see a command that this
// thread sends while it answers a message from another thread or program
// (say, a settings broadcast after which a form repaints at once): the
// command looks like part of that message. So every sender of an address
// (a record, a string, a control or a device context) keeps it, with its
// sub-command, on this thread's list of records in flight for the length of
// the send, and a receiver also takes an LParam found there. Scopes nest as
// the sends do; the list is empty whenever no send is under way.
class TvlRecordInFlight {
public:
    TvlRecordInFlight(unsigned SubCommand, LPARAM Record);
    ~TvlRecordInFlight();
    TvlRecordInFlight(const TvlRecordInFlight &) = delete;
    TvlRecordInFlight &operator=(const TvlRecordInFlight &) = delete;

    // A send of this thread with this sub-command and LParam is under way.
    static bool Contains(unsigned SubCommand, LPARAM Record);

private:
    unsigned FSubCommand;
    LPARAM FRecord;
    TvlRecordInFlight *FOuter;  // the send this one happens in; null for the outermost
};
#endif

} // namespace skin
