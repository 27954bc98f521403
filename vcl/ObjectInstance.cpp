#include "ObjectInstance.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include "AppContext.h"
#include "HandleCounts.h"
#include "SysUtils.h"

namespace vcl {
namespace {

// What a stub hands to the common entry: the object's method, or, once the
// stub only forwards, the window and the procedure to forward to. Kept
// apart from the code, which lies in pages that are never writable while
// they can run.
struct TInstanceData {
    TWndMethod Method;
    HWND OrphanWindow = nullptr;
    WNDPROC OrphanPrevious = nullptr;
    TInstanceData *NextFree = nullptr;
    std::uint8_t *Code = nullptr;
};

#if defined(_M_X64) || defined(__x86_64__)
constexpr std::size_t kStubSize = 32;
constexpr std::size_t kDataOffset = 2;  // where the stub's code holds its data's address
#elif defined(_M_IX86) || defined(__i386__)
constexpr std::size_t kStubSize = 16;
constexpr std::size_t kDataOffset = 4;
#else
#error "object instances are written for x86 and x86-64"
#endif

LRESULT CALLBACK InstanceEntry(HWND record, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // The stub replaced the window handle with the address of its data.
    auto *r = reinterpret_cast<TInstanceData *>(record);
    if (r->OrphanPrevious) return CallWindowProcW(r->OrphanPrevious, r->OrphanWindow, msg, wParam, lParam);
    // A stub given back is no window's procedure; one that is called all the
    // same (a window that outlived its object) answers nothing.
    if (!r->Method) return 0;
    TMessage m{msg, wParam, lParam, 0};
    r->Method(m);
    return m.Result;
}

void WriteCode(std::uint8_t *c, TInstanceData *data) {
    const auto self = reinterpret_cast<std::uintptr_t>(c);
    const auto record = reinterpret_cast<std::uintptr_t>(data);
    const auto entry = reinterpret_cast<std::uintptr_t>(&InstanceEntry);
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, data ; mov rax, entry ; jmp rax
    c[0] = 0x48; c[1] = 0xB9; std::memcpy(c + 2, &record, 8);
    c[10] = 0x48; c[11] = 0xB8; std::memcpy(c + 12, &entry, 8);
    c[20] = 0xFF; c[21] = 0xE0;
#else
    // mov dword ptr [esp+4], data ; jmp entry  (stdcall: the handle is the first argument)
    c[0] = 0xC7; c[1] = 0x44; c[2] = 0x24; c[3] = 0x04;
    const auto record32 = static_cast<std::uint32_t>(record);
    std::memcpy(c + 4, &record32, 4);
    c[8] = 0xE9;
    const auto rel = static_cast<std::int32_t>(entry - (self + 13));
    std::memcpy(c + 9, &rel, 4);
#endif
}

// Stubs live in pages of code that are written once, then made read-only
// and executable, and never given back: a page is tiny and a window may call
// a stub until the very end of the process. Their data lies in ordinary memory.
class TInstancePool {
public:
    TInstanceData *Take() {
        std::lock_guard lock(FMutex);
        if (!FFree) Grow();
        TInstanceData *r = FFree;
        FFree = r->NextFree;
        return r;
    }

    void Give(TInstanceData *r) {
        std::lock_guard lock(FMutex);
        r->Method = {};
        r->NextFree = FFree;
        FFree = r;
    }

private:
    void Grow() {
        constexpr std::size_t pageSize = 4096;
        constexpr std::size_t count = pageSize / kStubSize;
        auto *page = static_cast<std::uint8_t *>(VirtualAlloc(nullptr, pageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!page) throw Exception("No memory for window procedure stubs");
        auto data = std::make_unique<TInstanceData[]>(count);
        for (std::size_t i = 0; i < count; ++i) WriteCode(page + i * kStubSize, &data[i]);
        DWORD previous = 0;
        if (!VirtualProtect(page, pageSize, PAGE_EXECUTE_READ, &previous)) {
            VirtualFree(page, 0, MEM_RELEASE);
            throw Exception("Cannot make window procedure stubs executable: " +
                            SysErrorMessage(static_cast<int>(GetLastError())));
        }
        FlushInstructionCache(GetCurrentProcess(), page, pageSize);
        TInstanceData *records = data.release();  // lives as long as its page: for the process
        for (std::size_t i = 0; i < count; ++i) {
            records[i].Code = page + i * kStubSize;
            records[i].NextFree = FFree;
            FFree = &records[i];
        }
    }

    std::mutex FMutex;
    TInstanceData *FFree = nullptr;
};

TInstancePool &Pool() {
    static TInstancePool pool;
    return pool;
}

// The data of a stub, read from its code.
TInstanceData *RecordOf(WNDPROC instance) {
    TInstanceData *data = nullptr;
    std::memcpy(&data, reinterpret_cast<const std::uint8_t *>(instance) + kDataOffset, sizeof data);
    return data;
}

} // namespace

WNDPROC MakeObjectInstance(TWndMethod method) {
    TInstanceData *r = Pool().Take();
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
    TInstanceData *r = RecordOf(instance);
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
    if (window) {
        DestroyWindow(window);
        CountHandle(THandleKind::Window, -1);  // gone, or no longer ours
    }
    if (window && IsWindow(window)) instance.Orphan(window, fallback);
    instance.Reset();
}

// --------------------------------------------------------- TWindowSubclass

TWindowSubclass::TWindowSubclass(TWndMethod Handler)
    : FHandler(Handler), FInstance(TWndMethod::Bind<&TWindowSubclass::WndProc>(this)) {}

TWindowSubclass::~TWindowSubclass() {
    FLife.End();
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
        // A window that refuses (it went meanwhile) keeps calling us: stay attached.
        if (!SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevious)) && IsWindow(FHandle))
            return false;
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
    const TGuarded alive(this);
    const HWND window = FHandle;
    try {
        if (FHandler) FHandler(Message);
        else CallPrevious(Message);
    } catch (...) {
        ReportException(nullptr);
    }
    // The handler may have destroyed this object, or detached it.
    if (!alive) return;
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
    CountHandle(THandleKind::Window, 1);
    if (!SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance.Proc()))) {
        const int error = static_cast<int>(GetLastError());
        DestroyInstanceWindow(FHandle, FInstance, DefWindowProcW);
        throw Exception("Cannot take over a utility window: " + SysErrorMessage(error));
    }
}

TUtilWindow::~TUtilWindow() { DestroyInstanceWindow(FHandle, FInstance, DefWindowProcW); }

} // namespace vcl
