// Opening the 30-item popup until it is painted and closed, skinned beside
// unskinned, in one run under Wine; and the last of many skinned openings
// beside the first. A timer closes each popup: timers come after painting,
// so each opening is timed to its last item drawn.
//
//   MenuBench.exe <packed skin> [rounds]    (bench/skin/adapters/menu-bench.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/WineTiming.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sStoredSkins.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/Streams.h"

namespace {

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    EndMenu();
}

class TTimedPopup : public vcl::TPopupMenu {
public:
    using vcl::TPopupMenu::TPopupMenu;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &CloseMenu);
        return vcl::TPopupMenu::TrackMenu(Menu, X, Y, Owner);
    }
};

double Open(TTimedPopup &Menu) {
    const double t0 = bench::NowMs();
    Menu.Popup(100, 100);
    return bench::NowMs() - t0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: MenuBench <packed skin> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
    vcl::Application->Initialize();
    skin::InitializeAdaptersModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    vcl::TMemoryStream packed;
    packed.LoadFromFile(argv[1]);
    auto *stored = static_cast<skin::TsStoredSkin *>(manager->InternalSkins()->Add());
    stored->Name = "Bench";
    stored->Data().LoadFromStream(packed);
    manager->SetSkinName("Bench");
    if (!manager->SkinData->Active) {
        std::fprintf(stderr, "the skin does not load\n");
        return 1;
    }
    std::unique_ptr<TTimedPopup> menu(vcl::Create<TTimedPopup>(nullptr));
    for (int i = 0; i < 30; ++i) {
        auto *item = vcl::Create<vcl::TMenuItem>(menu.get());
        item->SetCaption(i == 3 ? "-" : "Item " + std::to_string(i));
        menu->Items()->Add(item);
    }
    auto &painter = manager->SkinableMenus();
    std::vector<double> plain, skinned;
    for (int round = 0; round < rounds; ++round) {
        painter.SetMenuOwnerDraw(menu.get(), false);
        plain.push_back(Open(*menu));
        painter.SetMenuOwnerDraw(menu.get(), true);
        skinned.push_back(Open(*menu));
    }
    const double first = skinned.front();
    for (int i = 0; i < 1000; ++i) skinned.push_back(Open(*menu));
    const double last = bench::Median({skinned.end() - 20, skinned.end()});
    const double early = bench::Median({skinned.begin(), skinned.begin() + 20});
    std::printf("open unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n", bench::Median(plain),
                bench::Median({skinned.begin(), skinned.begin() + rounds}), bench::Median({skinned.begin(), skinned.begin() + rounds}) / bench::Median(plain));
    std::printf("skinned openings 1000 on %.2f ms against the first ones %.2f ms: %.2fx (goal <= 1.1x; first alone %.2f ms)\n",
                last, early, last / early, first);
    delete manager;
    skin::FinalizeAdaptersModule();
    return 0;
}
