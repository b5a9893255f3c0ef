// The units host_bare_tests starts: the stand-in host, which exports no "ClientAPI_"
// names, then the framework's parameter strings and client binding.
#pragma once

#include "host/Units.h"
#include "standin/host/StandinHost.h"

inline std::span<const TUnitEntry> HostBareTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", standin::StartHost, standin::StopHost})
                                      .Pick(HostUnits(), {"host.ParameterList", "host.ClientApi"});
  return units;
}
