// Moving the cursor across the 20 buttons of a class-library tool bar,
// each step waited for until the bar has painted, skinned beside unskinned
// in one run under Wine.
//
//   ToolBarBench.exe <packed skin> [rounds]    (bench/skin/adapters/tool-bar-bench.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSkin.h"
#include "bench/WineTiming.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Forms.h"
#include "vcl/ToolBar.h"

namespace {

// One sweep over the buttons: the cursor on each, the bar repainted.
double Sweep(vcl::TToolBar &Bar) {
    const double t0 = bench::NowMs();
    for (int i = 0; i < Bar.ButtonCount(); ++i) {
        const vcl::TRect r = Bar.Buttons(i)->BoundsRect();
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(Bar.WindowHandle(), &p);
        SetCursorPos(p.x, p.y);
        SendMessageW(Bar.WindowHandle(), WM_MOUSEMOVE, 0, MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        bench::Pump();
        UpdateWindow(Bar.WindowHandle());
    }
    return bench::NowMs() - t0;
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "ToolBarBench", 50, args)) return 2;
    const int rounds = args.Rounds;
    vcl::Application->Initialize();
    skin::InitializeAdaptersModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!bench::ApplyStoredSkin(*manager, args.Skin)) return 1;
    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew));
    form->SetBounds(50, 50, 900, 120);
    auto *bar = vcl::Create<vcl::TToolBar>(form.get());
    bar->SetParent(form.get());
    bar->SetShowCaptions(true);
    for (int i = 0; i < 20; ++i) {
        auto *b = vcl::Create<vcl::TToolButton>(form.get());
        b->SetCaption("B" + std::to_string(i));
        b->SetToolBar(bar);
    }
    form->Show();
    bench::Pump();
    skin::TvlSkinParams params;
    params.Control = bar;
    std::vector<double> plain, skinned;
    for (int round = 0; round < rounds; ++round) {
        plain.push_back(Sweep(*bar));
        auto adapter = skin::AdapterFactory().CreateAdapter(skin::tpToolBar, bar->Handle(), params, manager);
        RedrawWindow(bar->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        skinned.push_back(Sweep(*bar));
        adapter.reset();
        RedrawWindow(bar->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    std::printf("cursor across 20 tool-bar buttons: unskinned %.2f ms, skinned %.2f ms: %.2fx (goal <= 1.5x)\n",
                bench::Median(plain), bench::Median(skinned), bench::Median(skinned) / bench::Median(plain));
    form.reset();
    delete manager;
    skin::FinalizeAdaptersModule();
    return 0;
}
