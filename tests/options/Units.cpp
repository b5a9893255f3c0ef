// The units this test executable starts (tests/options/TestUnits.h).
#include "tests/options/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return OptionsTestUnits(); }
