#include "importer/KivoArena.h"

#include <cassert>
#include <cstdint>
#include <new>

#include <windows.h>

namespace {

TKivoArena* gCurrent = nullptr;

constexpr size_t kAlignment = 8;
constexpr unsigned kRegionShift = 16;  // the 64 KB allocation granularity
constexpr size_t kRegionSize = size_t{1} << kRegionShift;

// The arena holding each 64 KB region of the 32-bit address space, null for none.
TKivoArena* gRegionArena[size_t{1} << (32 - kRegionShift)];

TKivoArena*& RegionOf(const void* address) {
  return gRegionArena[reinterpret_cast<uintptr_t>(address) >> kRegionShift];
}

}  // namespace

TKivoArena::~TKivoArena() {
  assert(FLive == 0 && "a model object outlived the file it was read from");
  for (const TBlock& block : FBlocks) {
    for (size_t at = 0; at < block.Size; at += kRegionSize)
      RegionOf(block.Start + at) = nullptr;
    VirtualFree(block.Start, 0, MEM_RELEASE);
  }
  if (gCurrent == this)
    gCurrent = nullptr;
}

void* TKivoArena::Allocate(size_t size) {
  // Aligned to 8, but to 4 for a size that is an odd multiple of 4: a type's alignment
  // divides its size, so such an object needs no more (most of a model's objects are
  // such, and rounding each up to 8 took a tenth more memory).
  const size_t alignment = (size & (kAlignment - 1)) == 4 ? 4 : kAlignment;
  size = (size + alignment - 1) & ~(alignment - 1);
  FNext = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(FNext) + alignment - 1) &
                                  ~uintptr_t{alignment - 1});
  if (!FEnd || size > static_cast<size_t>(FEnd - FNext)) {
    // A request larger than a block gets a block of its own; the current block stays.
    const size_t wanted = size > BlockSize / 4 ? size : BlockSize;
    const size_t blockSize = (wanted + kRegionSize - 1) & ~(kRegionSize - 1);
    char* start =
        static_cast<char*>(VirtualAlloc(nullptr, blockSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!start)
      throw std::bad_alloc();
    FBlocks.push_back({start, blockSize});
    for (size_t at = 0; at < blockSize; at += kRegionSize)
      RegionOf(start + at) = this;
    ++FLive;
    if (wanted != BlockSize)
      return start;
    FNext = start + size;
    FEnd = start + blockSize;
    return start;
  }
  void* result = FNext;
  FNext += size;
  ++FLive;
  return result;
}

void TKivoArena::Free(void* object) {
  if (!object)
    return;
  if (TKivoArena* arena = RegionOf(object)) {
    assert(arena->FLive > 0);
    --arena->FLive;
    return;
  }
  ::operator delete(object);
}

TKivoArena* TKivoArena::Current() { return gCurrent; }

TKivoArena* TKivoArena::Holding(const void* object) { return object ? RegionOf(object) : nullptr; }

TKivoArenaScope::TKivoArenaScope(TKivoArena& arena) : FPrevious(gCurrent) { gCurrent = &arena; }

TKivoArenaScope::~TKivoArenaScope() { gCurrent = FPrevious; }
