#include "AllControlsForm.h"

#include <commctrl.h>

#include <chrono>

#include "GridTestControl.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/adapters/vlBitBtnWnd.h"
#include "skin/adapters/vlCheckBoxWnd.h"
#include "skin/adapters/vlContainerWnd.h"
#include "skin/adapters/vlDialogChildren.h"
#include "skin/adapters/vlPanelWnd.h"
#include "skin/adapters/vlSpinWnd.h"
#include "skin/adapters/vlStaticWnd.h"
#include "skin/adapters/vlStatusBarWnd.h"
#include "skin/adapters/vlTabWnd.h"
#include "skin/adapters/vlToolBarWnd.h"
#include "skin/adapters/vlTrackWnd.h"
#include "skin/adapters/vlVirtualTreeWnd.h"
#include "skin/adapters/vlBtnWnd.h"
#include "skin/adapters/vlComboWnd.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/adapters/vlGridWnd.h"
#include "skin/adapters/vlListViewWnd.h"
#include "skin/adapters/vlMDIClientWnd.h"
#include "skin/adapters/vlSBWnd.h"
#include "skin/manager/sManagerOptions.h"
#include "vcl/Bitmap.h"
#include "vcl/Buttons.h"
#include "vcl/Canvas.h"
#include "vcl/CheckBoxes.h"
#include "vcl/ComboBox.h"
#include "vcl/ImgList.h"
#include "vcl/Panels.h"
#include "vcl/StaticText.h"
#include "vcl/StatusBar.h"
#include "vcl/Tabs.h"
#include "vcl/ToolBar.h"
#include "vcl/UpDown.h"
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

// Everything below the form's tool bar starts this far down.
constexpr int Top = 36;

// The adapter a system dialog's child of this class and style gets, made
// here directly (with the choice's section and look) until the dialogs'
// child factory makes every kind.
std::unique_ptr<TvlWindowAdapter> DialogChildAdapter(HWND Window, TsSkinManager &Manager) {
    wchar_t buffer[256] = {};
    GetClassNameW(Window, buffer, 256);
    std::string name;
    for (const wchar_t *c = buffer; *c; ++c) name += static_cast<char>(*c >= L'A' && *c <= L'Z' ? *c - L'A' + L'a' : *c);
    RECT r{};
    GetWindowRect(Window, &r);
    TvlDialogChildFacts facts;
    facts.LowerClassName = name;
    facts.Style = static_cast<std::uint32_t>(GetWindowLongW(Window, GWL_STYLE));
    facts.ExStyle = static_cast<std::uint32_t>(GetWindowLongW(Window, GWL_EXSTYLE));
    facts.Visible = (facts.Style & WS_VISIBLE) != 0;
    facts.Height = r.bottom - r.top;
    const TvlDialogChildChoice choice = ChooseDialogChildAdapter(facts);
    TvlSkinParams params;
    params.SkinSection = choice.Section;
    const auto make = [&](auto *Type) -> std::unique_ptr<TvlWindowAdapter> {
        using T = std::remove_pointer_t<decltype(Type)>;
        auto adapter = NewAdapter<T>(Window, nullptr, &Manager, params, true);
        if (choice.KeepTheme) adapter->KeepTheme = true;
        return std::unique_ptr<TvlWindowAdapter>(static_cast<TvlMainWnd *>(adapter.release()));
    };
    using K = TvlDialogChildKind;
    switch (choice.Kind) {
    case K::Icon: return make(static_cast<TvlIconWnd *>(nullptr));
    case K::Edge: return make(static_cast<TvlEdgeWnd *>(nullptr));
    case K::Static: return make(static_cast<TvlStaticWnd *>(nullptr));
    case K::TransPanel: return make(static_cast<TvlTransPanelWnd *>(nullptr));
    case K::GroupBox: return make(static_cast<TvlGroupBoxWnd *>(nullptr));
    case K::CheckBox: return make(static_cast<TvlCheckBoxWnd *>(nullptr));
    case K::Button: return make(static_cast<TvlBtnWnd *>(nullptr));
    case K::Sizer: return make(static_cast<TvlSizerWnd *>(nullptr));
    case K::TabControl: return make(static_cast<TvlTabControlWnd *>(nullptr));
    case K::Spin: return make(static_cast<TvlSpinWnd *>(nullptr));
    case K::Track: return make(static_cast<TvlTrackWnd *>(nullptr));
    case K::Link: return make(static_cast<TvlLinkWnd *>(nullptr));
    case K::ToolBar: return make(static_cast<TvlToolBarWnd *>(nullptr));
    case K::Container: return make(static_cast<TvlContainerWnd *>(nullptr));
    case K::Search: return make(static_cast<TvlSearchWnd *>(nullptr));
    default: return nullptr;
    }
}

// A control of the class library on a window class of the system's, under
// a class name of its own: the provider's lists name it for its kind, and
// the pictures of the form take it in as they take any control of theirs.
class TSystemClassControl : public vcl::TWinControl {
    VCL_CLASS(TSystemClassControl, vcl::TWinControl)
public:
    TSystemClassControl(vcl::TComponent *AOwner, const wchar_t *ClassName, DWORD Style, DWORD ExStyle)
        : vcl::TWinControl(AOwner), FClassName(ClassName), FStyle(Style), FExStyle(ExStyle) {}

protected:
    void CreateParams(vcl::TCreateParams &Params) override {
        vcl::TWinControl::CreateParams(Params);
        CreateSubClass(Params, FClassName);
        Params.Style |= FStyle;
        Params.ExStyle |= FExStyle;
    }

private:
    const wchar_t *FClassName;
    DWORD FStyle, FExStyle;
};

#define SYSTEM_CLASS_CONTROL(Name)                                                                                \
    class Name : public TSystemClassControl {                                                                  \
        VCL_CLASS(Name, TSystemClassControl)                                                                   \
    public:                                                                                                    \
        using TSystemClassControl::TSystemClassControl;                                                        \
    };
SYSTEM_CLASS_CONTROL(TTestListView)
SYSTEM_CLASS_CONTROL(TTestTreeView)
SYSTEM_CLASS_CONTROL(TTestWWCombo)
SYSTEM_CLASS_CONTROL(TTestVirtualTree)
SYSTEM_CLASS_CONTROL(TTestNativePaint)
#undef SYSTEM_CLASS_CONTROL

// Three columns and twenty rows in a report view.
void FillListView(HWND View) {
    for (int c = 0; c < 3; ++c) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        std::wstring name = L"Sloupec " + std::to_wstring(c + 1);
        col.pszText = name.data();
        col.cx = 80;
        SendMessageW(View, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
    for (int i = 0; i < 20; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        std::wstring t = L"Řádek " + std::to_wstring(i + 1);
        item.pszText = t.data();
        SendMessageW(View, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void FillTreeView(HWND Tree) {
    for (int i = 0; i < 20; ++i) {
        TVINSERTSTRUCTW ins{};
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT;
        std::wstring t = L"Uzel " + std::to_wstring(i + 1);
        ins.item.pszText = t.data();
        SendMessageW(Tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins));
    }
}

// A picture of Size in two colours, for glyphs and the bitmap static.
std::unique_ptr<vcl::TBitmap> Picture(int W, int H, vcl::TColor A, vcl::TColor B) {
    auto bmp = std::make_unique<vcl::TBitmap>();
    bmp->SetSize(W, H);
    const HDC dc = bmp->Canvas()->Handle();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) SetPixel(dc, x, y, static_cast<COLORREF>((x / 4 + y / 4) % 2 ? A : B));
    bmp->Canvas()->FreeHandle();  // the windows that show it select it themselves
    return bmp;
}

} // namespace

VCL_CLASS_INFO(TSystemClassControl)
VCL_CLASS_INFO(TTestListView)
VCL_CLASS_INFO(TTestTreeView)
VCL_CLASS_INFO(TTestWWCombo)
VCL_CLASS_INFO(TTestVirtualTree)
VCL_CLASS_INFO(TTestNativePaint)

HWND AllControlsForm::Entry::Window() const { return Control ? Control->Handle() : Plain; }

AllControlsForm::AllControlsForm(TsSkinManager &Manager, bool Shown)
    : FManager(Manager), FForm(vcl::Create<vcl::TForm>(nullptr, vcl::CreateNew)) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_LINK_CLASS | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS |
                                               ICC_COOL_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    FLists.assign(ThirdPartyKindCount, std::string());
    // An MDI parent's client fills the form when it is first shown: the
    // client is placed, and its children made, only on a form shown here.
    if (Shown) FForm->SetFormStyle(vcl::fsMDIForm);
    FForm->SetCaption("Všechny ovládací prvky");
    FForm->SetBounds(4, 4, 1270, 1000);
    FProvider = vcl::Create<TsSkinProvider>(FForm.get());
    FForm->HandleNeeded();
    AddEditFamily();
    AddListsAndCombos();
    AddScrollBarsAndButtons();
    AddGrids();
    AddStaticFamily();
    AddContainers();
    AddButtonFamily();
    AddTabs();
    AddBars();
    if (Shown) {
        FForm->Show();
        vcl::Application->ProcessMessages();
    }
    if (Shown) AddMDIChildren();
    AdaptPlainWindows();
    if (Shown) Redraw();
}

AllControlsForm::~AllControlsForm() {
    FPlainAdapters.clear();
    FForm.reset();
    FPictures.clear();
}

template <class C>
C *AllControlsForm::AddControl(C *Control, int Kind, int X, int Y, int W, int H, const std::type_info &Adapter,
                               vcl::TWinControl *Parent) {
    Control->SetBounds(X, Parent ? Y : Y + Top, W, H);
    Control->SetParent(Parent ? Parent : FForm.get());
    ListClass(Kind, Control->ClassName());
    Control->HandleNeeded();
    FEntries.push_back({Control->ClassName(), nullptr, Control, &Adapter});
    return Control;
}

HWND AllControlsForm::AddWindow(const wchar_t *Class, DWORD Style, DWORD ExStyle, int X, int Y, int W, int H,
                                int Kind, const std::type_info &Adapter, const std::string &Name) {
    const HWND w = CreateWindowExW(ExStyle, Class, L"", WS_CHILD | WS_VISIBLE | Style, X, Y + Top, W, H,
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
        if (p.Kind == AsDialogChild)
            FPlainAdapters.push_back(DialogChildAdapter(p.Window, FManager));
        else
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
    // A simple combo box with typed text and none of its items chosen.
    auto *simple = vcl::Create<vcl::TComboBox>(FForm.get());
    simple->SetStyle(vcl::csSimple);
    AddControl(simple, tpComboBox, 490, 10, 150, 110, typeid(TvlComboBoxWnd));
    for (int i = 1; i <= 6; ++i) simple->Items()->Add("Položka " + std::to_string(i));
    simple->SetText("Hello Wg");
    // The kinds that the class library has no control of, on system classes.
    auto *ww = AddControl(vcl::Create<TTestWWCombo>(FForm.get(), L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN, 0), tpWWEdit, 650, 10,
                          150, 24, typeid(TvlWWComboBoxWnd));
    const HWND wwCombo = ww->Handle();
    for (int i = 1; i <= 5; ++i) SendMessageW(wwCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Jiná"));
    SendMessageW(wwCombo, CB_SETCURSEL, 1, 0);
    auto *tree = AddControl(vcl::Create<TTestVirtualTree>(FForm.get(), L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
                                                 WS_EX_CLIENTEDGE),
                            tpVirtualTree, 650, 42, 150, 110, typeid(TvlVirtualTreeViewWnd));
    for (int i = 1; i <= 30; ++i)
        SendMessageW(tree->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((L"Větev " + std::to_wstring(i)).c_str()));
    auto *report = AddControl(vcl::Create<TTestListView>(FForm.get(), WC_LISTVIEWW, LVS_REPORT, WS_EX_CLIENTEDGE), tpListView,
                              420, 780, 200, 110, typeid(TvlListViewWnd));
    FillListView(report->Handle());
    auto *nodes = AddControl(vcl::Create<TTestTreeView>(FForm.get(), WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                                               WS_EX_CLIENTEDGE),
                             tpTreeView, 630, 780, 180, 110, typeid(TvlTreeViewWnd));
    FillTreeView(nodes->Handle());
    FillListView(AddWindow(WC_LISTVIEWW, LVS_REPORT, WS_EX_CLIENTEDGE, 330, 165, 250, 120, tpListView,
                           typeid(TvlListViewWnd), "SysListView32"));
    FillTreeView(AddWindow(WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, WS_EX_CLIENTEDGE, 590, 165,
                           200, 120, tpTreeView, typeid(TvlTreeViewWnd), "SysTreeView32"));
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
    label->SetBounds(250, 340 + Top, 200, 20);
    label->SetCaption("Popisek na formuláři");
    label->SetParent(FForm.get());
    auto *native = AddControl(vcl::Create<TTestNativePaint>(FForm.get(), L"STATIC", SS_LEFT, 0), tpNativePaint, 480, 340, 150,
                              40, typeid(TvlNativePaint));
    native->SetCaption("Kreslí sám");
}

void AllControlsForm::AddGrids() {
    AddControl(vcl::Create<TTestPlainGrid>(FForm.get()), tpGrid, 10, 440, 220, 150, typeid(TvlGridWnd));
    AddControl(vcl::Create<TTestLookGrid>(FForm.get()), tpGrid, 240, 440, 220, 150, typeid(TvlGridWnd));
    AddControl(vcl::Create<TTestGridEh>(FForm.get()), tpGridEh, 470, 440, 220, 150, typeid(TvlGridEhWnd));
}

// The client is kept to the lower right: the controls keep the rest.
void AllControlsForm::AddMDIChildren() {
    const HWND client = FForm->ClientHandle();
    SetWindowPos(client, HWND_BOTTOM, 820, 700 + Top, 430, 190, SWP_NOACTIVATE);
    FEntries.push_back({"MDIClient", client, nullptr, &typeid(TvlMDIWnd)});
    for (int i = 0; i < 2; ++i) {
        auto *child = vcl::Create<vcl::TForm>(FForm.get(), vcl::CreateNew);
        child->SetFormStyle(vcl::fsMDIChild);
        child->SetCaption("Dokument " + std::to_string(i + 1));
        child->SetBounds(10 + 60 * i, 10 + 30 * i, 220, 120);
        vcl::Create<TsSkinProvider>(child);
        child->Show();
    }
    vcl::Application->ProcessMessages();
}

// Plain statics of each look, a link, a size grip, a dialog pane, a
// progress bar, a rebar and the search box stand-in: as a system dialog's
// children.
void AllControlsForm::AddStaticFamily() {
    const auto add = [&](const wchar_t *Class, DWORD Style, int X, int Y, int W, int H, const std::type_info &A,
                         const char *Name, const wchar_t *Text = L"") {
        const HWND w = AddWindow(Class, Style, 0, X, Y, W, H, AsDialogChild, A, Name);
        SetWindowTextW(w, Text);
        return w;
    };
    add(L"STATIC", SS_LEFT, 820, 10, 200, 20, typeid(TvlStaticWnd), "Static (text)", L"Prostý popisek");
    add(L"STATIC", SS_ETCHEDHORZ, 820, 36, 200, 4, typeid(TvlStaticWnd), "Static (etched line)");
    const HWND icon = add(L"STATIC", SS_ICON, 820, 46, 32, 32, typeid(TvlIconWnd), "Static (icon)");
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION))), 0);
    const HWND bitmap = add(L"STATIC", SS_BITMAP, 860, 46, 32, 32, typeid(TvlIconWnd), "Static (bitmap)");
    FPictures.push_back(Picture(32, 32, 0x2060C0, 0xF0D080));
    SendMessageW(bitmap, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FPictures.back()->Handle()));
    add(L"SysLink", 0, 900, 52, 200, 20, typeid(TvlLinkWnd), "SysLink", L"Viz <a href=\"https://example.org\">odkaz</a>");
    add(L"SCROLLBAR", SBS_SIZEGRIP, 1226, 10, 18, 18, typeid(TvlSizerWnd), "ScrollBar (size grip)");
    const HWND pane = add(WC_DIALOG, 0, 820, 86, 200, 50, typeid(TvlTransPanelWnd), "#32770 (pane)");
    // A dialog's walk adapts the pane's children as well as the pane.
    const HWND inPane = CreateWindowExW(0, L"STATIC", L"Text v panelu", WS_CHILD | WS_VISIBLE, 8, 8, 150, 18, pane,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    FPlain.push_back({inPane, AsDialogChild});
    FEntries.push_back({"Static (in the pane)", inPane, nullptr, &typeid(TvlStaticWnd)});
    const HWND progress = add(PROGRESS_CLASSW, 0, 820, 144, 200, 18, typeid(TvlContainerWnd), "msctls_progress32");
    SendMessageW(progress, PBM_SETPOS, 60, 0);
    add(REBARCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 820, 170, 200, 28, typeid(TvlContainerWnd), "ReBarWindow32");
    // The system's search box class is not in Wine: a class of that name.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"DirectUIHWND";
    RegisterClassW(&wc);
    add(L"DirectUIHWND", 0, 820, 206, 200, 24, typeid(TvlSearchWnd), "DirectUIHWND");
}

// The class library's static text, scroll box, panels and group boxes.
void AllControlsForm::AddContainers() {
    auto *text = AddControl(vcl::Create<vcl::TStaticText>(FForm.get()), tpStaticText, 1030, 86, 210, 22,
                            typeid(TvlStaticTextWnd));
    text->SetCaption("Statický text");
    auto *box = AddControl(vcl::Create<vcl::TScrollBox>(FForm.get()), tpScrollControl, 1030, 116, 210, 110,
                           typeid(TvlScrollBoxWnd));
    for (int i = 0; i < 2; ++i) {
        auto *inner = AddControl(vcl::Create<vcl::TButton>(FForm.get()), tpButton, 10, 10 + 130 * i, 150, 28,
                                 typeid(TvlBtnWnd), box);
        inner->SetCaption("V posuvném poli " + std::to_string(i + 1));
    }
    const vcl::TBevelCut bevels[3] = {vcl::bvRaised, vcl::bvLowered, vcl::bvNone};
    for (int i = 0; i < 3; ++i) {
        auto *panel = AddControl(vcl::Create<vcl::TPanel>(FForm.get()), tpPanel, 820 + 140 * i, 240, 130, 50,
                                 typeid(TvlPanelWnd));
        panel->SetBevelOuter(bevels[i]);
        panel->SetCaption(i == 2 ? "Tag 999" : "Panel " + std::to_string(i + 1));
        // Its tag has the bit that keeps a control from the skin.
        if (i == 2) {
            panel->SetTag(999);
            FEntries.back().Adapter = nullptr;
        }
    }
    auto *group = AddControl(vcl::Create<vcl::TGroupBox>(FForm.get()), tpGroupBox, 820, 300, 200, 100,
                             typeid(TvlGroupBoxWnd));
    group->SetCaption("Skupina");
    auto *inside = AddControl(vcl::Create<vcl::TCheckBox>(FForm.get()), tpCheckBox, 12, 24, 170, 20,
                              typeid(TvlCheckBoxWnd), group);
    inside->SetCaption("Ve skupině");
    inside->SetChecked(true);
    auto *boxLabel = vcl::Create<vcl::TLabel>(FForm.get());
    boxLabel->SetBounds(12, 54, 170, 18);
    boxLabel->SetCaption("Popisek ve skupině");
    boxLabel->SetParent(group);
    AddControl(vcl::Create<vcl::TGroupBox>(FForm.get()), tpGroupBox, 1030, 300, 210, 100, typeid(TvlGroupBoxWnd));
}

// Bit buttons in each layout, a speed button, check boxes and radio
// buttons of both kinds, plain bitmap buttons, up-downs and track bars.
void AllControlsForm::AddButtonFamily() {
    FPictures.push_back(Picture(16, 16, 0x208020, 0xC0F0C0));
    const vcl::TBitmap *glyph = FPictures.back().get();
    const vcl::TButtonLayout layouts[4] = {vcl::blGlyphLeft, vcl::blGlyphRight, vcl::blGlyphTop, vcl::blGlyphBottom};
    for (int i = 0; i < 4; ++i) {
        auto *bit = AddControl(vcl::Create<vcl::TBitBtn>(FForm.get()), tpBitBtn, 10 + 115 * i, 610, 108, 50,
                               typeid(TvlBitBtnWnd));
        bit->SetCaption("Obrázek " + std::to_string(i + 1));
        bit->SetGlyph(glyph);
        bit->SetLayout(layouts[i]);
    }
    auto *speed = vcl::Create<vcl::TSpeedButton>(FForm.get());
    speed->SetBounds(470, 610 + Top, 90, 28);
    speed->SetCaption("Rychlé");
    speed->SetGlyph(glyph);
    speed->SetParent(FForm.get());
    ListClass(tpSpeedButton, speed->ClassName());
    auto *check = AddControl(vcl::Create<vcl::TCheckBox>(FForm.get()), tpCheckBox, 10, 668, 130, 20,
                             typeid(TvlCheckBoxWnd));
    check->SetCaption("Zaškrtnuto");
    check->SetChecked(true);
    auto *grayed = AddControl(vcl::Create<vcl::TCheckBox>(FForm.get()), tpCheckBox, 145, 668, 130, 20,
                              typeid(TvlCheckBoxWnd));
    grayed->SetAllowGrayed(true);
    grayed->SetState(vcl::cbGrayed);
    grayed->SetCaption("Třetí stav");
    auto *radio = AddControl(vcl::Create<vcl::TRadioButton>(FForm.get()), tpCheckBox, 280, 668, 130, 20,
                             typeid(TvlCheckBoxWnd));
    radio->SetCaption("Přepínač");
    radio->SetChecked(true);
    const auto button = [&](DWORD Style, int X, int Y, int W, int H, const std::type_info *A, const char *Name,
                            const wchar_t *Text) {
        const HWND w = AddWindow(L"BUTTON", Style, 0, X, Y, W, H, AsDialogChild, A ? *A : typeid(void), Name);
        if (!A) FEntries.back().Adapter = nullptr;
        SetWindowTextW(w, Text);
        return w;
    };
    button(BS_AUTOCHECKBOX, 10, 692, 130, 20, &typeid(TvlCheckBoxWnd), "Button (check)", L"Prosté zaškrtnutí");
    const HWND three = button(BS_AUTO3STATE, 145, 692, 130, 20, &typeid(TvlCheckBoxWnd), "Button (three states)",
                              L"Tři stavy");
    SendMessageW(three, BM_SETCHECK, BST_INDETERMINATE, 0);
    const HWND plainRadio = button(BS_AUTORADIOBUTTON, 280, 692, 130, 20, &typeid(TvlCheckBoxWnd), "Button (radio)",
                                   L"Prostý přepínač");
    SendMessageW(plainRadio, BM_SETCHECK, BST_CHECKED, 0);
    button(BS_GROUPBOX, 420, 660, 150, 60, &typeid(TvlGroupBoxWnd), "Button (group box)", L"Prostá skupina");
    // A push button that shows a picture keeps its own face.
    const HWND pictured = button(BS_BITMAP, 580, 660, 40, 40, nullptr, "Button (bitmap)", L"");
    FPictures.push_back(Picture(24, 24, 0x2060C0, 0xF0D080));
    SendMessageW(pictured, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FPictures.back()->Handle()));
    auto *updown = AddControl(vcl::Create<vcl::TUpDown>(FForm.get()), tpUpDown, 630, 660, 20, 34, typeid(TvlSpinWnd));
    updown->SetPosition(5);
    AddWindow(UPDOWN_CLASSW, 0, 0, 660, 660, 20, 34, AsDialogChild, typeid(TvlSpinWnd), "msctls_updown32");
    const HWND track = AddWindow(TRACKBAR_CLASSW, TBS_BOTH | TBS_AUTOTICKS, 0, 10, 720, 260, 44, AsDialogChild,
                                 typeid(TvlTrackWnd), "msctls_trackbar32 (both sides)");
    SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageW(track, TBM_SETPOS, TRUE, 3);
    const HWND vertical = AddWindow(TRACKBAR_CLASSW, TBS_VERT | TBS_AUTOTICKS, 0, 700, 610, 40, 150, AsDialogChild,
                                    typeid(TvlTrackWnd), "msctls_trackbar32 (vertical)");
    SendMessageW(vertical, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageW(vertical, TBM_SETPOS, TRUE, 7);
}

// Tab controls of the class library and plain ones, tabs on top and on the
// left, and a page control with pages.
void AllControlsForm::AddTabs() {
    auto *tabs = AddControl(vcl::Create<vcl::TTabControl>(FForm.get()), tpTabControl, 820, 410, 200, 100,
                            typeid(TvlTabControlWnd));
    tabs->Tabs()->Add("První");
    tabs->Tabs()->Add("Druhá");
    tabs->Tabs()->Add("Třetí");
    tabs->SetTabIndex(1);
    const auto plain = [&](DWORD Style, int X, int Y, const char *Name) {
        const HWND w = AddWindow(WC_TABCONTROLW, Style, 0, X, Y, 210, 100, AsDialogChild, typeid(TvlTabControlWnd), Name);
        for (int i = 0; i < 3; ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            std::wstring text = L"Karta " + std::to_wstring(i + 1);
            item.pszText = text.data();
            SendMessageW(w, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    };
    plain(0, 1030, 410, "SysTabControl32 (top)");
    plain(TCS_VERTICAL | TCS_MULTILINE, 820, 520, "SysTabControl32 (left)");
    auto *pages = AddControl(vcl::Create<vcl::TPageControl>(FForm.get()), tpPageControl, 1040, 520, 200, 170,
                             typeid(TvlPageControlWnd));
    for (int i = 0; i < 2; ++i) {
        auto *sheet = vcl::Create<vcl::TTabSheet>(FForm.get());
        sheet->SetCaption("Stránka " + std::to_string(i + 1));
        sheet->SetPageControl(pages);
        sheet->HandleNeeded();
        FEntries.push_back({sheet->ClassName(), nullptr, sheet, &typeid(TvlPageWnd)});
        auto *onPage = AddControl(vcl::Create<vcl::TCheckBox>(FForm.get()), tpCheckBox, 10, 10, 150, 20,
                                  typeid(TvlCheckBoxWnd), sheet);
        onPage->SetCaption("Na stránce " + std::to_string(i + 1));
        auto *pageLabel = vcl::Create<vcl::TLabel>(FForm.get());
        pageLabel->SetBounds(10, 40, 150, 18);
        pageLabel->SetCaption("Popisek na stránce " + std::to_string(i + 1));
        pageLabel->SetParent(sheet);
    }
    pages->SetActivePage(pages->Pages(0));
}

// The form's tool bar on top and its status bar at the bottom, a plain tool
// bar and plain status bars (simple, and in parts).
void AllControlsForm::AddBars() {
    FImages = vcl::Create<vcl::TImageList>(FForm.get());
    FImages->SetSize(16, 16);
    const vcl::TColor colours[4] = {0x2020C0, 0x20A020, 0xC06020, 0x808080};
    for (vcl::TColor c : colours) {
        auto image = Picture(16, 16, c, 0xFFFFFF);
        FImages->AddMasked(image.get(), vcl::clFuchsia);
    }
    auto *bar = vcl::Create<vcl::TToolBar>(FForm.get());
    bar->SetBounds(0, 0, 1262, 34);
    bar->SetImages(FImages);
    bar->SetShowCaptions(true);
    bar->SetList(true);
    bar->SetParent(FForm.get());
    const char *captions[] = {"Nový", "Otevřít", "", "Uložit", "Více"};
    const vcl::TToolButtonStyle styles[] = {vcl::tbsButton, vcl::tbsButton, vcl::tbsSeparator, vcl::tbsButton,
                                            vcl::tbsDropDown};
    for (int i = 0; i < 5; ++i) {
        auto *b = vcl::Create<vcl::TToolButton>(FForm.get());
        b->SetStyle(styles[i]);
        b->SetCaption(captions[i]);
        b->SetImageIndex(i < 2 ? i : i - 1);
        if (i == 3) b->SetEnabled(false);
        b->SetToolBar(bar);
    }
    ListClass(tpToolBar, bar->ClassName());
    bar->HandleNeeded();
    FEntries.push_back({bar->ClassName(), nullptr, bar, &typeid(TvlToolBarVCLWnd)});

    auto *status = AddControl(vcl::Create<vcl::TStatusBar>(FForm.get()), tpStatusBar, 0, 900, 1262, 24,
                              typeid(TvlStatusBarWnd));
    for (int i = 0; i < 3; ++i) {
        vcl::TStatusPanel *panel = status->Panels()->Add();
        panel->SetText("Oddíl " + std::to_string(i + 1));
        panel->SetWidth(200);
        if (i == 1) panel->SetStyle(vcl::psOwnerDraw);
    }
    status->SetSizeGrip(true);

    const HWND tools = AddWindow(TOOLBARCLASSNAMEW, TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NOPARENTALIGN | CCS_NORESIZE |
                                                        CCS_NODIVIDER,
                                 0, 10, 780, 400, 30, AsDialogChild, typeid(TvlToolBarWnd), "ToolbarWindow32");
    SendMessageW(tools, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(tools, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    std::wstring texts[3] = {L"Zpět", L"Vpřed", L"Domů"};
    TBBUTTON buttons[3]{};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
    }
    SendMessageW(tools, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    const HWND simple = AddWindow(STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 10, 820, 400, 22, tpStatusBar,
                                  typeid(TvlStatusBarWnd), "msctls_statusbar32 (simple)");
    SendMessageW(simple, SB_SIMPLE, TRUE, 0);
    SendMessageW(simple, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Jednoduchý stavový řádek"));
    const HWND parts = AddWindow(STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 10, 850, 400, 22, tpStatusBar,
                                 typeid(TvlStatusBarWnd), "msctls_statusbar32 (parts)");
    const int edges[3] = {130, 260, -1};
    SendMessageW(parts, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 3; ++i)
        SendMessageW(parts, SB_SETTEXTW, i, reinterpret_cast<LPARAM>((L"Část " + std::to_wstring(i + 1)).c_str()));
}

} // namespace skin::test
