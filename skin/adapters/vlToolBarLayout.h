#pragma once
// The arithmetic of a skinned tool-bar button: where its image goes, and a
// caption broken into at most two lines at spaces. Portable.
#include <functional>
#include <string>
#include <utility>

#include "vcl/Types.h"

namespace skin {

// The width of a text in the font it is drawn with.
using TvlTextWidth = std::function<int(const std::string &Text)>;

// The caption's two lines: the longest leading run of words that fits
// MaxWidth, and the rest (empty when all fits). When not even the first
// word fits, that word is the first line.
std::pair<std::string, std::string> SplitToolCaption(const std::string &Text, int MaxWidth, const TvlTextWidth &Width);

// The image's top-left in a button of Button size: with the drop-down arrow
// of a whole-drop-down button (ArrowWidth, 0 without its image) beside it
// at the top, under a caption at the top, else centred; Shift added.
vcl::TPoint ToolImagePos(vcl::TSize Button, vcl::TSize Image, bool HasText, bool WholeDropDown, int ArrowWidth,
                         int Shift);

// The caption's rectangle in the button: below the image (ImageHeight 0:
// none).
vcl::TRect ToolCaptionRect(vcl::TSize Button, int ImageHeight, int Shift);

// A bar in list layout puts the caption beside the image, not below it:
// the image at the left, centred up and down, Shift added...
vcl::TPoint ToolListImagePos(vcl::TSize Button, vcl::TSize Image, int Shift);
// ...and the caption right of it (ImageWidth 0: no image), one line.
vcl::TRect ToolListCaptionRect(vcl::TSize Button, int ImageWidth, int Shift);

} // namespace skin
