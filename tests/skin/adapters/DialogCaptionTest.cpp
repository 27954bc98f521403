// The caption of a skinned dialog, with and without the extended border:
// where the skin's offsets put the icon and the title buttons (and where
// the buttons answer the mouse), the caption text's glow, the restore
// glyph that a skin gives the dialog's own section only, and the disabled
// look of an inactive dialog's buttons, and a minimized dialog's caption.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "DialogsTestSupport.h"
#include "skin/manager/sSkinData.h"
#include "vcl/Bitmap.h"

namespace skin {
namespace {

using namespace skin::test;

struct DialogCaption : DialogsFixture {
    DialogCaption() { SetCursorPos(2, 2); }
    // Renders the frame again after the skin's values changed.
    static void Render(TvlDialogWnd &A) {
        A.FrameInvalid = true;
        A.PaintFrame();
    }
    static vcl::TColor CachePixel(TvlDialogWnd &A, int X, int Y) {
        const std::uint32_t p = A.SkinData->CacheBmp()->View().At(X, Y);
        return static_cast<vcl::TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
    }
};

TEST_F(DialogCaption, TheSkinsOffsetsPlaceTheIconAndTheButtonsWhichAnswerWhereTheyStand) {
    for (const bool bordered : {false, true}) {
        SCOPED_TRACE(bordered ? "bordered" : "plain");
        Manager->SetExtendedBorders(bordered);
        TsSkinData &skin = *Manager->SkinData;
        skin.BILeft = 5;
        OwnDialog d(FixedDialog(L"Posuny"));
        TvlDialogWnd *a = d.Adapter();
        ASSERT_NE(a, nullptr);
        ASSERT_EQ(a->BorderForm != nullptr, bordered);
        const vcl::TRect m = a->ExtBorderMargins();
        TvlDialogButton &close = *a->ButtonByCode(HTCLOSE);
        ASSERT_TRUE(close.BigIcons);
        // The icon: after the side border by the skin's offset, centred on the buttons' line.
        const vcl::TRect icon = a->IconRect();
        EXPECT_EQ(icon.Left, m.Left + a->FrameBorder() + 5);
        EXPECT_LE(std::abs((icon.Top + icon.Bottom) - (close.Rect.Top + close.Rect.Bottom)), 1);

        // The skin's own top for the big buttons, and its centring offset
        // in its border mode 1: the buttons stand there, and are hit there.
        const vcl::TPoint off = a->BorderOffset();
        const auto hitAtTop = [&] {
            return a->OwnHitTest({close.Rect.Left + 3 - off.X, close.Rect.Top + 1 - off.Y});
        };
        skin.BIVAlign = 1;
        skin.BITop = 0;
        Render(*a);
        EXPECT_EQ(close.Rect.Top, m.Top);
        EXPECT_EQ(hitAtTop(), HTCLOSE);
        a->SetHotButton(0, false);
        if (!bordered) {
            skin.BIVAlign = 0;
            skin.BorderMode = 1;
            skin.CenterOffset = 4;
            Render(*a);
            EXPECT_EQ(close.Rect.Top, (a->CaptionHeight() - close.Rect.Height() + a->BorderWidth()) / 2 + 4);
            EXPECT_EQ(hitAtTop(), HTCLOSE);
            a->SetHotButton(0, false);
        }
    }
}

TEST_F(DialogCaption, WithABorderTheCaptionTextGlowsInTheSkinsGlowColour) {
    for (const bool bordered : {false, true}) {
        SCOPED_TRACE(bordered ? "bordered" : "plain");
        Manager->SetExtendedBorders(bordered);
        OwnDialog d(FixedDialog(L"Zarici titulek"));
        TvlDialogWnd *a = d.Adapter();
        ASSERT_TRUE(a && Manager->IsValidSectionIndex(a->TitleSection));
        for (TsGenState &state : Manager->Sections[static_cast<std::size_t>(a->TitleSection)].Props) {
            state.GSize = 3;
            state.GCol = 0x00FF00;
        }
        Render(*a);
        // Green in the caption band, between the icon and the buttons.
        const vcl::TRect m = a->ExtBorderMargins();
        int green = 0;
        for (int y = m.Top; y < a->FrameTopHeight(); ++y)
            for (int x = a->IconRect().Right; x < a->ButtonByCode(HTCLOSE)->Rect.Left; ++x) {
                const vcl::TColor c = CachePixel(*a, x, y);
                const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                green += g > r + 60 && g > b + 60;
            }
        if (bordered)
            EXPECT_GT(green, 20);
        else
            EXPECT_EQ(green, 0);
    }
}

// The restore glyph only in the dialog's own section.
TEST_F(DialogCaption, AMaximizedDialogFindsTheRestoreGlyphInItsOwnSection) {
    std::string options = DialogSkinOptions();
    const std::string norm = "BICONNORM=@0000,0045,0045,0060,3,0\r\n";
    const std::size_t at = options.find(norm);
    ASSERT_NE(at, std::string::npos);
    options.erase(at, norm.size());
    options.insert(options.find("[DIALOG]\r\n") + 10, norm);
    Manager.reset();
    Manager = NewManager();
    TestSkin skin;
    skin.Options = options;
    skin.Files = {{"MASTER.BMP", DialogMaster()}};
    AddStoredSkin(*Manager, "OwnNorm", skin.Packed());
    Manager->SetSkinName("OwnNorm");
    Manager->Effects()->AllowAnimation = false;
    Manager->Effects()->AllowGlowing = false;
    ASSERT_EQ(Manager->CommonElements.TitleIcons[tiBigNorm], -1);

    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Settle();
    ASSERT_TRUE(IsZoomed(d.Window));
    const TvlDialogButton &max = *a->ButtonByCode(HTMAXBUTTON);
    const vcl::TPoint inside{max.Rect.Left + 2, max.Rect.Top + 2};
    EXPECT_EQ(CachePixel(*a, inside.X, inside.Y), NormColors.Normal);
    MouseTo(d.Window, {(max.Rect.Left + max.Rect.Right) / 2, (max.Rect.Top + max.Rect.Bottom) / 2});
    Settle();
    ASSERT_EQ(a->HotButton, HTMAXBUTTON);
    EXPECT_EQ(CachePixel(*a, inside.X, inside.Y), NormColors.Hot);
    SetCursorPos(2, 2);
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);
}

// A title button under the mouse keeps its hot look only while the dialog
// is active: an inactive dialog's hot look is faded into the caption behind
// it (half and half), as its normal look is, whether the button's repaint
// or the whole frame's draws it.
TEST_F(DialogCaption, AnInactiveDialogsButtonLooksDisabledInEveryState) {
    const auto faded = [](vcl::TColor Glyph, vcl::TColor Behind) {
        vcl::TColor c = 0;
        for (int shift = 0; shift <= 16; shift += 8)
            c |= static_cast<vcl::TColor>(((Glyph >> shift & 0xFF) + (Behind >> shift & 0xFF)) / 2) << shift;
        return c;
    };
    const auto alike = [](vcl::TColor A, vcl::TColor B) {
        for (int shift = 0; shift <= 16; shift += 8)
            if (std::abs(static_cast<int>(A >> shift & 0xFF) - static_cast<int>(B >> shift & 0xFF)) > 2) return false;
        return true;
    };
    OwnDialog d(FixedDialog(L"Neaktivni"));
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const TvlDialogButton &close = *a->ButtonByCode(HTCLOSE);
    const vcl::TPoint inside{close.Rect.Left + 2, close.Rect.Top + 2};
    const auto hover = [&] {
        SetCursorPos(2, 2);
        Settle();
        MouseTo(d.Window, {(close.Rect.Left + close.Rect.Right) / 2, (close.Rect.Top + close.Rect.Bottom) / 2});
        Settle();
    };
    hover();
    ASSERT_EQ(a->HotButton, HTCLOSE);
    EXPECT_EQ(CachePixel(*a, inside.X, inside.Y), CloseColors.Hot) << "active, able to act";

    TestForm other;
    other.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(other.Form->Handle(), std::chrono::milliseconds(1000)));
    Settle();
    hover();
    ASSERT_EQ(a->HotButton, HTCLOSE);
    EXPECT_TRUE(alike(CachePixel(*a, inside.X, inside.Y), faded(CloseColors.Hot, InactiveTitle)))
        << "inactive: " << std::hex << CachePixel(*a, inside.X, inside.Y);
    // Its frame drawn anew while the mouse stays there: the same.
    Render(*a);
    EXPECT_TRUE(alike(CachePixel(*a, inside.X, inside.Y), faded(CloseColors.Hot, InactiveTitle)))
        << "inactive, frame drawn anew: " << std::hex << CachePixel(*a, inside.X, inside.Y);
    SetCursorPos(2, 2);
}

// The "CAPTION" section's box stands behind the text: at the left, and at
// the right for a dialog that reads right to left (its text right-aligned).
TEST_F(DialogCaption, TheCaptionSectionsBoxStandsBehindTheTextOnEitherSide) {
    constexpr vcl::TColor box = 0x40C0C0;
    Manager.reset();
    Manager = NewManager();
    TestSkin skin;
    skin.Options = DialogSkinOptions() + "[CAPTION]\r\nCOLOR=" + std::to_string(box) + "\r\nHOTCOLOR=" +
                   std::to_string(box) + "\r\nFONTCOLOR=0xFFFFFF\r\nHOTFONTCOLOR=0xFFFFFF\r\n";
    skin.Files = {{"MASTER.BMP", DialogMaster()}};
    AddStoredSkin(*Manager, "CaptionBox", skin.Packed());
    Manager->SetSkinName("CaptionBox");
    Manager->Effects()->AllowAnimation = false;
    Manager->Effects()->AllowGlowing = false;
    for (const DWORD reading : {DWORD{0}, DWORD{WS_EX_RTLREADING}}) {
        SCOPED_TRACE(reading ? "right to left" : "left to right");
        DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 180, 90, L"Box", reading);
        OwnDialog d(t);
        TvlDialogWnd *a = d.Adapter();
        ASSERT_NE(a, nullptr);
        const int buttons = a->ButtonByCode(HTCLOSE)->Rect.Left;
        int left = INT_MAX, right = INT_MIN;
        for (int y = 0; y < a->FrameTopHeight(); ++y)
            for (int x = 0; x < a->SkinData->CacheBmp()->Width(); ++x)
                if (CachePixel(*a, x, y) == box) left = std::min(left, x), right = std::max(right, x + 1);
        ASSERT_LT(left, right) << "no box";
        EXPECT_LT(right - left, 80) << "as wide as the text";
        if (reading)
            EXPECT_EQ(right, buttons - 6 + 4) << "ends where the text ends, before the buttons";
        else
            EXPECT_EQ(left, a->IconRect().Right) << "starts where the text starts, 4 pixels after the icon";
    }
}

// Minimized, a dialog is its caption alone, its client empty: its buttons
// and its text stand inside it, the screen shows the frame's picture, and
// with a border the image is no wider than the window. A maximize box that
// cannot maximize looks disabled there, drawn whole or after a hover.
TEST_F(DialogCaption, AMinimizedDialogShowsItsButtonsAndTextInItsCaption) {
    DialogTemplate modal(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX, 180, 90,
                         L"Modalni");
    for (const bool bordered : {false, true})
        for (const DialogTemplate &t : {SizeableDialog(), modal}) {
            SCOPED_TRACE(bordered ? "bordered" : "plain");
            Manager->SetExtendedBorders(bordered);
            OwnDialog d(t);
            TvlDialogWnd *a = d.Adapter();
            ASSERT_NE(a, nullptr);
            SendMessageW(d.Window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            Settle();
            ASSERT_TRUE(IsIconic(d.Window));
            uitest::ActivateAndWait(d.Window, std::chrono::milliseconds(1000));
            Settle();
            RECT wr{};
            GetWindowRect(d.Window, &wr);
            vcl::TBitmap &cache = *a->SkinData->CacheBmp();
            EXPECT_EQ(cache.Width(), wr.right - wr.left);
            const int band = a->FrameTopHeight();
            for (const int code : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON}) {
                const vcl::TRect r = a->ButtonByCode(code)->Rect;
                EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= cache.Width() && r.Bottom <= band)
                    << code << ": " << r.Left << "," << r.Top << " " << r.Right << "," << r.Bottom << " in "
                    << cache.Width() << "x" << band;
            }
            int text = 0;
            for (int y = 0; y < band; ++y)
                for (int x = a->IconRect().Right; x < a->ButtonByCode(HTCLOSE)->Rect.Left; ++x)
                    text += CachePixel(*a, x, y) == 0xFFFFFF;
            EXPECT_GT(text, 10) << "no caption text";
            if (!bordered) {
                // Inside the window's region: its cut corners show what lies behind.
                const uitest::TImage32 screen = uitest::CaptureWindow(d.Window);
                const vcl::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
                const bool shaped = GetWindowRgn(d.Window, shape.Get()) != ERROR;
                int differing = 0;
                for (int y = 0; y < screen.Height; ++y)
                    for (int x = 0; x < screen.Width; ++x)
                        differing += (!shaped || PtInRegion(shape.Get(), x, y)) &&
                                     (cache.View().At(x, y) & 0xFFFFFF) != (screen.At(x, y) & 0xFFFFFF);
                EXPECT_EQ(differing, 0) << "of " << screen.Width * screen.Height;
            }
            const vcl::TRect max = a->ButtonByCode(HTMAXBUTTON)->Rect;
            const vcl::TColor drawn = CachePixel(*a, max.Left + 2, max.Top + 2);
            const vcl::TPoint off = a->BorderOffset();
            MouseTo(d.Window, {(max.Left + max.Right) / 2 - off.X, (max.Top + max.Bottom) / 2 - off.Y});
            Settle();
            SetCursorPos(2, 2);
            Settle();
            EXPECT_EQ(CachePixel(*a, max.Left + 2, max.Top + 2), drawn) << "after a hover";
            SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);
            Settle();
            // Restored, the window takes its whole shape again: its client
            // area under a border window, else the window less cut corners.
            ASSERT_FALSE(IsIconic(d.Window));
            GetWindowRect(d.Window, &wr);
            RECT shape{}, client{};
            const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
            ASSERT_NE(GetWindowRgn(d.Window, region.Get()), ERROR);
            GetRgnBox(region.Get(), &shape);
            GetClientRect(d.Window, &client);
            POINT origin{0, 0};
            ClientToScreen(d.Window, &origin);
            OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
            const RECT whole{0, 0, wr.right - wr.left, wr.bottom - wr.top};
            EXPECT_TRUE(EqualRect(&shape, bordered ? &client : &whole))
                << shape.left << "," << shape.top << " " << shape.right << "," << shape.bottom;
        }
}

} // namespace
} // namespace skin
