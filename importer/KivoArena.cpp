#include "importer/KivoArena.h"

#include <cassert>
#include <cstdint>

namespace {

TKivoArena* gCurrent = nullptr;

constexpr size_t kAlignment = 8;

}  // namespace

TKivoArena::~TKivoArena() {
  assert(FLive == 0 && "a model object outlived the file it was read from");
  if (gCurrent == this)
    gCurrent = nullptr;
}

void* TKivoArena::Allocate(size_t size) {
  size = (size + kAlignment - 1) & ~(kAlignment - 1);
  if (size > static_cast<size_t>(FEnd - FNext)) {
    // A request larger than a block gets a block of its own; the current block stays.
    const size_t blockSize = size > BlockSize / 4 ? size : BlockSize;
    FBlocks.push_back(std::make_unique_for_overwrite<char[]>(blockSize));
    char* block = FBlocks.back().get();
    if (blockSize != BlockSize) {
      ++FLive;
      return block;
    }
    FNext = block;
    FEnd = block + blockSize;
  }
  void* result = FNext;
  FNext += size;
  ++FLive;
  return result;
}

void TKivoArena::Release() {
  assert(FLive > 0);
  --FLive;
}

TKivoArena* TKivoArena::Current() { return gCurrent; }

TKivoArenaScope::TKivoArenaScope(TKivoArena& arena) : FPrevious(gCurrent) { gCurrent = &arena; }

TKivoArenaScope::~TKivoArenaScope() { gCurrent = FPrevious; }
