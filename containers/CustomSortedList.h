// A list of pointers kept in the order of two overridable comparisons, searched by
// binary search while Sorted and by linear search otherwise. The base orders by the
// pointer values themselves; descendants order by a field of the item. Only the
// store's array is owned, never the items.
//
// Pointers compare as unsigned addresses, three-way: a signed difference of two
// addresses 2 GiB or more apart has the wrong sign and would make the binary search
// miss items.
#pragma once

#include <cstdint>
#include <memory>

#include "classlib/Lists.h"
#include "containers/FastList.h"

class TCustomSortedList : public TObject {
  KIVO_CLASS(TCustomSortedList, TObject)

 public:
  TCustomSortedList();
  TCustomSortedList(const TCustomSortedList&) = delete;
  TCustomSortedList& operator=(const TCustomSortedList&) = delete;
  ~TCustomSortedList() override;

  int GetCount() const { return FStore->GetCount(); }
  void* GetItems(int Index) const { return FStore->Get(Index); }
  bool GetSorted() const { return FSorted; }
  TDuplicates GetDuplicates() const { return FDuplicates; }

  // < 0: Item orders before Key; 0: equal; > 0: after.
  virtual int CompareKey(void* Item, void* Key) const;
  virtual int CompareItems(void* Item1, void* Item2) const;
  // Deletes position Index of the store (bound-checked).
  virtual void Delete(int Index);

  // While Sorted: binary search; Index is the position found or the insertion point
  // that keeps the order. Otherwise: IndexOfKey.
  bool FindKey(void* Key, int& Index) const;
  // Position of an item whose key compares equal, or -1 (never an insertion point).
  int IndexOfKey(void* Key) const;
  // While Sorted: binary search by CompareItems (an equal item, not necessarily the
  // same pointer); otherwise the first identical pointer.
  bool FindItem(void* Item, int& Index) const;
  // Deletes the item FindItem finds, through Delete; its former position, or -1.
  int Remove(void* Item);

  // The three-way comparison of two addresses as unsigned values.
  static int CompareAddresses(const void* A, const void* B) {
    auto a = reinterpret_cast<uintptr_t>(A), b = reinterpret_cast<uintptr_t>(B);
    return a < b ? -1 : a > b ? 1 : 0;
  }

 protected:
  void SetSorted(bool Value) { FSorted = Value; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  // Puts Item at Index of the store; while Sorted the caller passes the insertion
  // point that FindKey or FindItem returned, so the order is kept.
  void Insert(int Index, void* Item);

 private:
  using TCompare = int (TCustomSortedList::*)(void*, void*) const;
  bool Search(void* Key, int& Index, TCompare Compare) const;

  std::unique_ptr<TFastList> FStore;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = true;
};
