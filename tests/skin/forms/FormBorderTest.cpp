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
#include <filesystem>
#include <memory>
#include <thread>

#include "BorderedFormSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "vcl/HandleCounts.h"

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
        const vcl::TRect b = BorderedForm::RectOf(w), o = BorderedForm::RectOf(f.Wnd());
        EXPECT_EQ(b.Left, o.Left - m.Left);
        EXPECT_EQ(b.Top, o.Top - m.Top);
        EXPECT_EQ(b.Right, o.Right + m.Right);
        EXPECT_EQ(b.Bottom, o.Bottom + m.Bottom);

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
        EXPECT_FALSE(InRegionOf(w, {cx + 5, cy + 5}));
        EXPECT_FALSE(InRegionOf(w, {cx + ClientWidth(f.Wnd()) - 1, cy + ClientHeight(f.Wnd()) - 1}));
        EXPECT_TRUE(InRegionOf(w, {cx + 5, cy - 1}));
        EXPECT_TRUE(InRegionOf(w, {cx - 1, cy + 5}));
        EXPECT_TRUE(InRegionOf(w, {2, 2}));
        // The form's own window keeps only what lies inside its native frame.
        const int n = GetBorderWidth(f.Wnd());
        EXPECT_FALSE(InRegionOf(f.Wnd(), {n - 1, 40}));
        EXPECT_TRUE(InRegionOf(f.Wnd(), {cx - m.Left + 2, cy - m.Top + 2}));
        // The mouse over the client area is the form's.
        const vcl::TPoint inside = f.OnScreen({cx + 20, cy + 20});
        EXPECT_EQ(WindowFromPoint({inside.X, inside.Y}), f.Wnd());
        const vcl::TPoint caption = f.OnScreen({cx + 60, m.Top + 8});
        EXPECT_EQ(WindowFromPoint({caption.X, caption.Y}), w);
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

    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-extended-border.png").string(), shown);
}

TEST_F(FormBorder, ClientOffsetsAndPrintStillLeadToTheClientArea) {
    BorderedForm f;
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
    // The frame in it is the cache's, without the margins.
    EXPECT_EQ(Rgb(print.View().At(x0 + 80, 5)), Rgb(cache.View().At(m.Left + x0 + 80, m.Top + 5)));
    EXPECT_EQ(Rgb(print.View().At(1, y0 + 100)), Rgb(cache.View().At(m.Left + 1, m.Top + y0 + 100)));
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
    EXPECT_EQ(BorderedForm::RectOf(w).Left, moved.Left - m.Left);
    EXPECT_EQ(BorderedForm::RectOf(w).Top, moved.Top - m.Top);
    // The right edge (in the extended border) sizes it; the border follows.
    const vcl::TRect b = BorderedForm::RectOf(w);
    drag({b.Width() - m.Right + 1, b.Height() / 2}, {50, 0});
    const vcl::TRect sized = BorderedForm::RectOf(f.Wnd());
    EXPECT_EQ(sized.Width(), before.Width() + 50);
    EXPECT_EQ(sized.Left, moved.Left);
    EXPECT_EQ(BorderedForm::RectOf(f.Border()).Width(), sized.Width() + m.Left + m.Right);
    EXPECT_EQ(f.P->SkinData()->CacheBmp()->Width(), sized.Width() + m.Left + m.Right);
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
    EXPECT_EQ(b.Left, 320 - m.Left);
    EXPECT_EQ(b.Top, 220 - m.Top);
    EXPECT_EQ(b.Width(), 500 + m.Left + m.Right);
    EXPECT_EQ(b.Height(), 360 + m.Top + m.Bottom);
    EXPECT_EQ(f.P->SkinData()->CacheBmp()->Height(), b.Height());
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();
    EXPECT_FALSE(InRegionOf(f.Border(), {cx + ClientWidth(f.Wnd()) - 2, cy + ClientHeight(f.Wnd()) - 2}));
    EXPECT_TRUE(InRegionOf(f.Border(), {cx + ClientWidth(f.Wnd()) + 1, cy + 10}));
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
