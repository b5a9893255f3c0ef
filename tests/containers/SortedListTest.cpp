#include "containers/CustomSortedList.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "containers/FastList.h"
#include "tests/support/MemoryRecorder.h"

namespace {

void* P(uintptr_t value) { return reinterpret_cast<void*>(value); }

// A sorted list that can be filled and switched over, and logs Delete.
class TTestSortedList : public TCustomSortedList {
 public:
  explicit TTestSortedList(std::vector<uintptr_t> items, TDuplicates duplicates = dupIgnore,
                           bool sorted = true) {
    SetDuplicates(duplicates);
    SetSorted(sorted);
    for (uintptr_t item : items)
      Insert(GetCount(), P(item));
  }
  void Delete(int Index) override {
    Deleted.push_back(Index);
    TCustomSortedList::Delete(Index);
  }
  std::vector<int> Deleted;
};

struct TFound {
  bool Found;
  int Index;
  bool operator==(const TFound&) const = default;
};

TFound FindKey(const TCustomSortedList& list, uintptr_t key) {
  int index = -99;
  bool found = list.FindKey(P(key), index);
  return {found, index};
}

TFound FindItem(const TCustomSortedList& list, uintptr_t item) {
  int index = -99;
  bool found = list.FindItem(P(item), index);
  return {found, index};
}

TEST(CustomSortedList, EmptyListFindsNothingAtIndexZero) {
  TTestSortedList list({});
  EXPECT_EQ(FindKey(list, 10), (TFound{false, 0}));
  EXPECT_EQ(FindItem(list, 10), (TFound{false, 0}));
  EXPECT_EQ(list.IndexOfKey(P(10)), -1);
  EXPECT_EQ(list.Remove(P(10)), -1);
  EXPECT_TRUE(list.Deleted.empty());
}

TEST(CustomSortedList, DuplicatesAcceptedFindTheFirstOfTheEqualItems) {
  TTestSortedList list({10, 20, 20, 20, 30}, dupAccept);
  EXPECT_EQ(FindKey(list, 20), (TFound{true, 1}));
  EXPECT_EQ(FindItem(list, 20), (TFound{true, 1}));
  EXPECT_EQ(list.IndexOfKey(P(20)), 1);
  EXPECT_EQ(FindKey(list, 10), (TFound{true, 0}));
  EXPECT_EQ(FindKey(list, 30), (TFound{true, 4}));
}

TEST(CustomSortedList, DuplicatesIgnoredStopAtTheFirstEqualItemTheHalvingMeets) {
  TTestSortedList list({10, 20, 20, 20, 30});
  EXPECT_EQ(FindKey(list, 20), (TFound{true, 2}));
  EXPECT_EQ(FindItem(list, 20), (TFound{true, 2}));
  TTestSortedList rejecting({10, 20, 20, 20, 30}, dupError);  // only "accept" differs
  EXPECT_EQ(FindKey(rejecting, 20), (TFound{true, 2}));
}

TEST(CustomSortedList, FailedSearchGivesTheInsertionPointButIndexOfKeyGivesMinusOne) {
  for (TDuplicates duplicates : {dupIgnore, dupAccept}) {
    TTestSortedList list({10, 20, 20, 20, 30}, duplicates);
    EXPECT_EQ(FindKey(list, 25), (TFound{false, 4}));
    EXPECT_EQ(FindKey(list, 5), (TFound{false, 0}));
    EXPECT_EQ(FindKey(list, 35), (TFound{false, 5}));
    EXPECT_EQ(FindKey(list, 15), (TFound{false, 1}));
    EXPECT_EQ(list.IndexOfKey(P(25)), -1);
  }
}

TEST(CustomSortedList, RemoveDeletesTheFoundPositionThroughTheVirtualDelete) {
  TTestSortedList list({10, 20, 30});
  EXPECT_EQ(list.Remove(P(20)), 1);
  EXPECT_EQ(list.Remove(P(25)), -1);
  EXPECT_EQ(list.Deleted, std::vector<int>{1});
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetItems(1), P(30));
}

TEST(CustomSortedList, UnsortedListSearchesLinearlyInStoredOrder) {
  TTestSortedList list({30, 20, 10, 20}, dupIgnore, /*sorted=*/false);
  EXPECT_EQ(list.IndexOfKey(P(20)), 1);
  EXPECT_EQ(FindKey(list, 10), (TFound{true, 2}));
  EXPECT_EQ(FindKey(list, 15), (TFound{false, -1}));
  EXPECT_EQ(FindItem(list, 20), (TFound{true, 1}));
  EXPECT_EQ(list.Remove(P(10)), 2);
  EXPECT_EQ(list.Deleted, std::vector<int>{2});
}

// Regression: the signed difference 0x10 - 0x90000000 is positive, so a search for
// the higher address went left and missed it.
TEST(CustomSortedList, AddressesTwoGigabytesApartCompareAsUnsigned) {
  TTestSortedList list({0x10, 0x90000000});
  EXPECT_LT(list.CompareKey(P(0x10), P(0x90000000)), 0);
  EXPECT_GT(list.CompareItems(P(0x90000000), P(0x10)), 0);
  EXPECT_EQ(FindKey(list, 0x90000000), (TFound{true, 1}));
  EXPECT_EQ(FindKey(list, 0x10), (TFound{true, 0}));
  EXPECT_EQ(FindKey(list, 0x80000000), (TFound{false, 1}));
  EXPECT_EQ(FindKey(list, 0xFFFFFFF0), (TFound{false, 2}));
}

TEST(FastList, DestroyingReleasesTheArrayWithoutVisitingTheItems) {
  TMemoryRecorder recorder;
  auto* list = new TFastList;
  // Items that point nowhere: any visit would fault.
  for (uintptr_t item : {1u, 3u, 5u})
    list->Add(P(item));
  const void* array = list->List();
  delete list;
  EXPECT_TRUE(recorder.Freed(array));
}

}  // namespace
