// Controls written as a form description and read back keep every published
// property: a declared default that differs from the real starting value
// would lose that value on the way.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "vcl/Bitmap.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/FormWriter.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TypInfo.h"

namespace vcl {
namespace {

class TRoundTripForm : public TForm {
    VCL_CLASS(TRoundTripForm, TForm)
public:
    explicit TRoundTripForm(TComponent *AOwner) : TForm(AOwner, CreateNew) {}
    void Clicked(TObject *) {}
};

VCL_PUBLISHED(TRoundTripForm, p) { p.Method<&TRoundTripForm::Clicked>("Clicked"); }

// Every published property of every component, as text, in order.
std::string Dump(const TComponent &Root) {
    std::string out;
    auto dumpOne = [&](const TComponent &c) {
        out += c.ClassName() + " " + c.Name() + ":";
        for (const TPropInfo *prop : GetPropList(c.ClassInfo())) {
            out += " " + prop->Name() + "=";
            switch (prop->Kind()) {
            case tkString: out += GetStrProp(&c, prop->Name()); break;
            case tkEnumeration: out += GetEnumProp(&c, prop->Name()); break;
            case tkSet: out += GetSetProp(&c, prop->Name()); break;
            case tkInteger: case tkInt64: case tkChar: out += std::to_string(GetOrdProp(&c, prop->Name())); break;
            case tkMethod: out += MethodName(&c, GetMethodProp(&c, prop->Name())); break;
            case tkClass:
                if (const TObject *o = GetObjectProp(&c, prop->Name())) out += o->ClassName();
                break;
            default: break;
            }
        }
        out += "\n";
    };
    dumpOne(Root);
    for (int i = 0; i < Root.ComponentCount(); ++i) dumpOne(*Root.Components(i));
    return out;
}

TEST(FormRoundTrip, EveryPropertySurvivesWritingAndReading) {
    std::unique_ptr<TRoundTripForm> source(Create<TRoundTripForm>(Application));
    TRoundTripForm &f = *source;
    f.SetName("RoundTrip");
    f.SetBorderStyle(bsDialog);
    f.SetBorderIcons(TBorderIcons{biSystemMenu});
    f.SetPosition(poDesktopCenter);
    f.SetClientWidth(500);
    f.SetClientHeight(300);
    f.SetCaption("Zkouška – ěščřžýáíé");
    f.SetAlphaBlendValue(200);
    f.Font()->SetHeight(-13);
    f.Font()->SetName("System");
    f.OnClick = TNotifyEvent::Bind<&TRoundTripForm::Clicked>(&f);

    auto *label = Create<TLabel>(&f);
    label->SetName("Label1");
    label->SetParent(&f);
    label->SetAutoSize(false);
    label->SetBounds(5, 6, 70, 18);
    label->SetCaption("Generuji : ");
    label->SetAlignment(taRightJustify);
    label->SetTransparent(true);
    label->SetWordWrap(true);
    label->SetLayout(tlCenter);
    label->SetVisible(false);

    auto *button = Create<TButton>(&f);
    button->SetName("Button1");
    button->SetParent(&f);
    button->SetCaption("Instaluj");
    button->SetDefault(true);
    button->SetCancel(true);
    button->SetModalResult(mrOk);
    button->SetEnabled(false);

    auto *memo = Create<TMemo>(&f);
    memo->SetName("Memo1");
    memo->SetParent(&f);
    memo->Lines()->Add("první");
    memo->Lines()->Add("");
    memo->Lines()->Add("Okraj X –1");
    memo->SetAlignment(taCenter);
    memo->SetReadOnly(true);
    memo->SetScrollBars(ssVertical);
    memo->SetWordWrap(false);
    memo->SetColor(clInfoBk);

    auto *bar = Create<TProgressBar>(&f);
    bar->SetName("ProgressBar1");
    bar->SetParent(&f);
    bar->SetRange(5, 2583496);
    bar->SetPosition(258349);
    bar->SetStep(1);

    auto *image = Create<TImage>(&f);
    image->SetName("Image1");
    image->SetParent(&f);
    image->SetStretch(true);
    image->SetProportional(true);
    image->SetCenter(true);
    TBitmap *bitmap = image->Picture()->Bitmap();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(3, 2);

    auto *timer = Create<TTimer>(&f);
    timer->SetName("Timer1");
    timer->SetEnabled(false);
    timer->SetInterval(100);

    const std::string text = WriteComponentText(f);
    std::unique_ptr<TRoundTripForm> copy(Create<TRoundTripForm>(nullptr));  // two forms of one name cannot share an owner
    ReadComponentText(*copy, text);
    EXPECT_EQ(Dump(*copy), Dump(f)) << text;
    // What equals its declared default is left out of the description.
    EXPECT_EQ(text.find("Visible = True"), std::string::npos) << text;
    EXPECT_EQ(text.find("Align = "), std::string::npos) << text;
    EXPECT_NE(text.find("BorderStyle = bsDialog"), std::string::npos) << text;
    EXPECT_EQ(static_cast<TImage *>(copy->FindComponent("Image1"))->Picture()->Width(), 3);
}

} // namespace
} // namespace vcl
