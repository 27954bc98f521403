// The class library's static text, panel, group box and scroll box: their
// windows, what a panel paints without a skin, how a scroll box's ranges
// follow its children and move them, and labels on the containers that the
// system's classes paint.
#include <gtest/gtest.h>

#include "UiDriver.h"
#include "vcl/Forms.h"
#include "vcl/Panels.h"
#include "vcl/StaticText.h"
#include "vcl/StdCtrls.h"
#include "vcl/Tabs.h"

namespace vcl {
namespace {

std::wstring ClassOf(HWND Window) {
    wchar_t buffer[64]{};
    GetClassNameW(Window, buffer, 64);
    return buffer;
}

struct PanelsFixture : ::testing::Test {
    PanelsFixture() {
        Form->SetBounds(100, 100, 420, 320);
        Form->SetColor(clWhite);
        Form->Show();
    }
    ~PanelsFixture() override { delete Form; }
    template <class C> C *Add(int L, int T, int W, int H) {
        C *c = Create<C>(Form);
        c->SetBounds(L, T, W, H);
        c->SetParent(Form);
        return c;
    }
    TForm *Form = Create<TForm>(Application, CreateNew);
};

TEST_F(PanelsFixture, WindowsOfStaticTextGroupBoxAndScrollBox) {
    auto *text = Add<TStaticText>(10, 10, 100, 20);
    text->SetCaption("Text");
    auto *box = Add<TGroupBox>(10, 40, 150, 80);
    auto *scroll = Add<TScrollBox>(170, 40, 150, 80);
    // Superclasses keep the system class's procedure under their own name.
    EXPECT_EQ(ClassOf(text->Handle()), L"TStaticText");
    EXPECT_EQ(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & 0xF, BS_GROUPBOX);
    EXPECT_FALSE(GetWindowLongPtrW(text->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // A bevel takes the system's edge; the window is made again for it.
    text->SetBevelKind(bkFlat);
    EXPECT_TRUE(GetWindowLongPtrW(text->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(text->Caption(), "Text");
    EXPECT_TRUE(box->ControlStyle().Contains(csAcceptsControls));
    EXPECT_TRUE(scroll->ControlStyle().Contains(csAcceptsControls));
    EXPECT_TRUE(GetWindowLongPtrW(scroll->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    scroll->SetBorderStyle(bsNone);
    EXPECT_FALSE(GetWindowLongPtrW(scroll->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(PanelsFixture, PanelPaintsItsColourBevelsAndCaption) {
    auto *panel = Add<TPanel>(10, 10, 200, 60);
    panel->SetColor(0x204080);
    panel->Font()->SetColor(0x00FFFF);
    panel->SetBevelWidth(2);
    panel->SetCaption("Middle");
    Application->ProcessMessages();
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const uitest::TImage32 image = uitest::CaptureWindow(panel->Handle());
    const auto at = [&](int x, int y) {
        const std::uint32_t p = image.At(x, y);
        return static_cast<TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
    };
    // A raised bevel: highlight on top, shadow at the bottom, 2 px each.
    EXPECT_EQ(at(50, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(50, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(50, 59), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(50, 2), 0x204080);
    int left = 200, right = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (at(x, y) == 0x00FFFF) left = std::min(left, x), right = std::max(right, x + 1);
    ASSERT_LT(left, right);
    EXPECT_LE(std::abs(left - (200 - right)), 3);
    EXPECT_EQ(panel->BevelWidth(), 2);
    panel->SetBevelWidth(0);
    EXPECT_EQ(panel->BevelWidth(), 1);
}

TEST_F(PanelsFixture, ScrollBoxRangesFollowTheChildrenAndScrollingMovesThem) {
    auto *scroll = Add<TScrollBox>(10, 10, 200, 150);
    auto *child = Create<TPanel>(Form);
    child->SetBounds(10, 20, 100, 400);
    child->SetParent(scroll);
    scroll->UpdateScrollRange();
    const HWND w = scroll->Handle();
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_HSCROLL);
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(w, SB_VERT, &si);
    EXPECT_EQ(si.nMax, 419);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(static_cast<int>(si.nPage), client.bottom);

    SendMessageW(w, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(scroll->ScrollPosition().Y, 8);
    EXPECT_EQ(child->Top(), 12);
    SendMessageW(w, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(scroll->ScrollPosition().Y, 420 - client.bottom);
    EXPECT_EQ(child->Top() + child->Height(), client.bottom);
    // Past the end and before the start: kept within the range.
    scroll->ScrollTo({0, 10000});
    EXPECT_EQ(scroll->ScrollPosition().Y, 420 - client.bottom);
    scroll->ScrollTo({0, -5});
    EXPECT_EQ(scroll->ScrollPosition().Y, 0);
    EXPECT_EQ(child->Top(), 20);

    // A child that fits takes the bar away, and the position back to 0.
    SendMessageW(w, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(scroll->ScrollPosition().Y, 0);
    child->SetHeight(50);
    scroll->UpdateScrollRange();
    EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(scroll->ScrollPosition().Y, 0);
    EXPECT_EQ(child->Top(), 20);
}

// A label shows on each container that the system's class paints (a group
// box, a tab sheet), as on a form: painted after the system's own paint,
// on the screen and into a DC the container is given.
TEST_F(PanelsFixture, ALabelShowsOnAGroupBoxAndOnATabSheet) {
    constexpr TColor ink = 0x0000E0;
    auto *box = Add<TGroupBox>(10, 10, 180, 120);
    box->SetCaption("Box");
    auto *pages = Add<TPageControl>(200, 10, 200, 150);
    auto *sheet = Create<TTabSheet>(Form);
    sheet->SetCaption("Sheet");
    sheet->SetPageControl(pages);
    pages->SetActivePage(sheet);
    for (TWinControl *parent : std::initializer_list<TWinControl *>{box, sheet}) {
        SCOPED_TRACE(parent->ClassName());
        auto *label = Create<TLabel>(Form);
        label->SetBounds(12, 40, 120, 20);
        label->Font()->SetColor(ink);
        label->SetCaption("Label WWW");
        label->SetParent(parent);
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Application->ProcessMessages();
        const auto inked = [&](const uitest::TImage32 &Image) {
            int n = 0;
            for (std::uint32_t p : Image.Pixels) n += (p & 0xFFFFFF) == 0xE00000;  // the ink in blue, green, red
            return n;
        };
        EXPECT_GT(inked(uitest::CaptureWindow(parent->Handle())), 20) << "on the screen";
        // Into a DC given with the paint message, as pictures take it.
        uitest::TImage32 printed{parent->Width(), parent->Height(), {}};
        {
            BITMAPINFO bi{};
            bi.bmiHeader = {sizeof(BITMAPINFOHEADER), parent->Width(), -parent->Height(), 1, 32, BI_RGB};
            void *bits = nullptr;
            const HDC screen = GetDC(nullptr);
            const HDC dc = CreateCompatibleDC(screen);
            const HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
            const HGDIOBJ old = SelectObject(dc, dib);
            parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
            GdiFlush();
            const auto *p = static_cast<const std::uint32_t *>(bits);
            printed.Pixels.assign(p, p + parent->Width() * parent->Height());
            SelectObject(dc, old);
            DeleteObject(dib);
            DeleteDC(dc);
            ReleaseDC(nullptr, screen);
        }
        EXPECT_GT(inked(printed), 20) << "into a DC given";
    }
}

} // namespace
} // namespace vcl
