// The grid adapters on test controls that publish a grid's properties:
// what the skin gives each property, what a grid lacking a property keeps,
// and every value back as it read when the adapter goes; the extended
// grid's options, row colours and parameter objects; the grid's own
// painting reaching a print and the background left to the grid; the
// position a data grid reads during a thumb drag; the bar after a paint
// inside a scroll message; handle counts over many adapter lives.
#include <gtest/gtest.h>
#include <windows.h>

#include "GridTestControl.h"
#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlGridWnd.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlImageHelpers.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sVclUtils.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

constexpr vcl::TColor Main = 0xE0E0E0, Font = 0x202020, Edit = EditFace, EditFont = EditInk;

vcl::TColor Rgb(vcl::TColor C) { return vcl::ColorToRGB(C); }

class GridAdapters : public AdaptersFixture {
protected:
    GridAdapters() {
        Manager.reset();
        Manager = ScrollSkinManager();
        Form.Form->SetBounds(40, 40, 520, 320);
        Form.Show();
    }
    template <class G> G *NewGrid(int X = 10, int Y = 10) {
        G *g = Form.Add(vcl::Create<G>(Form.Form), X, Y);
        g->SetBounds(X, Y, 220, 140);
        g->HandleNeeded();
        return g;
    }
    std::unique_ptr<TvlWindowAdapter> Skin(vcl::TWinControl *Grid, int Kind) {
        return AdapterFactory().CreateAdapter(Kind, Grid->Handle(), ParamsFor(Grid), Manager.get());
    }
    TestForm Form;
};

TEST_F(GridAdapters, AGridWithControlLookTakesTheSkinsColoursAndGetsEachOfItsOwnBack) {
    auto *g = NewGrid<TTestLookGrid>();
    g->ControlLook()->FixedGradientTo = vcl::clNone;
    auto adapter = Skin(g, tpGrid);
    ASSERT_TRUE(adapter);
    EXPECT_NE(dynamic_cast<TvlGridWnd *>(static_cast<TvlMainWnd *>(adapter.get())), nullptr);
    EXPECT_EQ(g->FixedColor, Main);
    EXPECT_EQ(g->FixedFont()->Color(), Font);
    EXPECT_EQ(g->GridFixedLineColor, SkinBorder);
    EXPECT_EQ(g->GridLineColor, MixColors(Edit, EditFont, 0.7));
    EXPECT_EQ(g->SelectionColor, Manager->GetSelectionColor(true));
    EXPECT_EQ(g->SelectionTextColor, Manager->GetSelectionFontColor(true));
    EXPECT_EQ(g->ControlLook()->FixedGradientFrom, MixColors(Main, Edit, 0.5));
    EXPECT_EQ(g->ControlLook()->FixedGradientTo, Main);
    EXPECT_EQ(g->ControlLook()->FixedGradientMirrorFrom, MixColors(Main, 0, 0.95));
    EXPECT_EQ(g->ControlLook()->FixedGradientMirrorTo, MixColors(Main, 0xFFFFFF, 0.9));
    EXPECT_EQ(g->LineColors()->FixedColor, SkinBorder);
    EXPECT_EQ(g->LineColors()->DataColor, MixColors(Edit, EditFont, 0.8));
    EXPECT_EQ(g->LineColors()->ShadowColor, MixColors(Edit, EditFont, 0.8));
    EXPECT_EQ(g->IndicatorIconColor, EditFont) << "the grid's own section, the edit's";
    EXPECT_EQ(g->FooterCellColor, Main);

    adapter.reset();
    EXPECT_EQ(g->FixedColor, Rgb(vcl::clBtnFace));
    EXPECT_EQ(g->FixedFont()->Color(), 0x121212);
    EXPECT_EQ(g->GridFixedLineColor, Rgb(vcl::clGray));
    EXPECT_EQ(g->GridLineColor, Rgb(vcl::clSilver));
    EXPECT_EQ(g->SelectionColor, Rgb(vcl::clHighlight));
    EXPECT_EQ(g->ControlLook()->FixedGradientFrom, Rgb(vcl::clBtnFace));
    EXPECT_EQ(g->ControlLook()->FixedGradientTo, vcl::clBtnFace) << "no colour reads as the button face";
    EXPECT_EQ(g->ControlLook()->FixedGradientMirrorTo, 0x202020);
    EXPECT_EQ(g->LineColors()->DataColor, 0x404040);
    EXPECT_EQ(g->LineColors()->ShadowColor, 0x505050) << "the shadow keeps its own colour";
    EXPECT_EQ(g->IndicatorIconColor, 0x0A0B0C);
    EXPECT_EQ(g->FooterCellColor, 0x040506);
}

TEST_F(GridAdapters, AGridWithoutControlLookKeepsWhatOnlyThoseGridsChange) {
    auto *g = NewGrid<TTestPlainGrid>();
    auto adapter = Skin(g, tpGrid);
    ASSERT_TRUE(adapter);
    EXPECT_EQ(g->FixedColor, Main);
    EXPECT_EQ(g->TitleFont()->Color(), Font);
    EXPECT_EQ(g->GridStyle()->Title()->StartColor, MixColors(Main, Edit, 0.5));
    EXPECT_EQ(g->GridStyle()->Title()->EndColor, Main);
    EXPECT_EQ(g->FooterColor, Main);
    EXPECT_EQ(g->TitleColor, Main);
    EXPECT_EQ(g->GridLineColor, vcl::clSilver);
    EXPECT_EQ(g->SelectionColor, vcl::clHighlight);
    EXPECT_EQ(g->FixedFont()->Color(), 0x121212);
    // Unpublished here: untouched whatever their value.
    EXPECT_EQ(g->LineColors()->DataColor, 0x404040);
    EXPECT_EQ(g->IndicatorIconColor, 0x0A0B0C);

    // The skin goes and comes back: the grid's own, then the skin's again.
    Manager->SetActive(false);
    SendMessageW(g->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(g->FixedColor, Rgb(vcl::clBtnFace));
    EXPECT_EQ(g->TitleFont()->Color(), 0x111111);
    EXPECT_EQ(g->GridStyle()->Title()->StartColor, vcl::clBtnFace);
    Manager->SetActive(true);
    SendMessageW(g->Handle(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    SendMessageW(g->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(g->FixedColor, Main);
    EXPECT_EQ(g->TitleFont()->Color(), Font);
}

TEST_F(GridAdapters, TheExtendedGridsOptionsRowsAndParameterObjects) {
    auto *g = NewGrid<TTestGridEh>(10, 10);
    auto *same = NewGrid<TTestGridEh>(250, 10);
    same->OddRowColor = same->EvenRowColor;
    g->DataGrouping()->ParentColor = false;
    same->DataGrouping()->ParentColor = true;
    auto a = Skin(g, tpGridEh);
    auto b = Skin(same, tpGridEh);
    ASSERT_TRUE(a && b);
    EXPECT_NE(dynamic_cast<TvlGridEhWnd *>(static_cast<TvlMainWnd *>(a.get())), nullptr);
    const bool themed = ThemesActive();
    EXPECT_EQ(g->OptionsEh.Contains(dghFixed3D), !themed) << "taken out only under visual themes";
    EXPECT_TRUE(g->OptionsEh.Contains(dghHighlightFocus));
    EXPECT_EQ(g->EvenRowColor, Manager->SkinColors[scEditBgEven]);
    EXPECT_EQ(g->OddRowColor, Manager->SkinColors[scEditBgOdd]);
    EXPECT_EQ(same->EvenRowColor, vcl::clWindow) << "equal row colours stay";
    EXPECT_EQ(same->OddRowColor, vcl::clWindow);
    EXPECT_EQ(g->GridLineParams()->BrightColor, MixColors(0xFFFFFF, Edit, 0.2));
    EXPECT_EQ(g->GridLineParams()->DataVertColor, MixColors(EditFont, Edit, 0.2));
    EXPECT_EQ(g->GridLineParams()->DarkColor, MixColors(0, Main, 0.3));
    EXPECT_FALSE(g->IndicatorParams()->HorzLines);
    EXPECT_FALSE(g->IndicatorParams()->VertLines);
    EXPECT_EQ(g->IndicatorParams()->FillStyle, tfsVista);
    EXPECT_EQ(g->TitleParams()->FillStyle, tfsBevel);
    EXPECT_EQ(g->TitleParams()->SecondColor, MixColors(0xFFFFFF, Main, 0.1));
    EXPECT_EQ(g->TitleParams()->VertLineColor, SkinBorder);
    EXPECT_EQ(g->DataGrouping()->Color, 0xD0D0D0) << "a grouping with its own colour keeps it";
    EXPECT_EQ(same->DataGrouping()->Color, MixColors(0xFFFFFF, Main, 0.1));
    EXPECT_EQ(g->RowCategories()->Font()->Color(), Font);
    EXPECT_EQ(g->RowDetailPanel()->Color, Main);
    EXPECT_EQ(g->FixedColor, Main) << "and the plain grid's rows";

    a.reset();
    b.reset();
    EXPECT_TRUE(g->OptionsEh.Contains(dghFixed3D));
    EXPECT_EQ(g->EvenRowColor, Rgb(vcl::clWindow));
    EXPECT_EQ(g->OddRowColor, 0xECF0F4);
    EXPECT_TRUE(g->IndicatorParams()->HorzLines);
    EXPECT_EQ(g->IndicatorParams()->FillStyle, tfsSolid);
    EXPECT_EQ(g->TitleParams()->FillStyle, tfsGradient);
    EXPECT_EQ(g->RowCategories()->Font()->Color(), 0x131313);
    EXPECT_EQ(same->DataGrouping()->Color, 0xD0D0D0);
    EXPECT_EQ(g->FixedColor, Rgb(vcl::clBtnFace));
}

TEST_F(GridAdapters, PropertyPathsFindNestedValuesAndSkipWhatIsMissing) {
    auto *g = NewGrid<TTestGridEh>();
    EXPECT_TRUE(HasPropertyPath(g, "GridStyle.Title.EndColor"));
    EXPECT_TRUE(HasPropertyPath(g, "RowCategories.Font.Color"));
    EXPECT_FALSE(HasPropertyPath(g, "GridStyle.Title")) << "an object, no value";
    EXPECT_FALSE(HasPropertyPath(g, "ControlLook.FixedGradientFrom")) << "not published by this grid";
    EXPECT_FALSE(HasPropertyPath(g, "GridStyle.Nothing.Color"));
    EXPECT_EQ(GetPathOrd(g, "GridStyle.Title.EndColor"), 0x606060);
    SetPathOrd(g, "GridStyle.Title.EndColor", 0x123456);
    EXPECT_EQ(g->GridStyle()->Title()->EndColor, 0x123456);
    SetPathOrd(g, "Missing.Path", 1);  // silently nothing
    EXPECT_EQ(GetPathOrd(g, "Missing.Path"), 0);
}

TEST_F(GridAdapters, ThePrintShowsTheGridsCellsAndErasingIsLeftToTheGrid) {
    auto *g = NewGrid<TTestLookGrid>();
    auto adapter = Skin(g, tpGrid);
    auto &grid = *dynamic_cast<TvlGridWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    RedrawWindow(g->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(50ms);
    RECT w{};
    GetWindowRect(g->Handle(), &w);
    vcl::TBitmap bmp;
    bmp.SetSize(w.right - w.left, w.bottom - w.top);
    const HDC dc = bmp.Canvas()->Handle();
    PatBlt(dc, 0, 0, bmp.Width(), bmp.Height(), BLACKNESS);

    EXPECT_EQ(SendMessageW(g->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(GetPixel(dc, 20, 20), 0u) << "erasing paints nothing";

    // Asked for the frame only: the adapter adds the grid's cells itself.
    SendMessageW(g->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    const int left = std::max(grid.FrameLeft, 0), top = std::max(grid.FrameTop, 0);
    // The title row in the skin's main colour, one pixel inside the client.
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, left + 1, top + 1)), Main);
    // A row line in the grid's line colour, at the client's row 18.
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, left + 30, top + 36)), MixColors(Edit, EditFont, 0.7));
    // The vertical bar right of the client is the skin's.
    RECT c{};
    GetClientRect(g->Handle(), &c);
    ASSERT_TRUE(grid.VertBar->Shown);
    EXPECT_TRUE(IsBarColor(static_cast<vcl::TColor>(GetPixel(dc, left + c.right + 3, top + c.bottom / 2))));
}

// A data grid reads its position from its scroll information on the thumb
// messages, moves to a record only at the thumb's release, and puts its bar
// back at its record after each message. Dragged on the skinned bar, it
// reads each position the drag reached, and the last one at the release.
TEST_F(GridAdapters, ADataGridsThumbHandlerReadsTheDraggedPosition) {
    struct ThumbHandler {
        HWND Window = nullptr;
        vcl::TWndMethod Next;
        int Record = 0;
        std::vector<std::pair<int, int>> Seen;  // position sent, position read
        void Call(vcl::TMessage &M) {
            const int code = M.Msg == WM_VSCROLL ? LOWORD(M.WParam) : -1;
            if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
                SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
                GetScrollInfo(Window, SB_VERT, &info);
                Seen.push_back({static_cast<short>(HIWORD(M.WParam)), info.nPos});
                if (code == SB_THUMBPOSITION) Record = info.nPos;
                info.nPos = Record;
                SetScrollInfo(Window, SB_VERT, &info, FALSE);
            }
            Next(M);
        }
    } grid;
    auto *g = NewGrid<TTestPlainGrid>();
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 0, 0};
    SetScrollInfo(g->Handle(), SB_VERT, &info, TRUE);
    grid.Window = g->Handle();
    grid.Next = g->WindowProc;
    g->WindowProc = vcl::TWndMethod::Bind<&ThumbHandler::Call>(&grid);
    auto adapter = Skin(g, tpGrid);
    const auto &a = *dynamic_cast<TvlGridWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
    RedrawWindow(g->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(30ms);
    const vcl::TRect bar = VertScrollBarRect(a);
    const int x = (bar.Left + bar.Right) / 2;
    SetCursorPos(x, bar.Top + ScrollBarMetric(*a.VertBar, false) + 4);
    PumpFor(30ms);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(30ms);
    for (int y = bar.Top + 20; y < bar.Bottom && (grid.Seen.empty() || grid.Seen.back().first < 40); ++y) {
        SetCursorPos(x, y);
        PumpFor(10ms);
    }
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(50ms);
    SetCursorPos(5, 5);
    adapter.reset();  // gives the recorder back, which then goes
    g->WindowProc = grid.Next;
    ASSERT_GE(grid.Seen.size(), 2u);
    EXPECT_EQ(grid.Seen.back().first, grid.Seen[grid.Seen.size() - 2].first);  // the release's position: the last
    EXPECT_GE(grid.Seen.back().first, 40);
    for (const auto &[sent, read] : grid.Seen) EXPECT_EQ(read, sent);
    EXPECT_EQ(grid.Record, grid.Seen.back().first);
}

// A grid that paints inside its scroll handler (the system draws its own
// bar then) gets the skinned bar back with that paint.
TEST_F(GridAdapters, APaintInsideAScrollMessagePutsTheSkinnedBarBack) {
    auto *g = NewGrid<TTestLookGrid>();
    auto adapter = Skin(g, tpGrid);
    auto &grid = *dynamic_cast<TvlGridWnd *>(static_cast<TvlMainWnd *>(adapter.get()));
    RedrawWindow(g->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpFor(30ms);
    ASSERT_TRUE(grid.VertBar->Shown);
    const vcl::TRect bar = InWindow(g->Handle(), VertScrollBarRect(grid));
    {
        const vcl::TWindowDC dc(g->Handle(), GetWindowDC(g->Handle()));
        PatBlt(dc.Get(), bar.Left, bar.Top, bar.Width(), bar.Height(), BLACKNESS);
    }
    grid.InScrollMessage = true;
    RedrawWindow(g->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    grid.InScrollMessage = false;
    EXPECT_TRUE(ShowsSkinnedBar(uitest::CaptureWindow(g->Handle()), bar));
}

TEST_F(GridAdapters, AThousandAdapterLivesLeaveNoHandleBehind) {
    auto *plain = NewGrid<TTestPlainGrid>(10, 10);
    auto *eh = NewGrid<TTestGridEh>(250, 10);
    const auto cycle = [&] {
        auto a = Skin(plain, tpGrid);
        auto b = Skin(eh, tpGridEh);
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(plain->FixedColor, Rgb(vcl::clBtnFace));
}

} // namespace
} // namespace skin
