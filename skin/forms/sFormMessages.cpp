#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::WMQueryEndSession(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMInitMenuPopup(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMEnterMenuLoop(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMExitMenuLoop(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMContextMenu(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMMeasureItem(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMSetText(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMSetIcon(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMSettingChange(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMSysColorChange(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMParentNotify(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMNotify(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::CMControlListChange(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::CMFloat(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::CMMenuChanged(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMFormCommand(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::WMCopyData(vcl::TMessage &Message) {
    // PENDING: sFormMessages
    SavedWndProc(Message);
}

void TsSkinProvider::LinkToEditor(HWND Window) {
    // PENDING: sFormMessages
    (void)Window;
}

} // namespace skin
