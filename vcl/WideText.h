#pragma once
// The one pair of conversions at the Win32 boundary: the library keeps text
// as UTF-8 and calls the wide (W) functions with UTF-16.
#include <string>
#include <string_view>

namespace vcl {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

} // namespace vcl
