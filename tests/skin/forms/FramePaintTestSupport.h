#pragma once
// What the tests of the frame's painting share: a skin whose frame pieces
// each have a colour of their own in each state (the form's face and its
// border image, the caption band, the caption text's box and text, the
// size grip, the title glyphs), a provider prepared on a shown form, and
// pixel readers of the cache and of device contexts. Windows only.
#include <windows.h>

#include <memory>
#include <string>

#include "FormsTestSupport.h"
#include "skin/forms/sFrameMetrics.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"

namespace skin::test {

// Colours of the skin's pieces, normal (inactive) and hot (active) state.
constexpr vcl::TColor Face = 0x302010, FaceActive = 0x403020;        // FORM
constexpr vcl::TColor Border = 0x0000A0, BorderActive = 0x00A000;    // FORM's border image
constexpr vcl::TColor Band = 0x605040, BandActive = 0x706050;        // FORMTITLE
constexpr vcl::TColor TextBox = 0x908070, TextBoxActive = 0xA09080;  // CAPTION
constexpr vcl::TColor Text = 0x0000FF, TextActive = 0xFF0000;        // CAPTION's font colours
constexpr vcl::TColor TitleText = 0x00FF00, TitleTextActive = 0x00FF80;  // FORMTITLE's
constexpr vcl::TColor Grip = 0x00FFFF;
constexpr vcl::TColor Glyph = 0x808000;

// The master: the FORM border image (two 8 x 8 states, a key pixel in the
// top-left corner of each, an all-black mask below), the grip (6 x 6, its
// mask below) and one title glyph of three 10 x 10 states (mask below).
inline Bytes PieceMaster() {
    return Bmp24(64, 24, [](int x, int y) -> vcl::TColor {
        if (x < 16 && y < 16) {
            if (y >= 8) return 0;                          // the mask: the image shows
            if (y == 0 && (x == 0 || x == 8)) return Fuchsia;
            return x < 8 ? Border : BorderActive;
        }
        if (x >= 16 && x < 22 && y < 12) return y < 6 ? Grip : 0;
        if (x >= 24 && x < 54 && y < 20) return y < 10 ? Glyph + (x - 24) / 10 : 0;
        return 0x202020;
    });
}

// The options; Small: the skin has the small title glyphs too; Caption:
// it has the section "CAPTION"; Glow: the caption text glows when active.
inline std::string PieceOptions(bool Small = true, bool Caption = true, bool Glow = false) {
    const auto hex = [](vcl::TColor c) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(c));
        return std::string(text);
    };
    const std::string glyph = "=@0024,0000,0054,0020,3,1\r\n";
    std::string s = "[GLOBALINFO]\r\nVERSION=10\r\nMASTERBITMAP=master.bmp\r\nCOLOR=0xE0E0E0\r\nFONTCOLOR=0x202020\r\n"
                    "BILEFT=2\r\nBISPACE=1\r\nGRIPIMAGE=@0016,0000,0022,0012,1,1\r\n";
    for (const char *name : {"BICONCLOSE", "BICLOSEALONE", "BICONMAX", "BICONNORM", "BICONMIN", "BICONHELP",
                             "TITLEBUTTON"})
        s += std::string(name) + glyph;
    if (Small)
        for (const char *name : {"SICONCLOSE", "SICONMAX", "SICONNORM", "SICONMIN"}) s += std::string(name) + glyph;
    s += "[FORM]\r\nSTATES=2\r\nCOLOR=" + hex(Face) + "\r\nHOTCOLOR=" + hex(FaceActive) +
         "\r\nFONTCOLOR=0x101010\r\nHOTFONTCOLOR=0x101010\r\n"
         "BORDERSMASK=^0000,0000,0016,0016,0003,0003,0003,0003,2,1,0,0\r\n";
    s += "[FORMTITLE]\r\nSTATES=2\r\nCOLOR=" + hex(Band) + "\r\nHOTCOLOR=" + hex(BandActive) +
         "\r\nFONTCOLOR=" + hex(TitleText) + "\r\nHOTFONTCOLOR=" + hex(TitleTextActive) + "\r\n";
    if (Caption)
        s += "[CAPTION]\r\nSTATES=2\r\nCOLOR=" + hex(TextBox) + "\r\nHOTCOLOR=" + hex(TextBoxActive) +
             "\r\nFONTCOLOR=" + hex(Text) + "\r\nHOTFONTCOLOR=" + hex(TextActive) + "\r\n" +
             (Glow ? "HGSIZE=3\r\nHGCOL=0xFFFFFF\r\n" : "");
    return s;
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

// A shown form with a provider that has the skin applied, in a state.
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
    // A whole render in the state; the caption's centre line where the
    // button layout puts it without a border form.
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

// One pixel of a 32-bit bitmap as a colour (0xBBGGRR), alpha left out.
inline vcl::TColor PixelAt(vcl::TBitmap &Bitmap, int X, int Y) {
    return static_cast<vcl::TColor>(SwapRedBlue(GetPixel32(Bitmap, X, Y)) & 0xFFFFFF);
}

inline std::uint8_t AlphaAt(vcl::TBitmap &Bitmap, int X, int Y) {
    return static_cast<std::uint8_t>(GetPixel32(Bitmap, X, Y) >> 24);
}

// The pixels of R (cut to the bitmap) that have the colour, and their bounds.
struct ColourCount {
    int Count = 0;
    vcl::TRect Bounds{};
};
inline ColourCount CountColour(vcl::TBitmap &Bitmap, vcl::TColor Colour, vcl::TRect R = {0, 0, 1 << 20, 1 << 20}) {
    ColourCount c;
    R = {std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bitmap.Width()), std::min(R.Bottom, Bitmap.Height())};
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x) {
            if (PixelAt(Bitmap, x, y) != Colour) continue;
            if (c.Count++ == 0) c.Bounds = {x, y, x + 1, y + 1};
            c.Bounds = {std::min(c.Bounds.Left, x), std::min(c.Bounds.Top, y), std::max(c.Bounds.Right, x + 1),
                        std::max(c.Bounds.Bottom, y + 1)};
        }
    return c;
}

// A 32-bit bitmap of a window's size filled with one colour, to paint into.
inline std::unique_ptr<vcl::TBitmap> Canvas32(int W, int H, vcl::TColor Colour) {
    auto b = std::make_unique<vcl::TBitmap>();
    b->SetPixelFormat(vcl::pf32bit);
    b->SetSize(W, H);
    FillRectAlpha(*b, {0, 0, W, H}, Colour, 255);
    return b;
}

} // namespace skin::test
