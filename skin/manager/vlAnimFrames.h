#pragma once
// The numbers of the layered form animations, apart from any window: the
// frames of a show, hide or skin-change fade (constant alpha and where the
// snapshot lies in the frame image), the old image's fade-out over a
// bordered form's skin change, the mixing weights of the fade without
// layered windows, the minimize flight, the blend on moving and the fade of
// a caption button. Both builds.
#include <cstdint>
#include <vector>

#include "vcl/BitmapView.h"
#include "vcl/Types.h"

namespace skin {

// Rounds to the nearest integer, halves to the even neighbour.
int RoundEven(double Value);

// What one frame shows: the snapshot at a constant alpha, either copied 1:1
// (Copy; a fade copies only on its first frame) or stretched into Place.
struct TvlAnimFrame {
    std::uint8_t Alpha = 0;
    bool Copy = false;
    bool Stretch = false;
    vcl::TRect Place{};  // Stretch: left, top, right, bottom in the frame image
};

// Src scaled into Place of Dst (32-bit pixels), each pixel taken from the
// source pixel under its centre (nearest neighbour, as a COLORONCOLOR
// stretch); what of Place lies outside Dst is left out. A zoom frame is
// drawn this way: the platform's stretch costs several times as much.
void StretchNearest(const vcl::TBitmapView &Dst, const vcl::TRect &Place, const vcl::TBitmapView &Src);

// The frames of one show or hide animation: Steps + 1 of them (none when
// Steps < 1). Show: the alpha rises from Target / Steps to Target (a dialog
// divides by Steps + 1); zoom grows the image from three quarters of its
// size, centred. Hide: the alpha falls from Target - Target / Steps to 0;
// zoom shrinks it toward three quarters.
class TvlFrameSequence {
public:
    static TvlFrameSequence Show(int Width, int Height, int Steps, int Target, bool Zoom, bool Dialog = false);
    static TvlFrameSequence Hide(int Width, int Height, int Steps, int Target, bool Zoom);

    int Steps() const { return FSteps; }
    // Frames left to show.
    bool Done() const { return FFrame > FSteps; }
    // The next frame (Done afterwards once all are shown).
    TvlAnimFrame Next();

private:
    bool FShow = true;
    bool FZoom = false;
    int FSteps = 0;
    int FFrame = 0;
    double FTarget = 0, FAlpha = 0, FAlphaStep = 0;
    double FLeft = 0, FTop = 0, FRight = 0, FBottom = 0, FDX = 0, FDY = 0;
};

// The alpha of a bordered form's old image while its new image shows at
// FrameAlpha of Target: 3 x (Target - FrameAlpha), within 0..255, so that
// the old image is gone after the first third of the fade.
std::uint8_t OldImageAlpha(int Target, int FrameAlpha);

// The weights (255 = the old image) of the frames of the fade without
// layered windows: from 255 down by 255 div Steps while not negative, at
// most Steps + 1 of them; none when Steps < 1.
std::vector<int> MixWeights(int Steps);

// ---------------------------------------------------------------- minimize

// The screen edge a taskbar lies at (1 left, 2 top, 4 right, 8 bottom) by
// its window rectangle.
int TaskbarEdge(const vcl::TRect &Taskbar);
// The point on that edge opposite the form's centre, as an empty rectangle.
vcl::TRect EdgeTarget(int Edge, const vcl::TRect &Taskbar, vcl::TPoint FormCentre);

// The flight of a form into its taskbar button (or the taskbar's edge) and
// back: the alpha it starts at, the steps, and where the snapshot is after
// each step.
struct TvlMinimizeFlight {
    // Alpha: the form's own alpha; Later: major version 6 or later;
    // Composition: the desktop compositor runs; Time: Minimizing.Time.
    static int TargetAlpha(int Alpha, bool Later, bool Composition, int Time);
    TvlMinimizeFlight(const vcl::TRect &Form, const vcl::TRect &Target, int Time, int TargetAlpha);

    int Steps = 1;
    double AlphaStep = 0;
    double Left = 0, Top = 0, Right = 0, Bottom = 0, Alpha = 0;
    double MoveX = 0, MoveY = 0, ShrinkX = 0, ShrinkY = 0;

    // One step toward the target (Back: toward the form); the alpha falls
    // (rises up to Limit) by AlphaStep.
    void Step(bool Back, int Limit);
    // The snapshot's place in a work image of the form's size, and the
    // window's top-left on the screen.
    vcl::TRect PlaceInWork(int WorkWidth, int WorkHeight) const;
    vcl::TPoint WindowOrigin(int WorkWidth, int WorkHeight) const;
};

// --------------------------------------------------------- blend on moving

// The alpha step per 10-ms tick of a blend from 255 to Target over Time ms.
double BlendStep(int Target, int Time);

// ------------------------------------------------------------ button fades

// The steps of a caption button's fade: a layer over the button shows the
// new state's picture at a rising (fade in) or falling (fade out) alpha,
// one step per 10-ms tick. What each call asks of the layer:
enum TvlFadeAction { faNothing, faShow, faRemove };
struct TvlFadeCommand {
    TvlFadeAction Action = faNothing;
    int Alpha = 0;
    bool Done = false;  // the fade in has come to its end (the mouse is then checked)
};

struct TvlButtonFade {
    int Step = 0;
    int State = 0;      // shown: 0 normal, 1 hot, 2 pressed; -1 after a finished fade out
    int MaxSteps = 1;   // -1 once a fade in has completed
    bool FadingIn = false;
    bool TimerOn = false;
    // A title-bar item's twin: its timer runs after every start (a one-step
    // fade in still frees the look it replaced on the tick), and its fade
    // out starts from the opaque picture.
    bool ItemRules = false;

    // 255 div MaxSteps; 0 unless MaxSteps is positive.
    int Inc() const { return MaxSteps > 0 ? 255 / MaxSteps : 0; }
    // Re-armed for Steps steps (a completed fade in counts down from them).
    void Arm(int Steps);
    // Toward NewState: a fade in for a non-zero state, else a fade out.
    TvlFadeCommand Start(int NewState, bool FadeIn);
    // One timer tick.
    TvlFadeCommand Tick();
};

} // namespace skin
