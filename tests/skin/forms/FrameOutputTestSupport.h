#pragma once
// What the tests of the frame's output, painting and window life share: a
// skin whose form frame has transparent corners of a known shape, a shown
// sizeable form with a provider prepared as the skin preparation leaves it,
// a cache filled with a pattern whose pixels tell their place (as the frame
// renderer would fill it), and pixels read back from the screen. Windows
// only.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "FormsTestSupport.h"
#include "skin/forms/sSystemMenu.h"
#include "vcl/Bitmap.h"
#include "vcl/GdiObjects.h"

namespace skin::test {

// The frame skin: FORM's border mask (30 x 30, margins 6, its centre drawn:
// the cache serves as the client background) has key-colour triangles of
// 3, 2 and 1 pixels in its four corners; FORMTITLE's border mask has a run
// of two key pixels in its second row, 3 pixels in.
inline std::string FrameSkinOptions() {
    return "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
           "[FORM]\r\nCOLOR=0xF0F0F0\r\nBORDERSMASK=^0000,0000,0030,0030,0006,0006,0006,0006,1,0,4,3\r\n"
           "[FORMTITLE]\r\nCOLOR=0xC0C0C0\r\nBORDERSMASK=^0032,0000,0062,0030,0006,0006,0006,0006,1,0,0,3\r\n";
}

inline Bytes FrameSkinMaster() {
    return Bmp24(64, 32, [](int x, int y) {
        if (x < 30 && y < 30) {
            // Distance from the nearest corner of the FORM mask, by rows.
            const int dx = x < 15 ? x : 29 - x, dy = y < 15 ? y : 29 - y;
            return dx + dy < 3 ? Fuchsia : MasterRed;
        }
        if (x >= 32 && x < 62 && y == 1 && (x == 35 || x == 36)) return Fuchsia;
        return MasterRed;
    });
}

inline TestSkin FrameSkin() {
    TestSkin skin;
    skin.Options = FrameSkinOptions();
    skin.Files = {{"MASTER.BMP", FrameSkinMaster()}};
    return skin;
}

// The runs of the frame skin for a W x H form, in the order they are
// collected: the border mask's top rows, its bottom rows (left corner, then
// right, row by row), then the title mask's run.
inline std::vector<vcl::TRect> FrameSkinMasks(int W, int H) {
    std::vector<vcl::TRect> runs;
    for (int y = 0; y < 3; ++y) {
        runs.push_back({0, y, 3 - y, y + 1});
        runs.push_back({W - 3 + y, y, W, y + 1});
    }
    for (int y = H - 3; y < H; ++y) {
        const int n = 3 - (H - 1 - y);
        runs.push_back({0, y, n, y + 1});
        runs.push_back({W - n, y, W, y + 1});
    }
    runs.push_back({3, 1, 5, 2});
    return runs;
}

// The region a W x H form should have: its rectangle less the runs.
inline vcl::TRegionHandle ExpectedRegion(const std::vector<vcl::TRect> &Runs, int W, int H, int X = 0, int Y = 0) {
    vcl::TRegionHandle region(CreateRectRgn(X, Y, W + X, H + Y));
    for (const vcl::TRect &r : Runs) {
        const vcl::TRegionHandle cut(CreateRectRgn(r.Left + X, r.Top + Y, r.Right + X, r.Bottom + Y));
        CombineRgn(region.Get(), region.Get(), cut.Get(), RGN_DIFF);
    }
    return region;
}

// The window's region; empty without one.
inline vcl::TRegionHandle WindowRegion(HWND Window) {
    vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(Window, region.Get()) == ERROR) region.Reset();
    return region;
}

inline bool SameRegion(const vcl::TRegionHandle &A, const vcl::TRegionHandle &B) {
    return A && B && EqualRgn(A.Get(), B.Get());
}

// The pattern of a filled cache: red is x, green y, blue 0x40.
inline COLORREF PatternAt(int X, int Y) { return RGB(X & 0xFF, Y & 0xFF, 0x40); }

// Fills the provider's cache at its current size with the pattern, as the
// frame renderer would leave it: current.
inline void FillCache(TsSkinProvider &P) {
    TsCommonData &data = *P.SkinData();
    data.PrepareCache();
    vcl::TBitmap &cache = *data.CacheBmp();
    cache.SetSize(P.CacheWidth(), P.Form->Height());
    for (int y = 0; y < cache.Height(); ++y) {
        auto *row = static_cast<std::uint32_t *>(cache.ScanLine(y));
        for (int x = 0; x < cache.Width(); ++x)
            row[x] = (std::uint32_t(x & 0xFF) << 16) | (std::uint32_t(y & 0xFF) << 8) | 0x40;
    }
    data.BGChanged = false;
}

// A pixel of the window as the screen shows it (window coordinates).
inline COLORREF ScreenPixel(HWND Window, int X, int Y) {
    const vcl::TWindowDC dc(Window, GetWindowDC(Window));
    return GetPixel(dc.Get(), X, Y);
}

// A 32-bit copy of what the window shows (its own coordinates).
inline std::unique_ptr<vcl::TBitmap> ScreenImage(HWND Window) {
    RECT r{};
    GetWindowRect(Window, &r);
    auto image = std::make_unique<vcl::TBitmap>();
    image->SetPixelFormat(vcl::pf32bit);
    image->SetSize(r.right - r.left, r.bottom - r.top);
    const vcl::TWindowDC dc(Window, GetWindowDC(Window));
    BitBlt(image->Canvas()->Handle(), 0, 0, image->Width(), image->Height(), dc.Get(), 0, 0, SRCCOPY);
    return image;
}

// How many pixels of Area (window coordinates) that lie inside the window's
// region differ between two images of the window.
inline int Mismatches(HWND Window, vcl::TBitmap &A, vcl::TBitmap &B, const vcl::TRect &Area) {
    const vcl::TRegionHandle region = WindowRegion(Window);
    int count = 0;
    for (int y = std::max(Area.Top, 0); y < std::min({Area.Bottom, A.Height(), B.Height()}); ++y) {
        const auto *a = static_cast<const std::uint32_t *>(A.ScanLine(y));
        const auto *b = static_cast<const std::uint32_t *>(B.ScanLine(y));
        for (int x = std::max(Area.Left, 0); x < std::min({Area.Right, A.Width(), B.Width()}); ++x)
            if ((!region || PtInRegion(region.Get(), x, y)) && ((a[x] ^ b[x]) & 0xFFFFFF)) ++count;
    }
    return count;
}

// A shown sizeable 400 x 300 form at (100, 100) under the frame skin, with
// a provider as the skin preparation leaves it: the system menu made and
// the form's own caption buttons taken away.
struct FrameFixture : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};  // the provider's saved procedure
    TsSkinProvider *P = nullptr;

    void SetUp() override {
        AddStoredSkin(*Manager, "F", FrameSkin().Packed());
        Manager->SetSkinName("F");
        P = vcl::Create<TsSkinProvider>(Form.Form);
        ASSERT_TRUE(P->Skinned());
        Prepare();
    }
    // The form (and its provider) go before the watcher they pass on to.
    void TearDown() override {
        delete Form.Form;
        Form.Form = nullptr;
    }
    void Prepare() {
        if (!P->SystemMenu) P->SystemMenu = new TsSystemMenu(P);
        P->SetSysMenuStyle(true);
    }
    vcl::TForm *F() { return Form.Form; }
    HWND W() { return Form.Form->Handle(); }
    // Shown with its cache filled, its first frame output done.
    void ShowFilled() {
        F()->HandleNeeded();
        Prepare();
        FillCache(*P);
        Form.Show();
        FillCache(*P);
        SendMessageW(W(), WM_NCPAINT, 0, 0);
    }
};

} // namespace skin::test
