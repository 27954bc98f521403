// The per-control skin data and its command table: the default section, the
// section setter, the common handler's answers, and the faults the Parts
// leave open (records at LParam 0, a manager that goes before its skin data,
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

    ManagerPtr Manager = SectionsManager();
    TestForm Form;

    // A command to the data's common handler: handled?, and its answer.
    static std::pair<bool, LRESULT> Command(TsCommonData &Data, unsigned Code, LPARAM LParam = 0, unsigned Flag = 0) {
        vcl::TMessage m{SM_SKINCOMMAND, SkinCommand(Code, Flag), LParam, 0};
        const bool handled = CommonWndProc(m, &Data);
        return {handled, m.Result};
    }
};

TEST_F(CommonData, CommandTableAnswersWhatItKnowsAndPassesTheRestOn) {
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    TsCommonData &d = panel->Data;
    ASSERT_TRUE(d.IsSkinned(true));
    for (unsigned code : {24u, 35u, 39u, 41u, 50u, 54u, 59u, 67u, 69u, 71u, 200u}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(Command(d, code).first);
    }
    vcl::TMessage other{WM_PAINT, SkinCommand(SC_IS_HANDLED), 0, 0};
    EXPECT_FALSE(CommonWndProc(other, &d));
    vcl::TMessage isHandled{SM_SKINCOMMAND, SkinCommand(SC_IS_HANDLED), 0, 0};
    EXPECT_FALSE(CommonWndProc(isHandled, nullptr));
    EXPECT_FALSE(PreprocessSkinnedMessage(isHandled, nullptr));

    EXPECT_EQ(Command(d, SC_IS_HANDLED), std::pair(true, LRESULT{1}));
    EXPECT_EQ(Command(d, SC_GET_SKIN_DATA).second, reinterpret_cast<LRESULT>(&d));
    // Removal is reported unhandled so that the caller's own removal runs.
    EXPECT_FALSE(Command(d, SC_SKIN_REMOVED, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_EQ(d.SkinIndex(), -1);
    EXPECT_TRUE(d.PaintLocked);
    EXPECT_TRUE(Command(d, SC_SKIN_APPLIED, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_TRUE(d.IsSkinned(true));
    EXPECT_TRUE(Command(d, SC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager.get())).first);
    EXPECT_FALSE(d.PaintLocked);

    // Another manager's skin changes leave the data alone.
    ManagerPtr other2 = NewManager();
    const int index = d.SkinIndex();
    for (unsigned code : {SC_SKIN_APPLIED, SC_SKIN_REMOVED, SC_SKIN_REFRESH}) {
        d.PaintLocked = code == SC_SKIN_REFRESH;
        Command(d, code, reinterpret_cast<LPARAM>(other2.get()));
        EXPECT_EQ(d.SkinIndex(), index) << code;
        EXPECT_EQ(d.PaintLocked, code == SC_SKIN_REFRESH) << code;
    }
}

TEST_F(CommonData, BackgroundColourFollowsTheSectionsTransparency) {
    // The form is white; the panels' colour is PanelColor.
    const struct {
        const char *Section;
        vcl::TColor Expected;
    } cases[] = {{"PANEL0", PanelColor}, {"PANEL50", 0x8F9FAF}, {"PANEL100", 0xFFFFFF}};
    for (const auto &c : cases) {
        auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin(c.Section);
        EXPECT_EQ(Command(panel->Data, SC_GET_BG_COLOR), std::pair(true, LRESULT{c.Expected})) << c.Section;
        EXPECT_EQ(panel->Data.GetBackColor(0), c.Expected) << c.Section;
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
        EXPECT_TRUE(Command(panel->Data, code).first) << code;
    EXPECT_EQ(Command(panel->Data, SC_SET_SECTION), std::pair(true, LRESULT{0}));
    EXPECT_EQ(panel->Data.SkinSection(), "PANEL0");
    EXPECT_EQ(Command(panel->Data, SC_SET_SECTION, reinterpret_cast<LPARAM>("panel50")).second, 1);
    EXPECT_EQ(panel->Data.SkinSection(), "PANEL50");
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
    EXPECT_TRUE(Command(asking->Data, SC_SKIN_APPLIED, reinterpret_cast<LPARAM>(Manager.get())).first);
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
    child->Data.FillBackgroundInfo(info);
    EXPECT_FALSE(info.UseBmp);
    EXPECT_EQ(info.Bmp, nullptr);
    EXPECT_EQ(info.Color, vcl::clFuchsia);

    // A bare window has no painting to put off: it gets the skin's main colour.
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 20, 20, parent->WindowHandle(), nullptr, nullptr,
                                  nullptr);
    WindowBackgroundInfo(window, info);
    DestroyWindow(window);
    EXPECT_FALSE(info.UseBmp);
    EXPECT_EQ(info.Color, Manager->GetMainColor());

    TsCommonData bare(nullptr, false);  // not skinned: its own colour at (0, 0)
    bare.FillBackgroundInfo(info);
    EXPECT_EQ(info.X, 0);
    EXPECT_FALSE(info.UseBmp);
    WindowBackgroundInfo(nullptr, info);
    EXPECT_EQ(info.X, -99);
    EXPECT_EQ(info.Color, vcl::clFuchsia);
}

TEST_F(CommonData, OuterModeBeyondTheSkinsTwoEffectsDrawsNothing) {
    auto *panel = Form.Add(vcl::Create<TSkinned<vcl::TCustomControl>>(Form.Form))->Skin("PANEL0");
    Form.Show();
    panel->Data.OuterEffects()->SetVisibility(ovAlways);
    TsGeneralData &section = Manager->Sections[static_cast<std::size_t>(panel->Data.SkinIndex())];
    section.OuterMask = -1;
    // Even a third effect in the table is not one of the skin's two.
    Manager->OutEffects.resize(3);
    Manager->OutEffects[0] = Manager->OutEffects[2] = {.MaskIndex = 0, .Source = 1, .Opacity = 255};
    Manager->Masks.resize(std::max<std::size_t>(Manager->Masks.size(), 1));
    vcl::TBitmap image;
    image.SetPixelFormat(vcl::pf32bit);
    image.SetSize(200, 100);
    TvlBgQuery target;
    target.Image = &image;
    for (int mode : {0, 3, 7}) {
        section.OuterMode = mode;
        panel->Data.PaintOuterEffect(target, 0);
        EXPECT_EQ(panel->Data.OuterBgBmp, nullptr) << mode;
    }
    section.OuterMode = 1;
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

} // namespace
} // namespace skin
