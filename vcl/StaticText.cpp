#include "StaticText.h"

namespace vcl {

VCL_PUBLISHED(TStaticText, p) {
    p.Property("Caption", &TStaticText::Caption, &TStaticText::SetCaption);
    p.Property("Alignment", &TStaticText::Alignment, &TStaticText::SetAlignment).Default(taLeftJustify);
    p.Property("BevelKind", &TStaticText::BevelKind, &TStaticText::SetBevelKind).Default(bkNone);
    p.Property("BevelInner", &TStaticText::BevelInner, &TStaticText::SetBevelInner).Default(bvRaised);
    p.Property("BevelOuter", &TStaticText::BevelOuter, &TStaticText::SetBevelOuter).Default(bvLowered);
}

namespace {
const bool StaticTextRegistered = (RegisterClasses({&TStaticText::StaticClassInfo()}), true);
} // namespace

TStaticText::TStaticText(TComponent *AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
    SetBounds(0, 0, 65, 17);
}

void TStaticText::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TStaticText::SetBevelKind(TBevelKind Value) {
    if (FBevelKind == Value) return;
    FBevelKind = Value;
    RecreateWnd();
}

void TStaticText::SetBevelInner(TBevelCut Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    Invalidate();
}

void TStaticText::SetBevelOuter(TBevelCut Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    Invalidate();
}

void TStaticText::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"STATIC");
    static constexpr DWORD Aligns[] = {SS_LEFT, SS_RIGHT, SS_CENTER};
    Params.Style |= SS_NOTIFY | Aligns[FAlignment];
    if (FBevelKind != bkNone) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

} // namespace vcl
