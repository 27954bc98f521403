#pragma once
// Controls whose windows lag the state they keep (TWinControl::
// DeferWindowUpdate): listed here until the message pump brings them up to
// date. Windows only.

namespace vcl {

class TWinControl;

// Lists the control once; forgets it again (its window's end).
void AddWindowUpdate(TWinControl *Control);
void CancelWindowUpdate(TWinControl *Control);

// Brings every window whose control keeps state ahead of it up to date, as
// far as each control finds it due; the others stay pending.
void FlushWindowUpdates();
bool WindowUpdatesPending();

} // namespace vcl
