// A frame of the show (zoom), hide (zoom) and skin-change (fade) animations
// of an 800 x 600 skinned form, and a tick of a caption button's fade, each
// beside a bare UpdateLayeredWindow of the same picture, in one run under
// Wine. The goal is at most 1.2 times the bare update.
//
//   FormAnimationsBench.exe <packed skin> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/BenchSkin.h"
#include "bench/WineTiming.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/forms/vlSBAnimation.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/sSkinManager.h"
#include "skin/manager/vlFormAnimations.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"

namespace {

void Bare(HWND Window, HDC Screen, vcl::TBitmap &Image, std::uint8_t Alpha) {
    SIZE size{Image.Width(), Image.Height()};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    skin::LayeredWindowFunctions().UpdateLayeredWindow(Window, Screen, nullptr, &size, Image.Canvas()->Handle(),
                                                       &source, 0x1FFFFFFF, &blend, ULW_ALPHA);
}

// The next frame of a sequence that starts again once done.
skin::TvlAnimFrame NextOf(skin::TvlFrameSequence &S, skin::TvlFrameSequence Fresh) {
    if (S.Done()) S = Fresh;
    return S.Next();
}

void Report(const char *What, const std::vector<double> &Times, double Bare) {
    const double m = bench::Median(Times);
    std::printf("%-22s median %7.3f ms   ratio %.2f (goal: at most 1.2)\n", What, m, m / Bare);
}

} // namespace

int main(int argc, char **argv) {
    bench::TBenchArgs args;
    if (!bench::ReadBenchArgs(argc, argv, "FormAnimationsBench", 200, args)) return 2;
    const int rounds = args.Rounds;
    skin::InitializeSkinManagerModule();
    skin::InitializeFormsModule();
    auto *manager = vcl::Create<skin::TsSkinManager>(nullptr);
    if (!bench::ApplyStoredSkin(*manager, args.Skin)) return 1;

    auto *form = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    form->SetBounds(40, 40, 800, 600);
    auto *provider = vcl::Create<skin::TsSkinProvider>(form);
    form->Show();
    vcl::Application->ProcessMessages();
    const auto snapshot = provider->GetFormImage();
    if (!snapshot) {
        std::fprintf(stderr, "the form has no image\n");
        return 1;
    }
    const int w = snapshot->Width(), h = snapshot->Height();
    auto *layer = vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew);
    layer->SetBorderStyle(vcl::bsNone);
    const HWND lw = layer->Handle();
    SetWindowLongPtrW(lw, GWL_EXSTYLE, GetWindowLongPtrW(lw, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    SetWindowPos(lw, HWND_TOP, 40, 40, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const auto frame = skin::NewBitmap32(w, h);
    SetStretchBltMode(frame->Canvas()->Handle(), COLORONCOLOR);
    const vcl::TWindowDC screen;

    const auto freshShow = skin::TvlFrameSequence::Show(w, h, 10, 255, true);
    const auto freshHide = skin::TvlFrameSequence::Hide(w, h, 10, 255, true);
    const auto freshFade = skin::TvlFrameSequence::Show(w, h, 10, 255, false);
    auto show = freshShow, hide = freshHide, fade = freshFade;
    // The hide has its own work image, and knows where its last image lies
    // in it, as the hide timer does.
    const auto hideFrame = skin::NewBitmap32(w, h);
    SetStretchBltMode(hideFrame->Canvas()->Handle(), COLORONCOLOR);
    vcl::TRect hideDrawn{};
    std::vector<double> bare, shown, hidden, faded;
    for (int round = 0; round < rounds + 1; ++round) {
        // Alternating, so that all see the same machine.
        const double t0 = bench::NowMs();
        Bare(lw, screen.Get(), *snapshot, 200);
        const double t1 = bench::NowMs();
        skin::PresentFrame(lw, screen.Get(), *snapshot, *frame, NextOf(show, freshShow), false);
        const double t2 = bench::NowMs();
        skin::PresentFrame(lw, screen.Get(), *snapshot, *hideFrame, NextOf(hide, freshHide), true, &hideDrawn);
        const double t3 = bench::NowMs();
        skin::PresentFrame(lw, screen.Get(), *snapshot, *frame, NextOf(fade, freshFade), false);
        const double t4 = bench::NowMs();
        if (round == 0) continue;  // warm-up
        bare.push_back(t1 - t0), shown.push_back(t2 - t1), hidden.push_back(t3 - t2), faded.push_back(t4 - t3);
    }
    const double b = bench::Median(bare);
    std::printf("%d rounds, a %d x %d frame\n", rounds, w, h);
    std::printf("%-22s median %7.3f ms\n", "bare update", b);
    Report("show frame (zoom)", shown, b);
    Report("hide frame (zoom)", hidden, b);
    Report("skin-change frame", faded, b);

    // A caption button's fade: one tick against a bare update of its picture.
    provider->FormActive = 1;
    provider->SetHotButton(HTCLOSE, true);
    skin::TvlSBAnimation *animation = provider->ButtonClose.Timer;
    if (!animation || !animation->Picture() || !animation->LayerForm()) {
        std::printf("button fade: the close button does not fade here\n");
    } else {
        const HWND bw = animation->LayerForm()->WindowHandle();
        std::vector<double> bareTick, ticks;
        for (int round = 0; round < rounds * 5 + 1; ++round) {
            animation->Fade.Step = 1 + round % 8;
            animation->Fade.MaxSteps = 10;
            animation->Fade.FadingIn = true;
            animation->Fade.TimerOn = true;
            animation->SetEnabled(true);
            const double t0 = bench::NowMs();
            Bare(bw, screen.Get(), *animation->Picture(), 128);
            const double t1 = bench::NowMs();
            animation->TimerProc(nullptr);
            const double t2 = bench::NowMs();
            if (round == 0) continue;
            bareTick.push_back(t1 - t0), ticks.push_back(t2 - t1);
        }
        const double bt = bench::Median(bareTick);
        std::printf("%-22s median %7.3f ms (%d x %d)\n", "bare button update", bt, animation->Picture()->Width(),
                    animation->Picture()->Height());
        Report("button-fade tick", ticks, bt);
    }
    delete layer;
    delete form;
    delete manager;
    skin::FinalizeFormsModule();
    skin::FinalizeSkinManagerModule();
    return 0;
}
