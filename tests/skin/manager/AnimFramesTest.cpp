// The numbers of the layered form animations, table-driven: show and hide
// frames (alphas, zoom rectangles), the old image's clamp over a bordered
// skin change, the mixing weights, the minimize flight, the blend step and
// a caption button's fade.
#include <gtest/gtest.h>

#include <vector>

#include "skin/manager/vlAnimFrames.h"

namespace skin {
namespace {

std::vector<int> Alphas(TvlFrameSequence s) {
    std::vector<int> alphas;
    while (!s.Done()) alphas.push_back(s.Next().Alpha);
    return alphas;
}

TEST(AnimFrames, ShowAlphasRiseToTheTargetInStepsPlusOneFrames) {
    struct Case {
        int Steps, Target;
        bool Dialog;
        std::vector<int> Alphas;
    };
    for (const Case &c : {
             Case{10, 255, false, {26, 51, 76, 102, 128, 153, 178, 204, 230, 255, 255}},
             Case{10, 200, false, {20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 200}},
             Case{4, 255, true, {51, 102, 153, 204, 255}},  // a dialog divides by steps + 1
             Case{1, 128, false, {128, 128}},
             Case{0, 255, false, {}},  // Time below 10: no frame loop
         }) {
        SCOPED_TRACE(c.Steps);
        EXPECT_EQ(Alphas(TvlFrameSequence::Show(400, 200, c.Steps, c.Target, false, c.Dialog)), c.Alphas);
    }
}

TEST(AnimFrames, HideAlphasFallToZeroAndNeverBelow) {
    EXPECT_EQ(Alphas(TvlFrameSequence::Hide(400, 200, 10, 255, false)),
              (std::vector<int>{230, 204, 178, 153, 128, 102, 76, 51, 26, 0, 0}));
    EXPECT_EQ(Alphas(TvlFrameSequence::Hide(400, 200, 3, 90, true)), (std::vector<int>{60, 30, 0, 0}));
    EXPECT_TRUE(Alphas(TvlFrameSequence::Hide(400, 200, 0, 255, true)).empty());
}

TEST(AnimFrames, ZoomGrowsFromThreeQuartersAndAFadeCopiesOnce) {
    auto show = TvlFrameSequence::Show(400, 200, 10, 255, true);
    const std::vector<vcl::TRect> expected{{50, 25, 350, 175}, {45, 22, 355, 177}, {40, 20, 360, 180}};
    for (const vcl::TRect &r : expected) {
        const TvlAnimFrame f = show.Next();
        EXPECT_TRUE(f.Stretch);
        EXPECT_FALSE(f.Copy);
        EXPECT_EQ(f.Place, r);
    }
    TvlAnimFrame last;
    while (!show.Done()) last = show.Next();
    EXPECT_EQ(last.Place, (vcl::TRect{0, 0, 400, 200}));  // whole at the end

    auto hide = TvlFrameSequence::Hide(400, 200, 10, 255, true);
    EXPECT_EQ(hide.Next().Place, (vcl::TRect{0, 0, 400, 200}));
    EXPECT_EQ(hide.Next().Place, (vcl::TRect{5, 2, 395, 197}));  // 2.5 rounds to even

    auto fade = TvlFrameSequence::Show(400, 200, 3, 255, false);
    std::vector<bool> copies;
    while (!fade.Done()) {
        const TvlAnimFrame f = fade.Next();
        EXPECT_FALSE(f.Stretch);
        copies.push_back(f.Copy);
    }
    EXPECT_EQ(copies, (std::vector<bool>{true, false, false, false}));
}

// A 32-bit image in memory for the nearest-neighbour stretch.
struct Pixels {
    int W, H;
    std::vector<std::uint32_t> Data;
    Pixels(int AW, int AH, std::uint32_t Fill = 0) : W(AW), H(AH), Data(static_cast<std::size_t>(AW * AH), Fill) {}
    vcl::TBitmapView View() {
        return {reinterpret_cast<std::uint8_t *>(Data.data()), W * 4, W, H};
    }
    std::uint32_t At(int X, int Y) const { return Data[static_cast<std::size_t>(Y * W + X)]; }
};

TEST(AnimFrames, AStretchTakesTheSourcePixelUnderEachCentreAndStaysInside) {
    Pixels src(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) src.Data[static_cast<std::size_t>(y * 4 + x)] = 0xFF000000u | (y * 16 + x);
    // Doubled: each source pixel twice in each direction.
    Pixels up(8, 4, 0xDEAD);
    StretchNearest(up.View(), {0, 0, 8, 4}, src.View());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(up.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;
    // Halved into a place inside: every other pixel, from the centres; the
    // rest of the target untouched.
    Pixels down(6, 3, 0xDEAD);
    StretchNearest(down.View(), {2, 1, 4, 2}, src.View());
    EXPECT_EQ(down.At(2, 1), src.At(1, 1));
    EXPECT_EQ(down.At(3, 1), src.At(3, 1));
    EXPECT_EQ(down.At(1, 1), 0xDEADu);
    EXPECT_EQ(down.At(4, 1), 0xDEADu);
    EXPECT_EQ(down.At(2, 0), 0xDEADu);
    // A place reaching past the target's edges is cut at them; an empty one
    // draws nothing.
    Pixels edge(3, 2, 0xDEAD);
    StretchNearest(edge.View(), {-4, -2, 4, 2}, src.View());
    EXPECT_EQ(edge.At(0, 0), src.At(2, 1));
    EXPECT_EQ(edge.At(2, 1), src.At(3, 1));
    Pixels none(3, 2, 0xDEAD);
    StretchNearest(none.View(), {1, 1, 1, 2}, src.View());
    StretchNearest(none.View(), {5, 0, 9, 2}, src.View());
    EXPECT_EQ(none.Data, std::vector<std::uint32_t>(6, 0xDEAD));
}

TEST(AnimFrames, TheOldImageIsFullUpToTargetLess85AndGoneAtTheTarget) {
    struct Case {
        int Target, Frame, Old;
    };
    for (const Case &c : {Case{255, 0, 255}, Case{255, 170, 255}, Case{255, 171, 252}, Case{255, 230, 75},
                          Case{255, 255, 0}, Case{200, 115, 255}, Case{200, 199, 3}, Case{200, 200, 0},
                          Case{200, 255, 0}}) {
        SCOPED_TRACE(c.Frame);
        EXPECT_EQ(OldImageAlpha(c.Target, c.Frame), c.Old);
    }
}

TEST(AnimFrames, MixWeightsRunFromTheOldImageDownByWholeSteps) {
    EXPECT_EQ(MixWeights(10), (std::vector<int>{255, 230, 205, 180, 155, 130, 105, 80, 55, 30, 5}));
    EXPECT_EQ(MixWeights(1), (std::vector<int>{255, 0}));
    EXPECT_EQ(MixWeights(300), std::vector<int>(301, 255));  // d = 0: the old image to the last frame
    EXPECT_TRUE(MixWeights(0).empty());
}

TEST(AnimFrames, TheTaskbarEdgeAndThePointOppositeTheForm) {
    struct Case {
        vcl::TRect Bar;
        int Edge;
        vcl::TRect Target;
    };
    const vcl::TPoint c{300, 200};
    for (const Case &k : {
             Case{{0, 560, 800, 600}, 8, {300, 560, 300, 560}},
             Case{{-2, 560, 800, 600}, 8, {300, 560, 300, 560}},
             Case{{760, 10, 800, 600}, 4, {760, 200, 760, 200}},
             Case{{0, 0, 800, 30}, 2, {300, 30, 300, 30}},
             Case{{0, 0, 40, 600}, 1, {40, 200, 40, 200}},
             Case{{760, 0, 800, 600}, 4, {760, 200, 760, 200}},
             Case{{0, 0, 0, 0}, 1, {0, 200, 0, 200}},  // Wine's hidden taskbar: (0, centre y)
         }) {
        EXPECT_EQ(TaskbarEdge(k.Bar), k.Edge);
        EXPECT_EQ(EdgeTarget(k.Edge, k.Bar, c), k.Target);
    }
}

TEST(AnimFrames, TheMinimizeFlightHasItsStepsAlphaAndTarget) {
    struct Case {
        int Alpha;
        bool Later, Composition;
        int Time, Target, Steps;
    };
    for (const Case &c : {
             Case{255, true, true, 120, 63, 12},   // a quarter under the compositor
             Case{255, true, false, 120, 255, 12}, // nothing shows through without it
             Case{255, false, false, 120, 63, 12},
             Case{200, true, true, 5, 200, 1},     // 5 ms: one step, no fading to a quarter
             Case{255, true, true, 10, 255, 1},
         }) {
        const int target = TvlMinimizeFlight::TargetAlpha(c.Alpha, c.Later, c.Composition, c.Time);
        EXPECT_EQ(target, c.Target);
        EXPECT_EQ(TvlMinimizeFlight({0, 0, 100, 100}, {}, c.Time, target).Steps, c.Steps);
    }

    // 400 x 200 at (100, 100) into the point (0, 300) in 4 steps.
    TvlMinimizeFlight f({100, 100, 500, 300}, {0, 300, 0, 300}, 40, 255);
    EXPECT_DOUBLE_EQ(f.AlphaStep, 85);
    EXPECT_DOUBLE_EQ(f.MoveX, -75);
    EXPECT_DOUBLE_EQ(f.MoveY, 25);
    EXPECT_DOUBLE_EQ(f.ShrinkX, 50);
    EXPECT_DOUBLE_EQ(f.ShrinkY, 25);
    f.Step(false, 255);
    EXPECT_EQ(f.PlaceInWork(400, 200), (vcl::TRect{50, 25, 350, 175}));
    EXPECT_EQ(f.WindowOrigin(400, 200), (vcl::TPoint{25, 125}));
    EXPECT_DOUBLE_EQ(f.Alpha, 170);
    for (int i = 0; i < 3; ++i) f.Step(false, 255);
    EXPECT_EQ(f.PlaceInWork(400, 200), (vcl::TRect{200, 100, 200, 100}));
    EXPECT_EQ(f.WindowOrigin(400, 200), (vcl::TPoint{-200, 200}));
    EXPECT_DOUBLE_EQ(f.Alpha, 0);  // not below
    for (int i = 0; i < 4; ++i) f.Step(true, 200);
    EXPECT_EQ(f.PlaceInWork(400, 200), (vcl::TRect{0, 0, 400, 200}));
    EXPECT_EQ(f.WindowOrigin(400, 200), (vcl::TPoint{100, 100}));
    EXPECT_DOUBLE_EQ(f.Alpha, 200);  // the restore's limit
}

TEST(AnimFrames, TheBlendOnMovingStep) {
    EXPECT_DOUBLE_EQ(BlendStep(170, 1000), 0.85);  // 170 after 100 ticks
    EXPECT_DOUBLE_EQ(BlendStep(170, 0), 85);       // at once
    EXPECT_DOUBLE_EQ(BlendStep(170, 10), 85);
    EXPECT_DOUBLE_EQ(BlendStep(255, 1000), 0);     // no visible blending
    EXPECT_DOUBLE_EQ(BlendStep(0, 500), 5.1);
}

// The layer's alphas: the start's, then each tick's until the layer goes
// (-1) or the fade in is done (255 shown once more).
std::vector<int> Fade(TvlButtonFade &F, int State, int Ticks) {
    std::vector<int> shown;
    const TvlFadeCommand first = F.Start(State, true);
    if (first.Action == faShow) shown.push_back(first.Alpha);
    for (int i = 0; i < Ticks && F.TimerOn; ++i) {
        const TvlFadeCommand c = F.Tick();
        if (c.Action == faShow) shown.push_back(c.Alpha);
        if (c.Action == faRemove) shown.push_back(-1);
        if (c.Done) break;
    }
    return shown;
}

TEST(AnimFrames, AButtonFadesInAndOutInTenSteps) {
    TvlButtonFade f;
    f.Arm(10);
    EXPECT_EQ(Fade(f, 1, 50), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    EXPECT_EQ(f.MaxSteps, -1);
    EXPECT_TRUE(f.Tick().Done);  // the mouse is checked on every tick from now on
    f.Arm(10);
    EXPECT_EQ(Fade(f, 0, 50), (std::vector<int>{250, 225, 200, 175, 150, 125, 100, 75, 50, 25, -1}));
    EXPECT_EQ(f.State, -1);
    EXPECT_FALSE(f.TimerOn);

    // After a finished fade out any state starts afresh.
    f.Arm(10);
    EXPECT_EQ(f.Start(1, true).Alpha, 25);
}

TEST(AnimFrames, WithoutAnimationAButtonShowsAtOnceAndGoesOnTheSecondTick) {
    TvlButtonFade f;
    f.Arm(1);
    EXPECT_EQ(Fade(f, 1, 5), (std::vector<int>{255}));
    EXPECT_FALSE(f.TimerOn);  // no timer for the fade in
    f.Arm(1);
    const TvlFadeCommand out = f.Start(0, true);
    EXPECT_EQ(out.Alpha, 255);
    EXPECT_TRUE(f.TimerOn);
    EXPECT_EQ(f.Tick().Action, faShow);
    EXPECT_EQ(f.Tick().Action, faRemove);
}

TEST(AnimFrames, AFadeOutMidFadeInCountsDownFromTheStepReached) {
    TvlButtonFade f;
    f.Arm(10);
    f.Start(1, true);
    f.Tick();
    f.Tick();  // 75 shown, step 4
    f.Arm(10);
    EXPECT_EQ(f.Start(0, true).Alpha, 100);
    EXPECT_EQ(f.Tick().Alpha, 75);
    // The same state again changes nothing.
    EXPECT_EQ(f.Start(0, true).Action, faNothing);
}

TEST(AnimFrames, AnItemFadeAlwaysTicksAndFadesOutFromOpaque) {
    TvlButtonFade f;
    f.ItemRules = true;
    f.Arm(1);
    EXPECT_EQ(f.Start(1, true).Alpha, 255);
    EXPECT_TRUE(f.TimerOn);  // one step, yet the end of the fade in is a tick
    EXPECT_TRUE(f.Tick().Done);
    f.Arm(10);
    EXPECT_EQ(Fade(f, 0, 50), (std::vector<int>{255, 225, 200, 175, 150, 125, 100, 75, 50, 25, -1}));
    // Mid fade in, the fade out still starts opaque.
    f.Arm(10);
    f.Start(1, true);
    f.Tick();
    f.Arm(10);
    EXPECT_EQ(f.Start(0, true).Alpha, 255);
    EXPECT_EQ(f.Tick().Alpha, 50);
}

} // namespace
} // namespace skin
