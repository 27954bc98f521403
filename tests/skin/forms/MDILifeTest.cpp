// The life of skinned MDI forms: the child activated last through its
// provider, a maximized child counted by its parent, a child's system
// buttons kept off while it is not maximized.
#include <gtest/gtest.h>

#include "MDITestApp.h"
#include "skin/forms/sMDIForm.h"

namespace skin::test {
namespace {

using MDILife = MDIFixture;

LONG_PTR StyleOf(HWND Window) { return GetWindowLongPtrW(Window, GWL_STYLE); }

// The colour a window shows at (X, Y) of its own DC.
vcl::TColor PixelOf(HWND Window, int X, int Y) {
    const uitest::TImage32 image = uitest::CaptureWindow(Window);
    const std::uint32_t p = image.At(X, Y);
    return static_cast<vcl::TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

// The client's lower right corner, which no child covers.
vcl::TColor ClientCorner(const TMDITestApp &App) {
    RECT r{};
    GetClientRect(App.Client(), &r);
    return PixelOf(App.Client(), r.right - 8, r.bottom - 8);
}

TEST_F(MDILife, TheParentCountsAMaximizedChildActivatedThroughAProvider) {
    TMDITestApp app;
    TsSkinProvider &parent = *app.ParentProvider;
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(1)) << "the child shown last";
    EXPECT_FALSE(parent.MDIChildMaximized()) << "not maximized";

    app.Command(1, SC_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(app.ChildWindow(1)));
    EXPECT_TRUE(parent.MDIChildMaximized());
    EXPECT_FALSE(app.ChildProvider(1)->MDIChildMaximized()) << "a child is no parent";

    // Another child activated: the system maximizes it in its turn.
    app.Activate(0);
    EXPECT_EQ(FormsState().MDIChildActivator, app.ChildProvider(0));
    EXPECT_EQ(parent.MDIChildMaximized(), IsZoomed(app.ChildWindow(0)) != 0);
    app.Child(0)->SetBorderIcons({});
    EXPECT_FALSE(parent.MDIChildMaximized()) << "no system menu";
    app.Child(0)->SetBorderIcons({vcl::biSystemMenu, vcl::biMinimize, vcl::biMaximize});

    app.Command(0, SC_RESTORE);
    EXPECT_FALSE(parent.MDIChildMaximized());
    app.Command(0, SC_MAXIMIZE);
    EXPECT_TRUE(parent.MDIChildMaximized());
    // The activating provider goes: no child counts as activated through one.
    delete app.ChildProvider(0);
    EXPECT_EQ(FormsState().MDIChildActivator, nullptr);
    EXPECT_FALSE(parent.MDIChildMaximized());
}

TEST_F(MDILife, AChildThatIsNotMaximizedLosesItsSystemButtonsWhenActivated) {
    TMDITestApp app;
    const HWND child = app.ChildWindow(0);
    SetWindowLongPtrW(child, GWL_STYLE, StyleOf(child) | WS_SYSMENU);
    app.Activate(0);
    EXPECT_FALSE(StyleOf(child) & WS_SYSMENU);
}

TEST_F(MDILife, TheClientShowsTheSkinsMDIAreaAndTheFormsFaceWithoutOne) {
    TMDITestApp app;
    EXPECT_EQ(ClientCorner(app), MDIAreaColor);
    app.Command(1, SC_MAXIMIZE);
    app.Command(1, SC_RESTORE);
    EXPECT_EQ(ClientCorner(app), MDIAreaColor) << "after a maximize and restore";

    // A skin without the section: the form's own face shows.
    TestSkin plain = MDITestSkin();
    plain.Options.erase(plain.Options.find("[MDIAREA]"), std::string("[MDIAREA]\r\nCOLOR=0x2E7A3C\r\n").size());
    AddStoredSkin(*Manager, "Plain", plain.Packed());
    Manager->SetSkinName("Plain");
    TMDITestApp::Pump();
    RedrawWindow(app.Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_NE(ClientCorner(app), MDIAreaColor);
}

} // namespace
} // namespace skin::test
