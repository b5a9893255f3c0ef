// The units of the importer's tests, in the plug-in's order, after the stand-in PCB
// server has been loaded as the host would have done.
#include <stdexcept>

#include "classlib/Win.h"
#include "importer/KivoTokenizer.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbUnit.h"
#include "tests/support/TestSupport.h"

namespace {

void LoadServer() {
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

const TUnitEntry cUnits[] = {
    {"server", LoadServer, nullptr},
    {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
    {"HostFileSystem", InitializeHostFileSystem, FinalizeHostFileSystem},
    {"KivoTokenizer", InitializeKivoTokenizer, nullptr},
};

}  // namespace

std::span<const TUnitEntry> TestUnits() { return cUnits; }
