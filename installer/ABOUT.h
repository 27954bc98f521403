#pragma once
// The about box: a plain dialog with the program's icon, four text labels
// and an OK button. The program creates it at start and never shows it.
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace installer {

class TAboutBox : public vcl::TForm {
    VCL_CLASS(TAboutBox, vcl::TForm)
public:
    explicit TAboutBox(vcl::TComponent *AOwner) : vcl::TForm(AOwner) {}

    // Components of the description; owned by the form.
    vcl::TImage *ProgramIcon = nullptr;
    vcl::TLabel *ProductName = nullptr;
    vcl::TLabel *Version = nullptr;
    vcl::TLabel *Copyright = nullptr;
    vcl::TLabel *Comments = nullptr;
    vcl::TButton *OKButton = nullptr;
};

// Made by ProgramMain after the main form.
extern TAboutBox *AboutBox;

} // namespace installer
