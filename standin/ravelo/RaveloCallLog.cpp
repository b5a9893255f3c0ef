#include "standin/ravelo/RaveloCallLog.h"

#include <cassert>
#include <cstring>

namespace {

int64_t Unzigzag(uint64_t coded) {
  return static_cast<int64_t>(coded >> 1) ^ -static_cast<int64_t>(coded & 1);
}

}  // namespace

// A text: ((length + 1) << 1) | 1 and its characters; null: 1.
void TRaveloCallLog::Argument(const char* text) {
  if (!text) {
    PutWide(1);
    return;
  }
  const size_t length = std::strlen(text);
  PutWide((uint64_t{length + 1} << 1) | 1);
  for (size_t i = 0; i < length; ++i)
    FBytes.push_back(static_cast<uint8_t>(text[i]));
}

uint32_t TRaveloCallLog::AddEntry(const TEntry& entry, size_t slot) {
  assert(FEntries.size() < kSlots / 2 && "the entry points have far fewer names");
  FSlots[slot] = TSlot{entry, static_cast<uint32_t>(FEntries.size())};
  FEntries.push_back(entry);
  return FSlots[slot].Id;
}

void TRaveloCallLog::Clear() {
  FBytes.clear();
  FLastLarge = 0;
  FCount = 0;
}

std::string TRaveloCallLog::Text() const {
  std::string text;
  int64_t lastLarge = 0;
  auto number = [&](uint64_t coded) {
    const int64_t value = (coded & 2) ? lastLarge + Unzigzag(coded >> 2) : Unzigzag(coded >> 2);
    if (IsLarge(value))
      lastLarge = value;
    return std::to_string(static_cast<long long>(value));
  };
  for (size_t at = 0; at < FBytes.size();) {
    const TEntry& entry = FEntries[RaveloVarint::Take<uint64_t>(FBytes, at)];
    text += entry.Name;
    text += '(';
    const unsigned count = entry.Shape >> 1;
    for (unsigned i = 0; i < count; ++i) {
      if (i > 0)
        text += ", ";
      const uint64_t argument = RaveloVarint::Take<uint64_t>(FBytes, at);
      if ((argument & 1) == 0) {
        text += number(argument);
        continue;
      }
      const uint64_t length = argument >> 1;
      if (length == 0) {
        text += "null";
        continue;
      }
      text += '"';
      for (uint64_t c = 1; c < length; ++c)
        text += static_cast<char>(FBytes[at++]);
      text += '"';
    }
    text += ')';
    if (entry.Shape & 1)
      text += " = " + number(RaveloVarint::Take<uint64_t>(FBytes, at));
    text += '\n';
  }
  return text;
}
