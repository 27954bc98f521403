// Broadcasts of the command message, the registry of skinned forms and the
// list of hooked dialogs.
#include <gtest/gtest.h>

#include "SkinnedTestSupport.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinServices.h"
#include "vcl/StdCtrls.h"

namespace skin {
namespace {

using namespace skin::test;

struct HookedWindow : TvlHookedDialog {
    explicit HookedWindow(HWND W) : Window(W) {}
    HWND DialogWindow() const override { return Window; }
    HWND Window;
};

// Adds hooked windows and frees what is left of them when it goes.
struct HookedWindows {
    std::vector<TvlHookedDialog *> Entries;
    TvlHookedDialog *Add(HWND Window) {
        auto entry = std::make_unique<HookedWindow>(Window);
        Entries.push_back(entry.get());
        AddHookedDialog(std::move(entry));
        return Entries.back();
    }
    ~HookedWindows() {
        for (TvlHookedDialog *entry : Entries) RemoveHookedDialog(entry);
    }
};

TEST(Broadcast, FormsLastToFirstThenTheRegistryThenVisibleHookedDialogs) {
    std::vector<std::string> log;
    TestForm a, b, skinned;
    TestForm dialog(vcl::clWhite, nullptr), hidden(vcl::clWhite, nullptr);  // not the application's
    auto *label = a.Add(vcl::Create<vcl::TLabel>(a.Form));
    auto *panel = b.Add(vcl::Create<vcl::TCustomControl>(b.Form));  // not skinned: walked into
    auto *inner = vcl::Create<vcl::TLabel>(b.Form);
    inner->SetParent(panel);
    for (TestForm *f : {&a, &b, &skinned, &dialog}) f->Show();
    hidden.Form->HandleNeeded();
    Recorder ra(log, "a", a.Form, SC_REPAINT), rb(log, "b", b.Form, SC_REPAINT),
        rs(log, "skinned", skinned.Form, SC_REPAINT, true), rd(log, "dialog", dialog.Form, SC_REPAINT),
        rh(log, "hidden", hidden.Form, SC_REPAINT), rl(log, "a.label", label, SC_REPAINT),
        rp(log, "b.panel", panel, SC_REPAINT), ri(log, "b.inner", inner, SC_REPAINT);
    AddSkinnedForm(skinned.Form);
    HookedWindows hooked;
    hooked.Add(dialog.Form->Handle());
    hooked.Add(hidden.Form->Handle());

    const vcl::TMessage repaint{SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0};
    BroadcastToForms(repaint);
    // A skinned child gets the message itself; its own children are its own.
    EXPECT_EQ(log, (std::vector<std::string>{"b", "b.inner", "a", "a.label", "skinned", "dialog"}));

    // A filtered unskinned child keeps its whole subtree out.
    log.clear();
    {
        TvlStateOverride filter(ModuleState().ChildBroadcastFilter, [](vcl::TControl *C) {
            return dynamic_cast<vcl::TCustomControl *>(C) != nullptr;
        });
        BroadcastToChildControls(b.Form, repaint);
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(ModuleState().ChildBroadcastFilter, nullptr);

    RemoveSkinnedForm(skinned.Form);
}

// Logs its name for each SM_SKINCOMMAND of SC_REPAINT that a plain window
// (an MDI parent's client) hears, in front of its procedure.
class WindowRecorder {
public:
    WindowRecorder(std::vector<std::string> &Log, std::string Name, HWND Window)
        : FLog(Log), FName(std::move(Name)), FWindow(Window),
          FPrevious(reinterpret_cast<WNDPROC>(
              SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowRecorder::Proc)))) {
        Taps().push_back(this);
    }
    ~WindowRecorder() {
        SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevious));
        std::erase(Taps(), this);
    }
    WindowRecorder(const WindowRecorder &) = delete;
    WindowRecorder &operator=(const WindowRecorder &) = delete;

private:
    static std::vector<WindowRecorder *> &Taps() {
        static std::vector<WindowRecorder *> taps;
        return taps;
    }
    static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
        for (WindowRecorder *tap : Taps()) {
            if (tap->FWindow != W) continue;
            if (Msg == SM_SKINCOMMAND && SubCommandOf(WP) == SC_REPAINT) tap->FLog.push_back(tap->FName);
            return CallWindowProcW(tap->FPrevious, W, Msg, WP, LP);
        }
        return DefWindowProcW(W, Msg, WP, LP);
    }
    std::vector<std::string> &FLog;
    std::string FName;
    HWND FWindow;
    WNDPROC FPrevious;
};

TEST(Broadcast, AnMDIParentsClientWindowHearsItAfterTheParentAndItsControls) {
    std::vector<std::string> log;
    TestForm plain, skinned;
    for (TestForm *f : {&plain, &skinned}) f->Form->SetFormStyle(vcl::fsMDIForm);
    auto *label = plain.Add(vcl::Create<vcl::TLabel>(plain.Form));
    plain.Show();
    skinned.Show();
    auto *child = vcl::Create<vcl::TForm>(plain.Form, vcl::CreateNew);
    child->SetFormStyle(vcl::fsMDIChild);
    child->Show();
    ASSERT_TRUE(plain.Form->ClientHandle() && skinned.Form->ClientHandle());
    Recorder rp(log, "plain", plain.Form, SC_REPAINT), rl(log, "plain.label", label, SC_REPAINT),
        rs(log, "skinned", skinned.Form, SC_REPAINT, true), rc(log, "child", child, SC_REPAINT);
    WindowRecorder cp(log, "plain.client", plain.Form->ClientHandle()),
        cs(log, "skinned.client", skinned.Form->ClientHandle());
    AddSkinnedForm(skinned.Form);
    BroadcastToForms({SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0});
    RemoveSkinnedForm(skinned.Form);
    // The children are the client's: no walk reaches them by themselves.
    EXPECT_EQ(log, (std::vector<std::string>{"plain", "plain.label", "plain.client", "skinned", "skinned.client"}));
}

TEST(Broadcast, HookedDialogsAreListedOnceAndLeaveEvenInTheMiddleOfAWalk) {
    std::vector<std::string> log;
    TestForm one(vcl::clWhite, nullptr), two(vcl::clWhite, nullptr), three(vcl::clWhite, nullptr);
    for (TestForm *f : {&one, &two, &three}) f->Show();
    HookedWindows hooked;
    TvlHookedDialog *first = hooked.Add(one.Form->Handle());
    TvlHookedDialog *second = hooked.Add(two.Form->Handle());
    hooked.Add(three.Form->Handle());
    AddHookedDialog(nullptr);  // nothing to list
    EXPECT_EQ(HookedDialogCount(), 3u);

    // The first dialog, as it hears the broadcast, takes the second's entry
    // out: the walk never reaches the second.
    struct Leaving {
        TvlHookedDialog *Other;
        void Handle(vcl::TMessage &M) {
            if (M.Msg == SM_SKINCOMMAND) RemoveHookedDialog(Other);
        }
    } leaving{second};
    Recorder r1(log, "one", one.Form, SC_REPAINT), r2(log, "two", two.Form, SC_REPAINT),
        r3(log, "three", three.Form, SC_REPAINT);
    const vcl::TWndMethod previous = one.Form->WindowProc;
    one.Form->WindowProc = vcl::TWndMethod::Bind<&Leaving::Handle>(&leaving);
    BroadcastToListedForms({SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0});
    one.Form->WindowProc = previous;
    EXPECT_EQ(log, (std::vector<std::string>{"three"}));
    EXPECT_EQ(HookedDialogCount(), 2u);

    // A removed entry comes back to the caller once; then it is not listed.
    std::unique_ptr<TvlHookedDialog> taken = RemoveHookedDialog(first);
    EXPECT_EQ(taken.get(), first);
    EXPECT_EQ(RemoveHookedDialog(first), nullptr);
    EXPECT_EQ(HookedDialogCount(), 1u);
    // The hooks' removal frees every entry that is left.
    ClearHookedDialogs();
    EXPECT_EQ(HookedDialogCount(), 0u);
}

TEST(Broadcast, RegistryKeepsAFormOnceAndMovesTheLastIntoAFreedPlace) {
    TestForm x, y, z;
    AddSkinnedForm(x.Form);
    AddSkinnedForm(x.Form);  // twice: still once, so one removal leaves nothing behind
    RemoveSkinnedForm(x.Form);
    EXPECT_TRUE(SkinnedForms().empty());
    for (TestForm *f : {&x, &y, &z}) AddSkinnedForm(f->Form);
    RemoveSkinnedForm(x.Form);
    EXPECT_EQ(SkinnedForms(), (std::vector<vcl::TCustomForm *>{z.Form, y.Form}));
    RemoveSkinnedForm(x.Form);  // not there: nothing changes
    EXPECT_EQ(SkinnedForms().size(), 2u);
    RemoveSkinnedForm(y.Form);
    RemoveSkinnedForm(z.Form);
}

TEST(Broadcast, ValueInListLooksOnlyBetweenItsBounds) {
    const std::int32_t values[] = {5, 7, 9, 11};
    EXPECT_TRUE(ValueInList(values, 9, 1, 2));
    EXPECT_FALSE(ValueInList(values, 5, 1, 3));
    EXPECT_FALSE(ValueInList(values, 11, 0, 2));
    EXPECT_FALSE(ValueInList(values, 7, 2, 1));
    EXPECT_TRUE(ValueInList(values, 11, 3, 9));  // bounds past the end are cut
}

TEST(Broadcast, ChildWindowWalksReachOnlyTheDirectChildren) {
    std::vector<std::string> log;
    TestForm form;
    auto *panel = form.Add(vcl::Create<vcl::TCustomControl>(form.Form));
    auto *inner = vcl::Create<vcl::TCustomControl>(form.Form);
    inner->SetParent(panel);
    form.Show();
    Recorder rp(log, "panel", panel, SC_REPAINT), ri(log, "inner", inner, SC_REPAINT),
        dp(log, "panel done", panel, SC_PARENT_UPDATE_DONE), di(log, "inner done", inner, SC_PARENT_UPDATE_DONE);
    BroadcastToChildWindows(form.Form->Handle(), {SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0});
    PassUpdateDoneToChildWindows(form.Form->Handle());
    EXPECT_EQ(log, (std::vector<std::string>{"panel", "panel done"}));
}

TEST(Broadcast, UpdateDoneGoesToShownChildrenAndNotWhileAFormAnimates) {
    std::vector<std::string> log;
    TestForm form;
    auto *shown = form.Add(vcl::Create<vcl::TCustomControl>(form.Form));
    auto *hidden = form.Add(vcl::Create<vcl::TCustomControl>(form.Form), 150);
    hidden->SetVisible(false);
    auto *label = form.Add(vcl::Create<vcl::TLabel>(form.Form), 10, 60);
    form.Show();
    hidden->HandleNeeded();
    Recorder rs(log, "shown", shown, SC_PARENT_UPDATE_DONE), rh(log, "hidden", hidden, SC_PARENT_UPDATE_DONE),
        rl(log, "label", label, SC_PARENT_UPDATE_DONE);
    PassUpdateDoneToChildren(form.Form);
    EXPECT_EQ(log, (std::vector<std::string>{"shown", "label"}));
    log.clear();
    {
        TvlStateOverride animating(ModuleState().FormAnimationActive, true);
        PassUpdateDoneToChildren(form.Form);
    }
    EXPECT_TRUE(log.empty());
}

TEST(Broadcast, AChildBeingDestroyedEndsTheWalkButNotTheUpdateDone) {
    std::vector<std::string> log;
    TestForm form;
    std::vector<vcl::TLabel *> labels;
    for (int i = 0; i < 5; ++i) labels.push_back(form.Add(vcl::Create<vcl::TLabel>(form.Form), 10, 10 + 30 * i));
    form.Show();
    std::vector<std::unique_ptr<Recorder>> recorders;
    for (int i = 0; i < 5; ++i) {
        recorders.push_back(std::make_unique<Recorder>(log, std::to_string(i), labels[i], SC_REPAINT));
        recorders.push_back(std::make_unique<Recorder>(log, "done " + std::to_string(i), labels[i], SC_PARENT_UPDATE_DONE));
    }
    labels[2]->Destroying();
    BroadcastToChildControls(form.Form, {SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0});
    PassUpdateDoneToChildren(form.Form);
    EXPECT_EQ(log, (std::vector<std::string>{"0", "1", "done 0", "done 1", "done 3", "done 4"}));
    while (!recorders.empty()) recorders.pop_back();  // back in the order they came
}

class SkinChangeSteps : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeSkinManagerModule(); }
    static void TearDownTestSuite() { FinalizeSkinManagerModule(); }
    ManagerPtr Manager = SectionsManager();
};

TEST_F(SkinChangeSteps, RunOverTheShownRegisteredFormsOfTheirManagerAndNeverWhileIconic) {
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    ManagerPtr other = NewManager();
    TsCommonData data(nullptr, false), otherData(nullptr, false);
    otherData.SetSkinManager(other.get());
    TestForm main, skinned, foreign, hidden;
    vcl::Application->FormCreated(main.Form);
    main.Show();
    TestProvider p(skinned.Form, &data), q(foreign.Form, &otherData), h(hidden.Form, &data);
    const HWND border = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    p.Border = border;
    ProviderAnswer pa(skinned.Form, &p), qa(foreign.Form, &q), ha(hidden.Form, &h);
    skinned.Form->SetAlphaBlendValue(200);
    skinned.Form->SetAlphaBlend(true);
    skinned.Show();
    foreign.Show();
    hidden.Form->HandleNeeded();
    for (TestForm *f : {&skinned, &foreign, &hidden}) AddSkinnedForm(f->Form);
    MessageTap redraw(skinned.Form, {WM_SETREDRAW});
    const auto redraws = [&] {
        std::vector<WPARAM> values;
        for (const vcl::TMessage &m : redraw.Seen) values.push_back(m.WParam);
        redraw.Seen.clear();
        return values;
    };

    // Before the new skin: a snapshot of the form with a border form.
    PrepareFormsForSkinChange(*Manager);
    EXPECT_TRUE(ModuleState().FormAnimationActive);
    EXPECT_EQ(p.Images, 1);
    EXPECT_TRUE(p.StateFlags & pfSkinChangeSnapshot);
    EXPECT_NE(p.SavedFormImage, nullptr);
    EXPECT_TRUE(p.FormNeedsRepaint);
    // Applied: the snapshot stands in the border form, the form stops redrawing.
    LockFormsForSkinChange(*Manager);
    EXPECT_TRUE(p.StateFlags & pfSkinChangeRedrawLocked);
    EXPECT_EQ(animations.Log, std::vector<std::string>{"layered 200"});
    EXPECT_EQ(redraws(), std::vector<WPARAM>{FALSE});
    // The end: redrawing again, the fade, the frame and the border form anew.
    FinishFormsSkinChange(*Manager, true);
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    EXPECT_EQ(animations.Log, (std::vector<std::string>{"layered 200", "fade 100 200 0"}));
    EXPECT_EQ(redraws(), std::vector<WPARAM>{TRUE});
    EXPECT_EQ(p.StateFlags & (pfSkinChangeSnapshot | pfSkinChangeRedrawLocked), 0u);
    EXPECT_EQ(std::pair(p.FrameMasks, p.FormRegions), std::pair(1, 1));
    EXPECT_EQ(p.BorderAlpha, 255);
    EXPECT_FALSE(p.FormNeedsRepaint);
    // Another manager's form, and a hidden one, are not touched.
    for (const TestProvider *untouched : {&q, &h}) {
        EXPECT_EQ(untouched->Images, 0);
        EXPECT_FALSE(untouched->FormNeedsRepaint);
        EXPECT_EQ(untouched->StateFlags, 0u);
    }

    // Maximized with a border form, a form is maximized again for a caption
    // of another height, and stays shown.
    {
        TvlStateOverride title(ModuleState().RememberedTitleHeight, 0);
        ShowWindow(skinned.Form->Handle(), SW_MAXIMIZE);
        LockFormsForSkinChange(*Manager);
        FinishFormsSkinChange(*Manager, true);
        EXPECT_EQ(ModuleState().RememberedTitleHeight, 30);
        EXPECT_TRUE(IsZoomed(skinned.Form->Handle()));
        EXPECT_TRUE(IsWindowVisible(skinned.Form->Handle()));
        ShowWindow(skinned.Form->Handle(), SW_RESTORE);
        redraws();
    }
    // Not animated; a form that leaves its frame alone fades without time.
    LockFormsForSkinChange(*Manager);
    FinishFormsSkinChange(*Manager, false);
    EXPECT_EQ(redraws(), (std::vector<WPARAM>{FALSE, TRUE, TRUE}));
    p.NonClient = false;
    animations.Log.clear();
    LockFormsForSkinChange(*Manager);
    FinishFormsSkinChange(*Manager, true);
    EXPECT_EQ(animations.Log, (std::vector<std::string>{"layered 200", "fade 0 255 0"}));

    // While the main form is iconic no step touches any form.
    vcl::Application->Minimize();
    ASSERT_TRUE(ApplicationIconic());
    p.StateFlags = 0;
    p.FormNeedsRepaint = false;
    animations.Log.clear();
    redraws();
    PrepareFormsForSkinChange(*Manager);
    LockFormsForSkinChange(*Manager);
    EXPECT_FALSE(ModuleState().FormAnimationActive);
    FinishFormsSkinChange(*Manager, true);
    EXPECT_EQ(p.Images, 1);
    EXPECT_EQ(p.StateFlags, 0u);
    EXPECT_FALSE(p.FormNeedsRepaint);
    EXPECT_TRUE(animations.Log.empty());
    EXPECT_TRUE(redraws().empty());
    vcl::Application->Restore();
    for (TestForm *f : {&skinned, &foreign, &hidden}) RemoveSkinnedForm(f->Form);
    DestroyWindow(border);
}

TEST_F(SkinChangeSteps, ARegionTheBorderWindowRefusesIsFreed) {
    AnimationsWatch animations;
    TvlServiceRegistration registration(animations);
    TsCommonData data(nullptr, false);
    TestForm skinned;
    TestProvider p(skinned.Form, &data);
    ProviderAnswer answer(skinned.Form, &p);
    skinned.Show();
    AddSkinnedForm(skinned.Form);
    // A border window that went while its provider still knew it.
    p.Border = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(p.Border);
    const auto freed = [&] { return !p.Regions.empty() && GetObjectType(p.Regions.back()) == 0; };
    LockFormsForSkinChange(*Manager);
    EXPECT_TRUE(freed()) << "the lock";
    FinishFormsSkinChange(*Manager, true);
    EXPECT_EQ(p.Regions.size(), 2u);
    EXPECT_TRUE(freed()) << "the fade's end";
    RemoveSkinnedForm(skinned.Form);
}

} // namespace
} // namespace skin
