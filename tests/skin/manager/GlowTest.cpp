// Glows around hovered controls: the window (place, z-order above the
// form, clicks falling through), ids (not given again after a clear), the
// fade counted in timer ticks, the clear and the handles. The layered-window
// calls are watched through their override (Xvfb shows no blending) and
// still reach the system.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SkinnedTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sModuleState.h"
#include "skin/manager/vlGlow.h"
#include "skin/manager/vlStateAnimation.h"
#include "skin/manager/vlThdTimer.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// BUTTON glows from an image with margins 4 (GLOWMARGIN 1: the window lies
// 3 pixels around the control); CHILD inherits it; BARE has no image.
const char *const GlowOptions = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\n"
                                "[BUTTON]\r\nGLOW=200\r\nGLOWMARGIN=1\r\n"
                                "GLOW0=^0020,0020,0032,0032,0004,0004,0004,0004,1,0,0,0\r\n"
                                "[CHILD]\r\nPARENTCLASS=BUTTON\r\n[BARE]\r\nGLOW=200\r\n";

std::vector<std::pair<HWND, int>> Shown;  // window, constant alpha of each layered update

BOOL WINAPI RecordUpdate(HWND W, HDC Screen, POINT *Dst, SIZE *Size, HDC Src, POINT *SrcPt, COLORREF Key,
                         BLENDFUNCTION *Blend, DWORD Flags) {
    RECT r{};
    GetWindowRect(W, &r);
    const bool whole = !Dst && Size->cx == r.right - r.left && Size->cy == r.bottom - r.top && Key == 0 &&
                       Flags == ULW_ALPHA && Blend->AlphaFormat == AC_SRC_ALPHA;
    Shown.emplace_back(W, whole ? Blend->SourceConstantAlpha : -1);
    return BoundLayeredWindowFunctions().UpdateLayeredWindow(W, Screen, Dst, Size, Src, SrcPt, Key, Blend, Flags);
}

std::vector<int> AlphasOf(HWND Window) {
    std::vector<int> alphas;
    for (const auto &[w, a] : Shown)
        if (w == Window) alphas.push_back(a);
    return alphas;
}

bool PumpUntil(const std::function<bool()> &Done) {
    return uitest::PumpUntil(
        [&] {
            vcl::Application->UpdateMouseControl();
            return Done();
        },
        3s);
}

class Glow : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    Glow() {
        SetCursorPos(5, 5);  // over no form: nothing is hovered unless a test says so
        TestSkin skin;
        skin.Options = GlowOptions;
        AddStoredSkin(*Manager, "Glowing", skin.Packed());
        Manager->SetSkinName("Glowing");
        Button = Form.Add(vcl::Create<TSkinned<vcl::TButton>>(Form.Form), 40, 40)->Skin("BUTTON");
        Form.Show();
        Shown.clear();
    }
    ~Glow() override { ClearGlows(true); }
    // A glow around the button, as hovering shows it.
    int Show(const std::string &Section = "BUTTON", std::uint8_t Alpha = 200) {
        const vcl::TPoint p = Button->ClientToScreen({0, 0});
        return ShowGlow({p.X, p.Y, p.X + 120, p.Y + 40}, Section, "GLOW", Button->Data, Form.Form->WindowHandle(),
                        Alpha, 1);
    }

    ManagerPtr Manager = NewManager();
    TLayeredWindowFunctionsOverride Watch{{RecordUpdate, BoundLayeredWindowFunctions().SetLayeredWindowAttributes}};
    TestForm Form;
    TSkinned<vcl::TButton> *Button;
};

struct Clicks {
    int Count = 0;
    void Clicked(vcl::TObject *) { ++Count; }
};

TEST_F(Glow, HoverShowsAWindowAroundTheControlThatClicksFallThrough) {
    Clicks clicks;
    Button->OnClick = vcl::TNotifyEvent::Bind<&Clicks::Clicked>(&clicks);
    ASSERT_TRUE(uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s));
    RECT b{}, g{};
    GetWindowRect(Button->WindowHandle(), &b);
    // The control's image is up to date, as a painted control's is: its
    // state changes fade.
    Button->Data.PrepareCache();
    Button->Data.BGChanged = false;
    SetCursorPos(b.left + 60, b.top + 20);
    ASSERT_TRUE(PumpUntil([&] { return Button->Data.GlowID >= 0; }));
    const TvlGlowEffect *glow = GlowOf(Button->Data.GlowID);
    const HWND glowWnd = glow->Window();
    GetWindowRect(glowWnd, &g);
    EXPECT_EQ(std::vector<LONG>({g.left, g.top, g.right, g.bottom}),
              std::vector<LONG>({b.left - 3, b.top - 3, b.right + 3, b.bottom + 3}));
    EXPECT_EQ(GetWindowLongPtrW(glowWnd, GWL_EXSTYLE) & (GlowWindowExStyle | WS_EX_TOPMOST | WS_EX_APPWINDOW),
              static_cast<LONG_PTR>(GlowWindowExStyle));
    EXPECT_TRUE(IsWindowVisible(glowWnd) && glow->GlowForm()->Tag() == GlowWindowTag);
    EXPECT_EQ(GetWindow(glowWnd, GW_HWNDNEXT), Form.Form->WindowHandle());
    // It comes in from nothing on the control's timer, in ten steps.
    const std::vector<int> fadeIn{0, 26, 51, 76, 102, 128, 153, 178, 204, 230, 255};
    EXPECT_TRUE(PumpUntil([&] { return AlphasOf(glowWnd).size() >= fadeIn.size(); }));
    EXPECT_EQ(AlphasOf(glowWnd), fadeIn);
    // The image's red along the edges; the middle, which it leaves undrawn, transparent.
    const vcl::TBitmapView pixels = glow->GlowImage()->View();
    EXPECT_EQ(pixels.Row32(pixels.Height - 1)[pixels.Width / 2], 0xFFC00000u);
    EXPECT_EQ(pixels.Row32(pixels.Height / 2)[pixels.Width / 2], 0u);

    EXPECT_EQ(WindowFromPoint({b.left + 60, b.top + 20}), Button->WindowHandle());
    uitest::ClickWithMouse(Button->WindowHandle());
    EXPECT_TRUE(PumpUntil([&] { return clicks.Count == 1; }));

    // Leaving fades it out on the control's timer; then the window goes.
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return Button->Data.GlowID < 0; }));
    EXPECT_EQ(AlphasOf(glowWnd).size(), fadeIn.size() + 20);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(glowWnd); }));

    // Without animation it is shown whole, once, at the section's strength.
    Manager->Effects()->AllowAnimation = false;
    SetCursorPos(b.left + 60, b.top + 20);
    ASSERT_TRUE(PumpUntil([&] { return Button->Data.GlowID >= 0; }));
    const HWND still = GlowOf(Button->Data.GlowID)->Window();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(AlphasOf(still), std::vector<int>{200});
    SetCursorPos(5, 5);
    EXPECT_TRUE(PumpUntil([&] { return Button->Data.GlowID < 0; }));
}

TEST_F(Glow, WindowGoesDirectlyAboveTheFormAlsoWithNothingAboveIt) {
    const HWND form = Form.Form->WindowHandle();
    ASSERT_TRUE(uitest::ActivateAndWait(form, 3s));
    int id = Show();
    EXPECT_EQ(GetWindow(GlowOf(id)->Window(), GW_HWNDNEXT), form);
    HideGlow(id, false);
    TestForm other;
    other.Show();
    ASSERT_EQ(GetWindow(other.Form->WindowHandle(), GW_HWNDNEXT), form);
    // Placed by a child window: its form's place counts.
    id = ShowGlow({0, 0, 20, 20}, "BUTTON", "GLOW", Button->Data, Button->WindowHandle(), 255, 0);
    EXPECT_EQ(GetWindow(GlowOf(id)->Window(), GW_HWNDNEXT), form);
    EXPECT_EQ(GetWindow(GlowOf(id)->Window(), GW_HWNDPREV), other.Form->WindowHandle());
}

TEST_F(Glow, IdsAreNotGivenAgainAndWhatCannotGlowGetsNone) {
    EXPECT_EQ(Show("BARE"), -1);
    {
        TLayeredWindowFunctionsOverride none({nullptr, nullptr});
        EXPECT_EQ(Show(), -1);
    }
    SetCapture(Form.Form->WindowHandle());
    EXPECT_EQ(Show(), -1);
    ReleaseCapture();
    EXPECT_TRUE(ModuleState().Glows.empty() && Shown.empty());

    int first = Show("CHILD");
    const int firstId = first;
    HideGlow(first, false);
    EXPECT_EQ(first, -1);
    const int second = Show();
    EXPECT_EQ(second, firstId + 1);
    int gone = firstId;
    HideGlow(gone, false);
    SetGlowAlpha(gone, 10);
    SetGlowAlpha(second, 90);
    EXPECT_EQ(AlphasOf(GlowOf(second)->Window()), (std::vector<int>{200, 90}));
    EXPECT_EQ(Shown.size(), 3u);
}

bool OtherFade(TsCommonData *, std::int32_t) { return true; }

TEST_F(Glow, FadeOutTakesTwentyCountedTicksFromTheShownOpacity) {
    TsCommonData &data = Button->Data;
    data.GlowID = Show();
    const HWND glowWnd = GlowOf(data.GlowID)->Window();
    HideGlow(data.GlowID, true);  // the first step at once; no message is pumped, so only these ticks count
    TvlThreadedTimer *timer = AnimTimerOf(data);
    for (int tick = 1; tick <= 5; ++tick) timer->AnimTimerTick();
    HideGlow(data.GlowID, true);  // already fading out: the fade goes on
    for (int tick = 6; tick <= 19; ++tick) timer->AnimTimerTick();
    std::vector<int> expected{200};
    for (int a = 190; a >= 0; a -= 10) expected.push_back(a);
    EXPECT_EQ(AlphasOf(glowWnd), expected);
    ASSERT_GE(data.GlowID, 0);
    timer->AnimTimerTick();
    EXPECT_EQ(data.GlowID, -1);
    EXPECT_EQ(timer->Mode, fmIdle);

    // The next fade starts from the shown opacity again, not where the last ended.
    data.GlowID = Show("BUTTON", 100);
    HideGlow(data.GlowID, true);
    EXPECT_EQ(AlphasOf(GlowOf(data.GlowID)->Window()), (std::vector<int>{100, 95}));
    // A value out of range is clamped inside the tick, not raised.
    timer->Mode = fmFadeUp;
    timer->Value = 1e12;
    EXPECT_TRUE(GlowFadeStep(&data, 0));
    EXPECT_EQ(AlphasOf(GlowOf(data.GlowID)->Window()).back(), 255);
    // A timer running another fade is left to it: the glow goes at once.
    StartAnimation(*timer, &data, 0, OtherFade, fmFadeUp, false);
    HideGlow(data.GlowID, true);
    EXPECT_EQ(data.GlowID, -1);
}

TEST_F(Glow, ClearFreesEveryGlowAndHandleCountsStayFlatOverAThousand) {
    auto *other = Form.Add(vcl::Create<TSkinned<vcl::TButton>>(Form.Form), 40, 140)->Skin("BUTTON");
    Button->Data.GlowID = Show();
    other->Data.GlowID = ShowGlow({0, 0, 9, 9}, "BUTTON", "GLOW", other->Data, nullptr, 255, 0);
    const HWND a = GlowOf(Button->Data.GlowID)->Window(), b = GlowOf(other->Data.GlowID)->Window();
    {
        TvlStateOverride freeing(ModuleState().ClearingGlows, true);
        ClearGlows(true);  // asked while a glow window is being freed: nothing
        EXPECT_EQ(ModuleState().Glows.size(), 2u);
    }
    ClearGlows(true);
    EXPECT_FALSE(IsWindow(a) || IsWindow(b));
    EXPECT_EQ(Button->Data.GlowID + other->Data.GlowID, -2);
    EXPECT_TRUE(ModuleState().Glows.empty());

    vcl::Application->ProcessMessages();  // the new button's first paint
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) {
        int id = Show();
        HideGlow(id, false);
        vcl::Application->ProcessMessages();
    }
    EXPECT_TRUE(PumpUntil([&] { return vcl::LiveHandles() == before; }));
    EXPECT_EQ(vcl::LiveHandles(), before);

    // An id kept over a clear (as a holder the clear does not reach keeps
    // it) hides none of the glows shown after.
    ClearGlows(true);
    int kept = Show();
    ClearGlows(true);
    const int next = Show();
    HideGlow(kept, false);
    EXPECT_NE(GlowOf(next), nullptr);
}

} // namespace
} // namespace skin
