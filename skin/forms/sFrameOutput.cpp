#include "sSkinProvider.h"

namespace skin {

void TsSkinProvider::PaintCachedFrame(HDC DC) {
    // PENDING: sFrameOutput
    (void)DC;
}

void TsSkinProvider::PaintClientBackground(HDC DC, bool UpdateChildren) {
    // PENDING: sFrameOutput
    (void)DC, (void)UpdateChildren;
}

bool TsSkinProvider::ExtBordersAllowed() const {
    // PENDING: sFrameOutput
    return false;
}

LRESULT TsSkinProvider::PerformFormProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    vcl::TMessage message{Msg, WParam, LParam, 0};
    FormWndProc(message);
    return message.Result;
}

} // namespace skin
