// The memory-manager table and the global allocation operators that route through it.
//
// The operators live in this object file together with GetMemoryManager, and the class
// library's link options force this file into every binary that links the library
// (see KivoMemoryManagerAnchor), so the statically linked C++ library's own operators
// are never used instead.
#include "classlib/MemoryManager.h"

#include <cassert>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

// Constant-initialised: allocations made by static constructors before main already
// go through the table.
constinit TMemoryManager gMemoryManager = {DefaultGetMem, DefaultFreeMem, DefaultReallocMem};

// The allocation loop of operator new: retries through the new-handler, raises
// std::bad_alloc when there is none.
template <class F>
void* AllocateWith(size_t size, F allocate) {
  if (size == 0)
    size = 1;  // every new gives a distinct block
  for (;;) {
    if (void* block = allocate(size))
      return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler)
      throw std::bad_alloc();
    handler();
  }
}

template <class F>
void* AllocateWithOrNull(size_t size, F allocate) noexcept {
  try {
    return AllocateWith(size, allocate);
  } catch (...) {
    return nullptr;
  }
}

void* TableGetMem(size_t size) { return gMemoryManager.GetMem(size); }

// Over-aligned blocks bypass the table: its routines know only the default alignment.
auto AlignedGetMem(std::align_val_t alignment) {
  return [alignment](size_t size) { return _aligned_malloc(size, static_cast<size_t>(alignment)); };
}

void Release(void* block) noexcept {
  if (block)
    gMemoryManager.FreeMem(block);
}

}  // namespace

// Referenced by the class library's link options (-u) so that this object file, and
// with it the allocation operators below, is linked into every binary.
extern "C" void KivoMemoryManagerAnchor() {}

void GetMemoryManager(TMemoryManager& MemMgr) noexcept { MemMgr = gMemoryManager; }

void SetMemoryManager(const TMemoryManager& MemMgr) noexcept {
  assert(MemMgr.GetMem && MemMgr.FreeMem && MemMgr.ReallocMem && "incomplete memory manager");
  gMemoryManager = MemMgr;
}

void* DefaultGetMem(size_t Size) noexcept { return malloc(Size); }

int DefaultFreeMem(void* P) noexcept {
  free(P);
  return 0;
}

void* DefaultReallocMem(void* P, size_t Size) noexcept { return realloc(P, Size); }

void ReallocMem(void*& P, size_t Size) {
  if (Size == 0) {
    Release(P);
    P = nullptr;
    return;
  }
  void* resized = P ? gMemoryManager.ReallocMem(P, Size) : gMemoryManager.GetMem(Size);
  if (!resized)
    throw std::bad_alloc();
  P = resized;
}

// The replaceable global allocation operators.

void* operator new(size_t size) { return AllocateWith(size, TableGetMem); }
void* operator new[](size_t size) { return AllocateWith(size, TableGetMem); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return AllocateWithOrNull(size, TableGetMem);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return AllocateWithOrNull(size, TableGetMem);
}

void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

void* operator new(size_t size, std::align_val_t alignment) {
  return AllocateWith(size, AlignedGetMem(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return AllocateWith(size, AlignedGetMem(alignment));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateWithOrNull(size, AlignedGetMem(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return AllocateWithOrNull(size, AlignedGetMem(alignment));
}

void operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
