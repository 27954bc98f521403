#pragma once
// The skin of the button family's tests: a check-box section and the check
// and radio glyphs (one solid colour per glyph and state, so that a pixel
// tells which image in which state shows), a speed-button section of three
// states, the push-button section of the button tests, scroll-button
// sections for the up-down arrows, and a track-bar section with channel,
// thumb and tick images. Fades are off. Windows only.
#include <array>
#include <string>

#include "AdaptersTestSupport.h"

namespace skin::test {

// Glyph colours: [image][state], images unchecked, checked, grayed, radio
// unchecked, radio checked; states normal, hot, pressed.
inline constexpr std::array<std::array<vcl::TColor, 3>, 5> GlyphColors{{
    {0x0000A0, 0x0000B0, 0x0000C0},
    {0x00A000, 0x00B000, 0x00C000},
    {0xA00000, 0xB00000, 0xC00000},
    {0xA0A000, 0xB0B000, 0xC0C000},
    {0x00A0A0, 0x00B0B0, 0x00C0C0},
}};
inline constexpr int GlyphSize = 13;
inline constexpr vcl::TColor BoxFace = 0x605040, BoxHotFace = 0x706050;
inline constexpr vcl::TColor BoxText = 0xF0F0F0, BoxHotText = 0x00FFFF;
inline constexpr vcl::TColor SpeedFace = 0x504030, SpeedHotFace = 0x30A0A0, SpeedPressedFace = 0xA03080;
inline constexpr vcl::TColor SpinFace = 0x405060, SpinHotFace = 0x40A060, SpinPressedFace = 0x6040A0;
inline constexpr vcl::TColor TrackFace = 0x506070;
// The thumb image: its upper half (toward the top of a horizontal bar) and its lower half.
inline constexpr vcl::TColor ThumbTop = 0x2020D0, ThumbBottom = 0xD02020, ThumbHotTop = 0x2080D0;
inline constexpr vcl::TColor Channel = 0x10E010, Tick = 0xE010D0;
inline constexpr int ThumbW = 11, ThumbH = 21;

// The master picture: glyph rows from y 0 (one row of three 13 x 13 frames
// per image), the thumb (two frames) from y 70, the channel from y 100, the
// tick from y 110.
inline Bytes ButtonFamilyMaster() {
    return Bmp24(64, 120, [](int x, int y) -> vcl::TColor {
        if (y < 5 * GlyphSize && x < 3 * GlyphSize) return GlyphColors[y / GlyphSize][x / GlyphSize];
        if (y >= 70 && y < 70 + ThumbH && x < 2 * ThumbW)
            return y < 70 + ThumbH / 2 ? (x < ThumbW ? ThumbTop : ThumbHotTop) : ThumbBottom;
        if (y >= 100 && y < 106 && x < 12) return Channel;
        if (y >= 110 && y < 114 && x < 2) return Tick;
        return 0x808080;
    });
}

// DrawMode 5: stretched, the centre drawn (a channel).
inline std::string FixedImage(int L, int T, int R, int B, int Count, int DrawMode = 0) {
    char s[80];
    std::snprintf(s, sizeof s, "^%04d,%04d,%04d,%04d,0000,0000,0000,0000,%d,0,%d,0", L, T, R, B, Count, DrawMode);
    return s;
}

inline std::string ButtonFamilyOptions(bool WithGlyphs = true, bool WithSlider = true) {
    std::string o = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n";
    if (WithGlyphs) {
        static const char *names[] = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED"};
        for (int i = 0; i < 5; ++i)
            o += std::string(names[i]) + "=" +
                 FixedImage(0, i * GlyphSize, 3 * GlyphSize, (i + 1) * GlyphSize, 3) + "\r\n";
    }
    o += "[CHECKBOX]\r\nSTATES=2\r\nCOLOR=0x605040\r\nHOTCOLOR=0x706050\r\nFONTCOLOR=0xF0F0F0\r\nHOTFONTCOLOR=0x00FFFF\r\n"
         "[SPEEDBUTTON]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=0x504030\r\nHOTCOLOR=0x30A0A0\r\nCOLOR2=0xA03080\r\n"
         "FONTCOLOR=0xF0F0F0\r\nHOTFONTCOLOR=0x00FFFF\r\nFONTCOLOR2=0xFFFF00\r\n"
         "[SCROLLBTNLEFT]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=0x405060\r\nHOTCOLOR=0x40A060\r\nCOLOR2=0x6040A0\r\n"
         "FONTCOLOR=0x000000\r\nHOTFONTCOLOR=0x000000\r\nFONTCOLOR2=0x000000\r\n"
         "[SCROLLBTNTOP]\r\nPARENTCLASS=SCROLLBTNLEFT\r\n[SCROLLBTNRIGHT]\r\nPARENTCLASS=SCROLLBTNLEFT\r\n"
         "[SCROLLBTNBOTTOM]\r\nPARENTCLASS=SCROLLBTNLEFT\r\n"
         "[TRACKBAR]\r\nSTATES=1\r\nCOLOR=0x506070\r\nFONTCOLOR=0x000000\r\n";
    if (WithSlider)
        o += "SLIDERMASK=" + FixedImage(0, 70, 2 * ThumbW, 70 + ThumbH, 2) + "\r\nSLIDERCHANNEL=" +
             FixedImage(0, 100, 12, 106, 1, 5) + "\r\nTICKHORZ=" + FixedImage(0, 110, 2, 114, 1) + "\r\n";
    return o + ButtonSkinOptions().substr(ButtonSkinOptions().find("[BUTTON]"));
}

inline ManagerPtr ButtonFamilyManager(bool WithGlyphs = true, bool WithSlider = true) {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = ButtonFamilyOptions(WithGlyphs, WithSlider);
    skin.Files = {{"MASTER.BMP", ButtonFamilyMaster()}};
    AddStoredSkin(*m, "Family", skin.Packed());
    m->SetSkinName("Family");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

struct ButtonFamilyFixture : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;

    ButtonFamilyFixture() { SetCursorPos(5, 5); }
    ~ButtonFamilyFixture() override { SetCursorPos(5, 5); }

    ManagerPtr Manager = ButtonFamilyManager();
};

// The screen centre of a window's rectangle R (window coordinates).
inline POINT ScreenPoint(HWND Window, int X, int Y) {
    RECT r{};
    GetWindowRect(Window, &r);
    return {r.left + X, r.top + Y};
}

// Runs Cycle once (what is made on first use stays), then 1,000 times: the
// library's handle counts end where they were.
inline void ExpectFlatCountsOver1000(const std::function<void()> &Cycle) {
    Cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) Cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

inline void MouseButton(DWORD Flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Flags;
    SendInput(1, &input, sizeof input);
}

inline void Key(WORD VirtualKey, bool Up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VirtualKey;
    input.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

} // namespace skin::test
