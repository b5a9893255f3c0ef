// A growable array of fixed-size records held back to back in one block of the
// module's memory manager: record i starts at Data + i * RecordSize. The block grows
// by reallocation, so a record's address holds only until the list next grows.
// Indexes outside 0 .. Count - 1 raise "List index out of bounds (%d)" and change
// nothing. The list is held and freed through a plain reference; it is not counted.
#pragma once

#include "classlib/Object.h"

class TRecordList : public TObject {
  KIVO_CLASS(TRecordList, TObject)

 public:
  explicit TRecordList(int RecordSize);
  TRecordList(const TRecordList&) = delete;
  TRecordList& operator=(const TRecordList&) = delete;
  ~TRecordList() override;

  int GetRecordSize() const { return FRecordSize; }
  int GetCount() const { return FCount; }
  int GetCapacity() const { return FCapacity; }
  void* GetData() const { return FData; }
  // Resizes the block to NewCapacity records; the records in use are kept. A capacity
  // below Count raises EListError and changes nothing.
  void SetCapacity(int NewCapacity);

  void Clear();
  void* ItemPtr(int Index) const;
  // Appends a copy of the RecordSize bytes at Record; its index.
  int Add(const void* Record);
  // Removes record Index; the later records move down by one.
  void Delete(int Index);

 private:
  void Grow();

  int FRecordSize;
  int FCount = 0;
  int FCapacity = 0;
  void* FData = nullptr;
};
