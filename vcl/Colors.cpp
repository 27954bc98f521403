#include "Colors.h"

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

} // namespace vcl
