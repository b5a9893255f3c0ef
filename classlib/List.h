// The class library's pointer list: a growable array of untyped pointers with bound
// checks ("List index out of bounds (%d)") and a per-item notification that
// descendants override to learn of items added and removed. The list owns only its
// array, never the items. The array lives in the module's memory manager and grows by
// reallocation.
#pragma once

#include "classlib/Object.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// How a sorted list treats an item equal to one it holds.
enum TDuplicates : unsigned char { dupIgnore, dupAccept, dupError };

class TList : public TObject {
  KIVO_CLASS(TList, TObject)

 public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;

  int GetCount() const { return FCount; }
  int GetCapacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  void* GetItems(int Index) const;
  // The array itself, valid for GetCount() entries until the list changes.
  void** GetList() const { return FList; }

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // First position holding Item, or -1.
  int IndexOf(const void* Item) const;
  // Deletes every item, notifying each, and releases the array.
  virtual void Clear();

 protected:
  virtual void Notify(void* Ptr, TListNotification Action) {}
  // Releases the array without touching or notifying the items.
  void ReleaseList() noexcept;

 private:
  void Grow();

  void** FList = nullptr;
  int FCount = 0;
  int FCapacity = 0;
};
