#include "standin/ravelo/RaveloEventLog.h"

void TRaveloEventLog::Add(const TRaveloEvent& event) {
  Put(Zigzag(event.Source - FLastSource));
  Put(event.Value);
  Put(event.Code);
  Put(event.Data);
  FLastSource = event.Source;
  ++FCount;
}

void TRaveloEventLog::Clear() {
  FBytes.clear();
  FLastSource = 0;
  FCount = 0;
}

void TRaveloEventLog::Put(uint32_t value) {
  while (value >= 0x80) {
    FBytes.push_back(static_cast<uint8_t>(value | 0x80));
    value >>= 7;
  }
  FBytes.push_back(static_cast<uint8_t>(value));
}

uint32_t TRaveloEventLog::Take(std::deque<uint8_t>::const_iterator& at) {
  uint32_t value = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t byte = *at++;
    value |= static_cast<uint32_t>(byte & 0x7F) << shift;
    if (byte < 0x80)
      return value;
  }
}
