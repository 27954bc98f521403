#pragma once
// Window procedures made from (object, method) pairs.
//
// The system calls a window procedure with a window handle and nothing else,
// while the library wants the message to reach one method of one object. A
// small executable stub per object closes that gap: it puts the address of
// its data where the window handle was and jumps to a common entry, which
// calls the method the data names. The stubs' code is read-only once
// written; the data lies apart from it, in ordinary memory. Every object
// thus has a procedure address of its own, which is what chained
// subclassing needs: whoever replaced a window's procedure can tell whether
// the window still points at theirs.
#include <memory>

#include "LifeMark.h"
#include "Messages.h"

namespace vcl {

// A new procedure that calls `method` with each message (Msg, WParam, LParam;
// Result is what the procedure answers). The window handle is not passed on:
// the object knows its window. The method must not let an exception escape;
// one that does ends the process, since it cannot cross the system's frames.
WNDPROC MakeObjectInstance(TWndMethod method);

// Gives the stub back. It must no longer be any window's procedure.
void FreeObjectInstance(WNDPROC instance);

// Makes the stub forward every further message to `previous` for `window`
// and never frees it: for a procedure that must stay some window's although
// its object goes (another subclasser has chained theirs over it, or the
// window outlived DestroyWindow).
void OrphanObjectInstance(WNDPROC instance, HWND window, WNDPROC previous);

// Owns one stub.
class TObjectInstance {
public:
    TObjectInstance() = default;
    explicit TObjectInstance(TWndMethod method) : FProc(MakeObjectInstance(method)) {}
    ~TObjectInstance() { Reset(); }
    TObjectInstance(TObjectInstance &&other) noexcept : FProc(other.Release()) {}
    TObjectInstance &operator=(TObjectInstance &&other) noexcept;
    TObjectInstance(const TObjectInstance &) = delete;
    TObjectInstance &operator=(const TObjectInstance &) = delete;

    WNDPROC Proc() const { return FProc; }
    explicit operator bool() const { return FProc != nullptr; }
    void Reset();
    WNDPROC Release();
    // Leaves the stub to `window` for good (OrphanObjectInstance); this
    // object owns none afterwards.
    void Orphan(HWND window, WNDPROC previous);

private:
    WNDPROC FProc = nullptr;
};

// Takes over the window procedure of a window made elsewhere: every message
// goes to the handler, which passes what it does not consume on with
// CallPrevious. Detaching puts the previous procedure back, but only while
// the window still points at this one: a procedure chained over it later
// would otherwise be cut out. The window's end detaches it as well.
class TWindowSubclass {
public:
    explicit TWindowSubclass(TWndMethod Handler);
    ~TWindowSubclass();
    TWindowSubclass(const TWindowSubclass &) = delete;
    TWindowSubclass &operator=(const TWindowSubclass &) = delete;

    // Raises EInvalidOperation when already attached, or when the window does
    // not exist or may not be subclassed (it belongs to another process).
    void Attach(HWND Window);
    // True when the previous procedure is back (or nothing was attached).
    // False while another procedure is chained over ours: the subclass stays
    // attached and may try again.
    bool Detach();
    void CallPrevious(TMessage &Message) const;
    LRESULT CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam) const;

    HWND Handle() const { return FHandle; }
    bool Attached() const { return FHandle != nullptr; }
    WNDPROC Instance() const { return FInstance.Proc(); }
    WNDPROC Previous() const { return FPrevious; }
    const TLifeMark &LifeMark() const { return FLife; }

private:
    void WndProc(TMessage &Message);

    TWndMethod FHandler;
    TObjectInstance FInstance;
    HWND FHandle = nullptr;
    WNDPROC FPrevious = nullptr;
    TLifeMark FLife;  // ends as the destructor starts, for a handler that destroys it
};

// A window for a component that needs messages but shows nothing (a timer):
// a message-only window of the class "TPUtilWindow" whose messages all go to
// Method, destroyed with this object.
class TUtilWindow {
public:
    explicit TUtilWindow(TWndMethod Method);
    ~TUtilWindow();
    TUtilWindow(const TUtilWindow &) = delete;
    TUtilWindow &operator=(const TUtilWindow &) = delete;

    HWND Handle() const { return FHandle; }

private:
    TObjectInstance FInstance;
    HWND FHandle;
};

// Destroys a window whose procedure is `instance`, then gives the stub back.
// A window that outlives DestroyWindow (one of another thread) keeps the stub,
// forwarding to `fallback`, so that it never calls a stub given to another.
void DestroyInstanceWindow(HWND window, TObjectInstance &instance, WNDPROC fallback);

} // namespace vcl
