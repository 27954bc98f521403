// Popup menus: shortcut texts both ways, the item tree and its ownership,
// and what a popup shows and clicks (its tracking replaced by a reader of
// the built menu).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/Icon.h"
#include "vcl/Menus.h"
#include "vcl/WideText.h"

namespace vcl {
namespace {

TEST(ShortCuts, TextsReadAndWrittenAsTheSystemWritesThem) {
    struct Case {
        TShortCut ShortCut;
        const char *Text;
    };
    const Case cases[] = {
        {VK_F4 | scAlt, "Alt+F4"},
        {'S' | scCtrl | scShift, "Shift+Ctrl+S"},
        {VK_DELETE, "Del"},
        {VK_F12, "F12"},
        {'7' | scCtrl, "Ctrl+7"},
        {VK_RETURN | scShift | scCtrl | scAlt, "Shift+Ctrl+Alt+Enter"},
        {VK_SPACE | scAlt, "Alt+Space"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
    }
    EXPECT_EQ(TextToShortCut("alt+f4"), VK_F4 | scAlt);
    EXPECT_EQ(TextToShortCut("Ctrl+Alt+Del"), VK_DELETE | scCtrl | scAlt);
    EXPECT_EQ(ShortCut(VK_F4, TShiftState{ssAlt}), VK_F4 | scAlt);
}

TEST(ShortCuts, WhatIsNoShortCutGivesNone) {
    for (const char *text : {"", "Alt+", "Ctrl", "F0", "F25", "Foo", "Alt+Bogus", "AB"})
        EXPECT_EQ(TextToShortCut(text), 0) << text;
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(VK_LWIN | scAlt), "");  // a key without a name
}

// Counts its destructions.
class TCountedItem : public TMenuItem {
public:
    TCountedItem(TComponent *AOwner, int &Count) : TMenuItem(AOwner), FCount(Count) {}
    ~TCountedItem() override { ++FCount; }

private:
    int &FCount;
};

TEST(MenuItems, TreeKeepsOrderAndItemsLeaveItWhenTheyGo) {
    std::unique_ptr<TPopupMenu> menu(Create<TPopupMenu>(nullptr));
    TMenuItem *root = menu->Items();
    auto *a = Create<TMenuItem>(menu.get());
    auto *b = Create<TMenuItem>(menu.get());
    auto *c = Create<TMenuItem>(menu.get());
    root->Add(a);
    root->Add(c);
    root->Insert(1, b);
    ASSERT_EQ(root->Count(), 3);
    EXPECT_EQ(root->Items(1), b);
    EXPECT_EQ(b->Parent(), root);
    EXPECT_EQ(b->GetParentMenu(), menu.get());
    EXPECT_THROW(root->Items(3), EListError);

    auto *sub = Create<TMenuItem>(menu.get());
    a->Add(sub);
    EXPECT_EQ(sub->GetParentMenu(), menu.get());
    EXPECT_THROW(sub->Add(a), EInvalidOperation);  // a parent into its own child
    b->Add(sub);  // moves
    EXPECT_EQ(a->Count(), 0);
    EXPECT_EQ(sub->Parent(), b);

    delete c;
    EXPECT_EQ(root->Count(), 2);
    root->Remove(a);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(root->IndexOf(a), -1);
    EXPECT_EQ(root->IndexOf(b), 0);
}

TEST(MenuItems, EachItemIsDestroyedOnceWhicheverGoesFirst) {
    int destroyed = 0;
    {
        std::unique_ptr<TComponent> owner(Create<TComponent>(nullptr));
        auto *menu = Create<TPopupMenu>(owner.get());
        auto *top = new TCountedItem(owner.get(), destroyed);
        auto *inner = new TCountedItem(owner.get(), destroyed);
        menu->Items()->Add(top);
        top->Add(inner);
        menu->Items()->Add(new TCountedItem(owner.get(), destroyed));
        // The menu goes first: its tree with it; the owner then finds them gone.
        delete menu;
        EXPECT_EQ(destroyed, 3);
        EXPECT_EQ(owner->ComponentCount(), 0);
    }
    {
        std::unique_ptr<TPopupMenu> menu(Create<TPopupMenu>(nullptr));
        menu->Items()->Add(new TCountedItem(menu.get(), destroyed));
        menu->Items()->Items(0)->Add(new TCountedItem(menu.get(), destroyed));
        menu->Items()->Clear();
        EXPECT_EQ(destroyed, 5);
        EXPECT_EQ(menu->ComponentCount(), 0);
    }
}

// A popup whose tracking reads the built menu and chooses as told.
class TReadPopup : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    struct TLine {
        std::string Text;
        UINT State = 0;
        UINT Type = 0;
        int SubItems = -1;  // -1: no submenu
    };
    std::vector<TLine> Lines;
    // Chooses the command of the item at this top-level position (-1: none).
    int Choose = -1;
    std::function<void()> WhileShown;

protected:
    UINT TrackMenu(HMENU Menu, int, int, HWND) override {
        Lines.clear();
        for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
            wchar_t text[256] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
            info.dwTypeData = text;
            info.cch = 255;
            GetMenuItemInfoW(Menu, static_cast<UINT>(i), TRUE, &info);
            Lines.push_back({WideToUtf8(text), info.fState, info.fType,
                             info.hSubMenu ? GetMenuItemCount(info.hSubMenu) : -1});
        }
        if (WhileShown) WhileShown();
        return Choose >= 0 ? GetMenuItemID(Menu, Choose) : 0;
    }
};

TEST(PopupMenus, ShowVisibleItemsWithTheirShortCutsMarksAndColumns) {
    std::unique_ptr<TReadPopup> menu(Create<TReadPopup>(nullptr));
    auto add = [&](const std::string &caption) {
        auto *item = Create<TMenuItem>(menu.get());
        item->SetCaption(caption);
        menu->Items()->Add(item);
        return item;
    };
    add("&Restore")->SetEnabled(false);
    add("&Close")->SetShortCut(VK_F4 | scAlt);
    add("Hidden")->SetVisible(false);
    add("-");
    TMenuItem *radio = add("Beryllo");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    radio->SetBreak(mbBreak);
    TMenuItem *parent = add("More");
    parent->Add(Create<TMenuItem>(menu.get()));
    parent->Add(Create<TMenuItem>(menu.get()));

    menu->Popup(10, 10);
    ASSERT_EQ(menu->Lines.size(), 5u);
    EXPECT_EQ(menu->Lines[0].Text, "&Restore");
    EXPECT_TRUE(menu->Lines[0].State & MFS_GRAYED);
    EXPECT_EQ(menu->Lines[1].Text, "&Close\tAlt+F4");
    EXPECT_TRUE(menu->Lines[2].Type & MFT_SEPARATOR);
    EXPECT_EQ(menu->Lines[3].Text, "Beryllo");
    EXPECT_TRUE(menu->Lines[3].State & MFS_CHECKED);
    EXPECT_TRUE(menu->Lines[3].Type & MFT_RADIOCHECK);
    EXPECT_TRUE(menu->Lines[3].Type & MFT_MENUBREAK);
    EXPECT_EQ(menu->Lines[4].SubItems, 2);
}

TEST(PopupMenus, ClickTheChosenEnabledItemOnlyAndOnlyWhileItExists) {
    std::unique_ptr<TReadPopup> menu(Create<TReadPopup>(nullptr));
    std::vector<std::string> clicks;
    struct TSink {
        std::vector<std::string> *Clicks;
        void Click(TObject *Sender) { Clicks->push_back(static_cast<TMenuItem *>(Sender)->Caption()); }
    } sink{&clicks};
    for (const char *caption : {"One", "Two", "Off"}) {
        auto *item = Create<TMenuItem>(menu.get());
        item->SetCaption(caption);
        item->OnClick = TNotifyEvent::Bind<&TSink::Click>(&sink);
        menu->Items()->Add(item);
    }
    menu->Items()->Items(2)->SetEnabled(false);
    int popups = 0;
    menu->OnPopup = TNotifyEvent(&popups, [](void *count, TObject *) { ++*static_cast<int *>(count); });

    menu->Choose = 1;
    menu->Popup(0, 0);
    menu->Choose = 2;
    menu->Popup(0, 0);
    menu->Choose = -1;
    menu->Popup(0, 0);
    EXPECT_EQ(clicks, std::vector<std::string>{"Two"});
    EXPECT_EQ(popups, 3);

    // An item that goes while the menu shows is not clicked.
    menu->Choose = 0;
    menu->WhileShown = [&] { delete menu->Items()->Items(0); };
    menu->Popup(0, 0);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST(FormState, CreatingUntilConstructedShowingWhileShown) {
    TFormState seenOnCreate, seenOnShow;
    struct TSeen {
        TFormState *OnCreate, *OnShow;
        void Create(TObject *Sender) { *OnCreate = static_cast<TCustomForm *>(Sender)->FormState(); }
        void Show(TObject *Sender) { *OnShow = static_cast<TCustomForm *>(Sender)->FormState(); }
    } seen{&seenOnCreate, &seenOnShow};
    auto *form = new TForm(Application, CreateNew);
    form->OnCreate = TNotifyEvent::Bind<&TSeen::Create>(&seen);
    form->AfterConstruction();
    std::unique_ptr<TForm> owned(form);
    EXPECT_TRUE(seenOnCreate.Contains(fsCreating));
    EXPECT_FALSE(form->FormState().Contains(fsCreating));

    form->OnShow = TNotifyEvent::Bind<&TSeen::Show>(&seen);
    form->Show();
    EXPECT_TRUE(seenOnShow.Contains(fsShowing));
    EXPECT_TRUE(form->FormState().Empty());

    EXPECT_EQ(form->ClientHandle(), nullptr);
    EXPECT_TRUE(form->Icon()->Empty());
    EXPECT_EQ(form->Constraints()->MaxWidth, 0);
    EXPECT_EQ(form->Constraints()->MaxHeight, 0);
}

} // namespace
} // namespace vcl
