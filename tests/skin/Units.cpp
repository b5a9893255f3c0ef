// The units this test executable starts (tests/skin/TestUnits.h).
#include "tests/skin/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return SkinTestUnits(); }
