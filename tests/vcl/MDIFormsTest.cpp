// Multiple-document forms: the parent's client window, children made in it,
// the list of children and the active one, the style taken only before the
// window exists, and the handles of many parents and children.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "UiDriver.h"
#include "vcl/Forms.h"
#include "vcl/HandleCounts.h"

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
