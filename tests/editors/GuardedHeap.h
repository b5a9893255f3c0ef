// A memory-manager table for tests of readers of untrusted bytes and of objects freed
// while in use: while a TGuardedHeap lives, every block the module allocates ends exactly
// where an inaccessible page begins, so that a read even one byte past a block faults at
// once instead of reading a neighbour's memory, and a freed block's pages are given back,
// so that a use after free faults too. Every such fault is counted, also one the system
// swallows (it does inside the window procedures it calls), and the heap reports the
// count as a test failure when it ends. Blocks made before it are released and resized by
// the table it replaced. Each block takes its own pages: use it around a bounded piece of
// work.
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
  // Faults in the heap's pages (a freed block, a guard page) since it began.
  static int Faults();
};
