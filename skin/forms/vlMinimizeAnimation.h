#pragma once
// The minimize and restore animation of a skinned form: a snapshot of the
// form shrinks and fades into the taskbar (its button, or the taskbar's
// edge), or grows back out of it to the form's place, shown in a layered
// snapshot window while the form itself is layered and fully transparent.
// Runs on a TvlMinTimer, a 10-ms timer of the GUI thread that the provider
// keeps while the form may be restored. Windows only.
#include <windows.h>

#include <memory>

#include "skin/manager/vlAnimFrames.h"
#include "skin/manager/vlThdTimer.h"
#include "vcl/Types.h"

namespace vcl {
class TBitmap;
class TForm;
}

namespace skin {

class TsSkinProvider;

class TvlMinTimer : public TvlThreadedTimer {
    VCL_CLASS(TvlMinTimer, TvlThreadedTimer)
public:
    TvlMinTimer(vcl::TComponent *AOwner, TsSkinProvider *Provider);
    ~TvlMinTimer() override;

    // The flight from the form's place as it is now, and a snapshot window.
    void Init();
    // One step of the run the direction says.
    void Tick(vcl::TObject *Sender = nullptr);
    // A minimize's first step, run before the system minimizes the form:
    // its end, if it comes to one, waits for the next tick.
    void FirstStep();
    // The target found again (the taskbar moved); a minimized image that
    // waits there for its restore waits at the new target.
    void Retarget();
    // The window the picture flies in: the border form's when the form has
    // one, else the snapshot form's; null when there is none.
    HWND SnapshotWindow() const;

    // False: minimizing; true: the timer holds the minimized form's image.
    bool Restoring = false;
    int TargetAlpha = 255;
    vcl::TRect FormRect{};
    vcl::TRect TargetRect{};
    TvlMinimizeFlight Flight{{}, {}, 0, 255};
    std::unique_ptr<vcl::TBitmap> Snapshot;
    std::unique_ptr<vcl::TBitmap> Work;
    std::unique_ptr<vcl::TForm> SnapshotForm;  // without a border form

private:
    void Show(double Alpha);
    void EndMinimize();
    void EndRestore();

    TsSkinProvider *FProvider;  // not owned
    HWND FForm = nullptr;
    bool FInTick = false;
    bool FHoldEnd = false;
};

// The screen rectangle of the application's button on the taskbar; empty
// when the shell has none to give (no taskbar, another bitness, no rights).
vcl::TRect FindTaskbarButtonRect();

} // namespace skin
