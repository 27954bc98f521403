#include "ObjectInstance.h"

#include <cstdint>
#include <cstring>
#include <mutex>

#include "Forms.h"
#include "SysUtils.h"

namespace vcl {
namespace {

constexpr std::size_t kCodeSize = 24;

// One stub: its code first, then what the code hands to the common entry.
struct alignas(16) TInstanceRecord {
    std::uint8_t Code[kCodeSize];
    TWndMethod Method;
    HWND OrphanWindow;       // set once the stub only forwards
    WNDPROC OrphanPrevious;
    TInstanceRecord *NextFree;
};

LRESULT CALLBACK InstanceEntry(HWND record, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // The stub replaced the window handle with the address of its record.
    auto *r = reinterpret_cast<TInstanceRecord *>(record);
    if (r->OrphanPrevious) return CallWindowProcW(r->OrphanPrevious, r->OrphanWindow, msg, wParam, lParam);
    // A stub given back is no window's procedure; one that is called all the
    // same (a window that outlived its object) answers nothing.
    if (!r->Method) return 0;
    TMessage m{msg, wParam, lParam, 0};
    r->Method(m);
    return m.Result;
}

void WriteCode(TInstanceRecord *r) {
    std::uint8_t *c = r->Code;
    const auto self = reinterpret_cast<std::uintptr_t>(r);
    const auto entry = reinterpret_cast<std::uintptr_t>(&InstanceEntry);
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, record ; mov rax, entry ; jmp rax
    c[0] = 0x48; c[1] = 0xB9; std::memcpy(c + 2, &self, 8);
    c[10] = 0x48; c[11] = 0xB8; std::memcpy(c + 12, &entry, 8);
    c[20] = 0xFF; c[21] = 0xE0;
#elif defined(_M_IX86) || defined(__i386__)
    // mov dword ptr [esp+4], record ; jmp entry  (stdcall: the handle is the first argument)
    c[0] = 0xC7; c[1] = 0x44; c[2] = 0x24; c[3] = 0x04;
    const auto self32 = static_cast<std::uint32_t>(self);
    std::memcpy(c + 4, &self32, 4);
    c[8] = 0xE9;
    const auto rel = static_cast<std::int32_t>(entry - (self + 13));
    std::memcpy(c + 9, &rel, 4);
#else
#error "object instances are written for x86 and x86-64"
#endif
    FlushInstructionCache(GetCurrentProcess(), r->Code, kCodeSize);
}

// Stubs live in executable pages that are never given back: a page is tiny
// and a window may call a stub until the very end of the process.
class TInstancePool {
public:
    TInstanceRecord *Take() {
        std::lock_guard lock(FMutex);
        if (!FFree) Grow();
        TInstanceRecord *r = FFree;
        FFree = r->NextFree;
        return r;
    }

    void Give(TInstanceRecord *r) {
        std::lock_guard lock(FMutex);
        r->Method = {};
        r->NextFree = FFree;
        FFree = r;
    }

private:
    void Grow() {
        constexpr std::size_t pageSize = 4096;
        void *page = VirtualAlloc(nullptr, pageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (!page) throw Exception("No memory for window procedure stubs");
        auto *records = static_cast<TInstanceRecord *>(page);
        for (std::size_t i = 0; i < pageSize / sizeof(TInstanceRecord); ++i) {
            TInstanceRecord *r = new (&records[i]) TInstanceRecord{};
            WriteCode(r);
            r->NextFree = FFree;
            FFree = r;
        }
    }

    std::mutex FMutex;
    TInstanceRecord *FFree = nullptr;
};

TInstancePool &Pool() {
    static TInstancePool pool;
    return pool;
}

TInstanceRecord *RecordOf(WNDPROC instance) { return reinterpret_cast<TInstanceRecord *>(instance); }

} // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
    TInstanceRecord *r = Pool().Take();
    r->Method = method;
    r->OrphanWindow = nullptr;
    r->OrphanPrevious = nullptr;
    return reinterpret_cast<WNDPROC>(r->Code);
}

void FreeObjectInstance(WNDPROC instance) {
    // An orphaned stub stays in some window's chain for good.
    if (instance && !RecordOf(instance)->OrphanPrevious) Pool().Give(RecordOf(instance));
}

void OrphanObjectInstance(WNDPROC instance, HWND window, WNDPROC previous) {
    TInstanceRecord *r = RecordOf(instance);
    r->OrphanWindow = window;
    r->OrphanPrevious = previous;
}

TObjectInstance &TObjectInstance::operator=(TObjectInstance &&other) noexcept {
    if (this != &other) {
        Reset();
        FProc = other.Release();
    }
    return *this;
}

void TObjectInstance::Reset() {
    FreeObjectInstance(FProc);
    FProc = nullptr;
}

WNDPROC TObjectInstance::Release() {
    WNDPROC p = FProc;
    FProc = nullptr;
    return p;
}

void TObjectInstance::Orphan(HWND window, WNDPROC previous) {
    if (FProc) OrphanObjectInstance(Release(), window, previous);
}

void DestroyInstanceWindow(HWND window, TObjectInstance &instance, WNDPROC fallback) {
    if (window) DestroyWindow(window);
    if (window && IsWindow(window)) instance.Orphan(window, fallback);
    instance.Reset();
}

// --------------------------------------------------------- TWindowSubclass

TWindowSubclass::TWindowSubclass(TWndMethod Handler)
    : FHandler(Handler), FInstance(TWndMethod::Bind<&TWindowSubclass::WndProc>(this)),
      FAlive(std::make_shared<bool>(true)) {}

TWindowSubclass::~TWindowSubclass() {
    *FAlive = false;
    if (FHandle && !Detach() && IsWindow(FHandle)) {
        // Another procedure was chained over ours: ours must stay in the
        // chain, forwarding to the one before it, for as long as the window lives.
        FInstance.Orphan(FHandle, FPrevious);
    }
}

void TWindowSubclass::Attach(HWND Window) {
    if (FHandle) throw EInvalidOperation("The subclass is attached to a window already");
    if (!IsWindow(Window)) throw EInvalidOperation("Cannot subclass a window that does not exist");
    // A window of another process refuses: no window's procedure is null.
    FPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance.Proc())));
    if (!FPrevious) throw EInvalidOperation("Cannot subclass a window of another process");
    FHandle = Window;
}

bool TWindowSubclass::Detach() {
    if (!FHandle) return true;
    if (IsWindow(FHandle)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FHandle, GWLP_WNDPROC)) != FInstance.Proc()) return false;
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevious));
    }
    FHandle = nullptr;
    FPrevious = nullptr;
    return true;
}

void TWindowSubclass::CallPrevious(TMessage &Message) const {
    Message.Result = CallPrevious(Message.Msg, Message.WParam, Message.LParam);
}

LRESULT TWindowSubclass::CallPrevious(UINT Msg, WPARAM WParam, LPARAM LParam) const {
    if (!FPrevious) return 0;
    return CallWindowProcW(FPrevious, FHandle, Msg, WParam, LParam);
}

void TWindowSubclass::WndProc(TMessage &Message) {
    const std::shared_ptr<bool> alive = FAlive;
    const HWND window = FHandle;
    try {
        if (FHandler) FHandler(Message);
        else CallPrevious(Message);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    // The handler may have destroyed this object, or detached it.
    if (!*alive) return;
    if (Message.Msg == WM_NCDESTROY && FHandle == window) {
        // The window is gone; nothing is left to give back.
        FHandle = nullptr;
        FPrevious = nullptr;
    }
}

namespace {

LPCWSTR UtilWindowClass() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TPUtilWindow";
        return RegisterClassW(&wc);
    }();
    if (!atom) throw Exception("Cannot register the window class TPUtilWindow");
    return L"TPUtilWindow";
}

} // namespace

TUtilWindow::TUtilWindow(TWndMethod Method)
    : FInstance(Method),
      FHandle(CreateWindowExW(WS_EX_TOOLWINDOW, UtilWindowClass(), L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {
    if (!FHandle) throw Exception("Cannot create a utility window: " + SysErrorMessage(static_cast<int>(GetLastError())));
    SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance.Proc()));
}

TUtilWindow::~TUtilWindow() { DestroyInstanceWindow(FHandle, FInstance, DefWindowProcW); }

} // namespace vcl
