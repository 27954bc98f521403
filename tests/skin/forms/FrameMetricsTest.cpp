// The measures of a form's frame by border style, the caption icon's side,
// and the provider's small queries about its caption and cache.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "vcl/Bitmap.h"

namespace skin {
namespace {

using namespace skin::test;

using FrameMetrics = FormsFixture;

TEST_F(FrameMetrics, FollowTheBorderStyle) {
    const int sizing = GetSystemMetrics(SM_CXSIZEFRAME), fixed = GetSystemMetrics(SM_CXFIXEDFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION), small = GetSystemMetrics(SM_CYSMCAPTION);
    struct Case {
        vcl::TFormBorderStyle Style;
        int Border, Caption;
        bool Frame, Sizing, NormalCaption;
    };
    const Case cases[] = {
        {vcl::bsSizeable, sizing, caption, true, true, true},
        {vcl::bsSingle, fixed, caption, true, false, true},
        {vcl::bsDialog, fixed, caption, true, false, false},
        {vcl::bsToolWindow, fixed, small, true, false, false},
        {vcl::bsSizeToolWin, sizing, small, true, true, false},
        {vcl::bsNone, 0, 0, false, false, false},
    };
    for (const Case &c : cases) {
        TestForm form;
        form.Form->SetBorderStyle(c.Style);
        form.Form->SetBorderWidth(2);
        auto *p = vcl::Create<TsSkinProvider>(form.Form);
        form.Show();
        const HWND wnd = form.Form->Handle();
        EXPECT_EQ(GetBorderWidth(wnd), c.Border) << c.Style;
        EXPECT_EQ(GetNativeBorderWidth(wnd), c.Border) << c.Style;
        EXPECT_EQ(HasSizingFrame(wnd), c.Sizing) << c.Style;
        EXPECT_EQ(p->GetCaptionHeight(true), c.Caption) << c.Style;
        EXPECT_EQ(p->GetCaptionHeight(false), c.Caption) << c.Style;
        EXPECT_EQ(p->HasFrame(), c.Frame) << c.Style;
        EXPECT_EQ(p->NormalCaption(), c.NormalCaption) << c.Style;
        EXPECT_EQ(p->ShowsIcon(), c.NormalCaption) << c.Style;
        EXPECT_EQ(p->FrameLeft(true), c.Border + 2) << c.Style;
        EXPECT_EQ(WindowWidth(wnd) - ClientWidth(wnd), 2 * (c.Border + 2)) << c.Style;
        if (c.Style != vcl::bsNone) EXPECT_EQ(GetSysCaptionHeight(*form.Form), c.Caption) << c.Style;
    }
}

TEST_F(FrameMetrics, TheGripShowsOnlyOnASizeableFormThatIsNotMaximized) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    form.Show();
    EXPECT_FALSE(p->GripVisible());
    p->SetGripMode(gmRightBottom);
    EXPECT_TRUE(p->GripVisible());
    ShowWindow(form.Form->Handle(), SW_MAXIMIZE);
    EXPECT_FALSE(p->GripVisible());
    ShowWindow(form.Form->Handle(), SW_RESTORE);
    form.Form->SetBorderStyle(vcl::bsSingle);
    form.Show();
    EXPECT_FALSE(p->GripVisible());
}

TEST_F(FrameMetrics, CaptionIconSizeSteps) {
    struct Case {
        int Caption, Side;
    };
    for (const Case &c : {Case{-100, 1}, Case{0, 1}, Case{8, 1}, Case{9, 8}, Case{16, 8}, Case{17, 16}, Case{40, 16},
                          Case{-101, 16}})
        EXPECT_EQ(CaptionIconSize(c.Caption), c.Side) << c.Caption;
}

TEST_F(FrameMetrics, TheCaptionIconTakesTheCaptionsSizeUnlessTheTitleIconGivesOne) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    form.Show();
    const int side = CaptionIconSize(GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(p->TitleIconWidth(), side);
    EXPECT_EQ(p->TitleIconHeight(), side);
    p->TitleIcon()->SetWidth(24);
    EXPECT_EQ(p->TitleIconWidth(), 24);
    p->SetShowAppIcon(false);
    EXPECT_EQ(p->TitleIconWidth(), 0);
    EXPECT_EQ(p->TitleIconHeight(), 0);
}

TEST_F(FrameMetrics, MaskStatesAndTitleButtonWidths) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    const int close = Manager->FindMaskIndex("GLOBALINFO", "BICONCLOSE");
    ASSERT_GE(close, 0);
    EXPECT_TRUE(MaskHasOneState(-1, Manager.get()));
    EXPECT_EQ(MaskHasOneState(close, Manager.get()), Manager->Masks[static_cast<std::size_t>(close)].ImageCount == 1);
    EXPECT_FALSE(MaskHasOneState(100000, Manager.get()));

    // Without the skin's "TITLEBUTTON": 21 up to a glyph of 19, else the glyph + 2.
    auto *button = static_cast<TsTitleButton *>(p->TitleButtons()->Add());
    EXPECT_EQ(p->TitleButtonWidth(*button), 21);
    button->Glyph()->SetSize(19, 10);
    EXPECT_EQ(p->TitleButtonWidth(*button), 21);
    button->Glyph()->SetSize(20, 10);
    EXPECT_EQ(p->TitleButtonWidth(*button), 22);
    // An image of the skin as the title buttons' background sets the least width.
    p->TitleButtonMaskIndex = close;
    EXPECT_EQ(p->TitleButtonWidth(*button),
              std::max(22, GetMaskFrameWidth(Manager->Masks[static_cast<std::size_t>(close)])));
    TsCaptionButton none;
    EXPECT_EQ(p->BorderIconWidth(none), 21);
}

TEST_F(FrameMetrics, TheCacheIsStaleUntilItHasTheFormsSize) {
    TestForm form;
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    form.Show();
    EXPECT_EQ(p->CacheWidth(), form.Form->Width());
    EXPECT_TRUE(p->GetShadowMargins().IsEmpty());
    p->SkinData()->ShrinkCache();  // showing the form painted it
    EXPECT_TRUE(p->CacheStale());
    p->SkinData()->PrepareCache();
    vcl::TBitmap *cache = p->SkinData()->CacheBmp();
    ASSERT_TRUE(cache);
    cache->SetSize(form.Form->Width(), form.Form->Height());
    EXPECT_FALSE(p->CacheStale());
    cache->SetSize(form.Form->Width(), 1);
    EXPECT_TRUE(p->CacheStale());
}

} // namespace
} // namespace skin
