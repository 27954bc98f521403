// The bit-button adapter (a TBitBtn's glyph laid out with its caption in
// each layout, a plain button with a bitmap) and the speed-button handler
// that a form's control adapter gives a TSpeedButton: faces by state with
// the real mouse, the glyph and caption shift, the click reaching the
// button, and the button freed under its handler.
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <typeinfo>

#include "ButtonFamilyTestSupport.h"
#include "skin/adapters/vlBitBtnWnd.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/adapters/vlSpeedButton.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vlCtrlAdapter.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sManagerOptions.h"
#include "vcl/Buttons.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

constexpr vcl::TColor GlyphInk = 0xC00000;  // blue, as the screen reads it

// A 24-bit strip of Frames 16 x 16 frames in blue, as glyph files are;
// the white bottom-left pixel is the key.
std::unique_ptr<vcl::TBitmap> GlyphStrip(int Frames) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf24bit);
    b->SetSize(16 * Frames, 16);
    for (int y = 0; y < 16; ++y) {
        auto *row = static_cast<std::uint8_t *>(b->ScanLine(y));
        for (int x = 0; x < 16 * Frames; ++x) {
            const bool key = x % 16 == 0 && y == 15;
            row[x * 3] = key ? 0xFF : 0xC0;
            row[x * 3 + 1] = row[x * 3 + 2] = key ? 0xFF : 0x00;
        }
    }
    return b;
}

// A 32-bit strip of 16 x 16 frames, opaque, frame i in Colors[i].
std::unique_ptr<vcl::TBitmap> AlphaStrip(std::initializer_list<vcl::TColor> Colors) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf32bit);
    const int frames = static_cast<int>(Colors.size());
    b->SetSize(16 * frames, 16);
    for (int y = 0; y < 16; ++y) {
        auto *row = static_cast<std::uint32_t *>(b->ScanLine(y));
        for (int x = 0; x < 16 * frames; ++x) {
            const auto c = static_cast<std::uint32_t>(*(Colors.begin() + x / 16));
            row[x] = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        }
    }
    return b;
}

// Each channel within 1 (an opaque glyph blended at alpha 255 may lose one).
bool Near(vcl::TColor A, vcl::TColor B) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(A >> shift & 0xFF) - static_cast<int>(B >> shift & 0xFF)) > 1) return false;
    return true;
}
bool IsGrey(vcl::TColor C) { return Near(C, (C & 0xFF) * 0x010101); }

vcl::TRect Moved(const vcl::TRect &R) { return {R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1}; }

// 4-pixel squares of two colours drawn pixel by pixel as a program would, so
// the bitmap has the screen's format; the bottom-left square (the strip's
// see-through colour) is in Clear.
std::unique_ptr<vcl::TBitmap> ScreenFormatGlyph(vcl::TColor Ink, vcl::TColor Clear) {
    auto glyph = std::make_unique<vcl::TBitmap>();
    glyph->SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            SetPixel(glyph->Canvas()->Handle(), x, y, static_cast<COLORREF>((x / 4 + y / 4) % 2 ? Clear : Ink));
    glyph->Canvas()->FreeHandle();
    return glyph;
}

struct Clicks {
    int Count = 0;
    void Clicked(vcl::TObject *) { ++Count; }
};

class BitBtnAdapter : public ButtonFamilyFixture {
protected:
    BitBtnAdapter() {
        Button = Form.Add(vcl::Create<vcl::TBitBtn>(Form.Form), 20, 20);
        Button->SetBounds(20, 20, 160, 60);
        Button->SetCaption("Tisk");
        Button->SetGlyph(GlyphStrip(1).get());
        Form.Show();
        Adapter = AdapterFactory().CreateAdapter(tpBitBtn, Button->Handle(), ParamsFor(Button), Manager.get());
        Bit = dynamic_cast<TvlBitBtnWnd *>(Adapter.get());
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    HWND Window() const { return Button->WindowHandle(); }
    void Redraw() { RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

    TestForm Form;
    vcl::TBitBtn *Button;
    std::unique_ptr<TvlWindowAdapter> Adapter;
    TvlBitBtnWnd *Bit = nullptr;
};

TEST_F(BitBtnAdapter, GlyphIsPaintedWhereEachLayoutPutsIt) {
    ASSERT_NE(Bit, nullptr);
    const vcl::TSize text = MeasureButtonCaption(*Bit);
    for (auto layout : {vcl::blGlyphLeft, vcl::blGlyphRight, vcl::blGlyphTop, vcl::blGlyphBottom}) {
        Button->SetLayout(layout);
        Redraw();
        const vcl::TRect g = Bit->GlyphRect();
        const int s = 4, x0 = (160 - 16 - text.cx - s) / 2, y0 = (60 - 16 - text.cy - s) / 2;
        const vcl::TPoint expected = layout == vcl::blGlyphLeft    ? vcl::TPoint{x0, 22}
                                     : layout == vcl::blGlyphRight ? vcl::TPoint{(160 - 16 + s + text.cx) / 2, 22}
                                     : layout == vcl::blGlyphTop   ? vcl::TPoint{73, y0}
                                                                   : vcl::TPoint{73, 60 - y0 - 16};
        EXPECT_EQ(g, (vcl::TRect{expected.X, expected.Y, expected.X + 16, expected.Y + 16})) << layout;
        const uitest::TImage32 image = uitest::CaptureWindow(Window());
        EXPECT_EQ(ColorAt(image, g.Left + 8, g.Top + 8), GlyphInk) << layout;
        // The caption does not overlap the glyph.
        const vcl::TRect c = Bit->CaptionRect();
        vcl::TRect common{};
        EXPECT_FALSE(IntersectRect(reinterpret_cast<RECT *>(&common), reinterpret_cast<const RECT *>(&g),
                                   reinterpret_cast<const RECT *>(&c)))
            << layout;
    }
}

TEST_F(BitBtnAdapter, GlyphInTheScreensFormatIsPaintedAsAnOpaqueStrip) {
    ASSERT_NE(Bit, nullptr);
    constexpr vcl::TColor Ink = 0x20C040, Clear = 0x8080F0;
    const std::unique_ptr<vcl::TBitmap> glyph = ScreenFormatGlyph(Ink, Clear);
    ASSERT_EQ(glyph->PixelFormat(), vcl::pfDevice);
    Button->SetGlyph(glyph.get());
    Redraw();
    const vcl::TRect g = Bit->GlyphRect();
    const uitest::TImage32 image = uitest::CaptureWindow(Window());
    EXPECT_EQ(ColorAt(image, g.Left + 1, g.Top + 1), Ink);
    EXPECT_EQ(ColorAt(image, g.Left + 5, g.Top + 5), Ink);
    // The see-through squares show the face, not the glyph's key colour.
    EXPECT_NE(ColorAt(image, g.Left + 5, g.Top + 1), Clear);
}

TEST_F(BitBtnAdapter, StripsMarginsAndTheDefaultStateFollowTheButton) {
    Button->SetGlyph(GlyphStrip(4).get());
    Button->SetNumGlyphs(4);
    EXPECT_EQ(Bit->GlyphSize(), (vcl::TSize{16, 16}));
    // Margin -1 gives the caption the two pixels it takes away elsewhere.
    EXPECT_EQ(Bit->MaxTextWidth(), 160 + 2 - 16 - 4);
    Button->SetMargin(3);
    EXPECT_EQ(Bit->MaxTextWidth(), 160 - 6 - 16 - 4);
    Button->SetLayout(vcl::blGlyphTop);
    EXPECT_EQ(Bit->MaxTextWidth(), 160 - 6);
    Button->SetCaption("");
    EXPECT_EQ(Bit->MaxTextWidth(), 0);

    // A default button with no focus anywhere: state 3, painted as 1 in a
    // section of three states.
    Button->SetDefault(true);
    SetFocus(nullptr);
    EXPECT_EQ(Bit->CurrentState(), 3);
    EXPECT_EQ(Bit->PaintedState(), 1);
    Button->SetDefault(false);
    EXPECT_EQ(Bit->CurrentState(), 0);
}

// The glyph's frame follows the state the button is in (a default button
// with no focus anywhere: the fourth), and the glyph turns grey while the
// manager asks discoloured glyphs.
TEST_F(BitBtnAdapter, GlyphTakesTheButtonsStateAndTheManagersGreyLook) {
    ASSERT_NE(Bit, nullptr);
    constexpr vcl::TColor Frames[] = {0x2040C0, 0x20C040, 0xC04020, 0xC020C0};
    Button->SetGlyph(AlphaStrip({Frames[0], Frames[1], Frames[2], Frames[3]}).get());
    Button->SetNumGlyphs(4);
    const auto glyphCentre = [&] {
        Redraw();
        const vcl::TRect g = Bit->GlyphRect();
        return ColorAt(uitest::CaptureWindow(Window()), g.Left + 8, g.Top + 8);
    };
    Button->SetDefault(true);
    SetFocus(nullptr);
    ASSERT_EQ(Bit->CurrentState(), 3);
    EXPECT_TRUE(Near(glyphCentre(), Frames[3]));
    Button->SetDefault(false);
    const vcl::TColor normal = glyphCentre();
    EXPECT_TRUE(Near(normal, Frames[0])) << std::hex << normal;
    Manager->Effects()->SetDiscoloredGlyphs(true);
    const vcl::TColor grey = glyphCentre();
    Manager->Effects()->SetDiscoloredGlyphs(false);
    EXPECT_TRUE(IsGrey(grey)) << std::hex << grey;
    EXPECT_NE(grey, normal);
}

TEST_F(BitBtnAdapter, PlainButtonBitmapMakesRoomOnlyWithARecordedDimension) {
    BareButton bare(L"Bitmap", BS_PUSHBUTTON | BS_BITMAP);
    vcl::TBitmap bitmap;
    bitmap.SetSize(20, 20);
    SendMessageW(bare.Button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Handle()));
    auto plain = NewAdapter<TvlBitBtnWnd>(bare.Button, nullptr, Manager.get(), ParamsFor(nullptr));
    EXPECT_EQ(plain->GlyphSize(), (vcl::TSize{0, 0}));
    EXPECT_TRUE(plain->GlyphRect().IsEmpty());
    const vcl::TRect unshifted = plain->CaptionRect();
    SetBitmapDimensionEx(bitmap.Handle(), 20, 20, nullptr);
    EXPECT_EQ(plain->GlyphSize(), (vcl::TSize{20, 20}));
    const vcl::TRect shifted = plain->CaptionRect();
    EXPECT_EQ(shifted.Left, unshifted.Left + 11);
    EXPECT_EQ(plain->GlyphRect().Right, shifted.Left - 2);
    EXPECT_EQ(plain->GlyphRect().Width(), 20);
}

// ----------------------------------------------------------- speed buttons

class SpeedButtonHandler : public ButtonFamilyFixture {
protected:
    SpeedButtonHandler() {
        Manager->ThirdParty()->SetThirdList(tpSpeedButton, "TSpeedButton");
        Manager->LoadThirdPartyLists(false);
        Provider = vcl::Create<TsSkinProvider>(Form.Form);
        Button = Form.Add(vcl::Create<vcl::TSpeedButton>(Form.Form), 30, 30);
        Button->SetBounds(30, 30, 100, 40);
        Button->SetCaption("Zpet");
        Button->OnClick = vcl::TNotifyEvent::Bind<&Clicks::Clicked>(&Clicked);
        Form.Show();
        if (!Provider->ControlAdapter) Provider->ControlAdapter = std::make_unique<TvlCtrlAdapter>(Provider);
        Provider->ControlAdapter->AdaptControls(nullptr);
        Handler = dynamic_cast<TvlSpeedButtonHandler *>(Provider->ControlAdapter->HandlerOf(Button));
        Form.Form->Repaint();
        vcl::Application->ProcessMessages();
    }
    HWND Parent() const { return Form.Form->WindowHandle(); }
    // A pixel of the button, in its own coordinates, read from the form.
    vcl::TColor At(int X, int Y) {
        const vcl::TPoint p = Button->ClientToScreen({X, Y});
        const vcl::TPoint f = Form.Form->ScreenToClient(p);
        const HDC dc = GetDC(Parent());
        const vcl::TColor c = static_cast<vcl::TColor>(GetPixel(dc, f.X, f.Y));
        ReleaseDC(Parent(), dc);
        return c;
    }

    TestForm Form;
    Clicks Clicked;
    TsSkinProvider *Provider;
    vcl::TSpeedButton *Button;
    TvlSpeedButtonHandler *Handler = nullptr;
};

TEST_F(SpeedButtonHandler, ControlAdapterGivesTheListedButtonAHandlerThatPaintsItsFace) {
    ASSERT_NE(Handler, nullptr);
    EXPECT_EQ(Handler->SkinData()->SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_IS_HANDLED), 0), 1);
    EXPECT_EQ(At(2, 20), SpeedFace);
    EXPECT_EQ(At(97, 37), SpeedFace);
    // Walking again gives it no second handler.
    Provider->ControlAdapter->AdaptControls(nullptr);
    EXPECT_EQ(Provider->ControlAdapter->GraphicHandlers.size(), 1u);
}

TEST_F(SpeedButtonHandler, RealMouseShowsHotAndPressedFacesAndTheReleaseClicksOnce) {
    ASSERT_NE(Handler, nullptr);
    Button->SetGlyph(GlyphStrip(1).get());
    const vcl::TRect glyph = Handler->GlyphRect();
    const vcl::TPoint centre = Button->ClientToScreen({50, 20});
    SetCursorPos(centre.X, centre.Y);
    ASSERT_TRUE(PumpUntil([&] { return At(2, 20) == SpeedHotFace; }));
    EXPECT_EQ(At(glyph.Left + 8, glyph.Top + 8), GlyphInk);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return At(2, 20) == SpeedPressedFace; }));
    // The content moves by (1, 1) while the button is down.
    const vcl::TRect moved = Handler->GlyphRect();
    EXPECT_EQ(moved.Left, glyph.Left + 1);
    EXPECT_EQ(moved.Top, glyph.Top + 1);
    EXPECT_EQ(At(moved.Right - 1, moved.Bottom - 1), GlyphInk);
    EXPECT_EQ(Clicked.Count, 0);
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Clicked.Count == 1 && At(2, 20) == SpeedHotFace; }));
    SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return At(2, 20) == SpeedFace; }));
    EXPECT_EQ(Clicked.Count, 1);
}

TEST_F(SpeedButtonHandler, CentredLayoutKeepsSpacingBetweenGlyphAndCaption) {
    ASSERT_NE(Handler, nullptr);
    Button->SetGlyph(GlyphStrip(1).get());
    const vcl::TSize t = Handler->CaptionSize();
    const vcl::TRect g = Handler->GlyphRect(), c = Handler->CaptionRect();
    EXPECT_EQ(g.Left, (100 - 16 - 4 - t.cx) / 2);
    EXPECT_EQ(c.Left, g.Right + 4);
    EXPECT_EQ(g.Top, (40 - 16) / 2);
    Button->SetDown(true);
    EXPECT_EQ(Handler->CurrentState(), 2);
    EXPECT_EQ(Handler->GlyphRect().Left, g.Left + 1);
    Manager->ButtonsOptions()->ShiftContentOnClick = false;
    EXPECT_EQ(Handler->GlyphRect().Left, g.Left);
}

// While down the glyph and the caption move by (1, 1) together in every
// layout, and the glyph turns grey while the manager asks discoloured glyphs.
TEST_F(SpeedButtonHandler, DownMovesTheCaptionWithTheGlyphAndTheGlyphTakesTheGreyLook) {
    ASSERT_NE(Handler, nullptr);
    Button->SetGlyph(GlyphStrip(1).get());
    Button->SetBounds(30, 30, 100, 60);
    for (auto layout : {vcl::blGlyphLeft, vcl::blGlyphRight, vcl::blGlyphTop, vcl::blGlyphBottom}) {
        Button->SetLayout(layout);
        Button->SetDown(false);
        const vcl::TRect g = Handler->GlyphRect(), c = Handler->CaptionRect();
        Button->SetDown(true);
        EXPECT_EQ(Handler->GlyphRect(), Moved(g)) << layout;
        EXPECT_EQ(Handler->CaptionRect(), Moved(c)) << layout;
    }
    Button->SetDown(false);
    constexpr vcl::TColor Ink = 0x2040C0;
    Button->SetGlyph(AlphaStrip({Ink}).get());
    const auto glyphCentre = [&] {
        Form.Form->Repaint();
        vcl::Application->ProcessMessages();
        const vcl::TRect g = Handler->GlyphRect();
        return At(g.Left + 8, g.Top + 8);
    };
    EXPECT_TRUE(Near(glyphCentre(), Ink));
    Manager->Effects()->SetDiscoloredGlyphs(true);
    const vcl::TColor grey = glyphCentre();
    Manager->Effects()->SetDiscoloredGlyphs(false);
    EXPECT_TRUE(IsGrey(grey)) << std::hex << grey;
    EXPECT_NE(grey, Ink);
}

TEST_F(SpeedButtonHandler, GlyphInTheScreensFormatIsPaintedAsAnOpaqueStrip) {
    ASSERT_NE(Handler, nullptr);
    constexpr vcl::TColor Ink = 0x20C040, Clear = 0x8080F0;
    const std::unique_ptr<vcl::TBitmap> glyph = ScreenFormatGlyph(Ink, Clear);
    ASSERT_EQ(glyph->PixelFormat(), vcl::pfDevice);
    Button->SetGlyph(glyph.get());
    Form.Form->Repaint();
    vcl::Application->ProcessMessages();
    const vcl::TRect g = Handler->GlyphRect();
    EXPECT_EQ(At(g.Left + 1, g.Top + 1), Ink);
    EXPECT_EQ(At(g.Left + 5, g.Top + 5), Ink);
    EXPECT_EQ(At(g.Left + 5, g.Top + 1), SpeedFace);
}

TEST_F(SpeedButtonHandler, SectionEmptyInTheNormalStateGivesWayToThePushButtonFace) {
    ASSERT_NE(Handler, nullptr);
    TestSkin flat;
    flat.Options = ButtonFamilyOptions();
    const std::string speed = "[SPEEDBUTTON]\r\n";
    flat.Options.insert(flat.Options.find(speed) + speed.size(), "TRANSPARENCY=100\r\n");
    flat.Files = {{"MASTER.BMP", ButtonFamilyMaster()}};
    AddStoredSkin(*Manager, "Flat", flat.Packed());
    Manager->SetSkinName("Flat");
    Form.Form->Repaint();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(Handler->SkinData()->SkinSection(), "BUTTON");
    EXPECT_EQ(At(2, 20), vcl::TColor(0x204080));  // the push button's face
    // Back on a skin whose speed button has a face of its own.
    Manager->SetSkinName("Family");
    Form.Form->Repaint();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(Handler->SkinData()->SkinSection(), "SPEEDBUTTON");
    EXPECT_EQ(At(2, 20), SpeedFace);
}

TEST_F(SpeedButtonHandler, PaintWithoutADCAndRemovalByAnotherManagerChangeNothing) {
    ASSERT_NE(Handler, nullptr);
    // A paint would build the picture and clear the flag.
    Handler->SkinData()->BGChanged = true;
    Button->Perform(WM_PAINT, 0, 0);
    EXPECT_TRUE(Handler->SkinData()->BGChanged);
    ManagerPtr other = NewManager();
    Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(other.get()));
    EXPECT_EQ(Handler->HandledControl(), Button);
    EXPECT_EQ(Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_IS_HANDLED), 0), 1);
    Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(Handler->HandledControl(), nullptr);
    EXPECT_EQ(Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_IS_HANDLED), 0), 0);
}

TEST_F(SpeedButtonHandler, AWindowedControlListedWithTheSpeedButtonsIsServedAsAnEdit) {
    Manager->ThirdParty()->SetThirdList(tpSpeedButton, "TSpeedButton\r\nTMemo");
    Manager->LoadThirdPartyLists(false);
    auto *memo = Form.Add(vcl::Create<vcl::TMemo>(Form.Form), 150, 30);
    memo->Handle();
    Provider->ControlAdapter->AdaptControls(nullptr);
    const TvlAdapterItem *item = Provider->ControlAdapter->ItemOf(memo);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->Adapter, nullptr);
    EXPECT_EQ(typeid(*item->Adapter), typeid(TvlEditWnd));
    EXPECT_EQ(AdapterOfWindow(memo->Handle())->SkinData->SkinSection(), "EDIT");
}

TEST_F(SpeedButtonHandler, FreedButtonIsNeverTouchedAgainAndLeavesTheList) {
    ASSERT_NE(Handler, nullptr);
    delete Button;
    EXPECT_EQ(Handler->HandledControl(), nullptr);
    Provider->ControlAdapter->Purge();
    EXPECT_TRUE(Provider->ControlAdapter->GraphicHandlers.empty());
}

// A procedure put over the handler's and kept after the handler is freed.
struct Chained {
    vcl::TControl *Control;
    vcl::TWndMethod Previous;
    int Seen = 0;
    explicit Chained(vcl::TControl *C) : Control(C), Previous(C->WindowProc) {
        C->WindowProc = vcl::TWndMethod::Bind<&Chained::Handle>(this);
    }
    void Handle(vcl::TMessage &M) {
        ++Seen;
        Previous(M);
    }
};

TEST_F(SpeedButtonHandler, HandlerFreedUnderAChainedProcedureLeavesTheChainWorking) {
    ASSERT_NE(Handler, nullptr);
    Chained chained(Button);
    ASSERT_EQ(Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_IS_HANDLED), 0), 1);
    Provider->ControlAdapter->GraphicHandlers.clear();  // the handler goes; the chain stays
    EXPECT_EQ(Button->Perform(SM_SKINCOMMAND, MAKEWPARAM(0, SC_IS_HANDLED), 0), 0);
    const vcl::TPoint centre = Button->ClientToScreen({50, 20});
    SetCursorPos(centre.X, centre.Y);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return Clicked.Count == 1; }));
    EXPECT_GT(chained.Seen, 2);
    Button->WindowProc = chained.Previous;
}

TEST_F(SpeedButtonHandler, HandleCountsStayFlatOverManyButtons) {
    ExpectFlatCountsOver1000([&] {
        auto *button = Form.Add(vcl::Create<vcl::TSpeedButton>(Form.Form), 200, 20);
        button->SetCaption("S");
        auto handler = AdapterFactory().CreateGraphicHandler(tpSpeedButton, button, ParamsFor(button), Manager.get());
        Form.Form->Repaint();
        delete button;
        handler.reset();
    });
}

} // namespace
} // namespace skin
