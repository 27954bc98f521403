#pragma once
// Check boxes and radio buttons: superclasses of the system's BUTTON with
// the automatic check-box and radio-button styles. A click toggles the box
// (a radio button checks itself and clears its siblings) and runs Click.
#include "StdCtrls.h"

namespace vcl {

VCL_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

class TCheckBox : public TButtonControl {
    VCL_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent *AOwner);

    // Read from the window while it exists.
    TCheckBoxState State() const;
    void SetState(TCheckBoxState Value);
    bool Checked() const { return State() == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    // A click may also reach the grayed state.
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    // taLeftJustify puts the text left of the box.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void Dispatch(TMessage &Message) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

class TRadioButton : public TButtonControl {
    VCL_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent *AOwner);

    bool Checked() const;
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void Dispatch(TMessage &Message) override;

private:
    bool FChecked = false;
};

} // namespace vcl
