#pragma once
// Colour values as text: the identifiers a form description uses
// ("clBtnFace") and the numeric forms. Portable; resolving system colours to
// RGB is ColorToRGB of Types.h.
#include "Types.h"

#include <optional>
#include <string>
#include <string_view>

namespace vcl {

// The colour an identifier names (exact spelling, as written in code), or
// nothing for an unknown identifier.
std::optional<TColor> IdentToColor(std::string_view ident);
// The identifier of a colour that has one, or nothing.
std::optional<std::string> ColorToIdent(TColor color);

// Identifier when the colour has one, else "$" and eight hex digits.
std::string ColorToString(TColor color);
// Identifier, "$" hexadecimal or decimal (optionally signed); raises
// EConvertError for anything else.
TColor StringToColor(std::string_view text);

} // namespace vcl
