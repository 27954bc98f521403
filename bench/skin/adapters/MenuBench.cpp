// Opening the 30-item popup until it is painted and closed, skinned beside
// unskinned, in one run under Wine (and until its first paint returned, which
// the closing timer's wait does not hide); the hot item moved across all its items;
// the last of many skinned openings beside the first; and a form's frame
// with its 8-item menu line repainted, skinned beside the system's. A timer
// closes each popup: timers come after painting and after the keys posted
// before them, so each opening is timed to its last item drawn.
//
//   MenuBench.exe <packed skin> [rounds]    (bench/skin/adapters/menu-bench.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSkin.h"
#include "bench/WineTiming.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

// Exported by the system's user library, not declared by its headers: draws
// a menu bar into a DC, sending WM_DRAWITEM for owner-drawn items.
extern "C" DWORD WINAPI DrawMenuBarTemp(HWND Window, HDC DC, LPRECT Rect, HMENU Menu, HFONT Font);

namespace {

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    EndMenu();
}

int PendingMoves = 0;

// Inside the menu's loop: the hot item moved down Moves times, then closed.
void CALLBACK MoveAndClose(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    const HWND list = FindWindowW(L"#32768", nullptr);
    for (int i = 0; i < PendingMoves && list; ++i) PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &CloseMenu);
}

class TTimedPopup : public vcl::TPopupMenu {
public:
    using vcl::TPopupMenu::TPopupMenu;
    int Moves = 0;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        PendingMoves = Moves;
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Moves ? &MoveAndClose : &CloseMenu);
        return vcl::TPopupMenu::TrackMenu(Menu, X, Y, Owner);
    }
};

// When a menu window's first paint returned: the popup is on screen with
// every item, however long the timer that closes it still waits.
double FirstPaintDone = 0;
LRESULT CALLBACK SeePaintDone(int Code, WPARAM W, LPARAM L) {
    const auto *m = reinterpret_cast<const CWPRETSTRUCT *>(L);
    wchar_t name[16]{};
    if (Code == HC_ACTION && m->message == WM_PAINT && FirstPaintDone == 0 && GetClassNameW(m->hwnd, name, 16) &&
        std::wstring(name) == L"#32768")
        FirstPaintDone = bench::NowMs();
    return CallNextHookEx(nullptr, Code, W, L);
}

double Open(TTimedPopup &Menu, double *UntilPainted = nullptr) {
    FirstPaintDone = 0;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &SeePaintDone, nullptr, GetCurrentThreadId());
    const double t0 = bench::NowMs();
    Menu.Popup(100, 100);
    const double t1 = bench::NowMs();
    UnhookWindowsHookEx(hook);
    if (UntilPainted) *UntilPainted = FirstPaintDone > 0 ? FirstPaintDone - t0 : t1 - t0;
    return t1 - t0;
}

// A shown form with an 8-item menu bar.
std::unique_ptr<vcl::TForm> MenuForm(int Left) {
    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    form->SetBounds(Left, 300, 560, 200);
    auto *bar = vcl::Create<vcl::TMainMenu>(form.get());
    for (const char *c : {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools", "&Window", "&Help"}) {
        auto *item = vcl::Create<vcl::TMenuItem>(form.get());
        item->SetCaption(c);
        bar->Items()->Add(item);
    }
    form->SetMenu(bar);
    return form;
}

// The bar alone, drawn as the system draws it (the skinned items by the
// painter, through the form's WM_DRAWITEM).
double PaintBar(vcl::TForm &Form) {
    const HWND window = Form.Handle();
    MENUBARINFO info{};
    info.cbSize = sizeof info;
    GetMenuBarInfo(window, OBJID_MENU, 0, &info);
    RECT frame{};
    GetWindowRect(window, &frame);
    RECT bar = info.rcBar;
    OffsetRect(&bar, -frame.left, -frame.top);
    const double t0 = bench::NowMs();
    const HDC dc = GetWindowDC(window);
    DrawMenuBarTemp(window, dc, &bar, GetMenu(window), nullptr);
    ReleaseDC(window, dc);
    return bench::NowMs() - t0;
}

double RepaintFrame(vcl::TForm &Form, skin::TsSkinProvider *Provider) {
    const double t0 = bench::NowMs();
    if (Provider) Provider->InvalidateFrame();
    RedrawWindow(Form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return bench::NowMs() - t0;
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "MenuBench", 100, args)) return 2;
    const int rounds = args.Rounds;
    vcl::Application->Initialize();
    // Started as the program starts them: the manager's module knows the platform.
    skin::InitializeSkinManagerModule();
    skin::InitializeAdaptersModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!bench::ApplyStoredSkin(*manager, args.Skin)) return 1;
    std::unique_ptr<TTimedPopup> menu(vcl::Create<TTimedPopup>(nullptr));
    for (int i = 0; i < 30; ++i) {
        auto *item = vcl::Create<vcl::TMenuItem>(menu.get());
        item->SetCaption(i == 3 ? "-" : "Item " + std::to_string(i));
        menu->Items()->Add(item);
    }
    auto &painter = manager->SkinableMenus();
    std::vector<double> plain, skinned, plainMoves, skinnedMoves, plainPainted, skinnedPainted;
    for (int round = 0; round < rounds; ++round) {
        painter.SetMenuOwnerDraw(menu.get(), false);
        plain.push_back(Open(*menu, &plainPainted.emplace_back()));
        menu->Moves = 29;
        plainMoves.push_back(Open(*menu));
        menu->Moves = 0;
        painter.SetMenuOwnerDraw(menu.get(), true);
        skinned.push_back(Open(*menu, &skinnedPainted.emplace_back()));
        menu->Moves = 29;
        skinnedMoves.push_back(Open(*menu));
        menu->Moves = 0;
    }
    const double plainOpen = bench::Median(plain), skinnedOpen = bench::Median({skinned.begin(), skinned.begin() + rounds});
    const double plainHot = bench::Median(plainMoves) - plainOpen, skinnedHot = bench::Median(skinnedMoves) - skinnedOpen;
    const double first = skinned.front();
    for (int i = 0; i < 1000; ++i) skinned.push_back(Open(*menu));
    const double last = bench::Median({skinned.end() - 20, skinned.end()});
    const double early = bench::Median({skinned.begin(), skinned.begin() + 20});
    std::printf("open unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n", plainOpen, skinnedOpen,
                skinnedOpen / plainOpen);
    std::printf("open until painted, 30 items: unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n",
                bench::Median(plainPainted), bench::Median(skinnedPainted),
                bench::Median(skinnedPainted) / bench::Median(plainPainted));
    std::printf("hot item across 30: unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n", plainHot,
                skinnedHot, skinnedHot / plainHot);
    std::printf("skinned openings 1000 on %.2f ms against the first ones %.2f ms: %.2fx (goal <= 1.1x; first alone %.2f ms)\n",
                last, early, last / early, first);

    // The frame with its 8-item menu line: the skinned renderer against the
    // system's own non-client painting.
    std::unique_ptr<vcl::TForm> plainForm = MenuForm(20), skinnedForm = MenuForm(620);
    auto *provider = vcl::Create<skin::TsSkinProvider>(skinnedForm.get());
    plainForm->Show();
    skinnedForm->Show();
    vcl::Application->ProcessMessages();
    std::vector<double> plainLine, skinnedLine, plainFrame, skinnedFrame;
    for (int round = 0; round < rounds; ++round) {
        plainLine.push_back(PaintBar(*plainForm));
        skinnedLine.push_back(PaintBar(*skinnedForm));
        plainFrame.push_back(RepaintFrame(*plainForm, nullptr));
        skinnedFrame.push_back(RepaintFrame(*skinnedForm, provider));
    }
    std::printf("8-item menu line: unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x; line %s)\n",
                bench::Median(plainLine), bench::Median(skinnedLine), bench::Median(skinnedLine) / bench::Median(plainLine),
                provider->MenuLineBmp ? "skinned" : "NOT skinned");
    std::printf("whole frame with that line, rendered anew: unskinned %.2f ms, skinned %.2f ms: %.2fx\n",
                bench::Median(plainFrame), bench::Median(skinnedFrame), bench::Median(skinnedFrame) / bench::Median(plainFrame));
    skinnedForm.reset();
    plainForm.reset();
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
