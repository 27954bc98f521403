// The adapter of a stand-alone scroll-bar control on the class library's
// TScrollBar: its face from the skin, the system's own tracking driven by
// the real mouse (from a second thread: the system holds the press in a
// loop of its own), the thumb of a page 0, the square bar, the redraw
// switch that survives a new position and that a press undoes, the face
// drawn once the parents are ready, and the tab stop given back.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlSBWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/ScrollBar.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

class SBWnd : public AdaptersFixture {
protected:
    SBWnd() {
        Manager.reset();
        Manager = ScrollSkinManager();
        SetCursorPos(5, 5);
        Bar = Form.Add(vcl::Create<vcl::TScrollBar>(Form.Form), 20, 40);
        Bar->SetBounds(20, 40, 240, 18);
        Bar->SetParams(10, 10, 50);
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpScrollBar, Bar->Handle(), ParamsFor(Bar), Manager.get());
        Sb = dynamic_cast<TvlSBWnd *>(Adapter.get());
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
        RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    ~SBWnd() override { SetCursorPos(5, 5); }

    uitest::TImage32 Shot() {
        PumpFor(30ms);
        return uitest::CaptureWindow(Bar->Handle());
    }
    POINT Screen(int X, int Y) const {
        POINT p{X, Y};
        ClientToScreen(Bar->Handle(), &p);
        return p;
    }
    // A press at From, moves to To, a release; the mouse is worked from a
    // second thread while this one runs the system's loop.
    void Drag(POINT From, POINT To) {
        SetCursorPos(From.x, From.y);
        PumpFor(30ms);
        std::atomic<bool> done{false};
        std::thread mouse([&] {
            MouseButton(MOUSEEVENTF_LEFTDOWN);
            std::this_thread::sleep_for(100ms);
            for (int i = 1; i <= 10; ++i) {
                SetCursorPos(From.x + (To.x - From.x) * i / 10, From.y + (To.y - From.y) * i / 10);
                std::this_thread::sleep_for(30ms);
            }
            MouseButton(MOUSEEVENTF_LEFTUP);
            std::this_thread::sleep_for(50ms);
            done = true;
        });
        uitest::PumpUntil([&] { return done.load(); }, 5s);
        mouse.join();
        PumpFor(50ms);
    }

    // A click well inside the arrows' repeat delay.
    void Click(POINT At) {
        SetCursorPos(At.x, At.y);
        PumpFor(30ms);
        std::atomic<bool> done{false};
        std::thread mouse([&] {
            MouseButton(MOUSEEVENTF_LEFTDOWN);
            std::this_thread::sleep_for(30ms);
            MouseButton(MOUSEEVENTF_LEFTUP);
            std::this_thread::sleep_for(50ms);
            done = true;
        });
        uitest::PumpUntil([&] { return done.load(); }, 5s);
        mouse.join();
        PumpFor(50ms);
    }

    TestForm Form;
    vcl::TScrollBar *Bar;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlSBWnd *Sb = nullptr;
};

TEST_F(SBWnd, FactoryGivesTheScrollBarItsAdapterAndTheFaceIsTheSkins) {
    ASSERT_NE(Sb, nullptr);
    EXPECT_EQ(Sb->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_EQ(Sb->Min, 10);
    EXPECT_EQ(Sb->Max, 50);
    const uitest::TImage32 s = Shot();
    EXPECT_TRUE(ShowsSkinnedBar(s, {0, 0, s.Width, s.Height}));
    const TvlSBWnd::TLayout l = Sb->Layout();
    EXPECT_EQ(ColorAt(s, 0, 0), ArrowFace);
    EXPECT_EQ(ColorAt(s, s.Width - 1, 0), ArrowFace);
    EXPECT_EQ(l.Thumb.Left, l.Arrow);  // at the minimum
    EXPECT_EQ(ColorAt(s, l.Thumb.Left + 2, 2), Thumb);
    EXPECT_EQ(ColorAt(s, l.Thumb.Right + 4, 2), TrackAfter);
}

TEST_F(SBWnd, PageZeroGivesA16PixelThumbAndAFullPageCentresIt) {
    const TvlSBWnd::TLayout l = Sb->Layout();
    EXPECT_EQ(l.ThumbSize, 16);
    EXPECT_EQ(l.Thumb.Width(), 16);
    const uitest::TImage32 s = Shot();
    int run = 0;
    for (int x = 0; x < s.Width; ++x) run += ColorAt(s, x, 4) == Thumb;
    EXPECT_EQ(run, 16);
    Bar->SetPageSize(41);
    EXPECT_EQ(Sb->Layout().Centre, 120);
}

TEST_F(SBWnd, DraggingTheThumbReachesMinimumAndMaximum) {
    const TvlSBWnd::TLayout l = Sb->Layout();
    const int y = 9;
    Drag(Screen(l.Thumb.Left + 8, y), Screen(239, y));  // the system snaps back further out
    EXPECT_EQ(Bar->Position(), 50);
    EXPECT_EQ(Sb->ThumbState == 2, false);
    uitest::TImage32 s = Shot();
    EXPECT_TRUE(ShowsSkinnedBar(s, {0, 0, s.Width, s.Height}));
    EXPECT_EQ(Sb->Layout().Thumb.Right, s.Width - l.Arrow);
    const TvlSBWnd::TLayout end = Sb->Layout();
    Drag(Screen(end.Thumb.Left + 8, y), Screen(0, y));
    EXPECT_EQ(Bar->Position(), 10);
    s = Shot();
    EXPECT_TRUE(ShowsSkinnedBar(s, {0, 0, s.Width, s.Height}));
}

TEST_F(SBWnd, ArrowClickStepsOnceAndTheFaceStaysSkinned) {
    const TvlSBWnd::TLayout l = Sb->Layout();
    Click(Screen(l.SecondArrow.Left + 4, 9));
    EXPECT_EQ(Bar->Position(), 11);
    const uitest::TImage32 s = Shot();
    EXPECT_TRUE(ShowsSkinnedBar(s, {0, 0, s.Width, s.Height}));
    EXPECT_EQ(Sb->PendingCode, SB_ENDSCROLL);
}

TEST_F(SBWnd, SquareBarIsOneColour) {
    Bar->SetBounds(20, 40, 30, 30);
    RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const uitest::TImage32 s = Shot();
    EXPECT_EQ(CountColor(s, TrackBefore), s.Width * s.Height);
}

TEST_F(SBWnd, RedrawSwitchedOffBeforeANewPositionStaysOff) {
    const HWND h = Bar->Handle();
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    EXPECT_EQ(Sb->RedrawOffCount, 1);
    Bar->SetPosition(30);
    EXPECT_EQ(Sb->Pos, 30);
    EXPECT_EQ(Sb->Position, 30);
    EXPECT_EQ(Sb->RedrawOffCount, 1);
    EXPECT_EQ(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE, 0);  // the switch is still off
    SendMessageW(h, WM_SETREDRAW, TRUE, 0);
    EXPECT_EQ(Sb->RedrawOffCount, 0);
    EXPECT_NE(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE, 0);
}

// A press while the application holds the control from drawing: the
// control is shown again and its step is taken. The release is
// queued first, for the system's own loop that tracks the press.
TEST_F(SBWnd, APressUndoesTheRedrawSwitchAndShowsTheControl) {
    const HWND h = Bar->Handle();
    SendMessageW(h, WM_SETREDRAW, FALSE, 0);
    ASSERT_EQ(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE, 0);
    const TvlSBWnd::TLayout l = Sb->Layout();
    const LPARAM at = MAKELPARAM(l.SecondArrow.Left + 4, 9);
    PostMessageW(h, WM_LBUTTONUP, 0, at);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PumpFor(30ms);
    EXPECT_EQ(Sb->RedrawOffCount, 0);
    EXPECT_NE(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(Bar->Position(), 11);
}

// Once its parents are ready, a control held from painting paints its face
// with an erase and without its frame.
TEST_F(SBWnd, TheParentsUpdateDoneDrawsTheFaceWithAnErase) {
    struct Seen {
        int Erases = 0, Frames = 0;
        vcl::TWndMethod Next;
        void Call(vcl::TMessage &M) {
            Erases += M.Msg == WM_ERASEBKGND;
            Frames += M.Msg == WM_NCPAINT;
            Next(M);
        }
    } seen;
    seen.Next = Bar->WindowProc;
    Bar->WindowProc = vcl::TWndMethod::Bind<&Seen::Call>(&seen);
    Sb->SkinData->PaintLocked = true;
    SendSkinCommand(Bar->Handle(), SC_PARENT_UPDATE_DONE, 0);
    Bar->WindowProc = seen.Next;
    EXPECT_FALSE(Sb->SkinData->PaintLocked);
    EXPECT_GT(seen.Erases, 0);
    EXPECT_EQ(seen.Frames, 0);
}

TEST_F(SBWnd, TheWidestRangeAnApplicationSetsIsDrawnWhole) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMin = INT_MIN;
    info.nMax = INT_MAX;
    info.nPage = 0xFFFFFFFF;
    info.nPos = 0;
    SendMessageW(Bar->Handle(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Sb->Page, INT_MAX);
    EXPECT_EQ(Sb->Pos, 0);  // the last position is 1
    const TvlSBWnd::TLayout l = Sb->Layout();
    EXPECT_EQ(l.ThumbSize, l.Track / 2);
    EXPECT_EQ(l.Thumb.Left, 240 - l.Arrow - l.ThumbSize);  // next to the end
    EXPECT_EQ(ColorAt(Shot(), l.Thumb.Left + 2, 4), Thumb);
}

TEST_F(SBWnd, AScrollInfoWithAPositionIsTheControlsToo) {
    const auto send = [&](UINT Mask, int Min, int Max, UINT Page, int Pos) {
        SCROLLINFO info{sizeof info, Mask, Min, Max, Page, Pos, 0};
        SendMessageW(Bar->Handle(), SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&info));
    };
    send(SIF_ALL, 100, 300, 20, 150);
    EXPECT_EQ(Bar->Min(), 100);
    EXPECT_EQ(Bar->Max(), 300);
    EXPECT_EQ(Bar->PageSize(), 20);
    EXPECT_EQ(Bar->Position(), 150);
    EXPECT_EQ(Sb->Pos, 150);
    // Without a position the control keeps its own.
    send(SIF_RANGE | SIF_PAGE, 0, 50, 5, 0);
    EXPECT_EQ(Bar->Min(), 100);
    EXPECT_EQ(Bar->PageSize(), 20);
    EXPECT_EQ(Sb->Max, 50);
    // The control's next step starts where the bar stands. A press held
    // past the repeat delay on a loaded machine steps more than once: each
    // step is one further on.
    send(SIF_ALL, 100, 300, 20, 150);
    struct Steps {
        int N = 0;
        void Count(vcl::TObject *) { ++N; }
    } steps;
    Bar->OnChange = vcl::TNotifyEvent::Bind<&Steps::Count>(&steps);
    Click(Screen(Sb->Layout().SecondArrow.Left + 4, 9));
    Bar->OnChange = {};
    ASSERT_GE(steps.N, 1);
    EXPECT_EQ(Bar->Position(), 150 + steps.N);
}

TEST_F(SBWnd, TabStopComesBackWhenTheAdapterGoes) {
    EXPECT_FALSE(Bar->TabStop());
    Adapter.reset();
    EXPECT_TRUE(Bar->TabStop());
}

TEST_F(SBWnd, CreateDestroyKeepsHandleCountsFlat) {
    Adapter.reset();
    ExpectFlatHandleCounts([&] {
        auto *bar = Form.Add(vcl::Create<vcl::TScrollBar>(Form.Form), 20, 80);
        auto adapter = AdapterFactory().CreateAdapter(tpScrollBar, bar->Handle(), ParamsFor(bar), Manager.get());
        RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        adapter.reset();
        delete bar;
    });
}

} // namespace
} // namespace skin
