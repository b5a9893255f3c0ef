// Entry point of LoadKIVO.dll: starts the units when the host loads the library and
// stops them, in reverse, when it is unloaded.
#include "classlib/Win.h"
#include "plugin/PluginUnits.h"

HINSTANCE HInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      HInstance = instance;
      DisableThreadLibraryCalls(instance);
      return StartUnits(PluginUnits()) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      StopUnits();
      return TRUE;
    default:
      return TRUE;
  }
}
