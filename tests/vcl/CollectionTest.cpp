#include "vcl/Collection.h"

#include <gtest/gtest.h>

#include "TestForm.h"

using namespace vcl;
using namespace vcl::test;

namespace {

std::string Names(const TTestItems &items) {
    std::string s;
    for (int i = 0; i < items.Count(); ++i) s += (i ? "," : "") + items.Items(i)->Name();
    return s;
}

TTestItem *AddNamed(TTestItems &items, const char *name) {
    auto *item = static_cast<TTestItem *>(items.Add());
    item->SetName(name);
    return item;
}

} // namespace

TEST(Collection, AddsItemsOfItsItemClassAndKeepsTheirOrder) {
    TTestItems items(nullptr);
    TTestItem *a = AddNamed(items, "a");
    AddNamed(items, "b");
    TTestItem *c = AddNamed(items, "c");
    EXPECT_EQ(a->ClassName(), "TTestItem");
    EXPECT_EQ(a->Collection(), &items);
    EXPECT_EQ(a->GetOwner(), &items);
    EXPECT_EQ(c->Index(), 2);
    c->SetIndex(0);
    EXPECT_EQ(Names(items), "c,a,b");
    auto *inserted = static_cast<TTestItem *>(items.Insert(1));
    inserted->SetName("i");
    EXPECT_EQ(Names(items), "c,i,a,b");
    items.Delete(0);
    EXPECT_EQ(Names(items), "i,a,b");
    EXPECT_THROW(items.Items(3), EListError);
    EXPECT_THROW(items.Insert(5), EListError);

    // IDs are unique and never reused, not even the last one's.
    const int last = inserted->ID();
    EXPECT_NE(a->ID(), last);
    items.Delete(inserted->Index());
    TCollectionItem *d = items.Add();
    EXPECT_NE(d->ID(), last);
    EXPECT_EQ(items.FindItemID(d->ID()), d);
    EXPECT_EQ(items.FindItemID(last), nullptr);
}

TEST(Collection, ChangesAreAnnouncedOncePerUpdate) {
    TTestItems items(nullptr);
    items.Add();
    items.Add();
    EXPECT_EQ(items.Updates, 2);
    items.BeginUpdate();
    items.Add();
    items.Delete(0);
    items.Clear();
    EXPECT_EQ(items.Updates, 2);
    items.EndUpdate();
    EXPECT_EQ(items.Updates, 3);
    items.Clear();  // already empty: nothing to announce
    EXPECT_EQ(items.Updates, 3);
}

TEST(Collection, ItemsLeaveTheirCollectionWhenDestroyedOrMoved) {
    TTestItems first(nullptr), second(nullptr);
    TTestItem *a = AddNamed(first, "a");
    AddNamed(first, "b");
    delete a;
    EXPECT_EQ(Names(first), "b");
    first.Items(0)->SetCollection(&second);
    EXPECT_EQ(first.Count(), 0);
    EXPECT_EQ(Names(second), "b");
    TTestItem loose(nullptr);
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.Collection(), nullptr);
    EXPECT_THROW(TCollection(TStringList::StaticClassInfo()), EInvalidOperation);  // no item class
}

TEST(Collection, AssignCopiesEveryItemThroughItsAssign) {
    TTestItems source(nullptr), dest(nullptr);
    AddNamed(source, "x");
    AddNamed(dest, "old");
    // TTestItem does not copy itself: the item's assignment refuses, naming both classes.
    EXPECT_THROW(dest.Assign(&source), EConvertError);
    TTestItems empty(nullptr);
    dest.Assign(&empty);
    EXPECT_EQ(dest.Count(), 0);
    TStringList notACollection;
    EXPECT_THROW(dest.Assign(&notACollection), EConvertError);
}
