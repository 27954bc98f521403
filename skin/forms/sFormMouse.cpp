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


} // namespace skin
