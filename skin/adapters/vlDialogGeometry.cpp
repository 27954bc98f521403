#include "vlDialogGeometry.h"

namespace skin {

int DialogFrameKind(std::uint32_t Style) {
    if (Style & dgThickFrame) return 3;
    if ((Style & dgPopup) && (Style & dgCaption) != dgCaption) return 2;
    if (Style & dgModalFrame) return 0;
    return 3;
}

TvlDialogButtonRules DialogButtonRules(std::uint32_t Style, std::uint32_t ExStyle, bool Minimized, bool Maximized,
                                       bool ClassAllowsClose, int FrameKind) {
    TvlDialogButtonRules r;
    r.SysMenu = (Style & dgSysMenu) != 0;
    r.MaxBox = (Style & dgMaxBox) != 0;
    r.MinBox = (Style & dgMinBox) != 0;
    r.Help = (ExStyle & dgContextHelp) != 0;
    r.Minimized = Minimized;
    r.Maximized = Maximized;
    r.CloseEnabled = r.SysMenu && ClassAllowsClose;
    r.FrameKind = FrameKind;
    return r;
}

std::vector<int> ShownDialogButtons(const TvlDialogButtonRules &Rules) {
    std::vector<int> shown;
    if (!Rules.SysMenu) return shown;
    shown.push_back(dhClose);
    if (Rules.MaxBox) shown.push_back(dhMaxButton);
    if (Rules.MinBox || Rules.Minimized) shown.push_back(dhMinButton);
    if (Rules.Help) shown.push_back(dhHelp);
    return shown;
}

int DialogButtonHitCode(int N, const TvlDialogButtonRules &R) {
    const int count = static_cast<int>(ShownDialogButtons(R).size());
    if (N < 1 || N > count) return dhCaption;
    const bool minShown = R.MinBox || R.Minimized;
    switch (N) {
    case 1: return R.CloseEnabled ? dhClose : 0;
    case 2:
        if (R.MaxBox) return R.CanMaximize() || R.CanRestore() ? dhMaxButton : dhCaption;
        if (minShown) return R.CanMinimize() ? dhMinButton : dhCaption;
        return dhHelp;
    case 3:
        if (R.MaxBox && minShown) return R.Minimized || R.CanMinimize() ? dhMinButton : dhCaption;
        return dhHelp;
    default: return dhHelp;  // the fourth is shown only with every box and help
    }
}

std::vector<vcl::TRect> PlaceDialogButtons(const std::vector<TvlButtonSize> &Sizes, int Right, int Top, int Space) {
    std::vector<vcl::TRect> rects;
    rects.reserve(Sizes.size());
    for (const TvlButtonSize &s : Sizes) {
        rects.push_back({Right - s.Width, Top, Right, Top + s.Height});
        Right -= s.Width + Space;
    }
    return rects;
}

int DialogButtonBandTop(int CaptionHeight, int CloseHeight, int BorderWidth) {
    return (CaptionHeight - CloseHeight + BorderWidth) / 2;
}

} // namespace skin
