// Windows of controls: class names, creation on demand, the replaceable
// window procedure, the notification order around show and hide, the
// reflection of control notifications, keyboard and mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/ScrollBar.h"
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

// Stands in the WindowProc of a control and records what passes, numbered
// across all recorders.
struct TRecorder {
    struct TEntry {
        UINT Msg;
        LPARAM LParam;
        bool WindowVisible;  // as the message arrived
        bool HadWindow;
        int Order;
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
        const bool hadWindow = w && w->HandleAllocated();
        Seen.push_back({m.Msg, m.LParam, hadWindow && IsWindowVisible(w->WindowHandle()), hadWindow, ++Counter});
        Saved(m);
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

    static inline int Counter = 0;
    TControl *Control;
    TWndMethod Saved;
    std::vector<TEntry> Seen;
};

struct TClickCounter {
    int Clicks = 0;
    void Click(TObject *) { ++Clicks; }
    void Throw(TObject *) { throw EConvertError("'zz' is not a valid integer value"); }
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
        Label->SetBounds(10, 200, 100, 16);
    }
};

TEST(Controls, WindowsAreMadeForShowingControlsAndKeepTheirText) {
    TFixture f;
    f.Memo->SetText("před oknem");
    EXPECT_FALSE(f.Form->HandleAllocated());
    f.Form->Show();
    EXPECT_EQ(uitest::ClassNameOf(f.Form->WindowHandle()), "TSampleForm");
    EXPECT_EQ(uitest::ClassNameOf(f.Button->WindowHandle()), "TButton");
    EXPECT_EQ(uitest::ClassNameOf(f.Memo->WindowHandle()), "TMemo");
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "před oknem");
    EXPECT_FALSE(f.Hidden->HandleAllocated());
    // The superclasses behave as the system classes they are made from.
    EXPECT_TRUE(SendMessageW(f.Memo->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL);
    EXPECT_EQ(FindControl(f.Button->Handle()), f.Button);
    EXPECT_EQ(FindControl(GetDesktopWindow()), nullptr);
    // Asking for a hidden control's handle makes its window, hidden.
    const HWND hidden = f.Hidden->Handle();
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(GetParent(hidden), f.Form->WindowHandle());
    // A window made again keeps the text its predecessor held.
    SetWindowTextW(f.Memo->Handle(), L"zapsáno oknem");
    f.Memo->RecreateWnd();
    EXPECT_EQ(f.Memo->Text(), "zapsáno oknem");
    EXPECT_TRUE(IsWindowVisible(f.Memo->WindowHandle()));
}

TEST(Controls, ShowingChangedComesBeforeTheWindowShowsAndBeforeItHides) {
    TFixture f;
    TRecorder form(f.Form.get());
    TRecorder button(f.Button);
    f.Form->Show();
    EXPECT_EQ(form.Messages({CM_VISIBLECHANGED, CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    const TRecorder::TEntry *showing = form.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(showing);
    EXPECT_TRUE(showing->HadWindow);
    EXPECT_FALSE(showing->WindowVisible);
    EXPECT_TRUE(IsWindowVisible(f.Form->WindowHandle()));
    // The child had its window and was told before the form was.
    const TRecorder::TEntry *child = button.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(child);
    EXPECT_TRUE(child->HadWindow);
    EXPECT_LT(child->Order, showing->Order);

    form.Seen.clear();
    f.Form->Hide();
    const TRecorder::TEntry *hiding = form.Find(CM_SHOWINGCHANGED);
    ASSERT_TRUE(hiding);
    EXPECT_TRUE(hiding->WindowVisible);
    EXPECT_FALSE(IsWindowVisible(f.Form->WindowHandle()));
    EXPECT_FALSE(f.Button->Showing());
}

TEST(Controls, NotificationsFollowPropertyChanges) {
    TFixture f;
    f.Form->Show();
    TRecorder rec(f.Button);
    f.Button->SetEnabled(false);
    f.Button->SetCaption("Hotovo");
    f.Button->SetCaption("Hotovo");  // unchanged: no notification
    f.Button->Font()->SetHeight(-20);
    f.Button->SetColor(clRed);
    f.Button->SetVisible(false);
    EXPECT_EQ(rec.Messages({CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_FONTCHANGED, CM_COLORCHANGED, CM_VISIBLECHANGED,
                            CM_SHOWINGCHANGED}),
              (std::vector<UINT>{CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_FONTCHANGED, CM_COLORCHANGED,
                                 CM_VISIBLECHANGED, CM_SHOWINGCHANGED}));
    EXPECT_FALSE(IsWindowEnabled(f.Button->WindowHandle()));
    EXPECT_FALSE(IsWindowVisible(f.Button->WindowHandle()));
    EXPECT_TRUE(rec.Find(WM_SETTEXT));  // the text went through the window procedure
    EXPECT_EQ(uitest::TextOf(f.Button->WindowHandle()), "Hotovo");

    // A parent hears of children coming and going.
    TRecorder parent(f.Form.get());
    auto *extra = Create<TLabel>(f.Form.get());
    extra->SetParent(f.Form.get());
    extra->SetParent(nullptr);
    std::vector<std::pair<UINT, LPARAM>> changes;
    for (const auto &e : parent.Seen)
        if (e.Msg == CM_CONTROLLISTCHANGE) changes.emplace_back(e.Msg, e.LParam);
    const auto self = reinterpret_cast<LPARAM>(extra);
    EXPECT_EQ(changes, (std::vector<std::pair<UINT, LPARAM>>{{CM_CONTROLLISTCHANGE, self}, {CM_CONTROLLISTCHANGE, self}}));
    delete extra;
}

TEST(Controls, AButtonClickIsReflectedToItAndAnErrorInItReachesTheApplication) {
    TFixture f;
    TClickCounter counter;
    f.Button->OnClick = TNotifyEvent::Bind<&TClickCounter::Click>(&counter);
    f.Button->SetModalResult(mrYes);
    f.Form->Show();
    TRecorder rec(f.Button);
    uitest::ClickButton(f.Button->Handle());
    EXPECT_EQ(counter.Clicks, 1);
    EXPECT_TRUE(rec.Find(CN_COMMAND));
    EXPECT_EQ(f.Form->ModalResult(), mrYes);

    struct TSink {
        std::vector<std::string> Messages;
        void Handle(TObject *, const Exception &E) { Messages.push_back(E.Message()); }
    } sink;
    Application->OnException = TExceptionEvent::Bind<&TSink::Handle>(&sink);
    f.Button->OnClick = TNotifyEvent::Bind<&TClickCounter::Throw>(&counter);
    uitest::ClickButton(f.Button->Handle());
    Application->OnException = {};
    EXPECT_EQ(sink.Messages, std::vector<std::string>{"'zz' is not a valid integer value"});
}

// A button whose mouse-up handling after the click would be a use of freed
// memory once its click handler has freed the form.
class TWatchedButton : public TButton {
    VCL_CLASS(TWatchedButton, TButton)
public:
    explicit TWatchedButton(TComponent *AOwner) : TButton(AOwner) {}
    static inline int MouseUps = 0;

protected:
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        ++MouseUps;
        TButton::MouseUp(Button, Shift, X, Y);
    }
};
VCL_CLASS_INFO(TWatchedButton)

TEST(Controls, AClickThatFreesTheFormAtOnceEndsTheMouseHandling) {
    struct TCloser {
        TSampleForm *Form = nullptr;
        void Click(TObject *) { delete std::exchange(Form, nullptr); }
    } closer;
    closer.Form = Create<TSampleForm>(Application);
    closer.Form->SetBounds(100, 100, 300, 200);
    auto *button = Create<TWatchedButton>(closer.Form);
    button->SetParent(closer.Form);
    button->SetBounds(10, 10, 100, 30);
    button->OnClick = TNotifyEvent::Bind<&TCloser::Click>(&closer);
    closer.Form->Show();
    const HWND window = button->Handle();
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(TWatchedButton::MouseUps, 0);
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // the click frees the form
    EXPECT_EQ(closer.Form, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TWatchedButton::MouseUps, 0);
}

TEST(Controls, MemoLinesFollowTheWindowAndItsStylesTheProperties) {
    TFixture f;
    TStrings *lines = f.Memo->Lines();
    lines->Add("první");
    lines->Add("");
    lines->Add("třetí");
    f.Memo->SetAlignment(taCenter);
    f.Memo->SetScrollBars(ssVertical);
    f.Form->Show();
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "první\r\n\r\ntřetí");
    lines->Add("Okraj X –1");
    lines->Insert(0, "nula");
    lines->Delete(2);
    lines->SetStrings(1, "jedna");
    EXPECT_EQ(uitest::TextOf(f.Memo->Handle()), "nula\r\njedna\r\ntřetí\r\nOkraj X –1");
    lines->Delete(3);
    EXPECT_EQ(lines->Text(), "nula\r\njedna\r\ntřetí\r\n");
    lines->Clear();
    EXPECT_THROW(lines->Strings(0), EStringListError);
    EXPECT_THROW(lines->Insert(1, "x"), EStringListError);

    const LONG_PTR style = GetWindowLongPtrW(f.Memo->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & WS_VSCROLL);
    f.Memo->SetAlignment(taLeftJustify);  // made again: the system fixes the style at creation
    EXPECT_FALSE(GetWindowLongPtrW(f.Memo->Handle(), GWL_STYLE) & ES_CENTER);
}

// Bits of csPaintCopy and the states after it: a paint or the window's end under way.
std::uint32_t BusyStates(const TControl *Control) { return Control->ControlState().Bits() >> csPaintCopy; }

// Stands in front of a form's window procedure, as a skinning procedure
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

// Lets the application handle what the system queues until `done` answers
// true or the time is up; answers done() at the end.
bool PumpApplicationUntil(const std::function<bool()> &done) {
    const auto end = std::chrono::steady_clock::now() + 2s;
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

struct TMouseLog {
    std::vector<std::string> Events;
    void Enter(TObject *Sender) { Events.push_back("enter " + static_cast<TComponent *>(Sender)->Name()); }
    void Leave(TObject *Sender) { Events.push_back("leave " + static_cast<TComponent *>(Sender)->Name()); }
};

TEST(Controls, MouseEnterAndLeaveFollowTheCursor) {
    TFixture f;
    f.Button->SetName("Button1");
    f.Label->SetName("Label1");
    TMouseLog log;
    for (TControl *c : std::initializer_list<TControl *>{f.Button, f.Label}) {
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
    moveAndWait(Point(f.Form->Left() + f.Form->Width() + 50, f.Form->Top() + f.Form->Height() + 50), 4);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"enter Button1", "leave Button1", "enter Label1", "leave Label1"}));
}

TEST(Controls, TabMovesTheFocusInTabOrderAndReturnClicksTheDefaultButton) {
    TFixture f;
    TClickCounter counter;
    f.Button->SetDefault(true);
    f.Button->OnClick = TNotifyEvent::Bind<&TClickCounter::Click>(&counter);
    f.Memo->SetTabOrder(0);
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
    const std::string text = "Generuji : Uživatelská příručka Merkano zuvo1-1.pdf";
    f.Label->SetCaption("Generuji : ");
    const int shortWidth = f.Label->Width();
    f.Label->SetCaption(text);
    EXPECT_GT(f.Label->Width(), shortWidth);
    const int oneLine = f.Label->Height();
    // Wrapped, it keeps its width and takes the height of its lines.
    f.Label->SetWordWrap(true);
    f.Label->SetWidth(200);
    f.Label->SetCaption(text + " ");
    const int wide = f.Label->Height();
    f.Label->SetWidth(60);
    f.Label->SetCaption(text);
    EXPECT_EQ(f.Label->Width(), 60);
    EXPECT_GT(f.Label->Height(), wide);
    EXPECT_GT(wide, oneLine);
}

TEST(Controls, EllipsisCutDropsTheLastWordOrOneWholeCharacter) {
    EXPECT_EQ(EllipsisCut("Příliš žluťoučký kůň"), std::string("Příliš žluťoučký").size());
    EXPECT_EQ(EllipsisCut("a b\tc"), 3u);
    EXPECT_EQ(EllipsisCut(" "), 0u);
    EXPECT_EQ(EllipsisCut(""), 0u);
    // Without blanks: one character less, whatever the length of its UTF-8
    // sequence (2, 3, 4 bytes), and never a part of one.
    const struct {
        std::string Text, Rest;
    } cases[] = {{"kůň", "ků"}, {"a–", "a"}, {"x\xF0\x9F\x98\x80", "x"}, {"ž", ""}, {"a", ""}};
    for (const auto &c : cases) EXPECT_EQ(EllipsisCut(c.Text), c.Rest.size()) << c.Text;
    std::string text = "žluťoučký\r\nkůň–úpěl";
    while (!text.empty()) {
        text.resize(EllipsisCut(text));
        EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);  // still whole text
    }
}

TEST(Controls, PaintToDrawsTheWindowsTheirFramesAndTheirChildren) {
    // WM_PRINT without flags paints nothing in native controls, and Wine
    // prints neither frames nor children: PaintTo must show all of them.
    TFixture f;
    f.Memo->Lines()->SetText("Ahoj");
    f.Label->SetCaption("Text");
    f.Form->Show();
    Application->ProcessMessages();
    RECT form{};
    GetWindowRect(f.Form->Handle(), &form);
    TBitmap image;
    image.SetPixelFormat(pf32bit);
    image.SetSize(form.right - form.left, form.bottom - form.top);
    const TBitmapView view = image.View();
    for (int y = 0; y < view.Height; ++y)
        for (int x = 0; x < view.Width; ++x) view.At(x, y) = 0x00FF00;  // green: not painted
    f.Form->PaintTo(image.Canvas()->Handle(), 0, 0);
    const auto area = [&](HWND Window) {
        RECT r{};
        GetWindowRect(Window, &r);
        OffsetRect(&r, -form.left, -form.top);
        return r;
    };
    const auto count = [&](const RECT &R, auto Test) {
        int n = 0;
        for (int y = R.top; y < R.bottom; ++y)
            for (int x = R.left; x < R.right; ++x) n += Test(view.At(x, y) & 0xFFFFFF);
        return n;
    };
    const auto green = [](std::uint32_t p) { return p == 0x00FF00; };
    const auto dark = [](std::uint32_t p) { return (p & 0xFF) < 0x50 && (p >> 8 & 0xFF) < 0x50 && (p >> 16) < 0x50; };
    const RECT memo = area(f.Memo->Handle()), button = area(f.Button->Handle());
    POINT origin{f.Label->Left(), f.Label->Top()};
    ClientToScreen(f.Form->Handle(), &origin);
    const RECT label{origin.x - form.left, origin.y - form.top, origin.x - form.left + f.Label->Width(),
             origin.y - form.top + f.Label->Height()};
    EXPECT_EQ(count(memo, green), 0);
    EXPECT_EQ(count(button, green), 0);
    EXPECT_NE(view.At(memo.left, memo.top) & 0xFFFFFF, view.At(memo.left + 5, memo.top + 5) & 0xFFFFFF);  // its edge
    EXPECT_GT(count(memo, dark), 0);    // "Ahoj"
    EXPECT_GT(count(button, dark), 0);  // "Instaluj" and the frame
    EXPECT_GT(count(label, dark), 0);   // "Text"
}

TEST(Controls, AScrollBarOverTheWholeIntRangeKeepsItsPageAndStopsAtItsEnds) {
    TScrollBar bar(nullptr);
    bar.SetParams(0, INT_MIN, INT_MAX);
    bar.SetPageSize(1000);
    EXPECT_EQ(bar.PageSize(), 1000);
    bar.SetPosition(INT_MAX);
    EXPECT_EQ(bar.Position(), INT_MAX - 999);
    bar.Perform(CN_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(bar.Position(), INT_MAX - 999);
    bar.SetPosition(INT_MIN + 5);
    bar.Perform(CN_HSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(bar.Position(), INT_MIN);
    bar.SetPageSize(INT_MAX);  // the range holds more than a page can say
    EXPECT_EQ(bar.PageSize(), INT_MAX);
}

} // namespace
} // namespace vcl
