// The units the windowed class-library tests start.
#include "classlib/Forms.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"Forms", InitializeForms, FinalizeForms},
  };
  return units;
}
