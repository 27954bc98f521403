// Lifetimes of windows, DCs and the procedures chained into windows, and
// the error paths of the message handlers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "UiDriver.h"
#include "vcl/AppContext.h"
#include "vcl/Bitmap.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace vcl {
namespace {

class TLifeForm : public TForm {
    VCL_CLASS(TLifeForm, TForm)
public:
    explicit TLifeForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {
        SetBounds(50, 50, 300, 200);
        Button = Create<TButton>(this);
        Button->SetParent(this);
        Memo = Create<TMemo>(this);
        Memo->SetParent(this);
        Memo->SetTop(40);
    }
    TButton *Button;
    TMemo *Memo;
};
VCL_CLASS_INFO(TLifeForm)

long DCs() { return LiveHandles().DCs; }

// Lets the application go idle once; a timer ends the wait that follows.
void GoIdle() {
    struct TIdleFlag {
        bool Idled = false;
        void Idle(TObject *) { Idled = true; }
    } flag;
    std::unique_ptr<TTimer> wake(Create<TTimer>(nullptr));
    wake->SetInterval(10);
    Application->OnIdle = TNotifyEvent::Bind<&TIdleFlag::Idle>(&flag);
    while (!flag.Idled) Application->HandleMessage();
    Application->OnIdle = {};
}

TEST(CanvasDC, ACanvasKeepsOneDCThatGoesWithTheWindowAndWhenTheApplicationGoesIdle) {
    std::unique_ptr<TLifeForm> form(Create<TLifeForm>(Application));
    form->Show();
    const long before = DCs();
    form->Canvas()->Handle();
    form->Repaint();  // lends the paint's DC to the same canvas
    form->Canvas()->Handle();
    EXPECT_EQ(DCs(), before + 1);
    form->SetBorderStyle(bsDialog);
    EXPECT_EQ(DCs(), before);  // given back with the old window
    EXPECT_EQ(WindowFromDC(form->Canvas()->Handle()), form->Handle());

    std::vector<std::unique_ptr<TBitmap>> bitmaps(10);
    for (auto &b : bitmaps) {
        b = std::make_unique<TBitmap>();
        b->SetSize(4, 4);
        b->Canvas()->FillRect(Rect(0, 0, 4, 4));
    }
    bitmaps[0]->Canvas()->Lock();
    EXPECT_EQ(DCs(), before + 11);
    GoIdle();
    EXPECT_EQ(DCs(), before + 1);  // the locked one's
    bitmaps[0]->Canvas()->Unlock();
    bitmaps[1]->Canvas()->SetPixels(1, 1, clRed);  // drawing takes a DC again
    EXPECT_EQ(bitmaps[1]->Canvas()->Pixels(1, 1), clRed);
}

// Stands in front of a control's window procedure and notes the class the
// control has when its window is destroyed.
struct TDestroyWitness {
    explicit TDestroyWitness(TControl *Control) : Control(Control), Saved(Control->WindowProc) {
        Control->WindowProc = TWndMethod::Bind<&TDestroyWitness::Handle>(this);
    }
    void Handle(TMessage &m) {
        if (m.Msg == WM_DESTROY) ClassAtDestroy = Control->ClassName();
        Saved(m);
    }
    TControl *Control;
    TWndMethod Saved;
    std::string ClassAtDestroy;
};

TEST(WindowEnd, WindowsGoWhileTheWholeObjectExists) {
    TLifeForm *form = Create<TLifeForm>(Application);
    form->Show();
    TDestroyWitness formWitness(form), memoWitness(form->Memo);
    delete form->Memo;
    EXPECT_EQ(memoWitness.ClassAtDestroy, "TMemo");
    delete form;
    EXPECT_EQ(formWitness.ClassAtDestroy, "TLifeForm");
}

// A creation hook that chains a procedure of its own into the first window
// of one class, as the skinning library's hook does with forms and controls.
struct TCreationHook {
    explicit TCreationHook(std::string ClassName) : ClassName(std::move(ClassName)) {
        Active = this;
        Hook = SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
    }
    ~TCreationHook() {
        UnhookWindowsHookEx(Hook);
        Active = nullptr;
    }
    static LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
        const auto window = reinterpret_cast<HWND>(WParam);
        if (Code == HCBT_CREATEWND && Active && !Active->Window && uitest::ClassNameOf(window) == Active->ClassName) {
            Active->Window = window;
            Active->Previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Chained)));
        }
        return CallNextHookEx(nullptr, Code, WParam, LParam);
    }
    static LRESULT CALLBACK Chained(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
        ++Active->Seen;
        return CallWindowProcW(Active->Previous, Window, Msg, WParam, LParam);
    }

    static inline TCreationHook *Active = nullptr;
    std::string ClassName;
    HHOOK Hook;
    HWND Window = nullptr;
    WNDPROC Previous = nullptr;
    int Seen = 0;
};

struct TClicks {
    int Count = 0;
    void Click(TObject *) { ++Count; }
    void Throw(TObject *) { throw Exception("pozdní chyba"); }
};

TEST(WindowBinding, AProcedureChainedInAtCreationKeepsItsMessages) {
    for (const char *className : {"TButton", "TLifeForm"}) {
        TCreationHook hook(className);
        std::unique_ptr<TLifeForm> form(Create<TLifeForm>(Application));
        TClicks clicks;
        form->Button->OnClick = TNotifyEvent::Bind<&TClicks::Click>(&clicks);
        form->Show();
        TWinControl *control = hook.ClassName == "TButton" ? static_cast<TWinControl *>(form->Button) : form.get();
        ASSERT_EQ(hook.Window, control->Handle()) << className;
        const int seen = hook.Seen;
        SendMessageW(control->Handle(), WM_NULL, 0, 0);
        SendMessageW(control->Handle(), WM_NULL, 0, 0);
        EXPECT_EQ(hook.Seen, seen + 2) << className;
        uitest::ClickButton(form->Button->Handle());
        EXPECT_EQ(clicks.Count, 1) << className;  // the control still has its messages
        EXPECT_EQ(FindControl(control->Handle()), control);
    }
}

TEST(ErrorPaths, AnErrorAfterTheApplicationWentIsWrittenOutNotACrash) {
    std::unique_ptr<TLifeForm> form(Create<TLifeForm>(Application));
    TClicks clicks;
    form->Button->OnClick = TNotifyEvent::Bind<&TClicks::Throw>(&clicks);
    form->Show();
    // A late message, after the program's static objects went: as the
    // application's end leaves things.
    TApplication *application = std::exchange(Application, nullptr);
    const TErrorReporter reporter = SetErrorReporter({});
    testing::internal::CaptureStderr();
    uitest::ClickButton(form->Button->Handle());
    const std::string written = testing::internal::GetCapturedStderr();
    Application = application;
    SetErrorReporter(reporter);
    EXPECT_NE(written.find("pozdní chyba"), std::string::npos) << written;
}

struct TSeenErrors {
    std::vector<std::string> Seen;
    void Handle(TObject *, const Exception &E) { Seen.push_back(E.Message()); }
};

TEST(ErrorPaths, AFailingDestroyEventGoesWhereMessageErrorsGoEvenWithoutTheApplication) {
    TClicks clicks;
    TSeenErrors errors;
    Application->OnException = TExceptionEvent::Bind<&TSeenErrors::Handle>(&errors);
    std::unique_ptr<TLifeForm> form(Create<TLifeForm>(nullptr));
    form->OnDestroy = TNotifyEvent::Bind<&TClicks::Throw>(&clicks);
    form.reset();
    Application->OnException = {};
    EXPECT_EQ(errors.Seen, std::vector<std::string>{"pozdní chyba"});

    // A form that outlives the application object, as the program's end leaves it.
    form.reset(Create<TLifeForm>(nullptr));
    form->OnDestroy = TNotifyEvent::Bind<&TClicks::Throw>(&clicks);
    TApplication *application = std::exchange(Application, nullptr);
    const TErrorReporter reporter = SetErrorReporter({});
    testing::internal::CaptureStderr();
    form.reset();
    const std::string written = testing::internal::GetCapturedStderr();
    Application = application;
    SetErrorReporter(reporter);
    EXPECT_NE(written.find("pozdní chyba"), std::string::npos) << written;
}

struct TNestedErrors {
    std::vector<std::string> Seen;
    void Handle(TObject *, const Exception &E) {
        Seen.push_back(E.Message());
        if (Seen.size() > 1) return;
        // A second error while the first is reported (a dialog's message loop runs meanwhile).
        try {
            throw EConvertError("druhá");
        } catch (...) {
            Application->HandleException(nullptr);
        }
    }
};

TEST(ErrorPaths, ASecondErrorIsReportedAfterTheFirst) {
    TNestedErrors errors;
    Application->OnException = TExceptionEvent::Bind<&TNestedErrors::Handle>(&errors);
    try {
        throw EInOutError("první", 5);
    } catch (...) {
        Application->HandleException(nullptr);
    }
    Application->OnException = {};
    EXPECT_EQ(errors.Seen, (std::vector<std::string>{"první", "druhá"}));
}

TEST(Threads, CallsFromAThreadThatDoesNotOwnTheUserInterfaceAreRefused) {
#ifndef NDEBUG
    GTEST_SKIP() << "a debug build aborts on such a call";
#endif
    std::unique_ptr<TLifeForm> form(Create<TLifeForm>(Application));
    TLabel *label = Create<TLabel>(form.get());
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    const std::pair<const char *, std::function<void()>> calls[] = {
        {"window", [&] { form->HandleNeeded(); }},
        {"parent", [&] { label->SetParent(form.get()); }},
        {"pump", [] { Application->ProcessMessages(); }},
        {"canvas", [&] { bitmap.Canvas()->Handle(); }},
    };
    for (const auto &[what, call] : calls) {
        bool refused = false;
        std::thread([&] {
            try {
                call();
            } catch (const EInvalidOperation &) {
                refused = true;
            }
        }).join();
        EXPECT_TRUE(refused) << what;
    }
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_EQ(label->Parent(), nullptr);
    EXPECT_FALSE(bitmap.Canvas()->HandleAllocated());
}

// One cycle of making and destroying: answers the counts while it was alive.
using TCycle = std::function<THandleCounts()>;

// Windows made hidden: showing a thousand forms would cost seconds and
// count nothing more.
THandleCounts FormWithControls() {
    std::unique_ptr<TLifeForm> form(Create<TLifeForm>(Application));
    auto *bar = Create<TProgressBar>(form.get());
    bar->SetParent(form.get());
    auto *label = Create<TLabel>(form.get());
    label->SetParent(form.get());
    for (TWinControl *control : std::initializer_list<TWinControl *>{bar, form->Memo, form->Button})
        control->HandleNeeded();
    form->Canvas()->FillRect(Rect(0, 0, 5, 5));
    label->Canvas()->Handle();
    return LiveHandles();
}

THandleCounts BitmapWithCanvas() {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(16, 16);
    bitmap.Canvas()->Pen()->SetColor(clRed);
    bitmap.Canvas()->Rectangle(0, 0, 8, 8);
    return LiveHandles();
}

THandleCounts FontInCanvas() {
    static TBitmap target;
    static int size = 0;
    target.SetSize(40, 20);
    TFont font;
    font.SetHeight(-10 - size++ % 7);
    target.Canvas()->SetFont(&font);
    target.Canvas()->TextOut(0, 0, "Hotovo");
    return LiveHandles();
}

TEST(HandleCounts, MakingAndDestroyingAThousandTimesReturnsEveryCount) {
    const std::pair<const char *, TCycle> cycles[] = {
        {"form with controls", FormWithControls},
        {"bitmap with canvas", BitmapWithCanvas},
        {"font in a canvas", FontInCanvas},
    };
    for (const auto &[what, cycle] : cycles) {
        cycle();  // what is made once for good (the application's window) is made now
        GoIdle();
        const THandleCounts start = LiveHandles();
        THandleCounts alive;
        for (int i = 0; i < 1000; ++i) alive = cycle();
        GoIdle();
        EXPECT_EQ(LiveHandles(), start) << what;
        // The counts did move while something was alive.
        EXPECT_GT(alive.GdiObjects + alive.DCs + alive.Windows, start.GdiObjects + start.DCs + start.Windows) << what;
    }
}

} // namespace
} // namespace vcl
