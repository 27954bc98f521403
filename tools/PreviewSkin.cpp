// Preview pictures of a packed skin for a person to judge it:
//   <name>-master.png     the master bitmap enlarged, key colour as a check
//   <name>-glyphs.png     title buttons, check boxes and radio buttons
//                         enlarged, in every state, on their background
//   <name>-controls.png   the sections of the common controls in their states
//   <name>-installer.png  the installer's main window composed from the
//                         skin's pieces, with the library's window shadow
//
//   zuvo_preview_skin <packed skin> <product picture .bmp> <shadow .png>
//                     <font .ttf> <output folder> <name>
//
// Everything is read back from the packed skin and painted by the skinning
// library's readers and painters (SkinComposer.h), as the program does.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

#include "PreviewText.h"
#include "SkinComposer.h"
#include "installer/MainFormText.h"
#include "skin/graphics/vlPixelHelpers.h"
#include "skin/manager/sSkinQueries.h"

namespace fs = std::filesystem;
using namespace skintools;

namespace {

constexpr int TextSize = 13;  // the form's font is 13 pixels high

// The text colour of a section in a state.
RGB Colour(const SkinBook &Book, const std::string &Section, int State) {
    return ColourOf(Book.Look(Section, State).FontColor);
}

int FrameWidth(const skin::TsMaskData &Mask) { return skin::GetMaskFrameWidth(Mask); }
int PartHeight(const skin::TsMaskData &Mask) { return skin::GetMaskFrameHeight(Mask); }

void FillRect(Image &Target, const Rect &R, Pixel P) {
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (Target.Contains(x, y)) Target.At(x, y) = P;
}

// Source-over of a straight-alpha picture.
void Blend(Image &Target, int X, int Y, const Image &Source) {
    for (int y = 0; y < Source.Height(); ++y)
        for (int x = 0; x < Source.Width(); ++x) {
            if (!Target.Contains(X + x, Y + y)) continue;
            const Pixel &s = Source.At(x, y);
            Pixel &d = Target.At(X + x, Y + y);
            auto mix = [&](int dv, int sv) { return static_cast<std::uint8_t>((sv * s.A + dv * (255 - s.A)) / 255); };
            d = {mix(d.R, s.R), mix(d.G, s.G), mix(d.B, s.B), 0xFF};
        }
}

// A picture nine-sliced at Cut pixels on every side and stretched over the
// rectangle (the centre included), as the library draws its shadow.
Image NineStretch(const Image &Source, int Cut, int Width, int Height) {
    Image out(Width, Height);
    auto map = [&](int v, int length, int sourceLength) {
        if (v < Cut) return v;
        if (v >= length - Cut) return sourceLength - (length - v);
        return Cut + (v - Cut) * (sourceLength - 2 * Cut) / std::max(1, length - 2 * Cut);
    };
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            out.At(x, y) = Source.At(map(x, Width, Source.Width()), map(y, Height, Source.Height()));
    return out;
}

void VerticalGradient(Image &Target, const Rect &R, RGB Top, RGB Bottom) {
    for (int y = R.Top; y < R.Bottom; ++y) {
        const double t = double(y - R.Top) / std::max(1, R.Height() - 1);
        FillRect(Target, {R.Left, y, R.Right, y + 1},
                 PixelOf({int(Top.R + (Bottom.R - Top.R) * t), int(Top.G + (Bottom.G - Top.G) * t), int(Top.B + (Bottom.B - Top.B) * t)}));
    }
}

std::vector<std::string> Wrap(const TextPainter &Text, const std::string &Line, int Width) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t at = 0;
    while (at <= Line.size()) {
        std::size_t space = Line.find(' ', at);
        if (space == std::string::npos) space = Line.size();
        const std::string word = Line.substr(at, space - at);
        const std::string candidate = current.empty() ? word : current + " " + word;
        if (!current.empty() && Text.Measure(candidate, TextSize) > Width) {
            lines.push_back(current);
            current = word;
        } else {
            current = candidate;
        }
        at = space + 1;
    }
    lines.push_back(current);
    return lines;
}

// --- the installer's window ---------------------------------------------------

struct Window {
    Image Picture;
    std::vector<bool> Outside;  // pixels that the window region leaves out
};

void PaintScrollBarV(const SkinBook &Book, Image &Target, const Rect &R, int ThumbTop, int ThumbLength) {
    const int b = R.Width();
    Book.PaintSection(Target, {R.Left, R.Top, R.Right, ThumbTop + ThumbLength / 2}, "SCROLLBAR1V", 0);
    Book.PaintSection(Target, {R.Left, ThumbTop + ThumbLength / 2, R.Right, R.Bottom}, "SCROLLBAR2V", 0);
    const auto arrow = [&](const std::string &Section, int Top) {
        const Rect button{R.Left, Top, R.Right, Top + b};
        Book.PaintSection(Target, button, Section, 0);
        const skin::TsMaskData &glyph = Book.Mask(Section, "GLYPHMASK");
        const int gw = FrameWidth(glyph), gh = PartHeight(glyph);
        Book.DrawGlyph(Target, button.Left + (b - gw) / 2, button.Top + (b - gh) / 2, glyph, 0);
    };
    arrow("SCROLLBTNTOP", R.Top);
    arrow("SCROLLBTNBOTTOM", R.Bottom - b);
    Book.PaintSection(Target, {R.Left, ThumbTop, R.Right, ThumbTop + ThumbLength}, "SCROLLSLIDERV", 0);
}

void PaintProgress(const SkinBook &Book, Image &Target, const Rect &R, double Done) {
    Book.PaintSection(Target, R, "GAUGE", 0);
    const int width = static_cast<int>(R.Width() * Done);
    if (width > 0) Book.PaintSection(Target, {R.Left, R.Top, R.Left + width, R.Bottom}, "PROGRESSH", 0);
}

Window Installer(const SkinBook &Book, const TextPainter &Text, const Image &ProductPicture) {
    const skin::TsSkinData &global = Book.Data();
    const int border = global.BorderWidth, title = global.TitleHeight;
    const int clientW = 774, clientH = 341;
    const int w = clientW + 2 * border, h = clientH + 2 * border + title;
    Window window{Image(w, h, PixelOf(ColourOf(Book.Look("FORM", 1).Color))), std::vector<bool>(std::size_t(w) * h, false)};
    Image &img = window.Picture;

    // Frame: the form's section over everything, the caption band on top.
    Book.PaintSection(img, {0, 0, w, h}, "FORM", 1);
    const int captionBottom = border + title;
    Book.PaintSection(img, {0, 0, w, captionBottom}, "FORMTITLE", 1);
    const std::string caption = installer::ShownCaption;
    const int centreY = title / 2 + border / 2;
    const int textX = border + global.BILeft + 4 + 2;
    Text.Draw(img, textX, centreY - Text.Height(12) / 2, caption, 12, Colour(Book, "CAPTION", 1));
    // A dialog's caption carries the small close button only.
    const skin::TsMaskData &close = Book.Mask("GLOBALINFO", "SICONCLOSE");
    const int closeRight = w - global.BIRight - std::max(border, 4);
    Book.DrawGlyph(img, closeRight - FrameWidth(close), centreY - PartHeight(close) / 2, close, 0);

    // Client area, at the positions of the form description.
    const int ox = border, oy = captionBottom;
    auto at = [&](int x, int y, int cw, int ch) { return Rect{ox + x, oy + y, ox + x + cw, oy + y + ch}; };
    img.Paste(ProductPicture.Crop(0, 0, std::min(313, ProductPicture.Width()), std::min(221, ProductPicture.Height())), ox + 24, oy + 8);

    const Rect memo = at(343, 8, 408, 221);
    Book.PaintSection(img, memo, "EDIT", 0);
    const int scroll = 17;
    const Rect bar{memo.Right - 1 - scroll, memo.Top + 1, memo.Right - 1, memo.Bottom - 1};
    PaintScrollBarV(Book, img, bar, bar.Top + scroll + 2, bar.Height() - 2 * scroll - 40);
    // The memo's text as the form shows it: its caption, then the welcome text.
    std::vector<std::string> memoLines = {caption};
    memoLines.insert(memoLines.end(), std::begin(installer::WelcomeLines), std::end(installer::WelcomeLines));
    const int textLeft = memo.Left + 4, textWidth = bar.Left - 4 - textLeft;
    int y = memo.Top + 4;
    for (const std::string &line : memoLines)
        for (const std::string &wrapped : Wrap(Text, line, textWidth)) {
            Text.Draw(img, textLeft + (textWidth - Text.Measure(wrapped, TextSize)) / 2, y, wrapped, TextSize, Colour(Book, "EDIT", 0));
            y += Text.Height(TextSize);
        }

    PaintProgress(Book, img, at(24, 235, 727, 17), 0.62);
    PaintProgress(Book, img, at(24, 258, 727, 17), 4.0 / 11.0);

    const Rect button = at(24, 281, 169, 39);
    Book.PaintSection(img, button, "BUTTON", 1);
    const std::string install = "Instaluj";
    Text.Draw(img, button.Left + (button.Width() - Text.Measure(install, TextSize)) / 2,
              button.Top + (button.Height() - Text.Height(TextSize)) / 2, install, TextSize, Colour(Book, "BUTTON", 1));
    Text.Draw(img, ox + 208, oy + 291, std::string(installer::StatusPrefix) + "merkzuvo.exe", TextSize,
              ColourOf(Book.Colors()[skin::scGlobalFontColor]));

    // The window region: the key-colour runs of the border's corners.
    const skin::TsMaskData &mask = Book.Mask("FORM", "BORDERSMASK");
    const vcl::TBitmapView source = skin::MaskImage(mask);
    const int fw = FrameWidth(mask), ph = PartHeight(mask);
    const int wl = skin::MaskLeftMargin(mask), wt = skin::MaskTopMargin(mask);
    const int wr = skin::MaskRightMargin(mask), wb = skin::MaskBottomMargin(mask);
    auto outside = [&](int mx, int my) { return source.At(mask.R.Left + mx, mask.R.Top + my) == skin::KeyPixel; };
    for (int r = 0; r < wt; ++r)
        for (int c = 0; c < wl; ++c) window.Outside[std::size_t(r) * w + c] = outside(c, r);
    for (int r = 0; r < wt; ++r)
        for (int c = fw - wr; c < fw; ++c) window.Outside[std::size_t(r) * w + (w - fw + c)] = outside(c, r);
    for (int r = 0; r < wb; ++r) {
        const int my = ph - wb + r, wy = h - wb + r;
        for (int c = 0; c < wl; ++c) window.Outside[std::size_t(wy) * w + c] = outside(c, my);
        for (int c = fw - wr; c < fw; ++c) window.Outside[std::size_t(wy) * w + (w - fw + c)] = outside(c, my);
    }
    return window;
}

Image OnDesktop(const Window &Win, const Image &Shadow) {
    constexpr int Pad = 40, ShadowMargin = 9;
    const int w = Win.Picture.Width(), h = Win.Picture.Height();
    Image out(w + 2 * Pad, h + 2 * Pad);
    VerticalGradient(out, {0, 0, out.Width(), out.Height()}, {0xD5, 0xDC, 0xE5}, {0xBF, 0xC9, 0xD6});
    const Image shadow = NineStretch(Shadow, ShadowMargin, w + 2 * ShadowMargin, h + 2 * ShadowMargin);
    Blend(out, Pad - ShadowMargin, Pad - ShadowMargin, shadow);
    // The round corners left out of the window show the shadow that lies
    // nearest to them diagonally, as the library fills them from its picture.
    Image corner(1, 1, Shadow.At(ShadowMargin - 1, ShadowMargin - 1));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!Win.Outside[std::size_t(y) * w + x]) {
                out.At(Pad + x, Pad + y) = Win.Picture.At(x, y);
                continue;
            }
            const bool bottom = y >= h / 2;
            corner.At(0, 0) = Shadow.At(ShadowMargin + (x >= w / 2 ? 1 : -1), ShadowMargin + (bottom ? 1 : -1));
            Blend(out, Pad + x, Pad + y, corner);
        }
    return out;
}

// --- sheets ---------------------------------------------------------------

Image MasterSheet(const SkinBook &Book) {
    constexpr int Scale = 3, Cell = 6;
    const Image big = Book.MasterPicture().Enlarged(Scale);
    Image out(big.Width() + 16, big.Height() + 16, Pixel{0x60, 0x66, 0x70, 0xFF});
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) {
            Pixel p = big.At(x, y);
            if (p.R == 0xFF && p.G == 0 && p.B == 0xFF)
                p = ((x / Cell + y / Cell) % 2) ? Pixel{0xE4, 0xE4, 0xE4, 0xFF} : Pixel{0xF8, 0xF8, 0xF8, 0xFF};
            out.At(x + 8, y + 8) = p;
        }
    return out;
}

Image GlyphSheet(const SkinBook &Book, const TextPainter &Text) {
    constexpr int Scale = 5;
    const std::vector<std::string> title = {"BICONCLOSE", "BICONMAX", "BICONNORM", "BICONMIN", "BICONHELP", "TITLEBUTTON",
                                            "SICONCLOSE", "SICONMAX", "SICONNORM", "SICONMIN", "SICONHELP", "GRIPIMAGE"};
    const std::vector<std::string> boxes = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "RADIOUNCHECKED", "RADIOCHECKED",
                                            "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED"};
    const RGB caption = ColourOf(Book.Look("FORMTITLE", 1).Color), face = ColourOf(Book.Look("FORM", 1).Color);
    // Rows of small pictures drawn at 1:1, enlarged at the end.
    Image small(360, 32 * int(title.size() + boxes.size()) + 8, PixelOf(face));
    int y = 4;
    auto row = [&](const std::string &Key, RGB Ground, bool WithInactive) {
        const skin::TsMaskData &item = Book.Mask("GLOBALINFO", Key);
        int x = 4;
        for (int pass = 0; pass < (WithInactive ? 2 : 1); ++pass)
            for (int state = 0; state < item.ImageCount; ++state) {
                FillRect(small, {x - 1, y - 1, x + FrameWidth(item) + 1, y + PartHeight(item) + 1}, PixelOf(Ground));
                Book.DrawGlyph(small, x, y, item, state, pass == 1);
                x += FrameWidth(item) + 6;
            }
        y += std::max(PartHeight(item), 16) + 6;
    };
    for (const std::string &key : title) row(key, caption, key != "GRIPIMAGE");
    for (const std::string &key : boxes) row(key, face, false);
    Image out = small.Crop(0, 0, small.Width(), y).Enlarged(Scale);
    Text.Draw(out, 8, out.Height() - 22, "normal, hot, pressed; then the same drawn for an inactive window", 14, {0x4B, 0x55, 0x63});
    return out;
}

Image ControlSheet(const SkinBook &Book, const TextPainter &Text) {
    const RGB face = ColourOf(Book.Look("FORM", 1).Color);
    Image out(760, 480, PixelOf(face));
    const char *states[] = {"normal", "hot", "pressed"};
    auto label = [&](int x, int y, const std::string &s) { Text.Draw(out, x, y, s, 12, {0x63, 0x6E, 0x7C}); };
    int y = 12;
    // Buttons.
    for (int s = 0; s < 3; ++s) {
        const Rect r{16 + s * 130, y + 16, 16 + s * 130 + 110, y + 16 + 30};
        label(r.Left, y, std::string("BUTTON ") + states[s]);
        Book.PaintSection(out, r, "BUTTON", s);
        Text.Draw(out, r.Left + (r.Width() - Text.Measure("OK", TextSize)) / 2, r.Top + 7, "OK", TextSize, Colour(Book, "BUTTON", s));
    }
    for (int s = 0; s < 2; ++s) {
        const Rect r{420 + s * 165, y + 16, 420 + s * 165 + 150, y + 16 + 24};
        label(r.Left, y, std::string("EDIT ") + states[s]);
        Book.PaintSection(out, r, "EDIT", s);
        Text.Draw(out, r.Left + 6, r.Top + 5, "c:\\merkano_zuvo", TextSize, Colour(Book, "EDIT", s));
    }
    y += 64;
    // Check boxes and radio buttons with captions.
    const std::vector<std::pair<std::string, std::string>> checks = {
        {"BOXUNCHECKED", "Desktop shortcut"}, {"BOXCHECKED", "Start when done"}, {"BOXGRAYED", "Some files"},
        {"RADIOUNCHECKED", "Typical"}, {"RADIOCHECKED", "Complete"}};
    int x = 16;
    for (const auto &[key, caption] : checks) {
        const skin::TsMaskData &glyph = Book.Mask("GLOBALINFO", key);
        for (int s = 0; s < 3; ++s) Book.DrawGlyph(out, x + s * (FrameWidth(glyph) + 4), y + 20, glyph, s);
        Book.DrawGlyph(out, x, y, glyph, 0);
        Text.Draw(out, x + FrameWidth(glyph) + 6, y, caption, TextSize, Colour(Book, "CHECKBOX", 0));
        x += FrameWidth(glyph) + 12 + Text.Measure(caption, TextSize) + 16;
    }
    y += 50;
    // Progress.
    label(16, y, "GAUGE and PROGRESSH");
    PaintProgress(Book, out, {16, y + 16, 360, y + 16 + 17}, 0.45);
    label(400, y, "COMBOBOX");
    const Rect combo{400, y + 14, 600, y + 14 + 24};
    Book.PaintSection(out, combo, "COMBOBOX", 0);
    Text.Draw(out, combo.Left + 6, combo.Top + 5, "Čeština", TextSize, Colour(Book, "EDIT", 0));
    const Rect comboButton{combo.Right - 22, combo.Top + 1, combo.Right - 1, combo.Bottom - 1};
    Book.PaintSection(out, comboButton, "COMBOBTN", 1);
    const skin::TsMaskData &chevron = Book.Mask("COMBOBOX", "GLYPHMASK");
    Book.DrawGlyph(out, comboButton.Left + (comboButton.Width() - FrameWidth(chevron)) / 2,
                   comboButton.Top + (comboButton.Height() - PartHeight(chevron)) / 2, chevron, 1);
    y += 56;
    // Tabs on a sheet.
    label(16, y, "TABTOP normal, hot, selected on TABSHEET");
    const Rect sheet{16, y + 16 + 26, 400, y + 16 + 26 + 90};
    Book.PaintSection(out, sheet, "TABSHEET", 0);
    const int tabState[] = {0, 1, 2};
    for (int i = 0; i < 3; ++i) {
        const Rect tab{20 + i * 96, y + 16 + (tabState[i] == 2 ? 0 : 2), 20 + i * 96 + 92, sheet.Top + (tabState[i] == 2 ? 1 : 0)};
        Book.PaintSection(out, tab, "TABTOP", tabState[i]);
        const std::string caption = i == 0 ? "Soubory" : i == 1 ? "Zástupce" : "Složka";
        Text.Draw(out, tab.Left + (tab.Width() - Text.Measure(caption, TextSize)) / 2, tab.Top + 5, caption, TextSize,
                  Colour(Book, "TABTOP", tabState[i]));
    }
    // A popup menu.
    label(430, y, "MAINMENU with MENUITEM hot and DIVIDER");
    const Rect menu{430, y + 16, 630, y + 16 + 104};
    Book.PaintSection(out, menu, "MAINMENU", 0);
    const char *items[] = {"Otevřít", "Uložit", "", "Konec"};
    int iy = menu.Top + 4;
    for (int i = 0; i < 4; ++i) {
        if (*items[i] == 0) {
            Book.PaintSection(out, {menu.Left + 4, iy, menu.Right - 4, iy + 8}, "DIVIDER", 0);
            iy += 8;
            continue;
        }
        const Rect item{menu.Left + 3, iy, menu.Right - 3, iy + 22};
        Book.PaintSection(out, item, "MENUITEM", i == 1 ? 1 : 0);
        Text.Draw(out, item.Left + 12, item.Top + 4, items[i], TextSize, Colour(Book, "MENUITEM", i == 1 ? 1 : 0));
        iy += 22;
    }
    y += 150;
    // Scroll bar and tool buttons.
    label(16, y, "SCROLLBAR (thumb normal, hot, pressed)");
    for (int s = 0; s < 3; ++s) {
        const Rect bar{16 + s * 120, y + 16, 16 + s * 120 + 110, y + 16 + 17};
        Book.PaintSection(out, bar, "SCROLLBAR1H", 0);
        Book.PaintSection(out, {bar.Left, bar.Top, bar.Left + 17, bar.Bottom}, "SCROLLBTNLEFT", s == 1 ? 1 : 0);
        const skin::TsMaskData &left = Book.Mask("SCROLLBTNLEFT", "GLYPHMASK"), &right = Book.Mask("SCROLLBTNRIGHT", "GLYPHMASK");
        Book.DrawGlyph(out, bar.Left + 4, bar.Top + 4, left, s == 1 ? 1 : 0);
        Book.DrawGlyph(out, bar.Right - 13, bar.Top + 4, right, 0);
        Book.PaintSection(out, {bar.Left + 30, bar.Top, bar.Left + 70, bar.Bottom}, "SCROLLSLIDERH", s);
    }
    label(400, y, "TOOLBUTTON normal, hot, pressed");
    for (int s = 0; s < 3; ++s) {
        const Rect r{400 + s * 40, y + 16, 400 + s * 40 + 32, y + 16 + 28};
        Book.PaintSection(out, r, "TOOLBUTTON", s);
        Text.Draw(out, r.Left + 11, r.Top + 6, "A", TextSize, Colour(Book, "TOOLBUTTON", s));
    }
    y += 56;
    label(16, y, "PANEL_LOW (texture), PANEL, GROUPBOX, STATUSBAR");
    Book.PaintSection(out, {16, y + 16, 190, y + 16 + 40}, "PANEL_LOW", 0);
    Book.PaintSection(out, {206, y + 16, 380, y + 16 + 40}, "PANEL", 0);
    Book.PaintSection(out, {396, y + 16, 570, y + 16 + 40}, "GROUPBOX", 0);
    Book.PaintSection(out, {586, y + 16, 744, y + 16 + 24}, "STATUSBAR", 0);
    Text.Draw(out, 592, y + 20, "Hotovo", TextSize, Colour(Book, "STATUSBAR", 0));
    return out;
}

void Save(const Image &Picture, const fs::path &Path) { WriteFileBytes(Path.string(), EncodePng(Picture)); }

} // namespace

int main(int argc, char **argv) {
    if (argc != 7) {
        std::cerr << "usage: zuvo_preview_skin <packed skin> <product picture .bmp> <shadow .png> <font .ttf> <output folder> <name>\n";
        return 2;
    }
    try {
        const SkinBook book(ReadFileBytes(argv[1]));
        const Image picture = DecodeBmp(ReadFileBytes(argv[2]));
        const Image shadow = DecodePng(ReadFileBytes(argv[3]));
        const TextPainter text(argv[4]);
        const fs::path out = argv[5];
        const std::string name = argv[6];
        fs::create_directories(out);
        Save(MasterSheet(book), out / (name + "-master.png"));
        Save(GlyphSheet(book, text), out / (name + "-glyphs.png"));
        Save(ControlSheet(book, text), out / (name + "-controls.png"));
        const Image installer = OnDesktop(Installer(book, text, picture), shadow);
        Save(installer, out / (name + "-installer.png"));
        // Four places of the window four times larger: the top-left corner,
        // the close button, the progress bars over the button, the memo's
        // scroll bar.
        const int w = installer.Width(), h = installer.Height();
        const int places[4][2] = {{30, 30}, {w - 150, 30}, {50, h - 160}, {w - 150, 100}};
        Image details(2 * 4 * 100 + 24, 2 * 4 * 60 + 24, Pixel{0x60, 0x66, 0x70, 0xFF});
        for (int i = 0; i < 4; ++i)
            details.Paste(installer.Crop(places[i][0], places[i][1], 100, 60).Enlarged(4), 8 + (i % 2) * 408, 8 + (i / 2) * 248);
        Save(details, out / (name + "-details.png"));
    } catch (const std::exception &e) {
        std::cerr << "zuvo_preview_skin: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
