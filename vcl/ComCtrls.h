#pragma once
// Controls built on the system's common controls.
#include "Controls.h"
#include "RefreshGate.h"

namespace vcl {

// A progress bar: a superclass of msctls_progress32 with a 32-bit range.
//
// The bar keeps Min, Max, Position and Step itself and brings its window up
// to date when messages are pumped (or the loop goes idle), at most once per
// display frame: a loop that steps it after every byte would otherwise spend
// most of its time redrawing a bar that moved by less than a pixel. A step
// only changes numbers; it asks no clock. Reading Position always gives the
// exact value.
class TProgressBar : public TWinControl {
    VCL_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent *AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    // Raises EInvalidOperation when AMax is below AMin; Position is kept in range.
    void SetRange(int AMin, int AMax);
    int Position() const { return FPosition; }
    // Kept within Min and Max.
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value);
    // Advances Position by Step; past Max it starts over from Min, as the
    // system's bar does.
    void StepIt();
    // Brings the window up to date at once, whatever the frame: for a value
    // that must reach the screen before it changes again (a full bar about
    // to be set back). A pump then paints it.
    void ShowNow();

    void FlushWindowUpdate() override;

protected:
    void CreateParams(TCreateParams &Params) override;
    void InitializeWnd() override;

private:
    void Changed();
    void SyncWindow();
    // The window shows an older state and the pump has been asked to update it.
    bool FWindowBehind = false;

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    // What the window shows; meaningful while it exists.
    int FShownMin = 0;
    int FShownMax = 0;
    int FShownPosition = 0;
    int FShownStep = 0;
    TRefreshGate FGate{kDisplayFrameMs};
};

} // namespace vcl
