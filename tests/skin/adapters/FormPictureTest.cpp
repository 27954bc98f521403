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

#include <commctrl.h>

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
#include "vcl/GdiObjects.h"
#include "vcl/Panels.h"
#include "vcl/ScrollBar.h"
#include "vcl/CheckBoxes.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

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
    // The shows and hides play at once, their picture recorded.
    m->Effects()->AllowAnimation = true;
    m->Effects()->AllowGlowing = false;
    for (TvlFormAnimation *a : std::initializer_list<TvlFormAnimation *>{
             m->AnimEffects()->FormShow.get(), m->AnimEffects()->FormHide.get(), m->AnimEffects()->DialogShow.get(),
             m->AnimEffects()->DialogHide.get()})
        a->Time = 0;
    // A dialog's show plays only with a time: one frame.
    m->AnimEffects()->DialogShow->Time = 10;
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

// The show animation's picture of the form it shows: the finished picture
// that it ends with, put on its layered window twice in a row (shown, then
// placed); a border window's own frame image may come before.
TImage32 ShowsPicture(const std::function<void()> &Show) {
    const LayeredRecorder recorder(LayeredRecorder::Forward, true);
    Show();
    vcl::Application->ProcessMessages();
    const std::vector<LayeredCall> &calls = LayeredRecorder::Calls;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
        if (calls[i].Window == calls[i + 1].Window && calls[i].Digest == calls[i + 1].Digest &&
            !calls[i].Pixels.empty())
            return {calls[i].Size.cx, calls[i].Size.cy, calls[i].Pixels};
    return {};
}

// The pixels inside R (in A's coordinates; in B's shifted by Shift) where
// the two pictures differ, and the box around them; pixels of A that are
// not opaque are left out.
struct TDifference {
    int Count = 0;
    vcl::TRect Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};
// Pixels of B marked unseen (outside its window's region) count only where
// A shows them opaque and Shown says that A's picture shows as it is.
constexpr std::uint32_t Unseen = 0xFE000000;
TDifference Differences(const TImage32 &A, const TImage32 &B, const vcl::TRect &R, vcl::TPoint Shift = {},
                        bool Shown = true) {
    TDifference d;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, A.Height); ++y)
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, A.Width); ++x) {
            const int bx = x + Shift.X, by = y + Shift.Y;
            if (bx < 0 || by < 0 || bx >= B.Width || by >= B.Height) continue;
            const std::uint32_t a = A.At(x, y), b = B.At(bx, by);
            if ((a >> 24) != 255) continue;
            if ((b & 0xFF000000) == Unseen ? !Shown : (a & 0xFFFFFF) == (b & 0xFFFFFF)) continue;
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

// What the screen shows of a window once everything has painted; what
// its region cuts away is marked unseen.
TImage32 ScreenOf(HWND Window) {
    uitest::PumpUntil([] { return false; }, 150ms);
    TImage32 image = uitest::CaptureWindow(Window);
    for (std::uint32_t &p : image.Pixels) p &= 0xFFFFFF;  // what painting left in the alpha byte means nothing
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window, region.Get()) == ERROR) return image;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (!PtInRegion(region.Get(), x, y)) image.Pixels[static_cast<std::size_t>(y) * image.Width + x] |= Unseen;
    return image;
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

// What a row of the form kinds gives: the picture taken while the form was
// hidden, what the screen shows of the form once shown (in the picture's
// coordinates), and the same picture taken a second time.
struct TFormShown {
    TImage32 First, Screen, Second;
    // The picture shows in a window of its own, as it is: what the form's
    // region cuts away must not be in it.
    bool Shown = true;
};

// Some controls of the class library on the form, which no longer takes
// the focus when shown.
void AddControls(vcl::TForm &Form) {
    auto *label = vcl::Create<vcl::TLabel>(&Form);
    label->SetBounds(12, 12, 200, 18);
    label->SetCaption("Popisek formuláře");
    label->SetParent(&Form);
    auto *button = vcl::Create<vcl::TButton>(&Form);
    button->SetBounds(12, 40, 110, 28);
    button->SetCaption("Tlačítko");
    button->SetParent(&Form);
    auto *check = vcl::Create<vcl::TCheckBox>(&Form);
    check->SetBounds(12, 80, 160, 20);
    check->SetCaption("Zaškrtnutí");
    check->SetChecked(true);
    check->SetParent(&Form);
    NoTabStops(Form);
}

const char *const LongTitle = "Instalace produktu MERKANO ZUVO do složky c:\\merkano_zuvo – dlouhý titulek okna";

// A plain form and a bordered one: the show animation's pictures; the
// screen, through the border window's X picture for the bordered one.
TFormShown ShownTopLevel(bool Bordered) {
    BorderedForm form(vcl::bsSizeable, {200, 150, 620, 450}, false);
    form.Form.Form->SetCaption(LongTitle);
    AddControls(*form.Form.Form);
    form.P = vcl::Create<TsSkinProvider>(form.Form.Form);
    TFormShown shown;
    shown.First = ShowsPicture([&] { form.Form.Form->Show(); });
    uitest::PumpUntil([] { return false; }, 150ms);
    shown.Screen = Bordered ? form.Seen() : ScreenOf(form.Wnd());
    form.Form.Form->Hide();
    vcl::Application->ProcessMessages();
    shown.Second = ShowsPicture([&] { form.Form.Form->Show(); });
    return shown;
}

// An MDI child, which plays no show animation: the picture of it hidden,
// which its hide, a skin change and its border take.
TFormShown ShownMDIChild(TsSkinManager &Manager) {
    Manager.Effects()->AllowAnimation = false;
    TestForm parent;
    parent.Form->SetFormStyle(vcl::fsMDIForm);
    parent.Form->SetBounds(100, 100, 700, 520);
    vcl::Create<TsSkinProvider>(parent.Form);
    parent.Show();
    auto *child = vcl::Create<vcl::TForm>(parent.Form, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->SetCaption(LongTitle);
    child->SetBounds(10, 10, 420, 260);
    AddControls(*child);
    auto *provider = vcl::Create<TsSkinProvider>(child);
    child->Show();
    uitest::PumpUntil([] { return false; }, 150ms);
    TFormShown shown;
    shown.Shown = false;  // painted inside other pictures, under their clip
    shown.Screen = ScreenOf(child->WindowHandle());
    const auto picture = [&] {
        child->Hide();
        vcl::Application->ProcessMessages();
        provider->SkinData()->BGChanged = true;
        provider->RenderFrame();
        const std::unique_ptr<vcl::TBitmap> image = provider->GetFormImage();
        child->Show();
        vcl::Application->ProcessMessages();
        return image ? ImageOf(*image) : TImage32{};
    };
    shown.First = picture();
    shown.Second = picture();
    return shown;
}

// A skinned dialog of the system's kind: its show animation's picture.
TFormShown ShownDialog() {
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 90,
                     vcl::Utf8ToWide(LongTitle).c_str());
    // Nothing in it takes the focus, which a hidden dialog gives up.
    t.Item(L"STATIC", L"Text dialogu", 100, SS_LEFT, 20, 20, 150, 12);
    OwnDialog d(t, nullptr, false);
    TFormShown shown;
    shown.First = ShowsPicture([&] { ShowWindow(d.Window, SW_SHOWNOACTIVATE); });
    uitest::PumpUntil([] { return false; }, 150ms);
    shown.Screen = ScreenOf(d.Window);
    ShowWindow(d.Window, SW_HIDE);
    vcl::Application->ProcessMessages();
    shown.Second = ShowsPicture([&] { ShowWindow(d.Window, SW_SHOWNOACTIVATE); });
    return shown;
}

// Every kind of form: the whole picture (frame, caption, buttons and the
// controls) is what the screen shows, and the first picture the second.
TEST_F(FormPicture, EveryKindOfFormShowsAsInItsPictureAndTheFirstPictureIsTheSecond) {
    struct Row {
        const char *Name;
        bool Bordered;
        std::function<TFormShown(TsSkinManager &)> Show;
    };
    const Row rows[] = {
        {"plain", false, [](TsSkinManager &) { return ShownTopLevel(false); }},
        {"bordered", true, [](TsSkinManager &) { return ShownTopLevel(true); }},
        {"MDI child", false, ShownMDIChild},
        {"dialog", false, [](TsSkinManager &) { return ShownDialog(); }},
    };
    std::vector<std::pair<std::string, TDifference>> onScreen, again;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Name);
        ManagerPtr manager = StoredSkinManager(row.Bordered);
        const TFormShown shown = row.Show(*manager);
        ASSERT_GT(shown.First.Width, 0);
        ASSERT_EQ(shown.First.Width, shown.Second.Width);
        ASSERT_EQ(shown.First.Height, shown.Second.Height);
        std::string name = std::string("form-picture-") + row.Name;
        std::replace(name.begin(), name.end(), ' ', '-');
        Keep(shown.First, name + "-first.png");
        Keep(shown.Screen, name + "-screen.png");
        Keep(shown.Second, name + "-second.png");
        Keep(Marked(shown.First, shown.Screen), name + "-differences.png");
        const vcl::TRect all{0, 0, shown.First.Width, shown.First.Height};
        onScreen.emplace_back(row.Name, Differences(shown.First, shown.Screen, all, {}, shown.Shown));
        again.emplace_back(row.Name, Differences(shown.First, shown.Second, all));
    }
    EXPECT_EQ(Differing(onScreen), "") << "the picture against the screen";
    EXPECT_EQ(Differing(again), "") << "the first picture against the second";
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
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
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
