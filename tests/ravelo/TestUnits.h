// The units ravelo_tests starts: the host has loaded its PCB server before the plug-in's
// units start, so the binding finds it at start-up.
#pragma once

#include <stdexcept>

#include "classlib/Win.h"
#include "pcb/Units.h"

// The host starts its PCB server before the plug-in's units start.
inline void LoadRaveloServer() {
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

inline std::span<const TUnitEntry> RaveloTestUnits() {
  static const TUnitTable units = TUnitTable().Add({"standin.Ravelo", LoadRaveloServer, nullptr}).Pick(PcbUnits(), {"PcbApi"});
  return units;
}
