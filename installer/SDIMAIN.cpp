#include "installer/SDIMAIN.h"

#include "installer/InstallProcedure.h"
#include "installer/PayloadFiles.h"
#include "installer/PayloadGenerator.h"
#include "vcl/Dialogs.h"
#include "vcl/SysUtils.h"

namespace installer {

VCL_PUBLISHED(TSDIAppForm, p) {
    p.Field("Label1", &TSDIAppForm::Label1);
    p.Field("Button1", &TSDIAppForm::Button1);
    p.Field("Button2", &TSDIAppForm::Button2);
    p.Field("Label2", &TSDIAppForm::Label2);
    p.Field("ProgressBar1", &TSDIAppForm::ProgressBar1);
    p.Field("Memo1", &TSDIAppForm::Memo1);
    p.Field("sSkinManager1", &TSDIAppForm::sSkinManager1);
    p.Field("sSkinProvider1", &TSDIAppForm::sSkinProvider1);
    p.Field("Image1", &TSDIAppForm::Image1);
    p.Field("ProgressBar2", &TSDIAppForm::ProgressBar2);
    p.Method<&TSDIAppForm::FormShow>("FormShow");
    p.Method<&TSDIAppForm::FormCloseQuery>("FormCloseQuery");
    p.Method<&TSDIAppForm::FormClick>("FormClick");
    p.Method<&TSDIAppForm::Button1Click>("Button1Click");
    p.Method<&TSDIAppForm::Button2Click>("Button2Click");
}

TSDIAppForm *SDIAppForm = nullptr;
bool InstallBusy = false;
bool NonProduction = false;

void TSDIAppForm::FormShow(vcl::TObject *) {
    // Cleared first: a form shown again must not show the text twice.
    Memo1->Clear();
    SetCaption(ShownCaption);
    Memo1->Lines()->Add(Caption());
    for (const char *line : WelcomeLines) Memo1->Lines()->Add(line);
    InstallBusy = false;
}

void TSDIAppForm::FormCloseQuery(vcl::TObject *, bool &CanClose) {
    if (InstallBusy) {
        vcl::ShowMessage(CloseRefusedMessage);
        CanClose = false;
        return;
    }
    CanClose = true;
}

void TSDIAppForm::FormClick(vcl::TObject *) { SetFormStyle(vcl::fsNormal); }

void TSDIAppForm::Button1Click(vcl::TObject *) { InstallProduct(*this, PayloadFiles()); }

void TSDIAppForm::Button2Click(vcl::TObject *) {
    InstallBusy = true;
    try {
        GeneratePayloadModule(GeneratorSourceFolder, GeneratorSources(), GeneratorOutput,
                              [this](std::int64_t size) { Label1->SetCaption(vcl::IntToStr(size)); });
        vcl::ShowMessage(DoneMessage);
    } catch (...) {
        // A failed run must not leave the window impossible to close.
        InstallBusy = false;
        throw;
    }
    InstallBusy = false;
    Close();
}

} // namespace installer
