// Preparing a form for the skin: the indexes and the title glyphs the
// provider resolves, the system menu and the control adapter it makes, when
// it refuses; the strip kept behind the caption buttons, the cache made
// usable, the veil over a disabled form, the caption cover's copies, the
// outline drag (and its end when the capture is lost), the menus handed to
// the skinned menu support, and the handle counts over many preparations.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormPrepare : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = PieceSkinManager();

    int Mask(const char *Name) const { return Manager->FindMaskIndex("GLOBALINFO", Name); }
};

TEST_F(FormPrepare, ResolvesTheSkinIntoTheProviderOnce) {
    PreparedForm f;
    TsSkinProvider &p = *f.Provider;
    EXPECT_TRUE(p.IsSkinned);
    EXPECT_EQ(p.CaptionSkinIndex, Manager->FindSectionIndex("CAPTION"));
    EXPECT_EQ(p.TitleSkinIndex, Manager->FindSectionIndex("FORMTITLE"));
    EXPECT_EQ(p.HeaderSkinIndex, -1);
    EXPECT_EQ(p.TitleButtonMaskIndex, Mask("TITLEBUTTON"));
    EXPECT_EQ(f.Form.Form->Color(), 0xE0E0E0);  // the skin's main colour
    ASSERT_TRUE(p.SystemMenu);
    EXPECT_EQ(p.SystemMenu->Owner(), &p);
    TsSystemMenu *menu = p.SystemMenu;
    p.SetTitleSkin("NOSUCHTITLE");
    p.SkinData()->SetCustomColor(true);
    f.Form.Form->SetColor(vcl::clWhite);
    p.PrepareForm();
    EXPECT_EQ(p.SystemMenu, menu);
    EXPECT_EQ(p.TitleSkinIndex, -1);
    EXPECT_EQ(f.Form.Form->Color(), vcl::clWhite);
}

TEST_F(FormPrepare, NothingIsPreparedWithoutAWindowAnActiveSkinOrForAHookedDialog) {
    TestForm hidden;
    auto *p = vcl::Create<TsSkinProvider>(hidden.Form);
    p->PrepareForm();
    EXPECT_FALSE(p->SystemMenu);
    EXPECT_FALSE(p->IsSkinned);

    TestForm dialog;
    auto *made = vcl::Create<TsSkinProvider>(dialog.Form, TsSkinProvider::TDialogMade{});
    dialog.Show();
    made->PrepareForm();
    EXPECT_FALSE(made->SystemMenu);

    TestForm shown;
    auto *q = vcl::Create<TsSkinProvider>(shown.Form);
    shown.Show();
    Manager->SetActive(false);
    q->PrepareForm();
    EXPECT_FALSE(q->SystemMenu);
}

TEST_F(FormPrepare, TitleGlyphsFollowTheBorderStyleAndWhatTheSkinHas) {
    PreparedForm dialog(vcl::bsDialog);
    const TsSkinProvider &d = *dialog.Provider;
    EXPECT_FALSE(d.IconsLarge);
    EXPECT_EQ(d.ButtonClose.ImageIndex, Mask("SICONCLOSE"));
    EXPECT_FALSE(d.ButtonClose.HaveAlignment);
    EXPECT_EQ(d.ButtonHelp.ImageIndex, Mask("BICONHELP"));  // no "SICONHELP" in the skin
    EXPECT_EQ(d.ButtonClose.HitCode, HTCLOSE);
    EXPECT_EQ(d.ButtonMin.HitCode, HTMINBUTTON);
    EXPECT_EQ(d.ButtonMax.HitCode, HTMAXBUTTON);

    PreparedForm single(vcl::bsSingle);
    single.Form.Form->SetBorderIcons({vcl::biSystemMenu});
    single.Provider->UpdateIconMasks();
    EXPECT_TRUE(single.Provider->IconsLarge);
    EXPECT_EQ(single.Provider->ButtonClose.ImageIndex, Mask("BICLOSEALONE"));
    EXPECT_TRUE(single.Provider->ButtonClose.HaveAlignment);

    // Without the small close glyph a tool window takes the large set.
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(false));
    PreparedForm tool(vcl::bsToolWindow);
    const TsSkinProvider &t = *tool.Provider;
    EXPECT_EQ(t.ButtonClose.ImageIndex, Mask("BICONCLOSE"));
    EXPECT_EQ(t.ButtonMin.ImageIndex, Mask("BICONMIN"));
    EXPECT_EQ(t.ButtonMax.ImageIndex, Mask("BICONMAX"));
    EXPECT_EQ(t.ButtonHelp.ImageIndex, Mask("BICONHELP"));
    EXPECT_TRUE(t.ButtonClose.HaveAlignment);
}

TEST_F(FormPrepare, InitSkinMakesTheAdapterAndGivesTheTitleButtonsTheirMask) {
    TestForm form;
    form.Form->SetBorderStyle(vcl::bsSizeToolWin);
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    p->TitleButtons()->Add();
    static_cast<TsTitleButton *>(p->TitleButtons()->Add())->SetUseSkinData(false);
    form.Show();
    p->InitSkin();
    EXPECT_TRUE(p->ControlAdapter);
    EXPECT_EQ(p->TitleButtonSkinIndex, -1);  // the skin has no section "TITLEBUTTON"
    EXPECT_EQ(p->TitleButtons()->Items(0)->Data.ImageIndex, Mask("TITLEBUTTON"));
    EXPECT_EQ(p->TitleButtons()->Items(1)->Data.ImageIndex, -1);
    EXPECT_FALSE(p->AllowSkin3rdParty());
    EXPECT_TRUE(p->UseGlobalColor());
}

TEST_F(FormPrepare, TheStripBehindTheButtonsIsKeptAndPutBack) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(true));
    TsSkinProvider &p = *f.Provider;
    vcl::TBitmap &c = f.Cache();
    const int w = p.ButtonsWidth() + p.FrameLeft(true) + 10;
    ASSERT_EQ(p.ButtonsBackup->Width(), w);
    ASSERT_EQ(p.ButtonsBackup->Height(), 23);  // from the top down to the caption's bottom
    EXPECT_EQ(p.ButtonsBackupPos, (vcl::TPoint{400 - w - 1, 0}));
    // Taken before the buttons were painted: the band alone.
    EXPECT_EQ(CountColour(*p.ButtonsBackup, BandActive).Count, w * 23);
    const vcl::TRect strip{400 - w - 1, 0, 399, 23};
    FillRectAlpha(c, {strip.Left, 0, 400, 23}, Grip, 255);
    p.RestoreButtonsArea(400);
    EXPECT_EQ(CountColour(c, BandActive, strip).Count, w * 23);
    EXPECT_EQ(PixelAt(c, 399, 10), Grip);  // the last column is not the strip's
}

TEST_F(FormPrepare, ACacheIsUsableOnceItCouldBeRendered) {
    PreparedForm f;
    EXPECT_TRUE(f.Provider->CacheUsable());  // made at once
    EXPECT_EQ(f.Cache().Height(), 300);
    f.Cache().SetSize(400, 0);
    EXPECT_TRUE(f.Provider->CacheUsable());
    EXPECT_EQ(f.Cache().Height(), 300);

    TestForm other;
    other.Form->Show();
    auto *p = vcl::Create<TsSkinProvider>(other.Form);
    p->SkinData()->SetSkinSection("NOSUCHSECTION");
    EXPECT_FALSE(p->CacheUsable());
}

TEST_F(FormPrepare, ADisabledFormIsVeiledByItsBlendValue) {
    PreparedForm f;
    const vcl::THandleCounts start = vcl::LiveHandles();
    for (const int blend : {100, 255, 0}) {
        SCOPED_TRACE(blend);
        f.Form.Form->SetEnabled(false);
        f.Provider->SetDisabledBlendValue(static_cast<std::uint8_t>(blend));
        f.Provider->UpdateDisabledVeil();
        ASSERT_TRUE(f.Provider->DisabledVeil);
        const HWND veil = f.Provider->DisabledVeil->WindowHandle();
        EXPECT_TRUE(IsWindowVisible(veil));
        EXPECT_EQ(f.Provider->DisabledVeil->Tag(), 256);
        EXPECT_EQ(f.Provider->DisabledVeil->Color(), vcl::clBlack);
        BYTE alpha = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(veil, nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, 255 - blend);
        RECT form{}, over{};
        GetWindowRect(f.Window(), &form);
        GetWindowRect(veil, &over);
        EXPECT_TRUE(EqualRect(&form, &over));
        EXPECT_TRUE(GetWindowLongPtrW(veil, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
        EXPECT_TRUE(GetWindowLongPtrW(veil, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        f.Form.Form->SetEnabled(true);
        f.Provider->UpdateDisabledVeil();
        EXPECT_FALSE(f.Provider->DisabledVeil);
    }
    EXPECT_EQ(vcl::LiveHandles(), start);
    // Over a hidden form nothing is laid.
    f.Form.Form->Hide();
    f.Form.Form->SetEnabled(false);
    f.Provider->UpdateDisabledVeil();
    EXPECT_FALSE(f.Provider->DisabledVeil);
    f.Form.Form->SetEnabled(true);
}

TEST_F(FormPrepare, TheCaptionCoverShowsTheCacheAndEndsItsPaintingMessages) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(true));
    TsSkinProvider &p = *f.Provider;
    // As the cover is made: the form's bounds, its procedure replaced.
    p.CaptionCover.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    p.CaptionCover->SetBorderStyle(vcl::bsNone);
    p.CaptionCover->SetBounds(100, 100, 400, 300);
    p.CaptionCover->HandleNeeded();
    FormWatcher watcher(p.CaptionCover.get());
    p.CoverSavedWndProc = p.CaptionCover->WindowProc;
    p.CaptionCover->WindowProc = vcl::TWndMethod::Bind<&TsSkinProvider::CoverWndProc>(&p);

    auto copy = Canvas32(400, 300, 0x123456);
    const vcl::TMessage erased = Through(p.CaptionCover.get(), WM_ERASEBKGND,
                                         reinterpret_cast<WPARAM>(copy->Canvas()->Handle()));
    EXPECT_EQ(erased.Result, 1);
    EXPECT_EQ(PixelAt(*copy, 200, 5), PixelAt(f.Cache(), 200, 5));
    EXPECT_EQ(PixelAt(*copy, 1, 200), BorderActive);
    Through(p.CaptionCover.get(), WM_NCPAINT, 1);
    Through(p.CaptionCover.get(), WM_NULL);
    EXPECT_FALSE(watcher.Saw(WM_ERASEBKGND));
    EXPECT_FALSE(watcher.Saw(WM_NCPAINT));
    EXPECT_TRUE(watcher.Saw(WM_NULL));
    p.HideCaptionCover();
}

// ------------------------------------------------------- the outline drag

vcl::TRect WindowRect(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

TEST_F(FormPrepare, AnOutlineMoveTakesTheFormWhereTheOutlineWasLeft) {
    PreparedForm f;
    const vcl::TRect start = WindowRect(f.Window());
    const LONG_PTR procedure = GetWindowLongPtrW(f.Window(), GWLP_WNDPROC);
    const vcl::THandleCounts before = vcl::LiveHandles();
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    EXPECT_TRUE(f.Provider->OutlineDrag.Active);
    EXPECT_EQ(vcl::LiveHandles().DCs, before.DCs + 1);  // the desktop's DC
    EXPECT_EQ(GetCapture(), f.Window());
    f.Provider->MoveOutlineDrag({170, 120});
    f.Provider->MoveOutlineDrag({180, 150});
    EXPECT_EQ(f.Provider->OutlineDrag.Rect, (vcl::TRect{start.Left + 30, start.Top + 40, start.Right + 30, start.Bottom + 40}));
    EXPECT_EQ(WindowRect(f.Window()), start);  // only the outline moves meanwhile
    f.Provider->EndOutlineDrag();
    EXPECT_FALSE(f.Provider->OutlineDrag.Active);
    EXPECT_EQ(WindowRect(f.Window()), (vcl::TRect{start.Left + 30, start.Top + 40, start.Right + 30, start.Bottom + 40}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), procedure);
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST_F(FormPrepare, TheOutlineIsInvertedOnTheScreenAndPutBackAsItWas) {
    PreparedForm f;
    const vcl::TRect start = WindowRect(f.Window());
    // A point of the outline's left edge once it is taken 500 pixels away,
    // over the bare desktop, and one beside it that the outline leaves alone.
    const vcl::TPoint edge{start.Left + 500, start.Top + 600}, beside{edge.X + 1, edge.Y};
    const vcl::TWindowDC screen;
    const auto at = [&](vcl::TPoint P) { return GetPixel(screen.Get(), P.X, P.Y) & 0xFFFFFF; };
    const COLORREF desktop = at(edge), next = at(beside);
    f.Provider->BeginOutlineDrag(HTCAPTION, {0, 0});
    f.Provider->MoveOutlineDrag({500, 500});
    EXPECT_EQ(at(edge), desktop ^ 0xFFFFFF);
    EXPECT_EQ(at(beside), next);
    f.Provider->MoveOutlineDrag({0, 0});
    EXPECT_EQ(at(edge), desktop);
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()), start);
}

TEST_F(FormPrepare, ALostCaptureEndsTheDragAndGivesTheDesktopsDCBack) {
    PreparedForm f;
    PreparedForm other;
    const vcl::TRect start = WindowRect(f.Window());
    const LONG_PTR procedure = GetWindowLongPtrW(f.Window(), GWLP_WNDPROC);
    const vcl::THandleCounts before = vcl::LiveHandles();
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    f.Provider->MoveOutlineDrag({160, 115});
    SetCapture(other.Window());  // another window takes the mouse
    EXPECT_FALSE(f.Provider->OutlineDrag.Active);
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), procedure);
    EXPECT_EQ(WindowRect(f.Window()).Left, start.Left + 10);
    EXPECT_EQ(GetCapture(), other.Window());
    ReleaseCapture();

    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    ReleaseCapture();
    EXPECT_FALSE(f.Provider->OutlineDrag.Active);
    EXPECT_EQ(vcl::LiveHandles(), before);
    // Moves after the end change nothing.
    f.Provider->MoveOutlineDrag({400, 400});
    EXPECT_EQ(WindowRect(f.Window()).Left, start.Left + 10);

    // A provider that goes in the middle of a drag gives everything back.
    const LONG_PTR own = GetWindowLongPtrW(f.Window(), GWLP_WNDPROC);
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    ASSERT_NE(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), own);
    delete f.Provider;
    EXPECT_EQ(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), own);
    EXPECT_EQ(vcl::LiveHandles().DCs, before.DCs);
    ReleaseCapture();
}

TEST_F(FormPrepare, AnOutlineResizeMovesTheDraggedEdgesAndKeepsAMinimum) {
    PreparedForm f;
    const vcl::TRect start = WindowRect(f.Window());
    f.Provider->BeginOutlineDrag(HTBOTTOMRIGHT, {start.Right, start.Bottom});
    f.Provider->MoveOutlineDrag({start.Right + 50, start.Bottom + 20});
    EXPECT_EQ(f.Provider->OutlineDrag.Rect, (vcl::TRect{start.Left, start.Top, start.Right + 50, start.Bottom + 20}));
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()), (vcl::TRect{start.Left, start.Top, start.Right + 50, start.Bottom + 20}));

    f.Form.Form->Constraints()->MinWidth = 300;
    f.Provider->BeginOutlineDrag(HTLEFT, {start.Left, start.Top + 50});
    f.Provider->MoveOutlineDrag({start.Right + 500, start.Top + 80});  // far past the right edge
    const vcl::TRect r = f.Provider->OutlineDrag.Rect;
    EXPECT_EQ(r.Right, start.Right + 50);
    EXPECT_EQ(r.Width(), 300);
    EXPECT_EQ(r.Top, start.Top);  // a left edge moves nothing else
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()).Left, start.Right + 50 - 300);
}

// --------------------------------------------------------------- menus

struct MenuCalls : TvlSkinableMenus {
    std::vector<std::pair<vcl::TMenu *, bool>> OwnerDraw;
    void SetActive(bool) override {}
    void ApplyToAllForms() override {}
    void ResetSectionCache() override {}
    void SetControlMenuOwnerDraw(vcl::TControl *, bool) override {}
    void ApplyItemRegion(LPARAM) override {}
    void ApplyPopupRegion(HWND) override {}
    void SetMenuOwnerDraw(vcl::TMenu *Menu, bool On) override { OwnerDraw.emplace_back(Menu, On); }
};

struct MenuFactory : TvlSkinableMenusFactory {
    MenuCalls *Made = nullptr;
    std::unique_ptr<TvlSkinableMenus> CreateSkinableMenus(TsSkinManager &) override {
        auto menus = std::make_unique<MenuCalls>();
        Made = menus.get();
        return menus;
    }
};

TEST_F(FormPrepare, TheFormsPopupMenusAreHandedToTheSkinnedMenusAndTakenBack) {
    MenuFactory factory;
    TvlServiceRegistration<TvlSkinableMenusFactory> registered(factory);
    PreparedForm f;
    auto *first = vcl::Create<vcl::TPopupMenu>(f.Form.Form);
    auto *second = vcl::Create<vcl::TPopupMenu>(f.Form.Form);
    f.Provider->HookFormMenus(true);
    ASSERT_TRUE(factory.Made);
    using Call = std::pair<vcl::TMenu *, bool>;
    EXPECT_EQ(factory.Made->OwnerDraw, (std::vector<Call>{{first, true}, {second, true}}));
    factory.Made->OwnerDraw.clear();
    f.Provider->HookFormMenus(false);
    EXPECT_EQ(factory.Made->OwnerDraw, (std::vector<Call>{{first, false}, {second, false}}));
}

// --------------------------------------------------------- handle counts

TEST_F(FormPrepare, HandlesReturnToTheirStartOverManyPreparations) {
    TsSkinManager *Manager = this->Manager.get();
    const auto cycle = [Manager] {
        PreparedForm f(vcl::bsSizeable, "Setup");
        f.Provider->InitSkin();
        f.Render(true);
        Command(f.Form.Form, SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager));
        f.Provider->PrepareForm();
        f.Render(false);
    };
    cycle();  // the first life makes what lives on (window classes, fonts of the system)
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
