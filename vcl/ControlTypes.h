#pragma once
// The vocabulary of controls and forms: alignment, frames, mouse buttons and
// shift states, what a class of control is like and what a control is
// doing, the modal results of forms and buttons, and what the controls on a
// form ask of it. Windows only.
#include <windows.h>

#include "TypInfo.h"

namespace vcl {

class TWinControl;

VCL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
// The frame of a form; of an edit or a memo only bsNone and bsSingle.
VCL_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
VCL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// What a class of control is like.
enum TControlStyleItem {
    csAcceptsControls,   // may be the parent of other controls
    csCaptureMouse,      // keeps the mouse while a button is down on it
    csClickEvents,       // a press and release on it is a click
    csOpaque,            // fills its whole rectangle when it paints
    csDoubleClicks,      // gets double clicks as such
};
using TControlStyle = TSet<TControlStyleItem>;

// What a control is doing at the moment.
enum TControlStateItem {
    csLButtonDown,       // the left button went down on it
    csClicked,           // a press started a click
    csCreating,          // its window is being created
    // The last three, in this order, mean that the control is in the middle
    // of a paint or of its window's end: a procedure put in front of the
    // control's own tests for any of them at once.
    csPaintCopy,         // it paints a copy of itself, not the screen
    csCustomPaint,       // it is painting its window itself (inside its WM_PAINT)
    csDestroyingHandle,  // its window is being destroyed
};
using TControlState = TSet<TControlStateItem>;

// What a modal form or a button answers (IDOK... for the first seven).
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = mrNo + 1;
inline constexpr TModalResult mrNoToAll = mrAll + 1;
inline constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TMouseEvent = TMethod<void(TObject *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethod<void(TObject *Sender, TShiftState Shift, int X, int Y)>;


// The button of a mouse message (WM_LBUTTONDOWN...).
TMouseButton ButtonOf(UINT Msg);
// The modifier keys and mouse buttons of a mouse message's WParam (and Alt).
TShiftState KeysToShiftState(WPARAM Keys);

// What the controls on a form ask of it, declared here below the forms and
// answered by TCustomForm: the form knows its active and focused control and
// takes the modal result of a button.
class TFormHost {
public:
    virtual TWinControl *ActiveControl() const = 0;
    // Raises EInvalidOperation for a control that is not on the form.
    virtual void SetActiveControl(TWinControl *Control) = 0;
    // Called by a control of the form that received the focus.
    virtual void SetFocusedControl(TWinControl *Control) = 0;
    // Called for a control that leaves the form: the form keeps no pointer into it.
    virtual void ForgetControl(const TWinControl *Control) = 0;
    virtual void SetModalResult(TModalResult Value) = 0;

protected:
    ~TFormHost() = default;
};

} // namespace vcl
