// The units host_tests starts, in the plug-in's order.
#include "host/ParameterList.h"
#include "host/Utilities.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
  };
  return units;
}
