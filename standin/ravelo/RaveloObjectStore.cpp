#include "standin/ravelo/RaveloObjectStore.h"

#include <cassert>

TRaveloObject* TRaveloObjectStore::Slot(uint32_t handle) const {
  const size_t page = handle / PageSize;
  if (handle == 0 || page >= FPages.size())
    return nullptr;
  return &FPages[page][handle % PageSize];
}

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

TRaveloObject* TRaveloObjectStore::Find(uint32_t handle) {
  TRaveloObject* object = Slot(handle);
  return object && object->Handle != 0 ? object : nullptr;
}

const TRaveloObject* TRaveloObjectStore::Find(uint32_t handle) const {
  const TRaveloObject* object = Slot(handle);
  return object && object->Handle != 0 ? object : nullptr;
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
