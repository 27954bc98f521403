#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::WMNCPaint(vcl::TMessage &Message) {
    // PENDING: sFormPaint
    SavedWndProc(Message);
}

void TsSkinProvider::WMEraseBkgnd(vcl::TMessage &Message) {
    // PENDING: sFormPaint
    SavedWndProc(Message);
}

void TsSkinProvider::WMPaint(vcl::TMessage &Message) {
    // PENDING: sFormPaint
    SavedWndProc(Message);
}

void TsSkinProvider::WMPrint(vcl::TMessage &Message) {
    // PENDING: sFormPaint
    SavedWndProc(Message);
}


} // namespace skin
