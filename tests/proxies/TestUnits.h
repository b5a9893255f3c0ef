// The units proxies_tests starts: the host has loaded its PCB server before the plug-in's
// units start, so the binding finds it at start-up.
#pragma once

#include "pcb/Units.h"
#include "tests/ravelo/TestUnits.h"

inline std::span<const TUnitEntry> ProxiesTestUnits() {
  static const TUnitTable units = TUnitTable().Add({"standin.Ravelo", LoadRaveloServer, nullptr}).Pick(PcbUnits(), {"PcbApi"});
  return units;
}
