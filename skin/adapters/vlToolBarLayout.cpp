#include "vlToolBarLayout.h"

namespace skin {

std::pair<std::string, std::string> SplitToolCaption(const std::string &Text, int MaxWidth, const TvlTextWidth &Width) {
    if (Width(Text) <= MaxWidth) return {Text, {}};
    std::size_t fits = std::string::npos;  // the end of the longest leading run that fits
    for (std::size_t space = Text.find(' '); space != std::string::npos; space = Text.find(' ', space + 1)) {
        if (Width(Text.substr(0, space)) > MaxWidth) break;
        fits = space;
    }
    if (fits == std::string::npos) fits = Text.find(' ');
    if (fits == std::string::npos) return {Text, {}};
    std::size_t rest = fits;
    while (rest < Text.size() && Text[rest] == ' ') ++rest;
    return {Text.substr(0, fits), Text.substr(rest)};
}

vcl::TPoint ToolImagePos(vcl::TSize Button, vcl::TSize Image, bool HasText, bool WholeDropDown, int ArrowWidth,
                         int Shift) {
    if (WholeDropDown) return {(Button.cx - Image.cx - ArrowWidth) / 2 + Shift, 4 + Shift};
    if (HasText) return {(Button.cx - Image.cx) / 2 + Shift, 4 + Shift};
    return {(Button.cx - Image.cx) / 2 + Shift, (Button.cy - Image.cy) / 2 + Shift};
}

vcl::TRect ToolCaptionRect(vcl::TSize Button, int ImageHeight, int Shift) {
    const int top = (ImageHeight != 0 ? ImageHeight + 2 : 0) + 2;
    return {2 + Shift, top + Shift, Button.cx - 2 + Shift, Button.cy - 2 + Shift};
}

vcl::TPoint ToolListImagePos(vcl::TSize Button, vcl::TSize Image, int Shift) {
    return {3 + Shift, (Button.cy - Image.cy) / 2 + Shift};
}

vcl::TRect ToolListCaptionRect(vcl::TSize Button, int ImageWidth, int Shift) {
    const int left = ImageWidth != 0 ? 3 + ImageWidth + 3 : 2;
    return {left + Shift, 2 + Shift, Button.cx - 2 + Shift, Button.cy - 2 + Shift};
}

} // namespace skin
