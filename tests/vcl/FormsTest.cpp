// Forms and the application: modal forms, closing, the message pump, the
// application window and its hooks, the screen's list of forms.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl {
namespace {

class TDialogForm : public TForm {
    VCL_CLASS(TDialogForm, TForm)
public:
    explicit TDialogForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {
        SetBorderStyle(bsDialog);
        SetPosition(poDesktopCenter);
        SetClientWidth(300);
        SetClientHeight(120);
        Ok = Create<TButton>(this);
        Ok->SetParent(this);
        Ok->SetCaption("OK");
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Ok->SetBounds(110, 80, 80, 25);
    }
    TButton *Ok;
};
VCL_CLASS_INFO(TDialogForm)

// Runs an action from a timer of the GUI thread, once.
struct TOneShot {
    std::function<void()> Action;
    std::unique_ptr<TTimer> Timer;
    explicit TOneShot(std::function<void()> action, unsigned ms = 30) : Action(std::move(action)) {
        Timer.reset(Create<TTimer>(nullptr));
        Timer->SetInterval(ms);
        Timer->OnTimer = TNotifyEvent::Bind<&TOneShot::Fire>(this);
    }
    void Fire(TObject *) {
        Timer->SetEnabled(false);
        Action();
    }
};

// Ends a modal loop that nothing else ended in time, with a result that no
// test expects, so that the test fails instead of hanging.
constexpr unsigned kWatchdogMs = 5000;
constexpr TModalResult mrWatchdog = mrAbort;

struct TCloseLog {
    bool Allow = true;
    std::vector<std::string> Events;
    TCloseAction Action = caHide;
    void Query(TObject *, bool &CanClose) {
        Events.push_back("query");
        CanClose = Allow;
    }
    void Close(TObject *, TCloseAction &A) {
        Events.push_back("close");
        A = Action;
    }
    void Show(TObject *) { Events.push_back("show"); }
};

TEST(Forms, ShowModalReturnsTheResultOfTheClickedButton) {
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    TOneShot click([&] { uitest::ClickButton(form->Ok->Handle()); });
    TOneShot watchdog([&] { form->SetModalResult(mrWatchdog); }, kWatchdogMs);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(IsWindowVisible(form->WindowHandle()));
    EXPECT_FALSE(form->Modal());
}

TEST(Forms, ModalFormIsCentredOnTheDesktopAndDisablesOtherForms) {
    std::unique_ptr<TForm> owner(Create<TForm>(Application, CreateNew));
    owner->Show();
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    bool ownerEnabledDuring = true;
    RECT placed{};
    TOneShot check([&] {
        ownerEnabledDuring = IsWindowEnabled(owner->WindowHandle());
        GetWindowRect(form->WindowHandle(), &placed);
        form->SetModalResult(mrCancel);
    });
    TOneShot watchdog([&] { form->SetModalResult(mrWatchdog); }, kWatchdogMs);
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner->WindowHandle()));
    const TRect desktop = Screen->DesktopRect();
    EXPECT_NEAR((placed.left + placed.right) / 2, (desktop.Left + desktop.Right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (desktop.Top + desktop.Bottom) / 2, 1);
}

TEST(Forms, CloseQueryCanRefuseToClose) {
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    TCloseLog log;
    log.Allow = false;
    form->OnCloseQuery = TCloseQueryEvent::Bind<&TCloseLog::Query>(&log);
    form->OnClose = TCloseEvent::Bind<&TCloseLog::Close>(&log);
    form->Show();
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form->Visible());
    log.Allow = true;
    form->Close();
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(log.Events, (std::vector<std::string>{"query", "query", "close"}));
}

TEST(Forms, OnShowRunsEveryTimeBeforeTheWindowAppears) {
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    bool visibleDuringShow = true;
    struct TShow {
        TDialogForm *Form;
        bool *Visible;
        int Count = 0;
        void Handle(TObject *) {
            ++Count;
            *Visible = IsWindowVisible(Form->WindowHandle());
            Form->SetCaption("Setup MERKANO ZUVO 2019 23.12.2019 Demo");
        }
    } show{form.get(), &visibleDuringShow};
    form->OnShow = TNotifyEvent::Bind<&TShow::Handle>(&show);
    form->Show();
    EXPECT_FALSE(visibleDuringShow);
    EXPECT_EQ(uitest::TextOf(form->WindowHandle()), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    form->Hide();
    form->Show();
    EXPECT_EQ(show.Count, 2);
}

TEST(Forms, ClientSizeExcludesTheFrame) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetBorderStyle(bsDialog);
    form->SetClientWidth(774);
    form->SetClientHeight(341);
    EXPECT_EQ(form->ClientWidth(), 774);
    EXPECT_EQ(form->ClientHeight(), 341);
    EXPECT_GT(form->Width(), 774);
    form->Show();
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 774);
    EXPECT_EQ(client.bottom, 341);
    const LONG_PTR exStyle = GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
}

TEST(Forms, AlphaBlendMakesTheWindowLayered) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetAlphaBlendValue(128);
    form->SetAlphaBlend(true);
    form->Show();
    EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(Forms, BorderWidthNarrowsTheClientArea) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetBorderStyle(bsNone);
    form->SetBounds(10, 10, 200, 100);
    form->Show();
    EXPECT_EQ(form->ClientWidth(), 200);
    form->SetBorderWidth(6);
    EXPECT_EQ(form->ClientWidth(), 188);
    EXPECT_EQ(form->ClientHeight(), 88);
    EXPECT_EQ(form->Width(), 200);
}

TEST(Forms, ScreenListsTheFormsInCreationOrder) {
    const int before = Screen->FormCount();
    std::unique_ptr<TForm> a(Create<TForm>(Application, CreateNew));
    std::unique_ptr<TForm> b(Create<TForm>(Application, CreateNew));
    ASSERT_EQ(Screen->FormCount(), before + 2);
    EXPECT_EQ(Screen->Forms(before), a.get());
    EXPECT_EQ(Screen->Forms(before + 1), b.get());
    a.reset();
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(Screen->Forms(before), b.get());
    b->Show();
    EXPECT_EQ(Screen->ActiveForm(), b.get());
    EXPECT_GT(Screen->Width(), 0);
    EXPECT_GT(Screen->PixelsPerInch(), 0);
}

TEST(Forms, ReleasedFormIsDestroyedByTheNextPump) {
    auto *form = Create<TForm>(Application, CreateNew);
    form->Show();
    const HWND window = form->WindowHandle();
    const int count = Screen->FormCount();
    form->Release();
    EXPECT_TRUE(IsWindow(window));
    Application->ProcessMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Screen->FormCount(), count - 1);
}

struct THook {
    std::vector<UINT> Seen;
    bool Consume = false;
    bool Handle(TMessage &m) {
        Seen.push_back(m.Msg);
        if (m.Msg == WM_APP + 3 && Consume) {
            m.Result = 7;
            return true;
        }
        return false;
    }
};

TEST(Application, HookedMainWindowSeesItsMessagesUntilUnhooked) {
    THook hook;
    const TWindowHook method = TWindowHook::Bind<&THook::Handle>(&hook);
    Application->HookMainWindow(method);
    HWND app = Application->Handle();
    EXPECT_EQ(uitest::ClassNameOf(app), "TApplication");
    EXPECT_FALSE(IsWindowVisible(app));
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 0);
    hook.Consume = true;
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 7);
    Application->UnhookMainWindow(method);
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 0);
    EXPECT_EQ(hook.Seen.size(), 2u);
}

TEST(Application, TitleIsTheApplicationWindowText) {
    Application->SetTitle("Setup MERKANO ZUVO DEMO EET 2020");
    EXPECT_EQ(uitest::TextOf(Application->Handle()), "Setup MERKANO ZUVO DEMO EET 2020");
    Application->SetTitle("Instalace – Produkční");
    EXPECT_EQ(uitest::TextOf(Application->Handle()), "Instalace – Produkční");
}

TEST(Application, ProcessMessagesHandlesWhatIsWaiting) {
    int seen = 0;
    struct TCount {
        int *Seen;
        void Handle(TMessage &m) {
            if (m.Msg == WM_APP + 1) ++*Seen;
        }
    } count{&seen};
    TUtilWindow w(TWndMethod::Bind<&TCount::Handle>(&count));
    EXPECT_EQ(uitest::ClassNameOf(w.Handle()), "TPUtilWindow");
    for (int i = 0; i < 3; ++i) PostMessageW(w.Handle(), WM_APP + 1, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(seen, 3);
}

// Sends a message to a window of ours each time the application is idle.
struct TSendingIdle {
    HWND Window;
    int Count = 0;
    void Idle(TObject *) {
        ++Count;
        SendMessageW(Window, WM_NULL, 0, 0);
    }
};

TEST(Application, LoopWaitsForMessagesWhenIdleHandlersSendSome) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    TSendingIdle idle{form->Handle()};
    Application->OnIdle = TNotifyEvent::Bind<&TSendingIdle::Idle>(&idle);
    bool stop = false;
    TOneShot timer([&] { stop = true; }, 100);
    while (!stop) Application->HandleMessage();
    Application->OnIdle = {};
    // Idle a few times over 100 ms, not once per turn of a loop that never waits.
    EXPECT_LT(idle.Count, 50);
}

TEST(Application, UncaughtErrorIsShownInAMessageForm) {
    // The default error dialog: found by its class, closed by its button.
    std::string text;
    auto visibleBoxes = [] {
        std::vector<HWND> boxes;
        for (HWND w : uitest::TopLevelWindows("TMessageForm", GetCurrentProcessId()))
            if (IsWindowVisible(w)) boxes.push_back(w);
        return boxes;
    };
    TOneShot close([&] {
        for (HWND w : visibleBoxes()) {
            text = uitest::TextOf(w);
            if (HWND ok = uitest::FindChild(w, "TButton", "OK")) uitest::ClickButton(ok);
        }
    });
    bool watchdogFired = false;
    TOneShot watchdog([&] {
        watchdogFired = true;
        for (HWND w : visibleBoxes()) PostMessageW(w, WM_CLOSE, 0, 0);
    }, kWatchdogMs);
    try {
        throw EInOutError("Nelze vytvořit ticket.jpg !", 5);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_EQ(text, "Error");
    EXPECT_FALSE(watchdogFired);
}

} // namespace
} // namespace vcl
