// Memory for the model of the file being read: the model's objects are taken from large
// blocks owned by the file and given back all at once with it, instead of one by one
// through the heap (a large board's model is millions of small objects, whose making
// and freeing cost the reading about a fifth of its time). Objects made while no arena
// is open come from the heap as before.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

class TKivoArena {
 public:
  TKivoArena() = default;
  // Every object taken from it must be gone by now (the file owns its model).
  ~TKivoArena();
  TKivoArena(const TKivoArena&) = delete;
  TKivoArena& operator=(const TKivoArena&) = delete;

  // `size` bytes aligned to 8 (to 4 for an odd multiple of 4); one more object alive.
  // Inline (always) but for a new block: a large board's model takes millions.
  __attribute__((always_inline)) void* Allocate(size_t size) {
    // A type's alignment divides its size, so an odd multiple of 4 needs no more than 4
    // (most of a model's objects are such, and rounding each up to 8 took a tenth more
    // memory).
    const size_t alignment = (size & (kAlignment - 1)) == 4 ? 4 : kAlignment;
    size = (size + alignment - 1) & ~(alignment - 1);
    char* const at = reinterpret_cast<char*>(
        (reinterpret_cast<uintptr_t>(FNext) + alignment - 1) & ~uintptr_t{alignment - 1});
    if (!FEnd || size > static_cast<size_t>(FEnd - at))
      return AllocateInNewBlock(size);
    FNext = at + size;
    ++FLive;
    return at;
  }
  size_t GetLiveCount() const { return FLive; }

  // The arena model objects are made in; null for the heap.
  static TKivoArena* Current() { return FCurrent; }
  // The arena whose memory holds `object`; null when none does.
  static TKivoArena* Holding(const void* object) { return RegionOf(object); }
  // Gives back an object's memory: to its arena when one holds it (which only counts
  // it, the memory staying until the arena goes), else to the heap.
  static void Free(void* object) {
    if (TKivoArena* arena = RegionOf(object)) {
      assert(arena->FLive > 0);
      --arena->FLive;
      return;
    }
    ::operator delete(object);
  }

 private:
  friend class TKivoArenaScope;
  // Blocks are whole regions of the address space's 64 KB allocation granularity, so
  // that a table of regions tells which arena, if any, holds an object: no object
  // carries a mark of its own. Blocks of 4 MB: the first touch of each page of a large
  // model's memory is a good part of reading it, and in blocks of 1 MB it cost about a
  // tenth more (a block's pages not touched take no memory).
  static constexpr size_t BlockSize = 4 << 20;

  static constexpr size_t kAlignment = 8;
  static constexpr unsigned kRegionShift = 16;  // the 64 KB allocation granularity
  static constexpr size_t kRegionSize = size_t{1} << kRegionShift;

  // Takes a new block for `size` bytes (rounded already) and the object from it.
  void* AllocateInNewBlock(size_t size);
  // The arena holding the 64 KB region of `address`; null for none (also for null).
  static TKivoArena*& RegionOf(const void* address) {
    return FRegions[reinterpret_cast<uintptr_t>(address) >> kRegionShift];
  }

  struct TBlock {
    char* Start;
    size_t Size;
  };
  std::vector<TBlock> FBlocks;
  char* FNext = nullptr;
  char* FEnd = nullptr;
  size_t FLive = 0;

  static TKivoArena* FCurrent;
  // The arena of each 64 KB region of the 32-bit address space, null for none.
  static TKivoArena* FRegions[size_t{1} << (32 - kRegionShift)];
};

// Makes `arena` current for its lifetime, then the one before again.
class TKivoArenaScope {
 public:
  explicit TKivoArenaScope(TKivoArena& arena);
  ~TKivoArenaScope();
  TKivoArenaScope(const TKivoArenaScope&) = delete;
  TKivoArenaScope& operator=(const TKivoArenaScope&) = delete;

 private:
  TKivoArena* FPrevious;
};

// An allocator of the current arena, the heap when none is current; what it gives back
// goes to whichever holds it. Lists of the model (vertices, members) use it, so that
// their storage goes with the file too.
template <class T>
struct TKivoArenaAllocator {
  using value_type = T;
  TKivoArenaAllocator() = default;
  template <class U>
  TKivoArenaAllocator(const TKivoArenaAllocator<U>&) {}

  T* allocate(size_t count) {
    TKivoArena* arena = TKivoArena::Current();
    return static_cast<T*>(arena ? arena->Allocate(count * sizeof(T))
                                 : ::operator new(count * sizeof(T)));
  }
  void deallocate(T* items, size_t) { TKivoArena::Free(items); }
  template <class U>
  bool operator==(const TKivoArenaAllocator<U>&) const {
    return true;
  }
};

template <class T>
using TKivoArenaVector = std::vector<T, TKivoArenaAllocator<T>>;
