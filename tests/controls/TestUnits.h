// The units controls_tests starts: the windowed class library's.
#pragma once

#include "classlib/Units.h"

inline std::span<const TUnitEntry> ControlsTestUnits() {
  static const TUnitTable units = TUnitTable().Pick(ClassLibUnits(), {"ComCtrls", "Forms"});
  return units;
}
