// The default manager's watches: the thread's window-creation hook, hover
// tracking under the real cursor, the graphic control under the mouse, and
// the main window's hook, which our main form's system commands pass
// through. Built twice: once as Wine runs by default (no desktop
// composition) and once as SkinHooksAeroTest, which the test session runs
// as Windows 10 (composition on).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "SkinnedTestSupport.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/HandleCounts.h"
#include "vcl/StdCtrls.h"

#ifndef ZUVO_COMPOSITION
#define ZUVO_COMPOSITION 0
#endif

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

bool PumpUntil(const std::function<bool()> &Done) {
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (!Done() && std::chrono::steady_clock::now() < end) {
        vcl::Application->ProcessMessages();
        vcl::Application->UpdateMouseControl();
        Sleep(5);
    }
    return Done();
}

class SkinHooks : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    ManagerPtr Manager = SectionsManager();
};

TEST_F(SkinHooks, TestSessionGivesCompositionAsAsked) { EXPECT_EQ(DwmCompositionActive(), ZUVO_COMPOSITION != 0); }

// Records the dialog events of the window-creation hook and closes every
// message box it sees activated.
struct DialogWatch : TvlDialogSkinning {
    std::vector<std::wstring> Activated;  // the titles of the dialogs activated
    std::wstring LastCreatedName;         // as the hook's record brings it
    int Created = 0, MenuFrees = 0;
    void CbtEvent(int Code, WPARAM W, LPARAM L) override {
        const auto wnd = reinterpret_cast<HWND>(W);
        wchar_t name[16]{}, title[64]{};
        GetClassNameW(wnd, name, 16);
        if (std::wstring_view(name) != L"#32770") return;
        if (Code == HCBT_CREATEWND) {
            ++Created;
            const wchar_t *given = reinterpret_cast<CBT_CREATEWNDW *>(L)->lpcs->lpszName;
            LastCreatedName = given ? given : L"";
        }
        if (Code != HCBT_ACTIVATE) return;
        GetWindowTextW(wnd, title, 64);
        Activated.emplace_back(title);
        PostMessageW(wnd, WM_COMMAND, IDOK, 0);
    }
    void FreeMenuAdapters() override { ++MenuFrees; }
};

void CALLBACK CloseBoxAfter(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    if (HWND box = FindWindowW(L"#32770", L"Po")) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST_F(SkinHooks, WindowCreationHookSeesAMessageBoxAndStopsAfterRemoval) {
    DialogWatch watch;
    TvlServiceRegistration dialogs(watch);
    ASSERT_TRUE(Manager->HooksInstalled);
    const wchar_t *caption = L"Příliš žluťoučký kůň";  // wide through the hook
    MessageBoxW(nullptr, L"Zpráva", caption, MB_OK);
    EXPECT_EQ(watch.Created, 1);
    EXPECT_EQ(watch.Activated, std::vector<std::wstring>{caption});
    // A hook put in with the 8-bit call would bring this name as 8-bit text.
    DestroyWindow(CreateWindowExW(0, L"#32770", caption, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(watch.LastCreatedName, caption);
    Manager->SetActive(false);  // the skin goes, and the hook with it
    EXPECT_FALSE(Manager->HooksInstalled);
    EXPECT_EQ(watch.MenuFrees, 1);
    // Nothing closes this one but a timer: the hook no longer watches.
    SetTimer(nullptr, 0, 100, CloseBoxAfter);
    MessageBoxW(nullptr, L"Zpráva", L"Po", MB_OK);
    EXPECT_EQ(watch.Created, 2);
    EXPECT_EQ(watch.Activated.size(), 1u);
}

// Who saw a new dialog window, in order: a hook put in before the skin's
// ("earlier") and the skinning.
std::vector<std::string> *CreationLog = nullptr;
HHOOK EarlierCbt = nullptr;
bool EarlierRefuses = false;

bool IsDialogCreation(int Code, WPARAM W) {
    wchar_t name[16]{};
    return Code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(W), name, 16) &&
           std::wstring_view(name) == L"#32770";
}

LRESULT CALLBACK EarlierCbtHook(int Code, WPARAM W, LPARAM L) {
    if (CreationLog && IsDialogCreation(Code, W)) {
        CreationLog->push_back("earlier hook");
        if (EarlierRefuses) return 1;
    }
    return CallNextHookEx(EarlierCbt, Code, W, L);
}

struct CreationWatch : TvlDialogSkinning {
    void CbtEvent(int Code, WPARAM W, LPARAM) override {
        if (CreationLog && IsDialogCreation(Code, W)) CreationLog->push_back("skinning");
    }
    void FreeMenuAdapters() override {}
};

// The skin's hook hands each event on first: what the thread hooked before
// it sees a new window before the skinning changes it.
TEST_F(SkinHooks, WindowCreationHookPassesEachEventOnBeforeSkinning) {
    Manager->SetActive(false);
    EarlierCbt = SetWindowsHookExW(WH_CBT, EarlierCbtHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(EarlierCbt, nullptr);
    Manager->SetActive(true);  // the skin's hook comes after, so it is asked first
    ASSERT_TRUE(Manager->HooksInstalled);
    CreationWatch watch;
    TvlServiceRegistration dialogs(watch);
    std::vector<std::string> log;
    CreationLog = &log;
    const auto create = [] {
        return CreateWindowExW(0, L"#32770", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    };
    DestroyWindow(create());
    EXPECT_EQ(log, (std::vector<std::string>{"earlier hook", "skinning"}));
    // A window that an earlier hook refused is never made: nothing skins it.
    log.clear();
    EarlierRefuses = true;
    EXPECT_EQ(create(), nullptr);
    EarlierRefuses = false;
    CreationLog = nullptr;
    UnhookWindowsHookEx(std::exchange(EarlierCbt, nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"earlier hook"}));
}

TEST_F(SkinHooks, ASecondManagerNeverHooksTheThreadOrTheApplicationWindow) {
    DialogWatch watch;
    TvlServiceRegistration dialogs(watch);
    ManagerPtr second = SectionsManager();
    ASSERT_TRUE(second->SkinData->Active);
    second->SetActive(false);
    second->SetActive(true);
    EXPECT_FALSE(second->HooksInstalled);
    // Only the first manager hears the application window.
    Manager->SysCommandState = second->SysCommandState = 5;
    SendMessageW(vcl::Application->Handle(), WM_SYSCOMMAND, 0xF1E0, 0);
    EXPECT_EQ(Manager->SysCommandState, 0);
    EXPECT_EQ(second->SysCommandState, 5);
    // Without the first one's skin nothing watches the thread's new windows.
    Manager->SetActive(false);
    SetTimer(nullptr, 0, 100, CloseBoxAfter);
    MessageBoxW(nullptr, L"Zpráva", L"Po", MB_OK);
    EXPECT_EQ(watch.Created, 0);
}

TEST_F(SkinHooks, HoverFollowsTheRealCursorLeavingBeforeEntering) {
    TestForm form;
    auto *a = form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form), 10, 10);
    auto *b = form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form), 200, 10);
    form.Show();
    a->Skin("EDIT");
    b->Skin("EDIT");
    ParkCursor();  // where an earlier run may have left it, a move would be none
    std::vector<std::string> log;
    Recorder al(log, "a left", a, SC_MOUSE_LEFT), ae(log, "a entered", a, SC_MOUSE_ENTERED),
        bl(log, "b left", b, SC_MOUSE_LEFT), be(log, "b entered", b, SC_MOUSE_ENTERED);
    const auto moveTo = [](vcl::TControl *c, int x) {
        const vcl::TPoint p = c->ClientToScreen({x, 5});
        SetCursorPos(p.X, p.Y);
    };
    moveTo(a, 5);
    ASSERT_TRUE(PumpUntil([&] { return a->Data.MouseInside; }));
    moveTo(b, 5);
    ASSERT_TRUE(PumpUntil([&] { return b->Data.MouseInside; }));
    EXPECT_FALSE(a->Data.MouseInside);
    moveTo(b, 300);  // outside every window of the form: the hover timer notices
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 4; }));
    EXPECT_EQ(log, (std::vector<std::string>{"a entered", "a left", "b entered", "b left"}));
    EXPECT_EQ(Manager->ActiveWindow, nullptr);

    // Many more, as the class library tells them: nothing is kept.
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) {
        vcl::TControl *c = i % 2 ? static_cast<vcl::TControl *>(a) : b;
        c->Perform(vcl::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c));
        c->Perform(vcl::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c));
    }
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(log.size(), 4u + 1 + 999 * 2);  // each enter but the first: one left, one entered
}

TEST_F(SkinHooks, GraphicControlUnderTheMouseIsHeldWhileInsideAndForgottenWhenFreed) {
    TestForm form;
    auto *label = form.Add(vcl::Create<TSkinned<vcl::TLabel>>(form.Form))->Skin("EDIT");
    form.Show();
    Manager->SetActiveControl(form.Form->Handle());
    Manager->SetActiveGraphControl(label);
    label->Data.MouseInside = true;
    Manager->SetActiveControl(nullptr);  // it still has the mouse: nothing changes
    EXPECT_EQ(Manager->ActiveWindow, form.Form->Handle());
    EXPECT_EQ(Manager->ActiveGraphControl, label);
    label->Data.MouseInside = false;
    Manager->SetActiveControl(nullptr);
    EXPECT_EQ(label->Commands.back(), SkinCommand(SC_MOUSE_LEFT));
    EXPECT_EQ(Manager->ActiveGraphControl, nullptr);
    // A label freed under the mouse is not told anything afterwards.
    Manager->SetActiveControl(form.Form->Handle());
    Manager->SetActiveGraphControl(label);
    delete label;
    EXPECT_EQ(Manager->ActiveGraphControl, nullptr);
    Manager->SetActiveControl(nullptr);
}

// A window of a thread of its own that counts the skin commands it gets.
class ForeignWindow {
public:
    ForeignWindow() : FThread([this] { Run(); }) {
        while (!FWindow) Sleep(1);
    }
    ~ForeignWindow() {
        PostMessageW(FWindow, WM_CLOSE, 0, 0);
        FThread.join();
    }
    HWND Window() const { return FWindow; }
    int Commands() const { return FCommands; }

private:
    static LRESULT CALLBACK Proc(HWND W, UINT M, WPARAM WP, LPARAM LP) {
        if (M == SM_SKINCOMMAND) ++reinterpret_cast<ForeignWindow *>(GetWindowLongPtrW(W, GWLP_USERDATA))->FCommands;
        if (M == WM_CLOSE) PostQuitMessage(0);
        return DefWindowProcW(W, M, WP, LP);
    }
    void Run() {
        HWND w = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
        FWindow = w;
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
        DestroyWindow(w);
    }
    std::atomic<HWND> FWindow{nullptr};
    std::atomic<int> FCommands{0};
    std::thread FThread;
};

TEST_F(SkinHooks, WindowUnderTheMouseIsForgottenWithItsWindowAndNeverAStrangersHandle) {
    TestForm form;
    auto *edit = form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form))->Skin("EDIT");
    form.Show();
    edit->Perform(vcl::CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(edit));
    ASSERT_EQ(Manager->ActiveWindow, edit->WindowHandle());
    delete edit;  // its handle may come back as any window's
    EXPECT_EQ(Manager->ActiveWindow, nullptr);

    // A handle remembered from before, now another thread's window: the
    // window left hears nothing of it.
    ForeignWindow stranger;
    Manager->ActiveWindow = stranger.Window();
    Manager->SetActiveControl(form.Form->Handle());
    SendMessageW(stranger.Window(), WM_NULL, 0, 0);  // its queue is through
    EXPECT_EQ(stranger.Commands(), 0);
    EXPECT_EQ(Manager->ActiveWindow, form.Form->Handle());
    Manager->SetActiveControl(nullptr);
}

TEST_F(SkinHooks, MainFormsSystemCommandsPassTheApplicationsHook) {
    TestForm form;
    ASSERT_EQ(vcl::Application->MainForm(), nullptr);
    vcl::Application->FormCreated(form.Form);  // the main form
    form.Show();
    const HWND main = form.Form->Handle();
    TestProvider provider(form.Form);
    ProviderAnswer answer(form.Form, &provider);

    SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Manager->SysCommandState, 2);
    EXPECT_EQ(provider.Minimizes, 1);
    // The hook minimizes the application (our main form) itself, with
    // composition too, and lets go of the flag it held meanwhile.
    EXPECT_FALSE(provider.Animating);
    EXPECT_TRUE(IsIconic(main));
    EXPECT_TRUE(ApplicationIconic());

    // Flagged by a hide animation: restored without a flight.
    provider.Animating = true;
    SetWindowLongPtrW(main, GWL_EXSTYLE, GetWindowLongPtrW(main, GWL_EXSTYLE) | WS_EX_LAYERED);
    SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(provider.Restores, 0);
    EXPECT_EQ(Manager->SysCommandState, 1);
    EXPECT_FALSE(provider.Animating);
    EXPECT_FALSE(IsIconic(main));
    // With composition the hook takes the layered style the animation gave.
    EXPECT_EQ((GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_LAYERED) == 0, DwmCompositionActive());

    SendMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);  // not flagged: the restore animation is asked
    EXPECT_EQ(provider.Restores, 1);
    SendMessageW(main, vcl::WM_TASKBARSYSMENU, 0, 0);
    EXPECT_EQ(provider.Menus, 1);
    SendMessageW(main, WM_SYSCOMMAND, 0xF1E0, 0);  // a command of no meaning
    EXPECT_EQ(Manager->SysCommandState, 0);
}

// A hook of the application window put in before the manager's: it hears
// what the manager's hook passes on.
struct EarlierHook {
    std::vector<UINT> Heard;
    bool Handle(vcl::TMessage &M) {
        if (M.Msg == WM_WINDOWPOSCHANGED || M.Msg == WM_THEMECHANGED || M.Msg == vcl::CM_BASE) Heard.push_back(M.Msg);
        return false;
    }
    long Count(UINT Msg) const { return std::count(Heard.begin(), Heard.end(), Msg); }
};

TEST_F(SkinHooks, ApplicationWindowHookHidesTheMainFormAnimatedTakesThemeChangesAndRepaintsForms) {
    EarlierHook earlier;
    const auto earlierHook = vcl::TWindowHook::Bind<&EarlierHook::Handle>(&earlier);
    Manager.reset();
    vcl::Application->HookMainWindow(earlierHook);
    Manager = SectionsManager();
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    TestForm form, second;
    vcl::Application->FormCreated(form.Form);  // the main form
    form.Show();
    second.Show();
    const HWND main = form.Form->Handle(), app = vcl::Application->Handle();
    TestProvider provider(form.Form);
    ProviderAnswer answer(form.Form, &provider);
    const auto positionChanged = [&](UINT Flags) {
        WINDOWPOS pos{app, nullptr, 0, 0, 0, 0, Flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER};
        SendMessageW(app, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    };
    // The hide animation needs a time, and a hide.
    positionChanged(SWP_HIDEWINDOW);
    Manager->AnimEffects()->FormHide->Time = 150;
    positionChanged(SWP_SHOWWINDOW);
    EXPECT_FALSE(provider.Animating);
    EXPECT_TRUE(IsWindowVisible(main));
    positionChanged(SWP_HIDEWINDOW);
    EXPECT_TRUE(provider.Animating);
    EXPECT_FALSE(IsWindowVisible(main));
    // With composition the form is layered first.
    EXPECT_EQ(animations.Log, (DwmCompositionActive() ? std::vector<std::string>{"alpha 1 254", "hide"}
                                                      : std::vector<std::string>{"hide"}));
    positionChanged(SWP_HIDEWINDOW);  // animating already: not again
    EXPECT_EQ(std::count(animations.Log.begin(), animations.Log.end(), "hide"), 1);
    EXPECT_EQ(earlier.Count(WM_WINDOWPOSCHANGED), 4);

    // Theme changes are the skin's: taken, not passed on.
    SendMessageW(app, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(earlier.Count(WM_THEMECHANGED), 0);
    // 0xB000: every form repaints, the last first; then it goes on.
    std::vector<std::string> log;
    Recorder rf(log, "form", form.Form, SC_REPAINT), rs(log, "second", second.Form, SC_REPAINT);
    SendMessageW(app, vcl::CM_BASE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "form"}));
    EXPECT_EQ(earlier.Count(vcl::CM_BASE), 1);
    vcl::Application->UnhookMainWindow(earlierHook);
}

TEST_F(SkinHooks, PopupSkinningIsAskedOfTheMenuPainterOfTheLayerRegisteredAfterTheManager) {
    MenuWatch::Log.clear();
    Manager->SetSkinnedPopups(false);  // no menu layer yet: the null painter hears it
    MenuLayer layer;
    {
        TvlServiceRegistration menus(layer);  // a menu layer that starts after the form was read
        Manager->SetSkinnedPopups(true);
        const HWND app = vcl::Application->Handle();
        SendMessageW(app, 0xBCB3, 0, 42);  // a key the painter posted
        SendMessageW(app, 0xBCB4, reinterpret_cast<WPARAM>(app), reinterpret_cast<LPARAM>(app));  // not a popup menu
        Manager->SetSkinName("Two");
        EXPECT_EQ(MenuWatch::Log, (std::vector<std::string>{"all forms", "item 42", "reset"}));
        EXPECT_EQ(layer.Made, 1);  // once, not once per use
    }
    // The layer's painter goes at the next use after the layer left.
    Manager->SetSkinnedPopups(false);
    EXPECT_EQ(MenuWatch::Log.size(), 3u);
    EXPECT_EQ(MenuWatch::Alive, 0);
}

} // namespace
} // namespace skin
