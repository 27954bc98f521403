#pragma once
// The layered form animations. A skinned form (or dialog) is not shown or
// hidden at once: its finished image is rendered off-screen into a 32-bit
// snapshot that a separate layered window fades in (or grows from the
// middle), and only then does the real window draw itself in the same
// place; a hide runs the reverse from its last image on a 10-ms timer. A
// skin change fades each visible form from its old look to its new one.
// The manager module's start-up registers these as the form-animation
// service (sSkinServices.h).
//
// Frames lie at least 10 ticks apart: a show or a skin-change fade waits
// on the tick count without sleeping and without processing messages.
// Every layered call goes through LayeredWindowFunctions (vlGraphUtils.h),
// which tests replace to see the frames. Windows only; UI thread only.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "sSkinServices.h"
#include "vlAnimFrames.h"
#include "vlThdTimer.h"
#include "vcl/Forms.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TvlAnimDialog;

// The tag of the library's auxiliary windows.
inline constexpr std::intptr_t AuxiliaryWindowTag = 256;

// With On and layered windows: the window gets WS_EX_LAYERED (true only
// when that was added) and the alpha. Otherwise the window is hidden
// without a redraw, activation or move and loses WS_VISIBLE and
// WS_EX_LAYERED (a window whose WS_VISIBLE only the style cleared would
// stay on the screen); false.
bool SetLayeredAlpha(HWND Window, bool On, std::uint8_t Alpha);
// Shows a 32-bit image (null: a transparent one of the window's size) in a
// window at a constant alpha, its top-left at Place (null: where the window
// is). A window that was not layered yet becomes layered without showing
// its old content.
void ShowLayeredBitmap(HWND Window, vcl::TBitmap *Bitmap, std::uint8_t Alpha, const POINT *Place = nullptr);

// One frame of an animation: Snapshot drawn into Frame as F says (Clear:
// what the image leaves of Frame made black, as a zoomed hide needs) and
// Frame shown in the layered Window at F's alpha. Drawn: where Frame holds
// an image, kept up to date (null: anywhere), so that a shrinking image
// clears only the ring it leaves. Nothing is allocated.
void PresentFrame(HWND Window, HDC Screen, vcl::TBitmap &Snapshot, vcl::TBitmap &Frame, const TvlAnimFrame &F,
                  bool Clear, vcl::TRect *Drawn = nullptr);

// The show animation: the form's window exists and is about to become
// visible; on return it is visible and redrawn, and the provider's
// OnAfterAnimation has heard aeShowing. Mode: atAero (1) zooms, else fades.
void AnimShowForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, int Mode);
// The hide animation of a form just hidden, by its manager's FormHide.
void AnimHideForm(TvlFormProvider &Provider);
// The dialog twins, by the default manager's DialogShow and the dialog's
// manager's DialogHide.
void AnimShowDialog(TvlAnimDialog &Dialog, int Time, std::uint8_t Alpha, int Mode);
void AnimHideDialog(TvlAnimDialog &Dialog);
// The common hide: Window shows Snapshot fading (or shrinking) out over
// Time ms; both are taken over. EventWindow: the form whose provider hears
// aeHiding once it ends (also when the next hide cuts it short); null for
// none. A Time below 10 ms plays nothing and tells nothing. While the
// application terminates all frames run before the return.
void RunHideAnimation(std::unique_ptr<vcl::TForm> Window, std::unique_ptr<vcl::TBitmap> Snapshot, int Time,
                      std::uint8_t Alpha, int Mode, HWND EventWindow);

// The skin-change fade of one form (Aero: the new image grows from three
// quarters of its size). Without layered windows the output window covers
// the form with its old image and the fade mixes old and new in it.
void AnimateSkinChangeOfForm(TvlFormProvider &Provider, int Time, std::uint8_t Alpha, bool Aero);
// Covers Form with the output window showing Form's current screen image:
// on the screen, or, for a form inside a control, in that control right
// above the form.
void ShowOutputWindowOver(vcl::TCustomForm *Form);

// The window of the hide frames, and the images they are made of.
class TvlHideTimer : public TvlThreadedTimer {
    VCL_CLASS(TvlHideTimer, TvlThreadedTimer)
public:
    explicit TvlHideTimer(vcl::TComponent *AOwner);
    // An after-animation event not yet fired is fired here.
    ~TvlHideTimer() override;

    // One frame, or the end once all are shown (the event, the window and
    // the images go).
    void Step(vcl::TObject *Sender = nullptr);
    // The hidden form's provider hears aeHiding, once per hide.
    void FireAfterAnimation();
    // The window shows the frames; null between hides.
    vcl::TForm *Window() const { return FWindow.get(); }

private:
    friend void RunHideAnimation(std::unique_ptr<vcl::TForm>, std::unique_ptr<vcl::TBitmap>, int, std::uint8_t, int,
                                 HWND);
    void Finish();

    HWND FEventWindow = nullptr;
    bool FEventFired = true;
    std::unique_ptr<vcl::TForm> FWindow;
    std::unique_ptr<vcl::TBitmap> FSnapshot;
    std::unique_ptr<vcl::TBitmap> FWork;
    vcl::TRect FDrawn{};  // where FWork holds an image
    TvlFrameSequence FFrames;
    bool FZoom = false;
};
// The module's hide timer, made on the first hide with the application as
// its owner and kept; null before, and after its owner freed it.
TvlHideTimer *HideTimer();

// A window that shows nothing by itself: whatever the screen showed under
// it stays until something is drawn into its window DC.
class TOutputWindow : public vcl::TForm {
    VCL_CLASS(TOutputWindow, vcl::TForm)
public:
    explicit TOutputWindow(vcl::TComponent *AOwner);
    ~TOutputWindow() override;

protected:
    void CreateParams(vcl::TCreateParams &Params) override;
    void WndProc(vcl::TMessage &Message) override;
};
// The module's output window, made on first need with the application as
// its owner and kept; null before, and after its owner freed it.
TOutputWindow *OutputWindow();
// The old screen image the output window covered its form with last; null
// before the first.
const vcl::TBitmap *OutputWindowImage();

// The manager module's start-up and end: the service registered, and the
// hide timer, output window and old image freed.
void InitializeFormAnimationsModule();
void FinalizeFormAnimationsModule();

} // namespace skin
