#pragma once
// The adapters of the system's popup-menu windows (TvlMnuWnd), kept in one
// list, TvlMnuArray. A menu window gets its adapter when the window-creation
// hook sees it made (class atom 0x8000), or, where the hook came too late,
// when the menu painter first draws into it. An adapter lives until its
// window is gone and is freed after that window's last message has been
// handled, never inside it; a menu opened meanwhile keeps its adapter.
// Windows only; everything here belongs to the UI thread.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "vlMnuWnd.h"

namespace skin {

class TsSkinManager;

class TvlMnuArray {
public:
    // The list of the process (unit state of the menu adapters).
    static TvlMnuArray &Instance();

    // A new adapter of Window for Manager's skin ("MAINMENU" section).
    TvlMnuWnd *Add(HWND Window, TsSkinManager &Manager);
    // The living adapter of Window; null when none.
    TvlMnuWnd *Find(HWND Window) const;
    // Calls Visit for every adapter but Except whose window is not gone.
    void ForEachLive(const TvlMnuWnd *Except, const std::function<void(TvlMnuWnd &)> &Visit) const;
    std::size_t Count() const;
    std::size_t LiveCount() const;
    // Frees the adapters whose windows are gone; with All, every adapter
    // (their windows given back first).
    void Free(bool All);
    // Frees the gone ones once the message being handled has returned.
    void FreeGoneLater();

private:
    TvlMnuArray() = default;
    std::vector<std::unique_ptr<TvlMnuWnd>> FAdapters;
    bool FFreePending = false;
};

// The hook's branch: a popup-menu window is being created. It gets an
// adapter when the default manager skins popups and the window is not
// served yet. Null when it gets none.
TvlMnuWnd *AdaptNewMenuWindow(HWND Window);
// The painter's route: the adapter of a shown menu window, made when it
// has none (null: popups not skinned, or no window). Paints its frame.
TvlMnuWnd *AttachMenuAdapter(HWND Window, TsSkinManager &Manager);

std::size_t LiveMenuAdapterCount();
std::size_t MenuAdapterCount();
void FreeMenuAdapters(bool All);

} // namespace skin
