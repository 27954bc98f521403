// A child of an MDI parent maximized and restored, skinned (the parent and
// its children with providers, the client with its adapter) against
// unskinned (the skin removed) in one run under Wine; each round both ways
// alternately, each command's paints pumped through. Goal: at most 1.5x.
//
//   MDIBench.exe <packed skin> [rounds]
#include <windows.h>

#include <string>
#include <vector>

#include "bench/SkinnedBench.h"
#include "bench/SkinnedCases.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Forms.h"

namespace {

vcl::TForm *NewChild(vcl::TForm &Parent, const std::string &Caption, int Shift) {
    auto *child = vcl::Create<vcl::TForm>(&Parent, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetCaption(Caption);
    child->SetBounds(10 + Shift, 10 + Shift, 320, 220);
    vcl::Create<skin::TsSkinProvider>(child);
    child->Show();
    return child;
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "MDIBench", 20, args)) return 2;
    skin::TsSkinManager *manager = bench::StartSkinnedBench(args);
    if (!manager) return 1;
    {
        auto *parent = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
        parent->SetFormStyle(vcl::fsMDIForm);
        parent->SetBounds(40, 40, 900, 680);
        parent->SetCaption("MDI");
        vcl::Create<skin::TsSkinProvider>(parent);
        parent->Show();
        NewChild(*parent, "Dokument 1", 0);
        const HWND child = NewChild(*parent, "Dokument 2", 30)->WindowHandle();
        bench::Pump();
        std::vector<bench::TCase> cases;
        cases.push_back({"maximize and restore x5",
                         [=] {
                             for (int i = 0; i < 5; ++i) {
                                 SendMessageW(child, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
                                 bench::Pump();
                                 SendMessageW(child, WM_SYSCOMMAND, SC_RESTORE, 0);
                                 bench::Pump();
                             }
                         },
                         1.5, {}, {}});
        for (int round = 0; round <= args.Rounds; ++round) {
            for (int pass = 0; pass < 2; ++pass) {
                const bool skinned = pass == 1;
                manager->SetActive(skinned);
                RedrawWindow(parent->WindowHandle(), nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                bench::Pump();
                for (bench::TCase &c : cases) bench::TimeCase(c, skinned, round == 0);
            }
        }
        bench::PrintCases(cases, args.Rounds, args.Skin);
        delete parent;
    }
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
