// The skinned form's other messages: the skin editor's link (its message
// 0xA400, a skin pushed with WM_COPYDATA and the announcement of the form),
// the end of the session, the popup menus of the window, menu loops, menu
// changes and caption texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "FormsTestSupport.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sPushedSkin.h"
#include "vcl/Bitmap.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr UINT kEditorLink = 0xA400;

struct FormMessages : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override {
        Form.Show();
        Watcher.Seen.clear();
    }
    void TearDown() override {
        delete Form.Form;
        Form.Form = nullptr;
        FormsState().LinkedWindow = nullptr;
        FormsState().PreviewFlag = false;
    }
    vcl::TForm *F() { return Form.Form; }
    HWND Window() { return F()->Handle(); }
    bool Reached(UINT Msg) {
        const bool seen = Watcher.Saw(Msg);
        Watcher.Seen.clear();
        return seen;
    }
};

TEST_F(FormMessages, TheEditorsMessageClosesTheFormOrAnswersThatItLives) {
    EXPECT_EQ(SendMessageW(Window(), kEditorLink, 4, 0), 1);
    EXPECT_EQ(SendMessageW(Window(), kEditorLink, 2, 0), 0);
    EXPECT_FALSE(Reached(kEditorLink));
    EXPECT_TRUE(F()->Visible());
    SendMessageW(Window(), kEditorLink, 3, 0);
    EXPECT_TRUE(Reached(kEditorLink));
    SendMessageW(Window(), kEditorLink, 1, 0);
    EXPECT_FALSE(F()->Visible());
}

// ----------------------------------------------------------- pushed skins

struct PushedSkin : FormMessages {
    void SetUp() override {
        FormMessages::SetUp();
        ASSERT_EQ(DefaultManager(), Manager.get());
        Manager->PushedSkin.fill(0xEE);
        FormsState().LinkedWindow = Window();
        DropPosted();
    }
    // A block of Size bytes starting with Magic, then bytes counting up.
    static std::vector<std::uint8_t> Block(std::size_t Size, std::uint32_t Magic = PushedSkinMagic) {
        std::vector<std::uint8_t> block(Size);
        for (std::size_t i = 0; i < Size; ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 1);
        std::memcpy(block.data(), &Magic, std::min<std::size_t>(Size, 4));
        return block;
    }
    LRESULT Push(std::vector<std::uint8_t> &Data, WPARAM WParam = 7) {
        COPYDATASTRUCT copy{7, static_cast<DWORD>(Data.size()), Data.data()};
        return SendMessageW(Window(), WM_COPYDATA, WParam, reinterpret_cast<LPARAM>(&copy));
    }
    // How many requests to apply the pushed skin wait for the application
    // (taken out: the tests apply nothing).
    int DropPosted() {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, vcl::Application->Handle(), SM_SKINCOMMAND, SM_SKINCOMMAND, PM_REMOVE))
            if (SubCommandOf(msg.wParam) == SC_APPLY_PUSHED_SKIN) ++count;
        return count;
    }
    bool Untouched() const {
        return std::all_of(Manager->PushedSkin.begin(), Manager->PushedSkin.end(), [](auto b) { return b == 0xEE; });
    }
};

TEST_F(PushedSkin, AWholeBlockIsTakenAndItsApplicationRequested) {
    std::vector<std::uint8_t> block = Block(PushedSkinBlockSize + 100);
    EXPECT_EQ(Push(block), 1);
    EXPECT_TRUE(std::equal(Manager->PushedSkin.begin(), Manager->PushedSkin.end(), block.begin()));
    EXPECT_EQ(DropPosted(), 1);
    EXPECT_TRUE(Reached(WM_COPYDATA));  // the form saw it first
}

TEST_F(PushedSkin, AShortBlockIsTakenAsFarAsItReaches) {
    std::vector<std::uint8_t> block = Block(100);
    Push(block);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), Manager->PushedSkin.begin()));
    EXPECT_TRUE(std::all_of(Manager->PushedSkin.begin() + 100, Manager->PushedSkin.end(), [](auto b) { return b == 0xEE; }));
    EXPECT_EQ(DropPosted(), 1);
}

TEST_F(PushedSkin, WhatIsNoPushChangesNothing) {
    std::vector<std::uint8_t> wrongMagic = Block(500, 0xA401);
    std::vector<std::uint8_t> tiny = Block(3);
    std::vector<std::uint8_t> good = Block(500);
    EXPECT_EQ(Push(wrongMagic), 0);
    EXPECT_EQ(Push(tiny), 0);
    EXPECT_EQ(Push(good, 6), 0);
    SendMessageW(Window(), WM_COPYDATA, 7, 0);
    FormsState().LinkedWindow = nullptr;  // the form was never announced
    EXPECT_EQ(Push(good), 0);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(DropPosted(), 0);
}

TEST_F(PushedSkin, NoPushIsTakenWhileAnotherIsBeingTaken) {
    TvlStateOverride taking(ModuleState().TakingPush, true);
    std::vector<std::uint8_t> good = Block(500);
    Push(good);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(DropPosted(), 0);
}

// ----------------------------------------------------------- announcement

// A window captioned as the skin editor that answers the announcement with
// 1 from its Accept-th one on.
struct FakeEditor {
    explicit FakeEditor(int Accept) {
        Self() = this;
        AcceptAt = Accept;
        WNDCLASSW wc{};
        wc.lpfnWndProc = &FakeEditor::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZuvoFakeEditor";
        RegisterClassW(&wc);
        Window = CreateWindowExW(0, L"ZuvoFakeEditor", L"Glimmoras Editor", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~FakeEditor() {
        DestroyWindow(Window);
        Self() = nullptr;
    }
    static FakeEditor *&Self() {
        static FakeEditor *self = nullptr;
        return self;
    }
    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg == kEditorLink && Self()) {
            Self()->Announced.push_back({WParam, LParam});
            return static_cast<int>(Self()->Announced.size()) >= Self()->AcceptAt ? 1 : 0;
        }
        return DefWindowProcW(W, Msg, WParam, LParam);
    }
    HWND Window = nullptr;
    int AcceptAt = 0;
    std::vector<std::pair<WPARAM, LPARAM>> Announced;
};

TEST_F(FormMessages, WithoutAnEditorTheLinkGivesUpAtOnceAndPreviewEnds) {
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(FormsState().LinkedWindow, nullptr);  // not in preview mode: nothing
    FormsState().PreviewFlag = true;
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(FormsState().LinkedWindow, Window());
    EXPECT_FALSE(FormsState().PreviewFlag);
}

TEST_F(FormMessages, TheFormIsAnnouncedUntilTheEditorTakesItAndOnlyOnce) {
    FakeEditor editor(3);
    ASSERT_NE(editor.Window, nullptr);
    FormsState().PreviewFlag = true;
    TsSkinProvider::LinkToEditor(Window());
    using Call = std::pair<WPARAM, LPARAM>;
    const Call announce{3, reinterpret_cast<LPARAM>(Window())};
    EXPECT_EQ(editor.Announced, (std::vector<Call>{announce, announce, announce}));
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(editor.Announced.size(), 3u);
}

TEST_F(FormMessages, AnEditorThatNeverTakesItIsAskedAHundredAndOneTimes) {
    FakeEditor editor(1000);
    FormsState().PreviewFlag = true;
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(editor.Announced.size(), 101u);
}

// ------------------------------------------------------------ the others

TEST_F(FormMessages, TheSessionsEndIsNotedAndReachesTheForm) {
    TvlStateOverride ending(ModuleState().SessionEnding, false);
    const DWORD start = GetTickCount();
    Through(F(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_TRUE(ModuleState().SessionEnding);
    EXPECT_TRUE(Reached(WM_QUERYENDSESSION));
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(FormMessages, WindowMenusOpenOnlyWhilePopupsAreSkinnedAndThenWithoutSize) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, SC_SIZE, L"Size");
    AppendMenuW(menu, MF_STRING, SC_MOVE, L"Move");
    Manager->SetSkinnedPopups(false);
    Through(F(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_FALSE(Reached(WM_INITMENUPOPUP));
    EXPECT_FALSE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);

    Manager->SetSkinnedPopups(true);
    Through(F(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
    EXPECT_TRUE(Reached(WM_INITMENUPOPUP));
    EXPECT_FALSE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    Through(F(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_TRUE(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED);
    DestroyMenu(menu);
}

TEST_F(FormMessages, AMenuLoopMarksTheFormBusy) {
    Through(F(), WM_ENTERMENULOOP);
    EXPECT_TRUE(P->InSizeMove);
    Through(F(), WM_EXITMENULOOP);
    EXPECT_FALSE(P->InSizeMove);
    EXPECT_TRUE(Watcher.Saw(WM_ENTERMENULOOP) && Watcher.Saw(WM_EXITMENULOOP));
}

TEST_F(FormMessages, AMenuChangeInvalidatesTheFrameUnlessItIsHeldFromOutside) {
    const auto arm = [&] {
        P->MenuLineCount = 2;
        P->FrameChanged = false;
        P->SkinData()->BGChanged = false;
    };
    arm();
    Through(F(), vcl::CM_MENUCHANGED);
    EXPECT_EQ(P->MenuLineCount, -1);
    EXPECT_TRUE(P->FrameChanged);
    EXPECT_TRUE(P->SkinData()->BGChanged);
    EXPECT_TRUE(Reached(vcl::CM_MENUCHANGED));

    arm();
    P->SkinData()->SetBGFlags(P->SkinData()->BGFlags() | bgfPaintLockTaken);
    Through(F(), vcl::CM_MENUCHANGED);
    EXPECT_EQ(P->MenuLineCount, 2);
    EXPECT_FALSE(P->SkinData()->BGChanged);
    EXPECT_TRUE(Reached(vcl::CM_MENUCHANGED));
}

TEST_F(FormMessages, ANewCaptionDropsTheGlowsAndRepaintsTheFrame) {
    ASSERT_FALSE(P->CompositionOn);
    for (auto &glow : P->CaptionGlows) glow = std::make_unique<vcl::TBitmap>();
    P->SkinData()->BGChanged = false;
    MessageTap tap(F(), {WM_NCPAINT});  // in front of the provider
    F()->SetCaption("Another caption");
    EXPECT_EQ(P->CaptionGlows[0], nullptr);
    EXPECT_EQ(P->CaptionGlows[1], nullptr);
    EXPECT_TRUE(P->SkinData()->BGChanged);
    EXPECT_TRUE(Watcher.Saw(WM_SETTEXT));
    EXPECT_GE(tap.Count(WM_NCPAINT), 1);
    wchar_t text[64]{};
    GetWindowTextW(Window(), text, 64);
    EXPECT_STREQ(text, L"Another caption");
}

TEST_F(FormMessages, ASettingChangeInvalidatesTheFrame) {
    P->SkinData()->BGChanged = false;
    Through(F(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_TRUE(P->SkinData()->BGChanged);
    EXPECT_TRUE(Reached(WM_SETTINGCHANGE));
}

} // namespace
} // namespace skin
