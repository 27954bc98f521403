#pragma once
// More controls and components: the image and the timer.
#include <memory>

#include "ControlCanvas.h"
#include "Picture.h"

namespace vcl {

// Where an image of PictureSize is drawn inside a control of ClientSize:
// at its own size from the top-left corner, or stretched over the client
// area, or (Proportional) as large as fits without distortion, where an image
// that fits already keeps its size unless stretched; Center centres it.
TRect ImageDestRect(TSize PictureSize, TSize ClientSize, bool Stretch, bool Proportional, bool Center);

// A picture painted by its parent.
class TImage : public TGraphicControl {
    VCL_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent *AOwner);
    ~TImage() override;

    TPicture *Picture() const { return FPicture.get(); }
    void SetPicture(const TPicture *Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // The picture's transparent parts let the parent show through.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The control takes the picture's size.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect() const;

protected:
    void Paint() override;

private:
    void PictureChanged(TObject *Sender);

    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};

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

    TUtilWindow FWindow;
    unsigned FInterval = 1000;
    bool FEnabled = true;
};

} // namespace vcl
