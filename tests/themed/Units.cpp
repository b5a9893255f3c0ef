// The units this test executable starts (tests/themed/TestUnits.h).
#include "tests/themed/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return ThemedTestUnits(); }
