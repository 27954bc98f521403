#include "vlTabGeometry.h"

#include <array>

namespace skin {

namespace {

// The tab control's style bits.
constexpr unsigned StyleBottom = 0x0002;   // also "right" with the vertical bit
constexpr unsigned StyleButtons = 0x0100;
constexpr unsigned StyleVertical = 0x0080;
constexpr unsigned StyleFlatButtons = 0x0008;

void Inflate(vcl::TRect &R, int DX, int DY) { R = {R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY}; }

} // namespace

TvlTabPosition TabPositionOfStyle(unsigned Style) {
    const bool far = (Style & StyleBottom) != 0;
    if (Style & StyleVertical) return far ? tpRight : tpLeft;
    return far ? tpBottom : tpTop;
}

TvlTabKind TabKindOfStyle(unsigned Style) {
    if (Style & StyleFlatButtons) return tkFlatButtons;
    return (Style & StyleButtons) ? tkButtons : tkTabs;
}

vcl::TRect TabFrameRect(const vcl::TRect &Window, const vcl::TRect &Display, TvlTabPosition Position, bool HasTabs) {
    vcl::TRect r = Window;
    if (!HasTabs) return r;
    switch (Position) {
    case tpTop: r.Top = Display.Top - 4; break;
    case tpBottom: r.Bottom = Display.Bottom + 2; break;
    case tpLeft: r.Left = Display.Left - 1; break;
    case tpRight: r.Right = Display.Right + 1; break;
    }
    return r;
}

vcl::TRect TabStripRect(const vcl::TRect &Window, const vcl::TRect &Display, TvlTabPosition Position) {
    vcl::TRect r = Window;
    switch (Position) {
    case tpTop: r.Bottom = Display.Top - 4; break;
    case tpBottom: r.Top = Display.Bottom + 2; break;
    case tpLeft: r.Right = Display.Left - 1; break;
    case tpRight: r.Left = Display.Right + 1; break;
    }
    return r;
}

vcl::TRect SkinTabRect(vcl::TRect R, TvlTabPosition Position, TvlTabKind Kind, bool Active, int TabOffset) {
    if (Kind != tkTabs || R.IsEmpty()) return R;
    if (Active) {
        R.Bottom -= 1;
    } else {
        R.Bottom += 3;
        R.Right -= 1;
    }
    const int a = Active ? 1 : 0;
    switch (Position) {
    case tpTop:
        Inflate(R, 2 * a, 2 * a);
        R.Bottom += 1;
        break;
    case tpBottom:
        Inflate(R, 2 * a, a);
        R.Top -= 2;
        R.Bottom += Active ? 1 : -3;
        break;
    case tpLeft:
        Inflate(R, 0, 1);
        R.Right += 2;
        if (Active) {
            Inflate(R, 1, 1);
        } else {
            R.Bottom -= 4;
            R.Right += 2;
        }
        break;
    case tpRight:
        Inflate(R, 1, 0);
        R = {R.Left - 1, R.Top - 1, R.Right - 1, R.Bottom - 1};
        if (Active) {
            Inflate(R, 1, 1);
            R.Bottom += 3;
        } else {
            R.Bottom -= 2;
        }
        break;
    }
    if (TabOffset > 0) {
        if (Position == tpLeft || Position == tpRight) {
            R.Top -= TabOffset;
            R.Bottom += TabOffset;
        } else {
            R.Left -= TabOffset;
            R.Right += TabOffset;
        }
    }
    return R;
}

vcl::TRect TabContentRect(const vcl::TRect &Tab, TvlTabPosition Position, int TabOffset) {
    vcl::TRect r{Tab.Left + 3, Tab.Top + 3, Tab.Right - 3, Tab.Bottom - 3};
    if (TabOffset > 0) {
        if (Position == tpLeft || Position == tpRight) {
            r.Top += TabOffset;
            r.Bottom -= TabOffset;
        } else {
            r.Left += TabOffset;
            r.Right -= TabOffset;
        }
    }
    return r;
}

int TabRowOf(const vcl::TRect &Item, const vcl::TRect &Display, TvlTabPosition Position, int RowCount) {
    if (RowCount < 2) return 1;
    const bool vertical = Position == tpLeft || Position == tpRight;
    const int size = vertical ? Item.Width() : Item.Height();
    if (size <= 0) return 1;
    const int cx = (Item.Left + Item.Right) / 2, cy = (Item.Top + Item.Bottom) / 2;
    int distance = 0;
    switch (Position) {
    case tpTop: distance = Display.Top - cy; break;
    case tpBottom: distance = cy - Display.Bottom; break;
    case tpLeft: distance = Display.Left - cx; break;
    case tpRight: distance = cx - Display.Right; break;
    }
    const int row = distance / size + 1;
    return row < 1 ? 1 : row > RowCount ? RowCount : row;
}

std::string PageFrameSection(std::string_view Section, TvlTabPosition Position) {
    static constexpr std::array<std::string_view, 4> Suffixes{"", "BOTTOM", "LEFT", "RIGHT"};
    std::string name(Section);
    if (name == "PAGECONTROL") name += Suffixes[static_cast<std::size_t>(Position)];
    return name;
}

std::string RotatedCaptionFace(std::string_view Face) {
    return Face == "MS Sans Serif" ? std::string("Arial") : std::string(Face);
}

int RotatedCaptionEscapement(TvlTabPosition Position) { return Position == tpRight ? -900 : -2700; }

} // namespace skin
