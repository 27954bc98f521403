#pragma once
// More controls and components: the image and the timer.
#include "Controls.h"

namespace vcl {

// Where an image of PictureSize is drawn inside a control of ClientSize:
// at its own size from the top-left corner, or stretched over the client
// area, or (Proportional) as large as fits without distortion, where an image
// that fits already keeps its size unless stretched; Center centres it.
TRect ImageDestRect(TSize PictureSize, TSize ClientSize, bool Stretch, bool Proportional, bool Center);

// A window timer of the GUI thread: OnTimer runs every Interval
// milliseconds while Enabled (and Interval is not 0).
class TTimer : public TComponent {
    VCL_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent *AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage &Message);

    HWND FWindow = nullptr;  // owned: a utility window
    unsigned FInterval = 1000;
    bool FEnabled = true;
};

} // namespace vcl
