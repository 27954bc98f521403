// The state fades of skinned controls: a control skinned as a push button's
// adapter skins one fades to its hot look when the mouse enters and back
// when it leaves. Ticks are counted, never timed (Wine's tick count moves in
// 16 ms steps): they are given by hand through the timer's event.
#include <gtest/gtest.h>

#include <limits>

#include "SkinnedTestSupport.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "skin/manager/vlStateAnimation.h"
#include "vcl/ControlCanvas.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using TValues = std::vector<int>;

constexpr std::uint32_t NormalPixel = 0xFF000000, HotPixel = 0xFFC86428;  // hot: red 200, green 100, blue 40

int Steps = 0;  // the fade steps run (the step routines are plain functions)
bool CountedStep(TsCommonData *Data, std::int32_t Step) {
    ++Steps;
    return StateAnimationStep(Data, Step);
}

struct GlowLog : TvlGlowService {
    TValues Shown, Alphas;  // the alphas shown with, and set
    int Hidden = 0;
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t Alpha,
                 int) override {
        Shown.push_back(Alpha);
        return 7;
    }
    void HideGlow(int &GlowID, bool) override { ++Hidden, GlowID = -1; }
    void SetGlowAlpha(int, std::uint8_t Alpha) override { Alphas.push_back(Alpha); }
    void ClearGlows(bool) override {}
};

// A control whose cache shows its normal or hot look in one colour and
// whose mouse enter and leave fade, as a push button's adapter does it.
template <class Base = vcl::TCustomControl> struct Fader {
    TSkinned<Base> *C;
    Fader(TestForm &Form, int Left) : C(Form.Add(vcl::Create<TSkinned<Base>>(Form.Form), Left, 10)) {
        C->Own = TvlOwnMessageHandler::Bind<&Fader::Handle>(this);
        C->Skin("GLOWING");
    }
    TsCommonData &Data() const { return C->Data; }
    TvlThreadedTimer *Timer() const { return AnimTimerOf(C->Data); }
    HWND Window() const { return C->vcl::TWinControl::Handle(); }
    // Its cache up to date.
    void Ready() { PerformSkinCommand(C, SC_BUILD_CACHE, 0); }
    bool Handle(vcl::TMessage &M) {
        if (M.Msg == WM_ERASEBKGND) return M.Result = 1, true;
        if (M.Msg == WM_PAINT) {
            vcl::TPaintDC dc(Window(), reinterpret_cast<HDC>(M.WParam));
            if (Data().BGChanged || !Data().CacheBmp()) Ready();
            BitBlt(dc.Get(), 0, 0, C->Width(), C->Height(), Data().CacheBmp()->Canvas()->Handle(), 0, 0, SRCCOPY);
            return true;
        }
        if (M.Msg != SM_SKINCOMMAND) return false;
        switch (SubCommandOf(M.WParam)) {
        case SC_BUILD_CACHE: {
            Data().PrepareCache();
            const vcl::TBitmapView v = Data().CacheBmp()->View();
            const std::uint32_t look = Data().MouseInside ? HotPixel : NormalPixel;
            for (int y = 0; y < v.Height; ++y) std::fill_n(v.Row32(y), v.Width, look);
            Data().BGChanged = false;
            return true;
        }
        case SC_MOUSE_ENTERED:
        case SC_MOUSE_LEFT: {
            const bool entered = SubCommandOf(M.WParam) == SC_MOUSE_ENTERED;
            Data().MouseInside = entered;
            AnimateStateChange(Data(), entered ? 1 : 0, CountedStep, true, false, entered);
            return true;
        }
        default: return false;
        }
    }
};

std::uint32_t WorkPixel(const TvlThreadedTimer &T) { return T.WorkImage->View().At(3, 3); }
COLORREF ScreenPixel(HWND Window) { return GetPixel(vcl::TWindowDC(Window).Get(), 3, 3); }
void Tick(TvlThreadedTimer &T, int Times) {
    for (int i = 0; i < Times; ++i) T.TimerHandler(nullptr);
}
// Ticks until the fade ends; the ticks it took.
int TickToEnd(TvlThreadedTimer &T) {
    int ticks = 0;
    while (T.Enabled() && ticks < 100) Tick(T, 1), ++ticks;
    return ticks;
}

class StateFades : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    void SetUp() override {
        SetCursorPos(0, 0);
        Steps = 0;
        TestSkin skin;
        skin.Options = SectionsOptions() + "[GLOWING]\r\nCOLOR=0x808080\r\nGLOW=120\r\nGLOWMARGIN=2\r\n";
        AddStoredSkin(*Manager, "Glowing", skin.Packed());
        Manager->SetSkinName("Glowing");
    }
    ManagerPtr Manager = NewManager();
    GlowLog Glows;
    TvlServiceRegistration<TvlGlowService> Registration{Glows};
};

// A shown form with faders at 10 and 200, their caches up to date.
struct Scene {
    TestForm Form;
    Fader<> F{Form, 10}, G{Form, 200};
    Scene() { Form.Show(), F.Ready(), G.Ready(); }
};

TEST_F(StateFades, HoveredControlFadesUpInTenStepsAndDownInTwentyWithItsGlow) {
    Scene s;
    SendSkinCommand(s.F.Window(), SC_MOUSE_ENTERED, 0);
    TvlThreadedTimer &t = *s.F.Timer();
    EXPECT_EQ(Glows.Shown, TValues{0});  // the glow comes in from nothing
    EXPECT_EQ(t.StepCount, 10);
    // The hot look mixed in by v: d = ((255 - v) * (d - s) + s * 256) >> 8.
    EXPECT_EQ(WorkPixel(t), 0xFF150A04u);  // step 0 at once, v 26
    Tick(t, 4);
    EXPECT_EQ(WorkPixel(t), 0xFF643214u);  // v 127.5 -> 128
    Tick(t, 6);
    EXPECT_EQ(WorkPixel(t), HotPixel);
    EXPECT_EQ(ScreenPixel(s.F.Window()), RGB(200, 100, 40));
    EXPECT_EQ(TickToEnd(t), 1);  // past the last step: stopped, nothing painted
    EXPECT_EQ(Steps, 11);
    EXPECT_EQ(Glows.Alphas, (TValues{26, 51, 76, 102, 128, 153, 178, 204, 230, 255}));  // ties to even

    Glows.Alphas.clear();
    SendSkinCommand(s.F.Window(), SC_MOUSE_LEFT, 0);
    EXPECT_EQ(t.StepCount, 20);
    EXPECT_EQ(WorkPixel(t), 0xFFBD5E25u);  // v 242: d = (v * (d - s) + s * 256) >> 8
    Tick(t, 9);
    EXPECT_EQ(WorkPixel(t), 0xFF643214u);
    EXPECT_EQ(TickToEnd(t), 11);
    EXPECT_EQ(Glows.Alphas.size(), 20u);  // steps 0..19; below 10 the glow went
    EXPECT_EQ(Glows.Hidden, 1);
    EXPECT_EQ(t.Mode, fmIdle);
    EXPECT_FALSE(t.WorkImage || t.StartImage || t.TargetImage);
    EXPECT_EQ(ScreenPixel(s.F.Window()), RGB(0, 0, 0));
}

TEST_F(StateFades, LeaveFadeAboveZeroAtItsLastStepKeepsSteppingUntilZero) {
    Scene s;
    SendSkinCommand(s.F.Window(), SC_MOUSE_ENTERED, 0);
    Tick(*s.F.Timer(), 4);  // value 127.5
    SendSkinCommand(s.F.Window(), SC_MOUSE_LEFT, 0);
    TvlThreadedTimer &t = *s.F.Timer();
    EXPECT_EQ(t.Step, 10);  // 10 of 20 left, by 6.375: 57.375 remain at the last
    EXPECT_EQ(TickToEnd(t), 15);
    EXPECT_EQ(ScreenPixel(s.F.Window()), RGB(0, 0, 0));
}

std::uint32_t CachePixel(const TsCommonData &Data) { return Data.CacheBmp()->View().At(3, 3); }

TEST_F(StateFades, ChangesRepaintAtOnceWhileASkinLoadsTheSessionEndsOrNoCacheIsThere) {
    Scene s;
    TsCommonData &d = s.F.Data();
    SendSkinCommand(s.F.Window(), SC_MOUSE_ENTERED, 0);
    TvlThreadedTimer &t = *s.F.Timer();
    TickToEnd(t);  // ended, its mode kept
    d.MouseInside = false;
    {
        TvlStateOverride loading(ModuleState().SkinIsLoading, true);
        AnimateStateChange(d, 0, CountedStep, true, false, true);
    }
    EXPECT_EQ(CachePixel(d), NormalPixel);  // painted again, at once
    EXPECT_EQ(Glows.Hidden, 1);             // the mouse is outside
    // The ended fade up holds no later fade up back.
    SendSkinCommand(s.F.Window(), SC_MOUSE_ENTERED, 0);
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(WorkPixel(t), HotPixel);
    TickToEnd(t);
    const int steps = Steps;
    d.MouseInside = false;
    {
        TvlStateOverride ending(ModuleState().SessionEnding, true);
        AnimateStateChange(d, 0, CountedStep, true, false, true);
    }
    EXPECT_EQ(CachePixel(d), NormalPixel);
    d.MouseInside = true;
    d.ShrinkCache();
    AnimateStateChange(d, 1, CountedStep, true, false, true);
    EXPECT_EQ(CachePixel(d), HotPixel);
    EXPECT_EQ(Glows.Shown.back(), 255);  // inside, unfaded: the glow at once
    EXPECT_EQ(Steps, steps);
}

TEST_F(StateFades, GlowFadesWithTheValueAndValuesThatRanOffAreHeldNotRaised) {
    Scene s;
    TsCommonData &d = s.F.Data();
    d.GlowID = 3;
    ASSERT_EQ(GetAnimTimer(d, nullptr, false), 0);
    TvlThreadedTimer &t = *s.F.Timer();
    StartAnimation(t, &d, 0, GlowFadeStep, fmFadeDown, true);
    t.DoStep();
    EXPECT_EQ(TickToEnd(t), 10);
    EXPECT_EQ(Glows.Alphas, (TValues{230, 204, 178, 153, 128, 102, 76, 51, 26, 0}));
    EXPECT_EQ(Glows.Hidden, 1);
    EXPECT_EQ(t.Mode, fmIdle);

    d.GlowID = 3;
    Glows.Alphas.clear();
    SendSkinCommand(s.F.Window(), SC_MOUSE_ENTERED, 0);
    for (double v : {1e300, std::numeric_limits<double>::quiet_NaN()}) {
        t.Value = v;
        EXPECT_NO_THROW(t.DoStep());
        EXPECT_NO_THROW(GlowFadeStep(&d, 1));
    }
    EXPECT_EQ(Glows.Alphas, (TValues{26, 255, 255, 0, 0}));
    EXPECT_EQ(WorkPixel(t), NormalPixel);  // the NaN as 0
}

// Paints its area in one colour.
class TSwatch : public vcl::TGraphicControl {
public:
    TSwatch(vcl::TComponent *AOwner, COLORREF Colour) : vcl::TGraphicControl(AOwner), FColour(Colour) {}
    void Paint() override {
        const RECT r{0, 0, Width(), Height()};
        const vcl::TBrushHandle brush(CreateSolidBrush(FColour));
        FillRect(Canvas()->Handle(), &r, brush.Get());
    }

private:
    COLORREF FColour;
};

// The children are painted as every skinned control paints its graphic
// children: a child that leaves the key colour at its corner is left out.
TEST_F(StateFades, ButtonFadesToAnImageWithItsGraphicChildrenDrawnIn) {
    Scene s;
    Fader<vcl::TButton> f(s.Form, 100);
    auto *swatch = vcl::Create<TSwatch>(f.C, RGB(0, 200, 0));
    swatch->SetBounds(20, 10, 8, 8);
    swatch->SetParent(f.C);
    auto *keyed = vcl::Create<TSwatch>(f.C, RGB(0xFF, 0, 0xFF));
    keyed->SetBounds(40, 10, 8, 8);
    keyed->SetParent(f.C);
    f.Ready();
    f.Data().BGChanged = f.Data().MouseInside = true;
    EXPECT_EQ(StartStateAnimation(f.Data(), 1, CountedStep, false), fmFadeUp);
    const TvlThreadedTimer &t = *f.Timer();
    EXPECT_EQ(t.StartImage->View().At(22, 12), NormalPixel);
    EXPECT_EQ(t.TargetImage->View().At(22, 12) & 0xFFFFFF, 0x00C800u);
    EXPECT_EQ(t.TargetImage->View().At(42, 12) & 0xFFFFFF, HotPixel & 0xFFFFFF);
    EXPECT_EQ(t.TargetImage->View().At(5, 5), HotPixel);
    // Asked again in the mode it runs in: left alone.
    EXPECT_EQ(StartStateAnimation(f.Data(), 1, CountedStep, false), fmFadeUp);
    EXPECT_EQ(Steps, 1);
}

TEST_F(StateFades, ThousandHoverCyclesWithFadesRunningLeaveNoHandles) {
    const vcl::THandleCounts start = vcl::LiveHandles();
    {
        Scene s;
        const auto cycles = [&](int Count) {
            for (int i = 0; i < Count; ++i) {
                vcl::TControl *c = i % 2 ? s.F.C : s.G.C;
                c->Perform(vcl::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
                for (TvlThreadedTimer *t : {s.F.Timer(), s.G.Timer()})
                    if (t) Tick(*t, 3);
                c->Perform(vcl::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));
                if (i % 100 == 0) vcl::Application->ProcessMessages();
            }
            TickToEnd(*s.F.Timer()), TickToEnd(*s.G.Timer());
        };
        cycles(2);
        const vcl::THandleCounts warm = vcl::LiveHandles();
        cycles(1000);
        EXPECT_EQ(vcl::LiveHandles(), warm);
        EXPECT_GT(Steps, 2000);  // the fades ran, more than two steps a cycle
    }
    EXPECT_EQ(vcl::LiveHandles(), start);
}

TEST(UnskinnedPopups, ClassesAreSortedAndFoundByTheirWholeName) {
    EXPECT_TRUE(std::is_sorted(UnskinnedPopupClasses().begin(), UnskinnedPopupClasses().end()));
    EXPECT_EQ(UnskinnedPopupClasses().size(), 7u);
    EXPECT_TRUE(IsUnskinnedPopupClass("TcxGridFilterPopup"));
    EXPECT_FALSE(IsUnskinnedPopupClass("tapplication"));
    EXPECT_FALSE(IsUnskinnedPopupClass("TfcPopupX"));
}

} // namespace
} // namespace skin
