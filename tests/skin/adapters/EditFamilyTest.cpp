// The edit family's adapters on controls of the class library: an edit, a
// list view, a tree view and a grid under the real mouse take the hot look
// of a skin whose edit frame has a picture of its own per state, and give
// it back when the mouse leaves; a print of an edit shows what the screen
// shows; while a form animates, an edit erases no picture but its own.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "GridTestControl.h"
#include "skin/adapters/vlComboWnd.h"
#include "skin/adapters/vlGridWnd.h"
#include "ScrollBarsTestSupport.h"
#include "skin/manager/sModuleState.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/ComboBox.h"
#include "vcl/StdCtrls.h"
#include "skin/manager/sMessages.h"

namespace skin {
namespace {

using namespace skin::test;
using namespace std::chrono_literals;

// A control of the class library on a window class of the system's.
class TTestCommonControl : public vcl::TWinControl {
public:
    TTestCommonControl(vcl::TComponent *AOwner, const wchar_t *ClassName, DWORD Style)
        : vcl::TWinControl(AOwner), FClassName(ClassName), FStyle(Style) {}

protected:
    void CreateParams(vcl::TCreateParams &Params) override {
        vcl::TWinControl::CreateParams(Params);
        CreateSubClass(Params, FClassName);
        Params.Style |= FStyle;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }

private:
    const wchar_t *FClassName;
    DWORD FStyle;
};

// The frame pictures of the edit section: normal and hot.
constexpr vcl::TColor NormalFrame = 0x0000C0, HotFrame = 0xC00000;

ManagerPtr HotFrameSkinManager() {
    std::string options = ScrollSkinOptions();
    const std::size_t edit = options.find("[EDIT]");
    options.replace(edit, options.find('[', edit + 1) - edit,
                    "[EDIT]\r\nSTATES=2\r\nCOLOR=0xF8F8F8\r\nHOTCOLOR=0xC0F0C0\r\nFONTCOLOR=0x101080\r\n"
                    "HOTFONTCOLOR=0x101080\r\nBORDERSMASK=^0000,0000,0040,0020,0001,0001,0001,0001,2,0,0,0\r\n");
    ManagerPtr m = NewManager();
    TestSkin skin;
    skin.Options = options;
    skin.Files[0].Data = Bmp24(41, 61, [](int x, int) { return x < 20 ? NormalFrame : HotFrame; });
    AddStoredSkin(*m, "HotFrames", skin.Packed());
    m->SetSkinName("HotFrames");
    m->Effects()->AllowAnimation = false;
    m->Effects()->AllowGlowing = false;
    return m;
}

class EditFamily : public AdaptersFixture {
protected:
    EditFamily() {
        Manager.reset();
        Manager = HotFrameSkinManager();
        SetCursorPos(5, 5);
        InitCommonControls();
        Form.Form->SetBounds(100, 100, 560, 440);
        Form.Show();
    }
    ~EditFamily() override { SetCursorPos(5, 5); }
    template <class C> C *Place(C *Control, int X, int Y) {
        Form.Add(Control, X, Y)->SetBounds(X, Y, 240, 140);
        Control->HandleNeeded();
        return Control;
    }
    TvlWindowAdapter *Skin(vcl::TWinControl *Control, int Kind) {
        Adapters.push_back(AdapterFactory().CreateAdapter(Kind, Control->Handle(), ParamsFor(Control), Manager.get()));
        return Adapters.back().get();
    }
    void ShowAll() {
        uitest::ActivateAndWait(Form.Form->WindowHandle(), 3s);
        RedrawWindow(Form.Form->WindowHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(50ms);
    }

    TestForm Form;
    std::vector<std::unique_ptr<TvlWindowAdapter>> Adapters;
    // Controls of the hot-colour kinds take their hot look only with it.
    TvlStateOverride<bool> Extended{ModuleState().ExtendedHotTracking, true};
};

// The left and top frame of the window as the screen shows it.
std::vector<vcl::TColor> FrameOf(HWND Window) {
    const uitest::TImage32 image = uitest::CaptureWindow(Window);
    std::vector<vcl::TColor> frame;
    for (int d = 0; d < 2; ++d) {
        for (int x = 4; x < image.Width - 30; x += 7) frame.push_back(ColorAt(image, x, d));
        for (int y = 4; y < image.Height - 30; y += 7) frame.push_back(ColorAt(image, d, y));
    }
    return frame;
}

TEST_F(EditFamily, HoverShowsTheHotFrameOfEachControlAndLeavingGivesTheNormalOneBack) {
    struct Case {
        const char *Name;
        vcl::TWinControl *Control;
        int Kind;
        HWND Bare = nullptr;  // a window without a control, as the system's dialogs have
    } cases[] = {
        {"edit", Place(vcl::Create<vcl::TMemo>(Form.Form), 10, 10), tpEdit},
        {"list view", Place(vcl::Create<TTestCommonControl>(Form.Form, WC_LISTVIEWW, LVS_REPORT), 290, 10), tpListView},
        {"tree view", Place(vcl::Create<TTestCommonControl>(Form.Form, WC_TREEVIEWW, TVS_HASLINES), 10, 170), tpTreeView},
        {"grid", Place(vcl::Create<TTestLookGrid>(Form.Form), 290, 170), tpGrid},
        {"bare edit", nullptr, tpEdit,
         CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 290, 320, 200, 50,
                         Form.Form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr)},
    };
    for (const Case &c : cases) {
        if (c.Bare)
            Adapters.push_back(AdapterFactory().CreateAdapter(c.Kind, c.Bare, ParamsFor(nullptr), Manager.get()));
        else
            Skin(c.Control, c.Kind);
        ASSERT_TRUE(Adapters.back()) << c.Name;
    }
    ShowAll();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const HWND w = c.Bare ? c.Bare : c.Control->Handle();
        const std::vector<vcl::TColor> normal = FrameOf(w);
        RECT r{};
        GetWindowRect(w, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_TRUE(PumpUntil([&] { return FrameOf(w) != normal; }));
        SetCursorPos(5, 5);
        EXPECT_TRUE(PumpUntil([&] { return FrameOf(w) == normal; }));
    }
}

TEST_F(EditFamily, APrintOfAnEditShowsWhatTheScreenShows) {
    auto *memo = Place(vcl::Create<vcl::TMemo>(Form.Form), 10, 10);
    memo->SetScrollBars(vcl::ssVertical);
    std::string lines;
    for (int i = 0; i < 50; ++i) lines += "Line " + std::to_string(i) + "\r\n";
    memo->Lines()->SetText(lines);
    ASSERT_TRUE(Skin(memo, tpEdit));
    ShowAll();
    const HWND w = memo->Handle();
    HideCaret(w);  // the screen's blinking caret is no part of a print
    PumpFor(50ms);
    const uitest::TImage32 screen = uitest::CaptureWindow(w);
    vcl::TBitmap print;
    print.SetPixelFormat(vcl::pf24bit);
    print.SetSize(screen.Width, screen.Height);
    SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(print.Canvas()->Handle()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    int differing = 0;
    for (int y = 0; y < screen.Height; ++y)
        for (int x = 0; x < screen.Width; ++x)
            differing += static_cast<vcl::TColor>(GetPixel(print.Canvas()->Handle(), x, y)) != ColorAt(screen, x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(EditFamily, WhileAFormAnimatesAnEditAdapterLeavesAnotherPicturesBackgroundAlone) {
    // A control that erases itself with its colour.
    auto *control = Place(vcl::Create<TTestLookGrid>(Form.Form), 10, 10);
    ASSERT_TRUE(Skin(control, tpEdit));
    ShowAll();
    constexpr vcl::TColor Marker = 0x123456;
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf24bit);
    target.SetSize(20, 20);
    const HDC dc = target.Canvas()->Handle();
    SetPixel(dc, 5, 5, Marker);
    TvlStateOverride<bool> animating(ModuleState().FormAnimationActive, true);
    EXPECT_EQ(SendMessageW(control->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(static_cast<vcl::TColor>(GetPixel(dc, 5, 5)), Marker);
}


// A window whose own procedure answers the background question.
LRESULT CALLBACK ColourAnswerProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == SM_SKINCOMMAND && SubCommandOf(WParam) == SC_GET_BG_INFO) {
        auto *query = reinterpret_cast<TvlBgQuery *>(LParam);
        query->Kind = bqColor;
        query->Color = 0x123456;
        return 1;
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

TEST_F(EditFamily, AScrollingAdapterKeepsTheControlsOwnAnswersAndAHiddenUnnamedComboBoxsWindow) {
    TestParent answering(L"EditFamilyColourAnswer", ColourAnswerProc);
    auto bare = NewAdapter<TvlBaseWnd>(answering.Window, nullptr, Manager.get(), ParamsFor(nullptr, "EDIT"));
    TvlBgQuery query;
    SendMessageW(answering.Window, SM_SKINCOMMAND, SkinCommand(SC_GET_BG_INFO), reinterpret_cast<LPARAM>(&query));
    EXPECT_EQ(query.Kind, bqColor);
    EXPECT_EQ(query.Color, 0x123456);

    for (const char *name : {"", "Named"}) {
        auto *combo = Form.Add(vcl::Create<vcl::TComboBox>(Form.Form));
        combo->SetName(name);
        combo->SetVisible(false);
        const HWND before = combo->Handle();
        auto adapter = NewAdapter<TvlBaseWnd>(before, nullptr, Manager.get(), ParamsFor(combo, "EDIT"));
        combo->Perform(vcl::CM_RECREATEWND, 0, 0);
        EXPECT_EQ(IsWindow(before) != FALSE, *name == '\0') << "name \"" << name << '"';
    }
}


template <class A> struct TExposed : A {
    using A::SwitchesVisualStylesOff;
};

TEST(EditFamilyStyles, TheEditFamilysVisualStyleRuleAtCreation) {
    vcl::TEdit edit(nullptr);
    TsCommonData shared(&edit, false), sharedList(&edit, false);
    sharedList.ControlKind = 10;
    const TvlSkinParams plain = ParamsFor(nullptr), dialog = ParamsFor(nullptr, "DIALOG"),
                       combo = ParamsFor(nullptr, "COMBOBOX");
    const TExposed<TvlEditWnd> e;
    const TExposed<TvlGridWnd> grid;
    const TExposed<TvlComboListWnd> list;
    struct Case {
        const char *What;
        bool Off, Expected;
    } cases[] = {
        {"own skin data", e.SwitchesVisualStylesOff(nullptr, plain, false), false},
        {"own, COMBOBOX section", e.SwitchesVisualStylesOff(nullptr, combo, false), true},
        {"own, DIALOG section", e.SwitchesVisualStylesOff(nullptr, dialog, false), false},
        {"shared", e.SwitchesVisualStylesOff(&shared, plain, false), true},
        {"shared, a list view's", e.SwitchesVisualStylesOff(&sharedList, plain, false), false},
        {"grid", grid.SwitchesVisualStylesOff(&shared, plain, false), false},
        {"combo list without a frame calculation", list.SwitchesVisualStylesOff(&shared, plain, false), false},
        {"combo list with one", list.SwitchesVisualStylesOff(&shared, plain, true), true},
    };
    for (const Case &c : cases) EXPECT_EQ(c.Off, c.Expected) << c.What;
}

} // namespace
} // namespace skin
