#include "vlMenuAdapters.h"

#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/sSkinServices.h"

namespace skin {

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
