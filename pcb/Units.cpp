#include "pcb/Units.h"

#include "pcb/HostFileSystem.h"
#include "pcb/PcbUnit.h"

std::span<const TUnitEntry> PcbUnits() {
  static const TUnitEntry units[] = {
      // The PCB server's entry points, when "Ravelo.dll" is already loaded.
      {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
      // The host's file-system entry points ("VFSAPI_").
      {"HostFileSystem", InitializeHostFileSystem, FinalizeHostFileSystem},
  };
  return units;
}
