#include "standin/ravelo/RaveloEventLog.h"

void TRaveloEventLog::Add(const TRaveloEvent& event) {
  RaveloVarint::Put(FBytes, RaveloVarint::Zigzag(event.Source - FLastSource));
  RaveloVarint::Put(FBytes, event.Value);
  RaveloVarint::Put(FBytes, event.Code);
  RaveloVarint::Put(FBytes, event.Data);
  FLastSource = event.Source;
  ++FCount;
}

void TRaveloEventLog::Clear() {
  FBytes.clear();
  FLastSource = 0;
  FCount = 0;
}
