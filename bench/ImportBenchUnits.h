// The units ImportBench starts in a stage's child process: first the stand-in host (its
// client exports, and the stand-in PCB server loaded, as the host has it before the
// plug-in starts), then the units an import needs, in the plug-in's order.
#pragma once

#include <stdexcept>

#include "classlib/Units.h"
#include "classlib/Win.h"
#include "host/Units.h"
#include "importer/Units.h"
#include "pcb/Units.h"
#include "standin/host/StandinHost.h"

inline void StartImportBenchHost() {
  standin::StartHost();
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

inline std::span<const TUnitEntry> ImportBenchUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", StartImportBenchHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings", "Forms"})
                                      .Pick(HostUnits(), {"host.ClientApi"})
                                      .Add(PcbUnits())
                                      .Pick(ImporterUnits(), {"KivoTokenizer"});
  return units;
}
