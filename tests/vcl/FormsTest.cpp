// Forms and the application: modal forms, closing, the message pump, the
// application window and its hooks, the screen's list of forms.
#include <gtest/gtest.h>

#include <algorithm>
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
        Ok->SetModalResult(mrOk);
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
constexpr TModalResult mrWatchdog = mrIgnore;

TEST(Forms, AModalFormIsCentredDisablesTheOthersAndAnswersTheClickedButton) {
    std::unique_ptr<TForm> other(Create<TForm>(Application, CreateNew));
    other->Show();
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    bool otherEnabledDuring = true;
    RECT placed{};
    TOneShot click([&] {
        otherEnabledDuring = IsWindowEnabled(other->WindowHandle());
        GetWindowRect(form->WindowHandle(), &placed);
        uitest::ClickButton(form->Ok->Handle());
    });
    TOneShot watchdog([&] { form->SetModalResult(mrWatchdog); }, kWatchdogMs);
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(IsWindowVisible(form->WindowHandle()));
    EXPECT_FALSE(form->Modal());
    EXPECT_FALSE(otherEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(other->WindowHandle()));
    const TRect desktop = Screen->DesktopRect();
    EXPECT_NEAR((placed.left + placed.right) / 2, (desktop.Left + desktop.Right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (desktop.Top + desktop.Bottom) / 2, 1);
}

struct TFormLog {
    TCustomForm *Form = nullptr;
    bool AllowClose = false;
    std::vector<std::string> Events;
    void Query(TObject *, bool &CanClose) {
        Events.push_back("query");
        CanClose = AllowClose;
    }
    void Close(TObject *, TCloseAction &) { Events.push_back("close"); }
    void Show(TObject *) {
        Events.push_back(IsWindowVisible(Form->WindowHandle()) ? "show, visible" : "show");
        Form->SetCaption("Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    }
};

TEST(Forms, OnShowComesBeforeTheWindowAppearsAndCloseQueryCanRefuse) {
    std::unique_ptr<TDialogForm> form(Create<TDialogForm>(Application));
    TFormLog log{form.get()};
    form->OnCloseQuery = TCloseQueryEvent::Bind<&TFormLog::Query>(&log);
    form->OnClose = TCloseEvent::Bind<&TFormLog::Close>(&log);
    form->OnShow = TNotifyEvent::Bind<&TFormLog::Show>(&log);
    form->Show();
    EXPECT_EQ(uitest::TextOf(form->WindowHandle()), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form->Visible());
    log.AllowClose = true;
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->WindowHandle()));
    form->Show();
    EXPECT_EQ(log.Events, (std::vector<std::string>{"show", "query", "query", "close", "show"}));
}

TEST(Forms, TheClientAreaExcludesFrameAndBorderWidth) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetBorderStyle(bsDialog);
    form->SetClientWidth(774);
    form->SetClientHeight(341);
    EXPECT_GT(form->Width(), 774);
    form->Show();
    RECT client{};
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 774);
    EXPECT_EQ(client.bottom, 341);
    EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    const int width = form->Width();
    form->SetBorderWidth(6);
    EXPECT_EQ(form->ClientWidth(), 762);
    EXPECT_EQ(form->Width(), width);
}

TEST(Forms, AlphaBlendMakesTheWindowLayered) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetAlphaBlendValue(128);
    form->SetAlphaBlend(true);
    form->Show();
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(form->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(Forms, TheScreenListsTheFormsAndAReleasedOneGoesWithTheNextPump) {
    const int before = Screen->FormCount();
    std::unique_ptr<TForm> a(Create<TForm>(Application, CreateNew));
    auto *b = Create<TForm>(Application, CreateNew);
    ASSERT_EQ(Screen->FormCount(), before + 2);
    EXPECT_EQ(Screen->Forms(before + 1), b);
    b->Show();
    EXPECT_EQ(Screen->ActiveForm(), b);
    const HWND window = b->WindowHandle();
    b->Release();
    EXPECT_TRUE(IsWindow(window));
    Application->ProcessMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(Screen->Forms(before), a.get());
}

struct THook {
    std::vector<UINT> Seen;
    bool Consume = false;
    bool Handle(TMessage &m) {
        Seen.push_back(m.Msg);
        if (m.Msg != WM_APP + 3 || !Consume) return false;
        m.Result = 7;
        return true;
    }
};

TEST(Application, HookedMainWindowSeesItsMessagesUntilUnhooked) {
    THook hook;
    const TWindowHook method = TWindowHook::Bind<&THook::Handle>(&hook);
    Application->HookMainWindow(method);
    Application->SetTitle("Instalace – Produkční");
    const HWND app = Application->Handle();
    EXPECT_EQ(uitest::ClassNameOf(app), "TApplication");
    EXPECT_EQ(uitest::TextOf(app), "Instalace – Produkční");
    EXPECT_FALSE(IsWindowVisible(app));
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 0);
    hook.Consume = true;
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 7);
    Application->UnhookMainWindow(method);
    EXPECT_EQ(SendMessageW(app, WM_APP + 3, 0, 0), 0);
    EXPECT_EQ(std::count(hook.Seen.begin(), hook.Seen.end(), WM_APP + 3), 2);
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

TEST(Application, TheLoopWaitsForMessagesWhenIdleHandlersSendSome) {
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

TEST(Application, AnUncaughtErrorIsShownWithItsMessageInAMessageForm) {
    std::string caption, message;
    TOneShot close([&] {
        for (int i = 0; i < Screen->FormCount(); ++i) {
            auto *box = dynamic_cast<TMessageForm *>(Screen->Forms(i));
            if (!box || !box->Modal()) continue;
            caption = box->Caption();
            message = box->MessageLabel()->Caption();
            box->SetModalResult(mrOk);
        }
    });
    TOneShot watchdog([&] {
        for (HWND w : uitest::TopLevelWindows("TMessageForm", GetCurrentProcessId())) PostMessageW(w, WM_CLOSE, 0, 0);
    }, kWatchdogMs);
    try {
        throw EInOutError("Nelze vytvořit ticket.jpg !", 5);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(message, "Nelze vytvořit ticket.jpg !");
}

} // namespace
} // namespace vcl
