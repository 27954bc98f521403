// The hint window measures its text, wrapping it at the width given, and
// shows it where it is told, above other windows, without taking the focus.
#include <gtest/gtest.h>

#include <memory>

#include "vcl/Forms.h"
#include "vcl/HintWindow.h"

namespace vcl {
namespace {

TEST(HintWindow, MeasuresItsTextAndShowsItTopmostWithoutTheFocus) {
    std::unique_ptr<THintWindow> hint(Create<THintWindow>(nullptr));
    const TRect line = hint->CalcHintRect(800, "Uložit všechny soubory");
    const TRect wrapped = hint->CalcHintRect(60, "Uložit všechny soubory");
    EXPECT_GT(line.Width(), 60);
    EXPECT_LT(wrapped.Width(), line.Width());
    EXPECT_GT(wrapped.Height(), line.Height());

    const TRect r = Bounds(150, 160, line.Width(), line.Height());
    hint->ActivateHint(r, "Uložit všechny soubory");
    HWND wnd = hint->WindowHandle();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(wnd) && (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST));
    EXPECT_EQ(GetWindow(wnd, GW_OWNER), Application->Handle());
    EXPECT_NE(GetActiveWindow(), wnd);
    RECT w{};
    GetWindowRect(wnd, &w);
    EXPECT_EQ(Rect(w.left, w.top, w.right, w.bottom), r);
}

} // namespace
} // namespace vcl
