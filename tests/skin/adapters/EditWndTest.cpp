// The edit adapter on a form of the edit family: a TMemo of 10,000 lines,
// a TEdit, a bare multi-line "Edit" and a bare "ListBox". The memo takes
// the section's colours and gets its own back; every scrolling way (arrow,
// track, thumb drag to the end, wheel, keys, a line move inside a scroll
// message) leaves the skin's bar on the screen; the skin goes and comes
// back; the handle counts stay flat; the form is kept as a picture skinned
// and unskinned.
#include <gtest/gtest.h>

#include <filesystem>

#include "FreedMemoryMark.h"
#include "ScrollBarsTestSupport.h"
#include "skin/adapters/vlEditWnd.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinCommands.h"
#include "vcl/StdCtrls.h"
#include "vcl/WideText.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

constexpr vcl::TColor MemoOwnColor = 0x123456, MemoOwnFont = 0x00A000;

std::string ManyLines(int N) {
    std::string text;
    for (int i = 0; i < N; ++i) text += "Line " + std::to_string(i) + "\r\n";
    return text;
}

void SaveArtifact(HWND Window, const std::string &Name) {
    std::string unixFolder = "Z:" ZUVO_ARTIFACTS_FOLDER;
    std::replace(unixFolder.begin(), unixFolder.end(), '/', '\\');
    const auto folder = std::filesystem::path(vcl::Utf8ToWide(unixFolder));
    std::filesystem::create_directories(folder);
    uitest::WritePng((folder / Name).string(), uitest::CaptureWindow(Window));
    EXPECT_TRUE(std::filesystem::exists(folder / Name));
}

class EditWnd : public AdaptersFixture {
protected:
    EditWnd() {
        Manager.reset();
        Manager = ScrollSkinManager();
        SetCursorPos(5, 5);
        Form.Form->SetBounds(100, 100, 560, 420);
        Memo = Form.Add(vcl::Create<vcl::TMemo>(Form.Form), 10, 10);
        Memo->SetBounds(10, 10, 220, 200);
        Memo->SetScrollBars(vcl::ssVertical);
        Memo->SetColor(MemoOwnColor);
        Memo->Font()->SetColor(MemoOwnFont);
        Memo->Lines()->SetText(ManyLines(10000));
        Edit = Form.Add(vcl::Create<vcl::TEdit>(Form.Form), 10, 230);
        Edit->SetText("Single line");
        Form.Show();
        const HWND parent = Form.Form->WindowHandle();
        BareEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE,
                                   250, 10, 200, 150, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowTextW(BareEdit, vcl::Utf8ToWide(ManyLines(300)).c_str());
        BareList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 250, 180, 200, 150, parent,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        for (int i = 0; i < 100; ++i)
            SendMessageW(BareList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Item"));
        Skin();
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
        Memo->SetFocus();
        RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(50ms);
    }
    ~EditWnd() override {
        MouseButton(MOUSEEVENTF_LEFTUP);
        SetCursorPos(5, 5);
    }
    void Skin() {
        Adapters.push_back(AdapterFactory().CreateAdapter(tpEdit, Memo->Handle(), ParamsFor(Memo), Manager.get()));
        Adapters.push_back(AdapterFactory().CreateAdapter(tpEdit, Edit->Handle(), ParamsFor(Edit), Manager.get()));
        Adapters.push_back(AdapterFactory().CreateAdapter(tpEdit, BareEdit, ParamsFor(nullptr), Manager.get()));
        Adapters.push_back(AdapterFactory().CreateAdapter(tpEdit, BareList, ParamsFor(nullptr), Manager.get()));
    }
    TvlEditWnd &Of(int I) { return *dynamic_cast<TvlEditWnd *>(static_cast<TvlMainWnd *>(Adapters[I].get())); }
    ::testing::AssertionResult Skinned(int I) {
        PumpFor(30ms);
        const HWND w = Of(I).Handle;
        return ShowsSkinnedBar(uitest::CaptureWindow(w), InWindow(w, VertScrollBarRect(Of(I))));
    }
    int MemoTop() const { return static_cast<int>(SendMessageW(Memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
    void Key(WORD Vk) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = Vk;
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        PumpFor(80ms);
    }

    TestForm Form;
    vcl::TMemo *Memo;
    vcl::TEdit *Edit;
    HWND BareEdit = nullptr, BareList = nullptr;
    std::vector<std::unique_ptr<TvlWindowAdapter>> Adapters;
};

TEST_F(EditWnd, MemoFollowsTheSectionAndGetsItsOwnColoursBack) {
    EXPECT_EQ(Of(0).SkinData->SkinSection(), "EDIT");
    EXPECT_EQ(Memo->Color(), EditFace);
    EXPECT_EQ(Memo->Font()->Color(), EditInk);
    EXPECT_EQ(Of(0).AppliedColor, EditFace);
    EXPECT_FALSE(Of(0).SingleLineEdit);
    EXPECT_TRUE(Of(1).SingleLineEdit);
    EXPECT_EQ(Of(3).AppliedColor, EditFace);  // a bare window: the section's colour
    EXPECT_EQ(ColorAt(uitest::CaptureWindow(Memo->Handle()), 150, 5), EditFace);  // right of the short lines
    Adapters.clear();
    EXPECT_EQ(Memo->Color(), MemoOwnColor);
    EXPECT_EQ(Memo->Font()->Color(), MemoOwnFont);
}

// A control whose answer to its new font frees the adapter that gave it:
// the adapter's colouring stops without touching the freed adapter or its
// skin data.
TEST_F(EditWnd, AnAdapterFreedByTheFontItGaveIsNotTouchedAgain) {
    struct Freeing {
        std::unique_ptr<TvlWindowAdapter> *Doomed = nullptr;
        vcl::TWndMethod Next;
        void Call(vcl::TMessage &M) {
            Next(M);
            if (M.Msg == vcl::CM_FONTCHANGED && Doomed) std::exchange(Doomed, nullptr)->reset();
        }
    } freeing;
    Memo->Font()->SetColor(MemoOwnFont);
    TvlEditWnd *adapter = &Of(0);
    const TsCommonData *data = adapter->SkinData;
    freeing.Next = Memo->WindowProc;
    Memo->WindowProc = vcl::TWndMethod::Bind<&Freeing::Call>(&freeing);
    {
        const TFreedMemoryMark mark;
        freeing.Doomed = &Adapters[0];
        adapter->ApplySkinColors();
        EXPECT_TRUE(mark.Freed(adapter));
        EXPECT_TRUE(mark.Untouched(adapter));
        EXPECT_TRUE(mark.Untouched(data));
        EXPECT_EQ(mark.Faults(), 0);
    }
    Memo->WindowProc = freeing.Next;
    EXPECT_EQ(Memo->Font()->Color(), MemoOwnFont);  // given back by the freed adapter
}

// A section of two states without a border mask still shows the focus
// through the adapter's own step (the common stage's focus colours left
// out, as for a kind without hot colours): the focused edit and its frame
// take the second state's colour, and the first comes back with the focus
// gone.
TEST_F(EditWnd, FocusTakesTheSecondStateOfASectionWithoutABorderMask) {
    ApplyActiveEditSkin(*Manager);
    TsCommonData &data = *Of(1).SkinData;
    ASSERT_LT(data.BorderIndex(), 0);
    data.ControlKind = 100;
    ASSERT_FALSE(HotColorKinds.Contains(data.ControlKind));
    const auto frame = [&] { return ColorAt(uitest::CaptureWindow(Edit->Handle()), 1, 1); };
    ASSERT_EQ(frame(), EditFace);
    Edit->SetFocus();
    PumpFor(40ms);
    EXPECT_TRUE(data.Focused);
    EXPECT_EQ(Edit->Color(), EditActiveFace);
    EXPECT_EQ(frame(), EditActiveFace);
    Memo->SetFocus();
    PumpFor(40ms);
    EXPECT_FALSE(data.Focused);
    EXPECT_EQ(Edit->Color(), EditFace);
    EXPECT_EQ(frame(), EditFace);
}

TEST_F(EditWnd, EveryControlShowsSkinnedBarsAndTheSingleLineEditNone) {
    EXPECT_TRUE(Of(0).VertBar->Shown);
    EXPECT_FALSE(Of(1).VertBar->Shown);
    for (int i : {0, 2, 3}) EXPECT_TRUE(Skinned(i)) << i;
    SaveArtifact(Form.Form->WindowHandle(), "edit-family-skinned.png");
    Adapters.clear();
    RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50ms);
    SaveArtifact(Form.Form->WindowHandle(), "edit-family-unskinned.png");
}

TEST_F(EditWnd, MemoArrowTrackThumbWheelAndKeysScrollAndTheBarStaysSkinned) {
    TvlEditWnd &memo = Of(0);
    vcl::TRect bar = VertScrollBarRect(memo);
    const int b = ScrollBarMetric(*memo.VertBar, false), x = (bar.Left + bar.Right) / 2;
    ClickAt(x, bar.Bottom - b / 2);
    EXPECT_EQ(MemoTop(), 1);
    EXPECT_TRUE(Skinned(0));
    ClickAt(x, bar.Bottom - b - 3);
    EXPECT_GT(MemoTop(), 5);
    EXPECT_TRUE(Skinned(0));
    Key(VK_NEXT);
    const int paged = MemoTop();
    EXPECT_GT(paged, 10);
    EXPECT_TRUE(Skinned(0));
    SetCursorPos(bar.Left - 60, bar.Top + 60);
    PumpFor(30ms);
    MouseButton(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
    PumpFor(80ms);
    EXPECT_GT(MemoTop(), paged);
    EXPECT_TRUE(Skinned(0));
    // The thumb dragged to the end shows the last line.
    SendMessageW(Memo->Handle(), EM_LINESCROLL, 0, -100000);
    PumpFor(30ms);
    DragDown(x, bar.Top + b + 4, bar.Bottom + 30);
    const int lines = static_cast<int>(SendMessageW(Memo->Handle(), EM_GETLINECOUNT, 0, 0));
    RECT client{};
    GetClientRect(Memo->Handle(), &client);
    TEXTMETRICW tm{};
    {
        const vcl::TWindowDC dc(Memo->Handle());
        SelectObject(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(Memo->Handle(), WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc.Get(), &tm);
    }
    const int visible = client.bottom / tm.tmHeight;
    EXPECT_GE(MemoTop() + visible, lines - 1);
    EXPECT_TRUE(Skinned(0));
}

TEST_F(EditWnd, BareEditAndListBoxScrollWithSkinnedBars) {
    for (int i : {2, 3}) {
        TvlEditWnd &a = Of(i);
        const vcl::TRect bar = VertScrollBarRect(a);
        const int b = ScrollBarMetric(*a.VertBar, false);
        ClickAt((bar.Left + bar.Right) / 2, bar.Bottom - b / 2);
        EXPECT_TRUE(Skinned(i)) << i;
        SetCursorPos(bar.Left - 60, bar.Top + 40);
        PumpFor(30ms);
        MouseButton(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
        PumpFor(80ms);
        EXPECT_TRUE(Skinned(i)) << i;
    }
    EXPECT_GT(SendMessageW(BareEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    EXPECT_GT(SendMessageW(BareList, LB_GETTOPINDEX, 0, 0), 1);
}

// Inside a scroll message of its own, a list that moves its lines gets its
// skinned bar back at once, with the thumb where the lines went.
TEST_F(EditWnd, ALineMoveInsideAScrollMessageRepaintsTheSkinnedBar) {
    TvlEditWnd &a = Of(3);
    const vcl::TRect bar = InWindow(BareList, VertScrollBarRect(a));
    const int b = ScrollBarMetric(*a.VertBar, false);
    const struct {
        UINT Msg;
        WPARAM Index;
        int ThumbY;
    } moves[] = {{LB_SETTOPINDEX, 99, bar.Bottom - b - 2}, {LB_SETCURSEL, 0, bar.Top + b + 2}};
    for (const auto &m : moves) {
        a.InScrollMessage = true;
        SendMessageW(BareList, m.Msg, m.Index, 0);
        a.InScrollMessage = false;
        const uitest::TImage32 shot = uitest::CaptureWindow(BareList);
        EXPECT_EQ(ColorAt(shot, bar.Left + 2, m.ThumbY), Thumb) << m.Msg;
        EXPECT_TRUE(ShowsSkinnedBar(shot, bar)) << m.Msg;
    }
}

TEST_F(EditWnd, SkinRemovedAndAppliedAgainRestoresEveryControl) {
    // What a form's provider passes on to its controls.
    const auto tell = [&](unsigned Command) {
        for (auto &a : Adapters)
            SendMessageW(a->AdapterWindow(), SM_SKINCOMMAND, SkinCommand(Command), reinterpret_cast<LPARAM>(Manager.get()));
    };
    Manager->SetActive(false);
    tell(SC_SKIN_REMOVED);
    PumpFor(50ms);
    EXPECT_EQ(Memo->Color(), MemoOwnColor);
    EXPECT_EQ(Memo->Font()->Color(), MemoOwnFont);
    Manager->SetActive(true);
    tell(SC_SKIN_APPLIED);
    RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50ms);
    EXPECT_EQ(Memo->Color(), EditFace);
    EXPECT_EQ(Memo->Font()->Color(), EditInk);
    for (int i : {0, 2, 3}) EXPECT_TRUE(Skinned(i)) << i;
}

TEST_F(EditWnd, CreateDestroyAndPaintKeepHandleCountsFlat) {
    const auto cycle = [&] {
        auto *memo = Form.Add(vcl::Create<vcl::TMemo>(Form.Form), 10, 260);
        memo->SetScrollBars(vcl::ssVertical);
        memo->Lines()->SetText(ManyLines(30));
        auto adapter = AdapterFactory().CreateAdapter(tpEdit, memo->Handle(), ParamsFor(memo), Manager.get());
        RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        adapter.reset();
        delete memo;
    };
    cycle();
    const vcl::THandleCounts before = vcl::LiveHandles();
    for (int i = 0; i < 1000; ++i) cycle();
    EXPECT_EQ(vcl::LiveHandles(), before);
}

TEST(EditAdapterKeeper, AnAdapterIsKeptWhileTheSkinDataIsSkinnedAndMadeAgainWhenItLetGo) {
    AdapterModules modules;
    ManagerPtr manager = ScrollSkinManager();
    TestForm form;
    vcl::TEdit *edit = form.Add(vcl::Create<vcl::TEdit>(form.Form), 10, 10);
    form.Show();
    const HWND window = edit->Handle();
    TsCommonData data(edit, false);
    data.SetSkinManager(manager.get());
    data.SetSkinSection("EDIT");
    data.UpdateIndexes(true);
    ASSERT_TRUE(data.IsSkinned(false));
    std::unique_ptr<TvlEditWnd> adapter;
    UpdateEditAdapter(data, adapter);
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->Handle, window);
    EXPECT_EQ(adapter->SkinData, &data);
    EXPECT_EQ(AdapterOfWindow(window), adapter.get());
    // One that gave its window up makes room for a new one.
    RemoveWndHook(window, false, adapter.get());
    ASSERT_TRUE(adapter->Destroyed());
    UpdateEditAdapter(data, adapter);
    ASSERT_NE(adapter, nullptr);
    EXPECT_FALSE(adapter->Destroyed());
    EXPECT_EQ(AdapterOfWindow(window), adapter.get());
    // Not skinned: none.
    data.SetSkinSection("NO SUCH SECTION");
    data.UpdateIndexes(true);
    ASSERT_FALSE(data.IsSkinned(false));
    UpdateEditAdapter(data, adapter);
    EXPECT_EQ(adapter, nullptr);
    EXPECT_EQ(AdapterOfWindow(window), nullptr);
}

} // namespace
} // namespace skin
