#pragma once
// A stand-alone scroll bar: a superclass of the system's SCROLLBAR. The
// scroll messages its parent gets come back to it reflected; it moves its
// own position by a line (1), a page (PageSize, at least 1) or to where the
// thumb was dragged, never outside Min .. Max less the page but one.
#include "Controls.h"

namespace vcl {

VCL_ENUM(TScrollBarKind, sbHorizontal, sbVertical)

class TScrollBar : public TWinControl {
    VCL_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent *AOwner);

    // A new kind turns the control: width and height change places.
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetParams(FPosition, Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetParams(FPosition, FMin, Value); }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { SetParams(Value, FMin, FMax); }
    int PageSize() const { return FPageSize; }
    // At most the range (Max - Min + 1).
    void SetPageSize(int Value);
    // A range whose Max is below Min is refused (EInvalidOperation); the
    // position is kept inside the range.
    void SetParams(int APosition, int AMin, int AMax);

    // After the position changed.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;
    void Dispatch(TMessage &Message) override;

private:
    int LastPosition() const;
    void UpdateScrollInfo();
    void Scroll(TMessage &Message);

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FPageSize = 0;
};

} // namespace vcl
