// The adapter base: hooking and giving back bare system windows and
// class-library controls (also when another procedure was chained over the
// adapter's, or the window went first), the destroy message's way, the base
// handler's answers, the module's start, and the painting routines.
#include <gtest/gtest.h>

#include "AdaptersTestSupport.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlAdaptersState.h"
#include "skin/adapters/vlDials.h"
#include "skin/adapters/vlMnuWnd.h"
#include "skin/adapters/vlSBPaint.h"
#include "skin/adapters/vlScrollBars.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/HandleCounts.h"
#include "vcl/ObjectInstance.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;

std::string TextOf(HWND Window) { return uitest::TextOf(Window); }

// A subclass chained over (or under) an adapter that counts what passes.
struct Chained {
    vcl::TWindowSubclass Subclass{vcl::TWndMethod::Bind<&Chained::Handle>(this)};
    int SetTexts = 0, Destroys = 0, SkinCommands = 0;
    void Handle(vcl::TMessage &M) {
        SetTexts += M.Msg == WM_SETTEXT;
        Destroys += M.Msg == WM_DESTROY;
        SkinCommands += M.Msg == SM_SKINCOMMAND;
        Subclass.CallPrevious(M);
    }
};

// A control's WindowProc replaced by a counter that never gives it back
// (the control may be gone before it).
struct ControlCounter {
    vcl::TWndMethod Previous;
    int Destroys = 0;
    explicit ControlCounter(vcl::TControl *C) : Previous(C->WindowProc) {
        C->WindowProc = vcl::TWndMethod::Bind<&ControlCounter::Handle>(this);
    }
    void Handle(vcl::TMessage &M) {
        Destroys += M.Msg == WM_DESTROY;
        Previous(M);
    }
};

uitest::TImage32 Picture(vcl::TBitmap &Bitmap) {
    uitest::TImage32 image{Bitmap.Width(), Bitmap.Height(), {}};
    const vcl::TBitmapView v = Bitmap.View();
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) image.Pixels.push_back(v.At(x, y));
    return image;
}

using AdapterBase = AdaptersFixture;

std::unique_ptr<TvlMainWnd> BareAdapter(HWND Window, TsSkinManager *Manager, const std::string &Section = "BUTTON") {
    return NewAdapter<TvlMainWnd>(Window, nullptr, Manager, ParamsFor(nullptr, Section));
}

// ------------------------------------------------------------ bare windows

TEST_F(AdapterBase, BareWindowGetsItsProcedureBackWhenTheAdapterGoes) {
    BareButton bare;
    const WNDPROC original = bare.Proc();
    std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
    EXPECT_NE(bare.Proc(), original);
    EXPECT_EQ(AdapterOfWindow(bare.Button), adapter.get());
    EXPECT_EQ(adapter->WindowText, "Bare");
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 1);
    EXPECT_EQ(reinterpret_cast<TsCommonData *>(SendSkinCommand(bare.Button, SC_GET_SKIN_DATA, 0)), adapter->SkinData);
    SetWindowTextW(bare.Button, L"Další");
    EXPECT_EQ(adapter->WindowText, "Další");

    RemoveWndHook(bare.Button, true, false, adapter);
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(bare.Proc(), original);
    EXPECT_EQ(AdapterOfWindow(bare.Button), nullptr);
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 0);
}

TEST_F(AdapterBase, AdapterFreedUnderAnotherSubclassStaysInTheChainForwarding) {
    BareButton bare;
    const WNDPROC original = bare.Proc();
    std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
    const WNDPROC stub = bare.Proc();
    Chained other;
    other.Subclass.Attach(bare.Button);

    // Unhooking cannot cut the other one out: the adapter stays and serves.
    RemoveWndHook(bare.Button, false, adapter.get());
    EXPECT_FALSE(adapter->Destroyed());
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 1);

    adapter.reset();
    EXPECT_EQ(bare.Proc(), other.Subclass.Instance());
    // What the other one passes on still reaches the button, through the stub.
    SetWindowTextW(bare.Button, L"Dál");
    EXPECT_EQ(TextOf(bare.Button), "Dál");
    EXPECT_EQ(other.SetTexts, 1);
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 0);
    EXPECT_TRUE(other.Subclass.Detach());
    EXPECT_EQ(bare.Proc(), stub);
    EXPECT_NE(stub, original);
    SetWindowTextW(bare.Button, L"Zpět");
    EXPECT_EQ(TextOf(bare.Button), "Zpět");
}

TEST_F(AdapterBase, WindowDestroyedFirstLeavesTheAdapterUnhookedAlsoUnderAnotherSubclass) {
    for (bool chained : {false, true}) {
        BareButton bare;
        std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
        auto other = std::make_unique<Chained>();
        if (chained) other->Subclass.Attach(bare.Button);
        DestroyWindow(bare.Button);
        EXPECT_EQ(other->Destroys, chained ? 1 : 0);
        EXPECT_TRUE(adapter->Destroyed()) << chained;
        EXPECT_EQ(adapter->OldWndProc, nullptr) << chained;
        adapter.reset();
    }
}

TEST_F(AdapterBase, UnskinnedAdapterPassesEveryCommandOn) {
    BareButton bare;
    Chained under;
    under.Subclass.Attach(bare.Button);
    std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 1);
    EXPECT_EQ(under.SkinCommands, 0);
    Manager->SetActive(false);
    EXPECT_EQ(SendSkinCommand(bare.Button, SC_IS_HANDLED, 0), 0);
    EXPECT_EQ(under.SkinCommands, 1);
    adapter.reset();
    EXPECT_TRUE(under.Subclass.Detach());
}

// ---------------------------------------------------------------- controls

TEST_F(AdapterBase, ControlGetsExactlyItsWindowProcAndStyleBack) {
    TestForm form;
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form));
    form.Show();
    const vcl::TWndMethod saved = button->WindowProc;
    const vcl::TControlStyle style = button->ControlStyle();
    ASSERT_FALSE(style.Contains(vcl::csOpaque));
    auto adapter = NewAdapter<TvlMainWnd>(button->Handle(), nullptr, Manager.get(), ParamsFor(button, "BUTTON"));
    EXPECT_FALSE(button->WindowProc == saved);
    EXPECT_TRUE(adapter->SavedWindowProc == saved);
    EXPECT_TRUE(button->ControlStyle().Contains(vcl::csOpaque));
    adapter.reset();
    EXPECT_TRUE(button->WindowProc == saved);
    EXPECT_EQ(button->ControlStyle().Bits(), style.Bits());
}

TEST_F(AdapterBase, ControlProcedureChainedOverTheAdapterKeepsWorking) {
    TestForm form;
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form));
    form.Show();
    auto adapter = NewAdapter<TvlMainWnd>(button->Handle(), nullptr, Manager.get(), ParamsFor(button, "BUTTON"));
    {
        MessageTap tap(button, {WM_SETTEXT});
        adapter.reset();  // the tap stays in front; the adapter's relay forwards behind it
        button->SetCaption("Hotovo");
        EXPECT_EQ(tap.Count(WM_SETTEXT), 1);
        EXPECT_EQ(TextOf(button->WindowHandle()), "Hotovo");
    }
    button->SetCaption("Znovu");
    EXPECT_EQ(TextOf(button->WindowHandle()), "Znovu");
}

TEST_F(AdapterBase, DestroyMessageSentAgainReachesTheControlOnceAndEnds) {
    TestForm form;
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form));
    form.Show();
    ControlCounter own(button);  // under the adapter: the control's own procedure
    auto adapter = NewAdapter<TvlMainWnd>(button->Handle(), nullptr, Manager.get(), ParamsFor(button, "BUTTON"));
    ControlCounter over(button);  // chained over the adapter's
    delete button;
    EXPECT_EQ(own.Destroys, 1);
    EXPECT_EQ(over.Destroys, 2);  // the first, and the one sent again after unhooking
    EXPECT_TRUE(adapter->Destroyed());
}

// ------------------------------------------------------------- unit state

TEST_F(AdapterBase, KeepThemeScopeEndsOnEveryWayOut) {
    BareButton bare;
    {
        TvlKeepThemeScope scope;
        EXPECT_TRUE(KeepThemeOnCreate());
        EXPECT_TRUE(BareAdapter(bare.Button, Manager.get())->KeepTheme);
    }
    EXPECT_FALSE(KeepThemeOnCreate());
    try {
        TvlKeepThemeScope scope;
        throw std::runtime_error("made no adapter");
    } catch (const std::runtime_error &) {
    }
    EXPECT_FALSE(KeepThemeOnCreate());
    EXPECT_FALSE(BareAdapter(bare.Button, Manager.get())->KeepTheme);
}

TEST_F(AdapterBase, ModuleStartsNestAndTheFactoryServesTheirWhole) {
    InitializeAdaptersModule();
    FinalizeAdaptersModule();
    TestForm form;
    auto *button = form.Add(vcl::Create<vcl::TButton>(form.Form));
    form.Show();
    EXPECT_NE(dynamic_cast<TvlBtnWnd *>(
                  AdapterFactory().CreateAdapter(tpButton, button->Handle(), ParamsFor(button), Manager.get()).get()),
              nullptr);
    EXPECT_NE(ScrollBarApi().GetScrollBarInfo, nullptr);
}

TEST_F(AdapterBase, ModuleStateGoesBackToItsStartOnlyWhenNoPartRunsAnyMore) {
    ASSERT_EQ(AdaptersState().AdaptersStartCount, 1);
    MenuPopupShown() = true;
    ScrollEngine().TrackPos = 9;
    // The hook's dialog skinning started on its own outlives the module.
    InitializeDialsModule();
    FinalizeAdaptersModule();
    EXPECT_NE(AdaptersState().Dials, nullptr);
    EXPECT_EQ(ScrollEngine().TrackPos, 9);
    FinalizeDialsModule();
    EXPECT_EQ(AdaptersState().Dials, nullptr);
    EXPECT_EQ(AdaptersState().AdapterFactory, nullptr);
    EXPECT_FALSE(MenuPopupShown());
    EXPECT_EQ(ScrollEngine().TrackPos, -1);
    InitializeAdaptersModule();
    EXPECT_NE(ScrollBarApi().GetScrollBarInfo, nullptr);
    EXPECT_NE(AdaptersState().Dials, nullptr);
}

// ---------------------------------------------------------------- painting

TEST_F(AdapterBase, SystemFontsOfKindsOutsideTheListAreTheMessageFont) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int kind : {5, 9, 1}) {
        const vcl::TFontHandle font = CreateSystemFont(kind);
        ASSERT_TRUE(font);
        EXPECT_EQ(vcl::LiveHandles().GdiObjects, before.GdiObjects + 1);
        LOGFONTW lf{};
        GetObjectW(font.Get(), sizeof lf, &lf);
        const LOGFONTW &expected = kind == 1 ? metrics.lfCaptionFont : metrics.lfMessageFont;
        EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(expected.lfFaceName)) << kind;
        EXPECT_EQ(lf.lfHeight, expected.lfHeight) << kind;
        EXPECT_EQ(lf.lfWeight, expected.lfWeight) << kind;
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// A parent that answers the background question as told.
LRESULT CALLBACK AskedParentProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SM_SKINCOMMAND && SubCommandOf(WParam) == SC_GET_BG_INFO) {
        auto *query = reinterpret_cast<TvlBgQuery *>(LParam);
        const bool ready = GetWindowLongPtrW(Window, GWLP_USERDATA) != 0;
        query->Kind = ready ? bqColor : bqNoImage;
        query->Color = 0x123456;
        return 1;
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

TEST_F(AdapterBase, WindowWhoseParentIsNotReadyWaitsWithItsCacheUnchanged) {
    TestParent parentWindow(L"AdapterTestParent", AskedParentProc);
    const HWND parent = parentWindow.Window;
    const HWND child = parentWindow.Child(L"", 60, 20);
    {
        std::unique_ptr<TvlMainWnd> adapter = BareAdapter(child, Manager.get());
        TsCommonData &data = *adapter->SkinData;
        data.PrepareCache();
        data.CacheBmp()->SetSize(5, 5);
        data.CacheBmp()->View().At(2, 2) = 0xFF010203;
        data.BGChanged = true;
        SendSkinCommand(child, SC_BUILD_CACHE, 0);
        EXPECT_TRUE(data.PaintLocked);
        EXPECT_TRUE(data.BGChanged);
        ASSERT_EQ(data.CacheBmp()->Width(), 5);
        EXPECT_EQ(data.CacheBmp()->View().At(2, 2), 0xFF010203u);

        SetWindowLongPtrW(parent, GWLP_USERDATA, 1);
        SendSkinCommand(child, SC_BUILD_CACHE, 0);
        EXPECT_FALSE(data.BGChanged);
        ASSERT_EQ(data.CacheBmp()->Width(), 60);
        EXPECT_EQ(ColorAt(Picture(*data.CacheBmp()), 30, 10), NormalFace);
    }
}

TEST_F(AdapterBase, DisabledPasswordEditShowsOneMarkPerCharacter) {
    TestForm form;
    auto *edit = form.Add(vcl::Create<vcl::TCustomEdit>(form.Form));
    edit->SetBounds(10, 10, 200, 24);
    edit->SetText("Žluťoučký");  // 9 characters, 13 bytes
    form.Show();
    SendMessageW(edit->Handle(), EM_SETPASSWORDCHAR, '*', 0);
    edit->SetEnabled(false);
    auto adapter = NewAdapter<TvlMainWnd>(edit->Handle(), nullptr, Manager.get(), ParamsFor(edit, "EDIT"));
    adapter->SkinData->BGChanged = true;
    SendSkinCommand(edit->WindowHandle(), SC_BUILD_CACHE, 0);
    const uitest::TImage32 cache = Picture(*adapter->SkinData->CacheBmp());
    const vcl::TColor face = ColorAt(cache, 1, 1);
    const InkBox ink = FindInk(cache, [&](vcl::TColor c) { return c != face; });
    ASSERT_FALSE(ink.Empty());
    // The marks' extent in the edit's font: nine fit, eight do not.
    vcl::TBitmap measure;
    measure.Canvas()->SetFont(edit->Font());
    const int eight = measure.Canvas()->TextWidth("********"), ten = measure.Canvas()->TextWidth("**********");
    EXPECT_GT(ink.Right - ink.Left, eight);
    EXPECT_LT(ink.Right - ink.Left, ten);
    EXPECT_EQ(Utf8Length("Žluťoučký"), 9u);
}

TEST_F(AdapterBase, BorderMaskWithoutStateCountPaintsTheFirstOfThreeStates) {
    BareButton bare;
    std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
    // An own picture of three 10 x 10 states: red, green, blue.
    auto picture = std::make_shared<vcl::TBitmap>();
    picture->SetPixelFormat(vcl::pf32bit);
    picture->SetSize(30, 10);
    const std::uint32_t states[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x) picture->View().At(x, y) = states[x / 10];
    TsMaskData mask;
    mask.Bmp = picture;
    mask.R = {0, 0, 30, 10};
    mask.ImageCount = 0;
    mask.MaskType = 0;
    mask.WL = mask.WT = mask.WR = mask.WB = 3;
    mask.Manager = Manager.get();
    Manager->Masks.push_back(mask);
    TsCommonData &data = *adapter->SkinData;
    data.SetBorderIndex(static_cast<int>(Manager->Masks.size()) - 1);
    data.PrepareCache();
    data.CacheBmp()->SetSize(120, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) data.CacheBmp()->View().At(x, y) = 0xFF808080;
    PaintMaskBorder(data, 0, *adapter);
    const uitest::TImage32 first = Picture(*data.CacheBmp());
    EXPECT_EQ(ColorAt(first, 0, 0), vcl::TColor(0x0000FF));   // red
    EXPECT_EQ(ColorAt(first, 119, 29), vcl::TColor(0x0000FF));
    EXPECT_EQ(ColorAt(first, 60, 15), vcl::TColor(0x808080));  // the centre left alone
    PaintMaskBorder(data, 7, *adapter);  // limited to the last of the three
    EXPECT_EQ(ColorAt(Picture(*data.CacheBmp()), 0, 0), vcl::TColor(0xFF0000));  // blue
    data.SetBorderIndex(-1);
    Manager->Masks.pop_back();
}

TEST_F(AdapterBase, HandleCountsStayFlatOverBareAdapters) {
    ExpectFlatHandleCounts([&] {
        BareButton bare;
        std::unique_ptr<TvlMainWnd> adapter = BareAdapter(bare.Button, Manager.get());
        adapter->SkinData->BGChanged = true;
        SendSkinCommand(bare.Button, SC_BUILD_CACHE, 0);
        SendMessageW(bare.Button, WM_PRINT, 0, 0);
    });
}

} // namespace
} // namespace skin
