#pragma once
// The adapters of a system dialog's child windows: which adapter class,
// section and extras each child gets, decided from its class name and style
// alone (portable, so it is tested on the host), and the making of those
// adapters for the dialog's provider (Windows only).
//
// A dialog's provider records the adapters it owns through
// TvlDialogChildHost, so that this module needs neither the provider nor the
// dialog adapter.
#include <cstdint>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>

#include <memory>
#endif

namespace skin {

// The adapter classes a dialog child can get.
enum class TvlDialogChildKind {
    None,
    Icon,         // TvlIconWnd
    Edge,         // TvlEdgeWnd
    Static,       // TvlStaticWnd
    TransPanel,   // TvlTransPanelWnd
    Panel,        // TvlPanelWnd
    Edit,         // TvlEditWnd
    GroupBox,     // TvlGroupBoxWnd
    CheckBox,     // TvlCheckBoxWnd
    Button,       // TvlBtnWnd
    ComboBox,     // TvlComboBoxWnd
    Sizer,        // TvlSizerWnd
    TabControl,   // TvlTabControlWnd
    ListView,     // TvlListViewWnd
    Spin,         // TvlSpinWnd
    Track,        // TvlTrackWnd
    Link,         // TvlLinkWnd
    ToolBar,      // TvlToolBarWnd
    TreeView,     // TvlTreeViewWnd
    Container,    // TvlContainerWnd
    Search,       // TvlSearchWnd
};

// What one child window gets.
struct TvlDialogChildChoice {
    TvlDialogChildKind Kind = TvlDialogChildKind::None;
    std::string Section;             // empty: the adapter's own default
    bool KeepTheme = false;          // the adapter's KeepTheme set after it is made
    bool RepaintFromCache = false;   // repaint flag = the dialog's cache is not empty (else on)
    bool ClearsSuppressPaint = false;// the dialog paints its client area itself again
    int SpinKind = 0;                // the up-down adapter's Offset (2 in dialogs)
    bool PanelExtras = false;        // "tpanel": labels, windowed children, colour
    bool SilentPanelExtras = false;  // "tsilentpaintpanel": text cleared, Tag 999
};

// The facts of one child window that decide its adapter.
struct TvlDialogChildFacts {
    std::string_view LowerClassName;
    std::uint32_t Style = 0;    // GWL_STYLE
    std::uint32_t ExStyle = 0;  // GWL_EXSTYLE
    bool Visible = false;       // WS_VISIBLE of the window itself (its dialog may still be hidden)
    int Height = 0;             // of its window rectangle
};

// The choice for one child; Kind None when it gets no adapter.
TvlDialogChildChoice ChooseDialogChildAdapter(const TvlDialogChildFacts &Facts);

#ifdef _WIN32
class TsSkinManager;
class TvlMainWnd;

// The dialog's provider as the child factory sees it.
class TvlDialogChildHost {
public:
    virtual ~TvlDialogChildHost() = default;
    // Takes the adapter of one child into the provider's child list.
    virtual void AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) = 0;
    // The manager of the dialog adapter's skin data (the default manager
    // when there is no dialog adapter).
    virtual TsSkinManager *ChildSkinManager() const = 0;
    // The dialog adapter's cache bitmap is empty (true without an adapter).
    virtual bool DialogCacheEmpty() const = 0;
    // Clears the dialog adapter's SuppressPaint; nothing without one.
    virtual void ClearSuppressPaint() = 0;
    // The dialog's child windows that have no adapter yet get theirs.
    virtual void AdaptChildren() = 0;
    // The dialog's window is being destroyed: the host frees itself once
    // the window is gone, from outside the window's procedure.
    virtual void ReleaseOnceGone(HWND Window) = 0;
};

// Makes the adapter of one child window and gives it to Host; false only
// for a null window. A window that answers SC_IS_HANDLED is left alone, as
// is one whose kind has no adapter class. Every adapter is made keeping the
// window's visual style (TvlKeepThemeScope).
bool CreateDialogChildAdapters(TvlDialogChildHost &Host, HWND Window);
// Every descendant with WS_CHILD, the deepest first; false when one fails.
bool CreateChildAdaptersRecursive(TvlDialogChildHost &Host, HWND Window);
#endif

} // namespace skin
