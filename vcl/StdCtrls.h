#pragma once
// The standard controls: labels, buttons, edits and memos.
#include <memory>
#include <string>
#include <string_view>

#include "ControlCanvas.h"

namespace vcl {

VCL_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
VCL_ENUM(TEllipsisPosition, epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis)
VCL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

// Text painted by its parent: no window of its own.
class TCustomLabel : public TGraphicControl {
    VCL_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent *AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    // The label takes the size of its text (its height only when WordWrap).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Leaves the background unpainted so that what lies behind shows.
    bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // "&x" underlines x; without it the text is drawn as it is.
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // Where "..." replaces what does not fit; only while AutoSize is off.
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition Value);

protected:
    void Paint() override;
    // Measures with DoDrawText and DT_CALCRECT on a screen DC.
    void AdjustSize() override;
    // DrawText flags for the label's alignment and wrapping.
    UINT TextFlags() const;
    // Draws the caption into Rect of the canvas, or with DT_CALCRECT gives
    // Rect the size it needs. Paint and AdjustSize both come here.
    virtual void DoDrawText(TRect &Rect, UINT Flags);
    // With an EllipsisPosition and AutoSize off: the ellipsis flag into
    // Flags and, for a wrapped text that is taller than the label, Text
    // shortened (whole words first) with "..." after it. Measures with the
    // canvas's font, which the caller has set.
    void ApplyEllipsis(std::string &Text, const TRect &Rect, UINT &Flags);

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    TEllipsisPosition FEllipsisPosition = epNone;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};

// The length of Text after one shortening step of ApplyEllipsis: up to
// its last blank or tab, else without its last character (a whole UTF-8
// sequence, never part of one).
std::size_t EllipsisCut(std::string_view Text);

class TLabel : public TCustomLabel {
    VCL_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent *AOwner) : TCustomLabel(AOwner) {}
};

class TButtonControl : public TWinControl {
    VCL_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent *AOwner);
};

// A push button: a superclass of the system's BUTTON. A click reaches it
// from its parent as CN_COMMAND and runs Click: the form takes ModalResult,
// then OnClick runs.
class TButton : public TButtonControl {
    VCL_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent *AOwner);

    // Return clicks the default button when no other button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Escape clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    void Click() override;

protected:
    void CreateParams(TCreateParams &Params) override;
    void Dispatch(TMessage &Message) override;

private:
    void CNCommand(TMessage &Message);
    void CMDialogKey(TMessage &Message);

    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

class TCustomEdit : public TWinControl {
    VCL_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent *AOwner);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    void Clear() { SetText(std::string()); }

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void Dispatch(TMessage &Message) override;
    virtual void Change();

private:
    bool FReadOnly = false;
    TBorderStyle FBorderStyle = bsSingle;
};

// A single-line edit.
class TEdit : public TCustomEdit {
    VCL_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent *AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo;

// A memo's lines, read from and written to its window while it has one
// (the window is then what holds the text), and to the memo's stored text
// otherwise. Lines are what the text holds between CR LF pairs.
class TMemoStrings : public TStrings {
    VCL_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo *Memo) : FMemo(Memo) {}

    int Count() const override;
    std::string Strings(int Index) const override;
    void SetStrings(int Index, const std::string &S) override;
    void Insert(int Index, const std::string &S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(std::string_view Text) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TCustomMemo *FMemo;  // not owned: the memo owns this list
};

class TCustomMemo : public TCustomEdit {
    VCL_CLASS(TCustomMemo, TCustomEdit)
public:
    explicit TCustomMemo(TComponent *AOwner);
    ~TCustomMemo() override;

    TStrings *Lines() const { return FLines.get(); }
    void SetLines(const TStrings *Value) { FLines->Assign(Value); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void CreateParams(TCreateParams &Params) override;
    bool WantsKey(WPARAM Key) override;

private:
    friend class TMemoStrings;
    std::wstring WideText() const;
    // Replaces the characters [From, To) of the text (UTF-16 positions).
    void ReplaceText(std::size_t From, std::size_t To, const std::wstring &With);

    std::unique_ptr<TMemoStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
    VCL_CLASS(TMemo, TCustomMemo)
public:
    explicit TMemo(TComponent *AOwner) : TCustomMemo(AOwner) {}
};


} // namespace vcl
