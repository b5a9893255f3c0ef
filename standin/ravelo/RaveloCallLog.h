// The stand-in server's call log: one record of a few bytes per entry-point call (which
// entry, its by-value arguments, its result), made into text only when the log is asked
// for. A large import makes millions of calls, and formatting each as it was made cost
// more than the import itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "standin/ravelo/RaveloHandleList.h"

class TRaveloCallLog {
 public:
  // Starts the record of a call of `name` with `argumentCount` arguments (at most 15);
  // the arguments follow, then the result when `hasResult`. `name` must live as long as
  // the library (the entry points pass their literal names).
  void Begin(const char* name, unsigned argumentCount, bool hasResult) {
    PutWide(EntryId(name, static_cast<uint8_t>((argumentCount << 1) | (hasResult ? 1 : 0))));
    ++FCount;
  }
  // A number argument, written in decimal.
  template <class T>
  void Argument(T value) {
    static_assert(std::is_integral_v<T>, "numbers and texts only");
    PutNumber(static_cast<int64_t>(value));
  }
  // A text argument, written in double quotes; null is written as null.
  void Argument(const char* text);
  void Result(int64_t value) { PutNumber(value); }

  void Clear();
  size_t GetCount() const { return FCount; }
  // Every call as "name(arguments) = result", a line each.
  std::string Text() const;

 private:
  // An entry's name with its count of arguments and whether it has a result.
  struct TEntry {
    const char* Name = nullptr;
    uint8_t Shape = 0;  // argument count << 1 | has result
  };

  static uint64_t Zigzag(int64_t value) {
    return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
  }
  // The handles of one call's arguments and result, and of calls in a row, lie close
  // together: a number is kept as its change from the last large one when that is
  // shorter. Low bits: 00 the number, 10 the change, 1 a text.
  void PutNumber(int64_t value) {
    const uint64_t plain = Zigzag(value), change = Zigzag(value - FLastLarge);
    PutWide(change < plain ? (change << 2) | 2 : plain << 2);
    if (IsLarge(value))
      FLastLarge = value;
  }
  static bool IsLarge(int64_t value) { return value >= 64 || value <= -64; }
  void PutWide(uint64_t value) { RaveloVarint::Put<uint64_t>(FBytes, value); }
  // The number of an entry, found by its name's address and its shape.
  uint32_t EntryId(const char* name, uint8_t shape) {
    size_t slot = ((reinterpret_cast<uintptr_t>(name) >> 2) + shape) & (kSlots - 1);
    for (;; slot = (slot + 1) & (kSlots - 1)) {
      const TSlot& at = FSlots[slot];
      if (at.Entry.Name == name && at.Entry.Shape == shape)
        return at.Id;
      if (!at.Entry.Name)
        return AddEntry(TEntry{name, shape}, slot);
    }
  }
  uint32_t AddEntry(const TEntry& entry, size_t slot);

  static constexpr size_t kSlots = 1024;
  struct TSlot {
    TEntry Entry;
    uint32_t Id = 0;
  };
  std::array<TSlot, kSlots> FSlots{};
  std::vector<TEntry> FEntries;  // by number; kept when the log is cleared
  TRaveloBytes FBytes;
  int64_t FLastLarge = 0;
  size_t FCount = 0;
};
