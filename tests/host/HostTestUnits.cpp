// The units host_tests starts: first the stand-in host (its client and exports are
// ready before the framework binds them), then the framework's units in the plug-in's
// order.
#include "classlib/FormatSettings.h"
#include "classlib/Forms.h"
#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "standin/host/StandinHost.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"standin.Host", standin::StartHost, standin::StopHost},
      {"FormatSettings", GetFormatSettings, nullptr},
      {"Forms", InitializeForms, FinalizeForms},
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
  };
  return units;
}
