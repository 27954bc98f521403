#pragma once
// Published classes for the property registry and form tests: a control
// with properties of every kind, a sub-object, a collection with binary
// item data, and a form with component fields and handlers. Each records
// what happens to it in a shared log.
#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/TypInfo.h"
#include "vcl/Types.h"

namespace vcl::test {

extern std::vector<std::string> Log;

VCL_ENUM(TTestStyle, tsFlat, tsRaised, tsLowered)
VCL_ENUM(TTestOption, toWide, toTall, toBold)
using TTestOptions = TSet<TTestOption>;

class TTestFont : public TPersistent {
    VCL_CLASS(TTestFont, TPersistent)
public:
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value) { FName = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TTestOptions Style() const { return FStyle; }
    void SetStyle(TTestOptions Value) { FStyle = Value; }
    void Assign(const TPersistent *Source) override;

private:
    int FHeight = -11;
    std::string FName = "Tahoma";
    TColor FColor = clWindowText;
    TTestOptions FStyle;
};

class TTestItem : public TCollectionItem {
    VCL_CLASS(TTestItem, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    const std::string &Name() const { return FName; }
    void SetName(const std::string &Value) { FName = Value; }
    std::int16_t Value = 5;
    TMemoryStream Data;  // stored as the binary block "Data"
    void DefineProperties(TFiler &Filer) override;

private:
    std::string FName;
};

class TTestItems : public TCollection {
    VCL_CLASS(TTestItems, TCollection)
public:
    explicit TTestItems(TPersistent *Owner) : TCollection(TTestItem::StaticClassInfo(), Owner) {}
    TTestItem *Items(int Index) const { return static_cast<TTestItem *>(TCollection::Items(Index)); }
    int Updates = 0;

protected:
    void Update(TCollectionItem *) override { ++Updates; }
};

class TTestControl : public TComponent {
    VCL_CLASS(TTestControl, TComponent)
public:
    explicit TTestControl(TComponent *AOwner);
    ~TTestControl() override;

    const std::string &Caption() const { return FCaption; }
    void SetCaption(const std::string &Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    TTestStyle Style() const { return FStyle; }
    void SetStyle(TTestStyle Value) { FStyle = Value; }
    TTestOptions Options() const { return FOptions; }
    void SetOptions(TTestOptions Value) { FOptions = Value; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TTestFont *Font() const { return FFont.get(); }
    void SetFont(TTestFont *Value) { FFont->Assign(Value); }
    TStringList *Lines() const { return FLines.get(); }
    TTestItems *Items() const { return FItems.get(); }
    TTestControl *Buddy() const { return FBuddy; }
    void SetBuddy(TTestControl *Value);

    double Ratio = 0;
    std::int64_t Big = 0;
    std::uint8_t Small = 0;
    char Letter = 'x';
    TNotifyEvent OnClick;
    TMethod<void(TObject *Sender, int Value)> OnChange;

    TComponent *Parent = nullptr;
    bool HasParent() const override { return true; }
    TComponent *GetParentComponent() const override { return Parent; }
    void SetParentComponent(TComponent *Value) override { Parent = Value; }

    void Notification(TComponent *AComponent, TOperation Operation) override;
    void Loaded() override;

private:
    std::string FCaption;
    int FWidth = 64;
    bool FVisible = true;
    TTestStyle FStyle = tsFlat;
    TTestOptions FOptions{toWide};
    TColor FColor = clBtnFace;
    std::unique_ptr<TTestFont> FFont;
    std::unique_ptr<TStringList> FLines;
    std::unique_ptr<TTestItems> FItems;
    TTestControl *FBuddy = nullptr;
};

// A control that publishes nothing of its own and changes a default.
class TTestButton : public TTestControl {
    VCL_CLASS(TTestButton, TTestControl)
public:
    explicit TTestButton(TComponent *AOwner) : TTestControl(AOwner) { SetWidth(75); }
};

class TTestForm : public TTestControl {
    VCL_CLASS(TTestForm, TTestControl)
public:
    using TTestControl::TTestControl;

    TTestButton *Button1 = nullptr;
    TTestControl *Panel1 = nullptr;
    TTestControl *Label1 = nullptr;

    void Button1Click(TObject *Sender);
    void FormChange(TObject *Sender, int Value);
    int Clicks = 0;
    int Changed = 0;
};

} // namespace vcl::test
