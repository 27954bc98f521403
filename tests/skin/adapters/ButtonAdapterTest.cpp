// The push-button adapter on a class-library button like the installer's
// "Instaluj", made by the adapters' factory for the Button kind: every state
// read from the screen in the test skin's colours (the fades off), the
// real cursor and mouse, the click, WM_PRINT, and the button's end.
#include <gtest/gtest.h>

#include "AdaptersTestSupport.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sMessages.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct Clicks {
    int Count = 0;
    std::function<void()> Then;
    void Clicked(vcl::TObject *) {
        ++Count;
        if (Then) Then();
    }
};

bool IsFace(vcl::TColor C) { return C == NormalFace || C == HotFace || C == PressedFace; }

class ButtonAdapter : public AdaptersFixture {
protected:
    ButtonAdapter() {
        SetCursorPos(5, 5);
        Other = Form.Add(vcl::Create<vcl::TButton>(Form.Form), 24, 200);
        Other->SetCaption("Other");
        Button = Form.Add(vcl::Create<vcl::TButton>(Form.Form), 24, 20);
        Button->SetBounds(24, 20, 169, 39);
        Button->SetCaption("Instaluj");
        Button->OnClick = vcl::TNotifyEvent::Bind<&Clicks::Clicked>(&Clicked);
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpButton, Button->Handle(), ParamsFor(Button), Manager.get());
        Btn = dynamic_cast<TvlBtnWnd *>(Adapter.get());
        // The other button holds the focus: this one starts in its normal state.
        EXPECT_TRUE(uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s));
        Other->SetFocus();
        Redraw();
    }
    ~ButtonAdapter() override { SetCursorPos(5, 5); }

    HWND Window() const { return Button->WindowHandle(); }
    void Redraw() { RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    uitest::TImage32 Shot() { return uitest::CaptureWindow(Window()); }
    // The caption's ink: what is neither a face colour nor the focus dots.
    InkBox Caption(const uitest::TImage32 &Image) { return FindInk(Image, [](vcl::TColor c) { return !IsFace(c); }); }
    POINT Centre() const {
        RECT r{};
        GetWindowRect(Window(), &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Mouse(DWORD Flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = Flags;
        SendInput(1, &input, sizeof input);
    }

    TestForm Form;
    Clicks Clicked;
    vcl::TButton *Other;
    vcl::TButton *Button;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlBtnWnd *Btn = nullptr;
};

TEST_F(ButtonAdapter, FactoryGivesTheButtonKindItsAdapterAndNoneToKindsThatHaveNone) {
    ASSERT_NE(Btn, nullptr);
    EXPECT_EQ(Btn->SkinData->SkinSection(), "BUTTON");
    EXPECT_EQ(AdapterOfWindow(Window()), Btn);
    EXPECT_EQ(reinterpret_cast<TvlWindowAdapter *>(SendSkinCommand(Window(), SC_QUERY_ADAPTER, 0)), Adapter.get());
    EXPECT_EQ(SendSkinCommand(Window(), SC_IS_HANDLED, 0), 1);
    EXPECT_TRUE(Button->ControlStyle().Contains(vcl::csOpaque));
    EXPECT_EQ(AdapterFactory().CreateAdapter(static_cast<int>(ThirdPartyKindCount), Other->Handle(), ParamsFor(Other), Manager.get()), nullptr);  // no such kind
}

TEST_F(ButtonAdapter, NormalStateShowsTheFaceAndTheCaptionCentred) {
    const uitest::TImage32 image = Shot();
    ASSERT_EQ(image.Width, 169);
    EXPECT_EQ(ColorAt(image, 1, 1), NormalFace);
    EXPECT_EQ(ColorAt(image, 167, 37), NormalFace);
    EXPECT_GT(CountColor(image, NormalText), 10);
    EXPECT_EQ(CountColor(image, HotText) + CountColor(image, PressedText), 0);
    const InkBox ink = Caption(image);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(std::abs(ink.Left - (169 - ink.Right)), 2);
    const vcl::TRect r = Btn->CaptionRect();
    EXPECT_TRUE(ink.Top >= r.Top && ink.Bottom <= r.Bottom && ink.Left >= r.Left && ink.Right <= r.Right);
}

TEST_F(ButtonAdapter, RealCursorMakesItHotAndLeavingMakesItNormal) {
    const POINT c = Centre();
    SetCursorPos(c.x, c.y);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == HotFace; }));
    EXPECT_TRUE(Btn->SkinData->MouseInside);
    EXPECT_EQ(Manager->ActiveWindow, Window());
    const uitest::TImage32 hot = Shot();
    EXPECT_GT(CountColor(hot, HotText), 10);
    EXPECT_EQ(CountColor(hot, NormalText), 0);

    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == NormalFace; }));
    EXPECT_FALSE(Btn->SkinData->MouseInside);
    EXPECT_GT(CountColor(Shot(), NormalText), 10);
}

TEST_F(ButtonAdapter, HeldMouseShowsThePressedFaceWithTheCaptionMovedAndReleaseClicksOnce) {
    Manager->ButtonsOptions()->ShowFocusRect = false;  // the dots would share the caption's colour
    Redraw();
    const InkBox normal = Caption(Shot());
    const POINT c = Centre();
    SetCursorPos(c.x, c.y);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == HotFace; }));
    Mouse(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == PressedFace; }));
    EXPECT_TRUE(IsButtonPressed(Window()));
    const uitest::TImage32 pressed = Shot();
    const InkBox moved = Caption(pressed);
    EXPECT_EQ(moved.Left, normal.Left + 1);
    EXPECT_EQ(moved.Top, normal.Top + 1);
    EXPECT_EQ(moved.Right, normal.Right + 1);
    EXPECT_EQ(moved.Bottom, normal.Bottom + 1);
    EXPECT_EQ(moved.Count, normal.Count);
    EXPECT_GT(CountColor(pressed, HotText), 10);  // pressed captions take the hot font colour
    EXPECT_EQ(Clicked.Count, 0);

    Mouse(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Clicked.Count > 0 && ScreenColor(Window(), 1, 1) == HotFace; }));
    vcl::Application->ProcessMessages();
    EXPECT_EQ(Clicked.Count, 1);
    EXPECT_TRUE(Btn->SkinData->MouseInside);  // back to hot: the cursor is still there
}

// Each channel moved toward what lies behind: c = round((c - k) * 0.4 + k).
vcl::TColor Faded(vcl::TColor C, vcl::TColor K) {
    vcl::TColor out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = C >> shift & 0xFF, k = K >> shift & 0xFF;
        out |= static_cast<vcl::TColor>(static_cast<int>(std::lround((c - k) * 0.4 + k))) << shift;
    }
    return out;
}

TEST_F(ButtonAdapter, DisabledButtonFadesTowardWhatLiesBehindAndIsNeverHot) {
    Button->SetEnabled(false);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(ScreenColor(Window(), 1, 1), Faded(NormalFace, MainColor));
    const POINT c = Centre();
    SetCursorPos(c.x, c.y);
    PumpUntil([] { return false; });  // time for any hover to show
    EXPECT_EQ(ScreenColor(Window(), 1, 1), Faded(NormalFace, MainColor));
    EXPECT_GT(CountColor(Shot(), Faded(NormalText, MainColor)), 10);

    Button->SetEnabled(true);
    vcl::Application->ProcessMessages();
    EXPECT_NE(ScreenColor(Window(), 1, 1), Faded(NormalFace, MainColor));
}

TEST_F(ButtonAdapter, FocusShowsTheHotFaceAndDotsThreePixelsInsideAShortButton) {
    Button->SetBounds(24, 20, 169, 20);  // the caption's box reaches past 3 px from the edges
    Button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 0, 0) == HotFace; }));
    const uitest::TImage32 image = Shot();
    const vcl::TRect caption = Btn->CaptionRect();
    const int left = caption.Left - 2, right = caption.Right + 2;
    ASSERT_LT(caption.Top - 1, 3);
    ASSERT_GT(caption.Bottom + 1, 17);
    // The dotted rows: every other pixel from the second, in the hot font colour.
    for (int y : {3, 16}) {
        EXPECT_EQ(ColorAt(image, left + 1, y), HotText) << y;
        EXPECT_EQ(ColorAt(image, left + 3, y), HotText) << y;
        EXPECT_EQ(ColorAt(image, left + 2, y), HotFace) << y;
    }
    // The left column: offsets 1, 3, ... from row 3.
    EXPECT_EQ(ColorAt(image, left, 4), HotText);
    EXPECT_EQ(ColorAt(image, left, 5), HotFace);
    int rightDots = 0;
    for (int y = 3; y < 17; ++y) {
        rightDots += ColorAt(image, right - 1, y) == HotText;
        EXPECT_EQ(ColorAt(image, right, y), HotFace) << y;
        EXPECT_EQ(ColorAt(image, left - 1, y), HotFace) << y;
    }
    EXPECT_GE(rightDots, 6);
    for (int x = left; x < right; ++x) {
        EXPECT_EQ(ColorAt(image, x, 2), HotFace) << x;
        EXPECT_EQ(ColorAt(image, x, 17), HotFace) << x;
    }

    Manager->ButtonsOptions()->ShowFocusRect = false;
    Redraw();
    EXPECT_EQ(ColorAt(Shot(), left + 1, 3), HotFace);
}

TEST_F(ButtonAdapter, PrintedImageEqualsTheScreen) {
    Button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == HotFace; }));
    const uitest::TImage32 screen = Shot();
    vcl::TBitmap printed;
    printed.SetPixelFormat(vcl::pf32bit);
    printed.SetSize(169, 39);
    SendMessageW(Window(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Canvas()->Handle()), PRF_CLIENT);
    const vcl::TBitmapView v = printed.View();
    int different = 0;
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 169; ++x) different += (v.At(x, y) & 0xFFFFFF) != (screen.At(x, y) & 0xFFFFFF);
    EXPECT_EQ(different, 0);
}

// The focus dots hug the text shown: "&Yes" is measured as the "Yes" it shows.
TEST_F(ButtonAdapter, PrefixedCaptionIsMeasuredAndCentredAsTheTextItShows) {
    Manager->ButtonsOptions()->ShowFocusRect = false;
    Button->SetCaption("&Yes");
    Redraw();
    const InkBox prefixed = Caption(Shot());
    const vcl::TRect prefixedRect = Btn->CaptionRect();
    Button->SetCaption("Yes");
    Redraw();
    const InkBox plain = Caption(Shot());
    const vcl::TRect plainRect = Btn->CaptionRect();
    EXPECT_EQ(Btn->WindowText, "Yes");
    EXPECT_EQ(prefixedRect, plainRect);
    EXPECT_EQ(prefixed.Left, plain.Left);
    EXPECT_EQ(prefixed.Right, plain.Right);
    EXPECT_GT(prefixed.Count, plain.Count);  // the underline under "Y"
}

TEST_F(ButtonAdapter, EmptyCaptionDrawsNoTextAndNoDots) {
    Button->SetCaption("");
    Button->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 1, 1) == HotFace; }));
    EXPECT_EQ(Btn->MaxTextWidth(), 0);
    EXPECT_TRUE(Caption(Shot()).Empty());
}

TEST_F(ButtonAdapter, TextChangeReachesTheButtonOnceAndTheAdapterKeepsIt) {
    Adapter.reset();
    MessageTap tap(Button, {WM_SETTEXT, WM_UPDATEUISTATE});  // under the adapter: what the button gets
    Adapter = AdapterFactory().CreateAdapter(tpButton, Window(), ParamsFor(Button), Manager.get());
    Btn = dynamic_cast<TvlBtnWnd *>(Adapter.get());
    SetWindowTextW(Window(), L"Hotovo");
    EXPECT_EQ(tap.Count(WM_SETTEXT), 1);
    EXPECT_EQ(Btn->WindowText, "Hotovo");
    SendMessageW(Window(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(tap.Count(WM_UPDATEUISTATE), 0);
    EXPECT_EQ(SendSkinCommand(Window(), SC_SET_SECTION, 0), 0);
    EXPECT_EQ(Btn->SkinData->SkinSection(), "BUTTON");
    Adapter.reset();  // before the tap goes: the tap's procedure is then its own again
}

// A dialog whose button's click ends it: the parent window and the adapter
// go while the button's own procedure still handles the release.
std::function<void()> OnParentClick;
LRESULT CALLBACK ClickParentProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_COMMAND && HIWORD(WParam) == BN_CLICKED && OnParentClick) OnParentClick();
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

TEST_F(ButtonAdapter, ClickThatEndsTheDialogAndItsAdapterIsTheLastThingTouched) {
    for (bool inside : {true, false}) {
        TestParent dialog(L"AdapterClickParent", ClickParentProc);
        const HWND parent = dialog.Window;
        const HWND button = dialog.Child(L"OK", 80, 24);
        std::unique_ptr<TvlBtnWnd> adapter = NewAdapter<TvlBtnWnd>(button, nullptr, Manager.get(), ParamsFor(nullptr));
        const vcl::TGuarded alive(adapter.get());
        int clicks = 0;
        OnParentClick = [&] {
            ++clicks;
            adapter.reset();
            DestroyWindow(parent);
        };
        if (inside) adapter->SkinData->MouseInside = true;  // released over it: the branch that enters again
        SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        OnParentClick = nullptr;
        EXPECT_EQ(clicks, 1) << inside;
        EXPECT_FALSE(alive) << inside;
        EXPECT_FALSE(IsWindow(button)) << inside;
    }
}

TEST_F(ButtonAdapter, HandleCountsStayFlatOverManyButtons) {
    ExpectFlatHandleCounts([&] {
        auto *button = Form.Add(vcl::Create<vcl::TButton>(Form.Form), 200, 20);
        button->SetCaption("Instaluj");
        auto adapter = AdapterFactory().CreateAdapter(tpButton, button->Handle(), ParamsFor(button), Manager.get());
        RedrawWindow(button->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(button->WindowHandle(), BM_SETSTATE, TRUE, 0);
        SendMessageW(button->WindowHandle(), BM_SETSTATE, FALSE, 0);
        delete button;  // the window first, then the adapter
        adapter.reset();
    });
}

} // namespace
} // namespace skin
