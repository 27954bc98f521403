// The making of a dialog's child adapters: a constructor per adapter kind,
// and the walk over a dialog's windows.
#include "vlDialogChildren.h"

#include <vector>

#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinManager.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"
#include "vlBtnWnd.h"
#include "vlComboWnd.h"
#include "vlEditWnd.h"
#include "vlListViewWnd.h"
#include "vlSBPaint.h"
#include "vlSBUtils.h"

namespace skin {

namespace {

using Kind = TvlDialogChildKind;
using TChildMaker = std::unique_ptr<TvlMainWnd> (*)(HWND Window, const TvlDialogChildChoice &Choice,
                                                    TsSkinManager *Manager, const TvlSkinParams &Params,
                                                    bool Repaint);

template <class T>
std::unique_ptr<TvlMainWnd> Make(HWND Window, const TvlDialogChildChoice &, TsSkinManager *Manager,
                                 const TvlSkinParams &Params, bool Repaint) {
    return NewAdapter<T>(Window, nullptr, Manager, Params, Repaint);
}

// The adapter classes that exist, by the kind the choice names. A kind
// missing here makes no adapter: its window keeps its own painting.
struct TMakerRow {
    Kind K;
    TChildMaker Maker;
};
constexpr TMakerRow Makers[] = {
    {Kind::Edit, &Make<TvlEditWnd>},
    {Kind::Button, &Make<TvlBtnWnd>},
    {Kind::ComboBox, &Make<TvlComboBoxWnd>},
    {Kind::ListView, &Make<TvlListViewWnd>},
    {Kind::TreeView, &Make<TvlTreeViewWnd>},
};

TChildMaker MakerOf(Kind K) {
    for (const TMakerRow &row : Makers)
        if (row.K == K) return row.Maker;
    return nullptr;
}

// The class name in lower case. Only ASCII letters are folded: the names
// the choice knows are ASCII, and any other character keeps a name from
// matching them.
std::string LowerClassName(HWND Window) {
    wchar_t buffer[256] = {};
    const int n = GetClassNameW(Window, buffer, 256);
    std::string name;
    name.reserve(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) {
        const wchar_t c = buffer[i];
        if (c >= L'A' && c <= L'Z') name += static_cast<char>(c - L'A' + 'a');
        else if (c < 0x80) name += static_cast<char>(c);
        else name += '\x7F';
    }
    return name;
}

TvlDialogChildFacts FactsOf(HWND Window, const std::string &LowerName) {
    TvlDialogChildFacts facts;
    facts.LowerClassName = LowerName;
    facts.Style = static_cast<std::uint32_t>(GetWindowLongW(Window, GWL_STYLE));
    facts.ExStyle = static_cast<std::uint32_t>(GetWindowLongW(Window, GWL_EXSTYLE));
    // The window's own visibility: the dialog itself is usually still hidden
    // while its children are adapted, so IsWindowVisible would hide them all.
    facts.Visible = (facts.Style & WS_VISIBLE) != 0;
    RECT r{};
    GetWindowRect(Window, &r);
    facts.Height = r.bottom - r.top;
    return facts;
}

// A class-library panel inside a dialog: its labels take the skin's font
// colour over a see-through background, its windowed children get adapters
// of their own (the panel's procedure never tells them of the skin), and the
// panel takes the skin's main colour.
void ApplyPanelExtras(TvlDialogChildHost &Host, vcl::TWinControl &Panel) {
    TsSkinManager *manager = Host.ChildSkinManager();
    for (int i = 0; i < Panel.ControlCount(); ++i) {
        vcl::TControl *child = Panel.Controls(i);
        if (auto *label = dynamic_cast<vcl::TCustomLabel *>(child)) {
            if (manager) label->Font()->SetColor(manager->GetMainFontColor());
            label->SetTransparent(true);
        } else if (auto *windowed = dynamic_cast<vcl::TWinControl *>(child)) {
            if (windowed->HandleAllocated()) CreateDialogChildAdapters(Host, windowed->WindowHandle());
        }
    }
    if (manager) Panel.SetColor(manager->GetMainColor());
}

} // namespace

bool CreateDialogChildAdapters(TvlDialogChildHost &Host, HWND Window) {
    if (!Window) return false;
    if (SendSkinQuery(Window, SC_IS_HANDLED)) return true;
    const std::string name = LowerClassName(Window);
    const TvlDialogChildChoice choice = ChooseDialogChildAdapter(FactsOf(Window, name));
    const TChildMaker maker = MakerOf(choice.Kind);
    if (!maker) return true;

    // The dialog paints its own client area again once the edit family is
    // skinned: their parent's background shows around them.
    if (choice.ClearsSuppressPaint) Host.ClearSuppressPaint();
    TvlSkinParams params;
    params.SkinSection = choice.Section;
    // The two panels of the class library are served through their control.
    vcl::TWinControl *panel = choice.PanelExtras || choice.SilentPanelExtras ? vcl::FindControl(Window) : nullptr;
    params.Control = panel;
    const bool repaint = choice.RepaintFromCache ? !Host.DialogCacheEmpty() : true;
    std::unique_ptr<TvlMainWnd> adapter;
    {
        const TvlKeepThemeScope keepTheme;
        adapter = maker(Window, choice, Host.ChildSkinManager(), params, repaint);
    }
    if (!adapter) return true;
    if (choice.KeepTheme) adapter->KeepTheme = true;
    RefreshGeometry(*adapter);
    TsCommonData *data = adapter->SkinData;
    Host.AddChildAdapter(std::move(adapter));
    if (panel && choice.PanelExtras) ApplyPanelExtras(Host, *panel);
    if (panel && choice.SilentPanelExtras) {
        // A panel that paints nothing of its own: no caption, and the tag
        // tells the panel adapter to draw none either.
        panel->SetText("");
        panel->SetTag(999);
        data->BGChanged = true;
    }
    return true;
}

bool CreateChildAdaptersRecursive(TvlDialogChildHost &Host, HWND Window) {
    if (!Window) return false;
    // The children as they are now: making an adapter may add windows (a
    // scroll bar, a list) that the walk must not meet half-made.
    std::vector<HWND> children;
    for (HWND child = GetWindow(Window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        if (!IsWindow(child)) continue;
        if (!CreateChildAdaptersRecursive(Host, child)) return false;
        if ((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) && !CreateDialogChildAdapters(Host, child)) return false;
    }
    return true;
}

} // namespace skin
