#pragma once
// The two routines every skinned window or control runs before its own
// message handling: PreprocessSkinnedMessage keeps the skin state in step
// with focus, mouse enter and leave, enabling, visibility, moves and sizes;
// CommonWndProc answers SM_SKINCOMMAND at the level of the skin data.
// Window adapters and form providers answer some sub-commands themselves
// and pass the rest here. Windows only.
#include "sCommonData.h"
#include "vcl/Messages.h"

namespace skin {

// True only when the message was handled whole and must not reach the
// control. Null skin data: false.
bool PreprocessSkinnedMessage(vcl::TMessage &Message, TsCommonData *CommonData);
// True for a sub-command it handled (answer in Message.Result); false for
// anything else, which the caller passes on: another message, a null skin
// data, an unknown code, SC_SKIN_REMOVED (so that the caller's own removal
// runs too). Commands that point at a record in LParam ignore LParam 0.
bool CommonWndProc(vcl::TMessage &Message, TsCommonData *CommonData);
// The cursor is still over the client area of the record's window (and in
// its DC's clip box); a scrolling adapter's bars count as inside.
bool IsMouseStillInside(const TsCommonData &CommonData);

} // namespace skin
