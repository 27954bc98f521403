#include "ExtCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

VCL_CLASS_INFO(TTimer)

TRect ImageDestRect(TSize PictureSize, TSize ClientSize, bool Stretch, bool Proportional, bool Center) {
    int w = PictureSize.cx;
    int h = PictureSize.cy;
    const int cw = ClientSize.cx;
    const int ch = ClientSize.cy;
    const bool larger = w > cw || h > ch;
    if (Proportional && w > 0 && h > 0 && (Stretch || larger)) {
        // Compare w/h with cw/ch without division: the picture is relatively
        // wider than the client when w * ch > h * cw; 64 bits for the products.
        if (static_cast<long long>(w) * ch > static_cast<long long>(h) * cw) {
            h = static_cast<int>(static_cast<long long>(h) * cw / w);
            w = cw;
        } else {
            w = static_cast<int>(static_cast<long long>(w) * ch / h);
            h = ch;
        }
    } else if (Stretch) {
        w = cw;
        h = ch;
    }
    TRect r = Rect(0, 0, w, h);
    if (Center) {
        const int dx = (cw - w) / 2;
        const int dy = (ch - h) / 2;
        r = Rect(dx, dy, dx + w, dy + h);
    }
    return r;
}

TTimer::TTimer(TComponent *AOwner)
    : TComponent(AOwner), FWindow(AllocateHWnd(TWndMethod::Bind<&TTimer::WndProc>(this))) {
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    KillTimer(FWindow, 1);
    if (FEnabled && FInterval != 0 && !SetTimer(FWindow, 1, FInterval, nullptr))
        throw Exception("Not enough timers available");
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage &Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    try {
        Timer();
    } catch (...) {
        Application->HandleException(this);
    }
}

} // namespace vcl
