// The units this test executable starts (tests/treelist/TestUnits.h).
#include "tests/treelist/TestUnits.h"
#include "tests/support/TestSupport.h"

std::span<const TUnitEntry> TestUnits() { return TreeListTestUnits(); }
