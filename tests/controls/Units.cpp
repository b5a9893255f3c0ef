// The units this test executable starts (tests/controls/TestUnits.h).
#include "tests/controls/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return ControlsTestUnits(); }
