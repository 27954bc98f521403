// The button family together under our stored skin: check boxes, radio
// buttons, a bit button, a speed button, up-downs and track bars on one
// form, skinned, with the skin switched off and on again. The pictures go
// to the test artifacts.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>

#include "ButtonFamilyTestSupport.h"
#include "skin/adapters/vlTrackWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/Buttons.h"
#include "vcl/CheckBoxes.h"
#include "vcl/GdiObjects.h"
#include "vcl/UpDown.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

void SavePicture(const uitest::TImage32 &Image, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), Image);
    EXPECT_TRUE(std::filesystem::exists(folder / Name));
}

std::unique_ptr<vcl::TBitmap> Arrow() {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf24bit);
    b->SetSize(16, 16);
    for (int y = 0; y < 16; ++y) {
        auto *row = static_cast<std::uint8_t *>(b->ScanLine(y));
        for (int x = 0; x < 16; ++x) {
            const bool ink = x >= 3 && x < 13 && std::abs(y - 8) <= (x - 3) / 2 && !(x == 0 && y == 15);
            row[x * 3] = ink ? 0x2B : 0xFF;
            row[x * 3 + 1] = ink ? 0x6C : 0xFF;
            row[x * 3 + 2] = ink ? 0xB0 : 0xFF;
        }
    }
    return b;
}

// The window's region (its whole rectangle when it has none).
vcl::TRegionHandle RegionOf(HWND Window) {
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window, region.Get()) == ERROR) {
        RECT r{};
        GetWindowRect(Window, &r);
        SetRectRgn(region.Get(), 0, 0, r.right - r.left, r.bottom - r.top);
    }
    return region;
}

// How many pixels of two pictures of a window differ where its region lets
// them show. Outside the region the window's surface keeps whatever was
// painted there before the region was set, which the screen never shows.
int DifferentInRegion(HRGN Region, const uitest::TImage32 &A, const uitest::TImage32 &B) {
    if (A.Width != B.Width || A.Height != B.Height) return -1;
    int different = 0;
    for (int y = 0; y < A.Height; ++y)
        for (int x = 0; x < A.Width; ++x)
            different += PtInRegion(Region, x, y) && (A.At(x, y) & 0xFFFFFF) != (B.At(x, y) & 0xFFFFFF);
    return different;
}

struct ButtonFamilyPicture : ButtonFamilyFixture {
    ButtonFamilyPicture() {
        Manager.reset();
        Manager = NewManager();
        AddStoredSkin(*Manager, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
        Manager->SetSkinName("Beryllo (internal)");
        Manager->Effects()->AllowAnimation = false;
        Manager->Effects()->AllowGlowing = false;
        Form.Form->SetBounds(60, 60, 460, 300);
        Form.Form->SetColor(Manager->GetMainColor());
    }
    template <class C> C *Add(int Left, int Top, int Width, int Height, const std::string &Caption = {}) {
        C *c = Form.Add(vcl::Create<C>(Form.Form));
        c->SetBounds(Left, Top, Width, Height);
        if (!Caption.empty()) c->SetCaption(Caption);
        return c;
    }
    uitest::TImage32 Picture() {
        RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        uitest::PumpUntil([] { return false; }, 300ms);
        return uitest::CaptureWindow(Form.Form->WindowHandle());
    }
    TestForm Form;
};

TEST_F(ButtonFamilyPicture, EveryControlSkinnedThenTheSkinOffAndOnAgain) {
    auto *checked = Add<vcl::TCheckBox>(20, 20, 150, 20, "Zaškrtnuto");
    checked->SetChecked(true);
    auto *plain = Add<vcl::TCheckBox>(20, 45, 150, 20, "Nezaškrtnuto");
    auto *grayed = Add<vcl::TCheckBox>(20, 70, 150, 20, "Nevím");
    grayed->SetAllowGrayed(true);
    grayed->SetState(vcl::cbGrayed);
    auto *disabled = Add<vcl::TCheckBox>(20, 95, 150, 20, "Vypnuto");
    disabled->SetEnabled(false);
    auto *radio1 = Add<vcl::TRadioButton>(20, 125, 150, 20, "Hotově");
    auto *radio2 = Add<vcl::TRadioButton>(20, 150, 150, 20, "Kartou");
    radio1->SetChecked(true);
    auto *bit = Add<vcl::TBitBtn>(200, 20, 120, 32, "Další");
    bit->SetGlyph(Arrow().get());
    bit->SetLayout(vcl::blGlyphRight);
    auto *speed = Add<vcl::TSpeedButton>(200, 65, 90, 28, "Zpět");
    speed->SetGlyph(Arrow().get());
    auto *updown = Add<vcl::TUpDown>(340, 20, 17, 40);
    auto *horz = Add<vcl::TUpDown>(370, 20, 40, 17);
    horz->SetOrientation(vcl::udHorizontal);
    Form.Show();
    const HWND p = Form.Form->WindowHandle();
    HWND tracks[2];
    tracks[0] = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_BOTH, 200, 120,
                                200, 45, p, nullptr, GetModuleHandleW(nullptr), nullptr);
    tracks[1] = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_VERT, 410, 70,
                                36, 190, p, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (HWND t : tracks) SendMessageW(t, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    uitest::ActivateAndWait(p, 3s);
    const uitest::TImage32 unskinned = Picture();
    SavePicture(unskinned, "button-family-unskinned.png");
    const uitest::TImage32 plainBefore = uitest::CaptureWindow(plain->WindowHandle());
    const uitest::TImage32 spinBefore = uitest::CaptureWindow(updown->WindowHandle());
    const uitest::TImage32 bitBefore = uitest::CaptureWindow(bit->WindowHandle());

    std::vector<std::unique_ptr<TvlWindowAdapter>> adapters;
    for (vcl::TWinControl *box : std::initializer_list<vcl::TWinControl *>{checked, plain, grayed, disabled, radio1, radio2})
        adapters.push_back(AdapterFactory().CreateAdapter(tpCheckBox, box->Handle(), ParamsFor(box), Manager.get()));
    adapters.push_back(AdapterFactory().CreateAdapter(tpBitBtn, bit->Handle(), ParamsFor(bit), Manager.get()));
    adapters.push_back(AdapterFactory().CreateAdapter(tpUpDown, updown->Handle(), ParamsFor(updown), Manager.get()));
    adapters.push_back(AdapterFactory().CreateAdapter(tpUpDown, horz->Handle(), ParamsFor(horz), Manager.get()));
    for (HWND t : tracks) adapters.push_back(NewAdapter<TvlTrackWnd>(t, nullptr, Manager.get(), ParamsFor(nullptr)));
    auto handler = AdapterFactory().CreateGraphicHandler(tpSpeedButton, speed, ParamsFor(speed), Manager.get());
    for (const auto &a : adapters) ASSERT_NE(a, nullptr);
    ASSERT_NE(handler, nullptr);

    const uitest::TImage32 skinned = Picture();
    SavePicture(skinned, "button-family-skinned.png");
    // The skin's frame cuts the corners.
    const vcl::TRegionHandle skinnedRegion = RegionOf(p);
    RECT box{};
    EXPECT_EQ(GetRgnBox(skinnedRegion.Get(), &box), COMPLEXREGION);
    const auto same = [](const uitest::TImage32 &A, const uitest::TImage32 &B) {
        if (A.Width != B.Width || A.Height != B.Height) return false;
        for (int y = 0; y < A.Height; ++y)
            for (int x = 0; x < A.Width; ++x)
                if ((A.At(x, y) & 0xFFFFFF) != (B.At(x, y) & 0xFFFFFF)) return false;
        return true;
    };
    EXPECT_FALSE(same(uitest::CaptureWindow(plain->WindowHandle()), plainBefore));
    EXPECT_FALSE(same(uitest::CaptureWindow(updown->WindowHandle()), spinBefore));
    EXPECT_FALSE(same(uitest::CaptureWindow(bit->WindowHandle()), bitBefore));

    // Without the skin the system paints them as before.
    Manager->SetActive(false);
    const uitest::TImage32 off = Picture();
    SavePicture(off, "button-family-skin-off.png");
    EXPECT_TRUE(same(uitest::CaptureWindow(plain->WindowHandle()), plainBefore));
    EXPECT_TRUE(same(uitest::CaptureWindow(updown->WindowHandle()), spinBefore));
    Manager->SetActive(true);
    for (const auto &a : adapters)
        SendMessageW(a->AdapterWindow(), SM_SKINCOMMAND, SkinCommand(SC_SKIN_APPLIED), reinterpret_cast<LPARAM>(Manager.get()));
    // The speed button's handler let go with the skin; a form's control
    // adapter gives it a new one when it walks the form again.
    EXPECT_EQ(handler->HandledControl(), nullptr);
    handler = AdapterFactory().CreateGraphicHandler(tpSpeedButton, speed, ParamsFor(speed), Manager.get());
    const uitest::TImage32 again = Picture();
    SavePicture(again, "button-family-skin-again.png");
    // The same shape and, within it, the same pixels.
    EXPECT_TRUE(EqualRgn(RegionOf(p).Get(), skinnedRegion.Get()));
    EXPECT_EQ(DifferentInRegion(skinnedRegion.Get(), again, skinned), 0);
    handler.reset();
    adapters.clear();
}

} // namespace
} // namespace skin
