// The skinned system menu of a form: its items as the window's own menu
// gives them (without the platform's extras, with the application's own),
// which show and which are enabled by border style and icons, the extra
// sub-menu, the skin list, the clicks; the menu as it pops up on the icon,
// on a right click and on Alt+Space (read from the "#32768" window the
// system shows), the window's own menu without skinned popups, and the
// small operations beside it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CaptionTestSupport.h"
#include "skin/graphics/sConst.h"
#include "vcl/Menus.h"

namespace skin {
namespace {

using namespace skin::test;

struct SystemMenu : CaptionFixture {
    CaptionForm C;
    TsSkinProvider *P = C.P;

    TsSystemMenu *M() { return P->SystemMenu; }
    // The names of the menu's items in order ("-" for an unnamed divider).
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < M()->Items()->Count(); ++i) {
            const vcl::TMenuItem *item = M()->Items()->Items(i);
            names.push_back(item->Name().empty() && item->IsLine() ? "-" : item->Name());
        }
        return names;
    }
    std::string NativeText(UINT Command) {
        wchar_t text[256] = {};
        GetMenuStringW(GetSystemMenu(C.Wnd(), FALSE), Command, text, 255, MF_BYCOMMAND);
        return vcl::WideToUtf8(text);
    }
    // The captions the skinned menu shows for the standard commands.
    std::vector<std::string> Expected(std::initializer_list<UINT> Commands) {
        std::vector<std::string> captions;
        for (UINT c : Commands) captions.push_back(Plain(NativeText(c)));
        return captions;
    }
    static std::vector<std::string> PlainCaptions(const std::vector<ShownItem> &Items) {
        std::vector<std::string> plain;
        for (const std::string &c : Captions(Items)) plain.push_back(Plain(c));
        return plain;
    }
};

TEST_F(SystemMenu, MirrorsTheWindowsMenuWithoutThePlatformsExtras) {
    C.Show();
    EXPECT_EQ(Names(), (std::vector<std::string>{"vlIR", "vlIM", "vlIS", "vlIN", "vlIX", "-", "vlIC"}));
    const std::pair<vcl::TMenuItem *, UINT> standard[] = {{M()->ItemRestore, SC_RESTORE}, {M()->ItemMove, SC_MOVE},
                                                          {M()->ItemSize, SC_SIZE},       {M()->ItemMinimize, SC_MINIMIZE},
                                                          {M()->ItemMaximize, SC_MAXIMIZE}, {M()->ItemClose, SC_CLOSE}};
    for (const auto &[item, command] : standard) {
        const std::string native = NativeText(command);
        EXPECT_EQ(item->Caption(), native.substr(0, native.find('\t'))) << command;
        EXPECT_EQ(static_cast<UINT>(item->Tag()), command);
        if (native.find('\t') != std::string::npos)
            EXPECT_EQ(vcl::ShortCutToText(item->ShortCut()), native.substr(native.find('\t') + 1)) << command;
    }
    EXPECT_EQ(M()->CustomItemCount, 0);

    // The application's own items come between the standard ones and close;
    // commands of the system's range are the system's.
    const HMENU native = GetSystemMenu(C.Wnd(), FALSE);
    AppendMenuW(native, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(native, MF_STRING, 0x100, L"Keep on top\tCtrl+K");
    AppendMenuW(native, MF_STRING, 0xF141, L"About the system");
    M()->UpdateItems(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"vlIR", "vlIM", "vlIS", "vlIN", "vlIX", "-", "", "-", "vlIC"}));
    ASSERT_EQ(M()->CustomItemCount, 1);
    vcl::TMenuItem *own = M()->Items()->Items(6);
    EXPECT_EQ(own->Caption(), "Keep on top");
    EXPECT_EQ(own->Tag(), 0x100);
    EXPECT_EQ(own->ShortCut(), vcl::ShortCut('K', {vcl::ssCtrl}));

    // Its click is posted, not sent.
    MessageTap tap(C.F(), {WM_SYSCOMMAND});
    own->Click();
    EXPECT_TRUE(tap.Seen.empty());
    Settle();
    ASSERT_EQ(tap.Seen.size(), 1u);
    EXPECT_EQ(tap.Seen[0].WParam, 0x100u);
}

struct Shape {
    vcl::TFormBorderStyle Style;
    vcl::TBorderIcons Icons;
    bool VisibleMax, VisibleMin, EnabledMax, EnabledMin;
};

TEST_F(SystemMenu, WhichStandardItemsShowAndWorkFollowsTheBorderStyleAndIcons) {
    using enum vcl::TBorderIcon;
    const vcl::TBorderIcons all{biSystemMenu, biMinimize, biMaximize};
    const std::vector<Shape> shapes{
        {vcl::bsSizeable, all, true, true, true, true},
        {vcl::bsSingle, all, true, true, true, true},
        {vcl::bsSingle, {biSystemMenu}, false, false, false, false},
        {vcl::bsSizeable, {biSystemMenu, biMaximize}, true, false, true, false},
        {vcl::bsSizeable, {biMinimize, biMaximize}, false, false, true, true},
        {vcl::bsDialog, all, false, false, false, true},
        {vcl::bsToolWindow, all, false, false, false, true},
        {vcl::bsSizeToolWin, all, false, false, false, true},
    };
    for (const Shape &s : shapes) {
        CaptionForm form;
        form.F()->SetBorderStyle(s.Style);
        form.F()->SetBorderIcons(s.Icons);
        form.Show();
        const TsSystemMenu *m = form.P->SystemMenu;
        const std::string what = std::to_string(s.Style) + " " + std::to_string(s.Icons.Contains(biSystemMenu));
        EXPECT_EQ(m->VisibleMax(), s.VisibleMax) << what;
        EXPECT_EQ(m->VisibleMin(), s.VisibleMin) << what;
        EXPECT_EQ(m->EnabledMax(), s.EnabledMax) << what;
        EXPECT_EQ(m->EnabledMin(), s.EnabledMin) << what;
        EXPECT_FALSE(m->EnabledRestore()) << what;
        EXPECT_EQ(m->VisibleClose(), s.Icons.Contains(biSystemMenu)) << what;
        if (!m->ItemClose) continue;
        EXPECT_EQ(m->ItemMaximize->Visible(), s.VisibleMax) << what;
        EXPECT_EQ(m->ItemMinimize->Visible(), s.VisibleMin) << what;
        EXPECT_TRUE(m->ItemMove->Visible() && m->ItemMove->Enabled()) << what;
        const bool normal = s.Style == vcl::bsSingle || s.Style == vcl::bsSizeable;
        EXPECT_EQ(m->ItemRestore->Visible(), normal && s.Icons.Contains(biSystemMenu)) << what;
        EXPECT_EQ(m->ItemSize->Visible(), normal || s.Style == vcl::bsSizeToolWin) << what;
        EXPECT_EQ(m->ItemSize->Enabled(), s.Style != vcl::bsSingle) << what;
    }

    // Minimized and maximized forms.
    C.Show();
    ShowWindow(C.Wnd(), SW_MINIMIZE);
    EXPECT_TRUE(M()->VisibleMax() && M()->VisibleMin());
    EXPECT_TRUE(M()->EnabledRestore());
    EXPECT_FALSE(M()->EnabledMin());  // a minimized form that is not the main form
    M()->UpdateItems(false);
    EXPECT_FALSE(M()->ItemSize->Enabled());
    ShowWindow(C.Wnd(), SW_MAXIMIZE);
    M()->UpdateItems(false);
    EXPECT_TRUE(M()->EnabledRestore());
    EXPECT_FALSE(M()->ItemMove->Enabled());
    EXPECT_TRUE(M()->ItemRestore->Enabled());
}

TEST_F(SystemMenu, AWindowWithoutItsOwnMenuGetsAnEmptyOne) {
    C.F()->SetBorderIcons({});  // the window is made without WS_SYSMENU
    C.Show();
    ASSERT_EQ(GetSystemMenu(C.Wnd(), FALSE), nullptr);
    EXPECT_EQ(M()->Items()->Count(), 0);
    M()->UpdateItems(false);
    EXPECT_EQ(M()->Items()->Count(), 0);
    EXPECT_EQ(M()->ItemClose, nullptr);
    EXPECT_FALSE(M()->VisibleClose());
}

struct Clicks {
    std::vector<vcl::TObject *> Senders;
    void Click(vcl::TObject *Sender) { Senders.push_back(Sender); }
};

TEST_F(SystemMenu, TheExtraSubMenuStandsWhereItsPositionSays) {
    Clicks clicks;
    auto *popup = vcl::Create<vcl::TPopupMenu>(C.F());
    auto *one = vcl::Create<vcl::TMenuItem>(popup);
    one->SetName("ItemOne");
    one->SetCaption("One");
    one->SetChecked(true);
    one->SetShortCut(vcl::ShortCut('O', {vcl::ssCtrl}));
    one->OnClick = vcl::TNotifyEvent::Bind<&Clicks::Click>(&clicks);
    auto *two = vcl::Create<vcl::TMenuItem>(popup);
    two->SetCaption("Two");
    two->SetEnabled(false);
    auto *deep = vcl::Create<vcl::TMenuItem>(popup);
    deep->SetCaption("Deep");
    two->Add(deep);
    popup->Items()->Add(one);
    popup->Items()->Add(two);
    P->SysSubMenu()->SetPopupMenu(popup);
    C.Show();
    EXPECT_EQ(M()->ItemSubMenu, nullptr);  // no caption: no sub-menu

    P->SysSubMenu()->SetCaption("Extra");
    P->SysSubMenu()->SetPosition(ipTop);
    M()->UpdateItems(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"vl_SubMenu", "vl_TopDiv", "vlIR", "vlIM", "vlIS", "vlIN", "vlIX", "-",
                                                 "vlIC"}));
    P->SysSubMenu()->SetPosition(ipBeforeClose);
    M()->UpdateItems(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"vlIR", "vlIM", "vlIS", "vlIN", "vlIX", "-", "vl_SubMenu", "vl_TopDiv",
                                                 "vlIC"}));
    P->SysSubMenu()->SetPosition(ipBottom);
    M()->UpdateItems(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"vlIR", "vlIM", "vlIS", "vlIN", "vlIX", "-", "vlIC", "vl_BtmDiv",
                                                 "vl_SubMenu"}));

    vcl::TMenuItem *sub = M()->ItemSubMenu;
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->Caption(), "Extra");
    ASSERT_EQ(sub->Count(), 2);
    vcl::TMenuItem *copy = sub->Items(0);
    EXPECT_EQ(copy->Name(), "ItemOneCopy");
    EXPECT_EQ(copy->Caption(), "One");
    EXPECT_TRUE(copy->Checked());
    EXPECT_EQ(copy->ShortCut(), one->ShortCut());
    copy->Click();
    EXPECT_EQ(clicks.Senders, std::vector<vcl::TObject *>{copy});
    EXPECT_FALSE(sub->Items(1)->Enabled());
    ASSERT_EQ(sub->Items(1)->Count(), 1);
    EXPECT_EQ(sub->Items(1)->Items(0)->Caption(), "Deep");
}

TEST_F(SystemMenu, TheSkinListRunsInColumnsOfTwentyAndChecksTheSkinInUse) {
    TestSkin skin;
    skin.Options = CaptionOptions();
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    const Bytes packed = skin.Packed();
    for (int i = 0; i < 44; ++i) AddStoredSkin(*Manager, "Skin" + std::to_string(100 + i), packed);
    C.Show();
    const int before = M()->Items()->Count();
    M()->MakeSkinItems();
    ASSERT_EQ(M()->Items()->Count(), before + 2);
    vcl::TMenuItem *list = M()->Items()->Items(0);
    EXPECT_EQ(list->Name(), "SkinSelectItem");
    EXPECT_TRUE(M()->Items()->Items(1)->IsLine());
    ASSERT_EQ(list->Count(), 45);
    int checked = 0;
    for (int i = 0; i < 45; ++i) {
        const vcl::TMenuItem *item = list->Items(i);
        EXPECT_EQ(item->Name(), "SkinSelectItem" + std::to_string(i));
        EXPECT_TRUE(item->RadioItem());
        EXPECT_EQ(item->Break() == vcl::mbBreak, i == 20 || i == 40) << i;
        if (item->Checked()) {
            ++checked;
            EXPECT_EQ(item->Caption(), "Caption");
        }
    }
    EXPECT_EQ(checked, 1);

    // Popping up with the list asked for makes it anew, never twice.
    P->SetMakeSkinMenu(true);
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    MenuWatcher menus;
    for (int i = 0; i < 2; ++i) P->PopupSystemMenu({300, 300});
    EXPECT_EQ(menus.Count(), 2);
    EXPECT_EQ(M()->Items()->Count(), before + 2);
    EXPECT_TRUE(M()->Items()->Items(1)->IsLine());
    EXPECT_FALSE(M()->Items()->Items(2)->IsLine());
    // Made again over a list still there: no name clash stops it.
    EXPECT_NO_THROW(M()->MakeSkinItems());
    EXPECT_EQ(M()->Items()->Count(), before + 4);
}

TEST_F(SystemMenu, ASkinItemSelectsTheSkinNamedUpToTheInternalMarker) {
    const std::string savedMarker = LocInternal;
    if (LocInternal.empty()) LocInternal = "(internal)";
    TestSkin skin;
    skin.Options = CaptionOptions();
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    AddStoredSkin(*Manager, "Other " + LocInternal, skin.Packed());
    C.Show();
    std::unique_ptr<vcl::TMenuItem> item(vcl::Create<vcl::TMenuItem>(nullptr));
    item->SetCaption("O&ther " + LocInternal + " 2");
    M()->SkinItemClick(item.get());
    EXPECT_EQ(Manager->SkinName(), "Other " + LocInternal);
    LocInternal = savedMarker;
}

// Records whether the provider's minimize flag was up when SC_MINIMIZE came.
struct MinimizeWatch {
    MinimizeWatch(vcl::TControl *Form, TsSkinProvider *P) : Provider(P), Control(Form), Previous(Form->WindowProc) {
        Form->WindowProc = vcl::TWndMethod::Bind<&MinimizeWatch::Handle>(this);
    }
    ~MinimizeWatch() { Control->WindowProc = Previous; }
    void Handle(vcl::TMessage &M) {
        if (M.Msg == WM_SYSCOMMAND) Commands.push_back({M.WParam, Provider->Animating});
        Previous(M);
    }
    TsSkinProvider *Provider;
    vcl::TControl *Control;
    vcl::TWndMethod Previous;
    std::vector<std::pair<WPARAM, bool>> Commands;
};

TEST_F(SystemMenu, ItsClicksSendTheirCommands) {
    C.Show();
    MinimizeWatch watch(C.F(), P);
    M()->MaximizeClick(nullptr);
    EXPECT_TRUE(IsZoomed(C.Wnd()));
    EXPECT_FALSE(M()->ItemMove->Enabled());  // the items follow the new state
    M()->RestoreClick(nullptr);
    EXPECT_FALSE(IsZoomed(C.Wnd()));
    M()->MinimizeClick(nullptr);
    EXPECT_TRUE(IsIconic(C.Wnd()));
    EXPECT_FALSE(P->Animating);
    EXPECT_TRUE(M()->ItemRestore->Enabled());
    M()->RestoreClick(nullptr);
    // The move and size loops of the system end at the Escape waiting for them.
    for (auto click : {&TsSystemMenu::MoveClick, &TsSystemMenu::SizeClick}) {
        PostMessageW(C.Wnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        (M()->*click)(nullptr);
    }
    M()->CloseClick(nullptr);
    EXPECT_FALSE(IsWindowVisible(C.Wnd()));
    const std::vector<std::pair<WPARAM, bool>> expected{{SC_MAXIMIZE, false}, {SC_RESTORE, false},
                                                        {SC_MINIMIZE, true},  {SC_RESTORE, false},
                                                        {SC_MOVE, false},     {SC_SIZE, false},
                                                        {SC_CLOSE, false}};
    EXPECT_EQ(watch.Commands, expected);
}

TEST_F(SystemMenu, PopsUpOnTheIconOnARightClickOnTheCaptionAndOnAltSpace) {
    C.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    const std::vector<std::string> all =
        Expected({SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE});
    MenuWatcher menus;
    RECT w{};
    GetWindowRect(C.Wnd(), &w);

    // The icon: below it.
    SendMessageW(C.Wnd(), WM_NCLBUTTONDOWN, HTSYSMENU, C.ScreenAt(C.Centre(P->IconRect)));
    ASSERT_EQ(menus.Count(), 1);
    EXPECT_EQ(PlainCaptions(menus.Items()), all);
    EXPECT_EQ(menus.Rect().left, w.left + P->IconRect.Left);
    EXPECT_EQ(menus.Rect().top, w.top + P->IconRect.Bottom);
    const std::vector<ShownItem> items = menus.Items();
    EXPECT_TRUE(items[0].Grayed);   // restore: the form is not maximized
    EXPECT_FALSE(items[4].Grayed);  // maximize

    // A right click: at the mouse, when the button comes up.
    C.Watcher.Seen.clear();
    SendMessageW(C.Wnd(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 10));
    EXPECT_EQ(menus.Count(), 1);
    SendMessageW(C.Wnd(), WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 10));
    ASSERT_EQ(menus.Count(), 2);
    EXPECT_EQ(menus.Rect().left, w.left + 150);
    EXPECT_EQ(menus.Rect().top, w.top + 10);
    EXPECT_FALSE(C.Watcher.Saw(WM_NCRBUTTONDOWN) || C.Watcher.Saw(WM_NCRBUTTONUP) || C.Watcher.Saw(WM_CONTEXTMENU));

    // Alt+Space from the keyboard.
    INPUT keys[4] = {};
    for (INPUT &k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = VK_SPACE;
    keys[2].ki.wVk = VK_SPACE;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_MENU;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    EXPECT_TRUE(uitest::PumpUntil([&] { return menus.Count() == 3; }, 3s));
    EXPECT_EQ(PlainCaptions(menus.Items()), all);
    EXPECT_EQ(menus.Rect().left, w.left + P->FrameLeft(true));
    Settle();
}

TEST_F(SystemMenu, ADialogsMenuHoldsMoveAndCloseOnly) {
    C.F()->SetBorderStyle(vcl::bsDialog);
    C.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    MenuWatcher menus;
    SendMessageW(C.Wnd(), WM_NCRBUTTONUP, HTCAPTION, C.ScreenAt(vcl::TPoint{100, 10}));
    ASSERT_EQ(menus.Count(), 1);
    EXPECT_EQ(PlainCaptions(menus.Items()), Expected({SC_MOVE, SC_CLOSE}));
}

TEST_F(SystemMenu, AnInactiveFormsMenuDoesNotPopUp) {
    C.Show();
    CaptionForm other;
    other.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(other.Wnd(), 2s));
    MenuWatcher menus;
    P->PopupSystemMenu({200, 200});
    Settle();
    EXPECT_EQ(menus.Count(), 0);
    other.P->PopupSystemMenu({200, 200});
    EXPECT_EQ(menus.Count(), 1);
}

TEST_F(SystemMenu, ChoosingCloseInTheSkinnedMenuClosesTheForm) {
    C.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    MessageTap tap(C.F(), {WM_SYSCOMMAND});
    const std::string close = Plain(NativeText(SC_CLOSE));
    MenuWatcher menus([&](HWND, HMENU Menu) { MenuWatcher::ClickItemNamed(Menu, close); });
    SendMessageW(C.Wnd(), WM_NCRBUTTONUP, HTCAPTION, C.ScreenAt(vcl::TPoint{100, 10}));
    EXPECT_TRUE(uitest::PumpUntil([&] { return !IsWindowVisible(C.Wnd()); }, 2s));
    ASSERT_EQ(tap.Seen.size(), 1u);
    EXPECT_EQ(tap.Seen[0].WParam, static_cast<WPARAM>(SC_CLOSE));
    ParkCursor();
}

TEST_F(SystemMenu, WithoutSkinnedPopupsTheWindowsOwnMenuShowsAndItsChoiceIsPosted) {
    Manager->SetSkinnedPopups(false);
    C.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(C.Wnd(), 2s));
    MenuWatcher menus([](HWND, HMENU Menu) { MenuWatcher::ClickItem(Menu, SC_MAXIMIZE); });
    RECT w{};
    GetWindowRect(C.Wnd(), &w);
    P->PopupSystemMenu({w.left + 20, w.top + 20});
    ASSERT_EQ(menus.Count(), 1);
    for (const ShownItem &item : menus.Items()) {
        if (item.Id == SC_RESTORE) EXPECT_TRUE(item.Grayed);
        if (item.Id == SC_MAXIMIZE || item.Id == SC_SIZE || item.Id == SC_MOVE) EXPECT_FALSE(item.Grayed) << item.Id;
    }
    MSG posted{};
    ASSERT_TRUE(PeekMessageW(&posted, C.Wnd(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE));
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(SC_MAXIMIZE));
    EXPECT_FALSE(IsZoomed(C.Wnd()));  // not yet: it waits in the queue
    EXPECT_TRUE(uitest::PumpUntil([&] { return IsZoomed(C.Wnd()) != 0; }, 2s));
    ParkCursor();
}

// An adapter layer that makes a stand-in for the form's own scroll bars.
struct ScrollBars : TvlScrollAdapter {
    HWND AdapterWindow() const override { return Window; }
    bool Destroyed() const override { return Gone; }
    TvlScrollBarState HorzScrollBar() const override { return {}; }
    TvlScrollBarState VertScrollBar() const override { return {}; }
    HWND Window = nullptr;
    bool Gone = false;
};
struct ScrollFactory : TvlAdapterFactory {
    std::unique_ptr<TvlWindowAdapter> CreateAdapter(int, HWND, const TvlSkinParams &, TsSkinManager *) override {
        return nullptr;
    }
    std::unique_ptr<TvlScrollAdapter> CreateScrollAdapter(HWND Window, const TvlSkinParams &Params, TsSkinManager *,
                                                          TsCommonData *Data) override {
        ++Made;
        Control = Params.Control;
        SkinData = Data;
        auto bars = std::make_unique<ScrollBars>();
        bars->Window = Window;
        return bars;
    }
    int Made = 0;
    vcl::TControl *Control = nullptr;
    TsCommonData *SkinData = nullptr;
};

TEST_F(SystemMenu, SmallOperationsOfTheProvider) {
    C.Show();
    RECT w{};
    GetWindowRect(C.Wnd(), &w);
    EXPECT_EQ(P->GetFormOrigin(), (vcl::TPoint{w.left, w.top}));
    EXPECT_EQ(P->ScreenToWindowPoint(w.left + 7, w.top + 9), (vcl::TPoint{7, 9}));

    P->FormActive = 0;
    EXPECT_EQ(P->GetFormColor(), 0xF0F0F0);  // the form's section
    P->SkinData()->SetCustomColor(true);
    EXPECT_EQ(P->GetFormColor(), vcl::ColorToRGB(C.F()->Color()));
    P->SkinData()->SetCustomColor(false);

    std::unique_ptr<vcl::TComponent> loose(vcl::Create<vcl::TComponent>(nullptr));
    EXPECT_EQ(FindFormProvider(loose.get()), nullptr);

    ScrollFactory factory;
    TvlServiceRegistration<TvlAdapterFactory> registration(factory);
    P->UpdateFormScrollBars();
    ASSERT_NE(P->FormScrollAdapter, nullptr);
    EXPECT_EQ(factory.Control, C.F());
    EXPECT_EQ(factory.SkinData, P->SkinData());
    EXPECT_EQ(P->FormScrollAdapter->AdapterWindow(), C.Wnd());
    P->UpdateFormScrollBars();
    EXPECT_EQ(factory.Made, 1);
    static_cast<ScrollBars *>(P->FormScrollAdapter.get())->Gone = true;  // its window went
    P->UpdateFormScrollBars();
    EXPECT_EQ(factory.Made, 2);
    EXPECT_FALSE(P->StateFlags & pfScrollAdapterUpdate);
    P->SkinData()->SetSkinSection("NOSUCHSECTION");
    P->UpdateFormScrollBars();
    EXPECT_EQ(P->FormScrollAdapter, nullptr);
}

} // namespace
} // namespace skin
