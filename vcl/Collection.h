#pragma once
// TCollection: an owned, ordered list of items of one item class, as a
// published property holds them (a manager's stored skins, a form's title
// buttons); TCollectionItem: the base of such items. The form reader makes
// items by class info, so an item class needs only VCL_CLASS and a
// constructor taking the collection.
#include <string>
#include <vector>

#include "Persistent.h"

namespace vcl {

class TCollection;

class TCollectionItem : public TPersistent {
    VCL_CLASS(TCollectionItem, TPersistent)
public:
    using TCreateArg = TCollection *;

    // Adds itself to Collection when one is given.
    explicit TCollectionItem(TCollection *Collection);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection *Collection() const { return FCollection; }
    // Moves the item to the end of another collection (or out of any).
    void SetCollection(TCollection *Value);
    int Index() const;  // -1 outside a collection
    void SetIndex(int Value);
    int ID() const { return FID; }  // unique within its collection, never reused
    virtual std::string DisplayName() const;
    TPersistent *GetOwner() const override;  // the collection

protected:
    // Tells the collection that this item (or, AllItems, every item) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection *FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    VCL_CLASS(TCollection, TPersistent)
public:
    // ItemClass must descend from TCollectionItem. Owner is what the
    // collection answers as its owner (the component publishing it).
    explicit TCollection(const TClassInfo &ItemClass, TPersistent *Owner = nullptr);
    // Frees the items, announcing nothing.
    ~TCollection() override;

    const TClassInfo &ItemClass() const { return *FItemClass; }
    TPersistent *Owner() const { return FOwner; }
    TPersistent *GetOwner() const override { return FOwner; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem *Items(int Index) const;  // raises EListError out of range
    TCollectionItem *Add();                   // a new item of ItemClass at the end
    TCollectionItem *Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem *FindItemID(int ID) const;

    // Changes between the outermost BeginUpdate and EndUpdate are announced
    // once, as Update(nullptr).
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: its items, each assigned to a new item here.
    void Assign(const TPersistent *Source) override;

protected:
    // After a change: the item that changed, or null when items came or went
    // or several changed. Not called while an update is open.
    virtual void Update(TCollectionItem *Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem *Item);
    void RemoveItem(TCollectionItem *Item);

    const TClassInfo *FItemClass;
    TPersistent *FOwner;                    // not owned
    std::vector<TCollectionItem *> FItems;  // owned
    int FNextID = 0;
    int FUpdateCount = 0;
};

} // namespace vcl
