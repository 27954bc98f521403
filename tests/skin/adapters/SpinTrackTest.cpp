// The spin adapter on a class-library up-down (made by the factory for the
// UpDownBtn kind) and the track-bar adapter on bare track bars of a
// dialog-like window: faces by the half under the real cursor, the press,
// the position still stepping; the channel, the ticks on their sides and
// the thumb image where the control puts its thumb, turned over for ticks
// on top; a groove and a raised thumb without the skin's slider images.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "ButtonFamilyTestSupport.h"
#include "skin/adapters/vlSpinWnd.h"
#include "skin/adapters/vlTrackWnd.h"
#include "vcl/UpDown.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

class SpinAdapter : public ButtonFamilyFixture {
protected:
    SpinAdapter() {
        Spin = Form.Add(vcl::Create<vcl::TUpDown>(Form.Form), 40, 40);
        Spin->SetBounds(40, 40, 19, 41);
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpUpDown, Spin->Handle(), ParamsFor(Spin), Manager.get());
        Wnd = dynamic_cast<TvlSpinWnd *>(Adapter.get());
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    HWND Window() const { return Spin->WindowHandle(); }
    void MoveTo(int X, int Y) {
        const POINT p = ScreenPoint(Window(), X, Y);
        SetCursorPos(p.x, p.y);
    }

    TestForm Form;
    vcl::TUpDown *Spin;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlSpinWnd *Wnd = nullptr;
};

TEST_F(SpinAdapter, BothButtonsShowTheScrollButtonFaceWithAnArrowAndTheUpperTakesTheOddPixel) {
    ASSERT_NE(Wnd, nullptr);
    EXPECT_FALSE(Wnd->Horizontal());
    const auto rects = Wnd->ButtonRects();
    const int w = Spin->Width();  // the system keeps its own width
    EXPECT_EQ(rects[0], (vcl::TRect{0, 0, w, 21}));
    EXPECT_EQ(rects[1], (vcl::TRect{0, 20, w, 41}));
    const uitest::TImage32 image = uitest::CaptureWindow(Window());
    EXPECT_EQ(ColorAt(image, 1, 1), SpinFace);
    EXPECT_EQ(ColorAt(image, 1, 39), SpinFace);
    // No arrow image in the skin: a black triangle in each half (nothing
    // paints under the control, so no section gives a colour).
    int upper = 0, lower = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < w; ++x)
            if (ColorAt(image, x, y) == 0) (y < 20 ? upper : lower)++;
    EXPECT_GT(upper, 3);
    EXPECT_GT(lower, 3);
}

TEST_F(SpinAdapter, HalfUnderTheCursorIsHotPressedWhileHeldAndClicksStillStep) {
    MoveTo(9, 8);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == SpinHotFace; }));
    EXPECT_EQ(ScreenColor(Window(), 1, 39), SpinFace);
    MoveTo(9, 33);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 39) == SpinHotFace; }));
    EXPECT_EQ(ScreenColor(Window(), 1, 1), SpinFace);

    MoveTo(9, 8);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == SpinHotFace; }));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == SpinPressedFace; }));
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == SpinHotFace; }));
    EXPECT_EQ(Spin->Position(), 1);
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == SpinFace; }));
}

TEST_F(SpinAdapter, HorizontalPairSplitsLeftAndRight) {
    Adapter.reset();
    Spin->SetOrientation(vcl::udHorizontal);
    Spin->SetBounds(40, 40, 41, 19);
    Adapter = AdapterFactory().CreateAdapter(tpUpDown, Spin->Handle(), ParamsFor(Spin), Manager.get());
    Wnd = dynamic_cast<TvlSpinWnd *>(Adapter.get());
    ASSERT_TRUE(Wnd->Horizontal());
    EXPECT_EQ(Wnd->ButtonRects()[0], (vcl::TRect{0, 0, 21, 19}));
    MoveTo(33, 9);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 39, 1) == SpinHotFace; }));
    EXPECT_EQ(ScreenColor(Window(), 1, 1), SpinFace);
}

TEST_F(SpinAdapter, HandleCountsStayFlatOverManySpins) {
    ExpectFlatCountsOver1000([&] {
        auto *spin = Form.Add(vcl::Create<vcl::TUpDown>(Form.Form), 200, 20);
        auto adapter = AdapterFactory().CreateAdapter(tpUpDown, spin->Handle(), ParamsFor(spin), Manager.get());
        RedrawWindow(spin->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        delete spin;
        adapter.reset();
    });
}

// ------------------------------------------------------------- track bars

// A popup with track bars of the common controls, as a dialog holds them.
struct TrackBars {
    HWND Parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 200, 200, 480, 320, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND Add(DWORD Style, int X, int Y, int W, int H) {
        const HWND bar = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | Style, X, Y, W, H,
                                         Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        return bar;
    }
    ~TrackBars() { DestroyWindow(Parent); }
};

vcl::TRect ThumbOf(HWND Bar) {
    RECT r{};
    SendMessageW(Bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
}

// The colours of the thumb's upper and lower quarter, at its middle column.
std::pair<vcl::TColor, vcl::TColor> ThumbHalves(HWND Bar) {
    const vcl::TRect t = ThumbOf(Bar);
    const uitest::TImage32 image = uitest::CaptureWindow(Bar);
    const int x = (t.Left + t.Right) / 2;
    return {ColorAt(image, x, t.Top + t.Height() / 4), ColorAt(image, x, t.Bottom - 1 - t.Height() / 4)};
}

// The rows above and below the channel that hold tick ink.
std::pair<int, int> TickRows(HWND Bar, const vcl::TRect &Channel) {
    const uitest::TImage32 image = uitest::CaptureWindow(Bar);
    int above = 0, below = 0;
    for (int y = 0; y < image.Height; ++y) {
        bool ink = false;
        for (int x = 0; x < image.Width; ++x) ink = ink || ColorAt(image, x, y) == Tick;
        if (ink) (y < Channel.Top ? above : below)++;
    }
    return {above, below};
}

class TrackAdapter : public ButtonFamilyFixture {
protected:
    void Redraw(HWND Bar) { RedrawWindow(Bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    TrackBars Bars;
};

TEST_F(TrackAdapter, ThumbImageLiesAtTheControlsThumbAndFollowsTheKeys) {
    const HWND bar = Bars.Add(TBS_AUTOTICKS, 10, 10, 200, 40);
    auto adapter = NewAdapter<TvlTrackWnd>(bar, nullptr, Manager.get(), ParamsFor(nullptr));
    EXPECT_EQ(adapter->SkinData->SkinSection(), "TRACKBAR");
    Redraw(bar);
    EXPECT_EQ(ThumbHalves(bar), std::make_pair(ThumbTop, ThumbBottom));
    const vcl::TRect before = ThumbOf(bar);
    const uitest::TImage32 image = uitest::CaptureWindow(bar);
    EXPECT_EQ(ColorAt(image, 1, 1), TrackFace);
    EXPECT_EQ(ColorAt(image, before.Right + 20, (adapter->ChannelRect().Top + adapter->ChannelRect().Bottom) / 2),
              Channel);

    SetFocus(bar);
    SendMessageW(bar, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(bar, WM_KEYUP, VK_RIGHT, 0);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(SendMessageW(bar, TBM_GETPOS, 0, 0), 1);
    const vcl::TRect after = ThumbOf(bar);
    EXPECT_GT(after.Left, before.Left);
    EXPECT_EQ(ThumbHalves(bar), std::make_pair(ThumbTop, ThumbBottom));
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(bar), before.Left, before.Top + 2), TrackFace);
}

TEST_F(TrackAdapter, TicksStandOnTheSidesTheStyleNamesAndTicksOnTopTurnTheThumbOver) {
    const HWND both = Bars.Add(TBS_AUTOTICKS | TBS_BOTH, 10, 60, 200, 50);
    const HWND bottom = Bars.Add(TBS_AUTOTICKS, 10, 120, 200, 40);
    const HWND top = Bars.Add(TBS_AUTOTICKS | TBS_TOP, 10, 170, 200, 40);
    const HWND none = Bars.Add(TBS_NOTICKS, 10, 220, 200, 40);
    auto a1 = NewAdapter<TvlTrackWnd>(both, nullptr, Manager.get(), ParamsFor(nullptr));
    auto a2 = NewAdapter<TvlTrackWnd>(bottom, nullptr, Manager.get(), ParamsFor(nullptr));
    auto a3 = NewAdapter<TvlTrackWnd>(top, nullptr, Manager.get(), ParamsFor(nullptr));
    auto a4 = NewAdapter<TvlTrackWnd>(none, nullptr, Manager.get(), ParamsFor(nullptr));
    for (HWND bar : {both, bottom, top, none}) Redraw(bar);
    EXPECT_EQ(a1->TickPlacement(), 2);
    EXPECT_EQ(a3->TickPlacement(), 1);
    const auto [bothAbove, bothBelow] = TickRows(both, a1->ChannelRect());
    EXPECT_EQ(bothAbove, 4);  // the tick image is four rows long
    EXPECT_EQ(bothBelow, 4);
    EXPECT_EQ(TickRows(bottom, a2->ChannelRect()), std::make_pair(0, 4));
    EXPECT_EQ(TickRows(top, a3->ChannelRect()), std::make_pair(4, 0));
    EXPECT_EQ(TickRows(none, a4->ChannelRect()), std::make_pair(0, 0));
    EXPECT_EQ(ThumbHalves(top), std::make_pair(ThumbBottom, ThumbTop));
    EXPECT_EQ(ThumbHalves(bottom), std::make_pair(ThumbTop, ThumbBottom));
}

TEST_F(TrackAdapter, VerticalBarKeepsItsChannelUpright) {
    const HWND bar = Bars.Add(TBS_AUTOTICKS | TBS_VERT, 300, 10, 40, 200);
    auto adapter = NewAdapter<TvlTrackWnd>(bar, nullptr, Manager.get(), ParamsFor(nullptr));
    Redraw(bar);
    ASSERT_TRUE(adapter->Vertical());
    const vcl::TRect channel = adapter->ChannelRect();
    EXPECT_GT(channel.Height(), channel.Width());
    const uitest::TImage32 image = uitest::CaptureWindow(bar);
    const vcl::TRect thumb = ThumbOf(bar);
    EXPECT_EQ(ColorAt(image, (channel.Left + channel.Right) / 2, thumb.Bottom + 30), Channel);
}

TEST_F(TrackAdapter, WithoutSliderImagesAGrooveAndARaisedThumbStillShowTheValue) {
    Manager.reset();
    Manager = ButtonFamilyManager(true, false);
    const HWND flat = Bars.Add(TBS_AUTOTICKS | TBS_BOTH, 10, 10, 200, 40);
    const HWND upright = Bars.Add(TBS_AUTOTICKS | TBS_VERT, 300, 10, 40, 200);
    auto a1 = NewAdapter<TvlTrackWnd>(flat, nullptr, Manager.get(), ParamsFor(nullptr));
    auto a2 = NewAdapter<TvlTrackWnd>(upright, nullptr, Manager.get(), ParamsFor(nullptr));
    const vcl::TColor shadow = static_cast<vcl::TColor>(GetSysColor(COLOR_3DSHADOW));
    const vcl::TColor face = static_cast<vcl::TColor>(GetSysColor(COLOR_BTNFACE));
    const vcl::TColor dark = static_cast<vcl::TColor>(GetSysColor(COLOR_3DDKSHADOW));
    ASSERT_NE(face, TrackFace);
    for (const auto &[bar, adapter] : {std::make_pair(flat, a1.get()), std::make_pair(upright, a2.get())}) {
        Redraw(bar);
        const uitest::TImage32 image = uitest::CaptureWindow(bar);
        const vcl::TRect channel = adapter->ChannelRect(), thumb = ThumbOf(bar);
        // The groove's sunken edge, away from the thumb.
        const int along = adapter->Vertical() ? thumb.Bottom + 30 : thumb.Right + 30;
        EXPECT_EQ(adapter->Vertical() ? ColorAt(image, channel.Left, along) : ColorAt(image, along, channel.Top), shadow);
        // The thumb: a face colour inside, a dark outer edge at the bottom right.
        EXPECT_EQ(ColorAt(image, (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2), face);
        EXPECT_EQ(ColorAt(image, thumb.Right - 1, thumb.Bottom - 1), dark);
    }
    // The thumb follows the value.
    const vcl::TRect before = ThumbOf(flat);
    SendMessageW(flat, TBM_SETPOS, TRUE, 5);
    Redraw(flat);
    const vcl::TRect after = ThumbOf(flat);
    ASSERT_GT(after.Left, before.Right);
    const uitest::TImage32 moved = uitest::CaptureWindow(flat);
    EXPECT_EQ(ColorAt(moved, (after.Left + after.Right) / 2, (after.Top + after.Bottom) / 2), face);
    EXPECT_NE(ColorAt(moved, (before.Left + before.Right) / 2, (before.Top + before.Bottom) / 2), face);
}

TEST_F(TrackAdapter, HandleCountsStayFlatOverManyBars) {
    ExpectFlatCountsOver1000([&] {
        const HWND bar = Bars.Add(TBS_AUTOTICKS | TBS_TOP, 10, 10, 120, 30);
        auto adapter = NewAdapter<TvlTrackWnd>(bar, nullptr, Manager.get(), ParamsFor(nullptr));
        Redraw(bar);
        DestroyWindow(bar);
        adapter.reset();
    });
}

} // namespace
} // namespace skin
