#pragma once
// The installer's main window: a picture, the welcome text, the install
// button, a status line and two progress bars, read from the form
// description "TSDIAppForm". The install (InstallProcedure.h) and the hidden
// payload generator are the handlers of its two buttons.
#include "installer/MainFormText.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace installer {

class TSDIAppForm : public vcl::TForm {
    VCL_CLASS(TSDIAppForm, vcl::TForm)
public:
    explicit TSDIAppForm(vcl::TComponent *AOwner) : vcl::TForm(AOwner) {}

    // Components of the description, bound by name; owned by the form.
    vcl::TLabel *Label1 = nullptr;        // the generator's last byte count; never visible
    vcl::TButton *Button1 = nullptr;      // "Instaluj"
    vcl::TButton *Button2 = nullptr;      // the generator; never made visible
    vcl::TLabel *Label2 = nullptr;        // status line of the install
    vcl::TProgressBar *ProgressBar1 = nullptr;  // within the current file
    vcl::TMemo *Memo1 = nullptr;          // welcome text
    skin::TsSkinManager *sSkinManager1 = nullptr;  // skins the application with its stored skin
    skin::TsSkinProvider *sSkinProvider1 = nullptr;  // skins this form's frame
    vcl::TImage *Image1 = nullptr;        // product picture
    vcl::TProgressBar *ProgressBar2 = nullptr;  // over the files

    // Each time the form is shown: the caption and the welcome text.
    void FormShow(vcl::TObject *Sender);
    // Refuses to close while the install or the generator runs.
    void FormCloseQuery(vcl::TObject *Sender, bool &CanClose);
    void FormClick(vcl::TObject *Sender);
    // Installs the product (InstallProcedure.h).
    void Button1Click(vcl::TObject *Sender);
    // Writes Unit1.h in the current folder from the product's files in
    // C:\merkzuvo\, then closes the form.
    void Button2Click(vcl::TObject *Sender);
};

// The main form, made by ProgramMain.
extern TSDIAppForm *SDIAppForm;
// True while the install or the generator runs; closing is refused then.
extern bool InstallBusy;
// Set by the install when the application's title lacks "Produkční".
extern bool NonProduction;

// What the form says besides its text (MainFormText.h).
inline constexpr const char *CloseRefusedMessage = "Spuštěnou instalaci nelze přerušit !";
inline constexpr const char *DoneMessage = "Hotovo";
// The generator's source folder and its output, in the current folder.
inline constexpr const char *GeneratorSourceFolder = "C:\\merkzuvo\\";
inline constexpr const char *GeneratorOutput = "Unit1.h";

} // namespace installer
