// The module's memory manager: a table of three routines through which every
// allocation of the module passes. The global operator new/new[]/delete/delete[]
// (all unaligned variants) call the routines of the table in force, so whoever
// installs a table with SetMemoryManager sees every new and delete of the module,
// including those made inside the statically linked C++ library. Over-aligned
// allocations go straight to the aligned C runtime routines.
//
// The table starts out with the default routines over malloc/free/realloc and can be
// replaced at any time; a replacement usually saves the table it replaces and
// forwards to it. No lock guards the table: it is replaced at start-up and shut-down.
#pragma once

#include <cstddef>

struct TMemoryManager {
  void* (*GetMem)(size_t Size);               // a new block, or null when out of memory
  int (*FreeMem)(void* P);                    // releases P; 0 for success
  void* (*ReallocMem)(void* P, size_t Size);  // P resized (maybe moved), or null
};

// The table in force.
void GetMemoryManager(TMemoryManager& MemMgr) noexcept;
// Installs `MemMgr` (copied); every routine must be set.
void SetMemoryManager(const TMemoryManager& MemMgr) noexcept;

// The default routines over the C runtime heap.
void* DefaultGetMem(size_t Size) noexcept;
int DefaultFreeMem(void* P) noexcept;
void* DefaultReallocMem(void* P, size_t Size) noexcept;

// Resizes the block P through the table in force: a null P gets a new block, Size 0
// releases the block and leaves P null, otherwise the block is resized with its
// contents kept up to the smaller size. Raises std::bad_alloc when the memory manager
// cannot satisfy the request; P is then unchanged.
void ReallocMem(void*& P, size_t Size);
