// Numbers kept as the change from the one before, each change in a few bytes: the lists of
// handles by kind and the iterators' snapshots, whose handles mostly rise by a little,
// and the event log. A large board has millions of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Bytes added at the end and read by their index, in pages of 4 KB: a double-ended
// queue of bytes cost most of the time of making and walking the server's iterators
// over millions of objects (its index arithmetic on every byte).
class TRaveloBytes {
 public:
  size_t size() const { return FSize; }
  bool empty() const { return FSize == 0; }
  // Inline but for a new page: every handle made, every iterator's snapshot and every
  // event of a large board add their bytes here.
  void push_back(uint8_t byte) {
    if ((FSize & (kPageSize - 1)) == 0 && FSize == FPages.size() * kPageSize)
      AddPage();
    FPages[FSize >> kPageBits][FSize & (kPageSize - 1)] = byte;
    ++FSize;
  }
  uint8_t operator[](size_t at) const { return FPages[at >> kPageBits][at & (kPageSize - 1)]; }
  // Keeps the first page, for a list filled again (an iterator's, used again).
  void clear() {
    if (FPages.size() > 1)
      FPages.resize(1);
    FSize = 0;
  }

 private:
  __attribute__((noinline)) void AddPage() { FPages.emplace_back(new uint8_t[kPageSize]); }

  static constexpr unsigned kPageBits = 12;
  static constexpr size_t kPageSize = size_t{1} << kPageBits;
  std::vector<std::unique_ptr<uint8_t[]>> FPages;
  size_t FSize = 0;
};

// Little-endian base-128 numbers (one byte below 128) in a run of bytes, and the zigzag
// form that gives small changes either way few bytes.
namespace RaveloVarint {

template <class T = uint32_t>
inline void Put(TRaveloBytes& bytes, T value) {
  while (value >= 0x80) {
    bytes.push_back(static_cast<uint8_t>(value | 0x80));
    value >>= 7;
  }
  bytes.push_back(static_cast<uint8_t>(value));
}

// Reads the number at `at` and moves `at` past it.
template <class T = uint32_t>
inline T Take(const TRaveloBytes& bytes, size_t& at) {
  T value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = bytes[at++];
    value |= static_cast<T>(byte & 0x7F) << shift;
    if (byte < 0x80)
      return value;
  }
}

inline uint32_t Zigzag(uint32_t change) { return (change << 1) ^ (0u - (change >> 31)); }
inline uint32_t Unzigzag(uint32_t coded) { return (coded >> 1) ^ (0u - (coded & 1)); }

}  // namespace RaveloVarint

// A list of handles in the order added, read from the front.
class TRaveloHandleList {
 public:
  // Where a reading stands: the next byte and the handle read last.
  struct TReader {
    size_t At = 0;
    uint32_t Last = 0;
  };

  void Add(uint32_t handle) {
    RaveloVarint::Put(FBytes, RaveloVarint::Zigzag(handle - FLast));
    FLast = handle;
    ++FCount;
  }
  void Clear() {
    FBytes.clear();
    FLast = 0;
    FCount = 0;
  }
  size_t size() const { return FCount; }

  // The next handle into `handle`; false past the last.
  bool Next(TReader& reader, uint32_t& handle) const {
    if (reader.At >= FBytes.size())
      return false;
    reader.Last += RaveloVarint::Unzigzag(RaveloVarint::Take(FBytes, reader.At));
    handle = reader.Last;
    return true;
  }
  template <class F>
  void ForEach(F&& visit) const {
    TReader reader;
    for (uint32_t handle = 0; Next(reader, handle);)
      visit(handle);
  }

 private:
  TRaveloBytes FBytes;
  uint32_t FLast = 0;
  size_t FCount = 0;
};
