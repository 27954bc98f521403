#include "sVclUtils.h"

#include <algorithm>

#include "sMessages.h"
#include "skin/graphics/vlCommonUtils.h"
#include "vcl/Forms.h"
#include "vcl/WideText.h"

namespace skin {

namespace {

bool Has(const vcl::TComponent *C, vcl::TComponentStateItem Item) { return C && C->ComponentState().Contains(Item); }

vcl::TRect FromRECT(const RECT &R) { return vcl::Rect(R.left, R.top, R.right, R.bottom); }

vcl::TRect Moved(const vcl::TRect &R, int DX, int DY) { return vcl::Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

vcl::TRect WorkAreaOf(HMONITOR Monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!Monitor || !GetMonitorInfoW(Monitor, &info)) return {};
    return FromRECT(info.rcWork);
}

// The characters of a UTF-8 text (its lead bytes).
std::size_t CharacterCount(const std::string &Text) {
    return static_cast<std::size_t>(
        std::count_if(Text.begin(), Text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

struct TMonitorSearch {
    POINT Point;
    vcl::TRect WorkArea;
    bool Found;
};

// Monitors come in the system's order; the first whose work area holds the point ends the search.
BOOL CALLBACK FindWorkAreaAt(HMONITOR Monitor, HDC, LPRECT, LPARAM Data) {
    auto &search = *reinterpret_cast<TMonitorSearch *>(Data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(Monitor, &info) || !PtInRect(&info.rcWork, search.Point)) return TRUE;
    search.WorkArea = FromRECT(info.rcWork);
    search.Found = true;
    return FALSE;
}

bool SystemFlag(UINT Action) {
    BOOL on = FALSE;
    return SystemParametersInfoW(Action, 0, &on, 0) && on;
}

// uxtheme, bound once from the system folder and kept to the program's end.
struct TThemeLibrary {
    using TThemeQuery = BOOL(WINAPI *)();

    template <class F> F Bind(const char *Name) const {
        return reinterpret_cast<F>(reinterpret_cast<void *>(Library.Proc(Name)));
    }

    TSystemLibrary Library{L"uxtheme.dll"};
    TSetWindowTheme SetWindowTheme = Bind<TSetWindowTheme>("SetWindowTheme");
    TThemeQuery IsThemeActive = Bind<TThemeQuery>("IsThemeActive");
    TThemeQuery IsAppThemed = Bind<TThemeQuery>("IsAppThemed");
};

const TThemeLibrary &ThemeLibrary() {
    static const TThemeLibrary library;
    return library;
}

} // namespace

// ------------------------------------------------------------------- hints

vcl::TRect HintRectAt(const vcl::TRect &HintRect, vcl::TPoint Point, const vcl::TRect &WorkArea) {
    vcl::TRect r = Moved(HintRect, Point.X + 8, Point.Y + 16);
    if (r.Right > WorkArea.Right) r = Moved(r, WorkArea.Right - r.Right, 0);
    if (r.Bottom > WorkArea.Bottom) r = Moved(r, 0, WorkArea.Bottom - r.Bottom);
    return r;
}

bool HintFadesIn(const std::string &Text) {
    return CharacterCount(Text) < 100 && SystemFlag(SPI_GETTOOLTIPANIMATION) && SystemFlag(SPI_GETTOOLTIPFADE);
}

std::unique_ptr<vcl::THintWindow> ShowHintAt(const std::string &Text, vcl::TPoint Point) {
    if (Text.empty()) return nullptr;
    auto hint = std::unique_ptr<vcl::THintWindow>(vcl::Create<vcl::THintWindow>(nullptr));
    // The question needs the window, and a skinned hint window answers it.
    hint->HandleNeeded();
    const bool skinned = SendSkinQuery(hint->WindowHandle(), SC_IS_HANDLED);
    // Our hint window's rectangle includes its bottom margin, so the
    // rectangle kept inside the work area is the one shown.
    const vcl::TRect r = HintRectAt(hint->CalcHintRect(800, Text), Point, WorkAreaAtPoint(Point));
    if (skinned) {
        hint->ActivateHint(r, Text);
        return hint;
    }
    HWND wnd = hint->WindowHandle();
    hint->SetCaption(Text);
    hint->SetBoundsRect(r);
    SetWindowPos(wnd, HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (HintFadesIn(Text)) AnimateWindow(wnd, 200, AW_BLEND);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    hint->Invalidate();
    return hint;
}

// -------------------------------------------------------------- work areas

vcl::TRect FormWorkArea(const vcl::TCustomForm &Form) {
    if (HWND wnd = Form.WindowHandle()) return WorkAreaOf(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST));
    const vcl::TRect b = Form.BoundsRect();
    const RECT r{b.Left, b.Top, b.Right, b.Bottom};
    return WorkAreaOf(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
}

vcl::TRect WorkAreaAtPoint(vcl::TPoint Point) {
    TMonitorSearch search{{Point.X, Point.Y}, {}, false};
    EnumDisplayMonitors(nullptr, nullptr, FindWorkAreaAt, reinterpret_cast<LPARAM>(&search));
    if (search.Found) return search.WorkArea;
    // The empty rectangle that "none" would give pulls a hint to the
    // screen's top-left corner: the nearest monitor's work area serves.
    return WorkAreaOf(MonitorFromPoint(search.Point, MONITOR_DEFAULTTONEAREST));
}

// ------------------------------------------------------------------ themes

bool ThemesActive() {
    const TThemeLibrary &lib = ThemeLibrary();
    return lib.IsThemeActive && lib.IsAppThemed && lib.IsThemeActive() && lib.IsAppThemed();
}

TSetWindowTheme SetWindowThemeProc() { return ThemeLibrary().SetWindowTheme; }

// --------------------------------------------------------- cursor, colours

vcl::TPoint GetCursorPoint() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

bool IsCursorOverControl(const vcl::TControl &Control) {
    const vcl::TPoint p = Control.ScreenToClient(GetCursorPoint());
    const vcl::TRect r = Control.ClientRect();
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

vcl::TColor GetWindowColor(HWND Window) {
    if (!Window) return vcl::clFuchsia;
    return vcl::ColorToRGB(static_cast<vcl::TColor>(SendSkinCommand(Window, SC_GET_BG_COLOR, vcl::clFuchsia)));
}

// ---------------------------------------------------------------- controls

void ForEachChildControl(vcl::TWinControl *Parent, std::intptr_t Argument, TvlChildControlProc Proc) {
    if (!Parent || !Proc) return;
    const int count = Parent->ControlCount();
    for (int i = 0; i < count && i < Parent->ControlCount(); ++i) {
        vcl::TControl *child = Parent->Controls(i);
        if (!child) continue;
        Proc(child, Argument);
        // Proc may have freed it: only a child still in its place is walked into.
        if (i >= Parent->ControlCount() || Parent->Controls(i) != child) continue;
        if (auto *windowed = dynamic_cast<vcl::TWinControl *>(child)) ForEachChildControl(windowed, Argument, Proc);
    }
}

bool CanPaintControl(const vcl::TControl *Control) {
    if (!Control || !Control->Parent()) return false;
    if (auto *windowed = dynamic_cast<const vcl::TWinControl *>(Control); windowed && !windowed->HandleAllocated())
        return false;
    return !Control->ControlState().Contains(vcl::csCreating) && !Has(Control, vcl::csReading) &&
           !Has(Control, vcl::csLoading) && !Has(Control, vcl::csDestroying);
}

vcl::TCustomForm *FindOwnerForm(vcl::TComponent *Component) {
    for (vcl::TComponent *c = Component; c; c = c->Owner())
        if (auto *form = dynamic_cast<vcl::TCustomForm *>(c)) return form;
    return nullptr;
}

UINT DrawTextAlignFlags(const vcl::TControl &, vcl::TAlignment Alignment) {
    UINT flags = DT_VCENTER | DT_EXPANDTABS;
    switch (Alignment) {
    case vcl::taRightJustify: flags |= DT_RIGHT; break;
    case vcl::taCenter: flags |= DT_CENTER; break;
    default: flags |= DT_LEFT; break;
    }
    return flags;
}

int SumAlignedControlSizes(const vcl::TWinControl &Parent, vcl::TAlign Align, bool IncludeGraphic) {
    const bool vertical = Align == vcl::alTop || Align == vcl::alBottom;
    if (!vertical && Align != vcl::alLeft && Align != vcl::alRight) return 0;
    int sum = 0;
    for (int i = 0; i < Parent.ControlCount(); ++i) {
        const vcl::TControl *c = Parent.Controls(i);
        if (!c->Visible() || c->Align() != Align) continue;
        if (!IncludeGraphic && !dynamic_cast<const vcl::TWinControl *>(c)) continue;
        sum += vertical ? c->Height() : c->Width();
    }
    return sum;
}

// ----------------------------------------------------------------- windows

void SetWindowRedraw(HWND Window, bool Redraw) { SendMessageW(Window, WM_SETREDRAW, Redraw ? TRUE : FALSE, 0); }

vcl::TRect ClientRectInWindow(HWND Window) {
    RECT client{};
    RECT window{};
    POINT origin{0, 0};
    GetClientRect(Window, &client);
    GetWindowRect(Window, &window);
    ClientToScreen(Window, &origin);
    OffsetRect(&client, origin.x - window.left, origin.y - window.top);
    return FromRECT(client);
}

std::string GetWindowClassName(HWND Window) {
    // Class names are at most 256 characters long.
    wchar_t name[257];
    const int length = GetClassNameW(Window, name, 257);
    return length > 0 ? vcl::WideToUtf8({name, static_cast<std::size_t>(length)}) : std::string();
}

HWND TopLevelWindow(HWND Window) {
    while (HWND parent = GetParent(Window)) Window = parent;
    return Window;
}

HWND PlaceRightAbove(HWND Helper, HWND Window, HWND Anchor, const vcl::TRect &Bounds, UINT Flags) {
    const HWND root = GetAncestor(Window, GA_ROOT);
    const bool topmost = (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    HWND above = GetWindow(Anchor, GW_HWNDPREV);
    if (above == Helper) above = GetWindow(Helper, GW_HWNDPREV);
    constexpr UINT keep = SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER;
    if (!above || (!topmost && (GetWindowLongPtrW(above, GWL_EXSTYLE) & WS_EX_TOPMOST))) {
        above = topmost ? HWND_TOPMOST : HWND_TOP;
    } else if (topmost) {
        SetWindowPos(Helper, HWND_TOPMOST, 0, 0, 0, 0, keep);
    }
    // A helper kept from a form that was on top stays so otherwise.
    if (!topmost && (GetWindowLongPtrW(Helper, GWL_EXSTYLE) & WS_EX_TOPMOST))
        SetWindowPos(Helper, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
    SetWindowPos(Helper, above, Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(), Flags);
    return above;
}

} // namespace skin
