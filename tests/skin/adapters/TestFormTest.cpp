// One form with every control of the scrolling family at once: TMemo,
// TEdit, TScrollBar, TComboBox, and bare "Edit", "ListBox", a report
// "SysListView32", a "SysTreeView32" and "ComboBox" windows of the three
// styles. All skinned, the skin removed and applied again: every control
// gets its own colours back and then the skin's again, the bars stay the
// skin's; the form is kept as pictures, skinned and unskinned.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>

#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/manager/sMessages.h"
#include "vcl/ComboBox.h"
#include "vcl/ScrollBar.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

void SavePicture(HWND Window, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), uitest::CaptureWindow(Window));
    EXPECT_TRUE(std::filesystem::exists(folder / Name));
}

HWND Child(HWND Parent, const wchar_t *Class, DWORD Style, int X, int Y, int W, int H) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class TestFormAll : public AdaptersFixture {
protected:
    TestFormAll() {
        Manager.reset();
        Manager = ScrollSkinManager();
        InitCommonControls();
        SetCursorPos(5, 5);
        Form.Form->SetBounds(20, 20, 900, 560);
        Memo = Form.Add(vcl::Create<vcl::TMemo>(Form.Form), 10, 10);
        Memo->SetBounds(10, 10, 200, 180);
        Memo->SetScrollBars(vcl::ssVertical);
        std::string text;
        for (int i = 0; i < 10000; ++i) text += "Line " + std::to_string(i) + "\r\n";
        Memo->Lines()->SetText(text);
        Memo->SetColor(0x112233);
        Edit = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 10, 200);
        Bar = Form.Add(vcl::Create<vcl::TScrollBar>(Form.Form), 10, 240);
        Bar->SetBounds(10, 240, 200, 18);
        Combo = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form), 10, 270);
        Combo->SetStyle(vcl::csDropDownList);
        for (int i = 0; i < 30; ++i) Combo->Items()->Add("Choice " + std::to_string(i));
        Form.Show();
        const HWND p = Form.Form->WindowHandle();
        BareEdit = Child(p, L"EDIT", WS_VSCROLL | ES_MULTILINE, 230, 10, 180, 120);
        SetWindowTextW(BareEdit, vcl::Utf8ToWide(text.substr(0, 3000)).c_str());
        List = Child(p, L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 230, 140, 180, 120);
        for (int i = 0; i < 100; ++i) SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Entry"));
        View = Child(p, WC_LISTVIEWW, LVS_REPORT, 430, 10, 250, 160);
        for (int c = 0; c < 3; ++c) {
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH;
            std::wstring name = L"Col " + std::to_wstring(c);
            col.pszText = name.data();
            col.cx = 70;
            SendMessageW(View, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
        }
        for (int i = 0; i < 60; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            std::wstring t = L"Row " + std::to_wstring(i);
            item.pszText = t.data();
            SendMessageW(View, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        Tree = Child(p, WC_TREEVIEWW, TVS_HASLINES, 430, 190, 250, 160);
        for (int i = 0; i < 60; ++i) {
            TVINSERTSTRUCTW ins{};
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask = TVIF_TEXT;
            std::wstring t = L"Node " + std::to_wstring(i);
            ins.item.pszText = t.data();
            SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
        }
        const DWORD styles[3] = {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST};
        for (int i = 0; i < 3; ++i) {
            Combos[i] = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | styles[i], 700,
                                        10 + i * 130, 170, i == 0 ? 110 : 200, p, nullptr, GetModuleHandleW(nullptr),
                                        nullptr);
            for (int k = 0; k < 20; ++k) SendMessageW(Combos[i], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Option"));
            SendMessageW(Combos[i], CB_SETCURSEL, 0, 0);
        }
        uitest::ActivateAndWait(p, 3s);
    }
    void SkinAll() {
        const auto add = [&](int Kind, HWND W, vcl::TControl *C) {
            Adapters.push_back(AdapterFactory().CreateAdapter(Kind, W, ParamsFor(C), Manager.get()));
            EXPECT_NE(Adapters.back(), nullptr);
        };
        add(tpEdit, Memo->Handle(), Memo);
        add(tpEdit, Edit->Handle(), Edit);
        add(tpScrollBar, Bar->Handle(), Bar);
        add(tpComboBox, Combo->Handle(), Combo);
        add(tpEdit, BareEdit, nullptr);
        add(tpEdit, List, nullptr);
        add(tpListView, View, nullptr);
        add(tpTreeView, Tree, nullptr);
        for (HWND c : Combos) add(tpComboBox, c, nullptr);
        Redraw();
    }
    void Redraw() {
        RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(80ms);
    }
    // What a form's provider passes on to its controls.
    void Tell(unsigned Command) {
        for (auto &a : Adapters)
            SendMessageW(a->AdapterWindow(), SM_SKINCOMMAND, SkinCommand(Command), reinterpret_cast<LPARAM>(Manager.get()));
    }
    ::testing::AssertionResult BarsSkinned() {
        for (int i : {0, 4, 5, 6, 7}) {
            auto &a = *dynamic_cast<TvlScrollWnd *>(static_cast<TvlMainWnd *>(Adapters[static_cast<std::size_t>(i)].get()));
            if (!a.VertBar->Shown) return ::testing::AssertionFailure() << "no bar on adapter " << i;
            auto r = ShowsSkinnedBar(uitest::CaptureWindow(a.Handle), InWindow(a.Handle, VertScrollBarRect(a)));
            if (!r) return r << " (adapter " << i << ")";
        }
        return ::testing::AssertionSuccess();
    }

    TestForm Form;
    vcl::TMemo *Memo;
    vcl::TEdit *Edit;
    vcl::TScrollBar *Bar;
    vcl::TComboBox *Combo;
    HWND BareEdit, List, View, Tree, Combos[3];
    std::vector<std::unique_ptr<TvlWindowAdapter>> Adapters;
};

TEST_F(TestFormAll, SkinnedUnskinnedAndTheSkinCycleRestoreEveryControl) {
    const LRESULT viewBk = SendMessageW(View, LVM_GETBKCOLOR, 0, 0), treeBk = SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0);
    SavePicture(Form.Form->WindowHandle(), "scroll-family-unskinned.png");
    SkinAll();
    EXPECT_TRUE(BarsSkinned());
    EXPECT_EQ(Memo->Color(), EditFace);
    EXPECT_EQ(SendMessageW(View, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(EditFace));
    SavePicture(Form.Form->WindowHandle(), "scroll-family-skinned.png");

    Manager->SetActive(false);
    Tell(SC_SKIN_REMOVED);
    Redraw();
    EXPECT_EQ(Memo->Color(), 0x112233);
    EXPECT_EQ(SendMessageW(View, LVM_GETBKCOLOR, 0, 0), viewBk);
    EXPECT_EQ(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0), treeBk);

    Manager->SetActive(true);
    Tell(SC_SKIN_APPLIED);
    Redraw();
    EXPECT_EQ(Memo->Color(), EditFace);
    EXPECT_EQ(SendMessageW(View, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(EditFace));
    EXPECT_EQ(SendMessageW(Tree, TVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(EditFace));
    EXPECT_TRUE(BarsSkinned());
    Adapters.clear();
    Redraw();
    EXPECT_EQ(Memo->Color(), 0x112233);
}

} // namespace
} // namespace skin
