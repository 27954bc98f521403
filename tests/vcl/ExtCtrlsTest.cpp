// Where an image is drawn in its control, and the window timer.
#include <gtest/gtest.h>

#include <memory>

#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

struct TDestCase {
    TSize Picture;
    TSize Client;
    bool Stretch;
    bool Proportional;
    bool Center;
    TRect Expected;
};

// The installer's picture box is 313 x 221, stretched and proportional.
const TDestCase DestCases[] = {
    {{640, 480}, {313, 221}, true, true, false, {0, 0, 294, 221}},    // taller than the box: fit the height
    {{800, 300}, {313, 221}, true, true, false, {0, 0, 313, 117}},    // wider: fit the width (117.375 cut)
    {{100, 50}, {313, 221}, true, true, false, {0, 0, 313, 156}},     // small: stretched up, kept in shape
    {{100, 50}, {313, 221}, false, true, false, {0, 0, 100, 50}},     // small, not stretched: own size
    {{626, 442}, {313, 221}, false, true, true, {0, 0, 313, 221}},    // large, not stretched: shrunk to fit
    {{100, 50}, {313, 221}, true, false, false, {0, 0, 313, 221}},    // stretched out of shape
    {{100, 50}, {313, 221}, false, false, false, {0, 0, 100, 50}},    // as it is
    {{100, 50}, {313, 221}, false, false, true, {106, 85, 206, 135}}, // as it is, centred
    {{640, 480}, {313, 221}, true, true, true, {9, 0, 303, 221}},     // fitted and centred
    {{0, 0}, {313, 221}, true, true, false, {0, 0, 313, 221}},        // empty picture: the whole box
};

TEST(ExtCtrls, ImageDestRectFitsThePicture) {
    for (const TDestCase &c : DestCases) {
        const TRect r = ImageDestRect(c.Picture, c.Client, c.Stretch, c.Proportional, c.Center);
        EXPECT_EQ(r, c.Expected) << c.Picture.cx << "x" << c.Picture.cy << " " << c.Stretch << c.Proportional
                                 << c.Center << ": " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
}

TEST(ExtCtrls, ImagePaintsItsPictureWhereDestRectSays) {
    std::unique_ptr<TForm> form(Create<TForm>(Application, CreateNew));
    form->SetBorderStyle(bsNone);
    form->SetColor(clWhite);
    form->SetBounds(40, 40, 200, 150);
    auto *image = Create<TImage>(form.get());
    image->SetParent(form.get());
    image->SetBounds(10, 10, 120, 60);
    image->SetStretch(true);
    image->SetProportional(true);
    TBitmap *bitmap = image->Picture()->Bitmap();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(40, 40);  // square: fitted to 60 x 60 at the left of the box
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 60, 60));
    form->Show();
    form->Repaint();
    const uitest::TImage32 shot = uitest::CaptureWindow(form->Handle());
    ASSERT_EQ(shot.Width, 200);
    EXPECT_EQ(shot.At(10 + 30, 10 + 30) & 0xFFFFFF, 0xFF0000u);  // inside the picture
    EXPECT_EQ(shot.At(10 + 90, 10 + 30) & 0xFFFFFF, 0xFFFFFFu);  // in the box, right of the picture
    EXPECT_EQ(shot.At(5, 5) & 0xFFFFFF, 0xFFFFFFu);              // the form around it
}

struct TTicks {
    int Count = 0;
    TTimer *Timer = nullptr;
    std::string Error;
    void Tick(TObject *Sender) {
        EXPECT_EQ(Sender, Timer);
        if (++Count == 3) Timer->SetEnabled(false);
    }
    void Throw(TObject *) {
        Timer->SetEnabled(false);
        throw Exception("chyba v časovači");
    }
    void Handle(TObject *, const Exception &E) { Error = E.Message(); }
};

TEST(ExtCtrls, TimerFiresUntilDisabledAndItsErrorsReachTheApplication) {
    std::unique_ptr<TTimer> timer(Create<TTimer>(nullptr));
    TTicks ticks;
    ticks.Timer = timer.get();
    timer->SetInterval(10);
    timer->OnTimer = TNotifyEvent::Bind<&TTicks::Tick>(&ticks);
    EXPECT_TRUE(uitest::PumpUntil([&] { return ticks.Count >= 3; }, 5s));
    uitest::PumpUntil([] { return false; }, 60ms);
    EXPECT_EQ(ticks.Count, 3);

    Application->OnException = TExceptionEvent::Bind<&TTicks::Handle>(&ticks);
    timer->OnTimer = TNotifyEvent::Bind<&TTicks::Throw>(&ticks);
    timer->SetEnabled(true);
    EXPECT_TRUE(uitest::PumpUntil([&] { return !ticks.Error.empty(); }, 5s));
    Application->OnException = {};
    EXPECT_EQ(ticks.Error, "chyba v časovači");
}

} // namespace
} // namespace vcl
