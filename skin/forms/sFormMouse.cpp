#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::WMNCHitTest(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCMouseMove(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCLButtonDown(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMLButtonUp(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCLButtonDblClk(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCRButtonDown(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCRButtonUp(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMMouseMove(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::CMMouseEnter(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::CMMouseLeave(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMSysCommand(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMClose(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMQueryEndSession(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMInitMenuPopup(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMEnterMenuLoop(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMExitMenuLoop(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMContextMenu(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMMeasureItem(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMSetText(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMSetIcon(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMSettingChange(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMSysColorChange(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMParentNotify(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMNotify(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::CMControlListChange(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::CMFloat(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::CMMenuChanged(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMFormCommand(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}

void TsSkinProvider::WMCopyData(vcl::TMessage &Message) {
    // PENDING: sFormMouse
    SavedWndProc(Message);
}


void TsSkinProvider::LinkToEditor(HWND Window) {
    // PENDING: sFormMouse
    (void)Window;
}

} // namespace skin
