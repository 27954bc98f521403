// The virtual-tree adapter on a test control that publishes what such a
// tree publishes: colour objects, a header with options, a font and a sort
// direction, and the two header-drawing events. The skin's colours go in
// and the tree's own come back; the events are taken only where the owner
// left them empty, and only the adapter's are cleared; the header painter
// draws a column from the skin over the tree's picture, with its sort arrow.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlVirtualTreeWnd.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ComboBox.h"
#include "vcl/TypInfo.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

VCL_ENUM(TTestHeaderOption, hoAutoResize, hoOwnerDraw, hoVisible)
using TTestHeaderOptions = vcl::TSet<TTestHeaderOption>;

class TTestTreeColors : public vcl::TPersistent {
    VCL_CLASS(TTestTreeColors, vcl::TPersistent)
public:
    vcl::TColor HotColor = 1, FocusedSelectionColor = 2, FocusedSelectionBorderColor = 3;
    vcl::TColor UnfocusedSelectionColor = 4, UnfocusedSelectionBorderColor = 5, SelectionTextColor = 6;
    vcl::TColor GetHot() const { return HotColor; }
    void SetHot(vcl::TColor V) { HotColor = V; }
    vcl::TColor GetFs() const { return FocusedSelectionColor; }
    void SetFs(vcl::TColor V) { FocusedSelectionColor = V; }
    vcl::TColor GetFsb() const { return FocusedSelectionBorderColor; }
    void SetFsb(vcl::TColor V) { FocusedSelectionBorderColor = V; }
    vcl::TColor GetUs() const { return UnfocusedSelectionColor; }
    void SetUs(vcl::TColor V) { UnfocusedSelectionColor = V; }
    vcl::TColor GetUsb() const { return UnfocusedSelectionBorderColor; }
    void SetUsb(vcl::TColor V) { UnfocusedSelectionBorderColor = V; }
    vcl::TColor GetSt() const { return SelectionTextColor; }
    void SetSt(vcl::TColor V) { SelectionTextColor = V; }
};

class TTestInfoColumn : public vcl::TPersistent {
    VCL_CLASS(TTestInfoColumn, vcl::TPersistent)
public:
    vcl::TColor Color = 7;
    int Style = 0;
    vcl::TColor GetColor() const { return Color; }
    void SetColor(vcl::TColor V) { Color = V; }
    int GetStyle() const { return Style; }
    void SetStyle(int V) { Style = V; }
};

class TTestTreeHeader : public vcl::TPersistent {
    VCL_CLASS(TTestTreeHeader, vcl::TPersistent)
public:
    vcl::TColor Color = 8;
    int Height = 0;
    vcl::TColor GetColor() const { return Color; }
    void SetColor(vcl::TColor V) { Color = V; }
    int GetHeight() const { return Height; }
    void SetHeight(int V) { Height = V; }
    TTestHeaderOptions Options() const { return FOptions; }
    void SetOptions(TTestHeaderOptions V) { FOptions = V; }
    int SortDirection() const { return FSort; }
    void SetSortDirection(int V) { FSort = V; }
    vcl::TFont *Font() const { return FFont.get(); }
    TTestHeaderOptions FOptions{hoVisible};
    int FSort = 0;
    std::unique_ptr<vcl::TFont> FFont = std::make_unique<vcl::TFont>();
};

class TTestVirtualTree : public vcl::TWinControl {
    VCL_CLASS(TTestVirtualTree, vcl::TWinControl)
public:
    explicit TTestVirtualTree(vcl::TComponent *AOwner) : vcl::TWinControl(AOwner) {}
    TTestTreeColors *Colors() const { return FColors.get(); }
    TTestTreeHeader *Header() const { return FHeader.get(); }
    TTestInfoColumn *PaintInfoColumn() const { return FInfo.get(); }
    int Themed() const { return FThemed; }
    void SetThemed(int V) { FThemed = V; }
    std::unique_ptr<TTestTreeColors> FColors = std::make_unique<TTestTreeColors>();
    std::unique_ptr<TTestTreeHeader> FHeader = std::make_unique<TTestTreeHeader>();
    std::unique_ptr<TTestInfoColumn> FInfo = std::make_unique<TTestInfoColumn>();
    int FThemed = 0;
    // The header lies in the tree's frame, above its client, and the tree
    // paints it when it prints its frame.
    bool HeaderInFrame = false;
    // Whether the tree could draw while it took its last scroll message.
    bool DrewWhileScrolling = false;
    // The client in one colour, painted and printed alike.
    static constexpr vcl::TColor ClientInk = 0x2080E0;

protected:
    void Dispatch(vcl::TMessage &Message) override {
        RECT r{};
        GetClientRect(WindowHandle(), &r);
        const vcl::TBrushHandle ink(CreateSolidBrush(ClientInk));
        switch (Message.Msg) {
        case WM_NCCALCSIZE:
            vcl::TWinControl::Dispatch(Message);
            if (HeaderInFrame && Message.WParam) reinterpret_cast<NCCALCSIZE_PARAMS *>(Message.LParam)->rgrc[0].top += FHeader->Height;
            return;
        case WM_PRINT:
            if (HeaderInFrame && (Message.LParam & PRF_NONCLIENT)) {
                RECT w{};
                GetWindowRect(WindowHandle(), &w);
                const RECT band{0, 0, w.right - w.left, FHeader->Height};
                const vcl::TBrushHandle face(CreateSolidBrush(HeaderFace));
                FillRect(reinterpret_cast<HDC>(Message.WParam), &band, face.Get());
                return;
            }
            break;
        case WM_VSCROLL: DrewWhileScrolling = IsWindowVisible(WindowHandle()) != FALSE; break;
        case WM_PRINTCLIENT: FillRect(reinterpret_cast<HDC>(Message.WParam), &r, ink.Get()); return;
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            const HDC dc = Message.WParam ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(WindowHandle(), &ps);
            FillRect(dc, &r, ink.Get());
            if (!Message.WParam) EndPaint(WindowHandle(), &ps);
            return;
        }
        default: break;
        }
        vcl::TWinControl::Dispatch(Message);
    }

public:
    TvlAdvancedHeaderDrawEvent OnAdvancedHeaderDraw;
    TvlHeaderDrawQueryElementsEvent OnHeaderDrawQueryElements;
};

} // namespace

VCL_PUBLISHED(TTestTreeColors, p) {
    p.Property("HotColor", &TTestTreeColors::GetHot, &TTestTreeColors::SetHot);
    p.Property("FocusedSelectionColor", &TTestTreeColors::GetFs, &TTestTreeColors::SetFs);
    p.Property("FocusedSelectionBorderColor", &TTestTreeColors::GetFsb, &TTestTreeColors::SetFsb);
    p.Property("UnfocusedSelectionColor", &TTestTreeColors::GetUs, &TTestTreeColors::SetUs);
    p.Property("UnfocusedSelectionBorderColor", &TTestTreeColors::GetUsb, &TTestTreeColors::SetUsb);
    p.Property("SelectionTextColor", &TTestTreeColors::GetSt, &TTestTreeColors::SetSt);
}

VCL_PUBLISHED(TTestInfoColumn, p) {
    p.Property("Color", &TTestInfoColumn::GetColor, &TTestInfoColumn::SetColor);
    p.Property("Style", &TTestInfoColumn::GetStyle, &TTestInfoColumn::SetStyle);
}

VCL_PUBLISHED(TTestTreeHeader, p) {
    p.Property("Color", &TTestTreeHeader::GetColor, &TTestTreeHeader::SetColor);
    p.Property("Height", &TTestTreeHeader::GetHeight, &TTestTreeHeader::SetHeight);
    p.Property("Options", &TTestTreeHeader::Options, &TTestTreeHeader::SetOptions);
    p.Property("SortDirection", &TTestTreeHeader::SortDirection, &TTestTreeHeader::SetSortDirection);
    p.Property("Font", &TTestTreeHeader::Font);
}

VCL_PUBLISHED(TTestVirtualTree, p) {
    p.Property("Colors", &TTestVirtualTree::Colors);
    p.Property("Header", &TTestVirtualTree::Header);
    p.Property("PaintInfoColumn", &TTestVirtualTree::PaintInfoColumn);
    p.Property("Themed", &TTestVirtualTree::Themed, &TTestVirtualTree::SetThemed);
    p.Property("OnAdvancedHeaderDraw", &TTestVirtualTree::OnAdvancedHeaderDraw);
    p.Property("OnHeaderDrawQueryElements", &TTestVirtualTree::OnHeaderDrawQueryElements);
}

namespace {

struct OwnHandlers {
    int Queries = 0;
    void Query(vcl::TObject *, TvlHeaderPaintInfo &, std::uint32_t &Elements) {
        ++Queries;
        Elements = 0;
    }
};

class VirtualTree : public AdaptersFixture {
protected:
    VirtualTree() {
        Manager.reset();
        Manager = ScrollSkinManager();
        Tree = Form.Add(vcl::Create<TTestVirtualTree>(Form.Form), 10, 10);
        Tree->SetBounds(10, 10, 200, 150);
        Form.Show();
    }
    std::unique_ptr<TvlWindowAdapter> Skin() {
        auto adapter = AdapterFactory().CreateAdapter(tpVirtualTree, Tree->Handle(), ParamsFor(Tree), Manager.get());
        // The colours go in with the first paint.
        RedrawWindow(Tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        return adapter;
    }
    TestForm Form;
    TTestVirtualTree *Tree;
};

TEST_F(VirtualTree, ColoursAndOptionsGoToTheSkinsAndComeBack) {
    auto adapter = Skin();
    auto &a = *dynamic_cast<TvlVirtualTreeViewWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    EXPECT_EQ(Tree->Colors()->FocusedSelectionColor, Manager->GetSelectionColor(true));
    EXPECT_EQ(Tree->Colors()->HotColor, Manager->GetEditFontColor());
    EXPECT_TRUE(Tree->Header()->Options().Contains(hoOwnerDraw));
    EXPECT_TRUE(a.DrawEventSet);
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw);
    EXPECT_TRUE(Tree->OnHeaderDrawQueryElements);
    adapter.reset();
    EXPECT_EQ(Tree->Colors()->HotColor, 1);
    EXPECT_EQ(Tree->Colors()->SelectionTextColor, 6);
    EXPECT_FALSE(Tree->Header()->Options().Contains(hoOwnerDraw));
    EXPECT_FALSE(Tree->OnAdvancedHeaderDraw);
    EXPECT_FALSE(Tree->OnHeaderDrawQueryElements);
}

TEST_F(VirtualTree, OwnersHandlersStayWhileSkinnedAndAfter) {
    OwnHandlers own;
    Tree->OnHeaderDrawQueryElements = TvlHeaderDrawQueryElementsEvent::Bind<&OwnHandlers::Query>(&own);
    auto adapter = Skin();
    EXPECT_EQ(Tree->OnHeaderDrawQueryElements, TvlHeaderDrawQueryElementsEvent::Bind<&OwnHandlers::Query>(&own));
    EXPECT_TRUE(Tree->OnAdvancedHeaderDraw);  // empty before: the adapter's
    adapter.reset();
    EXPECT_EQ(Tree->OnHeaderDrawQueryElements, TvlHeaderDrawQueryElementsEvent::Bind<&OwnHandlers::Query>(&own));
    EXPECT_FALSE(Tree->OnAdvancedHeaderDraw);
}

TEST_F(VirtualTree, HeaderPainterDrawsTheColumnFromTheSkinWithItsSortArrow) {
    auto adapter = Skin();
    TvlHeaderPaintInfo info;
    std::uint32_t elements = 0;
    Tree->OnHeaderDrawQueryElements(Tree->Header(), info, elements);
    EXPECT_EQ(elements, 27u);
    const auto target = std::make_unique<vcl::TBitmap>();
    target->SetPixelFormat(vcl::pf32bit);
    target->SetSize(120, 24);
    info.TargetDC = target->Canvas()->Handle();
    info.PaintRectangle = {10, 0, 110, 20};
    info.TextRectangle = {14, 2, 80, 18};
    info.SortGlyphPos = {90, 8};
    info.ShowSortGlyph = true;
    info.Text = "Name";
    Tree->OnAdvancedHeaderDraw(Tree->Header(), info, hpeBackground | hpeSortGlyph);
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(info.TargetDC, 12, 2)), HeaderFace);
    int arrow = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 90; x < 96; ++x) arrow += static_cast<vcl::TColor>(GetPixel(info.TargetDC, x, y)) == ArrowInk;
    EXPECT_GT(arrow, 2);  // the up arrow of SortDirection 0, in the arrow button's ink
    info.IsDownIndex = true;
    Tree->OnAdvancedHeaderDraw(Tree->Header(), info, hpeBackground);
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(info.TargetDC, 12, 2)), HeaderPressed);
}

// A header section that lets the background through shows the tree's own
// picture there, not the tree's colour.
TEST_F(VirtualTree, HeaderColumnLiesOverTheTreesPicture) {
    auto adapter = Skin();
    auto &a = *dynamic_cast<TvlVirtualTreeViewWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    constexpr vcl::TColor Behind = 0x3366CC;
    vcl::TBitmap &cache = *a.SkinData->CacheBmp();
    cache.Canvas()->Brush()->SetColor(Behind);
    cache.Canvas()->FillRect({0, 0, cache.Width(), cache.Height()});
    for (auto &state : Manager->Sections[static_cast<std::size_t>(Manager->FindSectionIndex("COLHEADER"))].Props)
        state.Transparency = 100;
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(120, 24);
    TvlHeaderPaintInfo info;
    info.TargetDC = target.Canvas()->Handle();
    info.PaintRectangle = {10, 0, 110, 20};
    Tree->OnAdvancedHeaderDraw(Tree->Header(), info, hpeBackground);
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(info.TargetDC, 50, 10)), Behind);
}

// The info column and the header take the skin's colours; when the skin
// goes they get the system's and the tree its theme.
TEST_F(VirtualTree, InfoColumnAndHeaderColoursGoAndComeBackThemed) {
    auto adapter = Skin();
    EXPECT_EQ(Tree->PaintInfoColumn()->Color, Manager->GetMainColor());
    EXPECT_EQ(Tree->PaintInfoColumn()->Style, 1);
    EXPECT_EQ(Tree->Header()->Color, Manager->GetEditColor());
    EXPECT_EQ(Tree->Header()->Font()->Color(), Manager->GetMainFontColor());
    adapter.reset();
    EXPECT_EQ(Tree->Themed(), 1);
    EXPECT_EQ(Tree->PaintInfoColumn()->Color, vcl::clBtnFace);
    EXPECT_EQ(Tree->Header()->Color, vcl::clBtnFace);
    EXPECT_EQ(Tree->Header()->Font()->Color(), vcl::clBtnText);
}

// A scroll message reaches the tree while it cannot draw; the whole tree is
// drawn once after it.
TEST_F(VirtualTree, ScrollRunsWithRedrawingOffAndRedrawsAfter) {
    auto adapter = Skin();
    PumpFor(30ms);
    Tree->DrewWhileScrolling = true;
    InvalidateRect(Tree->Handle(), nullptr, FALSE);
    SendMessageW(Tree->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_FALSE(Tree->DrewWhileScrolling);
    EXPECT_TRUE(IsWindowVisible(Tree->Handle()));
    EXPECT_FALSE(GetUpdateRect(Tree->Handle(), nullptr, FALSE));
}

// The client is printed below the visible header, and at the frame with
// the header hidden.
TEST_F(VirtualTree, PrintPutsTheClientBelowAVisibleHeader) {
    auto adapter = Skin();
    auto &a = *dynamic_cast<TvlVirtualTreeViewWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    Tree->Header()->Height = 20;
    const auto printed = [&](int X, int Y) {
        vcl::TBitmap bmp;
        bmp.SetPixelFormat(vcl::pf32bit);
        bmp.SetSize(200, 150);
        const HDC dc = bmp.Canvas()->Handle();
        SendMessageW(Tree->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
        return static_cast<vcl::TColor>(GetPixel(dc, X, Y) & 0xFFFFFF);
    };
    const int f = std::max(a.FrameLeft, 0);
    EXPECT_NE(printed(f + 5, f + 19), TTestVirtualTree::ClientInk);
    EXPECT_EQ(printed(f + 5, f + 20), TTestVirtualTree::ClientInk);
    Tree->Header()->SetOptions({});
    EXPECT_EQ(printed(f + 5, f + 1), TTestVirtualTree::ClientInk);
}

// Without the client edge the frame is the tree's own: the skin copies no
// strips over it.
TEST_F(VirtualTree, AFrameWithoutTheClientEdgeIsLeftToTheTree) {
    SetWindowLongPtrW(Tree->Handle(), GWL_STYLE, GetWindowLongPtrW(Tree->Handle(), GWL_STYLE) | WS_BORDER);
    SetWindowPos(Tree->Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    auto adapter = Skin();
    ASSERT_GT(dynamic_cast<TvlVirtualTreeViewWnd *>(static_cast<TvlMainWnd *>(adapter.get()))->FrameLeft, 0);
    constexpr vcl::TColor Mark = 0x123456;
    const uitest::TImage32 before = uitest::CaptureWindow(Tree->Handle());
    if (const HDC dc = GetWindowDC(Tree->Handle())) {
        const vcl::TBrushHandle mark(CreateSolidBrush(Mark));
        const RECT top{0, 0, before.Width, 1};
        FillRect(dc, &top, mark.Get());
        ReleaseDC(Tree->Handle(), dc);
    }
    SendMessageW(Tree->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(Tree->Handle()), before.Width / 2, 0), Mark);
}

// What WM_PRINT gives of a window, frame and children included, as the
// pixels that differ from the screen's.
int PrintedDifferences(HWND Window) {
    const uitest::TImage32 screen = uitest::CaptureWindow(Window);
    vcl::TBitmap printed;
    printed.SetPixelFormat(vcl::pf32bit);
    printed.SetSize(screen.Width, screen.Height);
    const HDC dc = printed.Canvas()->Handle();
    SendMessageW(Window, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    int differences = 0;
    for (int y = 0; y < screen.Height; ++y)
        for (int x = 0; x < screen.Width; ++x)
            differences += static_cast<vcl::TColor>(GetPixel(dc, x, y) & 0xFFFFFF) != ColorAt(screen, x, y);
    return differences;
}

// A list view in report view (its skinned header with it), a virtual tree
// with its header and an owner-drawn combo box (its field the adapter's
// item on the screen too) print what the screen shows.
TEST_F(VirtualTree, PrintOfListTreeAndComboEqualsTheScreen) {
    auto tree = Skin();
    InitCommonControls();
    const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 220, 10,
                                      160, 120, Form.Form->WindowHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 70;
    col.pszText = const_cast<wchar_t *>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t *>(L"Row");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    auto listA = AdapterFactory().CreateAdapter(tpListView, list, ParamsFor(nullptr), Manager.get());
    auto *box = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 10, 200);
    box->SetBounds(10, 200, 180, 24);
    box->SetStyle(vcl::csOwnerDrawFixed);
    box->Items()->Add("Chosen");
    box->SetItemIndex(0);
    auto boxA = AdapterFactory().CreateAdapter(tpComboBox, box->Handle(), ParamsFor(box), Manager.get());
    SetCursorPos(5, 5);
    RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(80ms);
    EXPECT_EQ(PrintedDifferences(list), 0);
    EXPECT_EQ(PrintedDifferences(Tree->Handle()), 0);
    EXPECT_EQ(PrintedDifferences(box->Handle()), 0);
    listA.reset();
    DestroyWindow(list);
}

// A tree whose header lies in its frame paints it when the frame is
// painted, and prints what the screen shows.
TEST_F(VirtualTree, HeaderInTheFrameIsPaintedWithTheFrame) {
    Tree->HeaderInFrame = true;
    Tree->Header()->Height = 16;
    auto adapter = Skin();
    SetWindowPos(Tree->Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RedrawWindow(Tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(50ms);
    const uitest::TImage32 shot = uitest::CaptureWindow(Tree->Handle());
    EXPECT_EQ(ColorAt(shot, shot.Width / 2, 10), HeaderFace);
    EXPECT_EQ(ColorAt(shot, shot.Width / 2, 40), TTestVirtualTree::ClientInk);
    EXPECT_EQ(PrintedDifferences(Tree->Handle()), 0);
}

} // namespace
} // namespace skin
