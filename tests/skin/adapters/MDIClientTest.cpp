// The MDI client adapter of a skinned MDI parent: the client's face and
// edge copied from the form's frame image at the client's place, nothing
// erased under a maximized child, the form's colour where the skin has no
// face for it and the image may not serve, thumb scrolling that moves the
// children as far as the unskinned client does, and its skin commands;
// handle counts over many adapter lives.
#include <gtest/gtest.h>
#include <windows.h>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlMDIClientWnd.h"
#include "skin/adapters/vlScrollBars.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sCommonData.h"
#include "skin/graphics/sSkinCommand.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

struct MDIParent {
    std::unique_ptr<vcl::TForm> Form{vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)};
    TsSkinProvider *P = nullptr;
    explicit MDIParent(bool Skinned) {
        Form->SetFormStyle(vcl::fsMDIForm);
        Form->SetBounds(60, 60, 520, 380);
        Form->SetCaption("MDI");
        if (Skinned) P = vcl::Create<TsSkinProvider>(Form.get());
        Form->Show();
        vcl::Application->ProcessMessages();
    }
    HWND Client() const { return Form->ClientHandle(); }
    vcl::TForm *Child(const char *Caption, int X, int Y) {
        auto *child = vcl::Create<vcl::TForm>(Form.get(), vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->SetCaption(Caption);
        child->SetBounds(X, Y, 200, 140);
        child->Show();
        vcl::Application->ProcessMessages();
        return child;
    }
    TvlMDIWnd *Adapter() const {
        if (!P || !P->MDIHelper || !P->MDIHelper->ClientAdapter) return nullptr;
        return dynamic_cast<TvlMDIWnd *>(static_cast<TvlMainWnd *>(P->MDIHelper->ClientAdapter.get()));
    }
    void Redraw() const {
        RedrawWindow(Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(60ms);
    }
};

// A black bitmap of the client window's size.
struct Canvas {
    vcl::TBitmap Bmp;
    explicit Canvas(HWND Window) {
        RECT r{};
        GetWindowRect(Window, &r);
        Bmp.SetSize(r.right - r.left, r.bottom - r.top);
        PatBlt(DC(), 0, 0, Bmp.Width(), Bmp.Height(), BLACKNESS);
    }
    HDC DC() { return Bmp.Canvas()->Handle(); }
    vcl::TColor At(int X, int Y) { return static_cast<vcl::TColor>(GetPixel(DC(), X, Y)); }
};

POINT ChildPos(HWND Child) {
    RECT r{};
    GetWindowRect(Child, &r);
    return {r.left, r.top};
}

// A child far below the client's bottom, and the client given the scroll
// styles that Wine's client drops when it is made (it never shows bars
// without them), its extent reckoned by the system.
vcl::TForm *ScrollingChild(MDIParent &F) {
    vcl::TForm *child = F.Child("Far", 20, 600);
    F.Child("Near", 10, 10);
    SetWindowPos(child->WindowHandle(), nullptr, 20, 600, 210, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowLongPtrW(F.Client(), GWL_STYLE, GetWindowLongPtrW(F.Client(), GWL_STYLE) | WS_HSCROLL | WS_VSCROLL);
    SetWindowPos(F.Client(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    vcl::Application->ProcessMessages();
    using TCalc = void(WINAPI *)(HWND, INT);
    const auto calc = reinterpret_cast<TCalc>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "CalcChildScroll")));
    EXPECT_NE(calc, nullptr);
    if (calc) calc(F.Client(), SB_BOTH);
    PumpFor(50ms);
    return child;
}

class MDIClient : public AdaptersFixture {
protected:
    MDIClient() {
        Manager.reset();
        Manager = ScrollSkinManager();
    }
};

TEST_F(MDIClient, TheClientIsServedByItsAdapterAndShowsTheFormsImageAtItsPlace) {
    MDIParent f(true);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(SendSkinQuery(f.Client(), SC_IS_HANDLED));
    EXPECT_EQ(a->Provider, f.P);
    f.Redraw();
    vcl::TBitmap *cache = f.P->SkinData()->CacheBmp();
    ASSERT_NE(cache, nullptr);
    const vcl::TPoint at = a->OffsetInCache();
    RECT client{}, form{};
    GetWindowRect(f.Client(), &client);
    GetWindowRect(f.Form->WindowHandle(), &form);
    EXPECT_EQ(at.X, client.left - form.left);
    EXPECT_EQ(at.Y, client.top - form.top);

    // Printed: every pixel of the window is the image's at the offset.
    Canvas print(f.Client());
    EXPECT_EQ(SendMessageW(f.Client(), WM_PRINT, reinterpret_cast<WPARAM>(print.DC()), PRF_CLIENT | PRF_NONCLIENT), 0);
    int differ = 0;
    const HDC src = cache->Canvas()->Handle();
    for (int y = 0; y < print.Bmp.Height(); y += 7)
        for (int x = 0; x < print.Bmp.Width(); x += 7)
            differ += print.At(x, y) != static_cast<vcl::TColor>(GetPixel(src, at.X + x, at.Y + y));
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(print.At(10, 10), f.P->GetFormColor()) << "the skin's form face";

    // On the screen, inside the client edge.
    const uitest::TImage32 shot = uitest::CaptureWindow(f.Client());
    const int edge = (GetWindowLongPtrW(f.Client(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0;
    EXPECT_EQ(ColorAt(shot, edge + 20, edge + 20), static_cast<vcl::TColor>(GetPixel(src, at.X + edge + 20, at.Y + edge + 20)));

    // The form resized: the client follows it and shows the new image at its new size.
    SetWindowPos(f.Form->WindowHandle(), nullptr, 0, 0, 640, 300, SWP_NOMOVE | SWP_NOZORDER);
    f.Redraw();
    const uitest::TImage32 resized = uitest::CaptureWindow(f.Client());
    const HDC now = f.P->SkinData()->CacheBmp()->Canvas()->Handle();
    const vcl::TPoint moved = a->OffsetInCache();
    for (const POINT p : {POINT{edge + 5, edge + 5}, POINT{resized.Width - edge - 6, resized.Height - edge - 6}})
        EXPECT_EQ(ColorAt(resized, p.x, p.y), static_cast<vcl::TColor>(GetPixel(now, moved.X + p.x, moved.Y + p.y)));
}

TEST_F(MDIClient, AMaximizedChildLeavesNothingToErase) {
    MDIParent f(true);
    vcl::TForm *child = f.Child("A", 10, 10);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    Canvas before(f.Client());
    EXPECT_EQ(SendMessageW(f.Client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(before.DC()), 0), 1);
    EXPECT_EQ(before.At(5, 5), f.P->GetFormColor()) << "erased while the child is normal";

    SendMessageW(f.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->WindowHandle()), 0);
    vcl::Application->ProcessMessages();
    ASSERT_TRUE(a->ChildMaximized());
    Canvas after(f.Client());
    EXPECT_EQ(SendMessageW(f.Client(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(after.DC()), 0), 1);
    EXPECT_EQ(after.At(5, 5), 0) << "nothing painted";
    EXPECT_EQ(SendMessageW(f.Client(), WM_PRINT, reinterpret_cast<WPARAM>(after.DC()), PRF_CLIENT), 0);
    EXPECT_EQ(after.At(5, 5), 0) << "nor printed";
}

TEST_F(MDIClient, WithoutAFaceInTheSkinAndNoUsableImageTheFormsColourShows) {
    MDIParent f(true);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    ASSERT_LT(Manager->FindSectionIndex("MDIAREA"), 0);
    TsCommonData &data = *f.P->SkinData();
    // A form whose background is its parent's, without outer effects, is not active: its image may not serve.
    data.SetBGFlags(data.BGFlags() | 1);
    Manager->Effects()->SetAllowOuterEffects(false);
    f.P->FormActive = 0;
    if (data.CanUseCache()) GTEST_SKIP() << "the image serves this form";
    f.Form->SetColor(0x2040A0);
    f.P->SkinData()->SetCustomColor(true);
    Canvas c(f.Client());
    a->PaintMDIBackground(c.DC(), true);
    EXPECT_EQ(c.At(30, 30), 0x2040A0);
}

TEST_F(MDIClient, AThumbScrollMovesTheChildrenAsFarAsTheUnskinnedClientDoes) {
    const auto moved = [](bool Skinned) {
        MDIParent f(Skinned);
        vcl::TForm *child = ScrollingChild(f);
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_ALL;
        GetScrollInfo(f.Client(), SB_VERT, &info);
        EXPECT_GT(info.nMax, info.nMin) << "the client scrolls";
        const POINT before = ChildPos(child->WindowHandle());
        const int target = info.nMin + 150;
        if (Skinned) {
            EXPECT_TRUE(f.Adapter()->VertBar->Shown) << "the skinned bar";
        }
        if (Skinned)
            SendScrollMessage(f.Client(), WM_VSCROLL, SB_THUMBPOSITION, target);
        else
            // The message as the client reads it: the code alone, the position in LParam.
            SendMessageW(f.Client(), WM_VSCROLL, SB_THUMBPOSITION, target);
        vcl::Application->ProcessMessages();
        const POINT after = ChildPos(child->WindowHandle());
        return std::make_tuple(before.y - after.y, after.x - before.x, GetScrollPos(f.Client(), SB_VERT));
    };
    const auto plain = moved(false);
    const auto skinned = moved(true);
    EXPECT_EQ(std::get<0>(plain), 150);
    EXPECT_EQ(std::get<2>(plain), 150);
    EXPECT_EQ(skinned, plain);
}

TEST_F(MDIClient, ARealThumbDragMovesTheChildrenByTheDistanceDraggedAndTheyStay) {
    MDIParent f(true);
    vcl::TForm *child = ScrollingChild(f);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    f.Redraw();
    ASSERT_TRUE(a->VertBar->Shown);
    const vcl::TRect bar = VertScrollBarRect(*a);
    const int arrow = ScrollBarMetric(*a->VertBar, false);
    const POINT before = ChildPos(child->WindowHandle());
    uitest::ActivateAndWait(f.Form->WindowHandle(), 3s);
    const int startPos = GetScrollPos(f.Client(), SB_VERT);
    const int x = (bar.Left + bar.Right) / 2, y = bar.Top + arrow + 4;
    ASSERT_EQ(SendMessageW(f.Client(), WM_NCHITTEST, 0, MAKELPARAM(x, y)), HTVSCROLL);
    SetCursorPos(x, y);
    PumpFor(30ms);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(30ms);
    ASSERT_TRUE(a->ThumbDragging);
    for (int step = 16; step < 90; step += 20) {
        SetCursorPos(x, y + step);
        PumpFor(20ms);
    }
    EXPECT_EQ(ChildPos(child->WindowHandle()).y, before.y) << "nothing moves while the thumb is dragged";
    const int dragged = ScrollEngine().TrackPos;
    MouseButton(MOUSEEVENTF_LEFTUP);
    PumpFor(100ms);
    EXPECT_GT(dragged, startPos);
    // Wine's client reckons its extent again at the end of a scroll and
    // keeps its position at 0: the children tell how far it went.
    EXPECT_EQ(before.y - ChildPos(child->WindowHandle()).y, dragged - startPos);
}

// A window that takes the mouse away in the middle of a press on an arrow
// ends the press: the arrow shows unpressed again.
TEST_F(MDIClient, APressEndedByACaptureChangeLeavesTheArrowUnpressed) {
    MDIParent f(true);
    ScrollingChild(f);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    f.Redraw();
    ASSERT_TRUE(a->VertBar->Shown);
    const vcl::TRect bar = VertScrollBarRect(*a);
    RECT window{};
    GetWindowRect(f.Client(), &window);
    const int x = bar.Left + 2, y = bar.Top + 2;
    const auto arrow = [&] { return ColorAt(uitest::CaptureWindow(f.Client()), x - window.left, y - window.top); };
    SendMessageW(f.Client(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));
    ASSERT_EQ(GetCapture(), f.Client());
    EXPECT_EQ(arrow(), ArrowPressed);
    SetCapture(f.Form->WindowHandle());
    ReleaseCapture();
    EXPECT_EQ(ScrollEngine().PressedPart, -1);
    EXPECT_EQ(arrow(), ArrowFace);
}

TEST_F(MDIClient, WithABorderFormTheImageStartsAtTheFrameOffsetAndNothingIsPrinted) {
    Manager->SetExtendedBorders(true);
    MDIParent f(true);
    TvlMDIWnd *a = f.Adapter();
    ASSERT_NE(a, nullptr);
    if (!f.P->BorderForm) GTEST_SKIP() << "no border form here";
    const vcl::TRect margins = f.P->GetShadowMargins();
    ASSERT_GT(margins.Left + margins.Top, 0);
    RECT client{}, form{};
    GetWindowRect(f.Client(), &client);
    GetWindowRect(f.Form->WindowHandle(), &form);
    // The window lies in the frame image by the margins and by what the
    // skin's frame reaches beyond its own.
    const vcl::TPoint offset = f.P->WindowToFrameOffset();
    EXPECT_EQ(a->OffsetInCache().X, client.left - form.left + offset.X);
    EXPECT_EQ(a->OffsetInCache().Y, client.top - form.top + offset.Y);
    EXPECT_GT(offset.Y, margins.Top) << "the skin's caption is taller than the window's";
    f.Redraw();
    Canvas c(f.Client());
    a->PaintMDIBackground(c.DC(), true);
    const vcl::TPoint at = a->OffsetInCache();
    EXPECT_EQ(c.At(15, 15), static_cast<vcl::TColor>(GetPixel(f.P->SkinData()->CacheBmp()->Canvas()->Handle(), at.X + 15, at.Y + 15)));
    Canvas print(f.Client());
    EXPECT_EQ(SendMessageW(f.Client(), WM_PRINT, reinterpret_cast<WPARAM>(print.DC()), PRF_CLIENT), 0);
    EXPECT_EQ(print.At(15, 15), 0) << "the border form shows the client";
}

TEST_F(MDIClient, SkinCommandsOfScrollingAndTheFormsBackground) {
    MDIParent f(true);
    ASSERT_NE(f.Adapter(), nullptr);
    const auto begin = [&](int Code) {
        return SendMessageW(f.Client(), SM_SKINCOMMAND, SkinCommand(SC_SCROLL_BEGIN),
                            static_cast<LPARAM>(Code | (WM_VSCROLL << 16)));
    };
    EXPECT_EQ(begin(SB_THUMBPOSITION), 1);
    EXPECT_EQ(begin(SB_THUMBTRACK), 1);
    EXPECT_EQ(begin(SB_LINEDOWN), 0);
    SendMessageW(f.Client(), SM_SKINCOMMAND, SkinCommand(SC_SCROLL_END), 0);
    // A thumb track outside the engine changes nothing.
    SendMessageW(f.Client(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(GetScrollPos(f.Client(), SB_VERT), 0);
    // The background question is the form's.
    TvlBgQuery fromClient{}, fromForm{};
    SendMessageW(f.Client(), SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&fromClient));
    SendMessageW(f.Form->WindowHandle(), SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&fromForm));
    EXPECT_EQ(fromClient.Kind, fromForm.Kind);
    EXPECT_EQ(fromClient.Color, fromForm.Color);
}

TEST_F(MDIClient, ManyAdapterLivesLeaveNoHandleBehind) {
    MDIParent f(true);
    f.Child("A", 10, 10);
    const auto cycle = [&] {
        f.P->MDIHelper->DisconnectClient();
        f.P->MDIHelper->ConnectClient();
        SendMessageW(f.Client(), WM_NCPAINT, 1, 0);
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_NE(f.Adapter(), nullptr);
}

} // namespace
} // namespace skin
