// The units this test executable starts (tests/editors/TestUnits.h).
#include "tests/editors/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return EditorsTestUnits(); }
