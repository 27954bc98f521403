#pragma once
// Controls that hold other controls: a panel with bevels and a caption, a
// group box (a superclass of the system's group-box BUTTON) and a scroll
// box, whose scroll bars bring children outside its client area into view.
// Windows only.
#include "ControlCanvas.h"
#include "StaticText.h"

namespace vcl {

// Bevels are drawn inside the client area, each BevelWidth wide: the outer
// one first, then the inner one; BorderWidth (TWinControl's band) lies
// outside the client area, BorderStyle bsSingle adds the system's edge.
class TPanel : public TCustomControl {
    VCL_CLASS(TPanel, TCustomControl)
public:
    explicit TPanel(TComponent *AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    // At least 1.
    void SetBevelWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // bsNone or bsSingle; any other style counts as bsSingle.
    void SetBorderStyle(TBorderStyle Value);

protected:
    void CreateParams(TCreateParams &Params) override;
    void Paint() override;
    void Dispatch(TMessage &Message) override;

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TBorderStyle FBorderStyle = bsNone;
};

class TGroupBox : public TWinControl {
    VCL_CLASS(TGroupBox, TWinControl)
public:
    explicit TGroupBox(TComponent *AOwner);

protected:
    void CreateParams(TCreateParams &Params) override;
    bool ErasesItself() const override { return true; }
};

// The ranges cover the children's extent (at the current scroll position)
// and follow them when the box is resized or UpdateScrollRange is called; a
// scroll moves every child by the change of position.
class TScrollBox : public TWinControl {
    VCL_CLASS(TScrollBox, TWinControl)
public:
    explicit TScrollBox(TComponent *AOwner);

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TPoint ScrollPosition() const { return FPosition; }
    // Kept within the ranges; moves the children.
    void ScrollTo(TPoint Position);
    void UpdateScrollRange();

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    bool PaintsItself() const override { return true; }
    void Dispatch(TMessage &Message) override;

private:
    void Scroll(int Bar, WPARAM Request);

    TBorderStyle FBorderStyle = bsSingle;
    TPoint FPosition{};
    TSize FExtent{};  // the children's extent from the scrolled origin
};

} // namespace vcl
