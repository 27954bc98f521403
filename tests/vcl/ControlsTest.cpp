// Windows of controls: class names, creation on demand, the replaceable
// window procedure, the notification order around show and hide, and the
// reflection of control notifications to the child they concern.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "UiDriver.h"
#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

class TSampleForm : public TForm {
    VCL_CLASS(TSampleForm, TForm)
public:
    explicit TSampleForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {}
};
VCL_CLASS_INFO(TSampleForm)

// Stands in the WindowProc of a control and records what passes.
struct TRecorder {
    struct TEntry {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        bool WindowVisible;  // as the message arrived
        bool HadWindow;
    };

    explicit TRecorder(TControl *Control) : Control(Control), Saved(Control->WindowProc) {
        Control->WindowProc = TWndMethod::Bind<&TRecorder::Handle>(this);
    }
    ~TRecorder() { Restore(); }
    void Restore() {
        if (Control) Control->WindowProc = Saved;
        Control = nullptr;
    }

    void Handle(TMessage &m) {
        auto *w = dynamic_cast<TWinControl *>(Control);
        Seen.push_back({m.Msg, m.WParam, m.LParam, w && w->HandleAllocated() && IsWindowVisible(w->WindowHandle()),
                        w && w->HandleAllocated()});
        Saved(m);
        if (m.Msg == CM_SHOWINGCHANGED) VisibleAfterShowingChanged.push_back(w && IsWindowVisible(w->WindowHandle()));
    }
    std::vector<UINT> Messages(std::initializer_list<UINT> only) const {
        std::vector<UINT> out;
        for (const TEntry &e : Seen)
            if (std::find(only.begin(), only.end(), e.Msg) != only.end()) out.push_back(e.Msg);
        return out;
    }
    const TEntry *Find(UINT msg) const {
        for (const TEntry &e : Seen)
            if (e.Msg == msg) return &e;
        return nullptr;
    }

    TControl *Control;
    TWndMethod Saved;
    std::vector<TEntry> Seen;
    std::vector<bool> VisibleAfterShowingChanged;
};

struct TClickCounter {
    int Clicks = 0;
    void Click(TObject *) { ++Clicks; }
};

// A form with a button, a hidden button, a memo and a label.
struct TFixture {
    std::unique_ptr<TSampleForm> Form{Create<TSampleForm>(Application)};
    TButton *Button = Create<TButton>(Form.get());
    TButton *Hidden = Create<TButton>(Form.get());
    TMemo *Memo = Create<TMemo>(Form.get());
    TLabel *Label = Create<TLabel>(Form.get());

    TFixture() {
        Form->SetBounds(100, 100, 400, 300);
        Button->SetParent(Form.get());
        Button->SetBounds(10, 10, 100, 30);
        Button->SetCaption("Instaluj");
        Hidden->SetVisible(false);
        Hidden->SetParent(Form.get());
        Memo->SetParent(Form.get());
        Memo->SetBounds(10, 50, 200, 100);
        Label->SetParent(Form.get());
        Label->SetCaption("Label1");
        Label->SetBounds(10, 200, 100, 16);
    }
};

TEST(Controls, WindowClassesAreNamedAfterTheControlClasses) {
    TFixture f;
    f.Form->Show();
    EXPECT_EQ(uitest::ClassNameOf(f.Form->Handle()), "TSampleForm");
    EXPECT_EQ(uitest::ClassNameOf(f.Button->Handle()), "TButton");
    EXPECT_EQ(uitest::ClassNameOf(f.Memo->Handle()), "TMemo");
    // The superclasses behave as the system classes they are made from.
    EXPECT_TRUE(f.Button->Perform(WM_GETDLGCODE, 0, 0) & (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON));
    EXPECT_TRUE(SendMessageW(f.Memo->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL);
    EXPECT_EQ(FindControl(f.Button->Handle()), f.Button);
    EXPECT_EQ(FindControl(f.Form->Handle()), f.Form.get());
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
}

TEST(Controls, WindowsAreMadeOnlyForShowingControls) {
    TFixture f;
    EXPECT_FALSE(f.Form->HandleAllocated());
    EXPECT_FALSE(f.Button->HandleAllocated());
    f.Form->Show();
    EXPECT_TRUE(f.Button->HandleAllocated());
    EXPECT_TRUE(f.Memo->HandleAllocated());
    EXPECT_FALSE(f.Hidden->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(f.Form->WindowHandle()));
    EXPECT_TRUE(IsWindowVisible(f.Button->WindowHandle()));

    // Asking for a hidden control's handle makes its window, hidden.
    HWND hidden = f.Hidden->Handle();
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(GetParent(hidden), f.Form->WindowHandle());
}

TEST(Controls, TextAndBoundsSurviveTheWindow) {
    TFixture f;
    f.Memo->SetText("před oknem");
    f.Form->Show();
    EXPECT_EQ(uitest::TextOf(f.Button->Handle()), "Instaluj");
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "před oknem");
    RECT r{};
    GetWindowRect(f.Button->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, f.Form->Handle(), reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, 100);

    SetWindowTextW(f.Memo->Handle(), L"zapsáno oknem");
    f.Memo->RecreateWnd();
    EXPECT_EQ(f.Memo->Text(), "zapsáno oknem");
    EXPECT_TRUE(IsWindowVisible(f.Memo->WindowHandle()));
}

TEST(Controls, WindowProcCanBeReplacedAndPutBack) {
    TFixture f;
    const TWndMethod original = f.Form->WindowProc;
    f.Form->Show();
    {
        TRecorder rec(f.Form.get());
        EXPECT_NE(f.Form->WindowProc, original);
        SendMessageW(f.Form->Handle(), WM_NULL, 0, 0);
        f.Form->Perform(WM_APP + 5, 0, 0);
        EXPECT_EQ(rec.Messages({WM_NULL, WM_APP + 5}), (std::vector<UINT>{WM_NULL, WM_APP + 5}));
        rec.Restore();
        EXPECT_EQ(f.Form->WindowProc, original);
        const std::size_t before = rec.Seen.size();
        SendMessageW(f.Form->Handle(), WM_NULL, 0, 0);
        EXPECT_EQ(rec.Seen.size(), before);
    }
    // The saved procedure still answers as the form does.
    EXPECT_EQ(f.Form->Perform(WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(Controls, ShowingChangedComesBeforeTheWindowShowsAndBeforeItHides) {
    TFixture f;
    TRecorder form(f.Form.get());
    TRecorder button(f.Button);
    f.Form->Show();
    // Visible changed first; showing changed inside it, with the window there but not yet shown.
    EXPECT_EQ(form.Messages({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    const TRecorder::TEntry *showing = form.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(showing);
    EXPECT_TRUE(showing->HadWindow);
    EXPECT_FALSE(showing->WindowVisible);
    ASSERT_EQ(form.VisibleAfterShowingChanged.size(), 1u);
    EXPECT_TRUE(form.VisibleAfterShowingChanged[0]);
    // The child had its window and was announced before the form was.
    const TRecorder::TEntry *child = button.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->HadWindow);

    form.Seen.clear();
    form.VisibleAfterShowingChanged.clear();
    f.Form->Hide();
    const TRecorder::TEntry *hiding = form.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(hiding);
    EXPECT_TRUE(hiding->WindowVisible);
    ASSERT_EQ(form.VisibleAfterShowingChanged.size(), 1u);
    EXPECT_FALSE(form.VisibleAfterShowingChanged[0]);
    EXPECT_FALSE(f.Form->Showing());
    EXPECT_FALSE(f.Button->Showing());
}

TEST(Controls, NotificationsFollowPropertyChanges) {
    TFixture f;
    f.Form->Show();
    TRecorder rec(f.Button);
    f.Button->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(f.Button->WindowHandle()));
    f.Button->SetCaption("Hotovo");
    f.Button->SetCaption("Hotovo");  // unchanged: no notification
    f.Button->Font()->SetHeight(-20);
    f.Button->SetColor(clRed);
    f.Button->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(f.Button->WindowHandle()));
    EXPECT_EQ(rec.Messages({CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_FONTCHANGED, CM_COLORCHANGED, CM_VISIBLECHANGED,
                            CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_FONTCHANGED, CM_COLORCHANGED,
                                 CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    // The text went through the window procedure as WM_SETTEXT.
    EXPECT_TRUE(rec.Find(WM_SETTEXT));
    EXPECT_EQ(uitest::TextOf(f.Button->WindowHandle()), "Hotovo");
}

TEST(Controls, ParentHearsOfChildrenComingAndGoing) {
    TFixture f;
    TRecorder rec(f.Form.get());
    TLabel *extra = Create<TLabel>(f.Form.get());
    extra->SetParent(f.Form.get());
    EXPECT_EQ(f.Form->ControlCount(), 5);
    EXPECT_EQ(f.Form->Controls(4), extra);
    extra->SetParent(nullptr);
    EXPECT_EQ(f.Form->ControlCount(), 4);
    std::vector<std::pair<WPARAM, LPARAM>> changes;
    for (const auto &e : rec.Seen)
        if (e.Msg == CM_CONTROLLISTCHANGE) changes.emplace_back(e.WParam, e.LParam);
    const auto self = reinterpret_cast<LPARAM>(extra);
    EXPECT_EQ(changes, (std::vector<std::pair<WPARAM, LPARAM>>{{1, self}, {0, self}}));
    delete extra;
}

TEST(Controls, ButtonClickIsReflectedAsControlCommand) {
    TFixture f;
    TClickCounter counter;
    f.Button->OnClick = TNotifyEvent::Bind<&TClickCounter::Click>(&counter);
    f.Form->Show();
    TRecorder rec(f.Button);
    uitest::ClickButton(f.Button->Handle());
    EXPECT_EQ(counter.Clicks, 1);
    const TRecorder::TEntry *cn = rec.Find(CN_COMMAND);
    ASSERT_TRUE(cn);
    EXPECT_EQ(CN_COMMAND, 0xBD11u);
}

TEST(Controls, ButtonSetsTheModalResultOfItsForm) {
    TFixture f;
    f.Button->SetModalResult(mrYes);
    f.Form->Show();
    uitest::ClickButton(f.Button->Handle());
    EXPECT_EQ(f.Form->ModalResult(), mrYes);
}

TEST(Controls, MemoLinesFollowTheWindow) {
    TFixture f;
    TStrings *lines = f.Memo->Lines();
    lines->Add("první");
    lines->Add("");
    lines->Add("třetí");
    EXPECT_EQ(lines->Count(), 3);
    f.Form->Show();
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "první\r\n\r\ntřetí");
    lines->Add("Okraj X –1");
    lines->Insert(0, "nula");
    lines->Delete(2);
    lines->SetStrings(1, "jedna");
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "nula\r\njedna\r\ntřetí\r\nOkraj X –1");
    ASSERT_EQ(lines->Count(), 4);
    EXPECT_EQ(lines->Strings(3), "Okraj X –1");
    lines->Delete(3);
    EXPECT_EQ(lines->Text(), "nula\r\njedna\r\ntřetí\r\n");
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
    EXPECT_THROW(lines->Strings(0), EStringListError);
    EXPECT_THROW(lines->Insert(1, "x"), EStringListError);
}

TEST(Controls, MemoStylesFollowItsProperties) {
    TFixture f;
    f.Memo->SetAlignment(taCenter);
    f.Memo->SetReadOnly(true);
    f.Memo->SetScrollBars(ssVertical);
    f.Form->Show();
    const LONG_PTR style = GetWindowLongPtrW(f.Memo->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_TRUE(style & ES_MULTILINE);
    f.Memo->SetAlignment(taLeftJustify);
    EXPECT_FALSE(GetWindowLongPtrW(f.Memo->Handle(), GWL_STYLE) & ES_CENTER);
    f.Memo->SetReadOnly(false);
    EXPECT_FALSE(GetWindowLongPtrW(f.Memo->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST(Controls, GraphicChildrenArePaintedByTheirParent) {
    TFixture f;
    f.Form->Show();
    TRecorder rec(f.Label);
    RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const TRecorder::TEntry *paint = rec.Find(WM_PAINT);
    EXPECT_TRUE(paint);
}

// Bits of csPaintCopy and the states after it: a paint or the window's end
// under way.
std::uint32_t BusyStates(const TControl *Control) { return Control->ControlState().Bits() >> csPaintCopy; }

// Stands in front of a control's window procedure, as a skinning procedure
// does, and keeps the busy states that each WM_PAINT and each OnPaint find.
struct TPaintStates {
    explicit TPaintStates(TCustomForm *Form) : Form(Form), Saved(Form->WindowProc) {
        Form->WindowProc = TWndMethod::Bind<&TPaintStates::Handle>(this);
        Form->OnPaint = TNotifyEvent::Bind<&TPaintStates::OnPaint>(this);
    }
    ~TPaintStates() { Form->WindowProc = Saved; }
    void Handle(TMessage &m) {
        if (m.Msg == WM_PAINT) OnArrival.push_back(BusyStates(Form));
        Saved(m);
    }
    void OnPaint(TObject *) { InOnPaint.push_back(BusyStates(Form)); }

    TCustomForm *Form;
    TWndMethod Saved;
    std::vector<std::uint32_t> OnArrival;
    std::vector<std::uint32_t> InOnPaint;
};

TEST(Controls, PaintStateIsSetOnlyWhileTheFormPaintsItself) {
    TFixture f;
    f.Form->Show();
    TPaintStates states(f.Form.get());
    RedrawWindow(f.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(states.OnArrival.empty());
    EXPECT_EQ(states.OnArrival[0], 0u);
    ASSERT_FALSE(states.InOnPaint.empty());
    EXPECT_EQ(states.InOnPaint[0], 1u << (csCustomPaint - csPaintCopy));
    EXPECT_EQ(BusyStates(f.Form.get()), 0u);
}

// A window made elsewhere, taken over and given back.
struct TSubclassProbe {
    std::vector<UINT> Seen;
    TWindowSubclass *Subclass = nullptr;
    void Handle(TMessage &m) {
        Seen.push_back(m.Msg);
        if (m.Msg == WM_APP + 1) {
            m.Result = 42;
            return;
        }
        Subclass->CallPrevious(m);
    }
};

LRESULT CALLBACK OuterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
WNDPROC OuterPrevious = nullptr;
int OuterCalls = 0;
LRESULT CALLBACK OuterProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    ++OuterCalls;
    return CallWindowProcW(OuterPrevious, w, msg, wp, lp);
}

TEST(Controls, SubclassIsRestoredOnlyWhileTheWindowPointsAtIt) {
    HWND w = CreateWindowExW(0, L"STATIC", L"cizí", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC));
    TSubclassProbe probe;
    auto sub = std::make_unique<TWindowSubclass>(TWndMethod::Bind<&TSubclassProbe::Handle>(&probe));
    probe.Subclass = sub.get();
    sub->Attach(w);
    EXPECT_THROW(sub->Attach(w), EInvalidOperation);
    // The desktop window belongs to another process: it cannot be taken over.
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopProcess);
    ASSERT_NE(desktopProcess, GetCurrentProcessId());
    TWindowSubclass foreign(TWndMethod::Bind<&TSubclassProbe::Handle>(&probe));
    EXPECT_THROW(foreign.Attach(GetDesktopWindow()), EInvalidOperation);
    EXPECT_FALSE(foreign.Attached());
    EXPECT_EQ(SendMessageW(w, WM_APP + 1, 0, 0), 42);
    EXPECT_EQ(uitest::TextOf(w), "cizí");  // passed on to the static's own procedure

    // Someone chains over us: we may not take ourselves out.
    OuterPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProc)));
    EXPECT_FALSE(sub->Detach());
    EXPECT_TRUE(sub->Attached());
    EXPECT_EQ(SendMessageW(w, WM_APP + 1, 0, 0), 42);
    EXPECT_EQ(OuterCalls, 1);

    // Destroyed while chained over: the chain keeps working without us.
    sub.reset();
    EXPECT_EQ(SendMessageW(w, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(OuterCalls, 2);
    EXPECT_EQ(uitest::TextOf(w), "cizí");

    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterPrevious));
    DestroyWindow(w);

    // Alone on a window, it puts the original back.
    HWND w2 = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    TSubclassProbe probe2;
    TWindowSubclass sub2(TWndMethod::Bind<&TSubclassProbe::Handle>(&probe2));
    probe2.Subclass = &sub2;
    sub2.Attach(w2);
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w2, GWLP_WNDPROC)), original);
    EXPECT_TRUE(sub2.Detach());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w2, GWLP_WNDPROC)), original);
    // The window's end detaches as well.
    sub2.Attach(w2);
    DestroyWindow(w2);
    EXPECT_FALSE(sub2.Attached());
    EXPECT_EQ(probe2.Seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

struct TThrower {
    void Click(TObject *) { throw EConvertError("'zz' is not a valid integer value"); }
};

struct TErrorSink {
    std::vector<std::string> Messages;
    void Handle(TObject *, const Exception &E) { Messages.push_back(E.Message()); }
};

TEST(Controls, ExceptionInAHandlerReachesTheApplication) {
    TFixture f;
    TThrower thrower;
    TErrorSink sink;
    Application->OnException = TExceptionEvent::Bind<&TErrorSink::Handle>(&sink);
    f.Button->OnClick = TNotifyEvent::Bind<&TThrower::Click>(&thrower);
    f.Form->Show();
    uitest::ClickButton(f.Button->Handle());
    Application->OnException = {};
    ASSERT_EQ(sink.Messages.size(), 1u);
    EXPECT_EQ(sink.Messages[0], "'zz' is not a valid integer value");
}

struct TMouseLog {
    std::vector<std::string> Events;
    void Enter(TObject *Sender) { Events.push_back("enter " + static_cast<TComponent *>(Sender)->Name()); }
    void Leave(TObject *Sender) { Events.push_back("leave " + static_cast<TComponent *>(Sender)->Name()); }
};

// Lets the application handle what the system queues until `done` answers
// true or the time is up; answers done() at the end.
bool PumpApplicationUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout = 2s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
        Application->ProcessMessages();
        Sleep(5);
    }
    return done();
}

void MoveMouseTo(TPoint p) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.X, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(p.Y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(INPUT));
}

void PressKey(WORD key) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

TEST(Controls, MouseEnterAndLeaveFollowTheCursor) {
    TFixture f;
    f.Button->SetName("Button1");
    f.Label->SetName("Label1");
    TMouseLog log;
    for (TControl *c : {static_cast<TControl *>(f.Button), static_cast<TControl *>(f.Label)}) {
        c->OnMouseEnter = TNotifyEvent::Bind<&TMouseLog::Enter>(&log);
        c->OnMouseLeave = TNotifyEvent::Bind<&TMouseLog::Leave>(&log);
    }
    f.Form->Show();
    ASSERT_TRUE(uitest::ActivateAndWait(f.Form->Handle(), 5s));
    auto moveAndWait = [&](TPoint p, std::size_t events) {
        MoveMouseTo(p);
        PumpApplicationUntil([&] { return log.Events.size() >= events; });
    };
    moveAndWait(f.Button->ClientToScreen(Point(20, 10)), 1);
    moveAndWait(f.Label->ClientToScreen(Point(5, 5)), 3);
    // Leaving every window of ours is reported by the system with some delay.
    moveAndWait(Point(f.Form->Left() + f.Form->Width() + 50, f.Form->Top() + f.Form->Height() + 50), 4);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"enter Button1", "leave Button1", "enter Label1", "leave Label1"}));
}

TEST(Controls, TabMovesTheFocusInTabOrderAndReturnClicksTheDefaultButton) {
    TFixture f;
    TClickCounter counter;
    f.Button->SetDefault(true);
    f.Button->OnClick = TNotifyEvent::Bind<&TClickCounter::Click>(&counter);
    f.Memo->SetTabOrder(0);
    EXPECT_EQ(f.Memo->TabOrder(), 0);
    EXPECT_EQ(f.Button->TabOrder(), 1);
    f.Form->Show();
    ASSERT_TRUE(uitest::ActivateAndWait(f.Form->Handle(), 5s));
    EXPECT_TRUE(PumpApplicationUntil([&] { return f.Memo->Focused(); }));  // the first in tab order
    PressKey(VK_RETURN);  // the memo takes Return as a line break
    EXPECT_TRUE(PumpApplicationUntil([&] { return f.Memo->Lines()->Count() == 2; }));
    EXPECT_EQ(counter.Clicks, 0);
    TRecorder focus(f.Memo);
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpApplicationUntil([&] { return f.Button->Focused(); }));
    EXPECT_EQ(f.Form->ActiveControl(), f.Button);
    // Every control of the form hears where the focus went.
    const TRecorder::TEntry *changed = focus.Find(CM_FOCUSCHANGED);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->LParam, reinterpret_cast<LPARAM>(f.Button));
    EXPECT_TRUE(focus.Find(CM_EXIT));
    focus.Restore();
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpApplicationUntil([&] { return counter.Clicks == 1; }));
}

TEST(Controls, LabelTakesTheSizeOfItsText) {
    TFixture f;
    f.Label->SetCaption("Generuji : ");
    const int shortWidth = f.Label->Width();
    f.Label->SetCaption("Generuji : Uživatelská příručka Merkano zuvo1-1.pdf");
    EXPECT_GT(f.Label->Width(), shortWidth);
    EXPECT_GT(f.Label->Height(), 0);
    const int oneLine = f.Label->Height();
    f.Label->SetWordWrap(true);
    f.Label->SetWidth(60);
    f.Label->SetCaption("Generuji : Uživatelská příručka Merkano zuvo1-1.pdf");
    f.Label->SetCaption(f.Label->Caption() + " ");
    EXPECT_EQ(f.Label->Width(), 60);
    EXPECT_GT(f.Label->Height(), oneLine);
    f.Label->SetAutoSize(false);
    f.Label->SetCaption("");
    EXPECT_EQ(f.Label->Width(), 60);
}

} // namespace
} // namespace vcl
