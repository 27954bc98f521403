// The dialog adapter on dialogs of our own made from templates: title
// buttons under the real mouse, the keyboard in a skinned box, maximize and
// restore of a sizeable dialog with its region, a region the dialog keeps
// for itself, and the skin removed while a dialog is open.
#include <gtest/gtest.h>

#include <vector>

#include "DialogsTestSupport.h"
#include "vcl/GdiObjects.h"

namespace skin {
namespace {

using namespace skin::test;

class DialogWnd : public DialogsFixture {
protected:
    DialogWnd() {
        SetCursorPos(2, 2);
        Settle();
    }
};

vcl::TPoint Middle(const vcl::TRect &R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
vcl::TPoint InsideOf(const vcl::TRect &R) { return {R.Left + 2, R.Top + 2}; }

TEST_F(DialogWnd, TheCloseButtonIsHotPressedAndClosesOncePerClick) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    ASSERT_FALSE(close.IsEmpty());
    EXPECT_TRUE(a->ButtonByCode(HTMAXBUTTON)->Rect.IsEmpty());  // no maximize box
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Normal);
    MouseTo(d.Window, Middle(close));
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Hot);
    MouseButton(true);
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Pressed);
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 1);
    MouseButton(true);
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 2);

    // A press elsewhere released over the button does nothing.
    MouseTo(d.Window, {a->BorderWidth() + 40, a->FrameTopHeight() + 10});
    MouseButton(true);
    Settle();
    MouseTo(d.Window, Middle(close));
    MouseButton(false);
    Settle();
    EXPECT_EQ(OwnDialogState::SysCloses, 2);
    // Leaving takes the hot look away.
    MouseTo(d.Window, {-30, -30});
    Settle();
    EXPECT_EQ(FramePixel(d.Window, InsideOf(close).X, InsideOf(close).Y), CloseColors.Normal);
}

TEST_F(DialogWnd, ADialogThatMayNotCloseAnswersNothingOverItsCloseAndItsIcon) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const vcl::TRect close = a->ButtonByCode(HTCLOSE)->Rect;
    const ULONG_PTR classStyle = GetClassLongPtrW(d.Window, GCL_STYLE);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle | CS_NOCLOSE));
    EXPECT_EQ(a->OwnHitTest(Middle(close)), 0);
    MouseTo(d.Window, Middle(close));
    MouseButton(true);
    MouseButton(false);
    Settle();
    // A double click on the icon does not close it either.
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    SetClassLongPtrW(d.Window, GCL_STYLE, static_cast<LONG_PTR>(classStyle));
    EXPECT_EQ(OwnDialogState::SysCloses, 0);
    // With a system menu the icon answers as the menu's place and closes on a double click.
    const vcl::TRect icon = a->IconRect();
    EXPECT_EQ(a->OwnHitTest(Middle(icon)), HTSYSMENU);
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    EXPECT_EQ(OwnDialogState::SysCloses, 1);
}

TEST_F(DialogWnd, WithoutASystemMenuThereAreNoButtonsAndNoMenuPlace) {
    DialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 160, 80, L"Bez nabidky");
    OwnDialog d(t);
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    for (const TvlDialogButton &b : a->Buttons) EXPECT_TRUE(b.Rect.IsEmpty());
    EXPECT_NE(a->OwnHitTest(Middle(a->IconRect())), HTSYSMENU);
    RECT r{};
    GetWindowRect(d.Window, &r);
    EXPECT_EQ(SendMessageW(d.Window, WM_NCHITTEST, 0, MAKELPARAM(r.right - 10, r.top + a->FrameTopHeight() / 2)),
              HTCAPTION);
}

TEST_F(DialogWnd, KeysStillWorkInASkinnedBox) {
    const auto press = [](std::vector<WORD> Keys) {
        return [Keys](HWND Box) {
            ASSERT_TRUE(Served(Box));
            SetForegroundWindow(Box);
            for (WORD k : Keys) {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = k;
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(2, in, sizeof(INPUT));
            }
        };
    };
    struct Case {
        std::vector<WORD> Keys;
        int Answer;
    };
    for (const Case &c : {Case{{VK_RETURN}, IDOK}, Case{{VK_ESCAPE}, IDCANCEL}, Case{{VK_TAB, VK_RETURN}, IDCANCEL}}) {
        int answer = 0;
        bool pressed = false;
        const auto keys = press(c.Keys);
        // The box's own loop takes the keys; a box they did not end is ended with 99.
        DialogVisitor v(
            [&](HWND Box) {
                keys(Box);
                pressed = true;
            },
            200, 2000, [](HWND Box) { EndDialog(Box, 99); });
        v.Run([&] { answer = MessageBoxW(nullptr, L"Klavesy", L"Zprava", MB_OKCANCEL); });
        EXPECT_TRUE(pressed);
        EXPECT_EQ(answer, c.Answer);
    }
}

TEST_F(DialogWnd, ASizeableDialogMaximizesRestoresAndKeepsItsRegion) {
    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->FrameKind, 3);
    KeepPicture(d.Window, "dialog-sizeable.png");
    const auto regionMatches = [&] {
        RECT r{};
        GetWindowRect(d.Window, &r);
        vcl::TRegionHandle shown(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(d.Window, shown.Get()) == ERROR) return false;
        vcl::TRegionHandle expected(CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top));
        const int w = r.right - r.left, h = r.bottom - r.top;
        for (int y = 0; y < 3; ++y) {
            const int n = 3 - y;
            for (const RECT c : {RECT{0, y, n, y + 1}, RECT{w - n, y, w, y + 1}, RECT{0, h - 1 - y, n, h - y},
                                 RECT{w - n, h - 1 - y, w, h - y}}) {
                vcl::TRegionHandle corner(CreateRectRgnIndirect(&c));
                CombineRgn(expected.Get(), expected.Get(), corner.Get(), RGN_DIFF);
            }
        }
        return EqualRgn(shown.Get(), expected.Get()) != 0;
    };
    EXPECT_TRUE(regionMatches());
    const vcl::TRect max = a->ButtonByCode(HTMAXBUTTON)->Rect;
    ASSERT_FALSE(max.IsEmpty());
    EXPECT_EQ(FramePixel(d.Window, InsideOf(max).X, InsideOf(max).Y), MaxColors.Normal);
    MouseTo(d.Window, Middle(max));
    MouseButton(true);
    MouseButton(false);
    ASSERT_TRUE(uitest::PumpUntil([&] { return IsZoomed(d.Window) != 0; }, std::chrono::seconds(2)));
    Settle();
    const vcl::TRect maxNow = a->ButtonByCode(HTMAXBUTTON)->Rect;
    const vcl::TColor shown = FramePixel(d.Window, InsideOf(maxNow).X, InsideOf(maxNow).Y);
    EXPECT_TRUE(shown == NormColors.Normal || shown == NormColors.Hot) << std::hex << shown;
    EXPECT_TRUE(regionMatches());
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);
    Settle();
    EXPECT_FALSE(IsZoomed(d.Window));
    EXPECT_TRUE(regionMatches());
    // A double click on the caption maximizes too.
    SendMessageW(d.Window, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_TRUE(IsZoomed(d.Window));
    SendMessageW(d.Window, WM_SYSCOMMAND, SC_RESTORE, 0);

    OwnDialogState::KeepsRegion = true;
    OwnDialog own(SizeableDialog());
    OwnDialogState::KeepsRegion = false;
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(own.Window, region.Get()), ERROR);  // it set none: none is set for it
    EXPECT_TRUE(Served(own.Window));
}

TEST_F(DialogWnd, TheClientFaceAndTheCommandsAnswers) {
    OwnDialog d(FixedDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    const LRESULT offset = SendSkinCommand(d.Window, SC_GET_CLIENT_OFFSET, 0);
    EXPECT_EQ(LOWORD(offset), a->FrameLeftWidth());
    EXPECT_EQ(HIWORD(offset), a->FrameTopHeight());
    POINT client{0, 0};
    ClientToScreen(d.Window, &client);
    RECT r{};
    GetWindowRect(d.Window, &r);
    EXPECT_EQ(client.x - r.left, a->FrameLeftWidth());
    EXPECT_EQ(client.y - r.top, a->FrameTopHeight());
    EXPECT_EQ(SendSkinCommand(d.Window, SC_GET_BORDER_WIDTH, 0), a->BorderWidth());
    // The face between the children is the section's colour.
    EXPECT_EQ(FramePixel(d.Window, a->FrameLeftWidth() + 5, a->FrameTopHeight() + 5), DialogFace);
    // One brush for every WM_CTLCOLORDLG.
    const LRESULT brush = SendMessageW(d.Window, WM_CTLCOLORDLG, 0, 0);
    EXPECT_NE(brush, 0);
    EXPECT_EQ(SendMessageW(d.Window, WM_CTLCOLORDLG, 0, 0), brush);
    // The caption text follows WM_SETTEXT.
    SetWindowTextW(d.Window, L"Novy titulek");
    EXPECT_EQ(a->WindowText, "Novy titulek");
}

TEST_F(DialogWnd, TheSkinGoingGivesTheDialogItsOwnFrameBack) {
    OwnDialog d(FixedDialog());
    ASSERT_TRUE(Served(d.Window));
    EXPECT_FALSE(LiveSysMenu(d.Window));
    const int h = [&] {
        RECT r{};
        GetWindowRect(d.Window, &r);
        return int(r.bottom - r.top);
    }();
    EXPECT_EQ(FramePixel(d.Window, 1, h / 2), DialogBorder);
    Manager->SetActive(false);
    Settle();
    EXPECT_FALSE(Served(d.Window));
    EXPECT_TRUE(LiveSysMenu(d.Window));
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(d.Window, region.Get()), ERROR);
    EXPECT_NE(FramePixel(d.Window, 1, h / 2), DialogBorder);
    EXPECT_EQ(HookedDialogCount(), 0u);
}

TEST_F(DialogWnd, HandlesStayFlatOverOwnDialogs) {
    ExpectFlatHandleCounts([] {
        OwnDialog d(SizeableDialog(), nullptr, false);
        ShowWindow(d.Window, SW_SHOW);
        UpdateWindow(d.Window);
    });
}

} // namespace
} // namespace skin
