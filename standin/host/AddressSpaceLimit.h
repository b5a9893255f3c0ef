// A process whose address space is nearly used up, for the imports of boards too large
// for it: while a TAddressSpaceLimit lives, every free region of the process's address
// space but `leftBytes` of it is reserved (not committed), so that allocations beyond
// what is left fail as they would on a host whose memory is taken. It is the host's
// failure injection (KivoHost --memory-left).
#pragma once

#include <cstdint>
#include <vector>

namespace standin {

class TAddressSpaceLimit {
 public:
  explicit TAddressSpaceLimit(uint64_t leftBytes);
  ~TAddressSpaceLimit();
  TAddressSpaceLimit(const TAddressSpaceLimit&) = delete;
  TAddressSpaceLimit& operator=(const TAddressSpaceLimit&) = delete;

 private:
  std::vector<void*> FRegions;
};

}  // namespace standin
