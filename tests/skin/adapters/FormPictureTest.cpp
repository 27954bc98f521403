// The picture of a skinned form taken while it is hidden (as the hide,
// skin-change, minimize and border pictures take it): a memo with its
// skinned bar, a scroll-bar control and a group box, in our stored skin,
// each as the screen shows it once the form is shown again; and the class
// library's own pictures of the two that paint into a DC they are given.
#include <gtest/gtest.h>
#include <windows.h>

#include "ScrollBarsTestSupport.h"
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

// The pixels of Control's window that differ between the form's picture
// and the form's window on the screen.
int Differences(vcl::TBitmap &Picture, vcl::TPoint PictureClient, const uitest::TImage32 &Screen,
                vcl::TPoint ScreenClient, const vcl::TWinControl &Control) {
    int differences = 0;
    for (int y = 0; y < Control.Height(); ++y)
        for (int x = 0; x < Control.Width(); ++x) {
            const std::uint32_t p = GetPixel32(Picture, PictureClient.X + Control.Left() + x,
                                               PictureClient.Y + Control.Top() + y);
            const vcl::TColor seen = ColorAt(Screen, ScreenClient.X + Control.Left() + x,
                                             ScreenClient.Y + Control.Top() + y);
            differences += static_cast<vcl::TColor>(SwapRedBlue(p) & 0xFFFFFF) != seen;
        }
    return differences;
}

TEST(FormPicture, AHiddenFormsPictureShowsItsControlsAsTheScreenDoes) {
    AdapterModules modules;
    ManagerPtr manager = NewManager();
    AddStoredSkin(*manager, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    manager->SetSkinName("Beryllo (internal)");
    manager->Effects()->AllowAnimation = false;
    manager->Effects()->AllowGlowing = false;
    SetCursorPos(1270, 1010);
    TestForm form;
    form.Form->SetBounds(100, 100, 460, 320);
    auto *provider = vcl::Create<TsSkinProvider>(form.Form);
    auto *memo = form.Add(vcl::Create<vcl::TMemo>(form.Form), 10, 10);
    memo->SetBounds(10, 10, 160, 120);
    memo->SetScrollBars(vcl::ssVertical);
    memo->SetTabStop(false);  // no caret on the screen
    std::string lines;
    for (int i = 1; i <= 40; ++i) lines += "Line " + std::to_string(i) + "\r\n";
    memo->Lines()->SetText(lines);
    auto *bar = form.Add(vcl::Create<vcl::TScrollBar>(form.Form), 10, 150);
    bar->SetBounds(10, 150, 240, 18);
    bar->SetParams(30, 0, 100);
    auto *box = form.Add(vcl::Create<vcl::TGroupBox>(form.Form), 190, 10);
    box->SetBounds(190, 10, 220, 120);
    box->SetCaption("Options");
    form.Show();
    std::vector<std::unique_ptr<TvlWindowAdapter>> adapters;
    for (const auto &[kind, control] : std::initializer_list<std::pair<int, vcl::TWinControl *>>{
             {tpEdit, memo}, {tpScrollBar, bar}, {tpGroupBox, box}})
        adapters.push_back(AdapterFactory().CreateAdapter(kind, control->Handle(), ParamsFor(control), manager.get()));
    const HWND window = form.Form->WindowHandle();

    form.Form->Hide();
    vcl::Application->ProcessMessages();
    ASSERT_FALSE(IsWindowVisible(window));
    provider->SkinData()->BGChanged = true;
    ASSERT_TRUE(provider->RenderFrame());
    const std::unique_ptr<vcl::TBitmap> picture = provider->GetFormImage();
    ASSERT_TRUE(picture);
    // The class library's own pictures of the controls that paint a DC given.
    std::vector<std::pair<vcl::TWinControl *, std::unique_ptr<vcl::TBitmap>>> own;
    for (vcl::TWinControl *control : std::initializer_list<vcl::TWinControl *>{bar, box}) {
        own.push_back({control, NewBitmap32(control->Width(), control->Height())});
        control->PaintTo(own.back().second->Canvas()->Handle(), 0, 0);
    }

    form.Show();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(100ms);
    const uitest::TImage32 screen = uitest::CaptureWindow(window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT outer{};
    GetWindowRect(window, &outer);
    const vcl::TPoint pictureClient{provider->GetClientOffsetX(), provider->GetClientOffsetY()};
    const vcl::TPoint screenClient{origin.x - outer.left, origin.y - outer.top};
    for (const vcl::TWinControl *control : std::initializer_list<const vcl::TWinControl *>{memo, bar, box})
        EXPECT_EQ(Differences(*picture, pictureClient, screen, screenClient, *control), 0) << control->ClassName();
    for (const auto &[control, image] : own)
        EXPECT_EQ(Differences(*image, {-control->Left(), -control->Top()}, screen, screenClient, *control), 0)
            << "PaintTo of " << control->ClassName();
    adapters.clear();
}

} // namespace
} // namespace skin
