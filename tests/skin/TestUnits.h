// The units skin_tests starts: the forms, then the skin library's.
#pragma once

#include "classlib/Units.h"
#include "skin/Units.h"

inline std::span<const TUnitEntry> SkinTestUnits() {
  static const TUnitTable units = TUnitTable().Pick(ClassLibUnits(), {"Forms"}).Add(SkinUnits());
  return units;
}
