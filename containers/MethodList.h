// An ordered list of method references (TMethod: code, then data; 8 bytes each) kept
// as records of an owned TRecordList. Freeing the list frees its records.
#pragma once

#include <memory>

#include "classlib/Events.h"
#include "classlib/Object.h"
#include "containers/RecordList.h"

class TMethodList : public TObject {
  KIVO_CLASS(TMethodList, TObject)

 public:
  TMethodList();
  TMethodList(const TMethodList&) = delete;
  TMethodList& operator=(const TMethodList&) = delete;
  ~TMethodList() override;

  int GetCount() const { return FItems->GetCount(); }
  // Copies reference Index; a bad index raises "List index out of bounds (%d)".
  void GetItem(int Index, TMethod& Method) const;
  // Appends Method; its index.
  int Add(const TMethod& Method);
  // Removes the first reference equal to Method (same code and data); its former
  // index, or -1 when there is none.
  int Remove(const TMethod& Method);

 private:
  std::unique_ptr<TRecordList> FItems;
};
