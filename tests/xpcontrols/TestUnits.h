// The units xpcontrols_tests starts: the forms, then the XP-style controls'.
#pragma once

#include "classlib/Units.h"
#include "xpcontrols/Units.h"

inline std::span<const TUnitEntry> XPControlsTestUnits() {
  static const TUnitTable units = TUnitTable().Pick(ClassLibUnits(), {"Forms"}).Add(XPControlsUnits());
  return units;
}
