#include "containers/CustomSortedList.h"

#include <cassert>

TCustomSortedList::TCustomSortedList() : FStore(std::make_unique<TFastList>()) {}

TCustomSortedList::~TCustomSortedList() = default;

int TCustomSortedList::CompareKey(void* Item, void* Key) const { return CompareAddresses(Item, Key); }

int TCustomSortedList::CompareItems(void* Item1, void* Item2) const {
  return CompareAddresses(Item1, Item2);
}

void TCustomSortedList::Delete(int Index) { FStore->Delete(Index); }

bool TCustomSortedList::FindKey(void* Key, int& Index) const {
  if (FSorted)
    return Search(Key, Index, &TCustomSortedList::CompareKey);
  Index = IndexOfKey(Key);
  return Index >= 0;
}

int TCustomSortedList::IndexOfKey(void* Key) const {
  if (FSorted) {
    int index;
    return FindKey(Key, index) ? index : -1;
  }
  void* const* items = FStore->List();
  for (int i = 0, count = FStore->GetCount(); i < count; ++i)
    if (CompareKey(items[i], Key) == 0)
      return i;
  return -1;
}

bool TCustomSortedList::FindItem(void* Item, int& Index) const {
  if (FSorted)
    return Search(Item, Index, &TCustomSortedList::CompareItems);
  Index = FStore->IndexOf(Item);
  return Index >= 0;
}

int TCustomSortedList::Remove(void* Item) {
  int index;
  if (!FindItem(Item, index))
    return -1;
  Delete(index);
  return index;
}

void TCustomSortedList::Insert(int Index, void* Item) {
  assert((!FSorted || Index == 0 || CompareItems(FStore->Get(Index - 1), Item) <= 0) &&
         "insertion would break the order");
  assert((!FSorted || Index == FStore->GetCount() || CompareItems(Item, FStore->Get(Index)) <= 0) &&
         "insertion would break the order");
  FStore->Insert(Index, Item);
}

// With duplicates accepted a hit goes on searching to the left, so the first of the
// equal items is found; otherwise the first equal item the halving meets ends it.
bool TCustomSortedList::Search(void* Key, int& Index, TCompare Compare) const {
  void* const* items = FStore->List();
  bool found = false;
  int lo = 0;
  int hi = FStore->GetCount() - 1;
  while (lo <= hi) {
    int mid = static_cast<int>((static_cast<unsigned>(lo) + static_cast<unsigned>(hi)) >> 1);
    int cmp = (this->*Compare)(items[mid], Key);
    if (cmp < 0) {
      lo = mid + 1;
      continue;
    }
    hi = mid - 1;
    if (cmp == 0) {
      found = true;
      if (FDuplicates != dupAccept)
        lo = mid;
    }
  }
  Index = lo;
  return found;
}
