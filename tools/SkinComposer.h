#pragma once
// Paints a skin's sections and glyphs into pictures for the preview tool,
// following the skin library's painters closely enough to judge a skin by
// eye: the section background (colour, band gradients, tiled texture and
// their shares, transparency over what lies behind), the nine-slice border
// mask (tiled or stretched, the mask half blending, key pixels of the
// corners taking what lay there before) and glyphs copied through their
// mask. It reads the skin from its packed form, as the program will.
#include <map>
#include <optional>
#include <string>

#include "SkinImage.h"
#include "SkinOptions.h"

namespace skintools {

struct RGB {
    int R = 0, G = 0, B = 0;
};

class SkinBook {
public:
    // The packed skin: its options text and the pictures it names.
    explicit SkinBook(const Bytes &Packed);

    const SkinOptions &Options() const { return FOptions; }
    const Image &Master() const { return FMaster; }
    // The picture an item is cut from (the master bitmap or its own file).
    const Image &SourceOf(const PictureItem &Item) const;
    // The size of one state image of the item (a file item: of its picture).
    int FrameWidth(const PictureItem &Item) const;
    int PartHeight(const PictureItem &Item) const;

    int States(const std::string &Section) const;
    // A state's colour key ("COLOR", "FONTCOLOR", ...) converted to RGB.
    RGB StateColour(const std::string &Section, int State, const std::string &Key) const;
    int StateInt(const std::string &Section, int State, const std::string &Key, int Default) const;
    std::string StateText(const std::string &Section, int State, const std::string &Key) const;

    // Paints the section in the state over R of Target: background, then
    // its "BORDERSMASK". What Target holds under R is what lies behind.
    void PaintSection(Image &Target, const Rect &R, const std::string &Section, int State) const;
    // Copies one state of a glyph to (X, Y) through its mask; Faded draws
    // it the way an inactive window does (every mask value raised by 100).
    void DrawGlyph(Image &Target, int X, int Y, const PictureItem &Item, int State, bool Faded = false) const;
    // Nine-slice of one state of a mask item over R (no section background).
    void DrawMask(Image &Target, const Rect &R, const PictureItem &Item, int State) const;

private:
    void PaintBackground(Image &Target, const Rect &R, const std::string &Section, int State) const;
    SkinOptions FOptions;
    Image FMaster;
    std::map<std::string, Image> FFiles;
};

RGB OptionColour(int Value);  // $BBGGRR as written in the options text
Pixel PixelOf(RGB C);

} // namespace skintools
