#include "plugin/PluginUnits.h"

#include "classlib/FormatSettings.h"
#include "containers/FreeNotifyHook.h"
#include "importer/KivoTokenizer.h"
#include "pcb/HostFileSystem.h"
#include "pcb/PcbUnit.h"

// Start-up order of the plug-in's units; shut-down runs it backwards. A unit is added
// here, in its place, when it has start-up or shut-down work.
std::span<const TUnitEntry> PluginUnits() {
  static const TUnitEntry units[] = {
      // The locale's number, date and currency conventions.
      {"FormatSettings", GetFormatSettings, nullptr},
      // The PCB server's entry points, when "Ravelo.dll" is already loaded.
      {"PcbApi", InitializePcbUnit, FinalizePcbUnit},
      // The host's file-system entry points ("VFSAPI_").
      {"HostFileSystem", InitializeHostFileSystem, FinalizeHostFileSystem},
      // The KIVO tokenizer's delimiter sets.
      {"KivoTokenizer", InitializeKivoTokenizer, nullptr},
      // Free notifications of watched memory blocks: the memory-manager hook.
      {"FreeNotifyHook", InitializeFreeNotifyHook, FinalizeFreeNotifyHook},
  };
  return units;
}
