// The units editors_tests starts: the windowed class library's, then the editor library's.
#pragma once

#include "classlib/Units.h"
#include "editors/Units.h"

inline std::span<const TUnitEntry> EditorsTestUnits() {
  static const TUnitTable units = TUnitTable().Pick(ClassLibUnits(), {"ComCtrls", "Forms"}).Add(EditorsUnits());
  return units;
}
