#pragma once
// Skinned static texts. TsCustomLabel draws its caption in the skin's font
// colour (mixed with what lies behind when disabled) and can paint a skin
// section behind itself; TsLabel takes its colour from the section that
// lies under it; TsEditLabel is a TsLabel that another component binds (a
// caption beside an edit) and that form descriptions can carry once the
// module has started. Labels have no window: they take part in the skin
// through their parent's questions and the skin commands their parent
// passes on to them. Without a manager or an applied skin they draw as the
// class library's label. Windows only.
#include <string>

#include "vcl/StdCtrls.h"

namespace skin {

class TsSkinManager;

class TsCustomLabel : public vcl::TCustomLabel {
    VCL_CLASS(TsCustomLabel, vcl::TCustomLabel)
public:
    // Transparent, no manager of its own.
    explicit TsCustomLabel(vcl::TComponent *AOwner);
    ~TsCustomLabel() override;

    // The section painted behind the text (its normal state); empty: none.
    // The name is taken as written (section names are upper case).
    const std::string &SkinSection() const { return FSkinSection; }
    void SetSkinSection(const std::string &Value);
    // The label's own manager; null: the default one.
    TsSkinManager *SkinManager() const { return FSkinManager; }
    void SetSkinManager(TsSkinManager *Value);
    // The own manager, else the default manager; null without either.
    TsSkinManager *GetSkinManager() const;

    // The font the text is drawn with: the label's own.
    virtual vcl::TFont *GetCurrentFont() const;
    // The colour of the text while a skin is applied: the skin's font
    // colour, 40 % of it over the parent's background when disabled.
    virtual vcl::TColor GetTextColor();

protected:
    void WndProc(vcl::TMessage &Message) override;
    void Paint() override;
    void DoDrawText(vcl::TRect &Rect, UINT Flags) override;
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;
    // Colour mixed with the parent's background as disabled text is.
    vcl::TColor DisabledTextColor(vcl::TColor Colour) const;

private:
    std::string FSkinSection;
    TsSkinManager *FSkinManager = nullptr;  // not owned; dropped when it goes
    int FSectionIndex = -1;                 // of the paint under way; -1 outside Paint
};

class TsLabel : public TsCustomLabel {
    VCL_CLASS(TsLabel, TsCustomLabel)
public:
    explicit TsLabel(vcl::TComponent *AOwner);

    // The text takes the font colour of the section under the label.
    bool UseSkinColor() const { return FUseSkinColor; }
    void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }

    // With UseSkinColor and an applied skin: the font colour of the
    // section that the parent says lies under the label (the skin's font
    // colour when that is none), mixed when disabled; else Font's colour.
    vcl::TColor GetTextColor() override;

private:
    bool FUseSkinColor = true;
};

class TsEditLabel : public TsLabel {
    VCL_CLASS(TsEditLabel, TsLabel)
public:
    explicit TsEditLabel(vcl::TComponent *AOwner);
    // Clears the binding's flag, unless the binding went first.
    ~TsEditLabel() override;

    // Binding: the component that binds the label; Flag: its Boolean that
    // says it has its label, set to false when the label goes. Both are
    // forgotten when Binding goes first, so nothing is written into it then.
    void SetBinding(vcl::TComponent *Binding, bool *Flag);
    vcl::TComponent *Binding() const { return FBinding; }

protected:
    void Notification(vcl::TComponent *AComponent, vcl::TOperation Operation) override;

private:
    vcl::TComponent *FBinding = nullptr;  // not owned
    bool *FFlag = nullptr;                // not owned: a field of FBinding
};

// Module start-up and end, counted: the first start registers TsEditLabel
// for form descriptions, the end that balances it unregisters it.
void InitializeLabelModule();
void FinalizeLabelModule();

} // namespace skin
