#include "tests/support/MemoryRecorder.h"

#include <cassert>

namespace {

constexpr int kRemembered = 8192;

struct TRecording {
  const void* Blocks[kRemembered];
  int Count;
  bool Contains(const void* p) const {
    int n = Count < kRemembered ? Count : kRemembered;
    for (int i = 0; i < n; ++i)
      if (Blocks[i] == p)
        return true;
    return false;
  }
  void Add(const void* p) { Blocks[Count++ % kRemembered] = p; }
};

bool gActive = false;
TMemoryManager gReplaced;
TRecording gAllocated, gFreed;
int gReallocCount = 0;
bool gFailGetMem = false;
int gFailAt = -1;  // GetMem calls still to pass before the one that fails
int gFreeStatus = 0;

void* RecordingGetMem(size_t size) {
  if (gFailGetMem)
    return nullptr;
  if (gFailAt >= 0 && gFailAt-- == 0)
    return nullptr;
  void* block = gReplaced.GetMem(size);
  gAllocated.Add(block);
  return block;
}

int RecordingFreeMem(void* p) {
  gReplaced.FreeMem(p);
  gFreed.Add(p);
  return gFreeStatus;
}

void* RecordingReallocMem(void* p, size_t size) {
  ++gReallocCount;
  return gReplaced.ReallocMem(p, size);
}

}  // namespace

TMemoryRecorder::TMemoryRecorder() {
  assert(!gActive && "one memory recorder at a time");
  gActive = true;
  gAllocated.Count = gFreed.Count = gReallocCount = 0;
  gFailGetMem = false;
  gFailAt = -1;
  gFreeStatus = 0;
  GetMemoryManager(gReplaced);
  SetMemoryManager({RecordingGetMem, RecordingFreeMem, RecordingReallocMem});
}

TMemoryRecorder::~TMemoryRecorder() {
  SetMemoryManager(gReplaced);
  gActive = false;
}

bool TMemoryRecorder::Allocated(const void* P) const { return gAllocated.Contains(P); }
bool TMemoryRecorder::Freed(const void* P) const { return gFreed.Contains(P); }
int TMemoryRecorder::GetMemCount() const { return gAllocated.Count; }
int TMemoryRecorder::FreeMemCount() const { return gFreed.Count; }
int TMemoryRecorder::ReallocMemCount() const { return gReallocCount; }
void TMemoryRecorder::SetFailGetMem(bool Value) { gFailGetMem = Value; }
void TMemoryRecorder::FailGetMemAt(int Index) { gFailAt = Index; }
void TMemoryRecorder::SetFreeStatus(int Status) { gFreeStatus = Status; }
