#include "UpDown.h"

#include <commctrl.h>

#include <algorithm>

namespace vcl {

VCL_PUBLISHED(TUpDown, p) {
    p.Property("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
    p.Property("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
    p.Property("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
    p.Property("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation).Default(udVertical);
}

namespace {
const bool UpDownRegistered = (RegisterClasses({&TUpDown::StaticClassInfo()}), true);
} // namespace

TUpDown::TUpDown(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(ControlStyle() - TControlStyle{csClickEvents});
    SetBounds(0, 0, 17, 25);
}

void TUpDown::SetMin(int Value) {
    FMin = Value;
    FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
    if (HandleAllocated()) SendMessageW(WindowHandle(), UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

void TUpDown::SetMax(int Value) {
    FMax = Value;
    FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
    if (HandleAllocated()) SendMessageW(WindowHandle(), UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
}

int TUpDown::Position() const {
    if (!HandleAllocated()) return FPosition;
    return static_cast<int>(SendMessageW(WindowHandle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetPosition(int Value) {
    FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
    if (HandleAllocated()) SendMessageW(WindowHandle(), UDM_SETPOS32, 0, FPosition);
}

void TUpDown::SetOrientation(TUDOrientation Value) {
    if (FOrientation == Value) return;
    FPosition = Position();
    FOrientation = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TUpDown::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    CreateSubClass(Params, UPDOWN_CLASSW);
    Params.Style |= UDS_ARROWKEYS | (FOrientation == udHorizontal ? UDS_HORZ : 0);
}

void TUpDown::InitializeWnd() {
    SendMessageW(WindowHandle(), UDM_SETRANGE32, static_cast<WPARAM>(FMin), FMax);
    SendMessageW(WindowHandle(), UDM_SETPOS32, 0, FPosition);
}

} // namespace vcl
