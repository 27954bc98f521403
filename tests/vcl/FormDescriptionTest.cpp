// A form read from its description, as the installer's main form is: a
// button, a memo, two progress bars, labels and a picture, bound to the form
// class's fields and handlers by name. Shown; then a message box is found by
// its window class and closed with a real mouse click, and ShowMessage
// returns. The pictures of the form and the box are left as PNG files beside
// the test.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

const char *const Description = R"(
TSetupForm SetupForm {
    Left = 192
    Top = 107
    BorderStyle = bsDialog
    Caption = "Setup MERKANO ZUVO 2020  23.12.2019 Demo"
    ClientHeight = 341
    ClientWidth = 774
    Color = clBtnFace
    Font {
        Color = clWindowText
        Height = -13
        Name = "System"
    }
    OnClick = FormClick
    OnCloseQuery = FormCloseQuery
    OnCreate = FormCreate
    OnShow = FormShow
    PixelsPerInch = 96
    Position = poDesktopCenter
    Visible = True
    TLabel Label1 {
        Left = 473
        Top = 312
        Width = 44
        Height = 16
        Caption = "Label1"
        Visible = False
    }
    TButton Button1 {
        Left = 24
        Top = 281
        Width = 169
        Height = 39
        Caption = "Instaluj"
        TabOrder = 0
        OnClick = Button1Click
    }
    TButton Button2 {
        Left = 473
        Top = 281
        Width = 136
        Height = 25
        Caption = "Generuj const "
        TabOrder = 1
        Visible = False
    }
    TLabel Label2 {
        Left = 208
        Top = 291
        Width = 4
        Height = 16
    }
    TProgressBar ProgressBar1 {
        Left = 24
        Top = 235
        Width = 727
        Height = 17
        Step = 1
        TabOrder = 2
    }
    TMemo Memo1 {
        Left = 343
        Top = 8
        Width = 408
        Height = 221
        Alignment = taCenter
        ReadOnly = True
        ScrollBars = ssVertical
        TabOrder = 3
    }
    TImage Image1 {
        Left = 24
        Top = 8
        Width = 313
        Height = 221
        Picture.Data = resource "IMAGE1"
        Proportional = True
        Stretch = True
    }
    TProgressBar ProgressBar2 {
        Left = 24
        Top = 258
        Width = 727
        Height = 17
        Max = 11
        Step = 1
        TabOrder = 4
    }
}
)";

// The picture block of a form description: the graphic's class name, then
// its file. A 64 x 48 bitmap, green with a blue band, made here.
std::unique_ptr<TStream> PictureBlock() {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(64, 48);
    bitmap.Canvas()->Brush()->SetColor(TColor(0x00A000));
    bitmap.Canvas()->FillRect(Rect(0, 0, 64, 48));
    bitmap.Canvas()->Brush()->SetColor(TColor(0xC00000));
    bitmap.Canvas()->FillRect(Rect(0, 20, 64, 28));
    auto block = std::make_unique<TMemoryStream>();
    const std::string name = "TBitmap";
    const auto length = static_cast<std::uint8_t>(name.size());
    block->WriteBuffer(&length, 1);
    block->WriteBuffer(name.data(), name.size());
    bitmap.SaveToStream(*block);
    block->SetPosition(0);
    return block;
}

class TSetupForm : public TForm {
    VCL_CLASS(TSetupForm, TForm)
public:
    explicit TSetupForm(TComponent *AOwner) : TForm(AOwner) {}

    TLabel *Label1 = nullptr;
    TButton *Button1 = nullptr;
    TButton *Button2 = nullptr;
    TLabel *Label2 = nullptr;
    TProgressBar *ProgressBar1 = nullptr;
    TMemo *Memo1 = nullptr;
    TImage *Image1 = nullptr;
    TProgressBar *ProgressBar2 = nullptr;

    bool InstallBusy = false;
    int Installs = 0;
    int MemoLinesAtCreate = -1;

    void FormShow(TObject *) {
        Memo1->Lines()->Clear();
        SetCaption("Setup MERKANO ZUVO 2019 23.12.2019 Demo");
        Memo1->Lines()->Add(Caption());
        for (const char *line : {"vygenerujeme MERKANO ZUVO CZ 1.9 23.12.2019", "do složky c:\\merkano_zuvo", "",
                                 "po dokončení se spustí MERKZUVO.EXE", "", "Děkujeme za Vaši přízeň.", "MERKANO team.",
                                 "Novinky: Podpora tisku vstupenek ve službách pokud je v názvu Vstup",
                                 "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci."})
            Memo1->Lines()->Add(line);
        InstallBusy = false;
    }
    void FormCloseQuery(TObject *, bool &CanClose) { CanClose = !InstallBusy; }
    // Runs once the whole description has been read.
    void FormCreate(TObject *) { MemoLinesAtCreate = Memo1 ? Memo1->Lines()->Count() : -2; }
    void FormClick(TObject *) { SetFormStyle(fsNormal); }
    void Button1Click(TObject *) {
        ++Installs;
        ProgressBar2->StepIt();
        Label2->SetCaption("Generuji : Uživatelská příručka Merkano zuvo1-1.pdf");
    }

protected:
    bool ReadDescription() override {
        ReadComponentText(*this, Description, [](const std::string &name) -> std::unique_ptr<TStream> {
            if (name != "IMAGE1") throw EResNotFound("No resource " + name);
            return PictureBlock();
        });
        return true;
    }
};

VCL_PUBLISHED(TSetupForm, p) {
    p.Field("Label1", &TSetupForm::Label1);
    p.Field("Button1", &TSetupForm::Button1);
    p.Field("Button2", &TSetupForm::Button2);
    p.Field("Label2", &TSetupForm::Label2);
    p.Field("ProgressBar1", &TSetupForm::ProgressBar1);
    p.Field("Memo1", &TSetupForm::Memo1);
    p.Field("Image1", &TSetupForm::Image1);
    p.Field("ProgressBar2", &TSetupForm::ProgressBar2);
    p.Method<&TSetupForm::FormShow>("FormShow");
    p.Method<&TSetupForm::FormCloseQuery>("FormCloseQuery");
    p.Method<&TSetupForm::FormCreate>("FormCreate");
    p.Method<&TSetupForm::FormClick>("FormClick");
    p.Method<&TSetupForm::Button1Click>("Button1Click");
}

TEST(FormDescription, FormReadFromItsDescriptionShowsItsControlsAndAMessageBoxIsClosedByAClick) {
    Application->SetTitle("Setup MERKANO ZUVO DEMO EET 2020");
    TSetupForm *form = nullptr;
    Application->CreateForm(form);
    ASSERT_TRUE(form);
    EXPECT_EQ(Application->MainForm(), form);

    // Read: fields bound, properties in place, nothing shown yet.
    ASSERT_TRUE(form->Button1 && form->Button2 && form->Memo1 && form->ProgressBar1 && form->ProgressBar2 &&
                form->Label1 && form->Label2 && form->Image1);
    EXPECT_FALSE(form->HandleAllocated() && IsWindowVisible(form->WindowHandle()));
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->ClientWidth(), 774);
    EXPECT_EQ(form->ClientHeight(), 341);
    EXPECT_EQ(form->Font()->Height(), -13);
    EXPECT_EQ(form->ProgressBar2->Max(), 11);
    EXPECT_EQ(form->ProgressBar1->Step(), 1);
    EXPECT_EQ(form->Memo1->Alignment(), taCenter);
    EXPECT_TRUE(form->Image1->Stretch());
    EXPECT_EQ(form->Image1->Picture()->Width(), 64);
    EXPECT_EQ(form->Button2->TabOrder(), 1);
    EXPECT_EQ(form->Memo1->TabOrder(), 3);
    EXPECT_TRUE(form->OnShow);
    EXPECT_EQ(form->MemoLinesAtCreate, 0);

    // Shown as the message loop shows the main form.
    form->Show();
    HWND window = form->WindowHandle();
    ASSERT_TRUE(window && IsWindowVisible(window));
    EXPECT_EQ(uitest::ClassNameOf(window), "TSetupForm");
    EXPECT_EQ(uitest::TextOf(window), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    EXPECT_EQ(uitest::TextOf(form->Button1->WindowHandle()), "Instaluj");
    EXPECT_EQ(uitest::ClassNameOf(form->Memo1->WindowHandle()), "TMemo");
    EXPECT_EQ(uitest::ClassNameOf(form->ProgressBar1->WindowHandle()), "TProgressBar");
    EXPECT_EQ(uitest::ClassNameOf(form->ProgressBar2->WindowHandle()), "TProgressBar");
    EXPECT_FALSE(form->Button2->HandleAllocated());
    EXPECT_EQ(form->Memo1->Lines()->Count(), 10);
    EXPECT_EQ(form->Memo1->Lines()->Strings(0), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    EXPECT_EQ(form->Memo1->Lines()->Strings(9),
              "Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci.");
    const TRect desktop = Screen->DesktopRect();
    EXPECT_NEAR(form->Left() + form->Width() / 2, (desktop.Left + desktop.Right) / 2, 1);

    // The handlers are the form's: a click on the install button reaches Button1Click.
    uitest::ClickButton(form->Button1->WindowHandle());
    EXPECT_EQ(form->Installs, 1);
    EXPECT_EQ(form->ProgressBar2->Position(), 1);
    EXPECT_EQ(form->Label2->Caption(), "Generuji : Uživatelská příručka Merkano zuvo1-1.pdf");
    form->InstallBusy = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Application->Terminated());  // refused while busy
    form->InstallBusy = false;

    // The picture is drawn where the image says: the band's blue at its middle.
    Application->ProcessMessages();
    form->Repaint();
    const uitest::TImage32 shot = uitest::CaptureWindow(window);
    uitest::WritePng("SetupForm.png", shot);
    POINT imageCentre{24 + 313 / 2, 8 + 221 / 2};
    ClientToScreen(window, &imageCentre);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(shot.At(imageCentre.x - frame.left, imageCentre.y - frame.top) & 0xFFFFFF, 0x0000C0u);

    // A message box of the form's program: found by its class, closed by a
    // real mouse click on its button; then ShowMessage returns.
    const DWORD loop = GetCurrentThreadId();
    auto clicker = std::async(std::launch::async, [loop] {
        HWND box = uitest::WaitForModalWindow("TMessageForm", loop, 10s);
        if (!box) return std::string("no message form");
        HWND ok = uitest::FindChild(box, "TButton", "OK");
        bool pictured = false;
        const bool closed = uitest::AnswerModalWindow(box, [&] {
            if (!pictured) {
                Sleep(100);  // let it paint before its picture is taken
                uitest::WritePng("MessageForm.png", uitest::CaptureWindow(box));
                pictured = true;
            }
            if (ok) uitest::ClickWithMouse(ok);
        });
        if (!ok) return std::string("no OK button");
        return closed ? std::string("closed") : std::string("still open");
    });
    ShowMessage("Hotovo");
    EXPECT_EQ(clicker.get(), "closed");
    EXPECT_TRUE(IsWindowVisible(window));

    delete form;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

} // namespace
} // namespace vcl
