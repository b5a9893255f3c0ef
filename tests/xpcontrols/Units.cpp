// The units this test executable starts (tests/xpcontrols/TestUnits.h).
#include "tests/xpcontrols/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return XPControlsTestUnits(); }
