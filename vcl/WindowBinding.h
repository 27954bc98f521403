#pragma once
// Windows that the class library makes for its objects: what CreateWindowEx
// is given, one window class per object class, and the binding of a new
// window to its object.
//
// Every window gets a procedure of its own object's (a stub, see
// ObjectInstance.h). Its class's procedure, InitWndProc, binds the window
// to the object at the window's first message and hands that message and
// every later one that reaches it to the object. A procedure that a WH_CBT
// hook chains in at HCBT_CREATEWND (before the first message) thus stays in
// front: the window's procedure is replaced by the object's only while it is
// still the class's. The object is found again from the window through a
// window property (BoundObject). Windows only.
#include <string>

#include "ObjectInstance.h"

namespace vcl {

// What CreateWindowEx is given, prepared by TWinControl::CreateParams.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void *Param = nullptr;
    // The window class to register under WinClassName; its lpfnWndProc is the
    // procedure that DefaultHandler passes messages to (the system control's
    // own for a superclass).
    WNDCLASSW WindowClass{};
    std::wstring WinClassName;
};

// One object's window: made, bound, and let go of. The object owns this.
class TWindowBinding {
public:
    // Method is the object's window procedure; Object is what BoundObject
    // answers for the window.
    TWindowBinding(TWndMethod Method, void *Object);
    ~TWindowBinding();
    TWindowBinding(const TWindowBinding &) = delete;
    TWindowBinding &operator=(const TWindowBinding &) = delete;

    HWND Handle() const { return FHandle; }
    void *Object() const { return FObject; }
    // The procedure of the class the window is made from.
    WNDPROC DefWndProc() const { return FDefWndProc; }
    LRESULT CallDefault(UINT Msg, WPARAM WParam, LPARAM LParam) const;

    // Registers the window class and creates the window bound to this
    // object. Raises Exception when the class cannot be registered or the
    // window not be made or bound; the window is then gone again.
    void Create(const TCreateParams &Params, HMENU Id);
    // Destroys the window. One that refuses to go (it belongs to another
    // thread) keeps a stub that forwards to the class procedure, and this
    // object takes a new stub.
    void Destroy();
    // For the object's procedure, after the window's last message
    // (WM_NCDESTROY): the window is gone.
    void Unbind();

private:
    friend LRESULT CALLBACK InitWndProc(HWND, UINT, WPARAM, LPARAM);
    bool Bind(HWND Window);

    TWndMethod FMethod;
    void *FObject;
    TObjectInstance FInstance;
    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    DWORD FBindError = 0;
};

// The object bound to a window of this process; null for other windows.
void *BoundObject(HWND Window);

// The class procedure of every window class the library registers.
LRESULT CALLBACK InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

} // namespace vcl
