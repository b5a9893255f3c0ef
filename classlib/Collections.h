// TCollection, an owned list of items of one item class, and TCollectionItem.
//
// Items are made by their class reference (TCollectionItemClass::Create, which
// TCollection::Add uses): the item is constructed completely first and joins the
// collection afterwards, so a constructor that raises leaves the collection untouched
// and the collection's Update never sees a half-made item. A constructor receives the
// collection only to look at it; `new TItem(collection)` alone does not add the item.
//
// Each item gets an ID from its collection's counter when it joins; IDs are never
// reused. Changes reach the virtual Update(Item): with the item that changed, or with
// nil for changes of the whole collection (items added, removed, moved). While an update
// is open (BeginUpdate) nothing is reported; the final EndUpdate reports Update(nil)
// once. The collection owns its items and frees them with itself.
#pragma once

#include <type_traits>

#include "classlib/Lists.h"
#include "classlib/Persistent.h"

class TCollection;
class TCollectionItem;

// The metaclass of the item family: a virtual constructor taking the collection.
class TCollectionItemMetaClass : public TMetaClass {
 public:
  using TMetaClass::TMetaClass;
  // Makes an item of this class and adds it to `collection`.
  virtual TCollectionItem* Create(TCollection* collection) const = 0;
};
using TCollectionItemClass = const TCollectionItemMetaClass*;

class TCollectionItem : public TPersistent {
  KIVO_CLASS(TCollectionItem, TPersistent)
 public:
  template <class T>
  class TMetaFor : public TCollectionItemMetaClass {
   public:
    using TCollectionItemMetaClass::TCollectionItemMetaClass;
    TCollectionItem* Create(TCollection* collection) const override {
      if constexpr (std::is_abstract_v<T>) {
        AbstractError();
      } else {
        TCollectionItem* item = new T(collection);
        item->Join(collection);
        return item;
      }
    }
  };

  explicit TCollectionItem(TCollection* collection) {}
  // Leaves the collection.
  ~TCollectionItem() override;

  TCollection* GetCollection() const { return FCollection; }
  // Moves the item to another collection (null: to none), where it gets a new ID.
  void SetCollection(TCollection* collection);
  int GetID() const { return FID; }
  // The position in the collection, -1 without one.
  int GetIndex() const;
  // Moves the item to `index` of its collection (EListError for a bad index).
  virtual void SetIndex(int index);

 protected:
  // Reports a change of this item (or, with allItems, of the whole collection).
  void Changed(bool allItems);

 private:
  friend class TCollection;
  // Joins after construction; frees the item when joining raises.
  void Join(TCollection* collection);

  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  KIVO_CLASS(TCollection, TPersistent)
 public:
  explicit TCollection(TCollectionItemClass itemClass);
  // Frees the items without reporting updates.
  ~TCollection() override;

  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  // Frees the item at `index`.
  void Delete(int index);
  // Frees every item, the last first, inside one update.
  void Clear();
  void BeginUpdate() { ++FUpdateCount; }
  // Reports the change (Update) when the last update ends.
  void EndUpdate();
  // Ends an update left by an exception: the count comes down and nothing is reported.
  void EndUpdateQuiet();
  TCollectionItem* FindItemID(int id) const;

  int GetCount() const { return FItems.GetCount(); }
  // Items[Index].
  TCollectionItem* GetItem(int index) const {
    return static_cast<TCollectionItem*>(FItems.Get(index));
  }
  TCollectionItemClass GetItemClass() const { return FItemClass; }
  int GetUpdateCount() const { return FUpdateCount; }
  // The object this collection belongs to; none for a plain collection.
  TPersistent* GetOwner() const override { return nullptr; }

 protected:
  // Reports a change of the whole collection (Update(nil)) unless an update is open.
  void Changed();
  virtual void Update(TCollectionItem* item) {}

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  TCollectionItemClass FItemClass;
  TList FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};

// A collection that answers the object it belongs to.
class TOwnedCollection : public TCollection {
  KIVO_CLASS(TOwnedCollection, TCollection)
 public:
  TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
      : TCollection(itemClass), FOwner(owner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};
