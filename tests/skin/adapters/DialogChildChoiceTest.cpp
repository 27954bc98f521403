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

bool NoExtras(const TvlDialogChildChoice &C) {
    return !C.KeepTheme && !C.RepaintFromCache && !C.ClearsSuppressPaint && C.SpinKind == 0 && !C.PanelExtras &&
           !C.SilentPanelExtras;
}

TEST(DialogChildChoice, StaticsByTypeWithTheEdgeForIconsAndBitmapsWithAStaticEdge) {
    for (std::uint32_t type = 0; type <= 0x12; ++type) {
        SCOPED_TRACE(type);
        // Higher style bits (centring, notify, ellipsis) never change the type.
        const std::uint32_t style = type | 0x100 | 0x200 | 0xC000;
        const TvlDialogChildChoice plain = Choose("static", style);
        const TvlDialogChildChoice edged = Choose("static", style, 0x20000);
        EXPECT_TRUE(NoExtras(plain));
        if (type == 0x03 || type == 0x0E) {
            EXPECT_EQ(plain.Kind, Kind::Icon);
            EXPECT_EQ(plain.Section, "");
            EXPECT_EQ(edged.Kind, Kind::Edge);
            EXPECT_EQ(edged.Section, "EDIT");
        } else if (type == 0x05 || type == 0x06 || type == 0x0B || type == 0x0D || type == 0x0F) {
            EXPECT_EQ(plain.Kind, Kind::None);
            EXPECT_EQ(edged.Kind, Kind::None);
        } else {
            EXPECT_EQ(plain.Kind, Kind::Static);
            EXPECT_EQ(plain.Section, "");
            EXPECT_EQ(edged.Kind, Kind::Static);
        }
    }
    // The types the bit masks mistook: a simple static (a colour palette) and
    // a black frame are not icons; a hidden static is still skinned.
    EXPECT_EQ(Choose("static", 0x0B).Kind, Kind::None);
    EXPECT_EQ(Choose("static", 0x07).Kind, Kind::Static);
    EXPECT_EQ(Choose("static", 0x0C, 0, false).Kind, Kind::Static);
}

TEST(DialogChildChoice, ButtonsByTypeAndPicturePushButtonsLeftAlone) {
    for (const char *name : {"button", "tbutton"}) {
        for (std::uint32_t type = 0; type <= 0x0F; ++type) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(type));
            const TvlDialogChildChoice c = Choose(name, type | 0x10000 /*WS_TABSTOP*/ | 0x2000 /*multiline*/);
            EXPECT_TRUE(NoExtras(c));
            switch (type) {
            case 0: case 1: case 8:
                EXPECT_EQ(c.Kind, Kind::Button);
                EXPECT_EQ(c.Section, "");
                EXPECT_EQ(Choose(name, type | 0x40).Kind, Kind::None);  // icon
                EXPECT_EQ(Choose(name, type | 0x80).Kind, Kind::None);  // bitmap
                break;
            case 2: case 3: case 4: case 5: case 6: case 9:
                EXPECT_EQ(c.Kind, Kind::CheckBox);
                EXPECT_EQ(c.Section, "");
                // A check box's picture style is drawn beside its box.
                EXPECT_EQ(Choose(name, type | 0x80).Kind, Kind::CheckBox);
                break;
            case 7:
                EXPECT_EQ(c.Kind, Kind::GroupBox);
                EXPECT_EQ(c.Section, "GROUPBOX");
                break;
            default:
                EXPECT_EQ(c.Kind, Kind::None);
            }
        }
    }
}

TEST(DialogChildChoice, EditFamilyClearsSuppressPaintAndKeepsTheTheme) {
    TvlDialogChildChoice c = Choose("edit", 0x80 /*ES_AUTOHSCROLL*/);
    EXPECT_EQ(c.Kind, Kind::Edit);
    EXPECT_EQ(c.Section, "EDIT");
    EXPECT_TRUE(c.RepaintFromCache && c.KeepTheme && c.ClearsSuppressPaint);
    EXPECT_EQ(Choose("edit", 0, 0, false).Kind, Kind::None);
    EXPECT_FALSE(Choose("edit", 0, 0, false).ClearsSuppressPaint);

    c = Choose("combobox", 3 /*CBS_DROPDOWNLIST*/, 0, false);
    EXPECT_EQ(c.Kind, Kind::ComboBox);
    EXPECT_EQ(c.Section, "COMBOBOX");
    EXPECT_TRUE(c.RepaintFromCache && c.KeepTheme && c.ClearsSuppressPaint);

    c = Choose("combolbox");
    EXPECT_EQ(c.Kind, Kind::Edit);
    EXPECT_EQ(c.Section, "COMBOBOX");
    EXPECT_TRUE(c.ClearsSuppressPaint);
    EXPECT_FALSE(c.KeepTheme || c.RepaintFromCache);

    c = Choose("comboboxex32");
    EXPECT_EQ(c.Kind, Kind::ComboBox);
    EXPECT_EQ(c.Section, "COMBOBOX");
    EXPECT_TRUE(c.ClearsSuppressPaint);
    EXPECT_FALSE(c.KeepTheme || c.RepaintFromCache);

    c = Choose("listbox", 0, 0, false);
    EXPECT_EQ(c.Kind, Kind::Edit);
    EXPECT_EQ(c.Section, "EDIT");
    EXPECT_TRUE(c.KeepTheme && c.ClearsSuppressPaint);
    EXPECT_FALSE(c.RepaintFromCache);

    for (const char *name : {"syslistview32", "systreeview32"}) {
        c = Choose(name);
        EXPECT_EQ(c.Section, "EDIT");
        EXPECT_TRUE(c.KeepTheme);
        EXPECT_FALSE(c.ClearsSuppressPaint || c.RepaintFromCache);
    }
    EXPECT_EQ(Choose("syslistview32").Kind, Kind::ListView);
    EXPECT_EQ(Choose("systreeview32").Kind, Kind::TreeView);
}

TEST(DialogChildChoice, RowsWithAConditionOnStyleSizeOrVisibility) {
    EXPECT_EQ(Choose("scrollbar", 0x10).Kind, Kind::Sizer);
    EXPECT_EQ(Choose("scrollbar", 0x01).Kind, Kind::None);
    EXPECT_EQ(Choose("scrollbar", 0x08).Kind, Kind::None);

    EXPECT_EQ(Choose("systabcontrol32", 0x0100).Kind, Kind::TabControl);
    EXPECT_EQ(Choose("systabcontrol32").Section, "PAGECONTROL");
    EXPECT_EQ(Choose("systabcontrol32", 0x2000).Kind, Kind::None);

    EXPECT_EQ(Choose("toolbarwindow32", 0x0200 | 0x0800).Section, "BAR");
    EXPECT_EQ(Choose("toolbarwindow32", 0x0800).Section, "CHECKBOX");
    EXPECT_EQ(Choose("toolbarwindow32", 0, 0, false).Kind, Kind::ToolBar);

    EXPECT_EQ(Choose("directuihwnd", 0, 0, true, 24).Kind, Kind::Search);
    for (int h : {0, 23, 25, 300}) EXPECT_EQ(Choose("directuihwnd", 0, 0, true, h).Kind, Kind::None) << h;

    for (const char *name : {"rebarwindow32", "msctls_progress32", "universalsearchband", "address band root",
                             "workerw", "search box", "travelband", "breadcrumb parent"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Choose(name).Kind, Kind::Container);
        EXPECT_TRUE(NoExtras(Choose(name)));
        EXPECT_EQ(Choose(name, 0, 0, false).Kind, Kind::None);
    }
}

TEST(DialogChildChoice, RowsTakenByNameAlone) {
    struct Row {
        const char *Name;
        Kind K;
        const char *Section;
    };
    for (const Row &r : {Row{"#32770", Kind::TransPanel, ""}, Row{"shbrowseforfolder", Kind::TransPanel, ""},
                         Row{"msctls_trackbar32", Kind::Track, "TRACKBAR"}, Row{"link window", Kind::Link, ""},
                         Row{"syslink", Kind::Link, ""}}) {
        SCOPED_TRACE(r.Name);
        // Neither style nor visibility matters.
        for (bool visible : {true, false}) {
            const TvlDialogChildChoice c = Choose(r.Name, 0xFFFF, 0x20000, visible, 24);
            EXPECT_EQ(c.Kind, r.K);
            EXPECT_EQ(c.Section, r.Section);
            EXPECT_TRUE(NoExtras(c));
        }
    }
    const TvlDialogChildChoice spin = Choose("msctls_updown32", 0x04, 0, false);
    EXPECT_EQ(spin.Kind, Kind::Spin);
    EXPECT_EQ(spin.Section, "SPEEDBUTTON_SMALL");
    EXPECT_EQ(spin.SpinKind, 2);

    const TvlDialogChildChoice panel = Choose("tpanel"), silent = Choose("tsilentpaintpanel");
    EXPECT_EQ(panel.Kind, Kind::Panel);
    EXPECT_EQ(panel.Section, "CHECKBOX");
    EXPECT_TRUE(panel.PanelExtras && !panel.SilentPanelExtras);
    EXPECT_EQ(silent.Kind, Kind::Panel);
    EXPECT_EQ(silent.Section, "GROUPBOX");
    EXPECT_TRUE(silent.SilentPanelExtras && !silent.PanelExtras);
}

TEST(DialogChildChoice, OtherNamesGetNothingAndNamesMatchWhole) {
    // Names arrive lower case: the system's mixed case would be a caller's fault.
    for (const char *name : {"ctrlnotifysink", "", "Static", "EDIT", "statics", "stati", "richedit20w",
                             "msctls_statusbar32", "combobox ", "#32768", "tpanel2", "buttonx"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Choose(name, 0, 0, true, 24).Kind, Kind::None);
        EXPECT_TRUE(NoExtras(Choose(name)));
    }
}

} // namespace
} // namespace skin
