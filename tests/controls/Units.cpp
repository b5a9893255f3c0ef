// The units the windowed class-library tests start.
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() {
  static const TUnitEntry units[] = {
      {"ComCtrls", InitializeComCtrls, FinalizeComCtrls},
      {"Forms", InitializeForms, FinalizeForms},
  };
  return units;
}
