// The choice of a dialog child's adapter: portable, built on every platform.
#include <array>

#include "vlDialogChildren.h"

namespace skin {

namespace {

using Kind = TvlDialogChildKind;

// The style bits the table reads (the platform's values, spelled out so
// that the host build needs no system header).
constexpr std::uint32_t WsExStaticEdge = 0x20000;
constexpr std::uint32_t BsIcon = 0x40, BsBitmap = 0x80;
constexpr std::uint32_t SbsSizeGrip = 0x10;
constexpr std::uint32_t TcsOwnerDrawFixed = 0x2000;
constexpr std::uint32_t TbstyleWrapable = 0x200;

TvlDialogChildChoice Choice(Kind K, std::string_view Section = {}) {
    TvlDialogChildChoice c;
    c.Kind = K;
    c.Section = std::string(Section);
    return c;
}

// Statics are told apart by their type, an enumeration in the low five bits:
// testing its values as bit masks would take a simple or frame static for an
// icon. Rectangles, simple texts, owner-drawn and metafile statics draw
// something our static adapter cannot: they keep their own painting.
TvlDialogChildChoice ChooseStatic(const TvlDialogChildFacts &F) {
    switch (F.Style & 0x1F) {
    case 0x03:  // icon
    case 0x0E:  // bitmap
        if (F.ExStyle & WsExStaticEdge) return Choice(Kind::Edge, "EDIT");
        return Choice(Kind::Icon);
    case 0x05:  // grey rectangle
    case 0x06:  // white rectangle
    case 0x0B:  // simple
    case 0x0D:  // owner-drawn
    case 0x0F:  // enhanced metafile
        return {};
    default:
        return Choice(Kind::Static);
    }
}

// Buttons by their type (the low four bits), for the same reason. A push
// button that shows a picture instead of a caption keeps its own face: ours
// would cover the picture.
TvlDialogChildChoice ChooseButton(const TvlDialogChildFacts &F) {
    switch (F.Style & 0x0F) {
    case 0x00:  // push button
    case 0x01:  // default push button
    case 0x08:  // user button
        if (F.Style & (BsIcon | BsBitmap)) return {};
        return Choice(Kind::Button);
    case 0x02: case 0x03: case 0x05: case 0x06:  // check boxes, two and three states
    case 0x04: case 0x09:                        // radio buttons
        return Choice(Kind::CheckBox);
    case 0x07: return Choice(Kind::GroupBox, "GROUPBOX");
    default: return {};  // push box, owner-drawn, split and command-link buttons
    }
}

// The rows that need only the class name: the name and its choice.
struct TPlainRow {
    std::string_view Name;
    Kind K;
    std::string_view Section;
};
constexpr std::array<TPlainRow, 9> PlainRows{{
    {"#32770", Kind::TransPanel, {}},
    {"shbrowseforfolder", Kind::TransPanel, {}},
    {"combolbox", Kind::Edit, "COMBOBOX"},
    {"comboboxex32", Kind::ComboBox, "COMBOBOX"},
    {"msctls_trackbar32", Kind::Track, "TRACKBAR"},
    {"link window", Kind::Link, {}},
    {"syslink", Kind::Link, {}},
    {"syslistview32", Kind::ListView, "EDIT"},
    {"systreeview32", Kind::TreeView, "EDIT"},
}};

// Windows that only hold other windows, skinned while they show.
constexpr std::array<std::string_view, 8> ContainerNames{
    "rebarwindow32", "msctls_progress32", "universalsearchband", "address band root",
    "workerw",       "search box",        "travelband",          "breadcrumb parent"};

} // namespace

TvlDialogChildChoice ChooseDialogChildAdapter(const TvlDialogChildFacts &F) {
    const std::string_view name = F.LowerClassName;
    TvlDialogChildChoice c;
    if (name == "static") return ChooseStatic(F);
    if (name == "button" || name == "tbutton") return ChooseButton(F);
    for (const TPlainRow &row : PlainRows)
        if (name == row.Name) {
            c = Choice(row.K, row.Section);
            c.KeepTheme = row.K == Kind::ListView || row.K == Kind::TreeView;
            c.ClearsSuppressPaint = name == "combolbox" || name == "comboboxex32";
            return c;
        }
    if (name == "tpanel") {
        c = Choice(Kind::Panel, "CHECKBOX");
        c.PanelExtras = true;
    } else if (name == "tsilentpaintpanel") {
        c = Choice(Kind::Panel, "GROUPBOX");
        c.SilentPanelExtras = true;
    } else if (name == "edit") {
        if (!F.Visible) return {};
        c = Choice(Kind::Edit, "EDIT");
        c.RepaintFromCache = c.KeepTheme = c.ClearsSuppressPaint = true;
    } else if (name == "combobox") {
        c = Choice(Kind::ComboBox, "COMBOBOX");
        c.RepaintFromCache = c.KeepTheme = c.ClearsSuppressPaint = true;
    } else if (name == "listbox") {
        c = Choice(Kind::Edit, "EDIT");
        c.KeepTheme = c.ClearsSuppressPaint = true;
    } else if (name == "scrollbar") {
        if (F.Style & SbsSizeGrip) c = Choice(Kind::Sizer);
    } else if (name == "systabcontrol32") {
        if (!(F.Style & TcsOwnerDrawFixed)) c = Choice(Kind::TabControl, "PAGECONTROL");
    } else if (name == "msctls_updown32") {
        c = Choice(Kind::Spin, "SPEEDBUTTON_SMALL");
        c.SpinKind = 2;
    } else if (name == "toolbarwindow32") {
        c = Choice(Kind::ToolBar, (F.Style & TbstyleWrapable) ? "BAR" : "CHECKBOX");
    } else if (name == "directuihwnd") {
        if (F.Height == 24) c = Choice(Kind::Search);
    } else {
        for (std::string_view container : ContainerNames)
            if (name == container && F.Visible) c = Choice(Kind::Container);
    }
    return c;
}

} // namespace skin
