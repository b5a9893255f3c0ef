#include "plugin/PluginUnits.h"

#include "containers/FreeNotifyHook.h"

// Start-up order of the plug-in's units; shut-down runs it backwards. A unit is added
// here, in its place, when it has start-up or shut-down work.
std::span<const TUnitEntry> PluginUnits() {
  static const TUnitEntry units[] = {
      // Free notifications of watched memory blocks: the memory-manager hook.
      {"FreeNotifyHook", InitializeFreeNotifyHook, FinalizeFreeNotifyHook},
  };
  return units;
}
