#include "Messages.h"

namespace vcl {

HWND NotifyingChild(HWND Parent, const TMessage &Message) {
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case WM_COMMAND: case WM_HSCROLL: case WM_VSCROLL: case WM_CHARTOITEM: case WM_VKEYTOITEM:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(l);
    case WM_NOTIFY: return l ? reinterpret_cast<const NMHDR *>(l)->hwndFrom : nullptr;
    case WM_DELETEITEM: return l ? reinterpret_cast<const DELETEITEMSTRUCT *>(l)->hwndItem : nullptr;
    case WM_COMPAREITEM: return l ? reinterpret_cast<const COMPAREITEMSTRUCT *>(l)->hwndItem : nullptr;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(l);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        // The item names its control only by identifier.
        const auto *item = reinterpret_cast<const MEASUREITEMSTRUCT *>(l);
        return item && item->CtlType != ODT_MENU && Parent ? GetDlgItem(Parent, static_cast<int>(item->CtlID)) : nullptr;
    }
    default: return nullptr;
    }
}

} // namespace vcl
