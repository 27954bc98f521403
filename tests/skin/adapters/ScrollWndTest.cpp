// The skinned scroll bars of a plain scrolling control (a list box of 100
// lines under TvlBaseWnd) worked with the real mouse: layout in the
// non-client area, the skin's pixels after every kind of scrolling, the
// held arrow's repeat counted in ticks, the press that ends when the
// capture goes, the left bar, foreign timers, the bars after a focus
// change inside a scroll message, a range below 0, the corner of an
// inactive bar, a memo hot only from its client and cooled by the manager,
// the bars held while the parent updates, the skin applied reaching the
// window before its children, the form provider's bars and the live
// handle counts.
#include <gtest/gtest.h>

#include <climits>

#include "ScrollBarsTestSupport.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGlyphStrips.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Panels.h"
#include "vcl/StdCtrls.h"
#include "skin/manager/sMessages.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// A window whose adapter takes scroll positions itself.
struct Taker {
    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
        if (M == SM_SKINCOMMAND && SubCommandOf(WP) == SC_SCROLL_BEGIN) return 1;
        if (M == WM_VSCROLL) {
            Seen = {WP, LP};
            return 0;
        }
        return DefWindowProcW(W, M, WP, LP);
    }
    static inline std::pair<WPARAM, LPARAM> Seen;
};

void CALLBACK CloseHeldBox(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (HWND box = FindWindowW(L"#32770", L"Held")) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

class ScrollWnd : public AdaptersFixture {
protected:
    ScrollWnd() {
        Manager.reset();  // the scroll skin's manager is the default one
        Manager = ScrollSkinManager();
        SetCursorPos(5, 5);
        Box.AddLines(100);
        Adapter = NewAdapter<TvlBaseWnd>(Box.Control, nullptr, Manager.get(), ParamsFor(nullptr, "EDIT"), true);
        uitest::ActivateAndWait(Box.Parent, 3s);
        RedrawWindow(Box.Control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        PumpFor(50ms);
    }
    ~ScrollWnd() override {
        MouseButton(MOUSEEVENTF_LEFTUP);
        SetCursorPos(5, 5);
    }

    HWND Control() const { return Box.Control; }
    int Top() const { return static_cast<int>(SendMessageW(Control(), LB_GETTOPINDEX, 0, 0)); }
    vcl::TRect Bar() const { return VertScrollBarRect(*Adapter); }
    int Button() const { return ScrollBarMetric(*Adapter->VertBar, false); }
    // The bar as it is on the screen.
    ::testing::AssertionResult BarSkinned() {
        PumpFor(30ms);
        return ShowsSkinnedBar(uitest::CaptureWindow(Control()), InWindow(Control(), Bar()));
    }
    void MoveTo(int X, int Y) {
        SetCursorPos(X, Y);
        PumpFor(30ms);
    }
    POINT SecondArrow() const { return {(Bar().Left + Bar().Right) / 2, Bar().Bottom - Button() / 2}; }
    int VisibleLines() const {
        RECT r{};
        GetClientRect(Control(), &r);
        return r.bottom / static_cast<int>(SendMessageW(Control(), LB_GETITEMHEIGHT, 0, 0));
    }

    ScrollingControl Box{L"LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY};
    std::unique_ptr<TvlBaseWnd> Adapter;
};

TEST_F(ScrollWnd, BarTakesTheNonClientEdgeAndShowsTheSkin) {
    ASSERT_TRUE(Adapter->VertBar->Shown);
    EXPECT_FALSE(Adapter->HorzBar->Shown);
    const int width = ScrollBarMetric(*Adapter->VertBar, true);
    EXPECT_EQ(width, GetSystemMetrics(SM_CXVSCROLL));
    RECT client{};
    GetClientRect(Control(), &client);
    EXPECT_EQ(client.right, 200 - 2 - width);
    EXPECT_EQ(Bar().Width(), width);
    EXPECT_EQ(Adapter->VertScrollBar().Visible, true);
    EXPECT_EQ(Adapter->VertScrollBar().Width, width);
    EXPECT_EQ(Adapter->LeftFrameWidth(), 1);
    EXPECT_EQ(reinterpret_cast<TvlWindowAdapter *>(SendSkinCommand(Control(), SC_QUERY_ADAPTER, 0)),
              static_cast<TvlWindowAdapter *>(static_cast<TvlMainWnd *>(Adapter.get())));

    const uitest::TImage32 shot = uitest::CaptureWindow(Control());
    const vcl::TRect bar = InWindow(Control(), Bar());
    EXPECT_TRUE(ShowsSkinnedBar(shot, bar));
    EXPECT_EQ(ColorAt(shot, bar.Left, bar.Top), ArrowFace);
    EXPECT_EQ(ColorAt(shot, bar.Left, bar.Bottom - 1), ArrowFace);
    EXPECT_EQ(ColorAt(shot, bar.Left + 2, bar.Top + Button() + 2), Thumb);  // the thumb at the top
    EXPECT_EQ(ColorAt(shot, bar.Left + 2, bar.Bottom - Button() - 2), TrackAfter);
    EXPECT_GT(CountColor(shot, ArrowInk), 4);  // the drawn arrows
}

TEST_F(ScrollWnd, ArrowClickScrollsOneLineAndTheBarStaysSkinned) {
    const POINT a = SecondArrow();
    ClickAt(a.x, a.y);
    EXPECT_EQ(Top(), 1);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), 1);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_ENDSCROLL), 1);
    EXPECT_TRUE(BarSkinned());
    ClickAt(a.x, Bar().Top + Button() / 2);
    EXPECT_EQ(Top(), 0);
    EXPECT_TRUE(BarSkinned());
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
}

TEST_F(ScrollWnd, HeldArrowRepeatsAfter300MsThenEvery55Ms) {
    const POINT a = SecondArrow();
    MoveTo(a.x, a.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(150ms);
    // Pressed: one step at once and the arrow painted pressed.
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), 1);
    const uitest::TImage32 held = uitest::CaptureWindow(Control());
    const vcl::TRect bar = InWindow(Control(), Bar());
    EXPECT_EQ(ColorAt(held, bar.Left, bar.Bottom - 1), ArrowPressed);
    // Held until six steps came, or 850 ms on a quiet machine: a loaded one
    // stretches the timer's intervals, and the pacing is what is checked.
    uitest::PumpUntil([&] { return Box.Log.Ticks(WM_VSCROLL, SB_LINEDOWN).size() >= 6; }, 4s);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(50ms);
    const std::vector<DWORD> ticks = Box.Log.Ticks(WM_VSCROLL, SB_LINEDOWN);
    ASSERT_GE(ticks.size(), 6u);
    EXPECT_GE(ticks[1] - ticks[0], 300u);
    EXPECT_LE(ticks[1] - ticks[0], 500u);
    std::vector<DWORD> gaps;
    for (std::size_t i = 2; i < ticks.size(); ++i) gaps.push_back(ticks[i] - ticks[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    // A late tick makes the next gap short on a loaded machine; the steps
    // are still paced by the timer, never back to back.
    EXPECT_GE(gaps.front(), 25u);
    EXPECT_LE(gaps[gaps.size() / 2], 90u);  // the median step
    EXPECT_EQ(Top(), static_cast<int>(ticks.size()));
    // Released: no more steps.
    PumpFor(200ms);
    EXPECT_EQ(Box.Log.Ticks(WM_VSCROLL, SB_LINEDOWN).size(), ticks.size());
    EXPECT_TRUE(BarSkinned());
}

TEST_F(ScrollWnd, HeldArrowMovedOffPausesWithoutReleasing) {
    const POINT a = SecondArrow();
    MoveTo(a.x, a.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(50ms);
    MoveTo(a.x - 100, a.y);
    PumpFor(500ms);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), 1);
    EXPECT_EQ(ScrollEngine().PressedPart, spSecondArrow);
    EXPECT_EQ(ScrollEngine().CurrentPart, -1);
    MoveTo(a.x, a.y);
    PumpFor(200ms);
    EXPECT_GT(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), 1);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(50ms);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
}

TEST_F(ScrollWnd, LosingTheCaptureEndsTheHeldPress) {
    const POINT a = SecondArrow();
    MoveTo(a.x, a.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(50ms);
    ASSERT_EQ(GetCapture(), Control());
    SetCapture(Box.Parent);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    const int steps = Box.Log.Count(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_ENDSCROLL), 1);
    PumpFor(500ms);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), steps);
    ReleaseCapture();
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(50ms);
    // The release belongs to no press.
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_ENDSCROLL), 1);
    EXPECT_TRUE(BarSkinned());
}

TEST_F(ScrollWnd, MessageBoxDuringAHeldArrowStopsTheRepeat) {
    const POINT a = SecondArrow();
    MoveTo(a.x, a.y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(400ms);
    const int before = Box.Log.Count(WM_VSCROLL, SB_LINEDOWN);
    // A box of this thread, closed by a timer of its own loop 500 ms later.
    static HWND owner;
    owner = Box.Parent;
    SetTimer(nullptr, 0, 500, &CloseHeldBox);
    MessageBoxW(owner, L"Stop", L"Held", MB_OK);
    const int during = Box.Log.Count(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_LE(during - before, 1);
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    PumpFor(300ms);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_LINEDOWN), during);
    MouseButton(MOUSEEVENTF_LEFTUP);
}

TEST_F(ScrollWnd, TrackClickPagesAndThumbDragReachesTheLastLine) {
    const vcl::TRect bar = Bar();
    ClickAt((bar.Left + bar.Right) / 2, bar.Bottom - Button() - 3);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_PAGEDOWN), 1);
    EXPECT_EQ(Top(), VisibleLines());
    EXPECT_TRUE(BarSkinned());

    SendMessageW(Control(), LB_SETTOPINDEX, 0, 0);
    RefreshScrollBars(*Adapter, true);
    const int x = (bar.Left + bar.Right) / 2;
    MoveTo(x, bar.Top + Button() + 3);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(50ms);
    EXPECT_TRUE(Adapter->ThumbDragging);
    for (int y = bar.Top + Button() + 10; y < bar.Bottom + 40; y += 15) MoveTo(x, y);
    // The pressed thumb is painted where the cursor took it (a loaded
    // machine may still be working through the moves).
    const auto thumbEnd = [&] {
        const uitest::TImage32 dragged = uitest::CaptureWindow(Control());
        return ColorAt(dragged, InWindow(Control(), bar).Left + 2, InWindow(Control(), bar).Bottom - Button() - 2);
    };
    uitest::PumpUntil([&] { return thumbEnd() == ThumbPressed; }, 2s);
    EXPECT_EQ(thumbEnd(), ThumbPressed);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(80ms);
    EXPECT_FALSE(Adapter->ThumbDragging);
    EXPECT_EQ(Top(), 100 - VisibleLines());
    EXPECT_GT(Box.Log.Count(WM_VSCROLL, SB_THUMBTRACK), 2);
    EXPECT_EQ(Box.Log.Count(WM_VSCROLL, SB_THUMBPOSITION), 1);
    EXPECT_TRUE(BarSkinned());
    const uitest::TImage32 end = uitest::CaptureWindow(Control());
    EXPECT_EQ(ColorAt(end, InWindow(Control(), bar).Left + 2, InWindow(Control(), bar).Bottom - Button() - 2), Thumb);
}

TEST_F(ScrollWnd, WheelScrollsAndTheBarStaysSkinned) {
    const vcl::TRect bar = Bar();
    MoveTo(bar.Left - 50, bar.Top + 50);
    MouseButton(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
    PumpFor(80ms);
    EXPECT_GT(Top(), 0);
    EXPECT_TRUE(BarSkinned());
}

// The part under the cursor shows hot and cools when the cursor leaves.
// Moved from it onto the border of another skinned window, which takes the
// tracking over, the hover ends all the same: that window's bar shows no
// hot part of the first's.
TEST_F(ScrollWnd, HoverPaintsThePartHot) {
    ScrollingControl other{L"LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY};
    SetWindowPos(other.Parent, nullptr, 520, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    other.AddLines(100);
    auto otherAdapter = NewAdapter<TvlBaseWnd>(other.Control, nullptr, Manager.get(), ParamsFor(nullptr, "EDIT"), true);
    const auto arrowShows = [](HWND W, const TvlBaseWnd &A, vcl::TColor C) {
        return PumpUntil([&] {
            RedrawWindow(W, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
            const vcl::TRect bar = InWindow(W, VertScrollBarRect(A));
            return ColorAt(uitest::CaptureWindow(W), bar.Left, bar.Bottom - 1) == C;
        });
    };
    const POINT a = SecondArrow();
    MoveTo(a.x, a.y);
    ASSERT_TRUE(arrowShows(Control(), *Adapter, ArrowHot));
    MoveTo(5, 5);
    EXPECT_TRUE(arrowShows(Control(), *Adapter, ArrowFace));
    EXPECT_EQ(ScrollEngine().HotKind, -1);

    MoveTo(a.x, a.y);
    ASSERT_TRUE(arrowShows(Control(), *Adapter, ArrowHot));
    RECT border{};
    GetWindowRect(other.Control, &border);
    MoveTo(border.left, a.y);
    PumpFor(100ms);
    EXPECT_EQ(ScrollEngine().TrackedWindow, other.Control);
    EXPECT_TRUE(arrowShows(other.Control, *otherAdapter, ArrowFace));
    EXPECT_TRUE(arrowShows(Control(), *Adapter, ArrowFace));
    EXPECT_EQ(ScrollEngine().HotKind, -1);
    otherAdapter.reset();
}

// The application's scroll handler moves the focus: the system draws its
// own bar then, and the skinned one goes over it all the same.
TEST_F(ScrollWnd, AFocusChangeInsideAScrollMessagePaintsTheBarsAgain) {
    {
        const vcl::TWindowDC dc(Control(), GetWindowDC(Control()));
        const vcl::TRect bar = InWindow(Control(), Bar());
        PatBlt(dc.Get(), bar.Left, bar.Top, bar.Width(), bar.Height(), BLACKNESS);
    }
    Adapter->InScrollMessage = true;
    SendMessageW(Control(), vcl::CM_FOCUSCHANGED, 0, 0);
    Adapter->InScrollMessage = false;
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(Control()), InWindow(Control(), Bar())));
}

TEST_F(ScrollWnd, LeftScrollBarSetAtRunTimeMovesTheBar) {
    SetWindowLongPtrW(Control(), GWL_EXSTYLE, GetWindowLongPtrW(Control(), GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    SetWindowPos(Control(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpFor(50ms);
    EXPECT_TRUE(Adapter->LeftScrollBar);
    RECT w{}, c{};
    GetWindowRect(Control(), &w);
    GetClientRect(Control(), &c);
    POINT origin{0, 0};
    ClientToScreen(Control(), &origin);
    EXPECT_EQ(Bar().Left, w.left + 1);
    EXPECT_EQ(origin.x, w.left + 1 + Bar().Width());
    EXPECT_TRUE(BarSkinned());
}

TEST_F(ScrollWnd, ForeignTimerStillReachesTheControl) {
    SetTimer(Control(), 42, 10, nullptr);
    PumpFor(100ms);
    KillTimer(Control(), 42);
    EXPECT_GT(Box.Log.Count(WM_TIMER, 42), 0);
}

TEST_F(ScrollWnd, FullPositionReachesAWindowWhoseAdapterTakesIt) {
    TestParent window(L"ScrollTaker", &Taker::Proc);
    SendScrollMessage(window.Window, WM_VSCROLL, SB_THUMBTRACK, 70000);
    EXPECT_EQ(LOWORD(Taker::Seen.first), SB_THUMBTRACK);
    EXPECT_EQ(HIWORD(Taker::Seen.first), 65535);
    EXPECT_EQ(Taker::Seen.second, 70000);
}

// A memo turns hot only while the cursor is over its client area, not over
// its bar; leaving across the bar, only the manager tells it (the class
// library's own leave comes from its message loop, which does not run here);
// while its window is being made its bars are not painted.
TEST(ScrollWndPlain, AMemoIsHotFromItsClientCoolsWhenTheManagerSeesItLeaveAndHasNoBarsWhileMade) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    SetCursorPos(5, 5);
    TestForm form;
    auto *memo = form.Add(vcl::Create<vcl::TMemo>(form.Form), 20, 20);
    memo->SetBounds(20, 20, 200, 150);
    memo->SetScrollBars(vcl::ssVertical);
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "Line\r\n";
    memo->Lines()->SetText(lines);
    form.Show();
    auto adapter = NewAdapter<TvlBaseWnd>(memo->Handle(), nullptr, manager.get(), ParamsFor(memo, "EDIT"), true);
    uitest::ActivateAndWait(form.Form->WindowHandle(), 3s);
    PumpFor(30ms);
    const vcl::TRect bar = VertScrollBarRect(*adapter);
    const auto hot = [&] { return adapter->SkinData->MouseInside && manager->ActiveWindow == memo->Handle(); };
    SetCursorPos((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2);
    PumpFor(80ms);
    EXPECT_FALSE(hot());
    const vcl::TPoint client = memo->ClientToScreen({40, 40});
    SetCursorPos(client.X, client.Y);
    EXPECT_TRUE(PumpUntil(hot));
    SetCursorPos((bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2);
    PumpFor(80ms);
    EXPECT_TRUE(hot());
    // Out across the bar: the manager's leave alone, before the memo reads
    // any message of the move, cools it.
    SetCursorPos(bar.Right + 30, (bar.Top + bar.Bottom) / 2);
    SendMessageW(memo->Handle(), SM_SKINCOMMAND, SkinCommand(SC_MOUSE_LEFT), 0);
    EXPECT_FALSE(adapter->SkinData->MouseInside);
    EXPECT_TRUE(PumpUntil([&] { return !adapter->SkinData->MouseInside; }));
    SetCursorPos(5, 5);

    // While the memo's window is being made its bars are not painted.
    const vcl::TRect inWindow = InWindow(memo->Handle(), bar);
    for (const bool creating : {true, false}) {
        vcl::TControlState state = memo->ControlState();
        memo->SetControlState(creating ? state.Include(vcl::csCreating) : state.Exclude(vcl::csCreating));
        const auto picture = NewBitmap32(memo->Width(), memo->Height());
        PaintNcScrollBars(*adapter, -1, picture->Canvas()->Handle());
        EXPECT_EQ(GetPixel(picture->Canvas()->Handle(), inWindow.Left + 2, inWindow.Bottom - 2) != 0, !creating);
    }
}

// A parent that says it is still updating while Busy.
struct UpdatingParent {
    explicit UpdatingParent(vcl::TControl *C) : Control(C), Previous(C->WindowProc) {
        C->WindowProc = vcl::TWndMethod::Bind<&UpdatingParent::Handle>(this);
    }
    ~UpdatingParent() { Control->WindowProc = Previous; }
    UpdatingParent(const UpdatingParent &) = delete;
    UpdatingParent &operator=(const UpdatingParent &) = delete;
    void Handle(vcl::TMessage &M) {
        if (Busy && M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_IS_UPDATING) {
            M.Result = 1;
            return;
        }
        Previous(M);
    }
    vcl::TControl *Control;
    vcl::TWndMethod Previous;
    bool Busy = true;
};

// Every way the bars are painted waits while the parent updates: a
// picture taken, a refresh and the frame's paint; the parent's update done
// shows them.
TEST(ScrollWndPlain, BarsWaitWhileTheParentUpdatesAndShowWhenItIsDone) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    TestForm form;
    auto *panel = form.Add(vcl::Create<vcl::TPanel>(form.Form), 10, 10);
    panel->SetBounds(10, 10, 300, 240);
    auto *memo = vcl::Create<vcl::TMemo>(form.Form);
    memo->SetParent(panel);
    memo->SetBounds(10, 10, 200, 150);
    memo->SetScrollBars(vcl::ssVertical);
    std::string lines;
    for (int i = 0; i < 40; ++i) lines += "Line\r\n";
    memo->Lines()->SetText(lines);
    form.Show();
    const HWND h = memo->Handle();
    auto adapter = NewAdapter<TvlBaseWnd>(h, nullptr, manager.get(), ParamsFor(memo, "EDIT"), true);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(30ms);
    const vcl::TRect bar = InWindow(h, VertScrollBarRect(*adapter));
    ASSERT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(h), bar));
    constexpr vcl::TColor Marker = 0x0000FF;
    const auto mark = [&] {
        const HDC dc = GetWindowDC(h);
        const HBRUSH brush = CreateSolidBrush(Marker);
        const RECT r{bar.Left, bar.Top, bar.Right, bar.Bottom};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        ReleaseDC(h, dc);
    };
    const auto marked = [&] { return ColorAt(uitest::CaptureWindow(h), bar.Left + 2, bar.Top + bar.Height() / 2) == Marker; };

    UpdatingParent parent(panel);
    const auto picture = NewBitmap32(memo->Width(), memo->Height());
    PaintNcScrollBars(*adapter, -1, picture->Canvas()->Handle());
    EXPECT_EQ(GetPixel(picture->Canvas()->Handle(), bar.Left + 2, bar.Bottom - 2), 0u);
    mark();
    RefreshScrollBars(*adapter, true);
    EXPECT_TRUE(marked());
    mark();
    SendMessageW(h, WM_NCPAINT, 1, 0);
    EXPECT_FALSE(ShowsSkinnedBar(uitest::CaptureWindow(h), bar));
    EXPECT_TRUE(adapter->SkinData->PaintLocked);

    parent.Busy = false;
    SendSkinCommand(h, SC_PARENT_UPDATE_DONE, 0);
    PumpFor(30ms);
    EXPECT_FALSE(adapter->SkinData->PaintLocked);
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(h), bar));
}

// The skin applied goes to the window's own procedure first, then to its
// children.
TEST(ScrollWndPlain, AnAppliedSkinReachesTheWindowBeforeItsChildren) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    TestForm form;
    auto *outer = form.Add(vcl::Create<vcl::TPanel>(form.Form), 10, 10);
    outer->SetBounds(10, 10, 200, 150);
    auto *inner = vcl::Create<vcl::TPanel>(form.Form);
    inner->SetParent(outer);
    form.Show();
    std::vector<std::string> log;
    Recorder own(log, "own", outer, SC_SKIN_APPLIED), child(log, "child", inner, SC_SKIN_APPLIED, true);
    auto adapter = NewAdapter<TvlBaseWnd>(outer->Handle(), nullptr, manager.get(), ParamsFor(outer, "EDIT"), false);
    SendMessageW(outer->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(manager.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"own", "child"}));
    adapter.reset();
}

TEST(ScrollWndPlain, FormProvidersOwnBarIsTheSkinnedOne) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    TestForm form;
    auto *provider = vcl::Create<TsSkinProvider>(form.Form);
    form.Show();
    const HWND window = form.Form->WindowHandle();
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) | WS_VSCROLL);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    SetScrollInfo(window, SB_VERT, &info, FALSE);
    provider->UpdateFormScrollBars();
    auto *bars = dynamic_cast<TvlScrollWnd *>(provider->FormScrollAdapter.get());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->SkinData, provider->SkinData());
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(50ms);
    EXPECT_TRUE(bars->VertScrollBar().Visible);
    EXPECT_EQ(bars->VertScrollBar().Width, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(window), InWindow(window, VertScrollBarRect(*bars))));
    // The manager's hover area finds the bars through the form's answer.
    const auto *answer = reinterpret_cast<TvlWindowAdapter *>(SendSkinCommand(window, SC_QUERY_ADAPTER, 0));
    EXPECT_EQ(dynamic_cast<const TvlScrollAdapter *>(answer), provider->FormScrollAdapter.get());
}

TEST(ScrollWndPlain, CornerSquareIsFilledAndSizesTheParentOnlyAtItsCorner) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    ScrollingControl box(L"LISTBOX", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL);
    box.AddLines(100);
    SendMessageW(box.Control, LB_SETHORIZONTALEXTENT, 1000, 0);
    RECT client{};
    GetClientRect(box.Parent, &client);
    const auto hitAtCorner = [&](TvlBaseWnd &A) {
        const vcl::TRect h = HorzScrollBarRect(A), v = VertScrollBarRect(A);
        return SendMessageW(A.Handle, WM_NCHITTEST, 0, MAKELPARAM((v.Left + v.Right) / 2, (h.Top + h.Bottom) / 2));
    };
    {
        auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
        ASSERT_TRUE(adapter->HorzBar->Shown && adapter->VertBar->Shown);
        EXPECT_NE(hitAtCorner(*adapter), HTBOTTOMRIGHT);  // inside the parent, away from its corner
    }
    SetWindowPos(box.Control, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
    auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
    RedrawWindow(box.Control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(30ms);
    EXPECT_EQ(hitAtCorner(*adapter), HTBOTTOMRIGHT);
    const vcl::TRect h = InWindow(box.Control, HorzScrollBarRect(*adapter)), v = InWindow(box.Control, VertScrollBarRect(*adapter));
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(box.Control), (v.Left + v.Right) / 2, (h.Top + h.Bottom) / 2), TrackBefore);
}

// A parent whose picture, of one colour, lies behind its children.
constexpr vcl::TColor ParentFace = 0x30C030;
struct PictureParent {
    static inline WNDPROC Saved = nullptr;
    static inline vcl::TBitmap *Picture = nullptr;
    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
        if (M == SM_SKINCOMMAND && SubCommandOf(WP) == SC_GET_BG_INFO && Picture) {
            auto *query = reinterpret_cast<TvlBgQuery *>(LP);
            query->Kind = bqImage;
            query->Image = Picture;
            query->X = query->Y = 0;
            return 1;
        }
        return CallWindowProcW(Saved, W, M, WP, LP);
    }
};

TEST(ScrollWndPlain, BarsAndTheirCornerLieOnTheParentsPicture) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    ScrollingControl box(L"LISTBOX", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL);
    box.AddLines(100);
    SendMessageW(box.Control, LB_SETHORIZONTALEXTENT, 1000, 0);
    const auto picture = NewBitmap32(400, 400);
    picture->Canvas()->Brush()->SetColor(ParentFace);
    picture->Canvas()->FillRect({0, 0, 400, 400});
    PictureParent::Picture = picture.get();
    PictureParent::Saved = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PictureParent::Proc)));
    auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
    const auto tracks = [&](int Transparency) {
        for (const char *name : {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"})
            manager->Sections[static_cast<std::size_t>(manager->FindSectionIndex(name))].Props[0].Transparency =
                Transparency;
    };
    const auto shot = [&] {
        ++adapter->PictureGeneration;
        RedrawWindow(box.Control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        PumpFor(30ms);
        return uitest::CaptureWindow(box.Control);
    };
    const vcl::TRect h = InWindow(box.Control, HorzScrollBarRect(*adapter));
    const vcl::TRect v = InWindow(box.Control, VertScrollBarRect(*adapter));
    const int button = ScrollBarMetric(*adapter->VertBar, false);
    const vcl::TPoint corner{(v.Left + v.Right) / 2, (h.Top + h.Bottom) / 2};
    const vcl::TPoint trackAfter{v.Left + 2, v.Top + (h.Top - v.Top) - button - 2};
    // Wholly transparent tracks: the parent's picture shows through, in the corner too.
    tracks(100);
    uitest::TImage32 seen = shot();
    EXPECT_EQ(ColorAt(seen, trackAfter.X, trackAfter.Y), ParentFace);
    EXPECT_EQ(ColorAt(seen, corner.X, corner.Y), ParentFace);
    // Opaque tracks with the horizontal bar inactive: the bar fades into
    // the picture, the corner toward the track's hot colour.
    tracks(0);
    constexpr vcl::TColor TrackHot = 0x2040F0;
    manager->Sections[static_cast<std::size_t>(manager->FindSectionIndex("SCROLLBAR1H"))].Props[1].Color = TrackHot;
    SendMessageW(box.Control, LB_SETHORIZONTALEXTENT, 0, 0);
    seen = shot();
    EXPECT_NE(ColorAt(seen, h.Left + button + 2, h.Top + 2), TrackBefore);
    EXPECT_EQ(ColorAt(seen, corner.X, corner.Y), MixColors(TrackBefore, TrackHot, 0.4));
    PictureParent::Picture = nullptr;
}

// Without a page the last position is the maximum; a position below 0 is
// sent as the system's bar sends it, in the high word's 16 bits.
TEST(ScrollWndPlain, ThumbDraggedOverABarReachesBothEndsOfItsRange) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    for (const auto &[min, max] : {std::pair{10, 109}, std::pair{-50, 50}}) {
        SCOPED_TRACE(min);
        ScrollingControl box(L"STATIC", WS_VSCROLL);
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, min, max, 0, min, 0};
        SetScrollInfo(box.Control, SB_VERT, &info, TRUE);
        auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
        uitest::ActivateAndWait(box.Parent, 3s);
        PumpFor(30ms);
        const vcl::TRect bar = VertScrollBarRect(*adapter);
        const int x = (bar.Left + bar.Right) / 2, button = ScrollBarMetric(*adapter->VertBar, false);
        const auto lastSent = [&](int Code) {
            int last = INT_MIN;
            for (const auto &e : box.Log.Entries)
                if (e.Msg == WM_VSCROLL && LOWORD(e.WParam) == Code) last = static_cast<short>(HIWORD(e.WParam));
            return last;
        };
        SetCursorPos(x, bar.Top + button + 4);
        PumpFor(30ms);
        MouseButton(MOUSEEVENTF_LEFTDOWN);
        PumpFor(30ms);
        ASSERT_TRUE(adapter->ThumbDragging);
        for (int y = bar.Top + button + 20; y < bar.Bottom + 40; y += 12) {
            SetCursorPos(x, y);
            PumpFor(20ms);
        }
        EXPECT_EQ(lastSent(SB_THUMBTRACK), max);
        for (int y = bar.Bottom; y > bar.Top - 40; y -= 12) {
            SetCursorPos(x, y);
            PumpFor(20ms);
        }
        EXPECT_EQ(lastSent(SB_THUMBTRACK), min);
        MouseButton(MOUSEEVENTF_LEFTUP);
        PumpFor(50ms);
        EXPECT_FALSE(adapter->ThumbDragging);
        EXPECT_EQ(lastSent(SB_THUMBPOSITION), min);
    }
}

// An arrow whose section asks for it takes its mask's length less 17 px
// from the track, or gives as much back when the mask is shorter.
TEST(ScrollWndPlain, ArrowFaceFollowsItsMasksLengthLess17Pixels) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    constexpr vcl::TColor Behind = 0x0000FF;
    const int section = manager->FindSectionIndex("SCROLLBTNTOP");
    ASSERT_GE(section, 0);
    manager->Sections[static_cast<std::size_t>(section)].ReservedBoolean = true;
    for (const int length : {12, 17, 25}) {
        TsMaskData mask;  // no manager of its own: measured, not drawn
        mask.R = {0, 0, 17, length};
        mask.ImageCount = 1;
        manager->Masks.push_back(mask);
        TvlElementEntry arrow;
        arrow.SectionIndex = section;
        arrow.BorderMask = static_cast<int>(manager->Masks.size()) - 1;
        const auto bmp = NewBitmap32(17, 40);
        bmp->Canvas()->Brush()->SetColor(Behind);
        bmp->Canvas()->FillRect({0, 0, 17, 40});
        TvlBgInfo bg;
        InitBgInfo(bmp.get(), 0, 0, bg);
        PaintScrollArrow(*bmp, bg, {0, 0, 17, 17}, 0, arrow, adUp, *manager);
        const HDC dc = bmp->Canvas()->Handle();
        EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, 1, length - 1)), ArrowFace) << length;
        EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, 1, length)), Behind) << length;
        manager->Masks.pop_back();
    }
}

TEST(ScrollWndPlain, WindowWithoutBarsKeepsItsClientArea) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    ScrollingControl box(L"LISTBOX", WS_BORDER | LBS_NOINTEGRALHEIGHT);
    auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
    RECT c{};
    GetClientRect(box.Control, &c);
    EXPECT_EQ(c.right, 198);
    EXPECT_EQ(c.bottom, 198);
    EXPECT_FALSE(adapter->VertBar->Shown);
    EXPECT_FALSE(adapter->HorzBar->Shown);
}

// The application's procedure under the adapter frees it as the frame is
// calculated again (the adapter takes the bars out of the style for the
// window's own calculation): the window still gets its client area.
std::unique_ptr<TvlBaseWnd> FreedOnStyleChange;
WNDPROC BelowFreeing = nullptr;
LRESULT CALLBACK FreeOnStyleChange(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    if (M == WM_STYLECHANGING) FreedOnStyleChange.reset();
    return CallWindowProcW(BelowFreeing, W, M, WP, LP);
}

TEST(ScrollWndPlain, AnAdapterFreedAsTheFrameIsCalculatedLeavesTheWindowItsClientArea) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    ScrollingControl box(L"LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT);
    box.AddLines(50);
    BelowFreeing = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box.Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FreeOnStyleChange)));
    FreedOnStyleChange = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
    const UINT changed = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    SetWindowPos(box.Control, nullptr, 0, 0, 0, 0, changed);
    ASSERT_FALSE(FreedOnStyleChange);
    RECT left{};
    GetClientRect(box.Control, &left);
    // The window's own calculation, with no adapter.
    SetWindowPos(box.Control, nullptr, 0, 0, 0, 0, changed);
    RECT own{};
    GetClientRect(box.Control, &own);
    EXPECT_EQ(left.right, own.right);
    EXPECT_EQ(left.bottom, own.bottom);
    SetWindowLongPtrW(box.Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BelowFreeing));
}

TEST(ScrollWndPlain, CreateDestroyAndPaintKeepHandleCountsFlat) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    const auto cycle = [&] {
        ScrollingControl box(L"LISTBOX", WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT);
        box.AddLines(50);
        auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
        RedrawWindow(box.Control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);

    ScrollingControl box(L"LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT);
    box.AddLines(50);
    auto adapter = NewAdapter<TvlBaseWnd>(box.Control, nullptr, manager.get(), ParamsFor(nullptr, "EDIT"), true);
    PaintNcScrollBars(*adapter, -1, nullptr);
    const vcl::THandleCounts painted = vcl::LiveHandles();
    for (int i = 0; i < 10000; ++i) PaintNcScrollBars(*adapter, -1, nullptr);
    EXPECT_EQ(vcl::LiveHandles(), painted);
}

} // namespace
} // namespace skin
