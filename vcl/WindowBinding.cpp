#include "WindowBinding.h"

#include <cstdlib>
#include <utility>

#include "AppContext.h"
#include "HandleCounts.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {
namespace {

// The binding whose window is being created on this thread; the window's
// first message binds the two (InitWndProc).
thread_local TWindowBinding *Creating = nullptr;

// Clears the thread's creation slot however window creation ends.
class TCreationScope {
public:
    explicit TCreationScope(TWindowBinding *Binding) : FSaved(Creating) { Creating = Binding; }
    ~TCreationScope() { Creating = FSaved; }
    TCreationScope(const TCreationScope &) = delete;
    TCreationScope &operator=(const TCreationScope &) = delete;

private:
    TWindowBinding *FSaved;  // a window made while another is being made (in its WM_CREATE)
};

// The window property that leads from a window to its binding.
LPCWSTR BindingProperty() {
    static const ATOM atom = GlobalAddAtomW(L"vcl.Control");
    return MAKEINTATOM(atom);
}

HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }

// A debug build stops where a window could not be given its own procedure;
// a release build keeps the window, which loses nothing but a little speed.
void CheckProcedureSwap(bool Swapped) {
#ifndef NDEBUG
    if (Swapped) return;
    WriteUnreportedError("A new window kept the creation procedure: SetWindowLongPtrW failed (" +
                         SysErrorMessage(static_cast<int>(GetLastError())) + ")");
    std::abort();
#else
    (void)Swapped;
#endif
}

TWindowBinding *BindingOf(HWND Window) {
    if (!Window) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    return static_cast<TWindowBinding *>(GetPropW(Window, BindingProperty()));
}

void RegisterWindowClass(const TCreateParams &Params) {
    WNDCLASSW existing{};
    if (GetClassInfoW(ModuleInstance(), Params.WinClassName.c_str(), &existing)) {
        if (existing.lpfnWndProc == InitWndProc) return;
        // Someone else's class of that name: ours takes its place.
        UnregisterClassW(Params.WinClassName.c_str(), ModuleInstance());
    }
    WNDCLASSW wc = Params.WindowClass;
    wc.lpfnWndProc = InitWndProc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = Params.WinClassName.c_str();
    wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    if (!RegisterClassW(&wc))
        throw Exception("Cannot register the window class " + WideToUtf8(Params.WinClassName));
}

} // namespace

TWindowBinding::TWindowBinding(TWndMethod Method, void *Object)
    : FMethod(Method), FObject(Object), FInstance(Method) {}

TWindowBinding::~TWindowBinding() { Destroy(); }

LRESULT TWindowBinding::CallDefault(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    return CallWindowProcW(FDefWndProc, FHandle, Msg, WParam, LParam);
}

void TWindowBinding::Create(const TCreateParams &Params, HMENU Id) {
    FDefWndProc = Params.WindowClass.lpfnWndProc;
    RegisterWindowClass(Params);
    const std::wstring caption = Utf8ToWide(Params.Caption);
    FBindError = 0;
    HWND window;
    {
        TCreationScope scope(this);
        window = CreateWindowExW(Params.ExStyle, Params.WinClassName.c_str(), caption.c_str(), Params.Style, Params.X,
                                 Params.Y, Params.Width, Params.Height, Params.WndParent, Id, ModuleInstance(),
                                 Params.Param);
    }
    if (window && FHandle == window) return;
    const DWORD error = FBindError ? FBindError : GetLastError();
    if (window && IsWindow(window)) DestroyWindow(window);
    FHandle = nullptr;
    throw Exception("Cannot create the window " + WideToUtf8(Params.WinClassName) + ": " +
                    SysErrorMessage(static_cast<int>(error)));
}

bool TWindowBinding::Bind(HWND Window) {
    if (!SetPropW(Window, BindingProperty(), this)) {
        FBindError = GetLastError();
        return false;
    }
    FHandle = Window;
    CountHandle(THandleKind::Window, 1);
    // Replaced only while it is still ours: a procedure chained in at
    // creation passes every message on to InitWndProc, which forwards it.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Window, GWLP_WNDPROC)) == InitWndProc) {
        // The old procedure is InitWndProc, never 0: 0 is the failure. The
        // window still works then, through InitWndProc's forwarding.
        const bool swapped = SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance.Proc())) != 0;
        CheckProcedureSwap(swapped);
    }
    return true;
}

LRESULT CALLBACK InitWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWindowBinding *binding = BindingOf(Window);
    if (!binding && Creating && !Creating->FHandle) {
        binding = std::exchange(Creating, nullptr);
        // Unbound, the window could never reach its object: its creation fails.
        if (!binding->Bind(Window)) return Msg == WM_NCCREATE ? FALSE : DefWindowProcW(Window, Msg, WParam, LParam);
    }
    if (binding && binding->FHandle == Window) return CallWindowProcW(binding->FInstance.Proc(), Window, Msg, WParam, LParam);
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

void TWindowBinding::Unbind() {
    if (!FHandle) return;
    RemovePropW(FHandle, BindingProperty());
    FHandle = nullptr;
    CountHandle(THandleKind::Window, -1);
}

void TWindowBinding::Destroy() {
    if (!FHandle) return;
    const HWND window = FHandle;
    DestroyWindow(window);
    if (!FHandle) return;  // WM_NCDESTROY has unbound it
    // A window that refused to go (one of another thread) is let go: it
    // keeps the stub, which forwards to the system class from now on, and
    // this object takes a new one.
    const bool alive = IsWindow(window);
    Unbind();
    if (alive) {
        FInstance.Orphan(window, FDefWndProc);
        FInstance = TObjectInstance(FMethod);
    }
}

void *BoundObject(HWND Window) {
    TWindowBinding *binding = BindingOf(Window);
    return binding && binding->Handle() == Window ? binding->Object() : nullptr;
}

} // namespace vcl
