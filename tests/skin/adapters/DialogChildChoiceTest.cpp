// Which adapter, section and extras each child window of a dialog gets, from
// its class name and style alone.
#include <gtest/gtest.h>

#include <string>

#include "skin/adapters/vlDialogChildren.h"

namespace skin {
namespace {

using Kind = TvlDialogChildKind;

TvlDialogChildChoice Choose(std::string_view Name, std::uint32_t Style = 0, std::uint32_t ExStyle = 0,
                            bool Visible = true, int Height = 20) {
    return ChooseDialogChildAdapter({Name, Style, ExStyle, Visible, Height});
}
// Extras as a string: K keep theme, R repaint from cache, S suppress paint
// cleared, the spin kind, P and Q the two panels' extras.
std::string Extras(const TvlDialogChildChoice &C) {
    return std::string(C.KeepTheme ? "K" : "") + (C.RepaintFromCache ? "R" : "") + (C.ClearsSuppressPaint ? "S" : "") +
           (C.SpinKind ? std::to_string(C.SpinKind) : "") + (C.PanelExtras ? "P" : "") +
           (C.SilentPanelExtras ? "Q" : "");
}

TEST(DialogChildChoice, StaticsAndButtonsAreDecidedOnTheirTypeNotOnBitMasks) {
    // Higher bits (centring, notify, multi-line, tab stop) never change a type.
    for (std::uint32_t type = 0; type <= 0x12; ++type) {
        SCOPED_TRACE(type);
        const TvlDialogChildChoice plain = Choose("static", type | 0xC300), edged = Choose("static", type, 0x20000);
        EXPECT_EQ(Extras(plain), "");
        const bool picture = type == 0x03 || type == 0x0E;
        const bool own = type == 0x05 || type == 0x06 || type == 0x0B || type == 0x0D || type == 0x0F;
        EXPECT_EQ(plain.Kind, picture ? Kind::Icon : own ? Kind::None : Kind::Static);
        EXPECT_EQ(edged.Kind, picture ? Kind::Edge : plain.Kind);
        EXPECT_EQ(edged.Section, picture ? "EDIT" : "");
        EXPECT_EQ(Choose("static", type, 0, false).Kind, plain.Kind);  // hidden statics too
    }
    for (const char *name : {"button", "tbutton"})
        for (std::uint32_t type = 0; type <= 0x0F; ++type) {
            SCOPED_TRACE(std::string(name) + std::to_string(type));
            const TvlDialogChildChoice c = Choose(name, type | 0x12000), picture = Choose(name, type | 0x80);
            EXPECT_EQ(Extras(c), "");
            if (type == 0 || type == 1 || type == 8) {
                EXPECT_EQ(c.Kind, Kind::Button);
                EXPECT_EQ(picture.Kind, Kind::None);  // its bitmap or icon stays visible
                EXPECT_EQ(Choose(name, type | 0x40).Kind, Kind::None);
            } else if ((type >= 2 && type <= 6) || type == 9) {
                EXPECT_EQ(c.Kind, Kind::CheckBox);
                EXPECT_EQ(picture.Kind, Kind::CheckBox);
            } else {
                EXPECT_EQ(c.Kind, type == 7 ? Kind::GroupBox : Kind::None);
                EXPECT_EQ(c.Section, type == 7 ? "GROUPBOX" : "");
            }
        }
}

TEST(DialogChildChoice, EveryOtherRowWithItsConditionSectionAndExtras) {
    struct Row {
        const char *Name;
        std::uint32_t Style;
        bool Visible;
        int Height;
        Kind K;
        const char *Section, *Extras;
    };
    const Row rows[] = {
        {"#32770", 0, false, 0, Kind::TransPanel, "", ""},
        {"tpanel", 0, true, 0, Kind::Panel, "CHECKBOX", "P"},
        {"tsilentpaintpanel", 0, true, 0, Kind::Panel, "GROUPBOX", "Q"},
        {"edit", 0x80, true, 20, Kind::Edit, "EDIT", "KRS"},
        {"edit", 0x80, false, 20, Kind::None, "", ""},
        {"combobox", 3, false, 20, Kind::ComboBox, "COMBOBOX", "KRS"},
        {"combolbox", 0, true, 20, Kind::Edit, "COMBOBOX", "S"},
        {"comboboxex32", 0, true, 20, Kind::ComboBox, "COMBOBOX", "S"},
        {"scrollbar", 0x10, true, 20, Kind::Sizer, "", ""},
        {"scrollbar", 0x09, true, 20, Kind::None, "", ""},
        {"systabcontrol32", 0x100, true, 20, Kind::TabControl, "PAGECONTROL", ""},
        {"systabcontrol32", 0x2000, true, 20, Kind::None, "", ""},
        {"syslistview32", 0, false, 20, Kind::ListView, "EDIT", "K"},
        {"msctls_updown32", 0, false, 20, Kind::Spin, "SPEEDBUTTON_SMALL", "2"},
        {"msctls_trackbar32", 0, true, 20, Kind::Track, "TRACKBAR", ""},
        {"listbox", 0, false, 20, Kind::Edit, "EDIT", "KS"},
        {"link window", 0, true, 20, Kind::Link, "", ""},
        {"syslink", 0, true, 20, Kind::Link, "", ""},
        {"toolbarwindow32", 0xA00, true, 20, Kind::ToolBar, "BAR", ""},
        {"toolbarwindow32", 0x800, false, 20, Kind::ToolBar, "CHECKBOX", ""},
        {"systreeview32", 0, true, 20, Kind::TreeView, "EDIT", "K"},
        {"shbrowseforfolder", 0, true, 20, Kind::TransPanel, "", ""},
        {"ctrlnotifysink", 0, true, 20, Kind::None, "", ""},
        {"directuihwnd", 0, true, 24, Kind::Search, "", ""},
        {"directuihwnd", 0, true, 23, Kind::None, "", ""},
        {"directuihwnd", 0, true, 25, Kind::None, "", ""},
        // Names arrive lower case and match whole.
        {"Static", 0, true, 20, Kind::None, "", ""},
        {"edit ", 0, true, 20, Kind::None, "", ""},
        {"buttonx", 0, true, 20, Kind::None, "", ""},
        {"", 0, true, 24, Kind::None, "", ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.Name) + " " + std::to_string(r.Style));
        const TvlDialogChildChoice c = Choose(r.Name, r.Style, 0, r.Visible, r.Height);
        EXPECT_EQ(c.Kind, r.K);
        EXPECT_EQ(c.Section, r.Section);
        EXPECT_EQ(Extras(c), r.Extras);
    }
    for (const char *name : {"rebarwindow32", "msctls_progress32", "universalsearchband", "address band root",
                             "workerw", "search box", "travelband", "breadcrumb parent"}) {
        EXPECT_EQ(Choose(name).Kind, Kind::Container) << name;
        EXPECT_EQ(Choose(name, 0, 0, false).Kind, Kind::None) << name;
    }
}

} // namespace
} // namespace skin
