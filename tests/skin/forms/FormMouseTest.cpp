// The mouse on a skinned frame: real clicks through the system's input on
// the close button and beside it, presses and releases on the caption
// buttons and what each sends, double clicks, hot buttons that follow the
// mouse (user buttons over their whole range), a form that frees itself
// while a click on its icon waits, the minimize and restore of a skinned
// main form through the application's hook, and the handles over many
// hover and press cycles.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "BorderedFormSupport.h"
#include "CaptionTestSupport.h"
#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Canvas.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

// The system commands that reach the provider, in order (put in front of it).
struct CommandLog {
    explicit CommandLog(vcl::TControl *Form) : Tap(Form, {WM_SYSCOMMAND}) {}
    int Count(WPARAM Command) const {
        return static_cast<int>(std::count_if(Tap.Seen.begin(), Tap.Seen.end(),
                                              [&](const vcl::TMessage &M) { return M.WParam == Command; }));
    }
    std::size_t Total() const { return Tap.Seen.size(); }
    MessageTap Tap;
};

struct FormMouse : CaptionFixture {
    CaptionForm C;
    TsSkinProvider *P = C.P;

    LRESULT Send(UINT Msg, WPARAM WParam, const TsCaptionButton &Over) {
        return SendMessageW(C.Wnd(), Msg, WParam, C.ScreenAt(Over));
    }
    LRESULT Send(UINT Msg, WPARAM WParam, vcl::TPoint Over) {
        return SendMessageW(C.Wnd(), Msg, WParam, C.ScreenAt(Over));
    }
    vcl::TPoint CaptionMiddle() const { return {C.F()->Width() / 2, P->ButtonCenterY}; }
    // Press and release on a button, as the system reports them.
    void Click(int Code, const TsCaptionButton &Button) {
        Send(WM_NCMOUSEMOVE, static_cast<WPARAM>(Code), Button);
        Send(WM_NCLBUTTONDOWN, static_cast<WPARAM>(Code), Button);
        Send(WM_NCLBUTTONUP, static_cast<WPARAM>(Code), Button);
    }
};

TEST_F(FormMouse, ARealClickOnCloseSendsOneCloseCommand) {
    C.Show();
    CommandLog log(C.F());
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    ParkCursor();
    Settle();
    MouseTo(C.Wnd(), C.Centre(P->ButtonClose.Rect));
    Settle();
    EXPECT_EQ(P->CurrentButton, HTCLOSE);  // hot under the mouse
    MouseButton(true);
    Settle();
    EXPECT_EQ(P->ButtonClose.State, 2);
    MouseButton(false);
    EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindowVisible(C.Wnd()); }, 2s));
    EXPECT_EQ(log.Count(SC_CLOSE), 1);
    EXPECT_EQ(C.Seen(WM_CLOSE), 1);
    EXPECT_FALSE(FormsState().FormButtonPressed);
    ParkCursor();
}

TEST_F(FormMouse, APressOutsideReleasedOverCloseDoesNothing) {
    C.Show();
    CommandLog log(C.F());
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    MouseTo(C.Wnd(), {C.F()->Width() / 2, C.F()->Height() / 2});
    Settle();
    MouseButton(true);
    Settle();
    MouseTo(C.Wnd(), C.Centre(P->ButtonClose.Rect));
    Settle();
    MouseButton(false);
    Settle();
    EXPECT_EQ(log.Total(), 0u);
    EXPECT_TRUE(IsWindowVisible(C.Wnd()));
    ParkCursor();
    Settle();
}

TEST_F(FormMouse, AReleaseActsOnlyOnTheButtonThatWasPressed) {
    C.Show();
    CommandLog log(C.F());
    Send(WM_NCMOUSEMOVE, HTMAXBUTTON, P->ButtonMax);
    Send(WM_NCLBUTTONDOWN, HTMAXBUTTON, P->ButtonMax);
    EXPECT_TRUE(FormsState().FormButtonPressed);
    Send(WM_NCMOUSEMOVE, HTCLOSE, P->ButtonClose);
    EXPECT_EQ(P->ButtonMax.State, 0);    // left while held
    EXPECT_EQ(P->ButtonClose.State, 0);  // not hot while another is held
    Send(WM_NCLBUTTONUP, HTCLOSE, P->ButtonClose);
    EXPECT_EQ(log.Total(), 0u);
    EXPECT_FALSE(IsZoomed(C.Wnd()));
    EXPECT_FALSE(FormsState().FormButtonPressed);
    EXPECT_EQ(P->ButtonClose.State, 1);  // the mouse is over it, nothing is held
    // A release in the client area with keys held is no caption button.
    Send(WM_NCLBUTTONDOWN, HTCLOSE, P->ButtonClose);
    SendMessageW(C.Wnd(), WM_LBUTTONUP, MK_SHIFT | MK_MBUTTON, MAKELPARAM(50, 50));  // key flags 0x14 = HTCLOSE
    EXPECT_EQ(log.Total(), 0u);
    EXPECT_TRUE(C.Watcher.Saw(WM_LBUTTONUP));
}

TEST_F(FormMouse, AMinimizeReleasedOutsideItsButtonPassesTheReleaseOnAndSendsNothing) {
    C.Show();
    CommandLog log(C.F());
    Send(WM_NCLBUTTONDOWN, HTMINBUTTON, P->ButtonMin);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCLBUTTONDOWN));  // the press is the provider's
    Send(WM_NCLBUTTONUP, HTMINBUTTON, CaptionMiddle());
    EXPECT_EQ(log.Total(), 0u);
    EXPECT_TRUE(C.Watcher.Saw(WM_NCLBUTTONUP));
    EXPECT_FALSE(IsIconic(C.Wnd()));
    EXPECT_EQ(P->CurrentButton, 0);
}

TEST_F(FormMouse, TheMaximizeButtonMaximizesAndThenRestores) {
    C.Show();
    CommandLog log(C.F());
    Click(HTMAXBUTTON, P->ButtonMax);
    EXPECT_EQ(log.Count(SC_MAXIMIZE), 1);
    EXPECT_TRUE(IsZoomed(C.Wnd()));
    EXPECT_EQ(P->CurrentButton, 0);  // the hot button goes with the command
    EXPECT_FALSE(P->StateFlags & pfMaximizing);
    C.Layout();
    P->SkinData()->BGChanged = false;
    Click(HTMAXBUTTON, P->ButtonMax);
    EXPECT_EQ(log.Count(SC_RESTORE), 1);
    EXPECT_FALSE(IsZoomed(C.Wnd()));
    EXPECT_TRUE(P->SkinData()->BGChanged);  // a restore renders the frame again
    EXPECT_EQ(log.Total(), 2u);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCLBUTTONUP));
}

// The system's own window animation is off while any command passes on to
// the form, and on again after it.
TEST_F(FormMouse, TheSystemsWindowAnimationIsOffWhileEveryCommandPasses) {
    C.Show();
    TMinAnimationOverride setting;  // Wine keeps none of its own
    setting.On = true;
    std::vector<bool> during;
    C.Watcher.Before = [&](const vcl::TMessage &M) {
        if (M.Msg == WM_SYSCOMMAND) during.push_back(GetMinAnimation());
    };
    for (const WPARAM command : {WPARAM{SC_MAXIMIZE}, WPARAM{SC_RESTORE}, WPARAM{SC_MINIMIZE}, WPARAM{SC_RESTORE}})
        SendMessageW(C.Wnd(), WM_SYSCOMMAND, command, 0);
    C.Watcher.Before = nullptr;
    EXPECT_EQ(during, std::vector<bool>(4, false));
    EXPECT_TRUE(setting.On);
}

TEST_F(FormMouse, AMinimizeClickOnAFormMinimizesAndOnTheIconicFormRestores) {
    C.Show();
    CommandLog log(C.F());
    Click(HTMINBUTTON, P->ButtonMin);
    EXPECT_EQ(log.Count(SC_MINIMIZE), 1);
    EXPECT_TRUE(IsIconic(C.Wnd()));
    ShowWindow(C.Wnd(), SW_RESTORE);
}

TEST_F(FormMouse, ADoubleClickOnTheCaptionMaximizesOnceAndOnlyWhereAllowed) {
    C.Show();
    CommandLog log(C.F());
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, CaptionMiddle());
    EXPECT_EQ(log.Total(), 1u);  // the system saw no double click to act on
    EXPECT_TRUE(IsZoomed(C.Wnd()));
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, CaptionMiddle());
    EXPECT_EQ(log.Count(SC_RESTORE), 1);
    EXPECT_FALSE(IsZoomed(C.Wnd()));

    CaptionForm fixed;
    fixed.F()->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize});
    fixed.Show();
    CommandLog fixedLog(fixed.F());
    SendMessageW(fixed.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, fixed.ScreenAt(vcl::TPoint{100, fixed.P->ButtonCenterY}));
    EXPECT_EQ(fixedLog.Total(), 0u);
    EXPECT_FALSE(IsZoomed(fixed.Wnd()));
    ShowWindow(fixed.Wnd(), SW_MINIMIZE);
    SendMessageW(fixed.Wnd(), WM_NCLBUTTONDBLCLK, HTCAPTION, fixed.ScreenAt(vcl::TPoint{10, 10}));
    EXPECT_EQ(fixedLog.Count(SC_RESTORE), 1);
    EXPECT_FALSE(IsIconic(fixed.Wnd()));
}

TEST_F(FormMouse, ButtonsTurnHotUnderTheMouseAndTheCaptionCoolsThem) {
    C.Show();
    C.Watcher.Seen.clear();
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonClose.Rect)), HTCLOSE);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCHITTEST));  // a button's code is final
    EXPECT_EQ(C.HitTest(CaptionMiddle()), HTCAPTION);
    EXPECT_TRUE(C.Watcher.Saw(WM_NCHITTEST));  // the caption band is the system's

    C.Watcher.Seen.clear();
    Send(WM_NCMOUSEMOVE, HTCAPTION, P->ButtonClose);  // the provider tests the point itself
    EXPECT_EQ(P->CurrentButton, HTCLOSE);
    EXPECT_EQ(P->ButtonClose.State, 1);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCMOUSEMOVE));
    EXPECT_EQ(Manager->ActiveWindow, C.Wnd());
    Send(WM_NCMOUSEMOVE, HTCAPTION, CaptionMiddle());
    EXPECT_EQ(P->CurrentButton, 0);
    EXPECT_EQ(P->ButtonClose.State, 0);
    EXPECT_TRUE(C.Watcher.Saw(WM_NCMOUSEMOVE));

    // Leaving the form cools the button and lets go of a press.
    Send(WM_NCMOUSEMOVE, HTMINBUTTON, P->ButtonMin);
    Send(WM_NCLBUTTONDOWN, HTMINBUTTON, P->ButtonMin);
    SendMessageW(C.Wnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(P->ButtonMin.State, 0);
    EXPECT_FALSE(FormsState().FormButtonPressed);
    // Right clicks on the caption never reach the system.
    C.Watcher.Seen.clear();
    Send(WM_NCRBUTTONDOWN, HTCAPTION, CaptionMiddle());
    EXPECT_FALSE(C.Watcher.Saw(WM_NCRBUTTONDOWN));
    Send(WM_NCRBUTTONDOWN, HTBOTTOM, CaptionMiddle());
    EXPECT_TRUE(C.Watcher.Saw(WM_NCRBUTTONDOWN));
}

struct MouseEvents {
    int Downs = 0, Ups = 0;
    vcl::TObject *Sender = nullptr;
    vcl::TPoint At{};
    void Down(vcl::TObject *S, vcl::TMouseButton, vcl::TShiftState, int X, int Y) {
        ++Downs;
        Sender = S;
        At = {X, Y};
    }
    void Up(vcl::TObject *S, vcl::TMouseButton, vcl::TShiftState, int, int) {
        ++Ups;
        Sender = S;
    }
};

TEST_F(FormMouse, UserButtonsTurnHotAndArePressedOverTheirWholeRange) {
    // 102 buttons, all but the last hidden: the last stands in the caption
    // with the code 1101.
    for (int i = 0; i < 102; ++i) {
        auto *b = static_cast<TsTitleButton *>(P->TitleButtons()->Add());
        b->SetVisible(i == 101);
    }
    TsTitleButton *last = P->TitleButtons()->Items(101);
    MouseEvents events;
    last->OnMouseDown = vcl::TMouseEvent::Bind<&MouseEvents::Down>(&events);
    last->OnMouseUp = vcl::TMouseEvent::Bind<&MouseEvents::Up>(&events);
    C.Show();
    ASSERT_EQ(C.HitTest(C.Centre(last->Data.Rect)), 1101);

    Send(WM_NCMOUSEMOVE, 1101, last->Data);
    EXPECT_EQ(P->CurrentButton, 1101);
    EXPECT_EQ(last->Data.State, 1);
    Send(WM_NCLBUTTONDOWN, 1101, last->Data);
    EXPECT_EQ(last->Data.State, 2);
    EXPECT_EQ(events.Downs, 1);
    EXPECT_EQ(events.Sender, last);
    RECT w{};
    GetWindowRect(C.Wnd(), &w);
    EXPECT_EQ(events.At, (vcl::TPoint{w.left + C.Centre(last->Data.Rect).X, w.top + C.Centre(last->Data.Rect).Y}));
    Send(WM_NCLBUTTONUP, 1101, last->Data);
    EXPECT_EQ(events.Ups, 1);
    EXPECT_EQ(last->Data.State, 1);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCLBUTTONUP));
    // A released press elsewhere is no click of the button.
    Send(WM_NCLBUTTONDOWN, 1101, last->Data);
    Send(WM_NCLBUTTONUP, HTCAPTION, CaptionMiddle());
    EXPECT_EQ(events.Ups, 1);
}

struct ClosingForm {
    bool CanClose = true;
    bool Destroyed = false;
    void OnClose(vcl::TObject *, vcl::TCloseAction &Action) { Action = vcl::caFree; }
    void OnCloseQuery(vcl::TObject *, bool &Can) { Can = CanClose; }
    void OnDestroy(vcl::TObject *) { Destroyed = true; }
};

TEST_F(FormMouse, AFormFreedWhileAClickOnItsIconWaitsIsNotTouchedAgain) {
    Manager->SetSkinnedPopups(false);  // then a click on the icon waits for a second one
    MenuWatcher menus;
    for (const bool canClose : {true, false}) {
        ClosingForm closing;
        closing.CanClose = canClose;
        auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
        form->SetBounds(100, 100, 400, 300);
        form->OnClose = vcl::TCloseEvent::Bind<&ClosingForm::OnClose>(&closing);
        form->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&ClosingForm::OnCloseQuery>(&closing);
        form->OnDestroy = vcl::TNotifyEvent::Bind<&ClosingForm::OnDestroy>(&closing);
        vcl::Create<TsSkinProvider>(form);
        form->Show();
        const HWND wnd = form->Handle();
        // As the skin leaves it: the system shows no menu of its own.
        SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) & ~LONG_PTR{WS_SYSMENU});
        RECT w{};
        GetWindowRect(wnd, &w);
        const LPARAM icon = MAKELPARAM(w.left + 10, w.top + 10);
        PostMessageW(wnd, WM_NCLBUTTONDBLCLK, HTSYSMENU, icon);  // the second click, while the first waits
        SendMessageW(wnd, WM_NCLBUTTONDOWN, HTSYSMENU, icon);
        Settle();
        EXPECT_EQ(closing.Destroyed, canClose);
        EXPECT_EQ(IsWindow(wnd) != 0, !canClose);
        if (!closing.Destroyed) delete form;
    }
    EXPECT_EQ(menus.Count(), 0);  // a closing form shows no menu
}

TEST_F(FormMouse, ASkinnedMainFormMinimizesAndRestores) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(C.F());  // the main form
    C.Show();
    P->IsSkinned = true;  // as a prepared skin leaves it
    ASSERT_TRUE(Manager->AnimEffects()->Minimizing->Active);
    const HWND wnd = C.Wnd();

    Click(HTMINBUTTON, P->ButtonMin);
    EXPECT_TRUE(IsIconic(wnd));
    EXPECT_FALSE(P->Animating);
    SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_TRUE(IsWindowVisible(wnd));

    // The system menu's minimize, and a minimize sent by anyone.
    C.Layout();
    P->SystemMenu->MinimizeClick(nullptr);
    EXPECT_TRUE(IsIconic(wnd));
    EXPECT_FALSE(P->Animating);
    ShowWindow(wnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(wnd));
    SendMessageW(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(wnd));
    SendMessageW(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(wnd));
    EXPECT_FALSE(P->Animating);
}

TEST_F(FormMouse, HandlesStayFlatOverManyHoverAndPressCycles) {
    auto *user = static_cast<TsTitleButton *>(P->TitleButtons()->Add());
    user->SetHint("Pin");
    C.Show();
    const auto cycle = [&] {
        Send(WM_NCMOUSEMOVE, HTCLOSE, P->ButtonClose);
        Send(WM_NCMOUSEMOVE, 1000, user->Data);  // its hint shows
        Send(WM_NCLBUTTONDOWN, 1000, user->Data);
        Send(WM_NCMOUSEMOVE, HTMAXBUTTON, P->ButtonMax);
        Send(WM_NCLBUTTONUP, HTCAPTION, CaptionMiddle());
        Send(WM_NCLBUTTONDOWN, HTMAXBUTTON, P->ButtonMax);
        Send(WM_NCMOUSEMOVE, HTCAPTION, CaptionMiddle());
        Send(WM_NCLBUTTONUP, HTCAPTION, CaptionMiddle());
    };
    cycle();
    vcl::FreeCachedDCs();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle();
    vcl::FreeCachedDCs();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_FALSE(IsZoomed(C.Wnd()));
    EXPECT_EQ(user->HintWindow, nullptr);
}

// With "NativeBordersMaximized" the system maximizes a form that already
// has its own frame back: the border form is gone before the command passes.
TEST(FormMouseBordered, ANativeFrameMaximizeDropsTheBorderBeforeTheSystemMaximizes) {
    const FormsModules modules;
    ManagerPtr manager = BorderedManager();
    manager->Options()->SetFlag(ofNativeBordersMaximized, true);
    std::optional<FormWatcher> watcher;  // goes after the form it passes on for
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    watcher.emplace(f.Form.Form);
    f.ShowSkinned();
    ASSERT_TRUE(f.Border());
    bool borderDuring = true;
    watcher->Before = [&](const vcl::TMessage &M) {
        if (M.Msg == WM_SYSCOMMAND && M.WParam == SC_MAXIMIZE) borderDuring = f.P->BorderForm != nullptr;
    };
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    watcher->Before = nullptr;
    EXPECT_TRUE(IsZoomed(f.Wnd()));
    EXPECT_FALSE(borderDuring);
    EXPECT_FALSE(f.P->BorderForm);
}

// A close the form refuses leaves it as it was: the border keeps its hole
// over the live client. One that goes ahead (the form released) takes the
// form's image: the border window shows it, the client part included,
// where the border lies, while the form goes.
TEST(FormMouseBordered, OnlyACloseThatGoesAheadShowsTheTakenImageInTheBorderWindow) {
    const FormsModules modules;
    ManagerPtr manager = BorderedManager();
    ASSERT_TRUE(manager->AnimEffects()->FormHide->Active);
    BorderedForm f;
    struct Closing {
        bool Refuse = true;
        void Query(vcl::TObject *, bool &CanClose) { CanClose = !Refuse; }
        void Close(vcl::TObject *, vcl::TCloseAction &Action) { Action = vcl::caFree; }
    } closing;
    f.Form.Form->OnCloseQuery = vcl::TCloseQueryEvent::Bind<&Closing::Query>(&closing);
    f.Form.Form->OnClose = vcl::TCloseEvent::Bind<&Closing::Close>(&closing);
    ASSERT_TRUE(f.Border());
    const vcl::TRect place = f.Place();
    const vcl::TRect client = f.P->BorderObject()->Owner().BorderHoleRect();
    const POINT centre{(client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2};
    const auto shownWhole = [&] {
        const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
        return GetWindowRgn(f.Border(), region.Get()) != ERROR && PtInRegion(region.Get(), centre.x, centre.y);
    };
    SendMessageW(f.Wnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindowVisible(f.Wnd()));
    ASSERT_TRUE(f.Border());
    EXPECT_FALSE(shownWhole());
    const vcl::TPoint onScreen = f.OnScreen({centre.x, centre.y});
    EXPECT_EQ(WindowFromPoint(POINT{onScreen.X, onScreen.Y}), f.Wnd()) << "the live client";

    closing.Refuse = false;
    SendMessageW(f.Wnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(f.Border());
    EXPECT_TRUE(BorderedForm::RectOf(f.Border()) == place);
    EXPECT_TRUE(shownWhole());
    // (The release posted is not pumped: the test frees the form itself.)
}

} // namespace
} // namespace skin
