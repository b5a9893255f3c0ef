// The host starts its PCB server before the plug-in's units start, so the binding finds
// it at start-up.
#include <stdexcept>

#include "classlib/Win.h"
#include "pcb/PcbUnit.h"
#include "tests/support/TestSupport.h"

namespace {

void LoadServer() {
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

const TUnitEntry cUnits[] = {{"server", LoadServer, nullptr},
                             {"pcb", InitializePcbUnit, FinalizePcbUnit}};

}  // namespace

std::span<const TUnitEntry> TestUnits() {
  return cUnits;
}
