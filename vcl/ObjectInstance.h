#pragma once
// Window procedures made from (object, method) pairs.
//
// The system calls a window procedure with a window handle and nothing else,
// while the library wants the message to reach one method of one object. A
// small executable stub per object closes that gap: it puts the address of
// its own record where the window handle was and jumps to a common entry,
// which calls the record's method. Every object thus has a procedure address
// of its own, which is what chained subclassing needs: whoever replaced a
// window's procedure can tell whether the window still points at theirs.
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
// and never frees it: for a procedure that another subclasser has chained
// behind their own, so that it can be neither removed nor freed.
void OrphanObjectInstance(WNDPROC instance, HWND window, WNDPROC previous);

// Points an existing stub at another method.
void RebindObjectInstance(WNDPROC instance, TWndMethod method);

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

private:
    WNDPROC FProc = nullptr;
};

} // namespace vcl
