// Multiple-document forms: the parent's client window, children made in it,
// the list of children and the active one, the style taken only before the
// window exists, the active child's menu merged into the parent's bar by
// group index with its commands and the window list, and the handles of
// many parents and children.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"
#include "vcl/Menus.h"
#include "vcl/TypInfo.h"
#include "vcl/WideText.h"

namespace vcl {
namespace {

std::string ClassOf(HWND Window) {
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 63);
    std::string out;
    for (const wchar_t *c = name; *c; ++c) out += static_cast<char>(*c);
    return out;
}

struct MDIForms : ::testing::Test {
    std::unique_ptr<TForm> Parent{Create<TForm>(nullptr, CreateNew)};
    MDIForms() {
        Parent->SetFormStyle(fsMDIForm);
        Parent->SetBounds(50, 50, 500, 400);
    }
    TForm *Child(const std::string &Caption) {
        TForm *child = Create<TForm>(Parent.get(), CreateNew);
        child->SetFormStyle(fsMDIChild);
        child->SetCaption(Caption);
        child->SetBounds(10, 10, 200, 150);
        child->Show();
        return child;
    }
};

TEST_F(MDIForms, TheParentsClientWindowHoldsTheChildrenAndKnowsTheActiveOne) {
    EXPECT_EQ(Parent->ClientHandle(), nullptr) << "no window yet";
    Parent->Show();
    const HWND client = Parent->ClientHandle();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(ClassOf(client), "MDIClient");
    EXPECT_EQ(GetParent(client), Parent->WindowHandle());
    EXPECT_EQ(Parent->MDIChildCount(), 0);
    EXPECT_EQ(Parent->ActiveMDIChild(), nullptr);

    TForm *first = Child("First");
    TForm *second = Child("Second");
    EXPECT_EQ(GetParent(first->WindowHandle()), client);
    EXPECT_TRUE(GetWindowLongPtrW(second->WindowHandle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(Parent->MDIChildCount(), 2);
    EXPECT_EQ(Parent->ActiveMDIChild(), second);
    EXPECT_EQ(Parent->MDIChildren(0), second) << "the client's order: the active first";
    EXPECT_EQ(Parent->MDIChildren(1), first);
    EXPECT_THROW(Parent->MDIChildren(2), EListError);

    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->WindowHandle()), 0);
    EXPECT_EQ(Parent->ActiveMDIChild(), first);
    // The client follows the frame's size (the frame's default handling).
    Parent->SetBounds(50, 50, 600, 450);
    RECT frame{}, inner{};
    GetClientRect(Parent->WindowHandle(), &frame);
    GetWindowRect(client, &inner);
    EXPECT_EQ(inner.right - inner.left, frame.right);
    // Maximizing a child goes through the client.
    SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first->WindowHandle()), 0);
    EXPECT_TRUE(IsZoomed(first->WindowHandle()));

    delete second;
    EXPECT_EQ(Parent->MDIChildCount(), 1);
    EXPECT_EQ(Parent->ActiveMDIChild(), first);
}

std::vector<std::string> MenuTexts(HMENU Menu) {
    std::vector<std::string> texts;
    for (int i = 0; Menu && i < GetMenuItemCount(Menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(Menu, static_cast<UINT>(i), text, 127, MF_BYPOSITION);
        texts.push_back(WideToUtf8(text));
    }
    return texts;
}

TMenuItem *AddItem(TMenuItem *Parent, TComponent *Owner, const std::string &Caption, int Group = 0) {
    auto *item = Create<TMenuItem>(Owner);
    item->SetCaption(Caption);
    SetOrdProp(item, "GroupIndex", Group);  // published, as descriptions set it
    Parent->Add(item);
    return item;
}

TEST_F(MDIForms, TheActiveChildsMenuMergesIntoTheParentsBarByGroup) {
    auto *bar = Create<TMainMenu>(Parent.get());
    AddItem(bar->Items(), Parent.get(), "File", 0);
    AddItem(bar->Items(), Parent.get(), "Edit", 1);
    TMenuItem *window = AddItem(bar->Items(), Parent.get(), "Window", 9);
    AddItem(window, Parent.get(), "Cascade");
    Parent->SetMenu(bar);
    SetObjectProp(Parent.get(), "WindowMenu", window);
    Parent->Show();
    const HWND frame = Parent->WindowHandle();

    // The child's menu is set before its window exists.
    TForm *first = Create<TForm>(Parent.get(), CreateNew);
    first->SetFormStyle(fsMDIChild);
    first->SetCaption("First");
    auto *own = Create<TMainMenu>(first);
    AddItem(own->Items(), first, "Tools", 5);
    TMenuItem *childEdit = AddItem(own->Items(), first, "Child edit", 1);
    int clicks = 0;
    struct TCounter {
        int *Count;
        void Click(TObject *) { ++*Count; }
    } counter{&clicks};
    TMenuItem *undo = AddItem(childEdit, first, "Undo");
    undo->OnClick = TNotifyEvent::Bind<&TCounter::Click>(&counter);
    first->SetMenu(own);
    first->Show();
    // Replaced by group, in group order.
    EXPECT_EQ(MenuTexts(GetMenu(frame)), (std::vector<std::string>{"File", "Child edit", "Tools", "Window"}));
    EXPECT_EQ(bar->Merged(), own);
    TMenuItem *more = AddItem(own->Items(), first, "More", 10);
    EXPECT_EQ(MenuTexts(GetMenu(frame)).back(), "More") << "the bar follows the merged menu";
    delete more;
    // The child's command reaches its item once through the parent's window.
    SendMessageW(frame, WM_COMMAND, undo->Command(), 0);
    EXPECT_EQ(clicks, 1);
    // The client lists the children in the window menu's popup.
    const HMENU windows = bar->PopupOf(window);
    ASSERT_NE(windows, nullptr);
    const std::vector<std::string> list = MenuTexts(windows);
    EXPECT_EQ(list.front(), "Cascade");
    EXPECT_NE(std::find(list.begin(), list.end(), "&1 First"), list.end());

    // A child without a menu shows the parent's own bar; the first again its own.
    TForm *second = Child("Second");
    EXPECT_EQ(MenuTexts(GetMenu(frame)), (std::vector<std::string>{"File", "Edit", "Window"}));
    SendMessageW(Parent->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->WindowHandle()), 0);
    EXPECT_EQ(MenuTexts(GetMenu(frame)).size(), 4u);
    // Maximized, the system's items stay in the bar through a rebuild.
    SendMessageW(Parent->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(first->WindowHandle()), 0);
    const int augmented = GetMenuItemCount(GetMenu(frame));
    ASSERT_GT(augmented, 4);
    const HMENU system = GetSubMenu(GetMenu(frame), 0);
    own->Items()->Items(0)->SetCaption("Tools 2");
    EXPECT_EQ(GetMenuItemCount(GetMenu(frame)), augmented);
    EXPECT_EQ(GetSubMenu(GetMenu(frame), 0), system);
    EXPECT_TRUE(IsMenu(system));
    EXPECT_EQ(GetMenuItemID(GetMenu(frame), augmented - 1), static_cast<UINT>(SC_CLOSE));
    SendMessageW(Parent->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(first->WindowHandle()), 0);

    // The child's going gives the parent its own bar back.
    delete first;
    delete second;
    EXPECT_EQ(MenuTexts(GetMenu(frame)), (std::vector<std::string>{"File", "Edit", "Window"}));
    EXPECT_EQ(bar->Merged(), nullptr);
    delete window;
    EXPECT_EQ(Parent->WindowMenu(), nullptr);
}

// The parent's new bar takes the active child's menu at once; a child's
// menu freed on its own leaves the bar it was merged into.
TEST_F(MDIForms, ANewParentBarTakesTheMergedMenuAndAFreedChildMenuLeavesIt) {
    auto *bar = Create<TMainMenu>(Parent.get());
    AddItem(bar->Items(), Parent.get(), "File", 0);
    Parent->SetMenu(bar);
    Parent->Show();
    const HWND frame = Parent->WindowHandle();
    TForm *child = Create<TForm>(Parent.get(), CreateNew);
    child->SetFormStyle(fsMDIChild);
    auto *own = Create<TMainMenu>(child);
    AddItem(own->Items(), child, "Tools", 5);
    child->SetMenu(own);
    child->Show();
    ASSERT_EQ(bar->Merged(), own);

    auto *next = Create<TMainMenu>(Parent.get());
    AddItem(next->Items(), Parent.get(), "Project", 0);
    Parent->SetMenu(next);
    EXPECT_EQ(next->Merged(), own);
    EXPECT_EQ(own->MergedInto(), next);
    EXPECT_EQ(bar->Merged(), nullptr);
    EXPECT_EQ(MenuTexts(GetMenu(frame)), (std::vector<std::string>{"Project", "Tools"}));

    delete own;
    ASSERT_EQ(next->Merged(), nullptr);
    AddItem(next->Items(), Parent.get(), "Help", 9);
    EXPECT_EQ(MenuTexts(GetMenu(frame)), (std::vector<std::string>{"Project", "Help"}));
}

TEST_F(MDIForms, TheStyleIsTakenBeforeTheWindowExists) {
    Parent->HandleNeeded();
    EXPECT_THROW(Parent->SetFormStyle(fsNormal), EInvalidOperation);
    std::unique_ptr<TForm> plain(Create<TForm>(nullptr, CreateNew));
    plain->HandleNeeded();
    EXPECT_THROW(plain->SetFormStyle(fsMDIChild), EInvalidOperation);
    plain->SetFormStyle(fsStayOnTop);  // other styles change at any time
    EXPECT_EQ(plain->ClientHandle(), nullptr);
}

TEST(MDIFormsAlone, AChildWithoutAParentRaises) {
    std::unique_ptr<TForm> child(Create<TForm>(nullptr, CreateNew));
    child->SetFormStyle(fsMDIChild);
    EXPECT_THROW(child->HandleNeeded(), EInvalidOperation);
}

TEST(MDIFormsAlone, ParentsAndChildrenLeaveNoWindowBehind) {
    const THandleCounts before = LiveHandles();
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<TForm> parent(Create<TForm>(nullptr, CreateNew));
        parent->SetFormStyle(fsMDIForm);
        parent->Show();
        for (int k = 0; k < 3; ++k) {
            TForm *child = Create<TForm>(parent.get(), CreateNew);
            child->SetFormStyle(fsMDIChild);
            child->Show();
        }
    }
    Application->ProcessMessages();
    EXPECT_EQ(LiveHandles(), before);
}

} // namespace
} // namespace vcl
