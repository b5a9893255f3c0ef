#include "classlib/Lists.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/classlib/ExpectError.h"

namespace {

void* P(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }
int N(void* p) { return static_cast<int>(reinterpret_cast<intptr_t>(p)); }

std::vector<int> Items(const TList& list) {
  std::vector<int> items;
  for (int i = 0; i < list.GetCount(); ++i)
    items.push_back(N(list.Get(i)));
  return items;
}

class TRecordingList : public TList {
 public:
  std::vector<std::pair<int, TListNotification>> Log;

 protected:
  void Notify(void* item, TListNotification action) override { Log.emplace_back(N(item), action); }
};

TEST(PointerList, BadIndexesRaiseWithTheExactMessage) {
  TList list;
  ExpectRaises<EListError>([&] { list.First(); }, "List index out of bounds (0)");
  ExpectRaises<EListError>([&] { list.Last(); }, "List index out of bounds (-1)");
  list.Add(P(1));
  list.Add(P(2));
  ExpectRaises<EListError>([&] { list.Get(2); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.Get(-1); }, "List index out of bounds (-1)");
  ExpectRaises<EListError>([&] { list.Put(5, P(0)); }, "List index out of bounds (5)");
  ExpectRaises<EListError>([&] { list.Delete(2); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.Insert(3, P(9)); }, "List index out of bounds (3)");
  ExpectRaises<EListError>([&] { list.Exchange(0, 7); }, "List index out of bounds (7)");
  ExpectRaises<EListError>([&] { list.Move(0, 2); }, "List index out of bounds (2)");
  ExpectRaises<EListError>([&] { list.SetCapacity(1); }, "List capacity out of bounds (1)");
  ExpectRaises<EListError>([&] { list.SetCount(-1); }, "List count out of bounds (-1)");
  EXPECT_EQ(Items(list), (std::vector<int>{1, 2}));  // nothing was changed on the way
  list.Insert(2, P(3));  // inserting at the end is allowed
  EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3}));
}

TEST(PointerList, EditingOperations) {
  TList list;
  for (int n : {10, 20, 30, 20, 40})
    list.Add(P(n));
  EXPECT_EQ(list.IndexOf(P(20)), 1);
  list.Move(0, 3);
  EXPECT_EQ(Items(list), (std::vector<int>{20, 30, 20, 10, 40}));
  list.Move(4, 1);
  EXPECT_EQ(Items(list), (std::vector<int>{20, 40, 30, 20, 10}));
  list.Exchange(0, 4);
  EXPECT_EQ(Items(list), (std::vector<int>{10, 40, 30, 20, 20}));
  EXPECT_EQ(list.Remove(P(20)), 3);
  EXPECT_EQ(list.Remove(P(77)), -1);
  list.Insert(0, nullptr);
  list.Add(nullptr);
  list.Pack();
  EXPECT_EQ(Items(list), (std::vector<int>{10, 40, 30, 20}));
  list.SetCount(6);
  EXPECT_EQ(Items(list), (std::vector<int>{10, 40, 30, 20, 0, 0}));
  EXPECT_GE(list.GetCapacity(), 6);
  list.SetCount(2);
  EXPECT_EQ(Items(list), (std::vector<int>{10, 40}));
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(PointerList, NotifiesAddedDeletedAndExtractedPointers) {
  TRecordingList list;
  list.Add(P(1));
  list.Add(nullptr);  // nil is not reported
  list.Insert(0, P(2));
  list.Put(2, P(3));
  EXPECT_EQ(list.Extract(P(1)), P(1));
  EXPECT_EQ(list.Extract(P(99)), nullptr);
  list.Add(P(4));
  list.Clear();
  using L = std::vector<std::pair<int, TListNotification>>;
  EXPECT_EQ(list.Log, (L{{1, lnAdded},
                         {2, lnAdded},
                         {3, lnAdded},
                         {1, lnExtracted},
                         {4, lnAdded},
                         {4, lnDeleted},  // Clear goes from the last to the first
                         {3, lnDeleted},
                         {2, lnDeleted}}));
}

// A record sorted by key, the name telling equal keys apart.
struct TKeyed {
  int Key;
  char Name;
};

int CompareKeys(void* a, void* b) {
  return static_cast<TKeyed*>(a)->Key - static_cast<TKeyed*>(b)->Key;
}

std::string SortedNames(std::vector<TKeyed>& records) {
  TList list;
  for (TKeyed& r : records)
    list.Add(&r);
  list.Sort(&CompareKeys);
  std::string names;
  for (int i = 0; i < list.GetCount(); ++i)
    names += static_cast<TKeyed*>(list.Get(i))->Name;
  return names;
}

TEST(PointerList, SortIsTheMiddlePivotQuicksortWithItsOrderOfEqualKeys) {
  // Expected orders traced by hand through the middle-pivot quicksort.
  std::vector<TKeyed> a{{2, 'a'}, {2, 'b'}, {1, 'c'}, {2, 'd'}, {1, 'e'}};
  EXPECT_EQ(SortedNames(a), "ceadb");
  std::vector<TKeyed> b{{3, 'a'}, {1, 'b'}, {3, 'c'}, {2, 'd'}, {3, 'e'}, {1, 'f'}};
  EXPECT_EQ(SortedNames(b), "bfdeac");
  std::vector<TKeyed> single{{5, 'x'}};
  EXPECT_EQ(SortedNames(single), "x");
}

}  // namespace
