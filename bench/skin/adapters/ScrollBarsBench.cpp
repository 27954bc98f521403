// The skinned scrolling controls against the same controls unskinned, in
// one run under Wine: a 10,000-line memo, a 10,000-item list box and a
// 10,000-item list view scrolled line by line, page by page and by one
// thumb drag from end to end; a full repaint of a form that holds them; a
// combo box's list dropped and closed. Each round measures both ways
// alternately; the medians and their ratio are printed. Goals: scrolling
// at most 1.3x, the repaint at most 2x, the combo at most 1.5x.
//
//   ScrollBarsBench.exe <packed skin> [rounds]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/SkinnedBench.h"
#include "bench/SkinnedCases.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/vlScrollWnd.h"
#include "skin/adapters/vlSBUtils.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/ComboBox.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

// The scroll messages the system's bar (or the skinned one) sends, each
// followed by the painting it causes.
void Lines(HWND W, int N) {
    for (int i = 0; i < N; ++i) {
        SendMessageW(W, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(W);
    }
    SendMessageW(W, WM_VSCROLL, SB_ENDSCROLL, 0);
}

void Pages(HWND W, int N) {
    for (int i = 0; i < N; ++i) {
        SendMessageW(W, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(W);
    }
    SendMessageW(W, WM_VSCROLL, SB_ENDSCROLL, 0);
}

// One drag from the top to the bottom in 200 steps: the skinned way sends
// through the engine and paints the dragged bar, the system's way moves its
// own thumb.
void Drag(HWND W, bool Skinned) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(W, SB_VERT, &info);
    const int last = std::max(info.nMin, info.nMax - std::max<int>(static_cast<int>(info.nPage) - 1, 0));
    for (int step = 0; step <= 200; ++step) {
        const int pos = info.nMin + (last - info.nMin) * step / 200;
        if (Skinned) {
            // As the engine's drag: the last position sent is its TrackPos.
            if (step == 0) skin::ScrollEngine().TrackPos = info.nPos;
            skin::SendScrollMessage(W, WM_VSCROLL, SB_THUMBTRACK, pos);
            skin::ScrollEngine().TrackPos = pos;
            if (auto *a = dynamic_cast<skin::TvlScrollWnd *>(skin::AdapterOfWindow(W)))
                skin::PaintNcScrollBars(*a, -1, nullptr);
        } else {
            SCROLLINFO p{};
            p.cbSize = sizeof p;
            p.fMask = SIF_POS;
            p.nPos = pos;
            SetScrollInfo(W, SB_VERT, &p, TRUE);
            SendMessageW(W, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, std::min(pos, 65535)), 0);
        }
        UpdateWindow(W);
    }
    SendMessageW(W, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::min(last, 65535)), 0);
    SendMessageW(W, WM_VSCROLL, SB_ENDSCROLL, 0);
    UpdateWindow(W);
}

void Top(HWND W) {
    SendMessageW(W, WM_VSCROLL, SB_TOP, 0);
    SendMessageW(W, WM_VSCROLL, SB_ENDSCROLL, 0);
    UpdateWindow(W);
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "ScrollBarsBench", 5, args)) return 2;
    InitCommonControls();
    skin::TsSkinManager *manager = bench::StartSkinnedBench(args);
    if (!manager) return 1;

    auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    form->SetBounds(50, 50, 900, 520);
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "Line " + std::to_string(i) + "\r\n";
    auto *memo = vcl::Create<vcl::TMemo>(form);
    memo->SetBounds(10, 10, 260, 400);
    memo->SetScrollBars(vcl::ssVertical);
    memo->SetParent(form);
    memo->Lines()->SetText(text);
    auto *combo = vcl::Create<vcl::TComboBox>(form);
    combo->SetBounds(10, 430, 200, 24);
    combo->SetStyle(vcl::csDropDownList);
    combo->SetParent(form);
    for (int i = 0; i < 200; ++i) combo->Items()->Add("Item " + std::to_string(i));
    form->Show();
    const HWND parent = form->WindowHandle();
    const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                      290, 10, 260, 400, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 10000; ++i) {
        const std::wstring item = L"Item " + std::to_wstring(i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 570, 10,
                                      300, 400, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 120;
    std::wstring colName = L"Name";
    col.pszText = colName.data();
    SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    SendMessageW(view, LVM_SETITEMCOUNT, 10000, 0);
    for (int i = 0; i < 10000; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        std::wstring t = L"Row " + std::to_wstring(i);
        item.pszText = t.data();
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    bench::Pump();

    const HWND memoWnd = memo->Handle(), comboWnd = combo->Handle();
    bool skinned = false;
    std::vector<bench::TCase> cases;
    for (const auto &[name, w] : {std::pair<std::string, HWND>{"memo", memoWnd}, {"list box", list}, {"list view", view}}) {
        const HWND window = w;
        cases.push_back({name + " by line", [=] { Top(window); Lines(window, 300); }, 1.3, {}, {}});
        cases.push_back({name + " by page", [=] { Top(window); Pages(window, 60); }, 1.3, {}, {}});
        cases.push_back({name + " thumb drag", [=, &skinned] { Top(window); Drag(window, skinned); }, 1.3, {}, {}});
    }
    cases.push_back(bench::FormRepaintCase(parent, 20));
    cases.push_back({"combo drop and close", [=] {
                         for (int i = 0; i < 20; ++i) {
                             SendMessageW(comboWnd, CB_SHOWDROPDOWN, TRUE, 0);
                             bench::Pump();
                             SendMessageW(comboWnd, CB_SHOWDROPDOWN, FALSE, 0);
                             bench::Pump();
                         }
                     },
                     1.5, {}, {}});

    std::vector<std::unique_ptr<skin::TvlWindowAdapter>> adapters;
    for (int round = 0; round <= args.Rounds; ++round) {
        for (int pass = 0; pass < 2; ++pass) {
            skinned = pass == 1;
            if (skinned) {
                adapters.push_back(skin::AdapterFactory().CreateAdapter(skin::tpEdit, memoWnd, {memo, {}, true, true}, manager));
                adapters.push_back(skin::AdapterFactory().CreateAdapter(skin::tpEdit, list, {}, manager));
                adapters.push_back(skin::AdapterFactory().CreateAdapter(skin::tpListView, view, {}, manager));
                adapters.push_back(skin::AdapterFactory().CreateAdapter(skin::tpComboBox, comboWnd, {combo, {}, true, true}, manager));
            }
            RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            bench::Pump();
            for (bench::TCase &c : cases) bench::TimeCase(c, skinned, round == 0);
            adapters.clear();
        }
    }
    bench::PrintCases(cases, args.Rounds, args.Skin);
    delete form;
    delete manager;
    skin::FinalizeAdaptersModule();
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
