#include "standin/host/AddressSpaceLimit.h"

#include <algorithm>

#include "classlib/Win.h"

namespace standin {

TAddressSpaceLimit::TAddressSpaceLimit(uint64_t leftBytes) {
  // The address space is taken the way the process's own allocations take it, rather
  // than found by a walk of its regions: Wine shows the room it keeps for later
  // allocations as reserved, yet hands it out. Large pieces first, then ever smaller
  // ones, until nothing more is had; then pieces are given back, the smallest first,
  // until `leftBytes` is free again.
  struct TPiece {
    void* Address;
    uint64_t Size;
  };
  std::vector<TPiece> taken;
  for (uint64_t size = uint64_t{256} << 20; size >= (uint64_t{64} << 10); size /= 4)
    while (void* piece = VirtualAlloc(nullptr, static_cast<SIZE_T>(size), MEM_RESERVE, PAGE_NOACCESS))
      taken.push_back({piece, size});
  std::stable_sort(taken.begin(), taken.end(), [](const TPiece& a, const TPiece& b) { return a.Size < b.Size; });
  uint64_t given = 0;
  for (const TPiece& piece : taken) {
    if (given < leftBytes) {
      VirtualFree(piece.Address, 0, MEM_RELEASE);
      given += piece.Size;
      continue;
    }
    FRegions.push_back(piece.Address);
  }
}

TAddressSpaceLimit::~TAddressSpaceLimit() {
  for (void* region : FRegions)
    VirtualFree(region, 0, MEM_RELEASE);
}

}  // namespace standin
