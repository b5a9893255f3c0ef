// The units pcb_tests and pcb_exactcase_tests start: the PCB binding alone, in a process
// that has not loaded the PCB server.
#pragma once

#include "pcb/Units.h"

inline std::span<const TUnitEntry> PcbTestUnits() {
  static const TUnitTable units = TUnitTable().Pick(PcbUnits(), {"PcbApi"});
  return units;
}
