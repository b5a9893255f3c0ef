// The units this test executable starts (tests/importer/TestUnits.h).
#include "tests/importer/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return ImporterTestUnits(); }
