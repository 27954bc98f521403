// The progress bar keeps its value exactly and lets its window catch up at
// most once per display frame and whenever messages are pumped.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
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
        Bar->SetBounds(10, 10, 300, 17);
        if (show) Form->Show();
    }
    int WindowPosition() { return static_cast<int>(SendMessageW(Bar->Handle(), PBM_GETPOS, 0, 0)); }
};

TEST(ProgressBar, DefaultsAndRange) {
    TBarFixture f(false);
    EXPECT_EQ(f.Bar->Min(), 0);
    EXPECT_EQ(f.Bar->Max(), 100);
    EXPECT_EQ(f.Bar->Step(), 10);
    EXPECT_EQ(f.Bar->Position(), 0);
    f.Bar->SetPosition(150);
    EXPECT_EQ(f.Bar->Position(), 100);
    f.Bar->SetPosition(-5);
    EXPECT_EQ(f.Bar->Position(), 0);
    f.Bar->SetMax(2583496);  // a 32-bit range, beyond the 16 bits of the old messages
    f.Bar->SetPosition(2000000);
    EXPECT_EQ(f.Bar->Position(), 2000000);
    f.Bar->SetMax(11);
    EXPECT_EQ(f.Bar->Position(), 11);
    EXPECT_THROW(f.Bar->SetRange(5, 4), EInvalidOperation);
    EXPECT_EQ(f.Bar->Min(), 0);
    EXPECT_EQ(f.Bar->Max(), 11);
}

TEST(ProgressBar, StepItStartsOverPastMaxLikeTheSystemBar) {
    TBarFixture f;
    f.Bar->SetRange(0, 10);
    f.Bar->SetStep(3);
    int expected[] = {3, 6, 9, 2, 5, 8, 1};
    for (int e : expected) {
        f.Bar->StepIt();
        EXPECT_EQ(f.Bar->Position(), e);
    }
    // The window's own stepping gives the same numbers.
    Application->ProcessMessages();
    SendMessageW(f.Bar->Handle(), PBM_SETPOS, 9, 0);
    SendMessageW(f.Bar->Handle(), PBM_STEPIT, 0, 0);
    EXPECT_EQ(f.WindowPosition(), 2);

    f.Bar->SetRange(5, 5);
    f.Bar->StepIt();
    EXPECT_EQ(f.Bar->Position(), 5);
}

TEST(ProgressBar, PositionIsExactWhileTheWindowCatchesUpOnAPump) {
    TBarFixture f;
    // As many steps as an install of the sample product makes.
    const int steps = 596187;
    f.Bar->SetMax(steps);
    f.Bar->SetStep(1);
    Application->ProcessMessages();
    TSetPosCounter counter(f.Bar);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) f.Bar->StepIt();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(f.Bar->Position(), steps);
    // At most one window update per 16 ms frame (and the first at once).
    EXPECT_LE(counter.SetPos, elapsed.count() / 16 + 2);
    Application->ProcessMessages();
    EXPECT_EQ(f.WindowPosition(), steps);
}

TEST(ProgressBar, WindowCatchesUpAfterAFrameWithoutAPump) {
    TBarFixture f;
    f.Bar->SetMax(1000);
    f.Bar->SetStep(1);
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::uint32_t frameStart = TickMs();
    f.Bar->StepIt();  // the first change after a quiet frame goes out at once
    EXPECT_EQ(f.WindowPosition(), 1);
    f.Bar->StepIt();
    // Within the frame it is held back; a thread that was held up past the
    // frame (a busy machine) lets it out, rightly.
    if (TickMs() - frameStart < kDisplayFrameMs) {
        EXPECT_EQ(f.WindowPosition(), 1);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    f.Bar->StepIt();
    EXPECT_EQ(f.WindowPosition(), 3);
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

TEST(ProgressBar, ThrottledPumpWaitsBetweenPumps) {
    TBarFixture f;
    bool seen = false;
    struct TFlag {
        bool *Seen;
        void Handle(TMessage &m) {
            if (m.Msg == WM_APP + 9) *Seen = true;
        }
    } flag{&seen};
    TUtilWindow w(TWndMethod::Bind<&TFlag::Handle>(&flag));
    const std::uint32_t pumped = TickMs();
    Application->ProcessMessages();
    PostMessageW(w.Handle(), WM_APP + 9, 0, 0);
    Application->ProcessMessagesThrottled();
    // Right after a pump: not yet (unless this thread was held up past the interval).
    if (TickMs() - pumped < kPumpIntervalMs) {
        EXPECT_FALSE(seen);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kPumpIntervalMs + 2));
    Application->ProcessMessagesThrottled();
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace vcl
