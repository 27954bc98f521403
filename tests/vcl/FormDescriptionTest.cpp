// A form read from its description, as the installer's main form is:
// buttons, a memo, a progress bar and a picture, bound to the form class's
// fields and handlers by name, and shown. Its picture is left as a PNG
// file beside the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

const char *const Description = R"(
TSetupForm SetupForm {
    Left = 192 Top = 107 ClientHeight = 341 ClientWidth = 774
    BorderStyle = bsDialog Position = poDesktopCenter Visible = True
    Caption = "Setup MERKANO ZUVO 2020  23.12.2019 Demo"
    Font { Color = clWindowText Height = -13 Name = "System" }
    OnCloseQuery = FormCloseQuery OnCreate = FormCreate OnShow = FormShow
    TButton Button1 {
        Left = 24 Top = 281 Width = 169 Height = 39 Caption = "Instaluj" TabOrder = 0
        OnClick = Button1Click
    }
    TButton Button2 { Left = 473 Top = 281 Width = 136 Height = 25 Caption = "Generuj const " Visible = False }
    TMemo Memo1 {
        Left = 343 Top = 8 Width = 408 Height = 221 Alignment = taCenter ReadOnly = True ScrollBars = ssVertical
    }
    TImage Image1 {
        Left = 24 Top = 8 Width = 313 Height = 221 Proportional = True Stretch = True
        Picture.Data = resource "IMAGE1"
    }
    TProgressBar ProgressBar2 { Left = 24 Top = 258 Width = 727 Height = 17 Max = 11 Step = 1 }
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

    TButton *Button1 = nullptr;
    TButton *Button2 = nullptr;
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
        Memo1->Lines()->Add("Podpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci.");
        InstallBusy = false;
    }
    void FormCloseQuery(TObject *, bool &CanClose) { CanClose = !InstallBusy; }
    // Runs once the whole description has been read.
    void FormCreate(TObject *) { MemoLinesAtCreate = Memo1 ? Memo1->Lines()->Count() : -2; }
    void Button1Click(TObject *) {
        ++Installs;
        ProgressBar2->StepIt();
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
    p.Field("Button1", &TSetupForm::Button1);
    p.Field("Button2", &TSetupForm::Button2);
    p.Field("Memo1", &TSetupForm::Memo1);
    p.Field("Image1", &TSetupForm::Image1);
    p.Field("ProgressBar2", &TSetupForm::ProgressBar2);
    p.Method<&TSetupForm::FormShow>("FormShow");
    p.Method<&TSetupForm::FormCloseQuery>("FormCloseQuery");
    p.Method<&TSetupForm::FormCreate>("FormCreate");
    p.Method<&TSetupForm::Button1Click>("Button1Click");
}

TEST(FormDescription, AFormReadFromItsDescriptionIsBoundToItsClassAndShowsItsControls) {
    Application->SetTitle("Setup MERKANO ZUVO DEMO EET 2020");
    TSetupForm *form = nullptr;
    Application->CreateForm(form);
    ASSERT_TRUE(form);
    EXPECT_EQ(Application->MainForm(), form);

    // Read: fields bound, OnCreate after the whole description, nothing shown yet.
    ASSERT_TRUE(form->Button1 && form->Button2 && form->Memo1 && form->ProgressBar2 && form->Image1);
    EXPECT_EQ(form->MemoLinesAtCreate, 0);
    EXPECT_FALSE(form->HandleAllocated() && IsWindowVisible(form->WindowHandle()));

    // Shown as the message loop shows the main form: OnShow has run, the
    // hidden button has no window.
    form->Show();
    HWND window = form->WindowHandle();
    ASSERT_TRUE(window && IsWindowVisible(window));
    EXPECT_EQ(uitest::TextOf(window), "Setup MERKANO ZUVO 2019 23.12.2019 Demo");
    EXPECT_EQ(uitest::TextOf(form->Memo1->WindowHandle()),
              "Setup MERKANO ZUVO 2019 23.12.2019 Demo\r\nPodpora tisku účtenky na úzký papír při zadání hodnoty Okraj X –1 v konfiguraci.");
    EXPECT_FALSE(form->Button2->HandleAllocated());
    const TRect desktop = Screen->DesktopRect();
    EXPECT_NEAR(form->Left() + form->Width() / 2, (desktop.Left + desktop.Right) / 2, 1);

    // The handlers are the form's: a click on the install button reaches Button1Click.
    uitest::ClickButton(form->Button1->WindowHandle());
    EXPECT_EQ(form->Installs, 1);
    EXPECT_EQ(form->ProgressBar2->Position(), 1);
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

    delete form;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

} // namespace
} // namespace vcl
