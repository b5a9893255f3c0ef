#include "importer/KivoArena.h"

#include <cassert>
#include <cstdint>
#include <new>

#include <windows.h>

// Zero before start-up, not stored in the image.
TKivoArena* TKivoArena::FCurrent;
TKivoArena* TKivoArena::FRegions[size_t{1} << (32 - kRegionShift)];

TKivoArena::~TKivoArena() {
  assert(FLive == 0 && "a model object outlived the file it was read from");
  for (const TBlock& block : FBlocks) {
    for (size_t at = 0; at < block.Size; at += kRegionSize)
      RegionOf(block.Start + at) = nullptr;
    VirtualFree(block.Start, 0, MEM_RELEASE);
  }
  if (FCurrent == this)
    FCurrent = nullptr;
}

void* TKivoArena::AllocateInNewBlock(size_t size) {
  // A request larger than a quarter block gets a block of its own; the current block
  // stays.
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

TKivoArenaScope::TKivoArenaScope(TKivoArena& arena) : FPrevious(TKivoArena::FCurrent) {
  TKivoArena::FCurrent = &arena;
}

TKivoArenaScope::~TKivoArenaScope() { TKivoArena::FCurrent = FPrevious; }
