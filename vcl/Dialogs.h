#pragma once
// Message boxes as forms of the class library: a modal form of the class
// TMessageForm with the message text and TButton buttons, sized to the text
// and centred on the screen. Being forms of the library (not the system's
// message box), they can be found and restyled like any other form.
#include <string>

#include "Forms.h"

namespace vcl {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

class TLabel;

class TMessageForm : public TForm {
    VCL_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent *AOwner);

    // The label that shows the message (named "Message").
    TLabel *MessageLabel() const { return FMessage; }

private:
    friend TMessageForm *CreateMessageDialog(const std::string &, TMsgDlgType, TMsgDlgButtons);
    TLabel *FMessage = nullptr;  // not owned: a component of the form
};

// A message form, not yet shown; the caller owns it (delete it).
TMessageForm *CreateMessageDialog(const std::string &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// Shows a message form modally and answers the modal result of the button
// that closed it (mrCancel when it was closed otherwise). HelpCtx is
// accepted and not used: the program has no help file.
int MessageDlg(const std::string &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

// The message with an OK button, under the application's title; returns
// when the user has closed it.
void ShowMessage(const std::string &Msg);

} // namespace vcl
