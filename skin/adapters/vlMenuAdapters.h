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

#include "vlMnuWnd.h"

namespace skin {

class TsSkinManager;

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
