// The form's window procedure under a provider: which messages the
// skinned route keeps from the form and what they answer, what both routes
// answer of the command message, and what passes on untouched; the skin
// commands that the form answers by itself.
#include <gtest/gtest.h>

#include <memory>

#include "FormsTestSupport.h"
#include "skin/manager/sMessages.h"

namespace skin {
namespace {

using namespace skin::test;

struct FormProc : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};  // the provider's saved procedure
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    // What the provider's construction sent is not what a test looks for.
    void SetUp() override { Watcher.Seen.clear(); }
    // The form (and its provider) go before the watcher they pass on to.
    void TearDown() override {
        delete Form.Form;
        Form.Form = nullptr;
    }
    vcl::TForm *F() { return Form.Form; }
    // The form loses its section: the unskinned route.
    void Unskin() {
        P->SkinData()->SetSkinSection("NOSUCHSECTION");
        ASSERT_FALSE(P->SkinData()->IsSkinned(false));
    }
    // Whether the message reached the form's own procedure.
    bool Reached(UINT Msg) {
        const bool seen = Watcher.Saw(Msg);
        Watcher.Seen.clear();
        return seen;
    }
};

constexpr UINT kUnknown = WM_USER + 77;
constexpr UINT kNothing = vcl::CM_BASE + 76;
constexpr UINT kRegionProbe = 0xBC4D;

TEST_F(FormProc, SkinnedRouteSwallowsWhatThePartsKeepFromTheForm) {
    ASSERT_TRUE(P->SkinData()->IsSkinned(false));
    // Swallowed with the answer untouched.
    for (UINT msg : {UINT(WM_PRINTCLIENT), UINT(WM_DWMSENDICONICTHUMBNAIL), UINT(WM_DWMSENDICONICLIVEPREVIEWBITMAP)}) {
        EXPECT_EQ(Through(F(), msg, 0, 0, 77).Result, 77) << msg;
        EXPECT_FALSE(Reached(msg)) << msg;
    }
    // Answered 0.
    for (UINT msg : {UINT(WM_ENTERIDLE), kNothing, kRegionProbe}) {
        EXPECT_EQ(Through(F(), msg, 0x41A2, 0, 77).Result, 0) << msg;
        EXPECT_FALSE(Reached(msg)) << msg;
    }
    // Anything outside the table reaches the form.
    Through(F(), kUnknown);
    EXPECT_TRUE(Reached(kUnknown));
}

TEST_F(FormProc, UnskinnedRoutePassesEverythingButItsCommands) {
    Unskin();
    for (UINT msg : {UINT(WM_PRINTCLIENT), UINT(WM_ENTERIDLE), kNothing, kRegionProbe, kUnknown}) {
        Through(F(), msg);
        EXPECT_TRUE(Reached(msg)) << msg;
    }
}

TEST_F(FormProc, CommandsAnsweredOnBothRoutesNeverReachTheForm) {
    for (bool skinned : {true, false}) {
        if (!skinned) Unskin();
        EXPECT_EQ(Command(F(), SC_IS_HANDLED), 1);
        EXPECT_EQ(Command(F(), SC_QUERY_FORM_PROVIDER), reinterpret_cast<LRESULT>(static_cast<TvlFormProvider *>(P)));
        EXPECT_EQ(Command(F(), SC_GET_APPLICATION), reinterpret_cast<LRESULT>(vcl::Application));
        const LRESULT flags = Command(F(), SC_QUERY_BG_FLAGS);  // computed first when not yet known
        EXPECT_EQ(flags, P->SkinData()->BGFlags());
        EXPECT_FALSE(flags & bgfUndetermined);
        EXPECT_FALSE(Reached(SM_SKINCOMMAND)) << skinned;
    }
}

TEST_F(FormProc, AnUnknownCommandEndsAtTheSkinnedFormButReachesAnUnskinnedOne) {
    EXPECT_EQ(Command(F(), 69, 5), 0);
    EXPECT_FALSE(Reached(SM_SKINCOMMAND));
    Unskin();
    Command(F(), 69, 5);
    EXPECT_TRUE(Reached(SM_SKINCOMMAND));
}

TEST_F(FormProc, BuildingTheCacheOfAnUnskinnedFormOnlyDeclaresItValid) {
    Unskin();
    P->SkinData()->BGChanged = true;
    Command(F(), SC_BUILD_CACHE);
    EXPECT_FALSE(P->SkinData()->BGChanged);
    EXPECT_EQ(P->SkinData()->CacheBmp(), nullptr);  // nothing painted
}

TEST_F(FormProc, TheFormKeepsTheGluedMoveAndUpdatingStates) {
    Command(F(), SC_SET_GLUED_MOVE, 1);
    EXPECT_EQ(Command(F(), SC_IS_GLUED_MOVE), 1);
    EXPECT_TRUE(P->StateFlags & pfGluedMove);
    Command(F(), SC_SET_GLUED_MOVE, 2);
    EXPECT_EQ(Command(F(), SC_IS_GLUED_MOVE), 0);

    Command(F(), SC_SET_UPDATING, 0, 1);
    EXPECT_EQ(Command(F(), SC_IS_UPDATING), 1);
    {
        TvlStateOverride animating(ModuleState().FormAnimationActive, true);
        EXPECT_EQ(Command(F(), SC_IS_UPDATING), 0);
    }
    Command(F(), SC_SET_UPDATING, 0, 0);
    EXPECT_EQ(Command(F(), SC_IS_UPDATING), 0);
    P->SkinData()->BGChanged = false;
    Command(F(), SC_INVALIDATE_CACHE);
    EXPECT_TRUE(P->SkinData()->BGChanged);
}

TEST_F(FormProc, ClientOffsetsAreWhereTheSystemPutsTheClientArea) {
    for (vcl::TFormBorderStyle style : {vcl::bsSizeable, vcl::bsSingle, vcl::bsDialog, vcl::bsToolWindow, vcl::bsNone}) {
        F()->SetBorderStyle(style);
        Form.Show();
        RECT window{};
        GetWindowRect(F()->Handle(), &window);
        POINT client{0, 0};
        ClientToScreen(F()->Handle(), &client);
        const LRESULT offset = Command(F(), SC_GET_CLIENT_OFFSET);
        EXPECT_EQ(LOWORD(offset), client.x - window.left) << style;
        EXPECT_EQ(HIWORD(offset), client.y - window.top) << style;
        EXPECT_EQ(P->GetClientOffsetX(), client.x - window.left);
        EXPECT_EQ(P->GetClientOffsetY(), client.y - window.top);
    }
}

TEST_F(FormProc, BorderWidthQuestionAnswersTheFrameOrTheAskersOwnValue) {
    F()->SetBorderStyle(vcl::bsSizeable);
    Form.Show();
    EXPECT_EQ(Command(F(), SC_GET_BORDER_WIDTH, 99), (F()->Width() - F()->ClientWidth()) / 2);
    F()->SetBorderStyle(vcl::bsNone);
    Form.Show();
    ASSERT_EQ(F()->Width(), F()->ClientWidth());
    EXPECT_EQ(Command(F(), SC_GET_BORDER_WIDTH, 99), 99);
}

TEST_F(FormProc, FormAlphaIsSetOnlyOnAVisibleForm) {
    const HWND wnd = F()->Handle();
    Command(F(), SC_SET_FORM_ALPHA, 128);
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);  // hidden: nothing
    Form.Show();
    Command(F(), SC_SET_FORM_ALPHA, 255);
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    Command(F(), SC_SET_FORM_ALPHA, 128);
    ASSERT_TRUE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_TRUE(flags & LWA_ALPHA);
    Command(F(), SC_SET_FORM_ALPHA, 255);
    EXPECT_FALSE(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

} // namespace
} // namespace skin
