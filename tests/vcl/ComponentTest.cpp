#include "vcl/Component.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vcl;

namespace {

std::vector<std::string> Log;

// Records what it is told, by the name and class of the other component
// (read at the moment of the call, so a component announced with a cut-down
// class would show up here).
class TRecorder : public TComponent {
    VCL_CLASS(TRecorder, TComponent)
public:
    explicit TRecorder(TComponent *AOwner, const std::string &name = {}) : TComponent(AOwner) { SetName(name); }
    ~TRecorder() override { Log.push_back("destroy " + Name() + (Owner() && Owner()->ComponentState().Contains(csDestroying) ? " (owner destroying)" : "")); }

    void Notification(TComponent *AComponent, TOperation Operation) override {
        inherited::Notification(AComponent, Operation);
        Log.push_back(Name() + (Operation == opInsert ? " insert " : " remove ") + AComponent->Name() + ":" +
                      AComponent->ClassName());
        if (Operation == opRemove && AComponent == Partner) Partner = nullptr;
    }

    TComponent *Partner = nullptr;
};

class TSpecial : public TRecorder {
    VCL_CLASS(TSpecial, TRecorder)
public:
    using TRecorder::TRecorder;
};

VCL_CLASS_INFO(TRecorder)
VCL_CLASS_INFO(TSpecial)

class ComponentTest : public testing::Test {
protected:
    void SetUp() override { Log.clear(); }
};

} // namespace

TEST_F(ComponentTest, OwnerDestroysTheTreeItOwnsLastCreatedFirst) {
    {
        TRecorder form(nullptr, "Form");  // on the stack as much as on the heap
        auto *manager = Create<TRecorder>(&form, "Manager");
        Create<TRecorder>(manager, "Skin");
        Create<TRecorder>(&form, "Provider");
        Log.clear();
    }
    std::vector<std::string> destroyed;
    for (const std::string &line : Log)
        if (line.rfind("destroy", 0) == 0) destroyed.push_back(line);
    EXPECT_EQ(destroyed, (std::vector<std::string>{"destroy Form", "destroy Provider (owner destroying)",
                                                   "destroy Manager (owner destroying)", "destroy Skin (owner destroying)"}));
}

TEST_F(ComponentTest, InsertionAndRemovalAreAnnouncedToTheOwnerAndEverySiblingWithTheComponentsOwnClass) {
    TRecorder form(nullptr, "Form");
    TRecorder *manager = Create<TRecorder>(&form, "Manager");
    Log.clear();
    auto *provider = Create<TSpecial>(&form, "Provider");
    // Announced once constructed, to the newcomer itself too (the owner
    // passes it to all it owns); the removal while it is still whole.
    EXPECT_EQ(Log, (std::vector<std::string>{"Provider insert Provider:TSpecial", "Manager insert Provider:TSpecial",
                                             "Form insert Provider:TSpecial"}));
    EXPECT_EQ(form.Components(0), manager);
    EXPECT_EQ(provider->ComponentIndex(), 1);
    EXPECT_EQ(provider->Owner(), &form);
    Log.clear();
    delete provider;
    EXPECT_EQ(Log, (std::vector<std::string>{"Provider remove Provider:TSpecial", "Manager remove Provider:TSpecial",
                                             "Form remove Provider:TSpecial", "destroy Provider"}));
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.FindComponent("Provider"), nullptr);
}

TEST_F(ComponentTest, AComponentMadeWithoutCreateJoinsItsOwnerUnannounced) {
    TRecorder form(nullptr, "Form");
    Log.clear();
    auto *bare = new TRecorder(&form, "Bare");
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(form.FindComponent("Bare"), bare);
    delete bare;  // and leaves without a removal notice for a component never announced
    EXPECT_EQ(Log, (std::vector<std::string>{"destroy Bare"}));
}

TEST_F(ComponentTest, FreeNotificationReachesAComponentOfAnotherOwnerUntilEitherGoes) {
    auto keeper = std::make_unique<TRecorder>(nullptr, "Keeper");
    auto *other = Create<TSpecial>(nullptr, "Other");
    keeper->Partner = other;
    keeper->FreeNotification(other);
    keeper->FreeNotification(other);  // once is enough
    Log.clear();
    delete other;
    EXPECT_EQ(Log, (std::vector<std::string>{"Keeper remove Other:TSpecial", "destroy Other"}));
    EXPECT_EQ(keeper->Partner, nullptr);

    auto *a = Create<TRecorder>(nullptr, "A");
    auto *b = Create<TRecorder>(nullptr, "B");
    a->FreeNotification(b);
    delete a;  // b is told, and forgets a
    Log.clear();
    delete b;  // must not reach the destroyed a (the sanitizers would see it)
    EXPECT_EQ(Log, (std::vector<std::string>{"destroy B"}));

    auto *c = Create<TRecorder>(nullptr, "C");
    keeper->FreeNotification(c);
    keeper->RemoveFreeNotification(c);
    Log.clear();
    delete c;
    EXPECT_EQ(Log, (std::vector<std::string>{"destroy C"}));
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
    TRecorder form(nullptr, "Form");
    auto *button = Create<TRecorder>(&form, "Button1");
    EXPECT_EQ(form.FindComponent("BUTTON1"), button);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_THROW(Create<TRecorder>(&form, "button1"), EComponentError);
    EXPECT_EQ(form.ComponentCount(), 1);  // the failed one was destroyed again
    auto *label = Create<TRecorder>(&form, "Label1");
    EXPECT_THROW(label->SetName("Button1"), EComponentError);
    EXPECT_THROW(label->SetName("1Label"), EComponentError);
    EXPECT_THROW(label->SetName("Label 1"), EComponentError);
    label->SetName("label_2");
    label->SetName("");
    EXPECT_EQ(label->Name(), "");
}

TEST_F(ComponentTest, InsertComponentMovesAComponentBetweenOwners) {
    TRecorder first(nullptr, "First");
    TRecorder second(nullptr, "Second");
    auto *item = Create<TRecorder>(&first, "Item");
    Log.clear();
    second.InsertComponent(item);
    EXPECT_EQ(Log, (std::vector<std::string>{"Item remove Item:TRecorder", "First remove Item:TRecorder",
                                             "Item insert Item:TRecorder", "Second insert Item:TRecorder"}));
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(item->Owner(), &second);
    second.RemoveComponent(item);
    EXPECT_EQ(item->Owner(), nullptr);
    delete item;
}
