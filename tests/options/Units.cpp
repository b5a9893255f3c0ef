// The units options_tests starts: the stand-in host with its PCB server loaded, then the
// plug-in's units the options dialog needs, in the plug-in's order.
#include <stdexcept>

#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "pcb/PcbUnit.h"
#include "standin/host/HostObjects.h"
#include "standin/host/StandinHost.h"
#include "tests/support/TestSupport.h"

namespace {

void StartHost() {
  standin::StartHost();
  if (!standin::LoadPcbServer())
    throw std::runtime_error("Ravelo.dll cannot be loaded");
}

}  // namespace

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"standin.Host", StartHost, standin::StopHost},
      {"FormatSettings", GetFormatSettings, nullptr},
      {"Forms", InitializeForms, FinalizeForms},
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
      {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
  };
  return units;
}
