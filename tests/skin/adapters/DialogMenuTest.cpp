// The skinned system menu of dialogs that the window-creation hook skinned:
// a message box's icon click shows Move and Close, and Close ends the box;
// a right click on a sizeable dialog's caption shows the menu, whose
// Maximize maximizes it, after which Move is off and Restore on. Both
// menus show the skin's face behind their items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogsTestSupport.h"

namespace skin {
namespace {

using namespace skin::test;

// What a timer inside the menu's loop read of the shown menu's items and
// saw of the menu, painted, before each key it played, one key a tick.
struct TMenuLook {
    static inline std::vector<std::string> Items;
    static inline std::vector<WORD> Keys;
    static inline HWND Window = nullptr;
    static inline std::vector<uitest::TImage32> Images;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR Timer, DWORD) {
        for (HWND w : uitest::TopLevelWindows("#32768", GetCurrentProcessId())) {
            if (!IsWindowVisible(w)) continue;
            if (!Window) {
                Window = w;
                const auto menu = reinterpret_cast<HMENU>(SendMessageW(w, 0x01E1 /* MN_GETHMENU */, 0, 0));
                for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
                    const auto *item = vcl::TMenuItem::FindCommand(GetMenuItemID(menu, i));
                    if (item && !item->IsLine()) Items.push_back(item->Name());
                }
            }
            UpdateWindow(w);
            Images.push_back(uitest::CaptureWindow(w));
            const std::size_t step = Images.size() - 1;
            if (step + 1 >= Keys.size()) {
                KillTimer(nullptr, Timer);
                KeepPicture(w, "skinned-dialog-menu.png");
            }
            if (step < Keys.size()) {
                INPUT in[2] = {};
                in[0].type = in[1].type = INPUT_KEYBOARD;
                in[0].ki.wVk = in[1].ki.wVk = Keys[step];
                in[1].ki.dwFlags = KEYEVENTF_KEYUP;
                SendInput(2, in, sizeof(INPUT));
            }
            return;
        }
    }
    static void Arm(std::vector<WORD> Play) {
        Items.clear();
        Keys = std::move(Play);
        Window = nullptr;
        Images.clear();
        SetTimer(nullptr, 0, 200, &Tick);
    }
};

// The dialog skin has no menu section: the menu shows the skin's face in a
// line of its border colour, with dark item texts on that face; the item
// the keys reached last shows in the skin's selection colour.
void ExpectMenuFace(const ManagerPtr &Manager) {
    ASSERT_EQ(TMenuLook::Images.size(), TMenuLook::Keys.size());
    const uitest::TImage32 &image = TMenuLook::Images.front();
    ASSERT_GT(image.Width, 40);
    ASSERT_GT(image.Height, 20);
    const int all = image.Width * image.Height;
    EXPECT_GT(CountColor(image, DialogFace), all / 2);
    EXPECT_LT(CountColor(image, 0x000000), all / 10);
    // Left of the glyphs, in the first item's row and the last one's.
    for (const int y : {image.Height / 6, image.Height - image.Height / 8})
        EXPECT_EQ(ColorAt(image, 3, y), DialogFace) << y;
    EXPECT_EQ(ColorAt(image, 0, image.Height / 2), Manager->SkinColors[scBorderColor]);
    const vcl::TColor selection = Manager->GetSelectionColor(true);
    ASSERT_NE(selection, DialogFace);
    EXPECT_EQ(CountColor(image, selection), 0) << "nothing selected yet";
    const uitest::TImage32 &last = TMenuLook::Images.back();
    EXPECT_GT(CountColor(last, selection), 8 * image.Width) << "the selected row";
    EXPECT_GT(CountColor(last, Manager->GetSelectionFontColor(true)), 20) << "its text";
}

void Click(HWND Window, vcl::TPoint P, bool Right) {
    RECT r{};
    GetWindowRect(Window, &r);
    SetCursorPos(r.left + P.X, r.top + P.Y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

TEST_F(DialogsFixture, AMessageBoxsIconShowsMoveAndCloseAndCloseEndsIt) {
    int answer = 0;
    DialogVisitor v(
        [&](HWND Box) {
            TvlDialogWnd *a = DialogAdapterOf(Box);
            ASSERT_NE(a, nullptr);
            ASSERT_TRUE(a->SystemMenu);
            const vcl::TRect icon = a->IconRect();
            TMenuLook::Arm({VK_UP, VK_RETURN});
            Click(Box, {(icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2}, false);
        },
        300, 4000, [](HWND Box) { EndDialog(Box, 99); });
    v.Run([&] { answer = MessageBoxW(nullptr, L"Nabidka", L"Zprava", MB_OKCANCEL); });
    EXPECT_EQ(TMenuLook::Items, (std::vector<std::string>{"miMove", "miClose"}));
    EXPECT_EQ(answer, IDCANCEL) << "ended by the menu's Close, not by the test";
    ExpectMenuFace(Manager);
    SetCursorPos(2, 2);
}

TEST_F(DialogsFixture, ARightClickOnTheCaptionShowsTheMenuWhoseMaximizeWorks) {
    OwnDialog d(SizeableDialog());
    TvlDialogWnd *a = d.Adapter();
    ASSERT_NE(a, nullptr);
    // Close, then Maximize above the divider.
    TMenuLook::Arm({VK_UP, VK_UP, VK_RETURN});
    Click(d.Window, {a->FrameLeftWidth() + 60, a->FrameTopHeight() / 2}, true);
    uitest::PumpUntil([&] { return IsZoomed(d.Window) != 0; }, std::chrono::milliseconds(3000));
    EXPECT_TRUE(TMenuLook::Window);
    EXPECT_EQ(TMenuLook::Items.size(), 6u);
    EXPECT_TRUE(IsZoomed(d.Window));
    EXPECT_FALSE(a->SystemMenu->ItemMove->Enabled());
    EXPECT_TRUE(a->SystemMenu->ItemRestore->Enabled());
    ExpectMenuFace(Manager);
    SetCursorPos(2, 2);
}

} // namespace
} // namespace skin
