// The pictures that the library takes of a skinned form while it is hidden
// (the show animation's, the hide's, a skin change's) against what the
// screen shows once the form is shown, and against a second picture taken
// the same way: a row for every adapter kind the factory makes (an entry
// each of the all-controls form) and a row for every kind of form (plain,
// bordered, MDI child, dialog), in our stored skin. Pictures of each are
// kept in the artifacts. Last, the class library's own pictures of the
// controls that paint into a DC they are given.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "../forms/BorderedFormSupport.h"
#include "../manager/LayeredRecorder.h"
#include "AllControlsForm.h"
#include "DialogsTestSupport.h"
#include "skin/forms/sSkinProvider.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/Panels.h"
#include "vcl/ScrollBar.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;
using uitest::TImage32;

ManagerPtr StoredSkinManager(bool Bordered = false) {
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetExtendedBorders(Bordered);
    m->SetSkinName("Beryllo (internal)");
    // The shows and hides play at once, their one picture recorded.
    m->Effects()->AllowAnimation = true;
    m->Effects()->AllowGlowing = false;
    for (TvlFormAnimation *a : std::initializer_list<TvlFormAnimation *>{
             m->AnimEffects()->FormShow.get(), m->AnimEffects()->FormHide.get(), m->AnimEffects()->DialogShow.get(),
             m->AnimEffects()->DialogHide.get()})
        a->Time = 0;
    return m;
}

void Keep(const TImage32 &Image, const std::string &Name) {
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(HostPath(ZUVO_ARTIFACTS_FOLDER)));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), Image);
}

TImage32 ImageOf(const vcl::TBitmap &Bitmap) {
    TImage32 image{Bitmap.Width(), Bitmap.Height(), {}};
    const vcl::TBitmapView v = const_cast<vcl::TBitmap &>(Bitmap).View();
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) image.Pixels.push_back(v.At(x, y));
    return image;
}

// The first picture that a show put on a layered window: the show
// animation's picture of the form it shows.
TImage32 ShowsPicture(const std::function<void()> &Show) {
    const LayeredRecorder recorder(LayeredRecorder::Forward, true);
    Show();
    vcl::Application->ProcessMessages();
    for (const LayeredCall &c : LayeredRecorder::Calls)
        if (!c.Pixels.empty()) return {c.Size.cx, c.Size.cy, c.Pixels};
    return {};
}

// The pixels inside R (in A's coordinates; in B's shifted by Shift) where
// the two pictures differ, and the box around them; pixels of A that are
// not opaque are left out.
struct TDifference {
    int Count = 0;
    vcl::TRect Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};
TDifference Differences(const TImage32 &A, const TImage32 &B, const vcl::TRect &R, vcl::TPoint Shift = {}) {
    TDifference d;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, A.Height); ++y)
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, A.Width); ++x) {
            const int bx = x + Shift.X, by = y + Shift.Y;
            if (bx < 0 || by < 0 || bx >= B.Width || by >= B.Height) continue;
            const std::uint32_t a = A.At(x, y);
            if ((a >> 24) != 255 || (a & 0xFFFFFF) == (B.At(bx, by) & 0xFFFFFF)) continue;
            ++d.Count;
            d.Box = {std::min(d.Box.Left, x), std::min(d.Box.Top, y), std::max(d.Box.Right, x + 1),
                     std::max(d.Box.Bottom, y + 1)};
        }
    return d;
}

// B with the opaque pixels where A differs from it in red.
TImage32 Marked(const TImage32 &A, const TImage32 &B) {
    TImage32 marked = B;
    for (int y = 0; y < std::min(A.Height, B.Height); ++y)
        for (int x = 0; x < std::min(A.Width, B.Width); ++x)
            if ((A.At(x, y) >> 24) == 255 && (A.At(x, y) & 0xFFFFFF) != (B.At(x, y) & 0xFFFFFF))
                marked.Pixels[static_cast<std::size_t>(y) * B.Width + x] = 0xFFFF0000;
    return marked;
}

// The rows that differ, as "name: n in (left, top)-(right, bottom); ...",
// empty when none does.
std::string Differing(const std::vector<std::pair<std::string, TDifference>> &Rows) {
    std::string text;
    for (const auto &[name, d] : Rows)
        if (d.Count != 0)
            text += name + ": " + std::to_string(d.Count) + " in (" + std::to_string(d.Box.Left) + ", " +
                    std::to_string(d.Box.Top) + ")-(" + std::to_string(d.Box.Right) + ", " +
                    std::to_string(d.Box.Bottom) + "); ";
    return text;
}

// What the screen shows of a window once everything has painted.
TImage32 ScreenOf(HWND Window) {
    uitest::PumpUntil([] { return false; }, 150ms);
    return uitest::CaptureWindow(Window);
}

// No control of the form takes the focus when it is shown: a focused one
// (and its caret) would show a look that a picture taken before the
// activation cannot have.
void NoTabStops(vcl::TWinControl &Parent) {
    for (int i = 0; i < Parent.ControlCount(); ++i)
        if (auto *child = dynamic_cast<vcl::TWinControl *>(Parent.Controls(i))) {
            child->SetTabStop(false);
            NoTabStops(*child);
        }
}

struct FormPicture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<DialogModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<DialogModules> Modules;
    FormPicture() { ParkCursor(); }
};

TEST_F(FormPicture, EveryAdaptersControlShowsAsInTheShowsPictureAndTheFirstPictureIsTheSecond) {
    ManagerPtr manager = StoredSkinManager();
    AllControlsForm f(*manager, false);
    vcl::TForm &form = f.Form();
    const HWND window = form.WindowHandle();
    NoTabStops(form);
    ASSERT_FALSE(IsWindowVisible(window));
    const TImage32 first = ShowsPicture([&] { form.Show(); });
    ASSERT_TRUE(IsWindowVisible(window));
    const TImage32 screen = ScreenOf(window);
    ASSERT_EQ(first.Width, screen.Width);
    ASSERT_EQ(first.Height, screen.Height);
    Keep(first, "form-picture-first.png");
    Keep(screen, "form-picture-screen.png");

    form.Hide();
    vcl::Application->ProcessMessages();
    const TImage32 second = ShowsPicture([&] { form.Show(); });
    Keep(second, "form-picture-second.png");
    // The picture of the hidden form that the hide, a skin change and the
    // border take, rendered anew (after a hide of its own picture, the
    // frame would wait for the next show).
    manager->Effects()->AllowAnimation = false;
    form.Hide();
    vcl::Application->ProcessMessages();
    ASSERT_FALSE(IsWindowVisible(window));
    f.Provider().SkinData()->BGChanged = true;
    ASSERT_TRUE(f.Provider().RenderFrame());
    const std::unique_ptr<vcl::TBitmap> image = f.Provider().GetFormImage();
    ASSERT_TRUE(image);
    const TImage32 hidden = ImageOf(*image);
    ASSERT_EQ(hidden.Width, screen.Width);
    ASSERT_EQ(hidden.Height, screen.Height);
    Keep(hidden, "form-picture-hidden.png");
    Keep(Marked(first, screen), "form-picture-first-differences.png");
    Keep(Marked(hidden, screen), "form-picture-hidden-differences.png");

    RECT outer{};
    GetWindowRect(window, &outer);
    std::vector<std::pair<std::string, TDifference>> onScreen, again, whileHidden;
    // The pictures take in the class library's controls; a window of no
    // control of its own is the form's background there.
    for (const AllControlsForm::Entry &e : f.Entries()) {
        if (!e.Control) continue;
        RECT r{};
        GetWindowRect(e.Window(), &r);
        const vcl::TRect at{r.left - outer.left, r.top - outer.top, r.right - outer.left, r.bottom - outer.top};
        onScreen.emplace_back(e.Name, Differences(first, screen, at));
        again.emplace_back(e.Name, Differences(first, second, at));
        whileHidden.emplace_back(e.Name, Differences(hidden, screen, at));
    }
    EXPECT_EQ(Differing(onScreen), "") << "the show's picture against the screen";
    EXPECT_EQ(Differing(again), "") << "the first show's picture against the second's";
    EXPECT_EQ(Differing(whileHidden), "") << "the hidden form's picture against the screen";
}

// The class library's own pictures of the controls that paint into a DC
// given: what the screen shows of them.
TEST_F(FormPicture, TheClassLibrarysOwnPictureOfAControlIsTheScreens) {
    ManagerPtr manager = StoredSkinManager();
    manager->Effects()->AllowAnimation = false;
    TestForm form;
    form.Form->SetBounds(100, 100, 460, 320);
    vcl::Create<TsSkinProvider>(form.Form);
    auto *bar = form.Add(vcl::Create<vcl::TScrollBar>(form.Form), 10, 150);
    bar->SetBounds(10, 150, 240, 18);
    bar->SetParams(30, 0, 100);
    auto *box = form.Add(vcl::Create<vcl::TGroupBox>(form.Form), 190, 10);
    box->SetBounds(190, 10, 220, 120);
    box->SetCaption("Options");
    form.Show();
    std::vector<std::unique_ptr<TvlWindowAdapter>> adapters;
    for (const auto &[kind, control] : std::initializer_list<std::pair<int, vcl::TWinControl *>>{
             {tpScrollBar, bar}, {tpGroupBox, box}})
        adapters.push_back(AdapterFactory().CreateAdapter(kind, control->Handle(), ParamsFor(control), manager.get()));
    const HWND window = form.Form->WindowHandle();
    const TImage32 screen = ScreenOf(window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT outer{};
    GetWindowRect(window, &outer);
    for (vcl::TWinControl *control : std::initializer_list<vcl::TWinControl *>{bar, box}) {
        const auto own = NewBitmap32(control->Width(), control->Height());
        control->PaintTo(own->Canvas()->Handle(), 0, 0);
        SetRectAlpha(*own, {0, 0, control->Width(), control->Height()}, 255);
        const vcl::TPoint at{origin.x - outer.left + control->Left(), origin.y - outer.top + control->Top()};
        EXPECT_EQ(Differences(ImageOf(*own), screen, {0, 0, control->Width(), control->Height()}, at).Count, 0)
            << "PaintTo of " << control->ClassName();
    }
    adapters.clear();
}

} // namespace
} // namespace skin
