#pragma once
// What the lower modules of the class library need of the application,
// declared here, below the controls, and filled in by TApplication
// (Forms.h): where an error goes that reached the top of a message handler,
// and which thread owns the user interface.
//
// The threading model. The user interface belongs to one thread: the one
// that created the application object (the program's main thread, before
// main runs). Windows, controls, forms, canvases and the GDI objects they
// use, and the message pumps are used from that thread only; the library
// neither locks nor marshals them. Where another thread would corrupt the
// library's shared state (making a window, joining a control to a parent,
// the lists of windows and DCs that the pump looks after, pumping), the call
// is checked: a debug build aborts naming the call, a release build raises
// EInvalidOperation and changes nothing. Safe on any thread: the portable
// modules (streams, parsers, string lists), window-procedure stubs
// (ObjectInstance.h) and the handle counts (HandleCounts.h).
#include <string>

#include "System.h"

namespace vcl {

// Called inside a catch block with the object whose handler failed.
using TErrorReporter = TMethod<void(TObject *Sender)>;

// Installs where errors go (the application installs its HandleException);
// answers the reporter that was installed before.
TErrorReporter SetErrorReporter(TErrorReporter Reporter);

// Called inside a catch block at the top of a window procedure or a timer:
// hands the exception to the reporter. Without one (before the application
// exists, or after it is gone), or when the reporter fails, the message goes
// to the standard error output and the debugger. Never throws.
void ReportException(TObject *Sender) noexcept;

// The text of an error that has no reporter to go to (see ReportException).
void WriteUnreportedError(const std::string &Message) noexcept;

// The message of the exception being handled (inside a catch block).
std::string CurrentExceptionMessage();

// Makes the calling thread the one that owns the user interface.
void SetUIThread();
// True on the thread that owns the user interface, and while none does.
bool IsUIThread();
// Stops a call that would corrupt shared state from another thread (see above).
void CheckUIThread(const char *What);

} // namespace vcl
