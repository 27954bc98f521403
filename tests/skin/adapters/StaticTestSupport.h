#pragma once
// What the tests of the static, panel and container adapters share: a skin
// whose sections each have a colour (and a text colour) of their own, with
// the main colour behind transparent ones, a size grip and scroll-bar
// pieces; a plain parent window of bare child windows; pictures by WM_PRINT
// into a memory DC.
// Windows only.
#include <algorithm>
#include <filesystem>
#include <string>

#include "ScrollBarsTestSupport.h"
#include "vcl/WideText.h"

namespace skin::test {

inline constexpr vcl::TColor Main = 0xE0E0E0;           // behind transparent sections
inline constexpr vcl::TColor TransparentText = 0x0000C0;
inline constexpr vcl::TColor CheckBoxText = 0x00A000;
inline constexpr vcl::TColor PanelFace = 0xA06030, PanelText = 0xF0F0F0;
inline constexpr vcl::TColor LowFace = 0x206020, LowText = 0xFFFFFF;
inline constexpr vcl::TColor GroupFace = 0x602060, GroupText = 0x00FFFF;
inline constexpr vcl::TColor GripColor = 0x303030;

inline std::string StaticSkinOptions() {
    return "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
           "GRIPIMAGE=@0000,0000,0010,0010,1,0\r\n"
           "[TRANSPARENT]\r\nTRANSPARENCY=100\r\nFONTCOLOR=0x0000C0\r\n"
           "[CHECKBOX]\r\nTRANSPARENCY=100\r\nFONTCOLOR=0x00A000\r\n"
           "[PANEL]\r\nCOLOR=0xA06030\r\nFONTCOLOR=0xF0F0F0\r\n"
           "[PANEL_LOW]\r\nCOLOR=0x206020\r\nFONTCOLOR=0xFFFFFF\r\n"
           "[GROUPBOX]\r\nCOLOR=0x602060\r\nFONTCOLOR=0x00FFFF\r\n"
           "[PAGECONTROL]\r\nCOLOR=0x406080\r\nFONTCOLOR=0x202020\r\n" +
           ScrollBarSections();
}

inline ManagerPtr StaticSkinManager() {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = StaticSkinOptions();
    skin.Files = {{"MASTER.BMP", Bmp24(10, 10, [](int, int) { return GripColor; })}};
    AddStoredSkin(*m, "Statics", skin.Packed());
    m->SetSkinName("Statics");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

struct StaticsFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;

    ManagerPtr Manager = StaticSkinManager();
};

// A shown plain popup window; its bare children go with it.
struct PlainParent {
    HWND Window;
    explicit PlainParent(int Width = 400, int Height = 300)
        : Window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 120, 120, Width, Height,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~PlainParent() {
        if (IsWindow(Window)) DestroyWindow(Window);
    }
    PlainParent(const PlainParent &) = delete;
    PlainParent &operator=(const PlainParent &) = delete;
    HWND Add(const wchar_t *Class, const wchar_t *Text, DWORD Style, int X, int Y, int W, int H, DWORD ExStyle = 0) const {
        return CreateWindowExW(ExStyle, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
};

// An adapter of class T on a bare window.
template <class T> std::unique_ptr<T> Adapt(HWND Window, TsSkinManager *Manager, const std::string &Section = {}) {
    return NewAdapter<T>(Window, nullptr, Manager, ParamsFor(nullptr, Section));
}

// What the window prints (WM_PRINT with Flags) over a picture filled with Fill.
inline uitest::TImage32 Printed(HWND Window, vcl::TColor Fill = 0x0000FF,
                                LPARAM Flags = PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND) {
    RECT r{};
    GetWindowRect(Window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const vcl::TWindowDC screen(nullptr);
    const HDC dc = CreateCompatibleDC(screen.Get());
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    const HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bmp);
    const HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(Fill));
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SendMessageW(Window, WM_PRINT, reinterpret_cast<WPARAM>(dc), Flags);
    GdiFlush();
    uitest::TImage32 image{w, h, {}};
    const auto *p = static_cast<const std::uint32_t *>(bits);
    image.Pixels.assign(p, p + static_cast<std::size_t>(w) * h);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return image;
}

// The window painted now and read from the screen.
inline uitest::TImage32 Shown(HWND Window) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    return uitest::CaptureWindow(Window);
}

// The longest horizontal run of Color in a picture.
inline int LongestRun(const uitest::TImage32 &Image, vcl::TColor Color) {
    int best = 0;
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0, run = 0; x < Image.Width; ++x) {
            run = ColorAt(Image, x, y) == Color ? run + 1 : 0;
            best = std::max(best, run);
        }
    return best;
}

// Runs Cycle once (what is made on first use stays), then Count times: the
// library's handle counts end where they were.
inline void ExpectFlatOver(int Count, const std::function<void()> &Cycle) {
    Cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < Count; ++i) Cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

inline void SavePicture(const uitest::TImage32 &Image, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), Image);
    EXPECT_TRUE(std::filesystem::exists(folder / Name));
}

} // namespace skin::test
