// The progress bar keeps its value exactly and lets its window catch up when
// messages are pumped or the loop goes idle, at most once per display frame.
// The checks on timing hold on a machine of any speed: a pause that lets a
// frame pass can only loosen them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <thread>

#include "vcl/ComCtrls.h"
#include "vcl/Forms.h"

namespace vcl {
namespace {

struct TSetPosCounter {
    explicit TSetPosCounter(TControl *Control) : Control(Control), Saved(Control->WindowProc) {
        Control->WindowProc = TWndMethod::Bind<&TSetPosCounter::Handle>(this);
    }
    ~TSetPosCounter() { Control->WindowProc = Saved; }
    void Handle(TMessage &m) {
        if (m.Msg == PBM_SETPOS) ++SetPos;
        Saved(m);
    }
    TControl *Control;
    TWndMethod Saved;
    int SetPos = 0;
};

struct TBarFixture {
    std::unique_ptr<TForm> Form{Create<TForm>(Application, CreateNew)};
    TProgressBar *Bar = Create<TProgressBar>(Form.get());

    explicit TBarFixture(bool show = true) {
        Bar->SetParent(Form.get());
        if (show) Form->Show();
    }
    int WindowPosition() { return static_cast<int>(SendMessageW(Bar->Handle(), PBM_GETPOS, 0, 0)); }
};

TEST(ProgressBar, KeepsPositionInItsThirtyTwoBitRangeAndStepsOverLikeTheSystemBar) {
    TBarFixture f(false);
    f.Bar->SetPosition(150);
    EXPECT_EQ(f.Bar->Position(), 100);
    f.Bar->SetMax(2583496);
    f.Bar->SetPosition(2000000);
    EXPECT_EQ(f.Bar->Position(), 2000000);
    f.Bar->SetMax(11);
    EXPECT_EQ(f.Bar->Position(), 11);
    EXPECT_THROW(f.Bar->SetRange(5, 4), EInvalidOperation);
    EXPECT_EQ(f.Bar->Max(), 11);

    f.Form->Show();
    f.Bar->SetRange(0, 10);
    f.Bar->SetStep(3);
    f.Bar->SetPosition(0);
    for (int expected : {3, 6, 9, 2, 5, 8, 1}) {
        f.Bar->StepIt();
        EXPECT_EQ(f.Bar->Position(), expected);
    }
    // The window's own stepping gives the same numbers.
    std::this_thread::sleep_for(std::chrono::milliseconds(kDisplayFrameMs + 4));
    Application->ProcessMessages();
    SendMessageW(f.Bar->Handle(), PBM_SETPOS, 9, 0);
    SendMessageW(f.Bar->Handle(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(f.WindowPosition(), 2);
}

TEST(ProgressBar, StepsOnlyChangeTheValueAndThePumpBringsTheWindowUpToDateOnceAFrame) {
    TBarFixture f;
    const int steps = 596187;  // as many as an install of the sample product makes
    f.Bar->SetMax(steps);
    f.Bar->SetStep(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(kDisplayFrameMs + 4));
    Application->ProcessMessages();
    TSetPosCounter counter(f.Bar);
    for (int i = 0; i < steps; ++i) f.Bar->StepIt();
    EXPECT_EQ(f.Bar->Position(), steps);
    EXPECT_EQ(counter.SetPos, 0);
    // A pump right after the window was brought up to date leaves it for the next frame.
    const std::uint32_t synced = TickMs();
    Application->ProcessMessages();
    EXPECT_TRUE(f.WindowPosition() == 0 || TickMs() - synced >= kDisplayFrameMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(kDisplayFrameMs + 4));
    Application->ProcessMessages();
    EXPECT_EQ(f.WindowPosition(), steps);
    EXPECT_EQ(counter.SetPos, 1);
}

TEST(ProgressBar, AnIdleLoopBringsTheWindowUpToDateAfterAFrame) {
    TBarFixture f;
    f.Bar->SetMax(1000);
    f.Bar->SetStep(1);
    f.Bar->StepIt();
    Application->ProcessMessages();
    f.Bar->StepIt();  // within the frame of the update just made (on most machines)
    // Seen when the loop goes idle; a timer ends the wait of a loop that
    // would wait for input with the window behind.
    struct TProbe {
        TBarFixture *F;
        bool Updated = false;
        void Idle(TObject *) {
            if (Updated || F->WindowPosition() != 2) return;
            Updated = true;
            PostMessageW(F->Form->Handle(), WM_NULL, 0, 0);
        }
    } probe{&f};
    const TNotifyEvent previous = Application->OnIdle;
    Application->OnIdle = TNotifyEvent::Bind<&TProbe::Idle>(&probe);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 1000, nullptr);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20 && !probe.Updated; ++i) Application->HandleMessage();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    KillTimer(nullptr, watchdog);
    Application->OnIdle = previous;
    EXPECT_TRUE(probe.Updated);
    EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
}

TEST(ProgressBar, StateMadeWithoutAWindowReachesTheNewWindow) {
    TBarFixture f(false);
    f.Bar->SetMax(11);
    f.Bar->SetStep(1);
    for (int i = 0; i < 4; ++i) f.Bar->StepIt();
    EXPECT_FALSE(f.Bar->HandleAllocated());
    f.Form->Show();
    EXPECT_EQ(f.WindowPosition(), 4);
    PBRANGE range{};
    SendMessageW(f.Bar->Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 11);
    f.Bar->SetPosition(7);
    f.Bar->RecreateWnd();
    EXPECT_EQ(f.WindowPosition(), 7);
}

TEST(ProgressBar, TheThrottledPumpWaitsBetweenPumps) {
    bool seen = false;
    struct TFlag {
        bool *Seen;
        void Handle(TMessage &m) { *Seen = *Seen || m.Msg == WM_APP + 9; }
    } flag{&seen};
    TUtilWindow w(TWndMethod::Bind<&TFlag::Handle>(&flag));
    Application->ProcessMessages();
    const std::uint32_t pumped = TickMs();
    PostMessageW(w.Handle(), WM_APP + 9, 0, 0);
    Application->ProcessMessagesThrottled();
    EXPECT_TRUE(!seen || TickMs() - pumped >= kPumpIntervalMs);  // right after a pump: not yet
    std::this_thread::sleep_for(std::chrono::milliseconds(kPumpIntervalMs + 2));
    Application->ProcessMessagesThrottled();
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace vcl
