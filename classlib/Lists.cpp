#include "classlib/Lists.h"

#include <algorithm>
#include <utility>

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= FCount)
    ListIndexError(index);
}

void TList::Grow() {
  int capacity = GetCapacity();
  int delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
  SetCapacity(capacity + delta);
}

int TList::Add(void* item) {
  int index = FCount;
  if (FCount == GetCapacity())
    Grow();
  FList[index] = item;
  ++FCount;
  if (item)
    Notify(item, lnAdded);
  return index;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = FList[index];
  std::copy(FList.begin() + index + 1, FList.begin() + FCount, FList.begin() + index);
  --FCount;
  if (item)
    Notify(item, lnDeleted);
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(FList[index1], FList[index2]);
}

void* TList::Extract(void* item) {
  int index = IndexOf(item);
  if (index < 0)
    return nullptr;
  FList[index] = nullptr;  // so that Delete does not report it deleted
  Delete(index);
  Notify(item, lnExtracted);
  return item;
}

int TList::IndexOf(void* item) const {
  auto end = FList.begin() + FCount;
  auto found = std::find(FList.begin(), end, item);
  return found == end ? -1 : static_cast<int>(found - FList.begin());
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > FCount)
    ListIndexError(index);
  if (FCount == GetCapacity())
    Grow();
  std::copy_backward(FList.begin() + index, FList.begin() + FCount, FList.begin() + FCount + 1);
  FList[index] = item;
  ++FCount;
  if (item)
    Notify(item, lnAdded);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  auto base = FList.begin();
  if (curIndex < newIndex)
    std::rotate(base + curIndex, base + curIndex + 1, base + newIndex + 1);
  else
    std::rotate(base + newIndex, base + curIndex, base + curIndex + 1);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0)
    Delete(index);
  return index;
}

void TList::Pack() {
  auto end = std::remove(FList.begin(), FList.begin() + FCount, nullptr);
  FCount = static_cast<int>(end - FList.begin());
}

void TList::Sort(TListSortCompare compare) {
  if (FCount < 2)
    return;
  QuickSortRange(
      0, FCount - 1, [&](int a, int b) { return compare(FList[a], FList[b]); },
      [&](int a, int b) { std::swap(FList[a], FList[b]); });
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return FList[index];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  void* old = FList[index];
  if (old == item)
    return;
  FList[index] = item;
  if (old)
    Notify(old, lnDeleted);
  if (item)
    Notify(item, lnAdded);
}

void TList::SetCount(int count) {
  if (count < 0)
    throw EListError(Format("List count out of bounds (%d)", count));
  if (count > GetCapacity())
    SetCapacity(count);
  if (count > FCount) {
    std::fill(FList.begin() + FCount, FList.begin() + count, nullptr);
    FCount = count;
    return;
  }
  for (int i = FCount - 1; i >= count; --i)
    Delete(i);
}

void TList::SetCapacity(int capacity) {
  if (capacity < FCount)
    throw EListError(Format("List capacity out of bounds (%d)", capacity));
  if (capacity > GetCapacity()) {
    FList.reserve(capacity);  // exactly: Grow already chose the step
    FList.resize(capacity);
    return;
  }
  FList.resize(capacity);
  FList.shrink_to_fit();
}
