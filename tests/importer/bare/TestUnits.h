// The units importer_bare_tests starts: the stand-in host, which exports none of the
// "ClientAPI_" and "VFSAPI_" names, then the units the recogniser and the report need.
#pragma once

#include "classlib/Units.h"
#include "host/Units.h"
#include "importer/Units.h"
#include "pcb/Units.h"
#include "standin/host/StandinHost.h"

inline std::span<const TUnitEntry> ImporterBareTestUnits() {
  static const TUnitTable units = TUnitTable()
                                      .Add({"standin.Host", standin::StartHost, standin::StopHost})
                                      .Pick(ClassLibUnits(), {"FormatSettings"})
                                      .Pick(HostUnits(), {"host.ClientApi"})
                                      .Pick(PcbUnits(), {"HostFileSystem"})
                                      .Pick(ImporterUnits(), {"KivoTokenizer"});
  return units;
}
