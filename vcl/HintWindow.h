#pragma once
// A hint window: a small popup with a few lines of text, shown near the
// mouse above every other window without taking the focus. Whoever makes
// one owns it; it lives hidden until ActivateHint shows it. Windows only.
#include <string>

#include "ControlCanvas.h"

namespace vcl {

class THintWindow : public TCustomControl {
    VCL_CLASS(THintWindow, TCustomControl)
public:
    // Hidden, in the system's info-tip colours.
    explicit THintWindow(TComponent *AOwner);

    // The window's whole size for Text wrapped at MaxWidth, at (0, 0):
    // the text with its margins and the border.
    virtual TRect CalcHintRect(int MaxWidth, const std::string &Text);
    // Shows Text with the window at Rect (screen coordinates), topmost and
    // without activating it.
    virtual void ActivateHint(const TRect &Rect, const std::string &Text);

protected:
    // A bordered popup owned by the application's window.
    void CreateParams(TCreateParams &Params) override;
    void Paint() override;
};

} // namespace vcl
