// Graphic children painted through one off-screen copy: a child that leaves
// the key colour at its own corner is left out, wherever the offset puts the
// parent in the target.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/graphics/vlGraphUtils.h"
#include "skin/manager/vlFormAnimations.h"
#include "skin/manager/vlSnapshots.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ControlCanvas.h"
#include "vcl/GdiObjects.h"

namespace skin {
namespace {

using namespace skin::test;

// Fills itself with one colour.
class TFill : public vcl::TGraphicControl {
public:
    TFill(vcl::TComponent *AOwner, COLORREF Colour) : vcl::TGraphicControl(AOwner), FColour(Colour) {}

protected:
    void Paint() override {
        const vcl::TBrushHandle brush(CreateSolidBrush(FColour));
        const RECT r{0, 0, Width(), Height()};
        FillRect(Canvas()->Handle(), &r, brush.Get());
    }

private:
    COLORREF FColour;
};

struct Snapshots : ::testing::Test {
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
};

TEST_F(Snapshots, AChildLeavingTheKeyColourAtItsOwnCornerIsLeftOutWhateverTheOffset) {
    TestForm form;
    form.Form->HandleNeeded();
    // Small: an offset of (5, 7) would read the key test outside it.
    auto *keyed = new TFill(form.Form, RGB(0xFF, 0x00, 0xFF));
    keyed->SetBounds(10, 10, 4, 4);
    keyed->SetParent(form.Form);
    auto *green = new TFill(form.Form, RGB(0x00, 0xC0, 0x00));
    green->SetBounds(30, 10, 4, 4);
    green->SetParent(form.Form);
    form.Show();

    auto target = NewBitmap32(100, 100);
    const vcl::TBrushHandle blue(CreateSolidBrush(RGB(0, 0, 0xFF)));
    const RECT all{0, 0, 100, 100};
    FillRect(target->Canvas()->Handle(), &all, blue.Get());
    PaintChildControls(target->Canvas()->Handle(), form.Form, false, {5, 7});
    const auto at = [&](int X, int Y) { return GetPixel(target->Canvas()->Handle(), X, Y) & 0xFFFFFF; };
    EXPECT_EQ(at(30 + 5 + 1, 10 + 7 + 1), RGB(0x00, 0xC0, 0x00));
    EXPECT_EQ(at(10 + 5 + 1, 10 + 7 + 1), RGB(0, 0, 0xFF));  // left out
}

TEST_F(Snapshots, AClipBoxWithoutAreaPaintsNothingAndTellsTheControlItWasLeftOut) {
    std::vector<std::string> log;
    TestForm form;
    auto *green = new TFill(form.Form, RGB(0x00, 0xC0, 0x00));
    green->SetBounds(10, 10, 20, 20);
    green->SetParent(form.Form);
    Recorder told(log, "form", form.Form, SC_SET_NOT_PAINTED);
    form.Show();
    auto target = NewBitmap32(100, 100);
    const HDC dc = target->Canvas()->Handle();
    PaintChildControls(dc, form.Form, false, {0, 0});
    EXPECT_EQ(GetPixel(dc, 15, 15) & 0xFFFFFF, RGB(0x00, 0xC0, 0x00));
    EXPECT_TRUE(log.empty());
    const vcl::TSavedDC saved(dc);
    IntersectClipRect(dc, 50, 50, 50, 90);  // no width
    PaintChildControls(dc, form.Form, false, {0, 0});
    EXPECT_EQ(log, std::vector<std::string>{"form"});
}

TEST_F(Snapshots, AnMDIParentsAlignedGraphicChildrenAreToldToRepaint) {
    std::vector<std::string> log;
    TestForm mdi, plain;
    mdi.Form->SetFormStyle(vcl::fsMDIForm);
    const auto fill = [](TestForm &F, vcl::TAlign Align, int Top) {
        auto *c = new TFill(F.Form, RGB(0x00, 0xC0, 0x00));
        c->SetBounds(10, Top, 40, 20);
        c->SetAlign(Align);
        c->SetParent(F.Form);
        return c;
    };
    Recorder aligned(log, "aligned", fill(mdi, vcl::alTop, 0), SC_REPAINT),
        loose(log, "loose", fill(mdi, vcl::alNone, 60), SC_REPAINT),
        other(log, "other form", fill(plain, vcl::alTop, 0), SC_REPAINT);
    mdi.Show();
    plain.Show();
    auto target = NewBitmap32(400, 300);
    for (TestForm *f : {&mdi, &plain}) PaintChildControls(target->Canvas()->Handle(), f->Form, false, {0, 0});
    EXPECT_EQ(log, std::vector<std::string>{"aligned"});
}

TEST_F(Snapshots, AnMDIParentsPictureShowsItsChildrenAsTheScreenDoes) {
    TestForm mdi;
    mdi.Form->SetFormStyle(vcl::fsMDIForm);
    mdi.Show();
    const auto child = [&](vcl::TColor Colour, int X, int Y) {
        auto *f = vcl::Create<vcl::TForm>(mdi.Form, vcl::CreateNew);
        f->SetFormStyle(vcl::fsMDIChild);
        f->SetColor(Colour);
        f->SetBounds(X, Y, 120, 90);
        f->Show();
        return f;
    };
    RECT client{};
    GetClientRect(mdi.Form->ClientHandle(), &client);
    vcl::TForm *cut = child(vcl::clLime, client.right - 40, 0);  // runs past the client's right edge
    vcl::TForm *back = child(vcl::clRed, 10, 10);
    vcl::TForm *front = child(vcl::clBlue, 60, 40);  // the last shown is active, on top
    vcl::Application->ProcessMessages();
    ASSERT_EQ(mdi.Form->ActiveMDIChild(), front);

    RECT form{};
    GetWindowRect(mdi.Form->WindowHandle(), &form);
    auto image = NewBitmap32(form.right - form.left, form.bottom - form.top);
    PaintControlToBitmap(*image, mdi.Form, 0, 0, nullptr);
    // The picture's pixel at (X, Y) of Window's rectangle.
    const auto at = [&](HWND Window, int X, int Y) {
        RECT r{};
        GetWindowRect(Window, &r);
        return GetPixel(image->Canvas()->Handle(), r.left - form.left + X, r.top - form.top + Y) & 0xFFFFFF;
    };
    EXPECT_EQ(at(back->WindowHandle(), 20, 20), vcl::ColorToRGB(vcl::clRed));
    EXPECT_EQ(at(front->WindowHandle(), 10, 10), vcl::ColorToRGB(vcl::clBlue));  // over the red one
    EXPECT_EQ(at(cut->WindowHandle(), 20, 20), vcl::ColorToRGB(vcl::clLime));
    EXPECT_NE(at(mdi.Form->ClientHandle(), client.right + 4, 20), vcl::ColorToRGB(vcl::clLime));  // clipped
}

TEST_F(Snapshots, TheOutputWindowCoversAFormInsideAControlThereAndAFormOnTheScreenOnTheScreen) {
    TestForm host;
    auto *panel = host.Add(vcl::Create<vcl::TCustomControl>(host.Form), 20, 20);
    panel->SetBounds(20, 20, 300, 200);
    auto *inner = vcl::Create<vcl::TForm>(host.Form, vcl::CreateNew);
    inner->SetParent(panel);
    inner->SetBounds(30, 40, 150, 100);
    inner->Show();
    host.Show();
    const auto rect = [](HWND W) {
        RECT r{};
        GetWindowRect(W, &r);
        return std::tuple(r.left, r.top, r.right, r.bottom);
    };

    ShowOutputWindowOver(inner);
    ASSERT_TRUE(OutputWindow());
    HWND ow = OutputWindow()->WindowHandle();
    EXPECT_EQ(GetAncestor(ow, GA_PARENT), panel->WindowHandle());
    EXPECT_EQ(GetWindow(inner->WindowHandle(), GW_HWNDPREV), ow);  // right above the form
    EXPECT_TRUE(IsWindowVisible(ow));
    EXPECT_EQ(rect(ow), rect(inner->WindowHandle()));

    ShowWindow(ow, SW_HIDE);
    ShowOutputWindowOver(host.Form);
    ow = OutputWindow()->WindowHandle();
    EXPECT_EQ(GetAncestor(ow, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(IsWindowVisible(ow));
    EXPECT_EQ(rect(ow), rect(host.Form->WindowHandle()));
    delete OutputWindow();
}

} // namespace
} // namespace skin
