// The stand-in server's objects, indexed by handle. Handles are sequential and never
// reused within a run, so the objects live in pages of consecutive handles: a lookup is
// an index, visiting them in handle order is creation order, an object never moves once
// made (references stay valid while others are made) and the store grows a page at a
// time, without the copy of everything that a growing array makes. Handles of boards and
// iterators leave empty slots behind.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "standin/ravelo/RaveloObject.h"

class TRaveloObjectStore {
 public:
  // Makes the object `handle`, which must lie above every handle made before, with every
  // field at its default, and answers it.
  TRaveloObject& Add(uint32_t handle);
  // Null when `handle` names no living object. (Inline: most entry points ask it.)
  TRaveloObject* Find(uint32_t handle) {
    TRaveloObject* object = Slot(handle);
    return object && object->Handle != 0 ? object : nullptr;
  }
  const TRaveloObject* Find(uint32_t handle) const {
    const TRaveloObject* object = Slot(handle);
    return object && object->Handle != 0 ? object : nullptr;
  }
  // Asks for the slot of `handle` to be brought near ahead of its use: a walk over one
  // kind of a large board meets its objects far apart, and waiting for each one's memory
  // was most of the time of the walks that move every object.
  void Prefetch(uint32_t handle) const {
    const size_t page = handle / PageSize;
    if (page < FPages.size()) {
      // The instruction itself: the compiler drops the builtin's prefetch here.
      const TRaveloObject* slot = FPages[page].get() + handle % PageSize;
      asm volatile("prefetcht0 %0" : : "m"(*reinterpret_cast<const char*>(slot)));
    }
  }
  // Forgets the object; its slot stays empty for the rest of the run.
  void Remove(uint32_t handle);
  void Clear();
  size_t GetCount() const { return FCount; }

  // Calls `visit(object)` for every living object in handle order.
  template <class F>
  void ForEach(F&& visit);
  template <class F>
  void ForEach(F&& visit) const;

 private:
  static constexpr uint32_t PageSize = 1024;
  TRaveloObject* Slot(uint32_t handle) const {
    const size_t page = handle / PageSize;
    if (handle == 0 || page >= FPages.size())
      return nullptr;
    return &FPages[page][handle % PageSize];
  }

  std::vector<std::unique_ptr<TRaveloObject[]>> FPages;  // page n holds handles n*PageSize...
  size_t FCount = 0;
};

template <class F>
void TRaveloObjectStore::ForEach(F&& visit) {
  for (auto& page : FPages)
    for (uint32_t i = 0; i < PageSize; ++i)
      if (page[i].Handle != 0)
        visit(page[i]);
}

template <class F>
void TRaveloObjectStore::ForEach(F&& visit) const {
  for (const auto& page : FPages)
    for (uint32_t i = 0; i < PageSize; ++i)
      if (page[i].Handle != 0)
        visit(static_cast<const TRaveloObject&>(page[i]));
}
