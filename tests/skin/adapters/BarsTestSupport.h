#pragma once
// What the tests of the tab, page, tool-bar and status-bar adapters share:
// a skin whose tab, frame, bar, divider, button and grip pieces each have a
// colour of their own (the faces of its masks and sections agree, so that a
// pixel names the piece and the state), a manager of it, and the pictures
// kept in the artifacts. Windows only.
#include <algorithm>
#include <filesystem>
#include <string>

#include "ScrollBarsTestSupport.h"
#include "vcl/WideText.h"

namespace skin::test {

inline constexpr vcl::TColor TabBorder = 0x101010;
inline constexpr vcl::TColor TabNormal = 0xC08040, TabHot = 0x40C040, TabActive = 0x4040C0;
inline constexpr vcl::TColor TabInk = 0x00FFFF, TabHotInk = 0xFFFF00;
inline constexpr vcl::TColor FrameFace = 0x30A060, CheckFace = 0xA0A0A0;
inline constexpr vcl::TColor StatusFace = 0xB0D0E0, StatusInk = 0x800000;
inline constexpr vcl::TColor DividerInk = 0x0000F0, GripInk = 0x00A0F0;
inline constexpr vcl::TColor BarFace = 0xE0C0A0, ToolNormal = 0x907050, ToolHot = 0x50D0D0, ToolPressed = 0xD050D0;
inline constexpr vcl::TColor ToolInk = 0x203040;
inline constexpr vcl::TColor MasterGrey = 0x808080;

// The master: tab states at (0, 0) 16 x 16 each, a tool-button frame of
// three states at (0, 16), the divider at (48, 0), the grip at (52, 0).
inline vcl::TColor BarsMaster(int X, int Y) {
    if (Y < 16 && X < 48) {
        const int x = X % 16;
        if (x == 0 || x == 15 || Y == 0 || Y == 15) return TabBorder;
        return X < 16 ? TabNormal : X < 32 ? TabHot : TabActive;
    }
    if (Y >= 16 && Y < 32 && X < 48) return X < 16 ? ToolNormal : X < 32 ? ToolHot : ToolPressed;
    if (Y < 16 && X >= 48 && X < 52) return DividerInk;
    if (Y < 8 && X >= 52 && X < 60) return GripInk;
    return MasterGrey;
}

inline std::string Hex(vcl::TColor C) {
    char b[16];
    snprintf(b, sizeof b, "0x%06X", static_cast<unsigned>(C));
    return b;
}

inline std::string BarsSkinOptions(bool WithTabElements = true, bool WithPageControl = true) {
    std::string s = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
                    "GRIPIMAGE=@0052,0000,0060,0008,1,0\r\n"
                    "[FORM]\r\nCOLOR=0xF0F0F0\r\n"
                    "[CHECKBOX]\r\nSTATES=1\r\nCOLOR=" + Hex(CheckFace) + "\r\nFONTCOLOR=0x202020\r\n"
                    "[STATUSBAR]\r\nSTATES=1\r\nCOLOR=" + Hex(StatusFace) + "\r\nFONTCOLOR=" + Hex(StatusInk) + "\r\n"
                    "[DIVIDER]\r\nSTATES=1\r\nCOLOR=" + Hex(DividerInk) +
                    "\r\nBORDERSMASK=^0048,0000,0052,0016,0001,0001,0001,0001,1,0,0,4\r\n"
                    "[TOOLBAR]\r\nSTATES=1\r\nCOLOR=" + Hex(BarFace) + "\r\nFONTCOLOR=" + Hex(ToolInk) + "\r\n"
                    "[TOOLBUTTON]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=" + Hex(ToolNormal) + "\r\nHOTCOLOR=" + Hex(ToolHot) +
                    "\r\nCOLOR2=" + Hex(ToolPressed) + "\r\nFONTCOLOR=" + Hex(ToolInk) + "\r\nHOTFONTCOLOR=" + Hex(ToolInk) +
                    "\r\nFONTCOLOR2=" + Hex(ToolInk) + "\r\nBORDERSMASK=^0000,0016,0048,0032,0002,0002,0002,0002,3,0,0,4\r\n";
    if (WithPageControl) s += "[PAGECONTROL]\r\nSTATES=1\r\nCOLOR=" + Hex(FrameFace) + "\r\nFONTCOLOR=0x202020\r\n";
    if (WithTabElements)
        for (const char *name : {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"})
            s += std::string("[") + name + "]\r\nSTATES=3\r\nUSESTATE2=1\r\nCOLOR=" + Hex(TabNormal) + "\r\nHOTCOLOR=" +
                 Hex(TabHot) + "\r\nCOLOR2=" + Hex(TabActive) + "\r\nFONTCOLOR=" + Hex(TabInk) + "\r\nHOTFONTCOLOR=" +
                 Hex(TabHotInk) + "\r\nFONTCOLOR2=" + Hex(TabHotInk) +
                 "\r\nBORDERSMASK=^0000,0000,0048,0016,0003,0003,0003,0003,3,0,0,4\r\n";
    return s;
}

inline ManagerPtr BarsSkinManager(bool WithTabElements = true, bool WithPageControl = true) {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = BarsSkinOptions(WithTabElements, WithPageControl);
    skin.Files = {{"MASTER.BMP", Bmp24(64, 64, BarsMaster)}};
    AddStoredSkin(*m, "Bars", skin.Packed());
    m->SetSkinName("Bars");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

struct BarsFixture : AdaptersFixture {
    BarsFixture() {
        Manager.reset();
        Manager = BarsSkinManager();
        SetCursorPos(5, 5);
    }
};

// The window's picture kept in the artifacts under Name.
inline void SaveWindowPicture(HWND Window, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), uitest::CaptureWindow(Window));
    EXPECT_TRUE(std::filesystem::exists(folder / Name));
}

// Runs Cycle once, then Count times: the library's handle counts end where
// they were.
inline void ExpectFlatCounts(int Count, const std::function<void()> &Cycle) {
    Cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < Count; ++i) Cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

inline void RedrawAll(HWND Window) {
    RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(std::chrono::milliseconds(60));
}

} // namespace skin::test
