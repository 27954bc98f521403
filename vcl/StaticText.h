#pragma once
// TStaticText: a line of text in a window of its own (a superclass of the
// system's STATIC), so that it can sit over other windows and take part in
// tab order. Its bevel is drawn by the system as an edge of 2 px around the
// client area whenever BevelKind is not bkNone; BevelInner and BevelOuter
// only tell the cut of that edge (they are what a skin reads to choose its
// look). Windows only.
#include "Controls.h"
#include "TypInfo.h"

namespace vcl {

VCL_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
VCL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)

class TStaticText : public TWinControl {
    VCL_CLASS(TStaticText, TWinControl)
public:
    explicit TStaticText(TComponent *AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);

protected:
    void CreateParams(TCreateParams &Params) override;

private:
    TAlignment FAlignment = taLeftJustify;
    TBevelKind FBevelKind = bkNone;
    TBevelCut FBevelInner = bvRaised;
    TBevelCut FBevelOuter = bvLowered;
};

} // namespace vcl
