// Names compared without regard to case (ASCII case, as the host compares net names),
// each naming an entry of a list the index does not own, numbered in the order they were
// added: an open-addressed table of 32-bit slots (a tag of the name's hash and the entry),
// at most three quarters full, beside the entries' hashes. It copies no name. The
// translation keeps the nets and designators of a board in one each, to find a name given
// twice: a large board has hundreds of thousands, which a map of their names made a miss
// of the processor's cache and an allocation each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "classlib/Strings.h"

class TKivoNameIndex {
 public:
  // A hash of the name's bytes with bit 5 set in each, taken four at a time: the same
  // for names that differ only in the case of letters (and for a few more, which Same
  // tells apart).
  static uint32_t Hash(std::string_view name) {
    const char* p = name.data();
    size_t n = name.size();
    uint32_t hash = 2166136261u ^ static_cast<uint32_t>(n);
    for (; n >= 4; p += 4, n -= 4) {
      uint32_t word;
      std::memcpy(&word, p, 4);
      hash = Mix(hash ^ (word | 0x20202020u));
    }
    uint32_t rest = 0;
    for (size_t i = 0; i < n; ++i)
      rest |= (static_cast<uint32_t>(static_cast<uint8_t>(p[i])) | 0x20u) << (8 * i);
    hash = Mix(hash ^ rest);
    return hash ^ (hash >> 16);
  }
  static bool Same(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
      return false;
    if (a == b)
      return true;
    for (size_t i = 0; i < a.size(); ++i)
      if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
        return false;
    return true;
  }

  // The entry named `name` of hash `hash` (`nameOf(entry)` gives an entry's name, asked
  // only of entries whose hash may be the name's); when the index does not hold the
  // name, -1, and the name is added as the next entry (numbered as many as were added
  // before). The index holds at most 2^25 - 1 names (a model of so many nets or
  // components does not fit the process): those after are not added.
  template <class F>
  int64_t FindOrAdd(std::string_view name, uint32_t hash, F&& nameOf) {
    return FindOrAdd(name, hash, nameOf, Same);
  }
  // The same with names the same by `same(a, b)`, which must hold only for names of one
  // Hash (exact names, say).
  template <class F, class S>
  int64_t FindOrAdd(std::string_view name, uint32_t hash, F&& nameOf, S&& same) {
    if (4 * (FHashes.size() + 1) > 3 * FSlots.size())
      Grow();
    const uint32_t tag = hash & ~kEntryMask;
    const size_t mask = FSlots.size() - 1;
    size_t at = hash & mask;
    for (; FSlots[at] != 0; at = (at + 1) & mask)
      if (const int64_t entry = Match(FSlots[at], tag, hash, name, nameOf, same); entry >= 0)
        return entry;
    if (FHashes.size() < kEntryMask) {
      FSlots[at] = tag | static_cast<uint32_t>(FHashes.size() + 1);
      FHashes.push_back(hash);
    }
    return -1;
  }
  // The names added.
  size_t GetCount() const { return FHashes.size(); }

 private:
  static uint32_t Mix(uint32_t value) {
    value *= 0xCC9E2D51u;
    value ^= value >> 15;
    return value * 0x1B873593u;
  }
  static constexpr uint32_t kEntryMask = (1u << 25) - 1;  // of a slot: the entry + 1

  template <class F, class S>
  int64_t Match(uint32_t slot, uint32_t tag, uint32_t hash, std::string_view name, F& nameOf,
                S& same) const {
    if ((slot & ~kEntryMask) != tag)
      return -1;
    const uint32_t entry = (slot & kEntryMask) - 1;
    return FHashes[entry] == hash && same(nameOf(entry), name) ? int64_t{entry} : -1;
  }
  void Grow() {
    FSlots.assign(FSlots.empty() ? 64 : 2 * FSlots.size(), 0);
    const size_t mask = FSlots.size() - 1;
    for (size_t entry = 0; entry < FHashes.size(); ++entry) {
      size_t at = FHashes[entry] & mask;
      while (FSlots[at] != 0)
        at = (at + 1) & mask;
      FSlots[at] = (FHashes[entry] & ~kEntryMask) | static_cast<uint32_t>(entry + 1);
    }
  }

  std::vector<uint32_t> FSlots;   // the hash's tag | entry + 1; 0 is free
  std::vector<uint32_t> FHashes;  // by entry
};
