#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::WMCreate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCCreate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMMove(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMSize(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMActivate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMSetRedraw(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMShowWindow(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMActivateApp(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMChildActivate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMGetMinMaxInfo(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanging(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMWindowPosChanged(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMStyleChanged(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMNCActivate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMSizing(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMMDIActivate(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::WMExitSizeMove(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::CMVisibleChanged(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::CMEnabledChanged(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::CMShowingChanged(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}

void TsSkinProvider::CMRecreateWnd(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    SavedWndProc(Message);
}


// The unskinned route's handlers: the saved procedure runs around them.
void TsSkinProvider::VisibleChangedUnskinned(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    (void)Message;
}

void TsSkinProvider::WindowPosChangedUnskinned(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    (void)Message;
}

void TsSkinProvider::NCDestroyUnskinned(vcl::TMessage &Message) {
    // PENDING: sFormActivation
    (void)Message;
}

} // namespace skin
