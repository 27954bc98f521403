#pragma once
// What the tests of the frame's painting share: a skin whose frame pieces
// have a colour of their own in each state, a provider prepared on a shown
// form, and pixel readers. Windows only.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "FormsTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin::test {

// The pieces' colours, inactive and active.
constexpr vcl::TColor Face = 0x302010, FaceActive = 0x403020;        // FORM
constexpr vcl::TColor Border = 0x0000A0, BorderActive = 0x00A000;    // FORM's border image
constexpr vcl::TColor Band = 0x605040, BandActive = 0x706050;        // FORMTITLE
constexpr vcl::TColor TextBox = 0x908070, TextBoxActive = 0xA09080;  // CAPTION
constexpr vcl::TColor Text = 0x0000FF, TextActive = 0xFF0000;        // CAPTION's font
constexpr vcl::TColor Grip = 0x00FFFF;

// The master: the FORM border image (two 8 x 8 states, a key pixel in each
// top-left corner, an all-black mask below), the grip (6 x 6 and its mask)
// and a title glyph of three 10 x 10 states.
inline Bytes PieceMaster() {
    return Bmp24(64, 24, [](int x, int y) -> vcl::TColor {
        if (x < 16 && y < 16) {
            if (y >= 8) return 0;
            if (y == 0 && x % 8 == 0) return Fuchsia;
            return x < 8 ? Border : BorderActive;
        }
        if (x >= 16 && x < 22 && y < 12) return y < 6 ? Grip : 0;
        if (x >= 24 && x < 54 && y < 20) return y < 10 ? 0x808000 + (x - 24) / 10 : 0;
        return 0x202020;
    });
}

// Small: the skin has the small title glyphs; Glow: the active caption glows.
inline std::string PieceOptions(bool Small = true, bool Glow = false) {
    const auto hex = [](vcl::TColor c) { return std::to_string(c); };
    std::string s = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nBILEFT=2\r\nBISPACE=1\r\n"
                    "GRIPIMAGE=@0016,0000,0022,0012,1,1\r\n";
    for (const char *name : {"BICONCLOSE", "BICLOSEALONE", "BICONMAX", "BICONMIN", "BICONHELP", "TITLEBUTTON",
                             "SICONCLOSE", "SICONMAX", "SICONMIN"})
        if (Small || name[0] != 'S') s += std::string(name) + "=@0024,0000,0054,0020,3,1\r\n";
    return s + "[FORM]\r\nSTATES=2\r\nCOLOR=" + hex(Face) + "\r\nHOTCOLOR=" + hex(FaceActive) +
           "\r\nBORDERSMASK=^0000,0000,0016,0016,0003,0003,0003,0003,2,1,0,0\r\n"
           "[FORMTITLE]\r\nSTATES=2\r\nCOLOR=" + hex(Band) + "\r\nHOTCOLOR=" + hex(BandActive) +
           "\r\n[CAPTION]\r\nSTATES=2\r\nCOLOR=" + hex(TextBox) + "\r\nHOTCOLOR=" + hex(TextBoxActive) +
           "\r\nFONTCOLOR=" + hex(Text) + "\r\nHOTFONTCOLOR=" + hex(TextActive) + "\r\n" +
           (Glow ? "HGSIZE=3\r\nHGCOL=0xFFFFFF\r\n" : "");
}

inline ManagerPtr PieceSkinManager(const std::string &Options = PieceOptions()) {
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = Options;
    skin.Files = {{"MASTER.BMP", PieceMaster()}};
    AddStoredSkin(*m, "Pieces", skin.Packed());
    m->SetSkinName("Pieces");
    return m;
}

// The suites of the frame's painting: the modules, and the piece skin.
struct FramePaint : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<FormsModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<FormsModules> Modules;
    ManagerPtr Manager = PieceSkinManager();
};

// A shown form (400 x 300) with a provider that has the skin applied.
struct PreparedForm {
    TestForm Form;
    TsSkinProvider *Provider;
    explicit PreparedForm(vcl::TFormBorderStyle Style = vcl::bsSizeable, const std::string &Caption = "Form") {
        Form.Form->SetBorderStyle(Style);
        Form.Form->SetCaption(Caption);
        Provider = vcl::Create<TsSkinProvider>(Form.Form);
        Form.Show();
        Provider->PrepareForm();
    }
    // A whole render in a state, the caption's centre line where the button
    // layout puts it without a border form.
    bool Render(bool Active) {
        Provider->FormActive = Active ? 1 : 0;
        Provider->ButtonCenterY = Provider->GetCaptionHeight(true) / 2 + FrameWidth() / 2;
        Provider->SkinData()->BGChanged = true;
        return Provider->RenderFrame();
    }
    HWND Window() const { return Form.Form->WindowHandle(); }
    int FrameWidth() const { return GetBorderWidth(Window()); }
    vcl::TBitmap &Cache() const { return *Provider->SkinData()->CacheBmp(); }
};

// A pixel as a colour (0xBBGGRR), its alpha left out.
inline vcl::TColor PixelAt(vcl::TBitmap &Bitmap, int X, int Y) {
    return static_cast<vcl::TColor>(SwapRedBlue(GetPixel32(Bitmap, X, Y)) & 0xFFFFFF);
}

// How many pixels of R have the colour, and their bounds.
struct ColourCount {
    int Count = 0;
    vcl::TRect Bounds{};
};
inline ColourCount CountColour(vcl::TBitmap &Bitmap, vcl::TColor Colour, vcl::TRect R = {0, 0, 1 << 20, 1 << 20}) {
    ColourCount c;
    for (int y = std::max(R.Top, 0); y < std::min(R.Bottom, Bitmap.Height()); ++y)
        for (int x = std::max(R.Left, 0); x < std::min(R.Right, Bitmap.Width()); ++x) {
            if (PixelAt(Bitmap, x, y) != Colour) continue;
            c.Bounds = c.Count++ ? vcl::TRect{std::min(c.Bounds.Left, x), std::min(c.Bounds.Top, y),
                                              std::max(c.Bounds.Right, x + 1), y + 1}
                                 : vcl::TRect{x, y, x + 1, y + 1};
        }
    return c;
}

// A 32-bit bitmap filled with one colour, to paint into.
inline std::unique_ptr<vcl::TBitmap> Canvas32(int W, int H, vcl::TColor Colour) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf32bit);
    b->SetSize(W, H);
    FillRectAlpha(*b, {0, 0, W, H}, Colour, 255);
    return b;
}

} // namespace skin::test
