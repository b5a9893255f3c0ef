// A memory-manager table for tests: installed over the table in force, it forwards
// every call to it and remembers the blocks allocated and released since it was
// installed (the most recent few thousand of each), without allocating itself.
// One recorder at a time; the destructor puts the replaced table back. With it,
// CountAllocationsFailingEachOnce checks that a construction failing at any allocation
// leaves nothing allocated.
#pragma once

#include <cstddef>
#include <new>

#include <gtest/gtest.h>

#include "classlib/MemoryManager.h"

class TMemoryRecorder {
 public:
  TMemoryRecorder();
  ~TMemoryRecorder();
  TMemoryRecorder(const TMemoryRecorder&) = delete;
  TMemoryRecorder& operator=(const TMemoryRecorder&) = delete;

  // Whether P was handed out by GetMem / released by FreeMem while recording.
  bool Allocated(const void* P) const;
  bool Freed(const void* P) const;
  int GetMemCount() const;
  int FreeMemCount() const;
  int ReallocMemCount() const;

  // While set, GetMem answers null without asking the replaced table.
  static void SetFailGetMem(bool Value);
  // The GetMem call `Index` calls from now (0: the next) answers null, the others are
  // served; -1 fails none.
  static void FailGetMemAt(int Index);
  // The status FreeMem answers (the replaced table's status is dropped).
  static void SetFreeStatus(int Status);
};

// Makes an object with `make` once per allocation the making takes, the n-th run (n from
// 0) with its n-th allocation failing, until a run succeeds; each run's object (when
// made) is deleted and every run must free whatever it allocated. Answers the number of
// the run that succeeded (how many allocations the making took), -1 when none of
// `runs` did. A first making, unrecorded, does the classes' first-use work.
template <class Make>
int CountAllocationsFailingEachOnce(Make make, int runs = 400) {
  delete make();
  for (int failAt = 0; failAt < runs; ++failAt) {
    TMemoryRecorder recorder;
    TMemoryRecorder::FailGetMemAt(failAt);
    decltype(make()) made = nullptr;
    try {
      made = make();
    } catch (const std::bad_alloc&) {
    }
    TMemoryRecorder::FailGetMemAt(-1);
    delete made;
    EXPECT_EQ(recorder.GetMemCount(), recorder.FreeMemCount()) << "allocation " << failAt << " failed";
    if (made)
      return failAt;
  }
  return -1;
}
