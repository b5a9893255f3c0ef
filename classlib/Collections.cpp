#include "classlib/Collections.h"

#include "classlib/UpdateScope.h"

#include <cassert>

// TCollectionItem

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::Join(TCollection* collection) {
  try {
    SetCollection(collection);
  } catch (...) {
    delete this;
    throw;
  }
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == FCollection)
    return;
  if (FCollection)
    FCollection->RemoveItem(this);
  if (collection)
    collection->InsertItem(this);
}

int TCollectionItem::GetIndex() const {
  return FCollection ? FCollection->FItems.IndexOf(const_cast<TCollectionItem*>(this)) : -1;
}

void TCollectionItem::SetIndex(int index) {
  int current = GetIndex();
  if (current < 0 || current == index)
    return;
  FCollection->FItems.Move(current, index);
  Changed(true);
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0)
    FCollection->Update(allItems ? nullptr : this);
}

// TCollection

TCollection::TCollection(TCollectionItemClass itemClass) : FItemClass(itemClass) {
  assert(itemClass && "a collection needs an item class");
}

TCollection::~TCollection() {
  FUpdateCount = 1;  // a collection being freed reports nothing
  Clear();
}

TCollectionItem* TCollection::Add() { return FItemClass->Create(this); }

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { delete GetItem(index); }

void TCollection::Clear() {
  if (GetCount() == 0)
    return;
  const TUpdateScope update(this);
  while (GetCount() > 0)
    delete static_cast<TCollectionItem*>(FItems.Last());
}

void TCollection::EndUpdate() {
  assert(FUpdateCount > 0 && "EndUpdate without BeginUpdate");
  --FUpdateCount;
  Changed();
}

void TCollection::EndUpdateQuiet() {
  assert(FUpdateCount > 0 && "EndUpdateQuiet without BeginUpdate");
  --FUpdateCount;
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetItem(i)->GetID() == id)
      return GetItem(i);
  return nullptr;
}

void TCollection::Changed() {
  if (FUpdateCount == 0)
    Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  assert(item->InheritsFrom(FItemClass) && "item of a foreign class");
  FItems.Add(item);
  item->FCollection = this;
  item->FID = FNextID++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  FItems.Remove(item);
  item->FCollection = nullptr;
  Changed();
}
