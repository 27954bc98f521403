#include "Application.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "AppContext.h"
#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"
#include "WideText.h"

namespace vcl {

VCL_CLASS_INFO(TApplication)

namespace {

// The end of the program, as the application object's destruction: marked
// first, so that every form knows it is going, then the forms, the last
// created first.
void DestroyApplicationForms() {
    if (!Application) return;
    Application->Destroying();
    Application->DestroyComponents();
}

} // namespace

TApplication::TApplication(TComponent *AOwner) : TComponent(AOwner) {
    SetUIThread();
    SetErrorReporter(TErrorReporter::Bind<&TApplication::HandleException>(this));
}

TApplication::~TApplication() {
    // The forms go before the window that owns theirs.
    DestroyComponents();
    DestroyHandle();
    // Later errors (a message after the program's end) go to the error output.
    const TErrorReporter mine = TErrorReporter::Bind<&TApplication::HandleException>(this);
    if (const TErrorReporter other = SetErrorReporter({}); !(other == mine)) SetErrorReporter(other);
}

HWND TApplication::Handle() {
    if (FHandle) return FHandle;
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TApplication";
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) throw Exception("Cannot register the window class TApplication");
    const std::wstring title = Utf8ToWide(FTitle);
    // Hidden, and without a taskbar button of its own: the main form has one.
    FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, L"TApplication", title.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!FHandle) throw Exception("Cannot create the application window");
    CountHandle(THandleKind::Window, 1);
    FInstance = TObjectInstance(TWndMethod::Bind<&TApplication::WndProc>(this));
    if (!SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FInstance.Proc()))) {
        const int error = static_cast<int>(GetLastError());
        DestroyHandle();
        throw Exception("Cannot take over the application window: " + SysErrorMessage(error));
    }
    return FHandle;
}

void TApplication::DestroyHandle() {
    DestroyInstanceWindow(FHandle, FInstance, DefWindowProcW);
    FHandle = nullptr;
}

void TApplication::SetTitle(const std::string &Value) {
    FTitle = Value;
    if (FHandle) SetWindowTextW(FHandle, Utf8ToWide(Value).c_str());
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // Registered from the program's main block, this runs before the static
    // objects of every module are destroyed: the forms go while everything
    // they may reach in their destructors still exists.
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(DestroyApplicationForms);
    }
}

void TApplication::FormCreated(TCustomForm *Form) {
    if (!Form) return;
    if (!FMainForm) {
        FMainForm = Form;
        return;
    }
    if (Form->FVisibleRead) {
        Form->FVisibleRead = false;
        Form->Show();
    }
}

void TApplication::FormDestroyed(TCustomForm *Form) {
    if (FMainForm == Form) FMainForm = nullptr;
}

void TApplication::Notification(TComponent *AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == FMouseControl) FMouseControl = nullptr;
    inherited::Notification(AComponent, Operation);
}

void TApplication::Run() {
    if (FMainForm) {
        try {
            FMainForm->FVisibleRead = false;
            FMainForm->Show();
        } catch (...) {
            HandleException(FMainForm);
        }
    }
    while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage(MSG &Msg) {
    if (!PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (!IsKeyMessage(Msg)) {
        TranslateMessage(&Msg);
        DispatchMessageW(&Msg);
    }
    if ((Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST) || Msg.message == WM_MOUSELEAVE ||
        Msg.message == WM_NCMOUSEMOVE)
        UpdateMouseControl();
    return true;
}

void TApplication::HandleMessage() {
    CheckUIThread("Handling a message");
    try {
        MSG msg;
        const std::uint32_t before = ControlMessageCount();
        if (ProcessMessage(msg)) return;
        // A message sent to one of our windows while the queue was read
        // counts as work done: the caller may be waiting for its effect.
        // What the idle handlers send does not, or a handler that always
        // sends something would keep the loop from ever waiting.
        const bool handledSent = ControlMessageCount() != before;
        Idle();
        if (handledSent || FTerminated) return;
        // A window update that was not due yet is tried again after a frame.
        const DWORD wait = WindowUpdatesPending() ? kDisplayFrameMs : INFINITE;
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::Idle() {
    FlushWindowUpdates();
    FreeCachedDCs();
    UpdateMouseControl();
    if (OnIdle) OnIdle(this);
}

void TApplication::ProcessMessages() {
    CheckUIThread("Processing messages");
    FlushWindowUpdates();
    MSG msg;
    while (ProcessMessage(msg)) {
    }
    FPumpGate.Mark(TickMs());
}

void TApplication::ProcessMessagesThrottled() {
    if (FPumpGate.Due(TickMs())) ProcessMessages();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Minimize() {
    if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->WindowHandle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->WindowHandle()))
        ShowWindow(FMainForm->WindowHandle(), SW_RESTORE);
}

void TApplication::HookMainWindow(TWindowHook Hook) {
    if (std::find(FWindowHooks.begin(), FWindowHooks.end(), Hook) == FWindowHooks.end()) FWindowHooks.push_back(Hook);
}

void TApplication::UnhookMainWindow(TWindowHook Hook) {
    FWindowHooks.erase(std::remove(FWindowHooks.begin(), FWindowHooks.end(), Hook), FWindowHooks.end());
}

bool TApplication::CallWindowHooks(TMessage &Message) {
    // Newest hook first; a hook may remove itself while it runs.
    for (const TWindowHook &hook : std::vector<TWindowHook>(FWindowHooks.rbegin(), FWindowHooks.rend()))
        if (std::find(FWindowHooks.begin(), FWindowHooks.end(), hook) != FWindowHooks.end() && hook(Message))
            return true;
    return false;
}

void TApplication::WndProc(TMessage &Message) {
    try {
        if (CallWindowHooks(Message)) return;
        switch (Message.Msg) {
        case WM_CLOSE:
            if (FMainForm) FMainForm->Close();
            return;
        case WM_SYSCOMMAND:
            if ((Message.WParam & 0xFFF0) == SC_MINIMIZE) {
                Minimize();
                return;
            }
            if ((Message.WParam & 0xFFF0) == SC_RESTORE) {
                Restore();
                return;
            }
            break;
        case WM_ENDSESSION:
            if (Message.WParam) Terminate();
            return;
        case WM_MEASUREITEM: case WM_DRAWITEM:
            // Popup menus shown for the application (TPopupMenu::Popup).
            if (DispatchMenuMessage(Message)) return;
            break;
        default: break;
        }
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::HandleException(TObject *Sender) {
    const std::exception_ptr error = std::current_exception();
    if (!error) return;
    if (FReporting) {
        // The dialog of an error being reported runs a message loop, and
        // what fails meanwhile waits its turn; an error like one that waits
        // or is shown is not reported again.
        std::string message = CurrentExceptionMessage();
        constexpr std::size_t kMaxPending = 16;
        const bool known = message == FReportedMessage ||
                           std::any_of(FPendingErrors.begin(), FPendingErrors.end(),
                                       [&](const TPendingError &e) { return e.Message == message; });
        if (known) return;
        if (FPendingErrors.size() < kMaxPending) FPendingErrors.push_back({error, std::move(message)});
        else WriteUnreportedError(message);
        return;
    }
    FReporting = true;
    Report(Sender, error);
    while (!FPendingErrors.empty()) {
        const TPendingError next = FPendingErrors.front();
        FPendingErrors.erase(FPendingErrors.begin());
        // The object that raised it may be gone by now.
        Report(this, next.Error);
    }
    FReporting = false;
}

void TApplication::Report(TObject *Sender, const std::exception_ptr &Error) noexcept {
    try {
        try {
            std::rethrow_exception(Error);
        } catch (const EAbort &) {
            return;
        } catch (const Exception &e) {
            FReportedMessage = e.Message();
            if (OnException) OnException(Sender, e);
            else ShowException(e);
        } catch (...) {
            FReportedMessage = CurrentExceptionMessage();
            const Exception e(FReportedMessage);
            if (OnException) OnException(Sender, e);
            else ShowException(e);
        }
    } catch (...) {
        // Reporting failed (no dialog could be made): the error is written out instead.
        WriteUnreportedError(FReportedMessage);
        WriteUnreportedError(CurrentExceptionMessage());
    }
    FReportedMessage.clear();
}

void TApplication::UpdateMouseControl() {
    POINT p{};
    GetCursorPos(&p);
    TControl *control = FindDragTarget(Point(p.x, p.y), false);
    if (control == FMouseControl) return;
    TControl *previous = FMouseControl;
    if (previous) RemoveFreeNotification(previous);
    FMouseControl = control;
    if (control) FreeNotification(control);
    if (previous) previous->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(previous));
    if (control && control == FMouseControl) control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
}

} // namespace vcl
