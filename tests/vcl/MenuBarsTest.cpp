// Menu bars and owner-drawn menus on real windows: a form's bar follows its
// items, commands reach the item once, and the owner-draw messages of a bar
// and of a shown popup reach the items' handlers. The popups are tracked by
// the system and driven with the keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "vcl/Bitmap.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/WideText.h"

namespace vcl {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> BarTexts(HWND Window) {
    std::vector<std::string> texts;
    const HMENU bar = GetMenu(Window);
    for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(bar, static_cast<UINT>(i), text, 127, MF_BYPOSITION);
        texts.push_back(WideToUtf8(text));
    }
    return texts;
}

// Records what reaches the items.
struct TRecorder {
    std::vector<std::string> Calls;
    void Click(TObject *Sender) { Calls.push_back("click " + static_cast<TMenuItem *>(Sender)->Caption()); }
    void Measure(TObject *Sender, TCanvas *, int &Width, int &Height) {
        Calls.push_back("measure " + static_cast<TMenuItem *>(Sender)->Caption());
        Width = 50;
        Height = 20;
    }
    void Draw(TObject *Sender, TCanvas *ACanvas, TRect ARect, TOwnerDrawState State) {
        Calls.push_back("draw " + static_cast<TMenuItem *>(Sender)->Caption());
        LastRect = ARect;
        LastState = State;
        ACanvas->Brush()->SetColor(State.Contains(odSelected) ? clRed : clLime);
        ACanvas->FillRect(ARect);
    }
    int Count(const std::string &Call) const { return static_cast<int>(std::count(Calls.begin(), Calls.end(), Call)); }
    TRect LastRect{};
    TOwnerDrawState LastState;
};

TMenuItem *AddItem(TMenuItem *Parent, TComponent *Owner, const std::string &Caption) {
    auto *item = Create<TMenuItem>(Owner);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
}

void CALLBACK EndMenuTick(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

class MenuBars : public ::testing::Test {
protected:
    void SetUp() override {
        form.reset(Create<TForm>(Application, CreateNew));
        form->SetBounds(100, 100, 320, 200);
        menu = Create<TMainMenu>(form.get());
        file = AddItem(menu->Items(), form.get(), "&File");
        open = AddItem(file, form.get(), "&Open");
        open->SetShortCut('O' | scCtrl);
        AddItem(menu->Items(), form.get(), "&Edit");
        form->SetMenu(menu);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<TForm> form;
    TMainMenu *menu = nullptr;
    TMenuItem *file = nullptr;
    TMenuItem *open = nullptr;
    TRecorder rec;
};

TEST_F(MenuBars, BarFollowsItemsAddedRemovedHiddenAndRenamed) {
    form->Show();
    const HWND window = form->Handle();
    EXPECT_EQ(BarTexts(window), (std::vector<std::string>{"&File", "&Edit"}));
    const HMENU sub = GetSubMenu(GetMenu(window), 0);
    ASSERT_NE(sub, nullptr);
    wchar_t text[64] = {};
    GetMenuStringW(sub, 0, text, 63, MF_BYPOSITION);
    EXPECT_EQ(WideToUtf8(text), "&Open\tCtrl+O");

    TMenuItem *view = AddItem(menu->Items(), form.get(), "&View");
    EXPECT_EQ(BarTexts(window), (std::vector<std::string>{"&File", "&Edit", "&View"}));
    menu->Items()->Items(1)->SetVisible(false);
    EXPECT_EQ(BarTexts(window), (std::vector<std::string>{"&File", "&View"}));
    view->SetCaption("&Look");
    delete view;
    EXPECT_EQ(BarTexts(window), (std::vector<std::string>{"&File"}));
    menu->Items()->Items(1)->SetVisible(true);
    file->SetEnabled(false);
    EXPECT_TRUE(GetMenuState(GetMenu(window), 0, MF_BYPOSITION) & MF_GRAYED);
    // The bar leaves the window with its menu.
    delete menu;
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
}

TEST_F(MenuBars, ACommandClicksItsItemOnceAndAGoneItemNever) {
    open->OnClick = TNotifyEvent::Bind<&TRecorder::Click>(&rec);
    form->Show();
    SendMessageW(form->Handle(), WM_COMMAND, open->Command(), 0);
    EXPECT_EQ(rec.Calls, std::vector<std::string>{"click &Open"});
    const UINT command = open->Command();
    delete open;
    EXPECT_EQ(TMenuItem::FindCommand(command), nullptr);
    SendMessageW(form->Handle(), WM_COMMAND, command, 0);
    EXPECT_EQ(rec.Calls.size(), 1u);
    // A command of a menu the window does not show, and a dialog's IDOK, click nothing.
    std::unique_ptr<TPopupMenu> other(Create<TPopupMenu>(nullptr));
    TMenuItem *foreign = AddItem(other->Items(), other.get(), "Foreign");
    foreign->OnClick = TNotifyEvent::Bind<&TRecorder::Click>(&rec);
    SendMessageW(form->Handle(), WM_COMMAND, foreign->Command(), 0);
    SendMessageW(form->Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(rec.Calls.size(), 1u);
    EXPECT_GE(foreign->Command(), 0x100u);
}

TEST_F(MenuBars, KeyboardChoosesFromTheBar) {
    open->OnClick = TNotifyEvent::Bind<&TRecorder::Click>(&rec);
    form->Show();
    ASSERT_TRUE(uitest::ActivateAndWait(form->Handle(), 3s));
    // F10 selects the bar, Down opens "File", Enter chooses "Open": queued
    // at once, as the bar's tracking loop reads them itself. A timer ends a
    // loop that missed them.
    std::vector<INPUT> input;
    for (WORD key : {WORD(VK_F10), WORD(VK_DOWN), WORD(VK_RETURN)}) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(down);
        input.push_back(up);
    }
    const UINT_PTR timer = SetTimer(nullptr, 0, 3000, &EndMenuTick);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    uitest::PumpUntil([&] { return !rec.Calls.empty(); }, 4s);
    KillTimer(nullptr, timer);
    EXPECT_EQ(rec.Calls, std::vector<std::string>{"click &Open"});
}

TEST_F(MenuBars, OwnerDrawReachesTheBarItems) {
    for (int i = 0; i < menu->Items()->Count(); ++i) {
        menu->Items()->Items(i)->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TRecorder::Measure>(&rec);
        menu->Items()->Items(i)->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Bind<&TRecorder::Draw>(&rec);
    }
    menu->SetOwnerDraw(true);
    form->Show();
    DrawMenuBar(form->Handle());
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    uitest::PumpUntil([&] { return rec.Count("draw &Edit") > 0; }, 2s);
    EXPECT_GE(rec.Count("measure &File"), 1);
    EXPECT_GE(rec.Count("draw &File"), 1);
    EXPECT_GE(rec.Count("draw &Edit"), 1);
    EXPECT_GT(rec.LastRect.Width(), 0);
    // What the handler drew is on the bar.
    MENUBARINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMenuBarInfo(form->Handle(), OBJID_MENU, 1, &info));
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    const uitest::TImage32 image = uitest::CaptureWindow(form->Handle());
    const int x = (info.rcBar.left + info.rcBar.right) / 2 - window.left;
    const int y = (info.rcBar.top + info.rcBar.bottom) / 2 - window.top;
    ASSERT_LT(x, image.Width);
    ASSERT_LT(y, image.Height);
    EXPECT_EQ(image.At(x, y) & 0xFFFFFF, 0x00FF00u);
}

// A popup of the form driven by the keyboard while the system tracks it.
class TKeyPopup : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    std::vector<WORD> Keys;
    HWND MenuWindow = nullptr;

protected:
    UINT TrackMenu(HMENU Menu, int X, int Y, HWND Owner) override {
        SetTimer(Owner, 77, 100, &TKeyPopup::Tick);
        Pending = Keys;
        Current = this;
        const UINT chosen = TPopupMenu::TrackMenu(Menu, X, Y, Owner);
        KillTimer(Owner, 77);
        Current = nullptr;
        return chosen;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!Current) return;
        if (!Current->MenuWindow) Current->MenuWindow = FindWindowW(L"#32768", nullptr);
        if (Current->Pending.empty()) {
            EndMenu();
            return;
        }
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = Current->Pending.front();
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        Current->Pending.erase(Current->Pending.begin());
    }
    static inline TKeyPopup *Current = nullptr;
    std::vector<WORD> Pending;
};

TEST_F(MenuBars, OwnerDrawAndCommandsReachPopupItems) {
    for (bool ownWindow : {true, false}) {
        SCOPED_TRACE(ownWindow ? "form's window" : "application's window");
        rec.Calls.clear();
        std::unique_ptr<TKeyPopup> popup(Create<TKeyPopup>(nullptr));
        for (const char *caption : {"One", "Two"}) {
            TMenuItem *item = AddItem(popup->Items(), popup.get(), caption);
            item->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TRecorder::Measure>(&rec);
            item->OnAdvancedDrawItem = TAdvancedMenuDrawItemEvent::Bind<&TRecorder::Draw>(&rec);
            item->OnClick = TNotifyEvent::Bind<&TRecorder::Click>(&rec);
        }
        popup->SetOwnerDraw(true);
        popup->SetMenuAnimation(TMenuAnimation{maNone});
        form->Show();
        ASSERT_TRUE(uitest::ActivateAndWait(form->Handle(), 3s));
        if (ownWindow) popup->SetWindowHandle(form->Handle());
        popup->Keys = {VK_DOWN, VK_DOWN, VK_RETURN};
        popup->Popup(150, 150);
        EXPECT_GE(rec.Count("measure One"), 1);
        EXPECT_GE(rec.Count("draw Two"), 1);
        EXPECT_EQ(rec.Count("click Two"), 1);
        EXPECT_EQ(rec.Count("click One"), 0);
        EXPECT_NE(popup->MenuWindow, nullptr);
    }
}

TEST(MenuItemExtras, BitmapDefaultImagesAndScreenMenuFont) {
    std::unique_ptr<TPopupMenu> menu(Create<TPopupMenu>(nullptr));
    TMenuItem *item = AddItem(menu->Items(), menu.get(), "Item");
    EXPECT_FALSE(item->HasBitmap());
    TBitmap glyph;
    glyph.SetSize(16, 16);
    item->SetBitmap(&glyph);
    EXPECT_TRUE(item->HasBitmap());
    EXPECT_EQ(item->Bitmap()->Width(), 16);
    {
        std::unique_ptr<TImageList> images(Create<TImageList>(nullptr));
        item->SetSubMenuImages(images.get());
        menu->SetImages(images.get());
        EXPECT_EQ(item->SubMenuImages(), images.get());
    }
    EXPECT_EQ(item->SubMenuImages(), nullptr);
    EXPECT_EQ(menu->Images(), nullptr);
    ASSERT_NE(Screen->MenuFont(), nullptr);
    EXPECT_FALSE(Screen->MenuFont()->Name().empty());
    EXPECT_NE(Screen->MenuFont()->Height(), 0);
    EXPECT_EQ(TOwnerDrawState::FromBits(ODS_HOTLIGHT | ODS_NOACCEL), (TOwnerDrawState{odHotLight, odNoAccel}));
}

} // namespace
} // namespace vcl
