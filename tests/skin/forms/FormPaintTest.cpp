// The painting messages of a skinned form: when the frame output runs and
// when it waits, the client background copied from the cache (on screen
// and into a copy), what reaches the form's own procedure, and what a print
// gives the form's own paint handler.
#include <gtest/gtest.h>

#include "FrameOutputTestSupport.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormPaint : FrameFixture {
    // A 32-bit image of the form's size to paint into, black at first.
    std::unique_ptr<vcl::TBitmap> Image = [] {
        auto b = std::make_unique<vcl::TBitmap>();
        b->SetPixelFormat(vcl::pf32bit);
        b->SetSize(400, 300);
        return b;
    }();
    WPARAM ImageDC() { return reinterpret_cast<WPARAM>(Image->Canvas()->Handle()); }
    COLORREF ImagePixel(int X, int Y) { return GetPixel(Image->Canvas()->Handle(), X, Y); }
    // The frame output ran: it set the window's region.
    bool FrameOutputRan() {
        P->RegionChanged = true;
        SetWindowRgn(W(), nullptr, FALSE);
        Watcher.Seen.clear();
        SendMessageW(W(), WM_NCPAINT, 1, 0);
        EXPECT_FALSE(Watcher.Saw(WM_NCPAINT));  // never the form's own frame
        return !P->RegionChanged && WindowRegion(W());
    }
};

TEST_F(FormPaint, TheFrameIsPaintedOnlyWhenItsStateAllows) {
    ShowFilled();
    EXPECT_TRUE(FrameOutputRan());
    for (std::uint16_t flag : {bgfPaintLockTaken, bgfMenuChangePending}) {
        P->SkinData()->SetBGFlags(P->SkinData()->BGFlags() | flag);
        EXPECT_FALSE(FrameOutputRan()) << flag;
        P->SkinData()->SetBGFlags(P->SkinData()->BGFlags() & ~flag);
    }
    P->StateFlags |= pfSnapshotTaken;
    EXPECT_FALSE(FrameOutputRan());
    P->StateFlags &= ~pfSnapshotTaken;
    {
        // Held back while its own client area paints, not another form's.
        TvlStateOverride painting(FormsState().ClientPainting, true);
        TvlStateOverride other(FormsState().ClientPaintingWindow, HWND_DESKTOP);
        EXPECT_TRUE(FrameOutputRan());
        TvlStateOverride own(FormsState().ClientPaintingWindow, W());
        EXPECT_FALSE(FrameOutputRan());
    }
    P->DialogMade = true;
    EXPECT_TRUE(FrameOutputRan());
    EXPECT_FALSE(P->DialogMade);  // the form's own provider now
    // A main menu that the window does not show yet: its line is unknown.
    auto *bar = vcl::Create<vcl::TMainMenu>(F());
    auto *file = vcl::Create<vcl::TMenuItem>(bar);
    file->SetCaption("File");
    bar->Items()->Add(file);
    F()->SetMenu(bar);
    bar->SetWindowHandle(nullptr);
    EXPECT_FALSE(FrameOutputRan());
    bar->SetWindowHandle(W());
    EXPECT_TRUE(FrameOutputRan());
}

TEST_F(FormPaint, TheBackgroundIsTheClientPartOfTheCache) {
    ShowFilled();
    const int ox = P->GetClientOffsetX(), oy = P->GetClientOffsetY();
    Watcher.Seen.clear();
    EXPECT_EQ(SendMessageW(W(), WM_ERASEBKGND, ImageDC(), 0), 1);
    EXPECT_FALSE(Watcher.Saw(WM_ERASEBKGND));
    const int right = F()->ClientWidth() - 1, bottom = F()->ClientHeight() - 1;
    for (const auto &[x, y] : {std::pair{0, 0}, std::pair{100, 50}, std::pair{right, bottom}})
        EXPECT_EQ(ImagePixel(x, y), PatternAt(x + ox, y + oy)) << x << "," << y;
    EXPECT_EQ(ImagePixel(F()->ClientWidth(), 0), 0u);  // nothing beyond the client area
    EXPECT_FALSE(FormsState().ClientPainting);

    // A copy of the form (the DC in both parameters): the cache while it is
    // current, else the section's colour.
    P->SkinData()->BGChanged = true;
    EXPECT_EQ(SendMessageW(W(), WM_ERASEBKGND, ImageDC(), static_cast<LPARAM>(ImageDC())), 1);
    EXPECT_EQ(ImagePixel(100, 50), 0xF0F0F0u);

    // A background that waits for its parent is not painted; without client
    // drawing the form paints its own.
    Image->Canvas()->FillRect({0, 0, 400, 300});
    const COLORREF blank = ImagePixel(100, 50);
    P->SkinData()->PaintLocked = true;
    EXPECT_EQ(SendMessageW(W(), WM_ERASEBKGND, ImageDC(), 0), 0);
    EXPECT_EQ(ImagePixel(100, 50), blank);
    P->SkinData()->PaintLocked = false;
    P->SetDrawClientArea(false);
    SendMessageW(W(), WM_ERASEBKGND, ImageDC(), 0);
    EXPECT_TRUE(Watcher.Saw(WM_ERASEBKGND));
}

TEST_F(FormPaint, APaintIsTheProvidersAndValidatesTheWindow) {
    ShowFilled();
    InvalidateRect(W(), nullptr, FALSE);
    Watcher.Seen.clear();
    UpdateWindow(W());
    EXPECT_FALSE(Watcher.Saw(WM_PAINT));
    EXPECT_FALSE(GetUpdateRect(W(), nullptr, FALSE));
    EXPECT_FALSE(FormsState().ClientPainting);

    // A form that is not showing leaves its paint to its own procedure,
    // as does a paint into a DC that asks for its picture.
    F()->Hide();
    ASSERT_TRUE(P->SkinData()->CanUseCache());
    Watcher.Seen.clear();
    SendMessageW(W(), WM_PAINT, reinterpret_cast<WPARAM>(ImageDC()), 0);
    EXPECT_TRUE(Watcher.Saw(WM_PAINT));
    F()->Show();

    // The restore animation leaves the client area to the form.
    P->StateFlags |= pfRestoreAnimation;
    InvalidateRect(W(), nullptr, FALSE);
    UpdateWindow(W());
    EXPECT_TRUE(Watcher.Saw(WM_PAINT));
    P->StateFlags &= ~pfRestoreAnimation;

    // The system's frame with a menu bar: its bar is drawn again after the client.
    auto *menu = vcl::Create<vcl::TMainMenu>(F());
    auto *item = vcl::Create<vcl::TMenuItem>(menu);
    item->SetCaption("File");
    menu->Items()->Add(item);
    F()->SetMenu(menu);
    P->SetDrawNonClientArea(false);
    RedrawWindow(W(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    InvalidateRect(W(), nullptr, FALSE);
    Watcher.Seen.clear();
    UpdateWindow(W());
    EXPECT_TRUE(Watcher.Saw(WM_NCPAINT));
}

TEST_F(FormPaint, APrintHandsTheClientAreaToTheFormsPaintHandler) {
    ShowFilled();
    struct Painter {
        vcl::TForm *Form;
        int Calls = 0;
        void Paint(vcl::TObject *) {
            ++Calls;
            SetPixel(Form->Canvas()->Handle(), 0, 0, RGB(1, 2, 3));
        }
    } painter{F()};
    F()->OnPaint = vcl::TNotifyEvent::Bind<&Painter::Paint>(&painter);
    Watcher.Seen.clear();
    SendMessageW(W(), WM_PRINT, ImageDC(), PRF_CLIENT | PRF_NONCLIENT);
    EXPECT_FALSE(Watcher.Saw(WM_PRINT));
    EXPECT_EQ(painter.Calls, 1);
    EXPECT_EQ(ImagePixel(P->GetClientOffsetX(), P->GetClientOffsetY()), RGB(1, 2, 3));
    POINT origin{};
    GetViewportOrgEx(Image->Canvas()->Handle(), &origin);
    EXPECT_EQ(origin.x, 0);  // the DC is given back as it came

    // With the background asked for, only the background is printed.
    EXPECT_EQ(SendMessageW(W(), WM_PRINT, ImageDC(), PRF_ERASEBKGND | PRF_CLIENT), 1);
    EXPECT_EQ(painter.Calls, 1);
    EXPECT_FALSE(Watcher.Saw(WM_ERASEBKGND));
    F()->OnPaint = {};
}

TEST_F(FormPaint, APrintOfTheFormIsWhatTheScreenShows) {
    ShowFilled();
    RedrawWindow(W(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    vcl::Application->ProcessMessages();
    SendMessageW(W(), WM_PRINT, ImageDC(), PRF_CLIENT | PRF_NONCLIENT);
    const std::unique_ptr<vcl::TBitmap> screen = ScreenImage(W());
    EXPECT_EQ(Mismatches(W(), *screen, *Image, {0, 0, 400, 300}), 0);
}

} // namespace
} // namespace skin
