// The shared window utilities: where a hint goes and when it fades, hints
// on screen, work areas (also for a point on no monitor), class names
// through the wide call, and walks and sums over child controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/manager/sVclUtils.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

vcl::TRect SystemWorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return vcl::Rect(r.left, r.top, r.right, r.bottom);
}

void SetSystemFlag(UINT Set, BOOL Value) {
    SystemParametersInfoW(Set, 0, reinterpret_cast<void *>(static_cast<INT_PTR>(Value)), 0);
}

TEST(VclUtils, HintGoesBelowRightOfThePointAndStaysInsideOnTheRightAndBottom) {
    const vcl::TRect wa = vcl::Rect(100, 50, 900, 650);
    const std::pair<vcl::TPoint, vcl::TRect> cases[] = {
        {{300, 200}, vcl::Rect(308, 216, 408, 246)},
        {{850, 630}, vcl::Rect(800, 620, 900, 650)},  // ends at the right and bottom edges
        {{0, 0}, vcl::Rect(8, 16, 108, 46)},          // nothing is corrected on the left and top
    };
    for (const auto &[point, expected] : cases)
        EXPECT_EQ(HintRectAt(vcl::Rect(0, 0, 100, 30), point, wa), expected) << point.X;
}

TEST(VclUtils, OnlyHintsOfFewerThanAHundredCharactersFadeAndOnlyWhenTheSystemFades) {
    BOOL animation = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    SetSystemFlag(SPI_SETTOOLTIPANIMATION, TRUE);
    SetSystemFlag(SPI_SETTOOLTIPFADE, TRUE);
    std::string czech;
    for (int i = 0; i < 99; ++i) czech += "č";  // 198 bytes
    EXPECT_TRUE(HintFadesIn(czech));
    EXPECT_FALSE(HintFadesIn(czech + "ř"));
    SetSystemFlag(SPI_SETTOOLTIPFADE, FALSE);
    EXPECT_FALSE(HintFadesIn("krátký"));
    SetSystemFlag(SPI_SETTOOLTIPANIMATION, animation);
    SetSystemFlag(SPI_SETTOOLTIPFADE, fade);
}

TEST(VclUtils, HintShowsAtTheWorkAreasCornerWithoutTheFocusAndLeavesNoHandles) {
    EXPECT_EQ(ShowHintAt("", {10, 10}), nullptr);
    const vcl::TRect wa = SystemWorkArea();
    vcl::Application->Handle();  // the hints' owner, kept for the program's life
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<vcl::THintWindow> hint = ShowHintAt("Nápověda k tlačítku", {wa.Right - 3, wa.Bottom - 3});
        ASSERT_NE(hint, nullptr);
        HWND wnd = hint->WindowHandle();
        EXPECT_TRUE(IsWindowVisible(wnd) && (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST));
        EXPECT_NE(GetActiveWindow(), wnd);
        RECT r{};
        GetWindowRect(wnd, &r);
        EXPECT_EQ(r.right, wa.Right);
        EXPECT_EQ(r.bottom, wa.Bottom);
        vcl::Application->ProcessMessages();
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST(VclUtils, WorkAreaIsTheNearestMonitorsForAPointOnNone) {
    const vcl::TRect wa = SystemWorkArea();
    EXPECT_EQ(WorkAreaAtPoint({wa.Left + 5, wa.Top + 5}), wa);
    EXPECT_EQ(WorkAreaAtPoint({-30000, -30000}), wa);
    vcl::TForm form(nullptr, vcl::CreateNew);
    EXPECT_EQ(FormWorkArea(form), wa);
}

TEST(VclUtils, ClassNamesComeWholeAndInUnicode) {
    const std::wstring name = L"Třída_" + std::wstring(200, L'x');
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name.c_str();
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND wnd = CreateWindowExW(0, name.c_str(), L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, wc.hInstance, nullptr);
    EXPECT_EQ(GetWindowClassName(wnd), "Třída_" + std::string(200, 'x'));
    DestroyWindow(wnd);
    UnregisterClassW(name.c_str(), wc.hInstance);
}

std::vector<std::string> Visited;
void Visit(vcl::TControl *Control, std::intptr_t) { Visited.push_back(Control->Name()); }
void Free(vcl::TControl *Control, std::intptr_t) {
    Visit(Control, 0);
    delete Control;
}

TEST(VclUtils, ChildWalkGoesDepthFirstAndSurvivesAProcThatFreesChildren) {
    vcl::TForm form(nullptr, vcl::CreateNew);
    const auto add = [&](vcl::TControl *control, vcl::TWinControl *parent, const char *name) {
        control->SetName(name);
        control->SetParent(parent);
        return control;
    };
    auto *a = static_cast<vcl::TWinControl *>(add(vcl::Create<vcl::TCustomControl>(&form), &form, "A"));
    add(vcl::Create<vcl::TLabel>(&form), a, "A1");
    add(vcl::Create<vcl::TLabel>(&form), &form, "B");
    auto *c = static_cast<vcl::TWinControl *>(add(vcl::Create<vcl::TCustomControl>(&form), &form, "C"));
    add(vcl::Create<vcl::TCustomControl>(&form), c, "C1");
    ForEachChildControl(&form, 0, Visit);
    EXPECT_EQ(Visited, (std::vector<std::string>{"A", "A1", "B", "C", "C1"}));
    Visited.clear();
    ForEachChildControl(&form, 0, Free);
    EXPECT_EQ(Visited, (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(form.ControlCount(), 1);
}

TEST(VclUtils, AlignedSizesCountVisibleChildrenOfThatAlignment) {
    vcl::TForm form(nullptr, vcl::CreateNew);
    const std::tuple<vcl::TControl *, vcl::TAlign, int, bool> children[] = {
        {vcl::Create<vcl::TCustomControl>(&form), vcl::alTop, 20, true},
        {vcl::Create<vcl::TCustomControl>(&form), vcl::alTop, 30, true},
        {vcl::Create<vcl::TCustomControl>(&form), vcl::alTop, 40, false},
        {vcl::Create<vcl::TLabel>(&form), vcl::alTop, 7, true},
        {vcl::Create<vcl::TCustomControl>(&form), vcl::alLeft, 15, true},
    };
    for (const auto &[control, align, size, visible] : children) {
        control->SetParent(&form);
        control->SetBounds(0, 0, size, size);
        control->SetAlign(align);
        control->SetVisible(visible);
    }
    EXPECT_EQ(SumAlignedControlSizes(form, vcl::alTop, false), 50);
    EXPECT_EQ(SumAlignedControlSizes(form, vcl::alTop, true), 57);
    EXPECT_EQ(SumAlignedControlSizes(form, vcl::alClient, true), 0);
    EXPECT_EQ(SumAlignedControlSizes(form, vcl::alLeft, true), 15);
}

} // namespace
} // namespace skin
