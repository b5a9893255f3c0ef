#include "classlib/Collections.h"

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/classlib/ExpectError.h"

namespace {

int gItemsAlive = 0;

class TButtonItem : public TCollectionItem {
  KIVO_CLASS(TButtonItem, TCollectionItem)
 public:
  // Refuses a ninth button, before joining, as a constructor that raises may.
  explicit TButtonItem(TCollection* collection) : TCollectionItem(collection) {
    if (collection && collection->GetCount() >= 8)
      throw Exception(Format("Too many buttons ( >= %d)", 8));
    ++gItemsAlive;
  }
  ~TButtonItem() override { --gItemsAlive; }

  bool Default = false;  // set by the collection's Update when it holds one button
  std::string Caption;
  void SetCaption(const std::string& caption) {
    Caption = caption;
    Changed(false);
  }
  void SetWidth() { Changed(true); }
};

// Records the Update calls: the item's ID, or -1 for nil.
class TButtons : public TOwnedCollection {
  KIVO_CLASS(TButtons, TOwnedCollection)
 public:
  explicit TButtons(TPersistent* owner = nullptr)
      : TOwnedCollection(owner, &TButtonItem::MetaClass()) {}
  TButtonItem* Add() { return static_cast<TButtonItem*>(inherited::Add()); }
  TButtonItem* Items(int index) const { return static_cast<TButtonItem*>(GetItem(index)); }
  std::vector<int> Updates;

 protected:
  void Update(TCollectionItem* item) override {
    Updates.push_back(item ? item->GetID() : -1);
    if (GetCount() == 1)
      Items(0)->Default = true;
  }
};

std::vector<int> IDs(const TCollection& collection) {
  std::vector<int> ids;
  for (int i = 0; i < collection.GetCount(); ++i)
    ids.push_back(collection.GetItem(i)->GetID());
  return ids;
}

using V = std::vector<int>;

TEST(Collection, IDsComeFromACounterAndAreNeverReused) {
  TButtons buttons;
  buttons.Add();
  buttons.Add();
  buttons.Add();
  EXPECT_EQ(IDs(buttons), (V{0, 1, 2}));
  buttons.Delete(2);
  buttons.Add();
  EXPECT_EQ(IDs(buttons), (V{0, 1, 3}));
  EXPECT_EQ(buttons.FindItemID(2), nullptr);
  EXPECT_EQ(buttons.FindItemID(3), buttons.GetItem(2));
  buttons.Clear();
  buttons.Add();
  EXPECT_EQ(IDs(buttons), (V{4}));
  // An item moved to another collection takes that collection's next ID.
  TButtons other;
  other.Add();
  buttons.GetItem(0)->SetCollection(&other);
  EXPECT_EQ(IDs(other), (V{0, 1}));
  EXPECT_EQ(buttons.GetCount(), 0);
}

TEST(Collection, UpdateReportsTheChangedItemOrNilAndWaitsForTheLastEndUpdate) {
  TButtons buttons;
  TButtonItem* first = buttons.Add();
  TButtonItem* second = buttons.Add();
  EXPECT_EQ(buttons.Updates, (V{-1, -1}));  // adding changes the whole collection
  buttons.Updates.clear();
  second->SetCaption("OK");
  first->SetWidth();
  EXPECT_EQ(buttons.Updates, (V{1, -1}));

  buttons.Updates.clear();
  buttons.BeginUpdate();
  buttons.BeginUpdate();
  first->SetCaption("Cancel");
  buttons.Add();
  buttons.Delete(0);
  buttons.EndUpdate();
  EXPECT_TRUE(buttons.Updates.empty());
  buttons.EndUpdate();
  EXPECT_EQ(buttons.Updates, (V{-1}));
}

TEST(Collection, IndexMovesTheItemAndChecksTheTarget) {
  TButtons buttons;
  for (int i = 0; i < 4; ++i)
    buttons.Add();
  buttons.Updates.clear();
  buttons.GetItem(0)->SetIndex(2);
  EXPECT_EQ(IDs(buttons), (V{1, 2, 0, 3}));
  EXPECT_EQ(buttons.GetItem(2)->GetIndex(), 2);
  EXPECT_EQ(buttons.Updates, (V{-1}));
  buttons.Insert(1);
  EXPECT_EQ(IDs(buttons), (V{1, 4, 2, 0, 3}));
  ExpectRaises<EListError>([&] { buttons.GetItem(0)->SetIndex(5); },
                           "List index out of bounds (5)");
  EXPECT_THROW(buttons.GetItem(5), EListError);
  EXPECT_THROW(buttons.Delete(-1), EListError);
}

TEST(Collection, ARaisingItemConstructorLeavesTheCollectionIntact) {
  TButtons buttons;
  for (int i = 0; i < 8; ++i)
    buttons.Add();
  buttons.Updates.clear();
  ExpectRaises<Exception>([&] { buttons.Add(); }, "Too many buttons ( >= 8)");
  EXPECT_EQ(buttons.GetCount(), 8);
  EXPECT_TRUE(buttons.Updates.empty());
  buttons.Delete(7);
  EXPECT_EQ(buttons.Add()->GetID(), 8);  // the refused item took no ID
}

TEST(Collection, UpdateSeesCompletelyBuiltItems) {
  // The collection's Update sets Default on a sole button; an item that joined during
  // its own construction would have its member initializers undo that afterwards.
  TButtons buttons;
  EXPECT_TRUE(buttons.Add()->Default);
}

TEST(Collection, OwnsItsItemsAndKnowsItsOwner) {
  TPersistent owner;
  gItemsAlive = 0;
  {
    TButtons buttons(&owner);
    EXPECT_EQ(buttons.GetOwner(), &owner);
    EXPECT_EQ(buttons.GetItemClass(), &TButtonItem::MetaClass());
    TCollectionItem* made = TButtonItem::MetaClass().Create(&buttons);
    EXPECT_STREQ(made->ClassName(), "TButtonItem");
    EXPECT_EQ(made->GetCollection(), &buttons);
    buttons.Add();
    delete buttons.GetItem(0);  // an item freed directly leaves its collection
    EXPECT_EQ(buttons.GetCount(), 1);
    EXPECT_EQ(gItemsAlive, 1);
  }
  EXPECT_EQ(gItemsAlive, 0);
  TCollection plain(&TButtonItem::MetaClass());
  EXPECT_EQ(plain.GetOwner(), nullptr);
}

}  // namespace
