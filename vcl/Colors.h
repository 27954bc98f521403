#pragma once
// The identifiers of colours that a form description uses ("clBtnFace").
// Portable; resolving system colours to RGB is ColorToRGB of Types.h.
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

} // namespace vcl
