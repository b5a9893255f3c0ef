// A memory-manager table for tests: installed over the table in force, it forwards
// every call to it and remembers the blocks allocated and released since it was
// installed (the most recent few thousand of each), without allocating itself.
// One recorder at a time; the destructor puts the replaced table back.
#pragma once

#include <cstddef>

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
