#include "ExtCtrls.h"

#include <algorithm>

#include "AppContext.h"
#include "Icon.h"

namespace vcl {

VCL_PUBLISHED(TImage, p) {
    p.Property("Picture", &TImage::Picture);
    p.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    p.Property("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    p.Property("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    p.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
    p.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
}

VCL_PUBLISHED(TTimer, p) {
    p.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    p.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    p.Property("OnTimer", &TTimer::OnTimer);
}

namespace {
const bool ExtCtrlsRegistered = (RegisterClasses({&TImage::StaticClassInfo(), &TTimer::StaticClassInfo()}), true);
} // namespace

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

TImage::TImage(TComponent *AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FPicture->OnChange = TNotifyEvent::Bind<&TImage::PictureChanged>(this);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = {}; }

void TImage::SetStretch(bool Value) {
    if (FStretch == Value) return;
    FStretch = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    if (FProportional == Value) return;
    FProportional = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    PictureChanged(this);
}

void TImage::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    PictureChanged(this);
}

TRect TImage::DestRect() const {
    return ImageDestRect(TSize{FPicture->Width(), FPicture->Height()}, TSize{Width(), Height()}, FStretch,
                         FProportional, FCenter);
}

void TImage::PictureChanged(TObject *) {
    if (TGraphic *g = FPicture->Graphic()) {
        // An icon is transparent by nature; other graphics as the image says.
        if (g->Transparent() != FTransparent && !dynamic_cast<TIcon *>(g)) g->SetTransparent(FTransparent);
        if (FAutoSize && !g->Empty()) SetBounds(Left(), Top(), g->Width(), g->Height());
    }
    Invalidate();
}

void TImage::Paint() {
    TGraphic *g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    Canvas()->StretchDraw(DestRect(), g);
}

TTimer::TTimer(TComponent *AOwner)
    : TComponent(AOwner), FWindow(TWndMethod::Bind<&TTimer::WndProc>(this)) {
    UpdateTimer();
}

TTimer::~TTimer() { KillTimer(FWindow.Handle(), 1); }

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
    KillTimer(FWindow.Handle(), 1);
    if (FEnabled && FInterval != 0 && !SetTimer(FWindow.Handle(), 1, FInterval, nullptr))
        throw Exception("Not enough timers available");
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage &Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProcW(FWindow.Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    try {
        Timer();
    } catch (...) {
        ReportException(this);
    }
}

} // namespace vcl
