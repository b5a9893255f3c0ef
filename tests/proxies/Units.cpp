// The units this test executable starts (tests/proxies/TestUnits.h).
#include "tests/proxies/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return ProxiesTestUnits(); }
