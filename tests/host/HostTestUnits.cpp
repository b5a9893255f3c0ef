// The units this test executable starts (tests/host/TestUnits.h).
#include "tests/host/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return HostTestUnits(); }
