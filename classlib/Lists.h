// TList, the library's list of untyped pointers, and QuickSortRange, the one sort
// routine of the library's lists.
//
// The list does not own what it points at. Every index is checked: a bad one raises
// EListError "List index out of bounds (%d)". Descendants watch the pointers that enter
// and leave through the virtual Notify (nil pointers are not reported).
//
// Destruction releases the array without per-item notification: C++ cannot reach a
// descendant's Notify from the base destructor, so a descendant that must see its items
// leave calls Clear() in its own destructor.
#pragma once

#include <vector>

#include "classlib/Object.h"

// The classic Hoare-style quicksort over positions l..r with the middle element as pivot,
// used by TList::Sort and TStringList::CustomSort. compare(a, b) orders the elements at
// positions a and b (< 0, 0, > 0); exchange(a, b) swaps them. Not stable: the final order
// of equal elements follows from this exact algorithm, which callers may rely on.
// An inconsistent compare routine (one that answers at random, say) leaves the elements
// in some order but never reads outside l..r, and the recursion always takes the smaller
// part, so its depth stays below log2 of the count whatever the routine answers.
template <class TCompare, class TExchange>
void QuickSortRange(int l, int r, TCompare&& compare, TExchange&& exchange) {
  int i;
  do {
    i = l;
    int j = r;
    int pivot = (l + r) >> 1;  // the pivot's position follows it through exchanges
    do {
      // The range guards only keep an inconsistent compare routine inside l..r; with a
      // consistent one the pivot stops both scans first.
      while (i < r && compare(i, pivot) < 0)
        ++i;
      while (j > l && compare(j, pivot) > 0)
        --j;
      if (i <= j) {
        if (i != j)
          exchange(i, j);
        if (pivot == i)
          pivot = j;
        else if (pivot == j)
          pivot = i;
        ++i;
        --j;
      }
    } while (i <= j);
    // The parts l..j and i..r are sorted independently of each other, so taking the
    // smaller one first changes no result of a compare routine that answers by the two
    // elements alone.
    if (j - l < r - i) {
      if (l < j)
        QuickSortRange(l, j, compare, exchange);
      l = i;
    } else {
      if (i < r)
        QuickSortRange(i, r, compare, exchange);
      r = j;
    }
  } while (l < r);
}

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// How a sorted list treats an item equal to one it holds.
enum TDuplicates : unsigned char { dupIgnore, dupAccept, dupError };

// Compare routine of TList::Sort: < 0 when item1 orders before item2, 0 when equal.
using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
  KIVO_CLASS(TList, TObject)
 public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override = default;

  int Add(void* item);
  // Removes every pointer (from the last to the first, each reported as deleted) and
  // releases the array.
  virtual void Clear();
  void Delete(int index);
  void Exchange(int index1, int index2);
  // Removes `item` without reporting it deleted (reported as extracted); returns it, or
  // null when it is not in the list.
  void* Extract(void* item);
  void* First() const { return Get(0); }
  void* Last() const { return Get(FCount - 1); }
  int IndexOf(void* item) const;
  void Insert(int index, void* item);
  void Move(int curIndex, int newIndex);
  // Removes the first occurrence of `item`; returns its former index or -1.
  int Remove(void* item);
  // Removes the nil pointers.
  void Pack();
  void Sort(TListSortCompare compare);

  // Items[Index].
  void* Get(int index) const;
  void Put(int index, void* item);
  int GetCount() const { return FCount; }
  // A larger count appends nil pointers; a smaller one deletes from the end.
  void SetCount(int count);
  int GetCapacity() const { return static_cast<int>(FList.size()); }
  // Raises EListError "List capacity out of bounds (%d)" below the count.
  void SetCapacity(int capacity);
  // The pointer array itself, for fast reads; valid until the list changes.
  void* const* List() const { return FList.data(); }

 protected:
  virtual void Notify(void* item, TListNotification action) {}

 private:
  void CheckIndex(int index) const;
  void Grow();

  std::vector<void*> FList;  // size() is the capacity
  int FCount = 0;
};
