#pragma once
// The structural rules that our stored skin must keep, checked from its
// packed bytes alone: the container read with zlib, the options text with
// the class library's case-sensitive TMemIniFile, the pictures decoded on
// their own (BMP by hand, PNG with libpng). Each check answers the list of
// problems it found, so a broken skin says what is wrong.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vcl/IniFiles.h"

namespace skinrules {

using Bytes = std::vector<std::uint8_t>;
using Problems = std::vector<std::string>;

struct Member {
    std::string Name;
    Bytes Data;
};

// Reads the packed container: signature, count, and per entry the name, the
// size and one zlib stream that must inflate to exactly that size and end
// where the next entry starts; the last stream ends at the end of the data.
std::vector<Member> Unpack(const Bytes &Packed, Problems &Found);

// The options text as the skin reader takes it (case-sensitive before it
// reads anything).
std::unique_ptr<vcl::TMemIniFile> ReadOptions(const std::string &Text);

// A value with "PARENTCLASS" inheritance; nothing when no section of the
// chain has it (a cycle or an unknown parent ends the chain).
std::optional<std::string> Resolve(const vcl::TMemIniFile &Ini, const std::string &Section, const std::string &Key);

// Every section with more than one state (STATES resolved, 3 when absent)
// has the hot counterpart of each state key it uses (COLOR and FONTCOLOR
// always), and with USESTATE2=1 the second-state counterparts as well.
Problems CheckStateKeys(const vcl::TMemIniFile &Ini);

// A picture value, as the reader dispatches it.
struct Picture {
    std::string Section, Key;
    char Code = 0;  // '^', '@', '!' or 0 (plain texture name)
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Count = 0, MaskType = 0, WL = 0, WT = 0, WR = 0, WB = 0;
    std::string File;
};
std::vector<Picture> Pictures(const vcl::TMemIniFile &Ini, Problems &Found);

struct Bitmap {
    int Width = 0, Height = 0, Bits = 0;
    std::vector<std::uint32_t> Rgb;  // 0xRRGGBB, top-down
    std::uint32_t At(int X, int Y) const { return Rgb[static_cast<std::size_t>(Y) * Width + X]; }
};
std::optional<Bitmap> ReadBmp(const Bytes &Data);

struct RgbaPicture {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgba;
    const std::uint8_t *At(int X, int Y) const { return &Rgba[(static_cast<std::size_t>(Y) * Width + X) * 4]; }
};
std::optional<RgbaPicture> ReadPng(const Bytes &Data);  // libpng

// The master bitmap: 24 bits, the last column and row all key colour, the
// items inside the rest, not overlapping, dividing into their states, and
// for mask type 1 every key pixel of an image half white in the mask.
Problems CheckMaster(const Bitmap &Master, const std::vector<Picture> &Items);

// A PNG glyph with its mask below: alpha 0 or 255 in the image half, alpha 0
// exactly where the mask is white, an opaque grey mask.
Problems CheckGlyphPng(const RgbaPicture &Png, const Picture &Item);

// Key-colour pixels of the corners of a border mask's first state: true
// when some are there (the reader's corner class 1), and each row's key
// pixels in a corner touch the outer edge (no holes inside the window).
struct Corners {
    bool HasKey = false;
    bool KeyTouchesEdge = true;
};
Corners ScanCorners(const Bitmap &Master, const Picture &Mask);

} // namespace skinrules
