// The units the skin tests start.
#include "classlib/Forms.h"
#include "skin/KsBitmap.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"Forms", InitializeForms, FinalizeForms},
      {"KsBitmap", InitializeKsBitmap, nullptr},
  };
  return units;
}
