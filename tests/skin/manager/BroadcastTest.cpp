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

} // namespace
} // namespace skin
