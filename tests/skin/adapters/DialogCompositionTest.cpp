// A bordered skinned dialog's show and size as the dialog's own procedure
// sees them, and where the focus goes when it is shown without being
// activated. Built twice: without desktop composition (in SystemDialogsTest)
// and with it (DialogsAeroTest, run as Windows 10): under composition the
// show runs layered, the size with redrawing off, and the first frame
// paint focuses the dialog.
#include <gtest/gtest.h>

#include "DialogsTestSupport.h"
#include "skin/forms/vlDwmServices.h"
#include "vcl/HandleCounts.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif

namespace skin::test {
namespace {

// What the dialog's procedure (the adapter's previous one) saw.
struct Seen {
    static inline int LayeredAtShow = -1;  // WS_EX_LAYERED during the show
    static inline int VisibleAtSize = -1;  // WS_VISIBLE (redrawing on) during a size
};

INT_PTR CALLBACK WatchingDialogProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM) {
    if (Msg == WM_INITDIALOG) return FALSE;  // no focus given on creation
    if (Msg == WM_SHOWWINDOW && WParam)
        Seen::LayeredAtShow = (GetWindowLongPtrW(Window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (Msg == WM_SIZE && Seen::LayeredAtShow >= 0)
        Seen::VisibleAtSize = (GetWindowLongPtrW(Window, GWL_STYLE) & WS_VISIBLE) != 0;
    return FALSE;
}

struct DialogComposition : DialogsFixture {
    DialogComposition() {
        SetCursorPos(2, 2);
        Manager->SetExtendedBorders(true);
        Seen::LayeredAtShow = Seen::VisibleAtSize = -1;
    }
};

TEST_F(DialogComposition, TheShowRunsLayeredTheSizeWithoutRedrawingAndTheFirstPaintFocuses) {
    ASSERT_EQ(DwmCompositionActive(), ZUVO_COMPOSITION != 0);
    const bool composed = ZUVO_COMPOSITION != 0;
    {
        // What the first dialog makes and keeps for the next is not counted.
        OwnDialog first(SizeableDialog());
    }
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    const vcl::THandleCounts before = vcl::LiveHandles();
    const DialogTemplate t = SizeableDialog();
    const HWND dialog =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, WatchingDialogProc, 0);
    ASSERT_TRUE(dialog);
    TvlDialogWnd *a = DialogAdapterOf(dialog);
    ASSERT_TRUE(a && a->BorderForm);
    // Another window has the focus when the dialog shows without activation.
    const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 600, 500, 120, 80, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    uitest::ActivateAndWait(other, std::chrono::milliseconds(1000));
    SetFocus(other);
    ASSERT_EQ(GetFocus(), other);
    ShowWindow(dialog, SW_SHOWNA);

    Settle();
    ASSERT_TRUE(a->BorderWindow() && IsWindowVisible(a->BorderWindow()));
    EXPECT_EQ(Seen::LayeredAtShow, composed ? 1 : 0);
    EXPECT_EQ(GetFocus() == dialog || IsChild(dialog, GetFocus()), composed);
    RECT r{};
    GetWindowRect(dialog, &r);
    SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + 30, r.bottom - r.top + 20,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Seen::VisibleAtSize, composed ? 0 : 1);
    // Each ends as it began: not layered, drawn.
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
    DestroyWindow(other);
    uitest::PumpUntil([] { return DialogProviderCount() == 0; }, std::chrono::seconds(1));
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin::test
