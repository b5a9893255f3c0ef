#include "tests/editors/GuardedHeap.h"

#include <cassert>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "classlib/Win.h"

namespace {

constexpr uint32_t kMagic = 0x47554152;  // "GUAR"
constexpr size_t kPage = 4096;

// At the start of each block's reservation, before the block.
struct THeader {
  uint32_t Magic;
  size_t Size;
};

// Every reservation the heap made, the latest ones in a ring: an access violation in one
// is a use of a freed block or of a guard page.
struct TReservation {
  uintptr_t Base;
  size_t Size;
};
constexpr size_t kReservations = size_t(1) << 16;
TReservation gReservations[kReservations];
size_t gReservationCount = 0;
int gFaults = 0;
void* gFaultCounter = nullptr;

bool InReservation(uintptr_t address) {
  const size_t count = gReservationCount < kReservations ? gReservationCount : kReservations;
  for (size_t i = 0; i < count; ++i)
    if (address - gReservations[i].Base < gReservations[i].Size)
      return true;
  return false;
}

// Sees every exception first, before any handler that might swallow it; counts the
// heap's faults and lets the search go on.
LONG CALLBACK CountHeapFaults(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2 &&
      InReservation(record->ExceptionInformation[1]))
    ++gFaults;
  return EXCEPTION_CONTINUE_SEARCH;
}

bool gActive = false;
// The table left behind for blocks that outlived a heap is in place.
bool gLeftover = false;
TMemoryManager gReplaced;
int gLive = 0;

// The largest power of two up to 8 that divides `size`: a block of that size cannot
// hold anything that needs a stricter alignment.
[[maybe_unused]] size_t AlignmentFor(size_t size) {
  size_t alignment = 1;
  while (alignment < 8 && size % (alignment * 2) == 0)
    alignment *= 2;
  return alignment;
}

// The header of a block of this heap, or null for a block of another one.
THeader* HeaderOf(void* block) {
  MEMORY_BASIC_INFORMATION info{};
  if (!VirtualQuery(block, &info, sizeof info) || info.State == MEM_FREE || !info.AllocationBase)
    return nullptr;
  MEMORY_BASIC_INFORMATION base{};
  if (!VirtualQuery(info.AllocationBase, &base, sizeof base) || base.State != MEM_COMMIT ||
      base.Protect != PAGE_READWRITE)
    return nullptr;
  auto* header = static_cast<THeader*>(info.AllocationBase);
  return header->Magic == kMagic ? header : nullptr;
}

void* GuardedGetMem(size_t size) {
  const size_t wanted = size == 0 ? 1 : size;
  const size_t dataPages = (sizeof(THeader) + wanted + 8 + kPage - 1) / kPage;
  auto* base = static_cast<uint8_t*>(
      VirtualAlloc(nullptr, (dataPages + 1) * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!base)
    return nullptr;
  DWORD old = 0;
  VirtualProtect(base + dataPages * kPage, kPage, PAGE_NOACCESS, &old);
  gReservations[gReservationCount++ % kReservations] = {reinterpret_cast<uintptr_t>(base), (dataPages + 1) * kPage};
  auto* header = reinterpret_cast<THeader*>(base);
  header->Magic = kMagic;
  header->Size = wanted;
  ++gLive;
  // The page end is aligned, and the alignment divides the size: the block ends at it.
  uint8_t* block = base + dataPages * kPage - wanted;
  assert(reinterpret_cast<uintptr_t>(block) % AlignmentFor(wanted) == 0 && "a block aligned for its size");
  return block;
}

int GuardedFreeMem(void* p) {
  if (!p)
    return 0;
  THeader* header = HeaderOf(p);
  if (!header)
    return gReplaced.FreeMem(p);
  header->Magic = 0;
  --gLive;
  return VirtualFree(header, 0, MEM_RELEASE) ? 0 : 1;
}

void* GuardedReallocMem(void* p, size_t size) {
  THeader* header = p ? HeaderOf(p) : nullptr;
  if (p && !header)
    return gReplaced.ReallocMem(p, size);
  void* resized = GuardedGetMem(size);
  if (!resized)
    return nullptr;
  if (header)
    memcpy(resized, p, header->Size < size ? header->Size : size);
  GuardedFreeMem(p);
  return resized;
}

// After the heap: new blocks come from the replaced table again; blocks of the heap
// that outlived it (kept by their owners) are still released through it.
void* LeftoverReallocMem(void* p, size_t size) {
  THeader* header = p ? HeaderOf(p) : nullptr;
  if (!header)
    return gReplaced.ReallocMem(p, size);
  void* resized = gReplaced.GetMem(size);
  if (!resized)
    return nullptr;
  memcpy(resized, p, header->Size < size ? header->Size : size);
  GuardedFreeMem(p);
  return resized;
}

}  // namespace

TGuardedHeap::TGuardedHeap() {
  assert(!gActive && "one guarded heap at a time");
  gActive = true;
  if (!gLeftover)
    GetMemoryManager(gReplaced);
  SetMemoryManager({GuardedGetMem, GuardedFreeMem, GuardedReallocMem});
  gFaults = 0;
  gFaultCounter = AddVectoredExceptionHandler(/*First=*/1, CountHeapFaults);
}

TGuardedHeap::~TGuardedHeap() {
  gLeftover = gLive > 0;
  if (gLeftover)
    SetMemoryManager({gReplaced.GetMem, GuardedFreeMem, LeftoverReallocMem});
  else
    SetMemoryManager(gReplaced);
  gActive = false;
  RemoveVectoredExceptionHandler(gFaultCounter);
  if (gFaults > 0)
    ADD_FAILURE() << gFaults << " access(es) to a freed block or past the end of a block";
}

int TGuardedHeap::LiveBlocks() { return gLive; }

int TGuardedHeap::Faults() { return gFaults; }
