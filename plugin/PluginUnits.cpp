#include "plugin/PluginUnits.h"

#include "host/ClientApi.h"
#include "host/ParameterList.h"
#include "host/Utilities.h"

// Start-up order of the plug-in's units; shut-down runs it backwards. A unit is added
// here, in its place, when it has start-up or shut-down work.
std::span<const TUnitEntry> PluginUnits() {
  static const TUnitEntry units[] = {
      {"host.ParameterList", InitializeParameterList, FinalizeParameterList},
      // The skin library's units (paint buffer, hook list, layered-window and
      // visual-style bindings, theme registry) start here.
      {"host.ClientApi", InitializeClientApi, FinalizeClientApi},
      {"host.Utilities", InitializeUtilities, FinalizeUtilities},
  };
  return units;
}
