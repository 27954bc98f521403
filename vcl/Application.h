#pragma once
// The application object: it owns the forms, runs the message loop, reports
// errors and keeps a hidden window of its own (class "TApplication") that
// owns the forms' windows and that others may hook. The main form, not this
// window, has the taskbar button. All of it belongs to the thread that
// created the application (AppContext.h).
#include <exception>
#include <string>
#include <vector>

#include "Controls.h"
#include "RefreshGate.h"

namespace vcl {

class TCustomForm;

using TExceptionEvent = TMethod<void(TObject *Sender, const Exception &E)>;
// A hook of the application window: true when it handled the message.
using TWindowHook = TMethod<bool(TMessage &Message)>;

class TApplication : public TComponent {
    VCL_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent *AOwner);
    ~TApplication() override;

    // The hidden application window, created when first asked for.
    HWND Handle();
    std::string Title() const { return FTitle; }
    void SetTitle(const std::string &Value);
    TCustomForm *MainForm() const { return FMainForm; }
    bool Terminated() const { return FTerminated; }

    void Initialize();
    // Creates a form owned by the application into Reference; the first form
    // created becomes the main form.
    template <class T> void CreateForm(T *&Reference);
    // Shows the main form and handles messages until the application ends.
    void Run();
    // Handles every message that is waiting, then returns.
    void ProcessMessages();
    // ProcessMessages, but only when some milliseconds have passed since the
    // last pump: for loops that want to keep the window alive after every
    // small step without paying for an empty queue check each time.
    void ProcessMessagesThrottled();
    // Handles one message, waiting for one when none is there.
    void HandleMessage();
    // Ends the message loop (by posting WM_QUIT).
    void Terminate();
    void Minimize();
    void Restore();
    // Run by the skinning's restore animation when a form of the
    // application has been restored; unassigned by default.
    TNotifyEvent OnRestore;

    void HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(TWindowHook Hook);
    // Offers a message to the hooks, the newest first; true when one
    // handled it. The application window's messages go through them, and
    // so do the main form's system commands (WM_SYSCOMMAND and the
    // taskbar's request for the system menu): the main form owns the
    // taskbar button that the application window has elsewhere.
    bool CallWindowHooks(TMessage &Message);

    // Called inside a catch block: hands the exception to OnException, or
    // shows its message in the default error dialog. EAbort stays silent.
    // An error that comes while another is being reported (the dialog runs a
    // message loop) is reported after it, with the application as Sender;
    // one that equals an error waiting or shown is not reported twice.
    // Installed as the class library's error reporter (AppContext.h).
    void HandleException(TObject *Sender);
    // The default error dialog: a message form (TMessageForm) of type
    // mtError. Defined with the message forms, in Dialogs.cpp, which this
    // module does not include.
    void ShowException(const Exception &E);

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;
    // Milliseconds the mouse rests on a control before its hint shows.
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }

    // For the library: a form came or went; the mouse moved.
    void FormCreated(TCustomForm *Form);
    void FormDestroyed(TCustomForm *Form);
    void UpdateMouseControl();

protected:
    // Forgets the control under the mouse when it goes.
    void Notification(TComponent *AComponent, TOperation Operation) override;

private:
    struct TPendingError {
        std::exception_ptr Error;
        std::string Message;
    };

    void Report(TObject *Sender, const std::exception_ptr &Error) noexcept;
    bool ProcessMessage(MSG &Msg);
    void Idle();
    void WndProc(TMessage &Message);
    void DestroyHandle();

    HWND FHandle = nullptr;
    TObjectInstance FInstance;  // the window's procedure
    std::string FTitle;
    TCustomForm *FMainForm = nullptr;  // owned as a component of the application
    TControl *FMouseControl = nullptr;  // not owned; a free notification clears it
    std::vector<TWindowHook> FWindowHooks;
    TRefreshGate FPumpGate{kPumpIntervalMs};
    std::vector<TPendingError> FPendingErrors;  // come while another was reported
    std::string FReportedMessage;                // of the error being reported
    bool FTerminated = false;
    bool FReporting = false;
    int FHintPause = 500;
};

// The program's application object; it lives from the start of the program
// to its end.
extern TApplication *Application;

template <class T> void TApplication::CreateForm(T *&Reference) {
    Reference = Create<T>(this);
    FormCreated(Reference);
}

} // namespace vcl
