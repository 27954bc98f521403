#pragma once
// The pictures of the Beryllo skin: one painter per picture item of its
// options text. Items cut from the master bitmap are found by "SECTION.KEY",
// picture files by their upper-case file name. The options text decides
// where an item lies and how many states it has; a painter draws one state
// of the size it is given.
#include <functional>
#include <map>
#include <string>

#include "SkinArt.h"

namespace skintools::beryllo {

struct ItemPainter {
    FramePainter Paint;
    Colour Ground;  // what uncovered pixels of the image half show
};

// "SECTION.KEY" of the items cut from the master bitmap.
const std::map<std::string, ItemPainter> &MasterItemPainters();
struct GlyphPainter {
    FramePainter Paint;
    int Size;  // one state is Size x Size pixels
};

// File names of the PNG glyphs ('!' items).
const std::map<std::string, GlyphPainter> &GlyphFilePainters();
// File names of the plain textures, each drawn whole.
const std::map<std::string, std::function<Image()>> &TexturePainters();

} // namespace skintools::beryllo
