#include "containers/Units.h"

#include "containers/FreeNotifyHook.h"

std::span<const TUnitEntry> ContainersUnits() {
  static const TUnitEntry units[] = {
      // Free notifications of watched memory blocks: the memory-manager hook.
      {"FreeNotifyHook", InitializeFreeNotifyHook, FinalizeFreeNotifyHook},
  };
  return units;
}
