// The skinned menu line of a form's main menu: its measures, the items on
// the line's band drawn from the skin (normal, hot while the bar is
// tracked from the keyboard and the mouse, disabled at 40 % over the
// line), the caption's accelerator and alignment, the bar owner-drawn while
// the painter serves it, a click dropping the skinned list, the line below
// the skin's own caption inside an extended border, pictures kept.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MenusTestSupport.h"
#include "skin/adapters/sSkinMenus.h"
#include "skin/adapters/vlMenuAdapters.h"
#include "skin/forms/sFormBorder.h"
#include "skin/forms/sMDIForm.h"
#include "skin/forms/sSkinProvider.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"

namespace skin::test {
namespace {

using namespace std::chrono_literals;

constexpr vcl::TColor LineFace = 0x5080B0;

ManagerPtr LineManager() {
    TestSkin skin;
    skin.Options += "[MENULINE]\r\nCOLOR=0x5080B0\r\nFONTCOLOR=0x101010\r\nHOTFONTCOLOR=0xFFFFFF\r\n"
                    "[MENUITEM]\r\nSTATES=2\r\nCOLOR=0xD0D0D0\r\nHOTCOLOR=0x2040C0\r\nFONTCOLOR=0x101010\r\n"
                    "HOTFONTCOLOR=0xFFFFFF\r\n[MAINMENU]\r\nCOLOR=0x306090\r\n";
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Line", skin.Packed());
    m->SetSkinName("Line");
    m->Effects()->AllowAnimation = false;
    return m;
}

struct MenuLine : ::testing::Test {
    static void SetUpTestSuite() { Modules = std::make_unique<AdapterModules>(); }
    static void TearDownTestSuite() { Modules.reset(); }
    static inline std::unique_ptr<AdapterModules> Modules;
    ManagerPtr Manager = LineManager();
    TsSkinableMenus &Painter() { return dynamic_cast<TsSkinableMenus &>(Manager->SkinableMenus()); }
};

// A shown skinned form with a four-item bar: File (with two items), Edit,
// a disabled item and Help.
struct LineForm {
    std::unique_ptr<vcl::TForm> Form{vcl::Create<vcl::TForm>(vcl::Application, vcl::CreateNew)};
    vcl::TMainMenu *Menu = vcl::Create<vcl::TMainMenu>(Form.get());
    TsSkinProvider *P = nullptr;
    std::vector<TMenuItem *> Top;
    std::vector<std::string> Clicked;

    explicit LineForm(vcl::TFormStyle Style = vcl::fsNormal) {
        Form->SetFormStyle(Style);
        Form->SetBounds(100, 100, 360, 200);
        Form->SetCaption("Menu line");
        for (const char *c : {"&File", "&Edit", "Disabled", "&Help"}) Top.push_back(Add(Menu->Items(), Form.get(), c));
        Top[2]->SetEnabled(false);
        for (const char *c : {"&Open", "&Save"})
            Add(Top[0], Form.get(), c)->OnClick = vcl::TNotifyEvent::Bind<&LineForm::Click>(this);
        Form->SetMenu(Menu);
        P = vcl::Create<TsSkinProvider>(Form.get());
        Form->Show();
        uitest::ActivateAndWait(Form->Handle(), 3s);
        Redraw();
    }
    void Click(vcl::TObject *Sender) { Clicked.push_back(static_cast<TMenuItem *>(Sender)->Caption()); }
    HWND Wnd() const { return Form->WindowHandle(); }
    void Redraw() {
        P->InvalidateFrame();
        RedrawWindow(Wnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
        vcl::Application->ProcessMessages();
    }
    // An item's rectangle in window coordinates.
    vcl::TRect ItemRect(int Position) const {
        RECT r{}, w{};
        GetMenuItemRect(Wnd(), GetMenu(Wnd()), static_cast<UINT>(Position), &r);
        GetWindowRect(Wnd(), &w);
        return vcl::Rect(r.left - w.left, r.top - w.top, r.right - w.left, r.bottom - w.top);
    }
    // A click on the bar's item at Position (a real one: the system tracks the bar).
    void ClickItem(int Position) const {
        const vcl::TRect r = ItemRect(Position);
        RECT w{};
        GetWindowRect(Wnd(), &w);
        SetCursorPos(w.left + r.Left + 6, w.top + r.Top + 4);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
    }
    // A pixel of an item away from its caption.
    vcl::TColor ItemFaceOf(const uitest::TImage32 &Image, int Position) const {
        const vcl::TRect r = ItemRect(Position);
        return ColorAt(Image, r.Left + 2, r.Top + 2);
    }
};

// Steps run one per timer tick, also inside the system's menu loop, which
// Start begins; the script ends when every step ran and no menu is open.
struct TScript {
    std::vector<std::function<void()>> Steps;
    std::size_t Next = 0;
    static inline TScript *Current = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (TScript *s = Current; s && s->Next < s->Steps.size()) s->Steps[s->Next++]();
    }
    void Run(const std::function<void()> &Start) {
        Current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 150, &Tick);
        Start();
        uitest::PumpUntil([&] { return Next >= Steps.size() && MenuWindows().empty(); }, 6s);
        KillTimer(nullptr, timer);
        Current = nullptr;
    }
};

// The disabled item's face: 40 % of the item's face over the line's.
vcl::TColor Blended(vcl::TColor Item, vcl::TColor Line) {
    vcl::TColor c = 0;
    for (int shift : {0, 8, 16}) {
        const int d = (Item >> shift) & 0xFF, s = (Line >> shift) & 0xFF;
        c |= static_cast<vcl::TColor>(((102 * (d - s) + s * 256) >> 8) & 0xFF) << shift;
    }
    return c;
}

TEST_F(MenuLine, MeasuresAndTheBarOwnerDrawnWhileServed) {
    LineForm f;
    EXPECT_TRUE(f.P->HasMenuLine());
    EXPECT_TRUE(f.P->MenuHasVisibleItems());
    EXPECT_EQ(f.P->GetMenuLineCount(), 1);
    EXPECT_EQ(f.P->GetMenuLineHeight(), GetSystemMetrics(SM_CYMENU) - 1);
    EXPECT_TRUE(f.P->MenuLinePainted());
    ASSERT_TRUE(f.P->MenuLineBmp);
    EXPECT_EQ(f.P->MenuLineBmp->Height(), GetSystemMetrics(SM_CYMENU));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Wnd()), 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);

    // Hidden items leave the line; no visible item leaves no line to paint.
    for (TMenuItem *i : f.Top) i->SetVisible(false);
    f.P->MenuLineCount = -1;
    EXPECT_TRUE(f.P->HasMenuLine());
    EXPECT_FALSE(f.P->MenuHasVisibleItems());
    EXPECT_FALSE(f.P->MenuLinePainted());
    for (TMenuItem *i : f.Top) i->SetVisible(true);

    // Off: the bar is the system's again, the items' handlers gone.
    Manager->SetSkinnedPopups(false);
    Painter().RunActive(false);
    f.P->HookFormMenus(false);
    EXPECT_FALSE(f.P->MenuLinePainted());
    EXPECT_FALSE(f.Top[0]->OnAdvancedDrawItem);
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Wnd()), 0, TRUE, &info));
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);

    // A form without a menu has no line and no rows.
    f.Form->SetMenu(nullptr);
    f.P->MenuLineCount = -1;
    EXPECT_FALSE(f.P->HasMenuLine());
    EXPECT_EQ(f.P->GetMenuLineCount(), 0);
}

TEST_F(MenuLine, ItemsLieOnTheSkinnedLineAndFollowTheKeyboard) {
    LineForm f;
    const uitest::TImage32 still = uitest::CaptureWindow(f.Wnd());
    const vcl::TRect last = f.ItemRect(3);
    EXPECT_EQ(f.ItemFaceOf(still, 0), ItemFace);
    EXPECT_EQ(f.ItemFaceOf(still, 1), ItemFace);
    EXPECT_EQ(f.ItemFaceOf(still, 2), Blended(ItemFace, LineFace));
    EXPECT_EQ(ColorAt(still, last.Right + 12, (last.Top + last.Bottom) / 2), LineFace);

    vcl::TColor first = 0, second = 0, firstAfter = 0, secondAfter = 0;
    uitest::TImage32 picture;
    TScript script;
    script.Steps = {[&] {
                        const uitest::TImage32 image = uitest::CaptureWindow(f.Wnd());
                        first = f.ItemFaceOf(image, 0);
                        second = f.ItemFaceOf(image, 1);
                        Key(VK_RIGHT);
                    },
                    [&] {
                        picture = uitest::CaptureWindow(f.Wnd());
                        firstAfter = f.ItemFaceOf(picture, 0);
                        secondAfter = f.ItemFaceOf(picture, 1);
                        EndMenu();
                    }};
    script.Run([] { Key(VK_F10); });
    EXPECT_EQ(first, MenuHotFace);
    EXPECT_EQ(second, ItemFace);
    EXPECT_EQ(firstAfter, ItemFace);
    EXPECT_EQ(secondAfter, MenuHotFace);
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-menu-line.png").wstring()), picture);
    EXPECT_TRUE(f.Clicked.empty());
}

TEST_F(MenuLine, AClickDropsTheSkinnedListAndItsItemWorks) {
    LineForm f;
    vcl::TColor hot = 0, listFace = 0;
    std::size_t adapters = 0;
    TScript script;
    script.Steps = {[&] {
                        const uitest::TImage32 image = uitest::CaptureWindow(f.Wnd());
                        hot = f.ItemFaceOf(image, 0);
                        const std::vector<HWND> lists = MenuWindows();
                        if (!lists.empty()) {
                            const uitest::TImage32 list = uitest::CaptureWindow(lists.front());
                            listFace = ColorAt(list, list.Width - 8, 6);
                            uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-menu-line-list.png").wstring()),
                                             list);
                        }
                        adapters = LiveMenuAdapterCount();
                        Key(VK_DOWN);
                    },
                    [&] { Key(VK_RETURN); }};
    script.Run([&] { f.ClickItem(0); });
    EXPECT_EQ(hot, MenuHotFace);
    EXPECT_EQ(listFace, ItemFace);
    EXPECT_EQ(adapters, 1u);
    EXPECT_EQ(f.Clicked, std::vector<std::string>{"&Open"});
    ParkCursor();
}

// Answers the form's WM_MEASUREITEM for menu items itself, as the system
// does for a menu it has shown before: the painter measures nothing.
class MeasureKeeper {
public:
    explicit MeasureKeeper(vcl::TControl *Control) : FControl(Control), FPrevious(Control->WindowProc) {
        Control->WindowProc = vcl::TWndMethod::Bind<&MeasureKeeper::Handle>(this);
    }
    ~MeasureKeeper() { FControl->WindowProc = FPrevious; }
    MeasureKeeper(const MeasureKeeper &) = delete;
    MeasureKeeper &operator=(const MeasureKeeper &) = delete;
    int Kept = 0;

private:
    void Handle(vcl::TMessage &M) {
        auto *measure = reinterpret_cast<MEASUREITEMSTRUCT *>(M.LParam);
        if (M.Msg == WM_MEASUREITEM && measure && measure->CtlType == ODT_MENU) {
            measure->itemWidth = 120;
            measure->itemHeight = 20;
            M.Result = TRUE;
            ++Kept;
            return;
        }
        FPrevious(M);
    }
    vcl::TControl *FControl;
    vcl::TWndMethod FPrevious;
};

TEST_F(MenuLine, ADropDownOpenedAgainWithoutMeasuringIsStillFramedByTheSkin) {
    LineForm f;
    TScript first;
    first.Steps = {[] { EndMenu(); }};
    first.Run([&] { f.ClickItem(0); });
    MeasureKeeper keeper(f.Form.get());
    TRepaint again;
    TScript second;
    // From the keyboard: a second click so soon would be a double click.
    second.Steps = {[] { Key(VK_DOWN); },
                    [&] {
                        const std::vector<HWND> lists = MenuWindows();
                        if (!lists.empty()) again = RepaintMenuWindow(lists.front());
                        EndMenu();
                    }};
    second.Run([] { Key(VK_F10); });
    EXPECT_GT(keeper.Kept, 0);
    EXPECT_EQ(again.SystemFrames, 0);
    EXPECT_EQ(again.Frame, MenuBack);
    EXPECT_EQ(again.Back, MenuBack);
    ParkCursor();
}

TEST_F(MenuLine, TheCaptionsAcceleratorAlignmentAndGlyph) {
    LineForm f;
    const vcl::TRect r = f.ItemRect(0);
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(160, r.Bottom);
    // The caption's ink (the line's font colour) drawn over the item's width.
    const auto ink = [&](vcl::TOwnerDrawState State, vcl::TColor Ink = 0x101010) {
        target.Canvas()->Brush()->SetColor(vcl::clWhite);
        target.Canvas()->FillRect(vcl::Rect(0, 0, 160, r.Bottom));
        Painter().SkinDrawMenuLineItem(f.Top[0], target.Canvas(), vcl::Rect(0, r.Top, 160, r.Bottom), State);
        InkBox box{160, r.Bottom, -1, -1, 0};
        for (int y = 0; y < r.Bottom; ++y)
            for (int x = 0; x < 160; ++x)
                if (GetPixel(target.Canvas()->Handle(), x, y) == Ink)
                    box = {std::min(box.Left, x), 0, std::max(box.Right, x + 1), 0, box.Count + 1};
        return box;
    };
    const InkBox withPrefix = ink({}), noPrefix = ink({vcl::odNoAccel});
    EXPECT_GT(withPrefix.Count, noPrefix.Count) << "the underlined F";
    EXPECT_GT(noPrefix.Left, 40) << "centred";
    Painter().Alignment = vcl::taRightJustify;
    const InkBox right = ink({vcl::odNoAccel});
    EXPECT_GT(right.Left, noPrefix.Left);
    EXPECT_GE(right.Right, 160 - Painter().Margin - 2);
    Painter().Alignment = vcl::taLeftJustify;

    // A glyph: 3 pixels in, centred in height, its transparent colour
    // showing the item; the caption after it.
    vcl::TBitmap glyph;
    glyph.SetPixelFormat(vcl::pf24bit);
    glyph.SetSize(16, 16);
    glyph.Canvas()->Brush()->SetColor(vcl::clWhite);
    glyph.Canvas()->FillRect(vcl::Rect(0, 0, 16, 16));
    glyph.Canvas()->Brush()->SetColor(0x00FF00);
    glyph.Canvas()->FillRect(vcl::Rect(2, 2, 14, 14));
    f.Top[0]->SetBitmap(&glyph);
    const InkBox caption = ink({vcl::odNoAccel});
    const int h = r.Height();
    InkBox green{160, h, -1, -1, 0};
    int white = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = 0; x < 40; ++x) {
            const COLORREF c = GetPixel(target.Canvas()->Handle(), x, y);
            white += c == 0xFFFFFF;
            if (c == 0x00FF00)
                green = {std::min(green.Left, x), std::min(green.Top, y - r.Top), std::max(green.Right, x + 1),
                         std::max(green.Bottom, y - r.Top + 1), green.Count + 1};
        }
    EXPECT_EQ(green, (InkBox{5, (h - 16) / 2 + 2, 17, (h - 16) / 2 + 14, 144}));
    EXPECT_EQ(white, 0);
    EXPECT_GE(caption.Left, 3 + 16 + 3 + Painter().Margin);
    // Disabled, the glyph moves to the top and the caption stays.
    f.Top[0]->SetEnabled(false);
    EXPECT_EQ(ink({vcl::odNoAccel}, Blended(0x101010, LineFace)).Left, caption.Left);
    f.Top[0]->SetEnabled(true);
    f.Top[0]->SetBitmap(nullptr);

    // Without the provider's line (popups not skinned) nothing is drawn.
    Manager->SetSkinnedPopups(false);
    f.Redraw();
    EXPECT_FALSE(f.P->MenuLineBmp);
    EXPECT_EQ(ink({}).Count, 0);
}

TEST_F(MenuLine, AMaximizedMDIChildsIconLeadsTheParentsLine) {
    LineForm f(vcl::fsMDIForm);
    auto *child = vcl::Create<vcl::TForm>(f.Form.get(), vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->Show();
    SendMessageW(f.Form->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->WindowHandle()), 0);
    f.Redraw();
    ASSERT_TRUE(MaximizedMDIChildWithMenu());
    const uitest::TImage32 image = uitest::CaptureWindow(f.Wnd());
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-mdi-menu-line.png").wstring()), image);
    // The child's menu is the bar's first item: the form's own start at 1.
    const vcl::TRect file = f.ItemRect(1);
    EXPECT_EQ(f.ItemFaceOf(image, 1), ItemFace);
    int icon = 0;
    for (int y = file.Top; y < file.Bottom; ++y)
        for (int x = 0; x < file.Left; ++x) icon += ColorAt(image, x, y) != LineFace && ColorAt(image, x, y) != MasterRed;
    EXPECT_GT(icon, 20);
}

TEST_F(MenuLine, AnMDIParentsLineShowsItsActiveChildsMenuMergedByGroup) {
    LineForm f(vcl::fsMDIForm);
    // File 0, Edit and Disabled 1, Help 9; the child's View (disabled)
    // replaces group 1 and its Tools (5) stands before Help.
    for (int i : {1, 2}) f.Top[i]->SetGroupIndex(1);
    f.Top[3]->SetGroupIndex(9);
    auto *child = vcl::Create<vcl::TForm>(f.Form.get(), vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    auto *own = vcl::Create<vcl::TMainMenu>(child);
    Add(own->Items(), child, "&Tools")->SetGroupIndex(5);
    TMenuItem *view = Add(own->Items(), child, "&View");
    view->SetGroupIndex(1);
    view->SetEnabled(false);
    child->SetMenu(own);
    child->Show();
    f.Redraw();
    const vcl::TColor disabled = Blended(ItemFace, LineFace);
    const auto faces = [&] {
        const uitest::TImage32 image = uitest::CaptureWindow(f.Wnd());
        std::vector<vcl::TColor> seen;
        for (int i = 0; i < GetMenuItemCount(GetMenu(f.Wnd())); ++i) seen.push_back(f.ItemFaceOf(image, i));
        return seen;
    };
    EXPECT_EQ(faces(), (std::vector<vcl::TColor>{ItemFace, disabled, ItemFace, ItemFace}));
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-merged-menu-line.png").wstring()),
                     uitest::CaptureWindow(f.Wnd()));
    // The child's going brings the parent's own line back.
    delete child;
    f.Redraw();
    EXPECT_EQ(faces(), (std::vector<vcl::TColor>{ItemFace, ItemFace, disabled, ItemFace}));
}

TEST_F(MenuLine, InsideAnExtendedBorderTheLineLiesBelowTheSkinsOwnCaption) {
    Manager->SetExtendedBorders(true);
    LineForm f;
    const HWND border = f.P->BorderWindow();
    ASSERT_NE(border, nullptr) << "layered windows are available";
    f.Redraw();
    const vcl::TRect m = f.P->GetShadowMargins();
    const int title = Manager->SkinData->TitleHeight, row = f.P->GetMenuLineHeight();
    ASSERT_GT(title, GetSystemMetrics(SM_CYCAPTION) + 4) << "a caption taller than the window's own";
    // The line starts where the skin's caption ends, the client area after it.
    const int cy = f.P->GetClientOffsetY();
    EXPECT_EQ(cy - m.Top, title + row + 1);
    EXPECT_EQ(f.P->MenuLineOrigin.Y, m.Top + title);
    RECT b{};
    GetWindowRect(border, &b);
    POINT client{0, 0};
    ClientToScreen(f.Wnd(), &client);
    EXPECT_EQ(cy, client.y - b.top);
    EXPECT_EQ(f.P->GetClientOffsetX(), client.x - b.left);

    // The window shows its line (live, for the system's tracking) through
    // the border's hole; the line's items lie where the system has them.
    const vcl::TPoint off = f.P->WindowToFrameOffset();
    const vcl::TRect file = f.ItemRect(0);
    const vcl::TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(border, region.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.Get(), file.Left + off.X + 2, file.Top + off.Y + 2));
    EXPECT_TRUE(PtInRegion(region.Get(), file.Left + off.X + 2, m.Top + title / 2)) << "the caption is the border's";
    const uitest::TImage32 window = uitest::CaptureWindow(f.Wnd());
    EXPECT_EQ(f.ItemFaceOf(window, 0), ItemFace);
    EXPECT_EQ(f.ItemFaceOf(window, 2), Blended(ItemFace, LineFace));
    const vcl::TRect last = f.ItemRect(3);
    EXPECT_EQ(ColorAt(window, last.Right + 12, (last.Top + last.Bottom) / 2), LineFace);
    // The hit test answers the line as the menu, the band above as the caption.
    const auto hit = [&](int X, int Y) {
        return SendMessageW(f.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(b.left + X, b.top + Y));
    };
    EXPECT_EQ(hit(file.Left + off.X + 2, file.Top + off.Y + 2), HTMENU);
    const vcl::TPoint caption{b.left + (b.right - b.left) / 2, b.top + m.Top + title / 2};
    EXPECT_EQ(f.P->BorderForm->Border().HitTest({WM_NCHITTEST, 0, MAKELPARAM(caption.X, caption.Y), 0}), HTCAPTION);
    EXPECT_EQ(hit(file.Left + off.X + 2, cy + 2), HTCLIENT);

    // What a user sees: the border's picture with what the window drew in
    // its hole (the covered X window reads black).
    uitest::TImage32 seen = uitest::CaptureXWindow(border);
    const uitest::TImage32 own = uitest::CaptureWindow(f.Wnd());
    if (seen.Width == 0 || own.Width == 0) GTEST_SKIP() << "no X picture here";
    for (int y = 0; y < seen.Height; ++y)
        for (int x = 0; x < seen.Width; ++x) {
            const int wx = x - off.X, wy = y - off.Y;
            if (!PtInRegion(region.Get(), x, y) && wx >= 0 && wy >= 0 && wx < own.Width && wy < own.Height)
                seen.Pixels[static_cast<std::size_t>(y) * seen.Width + x] = own.At(wx, wy);
        }
    EXPECT_EQ(ColorAt(seen, file.Left + off.X + 2, file.Top + off.Y + 2), ItemFace);
    uitest::WritePng(vcl::WideToUtf8((Artifacts() / "skinned-border-menu-line.png").wstring()), seen);
}

// The skinned items come back to the line, built anew, from a change of the
// system's colours and from a form's first print (once); the frame left to
// the system takes the menu back and the skinned frame hands it over again.
TEST_F(MenuLine, TheItemsAreHandedOverAgainWhenTheSystemOrTheFrameAsks) {
    LineForm f;
    FormWatcher seen(f.Form.get());
    const auto unhook = [&] {
        f.Top[1]->OnAdvancedDrawItem = {};
        f.Top[1]->OnMeasureItem = {};
        seen.Seen.clear();
    };
    const auto rebuilt = [&] { return f.Top[1]->OnAdvancedDrawItem && f.Top[1]->OnMeasureItem && seen.Saw(vcl::CM_MENUCHANGED); };
    unhook();
    const int element = COLOR_MENU;
    const COLORREF colour = GetSysColor(COLOR_MENU);
    SetSysColors(1, &element, &colour);  // every window hears it
    ASSERT_TRUE(seen.Saw(WM_SYSCOLORCHANGE));
    EXPECT_TRUE(rebuilt());
    f.Redraw();
    EXPECT_EQ(f.ItemFaceOf(uitest::CaptureWindow(f.Wnd()), 1), ItemFace);

    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf32bit);
    print.SetSize(f.Form->Width(), f.Form->Height());
    const WPARAM dc = reinterpret_cast<WPARAM>(print.Canvas()->Handle());
    unhook();
    SendMessageW(f.Wnd(), WM_PRINT, dc, PRF_CLIENT | PRF_NONCLIENT);
    EXPECT_TRUE(rebuilt());
    unhook();
    SendMessageW(f.Wnd(), WM_PRINT, dc, PRF_CLIENT | PRF_NONCLIENT);
    EXPECT_FALSE(seen.Saw(vcl::CM_MENUCHANGED)) << "once";

    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    f.P->SetDrawNonClientArea(false);
    EXPECT_FALSE(f.Top[0]->OnAdvancedDrawItem);
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Wnd()), 0, TRUE, &info));
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
    f.P->SetDrawNonClientArea(true);
    EXPECT_TRUE(f.Top[0]->OnAdvancedDrawItem);
    ASSERT_TRUE(GetMenuItemInfoW(GetMenu(f.Wnd()), 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
}

// An item that the system left highlighted on the line when the mouse went
// on to a caption button is painted normal again.
TEST_F(MenuLine, AnItemLeftHighlightedEndsWhenACaptionButtonTurnsHot) {
    LineForm f;
    ASSERT_FALSE(f.P->ButtonClose.Rect.IsEmpty());
    HiliteMenuItem(f.Wnd(), GetMenu(f.Wnd()), 0, MF_BYPOSITION | MF_HILITE);
    ASSERT_EQ(f.ItemFaceOf(uitest::CaptureWindow(f.Wnd()), 0), MenuHotFace) << "as the system drew it";
    MouseTo(f.Wnd(), CaptionForm::Centre(f.P->ButtonClose.Rect));
    ASSERT_TRUE(uitest::PumpUntil([&] { return f.P->CurrentButton == HTCLOSE; }, 2s));
    EXPECT_EQ(f.ItemFaceOf(uitest::CaptureWindow(f.Wnd()), 0), ItemFace);
    ParkCursor();
}

// Inside an extended border the form's own frame shows only its menu line:
// while the system writes a new caption, the cover lies over that line and
// shows it as the skin paints it.
TEST_F(MenuLine, TheCaptionCoverOfABorderedFormLiesOverItsLine) {
    Manager->SetExtendedBorders(true);
    LineForm f;
    ASSERT_TRUE(f.P->BorderWindow());
    f.Redraw();
    f.P->ShowCaptionCover();
    ASSERT_TRUE(f.P->CaptionCover);
    const HWND cover = f.P->CaptionCover->WindowHandle();
    EXPECT_TRUE(IsWindowVisible(cover));
    RECT c{}, w{}, client{};
    GetWindowRect(cover, &c);
    GetWindowRect(f.Wnd(), &w);
    GetClientRect(f.Wnd(), &client);
    POINT origin{0, 0};
    ClientToScreen(f.Wnd(), &origin);
    const vcl::TRect file = f.ItemRect(0);
    EXPECT_EQ(c.bottom, origin.y);
    EXPECT_EQ(c.bottom - c.top, f.P->GetMenuLineHeight() + 2);
    EXPECT_LE(c.left, w.left + file.Left);
    EXPECT_EQ(c.right - c.left, (w.right - w.left) - 2 * (origin.x - w.left));
    const uitest::TImage32 shown = uitest::CaptureWindow(cover);
    EXPECT_EQ(ColorAt(shown, w.left + file.Left + 2 - c.left, w.top + file.Top + 2 - c.top), ItemFace);
    f.P->HideCaptionCover();
    f.Form->SetCaption("New caption");  // the cover comes and goes with the text, kept hidden
    EXPECT_FALSE(f.P->CaptionCover && IsWindowVisible(f.P->CaptionCover->WindowHandle()));
}

TEST_F(MenuLine, ManyRepaintsLeaveNoHandleBehind) {
    LineForm f;
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 100; ++i) f.Redraw();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin::test
