// The units options_tests starts: the stand-in host with its PCB server loaded, then the
// plug-in's units the options dialog needs, in the plug-in's order.
#pragma once

#include <stdexcept>

#include "classlib/Units.h"
#include "host/Units.h"
#include "pcb/Units.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"

inline void StartOptionsTestHost() {
  standin::StartHost();
  if (!standin::LoadPcbServer())
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

inline std::span<const TUnitEntry> OptionsTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", StartOptionsTestHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings", "Forms"})
                                      .Pick(HostUnits(), {"host.ParameterList", "host.ClientApi", "host.Utilities"})
                                      .Pick(PcbUnits(), {"PcbApi"});
  return units;
}
