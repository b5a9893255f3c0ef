// The units of the importer's tests: first the stand-in host (its client and exports
// are ready before the plug-in's units bind them) and the stand-in PCB server, then
// the plug-in's units in the plug-in's order.
#pragma once

#include <stdexcept>

#include "classlib/Units.h"
#include "classlib/Win.h"
#include "host/Units.h"
#include "importer/Units.h"
#include "pcb/Units.h"
#include "skin/Units.h"
#include "standin/host/StandinHost.h"
#include "tests/importer/ImporterTestSupport.h"

inline void StartImporterTestHost() {
  standin::StartHost();
  standin::HostOptions().VirtualFolder = VirtualFolder();
  if (!LoadLibraryA("Ravelo.dll"))
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

inline std::span<const TUnitEntry> ImporterTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", StartImporterTestHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings", "Forms"})
                                      .Pick(SkinUnits(), {"KsBitmap", "KsWinBindings", "KsHooks", "KsForms", "TeTheme",
                                                          "TeThemeLuna", "TeThemeXPImpl", "TeThemeXP", "TeThemeEngine",
                                                          "KsItems", "KsThemeItems", "KsButtons"})
                                      .Pick(HostUnits(), {"host.ClientApi"})
                                      .Add(PcbUnits())
                                      .Pick(ImporterUnits(), {"KivoTokenizer"});
  return units;
}
