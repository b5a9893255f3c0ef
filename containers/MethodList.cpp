#include "containers/MethodList.h"

#include <cstring>

TMethodList::TMethodList() : FItems(std::make_unique<TRecordList>(sizeof(TMethod))) {}

TMethodList::~TMethodList() = default;

void TMethodList::GetItem(int Index, TMethod& Method) const {
  memcpy(&Method, FItems->ItemPtr(Index), sizeof(TMethod));
}

int TMethodList::Add(const TMethod& Method) { return FItems->Add(&Method); }

int TMethodList::Remove(const TMethod& Method) {
  for (int i = 0, count = FItems->GetCount(); i < count; ++i) {
    TMethod item;
    GetItem(i, item);
    if (item == Method) {
      FItems->Delete(i);
      return i;
    }
  }
  return -1;
}
