#pragma once
// Painting controls on canvases: the canvas of a control, and the two kinds
// of control that paint themselves on one. A TGraphicControl has no window
// and is painted by its parent, on the parent's window; a TCustomControl
// paints its own window. While they paint, their canvas draws on the DC of
// the paint (TCanvasDCScope); outside a paint it makes a DC of its own,
// which it gives back at idle time and with the window (Canvas.h).
#include <memory>

#include "Canvas.h"
#include "Controls.h"

namespace vcl {

// A control without a window, painted by its parent on the parent's window.
class TGraphicControl : public TControl {
    VCL_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent *AOwner);
    ~TGraphicControl() override;

    // Valid while the control paints; takes the DC its parent hands over.
    TCanvas *Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    void Dispatch(TMessage &Message) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A windowed control that paints itself on a canvas of its window.
class TCustomControl : public TWinControl {
    VCL_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent *AOwner);
    ~TCustomControl() override;

    TCanvas *Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint() {}
    bool PaintsItself() const override { return true; }
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A canvas on a control: a windowed control's window, or the area of a
// graphic control on its parent's window, clipped to the control. The DC is
// made when the canvas is drawn on outside a paint and given back at idle
// time and with the window (see Canvas.h).
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl *AControl) : FControl(AControl) {}
    ~TControlCanvas() override;

    TControl *Control() const { return FControl; }
    // Gives the DC back that CreateHandle took; the next drawing takes a new one.
    void FreeHandle() override;

protected:
    void CreateHandle() override;
    void FreeOwnDC() override;
    // The DC still belongs to the control's window (and, for a graphic
    // control, the control has not moved).
    bool OwnDCCurrent() const override;

private:
    TControl *FControl;  // not owned: the control owns the canvas
    std::unique_ptr<TWindowDC> FDC;
    TRect FBounds;  // of the control when the DC was made
};

// Lends a DC that someone else owns (a paint's) to a canvas for the length
// of a scope; the canvas is locked meanwhile, so that it keeps that DC.
class TCanvasDCScope {
public:
    TCanvasDCScope(TCanvas *Canvas, HDC DC);
    ~TCanvasDCScope();
    TCanvasDCScope(const TCanvasDCScope &) = delete;
    TCanvasDCScope &operator=(const TCanvasDCScope &) = delete;

private:
    TCanvas *FCanvas;  // not owned
    // A control's canvas goes with its control, which the painting inside
    // the scope (the application's) may free.
    bool FOfControl = false;
    TGuarded<TControl> FControl;
};

} // namespace vcl
