// The units host_tests starts: first the stand-in host (its client and exports are
// ready before the framework binds them), then the framework's units in the plug-in's
// order.
#pragma once

#include "classlib/Units.h"
#include "host/Units.h"
#include "standin/host/StandinHost.h"

inline std::span<const TUnitEntry> HostTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", standin::StartHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings", "Forms"})
                                      .Pick(HostUnits(), {"host.ParameterList", "host.ClientApi", "host.Utilities"});
  return units;
}
