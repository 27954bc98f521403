#include "CheckBoxes.h"

namespace vcl {

VCL_PUBLISHED(TCheckBox, p) {
    p.Property("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
    p.Property("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
    p.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    p.Property("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
}

VCL_PUBLISHED(TRadioButton, p) {
    p.Property("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
    p.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
}

namespace {
const bool CheckBoxesRegistered =
    (RegisterClasses({&TCheckBox::StaticClassInfo(), &TRadioButton::StaticClassInfo()}), true);

WPARAM CheckOf(TCheckBoxState State) {
    return State == cbChecked ? BST_CHECKED : State == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}
} // namespace

// ---------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent *AOwner) : TButtonControl(AOwner) {
    SetControlStyle(TControlStyle{csDoubleClicks});
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

TCheckBoxState TCheckBox::State() const {
    if (!HandleAllocated()) return FState;
    const LRESULT check = SendMessageW(WindowHandle(), BM_GETCHECK, 0, 0);
    return check == BST_CHECKED ? cbChecked : check == BST_INDETERMINATE ? cbGrayed : cbUnchecked;
}

void TCheckBox::SetState(TCheckBoxState Value) {
    FState = Value;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, CheckOf(Value), 0);
}

void TCheckBox::SetAllowGrayed(bool Value) {
    if (FAllowGrayed == Value) return;
    FState = State();
    FAllowGrayed = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCheckBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FState = State();
    FAlignment = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TCheckBox::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= (FAllowGrayed ? BS_AUTO3STATE : BS_AUTOCHECKBOX) | (FAlignment == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::InitializeWnd() { SendMessageW(WindowHandle(), BM_SETCHECK, CheckOf(FState), 0); }

void TCheckBox::Dispatch(TMessage &Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        FState = State();
        Click();
        return;
    }
    inherited::Dispatch(Message);
}

// ------------------------------------------------------------- TRadioButton

TRadioButton::TRadioButton(TComponent *AOwner) : TButtonControl(AOwner) {
    SetControlStyle(TControlStyle{csDoubleClicks});
    SetBounds(0, 0, 113, 17);
}

bool TRadioButton::Checked() const {
    return HandleAllocated() ? SendMessageW(WindowHandle(), BM_GETCHECK, 0, 0) == BST_CHECKED : FChecked;
}

void TRadioButton::SetChecked(bool Value) {
    FChecked = Value;
    if (HandleAllocated()) SendMessageW(WindowHandle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value || !Parent()) return;
    // One checked button among its siblings.
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto *other = dynamic_cast<TRadioButton *>(Parent()->Controls(i)); other && other != this && other->Checked())
            other->SetChecked(false);
}

void TRadioButton::CreateParams(TCreateParams &Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, L"BUTTON");
    Params.Style |= BS_AUTORADIOBUTTON;
}

void TRadioButton::InitializeWnd() {
    SendMessageW(WindowHandle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::Dispatch(TMessage &Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        FChecked = Checked();
        Click();
        return;
    }
    inherited::Dispatch(Message);
}

} // namespace vcl
