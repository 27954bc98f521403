// The skin editor's link with a skinned form (its message 0xA400, a skin
// pushed with WM_COPYDATA, the form's announcement) and the end of the
// session.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "FormsTestSupport.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sPushedSkin.h"

namespace skin {
namespace {

using namespace skin::test;

constexpr UINT kEditorLink = 0xA400;

struct EditorLink : FormsFixture {
    TestForm Form;
    FormWatcher Watcher{Form.Form};
    TsSkinProvider *P = vcl::Create<TsSkinProvider>(Form.Form);

    void SetUp() override { Form.Show(); }
    void TearDown() override {
        delete std::exchange(Form.Form, nullptr);
        FormsState() = {};
    }
    HWND Window() { return Form.Form->Handle(); }
    // Pushes Size bytes that start with Magic; the answer.
    LRESULT Push(std::size_t Size, std::uint32_t Magic = PushedSkinMagic, WPARAM WParam = 7) {
        Block.assign(Size, 0x5A);
        std::memcpy(Block.data(), &Magic, std::min<std::size_t>(Size, 4));
        COPYDATASTRUCT copy{7, static_cast<DWORD>(Size), Block.data()};
        return SendMessageW(Window(), WM_COPYDATA, WParam, reinterpret_cast<LPARAM>(&copy));
    }
    // The requests to apply a pushed skin, taken out of the queue unapplied.
    int Requests() {
        int count = 0;
        for (MSG m; PeekMessageW(&m, vcl::Application->Handle(), SM_SKINCOMMAND, SM_SKINCOMMAND, PM_REMOVE);)
            count += SubCommandOf(m.wParam) == SC_APPLY_PUSHED_SKIN;
        return count;
    }
    std::vector<std::uint8_t> Block;
};

TEST_F(EditorLink, TheEditorsMessageAnswersThatTheFormLivesOrClosesIt) {
    EXPECT_EQ(SendMessageW(Window(), kEditorLink, 4, 0), 1);
    EXPECT_EQ(SendMessageW(Window(), kEditorLink, 2, 0), 0);
    EXPECT_FALSE(Watcher.Saw(kEditorLink));
    SendMessageW(Window(), kEditorLink, 1, 0);
    EXPECT_FALSE(Form.Form->Visible());
}

TEST_F(EditorLink, APushToTheAnnouncedFormIsTakenAsFarAsItsBlockReaches) {
    ASSERT_EQ(DefaultManager(), Manager.get());
    std::array<std::uint8_t, PushedSkinBlockSize> &pushed = Manager->PushedSkin;
    pushed.fill(0xEE);
    const auto untouchedFrom = [&](std::size_t At) {
        return std::all_of(pushed.begin() + At, pushed.end(), [](auto b) { return b == 0xEE; });
    };
    Requests();
    EXPECT_EQ(Push(500), 0);  // the form was never announced
    FormsState().LinkedWindow = Window();
    EXPECT_EQ(Push(500, 0xA401), 0);
    EXPECT_EQ(Push(3), 0);
    EXPECT_EQ(Push(500, PushedSkinMagic, 6), 0);
    EXPECT_TRUE(untouchedFrom(0));
    EXPECT_EQ(Requests(), 0);

    EXPECT_EQ(Push(100), 1);
    EXPECT_TRUE(std::equal(Block.begin(), Block.end(), pushed.begin()));
    EXPECT_TRUE(untouchedFrom(100));
    EXPECT_EQ(Requests(), 1);
    EXPECT_EQ(Push(PushedSkinBlockSize + 50), 1);
    EXPECT_TRUE(std::equal(pushed.begin(), pushed.end(), Block.begin()));
    EXPECT_EQ(Requests(), 1);
    EXPECT_TRUE(Watcher.Saw(WM_COPYDATA));  // the form saw each first
}

// A window captioned as the skin editor that takes the announcement on its third.
struct FakeEditor {
    static inline std::vector<LPARAM> Announced;
    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WParam, LPARAM LParam) {
        if (Msg != kEditorLink || WParam != 3) return DefWindowProcW(W, Msg, WParam, LParam);
        Announced.push_back(LParam);
        return Announced.size() >= 3 ? 1 : 0;
    }
    FakeEditor() {
        WNDCLASSW wc{0, &Proc, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"ZuvoFakeEditor"};
        RegisterClassW(&wc);
        Window = CreateWindowExW(0, wc.lpszClassName, L"Glimmoras Editor", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        Announced.clear();
    }
    ~FakeEditor() { DestroyWindow(Window); }
    HWND Window;
};

TEST_F(EditorLink, TheFormIsAnnouncedOnlyInPreviewUntilTheEditorTakesIt) {
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(FormsState().LinkedWindow, nullptr);
    FormsState().PreviewFlag = true;
    TsSkinProvider::LinkToEditor(Window());  // no editor: linked, given up at once
    EXPECT_EQ(FormsState().LinkedWindow, Window());
    EXPECT_FALSE(FormsState().PreviewFlag);

    FormsState() = {};
    FakeEditor editor;
    FormsState().PreviewFlag = true;
    TsSkinProvider::LinkToEditor(Window());
    TsSkinProvider::LinkToEditor(Window());
    EXPECT_EQ(FakeEditor::Announced, std::vector<LPARAM>(3, reinterpret_cast<LPARAM>(Window())));
}

TEST_F(EditorLink, TheSessionsEndIsNotedAndReachesTheForm) {
    TvlStateOverride ending(ModuleState().SessionEnding, false);
    Through(Form.Form, WM_QUERYENDSESSION);
    EXPECT_TRUE(ModuleState().SessionEnding);
    EXPECT_TRUE(Watcher.Saw(WM_QUERYENDSESSION));
}

} // namespace
} // namespace skin
