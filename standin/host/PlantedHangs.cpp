#include "standin/host/PlantedHangs.h"

#include <cstdio>

#include "standin/host/ImportSlots.h"

namespace standin {

void HangForGood() {
  fflush(stdout);
  for (;;)
    Sleep(INFINITE);
}

namespace {

BOOL WINAPI StuckDeleteObject(HGDIOBJ) { HangForGood(); }

}  // namespace

bool HangInNextDeleteObject(HMODULE plugin) {
  void** slot = ImportSlot(plugin, "gdi32.dll", "DeleteObject");
  if (!slot)
    return false;
  WriteSlot(slot, reinterpret_cast<void*>(&StuckDeleteObject));
  return true;
}

}  // namespace standin
