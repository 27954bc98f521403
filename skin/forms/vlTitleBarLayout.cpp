#include "vlTitleBarLayout.h"

#include <algorithm>

namespace skin {

int ItemArrowGap(TvlBtnStyle Style) { return Style == bsMenu ? 4 : Style == bsButton ? 1 : 0; }

TvlItemSize MeasureTitleItem(const TvlItemMeasureInput &In) {
    TvlItemSize out;
    vcl::TSize &c = out.Content;
    c = In.Image;
    if (In.HasCaption) {
        if (c.cx != 0) c.cx += In.Spacing;
        c.cy = std::max(c.cy, In.Text.cy);
        c.cx += In.Text.cx + (In.Style == bsTab ? 4 : 0);
    }
    if (In.HasDropdown && (In.Style == bsButton || In.Style == bsMenu)) c.cx += ItemArrowGap(In.Style) + In.ArrowWidth;
    if (In.Style == bsMenu || In.Style == bsTab) c.cy += 1;
    out.Width = In.Width;
    out.Height = In.Height;
    if (!In.KeepSize && In.Style != bsSpacing) {
        out.Width = std::max(16, 2 * (In.ItemsMargin + (In.Style == bsMenu ? 4 : 0)) + c.cx);
        out.Height = std::max(16, 2 * In.ItemsMargin + c.cy);
    }
    return out;
}

TvlGroupWidths ArrangeTitleItems(const TvlTitleArea &Area, std::span<TvlArrangedItem> Items) {
    TvlGroupWidths w;
    for (const TvlArrangedItem &item : Items) {
        if (!item.Visible) continue;
        switch (item.Align) {
        case tbaLeft: w.Left += item.Width; break;
        case tbaRight: w.Right += item.Width; break;
        case tbaCenter: w.Center += item.Width; break;
        case tbaCenterInSpace: w.CenterInSpace += item.Width; break;
        }
    }
    // Centre items stand over the whole caption up to the system buttons;
    // centre-in-space items in the room the left and right groups leave.
    int start[4] = {Area.Left, Area.Right - w.Right, Area.Left + (Area.Limit - Area.Left - w.Center) / 2,
                    Area.Left + w.Left + ((Area.Right - Area.Left - w.Right - w.Left) - w.CenterInSpace) / 2};
    for (TvlArrangedItem &item : Items) {
        if (!item.Visible) continue;
        int &x = start[static_cast<int>(item.Align)];
        item.Rect.Left = x;
        item.Rect.Right = x + item.Width;
        x += item.Width;
        switch (item.Style) {
        case bsMenu: item.Rect.Top = Area.Top; break;
        case bsTab: item.Rect.Top = Area.Bottom - item.Height; break;
        default: item.Rect.Top = Area.ButtonCenterY - item.Height / 2; break;
        }
        item.Rect.Bottom = item.Rect.Top + item.Height;
    }
    return w;
}

int ShownItemState(int State, bool Down, bool MenuDropped) { return MenuDropped || Down ? 2 : State; }

TvlItemSection ChooseItemSection(TvlBtnStyle Style, const std::string &SkinSection,
                                 const std::function<int(std::string_view)> &Find, int TabTopIndex) {
    if (!SkinSection.empty())
        if (const int own = Find(SkinSection); own >= 0) return {SkinSection, own};
    const auto first = [&](std::string_view A, std::string_view B) -> TvlItemSection {
        if (const int a = Find(A); a >= 0) return {std::string(A), a};
        if (B.empty()) return {};
        if (const int b = Find(B); b >= 0) return {std::string(B), b};
        return {};
    };
    switch (Style) {
    case bsButton: return first("TB_BTN", "TOOLBUTTON");
    case bsMenu: return first("TB_MENUBTN", "");
    case bsTab: {
        if (const int tab = Find("TB_TAB"); tab >= 0) return {"TB_TAB", tab};
        return TabTopIndex >= 0 ? TvlItemSection{"TABTOP", TabTopIndex} : TvlItemSection{};
    }
    default: return {};
    }
}

int ItemStateIndex(TvlBtnStyle Style, int ShownState, int SectionIndex, int SectionStates) {
    if (Style == bsTab) return ShownState >= 1 ? 1 : 0;
    // An item without a section never reads the section table: its state
    // only picks among the three text states.
    const int state = std::clamp(ShownState, 0, 2);
    if (SectionIndex < 0) return state;
    return std::max(0, std::min(state, SectionStates - 1));
}

TvlItemColorSource ItemColorSource(TvlBtnStyle Style, bool UseSysColor, bool OwnSkinSection, int SectionIndex,
                                   int ShownState) {
    if (!UseSysColor) return icsFont;
    switch (Style) {
    case bsMenu:
        if (SectionIndex < 0) return icsWhite;
        break;
    case bsButton:
    case bsInfo:
        if (!OwnSkinSection && ShownState == 0) return icsCaptionSection;
        break;
    default: break;
    }
    return SectionIndex < 0 ? icsCaptionSection : icsSection;
}

} // namespace skin
