#include "Colors.h"

#include "System.h"

#include <charconv>
#include <cstdio>
#include <iterator>

namespace vcl {
namespace {

struct TColorName {
    TColor Color;
    std::string_view Name;
};

constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clWhite, "clWhite"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};

template <class T> std::optional<T> ParseWhole(std::string_view text, int base) {
    T value{};
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<TColor> IdentToColor(std::string_view ident) {
    for (const TColorName &entry : ColorNames)
        if (entry.Name == ident)
            return entry.Color;
    return std::nullopt;
}

std::optional<std::string> ColorToIdent(TColor color) {
    for (const TColorName &entry : ColorNames)
        if (entry.Color == color)
            return std::string(entry.Name);
    return std::nullopt;
}

std::string ColorToString(TColor color) {
    if (auto ident = ColorToIdent(color))
        return *ident;
    char text[16];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
    return text;
}

TColor StringToColor(std::string_view text) {
    if (auto color = IdentToColor(text))
        return *color;
    std::optional<TColor> value;
    if (text.size() > 1 && text.front() == '$') {
        // Hex values are bit patterns: "$80000005" is a system colour.
        if (auto bits = ParseWhole<std::uint32_t>(text.substr(1), 16))
            value = static_cast<TColor>(*bits);
    } else if (!text.empty()) {
        // from_chars accepts a leading '-' but not '+'.
        const bool plus = text.front() == '+';
        if (!plus || (text.size() > 1 && text[1] != '-'))
            value = ParseWhole<TColor>(plus ? text.substr(1) : text, 10);
    }
    if (!value)
        throw EConvertError("'" + std::string(text) + "' is not a valid colour");
    return *value;
}

} // namespace vcl
