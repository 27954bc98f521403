// What a skinned control's first message stage does with focus, moves,
// sizes, shows, fonts, enabling, context menus, child windows and the
// mouse leaving; and the common command answers that concern paint locks,
// caches, backgrounds and frames.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sMessages.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

// An application's panel class: the skin data knows panels by class name.
class TPanel : public TSkinned<vcl::TCustomControl> {
    VCL_CLASS(TPanel, TSkinned<vcl::TCustomControl>)
public:
    explicit TPanel(vcl::TComponent *AOwner) : TSkinned(AOwner) {}
};
VCL_CLASS_INFO(TPanel)

// Glows that only log what they are asked.
struct GlowWatch : TvlGlowService {
    std::vector<std::string> Log;
    int ShowGlow(const vcl::TRect &, const std::string &, const std::string &, TsCommonData &, HWND, std::uint8_t,
                 int) override {
        return 9;
    }
    void HideGlow(int &GlowID, bool Fade) override {
        Log.push_back((Fade ? "fade " : "hide ") + std::to_string(GlowID));
        GlowID = -1;
    }
    void SetGlowAlpha(int, std::uint8_t) override {}
    void ClearGlows(bool) override {}
};

// A state-fade timer that counts its stops; the skin data frees it.
struct TimerWatch : TvlAnimationTimer {
    using TvlAnimationTimer::TvlAnimationTimer;
    bool Running() const override { return Runs; }
    void StopAnimation() override { ++Stops; }
    bool Runs = true;
    int Stops = 0;
};

TimerWatch *GiveTimer(TsCommonData &Data) {
    auto *timer = vcl::Create<TimerWatch>(nullptr);
    timer->OwnerData = &Data;
    Data.AnimTimer = timer;
    return timer;
}

long Received(const std::vector<WPARAM> &Commands, WPARAM Command) {
    return std::count(Commands.begin(), Commands.end(), Command);
}

// A 32-bit pixel as a bitmap view reads a colour value.
std::uint32_t Pixel(vcl::TColor C) { return (C & 0xFF) << 16 | (C & 0xFF00) | (C >> 16 & 0xFF); }

template <class C> C *AddTo(vcl::TWinControl *Parent, C *Control, vcl::TRect Bounds = {10, 10, 130, 50}) {
    Control->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    Control->SetParent(Parent);
    return Control;
}

class SkinnedMessages : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    // The cursor waits where no test puts a window: a control that appears
    // under it would take the mouse as entered.
    void SetUp() override { ParkCursor(); }
    void TearDown() override { ParkCursor(); }
    ManagerPtr Manager = SectionsManager();
    TsGenState &Normal(const char *Section) {
        return Manager->Sections[static_cast<std::size_t>(Manager->FindSectionIndex(Section))].Props[0];
    }
};

using Skinned = TSkinned<vcl::TCustomControl>;

TEST_F(SkinnedMessages, FocusTakesTheHotColoursAndGivesThemBack) {
    TestForm form;
    auto *edit = form.Add(vcl::Create<Skinned>(form.Form))->Skin("EDIT");
    auto *glass = form.Add(vcl::Create<Skinned>(form.Form), 200)->Skin("PANEL100");
    form.Show();
    Manager->Sections[static_cast<std::size_t>(glass->Data.SkinIndex())].Props[1].Transparency = 100;
    TsCommonData &d = edit->Data;
    d.BGChanged = false;
    ValidateRect(edit->WindowHandle(), nullptr);
    edit->Perform(WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(d.Focused);
    EXPECT_TRUE(d.BGChanged);
    EXPECT_EQ(edit->Color(), 0x50F0F0);
    EXPECT_EQ(edit->Font()->Color(), 0x0000C0);
    EXPECT_TRUE(GetUpdateRect(edit->WindowHandle(), nullptr, FALSE));
    edit->Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(d.Focused);
    EXPECT_EQ(edit->Color(), EditColor);
    EXPECT_EQ(edit->Font()->Color(), 0x000080);

    // A colour of its own stays; the font still follows.
    d.SetCustomColor(true);
    edit->SetColor(vcl::clRed);
    edit->Perform(WM_SETFOCUS, 0, 0);
    EXPECT_EQ(edit->Color(), vcl::clRed);
    EXPECT_EQ(edit->Font()->Color(), 0x0000C0);
    // A control that cannot take the focus, and one that shows only what
    // lies behind it, take no focused look.
    edit->SetEnabled(false);
    edit->Perform(WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(d.Focused);
    glass->Perform(WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(glass->Data.Focused);
}

TEST_F(SkinnedMessages, MovesAndSizesRefreshWhatLiesAroundTheControl) {
    GlowWatch glows;
    TvlServiceRegistration registration(glows);
    TestForm form;
    auto *parent = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *child = AddTo(parent, vcl::Create<Skinned>(form.Form), {10, 10, 160, 110})->Skin("PANEL50");
    auto *inner = AddTo(child, vcl::Create<Skinned>(form.Form))->Skin("BUTTON");
    form.Show();
    parent->Data.PrepareCache();  // it has its image: it does not put painting off
    MessageTap parentTap(parent, {SM_SKINCOMMAND});
    TsCommonData &d = child->Data;

    // A shadow shown or taken away is painted by the parent.
    d.OuterEffects()->SetVisibility(ovAlways);
    EXPECT_EQ(parentTap.Count(SM_SKINCOMMAND, SC_REPAINT), 1);

    const auto send = [&](UINT Msg) {
        parentTap.Seen.clear();
        child->Commands.clear();
        inner->Commands.clear();
        glows.Log.clear();
        d.BGChanged = false;
        d.GlowID = 4;
        child->Perform(Msg, 0, 0);
    };
    const auto parentRebuilt = [&] {
        return parentTap.Count(SM_SKINCOMMAND, SC_INVALIDATE_CACHE) == 1 &&
               parentTap.Count(SM_SKINCOMMAND, SC_BUILD_CACHE) == 1;
    };
    // Moved: the parent's image under the shadow is made again, and a
    // half-transparent control shows the parent's background at its new place.
    send(WM_MOVE);
    EXPECT_TRUE(parentRebuilt());
    EXPECT_TRUE(d.BGChanged);
    EXPECT_EQ(Received(child->Commands, SkinCommand(SC_PARENT_BG_CHANGED, 1)), 1);
    EXPECT_EQ(glows.Log, std::vector<std::string>{"hide 4"});
    EXPECT_EQ(d.GlowID, -1);

    // Sized: with a gradient the children's background changed too; a
    // running fade keeps the glow.
    Normal("PANEL50").GradientPercent = 40;
    TimerWatch *timer = GiveTimer(d);
    send(WM_SIZE);
    EXPECT_TRUE(parentRebuilt());
    EXPECT_TRUE(d.BGChanged);
    EXPECT_EQ(Received(inner->Commands, SkinCommand(SC_PARENT_BG_CHANGED, 1)), 1);
    EXPECT_TRUE(glows.Log.empty());
    timer->Runs = false;
    send(WM_SIZE);
    EXPECT_EQ(glows.Log, std::vector<std::string>{"hide 4"});

    // A parent that puts its painting off is not asked.
    parent->Data.PaintLocked = true;
    send(WM_MOVE);
    EXPECT_EQ(parentTap.Count(SM_SKINCOMMAND, SC_INVALIDATE_CACHE), 0);
    parent->Data.PaintLocked = false;
    // Not skinned: nothing at all.
    d.SetSkinSection("NOSUCHSECTION");
    for (UINT msg : {WM_MOVE, WM_SIZE}) {
        send(msg);
        EXPECT_EQ(parentTap.Count(SM_SKINCOMMAND, SC_INVALIDATE_CACHE), 0) << msg;
        EXPECT_FALSE(d.BGChanged) << msg;
        EXPECT_TRUE(glows.Log.empty()) << msg;
    }
}

TEST_F(SkinnedMessages, ShowsFontsAndDisablingEndTheControlsStates) {
    GlowWatch glows;
    TvlServiceRegistration registration(glows);
    TestForm form;
    auto *edit = form.Add(vcl::Create<Skinned>(form.Form))->Skin("EDIT");
    form.Show();
    TsCommonData &d = edit->Data;
    TimerWatch *timer = GiveTimer(d);
    edit->Perform(WM_SHOWWINDOW, 1, 0);
    EXPECT_EQ(timer->Stops, 1);
    d.MouseInside = d.Focused = true;
    d.GlowID = 2;
    edit->Perform(WM_FONTCHANGE, 0, 0);
    EXPECT_FALSE(d.MouseInside);
    EXPECT_FALSE(d.Focused);
    EXPECT_TRUE(glows.Log.empty());  // still enabled: the glow stays
    d.MouseInside = true;
    edit->SetEnabled(false);
    EXPECT_FALSE(d.MouseInside);
    EXPECT_EQ(glows.Log, std::vector<std::string>{"hide 2"});
    // The keyboard cues are the skin's business, unless there is no skin.
    vcl::TMessage cues{WM_UPDATEUISTATE, 0, 0, 0};
    EXPECT_TRUE(PreprocessSkinnedMessage(cues, &d));
    d.SetSkinSection("NOSUCHSECTION");
    EXPECT_FALSE(PreprocessSkinnedMessage(cues, &d));
}

TEST_F(SkinnedMessages, ContextMenusAndNewChildWindowsAreAnnounced) {
    MenuWatch::Log.clear();
    MenuLayer layer;
    TvlServiceRegistration menus(layer);
    TestForm form;
    auto *panel = form.Add(vcl::Create<Skinned>(form.Form))->Skin("PANEL0");
    form.Show();
    panel->Perform(WM_CONTEXTMENU, 0, 0);
    EXPECT_EQ(MenuWatch::Log, std::vector<std::string>{"owner draw"});

    // A window created in the control makes its form look at the control again.
    MessageTap formTap(form.Form, {SM_SKINCOMMAND});
    AddTo(panel, vcl::Create<vcl::TCustomControl>(form.Form))->HandleNeeded();
    ASSERT_EQ(formTap.Count(SM_SKINCOMMAND, SC_REFRESH_GRAPHIC_CONTROL), 1);
    EXPECT_EQ(std::find_if(formTap.Seen.begin(), formTap.Seen.end(),
                           [](const vcl::TMessage &M) { return SubCommandOf(M.WParam) == SC_REFRESH_GRAPHIC_CONTROL; })
                  ->LParam,
              reinterpret_cast<LPARAM>(panel));

    // Without a skin the menu draws itself.
    Manager->SetActive(false);
    MenuWatch::Log.clear();
    panel->Perform(WM_CONTEXTMENU, 0, 0);
    EXPECT_EQ(MenuWatch::Log, std::vector<std::string>{"own draw"});
}

TEST_F(SkinnedMessages, CachesAreDroppedOnRequestAndWhenHiddenWhileMemoryCounts) {
    GlowWatch glows;
    TvlServiceRegistration registration(glows);
    TestForm form;
    auto *panel = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *windowed = AddTo(panel, vcl::Create<Skinned>(form.Form))->Skin("BUTTON");
    auto *label = AddTo(panel, vcl::Create<TSkinned<vcl::TLabel>>(form.Form), {10, 100, 50, 120})->Skin("BUTTON");
    form.Show();
    TsCommonData &d = panel->Data;
    const WPARAM drop = SkinCommand(SC_DROP_CACHE);
    const auto reset = [&] {
        d.PrepareCache();
        d.BGChanged = false;
        windowed->Commands.clear();
        label->Commands.clear();
    };

    // Asked: its windowed children drop theirs too.
    reset();
    EXPECT_TRUE(CallCommon(d, SC_DROP_CACHE).first);
    EXPECT_TRUE(d.CacheBmp()->Empty());
    EXPECT_TRUE(d.BGChanged);
    EXPECT_EQ(Received(windowed->Commands, drop), 1);
    EXPECT_EQ(Received(label->Commands, drop), 0);
    // Without a cache there is nothing to drop.
    EXPECT_TRUE(CallCommon(windowed->Data, SC_DROP_CACHE).first);
    EXPECT_EQ(windowed->Data.CacheBmp(), nullptr);

    // Hidden while speed counts: the cache stays; the glow goes at once.
    reset();
    d.GlowID = 1;
    panel->SetVisible(false);
    EXPECT_EQ(d.CacheBmp()->Width(), 300);
    EXPECT_FALSE(d.BGChanged);
    EXPECT_EQ(glows.Log, std::vector<std::string>{"hide 1"});
    panel->SetVisible(true);
    // While memory counts the cache goes, the children's too.
    Manager->Options()->OptimizingPriority = opMemory;
    reset();
    panel->SetVisible(false);
    EXPECT_TRUE(d.CacheBmp()->Empty());
    EXPECT_TRUE(d.BGChanged);
    EXPECT_EQ(Received(windowed->Commands, drop), 1);
    EXPECT_EQ(Received(label->Commands, drop), 1);
    d.PrepareCache();
    d.PaintLocked = true;
    panel->SetVisible(true);
    EXPECT_FALSE(d.PaintLocked);

    // Shown again, the control chooses its section again; hidden, it waits.
    d.SetSkinIndex(-1);
    d.Updating = true;
    panel->Perform(vcl::CM_SHOWINGCHANGED, 0, 0);
    EXPECT_FALSE(d.Updating);
    EXPECT_EQ(d.SkinIndex(), Manager->FindSectionIndex("PANEL0"));
    panel->SetVisible(false);
    d.Updating = true;
    panel->Perform(vcl::CM_SHOWINGCHANGED, 0, 0);
    EXPECT_TRUE(d.Updating);
}

// A scrolling window adapter with a vertical bar of a given width.
struct ScrollBars : TvlScrollAdapter {
    HWND AdapterWindow() const override { return nullptr; }
    TvlScrollBarState HorzScrollBar() const override { return {}; }
    TvlScrollBarState VertScrollBar() const override { return Vert; }
    TvlScrollBarState Vert;
    bool Answer(vcl::TMessage &M) {
        if (M.Msg != SM_SKINCOMMAND || SubCommandOf(M.WParam) != SC_QUERY_ADAPTER) return false;
        M.Result = reinterpret_cast<LRESULT>(static_cast<TvlWindowAdapter *>(this));
        return true;
    }
};

TEST_F(SkinnedMessages, MouseLeavesOnlyOnceTheCursorIsOutIncludingAnAdaptersBars) {
    ScrollBars bars;
    TestForm form;
    auto *edit = form.Add(vcl::Create<Skinned>(form.Form))->Skin("EDIT");
    form.Show();
    const HWND wnd = edit->WindowHandle();
    SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VSCROLL);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client{};
    GetClientRect(wnd, &client);
    ASSERT_LT(client.right, edit->Width());  // the bar takes the right edge
    const auto cursorAt = [&](int X) {
        POINT p{X, 5};
        ClientToScreen(wnd, &p);
        SetCursorPos(p.x, p.y);
    };
    const auto leavesAt = [&](int X) {
        cursorAt(X);
        edit->Data.MouseInside = true;
        edit->Perform(vcl::CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(edit));
        return !edit->Data.MouseInside;
    };
    const int onBar = client.right + 2;
    EXPECT_FALSE(leavesAt(5));   // still over the client area: ignored
    EXPECT_TRUE(leavesAt(onBar));  // a bar that no adapter claims is outside
    edit->Own = TvlOwnMessageHandler::Bind<&ScrollBars::Answer>(&bars);
    bars.Vert = {true, edit->Width() - client.right};
    EXPECT_FALSE(leavesAt(onBar));  // the scrolling adapter's visible bar is inside
    bars.Vert.Visible = false;
    EXPECT_TRUE(leavesAt(onBar));
    EXPECT_TRUE(leavesAt(edit->Width() + 30));
    edit->Own = {};

    // A record without a control is tested against the window it serves,
    // in the window's own coordinates.
    TsCommonData bare(nullptr, false);
    bare.WndHandle = wnd;
    cursorAt(5);
    EXPECT_TRUE(IsMouseStillInside(bare));
    cursorAt(edit->Width() + 30);
    EXPECT_FALSE(IsMouseStillInside(bare));
    cursorAt(5);
    ShowWindow(wnd, SW_HIDE);
    EXPECT_FALSE(IsMouseStillInside(bare));
    EXPECT_FALSE(IsMouseStillInside(edit->Data));
}

// ------------------------------------------------------------ command table

TEST_F(SkinnedMessages, UpdateDoneReachesTheChildrenOnceNothingPutsPaintingOff) {
    TestForm form;
    auto *outer = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *panel = AddTo(outer, vcl::Create<Skinned>(form.Form), {10, 10, 210, 160})->Skin("PANEL0");
    auto *windowed = AddTo(panel, vcl::Create<Skinned>(form.Form))->Skin("BUTTON");
    auto *label = AddTo(panel, vcl::Create<TSkinned<vcl::TLabel>>(form.Form), {10, 60, 50, 80})->Skin("BUTTON");
    form.Show();
    outer->Data.PrepareCache();
    const WPARAM done = SkinCommand(SC_PARENT_UPDATE_DONE);
    const auto passedOn = [&] {
        windowed->Commands.clear();
        label->Commands.clear();
        EXPECT_TRUE(CallCommon(panel->Data, SC_PARENT_UPDATE_DONE).first);
        return Received(windowed->Commands, done) + Received(label->Commands, done);
    };
    EXPECT_EQ(passedOn(), 0);  // nothing was put off
    panel->Data.PaintLocked = outer->Data.PaintLocked = true;
    EXPECT_EQ(passedOn(), 0);  // the parent still puts it off
    EXPECT_TRUE(panel->Data.PaintLocked);
    outer->Data.PaintLocked = false;
    EXPECT_EQ(passedOn(), 2);
    EXPECT_FALSE(panel->Data.PaintLocked);
}

// Builds the control's cache when it is asked to.
struct CacheBuilder {
    TsCommonData *Data = nullptr;
    bool Handle(vcl::TMessage &M) {
        if (M.Msg == SM_SKINCOMMAND && SubCommandOf(M.WParam) == SC_BUILD_CACHE) Data->PrepareCache();
        return false;
    }
};

TEST_F(SkinnedMessages, IsUpdatingTellsWhetherTheImageCanServeAsItIs) {
    CacheBuilder builder;
    TestForm form;
    auto *panel = form.Add(vcl::Create<Skinned>(form.Form))->Skin("PANEL0");
    auto *label = form.Add(vcl::Create<TSkinned<vcl::TLabel>>(form.Form), 10, 100)->Skin("PANEL0");
    form.Show();
    TsCommonData &d = panel->Data;
    const auto updating = [&] { return CallCommon(d, SC_IS_UPDATING).second; };
    EXPECT_EQ(updating(), 1);  // no image: the control is asked for one and makes none
    EXPECT_EQ(Received(panel->Commands, SkinCommand(SC_BUILD_CACHE)), 1);
    builder.Data = &d;
    panel->Own = TvlOwnMessageHandler::Bind<&CacheBuilder::Handle>(&builder);
    EXPECT_EQ(updating(), 0);
    panel->SetBounds(10, 10, 200, 60);
    EXPECT_EQ(updating(), 1);  // of another size than the control
    d.SetCustomColor(true);
    EXPECT_EQ(updating(), 0);  // its own colour: the image does not matter
    d.SetCustomColor(false);
    d.SetBGFlags(1);
    EXPECT_EQ(updating(), 0);  // from the parent and not active: the image cannot serve
    d.SetBGFlags(0);
    d.PrepareCache();
    EXPECT_EQ(updating(), 0);
    d.PaintLocked = true;
    EXPECT_EQ(updating(), 1);
    EXPECT_EQ(CallCommon(label->Data, SC_IS_UPDATING).second, 0);  // a graphic control has no image of its own
    panel->Own = {};
}

TEST_F(SkinnedMessages, ParentBackgroundChangesGoOnToChildrenThatShowIt) {
    TestForm form;
    auto *outer = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *panel = AddTo(outer, vcl::Create<Skinned>(form.Form), {10, 10, 210, 160})->Skin("PANEL50");
    auto *child = AddTo(panel, vcl::Create<Skinned>(form.Form))->Skin("BUTTON");
    form.Show();
    const auto changed = [&](const char *Section, unsigned Flag) {
        panel->Data.SetSkinSection(Section);
        panel->Data.BGChanged = false;
        child->Commands.clear();
        ValidateRect(panel->WindowHandle(), nullptr);
        EXPECT_TRUE(CallCommon(panel->Data, SC_PARENT_BG_CHANGED, 0, Flag).first);
        return GetUpdateRect(panel->WindowHandle(), nullptr, FALSE) != FALSE;
    };
    EXPECT_TRUE(changed("PANEL50", 1));  // flag 1 redraws
    EXPECT_TRUE(panel->Data.BGChanged);
    EXPECT_EQ(child->Commands, std::vector<WPARAM>{SkinCommand(SC_PARENT_BG_CHANGED)});
    EXPECT_FALSE(changed("PANEL0", 0));  // its own background: nothing follows
    EXPECT_FALSE(panel->Data.BGChanged);
    EXPECT_TRUE(child->Commands.empty());
}

TEST_F(SkinnedMessages, BackgroundQuestionsAreAnsweredByStateAndTransparency) {
    TestForm form;
    auto *edit = form.Add(vcl::Create<Skinned>(form.Form))->Skin("EDIT");
    auto *panel = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {150, 10, 350, 160})->Skin("PANEL0");
    auto *glass = AddTo(panel, vcl::Create<Skinned>(form.Form), {7, 9, 57, 39})->Skin("PANEL100");
    auto *half = form.Add(vcl::Create<Skinned>(form.Form), 10, 200)->Skin("PANEL50");
    form.Show();

    // Painted into a device context: the colour of the state the control is
    // in, or its image when it has one.
    vcl::TBitmap target;
    target.SetPixelFormat(vcl::pf32bit);
    target.SetSize(20, 20);
    TsCommonData &e = edit->Data;
    const auto painted = [&] {
        TvlBgQuery q;
        q.PaintIntoDC = true;
        q.DC = target.Canvas()->Handle();
        q.Rect = {0, 0, 20, 20};
        EXPECT_EQ(CallCommon(e, SC_GET_BG_INFO, reinterpret_cast<LPARAM>(&q)).second, 1);
        return std::pair<int, std::uint32_t>(q.Kind, target.View().At(5, 5));
    };
    const std::pair<int, std::uint32_t> normal{bqColor, Pixel(EditColor)}, hot{bqColor, Pixel(0x50F0F0)};
    EXPECT_EQ(painted(), normal);
    e.Focused = true;
    EXPECT_EQ(painted(), hot);
    e.Focused = false;
    e.MouseInside = true;
    EXPECT_EQ(painted(), hot);
    e.ControlKind = 51;  // never active by the mouse
    EXPECT_EQ(painted(), normal);
    e.PrepareCache();
    for (int y = 0; y < e.CacheBmp()->Height(); ++y)
        for (int x = 0; x < e.CacheBmp()->Width(); ++x) e.CacheBmp()->View().At(x, y) = 0x123456;
    EXPECT_EQ(painted(), (std::pair<int, std::uint32_t>(bqImage, 0x123456)));

    // Asked as data: a plain colour; through a transparent control to its
    // parent, the piece moved by the control's place; an image that is
    // made on request, and its absence.
    const auto asked = [](TsCommonData &D, TvlBgQuery Q = {}) {
        EXPECT_EQ(CallCommon(D, SC_GET_BG_INFO, reinterpret_cast<LPARAM>(&Q)).second, 1);
        return Q;
    };
    TvlBgQuery q = asked(panel->Data);
    EXPECT_EQ(q.Kind, bqColor);
    EXPECT_EQ(q.Color, PanelColor);
    TvlBgQuery offset;
    offset.X = 1;
    q = asked(glass->Data, offset);
    EXPECT_EQ(q.Kind, bqColor);
    EXPECT_EQ(q.Color, PanelColor);
    EXPECT_EQ(std::pair(q.X, q.Y), std::pair(8, 9));
    half->Commands.clear();
    q = asked(half->Data);
    EXPECT_EQ(Received(half->Commands, SkinCommand(SC_BUILD_CACHE)), 1);
    EXPECT_EQ(q.Kind, bqNoImage);
    EXPECT_EQ(q.Color, Manager->GetMainColor());
    half->Data.PrepareCache();
    q = asked(half->Data);
    EXPECT_EQ(q.Kind, bqImage);
    EXPECT_EQ(q.Image, half->Data.CacheBmp());
}

TEST_F(SkinnedMessages, BackgroundFlagsFollowTheParentOnlyWhereItShows) {
    TestForm form;
    auto *outer = AddTo(form.Form, vcl::Create<TPanel>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *glass = AddTo(outer, vcl::Create<TPanel>(form.Form))->Skin("PANEL100");
    auto *plain = AddTo(form.Form, vcl::Create<vcl::TCustomControl>(form.Form), {10, 220, 200, 280});
    auto *onPlain = AddTo(plain, vcl::Create<TPanel>(form.Form))->Skin("PANEL100");
    const auto flags = [](Skinned *P) { return CallCommon(P->Data, SC_QUERY_BG_FLAGS).second; };
    // Before the parents have windows nothing can be told.
    EXPECT_EQ(glass->Data.ComputeParentBackground(), 2);
    EXPECT_EQ(flags(glass), bgfUndetermined);
    EXPECT_EQ(onPlain->Data.ComputeParentBackground(), 2);
    form.Show();
    EXPECT_EQ(flags(outer), 1);  // a plain colour is what lies behind it as well
    EXPECT_EQ(flags(glass), 1);  // what its skinned parent answers
    EXPECT_EQ(onPlain->Data.ComputeParentBackground(), 1);
    // An image of its own, or outer effects, make the background its own.
    Normal("PANEL0").ImagePercent = 30;
    EXPECT_EQ(outer->Data.ComputeParentBackground(), 0);
    Manager->Effects()->SetAllowOuterEffects(true);
    EXPECT_EQ(glass->Data.ComputeParentBackground(), 0);
    Manager->Effects()->SetAllowOuterEffects(false);
    Normal("PANEL0").ImagePercent = 0;
    // Asked to recompute, the parent has its children recompute too.
    glass->Data.SetBGFlags(0x40);
    CallCommon(outer->Data, SC_QUERY_BG_FLAGS, 1);
    EXPECT_EQ(glass->Data.BGFlags(), 0x41);
}

TEST_F(SkinnedMessages, PaintTargetFramesAndSectionRepaints) {
    TestForm form;
    auto *panel = AddTo(form.Form, vcl::Create<Skinned>(form.Form), {10, 10, 310, 210})->Skin("PANEL0");
    auto *child = AddTo(panel, vcl::Create<Skinned>(form.Form))->Skin("BUTTON");
    form.Show();
    TsCommonData &d = panel->Data;
    vcl::TBitmap target;
    const HDC dc = target.Canvas()->Handle();
    CallCommon(d, SC_SET_PAINT_TARGET, reinterpret_cast<LPARAM>(dc));
    EXPECT_EQ(d.PrintDC, dc);
    EXPECT_TRUE(d.BGFlags() & bgfPaintTarget);
    CallCommon(d, SC_SET_PAINT_TARGET, 0);
    EXPECT_EQ(d.PrintDC, nullptr);
    EXPECT_FALSE(d.BGFlags() & bgfPaintTarget);

    // New frame metrics: the frame is calculated again, then the children hear of it.
    MessageTap frames(panel, {WM_NCCALCSIZE});
    EXPECT_TRUE(CallCommon(d, SC_FRAME_METRICS_CHANGED).first);
    EXPECT_EQ(frames.Count(WM_NCCALCSIZE), 1);
    EXPECT_EQ(Received(child->Commands, SkinCommand(SC_FRAME_METRICS_CHANGED)), 1);
    // A refresh recalculates the frame of the kinds that have one of their own.
    for (int kind : {7, 99}) {
        d.ControlKind = kind;
        frames.Seen.clear();
        CallCommon(d, SC_SKIN_REFRESH, reinterpret_cast<LPARAM>(Manager.get()));
        EXPECT_EQ(frames.Count(WM_NCCALCSIZE), kind == 7 ? 1 : 0) << kind;
    }

    // A section repaint concerns the controls of that section only.
    for (const char *section : {"button", "panel0"}) {
        d.BGChanged = false;
        EXPECT_TRUE(CallCommon(d, SC_SECTION_REPAINT, reinterpret_cast<LPARAM>(section)).first);
        EXPECT_EQ(d.BGChanged, section[0] == 'p') << section;
    }
}

} // namespace
} // namespace skin

namespace skin {
namespace {

// The shell's lookup of the program's icons is put off until a form asks.
TEST(ProgramIcons, AreReadOnTheFirstQuestionAndGoWithTheModule) {
    FinalizeSkinManagerModule();  // whatever an earlier suite left running
    EXPECT_EQ(ProgramIcon(false), nullptr);  // the module does not run
    InitializeSkinManagerModule();
    EXPECT_FALSE(ModuleState().ProgramSmallIcon);
    EXPECT_FALSE(ModuleState().ProgramLargeIcon);
    const vcl::TIcon *small = ProgramIcon(false);
    ASSERT_NE(small, nullptr);
    EXPECT_FALSE(small->Empty());
    EXPECT_NE(ProgramIcon(true), nullptr);
    EXPECT_EQ(ProgramIcon(false), small);  // read once
    FinalizeSkinManagerModule();
    EXPECT_FALSE(ModuleState().ProgramSmallIcon);
    EXPECT_EQ(ProgramIcon(true), nullptr);
}

} // namespace
} // namespace skin
