// The list-view and tree-view adapters on bare system controls: a report
// view of three columns and 100 items, and a tree of 100 items. Their
// colours go to the skin's and come back (shown or hidden), their bars stay
// skinned after the arrow, the thumb drag and a focus change, and the
// header is painted from the skin: hot, pressed, with a sort arrow, its
// empty rest hot too; a thumb track scrolls by its step; a divider click
// leaves no column pressed; a procedure chained over the
// header's keeps working once the adapter goes.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlListViewWnd.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "skin/manager/sMessages.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

constexpr COLORREF OwnBk = 0x00AA00, OwnTextBk = 0x0000AA, OwnText = 0xAA0000;

class ListTree : public AdaptersFixture {
protected:
    ListTree() {
        Manager.reset();
        Manager = ScrollSkinManager();
        SetCursorPos(5, 5);
        InitCommonControls();
        Parent = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 150, 120,
                                 560, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        List = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 300,
                               250, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            std::wstring name = L"Col " + std::to_wstring(c);
            col.pszText = name.data();
            col.cx = 80;
            SendMessageW(List, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
        }
        for (int i = 0; i < 100; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            std::wstring text = L"Item " + std::to_wstring(i);
            item.pszText = text.data();
            SendMessageW(List, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(List, LVM_SETBKCOLOR, 0, OwnBk);
        SendMessageW(List, LVM_SETTEXTBKCOLOR, 0, OwnTextBk);
        SendMessageW(List, LVM_SETTEXTCOLOR, 0, OwnText);
        Tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | TVS_HASLINES, 330, 10, 200,
                               250, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 100; ++i) {
            TVINSERTSTRUCTW ins{};
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT;
            std::wstring text = L"Node " + std::to_wstring(i);
            ins.item.pszText = text.data();
            SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
        }
        SendMessageW(Tree, TVM_SETBKCOLOR, 0, OwnBk);
        SendMessageW(Tree, TVM_SETTEXTCOLOR, 0, OwnText);
        Header = reinterpret_cast<HWND>(SendMessageW(List, LVM_GETHEADER, 0, 0));
        ListA = AdapterFactory().CreateAdapter(tpListView, List, ParamsFor(nullptr), Manager.get());
        TreeA = AdapterFactory().CreateAdapter(tpTreeView, Tree, ParamsFor(nullptr), Manager.get());
        uitest::ActivateAndWait(Parent, 3s);
        RedrawWindow(Parent, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(50ms);
    }
    ~ListTree() override {
        MouseButton(MOUSEEVENTF_LEFTUP);
        SetCursorPos(5, 5);
        ListA.reset();
        TreeA.reset();
        DestroyWindow(Parent);
    }
    TvlListViewWnd &L() { return *dynamic_cast<TvlListViewWnd *>(static_cast<TvlMainWnd *>(ListA.get())); }
    TvlTreeViewWnd &T() { return *dynamic_cast<TvlTreeViewWnd *>(static_cast<TvlMainWnd *>(TreeA.get())); }
    ::testing::AssertionResult Skinned(TvlScrollWnd &A) {
        PumpFor(30ms);
        return ShowsSkinnedBar(uitest::CaptureWindow(A.Handle), InWindow(A.Handle, VertScrollBarRect(A)));
    }
    RECT HeaderItem(int I) const {
        RECT r{};
        SendMessageW(Header, HDM_GETITEMRECT, I, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    POINT HeaderScreen(int X, int Y) const {
        POINT p{X, Y};
        ClientToScreen(Header, &p);
        return p;
    }
    vcl::TColor HeaderPixel(int X, int Y) { return ColorAt(uitest::CaptureWindow(Header), X, Y); }

    HWND Parent, List, Tree, Header;
    std::unique_ptr<TvlWindowAdapter> ListA, TreeA;
};

TEST_F(ListTree, ColoursGoToTheSkinsAndComeBack) {
    EXPECT_EQ(SendMessageW(List, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(EditFace));
    EXPECT_EQ(SendMessageW(List, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(EditInk));
    EXPECT_EQ(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(EditFace));
    EXPECT_EQ(SendMessageW(Tree, TVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(EditInk));
    const uitest::TImage32 tree = uitest::CaptureWindow(Tree);
    EXPECT_EQ(ColorAt(tree, 150, 100), EditFace);
    // Hidden when the skin goes: the own colours all the same.
    ShowWindow(List, SW_HIDE);
    ShowWindow(Tree, SW_HIDE);
    ListA.reset();
    TreeA.reset();
    EXPECT_EQ(SendMessageW(List, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(OwnBk));
    EXPECT_EQ(SendMessageW(List, LVM_GETTEXTBKCOLOR, 0, 0), static_cast<LRESULT>(OwnTextBk));
    EXPECT_EQ(SendMessageW(List, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(OwnText));
    EXPECT_EQ(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(OwnBk));
    EXPECT_EQ(SendMessageW(Tree, TVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(OwnText));
}

TEST_F(ListTree, TheListKeepsItsOwnKindOverTheEditAdapters) {
    // The kind decides its font-colour rule and whether it gets its theme back.
    EXPECT_EQ(L().SkinData->ControlKind, 10);
    EXPECT_EQ(T().SkinData->ControlKind, ckAdapter);
    EXPECT_EQ(L().SkinData->SkinSection(), "EDIT");
}

TEST_F(ListTree, ListArrowAndThumbDragScrollWithSkinnedBars) {
    ASSERT_TRUE(L().VertBar->Shown);
    EXPECT_TRUE(Skinned(L()));
    const vcl::TRect bar = VertScrollBarRect(L());
    const int b = ScrollBarMetric(*L().VertBar, false), x = (bar.Left + bar.Right) / 2;
    ClickAt(x, bar.Bottom - b / 2);
    EXPECT_EQ(SendMessageW(List, LVM_GETTOPINDEX, 0, 0), 1);
    EXPECT_TRUE(Skinned(L()));
    DragDown(x, bar.Top + b + 3, bar.Bottom + 30);
    const int top = static_cast<int>(SendMessageW(List, LVM_GETTOPINDEX, 0, 0));
    const int page = static_cast<int>(SendMessageW(List, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_EQ(top + page, 100);
    EXPECT_TRUE(Skinned(L()));
}

// A thumb track scrolls the list by its step from the last position sent
// (in rows); the last position itself scrolls nothing.
TEST_F(ListTree, ThumbTrackScrollsByTheStepFromTheLastPositionSent) {
    struct Step {
        int Last, Sent, Top;
    };
    for (const Step &step : {Step{7, 7, 0}, Step{7, 20, 13}, Step{20, 15, 8}}) {
        ScrollEngine().TrackPos = step.Last;
        SendMessageW(List, WM_VSCROLL, SB_THUMBTRACK, step.Sent);
        EXPECT_EQ(SendMessageW(List, LVM_GETTOPINDEX, 0, 0), step.Top) << step.Last << " to " << step.Sent;
    }
    ScrollEngine().TrackPos = -1;
}

TEST_F(ListTree, TreeScrollsAndFocusChangesKeepItsBarSkinned) {
    ASSERT_TRUE(T().VertBar->Shown);
    const vcl::TRect bar = VertScrollBarRect(T());
    const int b = ScrollBarMetric(*T().VertBar, false);
    ClickAt((bar.Left + bar.Right) / 2, bar.Bottom - b / 2);
    EXPECT_TRUE(Skinned(T()));
    SetFocus(Tree);
    PumpFor(50ms);
    EXPECT_TRUE(Skinned(T()));
    SetFocus(List);
    PumpFor(50ms);
    EXPECT_TRUE(Skinned(T()));
    EXPECT_TRUE(Skinned(L()));
}

TEST_F(ListTree, HeaderIsPaintedHotPressedAndWithASortArrow) {
    ASSERT_EQ(L().HeaderWnd, Header);
    const RECT c0 = HeaderItem(0), c1 = HeaderItem(1), c2 = HeaderItem(2);
    EXPECT_EQ(HeaderPixel(c0.left + 2, 2), HeaderFace);
    RECT client{};
    GetClientRect(Header, &client);
    EXPECT_EQ(HeaderPixel(client.right - 2, 2), HeaderFace);  // the empty rest
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_STRING | HDF_LEFT | HDF_SORTUP;
    SendMessageW(Header, HDM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const uitest::TImage32 sorted = uitest::CaptureWindow(Header);
    int ink0 = 0;
    for (int y = 0; y < sorted.Height; ++y)
        for (int x = c0.left; x < c0.right; ++x) ink0 += ColorAt(sorted, x, y) == HeaderInk;
    int ink1 = 0;
    for (int y = 0; y < sorted.Height; ++y)
        for (int x = c1.left; x < c1.right; ++x) ink1 += ColorAt(sorted, x, y) == HeaderInk;
    EXPECT_GT(ink0, ink1);  // the same caption length, plus the arrow

    const POINT hot = HeaderScreen((c1.left + c1.right) / 2, 4);
    SetCursorPos(hot.x, hot.y);
    ASSERT_TRUE(PumpUntil([&] { return HeaderPixel(c1.left + 2, 2) == HeaderHot; }));
    const POINT press = HeaderScreen((c2.left + c2.right) / 2, 4);
    SetCursorPos(press.x, press.y);
    PumpFor(30ms);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(PumpUntil([&] { return HeaderPixel(c2.left + 2, 2) == HeaderPressed; }));
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(60ms);
    EXPECT_EQ(L().PressedColumn, -1);
}

// The area right of the last column is hot under the cursor as a column
// is, and cold again once the cursor is over the list.
TEST_F(ListTree, TheHeadersEmptyRestIsHotUnderTheCursorAndColdOverTheList) {
    RECT client{};
    GetClientRect(Header, &client);
    ASSERT_LT(HeaderItem(2).right, client.right - 10);
    const POINT rest = HeaderScreen(client.right - 5, 4);
    SetCursorPos(rest.x, rest.y);
    EXPECT_TRUE(PumpUntil([&] { return HeaderPixel(client.right - 2, 2) == HeaderHot; }));
    EXPECT_EQ(HeaderPixel(HeaderItem(2).left + 2, 2), HeaderFace);
    SetCursorPos(rest.x, rest.y + 60);
    EXPECT_TRUE(PumpUntil([&] { return HeaderPixel(client.right - 2, 2) == HeaderFace; }));
    EXPECT_EQ(L().HotColumn, -1);
}

// A skin with an arrow image of 7 by 5 pixels (the master's red) for the
// sort arrows, and a column image list of one 12-pixel square.
TEST_F(ListTree, HeaderShowsColumnImagesAndTheSkinsSortArrows) {
    std::string options = ScrollSkinOptions();
    for (const char *name : {"[SCROLLBTNTOP]\r\n", "[SCROLLBTNBOTTOM]\r\n"})
        options.replace(options.find(name), std::string(name).size(),
                        std::string(name) + "GLYPHMASK=@0020,0020,0027,0025,1,0\r\n");
    TestSkin skin;
    skin.Options = options;
    AddStoredSkin(*Manager, "Arrows", skin.Packed());
    Manager->SetSkinName("Arrows");
    constexpr vcl::TColor ImageInk = 0x10C040;
    const HIMAGELIST images = ImageList_Create(12, 12, ILC_COLOR24, 1, 0);
    {
        const auto picture = NewBitmap32(12, 12);
        picture->Canvas()->Brush()->SetColor(ImageInk);
        picture->Canvas()->FillRect({0, 0, 12, 12});
        const HBITMAP handle = picture->ReleaseHandle();
        ImageList_Add(images, handle, nullptr);
        DeleteObject(handle);
    }
    SendMessageW(Header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    const auto inkBox = [&](int Column, vcl::TColor Ink) {
        const RECT c = HeaderItem(Column);
        const uitest::TImage32 shot = uitest::CaptureWindow(Header);
        InkBox box = FindInk(shot, [&](vcl::TColor p) { return p == Ink; });
        if (box.Empty() || box.Left < c.left || box.Right > c.right) return InkBox{};
        return box;
    };
    const InkBox plainCaption = inkBox(1, HeaderInk);
    for (int column : {0, 1}) {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_IMAGE;
        item.fmt = HDF_STRING | HDF_LEFT | (column == 0 ? HDF_IMAGE | HDF_SORTUP : HDF_SORTDOWN);
        item.iImage = 0;
        SendMessageW(Header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
    RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT c0 = HeaderItem(0), c1 = HeaderItem(1);
    const InkBox image = inkBox(0, ImageInk);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.Right - image.Left, 12);
    EXPECT_EQ(image.Left - c0.left, 4);
    // The caption starts past the image and its 4-pixel gap.
    const uitest::TImage32 shot = uitest::CaptureWindow(Header);
    const InkBox caption0 = FindInk(shot, [&](vcl::TColor p) { return p == HeaderInk; });
    EXPECT_GE(caption0.Left, image.Right + 4);
    // The arrows are the skin's image, one per column, the same size.
    int red0 = 0, red1 = 0;
    for (int y = 0; y < shot.Height; ++y)
        for (int x = 0; x < shot.Width; ++x) {
            if (ColorAt(shot, x, y) != MasterRed) continue;
            (x < c0.right ? red0 : x >= c1.left && x < c1.right ? red1 : red0) += 1;
        }
    EXPECT_EQ(red0, 35);
    EXPECT_EQ(red1, 35);
    EXPECT_EQ(inkBox(1, HeaderInk).Left, plainCaption.Left);
    SendMessageW(Header, HDM_SETIMAGELIST, 0, 0);
    ImageList_Destroy(images);
}

// The tree's background: the section's active colour while it is focused
// or hovered, the window's colour when it keeps its theme, and the tree's own erase
// when the adapter is told to leave it to the edit's.
TEST_F(ListTree, TreeEraseFillsInTheColourOfItsState) {
    constexpr vcl::TColor EditActive = 0xD0F0D0;
    std::string options = ScrollSkinOptions();
    const std::string plain = "[EDIT]\r\nSTATES=1\r\nCOLOR=0xF8F8F8\r\n";
    options.replace(options.find(plain), plain.size(), "[EDIT]\r\nSTATES=2\r\nCOLOR=0xF8F8F8\r\nHOTCOLOR=0xD0F0D0\r\n");
    TestSkin skin;
    skin.Options = options;
    AddStoredSkin(*Manager, "Active", skin.Packed());
    Manager->SetSkinName("Active");
    const auto erased = [&] {
        const auto bmp = NewBitmap32(20, 20);
        SendMessageW(Tree, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bmp->Canvas()->Handle()), 0);
        return static_cast<vcl::TColor>(GetPixel(bmp->Canvas()->Handle(), 10, 10));
    };
    T().SkinData->Focused = false;
    EXPECT_EQ(erased(), EditFace);
    T().SkinData->Focused = true;
    EXPECT_EQ(erased(), EditActive);
    // Hovered: the section's second state shows without a border mask too.
    T().SkinData->Focused = false;
    T().SkinData->MouseInside = true;
    EXPECT_EQ(erased(), EditActive);
    T().SkinData->MouseInside = false;
    T().EraseByEdit = true;
    EXPECT_EQ(erased(), static_cast<vcl::TColor>(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0)));
    T().EraseByEdit = false;
    T().KeepTheme = true;
    EXPECT_EQ(erased(), static_cast<vcl::TColor>(GetSysColor(COLOR_WINDOW)));
}

TEST_F(ListTree, DividerClickLeavesNoColumnPressed) {
    const RECT c0 = HeaderItem(0);
    const POINT divider = HeaderScreen(c0.right, 4);
    SetCursorPos(divider.x, divider.y);
    PumpFor(30ms);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(60ms);
    EXPECT_EQ(L().PressedColumn, -1);
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(60ms);
    EXPECT_EQ(L().PressedColumn, -1);
    EXPECT_NE(HeaderPixel(c0.left + 2, 2), HeaderPressed);
}

TEST_F(ListTree, AHeaderDestroyedOutsideReportViewIsLetGoAndTheNextHooked) {
    SendMessageW(List, LVM_SETVIEW, LV_VIEW_ICON, 0);
    ASSERT_FALSE(L().ReportView());
    DestroyWindow(Header);
    EXPECT_EQ(L().HeaderWnd, nullptr);
    // A stale handle would have the adapter let the next header go instead.
    const HWND next = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD, 0, 0, 100, 20, List, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(L().HeaderWnd, next);
    DestroyWindow(next);
    EXPECT_EQ(L().HeaderWnd, nullptr);
}

// A procedure chained over the header's while it is skinned.
WNDPROC ChainedOld = nullptr;
int ChainedCalls = 0;
LRESULT CALLBACK Chained(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    ++ChainedCalls;
    return CallWindowProcW(ChainedOld, W, M, WP, LP);
}

TEST_F(ListTree, ProcedureChainedOverTheHeaderKeepsWorkingAfterTheAdapterGoes) {
    ChainedOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Chained)));
    ListA.reset();
    EXPECT_EQ(GetWindowLongPtrW(Header, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Chained));
    ChainedCalls = 0;
    EXPECT_EQ(SendMessageW(Header, HDM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ChainedCalls, 1);
    RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // A second adapter hooks and lets go cleanly under the chain.
    SetWindowLongPtrW(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainedOld));
    EXPECT_EQ(SendMessageW(Header, HDM_GETITEMCOUNT, 0, 0), 3);
}

TEST_F(ListTree, CreateDestroyKeepsHandleCountsFlat) {
    ExpectFlatHandleCounts([&] {
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 100,
                                    100, Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH;
        col.cx = 50;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
        HWND tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 100, Parent,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
        auto a = AdapterFactory().CreateAdapter(tpListView, list, ParamsFor(nullptr), Manager.get());
        auto b = AdapterFactory().CreateAdapter(tpTreeView, tree, ParamsFor(nullptr), Manager.get());
        RedrawWindow(Parent, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        a.reset();
        b.reset();
        DestroyWindow(list);
        DestroyWindow(tree);
    });
}

} // namespace
} // namespace skin
