// The provider with its extended border: our stored skin with the manager's
// ExtendedBorders on, a sizeable and a dialog form. The border window lies
// around the form by the shadow margins with a hole over its client area
// and shows the provider's frame image; the client offsets and WM_PRINT
// still lead to the client area; presses on the border reach the form with
// their real codes (the caption moves the form, an edge sizes it, the close
// button closes it); activation and sizing renew the border; the skin's
// removal and the form's end take it along, and many forms leave no handles
// behind. A picture of a form with its border goes to the artefacts.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>

#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "FreedMemoryMark.h"
#include "StoredSkinCopies.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sFrameMetrics.h"
#include "vcl/ControlCanvas.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormBorder : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    FormBorder() { SetCursorPos(5, 5); }
    ManagerPtr Manager = BorderedManager();
};

bool InRegionOf(HWND W, vcl::TPoint P) {
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(W, region.Get()) == ERROR) return true;  // no region: all of it
    return PtInRegion(region.Get(), P.X, P.Y) != 0;
}

std::uint32_t Rgb(std::uint32_t Pixel) { return Pixel & 0xFFFFFF; }

TEST_F(FormBorder, TheBorderWindowLiesAroundTheFormWithAHoleOverItsClientArea) {
    ASSERT_TRUE(Manager->GetExtendedBorders()) << "layered windows are available";
    for (const vcl::TFormBorderStyle style : {vcl::bsSizeable, vcl::bsDialog}) {
        SCOPED_TRACE(style == vcl::bsSizeable ? "sizeable" : "dialog");
        BorderedForm f(style);
        ASSERT_TRUE(f.P->BorderForm);
        const HWND w = f.Border();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_TRUE(GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED);
        const vcl::TRect m = f.M();
        EXPECT_GT(m.Left, 0);
        EXPECT_GT(m.Top, 0);
        const vcl::TRect b = BorderedForm::RectOf(w);
        EXPECT_EQ(b, f.Place());

        // The cache is the border window's image: the form and its margins.
        vcl::TBitmap *cache = f.P->SkinData()->CacheBmp();
        ASSERT_NE(cache, nullptr);
        EXPECT_EQ(cache->Width(), b.Width());
        EXPECT_EQ(cache->Height(), b.Height());

        // The hole is the client area; the caption and the edges are the border's.
        const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
        POINT client{0, 0};
        ClientToScreen(f.Wnd(), &client);
        EXPECT_EQ(cx, client.x - b.Left);
        EXPECT_EQ(cy, client.y - b.Top);
        // Inside the margins: the skin's border width and its caption
        // height, whatever the window's own frame.
        EXPECT_EQ(cx - m.Left, 4);
        EXPECT_EQ(cy - m.Top, 30);
        EXPECT_EQ(f.P->GetCaptionHeight(true), 30);
        // The frame image reaches as far beyond the window's bottom and
        // sides as the skin's border is wider than the window's own.
        const int n = GetBorderWidth(f.Wnd());
        EXPECT_EQ(f.Off(), (vcl::TPoint{m.Left + 4 - n, m.Top + 30 - n - GetSysCaptionHeight(*f.Form.Form)}));
        EXPECT_EQ(b.Width(), BorderedForm::RectOf(f.Wnd()).Width() + 2 * (4 - n) + m.Left + m.Right);
        EXPECT_FALSE(InRegionOf(w, {cx + 5, cy + 5}));
        EXPECT_FALSE(InRegionOf(w, {cx + ClientWidth(f.Wnd()) - 1, cy + ClientHeight(f.Wnd()) - 1}));
        EXPECT_TRUE(InRegionOf(w, {cx + 5, cy - 1}));
        EXPECT_TRUE(InRegionOf(w, {cx - 1, cy + 5}));
        EXPECT_TRUE(InRegionOf(w, {2, 2}));
        // The form's own window keeps only what lies inside its native frame.
        EXPECT_FALSE(InRegionOf(f.Wnd(), {n - 1, 40}));
        EXPECT_TRUE(InRegionOf(f.Wnd(), {cx - f.Off().X + 2, cy - f.Off().Y + 2}));
        // The mouse over the client area is the form's.
        const vcl::TPoint inside = f.OnScreen({cx + 20, cy + 20});
        EXPECT_EQ(WindowFromPoint({inside.X, inside.Y}), f.Wnd());
        const vcl::TPoint caption = f.OnScreen({cx + 60, m.Top + 8});
        EXPECT_EQ(WindowFromPoint({caption.X, caption.Y}), w);
    }
}

// A form made smaller while its menu loop runs, by much or by less than
// its frame: the border's hole takes the new client size before the form
// does, so that what lies beyond the smaller form never shows through it.
TEST_F(FormBorder, AFormShrunkInItsMenuLoopNarrowsTheHoleFirst) {
    for (const int shrink : {100, 3}) {
        BorderedForm f;
        const HWND w = f.Border();
        ASSERT_NE(w, nullptr);
        // A point of the old client area that the new size leaves out.
        const vcl::TPoint out{f.P->GetClientOffsetX() + ClientWidth(f.Wnd()) - shrink / 2 - 1,
                              f.P->GetClientOffsetY() + 20};
        ASSERT_FALSE(InRegionOf(w, out));
        struct Spy {
            TsSkinProvider *P;
            HWND Border;
            vcl::TPoint Out;
            vcl::TWndMethod Next = P->SavedWndProc;
            int Covered = -1;
            void Handle(vcl::TMessage &M) {
                if (M.Msg == WM_WINDOWPOSCHANGING && Covered < 0) Covered = InRegionOf(Border, Out);
                Next(M);
            }
        } spy{f.P, w, out};
        f.P->SavedWndProc = vcl::TWndMethod::Bind<&Spy::Handle>(&spy);
        SendMessageW(f.Wnd(), WM_ENTERMENULOOP, FALSE, 0);
        const vcl::TRect r = BorderedForm::RectOf(f.Wnd());
        f.Form.Form->SetBounds(r.Left, r.Top, r.Width() - shrink, r.Height());
        SendMessageW(f.Wnd(), WM_EXITMENULOOP, FALSE, 0);
        f.P->SavedWndProc = spy.Next;
        EXPECT_EQ(spy.Covered, 1) << shrink;
    }
}

TEST_F(FormBorder, TheBorderShowsTheProvidersFrameImage) {
    BorderedForm f;
    const HWND w = f.Border();
    ASSERT_NE(w, nullptr);
    uitest::PumpUntil([] { return false; }, 150ms);
    const uitest::TImage32 shown = uitest::CaptureXWindow(w);
    if (shown.Width == 0) GTEST_SKIP() << "no X picture here";
    vcl::TBitmap &cache = *f.P->SkinData()->CacheBmp();
    ASSERT_EQ(shown.Width, cache.Width());
    ASSERT_EQ(shown.Height, cache.Height());
    const vcl::TRect m = f.M();
    const int cy = f.P->GetClientOffsetY();
    // The frame: the caption band, the edges and the corners inside the margins.
    int compared = 0, equal = 0;
    for (int y = m.Top; y < cache.Height() - m.Bottom; y += 3)
        for (int x = m.Left; x < cache.Width() - m.Right; x += 3) {
            const bool frame = y < cy || x < f.P->GetClientOffsetX() + 1 || y >= cache.Height() - m.Bottom - 2 ||
                               x >= cache.Width() - m.Right - 2;
            if (!frame) continue;
            ++compared;
            equal += Rgb(shown.At(x, y)) == Rgb(cache.View().At(x, y));
        }
    ASSERT_GT(compared, 200);
    // The frame's few transparent corner pixels show the shadow.
    EXPECT_GT(equal, compared * 95 / 100) << equal << " of " << compared;
    // The caption's content lies in the frame, below the top margin.
    EXPECT_GE(CaptionForm::Centre(f.P->ButtonClose.Rect).Y, m.Top + GetBorderWidth(f.Wnd()));
    EXPECT_GE(f.P->IconRect.Top, m.Top);
    // The shadow is darker than the frame next to it and not the same everywhere.
    EXPECT_NE(Rgb(shown.At(1, cache.Height() / 2)), Rgb(shown.At(m.Left + 1, cache.Height() / 2)));
    // The frame's round corners (the transparent corners of the skin's
    // masks) show the shadow; the outline next to them is opaque.
    const vcl::TBitmapView v = cache.View();
    const int right = cache.Width() - m.Right - 1, bottom = cache.Height() - m.Bottom - 1;
    for (const vcl::TPoint p : {vcl::TPoint{m.Left, m.Top}, vcl::TPoint{m.Left + 1, m.Top}, vcl::TPoint{m.Left, m.Top + 1},
                                vcl::TPoint{right, m.Top}, vcl::TPoint{m.Left, bottom}, vcl::TPoint{right, bottom}}) {
        EXPECT_LT(v.At(p.X, p.Y) >> 24, 255u) << p.X << "," << p.Y;
        EXPECT_EQ(Rgb(shown.At(p.X, p.Y)), Rgb(v.At(p.X, p.Y))) << p.X << "," << p.Y;
    }
    EXPECT_EQ(v.At(m.Left + 8, m.Top) >> 24, 255u);
    EXPECT_EQ(v.At(m.Left, m.Top + 8) >> 24, 255u);
    EXPECT_EQ(v.At(m.Left + 8, bottom) >> 24, 255u);

}

TEST_F(FormBorder, TheSkinsCaptionStandsAboveTheClientAreaWithItsButtonsWhereTheyAnswer) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    uitest::PumpUntil([] { return false; }, 150ms);
    const vcl::TRect m = f.M();
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    ASSERT_EQ(cy - m.Top, 30) << "the skin's caption holds the top frame";
    // The caption's content lies in its 30 pixels, centred on its middle.
    const TsCaptionButton &close = f.P->ButtonClose, &max = f.P->ButtonMax, &min = f.P->ButtonMin;
    for (const TsCaptionButton *b : {&close, &max, &min}) {
        ASSERT_GT(b->Rect.Width(), 0);
        EXPECT_GE(b->Rect.Top, m.Top);
        EXPECT_LE(b->Rect.Bottom, m.Top + 30);
        EXPECT_LE(std::abs((b->Rect.Top + b->Rect.Bottom) / 2 - (m.Top + 15)), 1);
    }
    EXPECT_LE(close.Rect.Right, f.P->CacheWidth() - m.Right - 4) << "inside the skin's right border";
    EXPECT_EQ(f.P->IconRect.Left, m.Left + 4 + 6) << "the skin's border and its icon offset";
    // Each button answers where it shows, on the border window (which the
    // mouse meets there) and on the form.
    const auto codeAt = [&](vcl::TPoint P) {
        const vcl::TPoint s = f.OnScreen(P);
        EXPECT_EQ(SendMessageW(f.Border(), WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y)), htBorderWindow);
        return f.P->BorderForm->Border().HitTest({WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y), 0});
    };
    const auto formCodeAt = [&](vcl::TPoint P) {
        const vcl::TPoint s = f.OnScreen(P);
        return SendMessageW(f.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y));
    };
    EXPECT_EQ(codeAt(CaptionForm::Centre(close.Rect)), HTCLOSE);
    EXPECT_EQ(codeAt(CaptionForm::Centre(max.Rect)), HTMAXBUTTON);
    EXPECT_EQ(codeAt(CaptionForm::Centre(min.Rect)), HTMINBUTTON);
    EXPECT_EQ(codeAt(CaptionForm::Centre(f.P->IconRect)), HTSYSMENU);
    EXPECT_EQ(formCodeAt(CaptionForm::Centre(close.Rect)), HTCLOSE);
    EXPECT_EQ(formCodeAt(CaptionForm::Centre(min.Rect)), HTMINBUTTON);
    EXPECT_EQ(codeAt({cx + 100, m.Top + 2}), HTCAPTION) << "the caption's first rows are the skin's top frame";
    EXPECT_EQ(codeAt({cx + 100, cy - 1}), HTCAPTION);
    EXPECT_EQ(formCodeAt({cx + 100, cy}), HTCLIENT);
    EXPECT_EQ(codeAt({m.Left - 2, cy + 50}), HTLEFT);
    const vcl::TRect b = BorderedForm::RectOf(f.Border());
    EXPECT_EQ(codeAt({cx + 100, b.Height() - m.Bottom + 1}), HTBOTTOM) << "below the skin's bottom border";

    // On the screen: the caption and its buttons from the frame image down
    // to the client area, the form's own client area below it.
    const uitest::TImage32 seen = f.Seen();
    if (seen.Width == 0) GTEST_SKIP() << "no X picture here";
    const vcl::TBitmapView cache = f.P->SkinData()->CacheBmp()->View();
    int same = 0, all = 0;
    for (int y = close.Rect.Top; y < close.Rect.Bottom; ++y)
        for (int x = close.Rect.Left; x < close.Rect.Right; ++x, ++all)
            same += Rgb(seen.At(x, y)) == Rgb(cache.At(x, y));
    EXPECT_EQ(same, all) << "the close button";
    for (const int x : {cx + 60, cx + 150}) {
        EXPECT_EQ(Rgb(seen.At(x, cy - 1)), Rgb(cache.At(x, cy - 1))) << "the caption's last row";
        EXPECT_EQ(Rgb(seen.At(x, m.Top + 1)), Rgb(cache.At(x, m.Top + 1))) << "above the window's own top";
    }
    const HDC dc = GetDC(f.Wnd());
    const COLORREF face = GetPixel(dc, 150, 100);
    ReleaseDC(f.Wnd(), dc);
    const std::uint32_t client = Rgb(seen.At(cx + 150, cy + 100));
    EXPECT_EQ(client, (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face)) << "the form's client area";
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-extended-border.png").string(), seen);
}

TEST_F(FormBorder, AMaximizedFormShowsTheSkinsMaximizedCaptionFromTheWorkAreasTop) {
    BorderedForm f;
    f.Form.Form->SetWindowState(vcl::wsMaximized);
    uitest::PumpUntil([] { return false; }, 150ms);
    ASSERT_TRUE(IsZoomed(f.Wnd()));
    if (!f.Border()) GTEST_SKIP() << "no border window for a maximized form here";
    const int title = Manager->SkinData->MaxHeight;
    ASSERT_GT(title, GetSysCaptionHeight(*f.Form.Form) + 4);
    EXPECT_EQ(f.P->GetCaptionHeight(true), title);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The skin's caption less its top border (beyond the screen, as the
    // window's own frame is) stands above the client area.
    POINT client{0, 0};
    ClientToScreen(f.Wnd(), &client);
    EXPECT_EQ(client.y, work.top + title - 4);
    const vcl::TRect b = BorderedForm::RectOf(f.Border()), m = f.M();
    EXPECT_EQ(f.P->GetClientOffsetY(), client.y - b.Top);
    EXPECT_EQ(f.P->GetClientOffsetX(), client.x - b.Left);
    // The border keeps what lies on the work area: its region starts there.
    EXPECT_EQ(b.Top + m.Top + 4, work.top);
    EXPECT_TRUE(InRegionOf(f.Border(), {b.Width() / 2, m.Top + 4}));
    EXPECT_FALSE(InRegionOf(f.Border(), {b.Width() / 2, m.Top + 3}));
    // Its buttons centred in the part that shows, answering there.
    const TsCaptionButton &close = f.P->ButtonClose;
    ASSERT_GT(close.Rect.Width(), 0);
    const int centre = b.Top + (close.Rect.Top + close.Rect.Bottom) / 2;
    EXPECT_LE(std::abs(centre - (static_cast<int>(work.top) + client.y) / 2), 1) << centre;
    const vcl::TPoint at = f.OnScreen(CaptionForm::Centre(close.Rect));
    EXPECT_EQ(f.P->BorderForm->Border().HitTest({WM_NCHITTEST, 0, MAKELPARAM(at.X, at.Y), 0}), HTCLOSE);
    f.Form.Form->SetWindowState(vcl::wsNormal);
    uitest::PumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(f.P->GetCaptionHeight(true), Manager->SkinData->TitleHeight);
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), f.Place());
}

// A form section of a plain colour whose border mask is a mere outline (our
// skin's with mask type 0) looks through to what lies behind the form
// without outer effects. Inside the border
// (where nothing lies behind) its whole frame is the form's colour, opaque,
// with the border mask's ring around it: a skin frame wider than the ring
// shows that colour between ring and client area, not an empty image.
TEST_F(FormBorder, AFrameThatLooksThroughIsTheFormsColourInsideTheBorder) {
    vcl::test::TempFolder dir;
    WriteStoredSkinCopy(dir, "Wide",
                        {{"BORDERWIDTH=4", "BORDERWIDTH=12"},
                         {"BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,1,0,0",
                          "BORDERSMASK=^0420,0048,0452,0080,0006,0006,0006,0006,2,0,0,0"}});
    Manager->SetSkinDirectory(dir.Path());
    Manager->SetSkinName("Wide");
    BorderedForm f;
    ASSERT_NE(f.Border(), nullptr);
    ASSERT_TRUE(f.P->SkinData()->BGFlags() & bgfParentBackground);
    const vcl::TBitmapView v = f.P->SkinData()->CacheBmp()->View();
    const vcl::TRect m = f.M();
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY(), bottom = v.Height - m.Bottom;
    ASSERT_GE(cx - m.Left, 12);
    constexpr std::uint32_t face = 0xFFF4F6F9;  // the section's colour, opaque
    for (int y = cy; y < bottom - 12; y += 7) {
        EXPECT_EQ(v.At(cx - 2, y), face) << y;
        EXPECT_EQ(v.At(v.Width - m.Right - 12 + 1, y), face) << y;
    }
    for (int x = cx; x < v.Width - m.Right - 12; x += 9) EXPECT_EQ(v.At(x, bottom - 11), face) << x;
    // The ring stays: the frame's outermost column is not the face.
    EXPECT_NE(v.At(m.Left, v.Height / 2), face);
}

// Fills itself with one colour.
class TFill : public vcl::TGraphicControl {
public:
    using vcl::TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        const vcl::TBrushHandle brush(CreateSolidBrush(RGB(200, 30, 40)));
        const RECT r{0, 0, Width(), Height()};
        FillRect(Canvas()->Handle(), &r, brush.Get());
    }
};

TEST_F(FormBorder, ClientOffsetsAndPrintStillLeadToTheClientArea) {
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    auto *fill = vcl::Create<TFill>(f.Form.Form);
    fill->SetParent(f.Form.Form);
    fill->SetBounds(20, 20, 30, 30);
    f.ShowSkinned();
    const HWND window = f.Wnd();
    const vcl::TRect o = BorderedForm::RectOf(window);
    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf32bit);
    print.SetSize(o.Width(), o.Height());
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(print.Canvas()->Handle()), PRF_NONCLIENT | PRF_CLIENT);
    GdiFlush();
    // In window coordinates: the client area where the window has it.
    POINT client{0, 0};
    ClientToScreen(window, &client);
    const int x0 = client.x - o.Left, y0 = client.y - o.Top;
    vcl::TBitmap &cache = *f.P->SkinData()->CacheBmp();
    const vcl::TRect m = f.M();
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    EXPECT_EQ(Rgb(print.View().At(x0 + 300, y0 + 200)), Rgb(cache.View().At(cx + 300, cy + 200)));
    // The frame in it is the cache's where the window lies in the image.
    const vcl::TPoint off = f.Off();
    EXPECT_EQ(Rgb(print.View().At(x0 + 80, 5)), Rgb(cache.View().At(off.X + x0 + 80, off.Y + 5)));
    EXPECT_EQ(Rgb(print.View().At(1, y0 + 100)), Rgb(cache.View().At(off.X + 1, off.Y + y0 + 100)));
    EXPECT_EQ(Rgb(print.View().At(x0 + 35, y0 + 35)), 0xC81E28u) << "the graphic control";
    // The client background behind the controls is where the form paints it.
    const HDC dc = GetDC(window);
    const std::uint32_t face = Rgb(cache.View().At(cx + 300, cy + 200));
    EXPECT_EQ(GetPixel(dc, 300, 200) & 0xFFFFFF, RGB(face >> 16, (face >> 8) & 0xFF, face & 0xFF));
    ReleaseDC(window, dc);
}

TEST_F(FormBorder, PressesOnTheBorderReachTheFormWithTheirCodes) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    const HWND w = f.Border();
    ASSERT_NE(w, nullptr);
    const vcl::TRect m = f.M();
    const vcl::TRect before = BorderedForm::RectOf(f.Wnd());
    const auto drag = [&](vcl::TPoint From, vcl::TPoint By) {
        const vcl::TPoint s = f.OnScreen(From);
        SetCursorPos(s.X, s.Y);
        MouseTo(GetDesktopWindow(), s);
        Settle();
        // From another thread: the system's move and size loops run inside
        // this thread's message processing until the button goes up.
        std::atomic<bool> done{false};
        std::thread user([&] {
            MouseButton(true);
            for (int i = 1; i <= 10; ++i) {
                std::this_thread::sleep_for(30ms);
                MouseTo(GetDesktopWindow(), {s.X + By.X * i / 10, s.Y + By.Y * i / 10});
            }
            std::this_thread::sleep_for(60ms);
            MouseButton(false);
            std::this_thread::sleep_for(60ms);
            done = true;
        });
        uitest::PumpUntil([&] { return done.load(); }, 5s);
        user.join();
        Settle();
    };
    // The caption moves the form, and its border with it.
    drag({f.P->GetClientOffsetX() + 100, m.Top + 8}, {40, 30});
    const vcl::TRect moved = BorderedForm::RectOf(f.Wnd());
    EXPECT_EQ(moved.Left, before.Left + 40);
    EXPECT_EQ(moved.Top, before.Top + 30);
    EXPECT_EQ(moved.Width(), before.Width());
    EXPECT_EQ(BorderedForm::RectOf(w), f.Place());
    // The right edge (in the extended border) sizes it; the border follows.
    const vcl::TRect b = BorderedForm::RectOf(w);
    drag({b.Width() - m.Right + 1, b.Height() / 2}, {50, 0});
    const vcl::TRect sized = BorderedForm::RectOf(f.Wnd());
    EXPECT_EQ(sized.Width(), before.Width() + 50);
    EXPECT_EQ(sized.Left, moved.Left);
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), f.Place());
    EXPECT_EQ(f.P->SkinData()->CacheBmp()->Width(), f.Place().Width());
    // The close button closes it.
    const TsCaptionButton &close = f.P->ButtonClose;
    ASSERT_GT(close.Rect.Width(), 0);
    const vcl::TPoint at = f.OnScreen(CaptionForm::Centre(close.Rect));
    // Without a fade: after the system's move loop Xvfb's pointer stays where
    // the drag began, and a fade's layer appearing under it would take
    // Wine's cursor back there (the fades have their own tests).
    Manager->Effects()->AllowGlowing = false;
    MouseTo(GetDesktopWindow(), at);
    Settle();
    EXPECT_EQ(f.P->CurrentButton, HTCLOSE) << "the close button is hot";
    MouseButton(true);
    MouseButton(false);
    Settle();
    EXPECT_FALSE(IsWindowVisible(f.Wnd()));
    EXPECT_EQ(f.Border(), nullptr) << "the hidden form's border window went with it";
}

TEST_F(FormBorder, ADoubleClickOnAnEdgeStretchesTheFormOverTheWorkAreaAndBack) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    const HWND w = f.Border();
    ASSERT_NE(w, nullptr);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const vcl::TRect work{area.left, area.top, area.right, area.bottom};
    const vcl::TRect m = f.M(), before = BorderedForm::RectOf(f.Wnd()), b = BorderedForm::RectOf(w);
    // With the real mouse, from another thread: the first press runs the
    // system's size loop inside this thread's message processing.
    const auto doubleClick = [&](vcl::TPoint At) {
        const vcl::TPoint s = f.OnScreen(At);
        MouseTo(GetDesktopWindow(), s);
        Settle();
        std::atomic<bool> done{false};
        std::thread user([&] {
            for (int i = 0; i < 2; ++i) {
                MouseButton(true);
                std::this_thread::sleep_for(20ms);
                MouseButton(false);
                std::this_thread::sleep_for(20ms);
            }
            done = true;
        });
        uitest::PumpUntil([&] { return done.load(); }, 5s);
        user.join();
        Settle();
    };
    // Back with the double click's message: the stretched edges lie off the screen.
    const auto back = [&](vcl::TPoint At) {
        const vcl::TPoint s = f.OnScreen(At);
        SendMessageW(f.Border(), WM_NCLBUTTONDBLCLK, htBorderWindow, MAKELPARAM(s.X, s.Y));
        Settle();
    };
    doubleClick({m.Left - 2, b.Height() / 2});
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()), (vcl::TRect{work.Left, before.Top, work.Right, before.Bottom}));
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), f.Place()) << "the border follows";
    back({m.Left - 2, b.Height() / 2});
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()), before);

    doubleClick({b.Width() / 2, m.Top - 2});
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()), (vcl::TRect{before.Left, work.Top, before.Right, work.Bottom}));
    back({b.Width() / 2, m.Top - 2});
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()), before);
    EXPECT_FALSE(IsZoomed(f.Wnd()));
}

TEST_F(FormBorder, ForwardedPressesAskTheBorderFormForTheirCode) {
    BorderedForm f;
    const HWND w = f.Border();
    ASSERT_NE(w, nullptr);
    const vcl::TRect m = f.M();
    const vcl::TRect b = BorderedForm::RectOf(w);
    // A press on the left edge arrives as -1 and leaves as the sizing code.
    const vcl::TPoint edge = f.OnScreen({m.Left - 2, b.Height() / 2});
    vcl::TMessage down{WM_NCLBUTTONDOWN, static_cast<WPARAM>(static_cast<INT_PTR>(htAskBorderForm)),
                       MAKELPARAM(edge.X, edge.Y), 0};
    f.P->ResolveBorderCode(down);
    EXPECT_EQ(static_cast<int>(down.WParam), HTLEFT);
    const vcl::TPoint bottom = f.OnScreen({b.Width() / 2, b.Height() - m.Bottom + 1});
    vcl::TMessage low{WM_NCLBUTTONDOWN, static_cast<WPARAM>(-1), MAKELPARAM(bottom.X, bottom.Y), 0};
    f.P->ResolveBorderCode(low);
    EXPECT_EQ(static_cast<int>(low.WParam), HTBOTTOM);
    const vcl::TPoint caption = f.OnScreen({f.P->GetClientOffsetX() + 100, m.Top + 8});
    vcl::TMessage title{WM_NCLBUTTONDOWN, static_cast<WPARAM>(-1), MAKELPARAM(caption.X, caption.Y), 0};
    f.P->ResolveBorderCode(title);
    EXPECT_EQ(static_cast<int>(title.WParam), HTCAPTION);
    const vcl::TPoint close = f.OnScreen(CaptionForm::Centre(f.P->ButtonClose.Rect));
    vcl::TMessage button{WM_NCLBUTTONDOWN, static_cast<WPARAM>(-1), MAKELPARAM(close.X, close.Y), 0};
    f.P->ResolveBorderCode(button);
    EXPECT_EQ(static_cast<int>(button.WParam), HTCLOSE);
    // A code that is not -1 stays.
    vcl::TMessage given{WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(close.X, close.Y), 0};
    f.P->ResolveBorderCode(given);
    EXPECT_EQ(static_cast<int>(given.WParam), HTTOP);
    // The form's own hit test over its client area stays the client's.
    const vcl::TPoint inside = f.OnScreen({f.P->GetClientOffsetX() + 3, f.P->GetClientOffsetY() + 1});
    EXPECT_EQ(SendMessageW(f.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(inside.X, inside.Y)), HTCLIENT);
}

bool Topmost(HWND W) { return (GetWindowLongPtrW(W, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool Above(HWND Upper, HWND Lower) {
    for (HWND w = GetWindow(Upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == Lower) return true;
    return false;
}

TEST_F(FormBorder, TheBorderStaysRightAboveItsFormUnderATopmostWindowAndOnTopWithItsStayOnTopForm) {
    TestForm topmost;
    topmost.Form->SetBounds(250, 150, 200, 150);
    topmost.Form->SetFormStyle(vcl::fsStayOnTop);
    topmost.Show();
    const HWND other = topmost.Form->WindowHandle();
    {
        BorderedForm f;
        ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
        EXPECT_EQ(GetWindow(f.Border(), GW_HWNDNEXT), f.Wnd());
        EXPECT_FALSE(Topmost(f.Border()));
        EXPECT_TRUE(Above(other, f.Border()));
    }
    // A stay-on-top form, its border renewed by a move (Wine's activation
    // places a topmost window's owned windows apart from it).
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    f.Form.Form->SetFormStyle(vcl::fsStayOnTop);
    f.ShowSkinned();
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    for (const int x : {320, 340}) {
        SetWindowPos(f.Wnd(), nullptr, x, 210, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(GetWindow(f.Border(), GW_HWNDNEXT), f.Wnd());
        EXPECT_TRUE(Topmost(f.Border()) && Topmost(f.Wnd()));
    }
    // Placed again it is shown, unless the change hid it.
    ShowWindow(f.Border(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(f.Border()));
    SetWindowPos(f.Border(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EXPECT_TRUE(IsWindowVisible(f.Border()));
}

TEST_F(FormBorder, ActivationAndSizeRenewTheBorder) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    uitest::PumpUntil([] { return false; }, 100ms);
    const vcl::TRect m = f.M();
    const int y = m.Top + 6, x = f.P->GetClientOffsetX() + 150;
    EXPECT_EQ(f.P->FormActive, 1);
    const std::uint32_t active = Rgb(f.P->SkinData()->CacheBmp()->View().At(x, y));
    const uitest::TImage32 activeShown = uitest::CaptureXWindow(f.Border());

    TestForm other;
    other.Form->SetBounds(50, 50, 120, 80);
    other.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(other.Form->WindowHandle(), 2s));
    uitest::PumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(f.P->FormActive, 0);
    const std::uint32_t inactive = Rgb(f.P->SkinData()->CacheBmp()->View().At(x, y));
    EXPECT_NE(active, inactive) << "the skin draws the inactive caption otherwise";
    const uitest::TImage32 inactiveShown = uitest::CaptureXWindow(f.Border());
    if (activeShown.Width > 0 && inactiveShown.Width > 0) {
        EXPECT_EQ(Rgb(activeShown.At(x, y)), active);
        EXPECT_EQ(Rgb(inactiveShown.At(x, y)), inactive) << std::hex << active;
    }

    // A new size: a new image, a new place, a new hole.
    f.Form.Form->SetBounds(320, 220, 500, 360);
    uitest::PumpUntil([] { return false; }, 100ms);
    const vcl::TRect b = BorderedForm::RectOf(f.Border());
    EXPECT_EQ(b, f.Place());
    EXPECT_EQ(b.Left, 320 - f.Off().X);
    EXPECT_EQ(b.Top, 220 - f.Off().Y);
    EXPECT_EQ(f.P->SkinData()->CacheBmp()->Height(), b.Height());
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    EXPECT_FALSE(InRegionOf(f.Border(), {cx + ClientWidth(f.Wnd()) - 2, cy + ClientHeight(f.Wnd()) - 2}));
    EXPECT_TRUE(InRegionOf(f.Border(), {cx + ClientWidth(f.Wnd()) + 1, cy + 10}));

    // A border window that went, or was hidden, comes back with the form's paint.
    for (const bool freed : {true, false}) {
        if (freed)
            f.P->FreeBorderWindow();
        else
            ShowWindow(f.Border(), SW_HIDE);
        RedrawWindow(f.Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_TRUE(f.Border()) << freed;
        EXPECT_TRUE(IsWindowVisible(f.Border())) << freed;
        EXPECT_EQ(BorderedForm::RectOf(f.Border()), f.Place()) << freed;
    }
}

// A hooked dialog's window that records the skin commands it gets.
struct CommandedDialog : TvlHookedDialog {
    TestForm Window;
    std::vector<unsigned> Commands;
    vcl::TWndMethod Next;
    CommandedDialog() : Next(Window.Form->WindowProc) {
        Window.Form->WindowProc = vcl::TWndMethod::Bind<&CommandedDialog::Handle>(this);
    }
    ~CommandedDialog() override { Window.Form->WindowProc = Next; }
    HWND DialogWindow() const override { return Window.Form->Handle(); }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND) Commands.push_back(SubCommandOf(M.WParam));
        Next(M);
    }
};

// The border comes back where the form's state asks for a fresh one: the
// application activated, the system menu's style changed, the form shown
// (made while it is about to show, when its hide left a snapshot); a move or
// size that ends repaints the skinned dialogs it passed over.
TEST_F(FormBorder, TheBorderIsRenewedOnActivationStyleShowAndTheEndOfAMove) {
    BorderedForm f;
    ASSERT_NE(f.Border(), nullptr);
    const auto renewedBy = [&](auto Action) {
        f.P->FreeBorderWindow();
        Action();
        return f.Border() != nullptr;
    };
    EXPECT_TRUE(renewedBy([&] { SendMessageW(f.Wnd(), WM_ACTIVATEAPP, 1, 0); }));
    f.Form.Form->SetEnabled(false);
    EXPECT_FALSE(renewedBy([&] { SendMessageW(f.Wnd(), WM_ACTIVATEAPP, 1, 0); })) << "not for a disabled form";
    f.Form.Form->SetEnabled(true);
    const LONG_PTR style = GetWindowLongPtrW(f.Wnd(), GWL_STYLE);
    EXPECT_TRUE(renewedBy([&] { SetWindowLongPtrW(f.Wnd(), GWL_STYLE, style ^ WS_SYSMENU); }));
    SetWindowLongPtrW(f.Wnd(), GWL_STYLE, style);

    // Hidden with the minimize animation on: the snapshot stays until the
    // form shows again (here by the system), and the show's first position
    // change makes the border window.
    ShowWindow(f.Wnd(), SW_HIDE);
    ASSERT_TRUE(f.P->StateFlags & pfSnapshotTaken);
    struct ShowSpy {
        TsSkinProvider *P;
        vcl::TWndMethod Next;
        bool BorderAtShow = false;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == WM_WINDOWPOSCHANGING && (reinterpret_cast<WINDOWPOS *>(M.LParam)->flags & SWP_SHOWWINDOW))
                BorderAtShow = P->BorderWindow() != nullptr;
            Next(M);
        }
    } spy{f.P, f.P->SavedWndProc};
    f.P->SavedWndProc = vcl::TWndMethod::Bind<&ShowSpy::Handle>(&spy);
    ShowWindow(f.Wnd(), SW_SHOWNA);
    f.P->SavedWndProc = spy.Next;
    EXPECT_TRUE(spy.BorderAtShow);

    auto owned = std::make_unique<CommandedDialog>();
    CommandedDialog *dialog = owned.get();
    AddHookedDialog(std::move(owned));
    SendMessageW(f.Wnd(), WM_EXITSIZEMOVE, 0, 0);
    const std::unique_ptr<TvlHookedDialog> back = RemoveHookedDialog(dialog);
    EXPECT_EQ(dialog->Commands, std::vector<unsigned>{SC_REPAINT});
}

// Placed anew while an edge's double click holds it stretched over the
// work area's height: a new top takes the saved height back, and the
// stretch is over (the next double click stretches again).
TEST_F(FormBorder, AFormStretchedByAnEdgesDoubleClickThatIsPlacedAnewEndsItsStretch) {
    BorderedForm f;
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const vcl::TRect before = BorderedForm::RectOf(f.Wnd());
    const auto doubleClickTop = [&] {
        const vcl::TPoint s = f.OnScreen({BorderedForm::RectOf(f.Border()).Width() / 2, f.M().Top - 2});
        SendMessageW(f.Border(), WM_NCLBUTTONDBLCLK, htBorderWindow, MAKELPARAM(s.X, s.Y));
        Settle();
    };
    doubleClickTop();
    const vcl::TRect stretched{before.Left, area.top, before.Right, area.bottom};
    ASSERT_EQ(BorderedForm::RectOf(f.Wnd()), stretched);
    f.Form.Form->SetBounds(before.Left + 30, area.top + 40, before.Width(), stretched.Height());
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()),
              (vcl::TRect{before.Left + 30, area.top + 40, before.Right + 30, area.top + 40 + before.Height()}));
    doubleClickTop();
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()), (vcl::TRect{before.Left + 30, area.top, before.Right + 30, area.bottom}));
    // A mere move (as the system's move loop makes it) alike.
    SetWindowPos(f.Wnd(), nullptr, before.Left, area.top + 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(BorderedForm::RectOf(f.Wnd()),
              (vcl::TRect{before.Left, area.top + 60, before.Right, area.top + 60 + before.Height()}));
}

// "NativeBordersMaximized": a maximized form has the system's frame, by
// whatever way it got maximized, and a restore brings the border back.
TEST_F(FormBorder, NativeBordersMaximizedDropsTheBorderOfAMaximizedFormUntilItsRestore) {
    BorderedForm f;
    ASSERT_TRUE(f.P->BorderForm);
    const vcl::TRect normal = BorderedForm::RectOf(f.Border());
    // Handles what a step posted, then pumps until what it leads to has
    // come (at most 3 s).
    const auto settle = [](auto Done) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        uitest::PumpUntil(Done, 3s);
    };
    const auto native = [&] {
        // The frame image has no shadow margins, the window a region of its own.
        const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
        return !f.P->BorderForm && f.P->CacheWidth() == f.Form.Form->Width() &&
               GetWindowRgn(f.Wnd(), region.Get()) != ERROR;
    };
    Manager->Options()->SetFlag(ofNativeBordersMaximized, true);
    const vcl::THandleCounts start = vcl::LiveHandles();

    const auto maximized = [&] { return IsZoomed(f.Wnd()) && native(); };
    const auto bordered = [&] { return !IsZoomed(f.Wnd()) && f.P->BorderForm && IsWindowVisible(f.Border()); };
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    settle(maximized);
    ASSERT_TRUE(IsZoomed(f.Wnd()));
    EXPECT_TRUE(native()) << "the system command";
    SendMessageW(f.Wnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
    settle(bordered);
    ASSERT_FALSE(IsZoomed(f.Wnd()));
    ASSERT_TRUE(f.P->BorderForm);
    ASSERT_TRUE(f.Border());
    EXPECT_TRUE(IsWindowVisible(f.Border()));
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), normal);
    EXPECT_EQ(vcl::LiveHandles(), start);

    // Maximized by its state: the new size drops the border.
    f.Form.Form->SetWindowState(vcl::wsMaximized);
    settle(maximized);
    ASSERT_TRUE(IsZoomed(f.Wnd()));
    EXPECT_TRUE(native()) << "the window state";
    f.Form.Form->SetWindowState(vcl::wsNormal);
    settle(bordered);
    EXPECT_TRUE(f.P->BorderForm);

    // Maximized with its border while the option was off: its next
    // activation drops it.
    Manager->Options()->SetFlag(ofNativeBordersMaximized, false);
    f.Form.Form->SetWindowState(vcl::wsMaximized);
    settle([&] { return IsZoomed(f.Wnd()) != FALSE; });
    ASSERT_TRUE(f.P->BorderForm);
    Manager->Options()->SetFlag(ofNativeBordersMaximized, true);
    SendMessageW(f.Wnd(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(native()) << "the activation";
    f.Form.Form->SetWindowState(vcl::wsNormal);
    settle(bordered);
    EXPECT_TRUE(f.P->BorderForm);

    // Shown maximized: never with a border.
    BorderedForm g(vcl::bsSizeable, {300, 200, 720, 500}, false);
    g.Form.Form->SetWindowState(vcl::wsMaximized);
    g.ShowSkinned();
    ASSERT_TRUE(IsZoomed(g.Wnd()));
    EXPECT_FALSE(g.P->BorderForm);
}

// What reached the form's saved procedure while it handled an activation
// change, and after it.
struct ActivationSpy {
    TsSkinProvider *P;
    vcl::TWndMethod Next = P->SavedWndProc;
    bool CaptionClipped = false, RedrawOn = false;
    explicit ActivationSpy(TsSkinProvider *Provider) : P(Provider) {
        P->SavedWndProc = vcl::TWndMethod::Bind<&ActivationSpy::Handle>(this);
    }
    ~ActivationSpy() { P->SavedWndProc = Next; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == WM_NCACTIVATE) CaptionClipped = !InRegionOf(P->Form->WindowHandle(), {P->Form->Width() / 2, 2});
        if (M.Msg == WM_SETREDRAW && M.WParam == 1) RedrawOn = true;
        Next(M);
    }
};

// Without composition the system draws its caption into a window that keeps
// only the inside of its native frame; without a menu line the form is not
// drawn again around that, only its redraw lock is lifted.
TEST_F(FormBorder, AnActivationChangeLeavesTheSystemsCaptionUnderTheBorder) {
    BorderedForm f;
    SetWindowRgn(f.Wnd(), nullptr, FALSE);
    ActivationSpy spy(f.P);
    SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(spy.CaptionClipped);
    EXPECT_TRUE(spy.RedrawOn);
}

// The border blends with its form (a glued form that blends), and comes
// back with a skin refresh that the held-back frame made it skip.
TEST_F(FormBorder, TheBorderTakesTheFormsAlphaAndARefreshMadeWhileTheFrameIsHeldBack) {
    BorderedForm f;
    {
        LayeredRecorder recorder;
        Command(f.Form.Form, SC_SET_FORM_ALPHA, 128);
        EXPECT_EQ(LayeredRecorder::AlphasOf(f.Border()), std::vector<int>{128});
    }
    Command(f.Form.Form, SC_SET_FORM_ALPHA, 255);
    f.P->FreeBorderWindow();
    f.P->SkinData()->PaintLocked = true;
    Command(f.Form.Form, SC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager.get()));
    ASSERT_TRUE(f.Border());
    EXPECT_TRUE(IsWindowVisible(f.Border()));
}

// The form's own scroll bars, shown.
struct ShownBars : TvlScrollAdapter {
    HWND Window = nullptr;
    HWND AdapterWindow() const override { return Window; }
    TvlScrollBarState HorzScrollBar() const override { return {true, 0}; }
    TvlScrollBarState VertScrollBar() const override { return {}; }
};

// The provider's state as each update of the border window found it.
struct BorderUpdates {
    static inline const TsSkinProvider *Watched = nullptr;
    static inline std::vector<std::uint32_t> Flags;
    static BOOL WINAPI Update(HWND W, HDC Screen, POINT *Dst, SIZE *Size, HDC Src, POINT *SrcPt, COLORREF Key,
                              BLENDFUNCTION *Blend, DWORD F) {
        if (W == Watched->BorderWindow()) Flags.push_back(Watched->StateFlags);
        return BoundLayeredWindowFunctions().UpdateLayeredWindow(W, Screen, Dst, Size, Src, SrcPt, Key, Blend, F);
    }
    TLayeredWindowFunctionsOverride Override{{Update, BoundLayeredWindowFunctions().SetLayeredWindowAttributes}};
};

// A size change in hand (the standard resize, no scroll bar of the form's
// own) keeps the border's z-order and known client size while the border
// takes the new size.
TEST_F(FormBorder, TheBordersUpdateOnANewSizeKnowsWhetherTheChangeIsInHand) {
    BorderedForm f;
    BorderUpdates updates;
    BorderUpdates::Watched = f.P;
    const struct {
        TsResizeMode Mode;
        bool Bars, InHand;
    } cases[] = {{rmStandard, false, true}, {rmBorder, false, false}, {rmStandard, true, false}};
    int width = 420;
    for (const auto &c : cases) {
        f.P->SetResizeMode(c.Mode);
        if (c.Bars) f.P->FormScrollAdapter = std::make_unique<ShownBars>();
        BorderUpdates::Flags.clear();
        f.Form.Form->SetBounds(300, 200, width += 20, 300);
        const bool inHand = std::any_of(BorderUpdates::Flags.begin(), BorderUpdates::Flags.end(),
                                        [](std::uint32_t F) { return (F & pfBorderRegionSetting) != 0; });
        EXPECT_FALSE(BorderUpdates::Flags.empty()) << width;
        EXPECT_EQ(inHand, c.InHand) << width;
        EXPECT_FALSE(f.P->StateFlags & pfBorderRegionSetting);
        f.P->FormScrollAdapter.reset();
    }
}

// The border window follows its form's moves and takes the glued forms
// along: each is placed once a move; a mere change of z-order moves the
// border along without drawing it anew.
TEST_F(FormBorder, AMovePlacesTheGluedFormsOnceAndAZOrderChangeDrawsNothing) {
    BorderedForm master, follower(vcl::bsSizeable, {720, 250, 920, 400});
    // Its border on the master's border's right edge.
    const int beside = master.Place().Right + follower.Off().X;
    follower.Form.Form->SetBounds(beside, 250, 200, 150);
    follower.Form.Form->SetName("Follower");
    master.P->GluedForms()->Add("Follower");
    master.P->NoteGluedForms();
    // Also where a maximized form has the system's frame. The frame is not
    // drawn anew for a move.
    for (const bool native : {false, true}) {
        Manager->Options()->SetFlag(ofNativeBordersMaximized, native);
        int placed = 0;
        FormWatcher watcher(follower.Form.Form);
        LayeredRecorder recorder;
        SetWindowPos(master.Wnd(), nullptr, native ? 340 : 320, 210, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (UINT m : watcher.Seen) placed += m == WM_WINDOWPOSCHANGING;
        EXPECT_EQ(placed, 1) << native;
        EXPECT_EQ(BorderedForm::RectOf(follower.Wnd()).Left, beside + (native ? 40 : 20));
        EXPECT_TRUE(LayeredRecorder::Of(master.Border()).empty()) << native;
    }

    LayeredRecorder recorder;
    master.P->SkinData()->BGChanged = true;
    SetWindowPos(master.Wnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    EXPECT_TRUE(LayeredRecorder::Of(master.Border()).empty());
    EXPECT_EQ(GetWindow(master.Border(), GW_HWNDNEXT), master.Wnd());
}

// A disabled form's border takes no mouse: it neither sizes nor moves it.
TEST_F(FormBorder, TheBorderWindowFollowsTheFormsEnabledState) {
    BorderedForm f;
    for (const bool enabled : {false, true}) {
        f.Form.Form->SetEnabled(enabled);
        EXPECT_EQ(IsWindowEnabled(f.Border()) != 0, enabled);
    }
}

// A hiding form without a hide animation frees its border form before it
// hides; with one, the border shows the form's whole picture meanwhile.
TEST_F(FormBorder, AHidingFormsBorderGoesFirstOrShowsTheFormsPicture) {
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    BorderedForm f;
    Manager->AnimEffects()->Minimizing->Active = false;  // no minimize snapshot to help
    struct HideSpy {
        TsSkinProvider *P;
        vcl::TWndMethod Next;
        bool Border = false, Whole = false;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == WM_WINDOWPOSCHANGING && (reinterpret_cast<WINDOWPOS *>(M.LParam)->flags & SWP_HIDEWINDOW)) {
                Border = P->BorderWindow() && IsWindowVisible(P->BorderWindow());
                Whole = Border && InRegionOf(P->BorderWindow(), {P->GetClientOffsetX() + 20, P->GetClientOffsetY() + 20});
            }
            Next(M);
        }
    } spy{f.P, f.P->SavedWndProc};
    f.P->SavedWndProc = vcl::TWndMethod::Bind<&HideSpy::Handle>(&spy);
    f.Form.Form->Hide();
    EXPECT_FALSE(spy.Border);
    EXPECT_FALSE(f.P->BorderForm);
    f.Form.Form->Show();
    ASSERT_TRUE(f.Border());
    Manager->AnimEffects()->FormHide->Time = 100;
    f.Form.Form->Hide();
    EXPECT_TRUE(spy.Whole);
    f.P->SavedWndProc = spy.Next;
}

TEST_F(FormBorder, TheSkinsRemovalAndTheFormsEndFreeTheBorder) {
    {
        BorderedForm f;
        const HWND w = f.Border();
        ASSERT_NE(w, nullptr);
        Manager->SetActive(false);
        uitest::PumpUntil([] { return false; }, 50ms);
        EXPECT_FALSE(f.P->BorderForm);
        EXPECT_FALSE(IsWindow(w));
        // The form has its whole window again.
        EXPECT_TRUE(InRegionOf(f.Wnd(), {1, 1}));
        Manager->SetActive(true);
        uitest::PumpUntil([] { return false; }, 50ms);
        EXPECT_TRUE(f.P->BorderForm) << "the skin's return brings it back";
    }
    {
        // Extended borders switched off at the manager: the form has its own frame.
        BorderedForm f;
        ASSERT_TRUE(f.P->BorderForm);
        Manager->SetExtendedBorders(false);
        uitest::PumpUntil([] { return false; }, 50ms);
        EXPECT_FALSE(f.P->BorderForm);
        EXPECT_EQ(f.P->GetShadowMargins().Left, 0);
        EXPECT_EQ(f.P->SkinData()->CacheBmp() ? f.P->SkinData()->CacheBmp()->Width() : f.Form.Form->Width(),
                  f.Form.Form->Width());
        Manager->SetExtendedBorders(true);
    }
    HWND w = nullptr;
    {
        BorderedForm f;
        w = f.Border();
        ASSERT_NE(w, nullptr);
    }
    EXPECT_FALSE(IsWindow(w)) << "the form's end took its border window";
}

// The caption text goes over the menu line: where the skin's centre offset
// puts the caption low, its text shows in the line.
TEST_F(FormBorder, TheCaptionTextLiesOverTheMenuLine) {
    vcl::test::TempFolder dir;
    WriteStoredSkinCopy(dir, "Low", {{"CENTEROFFSET=0", "CENTEROFFSET=24"}});
    Manager->SetSkinDirectory(dir.Path());
    Manager->SetSkinName("Low");
    BorderedForm f(vcl::bsSizeable, {300, 200, 720, 500}, false);
    f.AddMenuLine();
    f.ShowSkinned();
    ASSERT_GT(f.P->GetMenuLineHeight(), 0);
    const auto line = [&](const std::string &Caption) {
        f.Form.Form->SetCaption(Caption);
        f.P->SkinData()->BGChanged = true;
        EXPECT_TRUE(f.P->RenderFrame());
        const vcl::TBitmapView v = f.P->SkinData()->CacheBmp()->View();
        const int top = f.P->MenuLineTop(), bottom = top + f.P->GetMenuLineHeight() + 1;
        std::vector<std::uint32_t> pixels;
        for (int y = top; y < bottom; ++y)
            for (int x = f.M().Left; x < f.M().Left + 240; ++x) pixels.push_back(v.At(x, y));
        return pixels;
    };
    const std::vector<std::uint32_t> bare = line(""), written = line("WWWWWWWWWWWW");
    int differ = 0;
    for (std::size_t i = 0; i < bare.size(); ++i) differ += bare[i] != written[i];
    EXPECT_GT(differ, 20);
}

// The hole lets through what the form's window shows of itself beside its
// client area: its own scroll bars. While the form takes a new size (its
// provider marks it), the hole keeps the client size it had.
TEST_F(FormBorder, TheHoleTakesInTheFormsScrollBarsAndKeepsTheOldSizeWhileTheSizeChanges) {
    InitializeAdaptersModule();
    {
        BorderedForm f;
        const HWND w = f.Wnd();
        SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_VSCROLL);
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 1000, 100, 0, 0};
        SetScrollInfo(w, SB_VERT, &info, FALSE);
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        f.P->UpdateFormScrollBars();
        ASSERT_TRUE(f.P->FormScrollAdapter && f.P->FormScrollAdapter->VertScrollBar().Visible);
        f.Form.Form->SetBounds(300, 200, 460, 330);  // a new size with the bar
        uitest::PumpUntil([] { return false; }, 100ms);
        const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
        const int cw = ClientWidth(w), ch = ClientHeight(w);
        const int bar = f.P->FormScrollAdapter->VertScrollBar().Width;
        ASSERT_GT(bar, 0);
        EXPECT_FALSE(InRegionOf(f.Border(), {cx + cw + bar / 2, cy + ch / 2})) << "the bar shows";
        EXPECT_TRUE(InRegionOf(f.Border(), {cx + cw + bar + 1, cy + ch / 2}));

        f.P->StateFlags |= pfBorderRegionSetting;
        f.P->LastClientRect = {0, 0, cw - 40, ch - 30};
        const vcl::TRegionHandle region(f.P->BorderRegion());
        f.P->StateFlags &= ~pfBorderRegionSetting;
        ASSERT_TRUE(region);
        EXPECT_FALSE(PtInRegion(region.Get(), cx + cw - 41, cy + ch - 31));
        EXPECT_TRUE(PtInRegion(region.Get(), cx + cw - 40, cy + 10));
        EXPECT_TRUE(PtInRegion(region.Get(), cx + 10, cy + ch - 30));
    }
    FinalizeAdaptersModule();
}

// A minimized form's border shows its small caption: the system's hiding of
// the windows a minimized window owns leaves it. The main form's border
// goes with the form, unless the minimize animation flies from it.
TEST_F(FormBorder, OnlyTheMainFormsBorderHidesWithItsMinimizedWindow) {
    struct Case {
        bool Main;
        std::uint32_t Flags;
        bool Shown;
    };
    for (const Case c : {Case{false, 0, true}, Case{true, 0, false}, Case{true, pfMinimizeAnimation, true}}) {
        SCOPED_TRACE(testing::Message() << c.Main << " " << c.Flags);
        BorderedForm f;
        if (c.Main) vcl::Application->FormCreated(f.Form.Form);
        const HWND border = f.Border();
        ASSERT_TRUE(IsWindowVisible(border));
        f.P->StateFlags |= c.Flags;
        SendMessageW(border, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
        f.P->StateFlags &= ~c.Flags;
        EXPECT_EQ(IsWindowVisible(border) != 0, c.Shown);
        if (c.Main) vcl::Application->FormDestroyed(f.Form.Form);
    }
}

// A minimized form that is not the main form: its image is its small
// caption with the shadow margins around it, no longer stale once
// rendered, and its border window stands around the iconic window.
TEST_F(FormBorder, AMinimizedFormThatIsNotTheMainFormShowsItsSmallCaptionAroundItsWindow) {
    BorderedForm f;
    ASSERT_NE(vcl::Application->MainForm(), f.Form.Form);
    f.Form.Form->SetWindowState(vcl::wsMinimized);
    uitest::PumpUntil([] { return false; }, 100ms);
    ASSERT_TRUE(IsIconic(f.Wnd()));
    ASSERT_TRUE(f.Border());
    const vcl::TRect m = f.M();
    EXPECT_EQ(f.P->CacheWidth(), 160 + m.Left + m.Right);
    EXPECT_GT(f.P->CacheHeight(), m.Top + m.Bottom + f.P->GetCaptionHeight(true));
    EXPECT_LT(f.P->CacheHeight(), m.Top + m.Bottom + 2 * f.P->GetCaptionHeight(true));
    f.P->SkinData()->BGChanged = true;
    ASSERT_TRUE(f.P->RenderFrame());
    EXPECT_FALSE(f.P->CacheStale());
    // Around the iconic window by the margins (and the skin frame's few
    // pixels of excess), as large as the image.
    const vcl::TRect b = BorderedForm::RectOf(f.Border()), w = BorderedForm::RectOf(f.Wnd());
    EXPECT_LE(std::abs(w.Left - b.Left - m.Left), 10);
    EXPECT_LE(std::abs(w.Top - b.Top - m.Top), 30);
    EXPECT_EQ(b.Width(), f.P->CacheWidth());
    EXPECT_EQ(b.Height(), f.P->CacheHeight());
}

// A minimized form that is freed: its window's end takes its border window
// along, whose last move frees the border form from inside that window's
// own message. Nothing of the freed border form is touched after.
TEST_F(FormBorder, AMinimizedFormFreedLeavesItsFreedBorderFormUntouched) {
    auto f = std::make_unique<BorderedForm>();
    f->Form.Form->SetWindowState(vcl::wsMinimized);
    uitest::PumpUntil([] { return false; }, 50ms);
    ASSERT_TRUE(IsIconic(f->Wnd()));
    ASSERT_TRUE(f->P->BorderForm && f->Border());
    const void *border = &f->P->BorderForm->Border();
    TFreedMemoryMark mark;
    f.reset();
    EXPECT_TRUE(mark.Freed(border));
    EXPECT_TRUE(mark.Untouched(border));
    EXPECT_EQ(mark.Faults(), 0) << "nothing read through it either";
}

// A caption button's glow goes with its form's provider: the glows cleared
// at another form's move then write into no freed skin data.
TEST_F(FormBorder, ACaptionButtonsGlowGoesWithItsProvider) {
    vcl::test::TempFolder dir;
    WriteStoredSkinCopy(dir, "Glow",
                        {{"BICONCLOSEGLOW=0", "BICONCLOSEGLOW=1"},
                         {"BICONCLOSE=^", "BICONCLOSEGLOW0=^0000,0000,0034,0048,0000,0000,0000,0000,1,1,0,0\r\n"
                                          "BICONCLOSE=^"}});
    Manager->SetSkinDirectory(dir.Path());
    Manager->SetSkinName("Glow");
    Manager->Effects()->AllowGlowing = true;
    Manager->AnimEffects()->FormHide->Active = false;  // a hide animation would clear every glow first
    auto f = std::make_unique<BorderedForm>();
    BorderedForm other(vcl::bsSizeable, {40, 40, 240, 180});
    ASSERT_TRUE(uitest::ActivateAndWait(other.Wnd(), 2s));  // the form with the glow is inactive
    ASSERT_EQ(f->P->FormActive, 0);
    f->P->SetHotButton(HTCLOSE, true);
    ASSERT_GE(f->P->ButtonClose.GlowID, 0) << "the close button glows";
    const void *data = f->P->SkinData();
    TFreedMemoryMark mark;
    f.reset();
    other.Form.Form->SetBounds(60, 50, 200, 140);
    uitest::PumpUntil([] { return false; }, 50ms);
    EXPECT_TRUE(mark.Freed(data));
    EXPECT_TRUE(mark.Untouched(data));
    EXPECT_EQ(mark.Faults(), 0);
}

TEST_F(FormBorder, ManyBorderedFormsLeaveNoHandles) {
    { BorderedForm warm; }
    uitest::PumpUntil([] { return false; }, 50ms);
    const vcl::THandleCounts start = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) {
        BorderedForm f(i % 2 ? vcl::bsDialog : vcl::bsSizeable);
        ASSERT_NE(f.Border(), nullptr);
    }
    uitest::PumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(vcl::LiveHandles(), start);
}

} // namespace
} // namespace skin
