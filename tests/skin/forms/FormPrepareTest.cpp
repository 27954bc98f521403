// Preparing a form for the skin: what the provider resolves and makes, the
// title glyphs by border style, an MDI parent's glyphs for a maximized
// child's buttons and its line made stale by a child's preparation, the
// strip kept behind the caption buttons, the veil over a disabled form, the
// caption cover's copies, the outline drag (on the screen, and ended by a
// lost capture), and the handle counts over many preparations.
#include <gtest/gtest.h>

#include "FramePaintTestSupport.h"
#include "skin/forms/sSystemMenu.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Menus.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormPrepare : FramePaint {
    int Mask(const char *Name) const { return Manager->FindMaskIndex("GLOBALINFO", Name); }
};

TEST_F(FormPrepare, ResolvesTheSkinIntoTheProviderAndMakesItsMenuOnce) {
    TestForm hidden;  // without a window nothing is prepared
    auto *none = vcl::Create<TsSkinProvider>(hidden.Form);
    none->PrepareForm();
    EXPECT_FALSE(none->SystemMenu || none->IsSkinned);

    PreparedForm f;
    TsSkinProvider &p = *f.Provider;
    EXPECT_TRUE(p.IsSkinned);
    EXPECT_EQ(p.CaptionSkinIndex, Manager->FindSectionIndex("CAPTION"));
    EXPECT_EQ(p.TitleSkinIndex, Manager->FindSectionIndex("FORMTITLE"));
    EXPECT_EQ(p.HeaderSkinIndex, -1);
    EXPECT_EQ(p.TitleButtonMaskIndex, Mask("TITLEBUTTON"));
    EXPECT_EQ(f.Form.Form->Color(), 0xE0E0E0);  // the skin's main colour
    ASSERT_TRUE(p.SystemMenu);
    TsSystemMenu *menu = p.SystemMenu;
    p.SetTitleSkin("NOSUCHTITLE");
    p.SkinData()->SetCustomColor(true);
    f.Form.Form->SetColor(vcl::clWhite);
    p.InitSkin();
    EXPECT_EQ(p.SystemMenu, menu);
    EXPECT_EQ(p.TitleSkinIndex, -1);
    EXPECT_EQ(f.Form.Form->Color(), vcl::clWhite);
    EXPECT_TRUE(p.ControlAdapter);
}

TEST_F(FormPrepare, TitleGlyphsFollowTheBorderStyleAndWhatTheSkinHas) {
    PreparedForm dialog(vcl::bsDialog);
    const TsSkinProvider &d = *dialog.Provider;
    EXPECT_EQ(d.ButtonClose.ImageIndex, Mask("SICONCLOSE"));
    EXPECT_FALSE(d.ButtonClose.HaveAlignment);
    EXPECT_EQ(d.ButtonHelp.ImageIndex, Mask("BICONHELP"));  // the skin has no "SICONHELP"
    EXPECT_EQ(d.ButtonMax.HitCode, HTMAXBUTTON);

    PreparedForm single(vcl::bsSingle);
    single.Form.Form->SetBorderIcons({vcl::biSystemMenu});
    single.Provider->UpdateIconMasks();
    EXPECT_EQ(single.Provider->ButtonClose.ImageIndex, Mask("BICLOSEALONE"));
    EXPECT_TRUE(single.Provider->ButtonClose.HaveAlignment);

    // Without the small close glyph a tool window takes the large set.
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(false));
    PreparedForm tool(vcl::bsToolWindow);
    EXPECT_EQ(tool.Provider->ButtonClose.ImageIndex, Mask("BICONCLOSE"));
    EXPECT_EQ(tool.Provider->ButtonMin.ImageIndex, Mask("BICONMIN"));
    EXPECT_TRUE(tool.Provider->ButtonClose.HaveAlignment);
}

TEST_F(FormPrepare, AnMDIParentsChildButtonsAndAChildsPreparationOfTheParentsLine) {
    const auto mdiParent = [&] {
        auto f = std::make_unique<TestForm>();
        f->Form->SetFormStyle(vcl::fsMDIForm);
        f->Form->SetMenu(vcl::Create<vcl::TMainMenu>(f->Form));
        f->Form->Menu()->SetOwnerDraw(true);
        auto *p = vcl::Create<TsSkinProvider>(f->Form);
        f->Show();
        p->PrepareForm();
        return std::pair{std::move(f), p};
    };
    {
        auto [form, p] = mdiParent();
        EXPECT_EQ(p->MDIMin.ImageIndex, Mask("SICONMIN"));
        EXPECT_EQ(p->MDINorm.ImageIndex, Mask("SICONMAX"));
        EXPECT_EQ(p->MDIClose.ImageIndex, Mask("SICONCLOSE"));
        EXPECT_FALSE(p->MDIClose.HaveAlignment);
        EXPECT_EQ(p->MDINorm.HitCode, htMDIRestore);
        EXPECT_TRUE(p->MainMenuFlag && p->MenuSkinned) << "the menu's own owner drawing";
        // A child prepared for the skin makes the parent's frame and line stale.
        p->SkinData()->BGChanged = false;
        p->MenuLineCount = 1;
        auto *child = vcl::Create<vcl::TForm>(form->Form, vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->Show();
        vcl::Create<TsSkinProvider>(child)->PrepareForm();
        EXPECT_TRUE(p->SkinData()->BGChanged);
        EXPECT_EQ(p->MenuLineCount, -1);
    }
    PreparedForm plain;
    EXPECT_EQ(plain.Provider->MDIClose.ImageIndex, -1);
    EXPECT_FALSE(plain.Provider->MainMenuFlag);
    // Without the small glyphs the child's buttons take the form's own.
    Manager = nullptr;
    Manager = PieceSkinManager(PieceOptions(false));
    auto [form, p] = mdiParent();
    EXPECT_EQ(p->MDIMin.ImageIndex, Mask("BICONMIN"));
    EXPECT_EQ(p->MDINorm.ImageIndex, Mask("BICONMAX"));
    EXPECT_EQ(p->MDIClose.ImageIndex, Mask("BICONCLOSE"));
    EXPECT_TRUE(p->MDIMin.HaveAlignment);
}

TEST_F(FormPrepare, TheStripBehindTheButtonsIsKeptAndPutBack) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(true));
    TsSkinProvider &p = *f.Provider;
    vcl::TBitmap &c = f.Cache();
    // From the top down to the caption's bottom, taken before the buttons
    // were painted.
    const int w = p.ButtonsWidth() + p.FrameLeft(true) + 10;
    EXPECT_EQ(p.ButtonsBackupPos, (vcl::TPoint{400 - w - 1, 0}));
    EXPECT_EQ(CountColour(*p.ButtonsBackup, BandActive).Count, w * 23);
    EXPECT_EQ(p.ButtonsBackup->Height(), 23);
    FillRectAlpha(c, {400 - w - 1, 0, 400, 23}, Grip, 255);
    p.RestoreButtonsArea(400);
    EXPECT_EQ(CountColour(c, BandActive, {400 - w - 1, 0, 399, 23}).Count, w * 23);
    EXPECT_EQ(PixelAt(c, 399, 10), Grip);  // the last column is not the strip's
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
        BYTE alpha = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(veil, nullptr, &alpha, nullptr));
        EXPECT_EQ(alpha, 255 - blend);
        RECT form{}, over{};
        GetWindowRect(f.Window(), &form);
        GetWindowRect(veil, &over);
        EXPECT_TRUE(EqualRect(&form, &over));
        EXPECT_TRUE(GetWindowLongPtrW(veil, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
        f.Form.Form->SetEnabled(true);
        f.Provider->UpdateDisabledVeil();
        EXPECT_FALSE(f.Provider->DisabledVeil);
    }
    EXPECT_EQ(vcl::LiveHandles(), start);
    f.Form.Form->Hide();  // over a hidden form nothing is laid
    f.Form.Form->SetEnabled(false);
    f.Provider->UpdateDisabledVeil();
    EXPECT_FALSE(f.Provider->DisabledVeil);
}

TEST_F(FormPrepare, TheVeilKeepsToTheFormWhenItsSettingsChangeMeanwhile) {
    PreparedForm f;
    vcl::TForm &form = *f.Form.Form;
    TsSkinProvider &p = *f.Provider;
    const auto veiled = [&] {
        if (!p.DisabledVeil || !IsWindowVisible(p.DisabledVeil->WindowHandle())) return false;
        RECT over{}, under{};
        GetWindowRect(p.DisabledVeil->WindowHandle(), &over);
        GetWindowRect(f.Window(), &under);
        return EqualRect(&over, &under) != FALSE;
    };
    // Disabled with a clear veil, then given a visible one.
    form.SetEnabled(false);
    p.SetDisabledBlendValue(128);
    EXPECT_TRUE(veiled());
    form.SetBounds(form.Left() + 30, form.Top() + 20, form.Width(), form.Height());
    EXPECT_TRUE(veiled()) << "moved";
    form.Hide();
    EXPECT_FALSE(p.DisabledVeil) << "hidden";
    form.Show();
    EXPECT_TRUE(veiled()) << "shown again";
    form.SetEnabled(true);
    EXPECT_FALSE(p.DisabledVeil);
    // Enabled after the veil was made clear, or the frame left to the system.
    for (const bool frameOff : {false, true}) {
        SCOPED_TRACE(frameOff);
        p.SetDisabledBlendValue(128);
        form.SetEnabled(false);
        ASSERT_TRUE(veiled());
        if (frameOff)
            p.SetDrawNonClientArea(false);
        else
            p.SetDisabledBlendValue(255);
        form.SetEnabled(true);
        EXPECT_FALSE(p.DisabledVeil);
        EXPECT_FALSE(p.StateFlags & pfDisabled);
    }
}

TEST_F(FormPrepare, TheCaptionCoverShowsTheCacheAndEndsItsPaintingMessages) {
    PreparedForm f(vcl::bsSizeable, "Setup");
    ASSERT_TRUE(f.Render(true));
    TsSkinProvider &p = *f.Provider;
    // The cover as it is made: the form's bounds, its procedure replaced.
    p.CaptionCover.reset(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    p.CaptionCover->SetBorderStyle(vcl::bsNone);
    p.CaptionCover->SetBounds(100, 100, 400, 300);
    p.CaptionCover->HandleNeeded();
    FormWatcher watcher(p.CaptionCover.get());
    p.CoverSavedWndProc = p.CaptionCover->WindowProc;
    p.CaptionCover->WindowProc = vcl::TWndMethod::Bind<&TsSkinProvider::CoverWndProc>(&p);
    auto copy = Canvas32(400, 300, 0x123456);
    const HDC dc = copy->Canvas()->Handle();
    EXPECT_EQ(Through(p.CaptionCover.get(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)).Result, 1);
    EXPECT_EQ(PixelAt(*copy, 200, 5), BandActive);
    EXPECT_EQ(PixelAt(*copy, 1, 200), BorderActive);
    Through(p.CaptionCover.get(), WM_NCPAINT, 1);
    Through(p.CaptionCover.get(), WM_NULL);
    EXPECT_FALSE(watcher.Saw(WM_ERASEBKGND) || watcher.Saw(WM_NCPAINT));
    EXPECT_TRUE(watcher.Saw(WM_NULL));
    p.FreeCaptionCover();
}

// ------------------------------------------------------- the outline drag

vcl::TRect WindowRect(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

vcl::TRect Moved(const vcl::TRect &R, int X, int Y) { return {R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y}; }

TEST_F(FormPrepare, AnOutlineDragTakesTheFormWhereTheOutlineWasLeft) {
    PreparedForm f;
    const vcl::TRect start = WindowRect(f.Window());
    const vcl::THandleCounts before = vcl::LiveHandles();
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    EXPECT_EQ(vcl::LiveHandles().DCs, before.DCs + 1);  // the desktop's DC
    EXPECT_EQ(GetCapture(), f.Window());
    f.Provider->MoveOutlineDrag({170, 120});
    f.Provider->MoveOutlineDrag({180, 150});
    EXPECT_EQ(WindowRect(f.Window()), start);  // only the outline moves meanwhile
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()), Moved(start, 30, 40));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(vcl::LiveHandles(), before);

    // Resizing moves the dragged edges and keeps the form's minimum.
    const vcl::TRect moved = Moved(start, 30, 40);
    f.Provider->BeginOutlineDrag(HTBOTTOMRIGHT, {moved.Right, moved.Bottom});
    f.Provider->MoveOutlineDrag({moved.Right + 50, moved.Bottom + 20});
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()), (vcl::TRect{moved.Left, moved.Top, moved.Right + 50, moved.Bottom + 20}));
    f.Form.Form->Constraints()->MinWidth = 300;
    f.Provider->BeginOutlineDrag(HTLEFT, {moved.Left, moved.Top + 50});
    f.Provider->MoveOutlineDrag({moved.Right + 500, moved.Top + 80});  // far past the right edge
    f.Provider->EndOutlineDrag();
    EXPECT_EQ(WindowRect(f.Window()), (vcl::TRect{moved.Right + 50 - 300, moved.Top, moved.Right + 50, moved.Bottom + 20}));
}

TEST_F(FormPrepare, TheOutlineIsInvertedOnTheScreenAndPutBackAsItWas) {
    PreparedForm f;
    // A point of the outline's left edge once it is taken 500 pixels away,
    // over the bare desktop, and one beside it.
    const vcl::TRect start = WindowRect(f.Window());
    const vcl::TPoint edge{start.Left + 500, start.Top + 600};
    const vcl::TWindowDC screen;
    const auto at = [&](int X, int Y) { return GetPixel(screen.Get(), X, Y) & 0xFFFFFF; };
    const COLORREF desktop = at(edge.X, edge.Y), beside = at(edge.X + 1, edge.Y);
    f.Provider->BeginOutlineDrag(HTCAPTION, {0, 0});
    f.Provider->MoveOutlineDrag({500, 500});
    EXPECT_EQ(at(edge.X, edge.Y), desktop ^ 0xFFFFFF);
    EXPECT_EQ(at(edge.X + 1, edge.Y), beside);
    f.Provider->MoveOutlineDrag({0, 0});
    EXPECT_EQ(at(edge.X, edge.Y), desktop);
    f.Provider->EndOutlineDrag();
}

TEST_F(FormPrepare, ALostCaptureEndsTheDragAndGivesTheDesktopsDCBack) {
    PreparedForm f, other;
    const vcl::TRect start = WindowRect(f.Window());
    const LONG_PTR procedure = GetWindowLongPtrW(f.Window(), GWLP_WNDPROC);
    const vcl::THandleCounts before = vcl::LiveHandles();
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    EXPECT_NE(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), procedure);
    f.Provider->MoveOutlineDrag({160, 115});
    SetCapture(other.Window());  // another window takes the mouse
    EXPECT_FALSE(f.Provider->OutlineDrag.Active);
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), procedure);
    EXPECT_EQ(WindowRect(f.Window()), Moved(start, 10, 5));  // as a release would have left it
    ReleaseCapture();
    f.Provider->MoveOutlineDrag({400, 400});  // nothing after the end
    EXPECT_EQ(WindowRect(f.Window()), Moved(start, 10, 5));

    // A provider that goes in the middle of a drag gives everything back;
    // the DC of its own cache goes with it too, so that is left out.
    f.Provider->SkinData()->CacheBmp()->Canvas()->FreeHandle();
    const int withoutCache = vcl::LiveHandles().DCs;
    f.Provider->BeginOutlineDrag(HTCAPTION, {150, 110});
    delete f.Provider;
    EXPECT_EQ(GetWindowLongPtrW(f.Window(), GWLP_WNDPROC), procedure);
    EXPECT_EQ(vcl::LiveHandles().DCs, withoutCache);
    ReleaseCapture();
}

TEST_F(FormPrepare, HandlesReturnToTheirStartOverManyPreparations) {
    const LPARAM manager = reinterpret_cast<LPARAM>(Manager.get());
    const auto cycle = [manager] {
        PreparedForm f(vcl::bsSizeable, "Setup");
        f.Provider->InitSkin();
        f.Render(true);
        Command(f.Form.Form, SC_SKIN_REMOVED, manager);
        f.Provider->PrepareForm();
        f.Render(false);
    };
    cycle();  // the first life makes what lives on (window classes, system fonts)
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) cycle();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
