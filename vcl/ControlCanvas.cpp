#include "ControlCanvas.h"

namespace vcl {

VCL_CLASS_INFO(TGraphicControl)
VCL_CLASS_INFO(TCustomControl)

// --------------------------------------------------------- TGraphicControl

TGraphicControl::TGraphicControl(TComponent *AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage &Message) {
    if (Message.Msg != WM_PAINT) {
        inherited::Dispatch(Message);
        return;
    }
    // Painted only by its parent, which hands over its DC set up for this control.
    if (!Message.WParam) return;
    const TCanvasDCScope scope(FCanvas.get(), reinterpret_cast<HDC>(Message.WParam));
    Paint();
}

// ---------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent *AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC DC) {
    const TCanvasDCScope scope(FCanvas.get(), DC);
    Paint();
}

// ---------------------------------------------------------- TControlCanvas

TCanvasDCScope::TCanvasDCScope(TCanvas *Canvas, HDC DC) : FCanvas(Canvas) {
    if (auto *own = dynamic_cast<TControlCanvas *>(Canvas)) {
        FOfControl = true;
        FControl = TGuarded<TControl>(own->Control());
    }
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
}

TCanvasDCScope::~TCanvasDCScope() {
    if (FOfControl && !FControl) return;
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

TControlCanvas::~TControlCanvas() { FreeOwnDC(); }

void TControlCanvas::CreateHandle() {
    // One made before goes first: a paint may have lent another DC meanwhile.
    FreeOwnDC();
    auto *windowed = dynamic_cast<TWinControl *>(FControl);
    const HWND window = windowed ? windowed->Handle() : FControl->Parent() ? FControl->Parent()->Handle() : nullptr;
    auto dc = std::make_unique<TWindowDC>(window, window ? GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS) : nullptr);
    if (!*dc) throw EInvalidOperation("Control '" + FControl->Name() + "' has nothing to paint on");
    FBounds = FControl->BoundsRect();
    if (!windowed) {
        SetViewportOrgEx(dc->Get(), FBounds.Left, FBounds.Top, nullptr);
        IntersectClipRect(dc->Get(), 0, 0, FBounds.Width(), FBounds.Height());
    }
    CacheDC(window);
    FDC = std::move(dc);
    SetHandle(FDC->Get());
}

void TControlCanvas::FreeHandle() {
    if (LockCount() == 0) FreeOwnDC();
}

void TControlCanvas::FreeOwnDC() {
    if (!FDC) return;
    if (CurrentHandle() == FDC->Get()) SetHandle(nullptr);
    FDC.reset();
    UncacheDC();
}

bool TControlCanvas::OwnDCCurrent() const {
    if (!FDC || CurrentHandle() != FDC->Get()) return true;  // a lent DC is its lender's business
    if (auto *windowed = dynamic_cast<TWinControl *>(FControl)) return windowed->WindowHandle() == FDC->Window();
    return FControl->Parent() && FControl->Parent()->WindowHandle() == FDC->Window() && FControl->BoundsRect() == FBounds;
}

} // namespace vcl
