#include "platform/Collections.h"

#include "platform/ScopeGuard.h"

#include <algorithm>
#include <string>

// ----------------------------------------------------------- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    const auto& Items = FCollection->FItems;
    return static_cast<int>(std::find(Items.begin(), Items.end(), this) - Items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    const int Cur = Index();
    if (Cur < 0 || Value < 0 || Value == Cur)
        return;
    auto& Items = FCollection->FItems;
    Value = std::min(Value, static_cast<int>(Items.size()) - 1);
    Items.erase(Items.begin() + Cur);
    Items.insert(Items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// --------------------------------------------------------------- TCollection

TCollection::TCollection(TPersistent* AOwner, TCollectionItemMaker Maker) : FOwner(AOwner), FMaker(Maker)
{
}

TCollection::~TCollection()
{
    FUpdateCount = 1;   // no reports while going
    Clear();
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* Item = FMaker(this);
    if (Item->FCollection != this)
        Item->SetCollection(this);
    return Item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index)
{
    delete Items(Index);
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    TScopeExit Done([this] { EndUpdate(); });
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID)
            return Item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TCollection*>(Source)) {
        if (Src == this)
            return;
        BeginUpdate();
        TScopeExit Done([this] { EndUpdate(); });
        Clear();
        for (TCollectionItem* Item : Src->FItems)
            Add()->Assign(Item);
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}
