// The caption buttons of a skinned form: where they stand by the skin's
// values and the form's border style and icons, which hit-test code each
// point of the frame answers, the hot and pressed states painted at once
// into the cache and onto the window (exact pixels of a skin with one
// colour per state), the user buttons' glyphs, the glow of a hot button
// (and its id after the glows were cleared, and beside title-bar items),
// and the skin's caption heights.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CaptionTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/forms/vlTitleBar.h"
#include "skin/manager/vlGlow.h"

namespace skin {
namespace {

using namespace skin::test;

struct TitleButtons : CaptionFixture {
    CaptionForm C;
    TsSkinProvider *P = C.P;

    TsTitleButton *AddUserButton() { return static_cast<TsTitleButton *>(P->TitleButtons()->Add()); }
    int Border() const { return SystemFrameMetrics().SizingFrame; }
    int CaptionHeight() const { return SystemFrameMetrics().Caption; }
};

TEST_F(TitleButtons, StandFromTheRightWithTheSkinsSpacingAndGapsBeforeHelpAndUserButtons) {
    Manager->SkinData->BIRight = 3;
    Manager->SkinData->BISpace = 2;
    Manager->SkinData->BILeft = 5;
    C.F()->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize, vcl::biHelp});
    AddUserButton();
    AddUserButton();
    C.Show();

    const int centre = CaptionHeight() / 2 + Border() / 2;
    EXPECT_EQ(P->ButtonCenterY, centre);
    const auto expectAt = [&](const TsCaptionButton &B, int Right, int Width, const char *What) {
        EXPECT_EQ(B.Rect.Right, Right) << What;
        EXPECT_EQ(B.Rect.Left, Right - Width) << What;
        EXPECT_EQ(B.Rect.Top, centre - GlyphSize / 2) << What;
        EXPECT_EQ(B.Rect.Bottom, centre - GlyphSize / 2 + GlyphSize) << What;
    };
    expectAt(P->ButtonClose, C.F()->Width() - 3 - std::max(Border(), 4), GlyphSize, "close");
    expectAt(P->ButtonMax, P->ButtonClose.Rect.Left - 2, GlyphSize, "maximize");
    expectAt(P->ButtonMin, P->ButtonMax.Rect.Left - 2, GlyphSize, "minimize");
    expectAt(P->ButtonHelp, P->ButtonMin.Rect.Left - 2 - 6, GlyphSize, "help");
    TsCaptionButton &first = P->TitleButtons()->Items(0)->Data;
    TsCaptionButton &second = P->TitleButtons()->Items(1)->Data;
    expectAt(first, P->ButtonHelp.Rect.Left - 2 - 6, UserButtonWidth, "first user button");
    expectAt(second, first.Rect.Left - 2, UserButtonWidth, "second user button");
    EXPECT_EQ(first.HitCode, 1000);
    EXPECT_EQ(second.HitCode, 1001);
    EXPECT_EQ(first.ImageIndex, P->TitleButtonMaskIndex);
    EXPECT_EQ(P->ButtonMax.ImageIndex, TitleIcon(tiBigMax));
    EXPECT_EQ(P->ButtonMin.ImageIndex, TitleIcon(tiBigMin));

    // The caption icon at the left, centred on the same line.
    EXPECT_EQ(P->IconRect.Left, Border() + 5);
    EXPECT_EQ(P->IconRect.Width(), P->TitleIconWidth());
    EXPECT_EQ(P->IconRect.Top, centre - P->TitleIconHeight() / 2);
    EXPECT_EQ(P->CaptionBottom, Border() + CaptionHeight());

    // BIVALIGN 1 puts the system buttons at the caption's top; user buttons stay centred.
    Manager->SkinData->BIVAlign = 1;
    P->UpdateButtonsLayout();
    EXPECT_EQ(P->ButtonClose.Rect.Top, 0);
    EXPECT_EQ(P->ButtonHelp.Rect.Top, 0);
    EXPECT_EQ(first.Rect.Top, centre - GlyphSize / 2);
}

TEST_F(TitleButtons, ADialogHasCloseAndHelpOnlyWithoutSpacingAndNoIcon) {
    Manager->SkinData->BISpace = 2;
    C.F()->SetBorderStyle(vcl::bsDialog);
    C.F()->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize, vcl::biHelp});
    C.Show();
    const int border = SystemFrameMetrics().FixedFrame;
    EXPECT_EQ(P->ButtonClose.Rect.Right, C.F()->Width() - std::max(border, 4) + 2);
    EXPECT_TRUE(P->ButtonMax.Rect.IsEmpty());
    EXPECT_TRUE(P->ButtonMin.Rect.IsEmpty());
    EXPECT_EQ(P->ButtonHelp.Rect.Right, P->ButtonClose.Rect.Left - 6);  // no spacing, only the gap
    EXPECT_EQ(P->IconRect.Width(), 0);
    // The glyph's place on the screen answers its code; the icon's place is caption.
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonClose.Rect)), HTCLOSE);
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonHelp.Rect)), HTHELP);
    EXPECT_EQ(C.HitTest({border + 4, P->ButtonCenterY}), HTCAPTION);
}

TEST_F(TitleButtons, WithoutASystemMenuTheFirstUserButtonAnswersOneThousand) {
    C.F()->SetBorderIcons({});
    TsTitleButton *user = AddUserButton();
    C.Show();
    EXPECT_TRUE(P->ButtonClose.Rect.IsEmpty());
    EXPECT_TRUE(P->ButtonMax.Rect.IsEmpty());
    EXPECT_EQ(P->BorderIconCount(), 0);
    EXPECT_EQ(C.HitTest(C.Centre(user->Data.Rect)), 1000);
    EXPECT_EQ(user->Data.Rect.Right, C.F()->Width() - std::max(Border(), 4) - 6);
}

TEST_F(TitleButtons, EveryPartOfTheFrameAnswersItsCode) {
    C.F()->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize, vcl::biHelp});
    AddUserButton();
    C.Show();
    const int width = C.F()->Width(), height = C.F()->Height();
    const int middle = P->ButtonCenterY;
    struct Case {
        vcl::TPoint At;
        LRESULT Code;
        const char *What;
    };
    const std::vector<Case> cases{
        {C.Centre(P->ButtonClose.Rect), HTCLOSE, "close"},
        {C.Centre(P->ButtonMax.Rect), HTMAXBUTTON, "maximize"},
        {C.Centre(P->ButtonMin.Rect), HTMINBUTTON, "minimize"},
        {C.Centre(P->ButtonHelp.Rect), HTHELP, "help"},
        {C.Centre(P->TitleButtons()->Items(0)->Data.Rect), 1000, "user button"},
        {C.Centre(P->IconRect), HTSYSMENU, "icon"},
        {{width / 2, middle}, HTCAPTION, "caption"},
        {{width / 2, 1}, HTTOP, "top edge"},
        {{1, height / 2}, HTLEFT, "left edge"},
        {{width - 1, height / 2}, HTRIGHT, "right edge"},
        {{width / 2, height - 1}, HTBOTTOM, "bottom edge"},
        {{1, 1}, HTTOPLEFT, "top left"},
        {{width - 1, height - 1}, HTBOTTOMRIGHT, "bottom right"},
        {{width / 2, height / 2}, HTCLIENT, "client"},
    };
    for (const Case &c : cases) EXPECT_EQ(C.HitTest(c.At), c.Code) << c.What;

    // The provider's own answers, before the system decides the rest.
    const auto calc = [&](vcl::TPoint At) {
        return P->CalcHitTest(vcl::TMessage{WM_NCHITTEST, 0, C.ScreenAt(At), 0});
    };
    EXPECT_EQ(calc({width / 2, middle}), HTCAPTION);
    EXPECT_EQ(calc({width / 2, 1}), HTTOP);
    EXPECT_EQ(calc({width - 1, 1}), HTTOPRIGHT);
    EXPECT_EQ(calc({1, height - 1}), HTBOTTOMLEFT);
    EXPECT_EQ(calc({width / 2, height / 2}), HTCLIENT);
}

TEST_F(TitleButtons, ADisabledCloseAnswersCaptionAndCannotBePressed) {
    C.Show();
    EnableMenuItem(GetSystemMenu(C.Wnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonClose.Rect)), HTCAPTION);
    P->SetPressedButton(HTCLOSE);
    EXPECT_FALSE(FormsState().FormButtonPressed);
    EXPECT_EQ(P->CurrentButton, 0);
    EXPECT_EQ(P->ButtonClose.State, 0);
    EnableMenuItem(GetSystemMenu(C.Wnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonClose.Rect)), HTCLOSE);
}

TEST_F(TitleButtons, ADisabledUserButtonAnswersCaption) {
    TsTitleButton *user = AddUserButton();
    user->SetEnabled(false);
    C.Show();
    EXPECT_EQ(C.HitTest(C.Centre(user->Data.Rect)), HTCAPTION);
    user->SetVisible(false);
    C.Layout();
    EXPECT_TRUE(user->Data.Rect.IsEmpty());
}

TEST_F(TitleButtons, HelpBesideMinimizeWithoutMaximizeAnswersHelp) {
    C.F()->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biHelp});
    C.Show();
    ASSERT_TRUE(P->ButtonMax.Rect.IsEmpty());
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonMin.Rect)), HTMINBUTTON);
    EXPECT_EQ(C.HitTest(C.Centre(P->ButtonHelp.Rect)), HTHELP);
}

TEST_F(TitleButtons, ASizeGripAnswersBottomRightOverTheClientCorner) {
    C.Show();
    const vcl::TPoint corner{C.F()->Width() - Border() - 3, C.F()->Height() - Border() - 3};
    EXPECT_EQ(C.HitTest(corner), HTCLIENT);
    P->SetGripMode(gmRightBottom);
    EXPECT_EQ(C.HitTest(corner), HTBOTTOMRIGHT);
    // Left of the grip's image the client stays client.
    EXPECT_EQ(C.HitTest({corner.X - 12, corner.Y}), HTCLIENT);
}

TEST_F(TitleButtons, HotAndPressedStatesArePaintedIntoTheCacheAndOnTheWindow) {
    Manager->Effects()->AllowGlowing = false;  // painted at once, not faded
    C.Show();
    P->FormActive = 1;
    const HWND wnd = C.Wnd();
    const auto shows = [&](const TsCaptionButton &B, vcl::TColor Colour, const char *What) {
        EXPECT_EQ(CachePixel(P, Inside(B)), Colour) << What;
        EXPECT_EQ(ScreenPixel(wnd, Inside(B)), Colour) << What;
    };
    P->SetHotButton(HTCLOSE, true);
    EXPECT_EQ(P->CurrentButton, HTCLOSE);
    shows(P->ButtonClose, CloseColors.Hot, "close hot");
    P->SetPressedButton(HTCLOSE);
    EXPECT_TRUE(FormsState().FormButtonPressed);
    shows(P->ButtonClose, CloseColors.Pressed, "close pressed");
    // While a button is held no other becomes hot, though the mouse is tracked.
    P->SetHotButton(HTMAXBUTTON, true);
    EXPECT_EQ(P->CurrentButton, HTMAXBUTTON);
    shows(P->ButtonClose, CloseColors.Normal, "close left");
    EXPECT_EQ(CachePixel(P, Inside(P->ButtonMax)), MaxColors.Normal);
    FormsState().FormButtonPressed = false;
    P->SetHotButton(HTMINBUTTON, true);
    shows(P->ButtonMin, MinColors.Hot, "minimize hot");
    shows(P->ButtonMax, MaxColors.Normal, "maximize left");
    P->SetHotButton(0, true);
    shows(P->ButtonMin, MinColors.Normal, "minimize left");

    // An inactive form shows its normal state faded over what lies behind
    // (here black, or the caption the frame saved); a hot button is hot.
    P->FormActive = 0;
    const vcl::TBitmapView cache = P->SkinData()->CacheBmp()->View();
    for (int y = P->ButtonClose.Rect.Top; y < P->ButtonClose.Rect.Bottom; ++y)
        for (int x = P->ButtonClose.Rect.Left; x < P->ButtonClose.Rect.Right; ++x) cache.At(x, y) = 0xFF000000u;
    P->PaintButtonState(HTCLOSE);
    EXPECT_NE(CachePixel(P, Inside(P->ButtonClose)), CloseColors.Normal);
    P->SetHotButton(HTCLOSE, true);
    shows(P->ButtonClose, CloseColors.Hot, "hot while inactive");

    // A maximized form's maximize button shows the restore glyph.
    P->FormActive = 1;
    P->SetHotButton(0, true);
    ShowWindow(wnd, SW_MAXIMIZE);
    C.Layout();
    EXPECT_EQ(P->ButtonMax.ImageIndex, TitleIcon(tiBigNorm));
    P->SetHotButton(HTMAXBUTTON, true);
    shows(P->ButtonMax, NormColors.Hot, "restore hot");
}

TEST_F(TitleButtons, StatesOfUnknownCodesAndHiddenButtonsChangeNothing) {
    C.Show();
    P->SetHotButton(HTCLOSE, true);
    P->SetHotButton(1005, true);  // no such user button
    EXPECT_EQ(P->CurrentButton, HTCLOSE);
    EXPECT_EQ(P->ButtonClose.State, 1);
    P->SetPressedButton(777);
    EXPECT_FALSE(FormsState().FormButtonPressed);
    EXPECT_EQ(P->ButtonByCode(HTHELP), &P->ButtonHelp);
    EXPECT_EQ(P->ButtonByCode(HTCAPTION), nullptr);
    EXPECT_EQ(P->ButtonByCode(1000), nullptr);
    // A button whose state is -1 is never painted.
    P->SetHotButton(0, true);
    const vcl::TColor before = CachePixel(P, Inside(P->ButtonClose));
    P->ButtonClose.State = -1;
    P->PaintButtonState(HTCLOSE);
    EXPECT_EQ(CachePixel(P, Inside(P->ButtonClose)), before);
    P->ButtonClose.State = 0;
}

// A 7 x 7 glyph: its bottom-left colour everywhere but a 3 x 3 block in the middle.
std::unique_ptr<vcl::TBitmap> BlockGlyph(vcl::TColor Block) {
    auto glyph = std::make_unique<vcl::TBitmap>();
    glyph->SetPixelFormat(vcl::pf24bit);
    glyph->SetSize(7, 7);
    for (int y = 0; y < 7; ++y) {
        auto *row = static_cast<std::uint8_t *>(glyph->ScanLine(y));
        for (int x = 0; x < 7; ++x) {
            const vcl::TColor c = x >= 2 && x <= 4 && y >= 2 && y <= 4 ? Block : 0x00FFFF;
            row[x * 3] = static_cast<std::uint8_t>(c >> 16);
            row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
            row[x * 3 + 2] = static_cast<std::uint8_t>(c);
        }
    }
    return glyph;
}

TEST_F(TitleButtons, AUserButtonsGlyphIsCentredKeyedAndSinksWhenPressed) {
    Manager->Effects()->AllowGlowing = false;  // painted at once, not faded
    TsTitleButton *user = AddUserButton();
    user->SetGlyph(BlockGlyph(0x102030).get());
    C.Show();
    P->FormActive = 1;
    const vcl::TRect &r = user->Data.Rect;
    ASSERT_EQ(r.Width(), UserButtonWidth);  // wider than the glyph + 2: the skin's image
    const vcl::TPoint glyph{r.Left + (UserButtonWidth - 7) / 2, r.Top + (GlyphSize - 7) / 2};
    P->SetHotButton(1000, true);
    EXPECT_EQ(CachePixel(P, {glyph.X + 3, glyph.Y + 3}), 0x102030);
    EXPECT_EQ(CachePixel(P, {glyph.X + 2, glyph.Y + 2}), 0x102030);
    EXPECT_EQ(CachePixel(P, {glyph.X, glyph.Y}), UserColors.Hot);  // the key lets the image show
    P->SetPressedButton(1000);
    EXPECT_EQ(CachePixel(P, {glyph.X + 2, glyph.Y + 2}), UserColors.Pressed);
    EXPECT_EQ(CachePixel(P, {glyph.X + 5, glyph.Y + 5}), 0x102030);
    FormsState().FormButtonPressed = false;
    P->SetHotButton(0, true);

    // Beside title-bar items a press draws the whole caption again: the
    // glyph sinks all the same.
    auto *bar = vcl::Create<TsTitleBar>(C.F());
    bar->Items()->Add()->SetCaption("Item");
    P->SetTitleBar(bar);
    P->SkinData()->BGChanged = true;
    ASSERT_TRUE(P->RenderFrame());
    ASSERT_TRUE(P->ItemsShown());
    const vcl::TPoint beside{r.Left + (UserButtonWidth - 7) / 2, r.Top + (GlyphSize - 7) / 2};
    P->SetPressedButton(1000);
    EXPECT_EQ(CachePixel(P, {beside.X + 2, beside.Y + 2}), UserColors.Pressed);
    EXPECT_EQ(CachePixel(P, {beside.X + 5, beside.Y + 5}), 0x102030);
    FormsState().FormButtonPressed = false;
    P->SetHotButton(0, true);
    P->SetTitleBar(nullptr);

    // Without the skin's image only the glyph is drawn.
    user->SetUseSkinData(false);
    user->Data.State = 0;
    C.Layout();
    EXPECT_EQ(user->Data.ImageIndex, -1);
    EXPECT_EQ(user->Data.Rect.Width(), UserButtonWidth);  // glyph + 2 is below 22
}

TEST_F(TitleButtons, A32BitGlyphBlendsByItsAlpha) {
    Manager->Effects()->AllowGlowing = false;  // painted at once, not faded
    TsTitleButton *user = AddUserButton();
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf32bit);
    glyph.SetSize(7, 7);
    const vcl::TBitmapView v = glyph.View();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) v.At(x, y) = x >= 2 && x <= 4 && y >= 2 && y <= 4 ? 0xFF603010u : 0x00000000u;
    user->SetGlyph(&glyph);
    C.Show();
    P->FormActive = 1;
    P->SetHotButton(1000, true);
    const vcl::TRect &r = user->Data.Rect;
    const vcl::TPoint at{r.Left + (UserButtonWidth - 7) / 2, r.Top + (GlyphSize - 7) / 2};
    EXPECT_EQ(CachePixel(P, at), UserColors.Hot);  // transparent
    const vcl::TColor middle = CachePixel(P, {at.X + 3, at.Y + 3});
    EXPECT_NEAR(middle & 0xFF, 0x60, 1);  // red
    EXPECT_NEAR((middle >> 8) & 0xFF, 0x30, 1);
    EXPECT_NEAR((middle >> 16) & 0xFF, 0x10, 1);
}

struct GlowWatch : TvlGlowService {
    std::vector<std::string> Shown;
    vcl::TRect Rect{};
    int Margin = -1;
    int Hidden = 0;
    int ShowGlow(const vcl::TRect &R, const std::string &Section, const std::string &BaseName, TsCommonData &, HWND,
                 std::uint8_t Alpha, int M) override {
        Shown.push_back(Section + " " + BaseName + " " + std::to_string(Alpha));
        Rect = R;
        Margin = M;
        return 7;
    }
    void HideGlow(int &GlowID, bool) override {
        if (GlowID >= 0) ++Hidden;
        GlowID = -1;
    }
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override {}
};

TEST_F(TitleButtons, AHotButtonGlowsOnlyWhereTheSkinGivesItAGlow) {
    GlowWatch glows;
    TvlServiceRegistration<TvlGlowService> registration(glows);
    C.Show();
    P->SetHotButton(HTCLOSE, true);
    P->SetHotButton(0, true);
    EXPECT_TRUE(glows.Shown.empty());

    Manager->SkinData->BIconCloseGlow = 1;
    Manager->SkinData->BIconCloseGlowMargin = 3;
    P->SetHotButton(HTCLOSE, true);
    ASSERT_EQ(glows.Shown, std::vector<std::string>{"GLOBALINFO BICONCLOSEGLOW 255"});
    EXPECT_EQ(P->ButtonClose.GlowID, 7);
    EXPECT_EQ(glows.Margin, 3);
    RECT w{};
    GetWindowRect(C.Wnd(), &w);
    const vcl::TRect &r = P->ButtonClose.Rect;
    EXPECT_EQ(glows.Rect, (vcl::TRect{w.left + r.Left, w.top + r.Top, w.left + r.Right, w.top + r.Bottom}));
    P->SetHotButton(HTMAXBUTTON, true);  // the skin gives maximize none
    EXPECT_EQ(glows.Hidden, 1);
    EXPECT_EQ(P->ButtonClose.GlowID, -1);
    EXPECT_EQ(glows.Shown.size(), 1u);
    Manager->Effects()->AllowGlowing = false;
    P->SetHotButton(HTCLOSE, true);
    EXPECT_EQ(glows.Shown.size(), 1u);
}

// Title-bar items beside the buttons: the whole caption is drawn again for
// a button's new look, and the button still fades and glows.
TEST_F(TitleButtons, WithTitleBarItemsShownAButtonStillFadesAndGlows) {
    GlowWatch glows;
    TvlServiceRegistration<TvlGlowService> registration(glows);
    Manager->SkinData->BIconCloseGlow = 1;
    auto *bar = vcl::Create<TsTitleBar>(C.F());
    bar->Items()->Add()->SetCaption("Item");
    P->SetTitleBar(bar);
    C.Show();
    P->FormActive = 1;
    ASSERT_TRUE(P->ButtonFades(HTCLOSE));
    P->SetHotButton(HTCLOSE, true);
    EXPECT_NE(P->ButtonClose.Timer, nullptr);
    EXPECT_EQ(glows.Shown, std::vector<std::string>{"GLOBALINFO BICONCLOSEGLOW 255"});
    EXPECT_EQ(CachePixel(P, Inside(P->ButtonClose)), CloseColors.Normal);  // under its layer
    P->SetHotButton(0, true);
}

// Activation and moves clear every glow of the process; the id a button
// kept from before must not name the glow another form's button shows next.
TEST_F(TitleButtons, AGlowIdKeptOverAClearHidesNoOtherFormsGlow) {
    TestSkin skin;
    skin.Options = CaptionOptions();
    skin.Options.insert(skin.Options.find("[FORM]"), "BICONCLOSEGLOW0=@0045,0030,0055,0040,1,0\r\n");
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    AddStoredSkin(*Manager, "Glowing", skin.Packed());
    Manager->SetSkinName("Glowing");
    Manager->SkinData->BIconCloseGlow = 1;
    CaptionForm other;
    other.F()->SetLeft(C.F()->Left() + 40);
    C.Show();
    other.Show();
    P->SetHotButton(HTCLOSE, true);
    ASSERT_NE(GlowOf(P->ButtonClose.GlowID), nullptr);

    GlowService().ClearGlows(true);
    other.P->SetHotButton(HTCLOSE, true);
    const int shown = other.P->ButtonClose.GlowID;
    ASSERT_NE(GlowOf(shown), nullptr);
    P->SetHotButton(0, true);  // the first button's glow is hidden by its old id
    EXPECT_NE(GlowOf(shown), nullptr);
    EXPECT_EQ(other.P->ButtonClose.GlowID, shown);
    other.P->SetHotButton(0, true);
    EXPECT_EQ(GlowOf(shown), nullptr);
}

TEST_F(TitleButtons, TitleHeightsComeFromTheSkinAndTheExcessOverTheNativeCaption) {
    Manager->SkinData->TitleHeight = 20;
    Manager->SkinData->MaxHeight = 40;
    C.Show();
    EXPECT_EQ(P->GetTitleHeight(false), 20);
    EXPECT_EQ(P->GetTitleHeight(true), 40);
    EXPECT_EQ(P->GetTitleHeight(), 20);
    EXPECT_EQ(P->TitleExcess(false), 0);  // never below 0
    EXPECT_EQ(P->TitleExcess(true), 40 - (CaptionHeight() + 4));
    ShowWindow(C.Wnd(), SW_MAXIMIZE);
    EXPECT_EQ(P->GetTitleHeight(false), 40);  // a maximized form has the maximized height
    EXPECT_EQ(P->GetButtonsTop(), 6);
    ShowWindow(C.Wnd(), SW_RESTORE);
    EXPECT_EQ(P->GetButtonsTop(), 0);
}

} // namespace
} // namespace skin
