#include "TestForm.h"

namespace vcl::test {

std::vector<std::string> Log;

namespace {

std::string States(const TComponent &c) {
    std::string s;
    if (c.ComponentState().Contains(csLoading)) s += "L";
    if (c.ComponentState().Contains(csReading)) s += "R";
    return s;
}

} // namespace

VCL_PUBLISHED(TTestFont, p) {
    p.Property("Height", &TTestFont::Height, &TTestFont::SetHeight).Default(-11);
    p.Property("Name", &TTestFont::Name, &TTestFont::SetName).Default("Tahoma");
    p.Property("Color", &TTestFont::Color, &TTestFont::SetColor).Default(clWindowText).Idents(ColorIdents);
    p.Property("Style", &TTestFont::Style, &TTestFont::SetStyle).Default(TTestOptions{});
}

void TTestFont::Assign(const TPersistent *Source) {
    if (Source && Source->InheritsFrom<TTestFont>()) {
        const auto &f = static_cast<const TTestFont &>(*Source);
        FHeight = f.FHeight;
        FName = f.FName;
        FColor = f.FColor;
        FStyle = f.FStyle;
        return;
    }
    TPersistent::Assign(Source);
}

VCL_PUBLISHED(TTestItem, p) {
    p.Property("Name", &TTestItem::Name, &TTestItem::SetName);
    p.Property("Value", &TTestItem::Value).Default(5);
}

void TTestItem::DefineProperties(TFiler &Filer) {
    TCollectionItem::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream &s) { Data.LoadFromStream(s); }, [this](TStream &s) { Data.SaveToStream(s); },
        Data.Size() > 0);
}

VCL_CLASS_INFO(TTestItems)

VCL_PUBLISHED(TTestControl, p) {
    p.Property("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
    p.Property("Width", &TTestControl::Width, &TTestControl::SetWidth).Default(64);
    p.Property("Visible", &TTestControl::Visible, &TTestControl::SetVisible).Default(true);
    p.Property("Style", &TTestControl::Style, &TTestControl::SetStyle).Default(tsFlat);
    p.Property("Options", &TTestControl::Options, &TTestControl::SetOptions).Default(TTestOptions{toWide});
    p.Property("Color", &TTestControl::Color, &TTestControl::SetColor).Default(clBtnFace).Idents(ColorIdents);
    p.Property("Font", &TTestControl::Font, &TTestControl::SetFont);
    p.Property("Lines", &TTestControl::Lines);
    p.Property("Items", &TTestControl::Items);
    p.Property("Buddy", &TTestControl::Buddy, &TTestControl::SetBuddy);
    p.Property("Ratio", &TTestControl::Ratio).Default(0.0);
    p.Property("Big", &TTestControl::Big).Default(0);
    p.Property("Small", &TTestControl::Small).Default(0);
    p.Property("Letter", &TTestControl::Letter).Default('x');
    p.Property("OnClick", &TTestControl::OnClick);
    p.Property("OnChange", &TTestControl::OnChange);
}

TTestControl::TTestControl(TComponent *AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TTestFont>()), FLines(std::make_unique<TStringList>()),
      FItems(std::make_unique<TTestItems>(this)) {}

TTestControl::~TTestControl() = default;

void TTestControl::SetCaption(const std::string &Value) {
    FCaption = Value;
    Log.push_back("caption " + Name() + " " + States(*this));
}

void TTestControl::SetBuddy(TTestControl *Value) {
    if (FBuddy == Value) return;
    if (FBuddy) RemoveFreeNotification(FBuddy);
    FBuddy = Value;
    if (FBuddy) FreeNotification(FBuddy);
}

void TTestControl::Notification(TComponent *AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy) FBuddy = nullptr;
}

void TTestControl::Loaded() {
    std::string others;
    if (Owner())
        for (int i = 0; i < Owner()->ComponentCount(); ++i)
            others += " " + Owner()->Components(i)->Name() + ":" + States(*Owner()->Components(i));
    inherited::Loaded();
    Log.push_back("loaded " + Name() + " " + States(*this) + " |" + others);
}

VCL_PUBLISHED(TTestButton, p) {
    p.Property("Width", &TTestButton::Width, &TTestButton::SetWidth).Default(75);
}

VCL_PUBLISHED(TTestForm, p) {
    p.Field("Button1", &TTestForm::Button1);
    p.Field("Panel1", &TTestForm::Panel1);
    p.Field("Label1", &TTestForm::Label1);
    p.Method<&TTestForm::Button1Click>("Button1Click");
    p.Method<&TTestForm::FormChange>("FormChange");
}

void TTestForm::Button1Click(TObject *) { ++Clicks; }

void TTestForm::FormChange(TObject *, int Value) { Changed += Value; }

} // namespace vcl::test
