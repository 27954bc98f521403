// The extended border in the skin's "BORDERMODE" 1: a copy of our stored
// skin that asks for it (with align offsets and a centre offset for the
// title buttons), and the same with an extended-border image of its own.
// The margins are the manager's; the frame is the form's
// section without its caption section, the shadow laid over it as a
// nine-part image and the caption's icon, text and buttons on top, opaque;
// the border window shows that image; the sizing zones lie at the align
// offsets and answer at real points, a real drag on one sizes the form;
// many forms leave no handles behind. A picture goes to the artefacts.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "BorderedFormSupport.h"
#include "StoredSkinCopies.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/manager/sSkinData.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr int AlignOffset = ModeOneSkin::AlignOffset, CentreOffset = ModeOneSkin::CentreOffset;

struct BorderMaskMode : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;

    BorderMaskMode() {
        SetCursorPos(5, 5);
        Manager->SetSkinDirectory(Skin.Dir.Path());
        Manager->SetExtendedBorders(true);
        Manager->SetSkinName("Mode1");
    }
    ModeOneSkin Skin;
    ManagerPtr Manager = NewManager();
};

std::uint32_t Rgb(std::uint32_t Pixel) { return Pixel & 0xFFFFFF; }
std::uint32_t RgbOf(vcl::TColor C) { return (C & 0xFF) << 16 | (C & 0xFF00) | (C >> 16 & 0xFF); }
std::uint32_t Premultiplied(std::uint32_t P) {
    const std::uint32_t a = P >> 24;
    const auto channel = [&](int Shift) { return (((P >> Shift) & 0xFF) * a / 255) << Shift; };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

constexpr vcl::TColor FormFace = 0xF9F6F4;  // the skin's FORM colour

TEST_F(BorderMaskMode, TheFrameIsTheFormsSectionUnderTheShadowWithTheCaptionOnTop) {
    ASSERT_TRUE(Manager->SkinData->Active);
    ASSERT_EQ(Manager->SkinData->BorderMode, 1);
    // No "EXBORDER" in our skin: the built-in shadows and their margins.
    EXPECT_FALSE(Manager->IsValidMaskIndex(Manager->CommonElements.ExBorder));
    EXPECT_EQ(Manager->ExtBorderMargins, (vcl::TRect{9, 9, 9, 9}));
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    uitest::PumpUntil([] { return false; }, 150ms);
    ASSERT_NE(f.Border(), nullptr);
    ASSERT_TRUE(f.P->BorderMaskMode());
    const vcl::TRect m = f.M();
    EXPECT_EQ(m, Manager->ExtBorderMargins);
    const vcl::TBitmapView cache = f.P->SkinData()->CacheBmp()->View();
    const int w = cache.Width, h = cache.Height;
    const int cx = f.P->GetClientOffsetX(), cy = f.P->GetClientOffsetY();

    // The margins: the active shadow in nine parts, corners as they are.
    const vcl::TBitmapView shadow = Manager->ExtBorderImages[1]->View();
    const int slice = (shadow.Width - 1) / 2;
    ASSERT_EQ(slice, 9) << "the built-in shadow's corners are as wide as its margins";
    for (const vcl::TPoint p : {vcl::TPoint{0, 0}, {4, 7}, {8, 8}})
        EXPECT_EQ(cache.At(p.X, p.Y), Premultiplied(shadow.At(p.X, p.Y))) << p.X << "," << p.Y;
    EXPECT_EQ(cache.At(w - 1, h - 1), Premultiplied(shadow.At(shadow.Width - 1, shadow.Height - 1)));
    EXPECT_EQ(cache.At(3, h / 2), Premultiplied(shadow.At(3, slice))) << "the left side, stretched";

    // The frame: the form's face everywhere the caption's pieces are not,
    // the caption band included (its own section is not drawn), opaque.
    const std::uint32_t face = 0xFF000000u | RgbOf(FormFace);
    EXPECT_EQ(cache.At(m.Left + 1, cy + 40), face) << "the left frame";
    EXPECT_EQ(cache.At(w / 2, h - m.Bottom - 2), face) << "the bottom frame";
    EXPECT_EQ(cache.At(m.Left + 1, m.Top + 1), face) << "the caption's corner";
    const TsCaptionButton &min = f.P->ButtonMin;
    ASSERT_GT(min.Rect.Width(), 0);
    for (int y = m.Top; y < m.Top + 3; ++y)
        for (int x = m.Left + 1; x < min.Rect.Left - 4; x += 7) EXPECT_EQ(cache.At(x, y), face) << x << "," << y;

    // The caption's text lies on top: drawn, and opaque where drawn.
    int text = 0, clear = 0;
    for (int y = m.Top + 8; y < cy - 8; ++y)
        for (int x = f.P->IconRect.Right + 4; x < min.Rect.Left - 8; ++x) {
            const std::uint32_t p = cache.At(x, y);
            text += Rgb(p) != RgbOf(FormFace);
            clear += (p >> 24) != 0xFF;
        }
    EXPECT_GT(text, 20) << "the caption's text";
    EXPECT_EQ(clear, 0);
    // So are the title buttons and the icon.
    const TsCaptionButton &close = f.P->ButtonClose;
    int buttonFace = 0;
    for (int y = close.Rect.Top; y < close.Rect.Bottom; ++y)
        for (int x = close.Rect.Left; x < close.Rect.Right; ++x) {
            EXPECT_EQ(cache.At(x, y) >> 24, 0xFFu);
            buttonFace += Rgb(cache.At(x, y)) != RgbOf(FormFace);
        }
    EXPECT_GT(buttonFace, 10) << "the close glyph";

    // The border window shows this image.
    const uitest::TImage32 seen = f.Seen();
    if (seen.Width == 0) GTEST_SKIP() << "no X picture here";
    ASSERT_EQ(seen.Width, w);
    ASSERT_EQ(seen.Height, h);
    int same = 0, all = 0;
    for (int y = m.Top; y < cy; y += 2)
        for (int x = m.Left; x < w - m.Right; x += 2, ++all) same += Rgb(seen.At(x, y)) == Rgb(cache.At(x, y));
    EXPECT_EQ(same, all) << "the caption band on the screen";
    EXPECT_EQ(Rgb(seen.At(m.Left + 1, cy + 40)), RgbOf(FormFace));
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / "forms-border-mode1.png").string(), seen);
}

TEST_F(BorderMaskMode, TitleButtonsSitTheSkinsCentreOffsetLower) {
    BorderedForm f;
    ASSERT_NE(f.Border(), nullptr);
    const vcl::TRect m = f.M();
    const int caption = f.P->GetCaptionHeight(true);
    EXPECT_EQ(f.P->CaptionBottom, m.Top + caption);
    EXPECT_EQ(f.P->ButtonCenterY, m.Top + caption - caption / 2 + CentreOffset);
    for (const TsCaptionButton *b : {&f.P->ButtonClose, &f.P->ButtonMax, &f.P->ButtonMin}) {
        ASSERT_GT(b->Rect.Height(), 0);
        EXPECT_LE(std::abs((b->Rect.Top + b->Rect.Bottom) / 2 - (m.Top + caption / 2 + CentreOffset)), 1);
    }
}

TEST_F(BorderMaskMode, SizingZonesLieAtTheAlignOffsetsAndSizeTheFormAtRealPoints) {
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    uitest::PumpUntil([] { return false; }, 100ms);
    const HWND w = f.Border();
    ASSERT_NE(w, nullptr);
    const vcl::TRect m = f.M();
    const vcl::TRect b = BorderedForm::RectOf(w);
    const int W = b.Width(), H = b.Height(), n = GetBorderWidth(f.Wnd());
    const int cy = f.P->GetClientOffsetY(), cx = f.P->GetClientOffsetX();
    // The window answers the system for every point it keeps; the code comes from the border form.
    const auto codeAt = [&](vcl::TPoint P) {
        const vcl::TPoint s = f.OnScreen(P);
        return f.P->BorderForm->Border().HitTest({WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y), 0});
    };
    const auto answered = [&](vcl::TPoint P) {
        const vcl::TPoint s = f.OnScreen(P);
        return SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y)) == htBorderWindow;
    };
    const int a = AlignOffset;
    EXPECT_EQ(codeAt({m.Left - a, cy + 40}), HTLEFT);
    EXPECT_EQ(codeAt({m.Left - a + n, cy + 40}), HTLEFT);
    EXPECT_EQ(codeAt({W - m.Right + a, cy + 40}), HTRIGHT);
    EXPECT_EQ(codeAt({W - m.Right + a - n, cy + 40}), HTRIGHT);
    EXPECT_EQ(codeAt({cx + 100, m.Top - a}), HTTOP);
    EXPECT_EQ(codeAt({cx + 100, m.Top - a + 4}), HTTOP);
    EXPECT_EQ(codeAt({cx + 100, m.Top - a + 5}), HTCAPTION);
    EXPECT_EQ(codeAt({cx + 100, H - m.Bottom + a}), HTBOTTOM);
    EXPECT_EQ(codeAt({m.Left - a, m.Top - a}), HTTOPLEFT);
    EXPECT_EQ(codeAt({W - m.Right + a, H - m.Bottom + a}), HTBOTTOMRIGHT);
    EXPECT_TRUE(answered({m.Left - a, cy + 40}));
    // One pixel further out lies the shadow that lets the mouse through.
    EXPECT_FALSE(answered({m.Left - a - 1, cy + 40}));
    EXPECT_FALSE(answered({cx + 100, H - m.Bottom + a + 1}));
    EXPECT_NE(codeAt({m.Left - a - 1, cy + 40}), HTLEFT);

    // A real drag on the right zone sizes the form; its border follows.
    const vcl::TRect before = BorderedForm::RectOf(f.Wnd());
    const vcl::TPoint s = f.OnScreen({W - m.Right + a - 1, cy + 40});
    SetCursorPos(s.X, s.Y);
    MouseTo(GetDesktopWindow(), s);
    Settle();
    std::atomic<bool> done{false};
    std::thread user([&] {
        MouseButton(true);
        for (int i = 1; i <= 10; ++i) {
            std::this_thread::sleep_for(30ms);
            MouseTo(GetDesktopWindow(), {s.X + 4 * i, s.Y});
        }
        std::this_thread::sleep_for(60ms);
        MouseButton(false);
        std::this_thread::sleep_for(60ms);
        done = true;
    });
    uitest::PumpUntil([&] { return done.load(); }, 5s);
    user.join();
    Settle();
    const vcl::TRect sized = BorderedForm::RectOf(f.Wnd());
    EXPECT_EQ(sized.Width(), before.Width() + 40);
    EXPECT_EQ(sized.Left, before.Left);
    EXPECT_EQ(BorderedForm::RectOf(f.Border()), f.Place());
}

TEST_F(BorderMaskMode, TheSkinsBorderImageReachesFromTheFormsOffsetIntoTheFrame) {
    Manager->SetSkinName("Mode1Ex");
    ASSERT_TRUE(Manager->IsValidMaskIndex(Manager->CommonElements.ExBorder));
    // The margins are the skin's "FORMOFFSET" (4) on every side.
    EXPECT_EQ(Manager->ExtBorderMargins, (vcl::TRect{4, 4, 4, 4}));
    BorderedForm f;
    ASSERT_TRUE(uitest::ActivateAndWait(f.Wnd(), 2s));
    uitest::PumpUntil([] { return false; }, 150ms);
    ASSERT_NE(f.Border(), nullptr);
    EXPECT_EQ(f.M(), (vcl::TRect{4, 4, 4, 4}));
    const vcl::TBitmapView cache = f.P->SkinData()->CacheBmp()->View();
    const vcl::TBitmapView mask = Manager->ExtBorderImages[1]->View();
    const int w = cache.Width, h = cache.Height;
    // The image's 6-pixel corners lie as they are at the image's corners:
    // in the margins over nothing, 2 pixels into the frame over its face.
    const auto over = [](std::uint32_t Straight, std::uint32_t Under) {
        const std::uint32_t a = Straight >> 24;
        std::uint32_t out = std::min<std::uint32_t>(a + (Under >> 24) * (255 - a) / 255, 255) << 24;
        for (const int shift : {16, 8, 0})
            out |= (((Straight >> shift) & 0xFF) * a + ((Under >> shift) & 0xFF) * (255 - a)) / 255 << shift;
        return out;
    };
    const std::uint32_t face = 0xFF000000u | RgbOf(FormFace);
    for (const vcl::TPoint p : {vcl::TPoint{0, 0}, {3, 2}, {5, 1}})
        EXPECT_EQ(cache.At(p.X, p.Y), Premultiplied(mask.At(p.X, p.Y))) << p.X << "," << p.Y;
    for (const vcl::TPoint p : {vcl::TPoint{4, h - 5}, {5, h - 6}}) {
        const vcl::TPoint s{p.X, mask.Height - (h - p.Y)};
        EXPECT_EQ(cache.At(p.X, p.Y), over(mask.At(s.X, s.Y), face)) << p.X << "," << p.Y;
    }
    EXPECT_EQ(cache.At(w - 1, 0), Premultiplied(mask.At(mask.Width - 1, 0)));
    // Beyond its 6 pixels the frame is the form's face again.
    EXPECT_EQ(cache.At(6, f.P->GetClientOffsetY() + 40), face);
}

TEST_F(BorderMaskMode, ManyBorderedFormsLeaveNoHandles) {
    { BorderedForm warm; }
    uitest::PumpUntil([] { return false; }, 50ms);
    const vcl::THandleCounts start = vcl::LiveHandles();
    for (int i = 0; i < 60; ++i) {
        BorderedForm f(i % 2 ? vcl::bsDialog : vcl::bsSizeable);
        ASSERT_NE(f.Border(), nullptr);
        ASSERT_TRUE(f.P->BorderMaskMode());
    }
    uitest::PumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(vcl::LiveHandles(), start);
}

} // namespace
} // namespace skin
