// The per-control skin data and its command table: the default section, the
// section setter, the common handler's answers, and the input that must not
// harm it (records at LParam 0, a manager that goes before its skin data,
// outer modes beyond the skin's two effects, cache copies without a cache).
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/Bitmap.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

class CommonData : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    void SetUp() override { ParkCursor(); }

    ManagerPtr Manager = SectionsManager();
    TestForm Form;

    // A shown panel with a shadow: the skin's first outer effect, whose mask
    // (a bare one) draws nothing; and the panel's section.
    std::pair<TSkinned<vcl::TCustomControl> *, TsGeneralData *> ShadowedPanel() {
        auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
        Form.Show();
        panel->Data.OuterEffects()->SetVisibility(ovAlways);
        TsGeneralData &section = Manager->Sections[static_cast<std::size_t>(panel->Data.SkinIndex())];
        section.OuterMask = -1;
        section.OuterMode = 1;
        Manager->OutEffects.resize(2);
        Manager->OutEffects[0] = {.MaskIndex = 0, .Source = 1, .Opacity = 255};
        Manager->Masks.resize(std::max<std::size_t>(Manager->Masks.size(), 1));
        return {panel, &section};
    }
};

TEST_F(CommonData, CommandTableAnswersWhatItKnowsAndPassesTheRestOn) {
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    TsCommonData &d = panel->Data;
    ASSERT_TRUE(d.IsSkinned(true));
    for (unsigned code : {24u, 35u, 39u, 41u, 50u, 54u, 59u, 67u, 69u, 71u, 200u}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(CallCommon(d, code).first);
    }
    vcl::TMessage other{WM_PAINT, SkinCommand(SC_IS_HANDLED), 0, 0};
    EXPECT_FALSE(CommonWndProc(other, &d));
    vcl::TMessage isHandled{SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0, 0};
    EXPECT_FALSE(CommonWndProc(isHandled, nullptr));
    EXPECT_FALSE(PreprocessSkinnedMessage(isHandled, nullptr));

    EXPECT_EQ(CallCommon(d, SC_IS_HANDLED), std::pair(true, LRESULT{1}));
    EXPECT_EQ(CallCommon(d, SC_GET_SKIN_DATA).second, reinterpret_cast<LRESULT>(&d));
    // Removal is reported unhandled so that the caller's own removal runs.
    EXPECT_FALSE(CallCommon(d, SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_EQ(d.SkinIndex(), -1);
    EXPECT_TRUE(d.PaintLocked);
    EXPECT_TRUE(CallCommon(d, SC_SKIN_APPLIED, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_TRUE(d.IsSkinned(true));
    EXPECT_TRUE(CallCommon(d, SC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_FALSE(d.PaintLocked);

    // Another manager's skin changes leave the data alone.
    ManagerPtr other2 = NewManager();
    const int index = d.SkinIndex();
    for (unsigned code : {SC_SKIN_APPLIED, SC_SKIN_REMOVED, SC_SKIN_REFRESH}) {
        d.PaintLocked = code == SC_SKIN_REFRESH;
        CallCommon(d, code, reinterpret_cast<LPARAM>(other2.get()));
        EXPECT_EQ(d.SkinIndex(), index) << code;
        EXPECT_EQ(d.PaintLocked, code == SC_SKIN_REFRESH) << code;
    }
}

// A control the skin has no section for gives its own colour, fuchsia as
// any other.
TEST_F(CommonData, BackgroundColourFollowsTheSectionsTransparency) {
    // The form is white; the panels' colour is PanelColor.
    const struct {
        const char *Section;
        vcl::TColor Expected;
        vcl::TColor Own = vcl::clNone;  // the control's own colour
    } cases[] = {{"PANEL0", PanelColor},
                 {"PANEL50", 0x8F9FAF},
                 {"PANEL100", 0xFFFFFF},
                 {"NO SUCH SECTION", 0xFF00FF, 0xFF00FF}};
    for (const auto &c : cases) {
        auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin(c.Section);
        if (c.Own != vcl::clNone) panel->SetColor(c.Own);
        EXPECT_EQ(CallCommon(panel->Data, SC_GET_BG_COLOR), std::pair(true, LRESULT{c.Expected})) << c.Section;
        EXPECT_EQ(panel->Data.GetBackColor(0), c.Expected) << c.Section;
    }
}

// A bare window's record asks its parent window for the colour behind it
// only when that parent is skinned; another parent gives its own colour.
TEST_F(CommonData, ABareWindowShowsItsParentsColourWhetherTheParentIsSkinnedOrNot) {
    auto *skinned = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    auto *plain = Form.Add(vcl::Create<vcl::TCustomControl>(Form.Form), 10, 60);
    plain->SetColor(0x102030);
    Form.Show();
    using TWindow = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
    const auto child = [](HWND Parent) {
        return TWindow(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, Parent, nullptr, nullptr,
                                       nullptr),
                       &DestroyWindow);
    };
    TWindow bareParent = child(Form.Form->Handle());
    const struct {
        const char *Parent;
        HWND Window;
        vcl::TColor Expected;
    } cases[] = {
        {"skinned", skinned->vcl::TWinControl::Handle(), PanelColor},
        {"not skinned", plain->Handle(), 0x102030},
        {"no control", bareParent.get(), vcl::ColorToRGB(vcl::clBtnFace)},
    };
    for (const auto &c : cases) {
        TWindow window = child(c.Window);
        TsCommonData bare(nullptr, false);
        bare.WndHandle = window.get();
        bare.SetSkinManager(Manager.get());
        bare.SetSkinSection("PANEL100");
        ASSERT_TRUE(bare.IsSkinned(false)) << c.Parent;
        EXPECT_EQ(bare.GetBackColor(0, window.get()), c.Expected) << c.Parent;
    }
}

TEST_F(CommonData, SectionBehindAControlIsAskedThroughTransparentParents) {
    auto *outer = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    auto *middle = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form);
    middle->SetParent(outer);
    middle->Skin("PANEL100");  // shows its parent: passes the question on
    auto *label = vcl::Create<TSkinned<vcl::TLabel>>(Form.Form);
    label->SetParent(middle);
    label->Skin("EDIT");
    Form.Show();
    const int panel0 = Manager->FindSectionIndex("PANEL0");
    EXPECT_EQ(label->Data.QuerySectionIndexAt(-1), panel0);
    EXPECT_EQ(QuerySectionIndexAt(middle, 7, Manager.get(), 0), panel0);
    EXPECT_EQ(QuerySectionIndexAt(outer, 7, Manager.get(), 0), 7);  // the form does not say
}

TEST_F(CommonData, ControlsOwnEffectsRecolourItsImageButTheKeyColour) {
    TsCommonData data(nullptr, false);
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf32bit);
    image.SetSize(2, 1);
    image.View().At(0, 0) = 0x00FF00FF;  // the key colour
    image.View().At(1, 0) = 0x00808080;
    ApplyColorEffects(image, data);  // no tone, hue or saturation: nothing
    EXPECT_EQ(image.View().At(1, 0), 0x00808080u);
    data.SetColorTone(0x0000FF);  // red
    ApplyColorEffects(image, data);
    EXPECT_EQ(image.View().At(0, 0), 0x00FF00FFu);
    const std::uint32_t tinted = image.View().At(1, 0);
    EXPECT_GT(tinted >> 16 & 0xFF, tinted & 0xFF);  // red (byte 2) above blue (byte 0)
}

TEST_F(CommonData, RecordCommandsIgnoreAnLParamOfZero) {
    // 0xA100 lies where any program may send: a null record is no record.
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    for (unsigned code : {SC_SECTION_REPAINT, SC_GET_SECTION_INDEX, SC_GET_BG_INFO, SC_PAINT_OUTER_EFFECT,
                          SC_GET_BG_SECTION, SC_GET_BOUNDS})
        EXPECT_TRUE(CallCommon(panel->Data, code).first) << code;
    EXPECT_EQ(CallCommon(panel->Data, SC_SET_SECTION), std::pair(true, LRESULT{0}));
    EXPECT_EQ(panel->Data.SkinSection(), "PANEL0");
    EXPECT_EQ(CallCommon(panel->Data, SC_SET_SECTION, reinterpret_cast<LPARAM>("panel50")).second, 1);
    EXPECT_EQ(panel->Data.SkinSection(), "PANEL50");
}

TEST_F(CommonData, ARecordOfABareWindowRepaintsThatWindow) {
    auto *memo = Form.Add(vcl::Create<vcl::TMemo>(Form.Form));
    Form.Show();
    const HWND wnd = memo->Handle();
    TsCommonData bare(nullptr, false);
    bare.WndHandle = wnd;
    bare.Updating = false;
    bare.BGChanged = false;
    ValidateRect(wnd, nullptr);
    bare.RepaintControl(false);
    RECT dirty{};
    EXPECT_TRUE(GetUpdateRect(wnd, &dirty, FALSE));
    EXPECT_TRUE(bare.BGChanged);
}

TEST_F(CommonData, DefaultSectionComesFromTheKindOrTheClassName) {
    const struct {
        int Kind;
        const char *Section;
    } cases[] = {{18, "COMBOBOX"}, {50, "CHECKBOX"}, {152, "CHECKBOX"}, {226, "GROUPBOX"}, {230, "EDIT"},
                 {99, "TCUSTOMCONTROL"}, {3, ""}};
    for (const auto &c : cases) {
        auto *control = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form, c.Kind));
        control->Data.ChooseDefaultSection();
        EXPECT_EQ(control->Data.SkinSection(), c.Section) << c.Kind;
        EXPECT_EQ(control->Data.IsSkinned(false), Manager->FindSectionIndex(c.Section) >= 0) << c.Kind;
    }
    // A kind that asks its control: the answer (index + 1) is the index.
    auto *asking = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form, 3));
    struct TAnswer {
        int Index;
        void Handle(vcl::TMessage &M) { M.Result = SubCommandOf(M.WParam) == SC_QUERY_SECTION_INDEX ? Index + 1 : 0; }
    } answer{Manager->FindSectionIndex("EDIT")};
    const vcl::TWndMethod own = asking->WindowProc;
    asking->WindowProc = vcl::TWndMethod::Bind<&TAnswer::Handle>(&answer);
    asking->Data.ChooseDefaultSection();
    EXPECT_EQ(asking->Data.SkinIndex(), answer.Index);
    // A new skin keeps what the control says: a record without a section
    // name is not looked up by its empty name.
    EXPECT_TRUE(CallCommon(asking->Data, SC_SKIN_APPLIED, reinterpret_cast<LPARAM>(Manager.get())).first);
    asking->WindowProc = own;
    EXPECT_EQ(asking->Data.SkinIndex(), answer.Index);
}

TEST_F(CommonData, SectionSetterUpperCasesAndTellsTheControlUnlessPaintIsLocked) {
    auto *control = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    control->Data.SetSkinSection("edit");
    EXPECT_EQ(control->Data.SkinSection(), "EDIT");
    EXPECT_EQ(control->Data.SkinIndex(), Manager->FindSectionIndex("EDIT"));
    ASSERT_FALSE(control->Commands.empty());
    EXPECT_EQ(control->Commands.back(), 0x30001u);  // SC_SKIN_REFRESH, flag 1
    control->Data.SetSkinSection("nosuchsection");
    EXPECT_EQ(control->Commands.back(), SkinCommand(SC_SKIN_REMOVED));
    control->Commands.clear();
    control->Data.PaintLocked = true;
    control->Data.SetSkinSection("button");
    EXPECT_EQ(control->Data.SkinIndex(), Manager->FindSectionIndex("BUTTON"));
    EXPECT_TRUE(control->Commands.empty());
}

TEST_F(CommonData, ManagerReferenceIsDroppedWhenTheManagerGoes) {
    ManagerPtr own = NewManager();
    TsCommonData unreached(nullptr, false);  // no control, no window: no broadcast reaches it
    unreached.SetSkinManager(own.get());
    ASSERT_EQ(unreached.SkinManager(), own.get());
    own.reset();
    EXPECT_EQ(unreached.SkinManager(), nullptr);
    EXPECT_EQ(unreached.GetSkinManager(), Manager.get());
    // The default manager is kept as none, so that later defaults count.
    unreached.SetSkinManager(Manager.get());
    EXPECT_EQ(unreached.SkinManager(), nullptr);
}

// Logs each stage a message reaches: the window's own handling (which
// handles the sub-commands and messages in Whole) and the previous procedure.
struct StageLog {
    std::vector<std::string> Stages;
    std::vector<unsigned> Whole;
    bool FocusedSeen = false;
    TsCommonData *Data = nullptr;
    bool Own(vcl::TMessage &M) {
        Stages.push_back("own");
        if (M.Msg == WM_SETFOCUS) FocusedSeen = Data->Focused;
        const unsigned key = M.Msg == SM_SKINCOMMAND ? SubCommandOf(M.WParam) : M.Msg;
        if (std::find(Whole.begin(), Whole.end(), key) == Whole.end()) return false;
        M.Result = 77;
        return true;
    }
    void Previous(vcl::TMessage &) { Stages.push_back("previous"); }
    // The stage after the common answer: notes what the common stage left
    // (answer, section index) and handles the sub-commands in AfterWhole.
    std::vector<unsigned> AfterWhole;
    LRESULT ResultSeen = -1;
    int IndexSeen = -2;
    bool After(vcl::TMessage &M) {
        Stages.push_back("after");
        ResultSeen = M.Result;
        IndexSeen = Data->SkinIndex();
        return std::find(AfterWhole.begin(), AfterWhole.end(), SubCommandOf(M.WParam)) != AfterWhole.end();
    }
};

TEST_F(CommonData, SkinnedMessagesGoPreprocessOwnCommonPrevious) {
    auto *edit = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form, 7))->Skin("EDIT");
    Form.Show();
    StageLog log;
    log.Data = &edit->Data;
    log.Whole = {SC_GET_SKIN_DATA, WM_USER};
    const auto send = [&](UINT Msg, WPARAM W = 0, LPARAM L = 0) {
        log.Stages.clear();
        vcl::TMessage m{Msg, W, L, 0};
        DispatchSkinnedMessage(m, &edit->Data, TvlOwnMessageHandler::Bind<&StageLog::Own>(&log),
                               vcl::TWndMethod::Bind<&StageLog::Previous>(&log));
        return m.Result;
    };
    using Stages = std::vector<std::string>;
    // The first stage handles this whole for a skinned control.
    send(WM_UPDATEUISTATE);
    EXPECT_EQ(log.Stages, Stages{});
    // The first stage has run when the control's own handling sees the message.
    send(WM_SETFOCUS);
    EXPECT_TRUE(log.FocusedSeen);
    EXPECT_EQ(log.Stages, (Stages{"own", "previous"}));
    // The control's own answer comes before the common one...
    EXPECT_EQ(send(SM_SKINCOMMAND, SkinCommand(SC_GET_SKIN_DATA)), 77);
    EXPECT_EQ(log.Stages, Stages{"own"});
    EXPECT_EQ(send(WM_USER), 77);
    EXPECT_EQ(log.Stages, Stages{"own"});
    // ...the common one comes where it has none...
    EXPECT_EQ(send(SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED)), 1);
    EXPECT_EQ(log.Stages, Stages{"own"});
    // ...and what nobody handled whole goes on to the previous procedure.
    send(SM_SKINCOMMAND, SkinCommand(SC_SKIN_REMOVED), reinterpret_cast<LPARAM>(Manager.get()));
    EXPECT_EQ(edit->Data.SkinIndex(), -1);
    EXPECT_EQ(log.Stages, (Stages{"own", "previous"}));
    // Without skin data only the own handling and the previous procedure run.
    log.Stages.clear();
    vcl::TMessage m{SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0, 0};
    DispatchSkinnedMessage(m, nullptr, TvlOwnMessageHandler::Bind<&StageLog::Own>(&log),
                           vcl::TWndMethod::Bind<&StageLog::Previous>(&log));
    EXPECT_EQ(m.Result, 0);
    EXPECT_EQ(log.Stages, (Stages{"own", "previous"}));
}

TEST_F(CommonData, TheStageAfterTheCommonAnswerSeesItAndMayEndTheCommand) {
    auto *edit = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form, 7))->Skin("EDIT");
    Form.Show();
    StageLog log;
    log.Data = &edit->Data;
    log.Whole = {SC_GET_SKIN_DATA};
    log.AfterWhole = {SC_SKIN_REMOVED, SC_IS_HANDLED};
    ASSERT_GE(edit->Data.SkinIndex(), 0);
    using Stages = std::vector<std::string>;
    struct Case {
        UINT Msg;
        unsigned Sub;
        Stages Expected;
        LRESULT ResultSeen;  // by the stage after the common answer (-1: not reached)
    };
    const auto manager = reinterpret_cast<LPARAM>(Manager.get());
    const Case cases[] = {
        // Handled whole by the own stage: neither common nor after.
        {SM_SKINCOMMAND, SC_GET_SKIN_DATA, {"own"}, -1},
        // Answered by the common stage, then completed after it.
        {SM_SKINCOMMAND, SC_IS_HANDLED, {"own", "after"}, 1},
        // Answered by the common stage, left by the stage after it: ends.
        {SM_SKINCOMMAND, SC_GET_BG_COLOR, {"own", "after"}, -2},
        // Left by both: the previous procedure.
        {SM_SKINCOMMAND, SC_LAST_COMMON + 1, {"own", "after", "previous"}, 0},
        // Left by the common stage, handled after it: no previous.
        {SM_SKINCOMMAND, SC_SKIN_REMOVED, {"own", "after"}, 0},
        // Not a skin command: no stage after the common one.
        {WM_USER + 1, 0, {"own", "previous"}, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Sub);
        log.Stages.clear();
        log.ResultSeen = -1;
        vcl::TMessage m{c.Msg, c.Msg == SM_SKINCOMMAND ? SkinCommand(c.Sub) : 0, manager, 0};
        DispatchSkinnedMessage(m, &edit->Data, TvlOwnMessageHandler::Bind<&StageLog::Own>(&log),
                               vcl::TWndMethod::Bind<&StageLog::Previous>(&log),
                               TvlOwnMessageHandler::Bind<&StageLog::After>(&log));
        EXPECT_EQ(log.Stages, c.Expected);
        if (c.ResultSeen == -2)
            EXPECT_EQ(log.ResultSeen, m.Result) << "the common answer reaches the stage after it";
        else
            EXPECT_EQ(log.ResultSeen, c.ResultSeen);
    }
    // The common removal had run when the stage after it started.
    EXPECT_EQ(log.IndexSeen, -1);
}

TEST_F(CommonData, PaintLockNestsAndAsksTheParent) {
    auto *parent = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    auto *child = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form);
    child->SetParent(parent);
    child->Skin("PANEL0");
    Form.Show();
    EXPECT_TRUE(child->Data.IsPaintLocked());  // the parent has no image to give yet
    parent->Data.PrepareCache();
    EXPECT_FALSE(child->Data.IsPaintLocked());
    parent->Data.PaintLocked = true;  // the parent defers: so does the child
    EXPECT_TRUE(child->Data.UpdatePaintLock(false));
    EXPECT_TRUE(child->Data.PaintLocked);
    parent->Data.PaintLocked = false;
    EXPECT_FALSE(child->Data.UpdatePaintLock(true));

    child->Data.LockPaint();
    child->Data.LockPaint();
    child->Data.UnlockPaint(false);
    EXPECT_EQ(child->Commands, (std::vector<WPARAM>{SkinCommand(SC_UPDATE_BEGUN), SkinCommand(SC_UPDATE_BEGUN)}));
    child->Data.UnlockPaint(false);
    child->Data.UnlockPaint(false);  // unmatched: the count goes below 0 and still tells
    EXPECT_EQ(child->Data.PaintLockCount, -1);
    EXPECT_EQ(std::count(child->Commands.begin(), child->Commands.end(), SkinCommand(SC_UPDATE_ENDED)), 2);
}

TEST_F(CommonData, BackgroundOfAParentWithoutImageIsPutOff) {
    // A parent that is fully opaque but has no cache gives no image (kind 3).
    auto *parent = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("EDIT");
    auto *child = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form);
    child->SetParent(parent);
    child->Skin("PANEL100");
    Form.Show();
    TvlBgInfo info{};
    Manager->Sections[static_cast<std::size_t>(parent->Data.SkinIndex())].Props[0].ImagePercent = 50;
    child->Data.FillBackgroundInfo(info, TvlAsker(child));
    EXPECT_FALSE(info.UseBmp);
    EXPECT_EQ(info.Bmp, nullptr);
    EXPECT_EQ(info.Color, vcl::clFuchsia);

    // A bare window has no painting to put off: it gets the skin's main colour.
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 20, 20, parent->WindowHandle(), nullptr, nullptr,
                                  nullptr);
    WindowBackgroundInfo(window, info, TvlAsker(parent));
    DestroyWindow(window);
    EXPECT_FALSE(info.UseBmp);
    EXPECT_EQ(info.Color, Manager->GetMainColor());

    TsCommonData bare(nullptr, false);  // not skinned: its own colour at (0, 0)
    bare.FillBackgroundInfo(info, TvlAsker(&bare));
    EXPECT_EQ(info.X, 0);
    EXPECT_FALSE(info.UseBmp);
    WindowBackgroundInfo(nullptr, info, TvlAsker(&bare));
    EXPECT_EQ(info.X, -99);
    EXPECT_EQ(info.Color, vcl::clFuchsia);
}

TEST_F(CommonData, OuterModeBeyondTheSkinsTwoEffectsDrawsNothing) {
    auto [panel, section] = ShadowedPanel();
    // Even a third effect in the table is not one of the skin's two.
    Manager->OutEffects.resize(3);
    Manager->OutEffects[2] = Manager->OutEffects[0];
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf32bit);
    image.SetSize(200, 100);
    TvlBgQuery target;
    target.Image = &image;
    for (int mode : {0, 3, 7}) {
        section->OuterMode = mode;
        panel->Data.PaintOuterEffect(target, 0);
        EXPECT_EQ(panel->Data.OuterBgBmp, nullptr) << mode;
    }
    section->OuterMode = 1;
    panel->Data.PaintOuterEffect(target, 0);
    EXPECT_NE(panel->Data.OuterBgBmp, nullptr);
}

TEST_F(CommonData, CacheCopiesWithoutACacheLeaveTheDCAlone) {
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(50, 50);
    target.View().At(5, 5) = 0x12345678;
    ASSERT_EQ(panel->Data.CacheBmp(), nullptr);
    CopyCacheToWindowDC(panel->WindowHandle(), panel->Data, {0, 0}, {0, 0, 50, 50}, target.Canvas()->Handle(), true,
                        0, 0);
    CopyCacheToDC(panel, panel->Data, {0, 0}, {0, 0, 50, 50}, target.Canvas()->Handle(), true, 0, 0);
    EXPECT_EQ(target.View().At(5, 5), 0x12345678u);
}

TEST_F(CommonData, ParentBackgroundAndActivityFollowTheControlsState) {
    auto *outer = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    outer->SetBounds(10, 10, 300, 200);
    auto *half = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form);
    half->SetParent(outer);
    half->Skin("PANEL50");
    auto *plain = Form.Add(vcl::Create<vcl::TCustomControl>(Form.Form), 10, 220);
    auto *onPlain = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form);
    onPlain->SetParent(plain);
    onPlain->Skin("PANEL50");
    auto *alone = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form)->Skin("PANEL50");
    TsCommonData &d = half->Data;
    EXPECT_FALSE(d.UsesParentBackground());  // the parent has no window yet
    Form.Show();
    EXPECT_TRUE(d.UsesParentBackground());   // a skinned parent has its children follow it
    EXPECT_FALSE(onPlain->Data.UsesParentBackground());
    EXPECT_FALSE(alone->Data.UsesParentBackground());
    d.SetSkinSection("PANEL0");
    EXPECT_FALSE(d.UsesParentBackground());  // opaque
    d.SetSkinSection("NOSUCHSECTION");
    EXPECT_TRUE(d.UsesParentBackground());   // not skinned: whatever lies behind
    d.SetSkinSection("EDIT");

    EXPECT_FALSE(d.IsControlActive());
    d.Focused = true;
    EXPECT_TRUE(d.IsControlActive());
    d.Focused = false;
    SetFocus(half->WindowHandle());
    EXPECT_TRUE(d.IsControlActive());
    SetFocus(Form.Form->WindowHandle());
    d.MouseInside = true;
    const struct {
        int Kind;
        bool Extended, Active;
    } cases[] = {{99, false, true}, {60, false, false}, {231, false, false}, {231, true, true}};
    for (const auto &c : cases) {
        d.ControlKind = c.Kind;
        TvlStateOverride extended(ModuleState().ExtendedHotTracking, c.Extended);
        EXPECT_EQ(d.IsControlActive(), c.Active) << c.Kind << " " << c.Extended;
    }
    d.ControlKind = 99;
    Manager->Options()->SetFlag(ofNoMouseHover, true);
    EXPECT_FALSE(d.IsControlActive());
    Manager->Options()->SetFlag(ofNoMouseHover, false);
    half->SetEnabled(false);
    d.Focused = true;
    EXPECT_FALSE(d.IsControlActive());
    EXPECT_TRUE(d.UsesParentBackground());  // disabled: whatever lies behind
    TsCommonData bare(nullptr, false);
    bare.Focused = true;
    EXPECT_FALSE(bare.IsControlActive());
}

TEST_F(CommonData, ManagerChangeIsAnnouncedToAControlWithAParent) {
    ManagerPtr other = SectionsManager(), empty = NewManager();
    auto *edit = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("EDIT");
    auto *loose = vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form)->Skin("EDIT");
    Form.Show();
    MessageTap heard(edit, {SM_SKINCOMMAND}), looseHeard(loose, {SM_SKINCOMMAND});
    const auto last = [&] { return std::pair(heard.Seen.back().WParam, heard.Seen.back().LParam); };
    const auto lp = [](const TsSkinManager *M) { return reinterpret_cast<LPARAM>(M); };
    edit->Data.SetSkinManager(other.get());
    EXPECT_EQ(last(), std::pair(SkinCommand(SC_SKIN_REFRESH), lp(other.get())));
    EXPECT_EQ(edit->Data.SkinIndex(), other->FindSectionIndex("EDIT"));
    edit->Data.SetSkinManager(empty.get());  // no skin: no section
    EXPECT_EQ(last().first, SkinCommand(SC_SKIN_REMOVED));
    EXPECT_EQ(edit->Data.SkinIndex(), -1);
    edit->Data.SetSkinManager(Manager.get());
    EXPECT_EQ(last(), std::pair(SkinCommand(SC_SKIN_REFRESH), lp(Manager.get())));
    EXPECT_TRUE(edit->Data.IsSkinned(true));
    loose->Data.SetSkinManager(other.get());  // no parent: nothing to tell
    EXPECT_TRUE(looseHeard.Seen.empty());
    EXPECT_EQ(loose->Data.SkinIndex(), other->FindSectionIndex("EDIT"));
}

// Copies the outer-effect record each time the control is asked to paint it.
struct OuterEffectAsked {
    int Count = 0;
    TvlBgQuery Query;
    bool Handle(vcl::TMessage &M) {
        if (M.Msg != SM_SKINCOMMAND || SubCommandOf(M.WParam) != SC_PAINT_OUTER_EFFECT) return false;
        ++Count;
        Query = *reinterpret_cast<const TvlBgQuery *>(M.LParam);
        return true;
    }
};

TEST_F(CommonData, ChildrenPaintTheirOuterEffectsIntoTheParentsImageOnlyWhenAllowed) {
    OuterEffectAsked shown, hidden, graphic;
    TestForm form;  // after what its controls call
    auto *parent = form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form))->Skin("PANEL0");
    parent->SetBounds(10, 10, 300, 200);
    const auto add = [&](auto *Child, OuterEffectAsked &Asked) {
        Child->SetParent(parent);
        Child->Own = TvlOwnMessageHandler::Bind<&OuterEffectAsked::Handle>(&Asked);
        return Child;
    };
    add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form), shown);
    add(vcl::Create<TSkinned<vcl::TCustomControl>>(form.Form), hidden)->SetVisible(false);
    add(vcl::Create<TSkinned<vcl::TLabel>>(form.Form), graphic);
    form.Show();
    parent->Data.PrepareCache();
    parent->Data.PaintChildOuterEffects(parent, {3, 4});
    EXPECT_EQ(shown.Count + hidden.Count + graphic.Count, 0);  // outer effects are off
    Manager->Effects()->SetAllowOuterEffects(true);
    parent->Data.PaintChildOuterEffects(parent, {3, 4});
    EXPECT_EQ(std::vector({shown.Count, hidden.Count, graphic.Count}), std::vector({1, 0, 1}));
    EXPECT_EQ(shown.Query.Image, parent->Data.CacheBmp());
    EXPECT_EQ(std::pair(shown.Query.X, shown.Query.Y), std::pair(3, 4));
    EXPECT_EQ(shown.Query.Kind, bqImage);
}

TEST_F(CommonData, OuterEffectPutsBackTheBackgroundItKeptWhenAsked) {
    TSkinned<vcl::TCustomControl> *panel = ShadowedPanel().first;
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf32bit);
    image.SetSize(200, 100);
    const auto fill = [&](std::uint32_t Pixel) {
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) image.View().At(x, y) = Pixel;
    };
    TvlBgQuery target;
    target.Image = &image;
    fill(0xAAAAAA);
    panel->Data.PaintOuterEffect(target, 0x100);  // nothing kept yet: as without the flag
    ASSERT_NE(panel->Data.OuterBgBmp, nullptr);
    EXPECT_EQ(panel->Data.OuterBgBmp->Width(), 120);
    EXPECT_EQ(panel->Data.OuterBgBmp->View().At(60, 20), 0xAAAAAAu);
    fill(0xBBBBBB);
    panel->Data.PaintOuterEffect(target, 0x100);
    // What lies there now is kept for the next time; what was kept goes back.
    EXPECT_EQ(panel->Data.OuterBgBmp->View().At(60, 20), 0xBBBBBBu);
    EXPECT_EQ(image.View().At(70, 30), 0xAAAAAAu);
    panel->Data.PaintOuterEffect(target, 0);
    EXPECT_EQ(image.View().At(70, 30), 0xAAAAAAu);
    EXPECT_EQ(panel->Data.OuterBgBmp->View().At(60, 20), 0xAAAAAAu);
}

// A 32-bit bitmap of one colour.
void Fill(vcl::TBitmap &B, int W, int H, std::uint32_t Pixel) {
    B.SetPixelFormat(vcl::pf32bit);
    B.SetSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) B.View().At(x, y) = Pixel;
}

constexpr std::uint32_t CachePixel = 0x112233, TargetPixel = 0xFFFFFF;

TEST_F(CommonData, CacheCopyLeavesOutTheChildrenThatPaintThemselves) {
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    panel->SetBounds(10, 10, 200, 100);
    const auto label = [&] {
        auto *l = vcl::Create<vcl::TLabel>(Form.Form);
        l->SetAutoSize(false);
        return l;
    };
    const auto add = [&](vcl::TControl *C, int Left, bool Visible = true) {
        C->SetBounds(Left, 10, 30, 20);
        C->SetParent(panel);
        C->SetVisible(Visible);
    };
    add(label(), 10);                                      // graphic: cut out
    add(vcl::Create<vcl::TCustomControl>(Form.Form), 50);  // windowed, not opaque: painted over
    add(label(), 90, false);                               // hidden
    add(label(), 150);                                     // touches the copied area only
    Form.Show();
    panel->Data.PrepareCache();
    Fill(*panel->Data.CacheBmp(), 200, 100, CachePixel);
    vcl::TBitmap target;
    Fill(target, 200, 100, TargetPixel);
    // The children's rectangles are shifted by -20: the first is cut at
    // -10..20, the touching one would be cut at 130..160.
    CopyCacheToDC(panel, panel->Data, {0, 0}, {0, 0, 150, 100}, target.Canvas()->Handle(), false, -20, 0);
    const struct {
        int X;
        std::uint32_t Pixel;
    } expected[] = {{5, TargetPixel}, {25, CachePixel}, {60, CachePixel}, {95, CachePixel}, {140, CachePixel},
                    {170, TargetPixel}};
    for (const auto &e : expected) EXPECT_EQ(target.View().At(e.X, 15), e.Pixel) << e.X;
}

TEST_F(CommonData, WindowCacheCopyLeavesOutChildWindowsAndOnlyTheFrameOfAGroupBox) {
    Form.Show();
    const HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100,
                                      Form.Form->WindowHandle(), nullptr, nullptr, nullptr);
    const auto child = [&](const wchar_t *Class, DWORD Style, DWORD ExStyle, int Left, int Width, int Height) {
        CreateWindowExW(ExStyle, Class, L"", WS_CHILD | Style, Left, 10, Width, Height, host, nullptr, nullptr, nullptr);
    };
    child(L"BUTTON", BS_GROUPBOX | WS_VISIBLE, WS_EX_CLIENTEDGE, 10, 40, 40);  // an edge: cut whole
    child(L"STATIC", 0, 0, 60, 40, 40);                                        // hidden: not cut
    child(L"STATIC", WS_VISIBLE, 0, 110, 30, 30);                             // cut whole
    child(L"BUTTON", BS_GROUPBOX | WS_VISIBLE, 0, 150, 40, 60);               // a frame: its inside shows the cache
    TsCommonData data(nullptr, false);
    data.PrepareCache();
    Fill(*data.CacheBmp(), 200, 100, CachePixel);
    const auto copied = [&] {
        vcl::TBitmap target;
        Fill(target, 200, 100, TargetPixel);
        CopyCacheToWindowDC(host, data, {0, 0}, {0, 0, 200, 100}, target.Canvas()->Handle(), false, 0, 0);
        std::vector<std::uint32_t> pixels;
        for (const auto [x, y] : {std::pair{30, 30}, {80, 30}, {120, 20}, {151, 40}, {170, 40}, {188, 40}, {170, 67}, {170, 12}})
            pixels.push_back(target.View().At(x, y) == CachePixel ? 1 : 0);
        return pixels;
    };
    // Without a group-box border in the skin the frame is not cut.
    EXPECT_EQ(copied(), (std::vector<std::uint32_t>{0, 1, 0, 1, 1, 1, 1, 1}));
    // With one: its left, right and bottom margins are; no caption band.
    const int section = Manager->FindSectionIndex("PANEL0");
    Manager->Masks.push_back({.PropertyName = "BORDERSMASK", .WL = 3, .WR = 4, .WB = 5, .OwnerSection = section});
    Manager->StdSectionIndexes[ssGroupBox] = section;
    EXPECT_EQ(copied(), (std::vector<std::uint32_t>{0, 1, 0, 0, 1, 0, 0, 1}));
    DestroyWindow(host);
}

TEST_F(CommonData, ScrollSizesMakeTheWindowRedoItsFrame) {
    auto *box = Form.Add(vcl::Create<vcl::TCustomControl>(Form.Form));
    Form.Show();
    TsScrollWndData data(box, false);
    ASSERT_NE(data.HorzScrollData(), data.VertScrollData());
    EXPECT_EQ(std::pair(data.VertScrollData()->ScrollWidth(), data.VertScrollData()->ButtonsSize()), std::pair(-1, -1));
    MessageTap frame(box, {WM_NCPAINT, WM_NCCALCSIZE});
    data.VertScrollData()->SetButtonsSize(12);
    EXPECT_EQ(std::pair(frame.Count(WM_NCPAINT), frame.Count(WM_NCCALCSIZE)), std::pair(1, 0));
    data.HorzScrollData()->SetScrollWidth(20);
    EXPECT_EQ(frame.Count(WM_NCCALCSIZE), 1);
    EXPECT_EQ(std::pair(data.HorzScrollData()->ScrollWidth(), data.VertScrollData()->ButtonsSize()), std::pair(20, 12));
}

} // namespace
} // namespace skin
