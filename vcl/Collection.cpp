#include "Collection.h"

#include <algorithm>

#include "List.h"

namespace vcl {

VCL_CLASS_INFO(TCollectionItem)
VCL_CLASS_INFO(TCollection)

// TCollectionItem

TCollectionItem::TCollectionItem(TCollection *Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection *Value) {
    if (Value == FCollection) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto &items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || Value == current) return;
    auto &items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size())) RaiseListIndexError(Value);
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

TPersistent *TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// TCollection

TCollection::TCollection(const TClassInfo &ItemClass, TPersistent *Owner) : FItemClass(&ItemClass), FOwner(Owner) {
    if (!ItemClass.InheritsFrom(TCollectionItem::StaticClassInfo()))
        throw EInvalidOperation(ItemClass.Name + " is not a collection item class");
}

TCollection::~TCollection() {
    ++FUpdateCount;
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem *TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

TCollectionItem *TCollection::Add() {
    if (!FItemClass->Create) throw EInvalidOperation("Cannot create an instance of " + FItemClass->Name);
    return static_cast<TCollectionItem *>(FItemClass->Create(this));
}

TCollectionItem *TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) RaiseListIndexError(Index);
    TCollectionItem *item = nullptr;
    Updating(*this, [&] {
        item = Add();
        item->SetIndex(Index);
    });
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    Updating(*this, [&] {
        while (!FItems.empty()) delete FItems.back();
    });
}

TCollectionItem *TCollection::FindItemID(int ID) const {
    for (TCollectionItem *item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Assign(const TPersistent *Source) {
    if (Source && Source->InheritsFrom<TCollection>()) {
        const auto &source = static_cast<const TCollection &>(*Source);
        if (&source == this) return;
        Updating(*this, [&] {
            Clear();
            for (const TCollectionItem *item : source.FItems) Add()->Assign(item);
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::Update(TCollectionItem *) {}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem *Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem *Item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}

} // namespace vcl
