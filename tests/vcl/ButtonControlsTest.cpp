// The button controls of the class library: check boxes and radio buttons
// keep their state across a new window and follow clicks, the up-down keeps
// its position in range, the glyph buttons keep their strips' frame counts,
// and a speed button is down while held or while Down is set.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "vcl/Buttons.h"
#include "vcl/CheckBoxes.h"
#include "vcl/Forms.h"
#include "vcl/UpDown.h"

namespace vcl {
namespace {

struct ClickCount {
    int Count = 0;
    void Clicked(TObject *) { ++Count; }
};

struct ButtonControls : ::testing::Test {
    std::unique_ptr<TForm> Form{Create<TForm>(Application, CreateNew)};
    template <class C> C *Add() {
        C *c = Create<C>(Form.get());
        c->SetParent(Form.get());
        return c;
    }
    void Click(TWinControl *Control) {
        SendMessageW(Control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(Control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        Application->ProcessMessages();
    }
};

TEST_F(ButtonControls, CheckBoxStateSurvivesANewWindowAndClicksCycleThroughGrayed) {
    auto *box = Add<TCheckBox>();
    ClickCount clicks;
    box->OnClick = TNotifyEvent::Bind<&ClickCount::Clicked>(&clicks);
    box->SetChecked(true);  // before the window: kept until it exists
    Form->Show();
    EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    box->SetAllowGrayed(true);  // a new window of the three-state kind
    EXPECT_EQ(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & 0xF, BS_AUTO3STATE);
    EXPECT_EQ(box->State(), cbChecked);
    Click(box);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(clicks.Count, 1);
    Click(box);
    EXPECT_EQ(box->State(), cbUnchecked);
    box->SetAlignment(taLeftJustify);
    EXPECT_TRUE(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & BS_LEFTTEXT);
    EXPECT_EQ(box->State(), cbUnchecked);
}

TEST_F(ButtonControls, RadioButtonClearsItsCheckedSiblings) {
    auto *a = Add<TRadioButton>();
    auto *b = Add<TRadioButton>();
    b->SetTop(30);
    a->SetChecked(true);
    Form->Show();
    EXPECT_TRUE(a->Checked());
    b->SetChecked(true);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    Click(a);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
}

TEST_F(ButtonControls, UpDownKeepsItsPositionInRangeAndItsOrientation) {
    auto *spin = Add<TUpDown>();
    spin->SetMax(5);
    spin->SetPosition(9);
    EXPECT_EQ(spin->Position(), 5);
    Form->Show();
    EXPECT_EQ(SendMessageW(spin->Handle(), UDM_GETPOS32, 0, 0), 5);
    spin->SetMin(-3);
    spin->SetPosition(-7);
    EXPECT_EQ(spin->Position(), -3);
    spin->SetOrientation(udHorizontal);
    EXPECT_TRUE(GetWindowLongPtrW(spin->Handle(), GWL_STYLE) & UDS_HORZ);
    EXPECT_EQ(spin->Position(), -3);
}

TEST_F(ButtonControls, GlyphButtonsClampTheirFramesAndSpeedButtonsReportTheirState) {
    auto *bit = Add<TBitBtn>();
    bit->SetNumGlyphs(7);
    EXPECT_EQ(bit->NumGlyphs(), 4);
    bit->SetNumGlyphs(0);
    EXPECT_EQ(bit->NumGlyphs(), 1);
    bit->SetMargin(-5);
    EXPECT_EQ(bit->Margin(), -1);

    auto *speed = Add<TSpeedButton>();
    ClickCount clicks;
    speed->OnClick = TNotifyEvent::Bind<&ClickCount::Clicked>(&clicks);
    Form->Show();
    EXPECT_EQ(speed->State(), bsUp);
    speed->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(speed->State(), bsDown);
    speed->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(speed->State(), bsUp);
    EXPECT_EQ(clicks.Count, 1);
    speed->SetDown(true);
    EXPECT_EQ(speed->State(), bsExclusive);
    speed->SetEnabled(false);
    EXPECT_EQ(speed->State(), bsDisabled);
}

} // namespace
} // namespace vcl
