#include "vlAnimFrames.h"

#include <algorithm>
#include <cmath>

namespace skin {

int RoundEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

namespace {

std::uint8_t ToAlpha(double Value) { return static_cast<std::uint8_t>(std::clamp(RoundEven(Value), 0, 255)); }

} // namespace

// ------------------------------------------------------------------ frames

TvlFrameSequence TvlFrameSequence::Show(int Width, int Height, int Steps, int Target, bool Zoom, bool Dialog) {
    TvlFrameSequence s;
    s.FShow = true;
    s.FZoom = Zoom;
    s.FSteps = std::max(Steps, 0);
    s.FTarget = Target;
    if (Steps < 1) {
        s.FFrame = 1;  // nothing to show: the caller shows the image at the target
        return s;
    }
    s.FAlphaStep = Target / static_cast<double>(Dialog ? Steps + 1 : Steps);
    if (Zoom) {
        // The image starts at three quarters of its size, centred.
        s.FLeft = Width / 8.0, s.FTop = Height / 8.0;
        s.FRight = Width - s.FLeft, s.FBottom = Height - s.FTop;
        s.FDX = (Width / 8.0) / Steps, s.FDY = (Height / 8.0) / Steps;
    }
    return s;
}

TvlFrameSequence TvlFrameSequence::Hide(int Width, int Height, int Steps, int Target, bool Zoom) {
    TvlFrameSequence s;
    s.FShow = false;
    s.FZoom = Zoom;
    s.FSteps = std::max(Steps, 0);
    s.FTarget = Target;
    s.FAlpha = Target;
    if (Steps < 1) {
        s.FFrame = 1;
        return s;
    }
    s.FAlphaStep = Target / static_cast<double>(Steps);
    if (Zoom) {
        s.FRight = Width, s.FBottom = Height;
        s.FDX = -Width / (Steps * 8.0), s.FDY = -Height / (Steps * 8.0);
    }
    return s;
}

TvlAnimFrame TvlFrameSequence::Next() {
    TvlAnimFrame f;
    if (FShow) {
        FAlpha = std::min(FAlpha + FAlphaStep, FTarget);
    } else {
        FAlpha = FAlpha - FAlphaStep > 0 ? FAlpha - FAlphaStep : 0;
    }
    f.Alpha = ToAlpha(FAlpha);
    if (FZoom) {
        if (FLeft >= 0 && FTop >= 0) {
            f.Stretch = true;
            const int left = RoundEven(FLeft), top = RoundEven(FTop);
            f.Place = {left, top, left + RoundEven(FRight - FLeft), top + RoundEven(FBottom - FTop)};
        } else {
            f.Copy = true;
        }
        // Show: left and top fall, right and bottom rise (dx > 0); a hide's
        // negative dx shrinks the image the same way.
        FLeft -= FDX, FTop -= FDY, FRight += FDX, FBottom += FDY;
    } else if (FLeft == 0) {
        f.Copy = true;  // once: later frames only change the alpha
        FLeft = 1;
    }
    ++FFrame;
    return f;
}

std::uint8_t OldImageAlpha(int Target, int FrameAlpha) {
    return static_cast<std::uint8_t>(std::clamp(3 * (Target - FrameAlpha), 0, 255));
}

std::vector<int> MixWeights(int Steps) {
    std::vector<int> weights;
    if (Steps < 1) return weights;
    const int d = 255 / Steps;
    for (int i = 0, a = 255; i <= Steps && a >= 0; ++i, a -= d) weights.push_back(std::max(a, 0));
    return weights;
}

// ---------------------------------------------------------------- minimize

int TaskbarEdge(const vcl::TRect &Taskbar) {
    if (Taskbar.Top != 0) return Taskbar.Left >= -4 && Taskbar.Left <= 0 ? 8 : 4;
    if (Taskbar.Left == 0) return Taskbar.Width() > Taskbar.Height() ? 2 : 1;
    return 4;
}

vcl::TRect EdgeTarget(int Edge, const vcl::TRect &Taskbar, vcl::TPoint C) {
    switch (Edge) {
    case 1: return {Taskbar.Right, C.Y, Taskbar.Right, C.Y};
    case 2: return {C.X, Taskbar.Bottom, C.X, Taskbar.Bottom};
    case 8: return {C.X, Taskbar.Top, C.X, Taskbar.Top};
    default: return {Taskbar.Left, C.Y, Taskbar.Left, C.Y};
    }
}

int TvlMinimizeFlight::TargetAlpha(int Alpha, bool Later, bool Composition, int Time) {
    // Without the compositor nothing shows through: a quarter would only darken.
    if ((Later && !Composition) || Time < 11) return Alpha;
    return Alpha >> 2;
}

TvlMinimizeFlight::TvlMinimizeFlight(const vcl::TRect &Form, const vcl::TRect &Target, int Time, int TargetAlpha)
    : Steps(std::max(1, Time / 10)),
      AlphaStep(TargetAlpha / static_cast<double>(std::max(1, Steps - 1))),
      Left(Form.Left), Top(Form.Top), Right(Form.Right), Bottom(Form.Bottom), Alpha(TargetAlpha) {
    const int fx = (Form.Left + Form.Right) / 2, fy = (Form.Top + Form.Bottom) / 2;
    const int tx = (Target.Left + Target.Right) / 2, ty = (Target.Top + Target.Bottom) / 2;
    MoveX = (tx - fx) / static_cast<double>(Steps);
    MoveY = (ty - fy) / static_cast<double>(Steps);
    ShrinkX = (Form.Width() - Target.Width()) / (2.0 * Steps);
    ShrinkY = (Form.Height() - Target.Height()) / (2.0 * Steps);
}

void TvlMinimizeFlight::Step(bool Back, int Limit) {
    const double sign = Back ? -1 : 1;
    Left += sign * (MoveX + ShrinkX), Right += sign * (MoveX - ShrinkX);
    Top += sign * (MoveY + ShrinkY), Bottom += sign * (MoveY - ShrinkY);
    Alpha = Back ? std::min(Alpha + AlphaStep, static_cast<double>(Limit)) : std::max(Alpha - AlphaStep, 0.0);
}

vcl::TRect TvlMinimizeFlight::PlaceInWork(int WorkWidth, int WorkHeight) const {
    const double w = std::max(0.0, Right - Left), h = std::max(0.0, Bottom - Top);
    const int x = RoundEven(WorkWidth - w) / 2, y = RoundEven(WorkHeight - h) / 2;
    return {x, y, x + RoundEven(w), y + RoundEven(h)};
}

vcl::TPoint TvlMinimizeFlight::WindowOrigin(int WorkWidth, int WorkHeight) const {
    const double w = std::max(0.0, Right - Left), h = std::max(0.0, Bottom - Top);
    return {RoundEven(Left + w / 2) - WorkWidth / 2, RoundEven(Top + h / 2) - WorkHeight / 2};
}

// --------------------------------------------------------- blend on moving

double BlendStep(int Target, int Time) {
    if (Time < 11) return 255 - Target;
    return (255 - Target) / (Time / 10.0);
}

// ------------------------------------------------------------ button fades

void TvlButtonFade::Arm(int Steps) {
    // A completed fade in counts its fade out down from the full count.
    if (MaxSteps == -1) Step = Steps;
    MaxSteps = Steps;
}

TvlFadeCommand TvlButtonFade::Start(int NewState, bool FadeIn) {
    if (NewState == State) return {};
    if (NewState != 0) {
        State = NewState;
        Step = 1;
        FadingIn = FadeIn;
        Step = 2;
        TimerOn = ItemRules || MaxSteps > 1;
        return {faShow, std::min(255, Inc())};
    }
    // The fade out starts where the picture stands (a completed fade in of
    // ten steps shows 250 first) and always needs the timer to end.
    State = 0;
    FadingIn = false;
    const int alpha = ItemRules ? 255 : std::clamp(Inc() * Step, 0, 255);
    Step -= 1;
    TimerOn = true;
    return {faShow, alpha};
}

TvlFadeCommand TvlButtonFade::Tick() {
    if (!TimerOn) return {};
    if (FadingIn) {
        if (Step < MaxSteps) {
            const int alpha = Step < 1 ? 0 : std::min(255, Inc() * Step);
            ++Step;
            return {faShow, alpha};
        }
        TvlFadeCommand done{faNothing, 255, true};
        if (MaxSteps != -1) {
            MaxSteps = -1;
            done.Action = faShow;
        }
        return done;
    }
    if (Step > 0) {
        const int alpha = std::min(255, Inc() * Step);
        --Step;
        return {faShow, alpha};
    }
    State = -1;
    TimerOn = false;
    return {faRemove, 0};
}

void StretchNearest(const vcl::TBitmapView &Dst, const vcl::TRect &Place, const vcl::TBitmapView &Src) {
    const int dw = Place.Width(), dh = Place.Height();
    if (dw <= 0 || dh <= 0 || !Dst.HasRows() || !Src.HasRows() || Src.Width <= 0) return;
    const int x0 = std::max(Place.Left, 0), x1 = std::min(Place.Right, Dst.Width);
    const int y0 = std::max(Place.Top, 0), y1 = std::min(Place.Bottom, Dst.Height);
    if (x1 <= x0 || y1 <= y0) return;
    // 16.16 fixed point steps through the source, from the first pixel's centre.
    const std::int64_t stepX = (static_cast<std::int64_t>(Src.Width) << 16) / dw;
    const std::int64_t stepY = (static_cast<std::int64_t>(Src.Height) << 16) / dh;
    const std::int64_t startX = stepX / 2 + stepX * (x0 - Place.Left);
    for (int y = y0; y < y1; ++y) {
        const std::int64_t sy = (stepY / 2 + stepY * (y - Place.Top)) >> 16;
        const std::uint32_t *from = Src.Row32(static_cast<int>(std::min<std::int64_t>(sy, Src.Height - 1)));
        std::uint32_t *to = Dst.Row32(y);
        std::int64_t sx = startX;
        const int last = Src.Width - 1;
        for (int x = x0; x < x1; ++x, sx += stepX) to[x] = from[std::min(static_cast<int>(sx >> 16), last)];
    }
}

} // namespace skin
