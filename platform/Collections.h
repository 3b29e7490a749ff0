// Collections: lists of items of one class that the collection owns, such as
// the custom axes of a chart. Forms store a published collection as its
// items in < > (platform/Filer.h).
#pragma once

#include "platform/Classes.h"

#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    OZ_CLASS(TCollectionItem, TPersistent);

public:
    // Joins Collection (at its end) when given.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to the end of another collection (nil: none).
    void SetCollection(TCollection* Value);
    // The place in the collection; -1 without one.
    int Index() const;
    void SetIndex(int Value);
    // Unique within the collection, kept when items move.
    int ID() const { return FID; }

protected:
    // Tells the collection that this item (AllItems false) or every item changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Makes one item of a collection's class, joined to it.
using TCollectionItemMaker = TCollectionItem* (*)(TCollection* Collection);

template <class TItem>
TCollectionItem* MakeCollectionItem(TCollection* Collection)
{
    return new TItem(Collection);
}

class TCollection : public TPersistent {
    OZ_CLASS(TCollection, TPersistent);

public:
    // Items are made with Maker: MakeCollectionItem<TAxisItem>.
    TCollection(TPersistent* AOwner, TCollectionItemMaker Maker);
    ~TCollection() override;

    TPersistent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Exception when Index is out of range.
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    // Changes between BeginUpdate and EndUpdate are reported once, at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From a collection: as many items, each assigned from Source's.
    void Assign(TPersistent* Source) override;

protected:
    // An item changed (nil: the items as a whole); not during an update.
    virtual void Update(TCollectionItem* Item) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TPersistent* FOwner;
    TCollectionItemMaker FMaker;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};
