// The menu painter: hooking of items and menu bars (foreign handlers kept
// and given back), measuring by item kind with the extra line, and a real
// skinned popup under the system's tracking, driven with the keyboard: its
// items, hot item and region from the skin, the menu windows' adapters, and
// the counts of handles after many openings.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../forms/CaptionTestSupport.h"
#include "../manager/LayeredRecorder.h"
#include "AdaptersTestSupport.h"
#include "MenusTestSupport.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlAdaptersState.h"
#include "skin/adapters/vlMenuAdapters.h"
#include "skin/manager/sManagerOptions.h"
#include "skin/manager/sMessages.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/WideText.h"

namespace skin::test {
namespace {

using namespace std::chrono_literals;
using vcl::TMenuItem;

struct SkinMenus : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;

    ManagerPtr Manager = MenuManager();
    TsSkinableMenus &Painter() { return dynamic_cast<TsSkinableMenus &>(Manager->SkinableMenus()); }
    // No menu adapter is ever freed inside its own handling of a message.
    TvlStateOverride<int> FreedInUse{AdaptersState().MenuAdaptersFreedInUse, 0};
    void TearDown() override { EXPECT_EQ(AdaptersState().MenuAdaptersFreedInUse, 0); }
};

struct THandlers {
    int Measures = 0, Draws = 0;
    void Measure(vcl::TObject *, vcl::TCanvas *, int &, int &) { ++Measures; }
    void Draw(vcl::TObject *, vcl::TCanvas *, vcl::TRect, vcl::TOwnerDrawState) { ++Draws; }
};

TEST_F(SkinMenus, PopupHookingAddsOnlyMissingHandlersAndTakesOnlyItsOwn) {
    THandlers own;
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    TMenuItem *a = Add(menu->Items(), menu.get(), "A");
    TMenuItem *b = Add(a, menu.get(), "B");
    a->OnMeasureItem = vcl::TMenuMeasureItemEvent::Bind<&THandlers::Measure>(&own);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(menu->MenuAnimation().Contains(vcl::maNone));
    EXPECT_EQ(a->OnMeasureItem, vcl::TMenuMeasureItemEvent::Bind<&THandlers::Measure>(&own));
    EXPECT_TRUE(a->OnAdvancedDrawItem);
    EXPECT_TRUE(b->OnMeasureItem && b->OnAdvancedDrawItem);
    Painter().SetMenuOwnerDraw(menu.get(), false);
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(menu->MenuAnimation().Contains(vcl::maNone));
    EXPECT_EQ(a->OnMeasureItem, vcl::TMenuMeasureItemEvent::Bind<&THandlers::Measure>(&own));
    EXPECT_FALSE(a->OnAdvancedDrawItem);
    EXPECT_FALSE(b->OnMeasureItem || b->OnAdvancedDrawItem);
}

TEST_F(SkinMenus, MenuLineHandlersGiveTheApplicationsOwnBack) {
    THandlers own;
    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    auto *menu = vcl::Create<vcl::TMainMenu>(form.get());
    TMenuItem *top = Add(menu->Items(), form.get(), "&File");
    TMenuItem *sub = Add(top, form.get(), "&Open");
    const auto ownDraw = vcl::TAdvancedMenuDrawItemEvent::Bind<&THandlers::Draw>(&own);
    top->OnAdvancedDrawItem = ownDraw;
    Painter().RunActive(true);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_NE(top->OnAdvancedDrawItem, ownDraw);
    EXPECT_TRUE(top->OnMeasureItem);
    EXPECT_TRUE(sub->OnAdvancedDrawItem);
    Painter().RunActive(false);
    EXPECT_EQ(top->OnAdvancedDrawItem, ownDraw);
    EXPECT_FALSE(top->OnMeasureItem);
    EXPECT_FALSE(menu->OwnerDraw());
    EXPECT_FALSE(sub->OnAdvancedDrawItem);
    // A menu that drew itself keeps doing so.
    menu->SetOwnerDraw(true);
    Painter().RunActive(true);
    Painter().RunActive(false);
    EXPECT_TRUE(menu->OwnerDraw());
}

// Glyphs the extra-line handler hands over, counted as they go.
struct TCountedGlyph : vcl::TBitmap {
    explicit TCountedGlyph(int &Gone) : FGone(Gone) {}
    ~TCountedGlyph() override { ++FGone; }
    int &FGone;
};

struct TExtraLine {
    int Calls = 0, GlyphsGone = 0;
    bool Visible = true;
    void Get(vcl::TComponent *, std::string &, std::string &Caption, vcl::TBitmap *&Glyph, bool &LineVisible) {
        ++Calls;
        Caption = "&Menu";
        Glyph = new TCountedGlyph(GlyphsGone);
        LineVisible = Visible;
    }
};

TEST_F(SkinMenus, MeasuringByKindWithExtraLineAndColumnBreaks) {
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    TMenuItem *one = Add(menu->Items(), menu.get(), "One");
    TMenuItem *two = Add(menu->Items(), menu.get(), "Two");
    TMenuItem *line = Add(menu->Items(), menu.get(), "-");
    TMenuItem *caption = Add(menu->Items(), menu.get(), "-Word-");
    TMenuItem *dashes = Add(menu->Items(), menu.get(), "--");
    TExtraLine extra;
    Manager->OnGetMenuExtraLineData = TvlMenuExtraLineEvent::Bind<&TExtraLine::Get>(&extra);
    vcl::TBitmap canvasHost;
    canvasHost.SetSize(1, 1);
    vcl::TCanvas &canvas = *canvasHost.Canvas();
    auto measure = [&](TMenuItem *item) {
        int w = 0, h = 0;
        Painter().SkinMeasureMenuItem(item, &canvas, w, h);
        return std::pair{w, h};
    };
    EXPECT_EQ(measure(line).second, 2);
    EXPECT_EQ(Painter().ItemKind, smDivider);
    measure(caption);
    EXPECT_EQ(Painter().ItemKind, smCaption);
    measure(dashes);
    EXPECT_EQ(Painter().ItemKind, smCaption);
    measure(one);
    EXPECT_EQ(Painter().ItemKind, smNormal);

    const int plainOne = measure(one).first, plainTwo = measure(two).first;
    Manager->MenuSupport()->UseExtraLine = true;
    EXPECT_EQ(measure(one).first, plainOne + 32);
    EXPECT_EQ(measure(two).first, plainTwo + 32);
    two->SetBreak(vcl::mbBreak);
    EXPECT_EQ(measure(one).first, plainOne + 32);
    EXPECT_EQ(measure(two).first, plainTwo);
    // Every query's glyph is the painter's: freed once, never twice.
    extra.Visible = false;
    EXPECT_EQ(measure(one).first, plainOne);
    const int calls = extra.Calls;
    EXPECT_EQ(extra.GlyphsGone, calls);
    EXPECT_GT(calls, 0);

    // A skin-selection popup asks nothing and shows no line.
    extra.Visible = true;
    one->SetName("SkinSelectItem");
    EXPECT_EQ(measure(one).first, plainOne);
    EXPECT_EQ(extra.Calls, calls);
}

TEST_F(SkinMenus, ANormalItemsHeightFollowsItsTextAndGlyph) {
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    TMenuItem *one = Add(menu->Items(), menu.get(), "One");
    TMenuItem *keyed = Add(menu->Items(), menu.get(), "Keyed");
    keyed->SetShortCut(vcl::ShortCut('K', vcl::TShiftState{vcl::ssCtrl}));
    TMenuItem *twoLines = Add(menu->Items(), menu.get(), "Upper\r\nLower");
    TMenuItem *bold = Add(menu->Items(), menu.get(), "Bold");
    bold->SetDefault(true);
    TMenuItem *tall = Add(menu->Items(), menu.get(), "Tall");
    vcl::TBitmap glyph;
    glyph.SetSize(12, 40);
    tall->SetBitmap(&glyph);
    vcl::TBitmap canvasHost;
    canvasHost.SetSize(1, 1);
    vcl::TCanvas &canvas = *canvasHost.Canvas();
    // The height measured, beside the height rule applied to the canvas's
    // font as measuring left it.
    auto measure = [&](TMenuItem *item) {
        int w = 0, h = 0;
        Painter().SkinMeasureMenuItem(item, &canvas, w, h);
        EXPECT_EQ(h, Painter().ItemHeight(canvas, item)) << item->Caption();
        return h;
    };
    const int single = measure(one);
    EXPECT_GT(single, 6);
    EXPECT_EQ(measure(keyed), single);
    EXPECT_GT(measure(twoLines), single + 6);
    EXPECT_EQ(measure(bold), single);
    EXPECT_EQ(measure(tall), 40 + 6);
}

TEST_F(SkinMenus, SkinBorderWidthFromTheMainMenuMask) {
    EXPECT_GE(Painter().SkinBorderWidth(), 1);
    ManagerPtr plain = MenuManager(false);
    EXPECT_EQ(dynamic_cast<TsSkinableMenus &>(plain->SkinableMenus()).SkinBorderWidth(), 0);
}

TEST_F(SkinMenus, ARegionRequestCarriesTheItemsKeyAndIsDroppedOnceItIsGone) {
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    TMenuItem *item = Add(menu->Items(), menu.get(), "One");
    Add(menu->Items(), menu.get(), "Two");
    const HWND app = vcl::Application->Handle();
    MSG stale{};
    while (PeekMessageW(&stale, app, 0xBCB3, 0xBCB4, PM_REMOVE)) {}
    // Drawn into a bitmap's DC (no menu window): the region is asked for later.
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(100, 20);
    Painter().SkinDrawMenuItem(item, target.Canvas(), vcl::Rect(0, 0, 100, 20), {});
    Painter().SkinDrawMenuItem(item, target.Canvas(), vcl::Rect(0, 0, 100, 20), {});
    EXPECT_EQ(Painter().BackgroundCount(), 1u);
    MSG request{};
    ASSERT_TRUE(PeekMessageW(&request, app, 0xBCB3, 0xBCB4, PM_REMOVE));
    EXPECT_EQ(request.lParam, static_cast<LPARAM>(item->Command()));
    EXPECT_FALSE(PeekMessageW(&stale, app, 0xBCB3, 0xBCB4, PM_NOREMOVE));  // one request while one waits
    // The item goes before the request is answered: nothing is touched.
    delete item;
    DispatchMessageW(&request);
    Painter().ClearMenuBackgrounds();
    Painter().ApplyItemRegion(request.lParam);
    EXPECT_EQ(Painter().BackgroundCount(), 0u);
}

// An item drawn where no menu window is known asks for its region later;
// with a submenu open over its menu, the region goes to the window that
// shows the item, not to the submenu.
TEST_F(SkinMenus, ARegionRequestShapesTheWindowThatShowsTheItem) {
    std::unique_ptr<TDrivenPopup> menu(vcl::Create<TDrivenPopup>(nullptr));
    TMenuItem *first = Add(menu->Items(), menu.get(), "First");
    TMenuItem *sub = Add(menu->Items(), menu.get(), "Sub");
    for (const char *c : {"Sub A", "Sub B"}) Add(sub, menu.get(), c);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    const HWND app = vcl::Application->Handle();
    bool seen = false, parentShaped = false;
    menu->Keys = {VK_DOWN, VK_DOWN, VK_RIGHT};
    menu->Look = [&](int step) {
        const std::vector<HWND> windows = MenuWindows();
        if (step != 3 || windows.size() != 2) return;
        seen = true;
        // The window of the menu that holds the submenu shows "First".
        const auto holdsSub = [](HWND W) {
            return GetSubMenu(reinterpret_cast<HMENU>(SendMessageW(W, MN_GETHMENU, 0, 0)), 1) != nullptr;
        };
        const HWND parent = holdsSub(windows[0]) ? windows[0] : windows[1];
        // The backgrounds made anew without a window; the menu window
        // unshaped and painted once since (so that it may take a region).
        Painter().ClearMenuBackgrounds();
        vcl::TBitmap target;
        target.SetPixelFormat(vcl::pf32bit);
        target.SetSize(100, 20);
        MSG stale{};
        while (PeekMessageW(&stale, app, 0xBCB3, 0xBCB4, PM_REMOVE)) {}
        Painter().SkinDrawMenuItem(first, target.Canvas(), vcl::Rect(0, 0, 100, 20), {});
        SetWindowRgn(parent, nullptr, FALSE);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.Canvas()->Handle()), 0);
        MSG request{};
        if (!PeekMessageW(&request, app, 0xBCB3, 0xBCB4, PM_REMOVE)) return;
        DispatchMessageW(&request);
        const auto shaped = [](HWND W) {
            HRGN r = CreateRectRgn(0, 0, 0, 0);
            const bool has = GetWindowRgn(W, r) != ERROR;
            DeleteObject(r);
            return has;
        };
        parentShaped = shaped(parent);
    };
    menu->Popup(60, 60);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(parentShaped);
}

TEST_F(SkinMenus, TheSelectedCheckShowsItsHotImageUnlessTheItemIsDisabled) {
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    TMenuItem *on = Add(menu->Items(), menu.get(), "On");
    TMenuItem *off = Add(menu->Items(), menu.get(), "Off");
    off->SetEnabled(false);
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(120, 24);
    const auto checks = [&](TMenuItem *Item, vcl::TColor Face) {
        Painter().SkinDrawMenuItem(Item, target.Canvas(), vcl::Rect(0, 0, 120, 24),
                                   vcl::TOwnerDrawState{vcl::odSelected, vcl::odChecked});
        int n = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 40; ++x) n += target.Canvas()->Pixels(x, y) == Face ? 1 : 0;
        return n;
    };
    EXPECT_EQ(checks(on, CheckHotFace), 100);
    EXPECT_EQ(checks(off, CheckFace), 100);
    EXPECT_EQ(checks(off, CheckHotFace), 0);
}

TEST_F(SkinMenus, ABarBreakLinesTheGapBeforeItsColumnUnlessItIsTheLastItem) {
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    for (const char *c : {"A", "B", "C", "D"}) Add(menu->Items(), menu.get(), c);
    menu->Items()->Items(1)->SetBreak(vcl::mbBarBreak);
    menu->Items()->Items(2)->SetBreak(vcl::mbBreak);
    menu->Items()->Items(3)->SetBreak(vcl::mbBarBreak);
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(320, 24);
    const struct {
        int Item, Left;
        bool Line;
    } rows[] = {{1, 70, true}, {2, 150, false}, {3, 230, false}};
    for (const auto &r : rows)
        Painter().SkinDrawMenuItem(menu->Items()->Items(r.Item), target.Canvas(), vcl::Rect(r.Left, 0, r.Left + 60, 20),
                                   {});
    TvlMenuBackground bg;
    ASSERT_TRUE(Painter().GetMenuBackground(menu->Items()->Items(0), bg, nullptr, nullptr));
    ASSERT_GT(bg.Bitmap->Width(), 300);
    for (const auto &r : rows) {
        // Two pixels left of the item's place in the background.
        const int x = r.Left + bg.ClientOrigin.X - 2;
        int ink = 0, beside = 0;
        for (int y = 0; y < bg.Bitmap->Height(); ++y) {
            ink += bg.Bitmap->Canvas()->Pixels(x, y) == 0x101010;
            beside += bg.Bitmap->Canvas()->Pixels(x - 1, y) == 0x101010 || bg.Bitmap->Canvas()->Pixels(x + 1, y) == 0x101010;
        }
        EXPECT_EQ(ink, r.Line ? bg.Bitmap->Height() : 0) << r.Item;
        EXPECT_EQ(beside, 0) << r.Item;
    }
}

TEST_F(SkinMenus, AMenuWhoseWindowIsRightAlignedGetsNoIconColumn) {
    constexpr vcl::TColor IconColumn = 0x00A0A0;
    // No border mask: its centre would cover the column.
    TestSkin skin = MenuSkin(false);
    skin.Options += "[MAINMENU]\r\nCOLOR=0x306090\r\n[ICOLINE]\r\nCOLOR=0x00A0A0\r\n";
    Manager.reset();
    Manager = NewManager();
    AddStoredSkin(*Manager, "Icons", skin.Packed());
    Manager->SetSkinName("Icons");
    Manager->MenuSupport()->IcoLineSkin = "ICOLINE";  // what the manager's loading gives it
    std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    Add(menu->Items(), menu.get(), "A");
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(120, 24);
    for (const DWORD ex : {DWORD{0}, DWORD{WS_EX_RIGHT}}) {
        const HWND owner = CreateWindowExW(ex, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                           GetModuleHandleW(nullptr), nullptr);
        menu->SetWindowHandle(owner);
        Painter().ClearMenuBackgrounds();
        Painter().SkinDrawMenuItem(menu->Items()->Items(0), target.Canvas(), vcl::Rect(0, 0, 120, 20), {});
        TvlMenuBackground bg;
        ASSERT_TRUE(Painter().GetMenuBackground(menu->Items()->Items(0), bg, nullptr, nullptr));
        const vcl::TColor column = bg.Bitmap->Canvas()->Pixels(Painter().SkinBorderWidth() + 8, bg.Bitmap->Height() / 2);
        EXPECT_EQ(column, ex ? MenuBack : IconColumn) << ex;
        menu->SetWindowHandle(nullptr);
        DestroyWindow(owner);
    }
}

struct TClicks {
    std::vector<std::string> Items;
    void Click(vcl::TObject *Sender) { Items.push_back(static_cast<TMenuItem *>(Sender)->Caption()); }
};

// The 30-item popup: divider, caption item, checked and radio items,
// disabled, default, a bitmap glyph, shortcut, tab-split caption, a bar
// break and a submenu.
std::unique_ptr<TDrivenPopup> BigPopup(TClicks &Clicks) {
    std::unique_ptr<TDrivenPopup> menu(vcl::Create<TDrivenPopup>(nullptr));
    menu->SetName("BigPopup");
    for (int i = 0; i < 30; ++i) {
        TMenuItem *item = Add(menu->Items(), menu.get(), "Item " + std::to_string(i));
        item->OnClick = vcl::TNotifyEvent::Bind<&TClicks::Click>(&Clicks);
    }
    TMenuItem *items[30];
    for (int i = 0; i < 30; ++i) items[i] = menu->Items()->Items(i);
    items[3]->SetCaption("-");
    items[4]->SetCaption("-Group-");
    items[5]->SetChecked(true);
    items[6]->SetRadioItem(true);
    items[6]->SetChecked(true);
    items[7]->SetEnabled(false);
    items[7]->SetChecked(true);
    items[8]->SetDefault(true);
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(16, 16);
    // White round a green square: the bottom-left pixel's colour is the
    // strip's transparent one.
    glyph.Canvas()->Brush()->SetColor(vcl::clWhite);
    glyph.Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(0x00FF00);
    glyph.Canvas()->FillRect(vcl::Rect(2, 2, 14, 14));
    items[9]->SetBitmap(&glyph);
    items[9]->SetChecked(true);
    items[10]->SetShortCut('S' | vcl::scCtrl);
    items[11]->SetCaption("Tabbed\tKeys");
    items[20]->SetBreak(vcl::mbBarBreak);
    for (const char *c : {"Sub A", "Sub B"}) Add(items[2], menu.get(), c)->OnClick = vcl::TNotifyEvent::Bind<&TClicks::Click>(&Clicks);
    return menu;
}

// What the items of the kinds the painter treats apart show on screen.
struct TItemKinds {
    int DividerLine = 0, DividerWidth = 0;      // the divider's top row in the line colour
    int CaptionFace = 0, InkLeft = 9999, InkRight = -1, CaptionLeft = 0, CaptionRight = 0, WordWidth = 0;
    int Check = 0, RadioBox = 0, RadioCheck = 0, GlyphButton = 0, GlyphChecks = 0;
};

TItemKinds ReadItemKinds(HWND W, const uitest::TImage32 &Image, vcl::TColor Line) {
    TItemKinds k;
    RECT win{};
    GetWindowRect(W, &win);
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(W, MN_GETHMENU, 0, 0));
    const auto count = [&](int Item, auto Match) {
        RECT r{};
        int n = 0;
        if (GetMenuItemRect(W, menu, static_cast<UINT>(Item), &r))
            for (int y = r.top - win.top; y < r.bottom - win.top; ++y)
                for (int x = r.left - win.left; x < r.right - win.left; ++x) n += Match(x, y, r) ? 1 : 0;
        return n;
    };
    const auto is = [&](vcl::TColor C) { return [&Image, C](int x, int y, const RECT &) { return ColorAt(Image, x, y) == C; }; };
    k.DividerLine = count(3, [&](int x, int y, const RECT &r) { return y == r.top - win.top && ColorAt(Image, x, y) == Line; });
    k.DividerWidth = count(3, [&](int, int y, const RECT &r) { return y == r.top - win.top; });
    k.CaptionFace = count(4, is(CaptionFace));
    count(4, [&](int x, int y, const RECT &r) {
        k.CaptionLeft = r.left - win.left;
        k.CaptionRight = r.right - win.left;
        if (ColorAt(Image, x, y) != CaptionFace && y > r.top - win.top + 3 && y < r.bottom - win.top - 3) {
            k.InkLeft = std::min(k.InkLeft, x);
            k.InkRight = std::max(k.InkRight, x + 1);
        }
        return false;
    });
    k.Check = count(5, is(CheckFace));
    k.RadioBox = count(6, is(BoxFace));
    k.RadioCheck = count(6, is(CheckFace));
    k.GlyphButton = count(9, is(SmallButtonDown));
    k.GlyphChecks = count(9, is(CheckFace)) + count(9, is(BoxFace));
    return k;
}

TEST_F(SkinMenus, SkinnedPopupFollowsKeysWithItsAdaptersAndRegion) {
    TClicks clicks;
    std::unique_ptr<TDrivenPopup> menu = BigPopup(clicks);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    std::unique_ptr<vcl::TForm> form(vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew));
    form->SetBounds(50, 50, 200, 100);
    form->Show();
    ASSERT_TRUE(uitest::ActivateAndWait(form->Handle(), 3s));
    menu->SetWindowHandle(form->Handle());

    struct TSeen {
        vcl::TColor FirstItem = 0, HotItem = 0, SecondItemAfterDown = 0;
        bool CornerCut = false, NextPixelKept = false;
        std::size_t AdaptersWithSub = 0, Backgrounds = 0, LiveAfterSub = 0, BackgroundsAfterSub = 9;
        LRESULT Handled = 0;
        bool Layered = true;
        int GlyphPixels = 0;
        int GapPixels = 0, GapOff = -1, LinePixels = 0, BelowPixels = 0, BelowOff = -1;
        // The submenu item's arrow area, plain and hot: pixels of the
        // system's colours and of the item's font colour.
        int PlainSystem = -1, PlainInk = 0, HotSystem = -1, HotInk = 0;
        TItemKinds Kinds;
        // Frame and background painted anew after the backgrounds went:
        // the painter's rebuilt for the window.
        TRepaint Again;
        std::size_t RebuiltByFrame = 0;
    } seen;
    const vcl::TColor line = Manager->SkinColors[scBorderColor] == vcl::clFuchsia
                                 ? vcl::TColor(GetSysColor(COLOR_BTNSHADOW)) : Manager->SkinColors[scBorderColor];
    const auto arrowArea = [](HWND w, const uitest::TImage32 &image, vcl::TColor System, vcl::TColor Ink,
                              int &SystemPixels, int &InkPixels) {
        RECT win{}, item{};
        GetWindowRect(w, &win);
        if (!GetMenuItemRect(w, reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0)), 2, &item)) return;
        SystemPixels = 0;
        for (int y = item.top - win.top; y < item.bottom - win.top; ++y)
            for (int x = item.right - win.left - 14; x < item.right - win.left; ++x) {
                if (ColorAt(image, x, y) == System) ++SystemPixels;
                if (ColorAt(image, x, y) == Ink) ++InkPixels;
            }
    };
    menu->Keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_UP, VK_RETURN};
    menu->Look = [&](int step) {
        const std::vector<HWND> windows = MenuWindows();
        if (windows.empty()) return;
        const HWND w = windows.front();
        const uitest::TImage32 image = uitest::CaptureWindow(w);
        if (image.Width < 40) return;
        if (step == 0) {
            // Items start at the client origin; the first is "Item 0", not hot
            // yet (right of its caption, in the first column).
            seen.FirstItem = ColorAt(image, 120, 6);
            for (int y = 0; y < image.Height; ++y)
                for (int x = 0; x < image.Width; ++x)
                    if (ColorAt(image, x, y) == 0x00FF00) ++seen.GlyphPixels;
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            if (GetWindowRgn(w, region) != ERROR) {
                seen.CornerCut = !PtInRegion(region, 0, 0) && !PtInRegion(region, 1, 0);
                seen.NextPixelKept = PtInRegion(region, 2, 0) && PtInRegion(region, 1, 1);
            }
            DeleteObject(region);
            // The gap before the second column and the second column below
            // its last item show the menu's background, the bar's line in it.
            RECT win{}, last{}, second{}, tail{};
            GetWindowRect(w, &win);
            const auto shown = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
            if (GetMenuItemRect(w, shown, 19, &last) && GetMenuItemRect(w, shown, 20, &second) &&
                GetMenuItemRect(w, shown, 29, &tail)) {
                const int gap = second.left - win.left;
                seen.GapOff = seen.BelowOff = 0;
                for (int y = second.top - win.top; y < last.bottom - win.top; ++y) {
                    for (int x : {gap - 4, gap - 3, gap - 1}) {
                        ++seen.GapPixels;
                        if (ColorAt(image, x, y) != MenuBack) ++seen.GapOff;
                    }
                    if (ColorAt(image, gap - 2, y) == 0x101010) ++seen.LinePixels;
                    for (int x = tail.left - win.left; x < tail.right - win.left && y >= tail.bottom - win.top; ++x) {
                        ++seen.BelowPixels;
                        if (ColorAt(image, x, y) != MenuBack) ++seen.BelowOff;
                    }
                }
            }
            arrowArea(w, image, GetSysColor(COLOR_MENU), 0x101010, seen.PlainSystem, seen.PlainInk);
            seen.Kinds = ReadItemKinds(w, image, line);
            const HDC screen = GetDC(w);
            SIZE word{};
            const vcl::TFont *font = vcl::Screen->MenuFont();
            const HGDIOBJ old = SelectObject(screen, font->Handle());
            GetTextExtentPoint32W(screen, L"Group", 5, &word);
            SelectObject(screen, old);
            ReleaseDC(w, screen);
            seen.Kinds.WordWidth = word.cx;
            seen.Handled = SendSkinCommand(w, SC_IS_HANDLED, 0);
            seen.Layered = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
            uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-popup-menu.png").wstring()), image);
        }
        if (step == 1) {
            seen.HotItem = ColorAt(image, 120, 6);
            Painter().ClearMenuBackgrounds();
            seen.Again = RepaintMenuWindow(w);
            seen.RebuiltByFrame = Painter().BackgroundCount();
        }
        if (step == 4 && windows.size() > 1) {
            seen.AdaptersWithSub = LiveMenuAdapterCount();
            seen.Backgrounds = Painter().BackgroundCount();
            for (HWND shown : windows)
                if (SendMessageW(shown, MN_GETHMENU, 0, 0) && GetMenuItemCount(reinterpret_cast<HMENU>(
                                                                 SendMessageW(shown, MN_GETHMENU, 0, 0))) == 30)
                    arrowArea(shown, uitest::CaptureWindow(shown), GetSysColor(COLOR_HIGHLIGHT), 0xFFFFFF,
                              seen.HotSystem, seen.HotInk);
            uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-submenu.png").wstring()),
                             uitest::CaptureWindow(windows.back()));
        }
        if (step == 6 && windows.size() == 1) {
            seen.LiveAfterSub = LiveMenuAdapterCount();
            seen.BackgroundsAfterSub = Painter().BackgroundCount();
        }
    };
    menu->Popup(60, 60);
    // The submenu's window went: the cache was emptied and rebuilt by the
    // repaint of the menu still open, whose adapter lives on.
    EXPECT_EQ(seen.LiveAfterSub, 1u);
    EXPECT_EQ(seen.BackgroundsAfterSub, 1u);
    EXPECT_EQ(seen.FirstItem, ItemFace);
    EXPECT_EQ(seen.GlyphPixels, 144);  // the bitmap item's 12 x 12 square, its white edge left out
    EXPECT_EQ(seen.HotItem, MenuHotFace);
    EXPECT_EQ(seen.Again.Frame, MenuBack);
    EXPECT_EQ(seen.Again.Back, MenuBack);
    EXPECT_EQ(seen.Again.SystemFrames, 0);
    EXPECT_EQ(seen.RebuiltByFrame, 1u);
    // A divider without a "DIVIDERV" image: a solid line over most of the item.
    const TItemKinds &k = seen.Kinds;
    EXPECT_GT(k.DividerLine * 2, k.DividerWidth);
    // The caption item: the word alone, centred, on the caption face.
    EXPECT_GT(k.CaptionFace, 500);
    EXPECT_LE(k.InkRight - k.InkLeft, k.WordWidth + 2);
    EXPECT_NEAR(k.InkLeft + k.InkRight, k.CaptionLeft + k.CaptionRight, 3);
    // A checked item shows "CHECK"; a checked radio item, without a
    // "RADIOCHECKED" image, "BOXCHECKED"; a checked glyph only the pressed
    // small speed button behind it.
    EXPECT_GT(k.Check, 50);
    EXPECT_GT(k.RadioBox, 50);
    EXPECT_EQ(k.RadioCheck, 0);
    EXPECT_GT(k.GlyphButton, 40);
    EXPECT_EQ(k.GlyphChecks, 0);
    // The submenu's arrow is the skin's, in the item's font colour, with
    // nothing of the system's colours round it.
    EXPECT_EQ(seen.PlainSystem, 0);
    EXPECT_GT(seen.PlainInk, 6);
    EXPECT_EQ(seen.HotSystem, 0);
    EXPECT_GT(seen.HotInk, 6);
    EXPECT_GT(seen.GapPixels, 300);
    EXPECT_EQ(seen.GapOff, 0);
    EXPECT_EQ(seen.LinePixels * 3, seen.GapPixels);
    EXPECT_GT(seen.BelowPixels, 10000);
    EXPECT_EQ(seen.BelowOff, 0);
    EXPECT_TRUE(seen.CornerCut);
    EXPECT_TRUE(seen.NextPixelKept);
    EXPECT_EQ(seen.Handled, 1);
    EXPECT_FALSE(seen.Layered);
    EXPECT_EQ(seen.AdaptersWithSub, 2u);
    EXPECT_EQ(seen.Backgrounds, 2u);
    // Down three times reaches "Item 2" (the submenu), Right opens it, Left
    // closes it, Up goes to "Item 1", Enter chooses it.
    EXPECT_EQ(clicks.Items, std::vector<std::string>{"Item 1"});
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    EXPECT_EQ(MenuAdapterCount(), 0u);
    EXPECT_EQ(Painter().BackgroundCount(), 0u);
}

TEST_F(SkinMenus, MenuOpacityAndNoAdaptersWithoutSkinnedPopups) {
    TClicks clicks;
    std::unique_ptr<TDrivenPopup> menu = BigPopup(clicks);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    Manager->MenuSupport()->AlphaBlend = 200;
    BYTE alpha = 0;
    DWORD flags = 0;
    HWND shown = nullptr;
    menu->Keys = {VK_DOWN};
    menu->Look = [&](int step) {
        if (step != 1) return;
        for (HWND w : MenuWindows()) shown = w, GetLayeredWindowAttributes(w, nullptr, &alpha, &flags);
    };
    {
        // Through the layered-window calls bound at start-up, as every caller.
        LayeredRecorder recorder;
        menu->Popup(60, 60);
        ASSERT_NE(shown, nullptr);
        EXPECT_NE(std::find(LayeredRecorder::Attributes.begin(), LayeredRecorder::Attributes.end(),
                            std::pair<HWND, int>{shown, 200}),
                  LayeredRecorder::Attributes.end());
    }
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(flags & LWA_ALPHA);
    {
        // An opaque menu too is unseen (alpha 0) until its frame is painted,
        // and then not layered at all.
        Manager->MenuSupport()->AlphaBlend = 255;
        LayeredRecorder recorder;
        bool layered = true;
        shown = nullptr;
        menu->Look = [&](int step) {
            if (step != 1) return;
            for (HWND w : MenuWindows()) shown = w, layered = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        };
        menu->Popup(60, 60);
        ASSERT_NE(shown, nullptr);
        EXPECT_NE(std::find(LayeredRecorder::Attributes.begin(), LayeredRecorder::Attributes.end(),
                            std::pair<HWND, int>{shown, 0}),
                  LayeredRecorder::Attributes.end());
        EXPECT_FALSE(layered);
        Manager->MenuSupport()->AlphaBlend = 200;
    }
    {
        // A system without layered windows shows the menu opaque.
        LayeredRecorder none(LayeredRecorder::NoLayeredWindows);
        bool layered = true, seen = false;
        menu->Look = [&](int step) {
            if (step != 1) return;
            for (HWND w : MenuWindows()) seen = true, layered = (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        };
        menu->Popup(60, 60);
        EXPECT_TRUE(seen);
        EXPECT_FALSE(layered);
    }

    Manager->SetSkinnedPopups(false);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    EXPECT_FALSE(menu->OwnerDraw());
    std::size_t adapters = 99;
    menu->Look = [&](int step) {
        if (step == 1) adapters = MenuAdapterCount();
    };
    menu->Popup(60, 60);
    EXPECT_EQ(adapters, 0u);
}

// The application switches popup skinning off after the skin has dressed
// its forms: a form's popup menu and its items are drawn by the system again.
TEST_F(SkinMenus, SwitchingSkinnedPopupsOffGivesTheFormsMenusBack) {
    TestSkin dressed = MenuSkin();
    dressed.Options += "[FORM]\r\nCOLOR=0xF0F0F0\r\n";  // the form is skinned too
    AddStoredSkin(*Manager, "Menus and forms", dressed.Packed());
    Manager->SetSkinName("Menus and forms");
    TestForm form;
    auto *popup = vcl::Create<vcl::TPopupMenu>(form.Form);
    auto *item = vcl::Create<TMenuItem>(form.Form);
    item->SetCaption("Copy");
    popup->Items()->Add(item);
    vcl::Create<TsSkinProvider>(form.Form);
    form.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(form.Form->Handle(), 2s));  // the activation hands its menus over
    ASSERT_TRUE(popup->OwnerDraw());
    ASSERT_TRUE(item->OnAdvancedDrawItem);

    Manager->SetSkinnedPopups(false);
    EXPECT_FALSE(popup->OwnerDraw());
    EXPECT_FALSE(item->OnAdvancedDrawItem);
    EXPECT_FALSE(item->OnMeasureItem);

    Manager->SetSkinnedPopups(true);
    EXPECT_TRUE(popup->OwnerDraw()) << "and on again";
}

TEST_F(SkinMenus, EveryMenuWindowGetsItsAdapterWhenItIsMade) {
    // Not owner-drawn by the painter: only the creation hook can serve it.
    TClicks clicks;
    std::unique_ptr<TDrivenPopup> menu = BigPopup(clicks);
    ASSERT_FALSE(menu->OwnerDraw());
    std::size_t first = 0, withSub = 0;
    LRESULT handled = 0;
    bool keepsTheme = true;
    TRepaint own;
    menu->Keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT};
    menu->Look = [&](int step) {
        const std::vector<HWND> windows = MenuWindows();
        if (step == 0 && windows.size() == 1) {
            first = LiveMenuAdapterCount();
            handled = SendSkinCommand(windows.front(), SC_IS_HANDLED, 0);
            // Its visual style is left alone for its class, not for a theme
            // kept: the skin's border mask is its frame.
            if (TvlMnuWnd *a = TvlMnuArray::Instance().Find(windows.front())) keepsTheme = a->KeepTheme;
            // While a skinned popup shows, a menu window whose items the
            // painter does not draw paints from its adapter's own cache.
            AdaptersState().MenuPopupShown = true;
            own = RepaintMenuWindow(windows.front());
        }
        if (step == 4) withSub = LiveMenuAdapterCount();
    };
    menu->Popup(60, 60);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(keepsTheme);
    EXPECT_EQ(own.Frame, MenuBack);
    EXPECT_EQ(own.Back, MenuBack);
    EXPECT_EQ(own.SystemFrames, 0);
    EXPECT_EQ(withSub, 2u);
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    EXPECT_EQ(MenuAdapterCount(), 0u);

    // The hook's end frees the adapters of the menus still open.
    menu->Keys = {VK_DOWN, VK_DOWN};
    std::size_t beforeEnd = 0, afterEnd = 9;
    menu->Look = [&](int step) {
        if (step != 1) return;
        beforeEnd = MenuAdapterCount();
        Manager->RemoveSkinHooks();
        afterEnd = MenuAdapterCount();
    };
    menu->Popup(60, 60);
    EXPECT_EQ(beforeEnd, 1u);
    EXPECT_EQ(afterEnd, 0u);
    EXPECT_TRUE(clicks.Items.empty());
}

// What a timer saw of the shown menu window before it closed the menu.
struct TMenuLook {
    static inline uitest::TImage32 Image;
    static inline int Ticks = 0;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (++Ticks < 3) return;
        const std::vector<HWND> windows = MenuWindows();
        if (!windows.empty()) Image = uitest::CaptureWindow(windows.front());
        EndMenu();
    }
};

TEST_F(SkinMenus, AFormsSystemMenuIsPaintedFromTheSkin) {
    CaptionForm c;
    c.Show();
    ASSERT_TRUE(uitest::ActivateAndWait(c.Wnd(), 2s));
    TMenuLook::Image = {};
    TMenuLook::Ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 80, &TMenuLook::Tick);
    RECT w{};
    GetWindowRect(c.Wnd(), &w);
    c.P->PopupSystemMenu({w.left + 20, w.top + 20});
    KillTimer(nullptr, timer);
    const uitest::TImage32 &image = TMenuLook::Image;
    ASSERT_GT(image.Width, 20);
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-system-menu.png").wstring()), image);
    // The items lie on the skin's item face; the last visible item (Close)
    // carries its glyph, drawn in the item's font colour 4 pixels in.
    EXPECT_EQ(ColorAt(image, image.Width / 2, 6), ItemFace);
    int ink = 0;
    for (int y = image.Height - 20; y < image.Height - 3; ++y)
        for (int x = 4; x < 18; ++x)
            if (ColorAt(image, x, y) == 0x101010) ++ink;
    EXPECT_GT(ink, 4);
    ParkCursor();
}

TEST_F(SkinMenus, CountsStayFlatOverManyOpenings) {
    TClicks clicks;
    std::unique_ptr<TDrivenPopup> menu = BigPopup(clicks);
    Painter().SetMenuOwnerDraw(menu.get(), true);
    menu->Interval = 10;
    menu->Keys = {};
    menu->Popup(60, 60);  // the first opening makes what lives for good (fonts, brushes)
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    const vcl::THandleCounts before = vcl::LiveHandles();
    constexpr int kOpenings = 1000;
    for (int i = 0; i < kOpenings; ++i) {
        menu->Keys = i % 10 == 0 ? std::vector<WORD>{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT} : std::vector<WORD>{};
        menu->Popup(60, 60);
    }
    uitest::PumpUntil([] { return MenuAdapterCount() == 0; }, 2s);
    EXPECT_EQ(vcl::LiveHandles(), before);
    EXPECT_EQ(MenuAdapterCount(), 0u);
    EXPECT_EQ(Painter().BackgroundCount(), 0u);
    EXPECT_TRUE(clicks.Items.empty());
}

} // namespace
} // namespace skin::test
