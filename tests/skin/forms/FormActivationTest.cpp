// The activation, size, position and visibility handlers of a skinned
// form: the caption cover around the system's own handling of an activation
// change, the answer of a swallowed one, handle counts over many changes,
// the maximized size and position, the redraw lock, the first show without
// an animation, the hide animation's service and the bounded wait for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include "FreedMemoryMark.h"
#include "../manager/LayeredRecorder.h"
#include "FrameOutputTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlMinimizeAnimation.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"
#include "vcl/Panels.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif
#if ZUVO_COMPOSITION
#include "BorderedFormSupport.h"
#include "skin/forms/vlDwmServices.h"
#include "vcl/Menus.h"
#endif

namespace skin {
namespace {

using namespace skin::test;

#if ZUVO_COMPOSITION

// Windows 10 reports itself as 6.2 to a program without a manifest: the
// frame's measures count it among the versions from 8 on, as the rest of
// the library does.
TEST(FrameMeasures, TakeWindowsTenForEightOrLater) {
    const FormsModules modules;
    EXPECT_GE(SystemFrameMetrics().OSMajor, 8);
}

struct BorderedActivation : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = BorderedManager();
};

bool InRegionOf(HWND W, vcl::TPoint P) {
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(W, region.Get()) == ERROR || PtInRegion(region.Get(), P.X, P.Y);
}

// What the system's own handling of an activation change found: the redraw
// lock, and whether the border window covered the menu line.
struct ActivationSpy {
    TsSkinProvider *P;
    vcl::TWndMethod Next = P->SavedWndProc;
    vcl::TPoint OnLine{};
    int Lock = -1;
    bool LineCovered = false;
    explicit ActivationSpy(TsSkinProvider *Provider) : P(Provider) {
        P->SavedWndProc = vcl::TWndMethod::Bind<&ActivationSpy::Handle>(this);
    }
    ~ActivationSpy() { P->SavedWndProc = Next; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == WM_NCACTIVATE) {
            Lock = P->RedrawLock;
            LineCovered = P->BorderWindow() && InRegionOf(P->BorderWindow(), OnLine);
        }
        Next(M);
    }
};

// The system draws the caption and the menu bar while it handles an
// activation change: a bordered form is not kept from drawing (its border
// shows the frame), but over a menu line the border shows its picture
// whole until the change is through.
TEST_F(BorderedActivation, TheBorderCoversTheMenuLineWhileTheSystemHandlesAnActivationChange) {
    ASSERT_TRUE(DwmCompositionActive());
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    f.AddMenuLine();
    f.ShowSkinned();
    ASSERT_TRUE(f.P->HasMenuLine() && f.Border());
    ActivationSpy spy(f.P);
    spy.OnLine = {f.P->GetClientOffsetX() + 10, f.P->GetClientOffsetY() - f.P->GetMenuLineHeight() / 2};
    f.P->BorderForm->Border().ApplyRegion();
    ASSERT_FALSE(InRegionOf(f.Border(), spy.OnLine)) << "the line shows through the hole";
    SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(spy.Lock, 0);
    EXPECT_TRUE(spy.LineCovered);
    EXPECT_FALSE(InRegionOf(f.Border(), spy.OnLine)) << "the hole is back";
}

// A form deactivated while its minimize command runs (as the system moves
// the activation away): the border's window carries the flying picture,
// and the deactivation draws nothing into it (over a menu line neither).
TEST_F(BorderedActivation, ADeactivationDuringAMinimizeLeavesTheFlyingBorderAlone) {
    for (const bool menuLine : {false, true}) {
        SCOPED_TRACE(menuLine ? "with a menu line" : "without a menu line");
        BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
        if (menuLine) f.AddMenuLine();
        f.ShowSkinned();
        ASSERT_EQ(f.P->HasMenuLine(), menuLine);
        const HWND before = f.Border();
        ASSERT_TRUE(before);
        struct Deactivate {
            TsSkinProvider *P;
            vcl::TWndMethod Next;
            std::size_t Drawn = 99;
            void Handle(vcl::TMessage &M) {
                Next(M);
                if (M.Msg != WM_SYSCOMMAND || M.WParam != SC_MINIMIZE) return;
                const LayeredRecorder recorder;
                SendMessageW(P->Form->WindowHandle(), WM_NCACTIVATE, 0, 0);
                Drawn = LayeredRecorder::Of(P->BorderWindow()).size();
            }
        } spy{f.P, f.P->SavedWndProc};
        f.P->SavedWndProc = vcl::TWndMethod::Bind<&Deactivate::Handle>(&spy);
        SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        f.P->SavedWndProc = spy.Next;
        ASSERT_TRUE(f.P->MinTimer && f.P->MinTimer->Enabled());
        EXPECT_EQ(f.Border(), before);
        EXPECT_EQ(spy.Drawn, 0u);
        uitest::PumpUntil([&] { return !(f.P->StateFlags & pfMinimizeAnimation); }, 3s);
    }
}

// The form's own handling of an activation change may free its provider:
// the redraw held back for the system's caption drawing comes back all the
// same, and the form stays in sight (without redraw it has no visible style).
TEST_F(BorderedActivation, AProviderFreedInTheFormsOwnActivationHandlingGivesTheRedrawBack) {
    ASSERT_TRUE(DwmCompositionActive());
    BorderedForm f;
    f.P->SetAllowExtBorders(false);
    ASSERT_FALSE(f.P->BorderForm);
    struct FreeInActivation {
        TsSkinProvider **P;
        vcl::TWndMethod Next;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == WM_NCACTIVATE && *P) delete std::exchange(*P, nullptr);
            Next(M);
        }
    } spy{&f.P, f.P->SavedWndProc};
    f.P->SavedWndProc = vcl::TWndMethod::Bind<&FreeInActivation::Handle>(&spy);
    SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
    ASSERT_EQ(f.P, nullptr) << "the form never handled the change";
    EXPECT_TRUE(IsWindowVisible(f.Wnd()));
}

// A window hidden without animation: the border window goes before the
// form's own hide, except for the main form hidden after the application's
// minimize, which keeps it until its hide is through; after the hide
// neither has it.
TEST_F(BorderedActivation, AHiddenFormsBorderGoesBeforeItsHideUnlessTheMainFormIsMinimizing) {
    Manager->AnimEffects()->FormHide->Active = false;
    Manager->AnimEffects()->Minimizing->Active = false;
    for (const bool mainForm : {false, true}) {
        SCOPED_TRACE(mainForm ? "main form" : "other form");
        BorderedForm f;
        ASSERT_TRUE(f.Border());
        if (mainForm) vcl::Application->FormCreated(f.Form.Form);
        Manager->SysCommandState = 2;  // the application's last command: a minimize
        struct HideSpy {
            TsSkinProvider *P;
            vcl::TWndMethod Next;
            int BorderInHide = -1;
            void Handle(vcl::TMessage &M) {
                if (M.Msg == WM_WINDOWPOSCHANGED &&
                    (reinterpret_cast<const WINDOWPOS *>(M.LParam)->flags & SWP_HIDEWINDOW))
                    BorderInHide = P->BorderWindow() != nullptr;
                Next(M);
            }
        } spy{f.P, f.P->SavedWndProc};
        f.P->SavedWndProc = vcl::TWndMethod::Bind<&HideSpy::Handle>(&spy);
        ShowWindow(f.Wnd(), SW_HIDE);  // as the system hides it
        f.P->SavedWndProc = spy.Next;
        Manager->SysCommandState = 0;
        EXPECT_EQ(spy.BorderInHide, mainForm ? 1 : 0);
        EXPECT_EQ(f.Border(), nullptr);
    }
}

#else

using FormActivation = FrameFixture;

// What the form's own procedure saw of the caption while it handled
// WM_NCACTIVATE: whether the caption cover lay over it.
struct CoverSpy {
    TsSkinProvider *P;
    vcl::TWndMethod Next;
    int Activations = 0;
    int Covered = 0;
    explicit CoverSpy(TsSkinProvider *Provider) : P(Provider), Next(Provider->SavedWndProc) {
        Provider->SavedWndProc = vcl::TWndMethod::Bind<&CoverSpy::Handle>(this);
    }
    ~CoverSpy() { P->SavedWndProc = Next; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == WM_NCACTIVATE) {
            ++Activations;
            RECT r{};
            GetWindowRect(P->Form->WindowHandle(), &r);
            const HWND atCaption = WindowFromPoint(POINT{r.left + 60, r.top + 8});
            if (P->CaptionCover && atCaption == P->CaptionCover->WindowHandle()) ++Covered;
        }
        Next(M);
    }
};

TEST_F(FormActivation, TheSystemsOwnCaptionIsCoveredWhileItHandlesAnActivationChange) {
    ShowFilled();
    CoverSpy spy(P);
    for (WPARAM active : {0, 1, 0, 1}) {
        SendMessageW(W(), WM_NCACTIVATE, active, 0);
        EXPECT_EQ(P->FormActive, active);
        // The cover goes once the system is through: no window of it is left.
        EXPECT_FALSE(P->CaptionCover);
        EXPECT_FALSE(P->StateFlags & pfInNCActivate);
    }
    EXPECT_EQ(spy.Activations, 4);
    EXPECT_EQ(spy.Covered, 4);

    // A form that paints itself is not covered.
    struct OwnPaint {
        void Paint(vcl::TObject *) {}
    } own;
    F()->OnPaint = vcl::TNotifyEvent::Bind<&OwnPaint::Paint>(&own);
    SendMessageW(W(), WM_NCACTIVATE, 0, 0);
    EXPECT_EQ(spy.Activations, 5);
    EXPECT_EQ(spy.Covered, 4);
    F()->OnPaint = {};

    // During the restore animation the change is accepted without the
    // form hearing of it.
    P->StateFlags |= pfRestoreAnimation;
    EXPECT_EQ(SendMessageW(W(), WM_NCACTIVATE, FALSE, 0), TRUE);
    EXPECT_EQ(spy.Activations, 5);
    P->StateFlags &= ~pfRestoreAnimation;

    // A hidden form is not covered either.
    F()->Hide();
    const int before = spy.Activations;
    SendMessageW(W(), WM_NCACTIVATE, 1, 0);
    EXPECT_EQ(spy.Activations, before + 1);
    EXPECT_EQ(spy.Covered, 4);
}

TEST_F(FormActivation, TheScreensCaptionIsTheCachesAfterActivationAndCaptionChanges) {
    ShowFilled();
    const auto captionShown = [&] {
        vcl::Application->ProcessMessages();
        const std::unique_ptr<vcl::TBitmap> screen = ScreenImage(W());
        return Mismatches(W(), *screen, *P->SkinData()->CacheBmp(), {0, 0, F()->Width(), P->GetClientOffsetY()});
    };
    for (WPARAM active : {0, 1, 0, 1}) {
        SendMessageW(W(), WM_NCACTIVATE, active, 0);
        EXPECT_EQ(captionShown(), 0) << active;
    }
    F()->SetCaption("Another caption");
    EXPECT_EQ(captionShown(), 0);
    SendMessageW(W(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"A third one"));
    EXPECT_EQ(captionShown(), 0);
}

TEST_F(FormActivation, AHundredActivationChangesLeaveTheHandleCountsFlat) {
    TestForm other;
    other.Form->SetBounds(600, 100, 200, 200);
    ShowFilled();
    other.Show();
    SetForegroundWindow(W());
    vcl::Application->ProcessMessages();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 50; ++i) {
        SetForegroundWindow(other.Form->Handle());
        SetForegroundWindow(W());
        SendMessageW(W(), WM_NCACTIVATE, i % 2, 0);
    }
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_FALSE(P->CaptionCover && IsWindowVisible(P->CaptionCover->WindowHandle()));
}

TEST_F(FormActivation, AMaximizedFormFillsTheWorkAreaWithItsFrameBeyondTheEdges) {
    ShowFilled();
    const vcl::TRect work = FormWorkArea(*F());
    const int b = GetSystemMetrics(SM_CXSIZEFRAME);
    MINMAXINFO info{};
    SendMessageW(W(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxPosition.x, work.Left - b);
    EXPECT_EQ(info.ptMaxSize.y, work.Height() + 2 * b);

    // A frameless form keeps what the system gives it.
    F()->SetBorderStyle(vcl::bsNone);
    Prepare();
    MINMAXINFO untouched{};
    untouched.ptMaxPosition = {-7, -7};
    SendMessageW(W(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&untouched));
    EXPECT_EQ(untouched.ptMaxPosition.x, -7);
}

TEST(MaximizedPlacement, ThePositionStartsWhereTheWorkAreaStartsInItsMonitor) {
    struct Case {
        vcl::TRect Work;
        vcl::TPoint Monitor;
        int B;
        POINT Position;
        POINT Size;
    };
    const Case cases[] = {
        {{0, 0, 1280, 1024}, {0, 0}, 4, {-4, -4}, {1288, 1032}},
        {{40, 30, 1280, 1024}, {0, 0}, 4, {36, 26}, {1248, 1002}},      // taskbars at the left and top
        {{0, 0, 1280, 990}, {0, 0}, 3, {-3, -3}, {1286, 996}},          // one at the bottom
        {{1280, 0, 2560, 1024}, {1280, 0}, 4, {-4, -4}, {1288, 1032}},  // a second monitor
        {{1280, 50, 2560, 1024}, {1280, 0}, 4, {-4, 46}, {1288, 982}},
    };
    for (const Case &c : cases) {
        MINMAXINFO info{};
        MaximizedPlacement(c.Work, c.Monitor, c.B, info);
        EXPECT_EQ(info.ptMaxPosition.x, c.Position.x);
        EXPECT_EQ(info.ptMaxPosition.y, c.Position.y);
        EXPECT_EQ(info.ptMaxSize.x, c.Size.x);
        EXPECT_EQ(info.ptMaxSize.y, c.Size.y);
    }
    // A taller skin caption: lower by its excess, and shorter by it.
    MINMAXINFO info{};
    MaximizedPlacement({40, 30, 1280, 1024}, {0, 0}, 4, info, 3);
    EXPECT_EQ(info.ptMaxPosition.y, 29);
    EXPECT_EQ(info.ptMaxSize.y, 999);
    EXPECT_EQ(info.ptMaxPosition.x, 36);
}

TEST_F(FormActivation, TheRedrawLockCountsDownNotBelowZero) {
    ShowFilled();
    for (const auto &[redraw, lock] : {std::pair{1, 0}, std::pair{0, 1}, std::pair{0, 2}, std::pair{1, 1},
                                       std::pair{1, 0}, std::pair{1, 0}}) {
        SendMessageW(W(), WM_SETREDRAW, redraw, 0);
        EXPECT_EQ(P->RedrawLock, lock);
    }
    EXPECT_TRUE(Watcher.Saw(WM_SETREDRAW));
}

TEST_F(FormActivation, TheShowPlaysTheShowAnimationAndTheHideAsksForTheHideAnimation) {
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    ShowFilled();
    // Layered at alpha 1 while the form's own show runs, then the animation
    // with the manager's time and mode and the form's alpha; an animation
    // that leaves the form unseen (this one) does not keep it so.
    EXPECT_EQ(animations.Log, (std::vector<std::string>{"alpha 1 1", "show 0 255 1"}));
    EXPECT_FALSE(P->ShowAnimating);
    EXPECT_FALSE(P->InShowAnimation);
    EXPECT_TRUE(IsWindowVisible(W()));
    EXPECT_FALSE(GetWindowLongPtrW(W(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(P->LastClientRect, (vcl::TRect{0, 0, F()->ClientWidth(), F()->ClientHeight()}));

    animations.Log.clear();
    F()->Hide();
    // The cover over the form's place first (its layered picture).
    EXPECT_EQ(animations.Log, (std::vector<std::string>{"layered 255", "hide"}));
    EXPECT_FALSE(P->Animating);

    // Not when the form may not animate.
    animations.Log.clear();
    P->SetAllowAnimation(false);
    Form.Show();
    F()->Hide();
    EXPECT_TRUE(animations.Log.empty());
}

// The form's own show handling (its OnShow) finds its main menu handed to
// the skinned menus already.
TEST_F(FormActivation, AShownFormsMenuIsSkinnedBeforeItsOwnShowHandlingRuns) {
    auto *menu = vcl::Create<vcl::TMainMenu>(F());
    auto *item = vcl::Create<vcl::TMenuItem>(menu);
    item->SetCaption("File");
    menu->Items()->Add(item);
    F()->SetMenu(menu);
    F()->HandleNeeded();
    Prepare();
    P->MenuSkinned = false;
    struct OnShowSpy {
        TsSkinProvider *P;
        int Shows = 0, Skinned = 0;
        void Show(vcl::TObject *) { ++Shows, Skinned += P->MenuSkinned; }
    } spy{P};
    F()->OnShow = vcl::TNotifyEvent::Bind<&OnShowSpy::Show>(&spy);
    Form.Show();
    F()->OnShow = {};
    EXPECT_EQ(spy.Shows, 1);
    EXPECT_EQ(spy.Skinned, 1);
}

// What the hide animation finds when it starts: the cover over the form,
// the snapshot taken, the cache's pixel at Probe (frame-image coordinates).
struct HideWatch : AnimationsWatch {
    TsSkinProvider *P = nullptr;
    vcl::TPoint Probe{};
    bool Covered = false, Snapshot = false;
    COLORREF Cached = 0;
    void AnimHideForm(TvlFormProvider &Provider) override {
        AnimationsWatch::AnimHideForm(Provider);
        Covered = P->HideCover && IsWindowVisible(P->HideCover->WindowHandle());
        Snapshot = (P->StateFlags & pfSnapshotTaken) != 0;
        Cached = GetPixel(P->SkinData()->CacheBmp()->Canvas()->Handle(), Probe.X, Probe.Y);
        const std::unique_ptr<vcl::TForm> taken = Provider.TakeSnapshotForm();
    }
};

// A form that hides (not closes) leaves the hide animation its picture with
// its controls, taken while it still showed, and a cover over its place,
// skinned or not, whatever the animation's time; the cover goes with the
// hide, the snapshot with the next show.
TEST_F(FormActivation, AHidingFormLeavesItsPictureWithItsControlsAndACoverToTheHideAnimation) {
    HideWatch animations;
    animations.P = P;
    TvlServiceRegistration registration(animations);
    auto *panel = Form.Add(vcl::Create<vcl::TPanel>(F()), 20, 20);
    panel->SetColor(static_cast<vcl::TColor>(0x2050D0));
    ShowFilled();
    vcl::TBitmap own;
    own.SetPixelFormat(vcl::pf32bit);
    own.SetSize(panel->Width(), panel->Height());
    panel->PaintTo(own.Canvas()->Handle(), 0, 0);
    const COLORREF panelPixel = GetPixel(own.Canvas()->Handle(), panel->Width() / 2, panel->Height() / 2);
    animations.Probe = {P->GetClientOffsetX() + 20 + panel->Width() / 2, P->GetClientOffsetY() + 20 + panel->Height() / 2};
    Manager->AnimEffects()->FormHide->Time = 100;

    F()->Hide();
    EXPECT_TRUE(animations.Covered);
    EXPECT_TRUE(animations.Snapshot);
    EXPECT_EQ(animations.Cached, panelPixel);
    EXPECT_EQ(P->HideCover, nullptr);
    Form.Show();
    EXPECT_FALSE(P->StateFlags & pfSnapshotTaken);

    // A hide without frames to play is covered all the same, and the
    // cover still goes with the hide.
    Manager->AnimEffects()->FormHide->Time = 0;
    F()->Hide();
    EXPECT_TRUE(animations.Covered);
    EXPECT_EQ(P->HideCover, nullptr);
    Form.Show();

    Manager->AnimEffects()->FormHide->Time = 100;
    P->SkinData()->SetSkinSection("NOSUCHSECTION");  // the unskinned route
    F()->Hide();
    EXPECT_TRUE(animations.Covered);
    EXPECT_EQ(P->HideCover, nullptr);
    Form.Show();
    EXPECT_FALSE(P->StateFlags & pfSnapshotTaken);
}

// A hide animation that plays without the cover (as one without frames
// does): the cover goes with the hide all the same.
TEST_F(FormActivation, ACoverThatTheHideAnimationLeavesGoesWithTheHide) {
    struct Leaver : AnimationsWatch {
        TsSkinProvider *P = nullptr;
        HWND Cover = nullptr;
        void AnimHideForm(TvlFormProvider &) override { Cover = P->HideCover ? P->HideCover->WindowHandle() : nullptr; }
    } animations;
    animations.P = P;
    TvlServiceRegistration registration(animations);
    ShowFilled();
    Manager->AnimEffects()->FormHide->Time = 100;
    F()->Hide();
    ASSERT_TRUE(animations.Cover);
    EXPECT_FALSE(IsWindow(animations.Cover));
}

// Minimized with its snapshot taken, restored by its window state (no
// restore command): the screen shows the form's frame again.
TEST_F(FormActivation, AFormRestoredByItsStateShowsItsFrameAgain) {
    ShowFilled();
    // As the minimize's move to -32000 takes it (Wine keeps its minimized
    // windows on the desktop).
    P->TakeHideSnapshot();
    F()->SetWindowState(vcl::wsMinimized);
    ASSERT_TRUE(IsIconic(W()) && (P->StateFlags & pfSnapshotTaken));
    F()->SetWindowState(vcl::wsNormal);
    uitest::PumpUntil([] { return false; }, std::chrono::milliseconds(100));
    const std::unique_ptr<vcl::TBitmap> screen = ScreenImage(W());
    EXPECT_EQ(Mismatches(W(), *screen, *P->SkinData()->CacheBmp(), {0, 0, F()->Width(), P->GetClientOffsetY()}), 0);
}

// The application activated while the minimize timer waits to fly a
// minimized main form back: the flight restores it, not the activation.
TEST_F(FormActivation, TheApplicationsActivationLeavesAMainFormWaitingForItsRestoreFlight) {
    vcl::Application->FormCreated(F());  // the main form
    ShowFilled();
    F()->Hide();
    F()->SetWindowState(vcl::wsMinimized);
    P->MinTimer = std::make_unique<TvlMinTimer>(nullptr, P);
    P->MinTimer->Restoring = true;
    SendMessageW(W(), WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(F()->WindowState(), vcl::wsMinimized);
    P->MinTimer.reset();
    SendMessageW(W(), WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(F()->WindowState(), vcl::wsNormal);
}

// An MDI child hides inside its parent: no hide animation of its own.
TEST_F(FormActivation, AHiddenMDIChildPlaysNoHideAnimation) {
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    const std::unique_ptr<vcl::TForm> parent(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    parent->SetFormStyle(vcl::fsMDIForm);
    parent->SetBounds(60, 60, 420, 320);
    vcl::Create<TsSkinProvider>(parent.get());
    parent->Show();
    auto *child = vcl::Create<vcl::TForm>(parent.get(), vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetBounds(10, 10, 200, 140);
    vcl::Create<TsSkinProvider>(child);
    child->Show();
    vcl::Application->ProcessMessages();
    animations.Log.clear();
    ShowWindow(child->Handle(), SW_HIDE);
    EXPECT_EQ(std::count(animations.Log.begin(), animations.Log.end(), "hide"), 0);
}

// A hide animation that runs on after its call, as the layered one does on
// its timer: it ends when its message is handled, or never.
struct LingeringAnimation : AnimationsWatch {
    HWND Window = nullptr;
    bool Ends = true;
    static constexpr UINT EndMessage = WM_APP + 21;
    void AnimHideForm(TvlFormProvider &) override {
        Log.push_back("hide");
        ModuleState().FormAnimationActive = true;
        if (Ends) PostMessageW(Window, EndMessage, 0, 0);
    }
};

TEST_F(FormActivation, AnUnskinnedFormWaitsForItsHideAnimationWhileMessagesFlow) {
    LingeringAnimation animation;
    TvlServiceRegistration registration(animation);
    ShowFilled();
    animation.Log.clear();
    animation.Window = W();
    struct Ender {
        vcl::TWndMethod Next;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == LingeringAnimation::EndMessage) ModuleState().FormAnimationActive = false;
            Next(M);
        }
    } ender{F()->WindowProc};
    F()->WindowProc = vcl::TWndMethod::Bind<&Ender::Handle>(&ender);
    P->SkinData()->SetSkinSection("NOSUCHSECTION");  // the unskinned route
    ASSERT_FALSE(P->Skinned());

    F()->Hide();
    EXPECT_EQ(animation.Log, (std::vector<std::string>{"layered 255", "hide", "alpha 0 255"}));
    EXPECT_FALSE(ModuleState().FormAnimationActive);  // its end was handled meanwhile
    EXPECT_FALSE(P->Animating);

    // One that never ends is given up.
    animation.Ends = false;
    animation.Log.clear();
    Form.Show();
    F()->Hide();
    EXPECT_EQ(animation.Log, (std::vector<std::string>{"layered 255", "hide", "alpha 0 255"}));
    EXPECT_FALSE(P->Animating);
    ModuleState().FormAnimationActive = false;
    F()->WindowProc = ender.Next;
}

TsSkinProvider *Doomed = nullptr;
void CALLBACK FreeDoomed(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    delete std::exchange(Doomed, nullptr);
}

TEST_F(FormActivation, AProviderFreedWhileItsUnskinnedHideWaitsIsNotTouchedAgain) {
    LingeringAnimation animation;
    animation.Ends = false;
    TvlServiceRegistration registration(animation);
    delete P;
    P = vcl::Create<TsSkinProvider>(F());
    ShowFilled();
    P->SkinData()->SetSkinSection("NOSUCHSECTION");  // the unskinned route
    animation.Log.clear();
    Doomed = P;
    const void *provider = std::exchange(P, nullptr);
    const test::TFreedMemoryMark mark;
    SetTimer(nullptr, 0, 50, FreeDoomed);  // from the wait's message loop

    F()->Hide();
    ModuleState().FormAnimationActive = false;
    EXPECT_EQ(Doomed, nullptr);
    EXPECT_TRUE(mark.Untouched(provider));
    EXPECT_EQ(animation.Log, (std::vector<std::string>{"layered 255", "hide"}));
}

#endif

} // namespace
} // namespace skin
