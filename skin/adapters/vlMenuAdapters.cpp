#include "vlMenuAdapters.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"

namespace skin {

namespace {

// Frees what the last window left, once its handler has returned.
void CALLBACK FreeGoneTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    TvlMnuArray::Instance().Free(false);
}

} // namespace

TvlMnuArray &TvlMnuArray::Instance() {
    TvlKept<TvlMnuArray> &list = AdaptersState().MenuAdapters;
    if (!list) list = Keep(std::unique_ptr<TvlMnuArray>(new TvlMnuArray()));
    return *list;
}

TvlMnuWnd *TvlMnuArray::Add(HWND Window, TsSkinManager &Manager) {
    TvlSkinParams params;
    params.SkinSection = "MAINMENU";
    TvlKeepThemeScope keep;
    auto adapter = NewAdapter<TvlMnuWnd>(Window, nullptr, &Manager, params);
    FAdapters.push_back(std::move(adapter));
    return FAdapters.back().get();
}

TvlMnuWnd *TvlMnuArray::Find(HWND Window) const {
    for (const auto &a : FAdapters)
        if (a->Handle == Window && !a->Destroyed()) return a.get();
    return nullptr;
}

void TvlMnuArray::ForEachLive(const TvlMnuWnd *Except, const std::function<void(TvlMnuWnd &)> &Visit) const {
    // A visit may open or close menus: walk a copy of the living ones.
    std::vector<TvlMnuWnd *> live;
    for (const auto &a : FAdapters)
        if (a.get() != Except && !a->Destroyed()) live.push_back(a.get());
    for (TvlMnuWnd *a : live) Visit(*a);
}

std::size_t TvlMnuArray::Count() const { return FAdapters.size(); }

std::size_t TvlMnuArray::LiveCount() const {
    return static_cast<std::size_t>(std::count_if(FAdapters.begin(), FAdapters.end(),
                                                  [](const auto &a) { return !a->Destroyed(); }));
}

void TvlMnuArray::Free(bool All) {
    auto &list = FAdapters;
    FFreePending = false;
    if (All) {
        // Taken out first: a window given back may send what reaches the list.
        std::vector<std::unique_ptr<TvlMnuWnd>> gone;
        gone.swap(list);
        return;
    }
    std::vector<std::unique_ptr<TvlMnuWnd>> gone;
    for (auto &a : list)
        if (a->Destroyed()) gone.push_back(std::move(a));
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

void TvlMnuArray::FreeGoneLater() {
    if (FFreePending) return;
    FFreePending = SetTimer(nullptr, 0, 0, &FreeGoneTick) != 0;
}

TvlMnuWnd *AdaptNewMenuWindow(HWND Window) {
    TsSkinManager *manager = DefaultManager();
    if (!Window || !manager || !manager->SkinnedPopups() || SendSkinQuery(Window, SC_IS_HANDLED)) return nullptr;
    if (TvlMnuWnd *known = TvlMnuArray::Instance().Find(Window)) return known;
    return TvlMnuArray::Instance().Add(Window, *manager);
}

TvlMnuWnd *AttachMenuAdapter(HWND Window, TsSkinManager &Manager) {
    if (!Window || !IsWindow(Window) || !Manager.SkinnedPopups()) return nullptr;
    if (TvlMnuWnd *known = TvlMnuArray::Instance().Find(Window)) return known;
    TvlMnuWnd *adapter = TvlMnuArray::Instance().Add(Window, Manager);
    // The window is on screen already: its frame and opacity now (its items
    // are being drawn, so the client area needs nothing more).
    SendMessageW(Window, WM_NCPAINT, 1, 0);
    return adapter;
}

std::size_t LiveMenuAdapterCount() { return TvlMnuArray::Instance().LiveCount(); }
std::size_t MenuAdapterCount() { return TvlMnuArray::Instance().Count(); }
void FreeMenuAdapters(bool All) { TvlMnuArray::Instance().Free(All); }

} // namespace skin
