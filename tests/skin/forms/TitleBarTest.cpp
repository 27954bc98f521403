// A title bar in a skinned caption: the items' codes (2000 + index, spacers,
// information items, disabled items and Down tabs being caption), their
// pictures in the frame cache (the section by style, the built-in menu
// button, half strength when disabled, a skin change choosing again), a
// drop-down menu closed by Escape firing one click and opening below its
// item (on the border window of a bordered form), a tab group switched by
// the real mouse, the item hints after the hint pause, the owner check,
// the handles of many title-bar forms, handlers that free their item or
// the bar (the freed memory marked), an item entered while it reads
// pressed, the setters that repaint, and discoloured glyphs. The picture
// of a title-bar form in our stored skin goes to the artefacts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "FreedMemoryMark.h"
#include "../manager/LayeredRecorder.h"
#include "BorderedFormSupport.h"
#include "CaptionTestSupport.h"
#include "skin/adapters/vlAdapters.h"
#include "skin/forms/vlTitleBar.h"
#include "skin/graphics/vlCommonUtils.h"
#include "skin/graphics/vlGraphUtils.h"
#include "vcl/Forms.h"
#include "vcl/GdiObjects.h"
#include "vcl/HandleCounts.h"
#include "vcl/HintWindow.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

// Item sections in flat colours per state: normal, hot, pressed.
inline constexpr StateColors ButtonColors{0x30A030, 0x40C040, 0x208020};
inline constexpr StateColors ToolColors{0xA03030, 0xC04040, 0x802020};
inline constexpr StateColors TabColors{0x3030A0, 0x4040C0, 0x202080};

std::string Section(const char *Name, StateColors C) {
    const auto hex = [](vcl::TColor V) {
        char s[16];
        std::snprintf(s, sizeof s, "0x%06X", static_cast<unsigned>(V));
        return std::string(s);
    };
    return std::string("[") + Name + "]\r\nCOLOR=" + hex(C.Normal) + "\r\nHOTCOLOR=" + hex(C.Hot) +
           "\r\nUSESTATE2=1\r\nCOLOR2=" + hex(C.Pressed) + "\r\nFONTCOLOR=0xFFFFFF\r\nHOTFONTCOLOR=0xFFFFFF\r\nFONTCOLOR2=0xFFFFFF\r\n";
}

TestSkin ItemsSkin(bool WithTbBtn) {
    TestSkin skin;
    skin.Options = CaptionOptions() + (WithTbBtn ? Section("TB_BTN", ButtonColors) : std::string()) +
                   Section("TOOLBUTTON", ToolColors) + Section("TB_TAB", TabColors);
    skin.Files = {{"MASTER.BMP", CaptionMaster()}};
    return skin;
}

struct TitleBar : CaptionFixture {
    TitleBar() {
        SetCursorPos(5, 5);  // away from the forms: no item starts hot
        AddStoredSkin(*Manager, "Items", ItemsSkin(true).Packed());
        AddStoredSkin(*Manager, "NoTbBtn", ItemsSkin(false).Packed());
        Manager->SetSkinName("Items");
    }
    CaptionForm C;
    TsSkinProvider *P = C.P;
    TsTitleBar *Bar = vcl::Create<TsTitleBar>(C.F());

    TvlTitleBarItem *Add(TvlBtnStyle Style, const std::string &Caption, TvlItemAlign Align = tbaLeft) {
        TvlTitleBarItem *item = Bar->Items()->Add();
        item->SetStyle(Style);
        item->SetCaption(Caption);
        item->SetAlign(Align);
        return item;
    }
    void ShowAndRender() {
        P->SetTitleBar(Bar);
        C.Show();
        P->FormActive = 1;
        Render();
    }
    void Render() {
        P->SkinData()->BGChanged = true;
        ASSERT_TRUE(P->RenderFrame());
    }
    // A pixel of the item's fade picture (item coordinates), as a colour.
    static vcl::TColor FadePixel(const TvlTitleBarItem *Item, vcl::TPoint At) {
        const TvlItemAnimation *fade = Item->Animation();
        if (!fade || !fade->Picture()) return vcl::clNone;
        const std::uint32_t bgra = fade->Picture()->View().At(At.X, At.Y);
        return static_cast<vcl::TColor>(((bgra >> 16) & 0xFF) | (bgra & 0xFF00) | ((bgra & 0xFF) << 16));
    }
    static vcl::TColor FadeFace(const TvlTitleBarItem *Item) { return FadePixel(Item, {2, Item->Rect.Height() / 2}); }
    LRESULT HitOf(const TvlTitleBarItem *Item) const { return C.HitTest(CaptionForm::Centre(Item->Rect)); }
    // A non-client mouse message over the provider's item with Code.
    void Send(UINT Msg, int Code) const {
        const vcl::TRect &r = P->TitleBar()->Items()->Items(Code - htTitleBarItem)->Rect;
        SendMessageW(C.Wnd(), Msg, static_cast<WPARAM>(Code), C.ScreenAt(CaptionForm::Centre(r)));
    }
    // Two pixels in from the item's left edge, halfway down: background, not text.
    vcl::TColor Face(const TvlTitleBarItem *Item) const {
        return CachePixel(P, {Item->Rect.Left + 2, (Item->Rect.Top + Item->Rect.Bottom) / 2});
    }
};

TEST_F(TitleBar, ItemsAnswerTwoThousandPlusTheirIndexAndTheRestIsCaption) {
    TvlTitleBarItem *button = Add(bsButton, "One");
    TvlTitleBarItem *spacer = Add(bsSpacing, "");
    spacer->SetWidth(30);
    TvlTitleBarItem *info = Add(bsInfo, "Info");
    TvlTitleBarItem *downTab = Add(bsTab, "Down");
    downTab->SetDown(true);
    TvlTitleBarItem *tab = Add(bsTab, "Up");
    TvlTitleBarItem *disabled = Add(bsButton, "Off");
    disabled->SetEnabled(false);
    TvlTitleBarItem *right = Add(bsButton, "R", tbaRight);
    ShowAndRender();

    EXPECT_EQ(HitOf(button), 2000);
    EXPECT_EQ(HitOf(spacer), HTCAPTION);
    EXPECT_EQ(HitOf(info), HTCAPTION);
    EXPECT_EQ(HitOf(downTab), HTCAPTION);
    EXPECT_EQ(HitOf(tab), 2004);
    EXPECT_EQ(HitOf(disabled), HTCAPTION);
    EXPECT_EQ(HitOf(right), 2006);
    // Beside the items the caption is caption.
    EXPECT_EQ(C.HitTest({right->Rect.Left - 20, P->ButtonCenterY}), HTCAPTION);

    // The left group starts after the icon (+ 6), the right one ends 6 left
    // of the minimize button; a button stands on the caption's centre line.
    EXPECT_EQ(button->Rect.Left, P->IconRect.Right + 6);
    EXPECT_EQ(right->Rect.Right, P->ButtonMin.Rect.Left - 6);
    EXPECT_EQ(button->Rect.Top, P->ButtonCenterY - button->Height() / 2);
    EXPECT_EQ(tab->Rect.Bottom, P->CaptionBottom);
    EXPECT_EQ(Bar->Widths.Right, right->Width());

    // A hidden item answers nothing; the next one keeps its own index.
    button->SetVisible(false);
    C.Layout();
    EXPECT_NE(C.HitTest({button->Rect.Left + 1, P->ButtonCenterY}), 2000);
    EXPECT_EQ(HitOf(tab), 2004);
}

TEST_F(TitleBar, ItemsArePaintedFromTheSectionOfTheirStyleInEveryState) {
    TvlTitleBarItem *button = Add(bsButton, "Button");
    TvlTitleBarItem *tab = Add(bsTab, "Tab");
    TvlTitleBarItem *off = Add(bsButton, "Off");
    ShowAndRender();
    const vcl::TColor caption = CachePixel(P, {off->Rect.Right + 30, P->ButtonCenterY});
    off->SetEnabled(false);
    Render();

    EXPECT_EQ(Face(button), ButtonColors.Normal);
    EXPECT_EQ(Face(tab), TabColors.Normal);
    // Disabled: half the section over the caption, (a + b) / 2 per channel.
    const auto half = [](vcl::TColor A, vcl::TColor B) {
        vcl::TColor out = 0;
        for (int shift : {0, 8, 16}) out |= ((((A >> shift) & 0xFF) + ((B >> shift) & 0xFF)) / 2) << shift;
        return out;
    };
    EXPECT_EQ(Face(off), half(ButtonColors.Normal, caption)) << std::hex << Face(off);

    // Hot and pressed fade in on the item's layer over a plain frame.
    P->SetHotButton(2000, true);
    EXPECT_EQ(button->State, 1);
    EXPECT_EQ(Face(button), ButtonColors.Normal);
    EXPECT_EQ(FadeFace(button), ButtonColors.Hot);
    EXPECT_EQ(ScreenPixel(C.Wnd(), {button->Rect.Left + 2, (button->Rect.Top + button->Rect.Bottom) / 2}),
              ButtonColors.Normal);
    P->SetPressedButton(2000);
    EXPECT_EQ(FadeFace(button), ButtonColors.Pressed);
    P->SetHotButton(0, true);
    FormsState().FormButtonPressed = false;
    EXPECT_EQ(button->State, 0);
    EXPECT_EQ(Face(button), ButtonColors.Normal);

    // A skin without "TB_BTN" paints buttons with "TOOLBUTTON".
    Manager->SetSkinName("NoTbBtn");
    vcl::Application->ProcessMessages();
    EXPECT_EQ(button->Section->Name, "TOOLBUTTON");
    C.Layout();
    Render();
    EXPECT_EQ(Face(button), ToolColors.Normal);
}

TEST_F(TitleBar, AMenuButtonWithoutASectionShowsTheBuiltInPictureWithWhiteText) {
    ASSERT_TRUE(Bar->MenuBtnBitmap) << "the program carries MENUBTN";
    EXPECT_EQ(Bar->MenuBtnBitmap->Width(), 3 * Bar->MenuBtnBitmap->Height());
    EXPECT_EQ(Bar->MenuBtnBitmap->View().At(0, 0), 0x00FF00FFu) << "corners are transparent";
    TvlTitleBarItem *menu = Add(bsMenu, "Menu");
    ShowAndRender();
    ASSERT_EQ(menu->Section->Index, -1);
    const vcl::TBitmapView picture = Bar->MenuBtnBitmap->View();
    const int frame = picture.Width / 3;
    // The edge of the picture's normal frame, stretched: the item's left edge halfway down.
    const std::uint32_t edge = picture.At(0, picture.Height / 2);
    const vcl::TColor edgeColour = static_cast<vcl::TColor>(((edge >> 16) & 0xFF) | (edge & 0xFF00) | ((edge & 0xFF) << 16));
    EXPECT_EQ(CachePixel(P, {menu->Rect.Left, (menu->Rect.Top + menu->Rect.Bottom) / 2}), edgeColour);
    // The corner keeps the caption under it.
    const vcl::TColor under = CachePixel(P, {menu->Rect.Right + 40, menu->Rect.Top});
    EXPECT_EQ(CachePixel(P, {menu->Rect.Left, menu->Rect.Top}), under);
    // Its caption is written in white.
    int white = 0;
    for (int y = menu->Rect.Top; y < menu->Rect.Bottom; ++y)
        for (int x = menu->Rect.Left; x < menu->Rect.Right; ++x) white += CachePixel(P, {x, y}) == 0xFFFFFF;
    EXPECT_GT(white, 10);
    // Hot shows the second frame (on the item's fade layer).
    P->SetHotButton(2000, true);
    const std::uint32_t hot = picture.At(frame + frame / 2, 1);
    EXPECT_EQ(FadePixel(menu, {5, 1}), static_cast<vcl::TColor>(((hot >> 16) & 0xFF) | (hot & 0xFF00) | ((hot & 0xFF) << 16)));
}

// A drop-down menu that no form's menus took along (it has no owner) is
// drawn by the skin from the press on.
TEST_F(TitleBar, ADropDownMenuWithoutAnOwnerOpensDrawnByTheSkin) {
    InitializeAdaptersModule();
    ASSERT_TRUE(Manager->SkinnedPopups());
    TvlTitleBarItem *item = Add(bsMenu, "Pick");
    const std::unique_ptr<vcl::TPopupMenu> menu(vcl::Create<vcl::TPopupMenu>(nullptr));
    auto *entry = vcl::Create<vcl::TMenuItem>(menu.get());
    entry->SetCaption("Entry");
    menu->Items()->Add(entry);
    item->SetDropdownMenu(menu.get());
    ShowAndRender();
    UINT type = 0;
    MenuWatcher watcher([&](HWND, HMENU Menu) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoW(Menu, 0, TRUE, &info)) type = info.fType;
        MenuWatcher::Escape();
    });
    SendMessageW(C.Wnd(), WM_NCLBUTTONDOWN, 2000, C.ScreenAt(CaptionForm::Centre(item->Rect)));
    EXPECT_EQ(watcher.Count(), 1);
    EXPECT_TRUE(type & MFT_OWNERDRAW);
    item->SetDropdownMenu(nullptr);
    FinalizeAdaptersModule();
}

TEST_F(TitleBar, ADropDownClosedByEscapeFiresOneClickAndLeavesNoButtonHeld) {
    TvlTitleBarItem *item = Add(bsButton, "Pick");
    auto *menu = vcl::Create<vcl::TPopupMenu>(C.F());
    auto *entry = vcl::Create<vcl::TMenuItem>(menu);
    entry->SetCaption("Entry");
    menu->Items()->Add(entry);
    item->SetDropdownMenu(menu);
    int clicks = 0, downs = 0, ups = 0;
    struct Counter {
        int *N;
        void Notify(vcl::TObject *) { ++*N; }
        void Mouse(vcl::TObject *, vcl::TMouseButton, vcl::TShiftState, int, int) { ++*N; }
    } onClick{&clicks}, onDown{&downs}, onUp{&ups};
    item->OnClick = vcl::TNotifyEvent::Bind<&Counter::Notify>(&onClick);
    item->OnMouseDown = vcl::TMouseEvent::Bind<&Counter::Mouse>(&onDown);
    item->OnMouseUp = vcl::TMouseEvent::Bind<&Counter::Mouse>(&onUp);
    ShowAndRender();
    // The drop-down arrow makes room: wider than the caption alone.
    EXPECT_GT(item->ContentSize.cx, FontTextExtent(*item->FontData()->WorkingFont(), "Pick").cx);

    // The pressed look fades in over the item while the menu is down; the
    // click after the menu finds that fade gone.
    bool droppedWhileShown = false, fadeWhileShown = false, fadeAtClick = true;
    struct FadeAtClick {
        const TvlTitleBarItem *Item;
        bool *Seen;
        int *N;
        void Notify(vcl::TObject *) {
            ++*N;
            *Seen = Item->Animation() != nullptr;
        }
    } probe{item, &fadeAtClick, &clicks};
    item->OnClick = vcl::TNotifyEvent::Bind<&FadeAtClick::Notify>(&probe);
    MenuWatcher watcher([&](HWND, HMENU) {
        droppedWhileShown = item->MenuDropped;
        fadeWhileShown = item->Animation() && item->Animation()->LayerForm();
        MenuWatcher::Escape();
    });
    MouseTo(C.Wnd(), CaptionForm::Centre(item->Rect));
    Settle();
    MouseButton(true);
    Settle();
    MouseButton(false);
    Settle();
    ASSERT_TRUE(uitest::PumpUntil([&] { return watcher.Count() == 1; }, 2s));
    Settle();

    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(droppedWhileShown);
    EXPECT_TRUE(fadeWhileShown);
    EXPECT_FALSE(fadeAtClick);
    EXPECT_FALSE(item->MenuDropped);
    EXPECT_EQ(menu->WindowHandle(), nullptr);
    EXPECT_FALSE(FormsState().FormButtonPressed);
    // The menu showed below the item's left edge.
    RECT frame{};
    GetWindowRect(C.Wnd(), &frame);
    EXPECT_EQ(watcher.Rect().left, frame.left + item->Rect.Left);
    EXPECT_EQ(watcher.Rect().top, frame.top + item->Rect.Bottom);
    // The item is still usable: the mouse over it makes it hot again.
    MouseTo(C.Wnd(), {item->Rect.Left + 1, item->Rect.Top + 1});
    Settle();
    MouseTo(C.Wnd(), CaptionForm::Centre(item->Rect));
    Settle();
    EXPECT_EQ(item->GetState(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TitleBar, AClickOnAnotherTabOfTheGroupMovesDownToItAndFiresItsClickOnce) {
    TvlTitleBarItem *first = Add(bsTab, "First");
    TvlTitleBarItem *second = Add(bsTab, "Second");
    TvlTitleBarItem *other = Add(bsTab, "Other");
    first->SetGroupIndex(1);
    second->SetGroupIndex(1);
    other->SetGroupIndex(2);
    first->SetDown(true);
    other->SetDown(true);
    int firstClicks = 0, secondClicks = 0;
    struct Counter {
        int *N;
        void Notify(vcl::TObject *) { ++*N; }
    } a{&firstClicks}, b{&secondClicks};
    first->OnClick = vcl::TNotifyEvent::Bind<&Counter::Notify>(&a);
    second->OnClick = vcl::TNotifyEvent::Bind<&Counter::Notify>(&b);
    ShowAndRender();
    // Tabs have two looks: a Down one takes the section's second state.
    EXPECT_EQ(Face(first), TabColors.Hot);
    EXPECT_EQ(Face(second), TabColors.Normal);

    const auto click = [&](const TvlTitleBarItem *Item) {
        MouseTo(C.Wnd(), CaptionForm::Centre(Item->Rect));
        Settle();
        MouseButton(true);
        Settle();
        MouseButton(false);
        Settle();
    };
    // A tab pressed (as the border window presses it) drops its fade at once.
    P->SetHotButton(2001, true);
    ASSERT_NE(second->Animation(), nullptr);
    P->SetPressedButton(2001);
    EXPECT_EQ(second->Animation(), nullptr);
    FormsState().FormButtonPressed = false;
    P->SetHotButton(0, false);
    click(second);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_FALSE(first->Down());
    EXPECT_TRUE(second->Down());
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    EXPECT_FALSE(FormsState().FormButtonPressed);
    // The tab that is Down now is caption (a press there would move the form).
    EXPECT_EQ(HitOf(second), HTCAPTION);
    EXPECT_EQ(HitOf(first), 2000);
    click(first);
    EXPECT_EQ(firstClicks, 1);
    EXPECT_TRUE(first->Down());
    EXPECT_FALSE(second->Down());
}

// A button released under the mouse fades toward its hot look, and reads
// normal: the frame under the fade shows it so.
TEST_F(TitleBar, AButtonReleasedUnderTheMouseFadesHotAndReadsNormal) {
    TvlTitleBarItem *item = Add(bsButton, "One");
    ShowAndRender();
    Send(WM_NCLBUTTONDOWN, 2000);
    Send(WM_NCLBUTTONUP, 2000);
    EXPECT_EQ(item->GetState(), 0);
    ASSERT_NE(item->Animation(), nullptr);
    EXPECT_EQ(item->Animation()->Fade.State, 1);
    EXPECT_TRUE(item->Animation()->Fade.FadingIn);
}

// An item its own mouse-up hides keeps no picture of its look.
TEST_F(TitleBar, AnItemHiddenByItsMouseUpLetsItsPictureGo) {
    TvlTitleBarItem *item = Add(bsButton, "One");
    ShowAndRender();
    struct Hider {
        TvlTitleBarItem *Item;
        void Up(vcl::TObject *, vcl::TMouseButton, vcl::TShiftState, int, int) { Item->SetVisible(false); }
    } hider{item};
    item->OnMouseUp = vcl::TMouseEvent::Bind<&Hider::Up>(&hider);
    Send(WM_NCLBUTTONDOWN, 2000);
    ASSERT_NE(item->Animation(), nullptr);
    ASSERT_NE(item->Animation()->Picture(), nullptr);
    Send(WM_NCLBUTTONUP, 2000);
    EXPECT_FALSE(item->Visible());
    if (item->Animation()) EXPECT_EQ(item->Animation()->Picture(), nullptr);
}

TEST_F(TitleBar, AHotItemShowsItsHintAfterTheHintPauseWhileTheMouseStays) {
    TvlTitleBarItem *item = Add(bsButton, "Hinted");
    item->SetShowHint(true);
    item->SetHint("What it does");
    ShowAndRender();
    vcl::Application->SetHintPause(120);
    MouseTo(C.Wnd(), CaptionForm::Centre(item->Rect));
    Settle();
    EXPECT_EQ(P->CurrentButton, 2000);
    ASSERT_TRUE(uitest::PumpUntil([&] { return item->HintWindow != nullptr; }, 2s));
    // Leaving the item for the caption takes the hint away.
    const vcl::TPoint caption{item->Rect.Right + 40, P->ButtonCenterY};
    ASSERT_EQ(C.HitTest(caption), HTCAPTION);
    MouseTo(C.Wnd(), caption);
    Settle();
    EXPECT_EQ(item->HintWindow, nullptr);

    // Without a pause it shows at once.
    vcl::Application->SetHintPause(0);
    P->SetHotButton(2000, false);
    EXPECT_NE(item->HintWindow, nullptr);
    P->SetHotButton(0, false);
    vcl::Application->SetHintPause(500);
}

TEST_F(TitleBar, ItemsFollowTheirImageListAndCaption) {
    auto *images = vcl::Create<vcl::TCustomImageList>(C.F());
    TvlTitleBarItem *item = Add(bsButton, "");
    item->SetImageIndex(0);
    Bar->SetImages(images);
    ShowAndRender();
    EXPECT_EQ(item->Width(), 16) << "no image yet: the smallest size";
    // An image added to the list re-measures the item through the change link.
    images->SetSize(24, 24);
    vcl::TBitmap picture;
    picture.SetPixelFormat(vcl::pf24bit);
    picture.SetSize(24, 24);
    ASSERT_EQ(images->AddMasked(&picture, vcl::clFuchsia), 0);
    EXPECT_EQ(item->Width(), 2 * 3 + 24);
    EXPECT_EQ(item->Height(), 2 * 3 + 24);
    // A freed list is forgotten.
    delete images;
    EXPECT_EQ(Bar->Images(), nullptr);
    item->SetCaption("Text");
    EXPECT_EQ(item->Width(), 2 * 3 + FontTextExtent(*item->FontData()->WorkingFont(), "Text").cx);
}

// Our stored skin with a title bar: the picture for a person to judge.
TEST(TitleBarPicture, AFormOfOurStoredSkinWithItems) {
    const FormsModules modules;
    ManagerPtr m = NewManager();
    AddStoredSkin(*m, "Beryllo (internal)", FileBytes(HostPath(ZUVO_BERYLLO_DATA)));
    m->SetSkinName("Beryllo (internal)");
    ASSERT_TRUE(m->SkinData->Active);
    TestForm form;
    form.Form->SetBounds(100, 100, 560, 220);
    form.Form->SetCaption("Title bar");
    auto *p = vcl::Create<TsSkinProvider>(form.Form);
    auto *bar = vcl::Create<TsTitleBar>(form.Form);
    bar->SetShowCaption(true);
    auto *menu = vcl::Create<vcl::TPopupMenu>(form.Form);
    menu->Items()->Add(vcl::Create<vcl::TMenuItem>(menu));
    const auto add = [&](TvlBtnStyle Style, const char *Caption, TvlItemAlign Align) {
        TvlTitleBarItem *item = bar->Items()->Add();
        item->SetStyle(Style);
        item->SetCaption(Caption);
        item->SetAlign(Align);
        return item;
    };
    add(bsMenu, "Soubor", tbaLeft)->SetDropdownMenu(menu);
    add(bsButton, "Nápověda", tbaLeft);
    add(bsTab, "Přehled", tbaCenterInSpace)->SetDown(true);
    add(bsTab, "Detail", tbaCenterInSpace);
    add(bsInfo, "v1.0", tbaRight);
    p->SetTitleBar(bar);
    form.Show();
    p->PrepareForm();
    p->FormActive = 1;
    p->SkinData()->BGChanged = true;
    ASSERT_TRUE(p->RenderFrame());
    vcl::TBitmap &c = *p->SkinData()->CacheBmp();
    const std::filesystem::path folder = HostPath(ZUVO_ARTIFACTS_FOLDER);
    std::filesystem::create_directories(folder);
    uitest::TImage32 image{c.Width(), c.Height(), {}};
    const vcl::TBitmapView v = c.View();
    for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) image.Pixels.push_back(v.At(x, y));
    EXPECT_TRUE(uitest::IsDrawn(image));
    uitest::WritePng((folder / "forms-title-bar.png").string(), image);
}

// The item's place is one of the frame image, which the border window shows
// around a bordered form, its shadow margins included.
TEST(TitleBarDropDown, OpensBelowTheItemWhereTheBorderWindowShowsIt) {
    const FormsModules modules;
    ManagerPtr m = BorderedManager();
    BorderedForm form(vcl::bsSizeable, {300, 200, 720, 500}, false);
    auto *bar = vcl::Create<TsTitleBar>(form.Form.Form);
    auto *menu = vcl::Create<vcl::TPopupMenu>(form.Form.Form);
    menu->Items()->Add(vcl::Create<vcl::TMenuItem>(menu));
    TvlTitleBarItem *item = bar->Items()->Add();
    item->SetCaption("Pick");
    item->SetDropdownMenu(menu);
    form.ShowSkinned();
    form.P->SetTitleBar(bar);
    ASSERT_TRUE(form.Border());
    ASSERT_NE(form.M().Left, 0);
    ASSERT_TRUE(uitest::ActivateAndWait(form.Wnd(), 3s));
    ASSERT_FALSE(item->Rect.IsEmpty());

    MenuWatcher watcher;  // closes it with Escape
    item->DoMouseDown(vcl::mbLeft, {}, 0, 0);
    ASSERT_EQ(watcher.Count(), 1);
    const vcl::TRect border = BorderedForm::RectOf(form.Border());
    EXPECT_EQ(watcher.Rect().left, border.Left + item->Rect.Left);
    EXPECT_EQ(watcher.Rect().top, border.Top + item->Rect.Bottom);

    // The item's fade lies over the border window; the border form takes it along.
    form.P->SetHotButton(2000, true);
    ASSERT_TRUE(item->Animation() && item->Animation()->LayerForm());
    const HWND layer = item->Animation()->LayerForm()->WindowHandle();
    RECT l{};
    GetWindowRect(layer, &l);
    EXPECT_EQ(l.left, border.Left + item->Rect.Left);
    EXPECT_EQ(ShownBelow(layer), form.Border());
    form.P->UpdateExtBorders(false);
    EXPECT_EQ(item->Animation(), nullptr);
    EXPECT_FALSE(IsWindow(layer));
}

// A bar put on a served form links itself unless one is linked; only the
// linked bar takes the link along when it goes; an item added later paints
// all the same; an inert provider links none; the dialog hook's provider
// takes the form's last bar.
TEST(TitleBarLink, ABarPutOnTheFormServesItsProviderUntilItGoes) {
    const FormsModules modules;
    ManagerPtr m = CaptionSkinManager();
    CaptionForm form;
    form.Show();
    auto *inert = vcl::Create<TsSkinProvider>(form.F());
    ASSERT_TRUE(inert->Duplicate);
    auto *first = vcl::Create<TsTitleBar>(form.F());
    EXPECT_EQ(form.P->TitleBar(), first);
    EXPECT_EQ(inert->TitleBar(), nullptr);
    auto *second = vcl::Create<TsTitleBar>(form.F());
    EXPECT_EQ(form.P->TitleBar(), first);
    delete second;
    EXPECT_EQ(form.P->TitleBar(), first);

    TvlTitleBarItem *late = first->Items()->Add();
    late->SetCaption("Late");
    form.P->SkinData()->BGChanged = true;
    ASSERT_TRUE(form.P->RenderFrame());
    ASSERT_TRUE(late->Section);
    EXPECT_FALSE(late->Rect.IsEmpty());
    delete first;
    EXPECT_EQ(form.P->TitleBar(), nullptr);

    TestForm dialog;
    vcl::Create<TsTitleBar>(dialog.Form);
    auto *last = vcl::Create<TsTitleBar>(dialog.Form);
    auto *hooked = vcl::Create<TsSkinProvider>(dialog.Form, TsSkinProvider::TDialogMade{});
    EXPECT_EQ(hooked->TitleBar(), last);
}

// The item lies on the border window: the mouse that goes from the form's
// client area onto it leaves the form, and the item stays hot.
TEST(TitleBarHover, AnItemOnTheBorderWindowStaysHotWhenTheMouseLeavesTheFormForIt) {
    const FormsModules modules;
    ManagerPtr m = BorderedManager();
    BorderedForm form;
    auto *bar = vcl::Create<TsTitleBar>(form.Form.Form);
    TvlTitleBarItem *item = bar->Items()->Add();
    item->SetCaption("Hover");
    form.P->RepaintFrameNow();
    ASSERT_TRUE(form.Border());
    ASSERT_TRUE(uitest::ActivateAndWait(form.Wnd(), 3s));
    ASSERT_FALSE(item->Rect.IsEmpty());
    // Through the application's loop, which tells a control that the mouse
    // left it; the system tells the window too.
    FormWatcher heard(form.Form.Form);
    const auto pumpUntil = [](const std::function<bool()> &Done) {
        return uitest::PumpUntil([&] {
            vcl::Application->ProcessMessages();
            return Done();
        }, 2s);
    };
    MouseTo(form.Wnd(), {200, 150});
    ASSERT_TRUE(pumpUntil([&] { return heard.Saw(WM_MOUSEMOVE); }));
    MouseTo(form.Border(), CaptionForm::Centre(item->Rect));
    ASSERT_TRUE(pumpUntil([&] { return heard.Saw(vcl::CM_MOUSELEAVE) && heard.Saw(WM_MOUSELEAVE); }));
    EXPECT_EQ(form.P->CurrentButton, htTitleBarItem);
    EXPECT_EQ(item->GetState(), 1);
    ParkCursor();
}

TEST(TitleBarOwner, OnlyAFormOwnsATitleBar) {
    const FormsModules modules;
    const std::unique_ptr<vcl::TComponent> plain(vcl::Create<vcl::TComponent>(nullptr));
    try {
        vcl::Create<TsTitleBar>(plain.get());
        FAIL() << "no error";
    } catch (const vcl::EAbort &e) {
        EXPECT_EQ(e.Message(), TitleBarOwnerError);
    }
}

TEST_F(TitleBar, ManyTitleBarFormsLeaveNoHandleBehind) {
    ShowAndRender();  // the first form's handles exist before counting
    vcl::THandleCounts before;
    for (int i = 0; i < 21; ++i) {
        // Counted after the first form, whose show makes the window that
        // every later show animation uses again.
        if (i == 1) {
            vcl::Application->ProcessMessages();
            before = vcl::LiveHandles();
        }
        CaptionForm form;
        auto *bar = vcl::Create<TsTitleBar>(form.F());
        bar->Items()->Add()->SetCaption("A");
        TvlTitleBarItem *hinted = bar->Items()->Add();
        hinted->SetShowHint(true);
        hinted->SetHint("Hint");
        bar->Items()->Add()->SetStyle(bsMenu);
        form.P->SetTitleBar(bar);
        form.Show();
        form.P->SkinData()->BGChanged = true;
        form.P->RenderFrame();
        vcl::Application->SetHintPause(0);
        form.P->SetHotButton(2001, true);
        form.P->SetHotButton(0, true);
    }
    vcl::Application->SetHintPause(500);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

// A handler that runs what a test gives it.
struct Handler {
    std::function<void()> Run;
    void Notify(vcl::TObject *) { Run(); }
    void Mouse(vcl::TObject *, vcl::TMouseButton, vcl::TShiftState, int, int) { Run(); }
    vcl::TNotifyEvent AsNotify() { return vcl::TNotifyEvent::Bind<&Handler::Notify>(this); }
    vcl::TMouseEvent AsMouse() { return vcl::TMouseEvent::Bind<&Handler::Mouse>(this); }
};

// Handlers of an item that free it, another item or the whole title bar:
// nothing of what went is touched afterwards, by the item or the provider.
TEST_F(TitleBar, HandlersThatFreeTheirItemOrTheBarLeaveTheFreedMemoryAlone) {
    ShowAndRender();
    struct Case {
        const char *Name;
        // Sets the handlers up on a bar of two items, then does what the user does.
        std::function<void(TitleBar &T, TsTitleBar *&Bar, Handler &H)> Run;
    };
    const Case cases[] = {
        {"a leave that frees the item entered",
         [](TitleBar &T, TsTitleBar *&Bar, Handler &H) {
             H.Run = [&Bar] { Bar->Items()->Delete(1); };
             Bar->Items()->Items(0)->OnMouseLeave = H.AsNotify();
             T.P->SetHotButton(2000, true);
             T.P->SetHotButton(2001, true);
         }},
        {"a mouse-down that frees its item",
         [](TitleBar &T, TsTitleBar *&Bar, Handler &H) {
             H.Run = [&Bar] { Bar->Items()->Delete(0); };
             Bar->Items()->Items(0)->OnMouseDown = H.AsMouse();
             T.Send(WM_NCLBUTTONDOWN, 2000);
         }},
        {"a menu item's click that frees the title bar",
         [](TitleBar &T, TsTitleBar *&Bar, Handler &H) {
             auto *menu = vcl::Create<vcl::TPopupMenu>(T.C.F());
             auto *entry = vcl::Create<vcl::TMenuItem>(menu);
             entry->SetCaption("Entry");
             menu->Items()->Add(entry);
             H.Run = [&Bar] { delete std::exchange(Bar, nullptr); };
             entry->OnClick = H.AsNotify();
             Bar->Items()->Items(0)->SetDropdownMenu(menu);
             MenuWatcher watcher([](HWND, HMENU Menu) { MenuWatcher::ClickItemAt(Menu, 0); });
             T.Send(WM_NCLBUTTONDOWN, 2000);
             EXPECT_EQ(watcher.Count(), 1);
             EXPECT_EQ(Bar, nullptr) << "the entry was chosen";
         }},
        {"a click that frees its button",
         [](TitleBar &T, TsTitleBar *&Bar, Handler &H) {
             H.Run = [&Bar] { Bar->Items()->Delete(0); };
             Bar->Items()->Items(0)->OnClick = H.AsNotify();
             T.Send(WM_NCLBUTTONDOWN, 2000);
             T.Send(WM_NCLBUTTONUP, 2000);
             EXPECT_EQ(Bar->Items()->Count(), 1) << "clicked";
         }},
        {"a tab's click that clears the items",
         [](TitleBar &T, TsTitleBar *&Bar, Handler &H) {
             Bar->Items()->Items(0)->SetStyle(bsTab);
             Bar->Items()->Items(0)->SetDown(true);
             Bar->Items()->Items(1)->SetStyle(bsTab);
             T.Render();
             H.Run = [&Bar] { Bar->Items()->Clear(); };
             Bar->Items()->Items(1)->OnClick = H.AsNotify();
             T.Send(WM_NCLBUTTONDOWN, 2001);
             EXPECT_EQ(Bar->Items()->Count(), 0) << "clicked";
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TsTitleBar *bar = vcl::Create<TsTitleBar>(C.F());
        std::vector<const void *> items;
        for (const char *caption : {"One", "Two"}) {
            auto *item = new TvlTitleBarItem(bar->Items());
            item->SetCaption(caption);
            items.push_back(item);
        }
        P->SetTitleBar(bar);
        Render();
        Handler handler;
        {
            const test::TFreedMemoryMark mark;
            c.Run(*this, bar, handler);
            EXPECT_TRUE(std::any_of(items.begin(), items.end(), [&](const void *I) { return mark.Freed(I); }));
            for (const void *item : items)
                if (mark.Freed(item)) EXPECT_TRUE(mark.Untouched(item));
            EXPECT_EQ(mark.Faults(), 0);
        }
        FormsState().FormButtonPressed = false;
        P->SetHotButton(0, false);
        delete bar;
    }
}

// A hot item that reads pressed (Down, or its menu open) is shown from its
// normal state at once, even without a repaint asked, and is hot after.
TEST_F(TitleBar, AnItemEnteredWhileItReadsPressedIsShownAndEndsHot) {
    TvlTitleBarItem *down = Add(bsButton, "Down");
    down->SetDown(true);
    TvlTitleBarItem *dropped = Add(bsButton, "Menu");
    ShowAndRender();
    dropped->MenuDropped = true;
    for (TvlTitleBarItem *item : {down, dropped}) {
        SCOPED_TRACE(item->Caption());
        const vcl::TPoint face{item->Rect.Left + 2, (item->Rect.Top + item->Rect.Bottom) / 2};
        {
            const vcl::TWindowDC dc(C.Wnd(), GetWindowDC(C.Wnd()));
            const RECT r{item->Rect.Left, item->Rect.Top, item->Rect.Right, item->Rect.Bottom};
            FillRect(dc.Get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
        ASSERT_EQ(ScreenPixel(C.Wnd(), face), 0);
        P->SetHotButton(htTitleBarItem + item->Index(), false);
        EXPECT_EQ(ScreenPixel(C.Wnd(), face), ButtonColors.Pressed);
        EXPECT_EQ(item->State, 1);
        P->SetHotButton(0, false);
    }
    dropped->MenuDropped = false;
}

// Hint, ShowHint and Name are item properties like the others: a change
// repaints the caption, the same value does not.
TEST_F(TitleBar, TheHintAndNameSettersRepaintTheCaptionWhenTheyChange) {
    TvlTitleBarItem *item = Add(bsButton, "Item");
    ShowAndRender();
    const vcl::TPoint face{item->Rect.Left + 2, (item->Rect.Top + item->Rect.Bottom) / 2};
    const std::function<void(bool Change)> setters[] = {
        [&](bool Change) { item->SetHint(Change ? "Other" : item->Hint()); },
        [&](bool Change) { item->SetShowHint(Change ? !item->ShowHint() : item->ShowHint()); },
        [&](bool Change) { item->SetName(Change ? item->Name() + "X" : item->Name()); },
    };
    for (std::size_t i = 0; i < std::size(setters); ++i)
        for (const bool change : {false, true}) {
            SCOPED_TRACE(testing::Message() << i << " " << change);
            {
                const vcl::TWindowDC dc(C.Wnd(), GetWindowDC(C.Wnd()));
                const RECT r{item->Rect.Left, item->Rect.Top, item->Rect.Right, item->Rect.Bottom};
                FillRect(dc.Get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
            setters[i](change);
            EXPECT_EQ(ScreenPixel(C.Wnd(), face), change ? ButtonColors.Normal : 0);
        }
}

// With DiscoloredGlyphs a glyph is tinted with its section's colour while
// the item is normal, and shows its own colours when hot.
TEST_F(TitleBar, ADiscolouredGlyphIsTintedOnlyInTheNormalState) {
    Manager->Effects()->SetDiscoloredGlyphs(true);
    TvlTitleBarItem *item = Add(bsButton, "");
    auto glyph = NewBitmap32(8, 8);
    const vcl::TBitmapView g = glyph->View();
    for (int y = 0; y < 8; ++y) std::fill_n(g.Row32(y), 8, 0xFFFF0000u);  // opaque red
    item->SetGlyph(glyph.get());
    ShowAndRender();
    const vcl::TPoint centre{item->Rect.Left + 3 + 4, item->Rect.Top + item->Rect.Height() / 2};
    const vcl::TColor normal = CachePixel(P, centre);
    // The section's green over the glyph's grey.
    EXPECT_GT(normal >> 8 & 0xFF, normal & 0xFF);
    EXPECT_GT(normal >> 8 & 0xFF, normal >> 16 & 0xFF);
    item->State = 1;
    Render();
    const vcl::TColor hot = CachePixel(P, centre);  // the glyph's own red
    EXPECT_GE(hot & 0xFF, 0xFAu);
    EXPECT_EQ(hot & 0xFFFF00, 0u);
    item->State = 0;
}

TEST_F(TitleBar, AnItemFadesOnItsOwnLayerUntilItChangesOrGoes) {
    TvlTitleBarItem *button = Add(bsButton, "Button");
    ShowAndRender();
    const auto layer = [&] {
        const TvlItemAnimation *f = button->Animation();
        return f && f->LayerForm() ? f->LayerForm()->WindowHandle() : HWND{};
    };
    const auto tick = [&] {
        for (int i = 0; i < 40 && button->Animation() && button->Animation()->Enabled(); ++i)
            button->Animation()->TimerProc(nullptr);
    };
    MouseTo(C.Wnd(), CaptionForm::Centre(button->Rect));  // the fade in is not cut short
    LayeredRecorder in;
    P->SetHotButton(2000, true);
    const HWND hot = layer();
    ASSERT_TRUE(hot);
    tick();
    EXPECT_EQ(LayeredRecorder::AlphasOf(hot), (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));
    RECT w{}, l{};
    GetWindowRect(C.Wnd(), &w);
    GetWindowRect(hot, &l);
    EXPECT_EQ(l.left - w.left, button->Rect.Left);
    EXPECT_EQ(l.top - w.top, button->Rect.Top);
    EXPECT_EQ(GetWindow(hot, GW_HWNDNEXT), C.Wnd());

    // A press fades in over the hot layer, which goes once the pressed look is opaque.
    LayeredRecorder press;
    P->SetPressedButton(2000);
    const HWND pressed = layer();
    ASSERT_TRUE(pressed && pressed != hot);
    EXPECT_TRUE(IsWindowVisible(hot));
    button->Animation()->TimerProc(nullptr);
    EXPECT_EQ(LayeredRecorder::AlphasOf(pressed), (std::vector<int>{25, 255}));
    EXPECT_FALSE(IsWindow(hot));
    FormsState().FormButtonPressed = false;

    // A change drops the layer: the frame shows the item's state itself.
    button->SetCaption("Changed");
    EXPECT_FALSE(IsWindow(pressed));
    Render();
    EXPECT_EQ(Face(button), ButtonColors.Pressed);

    // The fade out starts opaque.
    LayeredRecorder out;
    P->SetHotButton(0, true);
    const HWND leaving = layer();
    tick();
    EXPECT_EQ(LayeredRecorder::AlphasOf(leaving), (std::vector<int>{255, 225, 200, 175, 150, 125, 100, 75, 50, 25}));
    EXPECT_FALSE(IsWindow(leaving));

    // The fades of a thousand hovers leave nothing behind; nor does an item
    // that goes while its layer shows.
    Manager->Effects()->AllowAnimation = false;
    button->FreeAnimation();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) {
        P->SetHotButton(2000, true);
        P->SetHotButton(0, true);
        tick();
    }
    P->SetHotButton(2000, true);
    const HWND last = layer();
    ASSERT_TRUE(last);
    P->SetHotButton(0, false);
    delete button;
    EXPECT_FALSE(IsWindow(last));
    int fades = 0;
    for (int i = 0; i < C.F()->ComponentCount(); ++i) fades += dynamic_cast<TvlItemAnimation *>(C.F()->Components(i)) != nullptr;
    EXPECT_EQ(fades, 0);
    EXPECT_EQ(vcl::LiveHandles(), before);
}

} // namespace
} // namespace skin
