// The status-bar adapter on a bare status window (parts with their own
// texts, and the simple bar) and on the class library's TStatusBar (three
// panels, one owner-drawn, the size grip): the skin's face, the dividers
// between panels, the texts shortened to their panel, the last one ended
// before the grip, the grip image, the picture after each change of what
// it shows, and the live counts over create and destroy cycles.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "BarsTestSupport.h"
#include "skin/adapters/vlStatusBarWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/StatusBar.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// The x of every column of Colour on row Y, runs of neighbours counted once.
std::vector<int> ColumnRuns(const uitest::TImage32 &Image, int Y, vcl::TColor Colour) {
    std::vector<int> runs;
    for (int x = 0; x < Image.Width; ++x)
        if (ColorAt(Image, x, Y) == Colour && (x == 0 || ColorAt(Image, x - 1, Y) != Colour)) runs.push_back(x);
    return runs;
}

// The box of the bar's text ink between columns Left and Right.
InkBox InkIn(const uitest::TImage32 &Image, int Left, int Right) {
    InkBox box{Image.Width, Image.Height, -1, -1, 0};
    for (int y = 0; y < Image.Height; ++y)
        for (int x = std::max(Left, 0); x < std::min(Right, Image.Width); ++x)
            if (ColorAt(Image, x, y) == StatusInk) {
                box.Left = std::min(box.Left, x), box.Right = std::max(box.Right, x + 1);
                box.Top = std::min(box.Top, y), box.Bottom = std::max(box.Bottom, y + 1);
                ++box.Count;
            }
    return box.Count ? box : InkBox{};
}

class StatusBarAdapter : public BarsFixture {
protected:
    StatusBarAdapter() {
        InitCommonControls();
        Form.Form->SetBounds(40, 40, 500, 200);
        Form.Show();
    }
    HWND BareBar(const std::vector<int> &Edges, DWORD Style = 0) {
        const HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | Style,
                                         0, 100, 480, 24, Form.Form->WindowHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(bar, SB_SETPARTS, Edges.size(), reinterpret_cast<LPARAM>(Edges.data()));
        return bar;
    }
    std::unique_ptr<TvlWindowAdapter> Skin(HWND Window, vcl::TControl *Control = nullptr) {
        auto a = AdapterFactory().CreateAdapter(tpStatusBar, Window, ParamsFor(Control), Manager.get());
        RedrawAll(Window);
        return a;
    }
    TestForm Form;
};

TEST_F(StatusBarAdapter, ThreePartsShowTheFaceTwoDividersAndTheirTexts) {
    const HWND bar = BareBar({100, 260, -1});
    SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"One"));
    SendMessageW(bar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"Two"));
    SendMessageW(bar, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"Three"));
    const auto adapter = Skin(bar);
    auto *a = dynamic_cast<TvlStatusBarWnd *>(adapter.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->SkinData->SkinSection(), "STATUSBAR");
    EXPECT_EQ(a->StatusBar.Get(), nullptr);
    EXPECT_EQ(a->PanelText(1), "Two");
    const uitest::TImage32 image = uitest::CaptureWindow(bar);
    EXPECT_EQ(ColorAt(image, 50, 3), StatusFace);
    // Two dividers, each at its part's right edge less the frame, none after the last.
    const std::vector<int> dividers = ColumnRuns(image, 12, DividerInk);
    ASSERT_EQ(dividers.size(), 2u);
    RECT first{}, second{};
    SendMessageW(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&second));
    EXPECT_EQ(dividers[0], first.right - 1 - 2);
    EXPECT_EQ(dividers[1], second.right - 1 - 2);
    for (const auto &[l, r] : {std::pair{0L, first.right}, std::pair{second.left, second.right}, std::pair{second.right, 480L}})
        EXPECT_FALSE(InkIn(image, static_cast<int>(l), static_cast<int>(r)).Empty()) << "no text in " << l << ".." << r;
    SaveWindowPicture(bar, "statusbar-parts-skinned.png");

    // The skin removed and applied again.
    Manager->SetActive(false);
    SendMessageW(bar, SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    RedrawAll(bar);
    const uitest::TImage32 plain = uitest::CaptureWindow(bar);
    EXPECT_EQ(CountColor(plain, StatusFace) + CountColor(plain, DividerInk), 0);
    SaveWindowPicture(bar, "statusbar-parts-unskinned.png");
    Manager->SetActive(true);
    SendMessageW(bar, SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    RedrawAll(bar);
    const uitest::TImage32 again = uitest::CaptureWindow(bar);
    EXPECT_EQ(ColorAt(again, 50, 3), StatusFace);
    EXPECT_EQ(ColumnRuns(again, 12, DividerInk).size(), 2u);
}

TEST_F(StatusBarAdapter, LongTextIsShortenedToItsPanelAndTheSimpleBarShowsItsTextLeft) {
    const HWND bar = BareBar({90, -1});
    SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"A text much longer than its narrow panel"));
    const auto adapter = Skin(bar);
    RECT first{};
    SendMessageW(bar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&first));
    const InkBox ink = InkIn(uitest::CaptureWindow(bar), 0, 300);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.Right, first.right - 1 - 4);

    SendMessageW(bar, SB_SIMPLE, TRUE, 0);
    SendMessageW(bar, SB_SETTEXTW, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(L"Simple"));
    SetWindowTextW(bar, L"Simple");
    RedrawAll(bar);
    const uitest::TImage32 simple = uitest::CaptureWindow(bar);
    EXPECT_TRUE(ColumnRuns(simple, 12, DividerInk).empty());
    const InkBox left = InkIn(simple, 0, simple.Width);
    ASSERT_FALSE(left.Empty());
    EXPECT_LE(left.Left, 6);
    EXPECT_LT(left.Right, 80);
}

TEST_F(StatusBarAdapter, ASimpleBarShowsTheTextSetForItsSimplePartAlone) {
    const HWND bar = BareBar({-1});
    SendMessageW(bar, SB_SIMPLE, TRUE, 0);
    SendMessageW(bar, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Only simple"));
    const auto adapter = Skin(bar);
    auto *a = dynamic_cast<TvlStatusBarWnd *>(adapter.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->PanelText(-1), "Only simple");
    const InkBox ink = InkIn(uitest::CaptureWindow(bar), 0, 480);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.Left, 6);
    SaveWindowPicture(bar, "statusbar-simple-skinned.png");
}

struct PanelPainter {
    int Calls = 0;
    void Draw(vcl::TStatusBar *Bar, vcl::TStatusPanel *, const vcl::TRect &R) {
        ++Calls;
        Bar->Canvas()->Brush()->SetColor(0x00FF00);
        Bar->Canvas()->FillRect({R.Left + 4, R.Top + 2, R.Left + 14, R.Bottom - 2});
    }
};

TEST_F(StatusBarAdapter, ClassLibraryBarPaintsItsPanelsTheOwnerDrawnOneAndTheGrip) {
    auto *bar = vcl::Create<vcl::TStatusBar>(Form.Form);
    bar->SetParent(Form.Form);
    for (const char *text : {"Ready", "", "Right"}) bar->Panels()->Add()->SetText(text);
    bar->Panels()->Items(0)->SetWidth(120);
    bar->Panels()->Items(1)->SetWidth(120);
    bar->Panels()->Items(1)->SetStyle(vcl::psOwnerDraw);
    bar->Panels()->Items(2)->SetAlignment(vcl::taRightJustify);
    PanelPainter painter;
    bar->OnDrawPanel = vcl::TDrawPanelEvent::Bind<&PanelPainter::Draw>(&painter);
    Form.Form->SetBounds(40, 40, 500, 200);
    vcl::Application->ProcessMessages();
    const auto adapter = Skin(bar->Handle(), bar);
    auto *a = dynamic_cast<TvlStatusBarWnd *>(adapter.get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->StatusBar.Get(), bar);
    EXPECT_GT(painter.Calls, 0);
    const uitest::TImage32 image = uitest::CaptureWindow(bar->WindowHandle());
    RECT owner{};
    SendMessageW(bar->WindowHandle(), SB_GETRECT, 1, reinterpret_cast<LPARAM>(&owner));
    // Only what the event paints, over the skin's face.
    EXPECT_EQ(ColorAt(image, owner.left + 1 + 8, image.Height / 2), 0x00FF00u);
    EXPECT_EQ(ColorAt(image, owner.left + 1 + 40, image.Height / 2), StatusFace);
    EXPECT_EQ(ColumnRuns(image, image.Height / 2, DividerInk).size(), 2u);
    // The grip at the bottom-right corner, the right panel's text right-aligned before it.
    EXPECT_EQ(ColorAt(image, image.Width - 2, image.Height - 2), GripInk);
    EXPECT_EQ(ColorAt(image, image.Width - 8, image.Height - 8), GripInk);
    RECT last{};
    SendMessageW(bar->WindowHandle(), SB_GETRECT, 2, reinterpret_cast<LPARAM>(&last));
    const InkBox right = InkIn(image, last.left, image.Width);
    ASSERT_FALSE(right.Empty());
    EXPECT_GT(right.Left, (last.left + last.right) / 2);
    SaveWindowPicture(bar->WindowHandle(), "statusbar-panels-skinned.png");

    bar->SetSizeGrip(false);
    RedrawAll(bar->WindowHandle());
}

// The grip's corner is not the last panel's: the last panel's text, right-
// aligned or left-aligned and reaching under the grip, and the simple bar's,
// end before the grip, and the grip shows whole. The left-aligned texts are
// moved so that, drawn in full, they would end one column inside the grip.
TEST_F(StatusBarAdapter, TheLastPanelsTextEndsBeforeTheGrip) {
    auto *bar = vcl::Create<vcl::TStatusBar>(Form.Form);
    bar->SetParent(Form.Form);
    for (const char *text : {"Ready", "Right"}) bar->Panels()->Add()->SetText(text);
    bar->Panels()->Items(0)->SetWidth(120);
    bar->Panels()->Items(1)->SetAlignment(vcl::taRightJustify);
    vcl::Application->ProcessMessages();
    const auto adapter = Skin(bar->Handle(), bar);
    const HWND window = bar->WindowHandle();
    // The bar takes its panels' changes a little later.
    const auto settle = [&] {
        vcl::Application->ProcessMessages();
        RedrawAll(window);
    };
    const auto expectTextBeforeWholeGrip = [&](int From, const char *What) {
        const uitest::TImage32 image = uitest::CaptureWindow(window);
        const int gripLeft = image.Width - 8 - bar->BorderWidth(), gripTop = image.Height - 8 - bar->BorderWidth();
        const InkBox ink = InkIn(image, From, image.Width);
        EXPECT_FALSE(ink.Empty()) << What;
        EXPECT_LE(ink.Right, gripLeft) << What;
        int notGrip = 0;
        for (int y = gripTop; y < gripTop + 8; ++y)
            for (int x = gripLeft; x < gripLeft + 8; ++x) notGrip += ColorAt(image, x, y) != GripInk;
        EXPECT_EQ(notGrip, 0) << What;
        return std::pair{ink, gripLeft};
    };
    const auto [right, gripLeft] = expectTextBeforeWholeGrip(130, "right-aligned");
    EXPECT_GE(right.Right, gripLeft - 8) << "right-aligned text not placed at the grip";

    bar->Panels()->Items(1)->SetAlignment(vcl::taLeftJustify);
    bar->Panels()->Items(1)->SetText("Right side");
    settle();
    const InkBox inFull = InkIn(uitest::CaptureWindow(window), 130, gripLeft);
    ASSERT_FALSE(inFull.Empty());
    bar->Panels()->Items(0)->SetWidth(120 + gripLeft + 1 - inFull.Right);
    settle();
    expectTextBeforeWholeGrip(130, "left-aligned");

    // The simple bar: its width set so that its text would end inside the grip.
    bar->SetSimpleText("Simple text");
    bar->SetSimplePanel(true);
    settle();
    const InkBox simple = InkIn(uitest::CaptureWindow(window), 0, gripLeft);
    ASSERT_FALSE(simple.Empty());
    bar->SetAlign(vcl::alNone);
    bar->SetWidth(simple.Right + 8 + bar->BorderWidth() - 1);
    settle();
    expectTextBeforeWholeGrip(0, "simple");

    // Without a grip the text runs on to the panel's edge.
    bar->Hide();
    auto *plainBar = vcl::Create<vcl::TStatusBar>(Form.Form);
    plainBar->SetSizeGrip(false);
    plainBar->SetParent(Form.Form);
    for (const char *text : {"Ready", "Right"}) plainBar->Panels()->Add()->SetText(text);
    plainBar->Panels()->Items(0)->SetWidth(120);
    plainBar->Panels()->Items(1)->SetAlignment(vcl::taRightJustify);
    vcl::Application->ProcessMessages();
    const auto plainAdapter = Skin(plainBar->Handle(), plainBar);
    const uitest::TImage32 plain = uitest::CaptureWindow(plainBar->WindowHandle());
    EXPECT_GT(InkIn(plain, 130, plain.Width).Right, plain.Width - 8);
    SaveWindowPicture(plainBar->WindowHandle(), "statusbar-no-grip-skinned.png");
}

// The bar's image is kept from one paint to the next: after each change of
// what a bar shows, it shows what an image built anew shows, and the change
// is seen.
TEST_F(StatusBarAdapter, AfterEachChangeTheBarShowsWhatAnImageBuiltAnewShows) {
    auto *bar = vcl::Create<vcl::TStatusBar>(Form.Form);
    bar->SetParent(Form.Form);
    for (const char *text : {"Ready", "Two", "Three"}) bar->Panels()->Add()->SetText(text);
    bar->Panels()->Items(0)->SetWidth(120);
    bar->Panels()->Items(1)->SetWidth(120);
    vcl::Application->ProcessMessages();
    const auto adapter = Skin(bar->Handle(), bar);
    const HWND bare = BareBar({100, 260, -1});
    SendMessageW(bare, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"One"));
    const auto bareAdapter = Skin(bare);
    auto *a = dynamic_cast<TvlStatusBarWnd *>(adapter.get());
    auto *b = dynamic_cast<TvlStatusBarWnd *>(bareAdapter.get());
    ASSERT_TRUE(a && b);
    const vcl::TFontHandle font(CreateFontW(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    const int edges[] = {60, 200, -1};
    struct Change {
        const char *What;
        HWND Window;
        TvlStatusBarWnd *Adapter;
        std::function<void()> Make;
    };
    const HWND window = bar->WindowHandle();
    const Change changes[] = {
        {"panel text", window, a, [&] { bar->Panels()->Items(0)->SetText("Changed"); }},
        {"alignment", window, a, [&] { bar->Panels()->Items(1)->SetAlignment(vcl::taRightJustify); }},
        {"panel width", window, a, [&] { bar->Panels()->Items(0)->SetWidth(180); }},
        {"font", window, a, [&] { bar->Font()->SetHeight(-18); }},
        {"simple panel", window, a, [&] {
             bar->SetSimpleText("Simple");
             bar->SetSimplePanel(true);
         }},
        {"simple text", window, a, [&] { bar->SetSimpleText("Other"); }},
        {"part text", bare, b,
         [&] { SendMessageW(bare, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"Two")); }},
        {"parts", bare, b,
         [&] { SendMessageW(bare, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)); }},
        {"window font", bare, b,
         [&] { SendMessageW(bare, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE); }},
    };
    for (const Change &c : changes) {
        const uitest::TImage32 before = uitest::CaptureWindow(c.Window);
        c.Make();
        vcl::Application->ProcessMessages();
        RedrawAll(c.Window);
        const uitest::TImage32 shown = uitest::CaptureWindow(c.Window);
        c.Adapter->SkinData->BGChanged = true;
        RedrawAll(c.Window);
        const uitest::TImage32 fresh = uitest::CaptureWindow(c.Window);
        EXPECT_TRUE(shown.Pixels != before.Pixels) << c.What << " does not show";
        EXPECT_TRUE(shown.Pixels == fresh.Pixels) << c.What << " shows an image older than the change";
    }
}

TEST_F(StatusBarAdapter, LiveCountsStayFlatOverCreateAndDestroyCycles) {
    ExpectFlatCounts(1000, [&] {
        const HWND bar = BareBar({100, -1});
        SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Cycle"));
        auto adapter = AdapterFactory().CreateAdapter(tpStatusBar, bar, ParamsFor(nullptr), Manager.get());
        SendMessageW(bar, WM_ERASEBKGND, 0, 0);
        DestroyWindow(bar);
        adapter.reset();
    });
}

} // namespace
} // namespace skin
