#include "vlStaticLayout.h"

#include <algorithm>
#include <cctype>

namespace skin {

namespace {

std::string ByBevels(int Outer, int Inner, const char *Otherwise) {
    if (Outer == bcLowered) return Inner == bcRaised ? "GROUPBOX" : "PANEL_LOW";
    if (Outer == bcRaised) return Inner == bcLowered ? "GROUPBOX" : "PANEL";
    return Otherwise;
}

// The length of the link tag at the start of Text, 0 when none opens there.
std::size_t LinkTagLength(std::string_view Text) {
    std::size_t i = 1;
    if (i < Text.size() && Text[i] == '/') ++i;
    if (i >= Text.size() || std::tolower(static_cast<unsigned char>(Text[i])) != 'a') return 0;
    ++i;
    // "<a>" or "<a" followed by a blank and attributes; "<abbr>" is no link.
    if (i < Text.size() && Text[i] != '>' && !std::isspace(static_cast<unsigned char>(Text[i]))) return 0;
    const std::size_t close = Text.find('>', i);
    return close == std::string_view::npos ? 0 : close + 1;
}

} // namespace

std::string StaticTextSection(int BevelKind, int Outer, int Inner) {
    return BevelKind != 0 ? ByBevels(Outer, Inner, "CHECKBOX") : "CHECKBOX";
}

std::string PanelSection(int Outer, int Inner, int BorderStyle) {
    return ByBevels(Outer, Inner, BorderStyle == 0 ? "CHECKBOX" : "PANEL_LOW");
}

std::string StripLinkTags(std::string_view Text) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        if (Text[i] == '<') {
            if (const std::size_t n = LinkTagLength(Text.substr(i)); n > 0) {
                i += n;
                continue;
            }
        }
        out += Text[i++];
    }
    return out;
}

vcl::TRect GroupBoxCaptionRect(int Width, int TextWidth, int TextHeight, bool RightToLeft) {
    vcl::TRect r;
    r.Left = RightToLeft ? Width - TextWidth - 14 : 6;
    r.Top = 0;
    r.Bottom = std::max(4, TextHeight) + 2;
    r.Right = r.Left + TextWidth + 8;
    if (r.Right > Width) r.Right = Width - 1;
    return r;
}

vcl::TRect PanelCaptionRect(const vcl::TRect &Client, int BevelWidth, int Outer, int Inner, int BorderWidth,
                            int TextHeight) {
    const int inset = (Inner != bcNone ? BevelWidth : 0) + BorderWidth + (Outer != bcNone ? BevelWidth : 0);
    vcl::TRect r{Client.Left + inset, Client.Top + inset, Client.Right - inset, Client.Bottom - inset};
    const int top = r.Top + (r.Height() - TextHeight) / 2;
    return {r.Left, top, r.Right, top + TextHeight};
}

} // namespace skin
