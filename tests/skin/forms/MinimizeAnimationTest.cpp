// The minimize and restore animation. With desktop composition (this file
// built as MinimizeAnimationAeroTest, which the test session runs as
// Windows 10) a form flies into the taskbar's edge and back, watched
// through the recording seam, and ends opaque; without it (Windows 7) no
// animation runs and a restore that has nothing to reverse says so, so
// that a form minimized otherwise is restored by its caller.
#include <gtest/gtest.h>

#include "FreedMemoryMark.h"
#include "../manager/LayeredRecorder.h"
#include "FrameOutputTestSupport.h"
#include "skin/forms/vlMinimizeAnimation.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/HandleCounts.h"

#include <commctrl.h>
#include <cstdint>

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif
#if ZUVO_COMPOSITION
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "BorderedFormSupport.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/manager/vlAnimFrames.h"
#endif

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct Restored {
    int Count = 0;
    void On(vcl::TObject *) { ++Count; }
};

using MinimizeAnimation = FrameFixture;

bool Settled(TsSkinProvider *P) {
    return uitest::PumpUntil([P] { return !(P->StateFlags & (pfMinimizeAnimation | pfRestoreAnimation)); }, 3s);
}

// A main form minimized by its state has no minimize to reverse: on the
// system's restore the application's hook restores it itself.
TEST_F(MinimizeAnimation, AMainFormMinimizedByItsStateIsRestoredByTheApplicationsHook) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    ASSERT_TRUE(Manager->AnimEffects()->Minimizing->Active);
    F()->SetWindowState(vcl::wsMinimized);
    ASSERT_TRUE(IsIconic(W()));
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(P));
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_EQ(F()->WindowState(), vcl::wsNormal);
}

#if ZUVO_COMPOSITION

TEST_F(MinimizeAnimation, AFormFliesIntoTheTaskbarEdgeAndBackEndingOpaque) {
    ASSERT_TRUE(DwmCompositionActive());
    Restored restored;
    vcl::Application->OnRestore = vcl::TNotifyEvent::Bind<&Restored::On>(&restored);
    ShowFilled();
    LayeredRecorder recorder;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(P->MinTimer);
    EXPECT_EQ(P->MinTimer->TargetAlpha, 63);  // a quarter under the compositor
    EXPECT_EQ(P->MinTimer->Flight.Steps, 12);
    ASSERT_TRUE(Settled(P));
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(P->MinTimer->Restoring);  // it holds the minimized image
    const HWND snapshot = P->MinTimer->SnapshotWindow();
    EXPECT_FALSE(IsWindowVisible(snapshot));
    const std::vector<LayeredCall> flight = LayeredRecorder::Of(snapshot);
    ASSERT_GE(flight.size(), 11u);
    // Falling alphas, the window heading for Wine's hidden taskbar: the left
    // edge at the form's centre height.
    for (std::size_t i = 2; i + 1 < flight.size(); ++i) EXPECT_LE(flight[i].Alpha, flight[i - 1].Alpha) << i;
    EXPECT_LT(flight[flight.size() - 2].Place.x, flight[1].Place.x);

    LayeredRecorder back;
    P->CurrentButton = HTCLOSE;
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    // The flight has the restore now: the frame and its buttons wait for its end.
    ASSERT_TRUE(P->StateFlags & pfRestoreAnimation);
    EXPECT_EQ(P->CurrentButton, HTCLOSE);
    ASSERT_TRUE(Settled(P));
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);  // opaque again
    EXPECT_FALSE(P->ShowAnimating);
    EXPECT_FALSE(IsWindow(snapshot));
    const std::vector<int> rising = LayeredRecorder::AlphasOf(snapshot);
    ASSERT_GE(rising.size(), 10u);
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end()));
    EXPECT_EQ(rising.back(), 63);
    EXPECT_EQ(restored.Count, 1);
    vcl::Application->OnRestore = {};
}

// The main form goes through the application's hook: minimized after its
// flight under composition too, and flown back by the restore.
TEST_F(MinimizeAnimation, TheMainFormIsIconicAfterItsFlightAndFliesBack) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    P->IsSkinned = true;  // as a prepared skin leaves it
    RECT r{};
    GetWindowRect(W(), &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(P->MinTimer);
    EXPECT_FALSE(P->Animating);
    ASSERT_TRUE(Settled(P));
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_NE(WindowFromPoint(centre), W());

    LayeredRecorder back;
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(P->StateFlags & pfRestoreAnimation);
    ASSERT_TRUE(Settled(P));
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_FALSE(LayeredRecorder::Calls.empty());
    const std::vector<int> rising = LayeredRecorder::AlphasOf(LayeredRecorder::Calls.front().Window);
    ASSERT_GE(rising.size(), 10u);
    EXPECT_TRUE(std::is_sorted(rising.begin(), rising.end()));
}

// A disabled main form goes through the application's hook as well: while
// iconic it keeps no veil (no window, no watch); its restore lays it again.
TEST_F(MinimizeAnimation, ADisabledMainFormKeepsNoVeilWhileIconicAndGetsItBackWithTheRestore) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    P->IsSkinned = true;  // as a prepared skin leaves it
    P->SetDisabledBlendValue(128);
    F()->SetEnabled(false);
    ASSERT_TRUE(P->DisabledVeil);
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_TRUE(IsIconic(W()));
    EXPECT_FALSE(P->DisabledVeil);
    EXPECT_FALSE(P->VeilWatch);

    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_FALSE(IsIconic(W()));
    ASSERT_TRUE(P->DisabledVeil);
    EXPECT_TRUE(IsWindowVisible(P->DisabledVeil->WindowHandle()));
    RECT form{}, over{};
    GetWindowRect(W(), &form);
    GetWindowRect(P->DisabledVeil->WindowHandle(), &over);
    EXPECT_TRUE(EqualRect(&form, &over));
    F()->SetEnabled(true);
    EXPECT_FALSE(P->DisabledVeil);
}

// The main form stays minimized until its flight back shows it: the
// application's code in that show (its placement) frees the provider, and
// the form is left opaque, not layered and unseen.
TEST_F(MinimizeAnimation, AProviderFreedByTheMainFormsShowAtTheFlightsEndLeavesItOpaque) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    P->IsSkinned = true;  // as a prepared skin leaves it
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_TRUE(IsIconic(W()));
    const HWND window = W();
    Watcher.Before = [&](const vcl::TMessage &M) {
        if (M.Msg == WM_WINDOWPOSCHANGED && P && !IsIconic(window)) delete std::exchange(P, nullptr);
    };
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(P && (P->StateFlags & pfRestoreAnimation)) << "it flies back, still iconic";
    EXPECT_TRUE(uitest::PumpUntil([&] { return !P; }, 3s));
    Watcher.Before = nullptr;
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
}

// A minimized image goes when the form comes back without its flight (a
// restore while a hide snapshot is taken), is shown anew or blends on
// moving: none flies back later from a stale picture.
TEST_F(MinimizeAnimation, AMinimizedImageGoesWhenTheFormComesBackWithoutItsFlight) {
    ShowFilled();
    const auto minimized = [&] {
        SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return Settled(P) && IsIconic(W()) && P->MinTimer && P->MinTimer->Restoring;
    };
    ASSERT_TRUE(minimized());
    P->StateFlags |= pfSnapshotTaken;
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_FALSE(IsIconic(W()));
    EXPECT_FALSE(P->MinTimer);
    LayeredRecorder none;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(P->StateFlags & pfRestoreAnimation);
    EXPECT_TRUE(IsZoomed(W()));
    EXPECT_TRUE(LayeredRecorder::Calls.empty());
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_FALSE(IsZoomed(W()));

    ASSERT_TRUE(minimized());
    F()->Hide();
    ShowWindow(W(), SW_RESTORE);
    F()->Show();
    EXPECT_FALSE(P->MinTimer) << "shown anew";

    ASSERT_TRUE(minimized());
    ShowWindow(W(), SW_RESTORE);  // not by its command
    Manager->AnimEffects()->BlendOnMoving->Active = true;
    P->StartBlendOnMoving(false);
    EXPECT_FALSE(P->MinTimer) << "a blend";
    P->EndBlendOnMoving(nullptr);
    Manager->AnimEffects()->BlendOnMoving->Active = false;
}

// The application's restore handler frees the form: the timer that ran it
// goes with the provider and is not written to afterwards.
TEST_F(MinimizeAnimation, AFormFreedByTheRestoreHandlerLeavesItsTimerUntouched) {
    ShowFilled();
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_TRUE(P->MinTimer);
    struct FreeForm {
        vcl::TForm **Form;
        void On(vcl::TObject *) { delete std::exchange(*Form, nullptr); }
    } freeForm{&Form.Form};
    vcl::Application->OnRestore = vcl::TNotifyEvent::Bind<&FreeForm::On>(&freeForm);
    const void *timer = P->MinTimer.get();
    P = nullptr;
    const test::TFreedMemoryMark mark;
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(uitest::PumpUntil([&] { return Form.Form == nullptr; }, 3s));
    vcl::Application->OnRestore = {};
    EXPECT_TRUE(mark.Untouched(timer));
    EXPECT_EQ(mark.Faults(), 0);
}

// The taskbar's window where a test put it, back where it was afterwards.
struct MovedTaskbar {
    HWND Tray = FindTaskbarWindow();
    RECT Was{};
    explicit MovedTaskbar(const vcl::TRect &To) {
        GetWindowRect(Tray, &Was);
        SetWindowPos(Tray, nullptr, To.Left, To.Top, To.Width(), To.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ~MovedTaskbar() {
        SetWindowPos(Tray, nullptr, Was.left, Was.top, Was.right - Was.left, Was.bottom - Was.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

// A minimized form chosen to be maximized in its skinned system menu grows
// back out of the taskbar, from where the taskbar lies since the work area
// changed, and ends maximized and opaque.
TEST_F(MinimizeAnimation, AMinimizedFormMaximizedFromItsMenuGrowsBackFromTheTaskbarsNewPlace) {
    ShowFilled();
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_TRUE(IsIconic(W()));
    ASSERT_TRUE(P->MinTimer && P->MinTimer->Restoring);

    ASSERT_TRUE(FindTaskbarWindow());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const vcl::TRect bottom{0, height - 30, width, height};
    const MovedTaskbar moved(bottom);
    // What the system broadcasts when the work area changes (Wine's
    // SPI_SETWORKAREA changes it without a word).
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, reinterpret_cast<LPARAM>(L""),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    const vcl::TRect form = P->MinTimer->FormRect;
    const vcl::TPoint centre{(form.Left + form.Right) / 2, (form.Top + form.Bottom) / 2};
    EXPECT_TRUE(P->MinTimer->TargetRect == EdgeTarget(TaskbarEdge(bottom), bottom, centre));

    wchar_t text[64] = {};
    GetMenuStringW(GetSystemMenu(W(), FALSE), SC_MAXIMIZE, text, 63, MF_BYCOMMAND);
    const std::string maximize = Plain(vcl::WideToUtf8(text));
    LayeredRecorder back;
    MenuWatcher menus([&](HWND, HMENU Menu) { MenuWatcher::ClickItemNamed(Menu, maximize); });
    P->PopupSystemMenu({form.Left + 20, form.Top + 20});
    ASSERT_EQ(menus.Count(), 1);
    ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(W()) && !(P->StateFlags & pfRestoreAnimation); }, 3s));
    EXPECT_FALSE(IsIconic(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(P->StateFlags & pfMaximizing);
    ASSERT_FALSE(LayeredRecorder::Calls.empty()) << "the restore's flight";
    const std::vector<LayeredCall> flight = LayeredRecorder::Of(LayeredRecorder::Calls.front().Window);
    ASSERT_GE(flight.size(), 10u);
    std::vector<int> alphas;
    for (const LayeredCall &c : flight) alphas.push_back(c.Alpha);
    EXPECT_TRUE(std::is_sorted(alphas.begin() + 1, alphas.end()));
    // Its first steps near the taskbar at the bottom, far below the form.
    EXPECT_GT(flight[1].Place.y + flight[1].Size.cy / 2, centre.Y + (height - centre.Y) / 2);
    ParkCursor();
}

TEST_F(MinimizeAnimation, AFormDisabledWhileMinimizedGetsItsVeilWithTheRestore) {
    ShowFilled();
    // The veil's opacity given before the disable, or after it.
    for (const bool blendFirst : {true, false}) {
        SCOPED_TRACE(blendFirst);
        P->SetDisabledBlendValue(blendFirst ? 128 : 255);
        SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(Settled(P));
        ASSERT_TRUE(IsIconic(W()));
        F()->SetEnabled(false);
        P->SetDisabledBlendValue(128);
        ASSERT_TRUE(P->StateFlags & pfDisabled);

        SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(Settled(P));
        ASSERT_FALSE(IsIconic(W()));
        ASSERT_TRUE(P->DisabledVeil);
        const HWND veil = P->DisabledVeil->WindowHandle();
        EXPECT_TRUE(IsWindowVisible(veil));
        RECT form{}, over{};
        GetWindowRect(W(), &form);
        GetWindowRect(veil, &over);
        EXPECT_TRUE(EqualRect(&form, &over));
        F()->SetEnabled(true);
        EXPECT_FALSE(P->DisabledVeil);
    }
}

TEST_F(MinimizeAnimation, ADisabledFormThatStaysOnScreenKeepsItsVeil) {
    ShowFilled();
    P->SetDisabledBlendValue(128);
    F()->SetEnabled(false);
    ASSERT_TRUE(P->DisabledVeil);
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    ASSERT_FALSE(IsIconic(W())) << "the system leaves a disabled window as it is";
    ASSERT_TRUE(P->DisabledVeil);
    EXPECT_TRUE(IsWindowVisible(P->DisabledVeil->WindowHandle()));
    EXPECT_TRUE(IsWindowVisible(W()));
    F()->SetEnabled(true);
}

TEST_F(MinimizeAnimation, ARestoredMDIParentShowsItsActiveChildActive) {
    vcl::TForm *parent = vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew);
    const std::unique_ptr<vcl::TForm> owner(parent);
    parent->SetFormStyle(vcl::fsMDIForm);
    parent->SetBounds(60, 60, 420, 320);
    auto *parentP = vcl::Create<TsSkinProvider>(parent);
    parent->Show();
    auto *child = vcl::Create<vcl::TForm>(parent, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetBounds(10, 10, 200, 140);
    auto *childP = vcl::Create<TsSkinProvider>(child);
    child->Show();
    vcl::Application->ProcessMessages();
    ASSERT_EQ(parent->ActiveMDIChild(), child);

    Manager->AnimEffects()->Minimizing->Time = 30;
    SendMessageW(parent->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(parentP));
    ASSERT_TRUE(IsIconic(parent->Handle()));
    childP->FormActive = 0;  // as the parent's deactivation leaves it
    SendMessageW(parent->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(parentP));
    EXPECT_FALSE(IsIconic(parent->Handle()));
    EXPECT_EQ(childP->FormActive, 1);
    EXPECT_EQ(parent->ActiveMDIChild(), child);
}

struct BorderedMinimize : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = BorderedManager();
};

// The border's own window carries the picture, shadow and all, into the
// taskbar and back; it goes with the minimized form and ends the restore
// at its place behind the form again.
TEST_F(BorderedMinimize, AFormFliesInItsBorderWindowAndGetsItBackOnTheRestore) {
    BorderedForm f;
    const HWND borderWindow = f.Border();
    ASSERT_TRUE(borderWindow);
    // The border lies right above the form in the z-order.
    ASSERT_EQ(GetWindow(f.Wnd(), GW_HWNDPREV), borderWindow);
    const vcl::TRect border = BorderedForm::RectOf(borderWindow);
    LayeredRecorder recorder;
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(f.P->MinTimer);
    EXPECT_TRUE(f.P->MinTimer->FormRect == border);
    EXPECT_EQ(f.P->MinTimer->SnapshotWindow(), borderWindow);
    ASSERT_TRUE(Settled(f.P));
    ASSERT_TRUE(IsIconic(f.Wnd()));
    EXPECT_FALSE(f.P->BorderWindow()) << "gone with the form";
    const std::vector<LayeredCall> flight = LayeredRecorder::Of(borderWindow);
    ASSERT_GE(flight.size(), 3u);
    // After the border's own refresh, the border's size, fading.
    EXPECT_EQ(flight[1].Size.cx, border.Width());
    EXPECT_EQ(flight[1].Size.cy, border.Height());
    EXPECT_LT(flight.back().Alpha, flight[1].Alpha);

    LayeredRecorder back;
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    const HWND flying = f.P->BorderWindow();
    ASSERT_TRUE(flying);
    EXPECT_EQ(f.P->MinTimer->SnapshotWindow(), flying);
    ASSERT_TRUE(Settled(f.P));
    EXPECT_FALSE(IsIconic(f.Wnd()));
    EXPECT_EQ(f.P->BorderWindow(), flying);
    EXPECT_TRUE(IsWindowVisible(flying));
    EXPECT_TRUE(BorderedForm::RectOf(flying) == border);
    EXPECT_EQ(GetWindow(f.Wnd(), GW_HWNDPREV), flying) << "topmost only while it flew";
    EXPECT_FALSE(GetWindowLongPtrW(f.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    std::vector<int> rising = LayeredRecorder::AlphasOf(flying);
    ASSERT_GE(rising.size(), 10u);
    EXPECT_TRUE(std::is_sorted(rising.begin() + 1, rising.end() - 1));
}

// The restore's flight starts with the border window made again and the
// frame rendered, which runs the form's painting: a painting that frees the
// provider there leaves it untouched, and the form comes back as the system
// restores it, opaque.
TEST_F(BorderedMinimize, AProviderFreedByThePaintingAsTheRestoreStartsIsLeftAndTheFormComesBack) {
    BorderedForm f;
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(f.P));
    ASSERT_TRUE(IsIconic(f.Wnd()));
    struct FreeProvider {
        TsSkinProvider **P;
        void On(vcl::TObject *) { delete std::exchange(*P, nullptr); }
    } freeProvider{&f.P};
    f.Form.Form->OnPaint = vcl::TNotifyEvent::Bind<&FreeProvider::On>(&freeProvider);
    const void *provider = f.P;
    {
        const test::TFreedMemoryMark mark;
        SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
        uitest::PumpUntil([&] { return !IsIconic(f.Wnd()); }, 3s);
        EXPECT_EQ(f.P, nullptr) << "the painting never ran";
        EXPECT_TRUE(mark.Untouched(provider));
        EXPECT_EQ(mark.Faults(), 0);
    }
    f.Form.Form->OnPaint = {};
    EXPECT_FALSE(IsIconic(f.Wnd()));
    EXPECT_TRUE(IsWindowVisible(f.Wnd()));
    EXPECT_FALSE(GetWindowLongPtrW(f.Wnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(MinimizeAnimation, LiveCountsStayFlatOverAHundredMinimizeCycles) {
    ShowFilled();
    Manager->AnimEffects()->Minimizing->Time = 20;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(Settled(P));
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(Settled(P));
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(Settled(P));
        SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(Settled(P));
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

#else

TEST_F(MinimizeAnimation, WithoutCompositionNothingAnimatesAndARestoreReversesNothing) {
    ASSERT_FALSE(DwmCompositionActive());
    ShowFilled();
    // Minimized another way (as WindowState does): nothing to reverse, and
    // the caller restores the form itself.
    ShowWindow(W(), SW_MINIMIZE);
    EXPECT_FALSE(P->StartRestoreAnimation());
    EXPECT_FALSE(P->StartMinimizeAnimation());
    EXPECT_FALSE(P->MinTimer);
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(W()));

    LayeredRecorder recorder;
    SendMessageW(W(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(W()));
    EXPECT_TRUE(LayeredRecorder::Calls.empty());
    EXPECT_FALSE(P->StateFlags & pfMinimizeAnimation);
    SendMessageW(W(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(W()));
}

TEST(TaskbarButton, WithoutTheShellsTaskListTheSearchGivesNothing) {
    // Wine's taskbar has no task list: the animation heads for the edge.
    EXPECT_TRUE(FindTaskbarButtonRect().IsEmpty());
}

// A shell's task list of our own making, in this process: the tray, its
// bar, its task window and a toolbar whose buttons carry, as the shell's
// do, the address of the window each stands for.
struct FakeTaskList {
    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) { return DefWindowProcA(W, M, WP, LP); }
    static void Register(const char *Name) {
        WNDCLASSA c{};
        c.lpfnWndProc = &Proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = Name;
        RegisterClassA(&c);
    }
    HWND Tray = nullptr, Bar = nullptr, Tasks = nullptr, Toolbar = nullptr;
    std::uint32_t Owners[2];
    FakeTaskList(HWND First, HWND Second) : Owners{Handle32(First), Handle32(Second)} {
        for (const char *name : {"Shell_TrayWnd", "ReBarWindow32", "MSTaskSwWClass"}) Register(name);
        const HINSTANCE module = GetModuleHandleA(nullptr);
        Tray = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 900, 1280, 40,
                               nullptr, nullptr, module, nullptr);
        Bar = CreateWindowExA(0, "ReBarWindow32", "", WS_CHILD, 0, 0, 1280, 40, Tray, nullptr, module, nullptr);
        Tasks = CreateWindowExA(0, "MSTaskSwWClass", "", WS_CHILD, 100, 0, 1000, 40, Bar, nullptr, module, nullptr);
        Toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | TBSTYLE_LIST, 0, 0, 1000, 40, Tasks, nullptr,
                                  module, nullptr);
        SendMessageA(Toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON buttons[2]{};
        for (int i = 0; i < 2; ++i) {
            buttons[i].iBitmap = I_IMAGENONE;
            buttons[i].idCommand = 100 + i;
            buttons[i].fsState = TBSTATE_ENABLED;
            buttons[i].fsStyle = BTNS_BUTTON;
            buttons[i].dwData = reinterpret_cast<DWORD_PTR>(&Owners[i]);
            buttons[i].iString = -1;
        }
        SendMessageA(Toolbar, TB_ADDBUTTONS, 2, reinterpret_cast<LPARAM>(buttons));
    }
    ~FakeTaskList() { DestroyWindow(Tray); }
    static std::uint32_t Handle32(HWND W) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(W)); }
    vcl::TRect ButtonOnScreen(int Index) const {
        RECT r{}, bar{};
        SendMessageA(Toolbar, TB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(&r));
        GetWindowRect(Toolbar, &bar);
        return {r.left + bar.left, r.top + bar.top, r.right + bar.left, r.bottom + bar.top};
    }
};

// The main form owns the program's taskbar button (the application's
// window is hidden and has none): the search finds the button that stands
// for the main form.
TEST_F(MinimizeAnimation, TheTaskbarButtonSearchFindsTheMainFormsButton) {
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    const FakeTaskList tasks(vcl::Application->Handle(), W());
    ASSERT_NE(tasks.ButtonOnScreen(0), tasks.ButtonOnScreen(1));
    EXPECT_EQ(FindTaskbarButtonRect(), tasks.ButtonOnScreen(1));
}

#endif

} // namespace
} // namespace skin

