#pragma once
// The two routines every skinned window or control runs around its own
// message handling: PreprocessSkinnedMessage keeps the skin state in step
// with focus, mouse enter and leave, enabling, visibility, moves and sizes;
// CommonWndProc answers SM_SKINCOMMAND at the level of the skin data.
// Window adapters and form providers answer some sub-commands themselves
// and pass the rest here; DispatchSkinnedMessage puts the stages in their
// order. Windows only.
#include "sCommonData.h"
#include "vcl/Messages.h"

namespace skin {

// A skinned window's own handling of a message: true when it handled the
// message whole.
using TvlOwnMessageHandler = vcl::TMethod<bool(vcl::TMessage &Message)>;

// The message order of every skinned window or control, kept here only:
// the form provider, the adapter base and the test doubles call it, and an
// adapter overrides its own handling, never the order. Each stage runs
// while none before it handled the message, stage 4 excepted:
// 1. PreprocessSkinnedMessage, for every message but SM_SKINCOMMAND (whose
//    common answers wait for the window's own);
// 2. Own (nothing when empty);
// 3. CommonWndProc for SM_SKINCOMMAND;
// 4. AfterCommon (nothing when empty), for an SM_SKINCOMMAND that reached
//    stage 3 whatever stage 3 answered (Result holds the common answer):
//    the window's answer to a sub-command that builds on the common one;
//    true when it handled the command whole;
// 5. Previous, the procedure the window had before (nothing when empty).
void DispatchSkinnedMessage(vcl::TMessage &Message, TsCommonData *CommonData, TvlOwnMessageHandler Own,
                            vcl::TWndMethod Previous, TvlOwnMessageHandler AfterCommon = {});

// True only when the message was handled whole and must not reach the
// control. Null skin data: false.
bool PreprocessSkinnedMessage(vcl::TMessage &Message, TsCommonData *CommonData);
// True for a sub-command it handled (answer in Message.Result); false for
// anything else, which the caller passes on: another message, a null skin
// data, an unknown code, SC_SKIN_REMOVED (so that the caller's own removal
// runs too). Commands that point at a record in LParam ignore LParam 0,
// and an LParam that is not this thread's own (CommandRecord, sMessages.h).
bool CommonWndProc(vcl::TMessage &Message, TsCommonData *CommonData);
// The cursor is still over the client area of the record's window (and in
// its DC's clip box); a scrolling adapter's bars count as inside.
bool IsMouseStillInside(const TsCommonData &CommonData);

} // namespace skin
