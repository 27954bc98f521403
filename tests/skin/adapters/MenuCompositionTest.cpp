// A skinned popup's first frame paint under desktop composition: the menu
// window is drawn once more as a whole, since its frame may reach the
// screen before its client. Built twice: without composition (in
// SkinMenusTest) and with it (SkinMenusAeroTest, run as Windows 10).
#include <gtest/gtest.h>

#include <memory>

#include "AdaptersTestSupport.h"
#include "MenusTestSupport.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/graphics/vlCommonUtils.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif

namespace skin::test {
namespace {

// The background erases the menu windows are sent.
struct TMenuErases {
    static inline int Count = 0;
    static LRESULT CALLBACK Seen(int Code, WPARAM W, LPARAM L) {
        const auto *m = reinterpret_cast<const CWPSTRUCT *>(L);
        wchar_t name[16]{};
        if (Code == HC_ACTION && m->message == WM_ERASEBKGND && GetClassNameW(m->hwnd, name, 16) &&
            std::wstring_view(name) == L"#32768")
            ++Count;
        return CallNextHookEx(nullptr, Code, W, L);
    }
};

TEST(MenuComposition, TheFirstFramePaintRedrawsTheMenuWindowOnlyUnderComposition) {
    const AdapterModules modules;
    const ManagerPtr manager = MenuManager();
    ASSERT_EQ(DwmCompositionActive(), ZUVO_COMPOSITION != 0);
    std::unique_ptr<TDrivenPopup> menu(vcl::Create<TDrivenPopup>(nullptr));
    for (const char *c : {"One", "Two", "Three"}) Add(menu->Items(), menu.get(), c);
    manager->SkinableMenus().SetMenuOwnerDraw(menu.get(), true);
    int erases = -1;
    menu->Look = [&](int Step) {
        if (Step == 0) erases = TMenuErases::Count;
    };
    TMenuErases::Count = 0;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &TMenuErases::Seen, nullptr, GetCurrentThreadId());
    menu->Popup(60, 60);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(erases, ZUVO_COMPOSITION ? 2 : 1);
}

} // namespace
} // namespace skin::test
