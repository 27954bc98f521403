#pragma once
// The picture values of a skin's options text, as the skinning library
// reads them (skin/manager/sMaskTableReader.h), listed for the tools that
// draw a skin's pictures and pack them.
#include <string>
#include <vector>

#include "skin/manager/sOptionsFile.h"
#include "skin/manager/sSkinImageCodes.h"

namespace skintools {

struct PictureItem {
    std::string Section, Key;  // where the value stands
    skin::TvlImageValue Value;

    // Cut from the master bitmap ('@' and '^').
    bool FromMaster() const;
    // One state image of an item cut from the master bitmap.
    int FrameWidth() const;
    int PartHeight() const;
};

// In the file's order; a value that cannot be read raises vcl::EConvertError
// naming its key.
std::vector<PictureItem> PictureValues(const skin::TvlOptionsFile &Options);

} // namespace skintools
