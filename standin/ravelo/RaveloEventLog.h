// The event-router log of the stand-in server: every message in the order sent, kept as
// a few bytes each. Placing a large board sends one message per moved object, millions
// of them, and a record of sixteen bytes each took more room than many objects.
#pragma once

#include <cstdint>
#include <deque>

#include "standin/ravelo/RaveloHandleList.h"

struct TRaveloEvent {
  uint32_t Source, Value;
  uint16_t Code;
  uint32_t Data;
};

class TRaveloEventLog {
 public:
  void Add(const TRaveloEvent& event);
  void Clear();
  size_t GetCount() const { return FCount; }

  // Calls `visit(event)` for every event in the order added.
  template <class F>
  void ForEach(F&& visit) const;

 private:
  // Each event: its source as the change from the source before (zigzag), then value,
  // code and data (RaveloVarint numbers).
  std::deque<uint8_t> FBytes;
  uint32_t FLastSource = 0;
  size_t FCount = 0;
};

template <class F>
void TRaveloEventLog::ForEach(F&& visit) const {
  uint32_t source = 0;
  for (size_t at = 0; at < FBytes.size();) {
    source += RaveloVarint::Unzigzag(RaveloVarint::Take(FBytes, at));
    TRaveloEvent event{source, 0, 0, 0};
    event.Value = RaveloVarint::Take(FBytes, at);
    event.Code = static_cast<uint16_t>(RaveloVarint::Take(FBytes, at));
    event.Data = RaveloVarint::Take(FBytes, at);
    visit(static_cast<const TRaveloEvent&>(event));
  }
}
