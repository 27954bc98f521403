#pragma once
// Blend on moving: a skinned form turns translucent while the user drags
// it and opaque again when the drag ends. The form is made layered and its
// alpha lowered a step every 10 ms by a TvlMoveTimer; the forms glued to it
// follow its alpha. A form with an extended border is dragged as its border
// window, which shows the frame image at the falling alpha, and the form
// joins it where the drag ended. The provider starts it when a caption drag begins
// (StartBlendOnMoving) and ends it (EndBlendOnMoving). Windows only.
#include <windows.h>

#include "skin/manager/vlThdTimer.h"

namespace skin {

class TsSkinProvider;

class TvlMoveTimer : public TvlThreadedTimer {
    VCL_CLASS(TvlMoveTimer, TvlThreadedTimer)
public:
    // Every 10 ms once enabled, for Provider's form.
    TvlMoveTimer(vcl::TComponent *AOwner, TsSkinProvider *Provider);

    // One tick: the form (and its glued forms) at the current alpha, which
    // then falls by Step toward the target.
    void Tick(vcl::TObject *Sender = nullptr);

    int TargetAlpha = 255;
    double Step = 0;
    double CurrentAlpha = 255;
    HWND FormWindow = nullptr;
    // The drag runs through the provider's border window.
    bool ThroughBorder = false;

private:
    TsSkinProvider *FProvider;  // not owned
};

} // namespace skin
