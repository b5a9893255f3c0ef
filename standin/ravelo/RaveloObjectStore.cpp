#include "standin/ravelo/RaveloObjectStore.h"

#include <cassert>

TRaveloObject& TRaveloObjectStore::Add(uint32_t handle) {
  assert(handle != 0 && "handle 0 names nothing");
  while (handle / PageSize >= FPages.size())
    FPages.push_back(std::make_unique<TRaveloObject[]>(PageSize));
  TRaveloObject& object = *Slot(handle);
  assert(object.Handle == 0 && "a handle is made once");
  object.Handle = handle;
  ++FCount;
  return object;
}

void TRaveloObjectStore::Remove(uint32_t handle) {
  TRaveloObject* object = Find(handle);
  if (!object)
    return;
  *object = TRaveloObject();
  --FCount;
}

void TRaveloObjectStore::Clear() {
  FPages.clear();
  FCount = 0;
}
