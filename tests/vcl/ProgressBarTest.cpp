// The progress bar keeps its value exactly and lets its window catch up at
// most once per display frame and whenever messages are pumped. The checks
// on timing hold on a machine of any speed: a pause that lets a frame pass
// can only loosen them.
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
    Application->ProcessMessages();
    SendMessageW(f.Bar->Handle(), PBM_SETPOS, 9, 0);
    SendMessageW(f.Bar->Handle(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(f.WindowPosition(), 2);
}

TEST(ProgressBar, TheWindowCatchesUpAtMostOncePerFrameAndWhenPumped) {
    TBarFixture f;
    f.Bar->SetMax(100000);
    f.Bar->SetStep(1);
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    TSetPosCounter counter(f.Bar);
    const std::uint32_t start = TickMs();
    f.Bar->StepIt();  // the first change after a quiet frame goes out at once
    EXPECT_EQ(f.WindowPosition(), 1);
    for (int i = 1; i < 20000; ++i) f.Bar->StepIt();
    const std::uint32_t elapsed = TickMs() - start;
    EXPECT_EQ(f.Bar->Position(), 20000);
    EXPECT_LE(counter.SetPos, static_cast<int>(elapsed / kDisplayFrameMs) + 1);
    Application->ProcessMessages();
    EXPECT_EQ(f.WindowPosition(), 20000);
    // After a frame without a pump, the next change goes out itself.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    f.Bar->StepIt();
    EXPECT_EQ(f.WindowPosition(), 20001);
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
