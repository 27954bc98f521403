// The check-box adapter on class-library check boxes and radio buttons and
// on bare "Button" windows: the glyph of the check state and the glyph
// state (hover by the real cursor, the space bar held), the caption beside
// it, the owner-drawn box left alone, the clicks still toggling the box.
#include <gtest/gtest.h>

#include "ButtonFamilyTestSupport.h"
#include "skin/adapters/vlCheckBoxWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/CheckBoxes.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct Clicks {
    int Count = 0;
    void Clicked(vcl::TObject *) { ++Count; }
};

class CheckBoxAdapter : public ButtonFamilyFixture {
protected:
    CheckBoxAdapter() {
        Form.Form->SetBounds(100, 100, 400, 300);
        Other = Form.Add(vcl::Create<vcl::TCheckBox>(Form.Form), 10, 200);
        Box = Form.Add(vcl::Create<vcl::TCheckBox>(Form.Form), 20, 20);
        Box->SetBounds(20, 20, 160, 24);
        Box->SetCaption("Souhlas");
        Box->OnClick = vcl::TNotifyEvent::Bind<&Clicks::Clicked>(&Clicked);
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpCheckBox, Box->Handle(), ParamsFor(Box), Manager.get());
        Check = dynamic_cast<TvlCheckBoxWnd *>(Adapter.get());
        EXPECT_TRUE(uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s));
        Other->SetFocus();
        Redraw();
    }
    HWND Window() const { return Box->WindowHandle(); }
    void Redraw() { RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }
    uitest::TImage32 Shot() { return uitest::CaptureWindow(Window()); }
    // The glyph's colour on the screen, at the middle of its rectangle.
    vcl::TColor GlyphColor() {
        const vcl::TRect g = Check->GlyphRect();
        return ScreenColor(Window(), (g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2);
    }

    TestForm Form;
    Clicks Clicked;
    vcl::TCheckBox *Other;
    vcl::TCheckBox *Box;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlCheckBoxWnd *Check = nullptr;
};

TEST_F(CheckBoxAdapter, FactoryGivesTheKindItsAdapterWithTheCheckBoxSection) {
    ASSERT_NE(Check, nullptr);
    EXPECT_EQ(Check->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_EQ(Check->SkinData->ControlKind, 32);
    EXPECT_EQ(SendSkinCommand(Window(), SC_IS_HANDLED, 0), 1);
    EXPECT_FALSE(Check->OwnerDrawn);
}

TEST_F(CheckBoxAdapter, GlyphFollowsTheCheckStateAndTheCaptionStandsBesideIt) {
    const vcl::TRect g = Check->GlyphRect();
    EXPECT_EQ(g, (vcl::TRect{0, (24 - GlyphSize) / 2, GlyphSize, (24 - GlyphSize) / 2 + GlyphSize}));
    EXPECT_EQ(GlyphColor(), GlyphColors[0][0]);
    EXPECT_EQ(ScreenColor(Window(), 150, 2), BoxFace);
    SendMessageW(Window(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(GlyphColor(), GlyphColors[1][0]);
    EXPECT_TRUE(Box->Checked());
    SendMessageW(Window(), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(GlyphColor(), GlyphColors[0][0]);

    // The caption starts 4 px right of the glyph box, in the font colour.
    const InkBox text = FindInk(Shot(), [](vcl::TColor c) { return c == BoxText; });
    ASSERT_FALSE(text.Empty());
    EXPECT_GE(text.Left, GlyphSize + 4);
    EXPECT_LE(text.Left, GlyphSize + 6);
    EXPECT_EQ(CountColor(Shot(), BoxHotText), 0);
}

TEST_F(CheckBoxAdapter, RealCursorMakesGlyphAndFaceHotAndLeavingMakesThemNormal) {
    const POINT p = ScreenPoint(Window(), 60, 12);
    SetCursorPos(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][1]; }));
    EXPECT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 150, 2) == BoxHotFace; }));
    EXPECT_GT(CountColor(Shot(), BoxHotText), 5);
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][0]; }));
    EXPECT_TRUE(PumpUntil([&] { return ScreenColor(Window(), 150, 2) == BoxFace; }));
}

TEST_F(CheckBoxAdapter, SpaceBarShowsThePressedGlyphAndItsReleaseTogglesTheBoxOnce) {
    Box->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][1]; }));  // focused: hot glyph
    Key(VK_SPACE, false);
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][2]; }));
    EXPECT_EQ(Clicked.Count, 0);
    Key(VK_SPACE, true);
    ASSERT_TRUE(PumpUntil([&] { return Clicked.Count == 1 && GlyphColor() == GlyphColors[1][1]; }));
    EXPECT_TRUE(Box->Checked());
}

TEST_F(CheckBoxAdapter, MouseClickReachesTheBoxAndThreeStatesShowTheGrayedGlyph) {
    const POINT p = ScreenPoint(Window(), 5, 12);
    SetCursorPos(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][1]; }));
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return GlyphColor() == GlyphColors[0][2]; }));
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Clicked.Count == 1 && GlyphColor() == GlyphColors[1][1]; }));
    EXPECT_EQ(Box->State(), vcl::cbChecked);
}

TEST_F(CheckBoxAdapter, TextOnTheLeftPutsTheGlyphAtTheRightEdge) {
    Adapter.reset();
    Box->SetAlignment(vcl::taLeftJustify);  // a new window
    Adapter = AdapterFactory().CreateAdapter(tpCheckBox, Box->Handle(), ParamsFor(Box), Manager.get());
    Check = dynamic_cast<TvlCheckBoxWnd *>(Adapter.get());
    Redraw();
    EXPECT_EQ(Check->GlyphRect().Left, 160 - GlyphSize);
    EXPECT_EQ(ScreenColor(Window(), 160 - GlyphSize / 2, 12), GlyphColors[0][0]);
    const InkBox text = FindInk(Shot(), [](vcl::TColor c) { return c == BoxText; });
    ASSERT_FALSE(text.Empty());
    EXPECT_GE(text.Left, 2);
    EXPECT_LE(text.Left, 4);
}

TEST_F(CheckBoxAdapter, DisabledBoxFadesTowardWhatLiesBehind) {
    Box->SetEnabled(false);
    vcl::Application->ProcessMessages();
    // Each channel 0.4 of the way from the skin's main colour behind to the face.
    vcl::TColor faded = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        faded |= static_cast<vcl::TColor>(std::lround(((BoxFace >> shift & 0xFF) - 0xE0) * 0.4 + 0xE0)) << shift;
    EXPECT_EQ(ScreenColor(Window(), 150, 2), faded);
    Box->SetEnabled(true);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(ScreenColor(Window(), 150, 2), BoxFace);
}

// A bare parent and its buttons, for the dialog-style windows.
struct BareBoxes {
    HWND Parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 300, 300, 320, 160, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    HWND Add(const wchar_t *Text, DWORD Type, int Y) {
        return CreateWindowExW(0, L"BUTTON", Text, WS_CHILD | WS_VISIBLE | Type, 10, Y, 200, 24, Parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    ~BareBoxes() { DestroyWindow(Parent); }
};

TEST_F(CheckBoxAdapter, RadioButtonsTakeTheRadioImagesAndOwnerDrawnBoxesKeepTheirPainting) {
    EXPECT_TRUE(IsRadioStyle(BS_RADIOBUTTON));
    EXPECT_TRUE(IsRadioStyle(BS_AUTORADIOBUTTON | BS_LEFTTEXT));
    EXPECT_TRUE(IsRadioStyle(12));
    for (LONG_PTR type : {BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE, BS_GROUPBOX, BS_OWNERDRAW})
        EXPECT_FALSE(IsRadioStyle(type)) << type;

    BareBoxes boxes;
    const HWND radio = boxes.Add(L"Volba", BS_AUTORADIOBUTTON, 10);
    const HWND owner = boxes.Add(L"Own", BS_OWNERDRAW, 50);
    const HWND three = boxes.Add(L"Three", BS_AUTO3STATE, 90);
    auto threeAdapter = NewAdapter<TvlCheckBoxWnd>(three, nullptr, Manager.get(), ParamsFor(nullptr));
    SendMessageW(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(threeAdapter->CheckState(), 2);
    EXPECT_EQ(ScreenColor(three, GlyphSize / 2, 12), GlyphColors[2][0]);
    auto radioAdapter = NewAdapter<TvlCheckBoxWnd>(radio, nullptr, Manager.get(), ParamsFor(nullptr));
    auto ownerAdapter = NewAdapter<TvlCheckBoxWnd>(owner, nullptr, Manager.get(), ParamsFor(nullptr));
    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    RedrawWindow(radio, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(radioAdapter->CheckGlyphIndex(), Manager->CommonElements.RadioGlyphs[1]);
    EXPECT_EQ(ScreenColor(radio, GlyphSize / 2, 12), GlyphColors[4][0]);
    SendMessageW(radio, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(ScreenColor(radio, GlyphSize / 2, 12), GlyphColors[3][0]);

    EXPECT_TRUE(ownerAdapter->OwnerDrawn);
    // Its picture is its parent's business: the adapter never paints one.
    const uitest::TImage32 before = uitest::CaptureWindow(owner);
    SendMessageW(owner, WM_PAINT, 0, 0);
    EXPECT_EQ(CountColor(uitest::CaptureWindow(owner), BoxFace), CountColor(before, BoxFace));
    EXPECT_EQ(CountColor(before, BoxFace), 0);
}

// A bare box (a system dialog's) under the real cursor: its glyph turns hot
// with the manager's hot window, its face stays normal (without a control
// it is never the active one).
TEST_F(CheckBoxAdapter, BareBoxUnderTheCursorShowsAHotGlyphOverItsNormalFace) {
    BareBoxes boxes;
    const HWND bare = boxes.Add(L"Bare", BS_AUTOCHECKBOX, 10);
    auto adapter = NewAdapter<TvlCheckBoxWnd>(bare, nullptr, Manager.get(), ParamsFor(nullptr));
    RedrawWindow(bare, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const POINT p = ScreenPoint(bare, 60, 12);
    SetCursorPos(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return ScreenColor(bare, GlyphSize / 2, 12) == GlyphColors[0][1]; }));
    EXPECT_TRUE(adapter->SkinData->MouseInside);
    EXPECT_EQ(ScreenColor(bare, 190, 2), BoxFace);
    SetCursorPos(5, 5);
    EXPECT_TRUE(PumpUntil([&] { return ScreenColor(bare, GlyphSize / 2, 12) == GlyphColors[0][0]; }));
}

TEST_F(CheckBoxAdapter, WithoutSkinGlyphsTheCaptionStartsAtTwenty) {
    Adapter.reset();
    Manager.reset();  // the first manager made is the default one
    Manager = ButtonFamilyManager(false);
    Adapter = AdapterFactory().CreateAdapter(tpCheckBox, Box->Handle(), ParamsFor(Box), Manager.get());
    Check = dynamic_cast<TvlCheckBoxWnd *>(Adapter.get());
    Redraw();
    EXPECT_TRUE(Check->GlyphRect().IsEmpty());
    EXPECT_EQ(Check->GlyphBox(), (vcl::TSize{16, 16}));
    const InkBox text = FindInk(Shot(), [](vcl::TColor c) { return c == BoxText; });
    ASSERT_FALSE(text.Empty());
    EXPECT_GE(text.Left, 20);
    EXPECT_LE(text.Left, 22);
}

TEST_F(CheckBoxAdapter, HandleCountsStayFlatOverManyBoxes) {
    ExpectFlatCountsOver1000([&] {
        auto *box = Form.Add(vcl::Create<vcl::TCheckBox>(Form.Form), 200, 20);
        box->SetCaption("Box");
        auto adapter = AdapterFactory().CreateAdapter(tpCheckBox, box->Handle(), ParamsFor(box), Manager.get());
        SendMessageW(box->WindowHandle(), BM_SETCHECK, BST_CHECKED, 0);
        RedrawWindow(box->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        delete box;
        adapter.reset();
    });
}

} // namespace
} // namespace skin
