// What the form layer asks of the desktop compositor, and the snapshot
// form. Wine's compositor functions answer without doing anything, so the
// tests put recorders in their place for a while; composition itself is
// reported on by a replaced DwmIsCompositionEnabled where a test needs it.
#include <gtest/gtest.h>

#include <dwmapi.h>

#include <cstring>
#include <vector>

#include "ApiRedirect.h"
#include "FormsTestSupport.h"
#include "skin/forms/vlDwmServices.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/manager/sSysColors.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Bitmap.h"
#include "vcl/HandleCounts.h"

namespace skin {
namespace {

using namespace skin::test;

struct AttributeCall {
    HWND Window;
    DWORD Attribute;
    DWORD Value;
    DWORD Size;
    bool operator==(const AttributeCall &) const = default;
};

struct BlurCall {
    HWND Window;
    DWORD Flags;
    BOOL Enable;
    HRGN Region;
    bool RegionAlive;  // while the call ran
    bool operator==(const BlurCall &) const = default;
};

std::vector<AttributeCall> Attributes;
std::vector<BlurCall> Blurs;

HRESULT WINAPI RecordAttribute(HWND Window, DWORD Attribute, LPCVOID Value, DWORD Size) {
    DWORD value = 0xDEAD;
    if (Value && Size == sizeof value) std::memcpy(&value, Value, sizeof value);
    Attributes.push_back({Window, Attribute, value, Size});
    return S_OK;
}

HRESULT WINAPI RecordBlur(HWND Window, const DWM_BLURBEHIND *Blur) {
    Blurs.push_back({Window, Blur->dwFlags, Blur->fEnable, Blur->hRgnBlur,
                     Blur->hRgnBlur && GetObjectType(Blur->hRgnBlur) == OBJ_REGION});
    return S_OK;
}

HRESULT WINAPI ComposingOn(BOOL *Enabled) {
    *Enabled = TRUE;
    return S_OK;
}

void *Entry(HMODULE Module, const char *Name) {
    return ResolveApiEntry(reinterpret_cast<void *>(GetProcAddress(Module, Name)));
}

struct DwmServices : FormsFixture {
    HMODULE Dwmapi = LoadLibraryW(L"dwmapi.dll");
    zuvotest::TApiRedirect AttributeRedirect{Entry(Dwmapi, "DwmSetWindowAttribute"),
                                             reinterpret_cast<void *>(&RecordAttribute)};
    zuvotest::TApiRedirect BlurRedirect{Entry(Dwmapi, "DwmEnableBlurBehindWindow"),
                                        reinterpret_cast<void *>(&RecordBlur)};
    TestForm Form;

    void SetUp() override {
        ASSERT_NE(Dwmapi, nullptr);
        ASSERT_FALSE(DwmCompositionActive()) << "this program should run without desktop composition";
        Attributes.clear();
        Blurs.clear();
        Form.Show();
    }
    void TearDown() override { FreeLibrary(Dwmapi); }
    // Composition reported on for the object's life.
    zuvotest::TApiRedirect Composing() {
        return zuvotest::TApiRedirect(Entry(Dwmapi, "DwmIsCompositionEnabled"), reinterpret_cast<void *>(&ComposingOn));
    }
    HWND Window() { return Form.Form->Handle(); }
};

TEST_F(DwmServices, TheSkinsComingAndGoingSetTheRenderingPolicyOnlyUnderComposition) {
    TsSkinProvider *p = vcl::Create<TsSkinProvider>(Form.Form);
    Manager->SetActive(false);
    Manager->SetActive(true);
    EXPECT_TRUE(Attributes.empty());
    const zuvotest::TApiRedirect composing = Composing();
    ASSERT_TRUE(DwmCompositionActive());
    Manager->SetActive(false);
    ASSERT_FALSE(Attributes.empty());
    for (const AttributeCall &call : Attributes) EXPECT_EQ(call, (AttributeCall{Window(), 2, 0, 4}));
    Attributes.clear();
    Manager->SetActive(true);
    ASSERT_TRUE(p->Skinned() && !Attributes.empty());
    EXPECT_EQ(Attributes.front(), (AttributeCall{Window(), 2, 1, 4}));  // DWMWA_NCRENDERING_POLICY, disabled
    delete p;
}

TEST_F(DwmServices, BlurBehindPassesItsRegionAndAlwaysFreesIt) {
    const vcl::THandleCounts before = vcl::LiveHandles();
    HRGN region = CreateRectRgn(0, 0, 20, 20);
    EnableBlurBehind(Window(), true, region);
    EnableBlurBehind(Window(), false, nullptr);
    EXPECT_EQ(Blurs, (std::vector<BlurCall>{{Window(), DWM_BB_ENABLE | DWM_BB_BLURREGION, -1, region, true},
                                            {Window(), DWM_BB_ENABLE, 0, nullptr, false}}));
    EXPECT_EQ(GetObjectType(region), 0u);
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// --------------------------------------------------------- the snapshot form

// Sees what the layered animations' slot is asked to show.
struct ShownImages : TvlFormAnimations {
    void AnimHideForm(TvlFormProvider &) override {}
    bool SetLayeredAlpha(HWND, bool, std::uint8_t) override { return false; }
    void AnimateSkinChangeOfForm(TvlFormProvider &, int, std::uint8_t, bool) override {}
    void ShowLayeredBitmap(HWND Window, vcl::TBitmap *Bitmap, std::uint8_t Alpha) override {
        Shown = Window;
        Size = {Bitmap->Width(), Bitmap->Height()};
        ShownAlpha = Alpha;
        const vcl::TBitmapView view = Bitmap->View();
        for (int y = 0; y < view.Height; ++y)
            for (int x = 0; x < view.Width; ++x) Opaque = Opaque && view.RowBGRA(y)[x].A == 255;
        Inside = Bitmap->Canvas()->Pixels(Bitmap->Width() / 2, Bitmap->Height() - 10);
    }
    HWND Shown = nullptr;
    vcl::TPoint Size{};
    int ShownAlpha = -1;
    bool Opaque = true;
    vcl::TColor Inside = 0;
};

TEST_F(DwmServices, TheSnapshotCoversTheWindowWithItsImageUnactivatedAndWithoutShadow) {
    ShownImages images;
    TvlServiceRegistration<TvlFormAnimations> registration(images);
    Form.Form->SetColor(0x3366CC);
    Form.Form->Repaint();
    const HWND active = GetActiveWindow();
    RECT source{}, placed{};
    GetWindowRect(Window(), &source);

    std::unique_ptr<vcl::TForm> snapshot = CreateSnapshotForm(Window());
    ASSERT_NE(snapshot, nullptr);
    const HWND shot = snapshot->Handle();
    EXPECT_EQ(snapshot->Tag(), 256);
    EXPECT_EQ(snapshot->BorderStyle(), vcl::bsNone);
    EXPECT_TRUE(IsWindowVisible(shot));
    EXPECT_EQ(GetActiveWindow(), active);
    EXPECT_EQ(GetWindowLongPtrW(shot, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOPMOST), WS_EX_LAYERED | WS_EX_TOPMOST);
    EXPECT_FALSE(GetClassLongPtrW(shot, GCL_STYLE) & CS_DROPSHADOW);
    GetWindowRect(shot, &placed);
    EXPECT_TRUE(EqualRect(&placed, &source));
    EXPECT_EQ(images.Shown, shot);
    EXPECT_EQ(images.Size, vcl::TPoint(source.right - source.left, source.bottom - source.top));
    EXPECT_EQ(images.ShownAlpha, 255);
    EXPECT_TRUE(images.Opaque);
    EXPECT_EQ(images.Inside, 0x3366CC);  // the form's client area
    EXPECT_EQ(CreateSnapshotForm(nullptr), nullptr);
}

} // namespace
} // namespace skin
