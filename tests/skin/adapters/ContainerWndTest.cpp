// The adapters of bare container windows: the size grip and its hit test,
// a nested dialog pane, containers with and without the client edge (a
// progress bar keeps painting its own fill), a search box's frame, and the
// adapters' ends; with a picture of every adapter of this family skinned.
#include <gtest/gtest.h>

#include "StaticTestSupport.h"
// After windows.h.
#include <commctrl.h>
#include "skin/adapters/vlContainerWnd.h"
#include "skin/adapters/vlPanelWnd.h"
#include "skin/adapters/vlStaticWnd.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/HandleCounts.h"
#include "vcl/Panels.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr vcl::TColor OwnFill = 0x4080C0;
int NcPaints = 0;

// A window class of the test that fills its client with OwnFill and counts
// the frame paints that reach it.
LRESULT CALLBACK OwnPaintProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_NCPAINT: ++NcPaints; break;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        const HDC dc = BeginPaint(Window, &ps);
        RECT r{};
        GetClientRect(Window, &r);
        const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(OwnFill));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(Window, &ps);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

void RegisterOwnPaint(const wchar_t *Name) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnPaintProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = Name;
    RegisterClassW(&wc);  // the second time fails: the class is there
}

class ContainerWnd : public StaticsFixture {
protected:
    ContainerWnd() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_LINK_CLASS};
        InitCommonControlsEx(&icc);
        RegisterOwnPaint(L"DirectUIHWND");
        RegisterOwnPaint(L"ZuvoOwnPaint");
    }
    PlainParent Parent;
};

TEST_F(ContainerWnd, SizeGripShowsTheSkinsGripOverWhatLiesBehindAndAnswersBottomRightEverywhere) {
    const HWND grip = Parent.Add(L"SCROLLBAR", L"", SBS_SIZEGRIP, 300, 200, 24, 20);
    auto a = Adapt<TvlSizerWnd>(grip, Manager.get());
    EXPECT_EQ(a->SkinData->SkinSection(), "CHECKBOX");
    const uitest::TImage32 image = Shown(grip);
    ASSERT_EQ(image.Width, 24);
    EXPECT_EQ(ColorAt(image, 23, 19), GripColor);
    EXPECT_EQ(ColorAt(image, 14, 10), GripColor);
    // Around the grip: what the parent paints there itself.
    const auto behind = static_cast<vcl::TColor>(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorAt(image, 13, 19), behind);
    EXPECT_EQ(ColorAt(image, 0, 0), behind);
    RECT r{};
    GetWindowRect(grip, &r);
    for (const auto &[x, y] : {std::pair{0, 0}, {23, 0}, {0, 19}, {12, 10}, {23, 19}})
        EXPECT_EQ(SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)), HTBOTTOMRIGHT);
    Manager->ActiveWindow = grip;
    SendMessageW(grip, WM_NCHITTEST, 0, MAKELPARAM(r.left + 1, r.top + 1));
    EXPECT_EQ(Manager->ActiveWindow, nullptr);
}

TEST_F(ContainerWnd, NestedDialogPaneIsPaintedWholeFromItsSection) {
    const HWND pane = Parent.Add(L"ZuvoOwnPaint", L"", 0, 10, 10, 120, 80);
    auto a = Adapt<TvlTransPanelWnd>(pane, Manager.get(), "PANEL");
    const uitest::TImage32 image = Shown(pane);
    EXPECT_EQ(CountColor(image, PanelFace), 120 * 80);
    EXPECT_EQ(CountColor(Printed(pane), PanelFace), 120 * 80);
}

TEST_F(ContainerWnd, ContainerWithoutClientEdgeConsumesFramePaintsAndFillsItsClient) {
    const HWND box = Parent.Add(L"ZuvoOwnPaint", L"", 0, 10, 10, 120, 80);
    auto a = Adapt<TvlContainerWnd>(box, Manager.get(), "PANEL");
    NcPaints = 0;
    SendMessageW(box, WM_NCPAINT, 1, 0);
    EXPECT_EQ(NcPaints, 0);
    const uitest::TImage32 image = Shown(box);
    EXPECT_EQ(CountColor(image, OwnFill), 0);
    EXPECT_EQ(ColorAt(image, 60, 40), PanelFace);
}

TEST_F(ContainerWnd, ContainerWithClientEdgeGetsItsFrameFromTheCache) {
    const HWND box = Parent.Add(L"ZuvoOwnPaint", L"", 0, 10, 10, 120, 80, WS_EX_CLIENTEDGE);
    auto a = Adapt<TvlContainerWnd>(box, Manager.get(), "PANEL");
    const uitest::TImage32 image = Shown(box);
    EXPECT_EQ(a->FrameWidth, 2);
    for (const auto &[x, y] : {std::pair{0, 0}, {1, 40}, {119, 79}, {60, 78}}) EXPECT_EQ(ColorAt(image, x, y), PanelFace);
    EXPECT_EQ(ColorAt(image, 60, 40), PanelFace);
}

TEST_F(ContainerWnd, ProgressBarKeepsPaintingItsFillToItsPosition) {
    const HWND bar = Parent.Add(PROGRESS_CLASSW, L"", 0, 10, 10, 204, 24, WS_EX_CLIENTEDGE);
    // The bar trades the client edge for the system's static edge of 1 px.
    ASSERT_EQ(FrameWidthOf(bar), 1);
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    const uitest::TImage32 own = Shown(bar);
    const vcl::TColor fill = ColorAt(own, 20, 12);
    const vcl::TColor empty = ColorAt(own, 180, 12);
    ASSERT_NE(fill, empty);
    auto a = Adapt<TvlContainerWnd>(bar, Manager.get(), "PANEL");
    const uitest::TImage32 image = Shown(bar);
    EXPECT_EQ(ColorAt(image, 0, 0), PanelFace);  // the frame is skinned
    EXPECT_EQ(ColorAt(image, 20, 12), fill);
    EXPECT_EQ(ColorAt(image, 180, 12), empty);
    // The fill ends where the system's does.
    int skinnedEnd = 0, ownEnd = 0;
    for (int x = 1; x < 203; ++x) {
        if (ColorAt(image, x, 12) == fill) skinnedEnd = x;
        if (ColorAt(own, x, 12) == fill) ownEnd = x;
    }
    EXPECT_EQ(skinnedEnd, ownEnd);
    EXPECT_NEAR(skinnedEnd, 102, 8);
    // Printing shows the fill too.
    const uitest::TImage32 printed = Printed(bar);
    EXPECT_EQ(ColorAt(printed, 20, 12), fill);
    EXPECT_EQ(ColorAt(printed, 0, 0), PanelFace);
}

TEST_F(ContainerWnd, SearchBoxGetsAThreePixelFrameAndPaintsItsOwnContent) {
    const HWND search = Parent.Add(L"DirectUIHWND", L"", 0, 10, 10, 200, 24);
    auto a = Adapt<TvlSearchWnd>(search, Manager.get(), "PANEL");
    const uitest::TImage32 image = Shown(search);
    for (const auto &[x, y] : {std::pair{0, 0}, {2, 12}, {199, 23}, {100, 21}}) EXPECT_EQ(ColorAt(image, x, y), PanelFace);
    EXPECT_EQ(ColorAt(image, 3, 12), OwnFill);
    EXPECT_EQ(ColorAt(image, 100, 12), OwnFill);
}

TEST_F(ContainerWnd, PictureOfTheSkinnedStaticsPanelsAndContainers) {
    TestForm form{0x808080};
    form.Form->SetBounds(60, 60, 520, 330);
    auto *box = form.Add(vcl::Create<vcl::TGroupBox>(form.Form), 10, 10);
    box->SetBounds(10, 10, 230, 120);
    box->SetCaption("Group box");
    auto *raised = form.Add(vcl::Create<vcl::TPanel>(form.Form), 20, 35);
    raised->SetParent(box);
    raised->SetBounds(10, 25, 100, 40);
    raised->SetCaption("Raised");
    auto *hidden = form.Add(vcl::Create<vcl::TPanel>(form.Form), 120, 35);
    hidden->SetParent(box);
    hidden->SetBounds(120, 25, 100, 40);
    hidden->SetCaption("Tag 999");
    hidden->SetTag(999);
    auto *low = form.Add(vcl::Create<vcl::TPanel>(form.Form), 10, 140);
    low->SetBounds(10, 140, 230, 40);
    low->SetBevelOuter(vcl::bvLowered);
    low->SetCaption("Lowered panel");
    auto *text = form.Add(vcl::Create<vcl::TStaticText>(form.Form), 10, 190);
    text->SetBounds(10, 190, 230, 24);
    text->SetBevelKind(vcl::bkFlat);
    text->SetBevelOuter(vcl::bvRaised);
    text->SetBevelInner(vcl::bvNone);
    text->SetCaption("Static text with a bevel");
    auto *scroll = form.Add(vcl::Create<vcl::TScrollBox>(form.Form), 260, 10);
    scroll->SetBounds(260, 10, 230, 120);
    auto *inner = vcl::Create<vcl::TPanel>(form.Form);
    inner->SetBounds(10, 10, 150, 200);
    inner->SetCaption("In the scroll box");
    inner->SetParent(scroll);
    form.Show();
    scroll->UpdateScrollRange();
    const HWND client = form.Form->Handle();
    const auto bare = [&](const wchar_t *Class, const wchar_t *Text, DWORD Style, int X, int Y, int W, int H,
                          DWORD Ex = 0) {
        return CreateWindowExW(Ex, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, client, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    };
    const HWND label = bare(L"STATIC", L"A plain static", 0, 260, 140, 150, 18);
    const HWND line = bare(L"STATIC", L"", SS_ETCHEDHORZ, 260, 162, 230, 2);
    const HWND link = bare(L"SysLink", L"A <a href=\"x\">link</a> here", 0, 260, 170, 150, 18);
    const HWND bar = bare(PROGRESS_CLASSW, L"", 0, 260, 195, 230, 20, WS_EX_CLIENTEDGE);
    SendMessageW(bar, PBM_SETPOS, 60, 0);
    const HWND search = bare(L"DirectUIHWND", L"", 0, 260, 222, 230, 24);
    const HWND grip = bare(L"SCROLLBAR", L"", SBS_SIZEGRIP, 486, 272, 20, 20);
    std::vector<std::unique_ptr<TvlWindowAdapter>> adapters;
    const auto add = [&](int Kind, vcl::TWinControl *C) {
        adapters.push_back(AdapterFactory().CreateAdapter(Kind, C->Handle(), ParamsFor(C), Manager.get()));
    };
    add(tpGroupBox, box);
    add(tpPanel, raised);
    add(tpPanel, hidden);
    add(tpPanel, low);
    add(tpStaticText, text);
    add(tpScrollControl, scroll);
    add(tpPanel, inner);
    adapters.push_back(Adapt<TvlStaticWnd>(label, Manager.get()));
    adapters.push_back(Adapt<TvlEdgeWnd>(line, Manager.get()));
    adapters.push_back(Adapt<TvlLinkWnd>(link, Manager.get()));
    adapters.push_back(Adapt<TvlContainerWnd>(bar, Manager.get()));
    adapters.push_back(Adapt<TvlSearchWnd>(search, Manager.get()));
    adapters.push_back(Adapt<TvlSizerWnd>(grip, Manager.get()));
    const uitest::TImage32 image = Shown(client);
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const uitest::TImage32 all = uitest::CaptureWindow(client);
    SavePicture(all, "statics-panels-containers.png");
    EXPECT_GT(CountColor(all, GroupFace), 1000);
    EXPECT_GT(CountColor(all, PanelFace), 1000);
    EXPECT_GT(CountColor(all, LowFace), 1000);
    EXPECT_GT(CountColor(all, GripColor), 50);
    (void)image;
    adapters.clear();
}

// A class-library scroll box with a child taller than itself, and a bare
// list box beside it, both skinned.
class ScrollBoxBars : public StaticsFixture {
protected:
    ScrollBoxBars() {
        SetCursorPos(5, 5);
        Form.Form->SetBounds(60, 60, 460, 300);
        Box = Form.Add(vcl::Create<vcl::TScrollBox>(Form.Form), 10, 10);
        Box->SetBounds(10, 10, 200, 150);
        Inner = vcl::Create<vcl::TPanel>(Form.Form);
        Inner->SetBounds(10, 10, 140, 600);
        Inner->SetParent(Box);
        Form.Show();
        Box->UpdateScrollRange();
        List = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                               230, 10, 180, 150, Form.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 100; ++i) SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Entry"));
        uitest::ActivateAndWait(Form.Form->WindowHandle(), std::chrono::seconds(3));
        BoxAdapter = AdapterFactory().CreateAdapter(tpScrollControl, Box->Handle(), ParamsFor(Box), Manager.get());
        ListAdapter = AdapterFactory().CreateAdapter(tpEdit, List, ParamsFor(nullptr, "PANEL"), Manager.get());
        Redraw();
    }
    ~ScrollBoxBars() override {
        BoxAdapter.reset();
        ListAdapter.reset();
    }
    void Redraw() const {
        RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(std::chrono::milliseconds(80));
    }
    static TvlScrollWnd &Scrolling(const std::unique_ptr<TvlWindowAdapter> &A) {
        return *dynamic_cast<TvlScrollWnd *>(static_cast<TvlMainWnd *>(A.get()));
    }
    // The vertical bar of the adapter's window shows only the skin's bar colours.
    static ::testing::AssertionResult BarSkinned(const std::unique_ptr<TvlWindowAdapter> &A) {
        TvlScrollWnd &a = Scrolling(A);
        if (!a.VertBar->Shown) return ::testing::AssertionFailure() << "no vertical bar";
        return ShowsSkinnedBar(uitest::CaptureWindow(a.Handle), InWindow(a.Handle, VertScrollBarRect(a)));
    }
    // The first row of the box's bar (window coordinates) that shows the skin's thumb; -1 when none does.
    int ThumbTop() const {
        TvlScrollWnd &a = Scrolling(BoxAdapter);
        const vcl::TRect r = InWindow(a.Handle, VertScrollBarRect(a));
        const uitest::TImage32 image = uitest::CaptureWindow(a.Handle);
        for (int y = r.Top; y < r.Bottom && y < image.Height; ++y)
            if (ColorAt(image, (r.Left + r.Right) / 2, y) == Thumb) return y;
        return -1;
    }

    TestForm Form{0x808080};
    vcl::TScrollBox *Box = nullptr;
    vcl::TPanel *Inner = nullptr;
    HWND List = nullptr;
    std::unique_ptr<TvlWindowAdapter> BoxAdapter, ListAdapter;
};

TEST_F(ScrollBoxBars, ScrollBoxShowsTheSkinsBarsAsAListBoxDoesAndStillScrolls) {
    ASSERT_NE(BoxAdapter, nullptr);
    EXPECT_TRUE(BarSkinned(ListAdapter));
    EXPECT_TRUE(BarSkinned(BoxAdapter));
    // The skinned lower arrow scrolls the box: its child moves up, the
    // skin's thumb down.
    const vcl::TRect bar = VertScrollBarRect(Scrolling(BoxAdapter));
    const int top = Inner->Top(), thumb = ThumbTop();
    ASSERT_GE(thumb, 0);
    ClickAt((bar.Left + bar.Right) / 2, bar.Bottom - 4);
    EXPECT_LT(Inner->Top(), top);
    const int afterClick = Inner->Top(), thumbAfterClick = ThumbTop();
    EXPECT_GT(thumbAfterClick, thumb);
    SendMessageW(Box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_LT(Inner->Top(), afterClick);
    PumpFor(std::chrono::milliseconds(60));
    EXPECT_TRUE(BarSkinned(BoxAdapter));
    EXPECT_GT(ThumbTop(), thumbAfterClick);
}

TEST_F(ContainerWnd, ContainerAdaptersLeaveNoHandles) {
    ExpectFlatOver(1000, [&] {
        const HWND grip = Parent.Add(L"SCROLLBAR", L"", SBS_SIZEGRIP, 300, 200, 20, 20);
        const HWND pane = Parent.Add(L"ZuvoOwnPaint", L"", 0, 10, 10, 100, 60);
        const HWND bar = Parent.Add(PROGRESS_CLASSW, L"", 0, 10, 80, 100, 20, WS_EX_CLIENTEDGE);
        const HWND search = Parent.Add(L"DirectUIHWND", L"", 0, 10, 110, 100, 24);
        {
            auto a = Adapt<TvlSizerWnd>(grip, Manager.get());
            auto b = Adapt<TvlTransPanelWnd>(pane, Manager.get());
            auto c = Adapt<TvlContainerWnd>(bar, Manager.get());
            auto d = Adapt<TvlSearchWnd>(search, Manager.get());
            RedrawWindow(Parent.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            for (const HWND w : {grip, pane, bar, search}) Printed(w);
        }
        for (const HWND w : {grip, pane, bar, search}) DestroyWindow(w);
    });
}

} // namespace
} // namespace skin
