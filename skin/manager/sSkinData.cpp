#include "sSkinData.h"

#include <charconv>

#include "vcl/SysUtils.h"

namespace skin {

VCL_CLASS_INFO(TsSkinData)

std::string ResolveSkinDirectoryOf(std::string_view S, std::string_view A) {
    std::string result;
    if (S.substr(0, 2) == "..") {
        // The program's folder without its last folder: drop the delimiter
        // that ends it, then up to the delimiter before.
        std::string up(A);
        if (!up.empty()) up.pop_back();
        while (!up.empty() && up.back() != '/' && up.back() != '\\') up.pop_back();
        result = up + std::string(S.size() > 3 ? S.substr(3) : std::string_view());
    } else if (S.substr(0, 2) == ".\\" || S.substr(0, 2) == "./") {
        result = std::string(A) + std::string(S.substr(2));
    } else if (S == ".") {
        result = std::string(A);
    } else if (S.find(':') == std::string_view::npos && S.find("\\\\") == std::string_view::npos) {
        result = std::string(A) + std::string(S);
    } else {
        result = std::string(S);
    }
    if (result.empty() || result.back() != '\\') result += '\\';
    return result;
}

std::string StripPackedExtension(std::string_view SkinName) {
    if (SkinName.size() > 4 && vcl::UpperCase(SkinName.substr(SkinName.size() - 4)) == ".GMZ")
        SkinName.remove_suffix(4);
    return std::string(SkinName);
}

int DPIClassOf(int AppliedDPI) {
    if (AppliedDPI < 120) return 0;
    return AppliedDPI < 144 ? 1 : 2;
}

std::string VersionText(double Version) {
    // Written with '.' whatever the user's locale, to 15 digits as the
    // number was typed.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, Version, std::chars_format::general, 15);
    return std::string(text, result.ptr);
}

} // namespace skin
