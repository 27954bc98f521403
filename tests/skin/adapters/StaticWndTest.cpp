// The adapters of bare static windows and links: text in the section's
// colour over what lies behind, the windows left to the system, etched
// lines, icons and bitmaps (the application's bitmap survives the adapter),
// links without their tags, and the adapters' ends.
#include <gtest/gtest.h>

#include <cstdint>

#include "StaticTestSupport.h"
#include "skin/adapters/vlSBPaint.h"
#include "skin/adapters/vlStaticWnd.h"
#include "skin/graphics/vlSkinText.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "skin/manager/sCommonData.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

// A 24-bit bitmap of one colour, the application's own.
HBITMAP SolidBitmap(int W, int H, vcl::TColor Color) {
    const vcl::TWindowDC screen(nullptr);
    const HBITMAP bmp = CreateCompatibleBitmap(screen.Get(), W, H);
    const HDC dc = CreateCompatibleDC(screen.Get());
    const HGDIOBJ old = SelectObject(dc, bmp);
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(Color));
    const RECT r{0, 0, W, H};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

vcl::TColor BitmapPixel(HBITMAP Bitmap, int X, int Y) {
    const vcl::TWindowDC screen(nullptr);
    const HDC dc = CreateCompatibleDC(screen.Get());
    const HGDIOBJ old = SelectObject(dc, Bitmap);
    const auto c = static_cast<vcl::TColor>(GetPixel(dc, X, Y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

HICON SolidIcon(vcl::TColor Color) {
    const HBITMAP colour = SolidBitmap(16, 16, Color);
    const HBITMAP mask = SolidBitmap(16, 16, 0x000000);  // black: every pixel shows
    ICONINFO info{TRUE, 0, 0, mask, colour};
    const HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

class StaticWnd : public StaticsFixture {
protected:
    PlainParent Parent;
};

TEST_F(StaticWnd, TextStaticShowsTheSectionsTextColourOverWhatLiesBehind) {
    const HWND s = Parent.Add(L"STATIC", L"Hello statics", SS_CENTER, 10, 10, 160, 40);
    auto a = Adapt<TvlStaticWnd>(s, Manager.get());
    EXPECT_EQ(a->SkinData->SkinSection(), "TRANSPARENT");
    const uitest::TImage32 image = Shown(s);
    EXPECT_EQ(ColorAt(image, 0, 0), Main);
    EXPECT_EQ(ColorAt(image, 159, 39), Main);
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == TransparentText; });
    ASSERT_FALSE(ink.Empty());
    // Written from the left as the text writer lays it out, whatever SS_CENTER says.
    EXPECT_LT(ink.Left, 6);
    // WM_PRINT gives the same picture.
    const uitest::TImage32 printed = Printed(s);
    EXPECT_EQ(FindInk(printed, [](vcl::TColor c) { return c == TransparentText; }), ink);
    EXPECT_EQ(ColorAt(printed, 159, 39), Main);
}

TEST_F(StaticWnd, NewTextIsShownAtOnceAndReadAgain) {
    const HWND s = Parent.Add(L"STATIC", L"ab", 0, 10, 10, 200, 30);
    auto a = Adapt<TvlStaticWnd>(s, Manager.get());
    const InkBox before = FindInk(Shown(s), [](vcl::TColor c) { return c == TransparentText; });
    SetWindowTextW(s, L"a much longer text");
    EXPECT_EQ(a->WindowText, "a much longer text");
    const InkBox after = FindInk(uitest::CaptureWindow(s), [](vcl::TColor c) { return c == TransparentText; });
    EXPECT_GT(after.Right, before.Right + 40);
}

TEST_F(StaticWnd, StaticsThatTakeTheFocusOrHaveTheSystemEdgeAreLeftToTheSystem) {
    const HWND tab = Parent.Add(L"STATIC", L"Tab stop", WS_TABSTOP, 10, 10, 160, 30);
    const HWND edge = Parent.Add(L"STATIC", L"Static edge", 0, 10, 50, 160, 30, WS_EX_STATICEDGE);
    auto a = Adapt<TvlStaticWnd>(tab, Manager.get());
    auto b = Adapt<TvlStaticWnd>(edge, Manager.get());
    for (const HWND w : {tab, edge}) {
        const uitest::TImage32 image = Shown(w);
        EXPECT_EQ(CountColor(image, TransparentText), 0);
        EXPECT_NE(ColorAt(image, 5, 5), Main);
    }
}

TEST_F(StaticWnd, EtchedFrameTakesTheSkinsBackgroundInItsTwoPixelStrips) {
    const HWND s = Parent.Add(L"STATIC", L"", SS_ETCHEDFRAME, 10, 10, 80, 50);
    auto a = Adapt<TvlEdgeWnd>(s, Manager.get());
    const uitest::TImage32 image = Shown(s);
    for (const auto &[x, y] : {std::pair{0, 0}, {1, 25}, {79, 49}, {40, 48}, {78, 10}}) EXPECT_EQ(ColorAt(image, x, y), Main);
    // Inside the strips the picture is the system's.
    EXPECT_NE(ColorAt(image, 40, 25), Main);
}

TEST_F(StaticWnd, BitmapStaticDrawsACopyAndTheApplicationsBitmapOutlivesTheAdapter) {
    const HBITMAP app = SolidBitmap(20, 12, 0x3080F0);
    const HWND s = Parent.Add(L"STATIC", L"", SS_BITMAP, 10, 10, 60, 40);
    SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(app));
    // The system may have resized the window to the bitmap.
    SetWindowPos(s, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    {
        auto a = Adapt<TvlIconWnd>(s, Manager.get());
        EXPECT_TRUE(a->IsBitmap);
        const uitest::TImage32 image = Shown(s);
        EXPECT_EQ(ColorAt(image, 5, 5), 0x3080F0);
        EXPECT_EQ(ColorAt(image, 19, 11), 0x3080F0);
        EXPECT_EQ(ColorAt(image, 30, 30), Main);
        ASSERT_NE(a->Image, nullptr);
        EXPECT_NE(a->Image->Handle(), app);

        // A new bitmap set later is the one drawn.
        const HBITMAP second = SolidBitmap(20, 12, 0x10C010);
        SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second));
        EXPECT_EQ(ColorAt(Shown(s), 5, 5), 0x10C010);
        SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(app));
        EXPECT_EQ(ColorAt(Shown(s), 5, 5), 0x3080F0);
        DeleteObject(second);
    }
    BITMAP info{};
    ASSERT_EQ(GetObjectW(app, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 20);
    EXPECT_EQ(BitmapPixel(app, 3, 3), 0x3080F0);
    DestroyWindow(s);
    DeleteObject(app);
}

TEST_F(StaticWnd, BitmapWithAlphaIsBlendedOverWhatLiesBehind) {
    // Left half opaque blue, right half fully transparent.
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -10, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    const HBITMAP app = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto *p = static_cast<std::uint32_t *>(bits);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) p[y * 20 + x] = x < 10 ? 0xFF0000FF : 0x00000000;
    const HWND s = Parent.Add(L"STATIC", L"", SS_BITMAP, 10, 10, 60, 40);
    SendMessageW(s, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(app));
    SetWindowPos(s, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    auto a = Adapt<TvlIconWnd>(s, Manager.get());
    const uitest::TImage32 image = Shown(s);
    // Opaque pixels take the bitmap's colour (the blend may round by one).
    const vcl::TColor opaque = ColorAt(image, 3, 5);
    EXPECT_GE(opaque >> 16 & 0xFF, 0xFEu);
    EXPECT_EQ(opaque & 0xFFFF, 0u);
    EXPECT_EQ(ColorAt(image, 15, 5), Main);
    a.reset();
    DestroyWindow(s);
    DeleteObject(app);
}

// Its erase is swallowed: left unpainted it would show whatever was there.
TEST_F(StaticWnd, BitmapStaticWithoutABitmapShowsWhatLiesBehindIt) {
    const HWND s = Parent.Add(L"STATIC", L"", SS_BITMAP, 10, 10, 60, 40);
    SetWindowPos(s, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
    auto a = Adapt<TvlIconWnd>(s, Manager.get());
    const uitest::TImage32 image = Printed(s, 0x0000FF);
    EXPECT_EQ(CountColor(image, Main), 60 * 40);
    EXPECT_EQ(a->Image, nullptr);
}

TEST_F(StaticWnd, IconStaticDrawsTheIconAtItsOwnSize) {
    const HICON icon = SolidIcon(0x20A0C0);
    const HWND s = Parent.Add(L"STATIC", L"", SS_ICON, 10, 10, 40, 40);
    SendMessageW(s, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    SetWindowPos(s, nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER);
    auto a = Adapt<TvlIconWnd>(s, Manager.get());
    EXPECT_FALSE(a->IsBitmap);
    const uitest::TImage32 image = Shown(s);
    EXPECT_EQ(ColorAt(image, 2, 2), 0x20A0C0);
    EXPECT_EQ(ColorAt(image, 15, 15), 0x20A0C0);
    EXPECT_EQ(ColorAt(image, 30, 30), Main);
    a.reset();
    DestroyWindow(s);
    DestroyIcon(icon);
}

TEST_F(StaticWnd, LinkIsDrawnUnderlinedWithoutItsTags) {
    const HWND link = Parent.Add(L"SysLink", L"Visit <A HREF=\"https://x.example\">the site</A>", 0, 10, 10, 250, 30);
    ASSERT_NE(link, nullptr);
    auto a = Adapt<TvlLinkWnd>(link, Manager.get());
    const uitest::TImage32 image = Shown(link);
    EXPECT_EQ(ColorAt(image, 248, 28), Main);
    const InkBox ink = FindInk(image, [](vcl::TColor c) { return c == TransparentText; });
    ASSERT_FALSE(ink.Empty());
    // The underline: one long run of the text's colour.
    EXPECT_GT(LongestRun(image, TransparentText), 40);
    // The tags are not drawn: the text is as wide as "Visit the site" in the same font.
    a->SkinData->PrepareCache();
    SelectAdapterFont(*a);
    vcl::TCanvas &canvas = *a->SkinData->CacheBmp()->Canvas();
    canvas.RequiredState({vcl::csHandleValid, vcl::csFontValid});
    const int expected = CanvasTextWidth(canvas, "Visit the site");
    EXPECT_NEAR(ink.Right - ink.Left, expected, 3);
}

// The erases that reach a link's own procedure.
WNDPROC LinkProc = nullptr;
int LinkErases = 0;
LRESULT CALLBACK CountingLinkProc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    if (M == WM_ERASEBKGND) ++LinkErases;
    return CallWindowProcW(LinkProc, W, M, WP, LP);
}

TEST_F(StaticWnd, AHiddenLinksEraseGoesOnToTheLinkItself) {
    const HWND link = CreateWindowExW(0, L"SysLink", L"<a>go</a>", WS_CHILD, 10, 10, 100, 20, Parent.Window, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(link, nullptr);
    LinkProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingLinkProc)));
    auto a = Adapt<TvlLinkWnd>(link, Manager.get());
    const vcl::TWindowDC dc(link);
    LinkErases = 0;
    SendMessageW(link, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    EXPECT_EQ(LinkErases, 1);
    a.reset();
    DestroyWindow(link);
}

TEST_F(StaticWnd, AdaptersGiveTheirWindowsBackAndLeaveNoHandles) {
    const HBITMAP app = SolidBitmap(8, 8, 0x808080);
    ExpectFlatOver(1000, [&] {
        const HWND text = Parent.Add(L"STATIC", L"Cycle", 0, 10, 10, 100, 20);
        const HWND edge = Parent.Add(L"STATIC", L"", SS_ETCHEDHORZ, 10, 40, 100, 2);
        const HWND bmp = Parent.Add(L"STATIC", L"", SS_BITMAP, 10, 50, 30, 30);
        const HWND link = Parent.Add(L"SysLink", L"<a>go</a>", 0, 10, 90, 100, 20);
        SendMessageW(bmp, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(app));
        const WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(text, GWLP_WNDPROC));
        {
            auto a = Adapt<TvlStaticWnd>(text, Manager.get());
            auto b = Adapt<TvlEdgeWnd>(edge, Manager.get());
            auto c = Adapt<TvlIconWnd>(bmp, Manager.get());
            auto d = Adapt<TvlLinkWnd>(link, Manager.get());
            for (const HWND w : {text, edge, bmp, link}) Printed(w);
            RedrawWindow(Parent.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(text, GWLP_WNDPROC)), original);
        EXPECT_EQ(AdapterOfWindow(text), nullptr);
        for (const HWND w : {text, edge, bmp, link}) DestroyWindow(w);
    });
    DeleteObject(app);
}

} // namespace
} // namespace skin
