#pragma once
// What the window adapters' tests share: the manager, form and adapter
// modules for a suite's run; a manager whose skin paints each button state
// in colours of its own (faces and captions), with the state fades off so
// that every picture is final at once; pictures of a window read from the
// screen; and ink boxes of text. Windows only.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "../../support/UiDriver.h"
#include "../forms/FormsTestSupport.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/vlBtnWnd.h"
#include "skin/adapters/vlSBUtils.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"

namespace skin::test {

// Faces and caption colours by state (colour values, 0x00BBGGRR).
inline constexpr vcl::TColor NormalFace = 0x204080, HotFace = 0x30A030, PressedFace = 0x8020A0;
inline constexpr vcl::TColor NormalText = 0xF0F0F0, HotText = 0x00FFFF, PressedText = 0xFFFF00;
inline constexpr vcl::TColor MainColor = 0xE0E0E0;

inline std::string ButtonSkinOptions(int States = 3) {
    return "[GLOBALINFO]\r\nVERSION=10\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
           "[BUTTON]\r\nSTATES=" +
           std::to_string(States) +
           "\r\nUSESTATE2=1\r\nCOLOR=0x204080\r\nHOTCOLOR=0x30A030\r\nCOLOR2=0x8020A0\r\n"
           "FONTCOLOR=0xF0F0F0\r\nHOTFONTCOLOR=0x00FFFF\r\nFONTCOLOR2=0xFFFF00\r\n"
           "[EDIT]\r\nCOLOR=0xFFFFFF\r\nFONTCOLOR=0x000000\r\n";
}

// The manager, form and adapter modules, for a suite's run.
struct AdapterModules : FormsModules {
    AdapterModules() { InitializeAdaptersModule(); }
    ~AdapterModules() { FinalizeAdaptersModule(); }
};

// A manager with the button skin applied and the fades off.
inline ManagerPtr ButtonSkinManager(int States = 3) {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = ButtonSkinOptions(States);
    AddStoredSkin(*m, "Buttons", skin.Packed());
    m->SetSkinName("Buttons");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

struct AdaptersFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;

    ManagerPtr Manager = ButtonSkinManager();
};

// The colour of a screen pixel of a window, as a colour value.
inline vcl::TColor ScreenColor(HWND Window, int X, int Y) {
    const vcl::TWindowDC dc(Window);
    return static_cast<vcl::TColor>(GetPixel(dc.Get(), X, Y));
}

// A picture's pixel as a colour value.
inline vcl::TColor ColorAt(const uitest::TImage32 &Image, int X, int Y) {
    const std::uint32_t p = Image.At(X, Y);
    return static_cast<vcl::TColor>((p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
}

// The box of the pixels that Ink accepts (Right and Bottom past the last);
// empty when there are none.
struct InkBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0, Count = 0;
    bool Empty() const { return Count == 0; }
    friend bool operator==(const InkBox &, const InkBox &) = default;
};
inline InkBox FindInk(const uitest::TImage32 &Image, const std::function<bool(vcl::TColor)> &Ink) {
    InkBox box{Image.Width, Image.Height, -1, -1, 0};
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x)
            if (Ink(ColorAt(Image, x, y))) {
                box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
                ++box.Count;
            }
    if (box.Count == 0) return {};
    return box;
}
inline int CountColor(const uitest::TImage32 &Image, vcl::TColor Color) {
    int n = 0;
    for (int y = 0; y < Image.Height; ++y)
        for (int x = 0; x < Image.Width; ++x) n += ColorAt(Image, x, y) == Color;
    return n;
}

// Pumps this thread's messages (the class library's mouse tracking too)
// until Done answers true; false when 3 s passed.
inline bool PumpUntil(const std::function<bool()> &Done) {
    return uitest::PumpUntil(
        [&] {
            vcl::Application->UpdateMouseControl();
            return Done();
        },
        std::chrono::seconds(3));
}

// A bare system button (not the class library's) under a plain parent
// window of the test, both destroyed with it unless gone already.
struct BareButton {
    HWND Parent;
    HWND Button;
    explicit BareButton(const wchar_t *Text = L"Bare", DWORD Style = BS_PUSHBUTTON)
        : Parent(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 200, 200, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr)),
          Button(CreateWindowExW(0, L"BUTTON", Text, WS_CHILD | WS_VISIBLE | Style, 20, 20, 120, 30, Parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr)) {}
    ~BareButton() {
        if (IsWindow(Parent)) DestroyWindow(Parent);
    }
    BareButton(const BareButton &) = delete;
    BareButton &operator=(const BareButton &) = delete;
    WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Button, GWLP_WNDPROC)); }
};

// A shown popup window of a window class of the test's own (Proc),
// destroyed with it unless gone already.
struct TestParent {
    HWND Window;
    TestParent(const wchar_t *ClassName, WNDPROC Proc) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = ClassName;
        RegisterClassW(&wc);  // the second time fails: the class is there
        Window = CreateWindowExW(0, ClassName, L"", WS_POPUP | WS_VISIBLE, 300, 300, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~TestParent() {
        if (IsWindow(Window)) DestroyWindow(Window);
    }
    TestParent(const TestParent &) = delete;
    TestParent &operator=(const TestParent &) = delete;
    HWND Child(const wchar_t *Text, int Width, int Height) const {
        return CreateWindowExW(0, L"BUTTON", Text, WS_CHILD | WS_VISIBLE, 5, 5, Width, Height, Window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
};

// Runs Cycle once (what is made on first use stays), then 100 times: the
// library's handle counts end where they were.
inline void ExpectFlatHandleCounts(const std::function<void()> &Cycle) {
    Cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) Cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// Params with the four sizes -1 and a control (or none).
inline TvlSkinParams ParamsFor(vcl::TControl *Control, const std::string &Section = {}) {
    TvlSkinParams p;
    p.Control = Control;
    p.SkinSection = Section;
    return p;
}

} // namespace skin::test
