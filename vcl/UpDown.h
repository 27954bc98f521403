#pragma once
// An up-down control: a superclass of the common controls' msctls_updown32,
// two arrow buttons that step a position within a range.
#include "Controls.h"

namespace vcl {

VCL_ENUM(TUDOrientation, udVertical, udHorizontal)

class TUpDown : public TWinControl {
    VCL_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent *AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Read from the window while it exists; kept within Min and Max.
    int Position() const;
    void SetPosition(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    TUDOrientation FOrientation = udVertical;
};

} // namespace vcl
