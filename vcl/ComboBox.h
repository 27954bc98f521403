#pragma once
// A combo box: a superclass of the system's COMBOBOX. Its items live in
// the window while it has one (and in the control otherwise); the command
// and draw notifications its parent gets come back to it reflected: a new
// selection runs OnChange, an owner-drawn item runs OnDrawItem with the
// control's canvas on the item's DC.
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "StringList.h"

namespace vcl {

VCL_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

class TComboBox;
class TCanvas;

// Index, the item's rectangle and its ODS_ state bits.
using TDrawItemEvent = TMethod<void(TWinControl *Control, int Index, const TRect &Rect, unsigned State)>;

class TComboBoxStrings : public TStrings {
    VCL_CLASS(TComboBoxStrings, TStrings)
public:
    explicit TComboBoxStrings(TComboBox *Combo) : FCombo(Combo) {}
    int Count() const override;
    std::string Strings(int Index) const override;
    void Insert(int Index, const std::string &S) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    friend class TComboBox;
    TComboBox *FCombo;                // not owned: the combo owns this list
    std::vector<std::string> FStored;  // while the combo has no window
};

class TComboBox : public TWinControl {
    VCL_CLASS(TComboBox, TWinControl)
public:
    explicit TComboBox(TComponent *AOwner);
    ~TComboBox() override;

    TStrings *Items() const { return FItems.get(); }
    void SetItems(const TStrings *Value) { FItems->Assign(Value); }
    // -1: no item selected.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // A new style makes the window again.
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    // The canvas OnDrawItem draws on.
    TCanvas *Canvas() const { return FCanvas.get(); }

    TNotifyEvent OnChange;
    TDrawItemEvent OnDrawItem;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void DestroyWnd() override;
    void Dispatch(TMessage &Message) override;

private:
    friend class TComboBoxStrings;
    void CNCommand(TMessage &Message);
    void CNDrawItem(TMessage &Message);

    std::unique_ptr<TComboBoxStrings> FItems;
    std::unique_ptr<TCanvas> FCanvas;
    TComboBoxStyle FStyle = csDropDown;
    int FStoredIndex = -1;
};

} // namespace vcl
