#include "BerylloArt.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skintools::beryllo {

namespace {

// The palette: one accent on calm light greys and slate (RGB).
const Colour Face = Rgb(0xF4F6F9);
const Colour White = Rgb(0xFFFFFF);
const Colour Glyph = Rgb(0x3A4656);
const Colour Accent = Rgb(0x2B6CB0);
const Colour AccentHot = Rgb(0x3B7CC2);
const Colour AccentPressed = Rgb(0x245D99);
const Colour AccentDark = Rgb(0x1E4F86);
const Colour AccentTint = Rgb(0xF3F8FD);
const Colour AccentTint2 = Rgb(0xDDEAF7);
const Colour FocusGlow = Rgb(0xBFD6EE);
const Colour Line = Rgb(0xCBD3DD);
const Colour LineStrong = Rgb(0xB9C3CF);
const Colour LineShadow = Rgb(0xA3AEBD);
const Colour Separator = Rgb(0xE1E6EC);
const Colour BoxLine = Rgb(0x8C99AA);
const Colour ChipHot = Rgb(0xE3E8EF);
const Colour ChipPressed = Rgb(0xCDD5DF);
const Colour CloseHot = Rgb(0xD9453B);
const Colour ClosePressed = Rgb(0xB7352C);
const Colour OutlineActive = Rgb(0x3F6FA3);
const Colour OutlineInactive = Rgb(0xB6BFCB);
const Colour Track = Rgb(0xE8ECF1);

float W(const Canvas &C) { return float(C.Width()); }
float H(const Canvas &C) { return float(C.Height()); }

Shape Band(float X0, float Y0, float X1, float Y1) { return RoundRect(X0, Y0, X1, Y1, 0); }

// --- title buttons -------------------------------------------------------

enum class TitleGlyph { Close, Max, Norm, Min, Help, None };

// The glyph of a title button, Size pixels square, centred in the frame.
void DrawTitleGlyph(Canvas &C, TitleGlyph Kind, float Size, Colour Ink) {
    const float x0 = std::floor((W(C) - Size) / 2), y0 = std::floor((H(C) - Size) / 2);
    const float x1 = x0 + Size, y1 = y0 + Size;
    switch (Kind) {
    case TitleGlyph::Close:
        // An odd size puts the crossing on one pixel.
        C.Fill(Union(Segment(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 1.25f),
                     Segment(x1 - 0.5f, y0 + 0.5f, x0 + 0.5f, y1 - 0.5f, 1.25f)),
               Ink);
        break;
    case TitleGlyph::Max:
        C.Fill(InnerBand(RoundRect(x0, y0, x1, y1, 1), 1), Ink);
        break;
    case TitleGlyph::Norm: {
        const float d = std::round(Size / 5);
        const Shape front = RoundRect(x0, y0 + d, x1 - d, y1, 1);
        C.Fill(Subtract(InnerBand(RoundRect(x0 + d, y0, x1, y1 - d, 1), 1), front), Ink);
        C.Fill(InnerBand(front, 1), Ink);
        break;
    }
    case TitleGlyph::Min: {
        const float y = std::floor((y0 + y1) / 2);
        C.Fill(Band(x0, y, x1, y + 1), Ink);
        break;
    }
    case TitleGlyph::Help: {
        // A hook on top, a short stem and a dot.
        const float cx = (x0 + x1) / 2, r = Size * 0.28f, cy = y0 + r + 0.6f;
        const float pi = 3.14159265f, end = 2.3f * pi;
        const float ex = cx + r * std::cos(end), ey = cy + r * std::sin(end);
        const float stemTop = cy + r * 0.85f, stemBottom = std::max(stemTop, y1 - 2.9f);
        Shape hook = Arc(cx, cy, r, pi, end, 1.3f);
        hook = Union(hook, Segment(ex, ey, cx, stemTop, 1.3f));
        hook = Union(hook, Segment(cx, stemTop, cx, stemBottom, 1.3f));
        C.Fill(hook, Ink);
        C.Fill(Circle(cx, y1 - 0.9f, 0.85f), Ink);
        break;
    }
    case TitleGlyph::None:
        break;
    }
}

// Normal: the glyph alone; hot and pressed: on a round chip (red for close).
FramePainter TitleButton(TitleGlyph Kind, float GlyphSize) {
    return [=](Canvas &C, int State) {
        const bool close = Kind == TitleGlyph::Close;
        if (State > 0) {
            const Colour chip = close ? (State == 1 ? CloseHot : ClosePressed) : (State == 1 ? ChipHot : ChipPressed);
            C.Fill(RoundRect(1, 1, W(C) - 1, H(C) - 1, 4), chip);
        }
        DrawTitleGlyph(C, Kind, GlyphSize, close && State > 0 ? White : Glyph);
    };
}

void Grip(Canvas &C, int) {
    // Six dots in a triangle towards the bottom-right corner.
    const Colour dot = Rgb(0xA9B4C2);
    for (int row = 0; row < 3; ++row)
        for (int col = 2 - row; col < 3; ++col)
            C.Fill(RoundRect(float(col * 4 + 1), float(row * 4 + 1), float(col * 4 + 3), float(row * 4 + 3), 0.6f), dot);
}

// --- frames --------------------------------------------------------------

void FormBorder(Canvas &C, int State) {
    const Shape outer = RoundRect(0, 0, W(C), H(C), 6);
    C.KeyOutside(outer);
    C.Fill(InnerBand(outer, 1), State == 1 ? OutlineActive : OutlineInactive);
}

void CaptionBorder(Canvas &C, int State) {
    // Round at the top like the window; open at the bottom, where a separator
    // lies between the caption and the client area.
    const Shape outer = RoundRect4(0, 0, W(C), H(C) + 8, 6, 6, 0, 0);
    C.KeyOutside(outer);
    C.Fill(Band(1, H(C) - 1, W(C) - 1, H(C)), State == 1 ? Rgb(0xDCE2EA) : Rgb(0xE6E9EE));
    C.Fill(InnerBand(outer, 1), State == 1 ? OutlineActive : OutlineInactive);
}

// --- controls ------------------------------------------------------------

// A rounded 1-pixel border whose outside takes the background.
FramePainter RoundBorder(float Radius, Colour Normal, Colour Hot, Colour Pressed) {
    return [=](Canvas &C, int State) {
        const Shape outer = RoundRect(0, 0, W(C), H(C), Radius);
        C.KeyOutside(outer);
        C.Fill(InnerBand(outer, 1), State == 0 ? Normal : State == 1 ? Hot : Pressed);
    };
}

void ButtonBorder(Canvas &C, int State) {
    const Shape outer = RoundRect(0, 0, W(C), H(C), 4);
    C.KeyOutside(outer);
    const Shape ring = InnerBand(outer, 1);
    if (State == 0) {
        C.Fill(ring, LineStrong);
        C.Fill(Intersect(ring, Band(0, H(C) - 3, W(C), H(C))), LineShadow);  // a hint of depth
    } else if (State == 1) {
        C.Fill(InnerBand(RoundRect(1, 1, W(C) - 1, H(C) - 1, 3), 1), FocusGlow, 0.7f);
        C.Fill(ring, Accent);
    } else {
        C.Fill(ring, AccentDark);
    }
}

// Nothing in the normal state; a chip when hot or pressed.
FramePainter Chip(float Inset, float Radius, Colour Hot, Colour Pressed) {
    return [=](Canvas &C, int State) {
        if (State == 0) return;
        C.Fill(RoundRect(Inset, Inset, W(C) - Inset, H(C) - Inset, Radius), State == 1 ? Hot : Pressed);
    };
}

FramePainter Slider(bool Vertical) {
    return [=](Canvas &C, int State) {
        const Colour fill = State == 0 ? Rgb(0xC5CDD8) : State == 1 ? Rgb(0xA9B4C2) : Rgb(0x8E9AAB);
        const Shape pill = Vertical ? RoundRect(4, 1, W(C) - 4, H(C) - 1, 4) : RoundRect(1, 4, W(C) - 1, H(C) - 4, 4);
        C.Fill(pill, fill);
    };
}

// A chevron pointing left, drawn in a square frame; the other directions
// turn it.
void ChevronLeft(Canvas &C, Colour Ink) {
    const float s = W(C);
    const float x0 = s * 0.36f + 0.5f, x1 = s * 0.64f + 0.5f, m = s / 2;
    const float h = s * 0.32f;
    C.Fill(Union(Segment(x1, m - h, x0, m, 1.4f), Segment(x0, m, x1, m + h, 1.4f)), Ink);
}

FramePainter ScrollChevron(int Quarters) {
    return [=](Canvas &C, int State) {
        const Colour ink = State == 0 ? Rgb(0x8A96A6) : State == 1 ? Rgb(0x4A5568) : Rgb(0x2D3748);
        Canvas left(C.Width(), C.Height());
        ChevronLeft(left, ink);
        C = left.Rotated(Quarters);
    };
}

void ComboChevron(Canvas &C, int State) {
    const Colour ink = State == 0 ? Rgb(0x5B6878) : State == 1 ? Rgb(0x2D3748) : Rgb(0x1F2937);
    const float s = W(C);
    C.Fill(Union(Segment(s * 0.2f, s * 0.35f, s * 0.5f, s * 0.65f, 1.4f), Segment(s * 0.5f, s * 0.65f, s * 0.8f, s * 0.35f, 1.4f)),
           ink);
}

// A tab on the top edge; the other edges turn or mirror it. Normal tabs
// show nothing of their own; hot ones are a chip with round top corners;
// the selected one is bordered with an accent line on top and stays open at
// the bottom, where it joins its sheet.
void TabTop(Canvas &C, int State) {
    if (State == 0) return;
    const Shape shape = RoundRect4(0, 0, W(C), H(C) + 8, 4, 4, 0, 0);
    C.KeyOutside(shape);
    if (State == 2) {
        C.Fill(InnerBand(shape, 1), Line);
        C.Fill(Intersect(shape, Band(0, 0, W(C), 2)), Accent);
    }
}

FramePainter TabTurned(int Quarters, bool Mirrored) {
    return [=](Canvas &C, int State) {
        Canvas top(C.Width(), C.Height());
        TabTop(top, State);
        C = Mirrored ? top.MirroredVertically() : top.Rotated(Quarters);
    };
}

void ProgressBorder(Canvas &C, int) {
    const Shape outer = RoundRect(0, 0, W(C), H(C), 3);
    C.KeyOutside(outer);
    C.Fill(Intersect(InnerBand(RoundRect(1, 1, W(C) - 1, H(C) - 1, 2), 1), Band(0, 0, W(C), 2)), White, 0.25f);
    C.Fill(InnerBand(outer, 1), AccentPressed);
}

void ColumnHeader(Canvas &C, int) {
    C.Fill(Band(W(C) - 1, 2, W(C), H(C) - 3), Rgb(0xD5DCE4));
    C.Fill(Band(0, H(C) - 1, W(C), H(C)), Line);
}

void Panel(Canvas &C, int) { C.Fill(InnerBand(Band(0, 0, W(C), H(C)), 1), Rgb(0xD5DBE3)); }

void PanelLow(Canvas &C, int) {
    C.Fill(InnerBand(Band(0, 0, W(C), H(C)), 1), Line);
    C.Fill(Union(Band(0, 0, W(C), 1), Band(0, 0, 1, H(C))), LineStrong);
}

void Divider(Canvas &C, int) { C.Fill(Band(0, 3, W(C), 4), Rgb(0xDCE2EA)); }

void StatusTop(Canvas &C, int) { C.Fill(Band(0, 0, W(C), 1), Rgb(0xD5DCE4)); }

// --- check boxes and radio buttons (PNG glyphs) -----------------------------

struct BoxLook {
    Colour Fill, Ring;
};

BoxLook EmptyBox(int State) {
    if (State == 0) return {White, BoxLine};
    if (State == 1) return {AccentTint, Accent};
    return {AccentTint2, AccentPressed};
}

BoxLook FilledBox(int State) {
    const Colour fill = State == 0 ? Accent : State == 1 ? AccentHot : AccentPressed;
    return {fill, State == 2 ? AccentDark : AccentPressed};
}

enum class BoxMark { None, Check, Dash };

FramePainter CheckBox(BoxMark Mark) {
    return [=](Canvas &C, int State) {
        const float s = W(C), r = s >= 16 ? 3.0f : 2.5f;
        const Shape box = RoundRect(1, 1, s - 1, s - 1, r);
        const BoxLook look = Mark == BoxMark::None ? EmptyBox(State) : FilledBox(State);
        C.Fill(box, look.Fill);
        C.Fill(InnerBand(box, 1), look.Ring);
        if (Mark == BoxMark::Check)
            C.Fill(Union(Segment(s * 0.28f, s * 0.52f, s * 0.43f, s * 0.67f, s * 0.11f),
                         Segment(s * 0.43f, s * 0.67f, s * 0.72f, s * 0.35f, s * 0.11f)),
                   White);
        if (Mark == BoxMark::Dash) C.Fill(Segment(s * 0.31f, s / 2, s * 0.69f, s / 2, s * 0.11f), White);
    };
}

FramePainter Radio(bool Checked) {
    return [=](Canvas &C, int State) {
        const float s = W(C);
        const Shape disc = Circle(s / 2, s / 2, s / 2 - 1);
        const BoxLook look = Checked ? FilledBox(State) : EmptyBox(State);
        C.Fill(disc, look.Fill);
        C.Fill(InnerBand(disc, 1), look.Ring);
        if (Checked) C.Fill(Circle(s / 2, s / 2, s * 0.16f), White);
    };
}

// --- texture -------------------------------------------------------------

// A faint weave: threads of four pixels, across and along in a check of
// 4 x 4 cells, each thread lighter in its middle.
Image Weave() {
    constexpr int Size = 16;
    const int shade[4] = {-3, 2, 3, -1};
    Image out(Size, Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const bool across = ((x / 4) + (y / 4)) % 2 == 0;
            const int d = shade[(across ? y : x) % 4];
            out.At(x, y) = Pixel{std::uint8_t(0xEC + d), std::uint8_t(0xEF + d), std::uint8_t(0xF3 + d), 0xFF};
        }
    return out;
}

} // namespace

const std::map<std::string, ItemPainter> &MasterItemPainters() {
    static const std::map<std::string, ItemPainter> painters = {
        {"GLOBALINFO.BICONCLOSE", {TitleButton(TitleGlyph::Close, 11), Face}},
        {"GLOBALINFO.BICLOSEALONE", {TitleButton(TitleGlyph::Close, 11), Face}},
        {"GLOBALINFO.BICONMAX", {TitleButton(TitleGlyph::Max, 10), Face}},
        {"GLOBALINFO.BICONNORM", {TitleButton(TitleGlyph::Norm, 10), Face}},
        {"GLOBALINFO.BICONMIN", {TitleButton(TitleGlyph::Min, 10), Face}},
        {"GLOBALINFO.BICONHELP", {TitleButton(TitleGlyph::Help, 10), Face}},
        {"GLOBALINFO.SICONCLOSE", {TitleButton(TitleGlyph::Close, 9), Face}},
        {"GLOBALINFO.SICONMAX", {TitleButton(TitleGlyph::Max, 8), Face}},
        {"GLOBALINFO.SICONNORM", {TitleButton(TitleGlyph::Norm, 8), Face}},
        {"GLOBALINFO.SICONMIN", {TitleButton(TitleGlyph::Min, 8), Face}},
        {"GLOBALINFO.SICONHELP", {TitleButton(TitleGlyph::Help, 8), Face}},
        {"GLOBALINFO.TITLEBUTTON", {TitleButton(TitleGlyph::None, 0), Face}},
        {"GLOBALINFO.GRIPIMAGE", {Grip, Face}},
        {"FORM.BORDERSMASK", {FormBorder, Face}},
        {"FORMTITLE.BORDERSMASK", {CaptionBorder, Face}},
        {"BUTTON.BORDERSMASK", {ButtonBorder, White}},
        {"TOOLBUTTON.BORDERSMASK", {Chip(0, 3, ChipHot, ChipPressed), Face}},
        {"UPDOWNBTN.BORDERSMASK", {RoundBorder(2, Rgb(0xC3CCD8), Accent, AccentDark), White}},
        {"EDIT.BORDERSMASK", {RoundBorder(3, Rgb(0xC3CCD8), Accent, Accent), White}},
        {"COMBOBOX.GLYPHMASK", {ComboChevron, White}},
        {"COMBOBTN.BORDERSMASK", {Chip(2, 3, Rgb(0xE8F0F9), Rgb(0xD6E5F5)), White}},
        {"GAUGE.BORDERSMASK", {RoundBorder(3, Rgb(0xC8D0DA), Rgb(0xC8D0DA), Rgb(0xC8D0DA)), Track}},
        {"PROGRESSH.BORDERSMASK", {ProgressBorder, Accent}},
        {"PROGRESSV.BORDERSMASK", {ProgressBorder, Accent}},
        {"SCROLLSLIDERH.BORDERSMASK", {Slider(false), Track}},
        {"SCROLLSLIDERV.BORDERSMASK", {Slider(true), Track}},
        {"SCROLLBTNLEFT.BORDERSMASK", {Chip(1, 3, ChipHot, ChipPressed), Track}},
        {"SCROLLBTNLEFT.GLYPHMASK", {ScrollChevron(0), Track}},
        {"SCROLLBTNTOP.GLYPHMASK", {ScrollChevron(1), Track}},
        {"SCROLLBTNRIGHT.GLYPHMASK", {ScrollChevron(2), Track}},
        {"SCROLLBTNBOTTOM.GLYPHMASK", {ScrollChevron(3), Track}},
        {"TABTOP.BORDERSMASK", {TabTop, White}},
        {"TABBOTTOM.BORDERSMASK", {TabTurned(0, true), White}},
        {"TABLEFT.BORDERSMASK", {TabTurned(3, false), White}},
        {"TABRIGHT.BORDERSMASK", {TabTurned(1, false), White}},
        {"TABSHEET.BORDERSMASK", {RoundBorder(3, Line, Line, Line), White}},
        {"MAINMENU.BORDERSMASK", {RoundBorder(5, Rgb(0xC3CCD8), Rgb(0xC3CCD8), Rgb(0xC3CCD8)), White}},
        {"MENUITEM.BORDERSMASK", {Chip(2, 3, Rgb(0xE4EDF8), Rgb(0xE4EDF8)), White}},
        {"DIVIDER.BORDERSMASK", {Divider, Face}},
        {"PANEL.BORDERSMASK", {Panel, Face}},
        {"PANEL_LOW.BORDERSMASK", {PanelLow, Face}},
        {"GROUPBOX.BORDERSMASK", {RoundBorder(4, Rgb(0xD3DAE3), Rgb(0xD3DAE3), Rgb(0xD3DAE3)), Face}},
        {"STATUSBAR.BORDERSMASK", {StatusTop, Face}},
        {"COLHEADER.BORDERSMASK", {ColumnHeader, White}},
    };
    return painters;
}

const std::map<std::string, GlyphPainter> &GlyphFilePainters() {
    static const std::map<std::string, GlyphPainter> painters = {
        {"BOXUNCHECKED.PNG", {CheckBox(BoxMark::None), 16}},   {"BOXCHECKED.PNG", {CheckBox(BoxMark::Check), 16}},
        {"BOXGRAYED.PNG", {CheckBox(BoxMark::Dash), 16}},      {"SMALLUNCHECKED.PNG", {CheckBox(BoxMark::None), 13}},
        {"SMALLCHECKED.PNG", {CheckBox(BoxMark::Check), 13}},  {"SMALLGRAYED.PNG", {CheckBox(BoxMark::Dash), 13}},
        {"RADIOUNCHECKED.PNG", {Radio(false), 16}},            {"RADIOCHECKED.PNG", {Radio(true), 16}},
    };
    return painters;
}

const std::map<std::string, std::function<Image()>> &TexturePainters() {
    static const std::map<std::string, std::function<Image()>> painters = {{"BERYLLOTX.BMP", Weave}};
    return painters;
}

} // namespace skintools::beryllo
