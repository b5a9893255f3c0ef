#include "classlib/List.h"

#include <cstring>

#include "classlib/MemoryManager.h"

TList::~TList() { Clear(); }

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < FCount)
    throw EListError(Format("List capacity out of bounds (%d)", NewCapacity));
  if (NewCapacity == FCapacity)
    return;
  void* list = FList;
  ReallocMem(list, static_cast<size_t>(NewCapacity) * sizeof(void*));
  FList = static_cast<void**>(list);
  FCapacity = NewCapacity;
}

void* TList::GetItems(int Index) const {
  if (Index < 0 || Index >= FCount)
    ListIndexError(Index);
  return FList[Index];
}

int TList::Add(void* Item) {
  Insert(FCount, Item);
  return FCount - 1;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > FCount)
    ListIndexError(Index);
  if (FCount == FCapacity)
    Grow();
  if (Index < FCount)
    memmove(FList + Index + 1, FList + Index, (FCount - Index) * sizeof(void*));
  FList[Index] = Item;
  ++FCount;
  if (Item)
    Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  if (Index < 0 || Index >= FCount)
    ListIndexError(Index);
  void* item = FList[Index];
  --FCount;
  if (Index < FCount)
    memmove(FList + Index, FList + Index + 1, (FCount - Index) * sizeof(void*));
  if (item)
    Notify(item, lnDeleted);
}

int TList::IndexOf(const void* Item) const {
  for (int i = 0; i < FCount; ++i)
    if (FList[i] == Item)
      return i;
  return -1;
}

void TList::Clear() {
  while (FCount > 0)
    Delete(FCount - 1);
  SetCapacity(0);
}

void TList::ReleaseList() noexcept {
  void* list = FList;
  FList = nullptr;
  FCount = 0;
  FCapacity = 0;
  ReallocMem(list, 0);  // a release never raises
}

void TList::Grow() {
  int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  SetCapacity(FCapacity + delta);
}
