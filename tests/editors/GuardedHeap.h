// A memory-manager table for tests of readers of untrusted bytes: while a TGuardedHeap
// lives, every block the module allocates ends exactly where an inaccessible page
// begins, so that a read even one byte past a block faults at once instead of reading
// a neighbour's memory. Blocks made before it are released and resized by the table it
// replaced. Each block takes its own pages: use it around a bounded piece of work.
#pragma once

#include "classlib/MemoryManager.h"

class TGuardedHeap {
 public:
  TGuardedHeap();
  ~TGuardedHeap();
  TGuardedHeap(const TGuardedHeap&) = delete;
  TGuardedHeap& operator=(const TGuardedHeap&) = delete;

  // Blocks handed out and not yet released.
  static int LiveBlocks();
};
