#include "containers/RecordList.h"

#include <cassert>
#include <cstring>

#include "classlib/MemoryManager.h"

TRecordList::TRecordList(int RecordSize) : FRecordSize(RecordSize) {
  assert(RecordSize > 0 && "records need a size");
}

TRecordList::~TRecordList() { Clear(); }

void TRecordList::SetCapacity(int NewCapacity) {
  if (NewCapacity < FCount)
    throw EListError(Format("List capacity out of bounds (%d)", NewCapacity));
  if (NewCapacity == FCapacity)
    return;
  ReallocMem(FData, static_cast<size_t>(NewCapacity) * static_cast<size_t>(FRecordSize));
  FCapacity = NewCapacity;
}

// Count goes first so that the capacity may drop to 0.
void TRecordList::Clear() {
  FCount = 0;
  SetCapacity(0);
}

void* TRecordList::ItemPtr(int Index) const {
  if (Index < 0 || Index >= FCount)
    ListIndexError(Index);
  return static_cast<char*>(FData) + Index * FRecordSize;
}

int TRecordList::Add(const void* Record) {
  if (FCount == FCapacity)
    Grow();
  memcpy(static_cast<char*>(FData) + FCount * FRecordSize, Record, FRecordSize);
  return FCount++;
}

void TRecordList::Delete(int Index) {
  char* record = static_cast<char*>(ItemPtr(Index));
  --FCount;
  memmove(record, record + FRecordSize, (FCount - Index) * FRecordSize);
}

void TRecordList::Grow() {
  int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  SetCapacity(FCapacity + delta);
}
