// Broadcasts of the command message and the registry of skinned forms.
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
    HookedDialogProviders = std::make_unique<TvlHookedDialogList>();
    HookedDialogProviders->push_back(std::make_unique<HookedWindow>(dialog.Form->Handle()));
    HookedDialogProviders->push_back(nullptr);
    HookedDialogProviders->push_back(std::make_unique<HookedWindow>(hidden.Form->Handle()));

    const vcl::TMessage repaint{SM_SKINCOMMAND, SkinCommand(SC_REPAINT), 0, 0};
    BroadcastToForms(repaint);
    // A skinned child gets the message itself; its own children are its own.
    EXPECT_EQ(log, (std::vector<std::string>{"b", "b.inner", "a", "a.label", "skinned", "dialog"}));

    // A filtered unskinned child keeps its whole subtree out.
    log.clear();
    ChildBroadcastFilter = [](vcl::TControl *C) { return dynamic_cast<vcl::TCustomControl *>(C) != nullptr; };
    BroadcastToChildControls(b.Form, repaint);
    ChildBroadcastFilter = nullptr;
    EXPECT_TRUE(log.empty());

    RemoveSkinnedForm(skinned.Form);
    HookedDialogProviders.reset();
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
