#include "AllControlsForm.h"

#include <commctrl.h>

#include <chrono>

#include "GridTestControl.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/vlBtnWnd.h"
#include "skin/adapters/vlComboWnd.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/adapters/vlGridWnd.h"
#include "skin/adapters/vlListViewWnd.h"
#include "skin/adapters/vlMDIClientWnd.h"
#include "skin/adapters/vlSBWnd.h"
#include "skin/manager/sManagerOptions.h"
#include "vcl/ComboBox.h"
#include "vcl/ScrollBar.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace skin::test {

namespace {

// The thread's messages for a while.
void Pump(std::chrono::milliseconds Time) {
    const auto end = std::chrono::steady_clock::now() + Time;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (std::chrono::steady_clock::now() < end);
}

} // namespace

HWND AllControlsForm::Entry::Window() const { return Control ? Control->Handle() : Plain; }

AllControlsForm::AllControlsForm(TsSkinManager &Manager)
    : FManager(Manager), FForm(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)) {
    InitCommonControls();
    FLists.assign(ThirdPartyKindCount, std::string());
    FForm->SetFormStyle(vcl::fsMDIForm);
    FForm->SetCaption("Všechny ovládací prvky");
    FForm->SetBounds(10, 10, 1220, 800);
    FProvider = vcl::Create<TsSkinProvider>(FForm.get());
    FForm->HandleNeeded();
    AddEditFamily();
    AddListsAndCombos();
    AddScrollBarsAndButtons();
    AddGrids();
    FForm->Show();
    vcl::Application->ProcessMessages();
    AddMDIChildren();
    AdaptPlainWindows();
    Redraw();
}

AllControlsForm::~AllControlsForm() {
    FPlainAdapters.clear();
    FForm.reset();
}

template <class C>
C *AllControlsForm::AddControl(C *Control, int Kind, int X, int Y, int W, int H, const std::type_info &Adapter) {
    Control->SetBounds(X, Y, W, H);
    Control->SetParent(FForm.get());
    ListClass(Kind, Control->ClassName());
    Control->HandleNeeded();
    FEntries.push_back({Control->ClassName(), nullptr, Control, &Adapter});
    return Control;
}

HWND AllControlsForm::AddWindow(const wchar_t *Class, DWORD Style, DWORD ExStyle, int X, int Y, int W, int H,
                                int Kind, const std::type_info &Adapter, const std::string &Name) {
    const HWND w = CreateWindowExW(ExStyle, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H,
                                   FForm->WindowHandle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    FPlain.push_back({w, Kind});
    FEntries.push_back({Name, w, nullptr, &Adapter});
    return w;
}

void AllControlsForm::ListClass(int Kind, const std::string &ClassName) {
    std::string &list = FLists[static_cast<std::size_t>(Kind)];
    if (list.find(ClassName) != std::string::npos) return;
    list += (list.empty() ? "" : "\r\n") + ClassName;
    FProvider->ThirdParty()->SetThirdList(Kind, list);
    FProvider->ReadThirdPartyLists();
}

void AllControlsForm::AdaptPlainWindows() {
    FPlainAdapters.clear();
    for (const Plain &p : FPlain)
        FPlainAdapters.push_back(AdapterFactory().CreateAdapter(p.Kind, p.Window, TvlSkinParams{}, &FManager));
}

void AllControlsForm::FreePlainWindowAdapters() { FPlainAdapters.clear(); }

void AllControlsForm::Redraw() const {
    RedrawWindow(FForm->WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(std::chrono::milliseconds(100));
}

// ------------------------------------------------------------------ families

void AllControlsForm::AddEditFamily() {
    auto *edit = AddControl(vcl::Create<vcl::TEdit>(FForm.get()), tpEdit, 10, 10, 150, 24, typeid(TvlEditWnd));
    edit->SetText("Jednořádkový text");
    auto *memo = AddControl(vcl::Create<vcl::TMemo>(FForm.get()), tpEdit, 10, 42, 150, 110, typeid(TvlEditWnd));
    memo->SetScrollBars(vcl::ssVertical);
    std::string lines;
    for (int i = 1; i <= 40; ++i) lines += "Řádek " + std::to_string(i) + "\r\n";
    memo->Lines()->SetText(lines);
    const HWND bareEdit = AddWindow(L"EDIT", WS_VSCROLL | ES_MULTILINE, WS_EX_CLIENTEDGE, 170, 10, 150, 142, tpEdit,
                                    typeid(TvlEditWnd), "Edit");
    SetWindowTextW(bareEdit, vcl::Utf8ToWide(lines).c_str());
    const HWND list = AddWindow(L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 330, 10, 150, 142,
                                tpEdit, typeid(TvlEditWnd), "ListBox");
    for (int i = 1; i <= 30; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Položka " + std::to_wstring(i)).c_str()));
}

void AllControlsForm::AddListsAndCombos() {
    auto *combo = AddControl(vcl::Create<vcl::TComboBox>(FForm.get()), tpComboBox, 10, 165, 150, 24,
                             typeid(TvlComboBoxWnd));
    combo->SetStyle(vcl::csDropDownList);
    for (int i = 1; i <= 12; ++i) combo->Items()->Add("Volba " + std::to_string(i));
    combo->SetItemIndex(0);
    const HWND bareCombo = AddWindow(L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN, 0, 170, 165, 150, 200, tpComboBox,
                                     typeid(TvlComboBoxWnd), "ComboBox");
    for (int i = 1; i <= 12; ++i) SendMessageW(bareCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Možnost"));
    SendMessageW(bareCombo, CB_SETCURSEL, 0, 0);
    const HWND view = AddWindow(WC_LISTVIEWW, LVS_REPORT, WS_EX_CLIENTEDGE, 330, 165, 250, 120, tpListView,
                                typeid(TvlListViewWnd), "SysListView32");
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        std::wstring name = L"Sloupec " + std::to_wstring(c + 1);
        col.pszText = name.data();
        col.cx = 80;
        SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
    for (int i = 0; i < 20; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        std::wstring t = L"Řádek " + std::to_wstring(i + 1);
        item.pszText = t.data();
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    const HWND tree = AddWindow(WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, WS_EX_CLIENTEDGE, 590,
                                165, 200, 120, tpTreeView, typeid(TvlTreeViewWnd), "SysTreeView32");
    for (int i = 0; i < 20; ++i) {
        TVINSERTSTRUCTW ins{};
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        std::wstring t = L"Uzel " + std::to_wstring(i + 1);
        ins.item.pszText = t.data();
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
    }
}

void AllControlsForm::AddScrollBarsAndButtons() {
    auto *bar = AddControl(vcl::Create<vcl::TScrollBar>(FForm.get()), tpScrollBar, 10, 300, 200, 18, typeid(TvlSBWnd));
    bar->SetPosition(30);
    const HWND bareBar = AddWindow(L"SCROLLBAR", SBS_VERT, 0, 220, 300, 18, 120, tpScrollBar, typeid(TvlSBWnd),
                                   "ScrollBar");
    SetScrollRange(bareBar, SB_CTL, 0, 100, FALSE);
    SetScrollPos(bareBar, SB_CTL, 60, TRUE);
    auto *button = AddControl(vcl::Create<vcl::TButton>(FForm.get()), tpButton, 250, 300, 110, 28, typeid(TvlBtnWnd));
    button->SetCaption("Tlačítko");
    const HWND bareButton = AddWindow(L"BUTTON", BS_PUSHBUTTON, 0, 370, 300, 110, 28, tpButton, typeid(TvlBtnWnd),
                                      "Button");
    SetWindowTextW(bareButton, L"Prosté");
    auto *label = vcl::Create<vcl::TLabel>(FForm.get());
    label->SetBounds(250, 340, 200, 20);
    label->SetCaption("Popisek na formuláři");
    label->SetParent(FForm.get());
}

void AllControlsForm::AddGrids() {
    AddControl(vcl::Create<TTestPlainGrid>(FForm.get()), tpGrid, 10, 440, 220, 150, typeid(TvlGridWnd));
    AddControl(vcl::Create<TTestLookGrid>(FForm.get()), tpGrid, 240, 440, 220, 150, typeid(TvlGridWnd));
    AddControl(vcl::Create<TTestGridEh>(FForm.get()), tpGridEh, 470, 440, 220, 150, typeid(TvlGridEhWnd));
}

// The client is kept to the lower right: the controls keep the rest.
void AllControlsForm::AddMDIChildren() {
    const HWND client = FForm->ClientHandle();
    SetWindowPos(client, HWND_BOTTOM, 720, 300, 470, 440, SWP_NOACTIVATE);
    FEntries.push_back({"MDIClient", client, nullptr, &typeid(TvlMDIWnd)});
    for (int i = 0; i < 2; ++i) {
        auto *child = vcl::Create<vcl::TForm>(FForm.get(), vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->SetCaption("Dokument " + std::to_string(i + 1));
        child->SetBounds(10 + 60 * i, 10 + 60 * i, 240, 170);
        vcl::Create<TsSkinProvider>(child);
        child->Show();
    }
    vcl::Application->ProcessMessages();
}

} // namespace skin::test
