// The adapters of a dialog's children: a dialog of our own made from a
// template with children of many classes, and the system's own dialogs
// (Open, Colour, Font) caught when they activate, each adapted through a
// stand-in for the dialog's provider.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

#include "AdaptersTestSupport.h"
#include "skin/adapters/vlCheckBoxWnd.h"
#include "skin/adapters/vlComboWnd.h"
#include "skin/adapters/vlContainerWnd.h"
#include "skin/adapters/vlDialogChildren.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/adapters/vlListViewWnd.h"
#include "skin/adapters/vlPanelWnd.h"
#include "skin/adapters/vlSpinWnd.h"
#include "skin/adapters/vlStaticWnd.h"
#include "skin/adapters/vlTabWnd.h"
#include "skin/adapters/vlToolBarWnd.h"
#include "skin/adapters/vlTrackWnd.h"
#include "skin/manager/sCommonData.h"
#include "vcl/Panels.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;

// The provider's side: keeps the adapters in the order they came.
struct FakeHost : TvlDialogChildHost {
    TsSkinManager *Manager = nullptr;
    bool CacheEmpty = true;
    int SuppressPaintClears = 0;
    std::vector<std::unique_ptr<TvlMainWnd>> Adapters;

    void AddChildAdapter(std::unique_ptr<TvlMainWnd> Adapter) override { Adapters.push_back(std::move(Adapter)); }
    TsSkinManager *ChildSkinManager() const override { return Manager; }
    bool DialogCacheEmpty() const override { return CacheEmpty; }
    void ClearSuppressPaint() override { ++SuppressPaintClears; }
    void AdaptChildren() override {}
    void ReleaseOnceGone(HWND) override {}

    std::vector<HWND> Windows() const {
        std::vector<HWND> w;
        for (const auto &a : Adapters) w.push_back(a->Handle);
        return w;
    }
};

// A dialog template in memory: the header, then one item per child.
class DialogTemplate {
public:
    DialogTemplate(DWORD Style, short Cx, short Cy) {
        Dword(Style), Dword(0), Word(0);  // the count is patched per item
        Word(0), Word(0), Word(static_cast<WORD>(Cx)), Word(static_cast<WORD>(Cy));
        Word(0), Word(0), Text(L"Children");  // no menu, the dialog class
    }
    void Add(const wchar_t *ClassName, DWORD Style, short X, short Y, short Cx, short Cy, WORD Id,
             const wchar_t *Caption = L"", DWORD ExStyle = 0) {
        if (FWords.size() % 2) Word(0);  // items start on a DWORD
        Dword(Style | WS_CHILD), Dword(ExStyle);
        Word(static_cast<WORD>(X)), Word(static_cast<WORD>(Y)), Word(static_cast<WORD>(Cx)),
            Word(static_cast<WORD>(Cy)), Word(Id);
        Text(ClassName), Text(Caption), Word(0);
        ++FWords[4];
    }
    const DLGTEMPLATE *Get() const { return reinterpret_cast<const DLGTEMPLATE *>(FWords.data()); }

private:
    void Word(WORD W) { FWords.push_back(W); }
    void Dword(DWORD D) { Word(LOWORD(D)), Word(HIWORD(D)); }
    void Text(const wchar_t *S) {
        for (; *S; ++S) Word(*S);
        Word(0);
    }
    std::vector<WORD> FWords;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT Msg, WPARAM, LPARAM) { return Msg == WM_INITDIALOG; }

enum : WORD {
    IdLabel = 100, IdSimpleLabel, IdPush, IdIconPush, IdCheck, IdOwnerDrawn, IdGroup, IdEdit, IdHiddenEdit,
    IdDropList, IdSimpleCombo, IdList, IdListView, IdTree, IdGrip, IdOwnerTabs, IdSpin, IdTrack, IdTabs, IdNested
};

// What a test expects of one child: the adapter class (a check of the
// pointer's dynamic type) and its section; none when Is is null.
struct Expect {
    WORD Id;
    bool (*Is)(TvlMainWnd *);
    const char *Section;
};
template <class T> bool IsA(TvlMainWnd *A) { return dynamic_cast<T *>(A) != nullptr; }
bool ExactlyEdit(TvlMainWnd *A) { return typeid(*A) == typeid(TvlEditWnd); }
bool ExactlyCombo(TvlMainWnd *A) { return typeid(*A) == typeid(TvlComboBoxWnd); }
bool ExactlyStatic(TvlMainWnd *A) { return typeid(*A) == typeid(TvlStaticWnd); }

class DialogChildren : public AdaptersFixture {
protected:
    DialogChildren() {
        // The hook's own skinning of dialogs stays out of the way: the
        // stand-in host is the only maker of adapters here.
        Manager->SetSkinningRules({srStdForms, srThirdParty});
        Host.Manager = Manager.get();
        InitCommonControls();
    }
    ~DialogChildren() override {
        if (IsWindow(Dialog)) DestroyWindow(Dialog);
    }

    HWND MakeDialog() {
        DialogTemplate t(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, 330, 220);
        t.Add(L"Static", SS_LEFT | WS_VISIBLE, 5, 5, 60, 10, IdLabel, L"Label");
        t.Add(L"Static", SS_SIMPLE | WS_VISIBLE, 70, 5, 60, 10, IdSimpleLabel, L"Simple");
        t.Add(L"Button", BS_DEFPUSHBUTTON | WS_VISIBLE, 5, 20, 50, 14, IdPush, L"OK");
        t.Add(L"Button", BS_PUSHBUTTON | BS_ICON | WS_VISIBLE, 60, 20, 50, 14, IdIconPush);
        t.Add(L"Button", BS_AUTOCHECKBOX | WS_VISIBLE, 115, 20, 60, 14, IdCheck, L"Check");
        t.Add(L"Button", BS_OWNERDRAW | WS_VISIBLE, 180, 20, 50, 14, IdOwnerDrawn);
        t.Add(L"Button", BS_GROUPBOX | WS_VISIBLE, 235, 5, 90, 60, IdGroup, L"Group");
        t.Add(L"Edit", ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE, 5, 40, 80, 12, IdEdit);
        t.Add(L"Edit", WS_BORDER, 90, 40, 80, 12, IdHiddenEdit);
        t.Add(L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE, 5, 60, 80, 60, IdDropList);
        t.Add(L"ComboBox", CBS_SIMPLE | WS_VISIBLE, 90, 60, 80, 50, IdSimpleCombo);
        t.Add(L"ListBox", WS_BORDER | WS_VSCROLL | WS_VISIBLE, 175, 70, 60, 50, IdList);
        t.Add(WC_LISTVIEWW, LVS_REPORT | WS_BORDER | WS_VISIBLE, 5, 120, 100, 60, IdListView);
        t.Add(WC_TREEVIEWW, WS_BORDER | WS_VISIBLE, 110, 120, 100, 60, IdTree);
        t.Add(L"ScrollBar", SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN | WS_VISIBLE, 310, 200, 20, 20, IdGrip);
        t.Add(WC_TABCONTROLW, TCS_OWNERDRAWFIXED | WS_VISIBLE, 215, 120, 100, 60, IdOwnerTabs);
        t.Add(UPDOWN_CLASSW, WS_VISIBLE, 240, 70, 12, 20, IdSpin);
        t.Add(TRACKBAR_CLASSW, WS_VISIBLE, 5, 190, 100, 20, IdTrack);
        t.Add(WC_TABCONTROLW, WS_VISIBLE, 110, 190, 100, 25, IdTabs);
        t.Add(L"#32770", WS_VISIBLE, 215, 190, 60, 25, IdNested);
        Dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.Get(), nullptr, PlainDialogProc, 0);
        EXPECT_TRUE(Dialog);
        return Dialog;
    }

    HWND Child(WORD Id) const { return GetDlgItem(Dialog, Id); }

    void ExpectAdapters(const std::vector<Expect> &Expected) {
        for (const Expect &e : Expected) {
            SCOPED_TRACE(e.Id);
            const HWND w = Child(e.Id);
            ASSERT_TRUE(w);
            TvlMainWnd *a = AdapterOfWindow(w);
            if (!e.Is) {
                EXPECT_EQ(a, nullptr);
                continue;
            }
            ASSERT_NE(a, nullptr);
            EXPECT_TRUE(e.Is(a));
            EXPECT_EQ(a->SkinData->SkinSection(), e.Section);
            EXPECT_TRUE(a->KeepTheme);
            EXPECT_EQ(a->SkinManager, Manager.get());
        }
    }

    FakeHost Host;
    HWND Dialog = nullptr;
};

TEST_F(DialogChildren, EachChildGetsTheAdapterOfItsClassOnceTheDeepestFirst) {
    MakeDialog();
    // A button inside the edit, and an owned popup list box that is no child.
    const HWND inner = CreateWindowExW(0, L"Button", L"In", WS_CHILD | WS_VISIBLE, 1, 1, 20, 10, Child(IdEdit),
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    const HWND popup = CreateWindowExW(0, L"ListBox", L"", WS_POPUP, 0, 0, 50, 50, Dialog, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    EXPECT_FALSE(CreateChildAdaptersRecursive(Host, nullptr));
    EXPECT_FALSE(CreateDialogChildAdapters(Host, nullptr));
    EXPECT_TRUE(CreateDialogChildAdapters(Host, Child(IdOwnerDrawn)));  // no adapter is no failure
    ASSERT_TRUE(CreateChildAdaptersRecursive(Host, Dialog));
    EXPECT_FALSE(KeepThemeOnCreate());
    ExpectAdapters({
        {IdLabel, &ExactlyStatic, "TRANSPARENT"},
        {IdCheck, &IsA<TvlCheckBoxWnd>, "CHECKBOX"},
        {IdGroup, &IsA<TvlGroupBoxWnd>, "GROUPBOX"},
        {IdGrip, &IsA<TvlSizerWnd>, "CHECKBOX"},
        {IdPush, &IsA<TvlBtnWnd>, "BUTTON"},
        {IdIconPush, nullptr, ""},
        {IdOwnerDrawn, nullptr, ""},
        {IdSimpleLabel, nullptr, ""},
        {IdEdit, &ExactlyEdit, "EDIT"},
        {IdHiddenEdit, nullptr, ""},
        {IdDropList, &ExactlyCombo, "COMBOBOX"},
        {IdSimpleCombo, &ExactlyCombo, "COMBOBOX"},
        {IdList, &ExactlyEdit, "EDIT"},
        {IdListView, &IsA<TvlListViewWnd>, "EDIT"},
        {IdTree, &IsA<TvlTreeViewWnd>, "EDIT"},
        {IdOwnerTabs, nullptr, ""},
        {IdSpin, &IsA<TvlSpinWnd>, "SPEEDBUTTON_SMALL"},
        {IdTrack, &IsA<TvlTrackWnd>, "TRACKBAR"},
        {IdTabs, &IsA<TvlTabControlWnd>, "PAGECONTROL"},
        {IdNested, &IsA<TvlTransPanelWnd>, "CHECKBOX"},
    });
    EXPECT_EQ(static_cast<TvlSpinWnd *>(AdapterOfWindow(Child(IdSpin)))->Offset, 2);
    EXPECT_EQ(AdapterOfWindow(popup), nullptr);
    // The simple combo box's list is a child window and gets the combo section.
    const HWND simpleList = FindWindowExW(Child(IdSimpleCombo), nullptr, L"ComboLBox", nullptr);
    ASSERT_NE(AdapterOfWindow(simpleList), nullptr);
    EXPECT_EQ(AdapterOfWindow(simpleList)->SkinData->SkinSection(), "COMBOBOX");
    // The edit, two combo boxes, the simple one's edit and list, and the list
    // box cleared it.
    EXPECT_EQ(Host.SuppressPaintClears, 6);

    const std::vector<HWND> order = Host.Windows();
    const auto at = [&](HWND W) { return std::find(order.begin(), order.end(), W) - order.begin(); };
    ASSERT_LT(at(inner), static_cast<long>(order.size()));
    EXPECT_LT(at(inner), at(Child(IdEdit)));
    EXPECT_LT(at(simpleList), at(Child(IdSimpleCombo)));
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(AdapterOfWindow(order[i]), Host.Adapters[i].get());
    // Each adapter knows where its window sits in the dialog.
    for (WORD id : {IdPush, IdEdit, IdTree}) {
        TvlMainWnd *a = AdapterOfWindow(Child(id));
        RECT r{};
        GetWindowRect(Child(id), &r);
        MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT *>(&r), 2);
        EXPECT_EQ(a->ParentHandle, Dialog);
        EXPECT_EQ(a->PosInParent, (vcl::TPoint{r.left, r.top})) << id;
        EXPECT_EQ(a->WndSize, (vcl::TSize{r.right - r.left, r.bottom - r.top})) << id;
    }
    // Adapting the children anew makes nothing twice.
    ASSERT_TRUE(CreateChildAdaptersRecursive(Host, Dialog));
    EXPECT_EQ(Host.Adapters.size(), order.size());
    EXPECT_EQ(Host.SuppressPaintClears, 6);
    DestroyWindow(popup);
}

TEST_F(DialogChildren, TheRepaintFlagFollowsTheDialogCacheOnlyForEditsAndComboBoxes) {
    // A scrolling adapter made with the repaint flag recalculates the frame at
    // once: the edit's client area shrinks by the skin's border from the
    // start. Without it, the frame stays the system's until its next change.
    MakeDialog();
    RECT before{};
    GetClientRect(Child(IdEdit), &before);
    Host.CacheEmpty = true;
    ASSERT_TRUE(CreateDialogChildAdapters(Host, Child(IdEdit)));
    RECT quiet{};
    GetClientRect(Child(IdEdit), &quiet);
    EXPECT_TRUE(EqualRect(&before, &quiet));
    DestroyWindow(Dialog);
    Host.Adapters.clear();

    MakeDialog();
    Host.CacheEmpty = false;
    ASSERT_TRUE(CreateDialogChildAdapters(Host, Child(IdEdit)));
    RECT recalculated{};
    GetClientRect(Child(IdEdit), &recalculated);
    EXPECT_FALSE(EqualRect(&before, &recalculated));
}

// The theme changes each window of the dialog hears, by window.
std::map<HWND, WNDPROC> ThemeWatched;
std::map<HWND, int> ThemeChanges;
LRESULT CALLBACK ThemeWatch(HWND W, UINT M, WPARAM WP, LPARAM LP) {
    if (M == WM_THEMECHANGED) ++ThemeChanges[W];
    return CallWindowProcW(ThemeWatched[W], W, M, WP, LP);
}
BOOL CALLBACK WatchTheme(HWND W, LPARAM) {
    ThemeWatched[W] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ThemeWatch)));
    return TRUE;
}

// Every child keeps its visual style: no adapter made for a dialog's child
// switches it off (which tells the window, and its children, of a theme
// change), the edit family's adapters made with the repaint flag included.
TEST_F(DialogChildren, NoChildLosesItsVisualStyle) {
    MakeDialog();
    Host.CacheEmpty = false;
    ThemeWatched.clear();
    ThemeChanges.clear();
    EnumChildWindows(Dialog, WatchTheme, 0);
    ASSERT_TRUE(CreateChildAdaptersRecursive(Host, Dialog));
    for (WORD id : {IdEdit, IdDropList, IdSimpleCombo, IdList, IdListView, IdTree}) ASSERT_NE(AdapterOfWindow(Child(id)), nullptr);
    for (const auto &[window, count] : ThemeChanges) {
        wchar_t name[64]{};
        GetClassNameW(window, name, 64);
        EXPECT_EQ(count, 0) << vcl::WideToUtf8(name) << " " << GetDlgCtrlID(window);
    }
    EXPECT_TRUE(ThemeChanges.empty());
    Host.Adapters.clear();
    DestroyWindow(Dialog);
}

TEST_F(DialogChildren, HandleCountsStayFlatOverDialogsAndTheirAdapters) {
    ExpectFlatHandleCounts([&] {
        MakeDialog();
        ASSERT_TRUE(CreateChildAdaptersRecursive(Host, Dialog));
        UpdateWindow(Dialog);
        DestroyWindow(Dialog);
        Host.Adapters.clear();
    });
}

// A class-library panel that paints nothing of its own.
class TSilentPaintPanel : public vcl::TPanel {
    VCL_CLASS(TSilentPaintPanel, vcl::TPanel)
public:
    using vcl::TPanel::TPanel;
};
VCL_CLASS_INFO(TSilentPaintPanel)

TEST_F(DialogChildren, ClassLibraryPanelsFollowTheSkinWithTheirChildren) {
    // No form skinning either: the host makes every adapter here.
    Manager->SetSkinningRules({});
    TestForm form;
    auto *panel = form.Add(vcl::Create<vcl::TPanel>(form.Form));
    panel->SetBounds(10, 10, 200, 100);
    auto *label = vcl::Create<vcl::TLabel>(form.Form);
    label->SetParent(panel);
    auto *button = vcl::Create<vcl::TButton>(form.Form);  // by its class name "TButton"
    button->SetParent(panel);
    button->SetBounds(10, 40, 80, 20);
    auto *silent = form.Add(vcl::Create<TSilentPaintPanel>(form.Form), 10, 120);
    silent->SetCaption("Quiet");
    form.Show();

    ASSERT_TRUE(CreateDialogChildAdapters(Host, panel->Handle()));
    ASSERT_EQ(Host.Adapters.size(), 2u);  // the panel, then its button
    auto *adapter = dynamic_cast<TvlPanelWnd *>(Host.Adapters[0].get());
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->Panel.Get(), panel);
    EXPECT_EQ(adapter->SkinData->SkinSection(), "CHECKBOX");
    EXPECT_TRUE(dynamic_cast<TvlBtnWnd *>(AdapterOfWindow(button->Handle())));
    EXPECT_EQ(label->Font()->Color(), Manager->GetMainFontColor());
    EXPECT_TRUE(label->Transparent());
    EXPECT_EQ(panel->Color(), Manager->GetMainColor());

    ASSERT_TRUE(CreateDialogChildAdapters(Host, silent->Handle()));
    auto *quiet = dynamic_cast<TvlPanelWnd *>(AdapterOfWindow(silent->Handle()));
    ASSERT_NE(quiet, nullptr);
    EXPECT_EQ(quiet->Panel.Get(), silent);
    EXPECT_EQ(quiet->SkinData->SkinSection(), "GROUPBOX");
    EXPECT_EQ(silent->Caption(), "");
    EXPECT_EQ(silent->Tag(), 999);
    Host.Adapters.clear();
}

// ------------------------------------------------------ the system's dialogs

// Catches the first "#32770" of the thread when it activates and, from a
// timer (the dialog's own modal loop runs it), adapts its children, keeps a
// picture and what each child got, and cancels it.
struct SystemDialogProbe {
    static inline SystemDialogProbe *Current = nullptr;
    FakeHost *Host = nullptr;
    HHOOK Hook = nullptr;
    UINT_PTR Watchdog = 0;
    HWND Dialog = nullptr;
    std::string PictureName;
    std::map<std::string, std::map<std::string, int>> Got;  // class -> adapter class -> count
    bool Adapted = false;

    SystemDialogProbe(FakeHost &AHost, std::string Picture) : Host(&AHost), PictureName(std::move(Picture)) {
        Current = this;
        Hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
        Watchdog = SetTimer(nullptr, 0, 15000, WatchdogProc);
    }
    ~SystemDialogProbe() {
        KillTimer(nullptr, Watchdog);
        UnhookWindowsHookEx(Hook);
        Current = nullptr;
    }

    static LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
        if (Code == HCBT_ACTIVATE && Current && !Current->Dialog) {
            wchar_t name[16] = {};
            GetClassNameW(reinterpret_cast<HWND>(WParam), name, 16);
            if (std::wstring_view(name) == L"#32770") {
                Current->Dialog = reinterpret_cast<HWND>(WParam);
                SetTimer(nullptr, 0, 300, TimerProc);
            }
        }
        return CallNextHookEx(nullptr, Code, WParam, LParam);
    }
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
        KillTimer(nullptr, Id);
        if (Current) Current->Probe();
    }
    // A dialog that was never caught must not hang the run.
    static void CALLBACK WatchdogProc(HWND, UINT, UINT_PTR, DWORD) {
        if (HWND active = GetActiveWindow()) PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
    }
    static std::string Narrow(const wchar_t *S) { return vcl::WideToUtf8(S); }
    static BOOL CALLBACK Note(HWND W, LPARAM Self) {
        wchar_t name[64] = {};
        GetClassNameW(W, name, 64);
        TvlMainWnd *a = AdapterOfWindow(W);
        ++reinterpret_cast<SystemDialogProbe *>(Self)->Got[Narrow(name)][a ? typeid(*a).name() : "-"];
        return TRUE;
    }
    void Probe() {
        Adapted = CreateChildAdaptersRecursive(*Host, Dialog);
        EnumChildWindows(Dialog, Note, reinterpret_cast<LPARAM>(this));
        RedrawWindow(Dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SavePicture();
        PostMessageW(Dialog, WM_COMMAND, IDCANCEL, 0);
    }
    void SavePicture() {
        std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
        std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
        const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
        std::filesystem::create_directories(folder);
        uitest::WritePng((folder / PictureName).string(), uitest::CaptureWindow(Dialog));
    }
    int Count(const std::string &ClassName, const std::type_info &Adapter) const {
        const auto c = Got.find(ClassName);
        if (c == Got.end()) return 0;
        const auto a = c->second.find(Adapter.name());
        return a == c->second.end() ? 0 : a->second;
    }
    int Unadapted(const std::string &ClassName) const {
        const auto c = Got.find(ClassName);
        if (c == Got.end()) return 0;
        const auto a = c->second.find("-");
        return a == c->second.end() ? 0 : a->second;
    }
};

TEST_F(DialogChildren, TheSystemsDialogsChildrenGetTheirAdapters) {
    // Our stored skin, so that the pictures show what a user would see.
    Manager.reset();
    Manager = NewManager();
    AddStoredSkin(*Manager, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    Manager->SetSkinName("Beryllo (internal)");
    Manager->Effects()->AllowAnimation = false;
    Manager->SetSkinningRules({srStdForms, srThirdParty});
    Host.Manager = Manager.get();
    {
        SystemDialogProbe open(Host, "dialog-children-open.png");
        wchar_t file[MAX_PATH] = {};
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFile = file;
        ofn.nMaxFile = MAX_PATH;
        ofn.lpstrFilter = L"All files\0*.*\0";
        ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        ASSERT_TRUE(open.Adapted);
        EXPECT_EQ(open.Count("Edit", typeid(TvlEditWnd)), 1);
        EXPECT_EQ(open.Count("ComboBox", typeid(TvlComboBoxWnd)), 3);
        EXPECT_EQ(open.Count("ComboBoxEx32", typeid(TvlComboBoxWnd)), 1);
        EXPECT_EQ(open.Count("ListBox", typeid(TvlEditWnd)), 1);
        EXPECT_EQ(open.Count("SysListView32", typeid(TvlListViewWnd)), 1);
        EXPECT_EQ(open.Count("Button", typeid(TvlBtnWnd)), 3);
        EXPECT_EQ(open.Count("Button", typeid(TvlCheckBoxWnd)), 1);
        EXPECT_EQ(open.Count("Static", typeid(TvlStaticWnd)), 4);
        EXPECT_EQ(open.Count("ToolbarWindow32", typeid(TvlToolBarWnd)), 2);
        EXPECT_EQ(open.Count("ScrollBar", typeid(TvlSizerWnd)), 1);  // its size grip
    }
    {
        SystemDialogProbe colour(Host, "dialog-children-colour.png");
        static COLORREF custom[16] = {};
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof cc;
        cc.lpCustColors = custom;
        cc.Flags = CC_FULLOPEN;
        EXPECT_FALSE(ChooseColorW(&cc));
        ASSERT_TRUE(colour.Adapted);
        EXPECT_EQ(colour.Count("Edit", typeid(TvlEditWnd)), 6);
        EXPECT_EQ(colour.Count("Button", typeid(TvlBtnWnd)), 6);
        // Its palettes, colour graph, luminance bar and sample are simple
        // statics and keep their own painting.
        EXPECT_EQ(colour.Unadapted("Static"), 5);
        EXPECT_EQ(colour.Count("Static", typeid(TvlStaticWnd)), 10);
    }
    {
        SystemDialogProbe font(Host, "dialog-children-font.png");
        LOGFONTW logFont{};
        CHOOSEFONTW cf{};
        cf.lStructSize = sizeof cf;
        cf.lpLogFont = &logFont;
        cf.Flags = CF_SCREENFONTS | CF_EFFECTS;
        EXPECT_FALSE(ChooseFontW(&cf));
        ASSERT_TRUE(font.Adapted);
        EXPECT_EQ(font.Count("ComboBox", typeid(TvlComboBoxWnd)), 5);
        EXPECT_EQ(font.Count("ComboLBox", typeid(TvlEditWnd)), 3);
        EXPECT_EQ(font.Count("Edit", typeid(TvlEditWnd)), 3);
        EXPECT_EQ(font.Count("Button", typeid(TvlBtnWnd)), 4);
        EXPECT_EQ(font.Count("Button", typeid(TvlCheckBoxWnd)), 2);
        EXPECT_EQ(font.Count("Button", typeid(TvlGroupBoxWnd)), 2);
        EXPECT_EQ(font.Count("Static", typeid(TvlStaticWnd)), 6);
    }
}

} // namespace
} // namespace skin
